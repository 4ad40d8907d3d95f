// The change notifier against the real shell: a burst of the program's own change notices reaches a
// registered control as one batched list, and the last control stops the notifier's threads.
#include "shell/VirtualShellNotifierWin32.h"
#include "tests/shell/ShellLayerFixture.h"

#include <tlhelp32.h>

namespace tarvola::test {
namespace {

using enum TVirtualShellNotifyEvent;

int ThreadsOfThisProcess() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// Waits for messages until done says so; bounded only so that a fault ends the test rather than hangs it.
template <typename Done>
void PumpUntil(Done done, DWORD limit) {
    const DWORD giveUp = GetTickCount() + limit;
    while (!done() && GetTickCount() < giveUp) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

class ShellChangeNotifierTest : public ShellLayerTest {};

TEST_F(ShellChangeNotifierTest, BurstArrivesAsOneBatch) {
    const int threadsBefore = ThreadsOfThisProcess();
    TVirtualChangeNotifier notifier(TShellLayer::Get().PIDLMgr());
    struct TReceived {
        int lists = 0;
        int events = 0;
        bool updateDirOfFolder = false;
    } received;
    PItemIDList folderPIDL = PathToPIDL(Path(""));
    TUtilityWindow control([&](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_SHELLNOTIFY)
            return std::nullopt;
        auto* list = reinterpret_cast<TVirtualShellEventList*>(wParam);
        list->Lock();
        ++received.lists;
        received.events += list->Count();
        for (int i = 0; i < list->Count(); ++i)
            if (list->Event(i).Kind() == vsneUpdateDir &&
                TShellLayer::Get().Identity().Equal(list->Event(i).PIDL1(), folderPIDL))
                received.updateDirOfFolder = true;
        list->Unlock();
        list->Release();
        return 0;
    });
    ASSERT_TRUE(notifier.RegisterShellChangeNotify(control.Handle()));
    ASSERT_TRUE(notifier.RegisterShellChangeNotify(control.Handle()));
    EXPECT_EQ(notifier.ControlCount(), 1);

    for (int i = 0; i < 10; ++i) {
        const auto file = folder.Write("new" + std::to_string(i) + ".txt", "n");
        SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSH, file.c_str(), nullptr);
    }
    PumpUntil([&] { return received.lists > 0; }, 10000);
    // A little longer: a second list would show a burst split in two.
    PumpUntil([] { return false; }, 1500);
    EXPECT_EQ(received.lists, 1);
    EXPECT_EQ(received.events, 1);
    EXPECT_TRUE(received.updateDirOfFolder);

    notifier.UnRegisterShellChangeNotify(control.Handle());
    EXPECT_FALSE(notifier.Running());
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
    WNDCLASSW windowClass;
    EXPECT_FALSE(GetClassInfoW(GetModuleHandleW(nullptr), L"vstVirtualNotifyWndClass", &windowClass));
    TShellLayer::Get().PIDLMgr().FreePIDL(folderPIDL);
}

TEST_F(ShellChangeNotifierTest, ListsQueuedForAControlThatGoesAreReleased) {
    TVirtualChangeNotifier notifier(TShellLayer::Get().PIDLMgr());
    TUtilityWindow first([](UINT, WPARAM, LPARAM) -> std::optional<LRESULT> { return std::nullopt; });
    TUtilityWindow second([](UINT, WPARAM, LPARAM) -> std::optional<LRESULT> { return std::nullopt; });
    for (int cycle = 0; cycle < 2; ++cycle) {
        ASSERT_TRUE(notifier.RegisterShellChangeNotify(first.Handle()));
        ASSERT_TRUE(notifier.RegisterShellChangeNotify(second.Handle()));
        // A list as the listener hands one out, queued for the first control and never read.
        auto* list = new TVirtualShellEventList({});
        PostMessageW(first.Handle(), WM_SHELLNOTIFY, reinterpret_cast<WPARAM>(list), 0);
        list->AddRef();
        notifier.UnRegisterShellChangeNotify(first.Handle());
        EXPECT_EQ(list->RefCount(), 1); // the queued reference was given back
        list->Release();
        EXPECT_TRUE(notifier.Running());
        notifier.UnRegisterShellChangeNotify(second.Handle());
        EXPECT_FALSE(notifier.Running());
    }
}

} // namespace
} // namespace tarvola::test
