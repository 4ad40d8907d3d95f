#include "shell/VirtualImageThread.h"

#include "tests/shell/ImageQueueFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace tarvola {
namespace {

using namespace testing_queues;

// Gives each item the number of its records as its index; can hold the thread inside the extraction.
class FakeIconThread final : public TVirtualImageThread {
public:
    using TVirtualImageThread::TVirtualImageThread;
    ~FakeIconThread() override { Stop(); }

    TThreadGate gate;
    int discarded = 0;
    std::atomic<int> raiseFor{-1}; // the number of records of a list whose extraction raises

protected:
    std::int32_t ExtractInfo(PCItemIDList pidl) override {
        if (TPIDLManager::CountIDs(pidl) == raiseFor)
            throw std::runtime_error("extraction failed");
        gate.Pass();
        return TPIDLManager::CountIDs(pidl);
    }
    void DiscardInfo(std::uint64_t) override { ++discarded; }
};

// The control's side: collects the posted results and releases them as a view does.
class ImageThreadTest : public ImageQueueTest {
protected:
    void Add(void* node, const std::string& path) {
        const TItemIDList pidl = Path(path);
        queue->AddNewItem({1, WM_ICONTHREADRESULT, pidl.Data(), 0, node, 0});
    }
    bool Post(TImageThreadItem* item) {
        std::lock_guard guard(lock);
        ++tries;
        if (refuse)
            return false;
        results.push_back(item->ImageIndex);
        ReleaseImageThreadItem(item, manager);
        arrived.notify_all();
        return true;
    }
    void WaitForResults(std::size_t count) {
        WaitUntil([&] { return results.size() >= count; });
    }

    std::vector<std::int32_t> results;
    int tries = 0;
    bool refuse = false;
    std::unique_ptr<FakeIconThread> thread = std::make_unique<FakeIconThread>(
        *queue, [this](TImageThreadItem* item) { return Post(item); },
        [](std::exception_ptr) { ADD_FAILURE() << "no error expected"; });
    int nodes[4] = {};
};

TEST_F(ImageThreadTest, ServesNewestFirst) {
    Add(&nodes[0], "a");
    Add(&nodes[1], "a/b");
    Add(&nodes[2], "a/b/c");
    thread->Start();
    WaitForResults(3);
    std::lock_guard guard(lock);
    EXPECT_EQ(results, (std::vector<std::int32_t>{3, 2, 1}));
}

TEST_F(ImageThreadTest, AResultForAWithdrawnRequestIsDiscarded) {
    thread->gate.HoldNext();
    thread->Start();
    Add(&nodes[0], "a/b");
    thread->gate.WaitUntilHeld();
    EXPECT_EQ(queue->ClearPendingItems(1, WM_ICONTHREADRESULT), 1); // the view goes while its icon is found
    Add(&nodes[1], "a/b/c/d");                                      // a new request where the old one was
    thread->gate.Let();
    WaitForResults(1);
    thread->Stop();
    EXPECT_EQ(results, (std::vector<std::int32_t>{4}));
    EXPECT_EQ(thread->discarded, 1);
}

TEST_F(ImageThreadTest, AControlThatCannotTakeTheResultLeavesItToTheThread) {
    {
        std::lock_guard guard(lock);
        refuse = true;
    }
    Add(&nodes[0], "a");
    thread->Start();
    while (queue->Count() > 0)
        std::this_thread::yield();
    thread->Stop(); // the request in hand is finished first
    EXPECT_EQ(tries, kImagePostTries);
    EXPECT_TRUE(results.empty()); // and released by the thread (checked at the end)
}

// Left queued, a request whose extraction raised would be served and fail again without end.
TEST_F(ImageThreadTest, AnExtractionThatRaisesIsReportedOnceAndItsRequestDropped) {
    std::atomic<int> errors{0};
    thread = std::make_unique<FakeIconThread>(
        *queue, [this](TImageThreadItem* item) { return Post(item); },
        [&errors](std::exception_ptr) { ++errors; });
    thread->raiseFor = 2;
    Add(&nodes[0], "a");
    Add(&nodes[1], "a/b"); // newest: raises
    thread->Start();
    WaitForResults(1);
    thread->Stop();
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(results, (std::vector<std::int32_t>{1}));
    EXPECT_EQ(thread->discarded, 1);
    EXPECT_EQ(queue->Count(), 0);
}

TEST_F(ImageThreadTest, StartAndStopCycles) {
    for (int cycle = 0; cycle < 5; ++cycle) {
        thread->Start();
        Add(&nodes[cycle % 4], "a/b");
        WaitForResults(static_cast<std::size_t>(cycle) + 1);
        thread->Stop();
    }
    thread->Stop();
    EXPECT_EQ(results.size(), 5u);
}

} // namespace
} // namespace tarvola
