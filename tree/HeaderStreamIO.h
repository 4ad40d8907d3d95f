// Reading and writing the little-endian fields of the column and header streams. The reader checks every
// field and every length against what is left in the stream, so a corrupt length raises the tree's stream
// error instead of reading past the data or allocating without bound.
#pragma once

#include <cstdint>
#include <string>

namespace tarvola {

class TStream;

class THeaderStreamReader {
public:
    explicit THeaderStreamReader(TStream& stream) : stream_(stream) {}
    std::int64_t Remaining() const;
    std::int32_t ReadI32();
    // A count of items of itemSize bytes each that must still fit in the stream.
    std::int32_t ReadCount(std::int64_t itemSize);
    std::wstring ReadWide();
    std::string ReadAnsi();
    // Steps back over the value just read (old streams have no version marker).
    void Unread(std::int64_t bytes);

private:
    TStream& stream_;
};

class THeaderStreamWriter {
public:
    explicit THeaderStreamWriter(TStream& stream) : stream_(stream) {}
    void WriteI32(std::int32_t value);
    void WriteWide(const std::wstring& text);
    void WriteAnsi(const std::string& text);

private:
    TStream& stream_;
};

} // namespace tarvola
