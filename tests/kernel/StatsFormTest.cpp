#include "forms/Form.h"
#include "kernel/StatsForm.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

namespace tarvola {
namespace {

using namespace std::chrono_literals;

// The designer's place: a shown, active owner window, and the pointer away from everything.
class StatsWindow : public testing::Test {
protected:
    void SetUp() override {
        owner_.SetBounds(200, 150, 600, 400);
        owner_.SetCaption("Designer");
        owner_.Show();
        PointerAt(900, 700);
        test::PumpPending();
    }

    static void PointerAt(int x, int y) { SetCursorPos(x, y); }
    static void PointerOver(const TForm& form) {
        PointerAt(form.Left() + form.Width() / 2, form.Top() + form.Height() / 2);
    }

    TForm owner_{nullptr};
};

TEST_F(StatsWindow, ShowsTheCountsOnTopBesideTheDesignerWithoutTakingTheKeyboard) {
    TobjStatsForm stats(&owner_);
    test::PumpFor(100ms);
    EXPECT_EQ(stats.Caption(), "Kernel Statistics");
    EXPECT_EQ(stats.ClientWidth(), 143);
    EXPECT_EQ(stats.ClientHeight(), 98);
    EXPECT_EQ(stats.Left(), 300);
    EXPECT_EQ(stats.Top(), 100);
    const LONG_PTR exStyle = GetWindowLongPtrA(stats.Handle(), GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_EQ(GetWindowLongPtrA(stats.Handle(), GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_TRUE(IsWindowVisible(stats.Handle()));
    EXPECT_EQ(GetActiveWindow(), owner_.Handle());
    EXPECT_EQ(stats.Delay(), 300u);

    EXPECT_EQ(stats.Lbl_NmbrLeft->Caption(), "1");
    EXPECT_EQ(stats.Lbl_NmbrRight->Caption(), "1");
    EXPECT_EQ(stats.Lbl_TotalNmbr->Caption(), "2");
    stats.SetNmbrLeft(5);
    stats.SetNmbrRight(3);
    EXPECT_EQ(stats.Lbl_NmbrLeft->Caption(), "5");
    EXPECT_EQ(stats.Lbl_NmbrRight->Caption(), "3");
    EXPECT_EQ(stats.Lbl_TotalNmbr->Caption(), "8");
}

TEST_F(StatsWindow, OnlyRealChildWindowsSwitchStealthOff) {
    TobjStatsForm stats(&owner_);
    std::vector<bool> events;
    stats.OnChild = [&](TObject&, bool childExtant) { events.push_back(childExtant); };
    test::PumpFor(100ms);
    EXPECT_TRUE(stats.Stealth()) << "the window's own labels are no children";
    EXPECT_EQ(stats.ChildCount(), 0);
    EXPECT_TRUE(stats.MasterTimer->Enabled());

    HWND child = CreateWindowExA(0, "STATIC", "child", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, stats.Handle(),
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_FALSE(stats.Stealth());
    EXPECT_FALSE(stats.MasterTimer->Enabled());
    DestroyWindow(child);
    EXPECT_TRUE(stats.Stealth());
    EXPECT_TRUE(stats.MasterTimer->Enabled());
    EXPECT_EQ(events, (std::vector<bool>{true, false}));
}

TEST_F(StatsWindow, HidesWhenThePointerLeavesAndShowsQuietlyWhenItComesBack) {
    TobjStatsForm stats(&owner_);
    test::PumpFor(300ms);
    EXPECT_TRUE(stats.Visible()) << "never entered: never hides";
    EXPECT_TRUE(stats.NotYetEntered());

    PointerOver(stats);
    ASSERT_TRUE(test::PumpUntil([&] { return !stats.NotYetEntered(); }, 2s));
    PointerAt(900, 700);
    ASSERT_TRUE(test::PumpUntil([&] { return !stats.Visible(); }, 2s));
    EXPECT_FALSE(IsWindowVisible(stats.Handle()));

    PointerOver(stats);
    ASSERT_TRUE(test::PumpUntil([&] { return stats.Visible(); }, 2s));
    EXPECT_TRUE(IsWindowVisible(stats.Handle()));
    EXPECT_EQ(GetActiveWindow(), owner_.Handle()) << "showing again takes no focus";

    // While its menu loop is open the window stays.
    SendMessageA(stats.Handle(), WM_ENTERMENULOOP, FALSE, 0);
    PointerAt(900, 700);
    test::PumpFor(600ms);
    EXPECT_TRUE(stats.Visible());
    SendMessageA(stats.Handle(), WM_EXITMENULOOP, FALSE, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return !stats.Visible(); }, 2s));
}

TEST_F(StatsWindow, ClosingTellsTheOwnerWhichMayFreeIt) {
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } ways[] = {
        {"Alt+F4", WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(KF_ALTDOWN) << 16 | 1},
        {"close command", WM_SYSCOMMAND, SC_CLOSE, 0},
        {"close message", WM_CLOSE, 0, 0},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        auto stats = std::make_unique<TobjStatsForm>(&owner_);
        int closedCalls = 0;
        bool timersStopped = false;
        stats->OnClosed = [&](TObject&) {
            ++closedCalls;
            timersStopped = !stats->MasterTimer->Enabled() && !stats->Visible();
            stats.reset(); // what the designer does: free it and reset its menu caption
        };
        PostMessageA(stats->Handle(), way.message, way.wParam, way.lParam);
        EXPECT_TRUE(test::PumpUntil([&] { return stats == nullptr; }, 2s));
        test::PumpFor(50ms);
        EXPECT_EQ(closedCalls, 1);
        EXPECT_TRUE(timersStopped);
    }
}

} // namespace
} // namespace tarvola
