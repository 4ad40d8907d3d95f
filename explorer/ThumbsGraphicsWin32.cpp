#include "explorer/ThumbsGraphicsWin32.h"

#include "base/ByteOrder.h"

#include <windows.h>

#include <cstring>

namespace tarvola {

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;

// A 32-bit top-down DIB section in a memory context, filled with the background; its pixels are copied out.
class TRenderSurface {
public:
    TRenderSurface(int width, int height, std::uint32_t backColor) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        if (bitmap_ == nullptr || dc_ == nullptr)
            return;
        original_ = SelectObject(dc_, bitmap_);
        const RECT all{0, 0, width, height};
        const HBRUSH brush =
            CreateSolidBrush(RGB((backColor >> 16) & 0xFF, (backColor >> 8) & 0xFF, backColor & 0xFF));
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~TRenderSurface() {
        if (original_ != nullptr)
            SelectObject(dc_, original_);
        if (dc_ != nullptr)
            DeleteDC(dc_);
        if (bitmap_ != nullptr)
            DeleteObject(bitmap_);
    }
    TRenderSurface(const TRenderSurface&) = delete;
    TRenderSurface& operator=(const TRenderSurface&) = delete;

    bool Ready() const { return original_ != nullptr; }
    HDC Dc() const { return dc_; }
    TThumbnailPicture Picture() const {
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits_);
        TThumbnailPicture picture;
        picture.ImageWidth = width_;
        picture.ImageHeight = height_;
        picture.Pixels = TPixelImage{width_, height_, {}};
        picture.Pixels.Pixels.reserve(static_cast<std::size_t>(width_) * height_);
        for (std::size_t i = 0, n = static_cast<std::size_t>(width_) * height_; i < n; ++i)
            picture.Pixels.Pixels.push_back(pixels[i] & 0xFFFFFF);
        return picture;
    }

private:
    int width_;
    int height_;
    void* bits_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ original_ = nullptr;
};

bool RenderableSize(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxRenderedSide && height <= kMaxRenderedSide;
}

struct TMetafile {
    HENHMETAFILE Handle = nullptr;
    ~TMetafile() {
        if (Handle != nullptr)
            DeleteEnhMetaFile(Handle);
    }
};

std::optional<TThumbnailPicture> PlayMetafile(HENHMETAFILE metafile, int width, int height,
                                              std::uint32_t backColor) {
    if (!RenderableSize(width, height))
        return std::nullopt;
    TRenderSurface surface(width, height, backColor);
    const RECT all{0, 0, width, height};
    if (!surface.Ready() || !PlayEnhMetaFile(surface.Dc(), metafile, &all))
        return std::nullopt;
    return surface.Picture();
}

std::optional<TThumbnailPicture> RenderEnhancedMetafile(std::span<const std::uint8_t> bytes,
                                                        std::uint32_t backColor) {
    TMetafile metafile{SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data())};
    ENHMETAHEADER header{};
    if (metafile.Handle == nullptr || GetEnhMetaFileHeader(metafile.Handle, sizeof(header), &header) == 0)
        return std::nullopt;
    // The bounds are inclusive device pixels.
    const std::int64_t width = std::int64_t{header.rclBounds.right} - header.rclBounds.left + 1;
    const std::int64_t height = std::int64_t{header.rclBounds.bottom} - header.rclBounds.top + 1;
    if (width > kMaxRenderedSide || height > kMaxRenderedSide)
        return std::nullopt;
    return PlayMetafile(metafile.Handle, static_cast<int>(width), static_cast<int>(height), backColor);
}

