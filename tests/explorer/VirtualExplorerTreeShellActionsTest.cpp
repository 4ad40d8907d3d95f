// The explorer tree's window with the real shell under Wine: the view follows in-process shell
// notifications and deletes through the shell, drags over folder nodes reach that folder's drop target, a
// drag out carries the shell's data object, notifications skipped during a menu catch up once, and icon
// requests in flight are given back.
#include "explorer/ContextMenuManager.h"
#include "explorer/VirtualExplorerTreeControl.h"
#include "forms/Form.h"
#include "shell/VirtualImageThreadWin32.h"
#include "shell/VirtualShellNotifierWin32.h"
#include "shell/VirtualShellNotifyEvents.h"
#include "tests/explorer/ExplorerTreeRooting.h"
#include "tests/explorer/DroppedFiles.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/MessagePump.h"
#include "tests/support/WindowDriver.h"
#include "tree/TreeOptions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace tarvola::test {
namespace {

class ExplorerShellActionsTest : public ShellLayerTest {
protected:
    void SetUp() override {
        MakeTree();
        control.SetParent(&form);
        ASSERT_TRUE(control.HandleAllocated());
        RootExplorerTreeAt(control.ExplorerTree(), WidePath(folder.Path()),
                           {TFileObject::foFolders, TFileObject::foNonFolders}, true);
    }
    POINT ClientPointOf(const std::string& name) {
        const TTreeRect text = control.Tree().GetDisplayRect(NodeNamed(name), NoColumn, true);
        return POINT{text.Left + 2, (text.Top + text.Bottom) / 2};
    }
    POINTL ScreenPointOf(const std::string& name) {
        POINT point = ClientPointOf(name);
        ClientToScreen(control.Handle(), &point);
        return POINTL{point.x, point.y};
    }
    PVirtualNode NodeNamed(const std::string& name) {
        TBaseVirtualTree& tree = control.Tree();
        const std::wstring wanted(name.begin(), name.end());
        for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node;
             node = tree.GetNextSibling(node)) {
            std::wstring text;
            tree.GetTextInfo(node, NoColumn, text);
            if (text == wanted)
                return node;
        }
        return nullptr;
    }

    TForm form{nullptr};
    TVirtualExplorerTreeControl& control = form.Create<TVirtualExplorerTreeControl>();
};

