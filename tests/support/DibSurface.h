// A top-down 32-bit DIB section selected into a memory device context, filled with one colour: tests paint
// into it (or have a window print into it) and read its pixels back without a screen.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvola::test {

class DibSurface {
public:
    DibSurface(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<const std::uint32_t*>(bits);
        dc_ = CreateCompatibleDC(nullptr);
        original_ = SelectObject(dc_, bitmap_);
        const RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~DibSurface() {
        SelectObject(dc_, original_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t pixel = pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                                            static_cast<std::size_t>(x)];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

    // Every pixel, rows top to bottom (0x00RRGGBB).
    std::vector<std::uint32_t> Pixels() const {
        GdiFlush();
        return std::vector<std::uint32_t>(pixels_, pixels_ + static_cast<std::size_t>(width_) * height_);
    }

private:
    int width_;
    int height_;
    HBITMAP bitmap_;
    const std::uint32_t* pixels_ = nullptr;
    HDC dc_;
    HGDIOBJ original_;
};

} // namespace tarvola::test
