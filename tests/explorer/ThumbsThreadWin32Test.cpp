// Thumbnails of a real folder under Wine: the thread's requests post their results with states and source
// sizes to the list's window (metafiles and icons drawn by the platform); the thumbnail style paints them
// from the cache after one pass of the thread, and paints the same pixels from the cache file after a
// restart, without the thread. Setting TARVOLA_THUMBS_SHOT to a file name saves the painted items as a bitmap
// file to look at.
#include "explorer/ThumbsDrawWin32.h"
#include "explorer/ThumbsListStoreWin32.h"
#include "explorer/ThumbsThreadWin32.h"
#include "forms/UtilityWindow.h"
#include "shell/VirtualUnicodeDefines.h"
#include "tests/explorer/ThumbsFixtureFolder.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/DibSurface.h"
#include "tests/support/MessagePump.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

namespace tarvola {
namespace {

using thumbstest::TFixturePicture;
using namespace std::chrono_literals;

constexpr COLORREF kListColour = RGB(250, 250, 240);
constexpr int kCell = 168; // the default box (128) and spacing (40)

std::vector<std::uint8_t> EnhancedMetafileBytes() {
    const HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT area{0, 0, 80, 60};
    FillRect(dc, &area, red);
    DeleteObject(red);
    const HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    std::vector<std::uint8_t> bytes(GetEnhMetaFileBits(metafile, 0, nullptr));
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    DeleteEnhMetaFile(metafile);
    return bytes;
}

// A Windows metafile behind a placeable header of one inch by half an inch at 1440 units per inch.
std::vector<std::uint8_t> PlaceableMetafileBytes() {
    const HDC dc = CreateMetaFileW(nullptr);
    Rectangle(dc, 0, 0, 1440, 720);
    const HMETAFILE metafile = CloseMetaFile(dc);
    std::vector<std::uint8_t> records(GetMetaFileBitsEx(metafile, 0, nullptr));
    GetMetaFileBitsEx(metafile, static_cast<UINT>(records.size()), records.data());
    DeleteMetaFile(metafile);
    std::vector<std::uint8_t> bytes(22 + records.size());
    const std::uint16_t header[10] = {0xCDD7, 0x9AC6, 0, 0, 0, 1440, 720, 1440, 0, 0};
    std::uint16_t checksum = 0;
    for (std::uint16_t word : header)
        checksum ^= word;
    std::memcpy(bytes.data(), header, sizeof(header));
    std::memcpy(bytes.data() + 20, &checksum, 2);
    std::memcpy(bytes.data() + 22, records.data(), records.size());
    return bytes;
}

// An icon file of one blue 32 x 32 image of 32 bits.
std::vector<std::uint8_t> IconBytes() {
    constexpr int side = 32;
    const std::uint32_t imageSize = 40 + side * side * 4 + side * 4;
    std::vector<std::uint8_t> bytes = {0, 0, 1, 0, 1, 0, side, side, 0, 0, 1, 0, 32, 0};
    for (std::uint32_t value : {imageSize, 22u})
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), side, 2 * side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&info);
    bytes.insert(bytes.end(), raw, raw + sizeof(info));
    for (int i = 0; i < side * side; ++i)
        bytes.insert(bytes.end(), {0xFF, 0, 0, 0xFF});
    bytes.insert(bytes.end(), side * 4, 0); // the mask: all drawn
    return bytes;
}

class ThumbsWin32Test : public test::ShellLayerTest {
protected:
    // The items as the thumbnail style lays them out in a row: boxes of 128 x 128 with the border of 4
    // round the 120 x 120 image rectangle.
    static TThumbnailItemPaint ItemAt(int index, const TThumbsCacheItem* entry, int cacheIndex) {
        TThumbnailItemPaint item;
        const int left = 20 + index * kCell;
        item.Bounds = RECT{left, 20, left + 128, 148};
        item.ImageRect = RECT{left + 4, 24, left + 124, 144};
        item.State = entry != nullptr ? tsDone : tsNoThumbnail;
        item.CacheIndex = cacheIndex;
        item.Background = kListColour;
        return item;
    }

