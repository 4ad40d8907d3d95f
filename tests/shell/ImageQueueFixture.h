// The start shared by the tests of the image threads (icons and thumbnails): a gate that holds a worker
// inside its work while a test changes things under it, and the control's side of the queue over an
// allocator that counts its blocks, so each test ends by checking that nothing it queued is left.
#pragma once

#include "shell/VirtualImageThread.h"
#include "tests/shell/ShellQueueFixture.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace tarvola::testing_queues {

// The worker calls Pass where it may be held; the test holds it there with HoldNext and lets it go on.
class TThreadGate {
public:
    void HoldNext() {
        std::lock_guard guard(lock_);
        hold_ = true;
    }
    void WaitUntilHeld() {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [this] { return held_; });
    }
    void Let() {
        std::lock_guard guard(lock_);
        hold_ = false;
        changed_.notify_all();
    }
    void Pass() {
        std::unique_lock guard(lock_);
        if (!hold_)
            return;
        held_ = true;
        changed_.notify_all();
        changed_.wait(guard, [this] { return !hold_; });
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool hold_ = false;
    bool held_ = false;
};

// A test's own thread is a member of the derived fixture, so it stops before the queue goes here.
class ImageQueueTest : public testing::Test {
protected:
    ~ImageQueueTest() override {
        queue.reset();
        EXPECT_EQ(allocator.live, 0) << "a request or its list was left behind";
    }

    // Waits, under the lock, until done answers true; the posting side notifies arrived.
    template <class Done>
    void WaitUntil(Done done) {
        std::unique_lock guard(lock);
        arrived.wait(guard, done);
    }

    TCountingAllocator allocator;
    TPIDLManager manager{allocator};
    std::unique_ptr<TImageRequestQueue> queue = std::make_unique<TImageRequestQueue>(manager);
    std::mutex lock;
    std::condition_variable arrived;
};

} // namespace tarvola::testing_queues
