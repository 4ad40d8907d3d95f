// The thumbnail cache and its central index: a byte-exact cache file read and written again, sorted writes
// that leave the live order alone, damaged, foreign and truncated files loading empty, duplicates, merging,
// the decoded-bitmap buffer, and the index's file names and pruning.
#include "explorer/ThumbsCache.h"

#include "explorer/BitmapFile.h"
#include "explorer/JpegCodec.h"
#include "explorer/ThumbsCacheList.h"
#include "tests/explorer/ThumbsTestFiles.h"

#include <gtest/gtest.h>

#include <bit>
#include <string_view>

namespace tarvola {
namespace {

using Bytes = std::vector<std::uint8_t>;
using thumbstest::TMemoryCacheFiles;

// Hex digits in pairs; spaces and line breaks between them are for the reader.
Bytes Hex(std::string_view text) {
    std::string digits;
    for (const char c : text)
        if (c != ' ')
            digits += c;
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

// A cache of two entries, stored out of ordinal order ("a" before "B"), and one comment line.
const Bytes kFixture = Hex(
    // folder "C:\P\"; two entries, version 11, thumbnails 120 x 90
    "05 00 00 00  43 00 3A 00 5C 00 50 00 5C 00"
    "02 00 00 00  0B 00 00 00  78 00 00 00  5A 00 00 00"
    // "1.4", "C:\P\a.bmp", date 44927.25, 300 x 200, texts "x" and "", not compressed
    "03 00 00 00  31 00 2E 00 34 00"
    "0A 00 00 00  43 00 3A 00 5C 00 50 00 5C 00 61 00 2E 00 62 00 6D 00 70 00"
    "00 00 00 00 E8 EF E5 40  2C 01 00 00  C8 00 00 00"
    "01 00 00 00  78 00  00 00 00 00  00 00 00 00"
    // a BMP file of one pixel, 0x112233
    "3A 00 00 00"
    "42 4D 3A 00 00 00 00 00 00 00 36 00 00 00"
    "28 00 00 00 01 00 00 00 01 00 00 00 01 00 18 00 00 00 00 00 04 00 00 00"
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
    "33 22 11 00"
    // "1.4", "C:\P\B.jpg", date 45000.5, 4000 x 3000, empty texts, compressed
    "03 00 00 00  31 00 2E 00 34 00"
    "0A 00 00 00  43 00 3A 00 5C 00 50 00 5C 00 42 00 2E 00 6A 00 70 00 67 00"
    "00 00 00 00 10 F9 E5 40  A0 0F 00 00  B8 0B 00 00"
    "00 00 00 00  00 00 00 00  01 00 00 00"
    // JPEG data: start and end markers only
    "04 00 00 00  FF D8 FF D9"
    // comments: "note"
    "FF FE 6E 00 6F 00 74 00 65 00 0D 00 0A 00");
const std::size_t kFixtureCommentsAt = kFixture.size() - 14;

const WideString kCacheFile = u"C:\\P\\Thumbnails.Cache";

struct CacheFixture : ::testing::Test {
    CacheFixture() {
        files.pictures = {u"C:\\P\\a.bmp", u"C:\\P\\B.jpg", u"C:\\P\\c.bmp"};
        files.files[kCacheFile] = kFixture;
    }
    TMemoryCacheFiles files;
    TThumbsCache cache{files};
};

// Cache files built field by field, for contents the writer never makes.
class FileBuilder {
public:
    FileBuilder& I32(std::int32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i)));
        return *this;
    }
    FileBuilder& Wide(const WideString& text) {
        I32(static_cast<std::int32_t>(text.size()));
        for (char16_t unit : text) {
            bytes.push_back(static_cast<std::uint8_t>(unit));
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        return *this;
    }
    FileBuilder& Header(std::int32_t count, std::int32_t version = 11) {
        return Wide(u"C:\\P\\").I32(count).I32(version).I32(120).I32(90);
    }
    FileBuilder& Entry(const WideString& name, double date, const Bytes& thumbnail) {
        Wide(u"1.4").Wide(name);
        const auto bits = std::bit_cast<std::uint64_t>(date);
        for (int i = 0; i < 8; ++i)
            bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
        I32(10).I32(10).Wide(u"").Wide(u"").I32(0).I32(static_cast<std::int32_t>(thumbnail.size()));
        bytes.insert(bytes.end(), thumbnail.begin(), thumbnail.end());
        return *this;
    }
    FileBuilder& NoComments() {
        bytes.push_back(0xFF);
        bytes.push_back(0xFE);
        return *this;
    }
    Bytes bytes;
};

TPixelImage FreshDecode(const TThumbsCacheItem& item) {
    return item.Compressed ? DecodeJpeg(item.Thumbnail) : DecodeBmp(item.Thumbnail);
}

Bytes OnePixelBmp(std::uint32_t colour) {
    return EncodeBmp(TPixelImage{1, 1, {colour}});
}

TEST_F(CacheFixture, FixtureReadsAndWritesTheSameBytes) {
    EXPECT_EQ(OnePixelBmp(0x112233), Bytes(kFixture.begin() + 98, kFixture.begin() + 156));
    ASSERT_EQ(cache.ReadFromFile(kCacheFile), TThumbsCacheLoad::Loaded);
    EXPECT_TRUE(cache.Loaded);
    EXPECT_EQ(cache.Folder, u"C:\\P\\");
    EXPECT_EQ(cache.ThumbWidth, 120);
    EXPECT_EQ(cache.ThumbHeight, 90);
    ASSERT_EQ(cache.Count(), 2);
    ASSERT_EQ(cache.Comments.Count(), 1);
    EXPECT_EQ(cache.Comments.Get(0), u"note");
    const TThumbsCacheItem* item = nullptr;
    ASSERT_TRUE(cache.Read(cache.IndexOf(u"c:\\p\\A.BMP"), item));
    EXPECT_EQ(item->ItemVersion, u"1.4");
    EXPECT_EQ(item->FileDate, 44927.25);
    EXPECT_EQ(item->ImageWidth, 300);
    EXPECT_EQ(item->ImageHeight, 200);
    EXPECT_EQ(item->Text1, u"x");
    EXPECT_FALSE(item->Compressed);
    ASSERT_TRUE(cache.Read(cache.IndexOf(u"C:\\P\\B.jpg"), item));
    EXPECT_TRUE(item->Compressed);
    EXPECT_EQ(item->Thumbnail, Hex("FF D8 FF D9"));
    EXPECT_EQ(cache.TotalStreamSize(), 58 + 4);
    EXPECT_FALSE(cache.Read(2, item));
    EXPECT_FALSE(cache.Read(-1, item));

    ASSERT_TRUE(cache.WriteToFile(u"C:\\out.cache"));
    EXPECT_EQ(files.files.at(u"C:\\out.cache"), kFixture);
}

// The view keeps indexes into the cache, so writing sorts a copy of the order, not the entries.
TEST_F(CacheFixture, WritesInNameOrderAndKeepsTheLiveOrder) {
    cache.Folder = u"C:\\P\\";
    cache.ThumbWidth = 120;
    cache.ThumbHeight = 90;
    cache.Comments.Add(u"note");
    TThumbsCacheItem jpeg;
    jpeg.FileDate = 45000.5;
    jpeg.ImageWidth = 4000;
    jpeg.ImageHeight = 3000;
    jpeg.Compressed = true;
    jpeg.Thumbnail = Hex("FF D8 FF D9");
    EXPECT_EQ(cache.Add(u"C:\\P\\B.jpg", jpeg), 0);
    EXPECT_EQ(cache.Add(u"", TThumbsCacheItem{}), 1); // never written: it has no path
    const int bmp = cache.AddStream(u"C:\\P\\a.bmp", 44927.25, OnePixelBmp(0x112233), false, 300, 200);
    EXPECT_EQ(bmp, 2);
    const TThumbsCacheItem* item = nullptr;
    ASSERT_TRUE(cache.Read(bmp, item));
    TThumbsCacheItem withText = *item;
    withText.Text1 = u"x";
    cache.Add(u"C:\\P\\a.bmp", withText);
    EXPECT_EQ(cache.SaveToBytes(), kFixture);
    EXPECT_EQ(cache.IndexOf(u"C:\\P\\B.jpg"), 0);
    EXPECT_EQ(cache.IndexOf(u"C:\\P\\a.bmp"), 2);
}

TEST_F(CacheFixture, AddReplacesAnEntryInPlaceAndDropsItsOldBitmap) {
    const int first = cache.AddStream(u"C:\\P\\a.bmp", 1, OnePixelBmp(0x010203), false, 1, 1);
    cache.AddStream(u"C:\\P\\c.bmp", 1, OnePixelBmp(0x040506), false, 1, 1);
    TPixelImage bitmap;
    ASSERT_TRUE(cache.ReadBitmap(first, bitmap));
    EXPECT_EQ(bitmap.Pixels, std::vector<std::uint32_t>{0x010203});

    const Bytes larger = EncodeBmp(TPixelImage{2, 1, {0x0A0B0C, 0x0D0E0F}});
    EXPECT_EQ(cache.AddStream(u"c:\\p\\A.BMP", 2, larger, false, 2, 1), first);
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.TotalStreamSize(), static_cast<std::int64_t>(larger.size() + 58));
    ASSERT_TRUE(cache.ReadBitmap(first, bitmap));
    EXPECT_EQ(bitmap.Pixels, (std::vector<std::uint32_t>{0x0A0B0C, 0x0D0E0F}));
    const TThumbsCacheItem* item = nullptr;
    ASSERT_TRUE(cache.Read(first, item));
    EXPECT_EQ(item->FileName, u"c:\\p\\A.BMP");
}

