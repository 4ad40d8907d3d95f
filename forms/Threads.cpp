#include "forms/Threads.h"

#include "forms/Application.h"
#include "forms/UtilityWindow.h"

#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace tarvola {

namespace {

constexpr UINT kRunQueued = WM_APP + 1;

// The actions waiting for the main thread, and the window that wakes it.
class TMainThreadQueue {
public:
    TMainThreadQueue()
        : threadId_(GetCurrentThreadId()),
          window_([this](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
              if (message != kRunQueued) {
                  return std::nullopt;
              }
              RunWaiting();
              return 0;
          }) {}

    bool OnMainThread() const { return GetCurrentThreadId() == threadId_; }

    void Post(std::function<void()> action) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            actions_.push_back(std::move(action));
        }
        PostMessageA(window_.Handle(), kRunQueued, 0, 0);
    }

private:
    void RunWaiting() {
        for (;;) {
            std::function<void()> action;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (actions_.empty()) {
                    return;
                }
                action = std::move(actions_.front());
                actions_.pop_front();
            }
            GuardCallback(action);
        }
    }

    DWORD threadId_;
    TUtilityWindow window_;
    std::mutex mutex_;
    std::deque<std::function<void()>> actions_;
};

std::unique_ptr<TMainThreadQueue>& MainQueue() {
    static std::unique_ptr<TMainThreadQueue> queue;
    return queue;
}

TMainThreadQueue& RequireMainQueue() {
    if (!MainQueue()) {
        throw std::logic_error("No main thread for the threads");
    }
    return *MainQueue();
}

} // namespace

void SetMainThread() {
    if (!MainQueue() || !MainQueue()->OnMainThread()) {
        MainQueue() = std::make_unique<TMainThreadQueue>();
    }
}

TThread::TThread() {
    if (!MainQueue()) {
        SetMainThread();
    }
}

TThread::~TThread() {
    *alive_ = false;
    if (handle_ != nullptr) {
        Terminate();
        WaitFor();
        CloseHandle(handle_);
    }
}

void TThread::Start() {
    if (handle_ != nullptr) {
        throw std::logic_error("The thread runs already");
    }
    DWORD id = 0;
    handle_ = CreateThread(nullptr, 0, &TThread::ThreadProc, this, 0, &id);
    if (handle_ == nullptr) {
        throw std::runtime_error("Cannot start a thread");
    }
}

int TThread::WaitFor() {
    if (handle_ != nullptr) {
        if (MainQueue() && MainQueue()->OnMainThread()) {
            // Keep handling messages: the thread may be waiting in Synchronize.
            while (MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_ALLINPUT) ==
                   WAIT_OBJECT_0 + 1) {
                Application().ProcessMessages();
            }
        } else {
            WaitForSingleObject(handle_, INFINITE);
        }
    }
    return returnValue_;
}

DWORD WINAPI TThread::ThreadProc(LPVOID self) {
    auto* thread = static_cast<TThread*>(self);
    try {
        thread->Execute();
    } catch (...) {
        thread->fatalException_ = std::current_exception();
    }
    try {
        thread->Finish();
    } catch (...) {
        // The main thread has gone: nobody is left to tell.
    }
    return static_cast<DWORD>(thread->returnValue_);
}

void TThread::Finish() {
    std::exception_ptr error = fatalException_;
    TNotifyEvent onTerminate = OnTerminate;
    finished_ = true;
    if (!error && !onTerminate) {
        return;
    }
    // Only copies cross over: the thread object may be gone when the main thread runs this.
    RequireMainQueue().Post([error, onTerminate, alive = alive_, this] {
        if (error) {
            Application().HandleException(error);
        }
        if (onTerminate && *alive) {
            onTerminate(*this);
        }
    });
}

void TThread::Synchronize(const std::function<void()>& action) {
    TMainThreadQueue& queue = RequireMainQueue();
    if (queue.OnMainThread()) {
        action();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    queue.Post([&action, done] {
        try {
            action();
            done->set_value();
        } catch (...) {
            done->set_exception(std::current_exception());
        }
    });
    finished.get();
}

void TThread::Queue(std::function<void()> action) {
    RequireMainQueue().Post(std::move(action));
}

} // namespace tarvola
