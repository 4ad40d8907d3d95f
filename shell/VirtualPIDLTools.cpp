#include "shell/VirtualPIDLTools.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tarvola {

namespace {

std::uint16_t RecordSize(const std::uint8_t* record) {
    return static_cast<std::uint16_t>(record[0] | (record[1] << 8));
}

class TMallocAllocator final : public IShellAllocator {
public:
    void* Alloc(std::size_t size) override { return std::malloc(size == 0 ? 1 : size); }
    void Free(void* block) override { std::free(block); }
};

// Number of bytes of the first count records.
std::size_t PrefixBytes(PCItemIDList pidl, int count) {
    std::size_t bytes = 0;
    for (int i = 0; i < count; ++i)
        bytes += RecordSize(pidl + bytes);
    return bytes;
}

class TByteIdentity final : public TPIDLIdentity {
public:
    bool Equal(PCItemIDList a, PCItemIDList b) const override {
        if (a == nullptr || b == nullptr)
            return false;
        const std::int32_t size = TPIDLManager::GetPIDLSize(a);
        return size == TPIDLManager::GetPIDLSize(b) && std::memcmp(a, b, static_cast<std::size_t>(size)) == 0;
    }
    bool IsParent(PCItemIDList parent, PCItemIDList child, bool immediateOnly) const override {
        if (parent == nullptr || child == nullptr)
            return false;
        const int parentCount = TPIDLManager::CountIDs(parent);
        const int childCount = TPIDLManager::CountIDs(child);
        if (childCount <= parentCount || (immediateOnly && childCount != parentCount + 1))
            return false;
        const std::size_t bytes = PrefixBytes(parent, parentCount);
        return PrefixBytes(child, parentCount) == bytes && std::memcmp(parent, child, bytes) == 0;
    }
};

} // namespace

IShellAllocator& MallocAllocator() {
    static TMallocAllocator allocator; // stateless
    return allocator;
}

const TPIDLIdentity& ByteIdentity() {
    static const TByteIdentity identity; // stateless
    return identity;
}

std::size_t CheckedPIDLSize(const std::uint8_t* bytes, std::size_t size) {
    std::size_t at = 0;
    while (at + 2 <= size) {
        const std::uint16_t cb = RecordSize(bytes + at);
        if (cb == 0)
            return at + 2;
        if (cb < 2) // a record of one byte would never move the walk on
            return 0;
        at += cb;
    }
    return 0;
}

// ---- TItemIDList

TItemIDList::TItemIDList() : bytes_{0, 0} {}

TItemIDList TItemIDList::FromPIDL(PCItemIDList pidl) {
    if (pidl == nullptr)
        return TItemIDList();
    const auto size = static_cast<std::size_t>(TPIDLManager::GetPIDLSize(pidl));
    return TItemIDList(std::vector<std::uint8_t>(pidl, pidl + size));
}

TItemIDList TItemIDList::FromBytes(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty() || CheckedPIDLSize(bytes.data(), bytes.size()) != bytes.size())
        throw EPIDLError("Not an item identifier list (" + std::to_string(bytes.size()) + " bytes)");
    return TItemIDList(bytes);
}

int TItemIDList::Count() const {
    return TPIDLManager::CountIDs(bytes_.data());
}

TItemIDList TItemIDList::Append(const TItemIDList& tail) const {
    std::vector<std::uint8_t> bytes(bytes_.begin(), bytes_.end() - 2);
    bytes.insert(bytes.end(), tail.bytes_.begin(), tail.bytes_.end());
    return TItemIDList(std::move(bytes));
}

TItemIDList TItemIDList::Parent() const {
    const int count = Count();
    if (count == 0)
        return *this;
    std::vector<std::uint8_t> bytes(bytes_.begin(), bytes_.begin() + PrefixBytes(bytes_.data(), count - 1));
    bytes.push_back(0);
    bytes.push_back(0);
    return TItemIDList(std::move(bytes));
}

TItemIDList TItemIDList::LastItem() const {
    const int count = Count();
    if (count == 0)
        return *this;
    const std::size_t start = PrefixBytes(bytes_.data(), count - 1);
    std::vector<std::uint8_t> bytes(bytes_.begin() + start, bytes_.end());
    return TItemIDList(std::move(bytes));
}

bool TItemIDList::IsParentOf(const TItemIDList& other, bool immediateOnly) const {
    return ByteIdentity().IsParent(Data(), other.Data(), immediateOnly);
}

// ---- TPIDLManager

PItemIDList TPIDLManager::Allocate(std::size_t size) const {
    return static_cast<PItemIDList>(allocator_.Alloc(size));
}

PItemIDList TPIDLManager::AppendPIDL(PCItemIDList pidl1, PCItemIDList pidl2) const {
    static const std::uint8_t desktop[2] = {0, 0};
    if (pidl2 == nullptr)
        pidl2 = desktop;
    const std::size_t head = pidl1 == nullptr ? 0 : static_cast<std::size_t>(GetPIDLSize(pidl1)) - 2;
    const auto tail = static_cast<std::size_t>(GetPIDLSize(pidl2));
    PItemIDList result = Allocate(head + tail);
    if (result == nullptr)
        return nullptr;
    if (head > 0)
        std::memcpy(result, pidl1, head);
    std::memcpy(result + head, pidl2, tail);
    return result;
}

PItemIDList TPIDLManager::CopyPIDL(PCItemIDList pidl) const {
    if (pidl == nullptr)
        return nullptr;
    const auto size = static_cast<std::size_t>(GetPIDLSize(pidl));
    PItemIDList result = Allocate(size);
    if (result != nullptr)
        std::memcpy(result, pidl, size);
    return result;
}

