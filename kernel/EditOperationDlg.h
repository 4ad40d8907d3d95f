// The common part of the kernel designer's edit-operation dialogs (Amplify, Block Adjust, Harmonize,
// Mirror): a vertical track bar coupled to a number edit, OK and Cancel, the Cancelled flag, and a place
// centred over the owner form.
//
// Moving the thumb shows its value in the edit; Enter in the edit takes a typed number and moves the thumb
// to it (which shows the thumb's value again). Enter never presses a button here: it belongs to the edit.
// Cancel and the close box leave Cancelled true and the dialog's cancel values.
#pragma once

#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"

#include <string_view>

namespace tarvola {

class TobjEditOperationDlg : public TForm {
public:
    // True from construction until OK accepts the values.
    bool Cancelled = true;

    TTrackBar& Track() const { return *track_; }
    TEdit& Edit() const { return *edit_; }

protected:
    explicit TobjEditOperationDlg(TComponent* owner);

    // Called by the dialogs after their layout: the coupled controls, the decimals the edit shows, and the
    // place over the owner form (when the owner is one).
    void Couple(std::string_view trackName, std::string_view editName, int decimals);
    // The value last set by the track bar or by Enter.
    long double Value() const { return value_; }
    // What the user sees: the edit's text when it is a number (confirmed with Enter or not), otherwise the
    // value last set.
    long double ShownValue() const;
    // A radio group made from a layout row gets its items before its window; giving them again makes the
    // buttons' windows.
    static void MakeRadioButtons(TRadioGroup& group);

    // OK: takes the dialog's values; false keeps the dialog open.
    virtual bool Accept() = 0;
    // Cancel or the close box: sets the dialog's cancel values.
    virtual void Reject() = 0;

private:
    void Track_Change(TObject& sender);
    void Edit_KeyPress(TObject& sender, char& key);
    void OK_Click(TObject& sender);
    void Cancel_Click(TObject& sender);
    void Closing(TObject& sender, TCloseAction& action);
    void CenterOverOwner();

    TTrackBar* track_ = nullptr;
    TEdit* edit_ = nullptr;
    int decimals_ = 2;
    long double value_ = 0.0L;
};

} // namespace tarvola
