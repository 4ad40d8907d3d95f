#include "kernel/StatsWindowState.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tarvola {
namespace {

TEST(StatsCounts, TheTotalFollowsBothCounts) {
    TStatsCounts counts;
    EXPECT_EQ(counts.Total(), 2); // each channel starts with one record
    counts.SetLeft(5);
    counts.SetRight(3);
    EXPECT_EQ(counts.Left(), 5);
    EXPECT_EQ(counts.Right(), 3);
    EXPECT_EQ(counts.Total(), 8);
    counts.SetLeft(0);
    EXPECT_EQ(counts.Total(), 3);
    counts.SetLeft(1);
    EXPECT_THROW(counts.SetRight(std::numeric_limits<std::int32_t>::max()), OverflowError);
    EXPECT_EQ(counts.Right(), 3) << "a refused count changes nothing";
    EXPECT_EQ(counts.Total(), 4);
}

// A window on a simulated clock: the two timers fire at their times, the pointer is where the test puts it.
class SimulatedWindow : public TStealthHost {
public:
    SimulatedWindow() : stealth(*this) {}

    TScreenPoint CursorPos() override { return cursor; }
    TScreenBounds WindowBounds() override { return {100, 50, 243, 148}; }
    bool Showing() override { return showing; }
    void ShowQuietly() override {
        showing = true;
        ++shows;
    }
    void HideWindow() override { showing = false; }
    void StartMasterTimer(unsigned interval) override {
        masterInterval = interval;
        masterNext = now + static_cast<int>(interval);
    }
    void StopMasterTimer() override { masterNext.reset(); }
    void StartDelayTimer(unsigned interval) override {
        delayInterval = interval;
        delayNext = now + static_cast<int>(interval);
    }
    void StopDelayTimer() override { delayNext.reset(); }

    // Fires the timers due up to that time, in order.
    void RunUntil(int time) {
        for (;;) {
            const int master = masterNext.value_or(std::numeric_limits<int>::max());
            const int delay = delayNext.value_or(std::numeric_limits<int>::max());
            const int next = std::min(master, delay);
            if (next > time)
                break;
            now = next;
            if (delay <= master) {
                delayNext = now + static_cast<int>(delayInterval);
                stealth.DelayTick();
            } else {
                masterNext = now + static_cast<int>(masterInterval);
                stealth.MasterTick();
            }
        }
        now = time;
    }
    void PointerIn() { cursor = {150, 100}; }
    void PointerOnEdge() { cursor = {243, 148}; }
    void PointerOut() { cursor = {400, 300}; }

