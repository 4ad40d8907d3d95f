#include "tests/support/ScriptedShell.h"

#include "forms/Shell.h"

namespace tarvola::test {

TScriptedShell::TScriptedShell() : previous_(SetShell(this)) {}

TScriptedShell::~TScriptedShell() {
    SetShell(previous_);
}

bool TScriptedShell::Open(const TShellRequest& request) {
    Opened.push_back(request);
    return Succeeds;
}

bool TScriptedShell::Run(const TShellRequest& request) {
    Started.push_back(request);
    return Succeeds;
}

} // namespace tarvola::test
