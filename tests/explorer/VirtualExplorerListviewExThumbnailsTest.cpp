// The extended list's thumbnail style under Wine, fed by the thumbnail thread: over a folder holding a
// JPEG photo, a small bitmap and a corrupt JPEG, the list shows the two pictures in place of their icons,
// in boxes of the options' size, after one pass of the thread and keeps the icon of the corrupt one; with
// the cache options' files, a list made again later paints them from the cache file without the thread.
// Setting TARVOLA_LIST_SHOTS to a folder writes the painted lists there as thumbs-thread.bmp and
// thumbs-cache.bmp.
#include "explorer/BitmapFile.h"
#include "explorer/VirtualExplorerListviewExControl.h"
#include "explorer/VirtualExplorerListviewExThumbnails.h"
#include "forms/Form.h"
#include "tests/explorer/ThumbsFixtureFolder.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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
    // Where the thumbnail style puts a picture of that size: centred in the item's box, which is centred in
    // its icon rectangle.
    RECT PictureRect(HWND window, int index, int width, int height) {
        RECT icon{};
        icon.left = LVIR_ICON;
        SendMessageW(window, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&icon));
        const int middleX = (icon.left + icon.right) / 2, middleY = (icon.top + icon.bottom) / 2;
        return RECT{middleX - width / 2, middleY - height / 2, middleX - width / 2 + width,
                    middleY - height / 2 + height};
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

// A pixel of the ramp picture: its blue is constant, unlike the list's colours and the frame's.
bool IsRamp(COLORREF colour) {
    return std::abs(GetBValue(colour) - 0x40) <= 24;
}

