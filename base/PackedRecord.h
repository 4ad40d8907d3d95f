// PackedRecord: sequential little-endian access to a packed record (no alignment gaps), so a codec lists
// its fields in file order and each lands at its offset. 80-bit fields go through the 10-byte codec; the
// reader marks the record unusable when an 80-bit or 64-bit float field is not a finite number in a valid
// encoding (DecodeStoredExtended).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvola {

class PackedWriter {
public:
    explicit PackedWriter(std::uint8_t* bytes) : bytes_(bytes) {}
    void Byte(std::uint8_t value);
    void Word(std::uint16_t value);
    void SmallInt(std::int16_t value);
    void Int32(std::int32_t value);
    void Double(double value);
    void Extended(long double value);
    std::size_t Offset() const { return at_; }

private:
    void Unsigned(std::uint64_t bits, std::size_t width);

    std::uint8_t* bytes_;
    std::size_t at_ = 0;
};

class PackedReader {
public:
    explicit PackedReader(const std::uint8_t* bytes) : bytes_(bytes) {}
    std::uint8_t Byte();
    std::uint16_t Word();
    std::int16_t SmallInt();
    std::int32_t Int32();
    double Double();        // 0 and Ok() false when not finite
    long double Extended(); // 0 and Ok() false when not finite or not a valid encoding
    std::size_t Offset() const { return at_; }
    bool Ok() const { return ok_; }

private:
    std::uint64_t Unsigned(std::size_t width);

    const std::uint8_t* bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

} // namespace tarvola
