#include <windows.h>

#include "audio/HiTimer.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tarvola {
namespace {

// A multimedia timer whose answers the test chooses; it never ticks by itself: the test posts the ticks.
struct ScriptedTimer {
    struct Start {
        std::uint32_t Delay;
        std::uint32_t Resolution;
        std::uintptr_t Window;
    };

    TimerCaps Caps{1, 65535};
    std::uint32_t NextId = 100; // 0: no timer can be made
    std::vector<Start> Starts;
    std::vector<std::uint32_t> Killed;
    std::vector<std::uint32_t> BegunPeriods;
    std::vector<std::uint32_t> EndedPeriods;

    PeriodicTimerApi Api() {
        PeriodicTimerApi api;
        api.GetDevCaps = [this](TimerCaps& caps) {
            caps = Caps;
            return MMNoError;
        };
        api.BeginPeriod = [this](std::uint32_t period) {
            BegunPeriods.push_back(period);
            return MMNoError;
        };
        api.EndPeriod = [this](std::uint32_t period) {
            EndedPeriods.push_back(period);
            return MMNoError;
        };
        api.SetEvent = [this](std::uint32_t delay, std::uint32_t resolution, std::uintptr_t window) {
            Starts.push_back({delay, resolution, window});
            return NextId == 0 ? 0 : NextId++;
        };
        api.KillEvent = [this](std::uint32_t id) {
            Killed.push_back(id);
            return MMNoError;
        };
        return api;
    }
};

using test::PumpPending;

bool PumpUntil(const std::function<bool()>& done) {
    return test::PumpUntil(done, std::chrono::seconds(20));
}

void PostTick(const TobjHiTimer& timer, std::uintptr_t id) {
    ASSERT_TRUE(PostMessageA(timer.Window(), WM_TIMER, static_cast<WPARAM>(id), 0));
}

class HiTimerTest : public testing::Test {
protected:
    void SetUp() override { PumpPending(); }

    // A timer counting its ticks, enabled with a 100 ms interval.
    std::unique_ptr<TobjHiTimer> MakeCountingTimer() {
        auto timer = std::make_unique<TobjHiTimer>(Script.Api());
        timer->SetInterval(100);
        timer->SetOnTimer([this](TobjHiTimer&) {
            ++Ticks;
            if (OnTick)
                OnTick();
        });
        timer->SetEnabled(true);
        return timer;
    }

