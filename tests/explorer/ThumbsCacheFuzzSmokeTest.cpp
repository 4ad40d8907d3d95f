// A short, deterministic run of the thumbnail cache's fuzz check: cache files the cache writes, with bytes
// changed, cut short or grown, so that every test run passes the reader some hostile input under the
// sanitizers. The libFuzzer target itself is in tests/fuzz (run.sh builds and runs it).
#include "tests/fuzz/ThumbsCacheFuzz.h"

#include "explorer/BitmapFile.h"
#include "tests/explorer/ThumbsTestFiles.h"
#include "tests/support/ByteMutation.h"

#include <gtest/gtest.h>

#include <random>

namespace tarvola {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ThumbsCacheFuzzSmoke, ReaderSurvivesMutatedFiles) {
    thumbstest::TMemoryCacheFiles files;
    TThumbsCache cache(files);
    cache.Folder = u"C:\\P\\";
    cache.AddStream(u"C:\\P\\a.bmp", 1, EncodeBmp(TPixelImage{3, 2, {1, 2, 3, 4, 5, 6}}), false, 300, 200);
    cache.AddThumbnail(u"C:\\P\\b.jpg", 2, TPixelImage{8, 8, std::vector<std::uint32_t>(64, 0x102030)}, true,
                       900, 900);
    cache.Comments.Add(u"comment");
    const Bytes written = cache.SaveToBytes();
    thumbsfuzz::FuzzThumbsCacheInput(written);
    std::mt19937 random(33);
    for (int i = 0; i < 1000; ++i)
        thumbsfuzz::FuzzThumbsCacheInput(test::MutatedBytes(written, random));
}

} // namespace
} // namespace tarvola
