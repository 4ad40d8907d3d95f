#include "forms/Shell.h"

#include <shellapi.h>

namespace tarvola {

namespace {

class TRealShell : public TShellSeam {
public:
    bool Open(const TShellRequest& request) override {
        const HINSTANCE result =
            ShellExecuteA(GetDesktopWindow(), "open", request.file.c_str(), nullptr,
                          request.folder.empty() ? nullptr : request.folder.c_str(), request.show);
        return reinterpret_cast<INT_PTR>(result) > 32;
    }
    bool Run(const TShellRequest& request) override {
        return WinExec(request.file.c_str(), static_cast<UINT>(request.show)) > 31;
    }
};

TRealShell& RealShell() {
    static TRealShell shell;
    return shell;
}

TShellSeam*& CurrentShell() {
    static TShellSeam* current = &RealShell();
    return current;
}

} // namespace

TShellSeam& Shell() {
    return *CurrentShell();
}

TShellSeam* SetShell(TShellSeam* seam) {
    TShellSeam* previous = CurrentShell();
    CurrentShell() = seam != nullptr ? seam : &RealShell();
    return previous;
}

bool ShellOpen(std::string_view file, std::string_view folder, int show) {
    return Shell().Open(TShellRequest{std::string(file), std::string(folder), show});
}

bool ShellRun(std::string_view commandLine, int show) {
    return Shell().Run(TShellRequest{std::string(commandLine), std::string(), show});
}

} // namespace tarvola
