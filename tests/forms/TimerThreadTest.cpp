// Timers, utility windows and threads: their callbacks run on the main thread, and what they throw is shown
// while the program goes on.
#include "forms/Threads.h"
#include "forms/Timer.h"
#include "forms/UtilityWindow.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace tarvola {
namespace {

using namespace std::chrono_literals;

TEST(Timer, TicksWhileEnabledAndGoesOnAfterAnError) {
    test::TScriptedPrompts prompts;
    TComponent owner(nullptr);
    auto& timer = owner.Create<TTimer>();
    int ticks = 0;
    timer.OnTimer = [&](TObject&) {
        ++ticks;
        if (ticks == 1) {
            throw std::runtime_error("Tick failed");
        }
    };
    timer.SetInterval(20);
    ASSERT_TRUE(test::PumpUntil([&] { return ticks >= 3; }, 3s));
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].text, "Tick failed");
    timer.SetEnabled(false);
    test::PumpPending();
    const int stopped = ticks;
    test::PumpFor(100ms);
    EXPECT_EQ(ticks, stopped);
}

TEST(UtilityWindow, MessagesPostedFromAnotherThreadReachTheHandlerOnThisOne) {
    const DWORD mainThread = GetCurrentThreadId();
    DWORD handledOn = 0;
    WPARAM received = 0;
    TUtilityWindow window([&](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_APP + 7) {
            return std::nullopt;
        }
        handledOn = GetCurrentThreadId();
        received = wParam;
        return 0;
    });
    HWND target = window.Handle();
    std::thread poster([target] { PostMessageA(target, WM_APP + 7, 42, 0); });
    poster.join();
    ASSERT_TRUE(test::PumpUntil([&] { return received == 42; }, 2s));
    EXPECT_EQ(handledOn, mainThread);
}

class TWorker : public TThread {
public:
    explicit TWorker(bool fail) : fail_(fail) {}
    DWORD synchronizedOn = 0;
    int steps = 0;

protected:
    void Execute() override {
        while (!Terminated() && steps < 3) {
            ++steps;
        }
        Synchronize([this] { synchronizedOn = GetCurrentThreadId(); });
        if (fail_) {
            throw std::runtime_error("Worker failed");
        }
        SetReturnValue(7);
    }

private:
    bool fail_;
};

TEST(Thread, RunsSynchronizesAndReportsItsEnd) {
    SetMainThread();
    test::TScriptedPrompts prompts;
    TWorker worker(false);
    bool terminated = false;
    worker.OnTerminate = [&](TObject&) { terminated = true; };
    worker.Start();
    EXPECT_EQ(worker.WaitFor(), 7);
    EXPECT_EQ(worker.synchronizedOn, GetCurrentThreadId());
    EXPECT_EQ(worker.steps, 3);
    ASSERT_TRUE(test::PumpUntil([&] { return terminated; }, 2s));
    EXPECT_TRUE(prompts.Messages.empty());
}

TEST(Thread, AnErrorOfExecuteIsShownOnTheMainThread) {
    SetMainThread();
    test::TScriptedPrompts prompts;
    TWorker worker(true);
    worker.Start();
    worker.WaitFor();
    EXPECT_TRUE(worker.FatalException() != nullptr);
    ASSERT_TRUE(test::PumpUntil([&] { return !prompts.Messages.empty(); }, 2s));
    EXPECT_EQ(prompts.Messages[0].text, "Worker failed");
}

} // namespace
} // namespace tarvola
