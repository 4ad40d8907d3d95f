#include "kernel/EditOperationDlg.h"

#include "forms/Layout.h"
#include "kernel/EditDialogValues.h"

namespace tarvola {

TobjEditOperationDlg::TobjEditOperationDlg(TComponent* owner) : TForm(owner) {
    Publish("Track_Change", &TobjEditOperationDlg::Track_Change);
    Publish("Edit_KeyPress", &TobjEditOperationDlg::Edit_KeyPress);
    Publish("OK_Click", &TobjEditOperationDlg::OK_Click);
    Publish("Cancel_Click", &TobjEditOperationDlg::Cancel_Click);
    OnClose = [this](TObject& sender, TCloseAction& action) { Closing(sender, action); };
}

void TobjEditOperationDlg::Couple(std::string_view trackName, std::string_view editName, int decimals) {
    track_ = &Find<TTrackBar>(trackName);
    edit_ = &Find<TEdit>(editName);
    decimals_ = decimals;
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

void TobjEditOperationDlg::MakeRadioButtons(TRadioGroup& group) {
    const int chosen = group.ItemIndex();
    group.SetItems(group.Items());
    group.SetItemIndex(chosen);
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
