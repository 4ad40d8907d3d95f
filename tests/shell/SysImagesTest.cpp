// The system image lists: the three sizes are bound, and an icon index of a file is an index into them.
#include "shell/VirtualSysImages.h"
#include "tests/shell/ShellLayerFixture.h"

namespace tarvola::test {
namespace {

class SysImagesTest : public ShellLayerTest {};

TEST_F(SysImagesTest, ListsOfEachSizeHoldTheShellsIcons) {
    struct Case {
        TVirtualSysImages& list;
        int side;
    };
    const Case cases[] = {{SmallSysImages(), 16}, {LargeSysImages(), 32}, {ExtraLargeSysImages(), 48}};
    folder.Write("a.txt", "a");
    SHFILEINFOW info{};
    const WideString path = Path("a.txt");
    ASSERT_NE(SHGetFileInfoW(reinterpret_cast<LPCWSTR>(path.c_str()), 0, &info, sizeof(info),
                             SHGFI_SYSICONINDEX | SHGFI_SMALLICON),
              0u);
    for (const Case& c : cases) {
        ASSERT_NE(c.list.Handle(), nullptr);
        int width = 0, height = 0;
        ASSERT_TRUE(ImageList_GetIconSize(c.list.Handle(), &width, &height));
        EXPECT_EQ(width, c.side);
        EXPECT_EQ(height, c.side);
        EXPECT_LT(info.iIcon, ImageList_GetImageCount(c.list.Handle()));
    }
    RefreshSysImageLists();
    EXPECT_NE(ExtraLargeSysImages().Handle(), nullptr);
}

} // namespace
} // namespace tarvola::test
