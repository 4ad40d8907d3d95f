// The worker thread that builds position caches: a stress run of three trees changed on the "GUI" thread
// while their caches are built (also run under ThreadSanitizer, tools/tsan-tree.sh), trees that go while
// their cache is being built, and the worker's lifetime.
#include "tests/tree/TreeTestSupport.h"

#include "tree/TreeWorker.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace tarvola::test {
namespace {

// The cache as a fresh walk would build it.
TCache ExpectedCache(const TBaseVirtualTree& tree) {
    TCache cache;
    if (tree.VisibleCount() <= CacheThreshold)
        return cache;
    std::uint32_t counter = 0, top = 0;
    for (PVirtualNode node = tree.GetFirstVisibleNoInit(); node != nullptr;
         node = tree.GetNextVisibleNoInit(node)) {
        if (counter++ % CacheThreshold == 0)
            cache.push_back({node, top});
        top += node->NodeHeight;
    }
    return cache;
}

void Mutate(TBaseVirtualTree& tree, std::mt19937& random) {
    int top = 0;
    const int range = static_cast<int>(std::max<std::uint32_t>(tree.RangeHeight(), 1));
    PVirtualNode node = tree.GetNodeAt(0, static_cast<int>(random() % range), false, top);
    if (node == nullptr)
        return;
    switch (random() % 7) {
    case 0:
        tree.AddChild(random() % 2 == 0 ? nullptr : node);
        break;
    case 1:
        tree.DeleteNode(node);
        break;
    case 2:
        if (node->FirstChild != nullptr)
            tree.ToggleNode(node);
        break;
    case 3:
        tree.SetNodeHeight(node, 4 + random() % 40);
        break;
    case 4:
        tree.SetVisible(node, false);
        break;
    case 5:
        tree.SetChildCount(node, static_cast<std::uint32_t>(random() % 50));
        break;
    case 6:
        tree.MoveTo(node, nullptr, TVTNodeAttachMode::amAddChildLast, false);
        break;
    }
}

TEST(Worker, ThreeTreesChangedWhileTheirCachesAreBuiltStaySound) {
    std::mt19937 random(5);
    std::vector<std::unique_ptr<WindowedTree>> trees;
    for (int i = 0; i < 3; ++i) {
        trees.push_back(std::make_unique<WindowedTree>());
        TBaseVirtualTree& tree = trees.back()->tree;
        tree.BeginUpdate();
        tree.SetRootNodeCount(100000);
        for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = node->NextSibling)
            if (node->Index % 1000 == 0) {
                tree.SetChildCount(node, 20);
                tree.ToggleNode(node);
            }
        tree.EndUpdate();
    }
    for (int step = 0; step < 400; ++step) {
        Mutate(trees[random() % trees.size()]->tree, random);
        FakeGuiThread::Instance().HandleSent();
    }
    for (auto& windowed : trees) {
        windowed->SettleCache();
        TBaseVirtualTree& tree = windowed->tree;
        ASSERT_EQ(TreeInvariantChecker::Check(tree), "");
        ASSERT_TRUE(tree.InState(TreeState::tsUseCache));
        EXPECT_FALSE(tree.InState(TreeState::tsValidating));
        EXPECT_FALSE(tree.InState(TreeState::tsValidationNeeded));
        const TCache expected = ExpectedCache(tree);
        ASSERT_EQ(tree.PositionCache().size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(tree.PositionCache()[i].Node, expected[i].Node);
            EXPECT_EQ(tree.PositionCache()[i].AbsoluteTop, expected[i].AbsoluteTop);
        }
    }
}

TEST(Worker, ATreeGoesSafelyWhileItsCacheIsBeingBuilt) {
    for (int round = 0; round < 20; ++round) {
        auto windowed = std::make_unique<WindowedTree>();
        windowed->tree.BeginUpdate();
        windowed->tree.SetRootNodeCount(50000 + 1000 * round);
        windowed->tree.EndUpdate(); // queues the tree
        if (round % 2 == 0)
            FakeGuiThread::Instance().HandleSent();
        windowed.reset(); // must wait for exactly this tree's build, handling its messages
    }
}

TEST(Worker, ATreeWithoutAWindowIsNeverQueuedAndLooksUpWithoutACache) {
    TBaseVirtualTree tree;
    tree.SetRootNodeCount(5000);
    tree.ValidateCache();
    EXPECT_FALSE(tree.ValidationPending());
    EXPECT_FALSE(tree.InState(TreeState::tsUseCache));
    int top = 0;
    EXPECT_EQ(tree.GetNodeAt(0, 18 * 4321 + 3, false, top)->Index, 4321u);
    EXPECT_EQ(top, 18 * 4321);
}

TEST(Worker, TheLastTreeEndsTheWorkerAndANewTreeStartsAnother) {
    {
        TBaseVirtualTree first;
        TBaseVirtualTree second;
        EXPECT_TRUE(TWorkerThread::Running());
    }
    EXPECT_FALSE(TWorkerThread::Running());
    const unsigned started = TWorkerThread::StartedCount();
    {
        TBaseVirtualTree again;
        EXPECT_TRUE(TWorkerThread::Running());
        EXPECT_EQ(TWorkerThread::StartedCount(), started + 1);
    }
    EXPECT_FALSE(TWorkerThread::Running());
}

} // namespace
} // namespace tarvola::test
