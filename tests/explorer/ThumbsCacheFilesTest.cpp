// The thumbnail cache on the platform's files: a cache and its index written into a real folder, read back,
// pruned when a browsed folder goes, and a write into a folder that is not there failing without a trace.
#include "explorer/ThumbsCache.h"

#include "explorer/BitmapFile.h"
#include "explorer/ThumbsCacheList.h"
#include "tests/shell/ShellLayerFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvola {
namespace {

WideString WideOf(const std::filesystem::path& path) {
    return WideString(path.u16string());
}

// Making the central folder tells the shell of it, as the program does with the shell layer running.
class ThumbsCacheFiles : public test::ShellLayerTest {};

TEST_F(ThumbsCacheFiles, CacheAndIndexGoThroughTheFileSystem) {
    const test::TTempFolder& temp = folder;
    IThumbsCacheFiles& files = PlatformThumbsCacheFiles();
    const WideString folder = WideOf(temp.Path()) + u"\\";
    const WideString picture = WideOf(temp.Write("p.bmp", "x"));
    const WideString central = folder + u"Central";

    EXPECT_TRUE(files.FileExists(picture));
    EXPECT_FALSE(files.DirectoryExists(central));
    ASSERT_TRUE(files.MakeDirectory(central));
    EXPECT_TRUE(files.DirectoryExists(central));
    EXPECT_FALSE(files.ReadWhole(folder + u"none.cache").has_value());

    TThumbsCache cache(files);
    cache.Folder = folder;
    cache.AddThumbnail(picture, 45000.5, TPixelImage{3, 2, {1, 2, 3, 4, 5, 6}}, false, 300, 200);
    TCacheList list(files);
    list.SetCentralFolder(central);
    const WideString cacheFile = list.MakeCacheFileName(folder);
    ASSERT_TRUE(cache.WriteToFile(cacheFile));
    ASSERT_TRUE(list.Save());
    EXPECT_FALSE(files.FileExists(cacheFile + u".tmp~"));

    TCacheList loadedList(files);
    loadedList.SetCentralFolder(central);
    loadedList.Load();
    ASSERT_EQ(loadedList.FindCacheFileName(folder), cacheFile);
    TThumbsCache loaded(files);
    ASSERT_EQ(loaded.ReadFromFile(cacheFile), TThumbsCacheLoad::Loaded);
    TPixelImage bitmap;
    ASSERT_TRUE(loaded.ReadBitmap(loaded.IndexOf(picture), bitmap));
    EXPECT_EQ(bitmap.Pixels, (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6}));

    // A write that cannot be made leaves nothing behind.
    EXPECT_FALSE(cache.WriteToFile(folder + u"missing\\x.cache"));
    EXPECT_FALSE(files.FileExists(folder + u"missing\\x.cache.tmp~"));

    // The picture's folder goes: the next save of the index drops its line and its cache file.
    loadedList.Add(folder + u"gone\\=gone.cache");
    ASSERT_TRUE(files.WriteWhole(central + u"\\gone.cache", std::vector<std::uint8_t>{1}));
    ASSERT_TRUE(loadedList.Save());
    EXPECT_EQ(loadedList.Count(), 1);
    EXPECT_FALSE(files.FileExists(central + u"\\gone.cache"));
    EXPECT_TRUE(files.RemoveFile(cacheFile));
    EXPECT_FALSE(files.RemoveFile(cacheFile));
}

} // namespace
} // namespace tarvola
