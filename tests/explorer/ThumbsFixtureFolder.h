// The pictures of a folder the thumbnail tests browse: a large JPEG photo, a small bitmap and a JPEG whose
// header was overwritten, with what each should give. Shared by the thread's native test and the Win32 tests,
// which write them to a real folder.
#pragma once

#include "explorer/BitmapFile.h"
#include "explorer/JpegCodec.h"
#include "explorer/ThumbsMaker.h"

#include <string>
#include <vector>

namespace tarvola::thumbstest {

struct TFixturePicture {
    std::string Name;
    std::vector<std::uint8_t> Bytes;
    std::uint8_t State;          // what the thread gives
    int ImageWidth, ImageHeight; // the source size it reports (0 for none)
    int ThumbWidth, ThumbHeight; // the thumbnail's size in a 120 x 120 box
};

// A horizontal red ramp over a vertical green one, so a thumbnail is plainly not blank.
inline TPixelImage RampPicture(int width, int height) {
    TPixelImage image{width, height, {}};
    image.Pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Pixels.push_back(
                static_cast<std::uint32_t>((x * 255 / width) << 16 | (y * 255 / height) << 8 | 0x40));
    return image;
}

inline std::vector<TFixturePicture> FixtureFolder() {
    const std::vector<std::uint8_t> photo = EncodeJpeg(RampPicture(1600, 1200), 85);
    std::vector<std::uint8_t> corrupt(photo.begin(), photo.begin() + 2);
    corrupt.insert(corrupt.end(), 60, 0xA5);
    corrupt.insert(corrupt.end(), photo.begin() + 62, photo.begin() + 4000);
    return {
        {"photo.jpg", photo, tsDone, 1600, 1200, 120, 90},
        {"small.bmp", EncodeBmp(RampPicture(50, 40)), tsDone, 50, 40, 50, 40},
        {"corrupt.jpg", corrupt, tsNoThumbnail, 0, 0, 0, 0},
    };
}

} // namespace tarvola::thumbstest
