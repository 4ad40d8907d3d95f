// The fields of the explorer's saved-state streams: little-endian numbers, item lists, UTF-16 texts and the
// version word. Every count and size read is bounded by what is left of the stream before anything is
// allocated, and every item list is checked to hold together (each record at least 2 bytes and within the
// stored size, the terminator last) before anyone sees it.
//
// Versions: the writer writes the layout of version 3 and labels it 3; the reader takes versions 0 to 3.
// A stream written without version words carries no label: it is read with the version the caller names,
// and -1 (an object's version before it was streamed) stands for the current one.
#pragma once

#include "audio/Streams.h"
#include "shell/VirtualPIDLTools.h"
#include "shell/VirtualWideStrings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvola {

// A saved-state stream that does not hold together, names an unknown version or an unregistered class.
class EStateStreamError : public StreamError {
public:
    using StreamError::StreamError;
};

constexpr std::int32_t kStateStreamVersion = 3;

// The layout version of an object being read: its own word (flagged) or the caller's; raises
// EStateStreamError for a version this reader does not know.
std::int32_t ReadLayoutVersion(std::int32_t streamVersion);
// The version the writer writes: always the current one. An unflagged stream asked for an older version
// is refused, since its reader would take the current layout for the older one.
std::int32_t WriteLayoutVersion(std::int32_t requested, bool writeVerToStream);

std::int64_t BytesLeft(const TStream& stream);

std::uint8_t ReadStateByte(TStream& stream);
std::uint16_t ReadStateWord(TStream& stream);
std::int32_t ReadStateInt32(TStream& stream);
// A count of elements that take at least minBytesEach bytes: negative counts and counts the rest of the
// stream cannot hold raise EStateStreamError.
std::int32_t ReadStateCount(TStream& stream, std::int64_t minBytesEach, const char* what);

void WriteStateByte(TStream& stream, std::uint8_t value);
void WriteStateWord(TStream& stream, std::uint16_t value);
void WriteStateInt32(TStream& stream, std::int32_t value);
void WriteStateCount(TStream& stream, std::size_t count);

// Int32 size S (terminator included; below 1 for none), then S bytes that must be exactly one list.
std::optional<TItemIDList> ReadStatePIDL(TStream& stream);
void WriteStatePIDL(TStream& stream, const std::optional<TItemIDList>& pidl);

// Int32 count N of UTF-16 units, then 2N bytes.
WideString ReadStateWide(TStream& stream);
void WriteStateWide(TStream& stream, const WideString& text);
// Int32 count N, then N bytes: the form older streams used for the custom path (and class names use).
std::string ReadStateBytes(TStream& stream, std::int32_t maxLength, const char* what);
void WriteStateBytes(TStream& stream, const std::string& bytes);

} // namespace tarvola
