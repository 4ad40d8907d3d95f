// DesignerPages: the page control of the designer dialogs: a native tab control whose pages are panels.
//
// Layout: a "TDesignerPages" row, then one TPanel row per page with the page control as parent (bevels
// off); after LoadLayout the dialog hands each panel over with AddPage(panel, tab caption), in tab order.
// The first page added is shown first. Clicking a tab, or SetActivePageIndex, shows its page and fires
// OnChange.
#pragma once

#include "forms/ExtCtrls.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvola {

class TDesignerPages : public TWinControl {
public:
    explicit TDesignerPages(TComponent* owner);

    // Adds a tab for the panel; the panel fills the page area below the tabs.
    void AddPage(TPanel& page, std::string_view caption);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TPanel& Page(int index) const;
    // -1 while there is no page.
    int ActivePageIndex() const { return active_; }
    void SetActivePageIndex(int index);

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    bool NotifyNotify(NMHDR& header, LRESULT& result) override;
    void BoundsChanged() override;

private:
    void InsertTab(int index);
    void PlacePages();
    void ShowActivePage();

    std::vector<TPanel*> pages_;
    std::vector<std::string> captions_;
    int active_ = -1;
};

// Makes "TDesignerPages" known to layout tables (safe to call more than once).
void RegisterDesignerPages();

} // namespace tarvola
