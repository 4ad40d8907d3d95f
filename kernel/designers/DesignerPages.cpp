#include "kernel/designers/DesignerPages.h"

#include "forms/Layout.h"

#include <commctrl.h>

namespace tarvola {

TDesignerPages::TDesignerPages(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

void TDesignerPages::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = WC_TABCONTROLA;
    params.style |= WS_TABSTOP;
}

void TDesignerPages::InitializeHandle() {
    TWinControl::InitializeHandle();
    for (int i = 0; i < PageCount(); ++i)
        InsertTab(i);
    if (active_ >= 0)
        SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(active_), 0);
    PlacePages();
}

void TDesignerPages::InsertTab(int index) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(captions_[static_cast<std::size_t>(index)].c_str());
    SendMessageA(Handle(), TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void TDesignerPages::AddPage(TPanel& page, std::string_view caption) {
    pages_.push_back(&page);
    captions_.emplace_back(caption);
    page.SetCaption("");
    page.SetParent(this);
    if (HandleAllocated())
        InsertTab(PageCount() - 1);
    PlacePages();
    if (active_ < 0)
        SetActivePageIndex(0);
    else
        ShowActivePage();
}

TPanel& TDesignerPages::Page(int index) const {
    if (index < 0 || index >= PageCount())
        throw EComponentError("Page index out of range");
    return *pages_[static_cast<std::size_t>(index)];
}

void TDesignerPages::SetActivePageIndex(int index) {
    Page(index); // checks the index
    if (index == active_)
        return;
    active_ = index;
    if (HandleAllocated())
        SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowActivePage();
    if (OnChange)
        OnChange(*this);
}

void TDesignerPages::ShowActivePage() {
    for (int i = 0; i < PageCount(); ++i)
        pages_[static_cast<std::size_t>(i)]->SetVisible(i == active_);
}

// Every page fills the display area that the tab control leaves below its tabs.
void TDesignerPages::PlacePages() {
    if (!HandleAllocated())
        return;
    RECT area{0, 0, Width(), Height()};
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (TPanel* page : pages_)
        page->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

void TDesignerPages::BoundsChanged() {
    TWinControl::BoundsChanged();
    PlacePages();
}

bool TDesignerPages::NotifyNotify(NMHDR& header, LRESULT& result) {
    if (header.code != TCN_SELCHANGE)
        return false;
    const int chosen = static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
    if (chosen >= 0 && chosen < PageCount())
        SetActivePageIndex(chosen);
    result = 0;
    return true;
}

void RegisterDesignerPages() {
    RegisterComponentClass<TDesignerPages>("TDesignerPages");
}

} // namespace tarvola
