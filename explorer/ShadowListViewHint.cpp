#include "explorer/ShadowListViewHint.h"

#include "explorer/ShadowListView.h"

#include "shell/VirtualSysImages.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace tarvola {

namespace {

constexpr char kListBitmapHintId = 0;

SIZE LargeIconSize() {
    int width = 32;
    int height = 32;
    ImageList_GetIconSize(LargeSysImages().Handle(), &width, &height);
    return SIZE{width, height};
}

SIZE TextSize(const std::wstring& text) {
    RECT r{0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    if (dc == nullptr)
        return SIZE{0, 0};
    const HGDIOBJ previous = SelectObject(dc, HintFont());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace

std::wstring HintLines(const std::wstring& text) {
    std::wstring lines;
    lines.reserve(text.size() + 4);
    for (std::size_t i = 0; i < text.size(); ++i) {
        lines.push_back(text[i]);
        if (text[i] == L'\r' && (i + 1 >= text.size() || text[i + 1] != L'\n'))
            lines.push_back(L'\n');
    }
    return lines;
}

THintWindowClass TListBitmapHint::WindowClass() {
    return {&kListBitmapHintId, [] { return std::make_unique<TListBitmapHint>(); }};
}

TRect TListBitmapHint::CalcHintRect(int, const std::wstring& hint, void* data) {
    picture_ = data != nullptr ? *static_cast<const TListHintPicture*>(data) : TListHintPicture{};
    const SIZE icon = LargeIconSize();
    const SIZE text = TextSize(HintLines(hint));
    const int width = icon.cx + text.cx + 16;
    const int height = std::max(icon.cy + 8, text.cy + 8);
    // The border of the window around it.
    return TRect{0, 0, width + 2, height + 2};
}

void TListBitmapHint::Paint(HDC dc) {
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
    const SIZE icon = LargeIconSize();
    if (picture_.Image >= 0) {
        UINT style = ILD_TRANSPARENT;
        if (picture_.Overlay >= 0)
            style |= INDEXTOOVERLAYMASK(static_cast<UINT>(picture_.Overlay + 1));
        ImageList_Draw(LargeSysImages().Handle(), picture_.Image, dc, 4, (client.bottom - icon.cy) / 2,
                       style);
    }
    const std::wstring lines = HintLines(Caption());
    const SIZE text = TextSize(lines);
    const HGDIOBJ previous = SelectObject(dc, HintFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    RECT area{icon.cx + 8, (client.bottom - text.cy) / 2, client.right, client.bottom};
    DrawTextW(dc, lines.c_str(), static_cast<int>(lines.size()), &area, DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, previous);
}

// ---- the list's detailed hints

void TShadowListView::SetDetailedHints(bool value) {
    if (value == detailedHints_)
        return;
    detailedHints_ = value;
    if (value)
        SetShowHint(true);
    else
        hints_.reset();
    ApplyTooltips();
}

void TShadowListView::ApplyTooltips() {
    if (!HandleAllocated())
        return;
    if (detailedHints_ && detachedTooltips_ == nullptr)
        detachedTooltips_ = reinterpret_cast<HWND>(SendMessageW(Handle(), LVM_SETTOOLTIPS, 0, 0));
    else if (!detailedHints_ && detachedTooltips_ != nullptr)
        SendMessageW(Handle(), LVM_SETTOOLTIPS,
                     reinterpret_cast<WPARAM>(std::exchange(detachedTooltips_, nullptr)), 0);
}

LRESULT TShadowListView::AnswerDetailedHint(THintInfo& info) {
    if (core_.ViewStyle() == TViewStyleEx::vsxReport || core_.ShadowMuted())
        return 1;
    LVHITTESTINFO hit{};
    hit.pt = POINT{info.CursorPos.X, info.CursorPos.Y};
    const auto index =
        static_cast<int>(SendMessageW(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (index < 0 || (hit.flags & LVHT_ONITEM) == 0)
        return 1;
    const WideString text = core_.ItemHintText(index, true);
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (text.empty() || SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(&bounds)) == 0)
        return 1;
    info.CursorRect = TRect{bounds.left, bounds.top, bounds.right, bounds.bottom};
    info.HideTimeout = 60000;
    info.HintStr = std::wstring(text.begin(), text.end());
    hintPicture_ = {core_.ItemImage(index, true), core_.ItemOverlay(index)};
    info.HintData = &hintPicture_;
    info.HintWindowClass = TListBitmapHint::WindowClass();
    return 0;
}

} // namespace tarvola
