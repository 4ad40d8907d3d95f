#include "kernel/WholeFile.h"

#include "audio/Streams.h"

namespace tarvola {

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& fileName) {
    try {
        TFileStream file(fileName, TFileStream::Mode::OpenRead);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
        file.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        return bytes;
    } catch (const FileOpenError& e) {
        if (e.NotFound())
            return std::nullopt;
        throw;
    }
}

} // namespace tarvola
