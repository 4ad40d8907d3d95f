#include "explorer/BitmapFile.h"

#include "base/ByteOrder.h"
#include "base/Numerics.h"

#include <bit>

namespace tarvola {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kPlainRows = 0;   // BI_RGB
constexpr std::uint32_t kColourMasks = 3; // BI_BITFIELDS

std::int64_t RowStride(std::int64_t width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// Reading fields from the image, each checked against its end.
class TBmpBytes {
public:
    explicit TBmpBytes(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t Size() const { return data_.size(); }
    void Require(std::uint64_t offset, std::uint64_t count) const {
        if (offset > data_.size() || count > data_.size() - offset)
            throw EBitmapError("Bitmap image is not valid");
    }
    std::uint32_t U16(std::uint64_t offset) const {
        Require(offset, 2);
        return GetLE<std::uint16_t>(data_.data() + offset);
    }
    std::uint32_t U32(std::uint64_t offset) const {
        Require(offset, 4);
        return GetLE<std::uint32_t>(data_.data() + offset);
    }
    std::int32_t I32(std::uint64_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    std::uint8_t Byte(std::uint64_t offset) const { return data_[offset]; }

private:
    std::span<const std::uint8_t> data_;
};

struct TBmpLayout {
    std::int64_t Width = 0;
    std::int64_t Height = 0; // positive; TopDown tells the row order
    bool TopDown = false;
    int BitsPerPixel = 0;
    std::vector<std::uint32_t> Palette;
    std::uint32_t Masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    std::uint64_t RowsOffset = 0;
};

[[noreturn]] void Unsupported() {
    throw EBitmapError("Bitmap image is not valid");
}

void ReadPalette(const TBmpBytes& bytes, std::uint64_t offset, std::uint32_t used, std::uint32_t entrySize,
                 TBmpLayout& layout) {
    const std::uint32_t most = 1u << layout.BitsPerPixel;
    const std::uint32_t count = used == 0 || used > most ? most : used;
    bytes.Require(offset, std::uint64_t{count} * entrySize);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = offset + std::uint64_t{i} * entrySize;
        layout.Palette.push_back(std::uint32_t{bytes.Byte(at)} | std::uint32_t{bytes.Byte(at + 1)} << 8 |
                                 std::uint32_t{bytes.Byte(at + 2)} << 16);
    }
}

TBmpLayout ReadLayout(const TBmpBytes& bytes) {
    bytes.Require(0, kFileHeaderSize + 4);
    if (bytes.Byte(0) != 'B' || bytes.Byte(1) != 'M')
        Unsupported();
    TBmpLayout layout;
    layout.RowsOffset = bytes.U32(10);
    const std::uint32_t headerSize = bytes.U32(kFileHeaderSize);
    const std::uint64_t header = kFileHeaderSize;
    std::int64_t height = 0;
    std::uint32_t compression = kPlainRows, used = 0, entrySize = 4;
    if (headerSize == kCoreHeaderSize) {
        layout.Width = bytes.U16(header + 4);
        height = bytes.U16(header + 6);
        if (bytes.U16(header + 8) != 1)
            Unsupported();
        layout.BitsPerPixel = static_cast<int>(bytes.U16(header + 10));
        entrySize = 3;
    } else if (headerSize >= kInfoHeaderSize) {
        bytes.Require(header, headerSize);
        layout.Width = bytes.I32(header + 4);
        height = bytes.I32(header + 8);
        if (bytes.U16(header + 12) != 1)
            Unsupported();
        layout.BitsPerPixel = static_cast<int>(bytes.U16(header + 14));
        compression = bytes.U32(header + 16);
        used = bytes.U32(header + 32);
    } else {
        Unsupported();
    }
    layout.TopDown = height < 0;
    layout.Height = height < 0 ? -height : height;
    if (layout.Width < 1 || layout.Height < 1 || layout.Width * layout.Height > MaxBitmapPixels)
        Unsupported();
    switch (layout.BitsPerPixel) {
    case 1:
    case 4:
    case 8:
        if (compression != kPlainRows)
            Unsupported();
        ReadPalette(bytes, header + headerSize, used, entrySize, layout);
        break;
    case 24:
        if (compression != kPlainRows)
            Unsupported();
        break;
    case 32:
        if (compression == kColourMasks) {
            // A 40-byte header is followed by the masks; the later headers hold them.
            for (int i = 0; i < 3; ++i)
                layout.Masks[i] = bytes.U32(header + kInfoHeaderSize + 4 * i);
        } else if (compression != kPlainRows) {
            Unsupported();
        }
        break;
    default:
        Unsupported();
    }
    // The last row needs no padding after its pixels.
    const std::int64_t stride = RowStride(layout.Width, layout.BitsPerPixel);
    const std::int64_t lastRow = (layout.Width * layout.BitsPerPixel + 7) / 8;
    bytes.Require(layout.RowsOffset, static_cast<std::uint64_t>(stride * (layout.Height - 1) + lastRow));
    return layout;
}

// One channel of a masked pixel, widened or narrowed to 8 bits.
std::uint32_t MaskedChannel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8)
        return value >> (bits - 8);
    return value * 255 / ((1u << bits) - 1);
}

std::uint32_t PixelAt(const TBmpBytes& bytes, std::uint64_t row, std::int64_t x, const TBmpLayout& layout) {
    switch (layout.BitsPerPixel) {
    case 1:
    case 4:
    case 8: {
        const std::int64_t bit = x * layout.BitsPerPixel;
        const unsigned byte = bytes.Byte(row + static_cast<std::uint64_t>(bit / 8));
        const unsigned shift = 8 - layout.BitsPerPixel - static_cast<unsigned>(bit % 8);
        const unsigned index = (byte >> shift) & ((1u << layout.BitsPerPixel) - 1);
        // An index past a short palette shows black.
        return index < layout.Palette.size() ? layout.Palette[index] : 0;
    }
    case 24: {
        const std::uint64_t at = row + static_cast<std::uint64_t>(x) * 3;
        return std::uint32_t{bytes.Byte(at)} | std::uint32_t{bytes.Byte(at + 1)} << 8 |
               std::uint32_t{bytes.Byte(at + 2)} << 16;
    }
    default: {
        const std::uint32_t value = bytes.U32(row + static_cast<std::uint64_t>(x) * 4);
        return MaskedChannel(value, layout.Masks[0]) << 16 | MaskedChannel(value, layout.Masks[1]) << 8 |
               MaskedChannel(value, layout.Masks[2]);
    }
    }
}

} // namespace

