#include "audio/General.h"

#include "base/Extended80.h"
#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace tarvola {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ByteOrder, SwapSamplesReversesEachItem) {
    const struct {
        int size;
        std::int64_t n;
        Bytes in, want;
    } cases[] = {
        {1, 4, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {2, 2, {1, 2, 3, 4}, {2, 1, 4, 3}},
        {3, 2, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
        {4, 2, {1, 2, 3, 4, 5, 6, 7, 8}, {4, 3, 2, 1, 8, 7, 6, 5}},
        {10, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1}},
        {2, 1, {1, 2, 3, 4}, {2, 1, 3, 4}}, // only N items
        {3, 0, {1, 2, 3}, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        Bytes bytes = c.in;
        SwapSamples(bytes.data(), c.n, c.size);
        EXPECT_EQ(bytes, c.want) << "size " << c.size << ", n " << c.n;
    }
}

TEST(ByteOrder, SingleFieldSwaps) {
    Bytes bytes = {1, 2, 3, 4};
    Swap32(bytes.data());
    EXPECT_EQ(bytes, (Bytes{4, 3, 2, 1}));
    Swap24(bytes.data());
    EXPECT_EQ(bytes, (Bytes{2, 3, 4, 1}));
    SwapWords(bytes.data(), 2);
    EXPECT_EQ(bytes, (Bytes{3, 2, 1, 4}));
}

TEST(ByteOrder, TurnsTheAiffRateAround) {
    Extended80Bytes rate = EncodeExtendedBE(44100.0L);
    SwapSamples(rate.data(), 1, 10);
    EXPECT_EQ(DecodeExtendedLE(rate.data()), 44100.0L);
}

TEST(ByteOrder, RefusesBadCountsAndSizes) {
    Bytes bytes(8);
    EXPECT_THROW(SwapSamples(bytes.data(), -1, 2), RangeError);
    EXPECT_THROW(SwapSamples(bytes.data(), 1, 0), RangeError);
    EXPECT_THROW(SwapWords(bytes.data(), -1), RangeError);
    EXPECT_THROW(SwapSamples(bytes.data(), std::numeric_limits<std::int64_t>::max(), 4), OverflowError);
}

TEST(TimeText, ShowsTheTenthsThePositionHas) {
    const struct {
        std::int32_t ms;
        std::int32_t minutes, seconds, tenths;
        const char* text;
    } cases[] = {
        {0, 0, 0, 0, "00:00.0"},       {100, 0, 0, 1, "00:00.1"},     {300, 0, 0, 3, "00:00.3"},
        {1100, 0, 1, 1, "00:01.1"},    {59999, 0, 59, 9, "00:59.9"},  {65300, 1, 5, 3, "01:05.3"},
        {599900, 9, 59, 9, "09:59.9"}, {600000, 10, 0, 0, "10:00.0"}, {6000000, 100, 0, 0, "99:00.0"},
        {-500, 0, 0, 0, "00:00.0"},
    };
    for (const auto& c : cases) {
        TMinSecTenths t = MsToTime(c.ms);
        EXPECT_EQ(t.Minutes, c.minutes) << c.ms;
        EXPECT_EQ(t.Seconds, c.seconds) << c.ms;
        EXPECT_EQ(t.Tenths, c.tenths) << c.ms;
        EXPECT_EQ(TimeToText(t), c.text) << c.ms;
        EXPECT_EQ(t.Minutes, std::min(c.minutes, 99)) << "minutes are held in the record too";
    }
}

TEST(TimeText, EveryTenthAppearsOnceWithTicksOf100Ms) {
    std::string previous;
    for (std::int32_t ms = 0; ms <= 120000; ms += 100) {
        TMinSecTenths t = MsToTime(ms);
        const std::string text = TimeToText(t);
        EXPECT_NE(text, previous) << ms;
        EXPECT_EQ(t.Minutes * 600 + t.Seconds * 10 + t.Tenths, ms / 100);
        previous = text;
    }
}

TEST(TimeLeftText, SplitsWholeSeconds) {
    const struct {
        double seconds;
        int hours, minutes, secs;
        const char* text;
    } cases[] = {
        {59.9, 0, 0, 59, "0:00:59"},
        {3600, 1, 0, 0, "1:00:00"},
        {3725, 1, 2, 5, "1:02:05"},
        {3599.999, 0, 59, 59, "0:59:59"},
        {255 * 3600.0 + 3599, 255, 59, 59, "255:59:59"},
        {256 * 3600.0, 255, 59, 59, "255:59:59"}, // does not fit: held at the largest
        {1e300, 255, 59, 59, "255:59:59"},
        {std::numeric_limits<double>::infinity(), 255, 59, 59, "255:59:59"},
        {0, 0, 0, 0, "0:00:00"},
        {-5, 0, 0, 0, "0:00:00"},
        {std::nan(""), 0, 0, 0, "0:00:00"},
    };
    for (const auto& c : cases) {
        const THMS h = SecondsToHMS(c.seconds);
        EXPECT_EQ(h.Hours, c.hours) << c.seconds;
        EXPECT_EQ(h.Minutes, c.minutes) << c.seconds;
        EXPECT_EQ(h.Seconds, c.secs) << c.seconds;
        EXPECT_EQ(HMSToText(h), c.text) << c.seconds;
    }
}

TEST(PathParts, ExtractsTitlesFoldersAndParents) {
    const struct {
        const char* path;
        const char* title;
        const char* lastFolder;
        const char* parent1;
        const char* parent2;
    } cases[] = {
        {"D:\\a\\b.c.d", "b", "b.c.d", "D:\\a\\", "D:\\"},
        {"D:\\a\\b\\", "", "b", "D:\\a\\", "D:\\"},
        {"D:\\a\\b\\c\\", "", "c", "D:\\a\\b\\", "D:\\a\\"},
        {"name.ker", "name", "name.ker", "name.ker", "name.ker"},
        {"D:\\", "", "D:", "D:\\", "D:\\"},
        {"\\x", "x", "x", "\\", "\\x"},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFileTitle(c.path), c.title) << c.path;
        EXPECT_EQ(ExtractLastFolderName(c.path), c.lastFolder) << c.path;
        EXPECT_EQ(ExtractParentFolder(c.path, 1), c.parent1) << c.path;
        EXPECT_EQ(ExtractParentFolder(c.path, 2), c.parent2) << c.path;
    }
    EXPECT_EQ(ExtractParentFolder("D:\\a\\b\\", 0), "D:\\a\\b\\");
}

TEST(PathParts, ProperPrefix) {
    const struct {
        const char* s;
        const char* prefix;
        bool want;
    } cases[] = {
        {"D:\\a\\b\\", "D:\\a\\", true},
        {"D:\\a\\", "D:\\a\\", false},
        {"D:\\a", "D:\\a\\", false},
        {"D:\\A\\b\\", "D:\\a\\", false},
        {"x", "", true},
        {"", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasProperPrefix(c.s, c.prefix), c.want) << c.s << " / " << c.prefix;
}

} // namespace
} // namespace tarvola
