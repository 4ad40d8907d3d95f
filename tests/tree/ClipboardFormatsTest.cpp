// The clipboard format registry, a tree's allowed names, the format enumerator's walk, the data object's
// format matching and the layouts of the tree's media.
#include "tree/ClipboardFormats.h"
#include "tree/DataObjectRules.h"
#include "tree/FormatEnumerator.h"

#include <gtest/gtest.h>

#include <map>

namespace tarvola::test {
namespace {

// A registry filled as the tree unit fills it, with made-up platform ids for the names.
struct Registry {
    TClipboardFormatList list;
    std::map<std::string, std::uint16_t> ids;
    std::uint16_t reference = 0;
    Registry() {
        reference = RegisterDefaultTreeFormats(list, [this](const std::string& name) {
            return ids.emplace(name, static_cast<std::uint16_t>(0xC000 + ids.size())).first->second;
        });
    }
    std::vector<std::uint16_t> Offered(const TTreeClass& treeClass, const TClipboardFormats* allowed) const {
        TFormatEtcArray formats;
        list.CollectFormats(treeClass, formats, allowed);
        std::vector<std::uint16_t> result;
        for (const TFormatEtc& format : formats)
            result.push_back(format.cfFormat);
        return result;
    }
};

TEST(ClipboardFormats, StringTreesOfferTextFormatsInPriorityOrderAndBaseTreesOnlyTheirData) {
    Registry registry;
    const std::uint16_t data = registry.ids.at("Virtual Tree Data");
    EXPECT_EQ(registry.Offered(BaseVirtualTreeClass(), nullptr), std::vector<std::uint16_t>{data});
    EXPECT_EQ(registry.Offered(CustomVirtualStringTreeClass(), nullptr),
              (std::vector<std::uint16_t>{data, registry.ids.at("HTML Format"),
                                          registry.ids.at("Rich Text Format Without Objects"),
                                          registry.ids.at("Rich Text Format"), registry.ids.at("CSV"),
                                          StandardFormatUnicodeText, StandardFormatText}));
    // The reference format is known to the platform but offered by no tree.
    EXPECT_EQ(registry.reference, registry.ids.at("Virtual Tree Reference"));
    std::uint16_t id = 1;
    EXPECT_EQ(registry.list.FindFormatByName("Virtual Tree Reference", id), nullptr);
    EXPECT_EQ(id, 0);
}

TEST(ClipboardFormats, AddingKeepsThePriorityOrderAndNamesAreFoundIgnoringCaseLatestFirst) {
    TClipboardFormatList list;
    TFormatEtc format;
    format.cfFormat = 300;
    list.Add("Late", BaseVirtualTreeClass(), 200, format);
    format.cfFormat = 301;
    list.Add("Early", BaseVirtualTreeClass(), 10, format);
    format.cfFormat = 302;
    list.Add("LATE", CustomVirtualStringTreeClass(), 200, format);
    ASSERT_EQ(list.Entries().size(), 3u);
    EXPECT_EQ(list.Entries()[0].Description, "Early");
    std::uint16_t id = 0;
    EXPECT_EQ(list.FindFormatByName("late", id), &CustomVirtualStringTreeClass());
    EXPECT_EQ(id, 302);
    list.Clear();
    EXPECT_EQ(list.FindFormatByName("Early", id), nullptr);
}

TEST(ClipboardFormats, AllowedNamesFilterTheOfferAndRefuseForeignNames) {
    Registry registry;
    TClipboardFormats stringTree(CustomVirtualStringTreeClass(), registry.list);
    EXPECT_EQ(stringTree.Add("csv"), 0);
    EXPECT_EQ(stringTree.Add("CSV"), 0) << "duplicates are ignored";
    EXPECT_EQ(registry.Offered(CustomVirtualStringTreeClass(), &stringTree),
              std::vector<std::uint16_t>{registry.ids.at("CSV")});

    struct Case {
        const TTreeClass* owner;
        const char* name;
        bool accepted;
    };
    const Case cases[] = {
        {&BaseVirtualTreeClass(), "Virtual Tree Data", true},
        {&BaseVirtualTreeClass(), "CSV", false}, // a string tree's format
        {&CustomVirtualStringTreeClass(), "Virtual Tree Data", true},
        {&CustomVirtualStringTreeClass(), "Plain text", true},
        {&CustomVirtualStringTreeClass(), "Virtual Tree Reference", false},
        {&CustomVirtualStringTreeClass(), "No such format", false},
    };
    for (const Case& c : cases) {
        TClipboardFormats names(*c.owner, registry.list);
        EXPECT_EQ(names.Add(c.name) >= 0, c.accepted) << c.owner->Name << " " << c.name;
        names.Insert(0, c.name);
        EXPECT_EQ(names.Count(), c.accepted ? 1 : 0) << c.name;
    }

    TClipboardFormats assigned(CustomVirtualStringTreeClass(), registry.list);
    assigned.Assign({"Unicode text", "bogus", "CSV", "Virtual Tree Reference"});
    EXPECT_EQ(assigned.Names(), (std::vector<std::string>{"CSV", "Unicode text"}));
}

TEST(ClipboardFormats, StandardIdsHaveFixedDescriptions) {
    EXPECT_EQ(StandardFormatDescription(1), "Plain text");
    EXPECT_EQ(StandardFormatDescription(13), "Unicode text");
    EXPECT_EQ(StandardFormatDescription(15), "File name(s)");
    EXPECT_EQ(StandardFormatDescription(16), "Locale descriptor");
    EXPECT_EQ(StandardFormatDescription(0), "");
    EXPECT_EQ(StandardFormatDescription(17), "");
}

TFormatEtcArray ThreeFormats() {
    TFormatEtcArray formats(3);
    for (std::uint16_t i = 0; i < 3; ++i)
        formats[i].cfFormat = static_cast<std::uint16_t>(100 + i);
    return formats;
}

TEST(FormatEnumerator, NextAndSkipKeepTheEnumeratorContract) {
    struct Case {
        const char* what;
        std::size_t start;
        bool skip;
        std::uint32_t count;
        TResultCode result;
        std::uint32_t fetched;
        std::size_t index;
    };
    const Case cases[] = {
        {"skip one of three", 0, true, 1, ResultOk, 0, 1},
        {"skip two of three", 0, true, 2, ResultOk, 0, 2},
        {"skip all three", 0, true, 3, ResultOk, 0, 3},
        {"skip past the end", 1, true, 5, ResultFalse, 0, 3},
        {"skip at the end", 3, true, 1, ResultFalse, 0, 3},
        {"skip none", 2, true, 0, ResultOk, 0, 2},
        {"next one", 0, false, 1, ResultOk, 1, 1},
        {"next all", 0, false, 3, ResultOk, 3, 3},
        {"next more than remain", 1, false, 4, ResultFalse, 2, 3},
        {"next at the end", 3, false, 1, ResultFalse, 0, 3},
    };
    for (const Case& c : cases) {
        TFormatCursor cursor(ThreeFormats(), c.start);
        TFormatEtc out[5];
        std::uint32_t fetched = 99;
        const TResultCode result = c.skip ? cursor.Skip(c.count) : cursor.Next(c.count, out, fetched);
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(cursor.Index(), c.index) << c.what;
        if (!c.skip) {
            EXPECT_EQ(fetched, c.fetched) << c.what;
            if (fetched > 0) {
                EXPECT_EQ(out[0].cfFormat, 100 + c.start) << c.what;
            }
        }
    }
    TFormatCursor cursor(ThreeFormats(), 2);
    cursor.Reset();
    EXPECT_EQ(cursor.Index(), 0u);
}

TEST(DataObjectRules, QueryAnswersTheFirstMatchElseTheLastMismatchOfThatFormat) {
    TFormatEtcArray offered(3);
    offered[0].cfFormat = 5;
    offered[0].tymed = TymedIStream;
    offered[1].cfFormat = 7;
    offered[1].tymed = TymedHGlobal | TymedIStream;
    offered[2].cfFormat = 9;
    offered[2].lindex = 3;
    struct Case {
        const char* what;
        std::uint16_t cf;
        std::uint32_t tymed;
        std::uint32_t aspect;
        std::int32_t lindex;
        TResultCode result;
    };
    const Case cases[] = {
        {"no such format", 6, TymedHGlobal, AspectContent, -1, ResultFormatEtc},
        {"medium mismatch", 5, TymedHGlobal, AspectContent, -1, ResultTymed},
        {"aspect mismatch", 7, TymedHGlobal, 2, -1, ResultDvAspect},
        {"index mismatch", 9, TymedHGlobal, AspectContent, -1, ResultLIndex},
        {"one common medium", 7, TymedIStream | TymedFile, AspectContent, -1, ResultOk},
        {"exact", 9, TymedHGlobal, AspectContent, 3, ResultOk},
    };
    for (const Case& c : cases) {
        TFormatEtc request;
        request.cfFormat = c.cf;
        request.tymed = c.tymed;
        request.dwAspect = c.aspect;
        request.lindex = c.lindex;
        EXPECT_EQ(QueryOfferedFormat(offered, request), c.result) << c.what;
        EXPECT_EQ(FindOfferedFormat(offered, request).has_value(), c.result == ResultOk) << c.what;
    }
    // A later entry of the same format that fits wins over an earlier mismatch.
    offered.push_back(offered[0]);
    offered.back().tymed = TymedHGlobal;
    TFormatEtc request;
    request.cfFormat = 5;
    EXPECT_EQ(QueryOfferedFormat(offered, request), ResultOk);
    EXPECT_EQ(FindOfferedFormat(offered, request), std::optional<std::size_t>(3));
}

TEST(DataObjectRules, TreeMediaLayouts) {
    const auto reference = EncodeTreeReference({0x01020304, 0xA0B0C0D0});
    EXPECT_EQ(reference, (std::array<std::uint8_t, 8>{4, 3, 2, 1, 0xD0, 0xC0, 0xB0, 0xA0}));
    const auto decoded = DecodeTreeReference(reference);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->ProcessId, 0x01020304u);
    EXPECT_EQ(decoded->TreeKey, 0xA0B0C0D0u);
    EXPECT_FALSE(DecodeTreeReference(std::span(reference).first(7)));

    const std::vector<std::uint8_t> chunks{9, 8, 7};
    const auto block = WrapNodeChunks(chunks);
    EXPECT_EQ(block, (std::vector<std::uint8_t>{3, 0, 0, 0, 9, 8, 7}));
    const auto back = NodeChunksOfBlock(block);
    EXPECT_EQ(std::vector<std::uint8_t>(back.begin(), back.end()), chunks);
    // The count is not trusted beyond the block; a block without a count holds nothing.
    const std::vector<std::uint8_t> lying{200, 0, 0, 0, 1, 2};
    EXPECT_EQ(NodeChunksOfBlock(lying).size(), 2u);
    EXPECT_TRUE(NodeChunksOfBlock(std::vector<std::uint8_t>{0, 0, 0, 0, 5}).empty());
    EXPECT_TRUE(NodeChunksOfBlock(std::vector<std::uint8_t>{1, 0}).empty());
}

} // namespace
} // namespace tarvola::test
