#include "explorer/ExplorerStateCodec.h"

#include "base/ByteOrder.h"
#include "base/Numerics.h"

#include <string>

namespace tarvola {

std::int32_t ReadLayoutVersion(std::int32_t streamVersion) {
    if (streamVersion == -1)
        return kStateStreamVersion;
    if (streamVersion < 0 || streamVersion > kStateStreamVersion)
        throw EStateStreamError("Saved state of unknown version " + std::to_string(streamVersion));
    return streamVersion;
}

std::int32_t WriteLayoutVersion(std::int32_t requested, bool writeVerToStream) {
    if (!writeVerToStream && requested >= 0 && requested < kStateStreamVersion)
        throw EStateStreamError("Saved state is written as version " + std::to_string(kStateStreamVersion) +
                                " only, not as version " + std::to_string(requested));
    return kStateStreamVersion;
}

std::int64_t BytesLeft(const TStream& stream) {
    const std::int64_t left = stream.Size() - stream.Position();
    return left < 0 ? 0 : left;
}

std::uint8_t ReadStateByte(TStream& stream) {
    std::uint8_t b = 0;
    stream.ReadBuffer(&b, 1);
    return b;
}

std::uint16_t ReadStateWord(TStream& stream) {
    std::uint8_t b[2];
    stream.ReadBuffer(b, 2);
    return GetLE<std::uint16_t>(b);
}

std::int32_t ReadStateInt32(TStream& stream) {
    std::uint8_t b[4];
    stream.ReadBuffer(b, 4);
    return GetLE<std::int32_t>(b);
}

std::int32_t ReadStateCount(TStream& stream, std::int64_t minBytesEach, const char* what) {
    const std::int32_t count = ReadStateInt32(stream);
    if (count < 0 || (count > 0 && count > BytesLeft(stream) / minBytesEach))
        throw EStateStreamError(std::string("Saved state holds ") + std::to_string(count) + " " + what +
                                " where " + std::to_string(BytesLeft(stream)) + " bytes are left");
    return count;
}

void WriteStateByte(TStream& stream, std::uint8_t value) {
    stream.WriteBuffer(&value, 1);
}

void WriteStateWord(TStream& stream, std::uint16_t value) {
    std::uint8_t b[2];
    PutLE(b, value);
    stream.WriteBuffer(b, 2);
}

void WriteStateInt32(TStream& stream, std::int32_t value) {
    std::uint8_t b[4];
    PutLE(b, value);
    stream.WriteBuffer(b, 4);
}

void WriteStateCount(TStream& stream, std::size_t count) {
    WriteStateInt32(stream, CheckedCast<std::int32_t>(count));
}

std::optional<TItemIDList> ReadStatePIDL(TStream& stream) {
    const std::int32_t size = ReadStateInt32(stream);
    if (size < 1)
        return std::nullopt;
    if (size > kMaxStoredPIDLSize || size > BytesLeft(stream))
        throw EStateStreamError("Saved item identifier list of " + std::to_string(size) + " bytes where " +
                                std::to_string(BytesLeft(stream)) + " are left");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    stream.ReadBuffer(bytes.data(), size);
    try {
        return TItemIDList::FromBytes(bytes);
    } catch (const EPIDLError& e) {
        throw EStateStreamError(std::string("Saved item identifier list is broken: ") + e.what());
    }
}

void WriteStatePIDL(TStream& stream, const std::optional<TItemIDList>& pidl) {
    if (!pidl) {
        WriteStateInt32(stream, 0);
        return;
    }
    WriteStateCount(stream, pidl->Size());
    stream.WriteBuffer(pidl->Data(), CheckedCast<std::int64_t>(pidl->Size()));
}

WideString ReadStateWide(TStream& stream) {
    const std::int32_t units = ReadStateCount(stream, 2, "text units");
    WideString text(static_cast<std::size_t>(units), u'\0');
    for (char16_t& unit : text)
        unit = static_cast<char16_t>(ReadStateWord(stream));
    return text;
}

void WriteStateWide(TStream& stream, const WideString& text) {
    WriteStateCount(stream, text.size());
    for (const char16_t unit : text)
        WriteStateWord(stream, static_cast<std::uint16_t>(unit));
}

std::string ReadStateBytes(TStream& stream, std::int32_t maxLength, const char* what) {
    const std::int32_t length = ReadStateCount(stream, 1, what);
    if (length > maxLength)
        throw EStateStreamError(std::string("Saved state holds ") + what + " of " + std::to_string(length) +
                                " bytes");
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (length > 0)
        stream.ReadBuffer(bytes.data(), length);
    return bytes;
}

void WriteStateBytes(TStream& stream, const std::string& bytes) {
    WriteStateCount(stream, bytes.size());
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), CheckedCast<std::int64_t>(bytes.size()));
}

} // namespace tarvola
