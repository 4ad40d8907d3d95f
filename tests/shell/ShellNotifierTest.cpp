#include "shell/VirtualShellNotifier.h"

#include "ShellQueueFixture.h"

#include <gtest/gtest.h>

#include <future>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola {
namespace {

using namespace testing_queues;
using enum TVirtualShellNotifyEvent;

TEST(ShellNotifyEvents, KindsTextsAndShellBits) {
    EXPECT_EQ(ShellNotifyEventText(vsneAssociationChanged), u"Assocciation Changed");
    EXPECT_EQ(ShellNotifyEventText(vsneUpdateItem), u"Update Item");
    EXPECT_EQ(ShellNotifyEventText(vsneRenameFolder), u"Folder Rename");
    EXPECT_EQ(ShellNotifyEventOf(0x1), vsneRenameItem);
    EXPECT_EQ(ShellNotifyEventOf(0x20000), vsneRenameFolder);
    EXPECT_EQ(ShellNotifyEventOf(0x8000000), vsneAssociationChanged);
    EXPECT_EQ(ShellNotifyEventOf(0x40000), vsneFreeSpace);
    EXPECT_EQ(ShellNotifyEventOf(0x80000), std::nullopt); // SHCNE_EXTENDED_EVENT is not followed
    EXPECT_EQ(ShellNotifyEventOf(0x3), std::nullopt);     // one bit at a time
    int mapped = 0;
    for (int bit = 0; bit < 32; ++bit)
        mapped += ShellNotifyEventOf(1u << bit).has_value();
    EXPECT_EQ(mapped, kShellNotifyEventCount);
}

TEST(ShellNotifyEvents, DwordItemsComeFromTheFirstRecord) {
    const std::vector<std::uint8_t> record = {10, 0, 1, 2, 3, 4, 0xFF, 0, 0, 0x80, 0, 0};
    std::uint32_t item1 = 7, item2 = 7;
    DwordItemsOf(record.data(), item1, item2);
    EXPECT_EQ(item1, 0x04030201u);
    EXPECT_EQ(item2, 0x800000FFu);
    const std::vector<std::uint8_t> shortRecord = {4, 0, 1, 2, 0, 0};
    DwordItemsOf(shortRecord.data(), item1, item2);
    EXPECT_EQ(item1, 0u);
    DwordItemsOf(nullptr, item1, item2);
    EXPECT_EQ(item2, 0u);
    EXPECT_TRUE(CarriesDwordItems(vsneFreeSpace));
    EXPECT_FALSE(CarriesDwordItems(vsneUpdateDir));
}

class DispatchQueueTest : public testing::Test {
protected:
    ~DispatchQueueTest() override {
        queue.reset();
        EXPECT_EQ(allocator.live, 0) << "an item list was left behind";
    }

    void Add(TVirtualShellNotifyEvent kind, const std::string& path1, const std::string& path2 = "-") {
        const TItemIDList pidl1 = Path(path1);
        const TItemIDList pidl2 = path2 == "-" ? TItemIDList() : Path(path2);
        queue->Add(kind, pidl1.Data(), path2 == "-" ? nullptr : pidl2.Data());
    }

    // The batch as "kind:path" texts, released.
    std::vector<std::string> Take() {
        now += kShellNotifyQuietTime;
        TVirtualShellEventList* list = queue->TakeDueBatch();
        std::vector<std::string> texts;
        if (list == nullptr)
            return texts;
        for (int i = 0; i < list->Count(); ++i) {
            const TVirtualShellEvent& event = list->Event(i);
            texts.push_back(WideToUtf8(ShellNotifyEventText(event.Kind())) + ":" + Text(event.PIDL1()));
        }
        list->Release();
        return texts;
    }

    static std::string Text(PCItemIDList pidl) {
        std::string text;
        for (; pidl != nullptr && pidl[0] != 0; pidl += pidl[0]) {
            if (!text.empty())
                text.push_back('/');
            text.append(reinterpret_cast<const char*>(pidl + 2), pidl[0] - 2u);
        }
        return text;
    }

