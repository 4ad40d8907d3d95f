// Worker threads. Execute runs on the new thread; what it throws is kept in FatalException and shown by the
// application on the main thread. Synchronize and Queue run code on the main thread (the thread that made the
// first TThread), where the forms live.
#pragma once

#include "forms/Events.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>

namespace tarvola {

class TThread : public TObject {
public:
    TThread();
    // Asks the thread to end and waits for it.
    virtual ~TThread();

    // Starts Execute on a new thread (once).
    void Start();
    // Sets Terminated; Execute is expected to look at it and return.
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // Waits until Execute has returned; gives ReturnValue.
    int WaitFor();
    bool Finished() const { return finished_; }
    HANDLE Handle() const { return handle_; }
    int ReturnValue() const { return returnValue_; }
    std::exception_ptr FatalException() const { return fatalException_; }

    // Runs on the main thread after Execute has returned (not when the thread object has gone by then).
    TNotifyEvent OnTerminate;

    // Runs the action on the main thread and waits for it (directly when called there).
    static void Synchronize(const std::function<void()>& action);
    // Runs the action on the main thread later, without waiting.
    static void Queue(std::function<void()> action);

protected:
    virtual void Execute() = 0;
    void SetReturnValue(int value) { returnValue_ = value; }

private:
    static DWORD WINAPI ThreadProc(LPVOID self);
    void Finish();

    HANDLE handle_ = nullptr;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    int returnValue_ = 0;
    std::exception_ptr fatalException_;
    // Cleared when the object goes, so that a late OnTerminate does not reach it.
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
};

// Makes the calling thread the main thread of TThread::Synchronize and Queue (done by the first TThread if
// nobody did it before).
void SetMainThread();

} // namespace tarvola
