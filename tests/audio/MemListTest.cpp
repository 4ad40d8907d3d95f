#include "audio/MemList.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <numeric>
#include <vector>

namespace tarvola {
namespace {

constexpr int RecordSize = 32;
using Record = std::array<std::uint8_t, RecordSize>;

// Records are told apart by their first byte; the rest repeats it so that a torn record shows.
Record MakeRecord(int tag) {
    Record r;
    r.fill(static_cast<std::uint8_t>(tag));
    return r;
}

class MemListTest : public testing::Test {
protected:
    void AddRecords(int count, int firstTag = 0) {
        for (int i = 0; i < count; ++i)
            ASSERT_NE(list.Add(MakeRecord(firstTag + i).data()), -1);
    }

    std::vector<int> Tags() const {
        std::vector<int> tags;
        for (int i = 0; i < list.Count(); ++i) {
            const std::uint8_t* r = list.Slot(i);
            EXPECT_TRUE(std::all_of(r, r + RecordSize, [&](std::uint8_t b) { return b == r[0]; })) << i;
            tags.push_back(r[0]);
        }
        return tags;
    }

    static std::vector<int> Range(int first, int count) {
        std::vector<int> v(static_cast<std::size_t>(count));
        std::iota(v.begin(), v.end(), first);
        return v;
    }

    // A memory stream holding Bytes bytes: the records 1, 2, ... and a torn one at the end.
    static void FillStream(TMemoryStream& stream, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            const auto b = static_cast<std::uint8_t>(i / RecordSize + 1);
            stream.WriteBuffer(&b, 1);
        }
        stream.SetPosition(0);
    }

    TobjMemoryList list{RecordSize};
};

TEST_F(MemListTest, CapacityMovesInStepsOf128) {
    EXPECT_EQ(list.Capacity(), 128);
    EXPECT_EQ(list.LastIndex(), -1);
    AddRecords(128);
    EXPECT_EQ(list.Capacity(), 128);
    AddRecords(1, 128);
    EXPECT_EQ(list.Capacity(), 256);
    EXPECT_EQ(list.LastIndex(), 128);
    list.Delete(0, 1);
    EXPECT_EQ(list.Count(), 128);
    EXPECT_EQ(list.Capacity(), 128);
    list.Delete(0, 128);
    EXPECT_EQ(list.Capacity(), 0); // emptied by Delete
    AddRecords(1);
    EXPECT_EQ(list.Capacity(), 128);
    AddRecords(300);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 128);
}

TEST_F(MemListTest, SetCapacityRoundsUpAndRefusesWhatDoesNotFit) {
    AddRecords(130);
    const struct {
        int newCount;
        bool ok;
        int want;
    } cases[] = {{10241, false, 256}, {-1, false, 256},     {127, false, 256}, {129, true, 256},
                 {257, true, 384},    {10240, true, 10240}, {200, true, 256}};
    for (const auto& c : cases) {
        EXPECT_EQ(list.SetCapacity(c.newCount), c.ok) << c.newCount;
        EXPECT_EQ(list.Capacity(), c.want) << c.newCount;
    }
}

TEST_F(MemListTest, AFullListRefusesAddAndInsert) {
    AddRecords(TobjMemoryList::MaxRecords);
    EXPECT_EQ(list.Capacity(), 10240);
    EXPECT_EQ(list.Add(MakeRecord(1).data()), -1);
    EXPECT_FALSE(list.Insert(MakeRecord(1).data(), 0));
    EXPECT_EQ(list.Count(), 10240);
    EXPECT_EQ(list.Slot(0)[0], 0);
}

TEST_F(MemListTest, InsertDeleteAndPutKeepTheOrder) {
    AddRecords(5);
    EXPECT_TRUE(list.Insert(MakeRecord(50).data(), 2));
    EXPECT_TRUE(list.Insert(MakeRecord(60).data(), 6)); // at Count: appends
    EXPECT_TRUE(list.Insert(MakeRecord(70).data(), 0));
    EXPECT_EQ(Tags(), (std::vector<int>{70, 0, 1, 50, 2, 3, 4, 60}));
    list.Delete(1, 3);
    EXPECT_EQ(Tags(), (std::vector<int>{70, 2, 3, 4, 60}));
    list.Delete(4, 1);
    list.Delete(2, 0);
    list.PutRecord(MakeRecord(9).data(), 3);
    EXPECT_EQ(Tags(), (std::vector<int>{70, 2, 3, 9}));
}

