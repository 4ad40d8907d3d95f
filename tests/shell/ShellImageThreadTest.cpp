// The icon thread against the real shell: every file of a folder gets its system image index through the
// posted result message, and the manager's last control stops the thread.
#include "forms/UtilityWindow.h"
#include "shell/VirtualImageThreadWin32.h"
#include "tests/shell/ShellLayerFixture.h"

#include <set>

namespace tarvola::test {
namespace {

class ShellImageThreadTest : public ShellLayerTest {};

TEST_F(ShellImageThreadTest, HundredFilesReceiveTheirIcons) {
    constexpr int kFiles = 100;
    std::vector<PItemIDList> pidls;
    const TPIDLManager& manager = TShellLayer::Get().PIDLMgr();
    for (int i = 0; i < kFiles; ++i) {
        folder.Write("file" + std::to_string(i) + (i % 2 ? ".txt" : ".ker"), "x");
        pidls.push_back(PathToPIDL(Path("file" + std::to_string(i) + (i % 2 ? ".txt" : ".ker"))));
        ASSERT_NE(pidls.back(), nullptr);
    }

    TVirtualImageThreadManager threads(manager);
    std::set<std::intptr_t> received;
    int invalid = 0;
    TUtilityWindow control([&](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_ICONTHREADRESULT)
            return std::nullopt;
        auto* item = reinterpret_cast<TImageThreadItem*>(wParam);
        received.insert(reinterpret_cast<std::intptr_t>(item->Data));
        if (item->ImageIndex < 0)
            ++invalid;
        threads.ReleaseItem(item);
        return 0;
    });
    threads.RegisterControl(control.Handle());
    threads.RegisterControl(control.Handle()); // counts once
    EXPECT_EQ(threads.ControlCount(), 1);
    ASSERT_TRUE(threads.ThreadRunning());
    for (int i = 0; i < kFiles; ++i)
        ASSERT_TRUE(threads.AddNewItem(control.Handle(), pidls[static_cast<std::size_t>(i)],
                                       reinterpret_cast<void*>(static_cast<std::intptr_t>(i))));

    // Bounded only so that a fault ends the test rather than hangs it.
    const DWORD giveUp = GetTickCount() + 30000;
    while (received.size() < kFiles && GetTickCount() < giveUp) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    EXPECT_EQ(received.size(), std::size_t(kFiles));
    EXPECT_EQ(invalid, 0);

    threads.UnRegisterControl(control.Handle());
    EXPECT_FALSE(threads.ThreadRunning());
    EXPECT_EQ(threads.Queue().Count(), 0);
    for (PItemIDList pidl : pidls)
        manager.FreePIDL(pidl);
}

TEST_F(ShellImageThreadTest, LastControlWithdrawsItsRequestsAndStopsTheThread) {
    const TPIDLManager& manager = TShellLayer::Get().PIDLMgr();
    folder.Write("a.txt", "a");
    PItemIDList pidl = PathToPIDL(Path("a.txt"));
    TVirtualImageThreadManager threads(manager);
    int delivered = 0;
    TUtilityWindow first([&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_ICONTHREADRESULT)
            ++delivered;
        return std::nullopt;
    });
    TUtilityWindow second([](UINT, WPARAM, LPARAM) -> std::optional<LRESULT> { return std::nullopt; });
    for (int cycle = 0; cycle < 3; ++cycle) {
        threads.RegisterControl(first.Handle());
        threads.RegisterControl(second.Handle());
        EXPECT_FALSE(threads.AddNewItem(reinterpret_cast<HWND>(0x4321), pidl, nullptr)); // not registered
        for (int i = 0; i < 20; ++i)
            threads.AddNewItem(first.Handle(), pidl, reinterpret_cast<void*>(static_cast<std::intptr_t>(i)));
        threads.UnRegisterControl(second.Handle());
        EXPECT_TRUE(threads.ThreadRunning());
        // Without reading a message: what was queued or posted for it is released, nothing is left behind.
        threads.UnRegisterControl(first.Handle());
        EXPECT_FALSE(threads.ThreadRunning());
        EXPECT_EQ(threads.Queue().Count(), 0);
        MSG msg;
        EXPECT_FALSE(
            PeekMessageW(&msg, first.Handle(), WM_ICONTHREADRESULT, WM_ICONTHREADRESULT, PM_NOREMOVE));
    }
    EXPECT_EQ(delivered, 0);
    manager.FreePIDL(pidl);
}

} // namespace
} // namespace tarvola::test
