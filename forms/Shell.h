// The shell seam: opening documents and links with the shell's "open" verb, and starting programs. The
// program uses the real shell; tests install a seam that records the requests.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tarvola {

struct TShellRequest {
    std::string file;   // document, folder, "mailto:" or web link, or a command line for Run
    std::string folder; // working folder, may be empty
    int show = SW_SHOWNORMAL;
};

class TShellSeam {
public:
    virtual ~TShellSeam() = default;
    // The "open" verb on a document or link; true when the shell started it.
    virtual bool Open(const TShellRequest& request) = 0;
    // Starts a program from a command line; true when it started.
    virtual bool Run(const TShellRequest& request) = 0;
};

TShellSeam& Shell();
// Installs a seam (nullptr: the real one again) and returns the one it replaces.
TShellSeam* SetShell(TShellSeam* seam);

// Opens a document or link with the shell's "open" verb (owner: the desktop window). A failure is the shell's
// to report; the answer only says whether it started.
bool ShellOpen(std::string_view file, std::string_view folder = {}, int show = SW_SHOWNORMAL);
// Starts a program from a command line.
bool ShellRun(std::string_view commandLine, int show = SW_SHOWNORMAL);

} // namespace tarvola
