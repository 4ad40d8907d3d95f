// A hidden message-only window whose messages go to a handler: for timers, messages posted from other threads
// and callbacks that need a window. The handler runs on the thread that made the window; what it throws goes
// to Application().HandleException.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace tarvola {

class TUtilityWindow {
public:
    // The handler answers a message with a result, or nullopt for the default handling.
    using THandler = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;

    explicit TUtilityWindow(THandler handler);
    ~TUtilityWindow();
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;

    HWND Handle() const { return handle_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    THandler handler_;
    HWND handle_ = nullptr;
};

} // namespace tarvola
