// The extended list's thumbnail style under Wine, fed by the thumbnail thread: over a folder holding a
// JPEG photo, a small bitmap and a corrupt JPEG, the list shows the two pictures in place of their icons
// after one pass of the thread and keeps the icon of the corrupt one. Setting TARVOLA_LIST_SHOTS to a folder
// writes the painted list there as thumbs-thread.bmp.
#include "explorer/BitmapFile.h"
#include "explorer/VirtualExplorerListviewExControl.h"
#include "explorer/VirtualExplorerListviewExThumbnails.h"
#include "forms/Form.h"
#include "tests/explorer/ThumbsFixtureFolder.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace tarvola::test {
namespace {

using namespace std::chrono_literals;
using thumbstest::TFixturePicture;

class ExplorerListviewExThumbnailsTest : public ShellLayerTest {
protected:
    void SetUp() override {
        ShellLayerTest::SetUp();
        for (const TFixturePicture& picture : pictures)
            folder.Write(picture.Name, std::string(picture.Bytes.begin(), picture.Bytes.end()));
        folder.Write("notes.txt", "text");
        std::filesystem::create_directory(folder.Path() / "sub");
        form.SetBounds(0, 0, 620, 360);
        list.SetParent(&form);
        list.SetBounds(8, 8, 600, 320);
        list.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        list.SetRootFolderCustomPath(WidePath(folder.Path()));
        form.Show();
        PumpFor(100ms);
    }

    HWND ListWindow() const { return list.ShadowList().Handle(); }
    int IndexOf(const std::string& name) {
        const std::u16string wanted(name.begin(), name.end());
        const int count = list.Core().ItemCount();
        for (int i = 0; i < count; ++i) {
            const WideString caption = list.Core().ItemCaption(i);
            if (std::u16string(caption.begin(), caption.end()) == wanted)
                return i;
        }
        return -1;
    }
    // The list's own item (as the list asks for it), not one parsed again.
    std::uint8_t State(const std::string& name) {
        const int index = IndexOf(name);
        if (index < 0)
            return tsNone;
        const std::optional<TItemIDList> pidl = list.Core().ItemPIDL(index);
        return pidl ? list.OwnThumbnails()->Thumbnails().State(*pidl) : std::uint8_t{tsNone};
    }
    // The colour painted at the middle of the item's icon rectangle.
    COLORREF IconMiddle(int index) {
        RECT icon{};
        icon.left = LVIR_ICON;
        SendMessageW(ListWindow(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&icon));
        const HDC dc = GetDC(ListWindow());
        const COLORREF colour = GetPixel(dc, (icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
        ReleaseDC(ListWindow(), dc);
        return colour;
    }
    void Repaint() {
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(200ms);
    }

    const std::vector<TFixturePicture> pictures = thumbstest::FixtureFolder();
    TForm form{nullptr};
    TVirtualExplorerListviewEx& list = form.Create<TVirtualExplorerListviewEx>();
};

// Near the ramp's middle (red and green at half, blue 0x40), allowing for the scaling's averaging.
bool IsRampMiddle(COLORREF colour) {
    const auto within = [](int value, int wanted) { return std::abs(value - wanted) <= 40; };
    return within(GetRValue(colour), 127) && within(GetGValue(colour), 127) &&
           within(GetBValue(colour), 0x40);
}

void WriteShot(HWND window, const char* directory) {
    RECT rect{};
    GetClientRect(window, &rect);
    TPixelImage image{rect.right, rect.bottom, {}};
    image.Pixels.resize(static_cast<std::size_t>(rect.right) * static_cast<std::size_t>(rect.bottom));
    const HDC dc = GetDC(window);
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, rect.right, rect.bottom);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, rect.right, rect.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), rect.right, -rect.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(rect.bottom), image.Pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    const std::vector<std::uint8_t> bytes = EncodeBmp(image);
    std::ofstream(std::string(directory) + "/thumbs-thread.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST_F(ExplorerListviewExThumbnailsTest, TheThumbnailStyleDrawsThePicturesAfterOnePassOfTheThread) {
    EXPECT_EQ(list.OwnThumbnails(), nullptr) << "made only when the thumbnail style is entered";
    list.SetViewStyle(TViewStyleEx::vsxThumbs);
    ASSERT_NE(list.OwnThumbnails(), nullptr);
    Repaint();
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (const TFixturePicture& picture : pictures)
                if (State(picture.Name) != picture.State)
                    return false;
            return true;
        },
        30s));
    Repaint();
    for (const TFixturePicture& picture : pictures) {
        SCOPED_TRACE(picture.Name);
        const int index = IndexOf(picture.Name);
        ASSERT_GE(index, 0);
        EXPECT_EQ(IsRampMiddle(IconMiddle(index)), picture.State == tsDone) << std::hex << IconMiddle(index);
    }
    EXPECT_EQ(State("notes.txt"), tsNone) << "not a picture: never asked for";
    if (const char* shots = std::getenv("TARVOLA_LIST_SHOTS"))
        WriteShot(ListWindow(), shots);

    // Another folder: the old items' thumbnails are dropped, the thread's work stays in the cache.
    const int cached = list.OwnThumbnails()->Cache().Count();
    const std::optional<TItemIDList> photo = list.Core().ItemPIDL(IndexOf("photo.jpg"));
    ASSERT_TRUE(photo.has_value());
    list.SetRootFolderCustomPath(Path("sub"));
    PumpFor(100ms);
    EXPECT_EQ(list.OwnThumbnails()->Thumbnails().State(*photo), tsNone);
    EXPECT_EQ(list.OwnThumbnails()->Cache().Count(), cached);
}

class FixedThumbnails : public IListThumbnailSource {
public:
    void RequestThumbnail(const TItemIDList&, int) override { ++requests; }
    std::optional<std::uintptr_t> Thumbnail(const TItemIDList&) override { return std::nullopt; }
    int requests = 0;
};

TEST_F(ExplorerListviewExThumbnailsTest, AHostsSourceIsUsedInPlaceOfTheThread) {
    FixedThumbnails host;
    list.SetThumbnailSource(&host);
    list.SetViewStyle(TViewStyleEx::vsxThumbs);
    Repaint();
    EXPECT_EQ(list.OwnThumbnails(), nullptr);
    EXPECT_GE(host.requests, 2); // the photo and the bitmap at least
    list.SetThumbnailSource(nullptr);
}

} // namespace
} // namespace tarvola::test
