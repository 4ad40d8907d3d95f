#include "tree/ThemeServices.h"

#include "forms/Application.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <memory>

namespace tarvola {
namespace {

constexpr UINT_PTR SubclassId = 0x54485356; // "THSV"
constexpr DWORD PackedVersion6 = 0x60000;

template <typename F>
void Bind(HMODULE library, const char* name, F& function) {
    function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

DWORD LoadedCommonControlsVersion() {
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    if (comctl == nullptr)
        return 0;
    using TGetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    TGetVersion getVersion = nullptr;
    Bind(comctl, "DllGetVersion", getVersion);
    if (getVersion == nullptr)
        return 0;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(getVersion(&info)))
        return 0;
    return (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
}

std::unique_ptr<TThemeServices>& Instance() {
    static std::unique_ptr<TThemeServices> instance;
    return instance;
}

} // namespace

TThemeServices::TThemeServices(HWND window, const TUxThemeFunctions* functions, DWORD commonControlsVersion)
    : commonControlsVersion_(commonControlsVersion) {
    if (functions != nullptr) {
        functions_ = *functions;
        available_ = true;
    } else {
        library_ = LoadLibraryW(L"uxtheme.dll");
        available_ = library_ != nullptr;
        if (available_) {
            Bind(library_, "OpenThemeData", functions_.OpenThemeData);
            Bind(library_, "CloseThemeData", functions_.CloseThemeData);
            Bind(library_, "DrawThemeBackground", functions_.DrawThemeBackground);
            Bind(library_, "GetThemeAppProperties", functions_.GetThemeAppProperties);
        }
    }
    // Chained subclassing keeps windows subclassed after us working.
    if (window != nullptr &&
        SetWindowSubclass(window, SubclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(this)))
        window_ = window;
    UpdateThemes();
}

TThemeServices::~TThemeServices() {
    Unsubclass();
    UnloadThemeData();
    if (library_ != nullptr)
        FreeLibrary(library_);
}

void TThemeServices::Unsubclass() {
    if (window_ != nullptr)
        RemoveWindowSubclass(window_, SubclassProc, SubclassId);
    window_ = nullptr;
}

void TThemeServices::UnloadThemeData() {
    // Closed whether or not the watched window still exists: the handles belong to the process.
    for (HTHEME& theme : themes_) {
        if (theme != nullptr && functions_.CloseThemeData != nullptr)
            functions_.CloseThemeData(theme);
        theme = nullptr;
    }
}

void TThemeServices::UpdateThemes() {
    if (useThemes_)
        UnloadThemeData();
    const DWORD version =
        commonControlsVersion_ != 0 ? commonControlsVersion_ : LoadedCommonControlsVersion();
    useThemes_ = available_ && version >= PackedVersion6;
    controlsEnabled_ = useThemes_ && functions_.GetThemeAppProperties != nullptr &&
                       (functions_.GetThemeAppProperties() & STAP_ALLOW_CONTROLS) != 0;
}

HTHEME TThemeServices::Theme(TThemedElement element) {
    HTHEME& theme = themes_.at(static_cast<std::size_t>(element));
    if (useThemes_ && theme == nullptr && functions_.OpenThemeData != nullptr)
        theme = functions_.OpenThemeData(window_, ThemedElementClassName(element));
    return theme;
}

void TThemeServices::DrawElement(HDC dc, const TThemedElementDetails& details, const RECT& r,
                                 const RECT* clip) {
    if (functions_.DrawThemeBackground == nullptr)
        return;
    HTHEME theme = Theme(details.Element);
    if (theme == nullptr)
        return;
    functions_.DrawThemeBackground(theme, dc, details.Part, details.State, &r, clip);
}

void TThemeServices::PaintBorder(HWND control, bool eraseLRCorner) {
    if ((GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0)
        return;
    RECT bounds{};
    GetWindowRect(control, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    HDC dc = GetWindowDC(control);
    RECT inner = bounds;
    InflateRect(&inner, -2, -2);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (eraseLRCorner && (style & WS_HSCROLL) != 0 && (style & WS_VSCROLL) != 0) {
        const RECT corner{inner.right - GetSystemMetrics(SM_CXVSCROLL),
                          inner.bottom - GetSystemMetrics(SM_CYHSCROLL), inner.right, inner.bottom};
        FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    DrawElement(dc, GetElementDetails(TThemedElement::teEdit, ttEditTextNormal), bounds);
    ReleaseDC(control, dc);
}

LRESULT CALLBACK TThemeServices::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR self) {
    auto* services = reinterpret_cast<TThemeServices*>(self);
    GuardCallback([&] {
        if (message == WM_THEMECHANGED) {
            services->UpdateThemes();
            if (services->OnThemeChange)
                services->OnThemeChange();
        } else if (message == WM_NCDESTROY) {
            services->Unsubclass();
        }
    });
    return DefSubclassProc(window, message, wParam, lParam);
}

TThemeServices& ThemeServices(HWND mainWindow) {
    if (!Instance())
        Instance() = std::make_unique<TThemeServices>(mainWindow);
    return *Instance();
}

void FreeThemeServices() {
    Instance().reset();
}

} // namespace tarvola