TEST_F(MemListTest, OutOfRangeIndexesRaiseAndChangeNothing) {
    AddRecords(10);
    const Record r = MakeRecord(99);
    const std::function<void()> calls[] = {
        [&] { list.Delete(10, 1); },
        [&] { list.Delete(-1, 1); },
        [&] { list.Delete(5, 6); },
        [&] { list.Delete(0, -1); },
        [&] { list.Insert(r.data(), 11); },
        [&] { list.Insert(r.data(), -1); },
        [&] { list.PutRecord(r.data(), 10); },
        [&] { list.PutRecord(r.data(), -1); },
        [&] { list.Reverse(0, 10); },
        [&] { list.Reverse(-1, 3); },
        [&] { list.Slot(10); },
        [&] {
            TMemoryStream stream;
            list.SaveToStream(stream, 0, 0, 10);
        },
        [&] {
            TMemoryStream stream;
            list.LoadFromStream(stream, 0, 11, -1);
        },
        [&] {
            TMemoryStream stream;
            list.LoadFromStream(stream, -3, 0, -1);
        },
    };
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        EXPECT_THROW(calls[i](), RangeError) << "call " << i;
        EXPECT_EQ(Tags(), Range(0, 10)) << "call " << i;
    }
}

TEST_F(MemListTest, ReverseTurnsARange) {
    const struct {
        int count, first, last;
        std::vector<int> want;
    } cases[] = {
        {10, 2, 9, {0, 1, 9, 8, 7, 6, 5, 4, 3, 2}},
        {5, 0, 4, {4, 3, 2, 1, 0}},
        {5, 3, 3, {0, 1, 2, 3, 4}},
        {5, 3, 1, {0, 1, 2, 3, 4}}, // last before first
        {4, 0, 3, {3, 2, 1, 0}},
    };
    for (const auto& c : cases) {
        list.Clear();
        AddRecords(c.count);
        list.Reverse(c.first, c.last);
        EXPECT_EQ(Tags(), c.want) << c.first << ".." << c.last;
    }
}

TEST_F(MemListTest, SavesRecordsAsRawBytes) {
    AddRecords(3, 1);
    TMemoryStream stream;
    EXPECT_EQ(list.SaveToStream(stream, 0, 0, -1), 0);
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(list.SaveToStream(stream, 0, 1, 2), 64);
    EXPECT_EQ(list.SaveToStream(stream, -1, 0, 0), 32); // at the current position: appended
    ASSERT_EQ(stream.Size(), 96);
    EXPECT_EQ(stream.Memory()[0], 2);
    EXPECT_EQ(stream.Memory()[95], 1);
    EXPECT_EQ(list.SaveToStream(stream, 16, 2, 2), 32); // absolute position overwrites
    EXPECT_EQ(stream.Memory()[16], 3);
    EXPECT_EQ(stream.Size(), 96);
}

TEST_F(MemListTest, SaveStopsAtAViewThatWouldHaveToGrow) {
    AddRecords(3, 1);
    std::vector<std::uint8_t> buffer(40);
    TobjFlexMemoryStream view;
    view.SetPointer(buffer.data(), 40);
    EXPECT_EQ(list.SaveToStream(view, 0, 0, 2), 32);
    EXPECT_EQ(view.Size(), 40);
}