// A Windows metafile is drawn only with its placeable header: without it the picture has no size.
std::optional<TThumbnailPicture> RenderWindowsMetafile(std::span<const std::uint8_t> bytes,
                                                       std::uint32_t backColor) {
    if (bytes.size() <= kPlaceableHeaderSize || GetLE<std::uint32_t>(bytes.data()) != kPlaceableKey)
        return std::nullopt;
    const int left = static_cast<std::int16_t>(GetLE<std::uint16_t>(bytes.data() + 6));
    const int top = static_cast<std::int16_t>(GetLE<std::uint16_t>(bytes.data() + 8));
    const int right = static_cast<std::int16_t>(GetLE<std::uint16_t>(bytes.data() + 10));
    const int bottom = static_cast<std::int16_t>(GetLE<std::uint16_t>(bytes.data() + 12));
    const int unitsPerInch = GetLE<std::uint16_t>(bytes.data() + 14);
    if (unitsPerInch == 0)
        return std::nullopt;
    const int width = (right - left) * 96 / unitsPerInch;
    const int height = (bottom - top) * 96 / unitsPerInch;
    if (!RenderableSize(width, height))
        return std::nullopt;
    // The picture's extent in hundredths of a millimetre.
    METAFILEPICT picture{MM_ANISOTROPIC, (right - left) * 2540 / unitsPerInch,
                         (bottom - top) * 2540 / unitsPerInch, nullptr};
    const std::span<const std::uint8_t> records = bytes.subspan(kPlaceableHeaderSize);
    TMetafile metafile{
        SetWinMetaFileBits(static_cast<UINT>(records.size()), records.data(), nullptr, &picture)};
    if (metafile.Handle == nullptr)
        return std::nullopt;
    return PlayMetafile(metafile.Handle, width, height, backColor);
}

// The largest image of an icon file (a side of 0 in the directory means 256).
std::optional<TThumbnailPicture> RenderIcon(std::span<const std::uint8_t> bytes, std::uint32_t backColor) {
    constexpr std::size_t kDirectorySize = 6, kEntrySize = 16;
    if (bytes.size() < kDirectorySize || GetLE<std::uint16_t>(bytes.data()) != 0 ||
        GetLE<std::uint16_t>(bytes.data() + 2) != 1)
        return std::nullopt;
    const std::size_t count = GetLE<std::uint16_t>(bytes.data() + 4);
    int bestSide = 0;
    std::span<const std::uint8_t> best;
    int bestWidth = 0, bestHeight = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kDirectorySize + i * kEntrySize;
        if (at + kEntrySize > bytes.size())
            return std::nullopt;
        const int width = bytes[at] == 0 ? 256 : bytes[at];
        const int height = bytes[at + 1] == 0 ? 256 : bytes[at + 1];
        const std::uint32_t size = GetLE<std::uint32_t>(bytes.data() + at + 8);
        const std::uint32_t offset = GetLE<std::uint32_t>(bytes.data() + at + 12);
        if (offset > bytes.size() || size > bytes.size() - offset || size == 0)
            continue;
        if (width * height > bestSide) {
            bestSide = width * height;
            best = bytes.subspan(offset, size);
            bestWidth = width;
            bestHeight = height;
        }
    }
    if (best.empty())
        return std::nullopt;
    // The resource is only read, but the call takes a writable pointer.
    std::vector<std::uint8_t> resource(best.begin(), best.end());
    const HICON icon = CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), TRUE,
                                                0x00030000, bestWidth, bestHeight, LR_DEFAULTCOLOR);
    if (icon == nullptr)
        return std::nullopt;
    std::optional<TThumbnailPicture> picture;
    TRenderSurface surface(bestWidth, bestHeight, backColor);
    if (surface.Ready() && DrawIconEx(surface.Dc(), 0, 0, icon, bestWidth, bestHeight, 0, nullptr, DI_NORMAL))
        picture = surface.Picture();
    DestroyIcon(icon);
    return picture;
}

} // namespace

std::optional<TThumbnailPicture>
RenderPlatformGraphic(TGraphicClass graphic, std::span<const std::uint8_t> bytes, std::uint32_t backColor) {
    switch (graphic) {
    case TGraphicClass::Metafile:
        return bytes.size() >= 4 && GetLE<std::uint32_t>(bytes.data()) == kPlaceableKey
                   ? RenderWindowsMetafile(bytes, backColor)
                   : RenderEnhancedMetafile(bytes, backColor);
    case TGraphicClass::Icon:
        return RenderIcon(bytes, backColor);
    default:
        return std::nullopt;
    }
}

} // namespace tarvola
