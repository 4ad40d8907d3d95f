// The native owner-data list view that shows the extended explorer list outside report style. It stores
// no items: each caption, icon and colour is asked of the core when the list draws it, and every
// selection, focus, key, click and edit goes to the core. Its notifications are the wide ones (the window
// is switched to the wide format as it is made). Drags start from the list's own begin-drag
// notifications, clicks from NM_CLICK and NM_DBLCLK, which every list view sends. Windows only.
#pragma once

#include "explorer/VirtualExplorerListviewExPorts.h"
#include "forms/Controls.h"

#include <commctrl.h>

#include <functional>

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

private:
    void SetItemState(int index, UINT state, UINT mask);
    void GetDisplayInfo(NMLVDISPINFOW& info);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
    // In the thumbnail style: the item's thumbnail over its icon, when its source has one.
    void DrawThumbnail(const NMLVCUSTOMDRAW& draw);
    // The thumbnail style of a painter: its image size and spacing, and its items painted by it.
    void ApplyThumbnailLayout();
    void PaintThumbnailItem(const NMLVCUSTOMDRAW& draw);
    void DoubleClick();

    IExplorerListviewCore& core_;
    TViewStyleEx style_ = TViewStyleEx::vsxList;
    IListThumbnailSource* thumbnails_ = nullptr;
    IListThumbnailPainter* thumbnailPainter_ = nullptr;
};

} // namespace tarvola
