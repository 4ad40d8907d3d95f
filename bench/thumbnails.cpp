// Thumbnail speed: JPEG photos of 4000 x 3000 (made here, kept between runs) to thumbnails in a 120 x 120 box
// (120 x 90) on one thread, as the thumbnail thread makes them (file read, scaled decode, drawing, BMP
// image), beside `djpeg -scale 1/8` decoding the same files, each a whole process, in the same run (each
// round times both, one after the other). Then the same thumbnails with the JPEG library's SIMD code switched
// off (JSIMD_FORCENONE=1, a child run of this program over the same files): the library's plain C paths, as a
// build without SIMD has them. Usage: bench_thumbnails [--photos N] [--rounds N] [--folder PATH] djpeg comes
// with Debian's libjpeg-turbo-progs (apt-get install libjpeg-turbo-progs); without it that reference is
// skipped.
#ifndef _WIN32

#include "base/WholeFile.h"
#include "explorer/BitmapFile.h"
#include "explorer/JpegCodec.h"
#include "explorer/ThumbsMaker.h"
#include "shell/VirtualWideStrings.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

using namespace tarvola;

namespace {

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time (user and system) of this process or of its finished children: the machine may be shared,
// and processor time does not count the time others had the cores.
double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A photo-like picture: smooth shapes that differ per photo, with fine grain, so that the entropy coded data
// is of a photo's size rather than of a flat picture.
TPixelImage Photo(int number) {
    TPixelImage image{kPhotoWidth, kPhotoHeight, {}};
    image.Pixels.resize(static_cast<std::size_t>(kPhotoWidth) * kPhotoHeight);
    std::mt19937 random(static_cast<unsigned>(number));
    const double phase = number * 0.7, scale = 0.002 + number % 7 * 0.0004;
    for (int y = 0; y < kPhotoHeight; ++y)
        for (int x = 0; x < kPhotoWidth; ++x) {
            const int grain = static_cast<int>(random() % 24);
            const int r = static_cast<int>(110 + 90 * std::sin(x * scale + phase)) + grain;
            const int g = static_cast<int>(110 + 90 * std::sin(y * scale * 1.3 - phase)) + grain;
            const int b = static_cast<int>(110 + 90 * std::sin((x + y) * scale * 0.7)) + grain;
            image.Pixels[static_cast<std::size_t>(y) * kPhotoWidth + x] = static_cast<std::uint32_t>(
                std::clamp(r, 0, 255) << 16 | std::clamp(g, 0, 255) << 8 | std::clamp(b, 0, 255));
        }
    return image;
}

// A photo's bytes as the thumbnail thread reads a file: its size first, then the whole in one read.
std::vector<std::uint8_t> ReadPhoto(const std::string& name) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::filesystem::file_size(name)));
    FILE* file = std::fopen(name.c_str(), "rb");
    const bool read = file != nullptr && std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr)
        std::fclose(file);
    if (!read) {
        std::fprintf(stderr, "cannot read %s\n", name.c_str());
        std::exit(1);
    }
    return bytes;
}

std::vector<std::string> MakePhotos(const std::string& folder, int count) {
    std::filesystem::create_directories(folder);
    std::vector<std::string> names;
    int made = 0;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < count; ++i) {
        const std::string name = folder + "/photo" + std::to_string(i) + ".jpg";
        if (!std::filesystem::exists(name)) {
            WriteWholeFile(name, EncodeJpeg(Photo(i), 90));
            ++made;
        }
        names.push_back(name);
    }
    if (made > 0)
        std::printf("made %d photos of %dx%d in %.1f s\n", made, kPhotoWidth, kPhotoHeight,
                    SecondsSince(start));
    return names;
}

