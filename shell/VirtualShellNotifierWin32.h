// The change notifier on Windows. The first registered control starts a shell change thread (a hidden
// window registered with the shell for every change of the namespace, which feeds the dispatch queue), the
// dispatch thread (which posts each batch to the listener) and the listener window on the GUI thread (which
// hands every batch to each registered control as WM_SHELLNOTIFY). The last control stops them all. Every
// list that cannot reach a control, or that is still queued for a control that goes, is released. Win32
// sources only.
#pragma once

#include "forms/UtilityWindow.h"
#include "shell/VirtualShellNotifier.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace tarvola {

class TVirtualChangeNotifier {
public:
    explicit TVirtualChangeNotifier(const TPIDLManager& manager);
    // Stops the threads when controls are still registered.
    ~TVirtualChangeNotifier();
    TVirtualChangeNotifier(const TVirtualChangeNotifier&) = delete;
    TVirtualChangeNotifier& operator=(const TVirtualChangeNotifier&) = delete;

    // On the GUI thread. A control once registered counts once; false when the threads cannot start.
    bool RegisterShellChangeNotify(HWND control);
    // Releases the lists still queued for the control; the last control stops the threads and waits for
    // them.
    void UnRegisterShellChangeNotify(HWND control);
    int ControlCount() const;
    bool Running() const { return running_; }

private:
    static DWORD WINAPI ShellThreadProc(void* self);
    static LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunShellThread();
    void OnShellChange(WPARAM lock, LPARAM processId);
    bool Start();
    void Stop();
    void StopShellThread();
    std::optional<LRESULT> OnListenerMessage(UINT message, WPARAM wParam);
    void SetRecycleBinFolders();

    const TPIDLManager& manager_;
    mutable std::mutex controlsLock_;
    std::vector<HWND> controls_;
    bool running_ = false;
    std::unique_ptr<TChangeDispatchQueue> queue_;
    std::unique_ptr<TChangeDispatchThread> dispatch_;
    std::unique_ptr<TUtilityWindow> listener_;
    HANDLE shellThread_ = nullptr;
    DWORD shellThreadId_ = 0;
    HANDLE shellReady_ = nullptr;
    std::atomic<HWND> shellWindow_{nullptr};
    std::atomic<bool> shellRegistered_{false};
};

// Removes the WM_SHELLNOTIFY messages queued for window (on its thread) and releases their lists.
void ReleasePendingShellNotifies(HWND window);

} // namespace tarvola
