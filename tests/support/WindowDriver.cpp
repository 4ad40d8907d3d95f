#include "tests/support/WindowDriver.h"

#include "forms/Application.h"

#include <algorithm>
#include <vector>

namespace tarvola::test {

namespace {

struct TPendingAction {
    std::string caption;
    std::function<void(HWND)> action;
    std::chrono::steady_clock::time_point deadline;
};

std::vector<TPendingAction>& PendingActions() {
    static std::vector<TPendingAction> actions;
    return actions;
}

UINT_PTR& TimerId() {
    static UINT_PTR id = 0;
    return id;
}

void StopTimerWhenIdle() {
    if (PendingActions().empty() && TimerId() != 0) {
        KillTimer(nullptr, TimerId());
        TimerId() = 0;
    }
}

void CALLBACK CheckPendingActions(HWND, UINT, UINT_PTR, DWORD) {
    GuardCallback([] {
        auto& actions = PendingActions();
        const auto now = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < actions.size();) {
            HWND window = FindThreadWindow(actions[i].caption);
            if (window != nullptr) {
                auto action = std::move(actions[i].action);
                actions.erase(actions.begin() + static_cast<std::ptrdiff_t>(i));
                action(window);
            } else if (now > actions[i].deadline) {
                actions.erase(actions.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
        StopTimerWhenIdle();
    });
}

struct TSearch {
    std::string_view wanted;
    bool byClass;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TSearch*>(data);
    char text[256] = {};
    if (search->byClass) {
        GetClassNameA(window, text, sizeof(text));
    } else {
        GetWindowTextA(window, text, sizeof(text));
    }
    if (search->wanted == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    return MatchChild(window, data);
}

} // namespace

HWND FindThreadWindow(std::string_view caption) {
    TSearch search{caption, false, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindChildWithText(HWND parent, std::string_view text) {
    TSearch search{text, false, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindChildOfClass(HWND parent, std::string_view className) {
    TSearch search{className, true, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

void WhenWindowShows(std::string caption, std::function<void(HWND)> action,
                     std::chrono::milliseconds deadline) {
    PendingActions().push_back(
        TPendingAction{std::move(caption), std::move(action), std::chrono::steady_clock::now() + deadline});
    if (TimerId() == 0) {
        TimerId() = SetTimer(nullptr, 0, 20, CheckPendingActions);
    }
}

bool ActionsPending() {
    return !PendingActions().empty();
}

void CancelPendingActions() {
    PendingActions().clear();
    StopTimerWhenIdle();
}

void ClickButton(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
}

TKeysDown::TKeysDown(std::initializer_list<BYTE> keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    std::copy(std::begin(saved_), std::end(saved_), std::begin(state));
    for (BYTE key : keys) {
        state[key] = 0x80;
    }
    SetKeyboardState(state);
}

TKeysDown::~TKeysDown() {
    SetKeyboardState(saved_);
}

void PostKey(HWND window, WORD key) {
    const bool alt = GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0;
    PostMessageA(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1);
    PostMessageA(window, alt ? WM_SYSKEYUP : WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

} // namespace tarvola::test
