#include "tree/TreeDragImage.h"

#include "base/Numerics.h"
#include "tree/DropRules.h"

#include <ole2.h>
#include <shlobj.h>

#include <stdexcept>

namespace tarvola {
namespace {

constexpr wchar_t DragImageClass[] = L"TarvolaTreeDragImage";

ATOM RegisterDragImageClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = DragImageClass;
        return RegisterClassExW(&windowClass);
    }();
    return atom;
}

// A top-down 32-bit DIB section holding the pixels.
HBITMAP MakeDib(const std::vector<std::uint32_t>& pixels, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr)
        throw std::runtime_error("Cannot make the drag image's bitmap");
    std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
    return bitmap;
}

} // namespace

TTreeDragImage::~TTreeDragImage() {
    Finish();
}

void TTreeDragImage::Prepare(const std::vector<std::uint32_t>& picture, int width, int height,
                             std::uint32_t colorKey, POINT hotSpot, POINT screen, IDataObject* dataObject) {
    Finish();
    if (width <= 0 || height <= 0 ||
        picture.size() != static_cast<std::size_t>(CheckedMul<std::int64_t>(width, height)))
        return;
    hotSpot_ = hotSpot;
    helperShows_ = TryHelper(picture, width, height, colorKey, hotSpot, dataObject);
    if (!helperShows_)
        ShowOwnImage(picture, width, height, colorKey, screen);
}

bool TTreeDragImage::TryHelper(const std::vector<std::uint32_t>& picture, int width, int height,
                               std::uint32_t colorKey, POINT hotSpot, IDataObject* dataObject) {
    if (dataObject == nullptr)
        return false;
    IDragSourceHelper* helper = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                reinterpret_cast<void**>(&helper))) ||
        helper == nullptr)
        return false;
    SHDRAGIMAGE image{};
    image.sizeDragImage = SIZE{width, height};
    image.ptOffset = hotSpot;
    image.hbmpDragImage = MakeDib(picture, width, height);
    // The pixels are 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
    image.crColorKey = RGB((colorKey >> 16) & 0xFF, (colorKey >> 8) & 0xFF, colorKey & 0xFF);
    const HRESULT result = helper->InitializeFromBitmap(&image, dataObject);
    helper->Release();
    // On success the helper owns the bitmap.
    if (result != S_OK) {
        DeleteObject(image.hbmpDragImage);
        return false;
    }
    return true;
}

void TTreeDragImage::ShowOwnImage(std::vector<std::uint32_t> picture, int width, int height,
                                  std::uint32_t colorKey, POINT screen) {
    BuildAlphaChannel(picture, width, height, colorKey & 0xFFFFFF);
    // Layered windows take premultiplied pixels.
    for (std::uint32_t& pixel : picture) {
        const std::uint32_t alpha = (pixel >> 24) * Transparency / 255;
        const auto scale = [alpha](std::uint32_t channel) { return channel * alpha / 255; };
        pixel = (alpha << 24) | (scale((pixel >> 16) & 0xFF) << 16) | (scale((pixel >> 8) & 0xFF) << 8) |
                scale(pixel & 0xFF);
    }
    RegisterDragImageClass();
    window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE |
                                  WS_EX_TOPMOST,
                              DragImageClass, L"", WS_POPUP, screen.x - hotSpot_.x, screen.y - hotSpot_.y,
                              width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr)
        return;
    HBITMAP bitmap = MakeDib(picture, width, height);
    HDC screenDC = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screenDC);
    HGDIOBJ old = SelectObject(memory, bitmap);
    POINT origin{0, 0};
    POINT position{screen.x - hotSpot_.x, screen.y - hotSpot_.y};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window_, screenDC, &position, &size, memory, &origin, 0, &blend, ULW_ALPHA);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screenDC);
    DeleteObject(bitmap);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void TTreeDragImage::MoveTo(POINT screen) {
    if (window_ == nullptr)
        return;
    SetWindowPos(window_, HWND_TOPMOST, screen.x - hotSpot_.x, screen.y - hotSpot_.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

void TTreeDragImage::Finish() {
    if (window_ != nullptr)
        DestroyWindow(window_);
    window_ = nullptr;
    helperShows_ = false;
}

} // namespace tarvola
