// A fresh folder of its own for each file test, removed afterwards. Its path ends in the separator, as the
// program's folder paths do.
#pragma once

#include "base/WholeFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace tarvola {

class KernelTestFolder {
public:
    KernelTestFolder() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        // A random part keeps test runs of several checkouts on one machine apart.
        root_ = std::filesystem::temp_directory_path() /
                ("tarvola_kernel_" + std::string(test->test_suite_name()) + "_" + test->name() + "_" +
                 std::to_string(std::random_device{}()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~KernelTestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    KernelTestFolder(const KernelTestFolder&) = delete;
    KernelTestFolder& operator=(const KernelTestFolder&) = delete;

    // The folder, ending in the separator.
    std::string Path() const { return root_.string() + kPathSeparator; }

    static std::vector<std::uint8_t> Read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    static void Write(const std::string& file, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path root_;
};

} // namespace tarvola
