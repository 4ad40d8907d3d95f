// libFuzzer target: arbitrary bytes decoded as a JPEG at every scale the thumbnails use. A damaged file may
// raise the JPEG error; nothing may crash, read outside the bytes, leak or hand back a picture whose pixels
// do not match its size. The first byte picks the scale and speed, so the corpus covers all four.
#include "explorer/JpegCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvola;
    if (size < 1)
        return 0;
    const int denominator = 1 << (data[0] & 3);
    const bool fast = (data[0] & 4) != 0;
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    try {
        const TJpegSize stated = ReadJpegSize(bytes);
        const TPixelImage image = DecodeJpeg(bytes, denominator, fast);
        const TJpegSize expected = ScaledJpegSize(stated, denominator);
        if (image.Width != expected.Width || image.Height != expected.Height ||
            image.Pixels.size() != static_cast<std::size_t>(image.Width) * image.Height)
            std::abort();
    } catch (const EJpegError&) {
    }
    return 0;
}
