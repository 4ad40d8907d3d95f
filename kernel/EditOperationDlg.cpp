#include "kernel/EditOperationDlg.h"

#include "forms/Layout.h"
#include "forms/StdCtrls.h"
#include "kernel/EditDialogValues.h"

#include <string>

namespace tarvola {

namespace {

TFormLayout EditDialogLayout(const TEditOperationLayout& d, const std::vector<TComponentRow>& ownRows,
                             const std::string& clientWidth, const std::string& clientHeight) {
    TFormLayout layout{
        {{"Caption", d.caption},
         {"BorderStyle", "bsDialog"},
         {"BorderIcons", "biSystemMenu"},
         {"ClientWidth", clientWidth},
         {"ClientHeight", clientHeight}},
        {
            {"TLabel",
             "Lbl_Explain",
             "",
             8,
             8,
             d.clientWidth - 16,
             d.explanationHeight,
             {{"AutoSize", "False"}, {"WordWrap", "True"}, {"Caption", d.explanation}}},
            {"TTrackBar",
             d.trackName,
             "",
             d.trackLeft,
             d.trackTop,
             40,
             168,
             {{"Orientation", "trVertical"},
              {"ThumbLength", "15"},
              {"TickMarks", "tmBottomRight"},
              {"Min", d.trackMin},
              {"Max", d.trackMax},
              {"Frequency", d.trackFrequency},
              {"Position", d.trackPosition}}},
            {"TLabel",
             d.labelName,
             "",
             d.valueLeft,
             d.editTop - 16,
             d.labelWidth,
             13,
             {{"Caption", d.labelCaption}}},
            {"TEdit", d.editName, "", d.valueLeft, d.editTop, d.editWidth, 21, {{"Text", d.editText}}},
        }};
    layout.components.insert(layout.components.end(), ownRows.begin(), ownRows.end());
    layout.components.push_back(
        {"TButton", "Btn_OK", "", d.okLeft, d.buttonsTop, 75, 25, {{"Caption", "OK"}}});
    layout.components.push_back({"TButton",
                                 "Btn_Cancel",
                                 "",
                                 d.cancelLeft,
                                 d.buttonsTop,
                                 75,
                                 25,
                                 {{"Caption", "Cancel"}, {"Cancel", "True"}}});
    return layout;
}

} // namespace

TobjEditOperationDlg::TobjEditOperationDlg(TComponent* owner) : TForm(owner) {
    Bind(OnClose, this, &TobjEditOperationDlg::Closing);
}

void TobjEditOperationDlg::LoadEditLayout(const TEditOperationLayout& layout,
                                          const std::vector<TComponentRow>& ownRows) {
    LoadLayout(EditDialogLayout(layout, ownRows, std::to_string(layout.clientWidth),
                                std::to_string(layout.clientHeight)));
    track_ = &Find<TTrackBar>(layout.trackName);
    edit_ = &Find<TEdit>(layout.editName);
    Bind(track_->OnChange, this, &TobjEditOperationDlg::Track_Change);
    Bind(edit_->OnKeyPress, this, &TobjEditOperationDlg::Edit_KeyPress);
    Bind(Find<TButton>("Btn_OK").OnClick, this, &TobjEditOperationDlg::OK_Click);
    Bind(Find<TButton>("Btn_Cancel").OnClick, this, &TobjEditOperationDlg::Cancel_Click);
    decimals_ = layout.decimals;
    value_ = TrackValue(track_->Position());
    CenterOverOwner();
}

void TobjEditOperationDlg::CenterOverOwner() {
    const auto* owner = dynamic_cast<const TForm*>(Owner());
    if (owner == nullptr)
        return;
    SetBounds(CenteredOrigin(owner->Left(), owner->Width(), Width()),
              CenteredOrigin(owner->Top(), owner->Height(), Height()), Width(), Height());
}

long double TobjEditOperationDlg::ShownValue() const {
    return TypedNumber(edit_->Text()).value_or(value_);
}

void TobjEditOperationDlg::Track_Change(TObject&) {
    value_ = TrackValue(track_->Position());
    edit_->SetText(ValueText(value_, decimals_));
}

void TobjEditOperationDlg::Edit_KeyPress(TObject&, char& key) {
    if (key != '\r')
        return;
    key = 0; // taken here: no beep, and no button press
    const std::optional<long double> typed = TypedNumber(edit_->Text());
    if (!typed)
        return;
    value_ = *typed;
    track_->SetPosition(TrackPosition(value_, track_->Min(), track_->Max()));
}

void TobjEditOperationDlg::OK_Click(TObject&) {
    if (!Accept())
        return;
    Cancelled = false;
    SetModalResult(mrOk);
}

void TobjEditOperationDlg::Cancel_Click(TObject&) {
    Reject();
    Cancelled = true;
    SetModalResult(mrCancel);
}

void TobjEditOperationDlg::Closing(TObject&, TCloseAction&) {
    if (ModalResult() != mrOk) {
        Reject();
        Cancelled = true;
    }
}

} // namespace tarvola
