#include "base/WholeFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace tarvola {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(WholeFile, ReadsEveryByteOrNothingForAMissingFile) {
    const test::TTempFolder folder;
    std::string large(40000, '\0'); // more than one block of the reader, with NUL bytes in it
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7);
    for (const std::string& content : {std::string(), std::string("abc"), large}) {
        const fs::path file = folder.Write("file.dat", content);
        EXPECT_EQ(ReadWholeFile(file.string()), BytesOf(content)) << content.size() << " bytes";
    }
    EXPECT_EQ(ReadWholeFile((folder.Path() / "missing.dat").string()), std::nullopt);
}

TEST(WholeFile, AFileThatExistsButCannotBeReadRaises) {
    const test::TTempFolder folder;
    fs::create_directories(folder.Path() / "folder.dat");
    EXPECT_THROW(ReadWholeFile((folder.Path() / "folder.dat").string()), FileError);
}

TEST(WholeFile, AWriteReplacesTheOldFileOnlyWhenComplete) {
    const test::TTempFolder folder;
    const std::string target = folder.Write("settings.dat", "old content").string();

    WriteWholeFile(target, BytesOf("new"));
    EXPECT_EQ(ReadAll(target), "new");
    EXPECT_FALSE(fs::exists(TemporaryNameFor(target)));

    WriteWholeFile(target, Bytes{});
    EXPECT_EQ(ReadAll(target), "");
    EXPECT_TRUE(fs::exists(target));
}

TEST(WholeFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    const test::TTempFolder folder;
    // The target's name is taken by a folder: the temporary file is written, but cannot replace it.
    const fs::path blocked = folder.Path() / "blocked.dat";
    fs::create_directories(blocked / "inside");
    EXPECT_THROW(WriteWholeFile(blocked.string(), BytesOf("x")), FileError);
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_FALSE(fs::exists(TemporaryNameFor(blocked.string())));

    // A missing folder: nothing can be created at all.
    const fs::path inMissingFolder = folder.Path() / "missing" / "file.dat";
    EXPECT_THROW(WriteWholeFile(inMissingFolder.string(), BytesOf("x")), FileError);
    EXPECT_FALSE(fs::exists(inMissingFolder));
    EXPECT_FALSE(fs::exists(folder.Path() / "missing"));
}

TEST(WholeFile, APendingFileReplacesTheTargetOnlyWhenCommitted) {
    const test::TTempFolder folder;
    const std::string target = folder.Write("snapshot.und", "old").string();
    {
        PendingFile pending(target, BytesOf("abandoned"));
        EXPECT_EQ(ReadAll(TemporaryNameFor(target)), "abandoned");
        EXPECT_EQ(ReadAll(target), "old");
    }
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_FALSE(fs::exists(TemporaryNameFor(target)));

    PendingFile pending(target, BytesOf("committed"));
    pending.Commit();
    EXPECT_EQ(ReadAll(target), "committed");
    EXPECT_FALSE(fs::exists(TemporaryNameFor(target)));
}

} // namespace
} // namespace tarvola
