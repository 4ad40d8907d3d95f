// The string tree's caption chunk in node streams: the main column's text written per node, and read back
// through the owner's OnNewText.
#include "tests/tree/NodeStreamTestSupport.h"
#include "tests/tree/TreeTestSupport.h"

#include "tree/Header.h"
#include "tree/NodeStream.h"
#include "tree/StringTree.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

// An owner that keeps each node's main-column text in a table, the node's data holding its slot (1-based),
// as an owner keeps what it reads from a stream. Records the columns OnNewText was called for.
struct CaptionOwner {
    RecordingHost host;
    TVirtualStringTree tree{&host};
    std::vector<std::wstring> captions;
    std::vector<TColumnIndex> newTextColumns;

    CaptionOwner() {
        host.tree = &tree;
        tree.SetNodeDataSize(sizeof(std::uint32_t));
        tree.OnGetText = TVSTGetTextEvent::Bind<&CaptionOwner::GetText>(this);
        tree.OnNewText = TVSTNewTextEvent::Bind<&CaptionOwner::NewText>(this);
        for (int i = 0; i < 2; ++i)
            tree.Header().Columns().Add().SetWidth(50);
        tree.Header().SetMainColumn(1);
    }
    std::uint32_t& Slot(PVirtualNode node) { return *static_cast<std::uint32_t*>(tree.GetNodeData(node)); }
    PVirtualNode Add(PVirtualNode parent, const std::wstring& caption) {
        const PVirtualNode node = tree.AddChild(parent);
        captions.push_back(caption);
        Slot(node) = static_cast<std::uint32_t>(captions.size());
        return node;
    }
    void GetText(TCustomVirtualStringTree&, PVirtualNode node, TColumnIndex column, TVSTTextType type,
                 std::wstring& text) {
        if (type == TVSTTextType::ttNormal && column == 1 && Slot(node) != 0)
            text = captions.at(Slot(node) - 1);
    }
    void NewText(TCustomVirtualStringTree&, PVirtualNode node, TColumnIndex column,
                 const std::wstring& text) {
        newTextColumns.push_back(column);
        captions.push_back(text);
        Slot(node) = static_cast<std::uint32_t>(captions.size());
    }
    // The main-column texts in tree order, one per line.
    std::wstring Texts() {
        std::wstring all;
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node))
            all += tree.GetText(node, 1) + L"\n";
        return all;
    }
    Bytes Saved() {
        TMemoryStream stream;
        tree.SaveToStream(stream);
        return Content(stream);
    }
    void Load(const Bytes& bytes) {
        TMemoryStream stream;
        Fill(stream, bytes);
        tree.LoadFromStream(stream);
    }
};

TEST(StringTreeCaptions, MainColumnTextsSurviveARoundTrip) {
    CaptionOwner source;
    // Text is UTF-16 on the target platform: a character outside the BMP is a surrogate pair.
    const PVirtualNode parent = source.Add(nullptr, L"Presets");
    source.Add(parent, L"Hall \u00e9t\u00e9 \xD834\xDD1E");
    source.Add(parent, L"");
    source.Add(nullptr, L"x");
    source.tree.FullExpand();
    CaptionOwner target;
    target.Load(source.Saved());
    // An empty text writes no caption, so the loaded node keeps the default text.
    EXPECT_EQ(target.Texts(), L"Presets\nHall \u00e9t\u00e9 \xD834\xDD1E\nNode\nx\n");
    EXPECT_EQ(target.newTextColumns, (std::vector<TColumnIndex>{1, 1, 1}));
}

TEST(StringTreeCaptions, WithoutSaveCaptionsNoCaptionIsWritten) {
    CaptionOwner source;
    source.Add(nullptr, L"Presets");
    source.tree.SetStringOptions(toAutoAcceptEditChange);
    const Bytes saved = source.Saved();
    // Header, count, and a node chunk holding only the base chunk.
    EXPECT_EQ(saved.size(), 16u + 8 + 8 + 17);
    CaptionOwner target;
    target.Load(saved);
    EXPECT_EQ(target.Texts(), L"Node\n");
    EXPECT_TRUE(target.newTextColumns.empty());
}

TEST(StringTreeCaptions, AnOddSizedCaptionReadsWholeUnitsOnly) {
    CaptionOwner target;
    target.Load(
        Join({StreamHeader(2, 1), NodeChunkOf({Chunk(BaseChunk, Base2(0, 18, nsVisible | nsInitialized)),
                                               Chunk(CaptionChunk, Bytes{'a', 0, 'b', 0, 'c'})})}));
    EXPECT_EQ(target.Texts(), L"ab\n");
}

} // namespace
} // namespace tarvola::test
