#include "tests/support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>

namespace tarvola::test {

TTempFolder::TTempFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = std::filesystem::temp_directory_path() /
                ("tarvola-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(path_)) {
            return;
        }
    }
    throw std::runtime_error("Cannot make a temporary folder");
}

TTempFolder::~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TTempFolder::Folder() const {
    std::string folder = path_.string();
    folder += static_cast<char>(std::filesystem::path::preferred_separator);
    return folder;
}

std::filesystem::path TTempFolder::Write(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out << bytes;
    if (!out) {
        throw std::runtime_error("Cannot write " + file.string());
    }
    return file;
}

} // namespace tarvola::test
