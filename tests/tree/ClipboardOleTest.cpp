// The tree's data object and clipboard operations under Wine: the data object's query, get, set and
// enumerate tables, copy and paste within a tree, cut and paste between trees, a paste in a second
// process, and a data object that outlives its tree.
#include "tests/support/MessagePump.h"
#include "tests/tree/ClipboardTestSupport.h"
#include "tests/tree/TreeTestSupport.h"

#include "tree/ClipboardFormatsWin32.h"
#include "tree/DataObject.h"
#include "tree/DataObjectRules.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace tarvola::test {
namespace {

using Mode = TVTNodeAttachMode;

class ClipboardOle : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override {
        // The second process leaves the clipboard to the first, whose content it is.
        if (std::getenv("TARVOLA_CLIPBOARD_CHILD") == nullptr)
            OleSetClipboard(nullptr);
        OleUninitialize();
    }
};

FORMATETC Request(CLIPFORMAT format, DWORD tymed = TYMED_HGLOBAL, DWORD aspect = DVASPECT_CONTENT,
                  LONG lindex = -1) {
    FORMATETC request{};
    request.cfFormat = format;
    request.dwAspect = aspect;
    request.lindex = lindex;
    request.tymed = tymed;
    return request;
}

std::vector<std::uint8_t> BytesOf(HGLOBAL block) {
    const auto* memory = static_cast<const std::uint8_t*>(GlobalLock(block));
    std::vector<std::uint8_t> bytes(memory, memory + GlobalSize(block));
    GlobalUnlock(block);
    return bytes;
}

// The reference count an object has now.
ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// A tree "1(2),3" with 1 selected.
struct SelectedTree : NumberedTree {
    SelectedTree() {
        PVirtualNode one = AddNumbered(tree, nullptr, 1);
        AddNumbered(tree, one, 2);
        AddNumbered(tree, nullptr, 3);
        tree.AddToSelection(one);
    }
};

TEST_F(ClipboardOle, DataObjectQueryTable) {
    SelectedTree t;
    IDataObject* object = new TVTDataObject(t.tree.Clipboard().Link(), false);
    const CLIPFORMAT data = TreeFormatIds().Data;
    struct Case {
        const char* what;
        FORMATETC request;
        HRESULT result;
    };
    const Case cases[] = {
        {"tree data", Request(data), S_OK},
        {"tree data as stream or memory", Request(data, TYMED_ISTREAM | TYMED_HGLOBAL), S_OK},
        {"no such format", Request(CF_TEXT), DV_E_FORMATETC},
        {"the reference is not offered", Request(TreeFormatIds().Reference), DV_E_FORMATETC},
        {"stream only", Request(data, TYMED_ISTREAM), DV_E_TYMED},
        {"thumbnail aspect", Request(data, TYMED_HGLOBAL, DVASPECT_THUMBNAIL), DV_E_DVASPECT},
        {"one page", Request(data, TYMED_HGLOBAL, DVASPECT_CONTENT, 0), DV_E_LINDEX},
    };
    for (Case c : cases)
        EXPECT_EQ(object->QueryGetData(&c.request), c.result) << c.what;
    EXPECT_EQ(object->QueryGetData(nullptr), E_INVALIDARG);
    FORMATETC canonical{};
    FORMATETC in = Request(data);
    EXPECT_EQ(object->GetCanonicalFormatEtc(&in, &canonical), DATA_S_SAMEFORMATETC);
    STGMEDIUM medium{};
    EXPECT_EQ(object->GetDataHere(&in, &medium), E_NOTIMPL);
    EXPECT_EQ(object->Release(), 0u);
}

