// "New Folder Name": asks for the name of a new preset sub-folder in ParentFolder. OK accepts a name only
// when it is a usable folder name that does not exist there yet (otherwise it says why and stays open);
// Cancel, Esc and the close box leave Cancelled true and NewPath empty. The dialog creates nothing itself.
#pragma once

#include "forms/Form.h"
#include "forms/StdCtrls.h"

#include <string>

namespace tarvola {

class TobjNewFolderDlg : public TForm {
public:
    explicit TobjNewFolderDlg(TComponent* owner);

    // Set by the caller: the folder the new one goes into, ending in a backslash.
    std::string ParentFolder;
    // The accepted folder's path, ending in a backslash; empty unless OK accepted a name.
    std::string NewPath;
    // True until OK accepts a name.
    bool Cancelled = true;

    TLabel* Label1 = nullptr;
    TEdit* Edit1 = nullptr;
    TButton* Button1 = nullptr; // OK
    TButton* Button2 = nullptr; // Cancel

    static constexpr int kMaxNameLength = 50;

private:
    void OK_Click(TObject& sender);
    void Cancel_Click(TObject& sender);
    void Closing(TObject& sender, TCloseAction& action);
};

} // namespace tarvola