    // Paints the folder's items from the cache, with their names below, into a surface.
    static void Paint(const test::DibSurface& surface, TThumbsCache& cache,
                      const std::vector<TFixturePicture>& pictures, const WideString& folder) {
        const TThumbsOptions options;
        for (int i = 0; i < static_cast<int>(pictures.size()); ++i) {
            const WideString path = folder + Utf8ToWide(pictures[static_cast<std::size_t>(i)].Name);
            const int index = cache.IndexOf(path);
            const TThumbsCacheItem* entry = nullptr;
            cache.Read(index, entry);
            const TThumbnailItemPaint item = ItemAt(i, entry, index);
            // The stand-in for the list's icon of an item without a thumbnail: the application icon.
            PaintThumbnailItem(surface.dc(), options, cache, item, [](HDC dc, const RECT& rect) {
                const HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
                DrawIconEx(dc, (rect.left + rect.right) / 2 - 16, (rect.top + rect.bottom) / 2 - 16, icon, 32,
                           32, 0, nullptr, DI_NORMAL);
            });
            RECT caption{item.Bounds.left - 10, item.Bounds.bottom + 4, item.Bounds.right + 10,
                         item.Bounds.bottom + 24};
            SetBkMode(surface.dc(), TRANSPARENT);
            const std::wstring name(pictures[static_cast<std::size_t>(i)].Name.begin(),
                                    pictures[static_cast<std::size_t>(i)].Name.end());
            DrawTextW(surface.dc(), name.c_str(), -1, &caption, DT_CENTER | DT_SINGLELINE);
        }
    }

    static void SaveShot(const test::DibSurface& surface) {
        const char* path = std::getenv("TARVOLA_THUMBS_SHOT");
        if (path == nullptr || *path == 0)
            return;
        const std::vector<std::uint8_t> bytes =
            EncodeBmp(TPixelImage{surface.width(), surface.height(), surface.Pixels()});
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
};

TEST_F(ThumbsWin32Test, FolderThumbnailsArePostedPaintedAndPaintedAgainFromTheCacheFile) {
    const std::vector<TFixturePicture> pictures = thumbstest::FixtureFolder();
    std::vector<PItemIDList> pidls;
    for (const TFixturePicture& picture : pictures) {
        folder.Write(picture.Name, std::string(picture.Bytes.begin(), picture.Bytes.end()));
        pidls.push_back(PathToPIDL(Path(picture.Name)));
        ASSERT_NE(pidls.back(), nullptr);
    }
    const WideString folderPath = test::WidePath(folder.Path()) + u"\\";

    // One pass of the thread: each result goes into the cache as the list stores it.
    IThumbsCacheFiles& files = PlatformThumbsCacheFiles();
    TThumbsCache cache(files);
    cache.Folder = folderPath;
    std::map<std::string, TThumbnailResult> results;
    TThumbnailRequests* owner = nullptr;
    TUtilityWindow list([&](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_THUMBTHREADRESULT)
            return std::nullopt;
        auto* item = reinterpret_cast<TImageThreadItem*>(wParam);
        const auto* picture = static_cast<const TFixturePicture*>(item->Data);
        const TThumbnailResult* result = ThumbResultOf(*item);
        if (result != nullptr) {
            results[picture->Name] = *result;
            if (result->State == tsDone)
                cache.AddStream(folderPath + Utf8ToWide(picture->Name), 0, result->Stream, result->Compressed,
                                result->Width, result->Height);
        }
        owner->ReleaseItem(item);
        return 0;
    });
    {
        TThumbnailRequests requests(TShellLayer::Get().PIDLMgr(),
                                    TThumbsOptions().ThreadSettings(false, 0xF0FAFA));
        owner = &requests;
        EXPECT_FALSE(requests.ThreadRunning());
        for (std::size_t i = 0; i < pictures.size(); ++i)
            requests.AddNewItem(list.Handle(), pidls[i], const_cast<TFixturePicture*>(&pictures[i]),
                                static_cast<std::int32_t>(i));
        EXPECT_TRUE(requests.ThreadRunning());
        EXPECT_TRUE(test::PumpUntil([&] { return results.size() == pictures.size(); }, 30s));
        requests.ClearPendingItems(list.Handle());
    }
    for (const TFixturePicture& picture : pictures) {
        SCOPED_TRACE(picture.Name);
        ASSERT_TRUE(results.contains(picture.Name));
        const TThumbnailResult& result = results[picture.Name];
        EXPECT_EQ(result.State, picture.State);
        EXPECT_EQ(result.Width, picture.ImageWidth);
        EXPECT_EQ(result.Height, picture.ImageHeight);
        EXPECT_EQ(result.Stream.empty(), picture.State != tsDone);
    }
    ASSERT_EQ(cache.Count(), 2);

