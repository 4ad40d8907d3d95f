#include "kernel/KernelUndoer.h"

#include "base/Numerics.h"
#include "base/WholeFile.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace tarvola {

namespace {

std::string SerialText(std::int64_t serial) {
    const std::string digits = std::to_string(serial);
    return digits.size() == 1 ? "0" + digits : digits;
}

void AppendRecords(std::vector<std::uint8_t>& out, const TobjHistData& kernel) {
    for (std::int32_t i = 0; i < kernel.Count(); ++i) {
        const std::uint8_t* bytes = kernel.RecordBytes(i);
        out.insert(out.end(), bytes, bytes + kImpulseRecSize);
    }
}

// The records of one kernel in a snapshot, or nothing when they cannot be a kernel.
std::optional<std::vector<TImpulseRec>> DecodeKernel(const std::vector<std::uint8_t>& bytes,
                                                     std::size_t offset, std::int32_t count) {
    std::vector<TImpulseRec> records;
    records.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        records.push_back(
            DecodeImpulseRec(bytes.data() + offset + kImpulseRecSize * static_cast<std::size_t>(i)));
        const TImpulseRec& rec = records.back();
        if (!ImpulseInDomain(rec.Impulse) || (i > 0 && records[records.size() - 2].Impulse >= rec.Impulse))
            return std::nullopt;
    }
    return records;
}

void RemoveFile(const std::string& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

} // namespace

TobjKernelUndoer::TobjKernelUndoer(const std::string& programFolder, std::int32_t maxEntries)
    : undoFolder_(programFolder + "Undo" + kPathSeparator), maxEntries_(maxEntries) {
    if (maxEntries < 1 || maxEntries > kMaxEntries)
        throw RangeError("Invalid history length (" + std::to_string(maxEntries) + ")");
    std::error_code ignored; // a folder that cannot be made shows when the first snapshot is written
    std::filesystem::create_directories(undoFolder_, ignored);
}

TobjKernelUndoer::~TobjKernelUndoer() {
    Clear();
}

const TUndoEntry& TobjKernelUndoer::Entry(std::int32_t index) const {
    CheckIndex(index, Count());
    return entries_[static_cast<std::size_t>(index)];
}

// The description is shortened further when the whole path, or the temporary name it is written under,
// would not fit, so ".und" is always kept.
std::string TobjKernelUndoer::SnapshotPath(std::int64_t serial, const std::string& description) const {
    std::string shown = description;
    for (;;) {
        const std::string path = undoFolder_ + SerialText(serial) + shown + ".und";
        if (path.size() + 4 <= kMaxPathLength || shown.empty())
            return path;
        shown.pop_back();
    }
}

void TobjKernelUndoer::Record(const std::string& description, const TobjHistData& left,
                              const TobjHistData& right) {
    TUndoEntry pending;
    pending.Description = description.substr(0, kMaxDescription);
    pending.LeftCount = left.Count();
    pending.RightCount = right.Count();

    // Where the entry goes: after Current, replacing any redo tail; at the limit the oldest goes.
    const std::int32_t tailStart = LastIndex() > current_ ? current_ + 1 : Count();
    const bool dropOldest = tailStart >= maxEntries_;
    pending.FileName = SnapshotPath(tailStart + droppedOldest_, pending.Description);

    std::vector<std::uint8_t> snapshot;
    snapshot.reserve(kImpulseRecSize * static_cast<std::size_t>(pending.LeftCount + pending.RightCount));
    AppendRecords(snapshot, left);
    AppendRecords(snapshot, right);
    std::optional<PendingFile> written;
    try {
        std::error_code ignored; // the folder may have gone since set-up
        std::filesystem::create_directories(undoFolder_, ignored);
        written.emplace(pending.FileName, snapshot);
    } catch (const FileError& e) {
        throw UndoSnapshotError("The undo snapshot \"" + pending.FileName + "\" cannot be written. " +
                                e.what());
    }

    // The snapshot is there: from here on nothing can fail halfway.
    const bool dropTail = tailStart < Count();
    if (dropTail)
        DeleteEntries(tailStart, Count() - tailStart);
    std::int32_t index = tailStart;
    if (dropOldest) {
        DeleteEntries(0, 1);
        ++droppedOldest_;
        --index;
    }
    try {
        written->Commit();
    } catch (const FileError&) {
        if (dropTail || dropOldest) { // what is left ends at the entry the kernels show
            current_ = LastIndex();
            previous_ = current_ - 1;
            next_ = current_ + 1;
        }
        throw UndoSnapshotError("The undo snapshot \"" + pending.FileName + "\" cannot be written.");
    }
    entries_.push_back(std::move(pending));
    current_ = index;
    previous_ = index - 1;
    next_ = index + 1;
    if (previous_ > -1)
        entries_[static_cast<std::size_t>(previous_)].NextDescription = entries_.back().Description;
}

