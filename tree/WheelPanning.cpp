#include "tree/WheelPanning.h"

#include "forms/Application.h"
#include "forms/Controls.h"
#include "tree/DrawingHelpersWin32.h"
#include "tree/TreeResources.h"
#include "tree/VirtualTrees.h"

#include <mmsystem.h>
#include <windowsx.h>

#include <vector>

namespace tarvola {

namespace {

constexpr wchar_t PanningClassName[] = L"VTPanningWindow";
constexpr wchar_t PanningOwnerProperty[] = L"TarvolaPanningOwner";
constexpr int PanningSize = 32;
constexpr std::uint32_t Transparent = 0xFF00FF;

HINSTANCE ProgramInstance() {
    return GetModuleHandleW(nullptr);
}

// The class's own procedure is the default one; a class of that name with another procedure is replaced.
void RegisterPanningClass() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(ProgramInstance(), PanningClassName, &existing)) {
        if (existing.lpfnWndProc == DefWindowProcW)
            return;
        UnregisterClassW(PanningClassName, ProgramInstance());
    }
    WNDCLASSEXW panning{};
    panning.cbSize = sizeof panning;
    panning.lpfnWndProc = DefWindowProcW;
    panning.hInstance = ProgramInstance();
    panning.lpszClassName = PanningClassName;
    // Failure leaves a class of that name in place (one of its windows still lives): the window is made
    // of it and takes its procedure below all the same.
    RegisterClassExW(&panning);
}

} // namespace

HRGN PanningRegion(HBITMAP image) {
    BITMAP info{};
    TreeAssert(image != nullptr && GetObjectW(image, sizeof info, &info) != 0 && info.bmWidth > 0 &&
                   info.bmHeight != 0,
               "Invalid wheel panning image.");
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    const std::vector<std::uint32_t> pixels = BitmapPixels(image, width, height);
    TreeAssert(!pixels.empty(), "Invalid wheel panning image.");
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row =
            pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (const TPixelRun& run : OpaqueRuns(row, width, Transparent)) {
            HRGN line = CreateRectRgn(run.Begin, y, run.End, y + 1);
            CombineRgn(region, region, line, RGN_OR);
            DeleteObject(line);
        }
    }
    return region;
}

TTreeMotionWindow::TTreeMotionWindow(TWinControl& control) : control_(control) {}

TTreeMotionWindow::~TTreeMotionWindow() {
    HidePanningWindow();
}

std::uint32_t TTreeMotionWindow::Now() {
    return Clock ? Clock() : static_cast<std::uint32_t>(timeGetTime());
}

TMotionPoint TTreeMotionWindow::CursorPos() {
    if (Pointer)
        return Pointer();
    POINT point{};
    GetCursorPos(&point);
    if (control_.HandleAllocated())
        ScreenToClient(control_.Handle(), &point);
    return {point.x, point.y};
}

bool TTreeMotionWindow::TreeUnderPoint(TMotionPoint point) {
    if (!control_.HandleAllocated())
        return false;
    POINT screen{point.X, point.Y};
    ClientToScreen(control_.Handle(), &screen);
    return WindowFromPoint(screen) == control_.Handle();
}

unsigned TTreeMotionWindow::WheelScrollLines() {
    UINT lines = 3;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        return 3;
    return lines;
}

TMotionPoint TTreeMotionWindow::DragThreshold() {
    return {GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG)};
}

