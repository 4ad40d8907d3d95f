// The tree's hint window under Wine: a cut-off cell's tooltip lies exactly over the cell's text, a newer
// hint takes over from a fading one, and a tree closed in the middle of its hint animation is left alone.
#include "tests/support/MessagePump.h"

#include "forms/Form.h"
#include "tree/HintWindow.h"
#include "tree/HintWindowRules.h"
#include "tree/TreeControl.h"
#include "tree/TreeProperties.h"
#include "tree/TreeResources.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <vector>

namespace tarvola {
namespace {

// Every step of every animation of a tree, and a hook that runs before each step is handed on.
struct AnimationLog {
    struct Entry {
        int animation;
        std::uint32_t step, size;
        bool go;
    };
    std::vector<Entry> entries;
    int started = 0;
    // animation number and how many of its steps came before this one
    std::function<void(int animation, int calls)> beforeStep;
};

class LoggingTree : public TBaseVirtualTree {
public:
    LoggingTree(ITreeViewHost* host, std::shared_ptr<AnimationLog> log) : TBaseVirtualTree(host), log_(log) {}
    void Animate(std::uint32_t steps, std::uint32_t duration, const TAnimationCallback& callback) override {
        // Only the log is touched after a step: the step may close the tree.
        const std::shared_ptr<AnimationLog> log = log_;
        const int animation = ++log->started;
        auto calls = std::make_shared<int>(0);
        TBaseVirtualTree::Animate(steps, duration,
                                  [log, animation, calls, &callback](std::uint32_t step, std::uint32_t size) {
                                      if (log->beforeStep)
                                          log->beforeStep(animation, (*calls)++);
                                      const bool go = callback(step, size);
                                      log->entries.push_back({animation, step, size, go});
                                      return go;
                                  });
    }

private:
    std::shared_ptr<AnimationLog> log_;
};

struct TreeHintWindowTest : ::testing::Test {
    std::shared_ptr<AnimationLog> log = std::make_shared<AnimationLog>();
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TVirtualTreeControl* control = nullptr;
    bool mmx = MMXAvailable();

    TreeHintWindowTest() {
        EXPECT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        form->SetBounds(100, 100, 400, 300);
        control = &form->Create<TVirtualTreeControl>(
            [this](ITreeViewHost* host) { return std::make_unique<LoggingTree>(host, log); });
        control->SetParent(form.get());
        control->SetBounds(10, 10, 200, 120);
        control->SetShowHint(true);
        control->SetHint("Tree hint");
        TBaseVirtualTree& tree = control->Tree();
        tree.SetRootNodeCount(5);
        // Every row's text runs on beyond the client area: each cell is cut off.
        tree.RangeWidth = 600;
        tree.Properties().HintMode = TVTHintMode::hmTooltip;
        // The real cursor stays away, so that no mouse move of its own reaches the tree.
        SetCursorPos(0, 0);
        form->Show();
        // Mouse moves still on their way from earlier cursor positions arrive now; what they started goes.
        test::PumpFor(std::chrono::milliseconds(100));
        if (THintController* hints = control->HintController())
            hints->CancelHint();
        tree.LastHintRect = {};
    }
    ~TreeHintWindowTest() override {
        SetMMXAvailable(mmx);
        form.reset();
        OleUninitialize();
    }

