// Whole files. A file is read into memory completely before it is parsed, and a file the program writes
// for the user is written whole or not at all: the bytes go to a temporary file beside the target, which
// replaces the target only once it is complete and closed. A failure at any step leaves the old file as it
// was and removes the temporary file.
//
// Paths are strings in the code page, as everywhere in the audio program; a folder path ends in its
// separator, so a file's path is the folder followed by the name.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola {

// The separator of the platform's paths.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// A file that cannot be read or written.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file's bytes, or nothing when it does not exist. Raises FileError when it exists but cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& fileName);

// Writes the bytes as fileName, whole or not at all. Raises FileError when it cannot.
void WriteWholeFile(const std::string& fileName, std::span<const std::uint8_t> bytes);

// The name of the temporary file a whole write of fileName goes through.
std::string TemporaryNameFor(const std::string& fileName);

// A whole write in two steps, for a caller with work of its own between them: the constructor writes the
// temporary file (raising FileError, and leaving nothing behind, when it cannot); Commit puts it in place
// of the target (raising FileError when it cannot). A pending file that is not committed is removed.
class PendingFile {
public:
    PendingFile(const std::string& fileName, std::span<const std::uint8_t> bytes);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    void Commit();

private:
    std::string fileName_;
    std::string temporary_;
    bool pending_ = true;
};

} // namespace tarvola
