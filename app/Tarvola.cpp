// Tarvola's start: the application is set up, the main window made, and the message loop runs until the
// main window closes.
#include "app/uTarvola_Application.h"
#include "forms/Application.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tarvola;
    Application().Initialize();
    Application().SetTitle("Tarvola");
    try {
        Application().CreateForm<TobjTarvola>();
    } catch (...) {
        Application().HandleException(std::current_exception());
        return 1;
    }
    Application().Run();
    return 0;
}