TEST_F(ClipboardOle, DataObjectGetTable) {
    SelectedTree t;
    IDataObject* object = new TVTDataObject(t.tree.Clipboard().Link(), false);
    const CLIPFORMAT data = TreeFormatIds().Data;
    std::vector<std::uint8_t> chunks;
    t.transfer.WriteNode(t.tree, t.Find(1), chunks);

    // In memory: the count, then the chunks of the selected nodes.
    FORMATETC request = Request(data);
    STGMEDIUM medium{};
    ASSERT_EQ(object->GetData(&request, &medium), S_OK);
    EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(medium.pUnkForRelease, nullptr);
    EXPECT_EQ(BytesOf(medium.hGlobal), WrapNodeChunks(chunks));
    ReleaseStgMedium(&medium);

    // As a stream when the request allows one: the chunks alone, from the start.
    request = Request(data, TYMED_ISTREAM | TYMED_HGLOBAL);
    ASSERT_EQ(object->GetData(&request, &medium), S_OK);
    ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_ISTREAM));
    std::vector<std::uint8_t> read(chunks.size() + 8);
    ULONG count = 0;
    medium.pstm->Read(read.data(), static_cast<ULONG>(read.size()), &count);
    read.resize(count);
    EXPECT_EQ(read, chunks);
    ReleaseStgMedium(&medium);

    // The reference: this process and the tree.
    request = Request(TreeFormatIds().Reference);
    ASSERT_EQ(object->GetData(&request, &medium), S_OK);
    const auto reference = DecodeTreeReference(BytesOf(medium.hGlobal));
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->ProcessId, GetCurrentProcessId());
    EXPECT_EQ(TTreeClipboard::LiveTreeByKey(reference->TreeKey), &t.tree);
    ReleaseStgMedium(&medium);
    EXPECT_EQ(TTreeClipboard::GetTreeFromDataObject(object), &t.tree);

    // Nothing selected: no memory block to give.
    t.tree.ClearSelection();
    request = Request(data);
    EXPECT_EQ(object->GetData(&request, &medium), E_FAIL);
    request = Request(CF_TEXT);
    EXPECT_EQ(object->GetData(&request, &medium), DV_E_FORMATETC);
    EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_NULL));
    EXPECT_EQ(object->Release(), 0u);
}

TEST_F(ClipboardOle, SetDataOffersTheFormatAndServesACountedCopy) {
    SelectedTree t;
    IDataObject* object = new TVTDataObject(t.tree.Clipboard().Link(), false);
    const CLIPFORMAT custom = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Tarvola clipboard test"));
    FORMATETC format = Request(custom);
    EXPECT_EQ(object->QueryGetData(&format), DV_E_FORMATETC);

    const char text[] = "kept";
    STGMEDIUM given{};
    given.tymed = TYMED_HGLOBAL;
    given.hGlobal = GlobalBlockOf(text, sizeof text);
    ASSERT_EQ(object->SetData(&format, &given, FALSE), S_OK);
    ReleaseStgMedium(&given); // the object kept its own copy
    EXPECT_EQ(object->QueryGetData(&format), S_OK);
    EXPECT_EQ(References(object), 1u) << "the copy holds no reference to its object";

    STGMEDIUM served{};
    ASSERT_EQ(object->GetData(&format, &served), S_OK);
    EXPECT_EQ(served.pUnkForRelease, static_cast<IUnknown*>(object));
    EXPECT_EQ(References(object), 2u);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(served.hGlobal)), "kept");
    GlobalUnlock(served.hGlobal);
    ReleaseStgMedium(&served);
    EXPECT_EQ(References(object), 1u);

    // Storing again replaces; a medium of a kind that cannot be copied is refused.
    STGMEDIUM bitmap{};
    bitmap.tymed = TYMED_GDI;
    EXPECT_EQ(object->SetData(&format, &bitmap, FALSE), DV_E_TYMED);
    STGMEDIUM owned{};
    owned.tymed = TYMED_HGLOBAL;
    owned.hGlobal = GlobalBlockOf("new", 4);
    EXPECT_EQ(object->SetData(&format, &owned, TRUE), S_OK);
    ASSERT_EQ(object->GetData(&format, &served), S_OK);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(served.hGlobal)), "new");
    GlobalUnlock(served.hGlobal);
    ReleaseStgMedium(&served);
    EXPECT_EQ(object->Release(), 0u);
}

TEST_F(ClipboardOle, EnumeratorKeepsTheContract) {
    SelectedTree t;
    IDataObject* object = new TVTDataObject(t.tree.Clipboard().Link(), false);
    // Two more formats, so that the enumerator has three.
    for (const char* name : {"Tarvola enum one", "Tarvola enum two"}) {
        FORMATETC format = Request(static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)));
        STGMEDIUM medium{};
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = GlobalBlockOf("x", 2);
        ASSERT_EQ(object->SetData(&format, &medium, TRUE), S_OK);
    }
    IEnumFORMATETC* formats = nullptr;
    EXPECT_EQ(object->EnumFormatEtc(DATADIR_SET, &formats), OLE_S_USEREG);
    EXPECT_EQ(formats, nullptr);
    ASSERT_EQ(object->EnumFormatEtc(DATADIR_GET, &formats), S_OK);

    FORMATETC got[4]{};
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(got[0].cfFormat, TreeFormatIds().Data);
    EXPECT_EQ(formats->Skip(2), S_OK) << "two remain";
    EXPECT_EQ(formats->Next(1, got, nullptr), S_FALSE);
    EXPECT_EQ(formats->Reset(), S_OK);
    EXPECT_EQ(formats->Skip(1), S_OK);
    IEnumFORMATETC* clone = nullptr;
    ASSERT_EQ(formats->Clone(&clone), S_OK);
    EXPECT_EQ(formats->Skip(3), S_FALSE);
    EXPECT_EQ(clone->Next(4, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u) << "the clone goes on from where it was made";
    EXPECT_EQ(clone->Next(2, got, nullptr), E_INVALIDARG);
    EXPECT_EQ(clone->Release(), 0u);
    EXPECT_EQ(formats->Release(), 0u);
    EXPECT_EQ(object->Release(), 0u);
}

