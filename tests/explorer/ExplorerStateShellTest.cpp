#include "explorer/ExplorerStateShellWin32.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvola {
namespace {

// The desktop's list for a path, by value.
TItemIDList ListOf(const std::filesystem::path& path) {
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(SHParseDisplayName(path.wstring().c_str(), nullptr, &pidl, 0, nullptr)) || pidl == nullptr)
        throw std::runtime_error("cannot parse " + path.string());
    const TItemIDList list = TItemIDList::FromPIDL(reinterpret_cast<PCItemIDList>(pidl));
    CoTaskMemFree(pidl);
    return list;
}

class ShellStateShellTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

TEST_F(ShellStateShellTest, OrdersChildrenAndTellsWhetherTheyExist) {
    test::TTempFolder temp;
    temp.Write("b.txt", "b");
    temp.Write("a.txt", "a");
    std::filesystem::create_directory(temp.Path() / "sub");
    const TItemIDList folder = ListOf(temp.Path());
    const TItemIDList a = ListOf(temp.Path() / "a.txt");
    const TItemIDList b = ListOf(temp.Path() / "b.txt");
    const TItemIDList sub = ListOf(temp.Path() / "sub");
    TShellStateShell shell;
    EXPECT_EQ(shell.CompareIDs(folder, a.LastItem(), b.LastItem()), -1);
    EXPECT_EQ(shell.CompareIDs(folder, b.LastItem(), a.LastItem()), 1);
    EXPECT_EQ(shell.CompareIDs(folder, a.LastItem(), a.LastItem()), 0);
    EXPECT_EQ(shell.CompareIDs(folder, sub.LastItem(), a.LastItem()), -1) << "folders first";
    EXPECT_TRUE(shell.ItemExists(a));
    EXPECT_TRUE(shell.ItemExists(sub));
    EXPECT_TRUE(shell.ItemExists(TItemIDList()));
    std::filesystem::remove(temp.Path() / "a.txt");
    std::filesystem::remove(temp.Path() / "sub");
    EXPECT_FALSE(shell.ItemExists(a));
    EXPECT_FALSE(shell.ItemExists(sub));
    EXPECT_TRUE(shell.ItemExists(b));
}

} // namespace
} // namespace tarvola
