// Typed keys and steps queued behind them, for driving a window whose own message loop holds the thread (a
// drop-down's, a menu's): each step runs when the loop that is running reaches it, after the input posted
// before it. Header-only, so that the Windows benchmarks can use it as well as the tests.
#pragma once

#include "forms/UtilityWindow.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace tarvola::test {

class TQueuedSteps {
public:
    TQueuedSteps()
        : window_([this](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
              if (message != WM_APP)
                  return std::nullopt;
              auto step = std::move(steps_.front());
              steps_.pop_front();
              step();
              return 0;
          }) {}
    void Post(std::function<void()> step) {
        steps_.push_back(std::move(step));
        PostMessageW(window_.Handle(), WM_APP, 0, 0);
    }
    bool Done() const { return steps_.empty(); }

private:
    std::deque<std::function<void()>> steps_;
    TUtilityWindow window_;
};

// Posts the keys of text to a window as typing them would: key down, character, key up.
inline void PostTyped(HWND window, const std::string& text) {
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        PostMessageW(window, WM_KEYDOWN, static_cast<WPARAM>(LOBYTE(scan)), 1);
        PostMessageW(window, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
        PostMessageW(window, WM_KEYUP, static_cast<WPARAM>(LOBYTE(scan)), 0xC0000001);
    }
}

} // namespace tarvola::test