    test::DibSurface first(3 * kCell + 20, 190, kListColour);
    Paint(first, cache, pictures, folderPath);
    SaveShot(first);
    // The photo's thumbnail fills the width of its rectangle (120 x 90, centred) and is not blank: the red
    // ramp runs from left to right.
    const COLORREF photoLeft = first.At(24 + 2, 84), photoRight = first.At(24 + 117, 84);
    EXPECT_LT(GetRValue(photoLeft) + 100, GetRValue(photoRight));
    EXPECT_EQ(first.At(24 + 60, 24 + 5), kListColour); // above the 90 rows of the picture
    // The small bitmap keeps its 50 x 40, centred in its rectangle.
    const int bmpLeft = kCell + 24 + 35, bmpTop = 24 + 40;
    EXPECT_NE(first.At(bmpLeft + 25, bmpTop + 20), kListColour);
    EXPECT_EQ(first.At(bmpLeft - 2, bmpTop + 20), kListColour);
    // The frame of a made thumbnail; the corrupt picture has none and shows the icon instead.
    EXPECT_EQ(first.At(20, 80), GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(first.At(2 * kCell + 20, 80), GetSysColor(COLOR_BTNFACE));

    // A restart: the cache goes to its file, and a new cache read from it paints the same, with no thread.
    const WideString cacheFile = folderPath + u"Thumbnails.Cache";
    ASSERT_TRUE(cache.WriteToFile(cacheFile));
    TThumbsCache reloaded(files);
    ASSERT_EQ(reloaded.ReadFromFile(cacheFile), TThumbsCacheLoad::Loaded);
    EXPECT_EQ(reloaded.Count(), 2);
    test::DibSurface second(first.width(), first.height(), kListColour);
    Paint(second, reloaded, pictures, folderPath);
    EXPECT_TRUE(first.Pixels() == second.Pixels());

    // Sixty thumbnails read for painting keep fifty decoded bitmaps.
    const std::vector<std::uint8_t> small = pictures[1].Bytes;
    TPixelImage bitmap;
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(reloaded.ReadBitmap(
            reloaded.AddStream(folderPath + u"more" + Utf8ToWide(std::to_string(i)) + u".bmp", 0, small,
                               false, 50, 40),
            bitmap));
    EXPECT_EQ(reloaded.BufferCount(), TThumbsCache::BufferSize);

    for (PItemIDList pidl : pidls)
        TShellLayer::Get().PIDLMgr().FreePIDL(pidl);
}

// Metafiles and icons have no decoder of their own: the platform draws them at their size.
TEST_F(ThumbsWin32Test, MetafilesAndIconsAreDrawnByThePlatform) {
    struct Case {
        std::string name;
        std::vector<std::uint8_t> bytes;
        std::uint8_t state;
        int width, height;
        COLORREF middle; // the colour in the middle of the thumbnail, or CLR_INVALID for any
    };
    const std::vector<std::uint8_t> placeable = PlaceableMetafileBytes(), icon = IconBytes();
    const std::vector<Case> cases = {
        {"red.emf", EnhancedMetafileBytes(), tsDone, 80, 60, RGB(255, 0, 0)},
        {"inch.wmf", placeable, tsDone, 96, 48, CLR_INVALID},
        {"blue.ico", icon, tsDone, 32, 32, RGB(0, 0, 255)},
        {"noise.emf", std::vector<std::uint8_t>(200, 0x5A), tsNoThumbnail, 0, 0, CLR_INVALID},
        {"no-header.wmf", std::vector<std::uint8_t>(placeable.begin() + 22, placeable.end()), tsNoThumbnail,
         0, 0, CLR_INVALID},
        {"cut.ico", std::vector<std::uint8_t>(icon.begin(), icon.begin() + 30), tsNoThumbnail, 0, 0,
         CLR_INVALID},
    };
    std::vector<PItemIDList> pidls;
    for (const Case& c : cases) {
        folder.Write(c.name, std::string(c.bytes.begin(), c.bytes.end()));
        pidls.push_back(PathToPIDL(Path(c.name)));
        ASSERT_NE(pidls.back(), nullptr);
    }
    std::map<std::string, TThumbnailResult> results;
    TThumbnailRequests* owner = nullptr;
    TUtilityWindow list([&](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_THUMBTHREADRESULT)
            return std::nullopt;
        auto* item = reinterpret_cast<TImageThreadItem*>(wParam);
        if (const TThumbnailResult* result = ThumbResultOf(*item))
            results[static_cast<const Case*>(item->Data)->name] = *result;
        owner->ReleaseItem(item);
        return 0;
    });
    TThumbnailRequests requests(TShellLayer::Get().PIDLMgr(), TThumbnailSettings{});
    owner = &requests;
    for (std::size_t i = 0; i < cases.size(); ++i)
        requests.AddNewItem(list.Handle(), pidls[i], const_cast<Case*>(&cases[i]),
                            static_cast<std::int32_t>(i));
    EXPECT_TRUE(test::PumpUntil([&] { return results.size() == cases.size(); }, 30s));
    requests.ClearPendingItems(list.Handle());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TThumbnailResult& result = results[c.name];
        EXPECT_EQ(result.State, c.state);
        EXPECT_EQ(result.Width, c.width);
        EXPECT_EQ(result.Height, c.height);
        if (result.State != tsDone)
            continue;
        const TPixelImage thumbnail = DecodeBmp(result.Stream);
        EXPECT_EQ(std::pair(thumbnail.Width, thumbnail.Height), std::pair(c.width, c.height));
        if (c.middle != CLR_INVALID) {
            const std::uint32_t pixel = thumbnail.At(c.width / 2, c.height / 2);
            EXPECT_EQ(RGB(pixel >> 16, (pixel >> 8) & 0xFF, pixel & 0xFF), c.middle);
        }
    }
    for (PItemIDList pidl : pidls)
        TShellLayer::Get().PIDLMgr().FreePIDL(pidl);
}