// A damaged or foreign file gives an empty cache, never the entries before the damage, and asks the disk
// about none of its pictures.
TEST_F(CacheFixture, DamagedForeignOrTruncatedFilesLoadEmpty) {
    const auto withField = [](std::size_t offset, std::int32_t value) {
        Bytes bytes = kFixture;
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
        return bytes;
    };
    struct Case {
        const char* name;
        Bytes bytes;
        TThumbsCacheLoad result;
    };
    const Case cases[] = {
        {"version 10", withField(18, 10), TThumbsCacheLoad::Foreign},
        {"negative folder length", withField(0, -1), TThumbsCacheLoad::Damaged},
        {"folder longer than the file", withField(0, 0x40000000), TThumbsCacheLoad::Damaged},
        {"negative count", withField(14, -2), TThumbsCacheLoad::Damaged},
        {"count beyond the file", withField(14, 0x7FFFFFFF), TThumbsCacheLoad::Damaged},
        {"one entry more than written", withField(14, 3), TThumbsCacheLoad::Damaged},
        {"name longer than the file", withField(40, 0x3FFFFFFF), TThumbsCacheLoad::Damaged},
        {"thumbnail longer than the file", withField(94, 0x7FFFFFF0), TThumbsCacheLoad::Damaged},
        {"empty file", {}, TThumbsCacheLoad::Damaged},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(cache.ReadFromFile(kCacheFile), TThumbsCacheLoad::Loaded);
        files.files[u"C:\\bad.cache"] = c.bytes;
        files.existsCalls = 0;
        EXPECT_EQ(cache.ReadFromFile(u"C:\\bad.cache"), c.result) << c.name;
        EXPECT_EQ(cache.Count(), 0) << c.name;
        EXPECT_FALSE(cache.Loaded) << c.name;
        EXPECT_EQ(cache.IndexOf(u"C:\\P\\a.bmp"), -1) << c.name;
        EXPECT_EQ(files.existsCalls, 0) << c.name;
    }
    // Cut anywhere before the comments, the file is damaged; the comments run to the end, so a cut among
    // them keeps the entries.
    for (std::size_t size = 0; size < kFixture.size(); ++size) {
        files.files[u"C:\\cut.cache"] = Bytes(kFixture.begin(), kFixture.begin() + size);
        const TThumbsCacheLoad result = cache.ReadFromFile(u"C:\\cut.cache");
        if (size < kFixtureCommentsAt) {
            EXPECT_EQ(result, TThumbsCacheLoad::Damaged) << size;
            EXPECT_EQ(cache.Count(), 0) << size;
        } else {
            EXPECT_EQ(result, TThumbsCacheLoad::Loaded) << size;
            EXPECT_EQ(cache.Count(), 2) << size;
        }
    }
    EXPECT_EQ(cache.ReadFromFile(u"C:\\none.cache"), TThumbsCacheLoad::Missing);
    EXPECT_FALSE(cache.Loaded);
}

