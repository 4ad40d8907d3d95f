// Item identifier lists (PIDLs): the shell's path of an item, a chain of records {u16 cb counting itself,
// cb - 2 bytes of data} ended by a record whose cb is 0. The desktop is the list that holds only the
// terminator; nullptr means no list.
//
// TItemIDList is a list held by value (the bytes, terminator included). TPIDLManager works on raw lists in
// memory of the shell allocator, which it reaches through IShellAllocator: the shell's IMalloc on Windows,
// malloc in native tests. Whether two lists name the same item is the shell's own answer on Windows (virtual
// folders compare by identity only the shell knows), a byte comparison natively (TPIDLIdentity).
#pragma once

#include "audio/Streams.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvola {

using PItemIDList = std::uint8_t*;
using PCItemIDList = const std::uint8_t*;

// Stored item lists that do not hold together (a chain that runs past its size, no terminator, an
// absurd size).
class EPIDLError : public StreamError {
public:
    using StreamError::StreamError;
};

class IShellAllocator {
public:
    virtual ~IShellAllocator() = default;
    // nullptr when the memory is not there.
    virtual void* Alloc(std::size_t size) = 0;
    // Ignores nullptr.
    virtual void Free(void* block) = 0;
};

// malloc and free: the native stand-in for the shell's allocator.
IShellAllocator& MallocAllocator();

class TPIDLIdentity {
public:
    virtual ~TPIDLIdentity() = default;
    // Both false when either list is nullptr.
    virtual bool Equal(PCItemIDList a, PCItemIDList b) const = 0;
    virtual bool IsParent(PCItemIDList parent, PCItemIDList child, bool immediateOnly) const = 0;
};

// Compares the bytes of the records.
const TPIDLIdentity& ByteIdentity();

// Walks a chain of records within size bytes: the size of the list (terminator included) when it ends in
// a terminator inside them, else 0.
std::size_t CheckedPIDLSize(const std::uint8_t* bytes, std::size_t size);

// The longest list a stream may hand over: deeper than any real path, small enough to allocate.
constexpr std::int32_t kMaxStoredPIDLSize = 1 << 20;

class TItemIDList {
public:
    // The desktop.
    TItemIDList();
    // Copies a list from memory (nullptr gives the desktop).
    static TItemIDList FromPIDL(PCItemIDList pidl);
    // Raises EPIDLError unless the bytes are exactly one list.
    static TItemIDList FromBytes(const std::vector<std::uint8_t>& bytes);

    const std::uint8_t* Data() const { return bytes_.data(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::size_t Size() const { return bytes_.size(); }
    int Count() const;
    bool IsDesktop() const { return bytes_.size() == 2; }

    // This list followed by the other's records.
    TItemIDList Append(const TItemIDList& tail) const;
    // Without the last record (the desktop stays the desktop).
    TItemIDList Parent() const;
    // The last record as a list of one (the desktop for the desktop).
    TItemIDList LastItem() const;
    // Byte-wise ancestry: every record of this list leads the other, which is longer.
    bool IsParentOf(const TItemIDList& other, bool immediateOnly) const;

    friend bool operator==(const TItemIDList&, const TItemIDList&) = default;

private:
    explicit TItemIDList(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::vector<std::uint8_t> bytes_;
};

class TPIDLManager {
public:
    TPIDLManager(IShellAllocator& allocator, const TPIDLIdentity& identity = ByteIdentity())
        : allocator_(allocator), identity_(identity) {}

    // PIDL1's records (none for nullptr or the desktop), then PIDL2's with its terminator; nullptr for PIDL2
    // counts as the desktop. nullptr when the memory is not there.
    PItemIDList AppendPIDL(PCItemIDList pidl1, PCItemIDList pidl2) const;
    PItemIDList CopyPIDL(PCItemIDList pidl) const;
    void FreePIDL(PItemIDList pidl) const { allocator_.Free(pidl); }
    void FreeAndNilPIDL(PItemIDList& pidl) const;
    void FreeShellMem(void* block) const { allocator_.Free(block); }

    static std::int32_t GetPIDLSize(PCItemIDList pidl);
    static std::int32_t CountIDs(PCItemIDList pidl);
    static PItemIDList GetNextID(PItemIDList id);
    // nullptr for nullptr; the list itself when it holds fewer than two records; else its last record.
    static PItemIDList GetLastID(PItemIDList pidl);
    static bool IsDesktopPIDL(PCItemIDList pidl) { return pidl != nullptr && pidl[0] == 0 && pidl[1] == 0; }
    // Ends the list before its last record, in place (the block keeps its size).
    static PItemIDList StripLastID(PItemIDList pidl);
    // StripLastID, handing back the overwritten cb and where it was so that the caller can restore it.
    static PItemIDList TruncateLastID(PItemIDList pidl, std::uint16_t& oldCB, std::uint8_t*& where);

    // Whether the first records of pidl, as many as subPIDL has, name the same item as subPIDL. Neither
    // list is written to.
    bool IsSubPIDL(PCItemIDList pidl, PCItemIDList subPIDL) const;

    // Int32 size S (0 for nullptr), then S bytes.
    static void SavePIDLToStream(TStream& stream, PCItemIDList pidl);
    // nullptr for a size below 1 (only the size is consumed). A size beyond what is left of the stream,
    // or bytes that are not one list, raise EPIDLError; a short stream raises StreamError.
    PItemIDList LoadPIDLFromStream(TStream& stream) const;

    IShellAllocator& Allocator() const { return allocator_; }
    const TPIDLIdentity& Identity() const { return identity_; }

private:
    PItemIDList Allocate(std::size_t size) const;

    IShellAllocator& allocator_;
    const TPIDLIdentity& identity_;
};

// A list of PIDLs. The list frees its PIDLs when cleared or destroyed, unless they are shared.
class TPIDLList {
public:
    explicit TPIDLList(const TPIDLManager& manager) : manager_(manager) {}
    TPIDLList(const TPIDLList&) = delete;
    TPIDLList& operator=(const TPIDLList&) = delete;
    ~TPIDLList() { Clear(); }

    int Count() const { return static_cast<int>(items_.size()); }
    PItemIDList Get(int index) const;
    // Takes the list (it becomes the list's to free unless shared).
    int Add(PItemIDList pidl);
    int CopyAdd(PCItemIDList pidl);
    void Clear();

    bool SharePIDLs = false;

    // Int32 count N, then N lists. False when the stream fails; the lists read so far are kept.
    bool LoadFromStream(TStream& stream);
    bool SaveToStream(TStream& stream) const;

private:
    const TPIDLManager& manager_;
    std::vector<PItemIDList> items_;
};

// Little-endian Int32 fields of the layer's streams.
std::int32_t ReadInt32(TStream& stream);
void WriteInt32(TStream& stream, std::int32_t value);

} // namespace tarvola
