// The undo and redo history of kernel edits. After every edit the designer records one entry: a snapshot
// of both kernels' records in a file of the program's "Undo" folder; Undo and Redo load such a snapshot
// back into the two kernels. Entry 0 ("Initial Data") is recorded at set-up.
//
// A snapshot file has no header: the left kernel's LeftCount records, then the right kernel's RightCount
// records, 32 bytes each (EncodeImpulseRec), so its size is exactly 32 * (LeftCount + RightCount). Its name
// is the entry's number (two digits at least), the description and ".und": "00Initial Data.und",
// "12Change Column Value.und".
//
// Recording is all or nothing: the snapshot is written first, and the entries change only once it is
// there. An Undo or Redo whose snapshot is missing or damaged raises UndoSnapshotError and leaves both
// kernels and the history as they were. At 10,240 entries (or the length given) the oldest entry and its file
// are dropped; the number in a name is then its recording serial, so no live snapshot's name is ever reused.
#pragma once

#include "kernel/KrnlDsgnTypes.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola {

class UndoSnapshotError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TUndoEntry {
    std::string Description;     // at most 24 characters
    std::string NextDescription; // the Description of the entry recorded after this one
    std::int32_t LeftCount = 0;
    std::int32_t RightCount = 0;
    std::string FileName; // empty once the file has been deleted
};

class TobjKernelUndoer {
public:
    static constexpr std::size_t kMaxDescription = 24;
    static constexpr std::int32_t kMaxEntries = 10240;
    // The longest path a snapshot may have (Windows' MAX_PATH less the terminating zero).
    static constexpr std::size_t kMaxPathLength = 259;

    // ProgramFolder: the program's folder, ending in its separator. Its "Undo" folder is created when
    // missing. MaxEntries (1 to 10,240) is the length of the history.
    explicit TobjKernelUndoer(const std::string& programFolder, std::int32_t maxEntries = kMaxEntries);
    TobjKernelUndoer(const TobjKernelUndoer&) = delete;
    TobjKernelUndoer& operator=(const TobjKernelUndoer&) = delete;
    // Deletes every snapshot file it knows.
    ~TobjKernelUndoer();

    // Records an entry of both kernels after Current; the entries after Current (the redo tail) are
    // dropped with their files. Raises UndoSnapshotError, changing nothing, when the file cannot be written.
    void Record(const std::string& description, const TobjHistData& left, const TobjHistData& right);
    // Loads entry Previous (Undo) or Next (Redo) into the kernels, without notification. False when there
    // is nothing to undo or redo.
    bool Undo(TobjHistData& left, TobjHistData& right);
    bool Redo(TobjHistData& left, TobjHistData& right);
    // Deletes every entry and its file: Current 0, Previous -1, Next 1.
    void Clear();
    // Deletes entries First..First+N-1 and their files.
    void DeleteEntries(std::int32_t first, std::int32_t n);

    // The captions of the designer's Undo and Redo items: Undo names the entry it reverts (Current), Redo
    // the entry it restores (Next), each with its number: "2: Undo Paste Mix", "Can't Undo".
    std::string UndoCaption() const;
    std::string RedoCaption() const;

    std::int32_t Current() const { return current_; }   // the entry the kernels show
    std::int32_t Previous() const { return previous_; } // the entry Undo loads (-1: none)
    std::int32_t Next() const { return next_; }         // the entry Redo loads (when <= LastIndex)
    std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
    std::int32_t LastIndex() const { return Count() - 1; }
    const TUndoEntry& Entry(std::int32_t index) const;
    // The snapshots' folder, ending in its separator.
    const std::string& UndoFolder() const { return undoFolder_; }

private:
    std::string SnapshotPath(std::int64_t serial, const std::string& description) const;
    void LoadEntry(std::int32_t index, TobjHistData& left, TobjHistData& right) const;

    std::string undoFolder_;
    std::vector<TUndoEntry> entries_;
    std::int32_t current_ = 0;
    std::int32_t previous_ = -1;
    std::int32_t next_ = 1;
    std::int32_t maxEntries_;
    std::int64_t droppedOldest_ = 0; // entries dropped at the limit; a live entry's serial is index + this
};

} // namespace tarvola