TEST_F(ExplorerShellActionsTest, TheViewFollowsNewAndRenamedFilesThroughShellNotifications) {
    TVirtualChangeNotifier notifier(TShellLayer::Get().PIDLMgr());
    control.SetChangeNotifier(&notifier);
    control.SetChangeNotifierEnabled(true);
    ASSERT_TRUE(control.ChangeNotifierRegistered());

    const std::filesystem::path created = folder.Write("new.ker", "n");
    SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW, created.c_str(), nullptr);
    // Bounded only so that a fault ends the test rather than hangs it.
    EXPECT_TRUE(PumpUntil([&] { return NodeNamed("new.ker") != nullptr; }, 10s));

    // A rename through the shell: the disk changes and the view shows the new name, the other nodes stay.
    const PVirtualNode kept = NodeNamed("b.ker");
    auto shellItem = std::make_unique<TShellExplorerItem>(Item("a.txt"));
    ASSERT_TRUE(control.ShellPort().SetNameOf(*shellItem, u"renamed.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "renamed.txt"));
    EXPECT_TRUE(
        PumpUntil([&] { return NodeNamed("renamed.txt") != nullptr && NodeNamed("a.txt") == nullptr; }, 10s));
    EXPECT_EQ(NodeNamed("b.ker"), kept);

    // A cancelled session end leaves the view registered; the window's end unregisters it.
    SendMessageW(control.Handle(), WM_QUERYENDSESSION, 0, 0);
    EXPECT_FALSE(control.ChangeNotifierRegistered());
    SendMessageW(control.Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(control.ChangeNotifierRegistered());
    control.SetChangeNotifier(nullptr);
    EXPECT_FALSE(control.ChangeNotifierRegistered());
    EXPECT_EQ(notifier.ControlCount(), 0);
}

// Wine's folder drop target answers no effect for files that are in that folder already, so the answer to
// a plain drag shows which folder the drop went to: the node's own, not its parent.
TEST_F(ExplorerShellActionsTest, AShellDataObjectDraggedOverAFolderNodeGoesToThatFolder) {
    control.RegisterDropTarget();
    IDropTarget* target = control.ExplorerDropTarget();
    ASSERT_NE(target, nullptr);
    const POINTL sub = ScreenPointOf("sub");
    const POINTL empty = ScreenPointOf("empty");

    auto source = Item("c.bin");
    TComPtr<IDataObject> data = source->GetDataObjectOf({});
    ASSERT_TRUE(data);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(data.Get(), MK_LBUTTON, sub, &effect), S_OK);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, sub, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(MK_LBUTTON | MK_CONTROL, empty, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(data.Get(), MK_CONTROL, empty, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    if (!PumpUntil([&] { return std::filesystem::exists(folder.Path() / "empty" / "c.bin"); }, 2s))
        GTEST_SKIP() << "Wine's folder drop target takes the drop and copies nothing (a semi-stub)";
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "c.bin"));
}

// What the test's drag loop saw of the tree's data object.
struct TDragSeen {
    DWORD Allowed = 0;
    bool ShellIDList = false;
    std::vector<std::wstring> Files;
};
TDragSeen dragSeen;

HRESULT WINAPI RecordingDoDragDrop(IDataObject* data, IDropSource*, DWORD allowed, DWORD* effect) {
    dragSeen = {};
    dragSeen.Allowed = allowed;
    dragSeen.Files = DroppedFileNames(data);
    const CLIPFORMAT idList = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Shell IDList Array"));
    IEnumFORMATETC* formats = nullptr;
    if (SUCCEEDED(data->EnumFormatEtc(DATADIR_GET, &formats)) && formats != nullptr) {
        FORMATETC offered{};
        while (formats->Next(1, &offered, nullptr) == S_OK)
            dragSeen.ShellIDList = dragSeen.ShellIDList || offered.cfFormat == idList;
        formats->Release();
    }
    *effect = DROPEFFECT_COPY;
    return DRAGDROP_S_DROP;
}

TEST_F(ExplorerShellActionsTest, ADragOutOfTheTreeCarriesTheShellsDataObjectOfTheSelection) {
    TBaseVirtualTree& tree = control.Tree();
    SetExplorerShellOption(tree, TVETShellOption::toDragDrop, true);
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions().With(TVTMiscOption::toAcceptOLEDrop));
    tree.TreeOptions().SetSelectionOptions(
        tree.TreeOptions().SelectionOptions().With(TVTSelectionOption::toMultiSelect));
    control.MouseSeams.DoDragDrop = RecordingDoDragDrop;
    tree.SetSelected(NodeNamed("a.txt"), true);
    tree.SetSelected(NodeNamed("c.bin"), true);
    tree.SetFocusedNode(NodeNamed("c.bin"));
    const POINT at = ClientPointOf("c.bin");
    SendMessageW(control.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(control.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 30, at.y + 30));
    SendMessageW(control.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x + 30, at.y + 30));
    EXPECT_EQ(dragSeen.Allowed, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_TRUE(dragSeen.ShellIDList);
    EXPECT_EQ(dragSeen.Files, (std::vector<std::wstring>{L"c.bin", L"a.txt"}));
    EXPECT_NE(control.SelectionDataObject(), nullptr);
    // A copy leaves the files where they are.
    EXPECT_NE(NodeNamed("c.bin"), nullptr);
}

// The shell moves deleted files to the user's trash on Wine: the test takes its file out again.
void RemoveFromTrash(const std::string& name) {
    std::filesystem::path share;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0') {
        share = std::string("Z:") + data;
    } else if (const char* home = std::getenv("WINEHOMEDIR"); home != nullptr && *home != '\0') {
        // Wine names the user's home as an NT path ("\??\Z:\root").
        std::string path = home;
        if (path.rfind("\\??\\", 0) == 0)
            path.erase(0, 4);
        share = std::filesystem::path(path) / ".local" / "share";
    } else {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove(share / "Trash" / "files" / name, ignored);
    std::filesystem::remove(share / "Trash" / "info" / (name + ".trashinfo"), ignored);
}

