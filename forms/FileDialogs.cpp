#include "forms/FileDialogs.h"

#include "forms/Application.h"
#include "forms/Form.h"

#include <commdlg.h>
#include <dlgs.h>

#include <vector>

namespace tarvola {

namespace {

constexpr const char* kDialogProperty = "TarvolaFileDialog";
constexpr std::size_t kNameBufferSize = 4096;

class TRealFileDialogs : public TFileDialogSeam {
public:
    bool Execute(TOpenDialog& dialog) override { return dialog.RunSystemDialog(); }
};

TRealFileDialogs& RealFileDialogs() {
    static TRealFileDialogs dialogs;
    return dialogs;
}

TFileDialogSeam*& CurrentFileDialogs() {
    static TFileDialogSeam* current = &RealFileDialogs();
    return current;
}

// "a|b|c|d" as the system wants it: "a\0b\0c\0d\0\0".
std::vector<char> SystemFilter(const std::string& filter) {
    std::vector<char> result(filter.begin(), filter.end());
    for (char& c : result) {
        if (c == '|') {
            c = '\0';
        }
    }
    result.push_back('\0');
    result.push_back('\0');
    return result;
}

DWORD SystemFlags(TOpenOptions options) {
    DWORD flags = OFN_EXPLORER | OFN_ENABLEHOOK;
    const std::pair<TOpenOptions, DWORD> map[] = {
        {ofOverwritePrompt, OFN_OVERWRITEPROMPT},   {ofHideReadOnly, OFN_HIDEREADONLY},
        {ofNoChangeDir, OFN_NOCHANGEDIR},           {ofPathMustExist, OFN_PATHMUSTEXIST},
        {ofFileMustExist, OFN_FILEMUSTEXIST},       {ofCreatePrompt, OFN_CREATEPROMPT},
        {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN}, {ofEnableSizing, OFN_ENABLESIZING},
    };
    for (const auto& [option, flag] : map) {
        if ((options & option) != 0) {
            flags |= flag;
        }
    }
    return flags;
}

// The control that shows the typed file name: an edit in older dialogs, a combo box in newer ones.
HWND NameControl(HWND dialog) {
    HWND edit = GetDlgItem(dialog, edt1);
    return edit != nullptr ? edit : GetDlgItem(dialog, cmb13);
}

std::string NamePart(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

TFileDialogSeam& FileDialogs() {
    return *CurrentFileDialogs();
}

TFileDialogSeam* SetFileDialogs(TFileDialogSeam* seam) {
    TFileDialogSeam* previous = CurrentFileDialogs();
    CurrentFileDialogs() = seam != nullptr ? seam : &RealFileDialogs();
    return previous;
}

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

std::string TOpenDialog::FileName() const {
    if (handle_ == nullptr) {
        return fileName_;
    }
    std::string path(kNameBufferSize, '\0');
    const LRESULT length = SendMessageA(handle_, CDM_GETFILEPATH, static_cast<WPARAM>(path.size()),
                                        reinterpret_cast<LPARAM>(path.data()));
    if (length <= 0) {
        return fileName_;
    }
    path.resize(static_cast<std::size_t>(length));
    while (!path.empty() && path.back() == '\0') {
        path.pop_back();
    }
    return path;
}

void TOpenDialog::SetFileName(std::string name) {
    fileName_ = std::move(name);
    if (handle_ != nullptr) {
        // The dialog shows the name in its current folder.
        const std::string shown = NamePart(fileName_);
        SendMessageA(handle_, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(shown.c_str()));
        if (GetDlgItem(handle_, edt1) == nullptr) {
            SetWindowTextA(NameControl(handle_), shown.c_str());
        }
    }
}

bool TOpenDialog::Execute() {
    return FileDialogs().Execute(*this);
}

void TOpenDialog::TypeChanged(int filterIndex) {
    filterIndex_ = filterIndex;
    if (OnTypeChange) {
        OnTypeChange(*this);
    }
}

UINT_PTR CALLBACK TOpenDialog::Hook(HWND hookWindow, UINT message, WPARAM, LPARAM lParam) {
    GuardCallback([&] {
        if (message == WM_INITDIALOG) {
            auto* info = reinterpret_cast<OPENFILENAMEA*>(lParam);
            auto* dialog = reinterpret_cast<TOpenDialog*>(info->lCustData);
            SetPropA(hookWindow, kDialogProperty, dialog);
            dialog->handle_ = GetParent(hookWindow);
            return;
        }
        auto* dialog = static_cast<TOpenDialog*>(GetPropA(hookWindow, kDialogProperty));
        if (dialog == nullptr) {
            return;
        }
        if (message == WM_DESTROY) {
            RemovePropA(hookWindow, kDialogProperty);
            return;
        }
        if (message == WM_NOTIFY) {
            auto* notice = reinterpret_cast<OFNOTIFYA*>(lParam);
            if (notice->hdr.code == CDN_TYPECHANGE) {
                dialog->TypeChanged(static_cast<int>(notice->lpOFN->nFilterIndex));
            }
        }
    });
    return 0;
}

bool TOpenDialog::RunOnce(const std::string& startName, DWORD& error) {
    std::vector<char> filter = SystemFilter(filter_);
    std::vector<char> name(kNameBufferSize, '\0');
    startName.copy(name.data(), name.size() - 1);
    OPENFILENAMEA info{};
    info.lStructSize = sizeof(info);
    TForm* active = Application().ActiveForm();
    info.hwndOwner = active != nullptr ? active->Handle() : nullptr;
    info.hInstance = GetModuleHandleA(nullptr);
    info.lpstrFilter = filter_.empty() ? nullptr : filter.data();
    info.nFilterIndex = static_cast<DWORD>(filterIndex_);
    info.lpstrFile = name.data();
    info.nMaxFile = static_cast<DWORD>(name.size());
    info.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
    info.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    info.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
    info.Flags = SystemFlags(options_);
    info.lpfnHook = &TOpenDialog::Hook;
    info.lCustData = reinterpret_cast<LPARAM>(this);

    const TActivationKeeper previous;
    TDisabledWindows others(info.hwndOwner);
    const BOOL chosen = IsSaveDialog() ? GetSaveFileNameA(&info) : GetOpenFileNameA(&info);
    others.EnableAgain();
    handle_ = nullptr;
    previous.GiveBack();
    if (!chosen) {
        error = CommDlgExtendedError();
        return false;
    }
    fileName_ = name.data();
    filterIndex_ = static_cast<int>(info.nFilterIndex);
    return true;
}

bool TOpenDialog::RunSystemDialog() {
    DWORD error = 0;
    if (RunOnce(fileName_, error)) {
        return true;
    }
    // A start name the dialog refuses (a folder that went away) is not the user's answer: ask again without
    // it.
    if (error == FNERR_INVALIDFILENAME) {
        return RunOnce(std::string(), error);
    }
    return false;
}

void TOpenDialog::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Title") {
        SetTitle(std::string(value));
    } else if (name == "Filter") {
        SetFilter(std::string(value));
    } else if (name == "FilterIndex") {
        SetFilterIndex(PropInteger(value, name));
    } else if (name == "InitialDir") {
        SetInitialDir(std::string(value));
    } else if (name == "DefaultExt") {
        SetDefaultExt(std::string(value));
    } else if (name == "FileName") {
        SetFileName(std::string(value));
    } else if (name == "Options") {
        SetOptions(PropFlags(value, name,
                             {{"ofOverwritePrompt", ofOverwritePrompt},
                              {"ofHideReadOnly", ofHideReadOnly},
                              {"ofNoChangeDir", ofNoChangeDir},
                              {"ofPathMustExist", ofPathMustExist},
                              {"ofFileMustExist", ofFileMustExist},
                              {"ofCreatePrompt", ofCreatePrompt},
                              {"ofNoReadOnlyReturn", ofNoReadOnlyReturn},
                              {"ofEnableSizing", ofEnableSizing}}));
    } else {
        TComponent::SetProperty(name, value);
    }
}

} // namespace tarvola
