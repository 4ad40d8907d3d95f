// The JPEG decoder's fuzz check, shared by the libFuzzer target and the smoke test: arbitrary bytes decoded
// as a JPEG at every scale the thumbnails use. A damaged file may raise the JPEG error; nothing may crash,
// read outside the bytes, leak or hand back a picture whose pixels do not match its size. The first byte
// picks the scale and speed, so a corpus covers all four scales with and without the fast settings.
#pragma once

#include "explorer/JpegCodec.h"

#include <cstdlib>

namespace tarvola::jpegfuzz {

inline void FuzzJpegDecoderInput(std::span<const std::uint8_t> input) {
    if (input.empty())
        return;
    const int denominator = 1 << (input[0] & 3);
    const bool fast = (input[0] & 4) != 0;
    const std::span<const std::uint8_t> bytes = input.subspan(1);
    try {
        const TJpegSize stated = ReadJpegSize(bytes);
        const TPixelImage image = DecodeJpeg(bytes, denominator, fast);
        const TJpegSize expected = ScaledJpegSize(stated, denominator);
        if (image.Width != expected.Width || image.Height != expected.Height ||
            image.Pixels.size() != static_cast<std::size_t>(image.Width) * image.Height)
            std::abort();
    } catch (const EJpegError&) {
    }
}

} // namespace tarvola::jpegfuzz
