// The tree's window port under Wine: the worker's state message and its wait, the delayed-notification
// timers, and the worker stress run with real windows.
#include "tests/support/MessagePump.h"
#include "tests/tree/TreeTestSupport.h"

#include "forms/UtilityWindow.h"
#include "tree/TreeWindowHost.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <random>
#include <thread>

namespace tarvola::test {
namespace {

struct HostedTree {
    TTreeWindowHost host;
    TBaseVirtualTree tree{&host};
    HostedTree() { host.Attach(&tree); }
};

TEST(TreeWindowHost, WaitingForTheWorkerHandlesSentMessagesOnlyAndKeepsQuit) {
    HostedTree hosted;
    int probed = 0;
    TUtilityWindow probe([&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_APP + 7)
            ++probed;
        return std::nullopt;
    });
    PostMessageW(probe.Handle(), WM_APP + 7, 0, 0);
    PostQuitMessage(0);
    // A thread sends a state message meanwhile: the wait must deliver it, or the sender would hang.
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        hosted.host.SendStateMessage(StateBitValidating, 0);
        sent = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    hosted.host.WaitForWorker([&] { return !sent && std::chrono::steady_clock::now() < deadline; });
    sender.join();
    EXPECT_TRUE(sent);
    EXPECT_TRUE(hosted.tree.InState(TreeState::tsValidating));
    EXPECT_EQ(probed, 0);
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    PumpPending();
    EXPECT_EQ(probed, 1);
    hosted.tree.HandleStateMessage(0, StateBitValidating);
}

TEST(TreeWindowHost, AnswersOutsideToolsTreeViewQueries) {
    struct TextTree : TBaseVirtualTree {
        using TBaseVirtualTree::TBaseVirtualTree;
        void GetTextInfo(PVirtualNode, TColumnIndex, std::wstring& text) override {
            text = L"Presets folder";
        }
    };
    TTreeWindowHost host;
    TextTree tree(&host);
    host.Attach(&tree);
    PVirtualNode top = tree.AddChild(nullptr);
    PVirtualNode child = tree.AddChild(top);
    const HWND window = host.Handle();

    // A handle the tree never handed out is refused, then the walk hands them out.
    EXPECT_EQ(SendMessageA(window, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(top)), 0);
    const LRESULT first = SendMessageA(window, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    EXPECT_EQ(first, reinterpret_cast<LRESULT>(top));
    const LRESULT inner = SendMessageA(window, TVM_GETNEXTITEM, TVGN_CHILD, first);
    EXPECT_EQ(inner, reinterpret_cast<LRESULT>(child));
    EXPECT_EQ(SendMessageA(window, TVM_GETNEXTITEM, TVGN_PARENT, first), 0);

    RECT rect{};
    std::memcpy(&rect, &inner, sizeof inner);
    const RECT before = rect;
    EXPECT_EQ(SendMessageA(window, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect)), 0); // collapsed
    EXPECT_EQ(std::memcmp(&rect, &before, sizeof rect), 0);
    std::memcpy(&rect, &first, sizeof first);
    EXPECT_EQ(SendMessageA(window, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect)), 1);
    EXPECT_EQ(rect.bottom - rect.top, 18);

    char buffer[8];
    std::memset(buffer, 'X', sizeof buffer);
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_CHILDREN;
    item.hItem = reinterpret_cast<HTREEITEM>(first);
    item.pszText = buffer;
    item.cchTextMax = 6;
    EXPECT_EQ(SendMessageA(window, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)), 0); // no TVIF_HANDLE
    EXPECT_EQ(buffer[0], 'X');
    item.mask |= TVIF_HANDLE;
    EXPECT_EQ(SendMessageA(window, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_STREQ(buffer, "Prese");
    EXPECT_EQ(buffer[6], 'X');
    EXPECT_EQ(item.cChildren, 1);
}

TEST(TreeWindowHost, DelayedChangesArriveByTheWindowTimerOnceForTheLastNode) {
    HostedTree hosted;
    TBaseVirtualTree& tree = hosted.tree;
    tree.SetRootNodeCount(3);
    tree.ChangeDelay = 30;
    std::vector<PVirtualNode> changed;
    auto record = [&](TBaseVirtualTree&, PVirtualNode node) { changed.push_back(node); };
    tree.OnChange = TVTNodeEvent::Bind(record);
    for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = node->NextSibling)
        tree.AddToSelection(node);
    EXPECT_TRUE(changed.empty());
    EXPECT_TRUE(PumpUntil([&] { return !changed.empty(); }));
    PumpFor(std::chrono::milliseconds(80));
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], tree.RootNode()->LastChild);
    tree.OnChange.Reset();
}

TEST(TreeWindowHost, ThreeTreesChangedWhileTheWorkerBuildsKeepTheirCaches) {
    std::mt19937 random(11);
    std::vector<std::unique_ptr<HostedTree>> trees;
    for (int i = 0; i < 3; ++i) {
        trees.push_back(std::make_unique<HostedTree>());
        TBaseVirtualTree& tree = trees.back()->tree;
        tree.BeginUpdate();
        tree.SetRootNodeCount(100000);
        tree.EndUpdate();
    }
    for (int step = 0; step < 300; ++step) {
        TBaseVirtualTree& tree = trees[random() % trees.size()]->tree;
        int top = 0;
        PVirtualNode node = tree.GetNodeAt(0, static_cast<int>(random() % tree.RangeHeight()), false, top);
        if (node == nullptr)
            continue;
        switch (random() % 4) {
        case 0:
            tree.AddChild(random() % 2 == 0 ? nullptr : node);
            break;
        case 1:
            tree.DeleteNode(node);
            break;
        case 2:
            tree.SetNodeHeight(node, 4 + random() % 40);
            break;
        case 3:
            tree.SetChildCount(node, static_cast<std::uint32_t>(random() % 30));
            tree.ToggleNode(node);
            break;
        }
        if (step % 10 == 0)
            PumpPending();
    }
    for (auto& hosted : trees) {
        TBaseVirtualTree& tree = hosted->tree;
        tree.ValidateCache();
        ASSERT_TRUE(PumpUntil([&] { return !tree.ValidationPending(); }, std::chrono::seconds(20)));
        EXPECT_TRUE(tree.InState(TreeState::tsUseCache));
        EXPECT_EQ(TreeInvariantChecker::Check(tree), "");
    }
    // Destroyed while a build may run.
    trees[0]->tree.InvalidateCache();
    trees[0]->tree.ValidateCache();
    trees.clear();
}

} // namespace
} // namespace tarvola::test
