// A process-wide wrapper over the visual-styles library (uxtheme), bound at run time: whether themed
// drawing is possible and wanted, one lazily opened theme handle per element, themed element drawing and
// the themed client edge. It watches one window (the program's main window) for theme changes.
#pragma once

#include "tree/ThemeServicesDetails.h"

#include <windows.h>

#include <uxtheme.h>

#include <array>
#include <functional>

namespace tarvola {

// The library functions the service calls; a missing one is null. Tests pass a table of their own.
struct TUxThemeFunctions {
    HTHEME(WINAPI* OpenThemeData)(HWND, LPCWSTR) = nullptr;
    HRESULT(WINAPI* CloseThemeData)(HTHEME) = nullptr;
    HRESULT(WINAPI* DrawThemeBackground)(HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;
    DWORD(WINAPI* GetThemeAppProperties)() = nullptr;
};

class TThemeServices {
public:
    // Window: the window watched for WM_THEMECHANGED (may be null). Functions: null loads uxtheme.dll.
    // CommonControlsVersion: the packed version (major << 16 | minor); 0 asks the loaded comctl32.
    explicit TThemeServices(HWND window, const TUxThemeFunctions* functions = nullptr,
                            DWORD commonControlsVersion = 0);
    ~TThemeServices();
    TThemeServices(const TThemeServices&) = delete;
    TThemeServices& operator=(const TThemeServices&) = delete;

    bool ThemesAvailable() const { return available_; }
    bool UseThemes() const { return useThemes_; }
    bool ControlsEnabled() const { return controlsEnabled_; }
    bool ThemesEnabled() const { return available_ && useThemes_ && controlsEnabled_; }

    // The element's theme handle, opened on first use while themes are used; may be null.
    HTHEME Theme(TThemedElement element);
    // Draws the element's background; nothing when the library or its function is missing.
    void DrawElement(HDC dc, const TThemedElementDetails& details, const RECT& r, const RECT* clip = nullptr);
    // The themed client edge of a control with WS_EX_CLIENTEDGE; EraseLRCorner fills the square between
    // both scroll bars with the button face.
    void PaintBorder(HWND control, bool eraseLRCorner);
    // Closes the handles and takes in the current theme settings.
    void UpdateThemes();

    // Fired after a theme change (WM_THEMECHANGED of the watched window) was taken in.
    std::function<void()> OnThemeChange;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    void Unsubclass();
    void UnloadThemeData();

    HWND window_ = nullptr;
    HMODULE library_ = nullptr;
    TUxThemeFunctions functions_;
    DWORD commonControlsVersion_ = 0;
    bool available_ = false;
    bool useThemes_ = false;
    bool controlsEnabled_ = false;
    std::array<HTHEME, ThemedElementCount> themes_{};
};

// The process-wide instance: created by the first call, watching the given window (later calls ignore
// theirs); FreeThemeServices ends it.
TThemeServices& ThemeServices(HWND mainWindow = nullptr);
void FreeThemeServices();

} // namespace tarvola
