#include "audio/Streams.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

namespace tarvola {

namespace {

void CheckCount(std::int64_t count) {
    if (count < 0)
        throw StreamError("Invalid byte count (" + std::to_string(count) + ")");
}

std::int64_t SeekTarget(std::int64_t base, std::int64_t offset) {
    const std::int64_t target = CheckedAdd(base, offset);
    if (target < 0)
        throw StreamError("Invalid stream position (" + std::to_string(target) + ")");
    return target;
}

int SeekFile(std::FILE* file, std::int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(file, offset, whence);
#else
    return fseeko(file, CheckedCast<off_t>(offset), whence);
#endif
}

std::int64_t TellFile(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return ftello(file);
#endif
}

} // namespace

// ---- TStream

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (Read(buffer, count) != count)
        throw StreamError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (Write(buffer, count) != count)
        throw StreamError("Stream write error");
}

// ---- TMemoryStream

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    CheckCount(count);
    if (position_ >= size_ || count == 0)
        return 0;
    const std::int64_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, data_ + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    CheckCount(count);
    if (count == 0)
        return 0;
    const std::int64_t end = CheckedAdd(position_, count);
    if (end > size_) {
        if (!owns_)
            return 0; // viewed memory is never reallocated
        SetSize(end);
    }
    std::memcpy(data_ + position_, buffer, static_cast<std::size_t>(count));
    position_ = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    const std::int64_t base = origin == SeekOrigin::Beginning ? 0
                              : origin == SeekOrigin::Current ? position_
                                                              : size_;
    position_ = SeekTarget(base, offset);
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
    CheckCount(size);
    if (!owns_)
        throw StreamError("Cannot resize memory the stream does not own");
    owned_.resize(CheckedCast<std::size_t>(size));
    data_ = owned_.empty() ? nullptr : owned_.data();
    size_ = size;
}

void TMemoryStream::Clear() {
    std::vector<std::uint8_t>().swap(owned_);
    data_ = nullptr;
    size_ = 0;
    owns_ = true;
    position_ = 0;
}

void TMemoryStream::View(void* memory, std::int64_t size) {
    CheckCount(size);
    if (memory == nullptr && size > 0)
        throw StreamError("Cannot view a null block");
    const auto* bytes = static_cast<const std::uint8_t*>(memory);
    const std::less<const std::uint8_t*> before;
    if (!owned_.empty() && !before(bytes, owned_.data()) && before(bytes, owned_.data() + owned_.size()))
        throw StreamError("Cannot view the stream's own memory");
    std::vector<std::uint8_t>().swap(owned_);
    data_ = static_cast<std::uint8_t*>(memory);
    size_ = size;
    owns_ = false;
}

// ---- TFileStream

TFileStream::TFileStream(const std::string& fileName, Mode mode) : fileName_(fileName) {
    file_ = std::fopen(fileName.c_str(), mode == Mode::OpenRead ? "rb" : "w+b");
    if (file_ == nullptr) {
        const bool notFound = errno == ENOENT;
        throw FileOpenError("Cannot open file \"" + fileName + "\"", notFound);
    }
}

TFileStream::~TFileStream() {
    if (file_ != nullptr)
        std::fclose(file_);
}

void TFileStream::Close() {
    if (file_ == nullptr)
        return;
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0)
        throw StreamError("Cannot write file \"" + fileName_ + "\"");
}

void TFileStream::PrepareFor(LastOperation operation) {
    if (file_ == nullptr)
        throw StreamError("File \"" + fileName_ + "\" is closed");
    // The C library requires a seek between reading and writing; it also puts the file where we are.
    if (last_ != operation) {
        if (SeekFile(file_, position_, SEEK_SET) != 0)
            throw StreamError("Cannot seek in file \"" + fileName_ + "\"");
        last_ = operation;
    }
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    CheckCount(count);
    PrepareFor(LastOperation::Read);
    std::clearerr(file_); // a refused write must not pass for a read error
    const std::size_t n = std::fread(buffer, 1, CheckedCast<std::size_t>(count), file_);
    if (std::ferror(file_))
        throw StreamError("Cannot read file \"" + fileName_ + "\"");
    position_ += static_cast<std::int64_t>(n);
    return static_cast<std::int64_t>(n);
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    CheckCount(count);
    PrepareFor(LastOperation::Write);
    const std::size_t n = std::fwrite(buffer, 1, CheckedCast<std::size_t>(count), file_);
    position_ += static_cast<std::int64_t>(n);
    return static_cast<std::int64_t>(n);
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    const std::int64_t base = origin == SeekOrigin::Beginning ? 0
                              : origin == SeekOrigin::Current ? position_
                                                              : Size();
    position_ = SeekTarget(base, offset);
    last_ = LastOperation::None;
    return position_;
}

std::int64_t TFileStream::Size() const {
    if (file_ == nullptr)
        throw StreamError("File \"" + fileName_ + "\" is closed");
    if (SeekFile(file_, 0, SEEK_END) != 0)
        throw StreamError("Cannot seek in file \"" + fileName_ + "\"");
    const std::int64_t size = TellFile(file_);
    if (size < 0)
        throw StreamError("Cannot seek in file \"" + fileName_ + "\"");
    last_ = LastOperation::None;
    return size;
}

} // namespace tarvola