    PVirtualNode Row(int index) {
        PVirtualNode node = control->Tree().GetFirst();
        for (int i = 0; i < index; ++i)
            node = control->Tree().GetNext(node);
        return node;
    }
    // The screen rectangle of a row's text, one pixel larger on every side.
    RECT FramedText(PVirtualNode node) {
        const TTreeRect text = control->Tree().GetDisplayRect(node, NoColumn, true, true);
        POINT topLeft{text.Left, text.Top};
        ClientToScreen(control->Handle(), &topLeft);
        return RECT{topLeft.x - 1, topLeft.y - 1, topLeft.x + text.Right - text.Left + 1,
                    topLeft.y + text.Bottom - text.Top + 1};
    }
    // A point on a row's text.
    TPoint OnText(int index) {
        const TTreeRect text = control->Tree().GetDisplayRect(Row(index), NoColumn, true, true);
        return TPoint{text.Left + 8, (text.Top + text.Bottom) / 2};
    }
    // The mouse (the cursor itself too, so that the window sees no move away) comes to rest on a row's text.
    void RestOnText(int index) {
        const TPoint point = OnText(index);
        POINT screen{point.X, point.Y};
        ClientToScreen(control->Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        Hints().ActivateHintAt(point);
    }
    THintController& Hints() {
        THintController* hints = control->HintController();
        EXPECT_NE(hints, nullptr);
        hints->HintHidePause = 0;
        return *hints;
    }
    TVirtualTreeHintWindow* TreeHintWindow() {
        return dynamic_cast<TVirtualTreeHintWindow*>(control->HintController()->HintWindow());
    }
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(TreeHintWindowTest, CutOffCellShowsTheTreeHintWindowOverItsText) {
    SetMMXAvailable(false); // no shadow: the window is exactly the framed text
    control->Tree().Properties().HintAnimation = THintAnimationType::hatNone;
    ASSERT_NE(GetActiveWindow(), nullptr);
    // The mouse comes to rest on the second row's text.
    const TPoint point = OnText(1);
    // The cursor itself is there too, so that the window does not report the mouse as gone.
    POINT screen{point.X, point.Y};
    ClientToScreen(control->Handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(control->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(point.X, point.Y));
    ASSERT_TRUE(test::PumpUntil([&] { return control->HintController()->HintShowing(); }));
    TVirtualTreeHintWindow* window = TreeHintWindow();
    ASSERT_NE(window, nullptr);
    RECT bounds{};
    GetWindowRect(window->Handle(), &bounds);
    EXPECT_TRUE(SameRect(bounds, FramedText(Row(1))));
    EXPECT_EQ(GetWindowLongW(window->Handle(), GWL_STYLE) & (WS_POPUP | WS_BORDER), WS_POPUP);
    EXPECT_TRUE(window->HintText() == L"Tree hint");
    EXPECT_TRUE(control->Tree().InState(TreeState::tsHint));

    // A key passes: a tree hint stays. A click closes it.
    control->HintController()->MessagePassing(WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(control->HintController()->HintShowing());
    control->HintController()->MessagePassing(WM_LBUTTONDOWN, 0, MAKELPARAM(point.X, point.Y));
    EXPECT_FALSE(control->HintController()->HintShowing());
    // Hidden, the window forgets its data; resting on the same text shows nothing until the mouse leaves.
    EXPECT_EQ(window->HintTree(), nullptr);
    Hints().ActivateHintAt(point);
    EXPECT_FALSE(control->HintController()->HintShowing());
    SendMessageW(control->Handle(), WM_MOUSELEAVE, 0, 0);
    Hints().ActivateHintAt(point);
    EXPECT_TRUE(control->HintController()->HintShowing());
}

TEST_F(TreeHintWindowTest, DefaultModeShowsTheShortHintInTheLayersOwnWindow) {
    control->SetHint("Short|Long explanation");
    control->Tree().Properties().HintMode = TVTHintMode::hmDefault;
    ASSERT_NE(GetActiveWindow(), nullptr);
    RestOnText(1);
    ASSERT_TRUE(control->HintController()->HintShowing());
    THintWindow* window = control->HintController()->HintWindow();
    EXPECT_EQ(dynamic_cast<TVirtualTreeHintWindow*>(window), nullptr);
    EXPECT_TRUE(window->Caption() == L"Short");
    // Only the tree's own window marks an area: the same place may show the hint again.
    EXPECT_TRUE(control->Tree().LastHintRect.Empty());
}

TEST_F(TreeHintWindowTest, NewerHintDuringAFadeEndsTheOlderAnimationAtItsNextStep) {
    SetMMXAvailable(true);
    TBaseVirtualTree& tree = control->Tree();
    tree.Properties().HintAnimation = THintAnimationType::hatFade;
    tree.Properties().SetAnimationDuration(100);
    ASSERT_NE(GetActiveWindow(), nullptr);
    std::size_t olderStepsBeforeTakeOver = 0;
    log->beforeStep = [&](int animation, int calls) {
        if (animation == 1 && calls == 2) {
            olderStepsBeforeTakeOver = log->entries.size();
            RestOnText(3);
        }
    };
    RestOnText(1);

    ASSERT_EQ(log->started, 2);
    // The newer animation ran to its closing call; the older one then stopped at its next step.
    std::vector<AnimationLog::Entry> newer, olderAfter;
    for (std::size_t i = 0; i < log->entries.size(); ++i) {
        const AnimationLog::Entry& e = log->entries[i];
        if (e.animation == 2)
            newer.push_back(e);
        else if (i >= olderStepsBeforeTakeOver)
            olderAfter.push_back(e);
    }
    ASSERT_FALSE(newer.empty());
    EXPECT_GT(newer.size(), 2u);
    EXPECT_EQ(newer.back().size, 0u);
    EXPECT_TRUE(newer.back().go);
    ASSERT_FALSE(olderAfter.empty());
    // The step during which the newer hint came is refused, and so is the closing call.
    ASSERT_EQ(olderAfter.size(), 2u);
    EXPECT_FALSE(olderAfter[0].go);
    EXPECT_FALSE(olderAfter[1].go);
    EXPECT_EQ(olderAfter[1].size, 0u);
    EXPECT_FALSE(tree.InState(TreeState::tsInAnimation));
    EXPECT_FALSE(tree.InState(TreeState::tsCancelHintAnimation));
    TVirtualTreeHintWindow* window = TreeHintWindow();
    ASSERT_NE(window, nullptr);
    RECT bounds{};
    GetWindowRect(window->Handle(), &bounds);
    RECT expected = FramedText(Row(3));
    expected.right += HintShadowSize;
    expected.bottom += HintShadowSize;
    EXPECT_TRUE(SameRect(bounds, expected));
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
}

TEST_F(TreeHintWindowTest, TreeClosedDuringItsHintAnimationIsLeftAlone) {
    SetMMXAvailable(true);
    control->Tree().Properties().HintAnimation = THintAnimationType::hatSlide;
    control->Tree().Properties().SetAnimationDuration(100);
    ASSERT_NE(GetActiveWindow(), nullptr);
    std::size_t stepsWhenClosed = 0;
    log->beforeStep = [&](int, int calls) {
        if (calls == 2 && form != nullptr) {
            stepsWhenClosed = log->entries.size();
            form.reset(); // a handled message closed the tree's form
            control = nullptr;
        }
    };
    RestOnText(2);
    EXPECT_EQ(form, nullptr);
    // The step that closed the tree still got its answer (stop); nothing ran after it.
    ASSERT_EQ(log->entries.size(), stepsWhenClosed + 1);
    EXPECT_FALSE(log->entries.back().go);
    EXPECT_TRUE(HintWindowDestroyed());
    test::PumpPending();
}

} // namespace
} // namespace tarvola