TEST_F(CacheFixture, ThumbnailsOfAnotherSizeAreForeignWhenASizeIsExpected) {
    EXPECT_EQ(cache.ReadFromFile(kCacheFile, TThumbSize{200, 200}), TThumbsCacheLoad::Foreign);
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(cache.ReadFromFile(kCacheFile, TThumbSize{120, 90}), TThumbsCacheLoad::Loaded);
    EXPECT_EQ(cache.Count(), 2);
}

TEST_F(CacheFixture, LoadKeepsTheFirstOfDuplicatesAndDropsDeletedPictures) {
    files.files[u"C:\\dup.cache"] = FileBuilder()
                                        .Header(5)
                                        .Entry(u"C:\\P\\a.bmp", 1, OnePixelBmp(1))
                                        .Entry(u"c:\\p\\A.BMP", 2, OnePixelBmp(2))
                                        .Entry(u"", 3, {})
                                        .Entry(u"C:\\P\\gone.bmp", 4, OnePixelBmp(4))
                                        .Entry(u"C:\\P\\c.bmp", 5, {})
                                        .NoComments()
                                        .bytes;
    ASSERT_EQ(cache.ReadFromFile(u"C:\\dup.cache"), TThumbsCacheLoad::Loaded);
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.InvalidCount(), 2);
    EXPECT_EQ(cache.Comments.Count(), 0);
    const TThumbsCacheItem* item = nullptr;
    ASSERT_TRUE(cache.Read(cache.IndexOf(u"C:\\P\\A.bmp"), item));
    EXPECT_EQ(item->FileDate, 1);
    EXPECT_EQ(cache.IndexOf(u"C:\\P\\gone.bmp"), -1);
    // An entry without a thumbnail draws nothing.
    TPixelImage bitmap;
    EXPECT_FALSE(cache.ReadBitmap(cache.IndexOf(u"C:\\P\\c.bmp"), bitmap));
}