    TStatsStealth stealth;
    TScreenPoint cursor{400, 300};
    bool showing = true; // visible at creation
    int shows = 0;
    int now = 0;
    unsigned masterInterval = 0;
    unsigned delayInterval = 0;
    std::optional<int> masterNext;
    std::optional<int> delayNext;
};

enum class Act { In, Edge, Out, MenuOpen, MenuClosed };

struct Step {
    int at;
    Act act;
};

struct Check {
    int at;
    bool showing;
};

TEST(StatsStealth, HidesAfterTheDelayOnceThePointerHasBeenOverIt) {
    const struct {
        const char* name;
        std::vector<Step> steps;
        std::vector<Check> checks;
    } cases[] = {
        {"never entered: never hides", {}, {{5000, true}}},
        {"enter then leave: hidden 300 ms later",
         {{0, Act::In}, {200, Act::Out}},
         {{499, true}, {575, false}, {5000, false}}},
        {"the right and bottom edges count as inside",
         {{0, Act::Edge}, {200, Act::Out}},
         {{499, true}, {575, false}}},
        {"return within 300 ms: stays", {{0, Act::In}, {200, Act::Out}, {400, Act::In}}, {{5000, true}}},
        {"return after hiding: shows again",
         {{0, Act::In}, {200, Act::Out}, {1000, Act::In}},
         {{999, false}, {1075, true}}},
        {"menu open: never hides", {{0, Act::In}, {100, Act::MenuOpen}, {200, Act::Out}}, {{5000, true}}},
        {"menu open before the first entry: counts as entered",
         {{0, Act::MenuOpen}, {200, Act::MenuClosed}},
         {{499, true}, {575, false}}},
        {"menu closed again: hides",
         {{0, Act::In}, {100, Act::MenuOpen}, {200, Act::Out}, {1000, Act::MenuClosed}},
         {{1000, true}, {1375, false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedWindow window;
        window.stealth.Start();
        std::size_t step = 0;
        for (const Check& check : c.checks) {
            // Steps take effect at their time, before the checks due then or later.
            for (; step < c.steps.size() && c.steps[step].at <= check.at; ++step) {
                window.RunUntil(c.steps[step].at);
                switch (c.steps[step].act) {
                case Act::In:
                    window.PointerIn();
                    break;
                case Act::Edge:
                    window.PointerOnEdge();
                    break;
                case Act::Out:
                    window.PointerOut();
                    break;
                case Act::MenuOpen:
                    window.stealth.MenuLoop(true);
                    break;
                case Act::MenuClosed:
                    window.stealth.MenuLoop(false);
                    break;
                }
            }
            window.RunUntil(check.at);
            EXPECT_EQ(window.showing, check.showing) << "at " << check.at;
        }
    }
}

TEST(StatsStealth, ChildWindowsSwitchStealthOff) {
    SimulatedWindow window;
    window.stealth.Start();
    window.PointerIn();
    window.RunUntil(100);
    window.PointerOut();
    window.RunUntil(500);
    ASSERT_FALSE(window.showing);

    EXPECT_TRUE(window.stealth.ChildChanged(true));
    EXPECT_FALSE(window.stealth.Stealth());
    EXPECT_TRUE(window.showing) << "switching stealth shows a hidden window";
    EXPECT_FALSE(window.masterNext.has_value());
    window.RunUntil(5000);
    EXPECT_TRUE(window.showing);

    EXPECT_TRUE(window.stealth.ChildChanged(true));
    EXPECT_TRUE(window.stealth.ChildChanged(false));
    EXPECT_FALSE(window.stealth.Stealth()) << "one child is left";
    EXPECT_TRUE(window.stealth.ChildChanged(false));
    EXPECT_TRUE(window.stealth.Stealth());
    EXPECT_EQ(window.masterInterval, TStatsStealth::kRestartInterval);
    window.RunUntil(5400); // the pointer is still outside
    EXPECT_FALSE(window.showing);

    EXPECT_TRUE(window.stealth.ChildChanged(false)); // one we never saw come
    EXPECT_EQ(window.stealth.ChildCount(), 0);
    window.stealth.SetChildEvents(false);
    EXPECT_FALSE(window.stealth.ChildChanged(true));
    EXPECT_TRUE(window.stealth.Stealth());
}

TEST(StatsStealth, StealthOffStopsAPendingHide) {
    SimulatedWindow window;
    window.stealth.Start();
    window.PointerIn();
    window.RunUntil(100);
    window.PointerOut();
    window.RunUntil(200);
    ASSERT_TRUE(window.stealth.HidePending());
    window.stealth.SetStealth(false);
    EXPECT_FALSE(window.stealth.HidePending());
    EXPECT_FALSE(window.delayNext.has_value());
    window.RunUntil(5000);
    EXPECT_TRUE(window.showing);
}

TEST(StatsStealth, APendingHideTakesANewDelay) {
    SimulatedWindow window;
    window.stealth.Start();
    window.PointerIn();
    window.RunUntil(100);
    window.PointerOut();
    window.RunUntil(160); // the tick at 150 started the delay
    window.stealth.SetDelay(1000);
    window.RunUntil(1159);
    EXPECT_TRUE(window.showing);
    window.RunUntil(1160);
    EXPECT_FALSE(window.showing);
}

TEST(StatsStealth, ClosingStopsBothTimersForGood) {
    SimulatedWindow window;
    window.stealth.Start();
    window.PointerIn();
    window.RunUntil(100);
    window.PointerOut();
    window.RunUntil(200);
    window.stealth.Close();
    EXPECT_FALSE(window.masterNext.has_value());
    EXPECT_FALSE(window.delayNext.has_value());
    window.stealth.SetStealth(true);
    window.stealth.ChildChanged(false);
    EXPECT_FALSE(window.masterNext.has_value());
}

} // namespace
} // namespace tarvola