COLORREF PixelAt(HWND window, int x, int y) {
    const HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// The picture covers the rectangle: its pixels are the ramp's 2 pixels inside each edge and not 2 pixels
// outside.
void ExpectPictureCovers(HWND window, const RECT& rect) {
    const int middleX = (rect.left + rect.right) / 2, middleY = (rect.top + rect.bottom) / 2;
    const struct {
        const char* edge;
        int insideX, insideY, outsideX, outsideY;
    } edges[] = {
        {"left", rect.left + 2, middleY, rect.left - 3, middleY},
        {"right", rect.right - 3, middleY, rect.right + 2, middleY},
        {"top", middleX, rect.top + 2, middleX, rect.top - 3},
        {"bottom", middleX, rect.bottom - 3, middleX, rect.bottom + 2},
    };
    for (const auto& edge : edges) {
        SCOPED_TRACE(edge.edge);
        EXPECT_TRUE(IsRamp(PixelAt(window, edge.insideX, edge.insideY)))
            << std::hex << PixelAt(window, edge.insideX, edge.insideY);
        EXPECT_FALSE(IsRamp(PixelAt(window, edge.outsideX, edge.outsideY)))
            << std::hex << PixelAt(window, edge.outsideX, edge.outsideY);
    }
}

void WriteShot(HWND window, const char* directory, const char* name = "thumbs-thread.bmp") {
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
    std::ofstream(std::string(directory) + "/" + name, std::ios::binary)
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

// The pictures at their thumbnail size, not at the large icons' 32 x 24: the boxes follow the options.
TEST_F(ExplorerListviewExThumbnailsTest, ThePicturesAreDrawnAtTheOptionsSize) {
    const struct {
        int box;
        int photoWidth, photoHeight; // the 1600 x 1200 photo in the box
    } cases[] = {{120, 120, 90}, {200, 200, 150}, {64, 64, 48}};
    // Tall enough for two rows of the largest boxes.
    form.SetBounds(0, 0, 620, 720);
    list.SetBounds(8, 8, 600, 680);
    list.SetViewStyle(TViewStyleEx::vsxThumbs);
    for (const auto& size : cases) {
        SCOPED_TRACE(size.box);
        list.ThumbsOptions().Options.Width = size.box;
        list.ThumbsOptions().Options.Height = size.box;
        list.ThumbsOptionsChanged();
        Repaint();
        ASSERT_TRUE(
            PumpUntil([&] { return State("photo.jpg") == tsDone && State("small.bmp") == tsDone; }, 30s));
        Repaint();
        const TThumbsOptions& options = list.ThumbsOptions().Options;
        TThumbSpacing spacing;
        ASSERT_TRUE(options.IconSpacing(spacing));
        const auto applied = static_cast<DWORD>(SendMessageW(ListWindow(), LVM_GETITEMSPACING, FALSE, 0));
        EXPECT_EQ(LOWORD(applied), spacing.Width);
        EXPECT_EQ(HIWORD(applied), spacing.Height);
        const struct {
            const char* name;
            int width, height;
        } pictures[] = {{"photo.jpg", size.photoWidth, size.photoHeight}, {"small.bmp", 50, 40}};
        for (const auto& picture : pictures) {
            SCOPED_TRACE(picture.name);
            ExpectPictureCovers(ListWindow(), PictureRect(ListWindow(), IndexOf(picture.name), picture.width,
                                                          picture.height));
        }
    }
}

// With the cache options' files on, leaving the list writes the folder's cache file; a list made later
// reads it as it browses into the folder and draws the pictures without the thread.
TEST_F(ExplorerListviewExThumbnailsTest, AListMadeAgainDrawsFromTheCacheFile) {
    const WideString central = Path("central");
    const auto useCacheFiles = [&](TVirtualExplorerListviewEx& target) {
        TThumbsCacheOptions& cacheOptions = target.ThumbsOptions().CacheOptions();
        cacheOptions.AutoSave = true;
        cacheOptions.AutoLoad = true;
        cacheOptions.SetCentralFolder(central);
    };
    useCacheFiles(list);
    list.SetRootFolderCustomPath(Path("sub"));
    list.SetRootFolderCustomPath(WidePath(folder.Path())); // browsed into with the options set
    list.SetViewStyle(TViewStyleEx::vsxThumbs);
    Repaint();
    ASSERT_TRUE(PumpUntil([&] { return State("photo.jpg") == tsDone && State("small.bmp") == tsDone; }, 30s));
    form.FreeComponent(list);
    // Nothing is left for the thread: the corrupt picture, never cached, goes.
    std::filesystem::remove(folder.Path() / "corrupt.jpg");
    const auto openList = [&]() -> TVirtualExplorerListviewEx& {
        TVirtualExplorerListviewEx& made = form.Create<TVirtualExplorerListviewEx>();
        useCacheFiles(made);
        made.SetParent(&form);
        made.SetBounds(8, 8, 600, 320);
        made.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        made.SetRootFolderCustomPath(WidePath(folder.Path()));
        return made;
    };

    TVirtualExplorerListviewEx& again = openList();
    EXPECT_TRUE(again.ThumbsOptions().Cache().Loaded);
    EXPECT_EQ(again.ThumbsOptions().Cache().Count(), 2);
    again.SetViewStyle(TViewStyleEx::vsxThumbs);
    Repaint();
    const HWND window = again.ShadowList().Handle();
    const auto indexOf = [&](TVirtualExplorerListviewEx& target, const char16_t* name) {
        for (int i = 0; i < target.Core().ItemCount(); ++i)
            if (target.Core().ItemCaption(i) == name)
                return i;
        return -1;
    };
    ExpectPictureCovers(window, PictureRect(window, indexOf(again, u"photo.jpg"), 120, 90));
    ExpectPictureCovers(window, PictureRect(window, indexOf(again, u"small.bmp"), 50, 40));
    EXPECT_FALSE(again.OwnThumbnails()->Thumbnails().Requests().ThreadRunning())
        << "drawn from the file alone";
    if (const char* shots = std::getenv("TARVOLA_LIST_SHOTS"))
        WriteShot(window, shots, "thumbs-cache.bmp");
    form.FreeComponent(again);

    // The photo written since it was cached: it shows from the cache at once, is made again, and its entry
    // is replaced in place with the new date.
    const auto written = std::filesystem::last_write_time(folder.Path() / "photo.jpg");
    std::filesystem::last_write_time(folder.Path() / "photo.jpg", written + std::chrono::hours(25));
    TVirtualExplorerListviewEx& later = openList();
    TThumbsCache& cache = later.ThumbsOptions().Cache();
    int photoEntry = -1;
    const TThumbsCacheItem* entry = nullptr;
    for (int i = 0; i < cache.Count(); ++i)
        if (cache.Read(i, entry) && entry->FileName.ends_with(u"photo.jpg"))
            photoEntry = i;
    ASSERT_GE(photoEntry, 0);
    ASSERT_TRUE(cache.Read(photoEntry, entry));
    const double cachedDate = entry->FileDate;
    later.SetViewStyle(TViewStyleEx::vsxThumbs);
    Repaint();
    const std::optional<TItemIDList> photo = later.Core().ItemPIDL(indexOf(later, u"photo.jpg"));
    ASSERT_TRUE(photo.has_value());
    EXPECT_EQ(later.OwnThumbnails()->Thumbnails().State(*photo), tsDone);
    EXPECT_TRUE(later.OwnThumbnails()->Thumbnails().Requests().ThreadRunning());
    EXPECT_TRUE(
        PumpUntil([&] { return cache.Read(photoEntry, entry) && entry->FileDate != cachedDate; }, 30s));
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(later.OwnThumbnails()->Thumbnails().State(*photo), tsDone);
}

// A cache entry that no longer decodes draws nothing once; the thread then makes it again and the entry is
// replaced in place, so the picture comes back instead of the item staying blank.
TEST_F(ExplorerListviewExThumbnailsTest, ADamagedCacheEntryIsMadeAgain) {
    list.SetViewStyle(TViewStyleEx::vsxThumbs);
    Repaint();
    ASSERT_TRUE(PumpUntil([&] { return State("photo.jpg") == tsDone; }, 30s));
    TThumbsCache& cache = list.OwnThumbnails()->Cache();
    const std::optional<TItemIDList> photo = list.Core().ItemPIDL(IndexOf("photo.jpg"));
    ASSERT_TRUE(photo.has_value());
    const int photoEntry = list.OwnThumbnails()->Thumbnails().CacheIndex(*photo);
    const TThumbsCacheItem* entry = nullptr;
    ASSERT_TRUE(cache.Read(photoEntry, entry));
    const WideString fileName = entry->FileName;
    ASSERT_EQ(cache.AddStream(fileName, entry->FileDate, {1, 2, 3, 4}, entry->Compressed, entry->ImageWidth,
                              entry->ImageHeight),
              photoEntry);
    const int count = cache.Count();

    Repaint();
    ASSERT_TRUE(PumpUntil(
        [&] {
            TPixelImage picture;
            return State("photo.jpg") == tsDone && cache.ReadBitmap(photoEntry, picture);
        },
        30s));
    Repaint();
    EXPECT_EQ(cache.Count(), count) << "replaced in place";
    EXPECT_TRUE(IsRampMiddle(IconMiddle(IndexOf("photo.jpg"))))
        << std::hex << IconMiddle(IndexOf("photo.jpg"));
}

TEST(ThumbnailDetailsText, ThePicturesSizeLeadsWhenKnown) {
    const struct {
        const char16_t* details;
        int width, height;
        const char16_t* shown;
    } cases[] = {
        {u"\r12 KB\r1/2/2026 10:04", 1600, 1200, u"1600x1200\r12 KB\r1/2/2026 10:04"},
        {u"\r12 KB\r1/2/2026 10:04", 0, 1200, u"\r12 KB\r1/2/2026 10:04"},
        {u"\r12 KB\r1/2/2026 10:04", 50, -1, u"\r12 KB\r1/2/2026 10:04"},
        {u"", 50, 40, u"50x40\r\r"},
        {u"", 0, 0, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetailsWithPictureSize(c.details, c.width, c.height), c.shown);
}

// With Details the lower part of each box holds the size and date in text; without, no text is drawn there.
TEST_F(ExplorerListviewExThumbnailsTest, TheDetailsAreDrawnUnderThePicturesWhenAskedFor) {
    // Tall enough for two rows of boxes with their details.
    form.SetBounds(0, 0, 620, 720);
    list.SetBounds(8, 8, 600, 680);
    list.SetViewStyle(TViewStyleEx::vsxThumbs);
    for (const bool details : {true, false}) {
        SCOPED_TRACE(details);
        list.ThumbsOptions().Options.Details = details;
        list.ThumbsOptionsChanged();
        Repaint();
        ASSERT_TRUE(PumpUntil([&] { return State("small.bmp") == tsDone; }, 30s));
        Repaint();
        RECT icon{};
        icon.left = LVIR_ICON;
        SendMessageW(ListWindow(), LVM_GETITEMRECT, static_cast<WPARAM>(IndexOf("small.bmp")),
                     reinterpret_cast<LPARAM>(&icon));
        const TThumbnailItemPaint places = ThumbnailItemPlaces(list.ThumbsOptions().Options, icon);
        EXPECT_EQ(IsRectEmpty(&places.DetailsRect) == FALSE, details);
        // The box's bottom part inside its border: dark pixels there are the text's.
        const RECT strip{places.Bounds.left + 3, places.Bounds.bottom - 40, places.Bounds.right - 3,
                         places.Bounds.bottom - 3};
        int dark = 0;
        for (int y = strip.top; y < strip.bottom; ++y)
            for (int x = strip.left; x < strip.right; ++x) {
                const COLORREF colour = PixelAt(ListWindow(), x, y);
                if (GetRValue(colour) < 0x60 && GetGValue(colour) < 0x60 && GetBValue(colour) < 0x60)
                    ++dark;
            }
        EXPECT_EQ(dark > 0, details) << dark;
    }
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
