#include "explorer/ShadowListViewDrop.h"

#include "explorer/ShadowListViewPaint.h"
#include "explorer/VirtualExplorerTreeActions.h"
#include "explorer/VirtualExplorerTreeShell.h"
#include "tree/DrawingHelpersWin32.h"
#include "tree/TreeDragImage.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace tarvola {

namespace {

// A drag image shows at most the selected items among this many from the first shown.
constexpr int kMostItemsPictured = 2000;

POINT ClientPoint(HWND window, POINTL pt) {
    POINT point{pt.x, pt.y};
    ScreenToClient(window, &point);
    return point;
}

// The drag out of the list: the drop happens when the button that started it is released, Escape cancels.
class TListDropSource final : public TComObject<IDropSource> {
public:
    TListDropSource(DWORD button, TTreeDragImage* image) : button_(button), image_(image) {}

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
        if (escapePressed)
            return DRAGDROP_S_CANCEL;
        if ((keyState & button_) == 0)
            return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override {
        POINT screen{};
        if (image_ != nullptr && GetCursorPos(&screen))
            image_->MoveTo(screen);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

private:
    ~TListDropSource() override = default;
    DWORD button_;
    TTreeDragImage* image_;
};

struct TReleaser {
    IUnknown* object;
    ~TReleaser() {
        if (object != nullptr)
            object->Release();
    }
};

std::uint32_t ToRgb(COLORREF color) {
    return (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

// The shown selected items' rectangles, 2 pixels wider all round, inside the client area.
std::vector<RECT> ShownSelectedRects(HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const auto first = std::max(static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0)), 0);
    const int last = std::min(count, first + kMostItemsPictured);
    std::vector<RECT> rects;
    for (int index = first; index < last; ++index) {
        if ((SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) &
             LVIS_SELECTED) == 0)
            continue;
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        if (SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&bounds)) == 0)
            continue;
        InflateRect(&bounds, 2, 2);
        RECT shown{};
        if (IntersectRect(&shown, &bounds, &client))
            rects.push_back(shown);
    }
    return rects;
}

// A picture of the shown selected items as they are drawn, on the list's colour elsewhere; nullptr when
// none shows.
std::unique_ptr<TTreeDragImage> SelectionPicture(HWND list, IDataObject* data) {
    const std::vector<RECT> rects = ShownSelectedRects(list);
    if (rects.empty())
        return nullptr;
    RECT all = rects.front();
    for (const RECT& rect : rects)
        UnionRect(&all, &all, &rect);
    RECT client{};
    GetClientRect(list, &client);
    const int width = all.right - all.left;
    const int height = all.bottom - all.top;
    HDC windowDC = GetDC(list);
    if (windowDC == nullptr)
        return nullptr;
    HDC snapshot = CreateCompatibleDC(windowDC);
    HBITMAP snapshotBitmap = CreateCompatibleBitmap(windowDC, client.right, client.bottom);
    HDC picture = CreateCompatibleDC(windowDC);
    HBITMAP pictureBitmap = CreateCompatibleBitmap(windowDC, width, height);
    ReleaseDC(list, windowDC);
    const HGDIOBJ oldSnapshot = SelectObject(snapshot, snapshotBitmap);
    const HGDIOBJ oldPicture = SelectObject(picture, pictureBitmap);
    SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(snapshot), PRF_CLIENT | PRF_ERASEBKGND);
    const COLORREF background = ListBackgroundColor(list);
    HBRUSH brush = CreateSolidBrush(background);
    const RECT whole{0, 0, width, height};
    FillRect(picture, &whole, brush);
    DeleteObject(brush);
    for (const RECT& rect : rects)
        BitBlt(picture, rect.left - all.left, rect.top - all.top, rect.right - rect.left,
               rect.bottom - rect.top, snapshot, rect.left, rect.top, SRCCOPY);
    SelectObject(snapshot, oldSnapshot);
    SelectObject(picture, oldPicture);
    std::vector<std::uint32_t> pixels = BitmapPixels(pictureBitmap, width, height);
    DeleteObject(pictureBitmap);
    DeleteObject(snapshotBitmap);
    DeleteDC(picture);
    DeleteDC(snapshot);
    if (pixels.empty())
        return nullptr;
    for (std::uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFF;
    POINT screen{};
    GetCursorPos(&screen);
    const POINT client0 = ClientPoint(list, POINTL{screen.x, screen.y});
    auto image = std::make_unique<TTreeDragImage>();
    image->Prepare(pixels, width, height, ToRgb(background), POINT{client0.x - all.left, client0.y - all.top},
                   screen, data);
    return image;
}

TComPtr<IDataObject> SelectionDataObject(TBaseVirtualTree& tree) {
    const TExplorerItems items = ExplorerSelectedItems(tree);
    auto* first = items.empty() ? nullptr : dynamic_cast<TShellExplorerItem*>(items.front());
    if (first == nullptr)
        return {};
    TNamespaceArray namespaces;
    for (IExplorerItem* item : items)
        if (auto* shellItem = dynamic_cast<TShellExplorerItem*>(item))
            namespaces.push_back(&shellItem->Namespace());
    return first->Namespace().GetDataObjectOf(namespaces);
}

} // namespace

