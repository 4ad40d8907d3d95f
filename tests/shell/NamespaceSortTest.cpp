#include "tests/shell/ShellLayerFixture.h"

#include "shell/VirtualNamespaceSort.h"

#include <algorithm>
#include <vector>

namespace tarvola::test {
namespace {

class NamespaceSortTest : public ShellLayerTest {
protected:
    void SetUp() override { MakeTree(); }

    // The names of the items sorted by order.
    std::vector<std::u16string> Sorted(const std::vector<std::string>& names,
                                       int (*order)(TShellSortHelper&, IShellSortItem&, IShellSortItem&)) {
        std::vector<std::unique_ptr<TNamespace>> items;
        std::vector<TNamespaceSortItem> wrapped;
        for (const std::string& name : names)
            items.push_back(Item(name));
        for (auto& item : items)
            wrapped.emplace_back(*item);
        TShellSortHelper helper;
        std::vector<TNamespaceSortItem*> sorted;
        for (auto& item : wrapped)
            sorted.push_back(&item);
        std::stable_sort(sorted.begin(), sorted.end(), [&](TNamespaceSortItem* a, TNamespaceSortItem* b) {
            return order(helper, *a, *b) < 0;
        });
        std::vector<std::u16string> result;
        for (TNamespaceSortItem* item : sorted)
            result.push_back(item->Item().NameForParsingInFolder());
        return result;
    }
};

TEST_F(NamespaceSortTest, ShellItemsSortByNameAndSizeWithFoldersFirst) {
    const std::vector<std::string> names = {"c.bin", "sub", "a.txt", "b.ker", "empty"};
    EXPECT_EQ(Sorted(names, [](TShellSortHelper& h, IShellSortItem& a,
                               IShellSortItem& b) { return h.CompareIDs(0, a, b); }),
              (std::vector<std::u16string>{u"empty", u"sub", u"a.txt", u"b.ker", u"c.bin"}));
    EXPECT_EQ(Sorted(names, [](TShellSortHelper& h, IShellSortItem& a,
                               IShellSortItem& b) { return h.CompareSize(a, b); }),
              (std::vector<std::u16string>{u"empty", u"sub", u"a.txt", u"b.ker", u"c.bin"}));
    TShellSortHelper helper;
    auto a = Item("a.txt");
    auto b = Item("b.ker");
    TNamespaceSortItem sortA(*a), sortB(*b);
    EXPECT_LT(helper.CompareIDs(0, sortA, sortB), 0);
    EXPECT_GT(helper.CompareIDs(0, sortB, sortA), 0);
}

} // namespace
} // namespace tarvola::test
