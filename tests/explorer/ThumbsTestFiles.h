// A file system in memory for the thumbnail cache's tests and fuzz target: files by path (compared exactly,
// as the tests spell them), a set of folders (without trailing backslashes), and switches that make writes
// and new folders fail.
#pragma once

#include "explorer/ThumbsCache.h"

#include <map>
#include <set>

namespace tarvola::thumbstest {

class TMemoryCacheFiles final : public IThumbsCacheFiles {
public:
    bool FileExists(const WideString& path) const override {
        ++existsCalls;
        return files.contains(path) || pictures.contains(path);
    }
    // A folder is the same with or without its trailing backslash, as on Windows.
    static WideString FolderKey(const WideString& path) {
        return !path.empty() && path.back() == u'\\' ? path.substr(0, path.size() - 1) : path;
    }
    bool DirectoryExists(const WideString& path) const override { return folders.contains(FolderKey(path)); }
    bool MakeDirectory(const WideString& path) override {
        return !failDirectories && folders.insert(FolderKey(path)).second;
    }
    bool RemoveFile(const WideString& path) override { return files.erase(path) > 0; }
    std::optional<std::vector<std::uint8_t>> ReadWhole(const WideString& path) const override {
        const auto found = files.find(path);
        if (found == files.end())
            return std::nullopt;
        return found->second;
    }
    bool WriteWhole(const WideString& path, std::span<const std::uint8_t> bytes) override {
        if (failWrites)
            return false;
        files[path] = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        return true;
    }

    std::map<WideString, std::vector<std::uint8_t>> files;
    std::set<WideString> pictures; // files that exist but are never read
    std::set<WideString> folders;
    bool failWrites = false;
    bool failDirectories = false;
    mutable int existsCalls = 0;
};

} // namespace tarvola::thumbstest
