#include "base/PackedRecord.h"

#include "base/ByteOrder.h"
#include "base/Extended80.h"

#include <cmath>
#include <cstring>

namespace tarvola {

void PackedWriter::Unsigned(std::uint64_t bits, std::size_t width) {
    PutUnsigned(bytes_ + at_, bits, width);
    at_ += width;
}

void PackedWriter::Byte(std::uint8_t value) {
    Unsigned(value, 1);
}

void PackedWriter::Word(std::uint16_t value) {
    Unsigned(value, 2);
}

void PackedWriter::SmallInt(std::int16_t value) {
    Unsigned(static_cast<std::uint16_t>(value), 2);
}

void PackedWriter::Int32(std::int32_t value) {
    Unsigned(static_cast<std::uint32_t>(value), 4);
}

void PackedWriter::Double(double value) {
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    Unsigned(bits, 8);
}

void PackedWriter::Extended(long double value) {
    const Extended80Bytes bytes = EncodeExtendedLE(value);
    std::memcpy(bytes_ + at_, bytes.data(), bytes.size());
    at_ += bytes.size();
}

std::uint64_t PackedReader::Unsigned(std::size_t width) {
    const std::uint64_t bits = GetUnsigned(bytes_ + at_, width);
    at_ += width;
    return bits;
}

std::uint8_t PackedReader::Byte() {
    return static_cast<std::uint8_t>(Unsigned(1));
}

std::uint16_t PackedReader::Word() {
    return static_cast<std::uint16_t>(Unsigned(2));
}

std::int16_t PackedReader::SmallInt() {
    return static_cast<std::int16_t>(Unsigned(2));
}

std::int32_t PackedReader::Int32() {
    return static_cast<std::int32_t>(Unsigned(4));
}

double PackedReader::Double() {
    const std::uint64_t bits = Unsigned(8);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) {
        ok_ = false;
        return 0;
    }
    return value;
}

long double PackedReader::Extended() {
    const std::optional<long double> value = DecodeStoredExtended(bytes_ + at_);
    at_ += 10;
    if (!value) {
        ok_ = false;
        return 0;
    }
    return *value;
}

} // namespace tarvola
