// The tree's window port under Wine: the worker's state message and its wait, the delayed-notification
// timers, and the worker stress run with real windows.
#include "tests/support/MessagePump.h"
#include "tests/tree/TreeTestSupport.h"

#include "forms/UtilityWindow.h"
#include "tree/TreeWindowHost.h"

#include <gtest/gtest.h>

#include <atomic>
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