TEST_F(ClipboardOle, ADataObjectThatOutlivesItsTreeAnswersWithAnError) {
    IDataObject* object = nullptr;
    {
        SelectedTree t;
        object = new TVTDataObject(t.tree.Clipboard().Link(), true);
    }
    FORMATETC request = Request(TreeFormatIds().Data);
    STGMEDIUM medium{};
    EXPECT_EQ(object->QueryGetData(&request), S_OK);
    EXPECT_EQ(object->GetData(&request, &medium), E_FAIL);
    request = Request(TreeFormatIds().Reference);
    EXPECT_EQ(object->GetData(&request, &medium), E_FAIL);
    EXPECT_EQ(TTreeClipboard::GetTreeFromDataObject(object), nullptr);
    EXPECT_EQ(object->Release(), 0u);

    // A tree whose copy is on the clipboard takes it off when it goes.
    NumberedTree target;
    {
        SelectedTree t;
        ASSERT_TRUE(t.tree.Clipboard().CopyToClipboard());
    }
    EXPECT_FALSE(target.tree.Clipboard().PasteFromClipboard());
    EXPECT_EQ(Shape(target.tree), "");
}

TEST_F(ClipboardOle, CopyAndPasteWithinATreeDuplicatesTheNodesMarkedByTheCopy) {
    SelectedTree t;
    EXPECT_FALSE(NumberedTree().tree.Clipboard().CopyToClipboard()) << "nothing selected";
    ASSERT_TRUE(t.tree.Clipboard().CopyToClipboard());
    EXPECT_TRUE(t.tree.InState(TreeState::tsCopyPending));
    EXPECT_EQ(t.tree.GetSortedCutCopySet(false).size(), 1u);
    t.tree.ClearSelection();
    t.tree.SetFocusedNode(t.Find(3));
    EXPECT_TRUE(t.tree.Clipboard().PasteFromClipboard());
    EXPECT_EQ(Shape(t.tree), "1(2),3(1(2))");
    // A copy can be pasted again.
    t.tree.SetFocusedNode(nullptr);
    EXPECT_TRUE(t.tree.Clipboard().PasteFromClipboard());
    EXPECT_EQ(Shape(t.tree), "1(2),3(1(2)),1(2)");
    EXPECT_EQ(TreeInvariantChecker::Check(t.tree), "");

    // Another program's content replaces ours: the copy is cancelled and a paste finds no nodes.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, GlobalBlockOf(L"text", 10));
    CloseClipboard();
    EXPECT_FALSE(t.tree.InState(TreeState::tsCopyPending));
    EXPECT_TRUE(t.tree.GetSortedCutCopySet(false).empty());
    EXPECT_FALSE(t.tree.Clipboard().PasteFromClipboard());
    EXPECT_EQ(Shape(t.tree), "1(2),3(1(2)),1(2)");
}

TEST_F(ClipboardOle, CutAndPasteMovesNodesBetweenTreesOfOneProcess) {
    SelectedTree source;
    NumberedTree target;
    AddNumbered(target.tree, nullptr, 10);
    ASSERT_TRUE(source.tree.Clipboard().CutToClipboard());
    EXPECT_TRUE(source.tree.InState(TreeState::tsCutPending));
    source.tree.Options.ReadOnly = true;
    EXPECT_FALSE(source.tree.Clipboard().CutToClipboard());
    source.tree.Options.ReadOnly = false;

    target.tree.SetFocusedNode(target.Find(10));
    EXPECT_TRUE(target.tree.Clipboard().PasteFromClipboard());
    EXPECT_EQ(Shape(target.tree), "10(1(2))");
    EXPECT_EQ(Shape(source.tree), "3");
    EXPECT_FALSE(source.tree.InState(TreeState::tsCutPending));
    EXPECT_EQ(TreeInvariantChecker::Check(source.tree), "");
    EXPECT_EQ(TreeInvariantChecker::Check(target.tree), "");
}

