#include "shell/VirtualShellSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace tarvola {
namespace {

// A sibling whose parent folder orders names as the shell does (ignoring case) and reports every other
// column as a tie.
struct ScriptedItem : IShellSortItem {
    WideString name;
    bool folder = false;
    std::uint64_t size = 0;
    WideString type;
    bool fileSystem = true;
    bool hasParent = true;

    bool HasParentFolder() override { return hasParent; }
    int ShellOrder(int column, IShellSortItem& sibling) override {
        if (column != 0)
            return 0;
        return StrICompW(name.c_str(), static_cast<ScriptedItem&>(sibling).name.c_str(), CodePage1252Text());
    }
    bool Folder() override { return folder; }
    bool FileSystem() override { return fileSystem; }
    std::uint64_t SizeOfFileInt64() override { return size; }
    WideString NameNormal() override { return name; }
    WideString NameParseAddress() override { return u"C:\\dir.x\\" + name; }
    WideString FileType() override { return type; }
};

ScriptedItem File(const WideString& name, std::uint64_t size = 0, const WideString& type = u"") {
    ScriptedItem item;
    item.name = name;
    item.size = size;
    item.type = type;
    return item;
}

ScriptedItem Folder(const WideString& name) {
    ScriptedItem item = File(name);
    item.folder = true;
    return item;
}

using Order = std::function<int(TShellSortHelper&, IShellSortItem&, IShellSortItem&)>;

std::vector<std::string> Sorted(std::vector<ScriptedItem> items, const Order& order,
                                TFileSort fileSort = TFileSort::fsFileType) {
    TShellSortHelper helper;
    helper.FileSort = fileSort;
    std::vector<ScriptedItem*> sorted;
    for (ScriptedItem& item : items)
        sorted.push_back(&item);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](ScriptedItem* a, ScriptedItem* b) { return order(helper, *a, *b) < 0; });
    std::vector<std::string> names;
    for (const ScriptedItem* item : sorted)
        names.push_back(WideToUtf8(item->name));
    return names;
}

TEST(ShellSort, EveryColumnSortsFoldersFirst) {
    const std::vector<ScriptedItem> items = {File(u"a.txt", 10, u"Text"), Folder(u"zeta"),
                                             File(u"b.wav", 0, u"Sound"), Folder(u"Alpha")};
    const std::vector<std::pair<const char*, Order>> orders = {
        {"name", [](TShellSortHelper& h, IShellSortItem& a,
                    IShellSortItem& b) { return h.CompareStrings(a.NameNormal(), b.NameNormal(), a, b); }},
        {"size",
         [](TShellSortHelper& h, IShellSortItem& a, IShellSortItem& b) { return h.CompareSize(a, b); }},
        {"type",
         [](TShellSortHelper& h, IShellSortItem& a, IShellSortItem& b) { return h.CompareFileType(a, b); }},
        {"time", [](TShellSortHelper& h, IShellSortItem& a,
                    IShellSortItem& b) { return h.CompareFileTimes(5, 5, a, b); }},
    };
    for (const auto& [column, order] : orders) {
        const auto names = Sorted(items, order);
        EXPECT_EQ(names[0], "Alpha") << column;
        EXPECT_EQ(names[1], "zeta") << column;
    }
}

TEST(ShellSort, SizesAreUnsignedAndTiesFollowTheShellsNameOrder) {
    const Order bySize = [](TShellSortHelper& h, IShellSortItem& a, IShellSortItem& b) {
        return h.CompareSize(a, b);
    };
    const std::uint64_t fourGiB = 0x100000000ULL;
    EXPECT_EQ(
        Sorted({File(u"huge", fourGiB), File(u"small", 1), File(u"top", ~0ULL), File(u"b", 7), File(u"A", 7)},
               bySize),
        (std::vector<std::string>{"small", "A", "b", "huge", "top"}));
}

TEST(ShellSort, ColumnTieFallsBackToCodePointOrderOfNames) {
    TShellSortHelper helper;
    ScriptedItem upperB = File(u"B");
    ScriptedItem lowerA = File(u"a");
    EXPECT_LT(helper.CompareIDs(2, upperB, lowerA), 0); // "B" (U+0042) before "a" (U+0061)
    EXPECT_GT(helper.CompareIDs(0, upperB, lowerA), 0); // the name column keeps the shell's order
    ScriptedItem same = File(u"B");
    EXPECT_EQ(helper.CompareIDs(3, upperB, same), 0);
    upperB.hasParent = false;
    EXPECT_EQ(helper.CompareIDs(0, upperB, lowerA), 0);
}

TEST(ShellSort, FileTypeByTypeTextOrByExtension) {
    struct Case {
        TFileSort sort;
        ScriptedItem a, b;
        int expected;
    };
    ScriptedItem virtualItem = File(u"Printers.txt");
    virtualItem.fileSystem = false;
    const std::vector<Case> cases = {
        {TFileSort::fsFileType, File(u"x.b", 0, u"Alpha"), File(u"y.a", 0, u"Beta"), -1},
        {TFileSort::fsFileType, File(u"y", 0, u"Same"), File(u"x", 0, u"Same"), 1}, // tie: shell's names
        {TFileSort::fsFileExtension, File(u"x.b", 0, u"Alpha"), File(u"y.a", 0, u"Beta"), 1},
        {TFileSort::fsFileExtension, File(u"a.TXT"), File(u"b.txt"), -1}, // case counts: 'T' < 't'
        {TFileSort::fsFileExtension, File(u"b.txt"), File(u"a.TXT"), 1},
        {TFileSort::fsFileExtension, File(u"b.txt"), File(u"a.txt"), 1},  // same extension: shell's names
        {TFileSort::fsFileExtension, File(u"noext"), File(u"a.txt"), -1}, // the folder's dot is not one
        {TFileSort::fsFileExtension, virtualItem, File(u"a.txt"), 0},
        {TFileSort::fsFileExtension, Folder(u"f"), File(u"a.txt"), -1},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        Case c = cases[i];
        TShellSortHelper helper;
        helper.FileSort = c.sort;
        EXPECT_EQ(helper.CompareFileType(c.a, c.b), c.expected) << "case " << i;
    }
}

TEST(ShellSort, FileTimesThenNames) {
    TShellSortHelper helper;
    ScriptedItem a = File(u"a");
    ScriptedItem b = File(u"b");
    EXPECT_EQ(helper.CompareFileTimes(0x1'0000'0000ULL, 1, a, b), 1); // the high word counts
    EXPECT_EQ(helper.CompareFileTimes(3, 3, a, b), -1);
}

} // namespace
} // namespace tarvola
