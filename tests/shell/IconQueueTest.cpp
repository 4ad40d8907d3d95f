#include "shell/VirtualIconQueue.h"

#include "ShellQueueFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace tarvola {
namespace {

using namespace testing_queues;

class IconQueueTest : public testing::Test {
protected:
    ~IconQueueTest() override {
        queue.reset();
        EXPECT_EQ(allocator.live, 0) << "a request or its list was left behind";
    }

    std::uint64_t Add(TImageRequestControl control, int node, const std::string& path = "c/a") {
        const TItemIDList pidl = Path(path);
        return queue->AddNewItem({control, WM_ICONTHREADRESULT, pidl.Data(), 0, Node(node), node});
    }
    static void* Node(int node) { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(node) * 16); }

    // Serves one request as the thread does, giving it the index; the served request's node, or -1 when
    // its result was discarded.
    int ServeOne(std::int32_t imageIndex) {
        std::optional<TImageWork> work = queue->TakeNewest();
        if (!work)
            return -1;
        manager.FreePIDL(work->PIDL);
        TImageItemPtr item = queue->Complete(work->Id, imageIndex);
        return item ? item->Extra : -1;
    }

    TCountingAllocator allocator;
    TPIDLManager manager{allocator};
    std::unique_ptr<TImageRequestQueue> queue = std::make_unique<TImageRequestQueue>(manager);
};

TEST_F(IconQueueTest, NewestIsServedFirstAndAnInsertedRequestLast) {
    Add(1, 1);
    Add(1, 2);
    Add(1, 3);
    const TItemIDList pidl = Path("c/d");
    queue->InsertNewItem({1, WM_ICONTHREADRESULT, pidl.Data(), 0, Node(4), 4});
    std::vector<int> served;
    while (queue->Count() > 0)
        served.push_back(ServeOne(7));
    EXPECT_EQ(served, (std::vector<int>{3, 2, 1, 4}));
}

TEST_F(IconQueueTest, TheResultTravelsInTheRequest) {
    Add(5, 1, "c/d/e");
    std::optional<TImageWork> work = queue->TakeNewest();
    ASSERT_TRUE(work);
    EXPECT_EQ(Path("c/d/e"), TItemIDList::FromPIDL(work->PIDL)); // a private copy of the list
    manager.FreePIDL(work->PIDL);
    TImageItemPtr item = queue->Complete(work->Id, 42);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->ImageIndex, 42);
    EXPECT_EQ(item->Control, 5u);
    EXPECT_EQ(item->Data, Node(1));
    EXPECT_EQ(item->MessageId, WM_ICONTHREADRESULT);
    // Posted to the control, which releases it after reading the result.
    ReleaseImageThreadItem(item.release(), manager);
}

TEST_F(IconQueueTest, AWithdrawnRequestIsDiscardedEvenWhenANewOneTakesItsPlace) {
    Add(1, 1);
    std::optional<TImageWork> work = queue->TakeNewest();
    ASSERT_TRUE(work);
    EXPECT_EQ(queue->ClearPendingItems(1, WM_ICONTHREADRESULT),
              1); // the control goes while its icon is found
    Add(1, 2);    // a new request in the same place of the queue
    TImageItemPtr item = queue->Complete(work->Id, 9);
    EXPECT_FALSE(item) << "a result went to a request that did not ask for it";
    manager.FreePIDL(work->PIDL);
    EXPECT_EQ(ServeOne(3), 2); // the new request is served in its turn
}

TEST_F(IconQueueTest, ARequestInsertedMeanwhileDoesNotDiscardTheTakenOne) {
    Add(1, 1);
    std::optional<TImageWork> work = queue->TakeNewest();
    const TItemIDList pidl = Path("c/z");
    queue->InsertNewItem({1, WM_ICONTHREADRESULT, pidl.Data(), 0, Node(2), 2});
    manager.FreePIDL(work->PIDL);
    EXPECT_TRUE(queue->Complete(work->Id, 1));
    EXPECT_EQ(queue->Count(), 1);
}

TEST_F(IconQueueTest, WithdrawingByControlByDataAndByMessage) {
    Add(1, 1);
    Add(1, 2);
    Add(2, 1);
    const TItemIDList pidl = Path("c/t");
    queue->AddNewItem({1, 0x8097, pidl.Data(), 0, Node(3), 3}); // another thread's message
    EXPECT_EQ(queue->ClearPendingItem(1, Node(2), WM_ICONTHREADRESULT), 1);
    EXPECT_EQ(queue->ClearPendingItem(1, Node(2), WM_ICONTHREADRESULT), 0);
    EXPECT_EQ(queue->ClearPendingItems(1, WM_ICONTHREADRESULT), 1);
    EXPECT_EQ(queue->Count(), 2);
    EXPECT_EQ(ServeOne(0), 3);
    EXPECT_EQ(ServeOne(0), 1);
}

TEST_F(IconQueueTest, ASecondRequestForANodeReplacesTheFirst) {
    Add(1, 1, "c/old");
    Add(1, 2);
    Add(1, 1, "c/new");
    EXPECT_EQ(queue->Count(), 2);
    std::optional<TImageWork> work = queue->TakeNewest();
    EXPECT_EQ(Path("c/new"), TItemIDList::FromPIDL(work->PIDL));
    manager.FreePIDL(work->PIDL);
    EXPECT_EQ(ServeOne(0), 1);
    EXPECT_EQ(ServeOne(0), 2);
    EXPECT_EQ(ServeOne(0), -1);
}

TEST_F(IconQueueTest, WaitingEndsWithWorkOrTermination) {
    std::thread waiter([this] {
        EXPECT_TRUE(queue->WaitForWork());
        EXPECT_EQ(ServeOne(1), 1);
        EXPECT_FALSE(queue->WaitForWork());
    });
    Add(1, 1);
    while (queue->Count() > 0)
        std::this_thread::yield();
    queue->Terminate();
    waiter.join();
    EXPECT_TRUE(queue->Terminated());
}

} // namespace
} // namespace tarvola
