#include "kernel/PresetBrowserHost.h"

#include "forms/Dialogs.h"
#include "kernel/CustomDSP.h"
#include "kernel/NewFolderDlg.h"

#include <windows.h>

namespace tarvola {

void TPresetBrowserHost::LoadPreset(const std::string& fileName) {
    form_.LoadPreset(fileName);
}

bool TPresetBrowserHost::SavePreset(const std::string& name) {
    return form_.SavePreset(name);
}

bool TPresetBrowserHost::DeletePreset(const std::string& name) {
    return form_.DeletePreset(name);
}

void TPresetBrowserHost::SetCurrentFolder(const std::string& folder) {
    form_.CurrentFolder = folder;
}

std::string TPresetBrowserHost::EntryText() const {
    return form_.Edt_PrstEntry->Text();
}

void TPresetBrowserHost::SetEntryText(const std::string& text) {
    form_.Edt_PrstEntry->SetText(text);
}

void TPresetBrowserHost::EnablePresetButtons(bool add, bool del) {
    form_.Btn_Del->SetEnabled(del);
    form_.Btn_Add->SetEnabled(add);
}

void TPresetBrowserHost::ShowCollectionCaption(const std::string& caption) {
    form_.Rpt_CllctName->SetCaption(caption);
}

void TPresetBrowserHost::SetCaption(const std::string& caption) {
    form_.SetCaption(caption);
}

void TPresetBrowserHost::ShowMessage(const std::string& text) {
    tarvola::ShowMessage(text);
}

void TPresetBrowserHost::EnsureFolder(const std::string& folder) {
    tarvola::EnsureFolder(folder);
}

std::optional<std::string> TPresetBrowserHost::AskNewFolder(const std::string& parentFolder) {
    TobjNewFolderDlg dialog(&form_);
    CenterOnDesktop(dialog);
    dialog.ParentFolder = parentFolder;
    dialog.ShowModal();
    if (dialog.Cancelled || dialog.NewPath.empty())
        return std::nullopt;
    return dialog.NewPath;
}

bool TPresetBrowserHost::CreateFolder(const std::string& folder) {
    return CreateDirectoryA(folder.c_str(), nullptr) != 0;
}

} // namespace tarvola