TEST_F(MemListTest, LoadsRecordsFromAStream) {
    const struct {
        const char* what;
        int streamBytes;
        std::int64_t position;
        int n;
        std::int64_t wantBytes;
        std::vector<int> wantTags; // first byte of each record read
    } cases[] = {
        {"70 bytes, all", 70, 0, -1, 64, {1, 2}},
        {"70 bytes, 3 asked", 70, 0, 3, 70, {1, 2, 3}},
        {"70 bytes, 10 asked", 70, 0, 10, 70, {1, 2, 3}},
        {"none asked", 70, 0, 0, 0, {}},
        {"from position 32", 96, 32, -1, 64, {2, 3}},
        {"from the end", 96, -1, -1, 0, {}},
        {"from the current position", 96, -2, 1, 32, {2}}, // set to 32 below
        {"empty stream", 0, 0, -1, 0, {}},
        {"position past the end", 32, 100, -1, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TMemoryStream stream;
        FillStream(stream, c.streamBytes);
        if (c.position == -2)
            stream.SetPosition(RecordSize);
        AddRecords(5, 100); // replaced by the load
        EXPECT_EQ(list.LoadFromStream(stream, c.position, 0, c.n), c.wantBytes);
        ASSERT_EQ(list.Count(), static_cast<int>(c.wantTags.size()));
        EXPECT_EQ(list.LastIndex(), list.Count() - 1);
        for (int i = 0; i < list.Count(); ++i)
            EXPECT_EQ(list.Slot(i)[0], c.wantTags[static_cast<std::size_t>(i)]);
        list.Clear();
    }
}

TEST_F(MemListTest, APartialLastRecordIsZeroFilled) {
    TMemoryStream stream;
    FillStream(stream, 70);
    EXPECT_EQ(list.LoadFromStream(stream, 0, 0, 3), 70);
    ASSERT_EQ(list.Count(), 3);
    const std::uint8_t* last = list.Slot(2);
    for (int i = 0; i < RecordSize; ++i)
        EXPECT_EQ(last[i], i < 6 ? 3 : 0) << i;
}

TEST_F(MemListTest, ReloadingReleasesTheOldRecords) {
    // LeakSanitizer reports any record block left behind by the reloads.
    AddRecords(300);
    TMemoryStream stream;
    FillStream(stream, 64);
    EXPECT_EQ(list.LoadFromStream(stream, 0, 0, -1), 64);
    EXPECT_EQ(Tags(), (std::vector<int>{1, 2}));
    EXPECT_EQ(list.LoadFromStream(stream, 0, 0, 0), 0);
    EXPECT_EQ(list.Count(), 0);
    // Records added after a shrinking reload sit in clean slots.
    AddRecords(3, 7);
    EXPECT_EQ(Tags(), (std::vector<int>{7, 8, 9}));
}

TEST_F(MemListTest, LoadingFromFirstKeepsTheRecordsBeforeIt) {
    AddRecords(5, 10);
    TMemoryStream stream;
    FillStream(stream, 64);
    EXPECT_EQ(list.LoadFromStream(stream, 0, 2, -1), 64);
    EXPECT_EQ(Tags(), (std::vector<int>{10, 11, 1, 2}));
    EXPECT_EQ(list.LoadFromStream(stream, 0, 4, 1), 32); // First = Count appends
    EXPECT_EQ(Tags(), (std::vector<int>{10, 11, 1, 2, 1}));
}

TEST_F(MemListTest, LoadingStopsAtTheRecordLimit) {
    TMemoryStream stream;
    stream.SetSize(std::int64_t{RecordSize} * (TobjMemoryList::MaxRecords + 5));
    EXPECT_EQ(list.LoadFromStream(stream, 0, 0, -1), std::int64_t{RecordSize} * TobjMemoryList::MaxRecords);
    EXPECT_EQ(list.Count(), TobjMemoryList::MaxRecords);
    EXPECT_EQ(list.Capacity(), TobjMemoryList::MaxRecords);
}

TEST_F(MemListTest, LoadsRecordsFromAFile) {
    const char* name = "MemListTest_records.bin";
    {
        TobjMemoryList source(RecordSize);
        for (int i = 1; i <= 3; ++i)
            source.Add(MakeRecord(i).data());
        TFileStream file(name, TFileStream::Mode::Create);
        ASSERT_EQ(source.SaveToStream(file, 0, 0, 2), 96);
        file.Close();
    }
    const struct {
        const char* what;
        const char* fileName;
        std::int64_t position;
        int n;
        std::int64_t wantBytes;
        std::vector<int> wantTags;
    } cases[] = {
        {"N 0", name, 0, 0, 0, {}},
        {"N -1", name, 0, -1, 96, {1, 2, 3}},
        {"from position 32", name, 32, -1, 64, {2, 3}},
        {"explicit count", name, 32, 1, 32, {2}},
        {"from the end", name, -1, -1, 0, {}},
        {"missing file", "MemListTest_missing.bin", 0, -1, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AddRecords(4, 100); // replaced by the load, also when the file is missing
        EXPECT_EQ(list.LoadFromFile(c.fileName, c.position, 0, c.n), c.wantBytes);
        std::vector<int> tags;
        for (int i = 0; i < list.Count(); ++i)
            tags.push_back(list.Slot(i)[0]);
        EXPECT_EQ(tags, c.wantTags);
        list.Clear();
    }
    std::remove(name);
}

TEST(MemList, RefusesARecordSizeBelowOne) {
    EXPECT_THROW(TobjMemoryList(0), RangeError);
}

} // namespace
} // namespace tarvola
