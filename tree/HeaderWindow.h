// The header's Win32 side: decoding a tree window's non-client and captured mouse messages for the header
// controller, the controller's port over that window, reserving the header in the window's frame, repainting
// parts of the header, the header-split cursor, and the resize animation.
#pragma once

#include "tree/HeaderController.h"

#include <windows.h>

namespace tarvola {

class THeaderWindowAdapter : public IHeaderPort {
public:
    THeaderWindowAdapter(HWND window, TVTHeader& header);

    // Offers one message of the window to the header: true when the header took it, with the answer in
    // result; otherwise the window handles the message as usual.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void SetCapture() override;
    void ReleaseCapture() override;
    void SetCursor(THeaderCursor cursor) override;
    void StartTimer(unsigned id, unsigned milliseconds) override;
    void StopTimer(unsigned id) override;
    bool ScreenPointInWindow(TVTPoint screen) const override;
    bool MouseInHeader() const override;
    TVTPoint DragThreshold() const override;

private:
    bool Decode(UINT message, WPARAM wParam, LPARAM lParam, THeaderInput& input) const;
    void FromScreen(LPARAM lParam, THeaderInput& input) const;
    void FromClient(LPARAM lParam, THeaderInput& input) const;

    HWND window_;
    TVTHeader& header_;
    THeaderController controller_;
};

// WM_NCCALCSIZE: moves the proposed client area's top below the visible header.
void ReserveHeaderInFrame(const TVTHeader& header, RECT& proposedClient);
// Repaints the header between two client x-coordinates (the non-client area, without erasing).
void InvalidateHeaderArea(HWND window, const TVTHeader& header, int left, int right);
// The cursor over a column border: the program's "VT_HEADERSPLIT", or the system's west-east arrows
// while the program carries no such resource.
HCURSOR HeaderSplitCursor();
// Slides the content right of a column's right edge (client x) by delta pixels in 32 steps, header and
// client area alike; the width change itself repaints properly afterwards.
void AnimateColumnResize(HWND window, int headerHeight, int columnRight, int delta, COLORREF treeColor);

} // namespace tarvola