// The list's side: items asked for (twice) get their thumbnails after one pass of the thread and repaint;
// after a restart the same thumbnails come from the cache file without the thread.
TEST_F(ThumbsWin32Test, TheListsThumbnailsComeFromTheThreadThenFromTheCacheFile) {
    const std::vector<TFixturePicture> pictures = thumbstest::FixtureFolder();
    std::vector<TItemIDList> items;
    for (const TFixturePicture& picture : pictures) {
        folder.Write(picture.Name, std::string(picture.Bytes.begin(), picture.Bytes.end()));
        const PItemIDList pidl = PathToPIDL(Path(picture.Name));
        ASSERT_NE(pidl, nullptr);
        items.push_back(TItemIDList::FromPIDL(pidl));
        TShellLayer::Get().PIDLMgr().FreePIDL(pidl);
    }
    folder.Write("notes.txt", "text");
    const PItemIDList text = PathToPIDL(Path("notes.txt"));
    items.push_back(TItemIDList::FromPIDL(text));
    TShellLayer::Get().PIDLMgr().FreePIDL(text);
    const auto sizeOf = [](std::uintptr_t handle) {
        BITMAP bitmap{};
        GetObjectW(reinterpret_cast<HBITMAP>(handle), sizeof(bitmap), &bitmap);
        return std::pair(static_cast<int>(bitmap.bmWidth), static_cast<int>(bitmap.bmHeight));
    };
    const WideString cacheFile = test::WidePath(folder.Path()) + u"\\Thumbnails.Cache";
    {
        TThumbsCache cache(PlatformThumbsCacheFiles());
        std::vector<int> repainted;
        TListThumbnails thumbnails(TShellLayer::Get().PIDLMgr(), cache, TThumbnailSettings{},
                                   [&](int index) { repainted.push_back(index); });
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0; i < items.size(); ++i)
                thumbnails.RequestThumbnail(items[i], static_cast<int>(i));
        EXPECT_EQ(thumbnails.State(items[3]), tsNoThumbnail); // not a picture: never requested
        EXPECT_TRUE(test::PumpUntil([&] { return repainted.size() == pictures.size(); }, 30s));
        EXPECT_EQ(repainted.size(), pictures.size()); // one request each
        for (std::size_t i = 0; i < pictures.size(); ++i) {
            SCOPED_TRACE(pictures[i].Name);
            EXPECT_EQ(thumbnails.State(items[i]), pictures[i].State);
            const std::optional<std::uintptr_t> bitmap = thumbnails.Thumbnail(items[i]);
            ASSERT_EQ(bitmap.has_value(), pictures[i].State == tsDone);
            if (bitmap) {
                EXPECT_EQ(sizeOf(*bitmap), std::pair(pictures[i].ThumbWidth, pictures[i].ThumbHeight));
            }
        }
        ASSERT_TRUE(cache.WriteToFile(cacheFile));
    }
    TThumbsCache cache(PlatformThumbsCacheFiles());
    ASSERT_EQ(cache.ReadFromFile(cacheFile), TThumbsCacheLoad::Loaded);
    TListThumbnails thumbnails(TShellLayer::Get().PIDLMgr(), cache, TThumbnailSettings{}, {});
    thumbnails.RequestThumbnail(items[0], 0);
    EXPECT_EQ(thumbnails.State(items[0]), tsDone);
    EXPECT_FALSE(thumbnails.Requests().ThreadRunning());
    const std::optional<std::uintptr_t> bitmap = thumbnails.Thumbnail(items[0]);
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(sizeOf(*bitmap), std::pair(120, 90));
    thumbnails.ResetThumbnails(TThumbnailSettings{});
    EXPECT_EQ(thumbnails.State(items[0]), tsNone);
    EXPECT_EQ(cache.Count(), 0);
}

} // namespace
} // namespace tarvola