std::vector<std::uint8_t> EncodeBmp(const TPixelImage& image) {
    if (image.Width < 1 || image.Height < 1 ||
        image.Pixels.size() != CheckedMul<std::size_t>(static_cast<std::size_t>(image.Width),
                                                       static_cast<std::size_t>(image.Height)))
        throw std::invalid_argument("EncodeBmp: the pixels do not match the size");
    const std::int64_t stride = RowStride(image.Width, 24);
    const std::uint32_t rowsSize = CheckedCast<std::uint32_t>(CheckedMul<std::int64_t>(stride, image.Height));
    const std::uint32_t rowsOffset = kFileHeaderSize + kInfoHeaderSize;
    const std::uint32_t fileSize = CheckedAdd(rowsOffset, rowsSize);
    std::vector<std::uint8_t> bytes(fileSize, 0);
    std::uint8_t* out = bytes.data();
    out[0] = 'B';
    out[1] = 'M';
    PutLE<std::uint32_t>(out + 2, fileSize);
    PutLE<std::uint32_t>(out + 10, rowsOffset);
    std::uint8_t* info = out + kFileHeaderSize;
    PutLE<std::uint32_t>(info, kInfoHeaderSize);
    PutLE<std::int32_t>(info + 4, image.Width);
    PutLE<std::int32_t>(info + 8, image.Height);
    PutLE<std::uint16_t>(info + 12, 1);
    PutLE<std::uint16_t>(info + 14, 24);
    PutLE<std::uint32_t>(info + 16, kPlainRows);
    PutLE<std::uint32_t>(info + 20, rowsSize);
    for (int y = 0; y < image.Height; ++y) {
        // Bottom-up: the file's first row is the picture's last.
        std::uint8_t* row = out + rowsOffset + static_cast<std::size_t>(image.Height - 1 - y) * stride;
        for (int x = 0; x < image.Width; ++x) {
            const std::uint32_t pixel = image.Pixels[static_cast<std::size_t>(y) * image.Width + x];
            row[3 * x] = static_cast<std::uint8_t>(pixel);
            row[3 * x + 1] = static_cast<std::uint8_t>(pixel >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(pixel >> 16);
        }
    }
    return bytes;
}

TPixelImage DecodeBmp(std::span<const std::uint8_t> data) {
    const TBmpBytes bytes(data);
    const TBmpLayout layout = ReadLayout(bytes);
    const std::int64_t stride = RowStride(layout.Width, layout.BitsPerPixel);
    TPixelImage image;
    image.Width = static_cast<int>(layout.Width);
    image.Height = static_cast<int>(layout.Height);
    image.Pixels.reserve(static_cast<std::size_t>(layout.Width * layout.Height));
    for (std::int64_t y = 0; y < layout.Height; ++y) {
        const std::int64_t stored = layout.TopDown ? y : layout.Height - 1 - y;
        const std::uint64_t row = layout.RowsOffset + static_cast<std::uint64_t>(stored * stride);
        for (std::int64_t x = 0; x < layout.Width; ++x)
            image.Pixels.push_back(PixelAt(bytes, row, x, layout));
    }
    return image;
}

} // namespace tarvola
