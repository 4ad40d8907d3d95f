// The native owner-data list view that shows the extended explorer list outside report style. It stores
// no items: each caption, icon and colour is asked of the core when the list draws it, and every
// selection, focus, key, click and edit goes to the core. Its notifications are the wide ones (the window
// is switched to the wide format as it is made). Drags start from the list's own begin-drag
// notifications, clicks from NM_CLICK and NM_DBLCLK, which every list view sends. Windows only.
//
// Files: ShadowListView.cpp (the window, the port, the notifications), ShadowListViewDrop.cpp (OLE drag
// and drop), ShadowListViewPaint.cpp (the after stage of item painting), ShadowListViewHint.cpp (detailed
// hints).
#pragma once

#include "explorer/ShadowListViewDrop.h"
#include "explorer/ShadowListViewGrid.h"
#include "explorer/ShadowListViewHint.h"
#include "explorer/VirtualExplorerListviewExPorts.h"
#include "forms/Controls.h"

#include <commctrl.h>

#include <functional>
#include <memory>

namespace tarvola {

class IListThumbnailPainter;

class TShadowListView : public TWinControl, public IShadowListPort {
public:
    TShadowListView(TComponent* owner, IExplorerListviewCore& core);
    ~TShadowListView() override;

    // The owner control's click events.
    std::function<void()> OnListClick;
    std::function<void()> OnListDblClick;
    // Where the thumbnail style's pictures come from (nullptr: icons only). A source that is also a
    // thumbnail painter lays the style out and paints its items.
    void SetThumbnailSource(IListThumbnailSource* source);

    // The drag loop a drag out of the list runs (nullptr: the platform's); tests script it.
    TListDragLoop DragLoop = nullptr;
    // The list's OLE drop target while its window lives (nullptr otherwise).
    IDropTarget* ListDropTarget() const { return dropTarget_; }

    // Detailed hints: resting on an item shows its large icon, name, size and date (outside report style)
    // in place of the native tooltips.
    void SetDetailedHints(bool value);
    bool DetailedHints() const { return detailedHints_; }
    // The detailed hints' controller (nullptr while they are off or before the mouse moved).
    THintController* HintController() const { return hints_.get(); }

    // The version of the common controls library this process loaded (major, minor).
    static std::pair<int, int> CommonControlsVersion();

    // --- IShadowListPort
    bool ShadowHasWindow() const override { return HandleAllocated(); }
    void ShadowSetItemCount(int count) override;
    void ShadowClearSelection() override;
    void ShadowSelectItem(int index, bool selected) override;
    void ShadowSelectAll() override;
    std::vector<int> ShadowSelectedItems() override;
    int ShadowFocusedItem() override;
    void ShadowFocusItem(int index) override;
    void ShadowInvalidateItem(int index) override;
    void ShadowRepaint() override;
    void ShadowApplyStyle(TViewStyleEx style) override;
    void ShadowUpdateColumnWidth() override;
    bool ShadowEditItem(int index) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool NotifyNotify(NMHDR& header, LRESULT& result) override;
    bool HasOwnHints() const override { return detailedHints_; }

private:
    void SetItemState(int index, UINT state, UINT mask);
    DWORD SelectionStyle();
    void GetDisplayInfo(NMLVDISPINFOW& info);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
    // In the thumbnail style: the item's thumbnail over its icon, when its source has one.
    void DrawThumbnail(const NMLVCUSTOMDRAW& draw);
    // The thumbnail style of a painter: its image size and spacing, and its items painted by it.
    void ApplyThumbnailLayout();
    void PaintThumbnailItem(const NMLVCUSTOMDRAW& draw);
    void DoubleClick();
    // The item next to start in the direction (-1: none), for the icon styles.
    int GridNeighbour(int start, POINT from, TGridDirection direction);
    // Icon styles with a multiple selection: Shift with a click or an arrow key selects a rectangle.
    bool SelectsRectangles() const;
    // Shift+click and Shift+arrow; false leaves the message to the native list.
    bool ShiftClick(POINT at);
    bool ShiftArrow(UINT key);
    // Selects the items in the rectangle spanned by the two items' positions and focuses the target.
    void SelectRectangle(int anchor, int target);
    int ItemAt(POINT at);
    POINT ItemPosition(int index);
    int SelectionAnchor();
    // The drop target comes and goes with the window.
    void RegisterListDropTarget();
    void RevokeListDropTarget();
    // After the native list drew an item: its dimmed or overlaid icon again.
    void AfterItemPaint(const NMLVCUSTOMDRAW& draw);
    // The native tooltips are the list's while detailed hints are off.
    void ApplyTooltips();
    // CM_HINTSHOW with detailed hints: 0 shows the item's hint.
    LRESULT AnswerDetailedHint(THintInfo& info);

    IExplorerListviewCore& core_;
    TViewStyleEx style_ = TViewStyleEx::vsxList;
    IListThumbnailSource* thumbnails_ = nullptr;
    IListThumbnailPainter* thumbnailPainter_ = nullptr;
    TShadowListDropTarget* dropTarget_ = nullptr;
    // The item clicked last, or the one the last rectangle spanned from (-1: none).
    int anchor_ = -1;
    bool detailedHints_ = false;
    std::unique_ptr<THintController> hints_;
    TListHintPicture hintPicture_;
    // The native tooltip window while it is detached (detailed hints on).
    HWND detachedTooltips_ = nullptr;
};

} // namespace tarvola
