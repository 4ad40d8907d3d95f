#include "kernel/NewFolderDlg.h"

#include "forms/Dialogs.h"
#include "forms/Layout.h"
#include "kernel/PresetBrowserController.h"

#include <windows.h>

namespace tarvola {

namespace {

const TFormLayout kNewFolderLayout{
    {{"Caption", "New Folder Name"},
     {"BorderStyle", "bsDialog"},
     {"BorderIcons", "biSystemMenu"},
     {"ClientWidth", "215"},
     {"ClientHeight", "124"}},
    {
        {"TLabel", "Label1", "", 12, 12, 191, 13, {{"Caption", "Please type a name for the new folder."}}},
        {"TEdit", "Edit1", "", 12, 40, 191, 21, {{"Text", "New Folder"}, {"MaxLength", "50"}}},
        {"TButton", "Button1", "", 24, 84, 75, 25, {{"Caption", "OK"}, {"Default", "True"}}},
        {"TButton", "Button2", "", 116, 84, 75, 25, {{"Caption", "Cancel"}, {"Cancel", "True"}}},
    }};

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

TobjNewFolderDlg::TobjNewFolderDlg(TComponent* owner) : TForm(owner) {
    LoadLayout(kNewFolderLayout);
    Label1 = &Find<TLabel>("Label1");
    Edit1 = &Find<TEdit>("Edit1");
    Button1 = &Find<TButton>("Button1");
    Button2 = &Find<TButton>("Button2");
    Bind(Button1->OnClick, this, &TobjNewFolderDlg::OK_Click);
    Bind(Button2->OnClick, this, &TobjNewFolderDlg::Cancel_Click);
    Bind(OnClose, this, &TobjNewFolderDlg::Closing);
}

void TobjNewFolderDlg::OK_Click(TObject&) {
    const TNewFolderCheck check = CheckNewFolderName(ParentFolder, Edit1->Text(), FolderExists);
    if (!check.Message.empty()) {
        ShowMessage(check.Message);
        return;
    }
    // No parent folder: nothing to create a folder in, and the dialog stays.
    if (check.Path.empty())
        return;
    NewPath = check.Path;
    Cancelled = false;
    SetModalResult(mrOk);
}

void TobjNewFolderDlg::Cancel_Click(TObject&) {
    SetModalResult(mrCancel);
}

// Every way out but OK reports Cancel: Esc, the Cancel button and the close box.
void TobjNewFolderDlg::Closing(TObject&, TCloseAction&) {
    if (ModalResult() == mrOk)
        return;
    Cancelled = true;
    NewPath.clear();
}

} // namespace tarvola