// Our thumbnails of every photo; the run's time in seconds (the best of the rounds).
double TimeThumbnails(const std::vector<std::string>& photos, int rounds) {
    TThumbnailSettings settings; // a 120 x 120 box
    double best = 1e30;
    for (int round = 0; round < rounds; ++round) {
        const double start = CpuSeconds(RUSAGE_SELF);
        for (const std::string& photo : photos) {
            const std::vector<std::uint8_t> bytes = ReadPhoto(photo);
            const TThumbnailResult result = MakeThumbnailResult(Utf8ToWide(photo), bytes, settings);
            if (result.State != tsDone || result.Width != kPhotoWidth) {
                std::fprintf(stderr, "no thumbnail for %s\n", photo.c_str());
                std::exit(1);
            }
        }
        best = std::min(best, CpuSeconds(RUSAGE_SELF) - start);
    }
    return best;
}

// The same thumbnails drawn from each photo's whole decoded picture (decoded, then drawn), as they were made
// before the rows went straight into the thumbnail: the gain of drawing row by row, in the same run.
double TimeWholePictureThumbnails(const std::vector<std::string>& photos) {
    const TThumbnailSettings settings;
    const double start = CpuSeconds(RUSAGE_SELF);
    for (const std::string& photo : photos) {
        const std::vector<std::uint8_t> bytes = ReadPhoto(photo);
        const std::optional<TThumbnailPicture> picture =
            LoadThumbnailPicture(TGraphicClass::Jpeg, bytes, settings.Width, settings.Height);
        if (!picture || MakeThumbnailFromPicture(*picture, settings).State != tsDone) {
            std::fprintf(stderr, "no thumbnail for %s\n", photo.c_str());
            std::exit(1);
        }
    }
    return CpuSeconds(RUSAGE_SELF) - start;
}

bool HaveDjpeg() {
    return std::system("command -v djpeg >/dev/null 2>&1") == 0;
}

// djpeg decoding every photo at 1/8, one process after another, its output thrown away.
double TimeDjpeg(const std::vector<std::string>& photos, int rounds, const char* environment) {
    double best = 1e30;
    for (int round = 0; round < rounds; ++round) {
        const double start = CpuSeconds(RUSAGE_CHILDREN);
        for (const std::string& photo : photos) {
            const std::string command =
                std::string(environment) + " djpeg -scale 1/8 -bmp -outfile /dev/null '" + photo + "'";
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "djpeg failed on %s\n", photo.c_str());
                std::exit(1);
            }
        }
        // The shell that starts each djpeg is counted too: a few hundred microseconds a photo.
        best = std::min(best, CpuSeconds(RUSAGE_CHILDREN) - start);
    }
    return best;
}

