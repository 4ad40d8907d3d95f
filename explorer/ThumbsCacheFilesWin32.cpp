// The thumbnail cache's files on Windows: UTF-16 paths, whole-file writes through a temporary file.
#include "explorer/ThumbsCache.h"

#include "shell/VirtualUnicodeDefines.h"
#include "shell/VirtualUtilities.h"
#include "shell/VirtualWideFileStream.h"

namespace tarvola {

namespace {

class TThumbsCacheFilesWin32 final : public IThumbsCacheFiles {
public:
    bool FileExists(const WideString& path) const override { return WideFileExists(path); }
    bool DirectoryExists(const WideString& path) const override { return WideDirectoryExists(path); }
    bool MakeDirectory(const WideString& path) override { return WideCreateDir(path); }
    bool RemoveFile(const WideString& path) override { return !path.empty() && DeleteFileW(AsW(path)); }

    // Others may read the file meanwhile, but not change it.
    std::optional<std::vector<std::uint8_t>> ReadWhole(const WideString& path) const override {
        try {
            TWideFileStream stream(path, fmOpenRead | fmShareDenyWrite);
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
            stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
            return bytes;
        } catch (const StreamError&) {
            return std::nullopt;
        }
    }

    bool WriteWhole(const WideString& path, std::span<const std::uint8_t> bytes) override {
        try {
            SaveWideFileWhole(path, [bytes](TStream& stream) {
                stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
            });
            return true;
        } catch (const StreamError&) {
            return false;
        }
    }
};

} // namespace

IThumbsCacheFiles& PlatformThumbsCacheFiles() {
    static TThumbsCacheFilesWin32 files;
    return files;
}

} // namespace tarvola
