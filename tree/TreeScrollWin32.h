// The tree window's side of scrolling: the system scroll bars and the client area behind ITreeScrollPort,
// and the window messages that scroll or change the client geometry (scroll-bar requests, sizing, the
// non-client area that holds the header, enabling, theme changes), plus the clipboard commands.
#pragma once

#include "tree/TreeScroll.h"

#include <windows.h>

#include <functional>
#include <optional>

namespace tarvola {

class TBaseVirtualTree;

// A private message the tree answers with 1 (CM_BASE + 2000).
constexpr UINT CM_TREEQUERY = 0xB000 + 2000;

class TTreeScrollWindow : public ITreeScrollPort {
public:
    // window: gives the tree's window, or null while it has none (the handle changes when the window is
    // re-created).
    TTreeScrollWindow(std::function<HWND()> window, TBaseVirtualTree& tree);

    // Handles one of this concern's messages; defaultHandling runs the control's usual handling where a
    // message needs it first. nullopt: not a message of this concern.
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                         const std::function<LRESULT()>& defaultHandling);

    void ShowScrollBar(TScrollBarKind bar, bool show) override;
    void SetScrollInfo(TScrollBarKind bar, const TScrollBarInfo& info, bool disableNoScroll,
                       bool redraw) override;
    int ScrollPosition(TScrollBarKind bar) const override;
    int TrackPosition(TScrollBarKind bar) const override;
    void ScrollClientArea(int dx, int dy, const TTreeRect* clip) override;
    void MoveChildWindows(int dx, int dy) override;
    void ShowDragImage(bool show) override;
    bool CursorInClient(int& x, int& y) const override;
    int HorizontalScrollBarHeight() const override;
    void RedrawWithFrame() override;

private:
    bool HasWindow() const;
    HWND Window() const;
    // The frame is recomputed (the header's height or visibility changed).
    void RecalculateFrame();
    LRESULT HandleResize(const std::function<LRESULT()>& defaultHandling);
    LRESULT HandleNonClientSize(LPARAM lParam, const std::function<LRESULT()>& defaultHandling);
    LRESULT HandleThemeChange(const std::function<LRESULT()>& defaultHandling);

    std::function<HWND()> window_;
    TBaseVirtualTree& tree_;
};

} // namespace tarvola
