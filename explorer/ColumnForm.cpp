#include "explorer/ColumnForm.h"

#include "forms/Layout.h"
#include "tree/TreeControl.h"

#include <string>

namespace tarvola {

namespace {

constexpr int kTreeTop = 47;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kEditWidth = 40;
// From the tree's bottom to the form's bottom: the width line, the check box, the bevel and the buttons.
constexpr int kBottomBand = 110;

const TFormLayout kColumnSettingsLayout{
    {{"Caption", "Column Settings"},
     {"BorderIcons", "biSystemMenu"},
     {"Position", "poScreenCenter"},
     {"Font.Name", "MS Sans Serif"}},
    {
        {"TPanel", "Panel1", "", 0, 0, 287, 41, {{"BevelOuter", "bvNone"}}},
        {"TLabel",
         "Label1",
         "Panel1",
         8,
         6,
         271,
         30,
         {{"AutoSize", "False"},
          {"WordWrap", "True"},
          {"Alignment", "taCenter"},
          {"Caption",
           "Check the columns you would like to make visible in this Folder.  Drag and Drop to reorder "
           "the columns. "}}},
        {"TLabel", "Label2", "", 8, 0, 150, 13, {{"Caption", "The selected column should be "}}},
        {"TEdit", "EditPixelWidth", "", 0, 0, kEditWidth, 21, {}},
        {"TLabel", "Label3", "", 0, 0, 64, 13, {{"Caption", "pixels wide"}}},
        {"TCheckBox", "CheckBoxLiveUpdate", "", 8, 0, 120, 17, {{"Caption", "Live Update"}}},
        {"TBevel", "Bevel1", "", 8, 0, 271, 2, {{"Shape", "bsTopLine"}}},
        {"TButton",
         "ButtonOk",
         "",
         0,
         0,
         kButtonWidth,
         kButtonHeight,
         {{"Caption", "&OK"}, {"Default", "True"}, {"ModalResult", "mrOk"}}},
        {"TButton",
         "ButtonCancel",
         "",
         0,
         0,
         kButtonWidth,
         kButtonHeight,
         {{"Caption", "&Cancel"}, {"Cancel", "True"}, {"ModalResult", "mrCancel"}}},
    }};

// The width edit takes only digits; Enter belongs to it (it stores the width) rather than to the dialog's
// default button.
class TPixelWidthEdit : public TEdit {
public:
    using TEdit::TEdit;

protected:
    void CreateParams(TCreateParams& params) override {
        TEdit::CreateParams(params);
        params.style |= ES_NUMBER;
    }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_GETDLGCODE && wParam == VK_RETURN)
            return TEdit::WndProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
        return TEdit::WndProc(message, wParam, lParam);
    }
};

} // namespace

TFormColumnSettings::TFormColumnSettings(TComponent* owner) : TForm(owner) {
    RegisterComponentClass<TPixelWidthEdit>("TPixelWidthEdit");
    TFormLayout layout = kColumnSettingsLayout;
    for (TComponentRow& row : layout.components)
        if (row.name == "EditPixelWidth")
            row.type = "TPixelWidthEdit";
    LoadLayout(layout);
    Panel1 = &Find<TPanel>("Panel1");
    Label1 = &Find<TLabel>("Label1");
    Label2 = &Find<TLabel>("Label2");
    EditPixelWidth = &Find<TEdit>("EditPixelWidth");
    Label3 = &Find<TLabel>("Label3");
    CheckBoxLiveUpdate = &Find<TCheckBox>("CheckBoxLiveUpdate");
    Bevel1 = &Find<TBevel>("Bevel1");
    ButtonOk = &Find<TButton>("ButtonOk");
    ButtonCancel = &Find<TButton>("ButtonCancel");

    VSTColumnNames =
        &Create<TVirtualTreeControl>([](ITreeViewHost* host) -> std::unique_ptr<TBaseVirtualTree> {
            return MakeColumnSettingsTree(host);
        });
    VSTColumnNames->SetName("VSTColumnNames");
    VSTColumnNames->SetBounds(kMargin, kTreeTop, 273, 186);
    VSTColumnNames->SetParent(this);
    VSTColumnNames->SetTabStop(true);
    TColumnSettingsHooks hooks;
    hooks.TypedWidth = [this] { return TypedWidth(); };
    hooks.ShowWidth = [this](int width) {
        if (EditPixelWidth != nullptr)
            EditPixelWidth->SetText(std::to_string(width));
    };
    hooks.LiveUpdate = [this] { LiveUpdate(); };
    SetColumnSettingsHooks(VSTColumnNames->Tree(), std::move(hooks));

    Bind(EditPixelWidth->OnKeyPress, this, &TFormColumnSettings::EditPixelWidthKeyPress);
    Bind(EditPixelWidth->OnExit, this, &TFormColumnSettings::EditPixelWidthExit);
    Bind(CheckBoxLiveUpdate->OnClick, this, &TFormColumnSettings::CheckBoxLiveUpdateClick);
    Bind(OnResize, this, &TFormColumnSettings::FormResize);
    SetBounds(Left(), Top(), kWidth, kHeight);
    TObject& self = *this;
    FormResize(self);
}

