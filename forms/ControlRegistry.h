// Which control owns each window. Every message to a control's window and every notification it sends
// looks the control up, and under Wine a window property costs two round trips to the window server
// (the name's atom, then the property); a map in the process costs none. Windows of other threads are
// entered too, hence the lock.
#pragma once

#include <windows.h>

#include <mutex>
#include <unordered_map>

namespace tarvola {

class TWinControl;

class TControlRegistry {
public:
    void Enter(HWND window, TWinControl* control);
    void Remove(HWND window);
    // The control that owns window, or nullptr.
    TWinControl* Find(HWND window);

private:
    std::mutex mutex_;
    std::unordered_map<HWND, TWinControl*> controls_;
};

// The process's registry. Never destroyed: windows of static forms may still be destroyed while the
// program ends.
TControlRegistry& ControlRegistry();

} // namespace tarvola
