#include "audio/SafeFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace tarvola {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("tarvola_safefile_" + std::to_string(std::random_device{}()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        target_ = (folder_ / "settings.dat").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
    std::string target_;
};

TEST_F(SafeFileTest, ReplacesTheOldFileWhenComplete) {
    std::ofstream(target_, std::ios::binary) << "old content";
    SaveFileWhole(target_, [](TStream& stream) { stream.WriteBuffer("new", 3); });
    EXPECT_EQ(ReadAll(target_), "new");
    EXPECT_FALSE(fs::exists(TemporaryNameFor(target_)));
}

TEST_F(SafeFileTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    std::ofstream(target_, std::ios::binary) << "old content";
    EXPECT_THROW(SaveFileWhole(target_,
                               [](TStream& stream) {
                                   stream.WriteBuffer("partial", 7);
                                   throw std::runtime_error("disk full");
                               }),
                 std::runtime_error);
    EXPECT_EQ(ReadAll(target_), "old content");
    EXPECT_FALSE(fs::exists(TemporaryNameFor(target_)));
}

TEST_F(SafeFileTest, AMissingFolderRaisesAndWritesNothing) {
    const std::string inMissingFolder = (folder_ / "missing" / "file.dat").string();
    EXPECT_THROW(SaveFileWhole(inMissingFolder, [](TStream& stream) { stream.WriteBuffer("x", 1); }),
                 StreamError);
    EXPECT_FALSE(fs::exists(inMissingFolder));
}

} // namespace
} // namespace tarvola
