// A shell seam that records what the program asks the shell to open or start, and answers from a script.
#pragma once

#include "forms/Shell.h"

#include <vector>

namespace tarvola::test {

class TScriptedShell : public TShellSeam {
public:
    TScriptedShell();
    ~TScriptedShell() override;
    TScriptedShell(const TScriptedShell&) = delete;
    TScriptedShell& operator=(const TScriptedShell&) = delete;

    std::vector<TShellRequest> Opened;
    std::vector<TShellRequest> Started;
    // The answer to every request.
    bool Succeeds = true;

    bool Open(const TShellRequest& request) override;
    bool Run(const TShellRequest& request) override;

private:
    TShellSeam* previous_;
};

} // namespace tarvola::test