TEST_F(CacheFixture, MergeTakesTheEntriesNotExcludedAndKeepsItsComments) {
    cache.Comments.Add(u"mine");
    cache.AddStream(u"C:\\Q\\own.bmp", 7, OnePixelBmp(7), false, 1, 1);
    EXPECT_EQ(cache.MergeFromFile(kCacheFile, {u"c:\\p\\b.JPG"}), TThumbsCacheLoad::Loaded);
    EXPECT_TRUE(cache.Loaded);
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_GE(cache.IndexOf(u"C:\\Q\\own.bmp"), 0);
    EXPECT_GE(cache.IndexOf(u"C:\\P\\a.bmp"), 0);
    EXPECT_EQ(cache.IndexOf(u"C:\\P\\B.jpg"), -1);
    ASSERT_EQ(cache.Comments.Count(), 1);
    EXPECT_EQ(cache.Comments.Get(0), u"mine");

    // A damaged file leaves the cache as it was.
    files.files[u"C:\\bad.cache"] = Bytes(kFixture.begin(), kFixture.begin() + 60);
    EXPECT_EQ(cache.MergeFromFile(u"C:\\bad.cache", {u"x"}), TThumbsCacheLoad::Damaged);
    EXPECT_EQ(cache.Count(), 2);

    // With nothing to exclude it is a plain read.
    EXPECT_EQ(cache.MergeFromFile(kCacheFile, {}), TThumbsCacheLoad::Loaded);
    EXPECT_EQ(cache.IndexOf(u"C:\\Q\\own.bmp"), -1);
    EXPECT_EQ(cache.Comments.Get(0), u"note");
}

