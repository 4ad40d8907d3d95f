#include "tests/support/MemoryAudioFileSystem.h"

#include <algorithm>
#include <cstring>

namespace tarvola::audiotest {

namespace {

// A stream over a file of TMemoryAudioFileSystem; it shares the bytes with the file system, so what is
// written is there at once.
class TMemoryFileStream : public TStream {
public:
    TMemoryFileStream(std::shared_ptr<Bytes> bytes, bool writable, std::int64_t writeLimit,
                      std::int64_t reportedSize = -1)
        : bytes_(std::move(bytes)), writable_(writable), writeLimit_(writeLimit),
          reportedSize_(reportedSize) {}

    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::int64_t size = Size();
        const std::int64_t n =
            std::clamp<std::int64_t>(size - position_, 0, std::max<std::int64_t>(count, 0));
        if (n > 0)
            std::memcpy(buffer, bytes_->data() + position_, static_cast<std::size_t>(n));
        position_ += n;
        return n;
    }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        if (!writable_ || count <= 0)
            return 0;
        std::int64_t n = count;
        if (writeLimit_ >= 0)
            n = std::min(n, writeLimit_ - written_);
        if (n <= 0)
            return 0;
        if (position_ + n > Size())
            bytes_->resize(static_cast<std::size_t>(position_ + n));
        std::memcpy(bytes_->data() + position_, buffer, static_cast<std::size_t>(n));
        position_ += n;
        written_ += n;
        return n;
    }
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
        const std::int64_t base = origin == SeekOrigin::Beginning ? 0
                                  : origin == SeekOrigin::Current ? position_
                                                                  : Size();
        if (base + offset < 0)
            throw StreamError("Seek before the start");
        position_ = base + offset;
        return position_;
    }
    std::int64_t Size() const override {
        return reportedSize_ >= 0 ? reportedSize_ : static_cast<std::int64_t>(bytes_->size());
    }

private:
    std::shared_ptr<Bytes> bytes_;
    bool writable_;
    std::int64_t writeLimit_;
    std::int64_t reportedSize_;
    std::int64_t written_ = 0;
};

} // namespace

bool TMemoryAudioFileSystem::Exists(const std::string& fileName) {
    return files_.count(fileName) != 0;
}

std::unique_ptr<TStream> TMemoryAudioFileSystem::OpenRead(const std::string& fileName) {
    const auto found = files_.find(fileName);
    if (found == files_.end())
        throw FileOpenError("Cannot open file \"" + fileName + "\"", true);
    const auto reported = reportedSizes.find(fileName);
    return std::make_unique<TMemoryFileStream>(found->second, false, -1,
                                               reported == reportedSizes.end() ? -1 : reported->second);
}

std::unique_ptr<TStream> TMemoryAudioFileSystem::Create(const std::string& fileName) {
    if (failCreate)
        throw FileOpenError("Cannot create file \"" + fileName + "\"", false);
    auto bytes = std::make_shared<Bytes>();
    files_[fileName] = bytes;
    return std::make_unique<TMemoryFileStream>(bytes, true, writeLimit);
}

bool TMemoryAudioFileSystem::Replace(const std::string& from, const std::string& to) {
    const auto found = files_.find(from);
    if (failReplace || found == files_.end())
        return false;
    auto bytes = found->second;
    files_.erase(found);
    files_[to] = bytes;
    return true;
}

void TMemoryAudioFileSystem::Remove(const std::string& fileName) {
    files_.erase(fileName);
}

void TMemoryAudioFileSystem::Put(const std::string& fileName, Bytes bytes) {
    files_[fileName] = std::make_shared<Bytes>(std::move(bytes));
}

Bytes TMemoryAudioFileSystem::Get(const std::string& fileName) const {
    const auto found = files_.find(fileName);
    return found == files_.end() ? Bytes{} : *found->second;
}

std::vector<std::string> TMemoryAudioFileSystem::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : files_)
        names.push_back(entry.first);
    return names;
}

} // namespace tarvola::audiotest
