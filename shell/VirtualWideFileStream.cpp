#include "shell/VirtualWideFileStream.h"

#include "base/Numerics.h"
#include "shell/VirtualUnicodeDefines.h"
#include "shell/VirtualWideStringList.h"

namespace tarvola {

namespace {

DWORD AccessOf(std::uint16_t mode) {
    switch (mode & 3) {
    case 0:
        return GENERIC_READ;
    case 1:
        return GENERIC_WRITE;
    default:
        return GENERIC_READ | GENERIC_WRITE;
    }
}

DWORD ShareOf(std::uint16_t mode) {
    switch ((mode & 0xF0) >> 4) {
    case 2:
        return FILE_SHARE_READ;
    case 3:
        return FILE_SHARE_WRITE;
    case 4:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:
        return 0;
    }
}

[[noreturn]] void RaiseCreateError(const WideString& fileName) {
    const DWORD error = GetLastError();
    const bool notFound = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    throw EFCreateError("Cannot create file " + WideToUtf8(fileName), notFound);
}

} // namespace

TWideFileStream::TWideFileStream(const WideString& fileName, std::uint16_t mode) {
    if (mode == fmCreate)
        handle_ = CreateFileW(AsW(fileName), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    else
        handle_ = CreateFileW(AsW(fileName), AccessOf(mode), ShareOf(mode), nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
        RaiseCreateError(fileName);
}

TWideFileStream::~TWideFileStream() {
    CloseHandle(handle_);
}

std::int64_t TWideFileStream::Read(void* buffer, std::int64_t count) {
    if (count < 0)
        throw StreamError("Invalid byte count (" + std::to_string(count) + ")");
    DWORD done = 0;
    if (!ReadFile(handle_, buffer, CheckedCast<DWORD>(count), &done, nullptr))
        return 0;
    position_ += done;
    return done;
}

std::int64_t TWideFileStream::Write(const void* buffer, std::int64_t count) {
    if (count < 0)
        throw StreamError("Invalid byte count (" + std::to_string(count) + ")");
    DWORD done = 0;
    if (!WriteFile(handle_, buffer, CheckedCast<DWORD>(count), &done, nullptr))
        return 0;
    position_ += done;
    return done;
}

std::int64_t TWideFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    const DWORD method = origin == SeekOrigin::Beginning ? FILE_BEGIN
                         : origin == SeekOrigin::Current ? FILE_CURRENT
                                                         : FILE_END;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER reached;
    if (!SetFilePointerEx(handle_, distance, &reached, method))
        throw StreamError("Invalid stream position (" + std::to_string(offset) + ")");
    position_ = reached.QuadPart;
    return position_;
}

std::int64_t TWideFileStream::Size() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size))
        throw StreamError("Cannot read the file size");
    return size.QuadPart;
}

void SaveWideFileWhole(const WideString& fileName, const std::function<void(TStream&)>& writeContent) {
    const WideString temporary = fileName + u".tmp~";
    try {
        TWideFileStream stream(temporary, fmCreate);
        writeContent(stream);
    } catch (...) {
        DeleteFileW(AsW(temporary));
        throw;
    }
    if (!MoveFileExW(AsW(temporary), AsW(fileName), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(AsW(temporary));
        throw StreamError("Cannot replace " + WideToUtf8(fileName));
    }
}

// The string list's files: UTF-16 names, whole-file saves. Errors keep their own message (a failed open
// names the file) rather than being replaced by whatever the last system error happens to be.
void TWideStringList::LoadFromFile(const WideString& fileName) {
    TWideFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
    LoadFromStream(stream);
}

void TWideStringList::SaveToFile(const WideString& fileName) const {
    SaveWideFileWhole(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

} // namespace tarvola