    TCountingAllocator allocator;
    TPIDLManager manager{allocator};
    TMilliseconds now{1000};
    std::unique_ptr<TChangeDispatchQueue> queue =
        std::make_unique<TChangeDispatchQueue>(manager, [this] { return now; });
};

TEST_F(DispatchQueueTest, FilteringCases) {
    const TItemIDList recycleBin = Path("bin");
    const TItemIDList recycled = Path("c/Recycled");
    const std::vector<PCItemIDList> bins = {recycleBin.Data(), nullptr, recycled.Data()};
    queue->SetRecycleBinFolders(bins);
    struct Event {
        TVirtualShellNotifyEvent kind;
        std::string path1, path2;
    };
    struct Case {
        const char* name;
        std::vector<Event> events;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"rename in one folder", {{vsneRenameItem, "c/d/a", "c/d/b"}}, {"Update Directory:c/d"}},
        {"move between folders",
         {{vsneRenameFolder, "c/d/a", "c/e/a"}},
         {"Update Directory:c/d", "Update Directory:c/e"}},
        {"create, delete, mkdir, rmdir",
         {{vsneCreate, "c/d/a", "-"},
          {vsneDelete, "c/e/b", "-"},
          {vsneMkDir, "c/f/g", "-"},
          {vsneRmDir, "c/d/x", "-"}},
         {"Update Directory:c/d", "Update Directory:c/e", "Update Directory:c/f"}},
        {"ten creates in one folder",
         std::vector<Event>(10, {vsneCreate, "c/d/a", "-"}),
         {"Update Directory:c/d"}},
        {"item in a Recycle Bin folder", {{vsneUpdateItem, "c/Recycled/x", "-"}}, {}},
        {"folder in a Recycle Bin folder",
         {{vsneUpdateDir, "c/Recycled/x", "-"}, {vsneUpdateDir, "c/Recycled", "-"}},
         {"Update Directory:c/Recycled", "Update Directory:bin"}},
        {"repeat of kind and item",
         {{vsneAttributes, "c/a", "-"}, {vsneAttributes, "c/a", "-"}, {vsneUpdateItem, "c/a", "-"}},
         {"Attributes:c/a", "Update Item:c/a"}},
        {"update outside the bins", {{vsneUpdateItem, "c/Recycledx", "-"}}, {"Update Item:c/Recycledx"}},
    };
    for (const Case& c : cases) {
        for (const Event& e : c.events)
            Add(e.kind, e.path1, e.path2);
        EXPECT_EQ(Take(), c.expected) << c.name;
    }
}

TEST_F(DispatchQueueTest, WithoutFilteringEverythingPasses) {
    queue->SetFilterEvents(false);
    Add(vsneRenameItem, "c/d/a", "c/d/b");
    Add(vsneCreate, "c/d/a");
    Add(vsneCreate, "c/d/a");
    EXPECT_EQ(Take(),
              (std::vector<std::string>{"Item Rename:c/d/a", "Item Create:c/d/a", "Item Create:c/d/a"}));
}

TEST_F(DispatchQueueTest, FreeSpaceRepeatsGoByTheirFirstItem) {
    queue->Add(vsneFreeSpace, nullptr, nullptr, 3, 0);
    queue->Add(vsneFreeSpace, nullptr, nullptr, 3, 9);
    queue->Add(vsneFreeSpace, nullptr, nullptr, 4, 0);
    EXPECT_EQ(queue->PendingCount(), 2);
    Take();
}

TEST_F(DispatchQueueTest, EventsWithoutTheirItemsMakeNoFolderUpdate) {
    queue->Add(vsneCreate, nullptr, nullptr);
    queue->Add(vsneRenameItem, nullptr, nullptr);
    EXPECT_EQ(queue->PendingCount(), 0);
    queue->Add(vsneAssociationChanged, nullptr, nullptr);
    queue->Add(vsneAssociationChanged, nullptr, nullptr);
    EXPECT_EQ(queue->PendingCount(), 1);
    Take();
}

TEST_F(DispatchQueueTest, ABatchFallsDueAQuietTimeAfterTheLastEvent) {
    EXPECT_EQ(queue->DueTime(), std::nullopt);
    EXPECT_EQ(queue->TakeDueBatch(), nullptr); // nothing pending: no empty batch
    for (int i = 0; i < 10; ++i) {
        Add(vsneCreate, "c/d/" + std::to_string(i));
        now += TMilliseconds(50);
    }
    Add(vsneCreate, "c/d/0"); // a repeat still restarts the quiet period
    EXPECT_EQ(queue->DueTime(), now + kShellNotifyQuietTime);
    now += kShellNotifyQuietTime - TMilliseconds(1);
    EXPECT_EQ(queue->TakeDueBatch(), nullptr);
    now += TMilliseconds(1);
    TVirtualShellEventList* list = queue->TakeDueBatch();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(list->RefCount(), 1);
    EXPECT_EQ(queue->PendingCount(), 0);
    list->Release();
}