void TTreeMotionWindow::ShowPanningWindow(TMotionPoint centre, TPanningCursor image) {
    HidePanningWindow();
    if (!control_.HandleAllocated())
        return;
    HBITMAP bitmap = LoadInternalBitmap(PanningResourceName(image), false);
    HRGN region = nullptr;
    try {
        region = PanningRegion(bitmap);
    } catch (...) {
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        throw;
    }
    RegisterPanningClass();
    POINT screen{centre.X, centre.Y};
    ClientToScreen(control_.Handle(), &screen);
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, PanningClassName, nullptr, WS_POPUP,
                                  screen.x - PanningSize / 2, screen.y - PanningSize / 2, PanningSize,
                                  PanningSize, control_.Handle(), nullptr, ProgramInstance(), nullptr);
    if (window == nullptr) {
        DeleteObject(region);
        DeleteObject(bitmap);
        throw std::runtime_error("Cannot create the wheel panning window");
    }
    panningWindow_ = window;
    panningImage_ = bitmap;
    SetWindowRgn(window, region, FALSE); // the window owns the region from here
    SetPropW(window, PanningOwnerProperty, this);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PanningWindowProc));
    ShowWindow(window, SW_SHOWNOACTIVATE);
}

void TTreeMotionWindow::HidePanningWindow() {
    if (panningWindow_ != nullptr) {
        HWND window = panningWindow_;
        panningWindow_ = nullptr;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
        RemovePropW(window, PanningOwnerProperty);
        DestroyWindow(window);
    }
    if (panningImage_ != nullptr) {
        DeleteObject(panningImage_);
        panningImage_ = nullptr;
    }
}

void TTreeMotionWindow::SetPanningCursor(TPanningCursor cursor) {
    // Cursors loaded from resources are shared by the system: they are never destroyed.
    HCURSOR handle = LoadCursorW(ProgramInstance(), PanningResourceName(cursor));
    if (handle == nullptr)
        return;
    shownCursor_ = cursor;
    shownCursorHandle_ = handle;
    SetCursor(handle);
}

void TTreeMotionWindow::RestoreCursor() {
    shownCursor_.reset();
    shownCursorHandle_ = nullptr;
    SetCursor(CursorHandle(control_.Cursor()));
}

void TTreeMotionWindow::CaptureMouse() {
    if (!control_.HandleAllocated())
        return;
    SetFocus(control_.Handle());
    SetCapture(control_.Handle());
}

void TTreeMotionWindow::ReleaseMouse() {
    if (control_.HandleAllocated() && GetCapture() == control_.Handle())
        ReleaseCapture();
}

void TTreeMotionWindow::UpdateWindow() {
    if (control_.HandleAllocated())
        ::UpdateWindow(control_.Handle());
}

LRESULT CALLBACK TTreeMotionWindow::PanningWindowProc(HWND window, UINT message, WPARAM wParam,
                                                      LPARAM lParam) {
    auto* owner = static_cast<TTreeMotionWindow*>(GetPropW(window, PanningOwnerProperty));
    if (owner == nullptr || message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    GuardCallback([&] { owner->PaintPanningWindow(); });
    return 0;
}

void TTreeMotionWindow::PaintPanningWindow() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(panningWindow_, &paint);
    if (dc == nullptr)
        return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ original = SelectObject(source, panningImage_);
    BitBlt(dc, 0, 0, PanningSize, PanningSize, source, 0, 0, SRCCOPY);
    SelectObject(source, original);
    DeleteDC(source);
    EndPaint(panningWindow_, &paint);
}

std::optional<LRESULT> AnswerPanningMessage(TBaseVirtualTree& tree, UINT message, WPARAM, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        if (tree.HandlePanningButtonDown(true, x, y))
            return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        if (tree.HandlePanningButtonDown(false, x, y))
            return 0;
        break;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
        if (tree.HandlePanningButtonDown(false, x, y))
            return TRUE;
        break;
    case WM_MBUTTONUP:
        if (tree.HandlePanningButtonUp(true))
            return 0;
        break;
    case WM_MOUSEMOVE:
        if (tree.WheelPanningActive() && tree.HandleAutoScrollMove(x, y))
            return 0;
        break;
    case WM_KILLFOCUS:
    case WM_CANCELMODE:
    case WM_DESTROY:
        tree.StopWheelPanning();
        tree.StopAutoScroll();
        break;
    default:
        break;
    }
    return std::nullopt;
}

} // namespace tarvola
