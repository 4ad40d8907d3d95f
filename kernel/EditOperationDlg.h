// The common part of the kernel designer's edit-operation dialogs (Amplify, Block Adjust, Harmonize,
// Mirror): their layout (an explanation, a vertical track bar coupled to a number edit below its label, a
// dialog's own rows, OK and Cancel), the Cancelled flag, and a place centred over the owner form.
//
// Moving the thumb shows its value in the edit; Enter in the edit takes a typed number and moves the thumb
// to it (which shows the thumb's value again). Enter never presses a button here: it belongs to the edit.
// Cancel and the close box leave Cancelled true and the dialog's cancel values.
#pragma once

#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"

#include <string_view>
#include <vector>

namespace tarvola {

// What sets one edit operation dialog's layout apart from the others'.
struct TEditOperationLayout {
    std::string_view caption;
    int clientWidth = 0;
    int clientHeight = 0;
    // Across the top of the dialog, this high.
    std::string_view explanation;
    int explanationHeight = 0;
    // The vertical track bar: its place, limits, tick frequency and start position.
    std::string_view trackName;
    int trackLeft = 0;
    int trackTop = 0;
    std::string_view trackMin;
    std::string_view trackMax;
    std::string_view trackFrequency;
    std::string_view trackPosition;
    // The value's edit and the label above it, at the same left.
    std::string_view labelName;
    std::string_view labelCaption;
    int labelWidth = 0;
    std::string_view editName;
    std::string_view editText;
    int valueLeft = 0;
    int editTop = 0;
    int editWidth = 0;
    // Decimals of the value the edit shows.
    int decimals = 2;
    // OK and Cancel, on one line.
    int okLeft = 0;
    int cancelLeft = 0;
    int buttonsTop = 0;
};

class TobjEditOperationDlg : public TForm {
public:
    // True from construction until OK accepts the values.
    bool Cancelled = true;

    TTrackBar& Track() const { return *track_; }
    TEdit& Edit() const { return *edit_; }

protected:
    explicit TobjEditOperationDlg(TComponent* owner);

    // Makes the dialog's controls (its own rows between the edit and the buttons), couples the track bar with
    // the edit, binds the buttons and places the dialog over its owner form (when the owner is one).
    void LoadEditLayout(const TEditOperationLayout& layout, const std::vector<TComponentRow>& ownRows = {});
    // The value last set by the track bar or by Enter.
    long double Value() const { return value_; }
    // What the user sees: the edit's text when it is a number (confirmed with Enter or not), otherwise the
    // value last set.
    long double ShownValue() const;
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