void TPIDLManager::FreeAndNilPIDL(PItemIDList& pidl) const {
    PItemIDList old = pidl;
    pidl = nullptr;
    FreePIDL(old);
}

std::int32_t TPIDLManager::GetPIDLSize(PCItemIDList pidl) {
    if (pidl == nullptr)
        return 0;
    std::int32_t size = 2;
    for (PCItemIDList at = pidl; RecordSize(at) != 0; at += RecordSize(at))
        size = CheckedAdd<std::int32_t>(size, RecordSize(at));
    return size;
}

std::int32_t TPIDLManager::CountIDs(PCItemIDList pidl) {
    if (pidl == nullptr)
        return 0;
    std::int32_t count = 0;
    for (PCItemIDList at = pidl; RecordSize(at) != 0; at += RecordSize(at))
        ++count;
    return count;
}

PItemIDList TPIDLManager::GetNextID(PItemIDList id) {
    return id + RecordSize(id);
}

PItemIDList TPIDLManager::GetLastID(PItemIDList pidl) {
    if (pidl == nullptr || CountIDs(pidl) < 2)
        return pidl;
    PItemIDList last = pidl;
    for (PItemIDList at = pidl; RecordSize(at) != 0; at = GetNextID(at))
        last = at;
    return last;
}

PItemIDList TPIDLManager::StripLastID(PItemIDList pidl) {
    std::uint16_t oldCB = 0;
    std::uint8_t* where = nullptr;
    return TruncateLastID(pidl, oldCB, where);
}

PItemIDList TPIDLManager::TruncateLastID(PItemIDList pidl, std::uint16_t& oldCB, std::uint8_t*& where) {
    oldCB = 0;
    where = nullptr;
    if (pidl == nullptr || IsDesktopPIDL(pidl))
        return pidl;
    where = GetLastID(pidl);
    oldCB = RecordSize(where);
    where[0] = 0;
    where[1] = 0;
    return pidl;
}

bool TPIDLManager::IsSubPIDL(PCItemIDList pidl, PCItemIDList subPIDL) const {
    if (pidl == nullptr || subPIDL == nullptr)
        return false;
    const int count = CountIDs(subPIDL);
    if (CountIDs(pidl) < count)
        return false;
    // A copy of the prefix, so that lists in shared or read-only memory are never written to.
    const std::size_t bytes = PrefixBytes(pidl, count);
    std::vector<std::uint8_t> prefix(pidl, pidl + bytes);
    prefix.push_back(0);
    prefix.push_back(0);
    return identity_.Equal(prefix.data(), subPIDL);
}

void TPIDLManager::SavePIDLToStream(TStream& stream, PCItemIDList pidl) {
    const std::int32_t size = GetPIDLSize(pidl);
    WriteInt32(stream, size);
    if (size > 0)
        stream.WriteBuffer(pidl, size);
}

PItemIDList TPIDLManager::LoadPIDLFromStream(TStream& stream) const {
    const std::int32_t size = ReadInt32(stream);
    if (size < 1)
        return nullptr;
    const std::int64_t left = stream.Size() - stream.Position();
    if (size > kMaxStoredPIDLSize || size > left)
        throw EPIDLError("Item identifier list of " + std::to_string(size) + " bytes where " +
                         std::to_string(left) + " are left");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    stream.ReadBuffer(bytes.data(), size);
    if (CheckedPIDLSize(bytes.data(), bytes.size()) == 0)
        throw EPIDLError("Stored item identifier list is broken");
    PItemIDList pidl = Allocate(bytes.size());
    if (pidl == nullptr)
        throw EPIDLError("Out of memory for an item identifier list");
    std::memcpy(pidl, bytes.data(), bytes.size());
    return pidl;
}

// ---- TPIDLList

PItemIDList TPIDLList::Get(int index) const {
    if (index < 0 || index >= Count())
        throw RangeError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<std::size_t>(index)];
}

int TPIDLList::Add(PItemIDList pidl) {
    items_.push_back(pidl);
    return Count() - 1;
}

int TPIDLList::CopyAdd(PCItemIDList pidl) {
    return Add(manager_.CopyPIDL(pidl));
}

void TPIDLList::Clear() {
    if (!SharePIDLs)
        for (PItemIDList pidl : items_)
            manager_.FreePIDL(pidl);
    items_.clear();
}

bool TPIDLList::LoadFromStream(TStream& stream) {
    try {
        const std::int32_t count = ReadInt32(stream);
        for (std::int32_t i = 0; i < count; ++i) {
            PItemIDList pidl = manager_.LoadPIDLFromStream(stream);
            try {
                Add(pidl);
            } catch (...) {
                manager_.FreePIDL(pidl);
                throw;
            }
        }
        return true;
    } catch (const StreamError&) {
        return false;
    }
}

bool TPIDLList::SaveToStream(TStream& stream) const {
    try {
        WriteInt32(stream, Count());
        for (PItemIDList pidl : items_)
            TPIDLManager::SavePIDLToStream(stream, pidl);
        return true;
    } catch (const StreamError&) {
        return false;
    }
}

std::int32_t ReadInt32(TStream& stream) {
    std::uint8_t b[4];
    stream.ReadBuffer(b, 4);
    return static_cast<std::int32_t>(std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) |
                                     (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24));
}

void WriteInt32(TStream& stream, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    const std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                               std::uint8_t(v >> 24)};
    stream.WriteBuffer(b, 4);
}

} // namespace tarvola