// Memory blocks of nodes as another party may store them: the count is only believed within the block.
TEST_F(ClipboardOle, NodesFromAMemoryBlockInsertWhatTheBlockHolds) {
    SelectedTree source;
    std::vector<std::uint8_t> chunks;
    source.transfer.WriteNode(source.tree, source.Find(3), chunks);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> block;
        bool inserted;
        const char* shape;
    };
    std::vector<std::uint8_t> lying = WrapNodeChunks(chunks);
    lying[0] = 200; // claims more than the block holds: the chunk itself is whole
    std::vector<std::uint8_t> cut = WrapNodeChunks(chunks);
    cut.resize(cut.size() - 1);
    const Case cases[] = {
        {"a count of 0", {0, 0, 0, 0}, true, "10"},
        {"one node", WrapNodeChunks(chunks), true, "10,3"},
        {"a count beyond the block", lying, true, "10,3"},
    };
    for (const Case& c : cases) {
        NumberedTree target;
        AddNumbered(target.tree, nullptr, 10);
        IDataObject* object = new TVTDataObject(source.tree.Clipboard().Link(), false);
        FORMATETC format = Request(TreeFormatIds().Data);
        STGMEDIUM medium{};
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = GlobalBlockOf(c.block.data(), c.block.size());
        ASSERT_EQ(object->SetData(&format, &medium, TRUE), S_OK);
        EXPECT_EQ(
            target.tree.Clipboard().ProcessOLEData(nullptr, object, nullptr, Mode::amAddChildLast, false),
            c.inserted)
            << c.what;
        EXPECT_EQ(Shape(target.tree), c.shape) << c.what;
        EXPECT_EQ(object->Release(), 0u);
    }
    // A chunk cut short by the block is an error, and nothing of it stays.
    NumberedTree target;
    IDataObject* object = new TVTDataObject(source.tree.Clipboard().Link(), false);
    FORMATETC format = Request(TreeFormatIds().Data);
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalBlockOf(cut.data(), cut.size());
    ASSERT_EQ(object->SetData(&format, &medium, TRUE), S_OK);
    EXPECT_ANY_THROW(
        target.tree.Clipboard().ProcessOLEData(nullptr, object, nullptr, Mode::amAddChildLast, false));
    EXPECT_EQ(Shape(target.tree), "");
    target.tree.Options.ReadOnly = true;
    EXPECT_FALSE(
        target.tree.Clipboard().ProcessOLEData(nullptr, object, nullptr, Mode::amAddChildLast, false));
    EXPECT_EQ(object->Release(), 0u);
}

// The second process of the test below: pastes into a fresh tree and writes its shape to a file.
TEST_F(ClipboardOle, PasteInASecondProcess) {
    const char* output = std::getenv("TARVOLA_CLIPBOARD_CHILD");
    if (output == nullptr)
        GTEST_SKIP() << "runs as the second process of CopiesReachASecondProcess";
    NumberedTree tree;
    const bool pasted = tree.tree.Clipboard().PasteFromClipboard();
    std::ofstream(output) << (pasted ? "pasted " : "refused ") << Shape(tree.tree);
}

TEST_F(ClipboardOle, ACutReachesASecondProcessAsACopy) {
    SelectedTree source;
    ASSERT_TRUE(source.tree.Clipboard().CutToClipboard());
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    const std::string output = std::string(folder) + "\\clipboard-child.txt";
    DeleteFileA(output.c_str());
    SetEnvironmentVariableA("TARVOLA_CLIPBOARD_CHILD", output.c_str());
    std::string command = std::string("\"") + path + "\" --gtest_filter=ClipboardOle.PasteInASecondProcess";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    SetEnvironmentVariableA("TARVOLA_CLIPBOARD_CHILD", nullptr);
    // The other process renders through this thread's messages.
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 20s));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::ifstream result(output);
    std::string text;
    std::getline(result, text);
    EXPECT_EQ(text, "pasted 1(2)");
    EXPECT_EQ(Shape(source.tree), "1(2),3") << "the source keeps its nodes";
    EXPECT_TRUE(source.tree.InState(TreeState::tsCutPending));
    EXPECT_EQ(source.tree.GetSortedCutCopySet(false).size(), 1u);
}

} // namespace
} // namespace tarvola::test
