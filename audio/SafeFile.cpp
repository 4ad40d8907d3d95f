#include "audio/SafeFile.h"

#include <filesystem>
#include <system_error>

namespace tarvola {

std::string TemporaryNameFor(const std::string& fileName) {
    return fileName + ".tmp";
}

void SaveFileWhole(const std::string& fileName, const std::function<void(TStream&)>& writeContent) {
    const std::string temporary = TemporaryNameFor(fileName);
    try {
        TFileStream stream(temporary, TFileStream::Mode::Create);
        writeContent(stream);
        stream.Close();
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
    // Replaces an existing target in one step (MoveFileEx with replace on Windows, rename elsewhere).
    std::error_code error;
    std::filesystem::rename(temporary, fileName, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw StreamError("Cannot write file " + fileName + ": " + error.message());
    }
}

} // namespace tarvola