// This program's thumbnail run in a child, with the environment given; its time in seconds.
double TimeWithoutSimd(const std::string& environment, const char* self, const std::string& folder,
                       int photos, int rounds) {
    const std::string command = environment + " '" + std::string(self) + "' --child --photos " +
                                std::to_string(photos) + " --rounds " + std::to_string(rounds) +
                                " --folder '" + folder + "'";
    FILE* child = popen(command.c_str(), "r");
    double seconds = -1;
    if (child == nullptr || std::fscanf(child, "%lf", &seconds) != 1)
        seconds = -1;
    if (child != nullptr)
        pclose(child);
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    int photos = 100;
    int rounds = 2;
    bool child = false;
    std::string folder = (std::filesystem::temp_directory_path() / "tarvola-bench-thumbnails").string();
    std::string plainLibrary;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--child") == 0)
            child = true;
        else if (i + 1 < argc && std::strcmp(argv[i], "--photos") == 0)
            photos = std::max(1, std::atoi(argv[++i]));
        else if (i + 1 < argc && std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (i + 1 < argc && std::strcmp(argv[i], "--folder") == 0)
            folder = argv[++i];
        else if (i + 1 < argc && std::strcmp(argv[i], "--plain-library") == 0)
            plainLibrary = std::filesystem::absolute(argv[++i]).string();
    }
    const std::vector<std::string> names = MakePhotos(folder, photos);
    if (child) {
        std::printf("%.6f\n", TimeThumbnails(names, rounds));
        return 0;
    }
    TimeThumbnails({names.front()}, 1); // the files into the page cache and the library warmed up
    for (const std::string& name : names)
        ReadPhoto(name);

    std::printf("%d photos of %dx%d to 120x90 thumbnails, one thread, processor time, best of %d rounds\n",
                photos, kPhotoWidth, kPhotoHeight, rounds);
    const std::string noSimd =
        plainLibrary.empty() ? "JSIMD_FORCENONE=1" : "LD_LIBRARY_PATH='" + plainLibrary + "'";
    std::printf("  no SIMD: %s\n", plainLibrary.empty()
                                       ? "the system's library with JSIMD_FORCENONE=1"
                                       : ("the library built without SIMD in " + plainLibrary).c_str());
    const bool djpegThere = HaveDjpeg();
    if (!djpegThere)
        std::printf(
            "  djpeg -scale 1/8: skipped, djpeg is not installed (apt-get install libjpeg-turbo-progs)\n");
    // Each round times ours and djpeg's one after the other, so a change in the machine's load between the
    // two touches both alike.
    // djpeg's own start-up, and the shell's that starts it, as often as there are photos: a picture of 16 x
    // 16 costs next to nothing to decode.
    const std::string tiny = folder + "/tiny.jpg";
    if (!std::filesystem::exists(tiny))
        WriteWholeFile(tiny, EncodeJpeg(TPixelImage{16, 16, std::vector<std::uint32_t>(256, 0x808080)}, 90));
    const std::vector<std::string> tinies(names.size(), tiny);
    double ours = 1e30, whole = 1e30, plain = 1e30, djpeg = 1e30, djpegPlain = 1e30, startUp = 1e30;
    for (int round = 0; round < rounds; ++round) {
        if (djpegThere)
            startUp = std::min(startUp, TimeDjpeg(tinies, 1, ""));
        ours = std::min(ours, TimeThumbnails(names, 1));
        whole = std::min(whole, TimeWholePictureThumbnails(names));
        if (djpegThere)
            djpeg = std::min(djpeg, TimeDjpeg(names, 1, ""));
        if (const double seconds = TimeWithoutSimd(noSimd, argv[0], folder, photos, 1); seconds > 0)
            plain = std::min(plain, seconds);
        if (djpegThere)
            djpegPlain = std::min(djpegPlain, TimeDjpeg(names, 1, noSimd.c_str()));
    }
    std::printf("  thumbnails (SIMD)          %8.3f s  %6.1f ms/photo\n", ours, 1000 * ours / photos);
    std::printf("  from whole pictures (SIMD) %8.3f s  %6.1f ms/photo  row by row / whole = %.2f\n", whole,
                1000 * whole / photos, ours / whole);
    const bool plainTimed = plain < 1e30;
    if (plainTimed)
        std::printf("  thumbnails (no SIMD)       %8.3f s  %6.1f ms/photo  SIMD speed-up %.2fx\n", plain,
                    1000 * plain / photos, plain / ours);
    if (!djpegThere)
        return 0;
    std::printf("  djpeg -scale 1/8 (SIMD)    %8.3f s  %6.1f ms/photo  thumbnails / djpeg = %.2f\n", djpeg,
                1000 * djpeg / photos, ours / djpeg);
    std::printf("  djpeg -scale 1/8 (no SIMD) %8.3f s  %6.1f ms/photo  thumbnails / djpeg = %.2f\n",
                djpegPlain, 1000 * djpegPlain / photos, plainTimed ? plain / djpegPlain : 0.0);
    // Without its start-up, djpeg's decoding alone: the stricter reference.
    std::printf(
        "  djpeg start-up (16 x 16)   %8.3f s  %6.1f ms/photo  thumbnails / (djpeg - start-up) = %.2f\n",
        startUp, 1000 * startUp / photos, ours / std::max(djpeg - startUp, 1e-9));
    return 0;
}

#else

#include <cstdio>

int main() {
    std::printf("bench_thumbnails runs natively beside djpeg: run it with bench/run.sh thumbnails\n");
    return 0;
}

#endif
