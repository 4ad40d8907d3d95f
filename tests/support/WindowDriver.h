// Driving windows that a test cannot reach by reference: modal dialogs and message boxes that run their own
// loop. An action is scheduled before the modal call and runs from a thread timer once its window shows.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace tarvola::test {

// A visible top-level window of this thread with that caption, or nullptr.
HWND FindThreadWindow(std::string_view caption);
// A child window (at any depth) whose text is that text, or nullptr.
HWND FindChildWithText(HWND parent, std::string_view text);
// A child window (at any depth) of that window class, or nullptr.
HWND FindChildOfClass(HWND parent, std::string_view className);
std::string WindowText(HWND window);

// Runs the action once a visible top-level window with that caption shows in this thread (checked every
// 20 ms by a thread timer while any loop dispatches messages). Pending actions are dropped after the
// deadline.
void WhenWindowShows(std::string caption, std::function<void(HWND)> action,
                     std::chrono::milliseconds deadline = std::chrono::seconds(10));
// True while scheduled actions have not run yet.
bool ActionsPending();
// Drops the scheduled actions that have not run.
void CancelPendingActions();

// Clicks a button like the user: BM_CLICK.
void ClickButton(HWND button);

// Holds keys down in this thread's keyboard state (for short cuts posted as messages).
class TKeysDown {
public:
    explicit TKeysDown(std::initializer_list<BYTE> keys);
    ~TKeysDown();
    TKeysDown(const TKeysDown&) = delete;
    TKeysDown& operator=(const TKeysDown&) = delete;

private:
    BYTE saved_[256];
};

// Posts a key press (down and up) to a window.
void PostKey(HWND window, WORD key);

} // namespace tarvola::test