// ---- the drop target

TShadowListDropTarget::TShadowListDropTarget(IExplorerListviewCore& core, HWND list)
    : core_(&core), list_(list) {}

TShadowListDropTarget::~TShadowListDropTarget() {
    if (helper_ != nullptr)
        helper_->Release();
}

void TShadowListDropTarget::Detach() {
    StopTimers();
    core_ = nullptr;
    list_ = nullptr;
}

IDropTargetHelper* TShadowListDropTarget::ImageHelper() {
    if (!helperTried_) {
        helperTried_ = true;
        if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IDropTargetHelper, reinterpret_cast<void**>(&helper_))))
            helper_ = nullptr;
    }
    return helper_;
}

int TShadowListDropTarget::ItemAt(POINTL pt) const {
    LVHITTESTINFO hit{};
    hit.pt = ClientPoint(list_, pt);
    const auto index = static_cast<int>(SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return index >= 0 && (hit.flags & LVHT_ONITEM) != 0 ? index : -1;
}

void TShadowListDropTarget::StopTimers() {
    if (list_ == nullptr)
        return;
    KillTimer(list_, kListScrollDelayTimer);
    KillTimer(list_, kListScrollTimer);
}

void TShadowListDropTarget::TimerFired(UINT_PTR id) {
    if (core_ == nullptr || list_ == nullptr)
        return;
    if (id == kListScrollDelayTimer) {
        KillTimer(list_, kListScrollDelayTimer);
        SetTimer(list_, kListScrollTimer, core_->ListAutoScrollTimes().second, nullptr);
        return;
    }
    POINT point{};
    RECT client{};
    if (!GetCursorPos(&point) || !ScreenToClient(list_, &point) || !GetClientRect(list_, &client))
        return;
    const TListScrollStep step = ListAutoScrollStep(client.right, client.bottom, point.x, point.y);
    if (step.DX != 0 || step.DY != 0) {
        if (IDropTargetHelper* helper = ImageHelper())
            helper->Show(FALSE);
        SendMessageW(list_, LVM_SCROLL, static_cast<WPARAM>(step.DX), step.DY);
        UpdateWindow(list_);
        if (IDropTargetHelper* helper = ImageHelper())
            helper->Show(TRUE);
    }
}

// Exceptions stay on this side of OLE: a failed call refuses the drop.
HRESULT STDMETHODCALLTYPE TShadowListDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL pt,
                                                           DWORD* effect) {
    if (effect == nullptr)
        return E_INVALIDARG;
    try {
        if (core_ == nullptr) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        std::uint32_t answer = *effect;
        const HRESULT hr = core_->ListDragEnter(data, keyState, ItemAt(pt), pt.x, pt.y, answer);
        *effect = answer;
        POINT at{pt.x, pt.y};
        if (IDropTargetHelper* helper = ImageHelper())
            helper->DragEnter(list_, data, &at, *effect);
        SetTimer(list_, kListScrollDelayTimer, core_->ListAutoScrollTimes().first, nullptr);
        return hr;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TShadowListDropTarget::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
    if (effect == nullptr)
        return E_INVALIDARG;
    try {
        if (core_ == nullptr) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        std::uint32_t answer = *effect;
        const HRESULT hr = core_->ListDragOver(keyState, ItemAt(pt), pt.x, pt.y, answer);
        *effect = answer;
        POINT at{pt.x, pt.y};
        if (IDropTargetHelper* helper = ImageHelper())
            helper->DragOver(&at, *effect);
        return hr;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TShadowListDropTarget::DragLeave() {
    try {
        StopTimers();
        if (IDropTargetHelper* helper = ImageHelper())
            helper->DragLeave();
        if (core_ != nullptr)
            core_->ListDragLeave();
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TShadowListDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL pt,
                                                      DWORD* effect) {
    if (effect == nullptr)
        return E_INVALIDARG;
    try {
        StopTimers();
        POINT at{pt.x, pt.y};
        if (IDropTargetHelper* helper = ImageHelper())
            helper->Drop(data, &at, *effect);
        if (core_ == nullptr) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        std::uint32_t answer = *effect;
        const HRESULT hr = core_->ListDrop(data, keyState, ItemAt(pt), pt.x, pt.y, answer);
        *effect = answer;
        return hr;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

// ---- the drag out of the list

std::optional<DWORD> RunShadowListDrag(HWND list, TBaseVirtualTree& tree, bool right, TListDragLoop loop) {
    TComPtr<IDataObject> data = SelectionDataObject(tree);
    if (!data)
        return std::nullopt;
    std::unique_ptr<TTreeDragImage> image;
    try {
        image = SelectionPicture(list, data.Get());
    } catch (...) {
        image.reset(); // the drag goes on without a picture
    }
    auto* source = new TListDropSource(right ? MK_RBUTTON : MK_LBUTTON, image.get());
    const TReleaser releaseSource{source};
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = (loop != nullptr ? loop : ::DoDragDrop)(
        data.Get(), source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    if (image)
        image->Finish();
    return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

} // namespace tarvola
