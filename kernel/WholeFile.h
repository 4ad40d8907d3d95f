// Whole-file reading for the kernel designer's files: a file is read into memory completely before it is
// parsed. (Writing whole or not at all is SaveFileWhole's job, audio/SafeFile.h.)
//
// Paths are strings in the code page, as everywhere in the audio program; a folder path ends in its
// separator, so a file's path is the folder followed by the name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvola {

// The separator of the platform's paths.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The file's bytes, or nothing when it does not exist. Raises StreamError when it exists but cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& fileName);

} // namespace tarvola
