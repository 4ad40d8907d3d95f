// The timed animation loop on a clock that moves only when asked: step sizes and counts, stopping early, the
// closing call, and the tree's animation state.
#include "tests/tree/TreeTestSupport.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

// Time passes only while waiting (to the wanted moment) and by a fixed cost per callback.
class FakeClock : public IAnimationClock {
public:
    std::uint32_t now = 0xFFFFFF00u; // close to wrapping
    std::uint32_t callbackCost = 0;
    bool terminating = false;
    std::uint32_t Now() override { return now; }
    void WaitUntil(std::uint32_t time) override {
        if (static_cast<std::int32_t>(time - now) > 0)
            now = time;
    }
    bool Terminating() const override { return terminating; }
};

struct Call {
    std::uint32_t step, size;
    bool operator==(const Call&) const = default;
};

std::vector<Call> RunLogged(std::uint32_t steps, std::uint32_t duration, FakeClock& clock,
                            int stopAfter = -1) {
    std::vector<Call> calls;
    RunAnimation(
        steps, duration,
        [&](std::uint32_t step, std::uint32_t size) {
            calls.push_back({step, size});
            clock.now += clock.callbackCost;
            return stopAfter < 0 || static_cast<int>(calls.size()) < stopAfter;
        },
        clock);
    return calls;
}

TEST(Animation, StepTable) {
    struct Case {
        const char* name;
        std::uint32_t steps, duration, cost;
        std::vector<Call> calls;
    };
    const std::vector<Case> cases = {
        {"fewer steps than milliseconds", 4, 200, 0, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {0, 0}}},
        // 600 rows in 200 ms: three rows a step, 200 steps.
        {"long slide", 600, 200, 0, {}},
        // Each step costs 30 ms of the 100: the time runs out after four steps.
        {"slow callback", 10, 100, 30, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {0, 0}}},
        {"no duration", 10, 0, 0, {}},
        {"no steps", 0, 200, 0, {{0, 0}}},
    };
    for (const Case& c : cases) {
        FakeClock clock;
        clock.callbackCost = c.cost;
        const std::vector<Call> calls = RunLogged(c.steps, c.duration, clock);
        if (std::string(c.name) == "long slide") {
            ASSERT_EQ(calls.size(), 201u) << c.name;
            EXPECT_EQ(calls[0], (Call{0, 3})) << c.name;
            EXPECT_EQ(calls[1], (Call{401, 3})) << c.name; // Steps less the steps left
            EXPECT_EQ(calls[199].size, 3u) << c.name;
            EXPECT_EQ(calls.back(), (Call{0, 0})) << c.name;
            continue;
        }
        EXPECT_EQ(calls, c.calls) << c.name;
    }
}

TEST(Animation, StepsGrowWhenTheTimeLeftCannotCarryThem) {
    // 100 steps in 50 ms: from the start half a millisecond a step, so the steps are merged.
    FakeClock clock;
    const std::vector<Call> calls = RunLogged(100, 50, clock);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].size, 2u);
    EXPECT_LE(calls.size(), 52u);
    EXPECT_EQ(calls.back(), (Call{0, 0}));
}

TEST(Animation, ACallbackThatAnswersFalseStopsTheLoopButGetsTheLastCall) {
    FakeClock clock;
    EXPECT_EQ(RunLogged(10, 100, clock, 2), (std::vector<Call>{{0, 1}, {1, 1}, {0, 0}}));
}

TEST(Animation, AnEndingProgramGetsNoFurtherCalls) {
    FakeClock clock;
    clock.terminating = true;
    EXPECT_EQ(RunLogged(10, 100, clock), std::vector<Call>{});
}

TEST(Animation, TheTreeRunsOneAnimationAtATimeAndLeavesItsStateOnAnError) {
    TBaseVirtualTree tree;
    FakeClock clock;
    tree.SetAnimationClock(&clock);
    int calls = 0, nested = 0;
    tree.Animate(3, 30, [&](std::uint32_t, std::uint32_t) {
        ++calls;
        EXPECT_TRUE(tree.InState(TreeState::tsInAnimation));
        tree.Animate(3, 30, [&](std::uint32_t, std::uint32_t) { return ++nested > 0; });
        return true;
    });
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(nested, 0);
    EXPECT_FALSE(tree.InState(TreeState::tsInAnimation));

    EXPECT_THROW(
        tree.Animate(3, 30, [](std::uint32_t, std::uint32_t) -> bool { throw std::runtime_error("x"); }),
        std::runtime_error);
    EXPECT_FALSE(tree.InState(TreeState::tsInAnimation));
    EXPECT_FALSE(tree.InState(TreeState::tsCancelHintAnimation));
    tree.SetAnimationClock(nullptr);
}

} // namespace
} // namespace tarvola::test