TEST_F(DispatchQueueTest, EveryHolderReleasesOnceAndTheLastFreesTheList) {
    Add(vsneCreate, "c/d/a");
    now += kShellNotifyQuietTime;
    TVirtualShellEventList* list = queue->TakeDueBatch();
    ASSERT_NE(list, nullptr);
    const std::vector<TChangeTarget> targets = {{11}, {0}, {12}, {13}}; // one without a window
    std::vector<std::uintptr_t> received;
    DeliverShellEventList(list, targets, [&](std::uintptr_t window, TVirtualShellEventList* posted) {
        EXPECT_EQ(posted, list);
        if (window == 12)
            return false; // its queue is full
        received.push_back(window);
        return true;
    });
    ASSERT_EQ(received, (std::vector<std::uintptr_t>{11, 13}));
    EXPECT_EQ(list->RefCount(), 2);
    list->Release();
    EXPECT_GT(allocator.live, 0);
    list->Release(); // the last holder: the list and its item lists are gone (checked at the end)
    EXPECT_EQ(allocator.live, 0);
}

TEST_F(DispatchQueueTest, ABatchForNoControlIsFreedByTheListener) {
    Add(vsneCreate, "c/d/a");
    now += kShellNotifyQuietTime;
    DeliverShellEventList(queue->TakeDueBatch(), {},
                          [](std::uintptr_t, TVirtualShellEventList*) { return true; });
    EXPECT_EQ(allocator.live, 0);
}

TEST(ChangeDispatchThread, PostsOneBatchAndReleasesWhatCannotBePosted) {
    TCountingAllocator allocator;
    {
        TPIDLManager manager(allocator);
        TChangeDispatchQueue queue(manager);
        std::promise<int> firstBatch;
        int posts = 0;
        TChangeDispatchThread thread(
            queue,
            [&](TVirtualShellEventList* list) {
                if (++posts == 1) {
                    firstBatch.set_value(list->Count());
                    list->Release(); // the receiver's part
                    return true;
                }
                return false; // the listener is gone: the thread releases the list
            },
            [](std::exception_ptr) { ADD_FAILURE() << "no error expected"; });
        const TItemIDList a = Path("c/d/a");
        const TItemIDList b = Path("c/d/b");
        queue.Add(vsneCreate, a.Data(), nullptr);
        queue.Add(vsneCreate, b.Data(), nullptr);
        EXPECT_EQ(firstBatch.get_future().get(), 1);
        queue.Add(vsneDelete, a.Data(), nullptr);
        // Stopping in the middle of the quiet period ends the wait; what is pending goes with the queue.
        thread.Stop();
    }
    EXPECT_EQ(allocator.live, 0);
}

TEST(ChangeDispatchThread, StopEndsAQuietPeriodThatNeverEnds) {
    TCountingAllocator allocator;
    {
        TPIDLManager manager(allocator);
        TChangeDispatchQueue queue(manager, [] { return TMilliseconds(0); }); // time stands still
        TChangeDispatchThread thread(
            queue, [](TVirtualShellEventList*) -> bool { throw std::runtime_error("nothing is due"); },
            [](std::exception_ptr) {});
        const TItemIDList a = Path("c/d/a");
        queue.Add(vsneCreate, a.Data(), nullptr);
        thread.Stop(); // without the wake-up on termination this would wait for ever
        EXPECT_EQ(queue.PendingCount(), 1);
    }
    EXPECT_EQ(allocator.live, 0);
}

TEST(ChangeDispatchThread, AnErrorOfThePostIsHandedOnAndTheBatchReleased) {
    TCountingAllocator allocator;
    {
        TPIDLManager manager(allocator);
        TChangeDispatchQueue queue(manager);
        std::promise<void> reported;
        TChangeDispatchThread thread(
            queue, [](TVirtualShellEventList*) -> bool { throw std::runtime_error("listener failed"); },
            [&](std::exception_ptr) { reported.set_value(); });
        const TItemIDList a = Path("c/d/a");
        queue.Add(vsneCreate, a.Data(), nullptr);
        reported.get_future().get();
        thread.Stop();
    }
    EXPECT_EQ(allocator.live, 0);
}

} // namespace
} // namespace tarvola
