// The "Column Settings" dialog of the explorer views: the view's columns in their present order, checked
// when visible, reordered by dragging, the focused one's width in an edit, and "Live Update" to apply each
// change to the view at once (OnVETUpdate). The column menu's "More ..." fills and runs it
// (RunColumnSettingsDialog). Windows only; the list's logic is ColumnFormTree.h.
#pragma once

#include "explorer/ColumnFormData.h"
#include "explorer/ColumnFormDialog.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"
#include "forms/StdCtrls.h"
#include "tree/TreeResources.h"

#include <functional>
#include <vector>

namespace tarvola {

class TVirtualTreeControl;

// The tree's check images, made before the dialog's windows and released after them.
struct TColumnSettingsResources {
    TTreeResourcesUse Resources;
};

class TFormColumnSettings : private TColumnSettingsResources, public TForm {
public:
    explicit TFormColumnSettings(TComponent* owner);
    ~TFormColumnSettings() override;

    static constexpr int kWidth = 295;
    static constexpr int kHeight = 370;

    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TVirtualTreeControl* VSTColumnNames = nullptr;
    TLabel* Label2 = nullptr;
    TEdit* EditPixelWidth = nullptr;
    TLabel* Label3 = nullptr;
    TCheckBox* CheckBoxLiveUpdate = nullptr;
    TBevel* Bevel1 = nullptr;
    TButton* ButtonOk = nullptr;
    TButton* ButtonCancel = nullptr;

    // Applies the dialog's present settings to the view; called for each change while "Live Update" is
    // checked.
    std::function<void(TFormColumnSettings&)> OnVETUpdate;

    void AddColumn(const TColumnData& column);
    // The columns in the list's order, as the user left them.
    std::vector<TColumnData> Columns() const;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A size set by code lays the dialog out too (the window reports only the user's resizing).
    void BoundsChanged() override;

private:
    void EditPixelWidthKeyPress(TObject& sender, char& key);
    void EditPixelWidthExit(TObject& sender);
    void CheckBoxLiveUpdateClick(TObject& sender);
    void FormResize(TObject& sender);
    void LiveUpdate();
    std::optional<int> TypedWidth() const;
};

} // namespace tarvola
