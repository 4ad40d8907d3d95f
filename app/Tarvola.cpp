// Tarvola's start: the application is set up, OLE and the shell layer (the preset browser's explorer list
// stands on them) are started, the main window made, and the message loop runs until the main window
// closes; the shell layer and OLE go after the windows.
#include "app/uTarvola_Application.h"
#include "forms/Application.h"
#include "shell/VirtualShellUtilities.h"

#include <windows.h>
#include <ole2.h>

namespace {

// OLE and the shell layer for the program's run.
class TShellSession {
public:
    TShellSession() : ole_(SUCCEEDED(OleInitialize(nullptr))) { tarvola::TShellLayer::Startup(); }
    ~TShellSession() {
        tarvola::TShellLayer::Shutdown();
        if (ole_)
            OleUninitialize();
    }
    TShellSession(const TShellSession&) = delete;
    TShellSession& operator=(const TShellSession&) = delete;

private:
    bool ole_;
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tarvola;
    Application().Initialize();
    Application().SetTitle("Tarvola");
    try {
        const TShellSession shell;
        try {
            Application().CreateForm<TobjTarvola>();
        } catch (...) {
            Application().HandleException(std::current_exception());
            return 1;
        }
        // The loop frees the forms at its end, while the shell layer still stands.
        Application().Run();
    } catch (...) {
        Application().HandleException(std::current_exception());
        return 1;
    }
    return 0;
}
