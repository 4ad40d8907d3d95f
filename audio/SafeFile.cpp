#include "audio/SafeFile.h"

#include "base/Numerics.h"

#include <span>

namespace tarvola {

void SaveFileWhole(const std::string& fileName, const std::function<void(TStream&)>& writeContent) {
    TMemoryStream content;
    writeContent(content);
    try {
        WriteWholeFile(fileName, std::span<const std::uint8_t>(content.Memory(),
                                                               CheckedCast<std::size_t>(content.Size())));
    } catch (const FileError& e) {
        throw StreamError(e.what());
    }
}

} // namespace tarvola
