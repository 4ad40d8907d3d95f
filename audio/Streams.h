// Byte streams: the abstract TStream, memory streams that either own their memory or only view memory
// owned by someone else, and a file stream.
//
// The signal buffers of the program belong to the main window; the stream views (SignalView, OutputView,
// the header and trailer windows of an audio file) only look at them. A stream therefore remembers
// whether it owns its memory: Clear and the destructor free owned memory only, and a write that would
// have to grow memory the stream does not own is refused, so foreign memory is never reallocated.
#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola {

// A stream operation that cannot be carried out (a short ReadBuffer/WriteBuffer, a bad position, a resize
// of foreign memory, a failed file operation).
class StreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be opened. NotFound() tells a missing file from other failures.
class FileOpenError : public StreamError {
public:
    FileOpenError(const std::string& message, bool notFound) : StreamError(message), notFound_(notFound) {}
    bool NotFound() const { return notFound_; }

private:
    bool notFound_;
};

enum class SeekOrigin { Beginning, Current, End };

// Sequential access with a position. Read and Write move the position by the bytes they transfer and
// return that number (fewer than asked at the end of the data, or when a write is refused);
// ReadBuffer and WriteBuffer raise StreamError unless all bytes are transferred.
class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Returns the new position. A position before the start raises StreamError; one past the end is
    // allowed (reads there return 0 bytes, a write there grows the stream when it may).
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::int64_t Size() const = 0;

    std::int64_t Position() const { return position_; }
    void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Beginning); }

    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);

protected:
    std::int64_t position_ = 0;
};

// A stream over one block of memory. It starts empty and owning: writes allocate and grow its own memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override = default;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    // Writes in place; past the end the stream grows when it owns its memory. A write that would grow
    // viewed memory writes nothing and returns 0.
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() const override { return size_; }

    // The memory the stream shows (nullptr when it shows none). Callers may read and write through it
    // within Size() bytes.
    std::uint8_t* Memory() { return data_; }
    const std::uint8_t* Memory() const { return data_; }
    bool Owns() const { return owns_; }

    // Sets the size of owned memory (new bytes are zero); raises StreamError on viewed memory.
    void SetSize(std::int64_t size);
    // Frees owned memory (viewed memory is left alone); afterwards the stream is empty, owning, at
    // position 0.
    void Clear();

protected:
    // Shows memory that belongs to someone else; owned memory is freed first. The position is kept.
    void View(void* memory, std::int64_t size);

private:
    std::vector<std::uint8_t> owned_;
    std::uint8_t* data_ = nullptr;
    std::int64_t size_ = 0;
    bool owns_ = true;
};

// A memory stream that can be pointed at memory owned by someone else.
class TobjFlexMemoryStream : public TMemoryStream {
public:
    // Views Size bytes at Memory without taking ownership; the position is kept.
    void SetPointer(void* memory, std::int64_t size) { View(memory, size); }
};

// The stream view of a signal buffer (the main window's SignalView and OutputView). Clearing or
// destroying it never frees the buffer it views.
class TobjMultiMemStrm : public TobjFlexMemoryStream {};

// A stream over a file, opened for reading (shared with other readers and writers) or created empty
// for reading and writing. Raises FileOpenError when the file cannot be opened. Create empties an existing
// file at once: a file written for the user is created under a temporary name and replaces the old one
// only when complete.
class TFileStream : public TStream {
public:
    enum class Mode { OpenRead, Create };

    TFileStream(const std::string& fileName, Mode mode);
    // Closes the file without reporting errors; call Close to learn whether buffered writes reached it.
    ~TFileStream() override;

    // Flushes and closes the file; raises StreamError when that fails. Any later operation raises.
    void Close();

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() const override;

private:
    enum class LastOperation { None, Read, Write };
    void PrepareFor(LastOperation operation);

    std::FILE* file_ = nullptr;
    std::string fileName_;
    mutable LastOperation last_ = LastOperation::None; // Size() moves the file's own position
};

} // namespace tarvola
