// The form layer's hint machinery under Wine: a resting mouse asks the control, which may change the hint or
// refuse it; the layer's own window or the one the control names shows it; moving out of the cursor
// rectangle, leaving the control and closing messages hide it.
#include "tests/support/MessagePump.h"

#include "forms/Form.h"
#include "forms/Hints.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvola {
namespace {

// A window that names its own hint window class.
class ProbeHintWindow : public THintWindow {
public:
    static int made;
    ProbeHintWindow() { ++made; }
};
int ProbeHintWindow::made = 0;
constexpr char kProbeClass = 0;

// A control that hands its messages to a hint controller and answers the requests with changeable rules.
class HintProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::unique_ptr<THintController> hints;
    int pauseRequests = 0;
    int pause = 0;
    std::vector<THintInfo> requests;
    std::function<LRESULT(THintInfo&)> answer = [](THintInfo&) { return 0; };

    void Attach() {
        hints = std::make_unique<THintController>(Handle(), [] { return std::wstring(L"Short|Long text"); });
        hints->HintHidePause = 0;
    }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == CM_HINTSHOWPAUSE) {
            ++pauseRequests;
            *reinterpret_cast<int*>(lParam) = pause;
            return 0;
        }
        if (message == CM_HINTSHOW) {
            THintInfo& info = *reinterpret_cast<THintInfo*>(lParam);
            const LRESULT result = answer(info);
            requests.push_back(info);
            return result;
        }
        if (hints != nullptr)
            hints->MessagePassing(message, wParam, lParam);
        return TCustomControl::WndProc(message, wParam, lParam);
    }
};

struct HintsTest : ::testing::Test {
    TForm form{nullptr};
    HintProbe* probe = nullptr;
    HintsTest() {
        form.SetBounds(120, 120, 300, 200);
        probe = &form.Create<HintProbe>();
        probe->SetParent(&form);
        probe->SetBounds(10, 10, 120, 80);
        probe->Attach();
        // The real cursor stays away, so that no mouse move of its own reaches the probe.
        SetCursorPos(0, 0);
        form.Show();
        // Mouse moves still on their way from earlier cursor positions arrive now; what they started goes.
        test::PumpFor(std::chrono::milliseconds(100));
        probe->hints->CancelHint();
        probe->requests.clear();
    }
    THintController& Hints() { return *probe->hints; }
    TPoint Screen(TPoint client) {
        POINT p{client.X, client.Y};
        ClientToScreen(probe->Handle(), &p);
        return TPoint{p.x, p.y};
    }
};

TEST(Hints, ShortHint) {
    struct Case {
        std::wstring hint, expected;
    };
    for (const Case& c : std::vector<Case>{{L"", L""},
                                           {L"Open", L"Open"},
                                           {L"Open|Opens a file", L"Open"},
                                           {L"|Only long", L""},
                                           {L"a|b|c", L"a"}})
        EXPECT_TRUE(GetShortHint(c.hint) == c.expected) << std::string(c.hint.begin(), c.hint.end());
}

TEST_F(HintsTest, RestingMouseShowsTheLayersWindowWithTheControlsText) {
    const TPoint at{20, 30};
    const TPoint screen = Screen(at);
    SetCursorPos(screen.X, screen.Y);
    SendMessageW(probe->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(at.X, at.Y));
    EXPECT_GE(probe->pauseRequests, 1);
    ASSERT_TRUE(test::PumpUntil([&] { return Hints().HintShowing(); }));
    ASSERT_EQ(probe->requests.size(), 1u);
    const THintInfo& request = probe->requests.front();
    EXPECT_EQ(request.HintControl, probe->Handle());
    EXPECT_EQ(request.CursorPos.X, at.X);
    EXPECT_EQ(request.CursorPos.Y, at.Y);
    EXPECT_TRUE(request.HintStr == L"Short");
    EXPECT_EQ(request.CursorRect.Right, probe->ClientWidth());
    THintWindow* window = Hints().HintWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Caption() == L"Short");
    // The window starts at the hint position, below the cursor.
    const TRect bounds = window->BoundsRect();
    EXPECT_EQ(bounds.Left, request.HintPos.X);
    EXPECT_EQ(bounds.Top, request.HintPos.Y);
    EXPECT_GT(bounds.Top, screen.Y);
    EXPECT_EQ(THintController::Active(), &Hints());
}

