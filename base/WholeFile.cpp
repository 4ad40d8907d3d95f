#include "base/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>

namespace tarvola {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::string CannotOpen(const std::string& fileName) {
    return "Cannot open file \"" + fileName + "\"";
}

void RemoveQuietly(const std::string& fileName) {
    std::error_code ignored;
    std::filesystem::remove(fileName, ignored);
}

// Creates (or empties) the file and writes the bytes; a file that is not written completely is removed.
void WriteNewFile(const std::string& fileName, std::span<const std::uint8_t> bytes) {
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (file == nullptr)
        throw FileError(CannotOpen(fileName));
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // Closing flushes what the C library still holds: only then is the file known to be complete.
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        RemoveQuietly(fileName);
        throw FileError("Cannot write file \"" + fileName + "\"");
    }
}

// The size of a regular file as far as it can be told; zero otherwise (the reader then grows its buffer).
std::size_t SizeHint(const std::string& fileName) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    if (error || size > std::numeric_limits<std::size_t>::max() / 2)
        return 0;
    return static_cast<std::size_t>(size);
}

} // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& fileName) {
    const FileHandle file(std::fopen(fileName.c_str(), "rb"));
    if (!file) {
        if (errno == ENOENT)
            return std::nullopt;
        throw FileError(CannotOpen(fileName));
    }
    // Read straight into a buffer of the file's size: growing it block by block copied a large file many
    // times over. A file that grows meanwhile is still read to its end.
    std::vector<std::uint8_t> bytes(SizeHint(fileName));
    std::size_t filled = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file.get());
    for (;;) {
        if (filled < bytes.size())
            break;
        bytes.resize(filled + std::max<std::size_t>(filled, 16 * 1024));
        filled += std::fread(bytes.data() + filled, 1, bytes.size() - filled, file.get());
    }
    bytes.resize(filled);
    if (std::ferror(file.get()))
        throw FileError("Cannot read file \"" + fileName + "\"");
    return bytes;
}

void WriteWholeFile(const std::string& fileName, std::span<const std::uint8_t> bytes) {
    PendingFile(fileName, bytes).Commit();
}

std::string TemporaryNameFor(const std::string& fileName) {
    return fileName + ".tmp";
}

PendingFile::PendingFile(const std::string& fileName, std::span<const std::uint8_t> bytes)
    : fileName_(fileName), temporary_(TemporaryNameFor(fileName)) {
    WriteNewFile(temporary_, bytes);
}

PendingFile::~PendingFile() {
    if (pending_)
        RemoveQuietly(temporary_);
}

void PendingFile::Commit() {
    if (!pending_)
        return;
    pending_ = false;
    // Replaces an existing target in one step (MoveFileEx with replace on Windows, rename elsewhere).
    std::error_code error;
    std::filesystem::rename(temporary_, fileName_, error);
    if (error) {
        RemoveQuietly(temporary_);
        throw FileError("Cannot write file " + fileName_ + ": " + error.message());
    }
}

} // namespace tarvola
