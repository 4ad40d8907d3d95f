#include <windows.h>

#include "audio/RWAudioFileWin32.h"

namespace tarvola {

namespace {

class TWin32AudioFileSystem : public IAudioFileSystem {
public:
    bool Exists(const std::string& fileName) override {
        const DWORD attributes = GetFileAttributesA(fileName.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
    std::unique_ptr<TStream> OpenRead(const std::string& fileName) override {
        return std::make_unique<TFileStream>(fileName, TFileStream::Mode::OpenRead);
    }
    std::unique_ptr<TStream> Create(const std::string& fileName) override {
        return std::make_unique<TFileStream>(fileName, TFileStream::Mode::Create);
    }
    bool Replace(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    void Remove(const std::string& fileName) override { DeleteFileA(fileName.c_str()); }
};

} // namespace

IAudioFileSystem& Win32AudioFileSystem() {
    static TWin32AudioFileSystem files;
    return files;
}

} // namespace tarvola