TEST_F(ExplorerShellActionsTest, TheDeleteKeyDeletesThroughTheShellAndTheViewFollows) {
    TVirtualChangeNotifier notifier(TShellLayer::Get().PIDLMgr());
    control.SetChangeNotifier(&notifier);
    control.SetChangeNotifierEnabled(true);
    const std::string name =
        "doomed-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".txt";
    folder.Write(name, "d");
    RootExplorerTreeAt(control.ExplorerTree(), WidePath(folder.Path()),
                       {TFileObject::foFolders, TFileObject::foNonFolders}, true);
    TBaseVirtualTree& tree = control.Tree();
    const PVirtualNode doomed = NodeNamed(name);
    ASSERT_NE(doomed, nullptr);
    const PVirtualNode kept = NodeNamed("b.ker");
    tree.SetSelected(doomed, true);
    tree.SetFocusedNode(doomed);
    // The shell asks before it deletes; the test answers as the user.
    bool asked = false;
    WhenWindowShows("Confirm file deletion", [&](HWND box) {
        asked = true;
        HWND yes = FindChildWithText(box, "&Yes");
        ClickButton(yes != nullptr ? yes : FindChildWithText(box, "Yes"));
    });
    SendMessageW(control.Handle(), WM_KEYDOWN, VK_DELETE, 0);
    CancelPendingActions();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / name));
    RemoveFromTrash(name);
    // Bounded only so that a fault ends the test rather than hangs it.
    EXPECT_TRUE(PumpUntil([&] { return NodeNamed(name) == nullptr; }, 10s));
    EXPECT_EQ(NodeNamed("b.ker"), kept);
    control.SetChangeNotifier(nullptr);
}

class TFreeCounter {
public:
    int Freed = 0;
    void NodeFreed(TBaseVirtualTree&, PVirtualNode) { ++Freed; }
};

