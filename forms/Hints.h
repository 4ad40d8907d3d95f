// The hint machinery of the form layer: when the mouse rests on a control, the control is asked whether and
// what to show (CM_HINTSHOWPAUSE for the pause, then CM_HINTSHOW with a hint-info record it may change), and
// a hint window (the layer's own, or one the control names through a factory) measures and shows the text.
// The hint goes when the cursor leaves the cursor rectangle, when the mouse leaves the control, when a
// message that closes hints passes (a key, a click), when its hide time is up, or on CancelHint.
//
// A control takes part by owning a THintController and handing it the messages its window receives; the
// application's loop hands the active controller every message it dispatches.
#pragma once

#include "forms/Graphics.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace tarvola {

// Sent to the control before the mouse-rest timer starts: wParam is nonzero while a hint is shown, lParam
// points to the pause in milliseconds, which the control may change (0: show at once).
constexpr UINT CM_HINTSHOWPAUSE = WM_APP + 0x130;
// Sent to the control when the mouse has rested: lParam points to a THintInfo. The answer 0 shows the hint.
constexpr UINT CM_HINTSHOW = WM_APP + 0x131;

class THintWindow;

// A hint window class as a control names it: an identity, so that a window of the same class is reused, and
// the factory that makes one.
struct THintWindowClass {
    const void* Id = nullptr;
    std::function<std::unique_ptr<THintWindow>()> Make;
    bool Empty() const { return Id == nullptr || !Make; }
};

// What a hint request carries; the control may change every field.
struct THintInfo {
    HWND HintControl = nullptr;
    THintWindowClass HintWindowClass; // empty: the layer's own hint window
    TPoint HintPos;                   // screen coordinates of the window's top left corner
    int HintMaxWidth = 0;
    TRect CursorRect; // client coordinates: the hint stays while the cursor stays inside
    TPoint CursorPos; // client coordinates
    int ReshowTimeout = 0;
    int HideTimeout = 0; // milliseconds; 0: the hint stays until something closes it
    std::wstring HintStr;
    void* HintData = nullptr;
};

// The part of a hint before the first '|' (the short hint).
std::wstring GetShortHint(const std::wstring& hint);
// The font hints are drawn in (the system's status font); the layer keeps it.
HFONT HintFont();

// A pop-up window that shows one hint at a time. Descendants change how it measures, shows and paints.
class THintWindow {
public:
    THintWindow();
    virtual ~THintWindow();
    THintWindow(const THintWindow&) = delete;
    THintWindow& operator=(const THintWindow&) = delete;

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Makes the window (hidden) when it has none yet.
    void HandleNeeded();
    bool Visible() const;
    // Hides the window.
    void ReleaseHint();
    // The window's rectangle in screen coordinates.
    TRect BoundsRect() const;
    const std::wstring& Caption() const { return caption_; }

    // The window's rectangle for the hint, relative to the hint position.
    virtual TRect CalcHintRect(int maxWidth, const std::wstring& hint, void* data);
    // Shows the window at rect (screen coordinates).
    virtual void ActivateHint(TRect rect, const std::wstring& hint);
    // Whether a message that passes while the hint shows closes it.
    virtual bool IsHintMsg(const MSG& message);

protected:
    struct TParams {
        DWORD Style = 0;
        DWORD ExStyle = 0;
    };
    virtual void CreateParams(TParams& params);
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints the whole window into dc.
    virtual void Paint(HDC dc);
    void SetCaption(const std::wstring& caption) { caption_ = caption; }
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void DestroyHandle();

    HWND handle_ = nullptr;
    std::wstring caption_;
};

// The hint machinery for one control's window: the mouse-rest timer, the request, the window and its hiding.
class THintController {
public:
    // defaultHint: the control's hint text; its short part goes into THintInfo::HintStr before the request.
    THintController(HWND control, std::function<std::wstring()> defaultHint);
    ~THintController();
    THintController(const THintController&) = delete;
    THintController& operator=(const THintController&) = delete;

    // Milliseconds the mouse rests before the first hint, before a hint once one has shown, and before a
    // shown hint hides by itself.
    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;

    // Every message the control's window receives (mouse moves and leaving arm and cancel; closing messages
    // hide).
    void MessagePassing(UINT message, WPARAM wParam, LPARAM lParam);
    // A message of the application's loop (whichever window it is for).
    void LoopMessage(const MSG& message);
    // Hides the hint and forgets the resting mouse.
    void CancelHint();
    // The mouse rested at the last position seen: asks the control and shows the hint (the timer's work;
    // tests may call it).
    void ActivateHintNow();
    // The mouse rests at a client point now: the request and the hint follow at once.
    void ActivateHintAt(TPoint client);

    bool HintShowing() const;
    HWND Control() const { return control_; }
    THintWindow* HintWindow() const { return window_.get(); }
    // The controller whose hint shows now, or nullptr.
    static THintController* Active();

private:
    enum class TTimerPurpose { None, Show, Hide };
    void MouseMoved(TPoint client);
    void ArmShowTimer();
    void StartTimer(TTimerPurpose purpose, int milliseconds);
    void StopTimer();
    void TimerFired();
    THintWindow& WindowFor(const THintWindowClass& windowClass);
    void ShowRequested(THintInfo& info);
    static void CALLBACK TimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);

    HWND control_;
    std::function<std::wstring()> defaultHint_;
    std::unique_ptr<THintWindow> window_;
    const void* windowClassId_ = nullptr;
    TTimerPurpose timer_ = TTimerPurpose::None;
    TPoint lastPos_;
    bool mouseKnown_ = false;
    TRect cursorRect_;
    bool showing_ = false;
    // Shared with the frames of a running activation, which outlive this controller when its control goes.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The application's loop hands each message here; the active controller sees it.
void HintLoopMessage(const MSG& message);

} // namespace tarvola
