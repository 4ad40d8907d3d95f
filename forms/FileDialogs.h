// The open and save dialogs of the system, and their seam: the program runs the real dialogs, tests install a
// scripted seam that chooses the file.
#pragma once

#include "forms/Component.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace tarvola {

using TOpenOptions = unsigned;
constexpr TOpenOptions ofOverwritePrompt = 0x001;
constexpr TOpenOptions ofHideReadOnly = 0x002;
constexpr TOpenOptions ofNoChangeDir = 0x004;
constexpr TOpenOptions ofPathMustExist = 0x008;
constexpr TOpenOptions ofFileMustExist = 0x010;
constexpr TOpenOptions ofCreatePrompt = 0x020;
constexpr TOpenOptions ofNoReadOnlyReturn = 0x040;
constexpr TOpenOptions ofEnableSizing = 0x080;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner);

    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    // Pairs of description and patterns separated by "|": "RIFF Wave|*.wav|All Files|*.*".
    const std::string& Filter() const { return filter_; }
    void SetFilter(std::string filter) { filter_ = std::move(filter); }
    // 1 is the first pair of the filter.
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(std::string folder) { initialDir_ = std::move(folder); }
    // Added to a typed name without extension; empty: the name stays as typed.
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(std::string extension) { defaultExt_ = std::move(extension); }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions options) { options_ = options; }
    // The chosen file. While the dialog is open (in OnTypeChange) it is the name in the dialog, and setting
    // it rewrites the name shown there.
    std::string FileName() const;
    void SetFileName(std::string name);
    virtual bool IsSaveDialog() const { return false; }

    // Fired when the user chooses another filter; FilterIndex is the new one.
    TNotifyEvent OnTypeChange;

    // Runs the dialog through the file dialog seam; true when a file was chosen.
    bool Execute();
    // The system's dialog itself (used by the real seam).
    bool RunSystemDialog();
    // The open dialog's window while it runs, else nullptr.
    HWND Handle() const { return handle_; }
    // Fires OnTypeChange with a new filter index (the system dialog's hook and scripted dialogs call it).
    void TypeChanged(int filterIndex);

    void SetProperty(std::string_view name, std::string_view value) override;

private:
    static UINT_PTR CALLBACK Hook(HWND hookWindow, UINT message, WPARAM wParam, LPARAM lParam);
    bool RunOnce(const std::string& startName, DWORD& error);

    std::string title_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string initialDir_;
    std::string defaultExt_;
    TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
    std::string fileName_;
    HWND handle_ = nullptr;
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    bool IsSaveDialog() const override { return true; }
};

class TFileDialogSeam {
public:
    virtual ~TFileDialogSeam() = default;
    // Lets the user choose a file: sets the dialog's FileName and FilterIndex and answers true, or false
    // when cancelled.
    virtual bool Execute(TOpenDialog& dialog) = 0;
};

TFileDialogSeam& FileDialogs();
// Installs a seam (nullptr: the real one again) and returns the one it replaces.
TFileDialogSeam* SetFileDialogs(TFileDialogSeam* seam);

} // namespace tarvola
