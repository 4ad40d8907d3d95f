#include "forms/ControlRegistry.h"

namespace tarvola {

void TControlRegistry::Enter(HWND window, TWinControl* control) {
    const std::lock_guard<std::mutex> lock(mutex_);
    controls_[window] = control;
}

void TControlRegistry::Remove(HWND window) {
    const std::lock_guard<std::mutex> lock(mutex_);
    controls_.erase(window);
}

TWinControl* TControlRegistry::Find(HWND window) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = controls_.find(window);
    return found == controls_.end() ? nullptr : found->second;
}

TControlRegistry& ControlRegistry() {
    static auto* registry = new TControlRegistry;
    return *registry;
}

} // namespace tarvola
