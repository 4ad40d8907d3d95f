// The checked field reader and the writer of the column and header streams, and their errors.
#include "tree/HeaderStreamIO.h"

#include "audio/Streams.h"
#include "base/ByteOrder.h"
#include "tree/Header.h"
#include "tree/VirtualTreeError.h"

#include <vector>

namespace tarvola {

// The header streams share the node streams' errors.
void RaiseHeaderStreamFormatError() {
    RaiseVirtualTreeError(vteStreamFormat);
}

void RaiseHeaderStreamVersionError() {
    RaiseVirtualTreeError(vteStreamVersion);
}

void RaiseHeaderStreamShortError() {
    RaiseVirtualTreeError(vteStreamTooShort);
}

std::int64_t THeaderStreamReader::Remaining() const {
    const std::int64_t rest = stream_.Size() - stream_.Position();
    return rest > 0 ? rest : 0;
}

std::int32_t THeaderStreamReader::ReadI32() {
    if (Remaining() < 4)
        RaiseHeaderStreamShortError();
    std::uint8_t bytes[4];
    stream_.ReadBuffer(bytes, 4);
    return GetLE<std::int32_t>(bytes);
}

std::int32_t THeaderStreamReader::ReadCount(std::int64_t itemSize) {
    const std::int32_t count = ReadI32();
    if (count < 0)
        RaiseHeaderStreamFormatError();
    if (static_cast<std::int64_t>(count) * itemSize > Remaining())
        RaiseHeaderStreamShortError();
    return count;
}

std::wstring THeaderStreamReader::ReadWide() {
    const std::int32_t count = ReadCount(2);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * 2);
    if (count > 0)
        stream_.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    std::wstring text(static_cast<std::size_t>(count), L'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(GetLE<std::uint16_t>(bytes.data() + 2 * i));
    return text;
}

std::string THeaderStreamReader::ReadAnsi() {
    const std::int32_t count = ReadCount(1);
    std::string text(static_cast<std::size_t>(count), '\0');
    if (count > 0)
        stream_.ReadBuffer(text.data(), count);
    return text;
}

void THeaderStreamReader::Unread(std::int64_t bytes) {
    stream_.SetPosition(stream_.Position() - bytes);
}

void THeaderStreamWriter::WriteI32(std::int32_t value) {
    std::uint8_t bytes[4];
    PutLE<std::int32_t>(bytes, value);
    stream_.WriteBuffer(bytes, 4);
}

void THeaderStreamWriter::WriteWide(const std::wstring& text) {
    std::vector<std::uint8_t> bytes(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i)
        PutLE<std::uint16_t>(bytes.data() + 2 * i, static_cast<std::uint16_t>(text[i]));
    WriteI32(static_cast<std::int32_t>(text.size()));
    if (!bytes.empty())
        stream_.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void THeaderStreamWriter::WriteAnsi(const std::string& text) {
    WriteI32(static_cast<std::int32_t>(text.size()));
    if (!text.empty())
        stream_.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

} // namespace tarvola
