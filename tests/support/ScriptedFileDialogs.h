// A file dialog seam that chooses for the user: it records the dialogs run and answers from a script.
#pragma once

#include "forms/FileDialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace tarvola::test {

struct TFileChoice {
    bool chosen = true;   // false: the user cancels
    std::string fileName; // the name the user ends with
    int filterIndex = 0;  // 0: keep the dialog's; another filter fires OnTypeChange before the name is set
};

class TScriptedFileDialogs : public TFileDialogSeam {
public:
    TScriptedFileDialogs();
    ~TScriptedFileDialogs() override;
    TScriptedFileDialogs(const TScriptedFileDialogs&) = delete;
    TScriptedFileDialogs& operator=(const TScriptedFileDialogs&) = delete;

    struct TRun {
        bool save;
        std::string title;
        std::string filter;
        int filterIndex;
        std::string initialDir;
        std::string fileName;
        TOpenOptions options;
    };
    // What each dialog looked like when it was run.
    std::vector<TRun> Runs;
    // The user's answers, one per dialog; with none left the dialog is cancelled.
    std::deque<TFileChoice> Choices;

    bool Execute(TOpenDialog& dialog) override;

private:
    TFileDialogSeam* previous_;
};

} // namespace tarvola::test