TEST_F(CacheFixture, AThumbnailThatDoesNotDecodeDrawsNothingAndIsNotWritten) {
    ASSERT_EQ(cache.ReadFromFile(kCacheFile), TThumbsCacheLoad::Loaded);
    const int jpeg = cache.IndexOf(u"C:\\P\\B.jpg");
    const int bad = cache.AddStream(u"C:\\P\\c.bmp", 1, Hex("42 4D 00 01"), false, 1, 1);
    TPixelImage bitmap;
    for (const int index : {jpeg, bad}) {
        EXPECT_FALSE(cache.ReadBitmap(index, bitmap));
        const TThumbsCacheItem* item = nullptr;
        ASSERT_TRUE(cache.Read(index, item));
        EXPECT_TRUE(item->Damaged);
        EXPECT_FALSE(cache.ReadBitmap(index, bitmap)); // and is not decoded again
    }
    EXPECT_EQ(cache.BufferCount(), 0);
    ASSERT_TRUE(cache.WriteToFile(u"C:\\out.cache"));
    TThumbsCache written(files);
    ASSERT_EQ(written.ReadFromFile(u"C:\\out.cache"), TThumbsCacheLoad::Loaded);
    EXPECT_EQ(written.Count(), 1);
    // Made again, the entry is whole.
    cache.AddThumbnail(u"C:\\P\\B.jpg", 2, TPixelImage{16, 8, std::vector<std::uint32_t>(128, 0x808080)},
                       true, 4000, 3000);
    ASSERT_TRUE(cache.ReadBitmap(jpeg, bitmap));
    EXPECT_EQ(bitmap.Width, 16);
    EXPECT_EQ(bitmap.Height, 8);
}

TEST_F(CacheFixture, BufferKeepsTheFiftyBitmapsReadLast) {
    std::vector<WideString> names;
    for (int i = 0; i < 60; ++i) {
        names.push_back(u"C:\\P\\" + Utf8ToWide(std::to_string(i)) + u".bmp");
        const TPixelImage image{2, 1, {static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i) << 8}};
        // Every third one compressed, as a large picture's thumbnail is.
        cache.AddThumbnail(names.back(), i, image, i % 3 == 0, 300, 300);
    }
    TPixelImage bitmap;
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(cache.ReadBitmap(i, bitmap)) << i;
    EXPECT_EQ(cache.BufferCount(), 50);
    EXPECT_FALSE(cache.IsBuffered(names[9]));
    EXPECT_TRUE(cache.IsBuffered(names[10]));

    // A hit gives what a fresh decode gives; it also makes the bitmap the last one read, so the next miss
    // drops the oldest other.
    const TThumbsCacheItem* item = nullptr;
    ASSERT_TRUE(cache.Read(10, item));
    ASSERT_TRUE(cache.ReadBitmap(10, bitmap));
    EXPECT_EQ(bitmap.Pixels, FreshDecode(*item).Pixels);
    ASSERT_TRUE(cache.ReadBitmap(0, bitmap));
    EXPECT_TRUE(cache.IsBuffered(names[10]));
    EXPECT_FALSE(cache.IsBuffered(names[11]));
    EXPECT_EQ(cache.BufferCount(), 50);
}

TEST(CacheList, LinePartsSplitAtTheLastBackslash) {
    struct Case {
        WideString line, folder, file;
    };
    const Case cases[] = {
        {u"C:\\Photos\\=Photos.cache", u"C:\\Photos\\", u"Photos.cache"},
        {u"C:\\a=b\\c\\=c.cache", u"C:\\a=b\\c\\", u"c.cache"},
        {u"D:\\=D.cache", u"D:\\", u"D.cache"},
        {u"C:\\Photos\\", u"C:\\Photos\\", u""},
        {u"no folder", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TCacheList::FolderPart(c.line), c.folder) << WideToUtf8(c.line);
        EXPECT_EQ(TCacheList::FilePart(c.line), c.file) << WideToUtf8(c.line);
    }
}

