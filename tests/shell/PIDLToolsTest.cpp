#include "shell/VirtualPIDLTools.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tarvola {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A list of records whose data are the given texts (cb = 2 + length), then the terminator.
Bytes MakeList(const std::vector<std::string>& records) {
    Bytes bytes;
    for (const std::string& data : records) {
        const std::size_t cb = data.size() + 2;
        bytes.push_back(static_cast<std::uint8_t>(cb & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(cb >> 8));
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// Counts what the manager allocates and frees, so that every test also proves it leaks nothing.
class TCountingAllocator final : public IShellAllocator {
public:
    void* Alloc(std::size_t size) override {
        ++live;
        return MallocAllocator().Alloc(size);
    }
    void Free(void* block) override {
        if (block != nullptr)
            --live;
        MallocAllocator().Free(block);
    }
    int live = 0;
};

class PIDLManagerTest : public testing::Test {
protected:
    ~PIDLManagerTest() override { EXPECT_EQ(allocator.live, 0) << "item lists leaked"; }

    // A list in allocator memory, freed by the caller.
    PItemIDList Shell(const Bytes& bytes) {
        auto* pidl = static_cast<PItemIDList>(allocator.Alloc(bytes.size()));
        std::memcpy(pidl, bytes.data(), bytes.size());
        return pidl;
    }
    Bytes Of(PCItemIDList pidl) { return Bytes(pidl, pidl + TPIDLManager::GetPIDLSize(pidl)); }

    TCountingAllocator allocator;
    TPIDLManager manager{allocator};
};

TEST_F(PIDLManagerTest, SizeAndCount) {
    struct Case {
        const char* what;
        Bytes bytes;
        std::int32_t size, count;
    };
    const std::vector<Case> cases = {
        {"desktop", MakeList({}), 2, 0},
        {"one record", MakeList({"abc"}), 7, 1},
        {"three records", MakeList({"C:", "a", "file.txt"}), 2 + 4 + 3 + 10, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TPIDLManager::GetPIDLSize(c.bytes.data()), c.size) << c.what;
        EXPECT_EQ(TPIDLManager::CountIDs(c.bytes.data()), c.count) << c.what;
    }
    EXPECT_EQ(TPIDLManager::GetPIDLSize(nullptr), 0);
    EXPECT_EQ(TPIDLManager::CountIDs(nullptr), 0);
    EXPECT_TRUE(TPIDLManager::IsDesktopPIDL(MakeList({}).data()));
    EXPECT_FALSE(TPIDLManager::IsDesktopPIDL(nullptr));
}

TEST_F(PIDLManagerTest, AppendTreatsNullAndDesktopAlike) {
    const Bytes x = MakeList({"a", "bc"});
    const Bytes desktop = MakeList({});
    struct Case {
        const char* what;
        const std::uint8_t* first;
        const std::uint8_t* second;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"desktop + X", desktop.data(), x.data(), x},
        {"null + X", nullptr, x.data(), x},
        {"X + desktop", x.data(), desktop.data(), x},
        {"X + null", x.data(), nullptr, x},
        {"null + null", nullptr, nullptr, desktop},
        {"X + X", x.data(), x.data(), MakeList({"a", "bc", "a", "bc"})},
    };
    for (const Case& c : cases) {
        PItemIDList joined = manager.AppendPIDL(c.first, c.second);
        EXPECT_EQ(Of(joined), c.expected) << c.what;
        manager.FreePIDL(joined);
    }
    PItemIDList copy = manager.CopyPIDL(x.data());
    EXPECT_EQ(Of(copy), x);
    manager.FreeAndNilPIDL(copy);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(manager.CopyPIDL(nullptr), nullptr);
    manager.FreePIDL(nullptr); // freeing no list is harmless
    manager.FreeAndNilPIDL(copy);
}

TEST_F(PIDLManagerTest, LastIDAndStrip) {
    Bytes one = MakeList({"only"});
    EXPECT_EQ(TPIDLManager::GetLastID(one.data()), one.data());
    TPIDLManager::StripLastID(one.data());
    EXPECT_TRUE(TPIDLManager::IsDesktopPIDL(one.data()));

    Bytes three = MakeList({"a", "bb", "ccc"});
    EXPECT_EQ(TPIDLManager::GetLastID(three.data()), three.data() + 3 + 4);
    std::uint16_t oldCB = 0;
    std::uint8_t* where = nullptr;
    TPIDLManager::TruncateLastID(three.data(), oldCB, where);
    EXPECT_EQ(oldCB, 5);
    EXPECT_EQ(where, three.data() + 7);
    EXPECT_EQ(TPIDLManager::CountIDs(three.data()), 2);
    where[0] = static_cast<std::uint8_t>(oldCB); // the caller puts it back
    EXPECT_EQ(three, MakeList({"a", "bb", "ccc"}));

    EXPECT_EQ(TPIDLManager::GetLastID(nullptr), nullptr);
    EXPECT_EQ(TPIDLManager::StripLastID(nullptr), nullptr);
    TPIDLManager::TruncateLastID(nullptr, oldCB, where);
    EXPECT_EQ(oldCB, 0);
    EXPECT_EQ(where, nullptr);
}

TEST_F(PIDLManagerTest, SubListTestLeavesBothListsAlone) {
    const Bytes p = MakeList({"a", "b", "c"});
    const Bytes before = p;
    struct Case {
        const char* what;
        Bytes sub;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"itself", p, true},
        {"desktop", MakeList({}), true},
        {"parent", MakeList({"a", "b"}), true},
        {"other branch", MakeList({"a", "x"}), false},
        {"longer", MakeList({"a", "b", "c", "d"}), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(manager.IsSubPIDL(p.data(), c.sub.data()), c.expected) << c.what;
        EXPECT_EQ(p, before) << c.what;
    }
    EXPECT_FALSE(manager.IsSubPIDL(nullptr, p.data()));
    EXPECT_FALSE(manager.IsSubPIDL(p.data(), nullptr));
}

std::string StreamBytes(TMemoryStream& stream) {
    return std::string(reinterpret_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

TEST_F(PIDLManagerTest, ListStreamRoundTripWithNullEntry) {
    const Bytes a = MakeList({"a"});
    const Bytes desktop = MakeList({});
    TMemoryStream stream;
    {
        TPIDLList list(manager);
        list.CopyAdd(a.data());
        list.Add(nullptr);
        list.CopyAdd(desktop.data());
        ASSERT_TRUE(list.SaveToStream(stream));
    } // the list frees its copies itself
    EXPECT_EQ(StreamBytes(stream), std::string("\x03\0\0\0"
                                               "\x05\0\0\0\x03\0a\0\0"
                                               "\0\0\0\0"
                                               "\x02\0\0\0\0\0",
                                               4 + 9 + 4 + 6));
    stream.SetPosition(0);
    TPIDLList loaded(manager);
    ASSERT_TRUE(loaded.LoadFromStream(stream));
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(Of(loaded.Get(0)), a);
    EXPECT_EQ(loaded.Get(1), nullptr);
    EXPECT_EQ(Of(loaded.Get(2)), desktop);
    EXPECT_THROW(loaded.Get(3), RangeError);
}

TEST_F(PIDLManagerTest, StoredSizesBelowOneReadAsNoList) {
    for (const std::int32_t size : {0, -5}) {
        TMemoryStream stream;
        WriteInt32(stream, size);
        WriteInt32(stream, 1234);
        stream.SetPosition(0);
        EXPECT_EQ(manager.LoadPIDLFromStream(stream), nullptr);
        EXPECT_EQ(stream.Position(), 4);
    }
}

TEST_F(PIDLManagerTest, StoredListsAreBoundedByTheStream) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"size beyond the stream", std::string("\xFF\xFF\xFF\x7F\x02\0\0\0", 8)},
        {"size beyond what is left", std::string("\x09\0\0\0\x03\0a\0\0", 9)},
        {"record runs past the size", std::string("\x04\0\0\0\x09\0a\0", 8)},
        {"no terminator", std::string("\x03\0\0\0\x03\0a", 7)},
        {"record of one byte", std::string("\x04\0\0\0\x01\0\0\0", 8)},
        {"short size", std::string("\x04\0", 2)},
    };
    for (const Case& c : cases) {
        TMemoryStream stream;
        stream.WriteBuffer(c.bytes.data(), static_cast<std::int64_t>(c.bytes.size()));
        stream.SetPosition(0);
        EXPECT_THROW(manager.LoadPIDLFromStream(stream), StreamError) << c.what;
    }
}

TEST_F(PIDLManagerTest, ShortListStreamKeepsWhatWasRead) {
    TMemoryStream stream;
    WriteInt32(stream, 3);
    TPIDLManager::SavePIDLToStream(stream, MakeList({"a"}).data());
    TPIDLManager::SavePIDLToStream(stream, MakeList({"b"}).data());
    WriteInt32(stream, 40); // the third list is cut off
    stream.SetPosition(0);
    TPIDLList list(manager);
    EXPECT_FALSE(list.LoadFromStream(stream));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(Of(list.Get(1)), MakeList({"b"}));
}

TEST_F(PIDLManagerTest, SharedListsLeaveTheirPIDLsToTheOwner) {
    PItemIDList pidl = Shell(MakeList({"x"}));
    {
        TPIDLList list(manager);
        list.SharePIDLs = true;
        list.Add(pidl);
    }
    EXPECT_EQ(allocator.live, 1);
    manager.FreePIDL(pidl);
}

TEST(ItemIDList, ValueOperations) {
    const TItemIDList path = TItemIDList::FromBytes(MakeList({"C:", "a", "b"}));
    EXPECT_EQ(path.Count(), 3);
    EXPECT_EQ(path.Size(), 4u + 3 + 3 + 2);
    EXPECT_EQ(path.Parent().Bytes(), MakeList({"C:", "a"}));
    EXPECT_EQ(path.LastItem().Bytes(), MakeList({"b"}));
    EXPECT_EQ(path.Parent().Append(path.LastItem()), path);
    EXPECT_TRUE(TItemIDList().IsDesktop());
    EXPECT_EQ(TItemIDList().Parent(), TItemIDList());
    EXPECT_EQ(TItemIDList().Append(path), path);
    EXPECT_EQ(TItemIDList::FromPIDL(nullptr), TItemIDList());
    EXPECT_EQ(TItemIDList::FromPIDL(path.Data()), path);

    EXPECT_TRUE(path.Parent().IsParentOf(path, true));
    EXPECT_TRUE(TItemIDList().IsParentOf(path, false));
    EXPECT_FALSE(TItemIDList().IsParentOf(path, true));
    EXPECT_FALSE(path.IsParentOf(path, false));
    EXPECT_FALSE(TItemIDList::FromBytes(MakeList({"C:", "x"})).IsParentOf(path, false));

    EXPECT_THROW(TItemIDList::FromBytes({}), EPIDLError);
    EXPECT_THROW(TItemIDList::FromBytes({3, 0, 'a'}), EPIDLError);
    EXPECT_THROW(TItemIDList::FromBytes({0, 0, 0}), EPIDLError); // bytes after the terminator
}

// Random bytes never make the checked walk read outside them, and whatever it accepts is a list whose
// operations hold together.
TEST(ItemIDList, CheckedWalkOfRandomBytes) {
    std::mt19937 random(22);
    for (int round = 0; round < 20000; ++round) {
        Bytes bytes(random() % 24);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random() % 8);
        const std::size_t size = CheckedPIDLSize(bytes.data(), bytes.size());
        ASSERT_LE(size, bytes.size());
        if (size == 0)
            continue;
        bytes.resize(size);
        const TItemIDList list = TItemIDList::FromBytes(bytes);
        ASSERT_EQ(list.Parent().Append(list.LastItem()), list);
        ASSERT_EQ(static_cast<std::int32_t>(list.Size()), TPIDLManager::GetPIDLSize(list.Data()));
    }
}

} // namespace
} // namespace tarvola