TEST_F(ExplorerShellActionsTest, NotificationsDuringAMenuRefreshOnceAtTheNextMouseMove) {
    TBaseVirtualTree& tree = control.Tree();
    TFreeCounter counter;
    tree.OnFreeNode = TVTNodeEvent::Bind<&TFreeCounter::NodeFreed>(&counter);
    const auto updateDir = [&] {
        std::vector<TShellEventPtr> events;
        events.push_back(std::make_unique<TVirtualShellEvent>(TShellLayer::Get().PIDLMgr(),
                                                              TVirtualShellNotifyEvent::vsneUpdateDir,
                                                              Item("")->AbsolutePIDL(), nullptr, 0));
        auto* list = new TVirtualShellEventList(std::move(events));
        list->AddRef(); // the test's own, to see the window's go
        return list;
    };
    folder.Write("late.txt", "l");
    ExplorerContextMenu(tree).MenuShown = true;
    TVirtualShellEventList* first = updateDir();
    TVirtualShellEventList* second = updateDir();
    PostMessageW(control.Handle(), WM_SHELLNOTIFY, reinterpret_cast<WPARAM>(first), 0);
    PostMessageW(control.Handle(), WM_SHELLNOTIFY, reinterpret_cast<WPARAM>(second), 0);
    PumpPending();
    EXPECT_EQ(first->RefCount(), 1);
    EXPECT_EQ(second->RefCount(), 1);
    first->Release();
    second->Release();
    EXPECT_EQ(NodeNamed("late.txt"), nullptr);
    SendMessageW(control.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(counter.Freed, 0) << "the menu is still up";
    ExplorerContextMenu(tree).MenuShown = false;
    SendMessageW(control.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    const int afterRefresh = counter.Freed;
    EXPECT_GT(afterRefresh, 0);
    EXPECT_NE(NodeNamed("late.txt"), nullptr);
    SendMessageW(control.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(7, 7));
    EXPECT_EQ(counter.Freed, afterRefresh) << "one refresh for all skipped lists";
    tree.OnFreeNode = {};
}

std::optional<std::wstring> ShellIconSizeSetting() {
    wchar_t value[64] = L"";
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics", L"Shell Icon Size",
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

TEST_F(ExplorerShellActionsTest, AnAssociationChangeNeverWritesTheIconSizeAndCanLeaveTheTreeAlone) {
    TBaseVirtualTree& tree = control.Tree();
    TFreeCounter counter;
    tree.OnFreeNode = TVTNodeEvent::Bind<&TFreeCounter::NodeFreed>(&counter);
    const std::optional<std::wstring> setting = ShellIconSizeSetting();
    const auto post = [&] {
        std::vector<TShellEventPtr> events;
        events.push_back(std::make_unique<TVirtualShellEvent>(
            TShellLayer::Get().PIDLMgr(), TVirtualShellNotifyEvent::vsneAssociationChanged, nullptr, nullptr,
            0));
        SendMessageW(control.Handle(), WM_SHELLNOTIFY,
                     reinterpret_cast<WPARAM>(new TVirtualShellEventList(std::move(events))), 0);
    };
    SetExplorerMiscOption(tree, TVETMiscOption::toNoRebuildIconListOnAssocChange, true);
    post();
    EXPECT_EQ(counter.Freed, 0);
    SetExplorerMiscOption(tree, TVETMiscOption::toNoRebuildIconListOnAssocChange, false);
    post();
    EXPECT_GT(counter.Freed, 0) << "the tree is read again";
    EXPECT_EQ(ShellIconSizeSetting(), setting);
    tree.OnFreeNode = {};
}

// Counts what the icon queue allocates and frees through its list manager.
class TCountingAllocator : public IShellAllocator {
public:
    std::atomic<int> Live{0};
    void* Alloc(std::size_t size) override {
        void* block = MallocAllocator().Alloc(size);
        if (block != nullptr)
            ++Live;
        return block;
    }
    void Free(void* block) override {
        if (block != nullptr)
            --Live;
        MallocAllocator().Free(block);
    }
};

TEST_F(ExplorerShellActionsTest, IconRequestsInFlightThroughARebuildOrTheWindowsEndLeakNothing) {
    TCountingAllocator allocator;
    const TPIDLManager manager(allocator);
    TCustomVirtualExplorerTree& tree = control.ExplorerTree();
    {
        TVirtualImageThreadManager threads(manager);
        control.SetImageThreads(&threads);
        const auto askAll = [&] {
            for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node;
                 node = tree.GetNextSibling(node))
                tree.ImageIndexFor(node, TVTImageKind::ikNormal);
        };
        // Results that were posted for nodes a rebuild freed are turned down, and given back.
        std::vector<const void*> stale;
        for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node; node = tree.GetNextSibling(node))
            stale.push_back(node);
        askAll();
        PumpFor(50ms);
        RootExplorerTreeAt(tree, WidePath(folder.Path()), {TFileObject::foFolders, TFileObject::foNonFolders},
                           true);
        EXPECT_EQ(tree.PendingIconRequests(), 0u);
        askAll();
        EXPECT_TRUE(PumpUntil([&] { return tree.PendingIconRequests() == 0; }, 30s));
        // The window goes with requests out.
        RootExplorerTreeAt(tree, WidePath(folder.Path()), {TFileObject::foFolders, TFileObject::foNonFolders},
                           true);
        askAll();
        EXPECT_GT(tree.PendingIconRequests(), 0u);
        DestroyWindow(control.Handle());
        EXPECT_FALSE(control.HandleAllocated());
        PumpFor(200ms);
        control.SetImageThreads(nullptr);
        EXPECT_FALSE(threads.ThreadRunning());
    }
    EXPECT_EQ(allocator.Live.load(), 0);
}

} // namespace
} // namespace tarvola::test