TEST(CacheList, MakesOneFileNamePerFolder) {
    TMemoryCacheFiles files;
    TCacheList list(files);
    EXPECT_EQ(list.MakeCacheFileName(u"C:\\A\\Photos"), u"") << "no central folder";
    list.SetCentralFolder(u"C:\\Cache");
    EXPECT_EQ(list.CentralFolder(), u"C:\\Cache\\");
    struct Case {
        WideString folder, file;
    };
    const Case cases[] = {
        {u"C:\\A\\Photos", u"Photos.cache"},
        {u"D:\\B\\Photos\\", u"Photos.0.cache"},
        {u"D:\\", u"D.cache"},
        {u"E:", u"E.cache"},
        {u"C:\\x\\ab=c", u"a.cache"},
        {u"C:\\y\\=x", u"0.cache"},
        {u"C:\\z\\PHOTOS", u"PHOTOS.1.cache"}, // names clash whatever their case
        {u"c:\\a\\photos\\", u"Photos.cache"}, // a folder listed already keeps its file
        {u"C:\\w\\a", u"a.0.cache"},
        {u"\\:\\", u"0.0.cache"}, // no backslash in a file name
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.MakeCacheFileName(c.folder), u"C:\\Cache\\" + c.file) << WideToUtf8(c.folder);
    EXPECT_EQ(list.Count(), 9);
    EXPECT_EQ(list.FindCacheFileName(u"C:\\x\\ab=c\\"), u"C:\\Cache\\a.cache");
    EXPECT_EQ(list.FindCacheFileName(u"C:\\none"), u"");
    for (int i = 1; i < list.Count(); ++i)
        EXPECT_LT(list.TextServices().CompareText(list.Get(i - 1), list.Get(i)), 0);
}

struct CacheListFixture : ::testing::Test {
    CacheListFixture() {
        list.SetCentralFolder(u"C:\\Cache\\");
        files.folders = {u"C:\\Kept", u"C:\\NoFile"};
        files.files[u"C:\\Cache\\Kept.cache"] = {1};
        files.files[u"C:\\Cache\\Gone.cache"] = {2};
        for (const char16_t* line : {u"C:\\Kept\\=Kept.cache", u"C:\\Gone\\=Gone.cache",
                                     u"C:\\NoFile\\=NoFile.cache", u"C:\\Kept\\"})
            list.Add(line);
    }
    TMemoryCacheFiles files;
    TCacheList list{files};
};

TEST_F(CacheListFixture, PruneDropsLinesOfGoneFoldersWithTheirFilesAndLinesWithoutFiles) {
    list.PruneInvalid();
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Get(0), u"C:\\Kept\\=Kept.cache");
    EXPECT_TRUE(files.files.contains(u"C:\\Cache\\Kept.cache"));
    EXPECT_FALSE(files.files.contains(u"C:\\Cache\\Gone.cache"));
}

TEST_F(CacheListFixture, SaveWritesThePrunedIndexAndLoadReadsIt) {
    ASSERT_TRUE(list.Save());
    const Bytes expected = Hex("FF FE 43 00 3A 00 5C 00 4B 00 65 00 70 00 74 00 5C 00 3D 00"
                               "4B 00 65 00 70 00 74 00 2E 00 63 00 61 00 63 00 68 00 65 00 0D 00 0A 00");
    EXPECT_EQ(files.files.at(u"C:\\Cache\\CacheList.txt"), expected);
    TCacheList loaded(files);
    loaded.Add(u"stale");
    loaded.SetCentralFolder(u"C:\\Cache");
    loaded.Load();
    ASSERT_EQ(loaded.Count(), 1);
    EXPECT_EQ(loaded.FindCacheFileName(u"c:\\kept"), u"C:\\Cache\\Kept.cache");
    // Without an index the list is empty; a failed write answers false.
    files.files.erase(u"C:\\Cache\\CacheList.txt");
    loaded.Load();
    EXPECT_EQ(loaded.Count(), 0);
    files.failWrites = true;
    EXPECT_FALSE(list.Save());
}

TEST_F(CacheListFixture, DeleteAllRemovesTheCacheFilesAndTheIndex) {
    ASSERT_TRUE(list.Save());
    list.DeleteAll();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(files.files.empty());
}

} // namespace
} // namespace tarvola