void TobjKernelUndoer::LoadEntry(std::int32_t index, TobjHistData& left, TobjHistData& right) const {
    const TUndoEntry& entry = Entry(index);
    if (entry.FileName.empty())
        throw UndoSnapshotError("The undo snapshot of \"" + entry.Description + "\" has been deleted.");
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = ReadWholeFile(entry.FileName);
    } catch (const FileError&) {
        // reported below as unreadable
    }
    if (!bytes)
        throw UndoSnapshotError("The undo snapshot \"" + entry.FileName + "\" cannot be read.");
    const std::size_t expected = kImpulseRecSize * (static_cast<std::size_t>(entry.LeftCount) +
                                                    static_cast<std::size_t>(entry.RightCount));
    std::optional<std::vector<TImpulseRec>> leftRecords, rightRecords;
    if (bytes->size() == expected) {
        leftRecords = DecodeKernel(*bytes, 0, entry.LeftCount);
        rightRecords = DecodeKernel(*bytes, kImpulseRecSize * static_cast<std::size_t>(entry.LeftCount),
                                    entry.RightCount);
    }
    if (!leftRecords || !rightRecords)
        throw UndoSnapshotError("The undo snapshot \"" + entry.FileName + "\" is damaged.");
    left.LoadRecords(*leftRecords);
    right.LoadRecords(*rightRecords);
}

bool TobjKernelUndoer::Undo(TobjHistData& left, TobjHistData& right) {
    if (previous_ <= -1)
        return false;
    LoadEntry(previous_, left, right);
    current_ -= 1;
    previous_ = current_ - 1;
    next_ = current_ + 1;
    return true;
}

bool TobjKernelUndoer::Redo(TobjHistData& left, TobjHistData& right) {
    if (next_ > LastIndex())
        return false;
    LoadEntry(next_, left, right);
    current_ += 1;
    previous_ = current_ - 1;
    next_ = current_ + 1;
    return true;
}

std::string TobjKernelUndoer::UndoCaption() const {
    if (previous_ <= -1 || current_ > LastIndex())
        return "Can't Undo";
    return std::to_string(current_) + ": Undo " + Entry(current_).Description;
}

std::string TobjKernelUndoer::RedoCaption() const {
    if (next_ > LastIndex())
        return "Can't Redo";
    return std::to_string(next_) + ": Redo " + Entry(next_).Description;
}

void TobjKernelUndoer::Clear() {
    DeleteEntries(0, Count());
    droppedOldest_ = 0;
    previous_ = -1;
    next_ = 1;
    current_ = 0;
}

void TobjKernelUndoer::DeleteEntries(std::int32_t first, std::int32_t n) {
    if (n < 1)
        return;
    CheckIndex(first, Count());
    CheckIndex(CheckedSub(CheckedAdd(first, n), 1), Count());
    for (std::int32_t i = first; i < first + n; ++i) {
        TUndoEntry& entry = entries_[static_cast<std::size_t>(i)];
        if (!entry.FileName.empty()) {
            RemoveFile(entry.FileName);
            entry.FileName.clear();
        }
    }
    entries_.erase(entries_.begin() + first, entries_.begin() + first + n);
}

} // namespace tarvola
