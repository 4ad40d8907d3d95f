#include "shell/VirtualObjectList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvola {
namespace {

// Records its own end in a log shared by the test.
struct TTracked {
    TTracked(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
    ~TTracked() { log.push_back("freed " + name); }
    std::vector<std::string>& log;
    std::string name;
};

// Logs each notification, and whether the item was still alive then, before the list's own part.
class TLoggingList final : public TObjectList<TTracked> {
public:
    TLoggingList(std::vector<std::string>& log, bool owns) : TObjectList(owns), log_(log) {}
    ~TLoggingList() override { Clear(); }

protected:
    void Notify(TTracked* item, TListNotification action) override {
        const char* names[] = {"added ", "extracted ", "deleted "};
        log_.push_back(names[static_cast<int>(action)] + item->name);
        TObjectList::Notify(item, action);
    }

private:
    std::vector<std::string>& log_;
};

TEST(ObjectList, AnOwningListFreesWhatItDeletesClearsOrHoldsAtItsEnd) {
    std::vector<std::string> log;
    {
        TLoggingList list(log, true);
        auto* a = new TTracked(log, "a");
        auto* b = new TTracked(log, "b");
        auto* c = new TTracked(log, "c");
        EXPECT_EQ(list.Add(a), 0);
        EXPECT_EQ(list.Add(c), 1);
        list.Insert(1, b);
        EXPECT_EQ(list.IndexOf(b), 1);
        EXPECT_EQ(list.Last(), c);
        list.Delete(0);
        EXPECT_EQ(list.Remove(c), 1);
        EXPECT_EQ(list.Remove(c), -1) << "a removed item is no longer held";
        EXPECT_EQ(list.Count(), 1);
    }
    const std::vector<std::string> expected = {"added a",   "added c", "added b",   "deleted a", "freed a",
                                               "deleted c", "freed c", "deleted b", "freed b"};
    EXPECT_EQ(log, expected);
}

TEST(ObjectList, ExtractAndANonOwningListLeaveTheObjectsToTheCaller) {
    std::vector<std::string> log;
    TTracked kept(log, "kept");
    TTracked other(log, "other");
    {
        TLoggingList list(log, true);
        list.Add(&kept);
        EXPECT_EQ(list.Extract(&kept), &kept);
        EXPECT_EQ(list.Extract(&kept), nullptr);
        EXPECT_EQ(list.Count(), 0);

        list.SetOwnsObjects(false);
        list.Add(&kept);
        list.Add(&other);
        list.Delete(0);
        list.Clear();
    }
    const std::vector<std::string> expected = {"added kept",  "extracted kept", "added kept",
                                               "added other", "deleted kept",   "deleted other"};
    EXPECT_EQ(log, expected);
}

TEST(ObjectList, IndexesOutsideTheListRaise) {
    std::vector<std::string> log;
    TLoggingList list(log, true);
    list.Add(new TTracked(log, "a"));
    struct Case {
        const char* what;
        void (*call)(TLoggingList&);
        const char* message;
    };
    const Case cases[] = {
        {"Items(1)", [](TLoggingList& l) { l.Items(1); }, "List index out of bounds (1)"},
        {"Items(-1)", [](TLoggingList& l) { l.Items(-1); }, "List index out of bounds (-1)"},
        {"Delete(5)", [](TLoggingList& l) { l.Delete(5); }, "List index out of bounds (5)"},
        {"Insert(2)", [](TLoggingList& l) { l.Insert(2, nullptr); }, "List index out of bounds (2)"},
    };
    for (const Case& c : cases) {
        try {
            c.call(list);
            ADD_FAILURE() << c.what << " did not raise";
        } catch (const RangeError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.what;
        }
    }
    EXPECT_EQ(list.Count(), 1) << "a failed call leaves the list as it was";
    TLoggingList empty(log, true);
    EXPECT_THROW(empty.First(), RangeError);
}

} // namespace
} // namespace tarvola
