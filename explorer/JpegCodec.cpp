#include "explorer/JpegCodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

// The codes IsJPEGError matches; another interface level of the library would number them differently.
static_assert(JERR_QUANT_MANY_COLORS == 57 && JERR_SOF_UNSUPPORTED == 60 && JERR_TOO_LITTLE_DATA == 67 &&
              JERR_UNKNOWN_MARKER == 68);
#ifndef JCS_EXTENSIONS
#error "the JPEG library lacks the BGRX colour space extension"
#endif

namespace tarvola {

// The library reports a fatal error by calling error_exit, which must not return. Throwing a C++ exception
// through the library's C frames is undefined, so error_exit jumps back to the plain C-style function that
// started the work; that function holds only trivially destructible locals, cleans the library's state up and
// returns the code, and its C++ caller throws. Warnings (corrupt data, a truncated file) stay non-fatal.
namespace {

struct TErrorManager {
    jpeg_error_mgr Library;
    std::jmp_buf Jump;
    int Code;
};

extern "C" void ExitOnJpegError(j_common_ptr info) {
    auto* manager = reinterpret_cast<TErrorManager*>(info->err);
    manager->Code = info->err->msg_code;
    std::longjmp(manager->Jump, 1);
}

extern "C" void IgnoreJpegMessage(j_common_ptr) {}

void UseErrorManager(jpeg_error_mgr& library) {
    jpeg_std_error(&library);
    library.error_exit = ExitOnJpegError;
    library.output_message = IgnoreJpegMessage;
}

// Where a decode writes its pixels: the caller's allocation, made once the output size is known; without
// one, a row of the library's own at a time, handed to the sink.
using TAllocatePixels = std::uint32_t* (*)(void* context, int width, int height) noexcept;

struct TDecodeJob {
    const std::uint8_t* Data;
    std::size_t Size;
    int Denominator;
    bool Fast;
    bool HeaderOnly;
    TAllocatePixels Allocate;
    void* Context;
    IJpegRowSink* Sink;
    int Width;
    int Height;
};

void ConvertInvertedCmykRow(std::uint32_t* row, int width) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(row);
    for (int x = 0; x < width; ++x) {
        std::uint8_t* p = bytes + 4 * x;
        // Adobe stores CMYK inverted: each byte is 255 - ink, so the channel is byte * k / 255.
        const unsigned c = p[0], m = p[1], y = p[2], k = p[3];
        const std::uint32_t r = (c * k + 127) / 255, g = (m * k + 127) / 255, b = (y * k + 127) / 255;
        row[x] = (r << 16) | (g << 8) | b;
    }
}

// Plain C-style: only trivially destructible locals live between setjmp and longjmp. Answers 0 or the
// library's message code.
int RunDecode(TDecodeJob& job) noexcept {
    jpeg_decompress_struct info;
    TErrorManager errors;
    info.err = &errors.Library;
    UseErrorManager(errors.Library);
    errors.Code = 0;
    if (setjmp(errors.Jump) != 0) {
        jpeg_destroy_decompress(&info);
        return errors.Code;
    }
    jpeg_create_decompress(&info);
    // A header can state a picture of gigapixels; a progressive or multi-scan file then asks for coefficient
    // buffers of the whole picture whatever the scale. The cap turns that into the library's error.
    info.mem->max_memory_to_use = MaxJpegWorkingMemory;
    jpeg_mem_src(&info, job.Data, static_cast<unsigned long>(job.Size));
    jpeg_read_header(&info, TRUE);
    job.Width = static_cast<int>(info.image_width);
    job.Height = static_cast<int>(info.image_height);
    if (job.HeaderOnly) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned>(job.Denominator);
    if (job.Fast) {
        info.dct_method = JDCT_IFAST;
        info.do_fancy_upsampling = FALSE;
        info.do_block_smoothing = FALSE;
    }
    jpeg_calc_output_dimensions(&info);
    job.Width = static_cast<int>(info.output_width);
    job.Height = static_cast<int>(info.output_height);
    std::uint32_t* pixels = nullptr;
    if (job.Allocate != nullptr)
        pixels = job.Allocate(job.Context, job.Width, job.Height);
    if (job.Allocate != nullptr ? pixels == nullptr : !job.Sink->Begin(job.Width, job.Height))
        ERREXIT1(&info, JERR_OUT_OF_MEMORY, 0);
    jpeg_start_decompress(&info);
    // The sink's row lives in the library's pool (aligned for pixels), freed with the decompressor.
    const JSAMPARRAY scratch = pixels != nullptr
                                   ? nullptr
                                   : info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&info),
                                                            JPOOL_IMAGE, info.output_width * 4, 1);
    while (info.output_scanline < info.output_height) {
        const JDIMENSION y = info.output_scanline;
        std::uint32_t* row = pixels != nullptr ? pixels + static_cast<std::size_t>(y) * info.output_width
                                               : reinterpret_cast<std::uint32_t*>(scratch[0]);
        JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(row)};
        jpeg_read_scanlines(&info, rows, 1);
        if (cmyk)
            ConvertInvertedCmykRow(row, job.Width);
        if (pixels == nullptr)
            job.Sink->Row(static_cast<int>(y), row);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return 0;
}