TEST_F(HintsTest, ControlDecidesWhatShows) {
    struct Case {
        const char* name;
        std::function<LRESULT(THintInfo&)> answer;
        bool shows;
        std::wstring caption;
    };
    const std::vector<Case> cases = {
        {"refused", [](THintInfo&) { return 1; }, false, L""},
        {"empty text",
         [](THintInfo& info) {
             info.HintStr.clear();
             return 0;
         },
         false, L""},
        {"changed text",
         [](THintInfo& info) {
             info.HintStr = L"Changed";
             return 0;
         },
         true, L"Changed"},
    };
    for (const Case& c : cases) {
        Hints().CancelHint();
        probe->answer = c.answer;
        Hints().ActivateHintAt(TPoint{20, 30});
        EXPECT_EQ(Hints().HintShowing(), c.shows) << c.name;
        if (c.shows) {
            EXPECT_TRUE(Hints().HintWindow()->Caption() == c.caption) << c.name;
        }
    }
}

TEST_F(HintsTest, NamedWindowClassIsMadeOnceAndReused) {
    ProbeHintWindow::made = 0;
    probe->answer = [](THintInfo& info) {
        info.HintWindowClass = {&kProbeClass,
                                [] { return std::unique_ptr<THintWindow>(new ProbeHintWindow); }};
        return 0;
    };
    Hints().ActivateHintAt(TPoint{20, 30});
    ASSERT_TRUE(Hints().HintShowing());
    THintWindow* first = Hints().HintWindow();
    EXPECT_NE(dynamic_cast<ProbeHintWindow*>(first), nullptr);
    Hints().ActivateHintAt(TPoint{25, 30});
    EXPECT_EQ(Hints().HintWindow(), first);
    EXPECT_EQ(ProbeHintWindow::made, 1);
    // A request that names no class gets the layer's own window again.
    probe->answer = [](THintInfo&) { return 0; };
    Hints().ActivateHintAt(TPoint{25, 30});
    EXPECT_EQ(dynamic_cast<ProbeHintWindow*>(Hints().HintWindow()), nullptr);
}

TEST_F(HintsTest, HintHides) {
    struct Case {
        const char* name;
        std::function<void(THintController&)> act;
        bool stays;
    };
    const std::vector<Case> cases = {
        {"mouse moves inside the cursor rectangle",
         [](THintController& h) { h.MessagePassing(WM_MOUSEMOVE, 0, MAKELPARAM(30, 32)); }, true},
        {"mouse moves out of the cursor rectangle",
         [](THintController& h) { h.MessagePassing(WM_MOUSEMOVE, 0, MAKELPARAM(80, 32)); }, false},
        {"mouse leaves the control", [](THintController& h) { h.MessagePassing(WM_MOUSELEAVE, 0, 0); },
         false},
        {"a key", [](THintController& h) { h.MessagePassing(WM_KEYDOWN, 'A', 0); }, false},
        {"a click", [](THintController& h) { h.MessagePassing(WM_LBUTTONDOWN, 0, MAKELPARAM(30, 32)); },
         false},
        {"a click in another window of the loop",
         [&](THintController&) {
             MSG message{};
             message.hwnd = form.Handle();
             message.message = WM_RBUTTONDOWN;
             HintLoopMessage(message);
         },
         false},
        {"a paint message in the loop",
         [&](THintController&) {
             MSG message{};
             message.hwnd = form.Handle();
             message.message = WM_PAINT;
             HintLoopMessage(message);
         },
         true},
        {"cancelled", [](THintController& h) { h.CancelHint(); }, false},
    };
    probe->answer = [](THintInfo& info) {
        info.CursorRect = TRect{0, 0, 60, 60};
        return 0;
    };
    for (const Case& c : cases) {
        Hints().ActivateHintAt(TPoint{20, 30});
        ASSERT_TRUE(Hints().HintShowing()) << c.name;
        c.act(Hints());
        EXPECT_EQ(Hints().HintShowing(), c.stays) << c.name;
        EXPECT_EQ(THintController::Active() == &Hints(), c.stays) << c.name;
    }
}

TEST_F(HintsTest, ControllerGoneBeforeTheMouseRestedShowsNothing) {
    SendMessageW(probe->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 30));
    probe->hints.reset();
    // The mouse-rest timer goes with its controller: no request follows.
    test::PumpFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(probe->requests.empty());
}

} // namespace
} // namespace tarvola