    ScriptedTimer Script;
    int Ticks = 0;
    std::function<void()> OnTick;
};

TEST_F(HiTimerTest, IntervalOutsideTheDevicePeriodsBecomesOneSecond) {
    Script.Caps = {10, 50000};
    struct Case {
        std::uint16_t Given;
        std::uint16_t Stored;
    };
    const Case cases[] = {{100, 100},     {0, 1000},     {9, 1000},    {10, 10},
                          {50000, 50000}, {50001, 1000}, {65535, 1000}};
    TobjHiTimer timer(Script.Api());
    EXPECT_EQ(timer.Interval(), 1000);
    for (const Case& c : cases) {
        timer.SetInterval(c.Given);
        EXPECT_EQ(timer.Interval(), c.Stored) << c.Given;
    }
}

TEST_F(HiTimerTest, AsksForTheFinestPeriodWhileItLives) {
    Script.Caps = {3, 1000};
    {
        TobjHiTimer timer(Script.Api());
        EXPECT_EQ(timer.PeriodMin(), 3u);
        EXPECT_EQ(timer.PeriodMax(), 1000u);
        EXPECT_FALSE(timer.Enabled());
        EXPECT_EQ(Script.BegunPeriods, std::vector<std::uint32_t>{3});
        EXPECT_TRUE(Script.EndedPeriods.empty());
    }
    EXPECT_EQ(Script.EndedPeriods, std::vector<std::uint32_t>{3});
}

TEST_F(HiTimerTest, RunsOnlyWhenEnabledWithAHandler) {
    TobjHiTimer timer(Script.Api());
    timer.SetInterval(100);
    timer.SetEnabled(true);
    EXPECT_TRUE(Script.Starts.empty()) << "no handler, no timer";
    EXPECT_EQ(timer.TimerID(), 0u);

    timer.SetOnTimer([](TobjHiTimer&) {});
    ASSERT_EQ(Script.Starts.size(), 1u);
    EXPECT_EQ(Script.Starts[0].Delay, 100u);
    EXPECT_EQ(Script.Starts[0].Resolution, 100u);
    EXPECT_EQ(Script.Starts[0].Window, reinterpret_cast<std::uintptr_t>(timer.Window()));
    EXPECT_EQ(timer.TimerID(), 100u);

    timer.SetEnabled(false);
    EXPECT_EQ(Script.Killed, std::vector<std::uint32_t>{100});
    EXPECT_EQ(timer.TimerID(), 0u);

    timer.SetEnabled(true);
    timer.SetInterval(250); // a new interval makes a new timer
    EXPECT_EQ(Script.Killed, (std::vector<std::uint32_t>{100, 101}));
    EXPECT_EQ(Script.Starts.back().Delay, 250u);
    EXPECT_EQ(timer.TimerID(), 102u);
}

TEST_F(HiTimerTest, DestructionKillsTheRunningTimer) {
    auto timer = MakeCountingTimer();
    const std::uint32_t id = timer->TimerID();
    timer.reset();
    EXPECT_EQ(Script.Killed, std::vector<std::uint32_t>{id});
}

TEST_F(HiTimerTest, TicksOfTheRunningTimerCallTheHandlerOnTheGuiThread) {
    auto timer = MakeCountingTimer();
    const DWORD guiThread = GetCurrentThreadId();
    DWORD tickThread = 0;
    OnTick = [&] { tickThread = GetCurrentThreadId(); };
    // Ticks come from the platform's timer thread.
    const std::uint32_t id = timer->TimerID();
    ASSERT_EQ(id, 100u);
    std::thread platformThread([window = timer->Window(), id] { PostMessageA(window, WM_TIMER, id, 0); });
    EXPECT_TRUE(PumpUntil([&] { return Ticks == 1; }));
    platformThread.join();
    EXPECT_EQ(tickThread, guiThread);
}

TEST_F(HiTimerTest, IgnoresTicksThatAreNotTheRunningTimers) {
    auto timer = MakeCountingTimer();
    const std::uint32_t oldId = timer->TimerID();

    PostTick(*timer, 0);
    PostTick(*timer, oldId + 7);
    PumpPending();
    EXPECT_EQ(Ticks, 0) << "foreign ids";

    // A tick already queued when the timer stops is not counted (no drift of one tick per pause).
    PostTick(*timer, oldId);
    timer->SetEnabled(false);
    PumpPending();
    EXPECT_EQ(Ticks, 0) << "queued before disabling";

    // Nor is it once a new timer runs.
    PostTick(*timer, oldId);
    timer->SetEnabled(true);
    ASSERT_NE(timer->TimerID(), oldId);
    PumpPending();
    EXPECT_EQ(Ticks, 0) << "tick of the previous timer";

    PostTick(*timer, timer->TimerID());
    PumpPending();
    EXPECT_EQ(Ticks, 1);
}

TEST_F(HiTimerTest, HandlerThatPumpsMessagesIsNotReentered) {
    auto timer = MakeCountingTimer();
    int nestedTicksSeen = 0;
    OnTick = [&] {
        if (Ticks > 1)
            return;
        EXPECT_TRUE(timer->InTimer());
        PostTick(*timer, timer->TimerID());
        PumpPending(); // as a message box would
        nestedTicksSeen = Ticks - 1;
    };
    PostTick(*timer, timer->TimerID());
    PumpPending();
    EXPECT_EQ(nestedTicksSeen, 0);
    EXPECT_FALSE(timer->InTimer());

    PostTick(*timer, timer->TimerID());
    PumpPending();
    EXPECT_EQ(Ticks, 2);
}

TEST_F(HiTimerTest, HandlerErrorsAreReportedAndLaterTicksStillRun) {
    struct Case {
        const char* Name;
        std::function<void()> Throw;
        std::string Reported;
    };
    const Case cases[] = {
        {"std exception", [] { throw std::runtime_error("Tick failed."); }, "Tick failed."},
        {"other exception", [] { throw 42; }, "(not a std::exception)"},
    };
    for (const Case& c : cases) {
        Ticks = 0;
        std::vector<std::string> reported;
        bool inTimerWhileReporting = false;
        auto timer = MakeCountingTimer();
        timer->SetExceptionHandler([&](std::exception_ptr error) {
            inTimerWhileReporting = timer->InTimer();
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                reported.push_back(e.what());
            } catch (...) {
                reported.push_back("(not a std::exception)");
            }
        });
        OnTick = [&] {
            if (Ticks == 1)
                c.Throw();
        };
        PostTick(*timer, timer->TimerID());
        PumpPending();
        EXPECT_EQ(reported, std::vector<std::string>{c.Reported}) << c.Name;
        EXPECT_TRUE(inTimerWhileReporting) << c.Name;
        EXPECT_FALSE(timer->InTimer()) << c.Name;

        PostTick(*timer, timer->TimerID());
        PumpPending();
        EXPECT_EQ(Ticks, 2) << c.Name;
    }
}

TEST_F(HiTimerTest, FailingExceptionHandlerDoesNotEscapeTheWindow) {
    auto timer = MakeCountingTimer();
    timer->SetExceptionHandler([](std::exception_ptr) { throw std::logic_error("handler failed too"); });
    OnTick = [] { throw std::runtime_error("Tick failed."); };
    PostTick(*timer, timer->TimerID());
    PumpPending();
    EXPECT_EQ(Ticks, 1);
    EXPECT_FALSE(timer->InTimer());
}

TEST_F(HiTimerTest, WindowTimerStandsInWhenNoMultimediaTimerCanBeMade) {
    Script.NextId = 0;
    auto timer = MakeCountingTimer();
    ASSERT_EQ(Script.Starts.size(), 1u);
    const std::uint32_t id = timer->TimerID();
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(PumpUntil([&] { return Ticks >= 2; })) << "the window timer ticks";

    timer->SetEnabled(false);
    EXPECT_TRUE(Script.Killed.empty()) << "no multimedia timer to kill";
    EXPECT_EQ(timer->TimerID(), 0u);
    const int ticksWhenDisabled = Ticks;
    PostTick(*timer, id);
    PumpPending();
    EXPECT_EQ(Ticks, ticksWhenDisabled);
}

} // namespace
} // namespace tarvola
