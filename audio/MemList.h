// TobjMemoryList: a list of fixed-size records, each in its own heap block, reached through an array of
// slots. Inserting and deleting move slots, never record bytes. The slot array grows and shrinks in steps
// of 128 up to 10,240 records. Records go to and come from streams and files as raw RecordSize-byte dumps
// with no header (the preset, state and undo files are written this way).
//
// A full list refuses Add (-1) and Insert (false) and stays unchanged. An index or count outside the list
// raises RangeError.
#pragma once

#include "audio/Streams.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarvola {

class TobjMemoryList {
public:
    static constexpr int CapacityStep = 128;
    static constexpr int MaxRecords = 10240;

    // Count 0, Capacity 128. RecordSize must be at least 1.
    explicit TobjMemoryList(int recordSize);
    TobjMemoryList(const TobjMemoryList&) = delete;
    TobjMemoryList& operator=(const TobjMemoryList&) = delete;
    virtual ~TobjMemoryList() = default;

    int RecordSize() const { return recordSize_; }
    int Capacity() const { return capacity_; }
    int Count() const { return count_; }
    int LastIndex() const { return count_ - 1; }

    // Record Index (RecordSize bytes); 0 <= Index < Count, else RangeError.
    std::uint8_t* Slot(int index);
    const std::uint8_t* Slot(int index) const;

    // ---- Managing records (each copies RecordSize bytes from Rec)

    // Capacity := NewCount rounded up to a multiple of 128. False, and nothing changes, when that is above
    // 10,240 or would drop records (below Count).
    bool SetCapacity(int newCount);
    // The new record's index, or -1 when the list is full.
    virtual int Add(const void* rec);
    // Inserts before record Index (Index = Count appends). False when the list is full; RangeError unless
    // 0 <= Index <= Count.
    virtual bool Insert(const void* rec, int index);
    // Deletes N records from Index (N = 0 deletes none); then the capacity shrinks to fit when a whole step
    // is free, so a list emptied this way has capacity 0 until the next Add.
    virtual void Delete(int index, int n);
    // Overwrites record Index with a copy of Rec.
    virtual void PutRecord(const void* rec, int index);
    // Reverses the order of records First..Last; nothing happens when Last < First.
    virtual void Reverse(int first, int last);
    // Deletes every record; Capacity 128.
    virtual void Clear();

    // ---- Raw record streams
    //
    // Position: >= 0 an absolute stream position; otherwise SaveToStream writes at the current position,
    // and LoadFromStream reads from the end (-1) or the current position (-2).

    // Writes records First..Last (none when Last < First); the result is the bytes written.
    std::int64_t SaveToStream(TStream& stream, std::int64_t position, int first, int last) const;
    // Replaces the records from First on (0 <= First <= Count) with up to N records read from the stream
    // (N = -1: as many whole records as the stream holds from Position). Reading stops at the end of the
    // stream and at 10,240 records; a last record of which fewer bytes remain still counts, zero-filled
    // beyond them. The result is the bytes read.
    std::int64_t LoadFromStream(TStream& stream, std::int64_t position, int first, int n);
    // As LoadFromStream on the file, opened read-only and shared (Position -1: end of file, -2: start).
    // A missing file reads nothing: the records from First on are gone and the result is 0.
    std::int64_t LoadFromFile(const std::string& fileName, std::int64_t position, int first, int n);

private:
    bool IsFull() const { return count_ >= MaxRecords; }
    std::unique_ptr<std::uint8_t[]> NewRecord(const void* rec) const;
    void CheckRange(int first, int last) const;
    void ReleaseFrom(int first);
    std::int64_t ReadRecords(TStream& stream, std::int64_t position, int first, int n);

    int recordSize_;
    int capacity_ = 0;
    int count_ = 0;
    // slots_.size() == capacity_; slots at and above count_ are always null.
    std::vector<std::unique_ptr<std::uint8_t[]>> slots_;
};

} // namespace tarvola
