#include "tests/support/FileTimes.h"

#include <windows.h>

namespace tarvola::test {

bool MoveWriteTimeBack(const std::filesystem::path& path) {
    // Backup semantics open a folder as well as a file.
    HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    FILETIME written{};
    bool moved = GetFileTime(handle, nullptr, nullptr, &written) != FALSE;
    if (moved) {
        ULARGE_INTEGER time{};
        time.LowPart = written.dwLowDateTime;
        time.HighPart = written.dwHighDateTime;
        constexpr ULONGLONG kDayIn100ns = 24ULL * 3600 * 10000000;
        time.QuadPart = time.QuadPart > kDayIn100ns ? time.QuadPart - kDayIn100ns : 0;
        written.dwLowDateTime = time.LowPart;
        written.dwHighDateTime = time.HighPart;
        moved = SetFileTime(handle, nullptr, nullptr, &written) != FALSE;
    }
    CloseHandle(handle);
    return moved;
}

} // namespace tarvola::test
