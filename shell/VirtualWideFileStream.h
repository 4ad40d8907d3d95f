// TWideFileStream: a stream over a file opened by a UTF-16 name (Windows only; the header itself needs no
// platform header).
#pragma once

#include "audio/Streams.h"
#include "shell/VirtualWideStrings.h"

#include <cstdint>
#include <functional>

namespace tarvola {

// File open modes: fmCreate, or an access (the low two bits) combined with a sharing rule.
constexpr std::uint16_t fmCreate = 0xFFFF;
constexpr std::uint16_t fmOpenRead = 0x0000;
constexpr std::uint16_t fmOpenWrite = 0x0001;
constexpr std::uint16_t fmOpenReadWrite = 0x0002;
constexpr std::uint16_t fmShareExclusive = 0x0010;
constexpr std::uint16_t fmShareDenyWrite = 0x0020;
constexpr std::uint16_t fmShareDenyRead = 0x0030;
constexpr std::uint16_t fmShareDenyNone = 0x0040;

// A file that cannot be opened or created: "Cannot create file %s".
class EFCreateError : public FileOpenError {
public:
    using FileOpenError::FileOpenError;
};

class TWideFileStream : public TStream {
public:
    // fmCreate creates the file empty (replacing one that is there) for reading and writing, unshared;
    // other modes open an existing file. Raises EFCreateError.
    TWideFileStream(const WideString& fileName, std::uint16_t mode);
    ~TWideFileStream() override;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() const override;

private:
    void* handle_;
};

// Writes a file whole or not at all: writeContent fills a temporary file beside fileName, which replaces
// fileName only when complete. On failure the old file stays as it was and the error propagates.
void SaveWideFileWhole(const WideString& fileName, const std::function<void(TStream&)>& writeContent);

} // namespace tarvola