TFormColumnSettings::~TFormColumnSettings() {
    // The components go after this, one by one, and their windows still report focus and size changes:
    // the handlers must find nothing to work on by then.
    OnResize = nullptr;
    OnVETUpdate = nullptr;
    Panel1 = nullptr;
    Label1 = nullptr;
    VSTColumnNames = nullptr;
    Label2 = nullptr;
    EditPixelWidth = nullptr;
    Label3 = nullptr;
    CheckBoxLiveUpdate = nullptr;
    Bevel1 = nullptr;
    ButtonOk = nullptr;
    ButtonCancel = nullptr;
}

void TFormColumnSettings::AddColumn(const TColumnData& column) {
    AddColumnSetting(VSTColumnNames->Tree(), column);
}

std::vector<TColumnData> TFormColumnSettings::Columns() const {
    return ColumnSettingsOf(VSTColumnNames->Tree());
}

std::optional<int> TFormColumnSettings::TypedWidth() const {
    if (EditPixelWidth == nullptr)
        return std::nullopt;
    return ColumnWidthFromText(EditPixelWidth->Text());
}

void TFormColumnSettings::LiveUpdate() {
    if (CheckBoxLiveUpdate != nullptr && CheckBoxLiveUpdate->Checked() && OnVETUpdate)
        OnVETUpdate(*this);
}

void TFormColumnSettings::EditPixelWidthKeyPress(TObject&, char& key) {
    if (key == '\r') {
        key = 0; // the width is the edit's: no default button
        StoreFocusedColumnWidth(VSTColumnNames->Tree());
        return;
    }
    if ((key >= '0' && key <= '9') || key == '\b')
        return;
    MessageBeep(0);
    key = 0;
}

void TFormColumnSettings::EditPixelWidthExit(TObject&) {
    if (VSTColumnNames != nullptr)
        StoreFocusedColumnWidth(VSTColumnNames->Tree());
}

void TFormColumnSettings::CheckBoxLiveUpdateClick(TObject&) {
    LiveUpdate();
}

void TFormColumnSettings::FormResize(TObject&) {
    if (ButtonCancel == nullptr || VSTColumnNames == nullptr)
        return;
    const int width = ClientWidth();
    const int height = ClientHeight();
    Panel1->SetBounds(0, 0, width, 41);
    Label1->SetBounds(kMargin, 6, width - 2 * kMargin, 30);
    VSTColumnNames->SetBounds(kMargin, kTreeTop, width - 2 * kMargin, height - kTreeTop - kBottomBand);
    const int lineTop = height - kBottomBand + 12;
    const TWidthLineLayout line =
        WidthLineLayout(Width(), Label2->Width(), EditPixelWidth->Width(), Label3->Width());
    Label2->SetBounds(line.Label2Left, lineTop + 4, Label2->Width(), Label2->Height());
    EditPixelWidth->SetBounds(line.EditLeft, lineTop, EditPixelWidth->Width(), EditPixelWidth->Height());
    Label3->SetBounds(line.Label3Left, lineTop + 4, Label3->Width(), Label3->Height());
    CheckBoxLiveUpdate->SetBounds(line.CheckBoxLeft, lineTop + 30, CheckBoxLiveUpdate->Width(),
                                  CheckBoxLiveUpdate->Height());
    Bevel1->SetBounds(kMargin, height - 44, width - 2 * kMargin, 2);
    ButtonCancel->SetBounds(width - kMargin - kButtonWidth, height - 36, kButtonWidth, kButtonHeight);
    ButtonOk->SetBounds(width - 2 * (kMargin + kButtonWidth), height - 36, kButtonWidth, kButtonHeight);
}

void TFormColumnSettings::BoundsChanged() {
    TForm::BoundsChanged();
    TObject& self = *this;
    FormResize(self);
}

LRESULT TFormColumnSettings::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = kWidth;
        info->ptMinTrackSize.y = kHeight;
        return 0;
    }
    return TForm::WndProc(message, wParam, lParam);
}

bool RunColumnSettingsDialog(TComponent* owner, std::vector<TColumnData>& settings,
                             const TApplyColumnSettings& apply) {
    TFormColumnSettings dialog(owner);
    for (const TColumnData& column : settings)
        dialog.AddColumn(column);
    dialog.OnVETUpdate = [&apply](TFormColumnSettings& form) {
        if (apply)
            apply(form.Columns());
    };
    if (dialog.ShowModal() != mrOk)
        return false;
    settings = dialog.Columns();
    return true;
}

} // namespace tarvola
