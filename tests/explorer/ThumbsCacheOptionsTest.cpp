// Loading and saving the thumbnail cache as the view browses: central storage with its index, one file per
// folder, the view's say in both, thumbnails of another size, and clearing when compression changes.
#include "explorer/ThumbsCacheOptions.h"

#include "explorer/BitmapFile.h"
#include "tests/explorer/ThumbsTestFiles.h"

#include <gtest/gtest.h>

namespace tarvola {
namespace {

using thumbstest::TMemoryCacheFiles;

class TFakeHost final : public IThumbsCacheHost {
public:
    bool DoThumbsCacheLoad(TThumbsCache&, const WideString& fileName, TWideStringList&) override {
        loads.push_back(fileName);
        return defaultLoad;
    }
    bool DoThumbsCacheSave(TThumbsCache&, const WideString& fileName, TWideStringList&) override {
        saves.push_back(fileName);
        return allowSave;
    }
    std::vector<WideString> ThumbnailNamesInUse() const override { return inUse; }
    TThumbSize ThumbnailSize() const override { return size; }
    bool RootIsBrowsedFolder() const override { return rootIsBrowsed; }
    void RebuildThumbnails() override { ++rebuilds; }

    bool defaultLoad = true;
    bool allowSave = true;
    bool rootIsBrowsed = true;
    std::vector<WideString> inUse;
    TThumbSize size{120, 120};
    std::vector<WideString> loads, saves;
    int rebuilds = 0;
};

std::vector<std::uint8_t> Thumbnail(std::uint32_t colour) {
    return EncodeBmp(TPixelImage{1, 1, {colour}});
}

struct OptionsFixture : ::testing::Test {
    OptionsFixture() {
        files.folders = {u"C:\\Pics"};
        files.pictures = {u"C:\\Pics\\a.jpg", u"C:\\Pics\\b.jpg"};
    }
    // A cache of the two pictures saved from a view browsing C:\Pics, as another session left it.
    void SaveTwo(TThumbsCacheStorage storage) {
        TFakeHost other;
        TThumbsCacheOptions options(other, files);
        options.StorageType = storage;
        options.SetCentralFolder(u"C:\\Cache");
        options.SetBrowsingFolder(u"C:\\Pics");
        options.ThumbsCache().AddStream(u"C:\\Pics\\a.jpg", 1, Thumbnail(1), false, 10, 10);
        options.ThumbsCache().AddStream(u"C:\\Pics\\b.jpg", 2, Thumbnail(2), false, 10, 10);
        ASSERT_TRUE(options.SaveCache());
    }
    TMemoryCacheFiles files;
    TFakeHost host;
};

TEST_F(OptionsFixture, CentralStorageMakesTheFolderAndIndexAndLoadsFromThem) {
    SaveTwo(TThumbsCacheStorage::tcsCentral);
    EXPECT_TRUE(files.folders.contains(u"C:\\Cache"));
    EXPECT_TRUE(files.files.contains(u"C:\\Cache\\Pics.cache"));
    EXPECT_TRUE(files.files.contains(u"C:\\Cache\\CacheList.txt"));

    TThumbsCacheOptions options(host, files);
    options.SetCentralFolder(u"C:\\Cache");
    options.SetBrowsingFolder(u"c:\\pics\\");
    EXPECT_EQ(options.CacheFileName(), u"C:\\Cache\\Pics.cache");
    // The view made a's thumbnail already: the file's does not replace it.
    options.ThumbsCache().AddStream(u"C:\\Pics\\a.jpg", 9, Thumbnail(9), false, 10, 10);
    host.inUse = {u"c:\\pics\\A.JPG"};
    options.LoadCache();
    EXPECT_TRUE(options.ThumbsCache().Loaded);
    ASSERT_EQ(options.ThumbsCache().Count(), 2);
    const TThumbsCacheItem* item = nullptr;
    ASSERT_TRUE(options.ThumbsCache().Read(options.ThumbsCache().IndexOf(u"C:\\Pics\\a.jpg"), item));
    EXPECT_EQ(item->FileDate, 9);
    EXPECT_EQ(options.ThumbsCache().Folder, u"c:\\pics\\");

    // Without the merge the file replaces the cache.
    options.LoadCache(true);
    ASSERT_TRUE(options.ThumbsCache().Read(options.ThumbsCache().IndexOf(u"C:\\Pics\\a.jpg"), item));
    EXPECT_EQ(item->FileDate, 1);
}

TEST_F(OptionsFixture, PerFolderStorageUsesTheDefaultFileName) {
    SaveTwo(TThumbsCacheStorage::tcsPerFolder);
    EXPECT_TRUE(files.files.contains(u"C:\\Pics\\Thumbnails.Cache"));
    EXPECT_FALSE(files.files.contains(u"C:\\Cache\\CacheList.txt"));

    TThumbsCacheOptions options(host, files);
    options.StorageType = TThumbsCacheStorage::tcsPerFolder;
    options.SetBrowsingFolder(u"C:\\Pics");
    options.LoadCache();
    EXPECT_EQ(options.ThumbsCache().Count(), 2);
    options.DefaultFilename.clear();
    EXPECT_EQ(options.CacheFileName(), u"");
    EXPECT_FALSE(options.SaveCache());
}

TEST_F(OptionsFixture, TheViewMayLoadItselfOrRefuseTheSave) {
    SaveTwo(TThumbsCacheStorage::tcsPerFolder);
    TThumbsCacheOptions options(host, files);
    options.StorageType = TThumbsCacheStorage::tcsPerFolder;
    options.SetBrowsingFolder(u"C:\\Pics");
    host.defaultLoad = false;
    options.LoadCache();
    EXPECT_TRUE(options.ThumbsCache().Loaded);
    EXPECT_EQ(options.ThumbsCache().Count(), 0);

    files.files.clear();
    host.allowSave = false;
    options.ThumbsCache().AddStream(u"C:\\Pics\\a.jpg", 1, Thumbnail(1), false, 10, 10);
    EXPECT_FALSE(options.SaveCache());
    EXPECT_EQ(host.saves, std::vector<WideString>{u"C:\\Pics\\Thumbnails.Cache"});
    EXPECT_TRUE(files.files.empty());
}

TEST_F(OptionsFixture, NothingIsSavedWithoutEntriesAFolderOrACentralFolder) {
    TThumbsCacheOptions options(host, files);
    options.SetCentralFolder(u"C:\\Cache");
    options.SetBrowsingFolder(u"C:\\Pics");
    EXPECT_FALSE(options.SaveCache()) << "empty cache";
    options.ThumbsCache().AddStream(u"C:\\Pics\\a.jpg", 1, Thumbnail(1), false, 10, 10);
    files.failDirectories = true;
    EXPECT_FALSE(options.SaveCache()) << "central folder cannot be made";
    files.failDirectories = false;
    options.SetBrowsingFolder(u"C:\\Gone");
    EXPECT_FALSE(options.SaveCache()) << "browsed folder gone";
    options.SetBrowsingFolder(u"C:\\Pics");
    options.SetCentralFolder(u"");
    EXPECT_FALSE(options.SaveCache()) << "no central folder";
    EXPECT_TRUE(files.files.empty());
    EXPECT_TRUE(host.saves.empty());
}

TEST_F(OptionsFixture, ACacheOfAnotherThumbnailSizeIsNotLoaded) {
    SaveTwo(TThumbsCacheStorage::tcsPerFolder);
    TThumbsCacheOptions options(host, files);
    options.StorageType = TThumbsCacheStorage::tcsPerFolder;
    options.SetBrowsingFolder(u"C:\\Pics");
    host.size = TThumbSize{200, 200};
    options.LoadCache(true);
    EXPECT_EQ(options.ThumbsCache().Count(), 0);
    EXPECT_FALSE(options.ThumbsCache().Loaded);
}

TEST_F(OptionsFixture, CompressionChangeClearsAndDeleteFilesRemovesThem) {
    SaveTwo(TThumbsCacheStorage::tcsCentral);
    TThumbsCacheOptions options(host, files);
    options.SetCentralFolder(u"C:\\Cache");
    options.SetBrowsingFolder(u"C:\\Pics");
    options.LoadCache();
    ASSERT_EQ(options.ThumbsCache().Count(), 2);

    options.SetCompressed(true);
    EXPECT_EQ(options.ThumbsCache().Count(), 0);
    EXPECT_EQ(host.rebuilds, 1);
    EXPECT_TRUE(files.files.contains(u"C:\\Cache\\Pics.cache"));
    options.SetCompressed(true);
    EXPECT_EQ(host.rebuilds, 1);

    host.rootIsBrowsed = false;
    options.ClearCache(true);
    EXPECT_EQ(host.rebuilds, 1);
    host.rootIsBrowsed = true;
    options.ClearCache(true);
    EXPECT_EQ(host.rebuilds, 2);
    EXPECT_TRUE(files.files.empty());
    EXPECT_EQ(options.CacheList().Count(), 0);
}

TEST_F(OptionsFixture, AutoSaveWritesWhenTheOptionsGo) {
    {
        TThumbsCacheOptions options(host, files);
        options.StorageType = TThumbsCacheStorage::tcsPerFolder;
        options.AutoSave = true;
        options.SetBrowsingFolder(u"C:\\Pics");
        options.ThumbsCache().AddStream(u"C:\\Pics\\a.jpg", 1, Thumbnail(1), false, 10, 10);
    }
    EXPECT_TRUE(files.files.contains(u"C:\\Pics\\Thumbnails.Cache"));
}

} // namespace
} // namespace tarvola
