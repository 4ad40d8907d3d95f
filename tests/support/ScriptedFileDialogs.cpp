#include "tests/support/ScriptedFileDialogs.h"

#include "forms/FileDialogs.h"

namespace tarvola::test {

TScriptedFileDialogs::TScriptedFileDialogs() : previous_(SetFileDialogs(this)) {}

TScriptedFileDialogs::~TScriptedFileDialogs() {
    SetFileDialogs(previous_);
}

bool TScriptedFileDialogs::Execute(TOpenDialog& dialog) {
    Runs.push_back(TRun{dialog.IsSaveDialog(), dialog.Title(), dialog.Filter(), dialog.FilterIndex(),
                        dialog.InitialDir(), dialog.FileName(), dialog.Options()});
    if (Choices.empty()) {
        return false;
    }
    const TFileChoice choice = Choices.front();
    Choices.pop_front();
    if (!choice.chosen) {
        return false;
    }
    if (choice.filterIndex != 0 && choice.filterIndex != dialog.FilterIndex()) {
        dialog.TypeChanged(choice.filterIndex);
    }
    dialog.SetFileName(choice.fileName);
    return true;
}

} // namespace tarvola::test
