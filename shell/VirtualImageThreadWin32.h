// The icon thread on Windows: it finds the system image index of a request through the shell and posts the
// request to the requesting control's window. The manager keeps the registered controls; it starts the thread
// with the first one and stops it with the last, and a control that goes withdraws what it asked for, queued
// or already posted. Win32 sources only.
#pragma once

#include "shell/VirtualImageThread.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace tarvola {

// COM for the calling worker thread, from the first call until the thread ends.
void EnsureThreadApartment();
// One try at posting a finished request to the window that asked for it, with the request's message.
bool PostImageResult(TImageThreadItem* item);

class TShellImageThread final : public TVirtualImageThread {
public:
    TShellImageThread(TImageRequestQueue& queue, TOnError onError);
    ~TShellImageThread() override { Stop(); }

protected:
    // The small icon's index in the system image list (the large list has the same index); -1 for none.
    std::int32_t ExtractInfo(PCItemIDList pidl) override;
};

class TVirtualImageThreadManager {
public:
    explicit TVirtualImageThreadManager(const TPIDLManager& manager);
    ~TVirtualImageThreadManager();
    TVirtualImageThreadManager(const TVirtualImageThreadManager&) = delete;
    TVirtualImageThreadManager& operator=(const TVirtualImageThreadManager&) = delete;

    // A control once registered counts once.
    void RegisterControl(HWND control);
    // Withdraws the control's requests; the last control stops the thread and waits for it.
    void UnRegisterControl(HWND control);
    bool ThreadRunning() const { return running_; }
    int ControlCount() const { return static_cast<int>(controls_.size()); }

    // Requests of a registered control (false for one that is not registered).
    bool AddNewItem(HWND control, PCItemIDList pidl, void* data,
                    std::uint32_t messageId = WM_ICONTHREADRESULT);
    bool InsertNewItem(HWND control, PCItemIDList pidl, void* data,
                       std::uint32_t messageId = WM_ICONTHREADRESULT);
    // Withdraws the control's queued requests and releases the results already posted to it. On the
    // control's thread: the posted results are taken from its message queue.
    void ClearPendingItems(HWND control, std::uint32_t messageId = WM_ICONTHREADRESULT);
    // A control releases each result it received, once it has read it.
    void ReleaseItem(TImageThreadItem* item);

    TImageRequestQueue& Queue() { return queue_; }

private:
    TImageRequestQueue queue_;
    std::unique_ptr<TShellImageThread> thread_;
    std::vector<HWND> controls_;
    bool running_ = false;
};

} // namespace tarvola