struct TEncodeJob {
    const std::uint32_t* Pixels;
    int Width;
    int Height;
    int Quality;
    unsigned char* Buffer; // the library's allocation (malloc), freed by the caller in every case
    unsigned long Size;
};

int RunEncode(TEncodeJob& job) noexcept {
    jpeg_compress_struct info;
    TErrorManager errors;
    info.err = &errors.Library;
    UseErrorManager(errors.Library);
    errors.Code = 0;
    if (setjmp(errors.Jump) != 0) {
        jpeg_destroy_compress(&info);
        return errors.Code;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &job.Buffer, &job.Size);
    info.image_width = static_cast<JDIMENSION>(job.Width);
    info.image_height = static_cast<JDIMENSION>(job.Height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, job.Quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const std::uint32_t* row = job.Pixels + static_cast<std::size_t>(info.next_scanline) * job.Width;
        JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(const_cast<std::uint32_t*>(row))};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return 0;
}

std::uint32_t* AllocateInImage(void* context, int width, int height) noexcept {
    auto* image = static_cast<TPixelImage*>(context);
    const std::int64_t count = static_cast<std::int64_t>(width) * height;
    if (width <= 0 || height <= 0 || count > MaxJpegPixels)
        return nullptr;
    try {
        image->Pixels.assign(static_cast<std::size_t>(count), 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    image->Width = width;
    image->Height = height;
    return image->Pixels.data();
}

TDecodeJob MakeDecodeJob(std::span<const std::uint8_t> data) {
    // The library reads an empty source as a premature end and fills in a fake end marker: it needs a
    // non-null pointer either way.
    static const std::uint8_t nothing = 0;
    return TDecodeJob{
        data.empty() ? &nothing : data.data(), data.size(), 1, false, false, nullptr, nullptr, nullptr, 0, 0};
}

} // namespace

EJpegError::EJpegError(int code) : std::runtime_error("JPEG error #" + std::to_string(code)), code_(code) {}

bool IsJPEGError(const std::exception& error) {
    const std::string text = error.what();
    return text == "JPEG error #68" || text == "JPEG error #67" || text == "JPEG error #60" ||
           text == "JPEG error #57";
}

TJpegSize ReadJpegSize(std::span<const std::uint8_t> data) {
    TDecodeJob job = MakeDecodeJob(data);
    job.HeaderOnly = true;
    if (const int code = RunDecode(job); code != 0)
        throw EJpegError(code);
    return TJpegSize{job.Width, job.Height};
}

TJpegSize ScaledJpegSize(TJpegSize size, int denominator) {
    const auto up = [denominator](int value) {
        return static_cast<int>((static_cast<std::int64_t>(value) + denominator - 1) / denominator);
    };
    return TJpegSize{up(size.Width), up(size.Height)};
}

int ChooseJpegScale(TJpegSize size, int maxWidth, int maxHeight) {
    int denominator = 1;
    for (;;) {
        const TJpegSize scaled = ScaledJpegSize(size, denominator);
        if ((scaled.Width <= maxWidth && scaled.Height <= maxHeight) || denominator == 8)
            break;
        denominator *= 2;
    }
    return denominator == 1 ? 1 : denominator / 2;
}

TPixelImage DecodeJpeg(std::span<const std::uint8_t> data, int denominator, bool fast) {
    if (denominator != 1 && denominator != 2 && denominator != 4 && denominator != 8)
        throw std::invalid_argument("JPEG scale must be 1/1, 1/2, 1/4 or 1/8");
    TPixelImage image;
    TDecodeJob job = MakeDecodeJob(data);
    job.Denominator = denominator;
    job.Fast = fast;
    job.Allocate = AllocateInImage;
    job.Context = &image;
    if (const int code = RunDecode(job); code != 0)
        throw EJpegError(code);
    return image;
}

void DecodeJpegRows(std::span<const std::uint8_t> data, int denominator, bool fast, IJpegRowSink& sink) {
    if (denominator != 1 && denominator != 2 && denominator != 4 && denominator != 8)
        throw std::invalid_argument("JPEG scale must be 1/1, 1/2, 1/4 or 1/8");
    TDecodeJob job = MakeDecodeJob(data);
    job.Denominator = denominator;
    job.Fast = fast;
    job.Sink = &sink;
    if (const int code = RunDecode(job); code != 0)
        throw EJpegError(code);
}

std::vector<std::uint8_t> EncodeJpeg(const TPixelImage& image, int quality) {
    if (image.Width <= 0 || image.Height <= 0 ||
        image.Pixels.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height))
        throw std::invalid_argument("JPEG encoding needs a whole picture");
    TEncodeJob job{image.Pixels.data(), image.Width, image.Height, quality, nullptr, 0};
    const int code = RunEncode(job);
    const std::unique_ptr<unsigned char, decltype(&std::free)> buffer(job.Buffer, &std::free);
    if (code != 0)
        throw EJpegError(code);
    return std::vector<std::uint8_t>(buffer.get(), buffer.get() + job.Size);
}

} // namespace tarvola
