#include "audio/MemList.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstring>

namespace tarvola {

TobjMemoryList::TobjMemoryList(int recordSize) : recordSize_(recordSize) {
    if (recordSize < 1)
        throw RangeError("Invalid record size (" + std::to_string(recordSize) + ")");
    SetCapacity(CapacityStep);
}

std::uint8_t* TobjMemoryList::Slot(int index) {
    CheckIndex(index, count_);
    return slots_[static_cast<std::size_t>(index)].get();
}

const std::uint8_t* TobjMemoryList::Slot(int index) const {
    CheckIndex(index, count_);
    return slots_[static_cast<std::size_t>(index)].get();
}

// ---- Managing records

bool TobjMemoryList::SetCapacity(int newCount) {
    if (newCount < 0)
        return false;
    const std::int64_t steps = (std::int64_t{newCount} + CapacityStep - 1) / CapacityStep;
    const std::int64_t capacity = steps * CapacityStep;
    if (capacity > MaxRecords || capacity < count_)
        return false;
    capacity_ = static_cast<int>(capacity);
    slots_.resize(static_cast<std::size_t>(capacity_));
    return true;
}

int TobjMemoryList::Add(const void* rec) {
    if (IsFull() || (count_ == capacity_ && !SetCapacity(count_ + 1)))
        return -1;
    slots_[static_cast<std::size_t>(count_)] = NewRecord(rec);
    count_ += 1;
    return LastIndex();
}

bool TobjMemoryList::Insert(const void* rec, int index) {
    CheckIndex(index, count_ + 1);
    if (IsFull() || (count_ == capacity_ && !SetCapacity(count_ + 1)))
        return false;
    auto record = NewRecord(rec);
    const auto at = slots_.begin() + index;
    std::move_backward(at, slots_.begin() + count_, slots_.begin() + count_ + 1);
    *at = std::move(record);
    count_ += 1;
    return true;
}

void TobjMemoryList::Delete(int index, int n) {
    if (n < 0)
        throw RangeError("Invalid record count (" + std::to_string(n) + ")");
    if (n >= 1) {
        CheckIndex(index, count_);
        CheckIndex(CheckedAdd(index, n - 1), count_);
        const auto from = slots_.begin() + index;
        std::for_each(from, from + n, [](auto& slot) { slot.reset(); });
        // Moving the later slots down leaves the vacated slots at the end null.
        std::move(from + n, slots_.begin() + count_, from);
        count_ -= n;
    }
    if (capacity_ - CapacityStep >= count_)
        SetCapacity(count_);
}

void TobjMemoryList::PutRecord(const void* rec, int index) {
    CheckIndex(index, count_);
    std::memcpy(slots_[static_cast<std::size_t>(index)].get(), rec, static_cast<std::size_t>(recordSize_));
}

void TobjMemoryList::Reverse(int first, int last) {
    if (last < first)
        return;
    CheckRange(first, last);
    std::reverse(slots_.begin() + first, slots_.begin() + last + 1);
}

void TobjMemoryList::Clear() {
    ReleaseFrom(0);
    SetCapacity(CapacityStep);
}

// ---- Raw record streams

std::int64_t TobjMemoryList::SaveToStream(TStream& stream, std::int64_t position, int first, int last) const {
    if (position > -1)
        stream.Seek(position, SeekOrigin::Beginning);
    if (last < first)
        return 0;
    CheckRange(first, last);
    std::int64_t written = 0;
    for (int i = first; i <= last; ++i) {
        const std::int64_t n = stream.Write(slots_[static_cast<std::size_t>(i)].get(), recordSize_);
        written += n;
        if (n < recordSize_)
            break; // a refused or short write: nothing after it would land in its place
    }
    return written;
}

std::int64_t TobjMemoryList::LoadFromStream(TStream& stream, std::int64_t position, int first, int n) {
    CheckIndex(first, count_ + 1);
    if (position < -2 || n < -1)
        throw RangeError("Invalid stream position or record count");
    ReleaseFrom(first);
    return ReadRecords(stream, position, first, n);
}

std::int64_t TobjMemoryList::LoadFromFile(const std::string& fileName, std::int64_t position, int first,
                                          int n) {
    CheckIndex(first, count_ + 1);
    if (position < -2 || n < -1)
        throw RangeError("Invalid stream position or record count");
    ReleaseFrom(first);
    try {
        TFileStream file(fileName, TFileStream::Mode::OpenRead);
        return ReadRecords(file, position, first, n);
    } catch (const FileOpenError& e) {
        if (e.NotFound())
            return 0;
        throw;
    }
}

// ---- Helpers

std::unique_ptr<std::uint8_t[]> TobjMemoryList::NewRecord(const void* rec) const {
    auto record = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(recordSize_));
    std::memcpy(record.get(), rec, static_cast<std::size_t>(recordSize_));
    return record;
}

void TobjMemoryList::CheckRange(int first, int last) const {
    CheckIndex(first, count_);
    CheckIndex(last, count_);
}

void TobjMemoryList::ReleaseFrom(int first) {
    for (int i = first; i < count_; ++i)
        slots_[static_cast<std::size_t>(i)].reset();
    count_ = first;
}

std::int64_t TobjMemoryList::ReadRecords(TStream& stream, std::int64_t position, int first, int n) {
    if (position >= 0) {
        stream.Seek(position, SeekOrigin::Beginning);
    } else if (position == -1) {
        position = stream.Seek(0, SeekOrigin::End) - 1;
    } else {
        position = stream.Position();
    }
    const std::int64_t size = stream.Size();
    const std::int64_t wanted = n == -1 ? std::max<std::int64_t>(0, (size - position) / recordSize_) : n;
    const int end = static_cast<int>(std::min<std::int64_t>(first + wanted, MaxRecords));
    if (end > capacity_)
        SetCapacity(end);

    std::int64_t bytesRead = 0;
    for (int i = first; i < end && stream.Position() < size; ++i) {
        // make_unique value-initialises: a record cut short by the end of the stream is zero beyond it.
        auto record = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(recordSize_));
        const std::int64_t got = stream.Read(record.get(), recordSize_);
        if (got == 0)
            break;
        slots_[static_cast<std::size_t>(i)] = std::move(record);
        count_ += 1;
        bytesRead += got;
    }
    return bytesRead;
}

} // namespace tarvola
