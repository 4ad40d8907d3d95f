// The window side of the tree's auto-scroll and wheel panning: the pointer, the clock and the system's
// settings, the panning window (a 32 x 32 popup shaped by its direction image) and the panning cursors. The
// tree control owns one and hands it to its tree; tests may replace the clock and the pointer.
#pragma once

#include "tree/AutoScroll.h"

#include <windows.h>

#include <functional>
#include <optional>

namespace tarvola {

class TBaseVirtualTree;
class TWinControl;

class TTreeMotionWindow : public ITreeMotionPort {
public:
    explicit TTreeMotionWindow(TWinControl& control);
    ~TTreeMotionWindow() override;
    TTreeMotionWindow(const TTreeMotionWindow&) = delete;
    TTreeMotionWindow& operator=(const TTreeMotionWindow&) = delete;

    // Replacements for tests: the clock (null: the multimedia clock) and the pointer in client coordinates
    // (null: the real pointer).
    std::function<std::uint32_t()> Clock;
    std::function<TMotionPoint()> Pointer;
    HWND PanningWindow() const { return panningWindow_; }
    // The panning cursor set last, until the control's own cursor is back.
    std::optional<TPanningCursor> ShownCursor() const { return shownCursor_; }
    HCURSOR ShownCursorHandle() const { return shownCursorHandle_; }

    std::uint32_t Now() override;
    TMotionPoint CursorPos() override;
    bool TreeUnderPoint(TMotionPoint point) override;
    unsigned WheelScrollLines() override;
    TMotionPoint DragThreshold() override;
    void ShowPanningWindow(TMotionPoint centre, TPanningCursor image) override;
    void HidePanningWindow() override;
    void SetPanningCursor(TPanningCursor cursor) override;
    void RestoreCursor() override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    void UpdateWindow() override;

private:
    static LRESULT CALLBACK PanningWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PaintPanningWindow();

    TWinControl& control_;
    HWND panningWindow_ = nullptr;
    HBITMAP panningImage_ = nullptr;
    std::optional<TPanningCursor> shownCursor_;
    HCURSOR shownCursorHandle_ = nullptr;
};

// The shape of a panning image: the union of its pixels that are not $FF00FF. An empty or missing image is
// an assertion failure ("Invalid wheel panning image.").
HRGN PanningRegion(HBITMAP image);

// The presses, releases and moves that start, steer or end wheel panning, taken before the mouse handling
// sees them; focus loss, cancel mode and the window's end stop panning and auto-scroll and go on. nullopt:
// the message goes on.
std::optional<LRESULT> AnswerPanningMessage(TBaseVirtualTree& tree, UINT message, WPARAM wParam,
                                            LPARAM lParam);

} // namespace tarvola
