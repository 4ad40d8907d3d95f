#include "shell/VirtualUtilities.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace tarvola {
namespace {

TEST(WidePaths, ExtractDirDriveAndExt) {
    struct Case {
        std::u16string path, dir, drive, ext;
    };
    const std::vector<Case> cases = {
        {u"c", u"c:\\", u"", u""},
        {u"C:", u"C:\\", u"", u""},
        {u"C:\\a\\b.txt", u"C:\\a", u"C:", u".txt"},
        {u"C:\\b.txt", u"C:\\", u"C:", u".txt"},
        {u"\\\\server\\share\\f.x", u"", u"", u".x"},
        {u"1", u"", u"", u""},
        {u"a.b.c", u"", u"", u".c"},
        {u"", u"", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideExtractFileDir(c.path), c.dir) << WideToUtf8(c.path);
        EXPECT_EQ(WideExtractFileDrive(c.path), c.drive) << WideToUtf8(c.path);
        EXPECT_EQ(WideExtractFileExt(c.path), c.ext) << WideToUtf8(c.path);
    }
}

TEST(WidePaths, ExtensionOfTheLastElementOnly) {
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"C:\\a.b\\c", u""},         {u"C:\\a.b\\c.txt", u".txt"}, {u"a/b.c/d", u""},
        {u"Presets\\x.ker", u".ker"}, {u"x.tar.gz", u".gz"},        {u"", u""},
    };
    for (const auto& [path, ext] : cases)
        EXPECT_EQ(PathElementExtension(path), ext) << WideToUtf8(path);
}

TEST(WidePaths, TrailingBackslashAndDrives) {
    struct Case {
        std::u16string path, stripped, forced;
        bool drive;
    };
    const std::vector<Case> cases = {
        {u"C:\\", u"C:\\", u"C:", true},
        {u"C:\\a\\", u"C:\\a", u"C:\\a", false},
        {u"C:\\a/", u"C:\\a", u"C:\\a", false},
        {u"C:\\a", u"C:\\a", u"C:\\a", false},
        {u"", u"", u"", false},
        {u"?:\\", u"?:\\", u"?:", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideStripTrailingBackslash(c.path), c.stripped) << WideToUtf8(c.path);
        EXPECT_EQ(WideStripTrailingBackslash(c.path, true), c.forced) << WideToUtf8(c.path);
        EXPECT_EQ(WideIsDrive(c.path), c.drive) << WideToUtf8(c.path);
    }
    EXPECT_EQ(WideIncludeTrailingBackslash(u"C:\\a"), u"C:\\a\\");
    EXPECT_EQ(WideIncludeTrailingBackslash(u"C:\\a\\"), u"C:\\a\\");
    EXPECT_TRUE(WideIsPathDelimiter(u"a\\b", 2));
    EXPECT_FALSE(WideIsPathDelimiter(u"a\\b", 1));
    EXPECT_FALSE(WideIsPathDelimiter(u"a\\b", 4));
    EXPECT_FALSE(WideIsPathDelimiter(u"a\\b", 0));

    std::u16string s = u"ac";
    WideInsertStr(u"b", s, 2);
    WideInsertStr(u"d", s, 4);
    EXPECT_EQ(s, u"abcd");
    EXPECT_THROW(WideInsertStr(u"x", s, 6), RangeError);
    EXPECT_THROW(WideInsertStr(u"x", s, 0), RangeError);
}

TEST(NumberTexts, GroupingAndKilobytes) {
    struct Case {
        std::uint64_t bytes;
        std::u16string grouped, kilobytes;
    };
    const std::vector<Case> cases = {
        {0, u"0", u"1 KB"},
        {100, u"100", u"1 KB"},
        {1536, u"1,536", u"1 KB"},
        {2048, u"2,048", u"2 KB"},
        {4294967296ULL, u"4,294,967,296", u"4,194,304 KB"},
        {999999, u"999,999", u"976 KB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideIntToStrWithSeparators(c.bytes, u","), c.grouped) << c.bytes;
        EXPECT_EQ(SizeInKBText(c.bytes, u","), c.kilobytes) << c.bytes;
    }
    EXPECT_EQ(WideIntToStrWithSeparators(1234567, u"\u00A0"), u"1\u00A0234\u00A0567");
}

TEST(UniqueDirName, ProposesTheFirstFreeNumber) {
    struct Case {
        int taken; // New Folder and (1) .. (taken - 1) exist; -1: none
        std::u16string proposed;
    };
    const std::vector<Case> cases = {
        {-1, u"C:\\p\\New Folder"},
        {0, u"C:\\p\\New Folder (1)"},
        {2, u"C:\\p\\New Folder (2)"},
        {20, u"C:\\p\\New Folder (20)"},
        {21, u""},
    };
    for (const Case& c : cases) {
        std::set<std::u16string> existing;
        if (c.taken >= 0)
            existing.insert(u"C:\\p\\New Folder");
        for (int n = 1; n < c.taken; ++n)
            existing.insert(u"C:\\p\\New Folder (" + Utf8ToWide(std::to_string(n)) + u")");
        const auto exists = [&](const std::u16string& p) { return existing.count(p) > 0; };
        EXPECT_EQ(UniqueDirName(u"C:\\p\\", exists), c.proposed) << c.taken;
    }
    EXPECT_EQ(UniqueDirName(
                  u"C:\\", [](const std::u16string&) { return false; }, u"Presets"),
              u"C:\\Presets");
}

} // namespace
} // namespace tarvola
