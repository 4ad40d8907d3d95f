// What a shell item remembers between questions. Private to the VirtualNamespace sources.
#pragma once

#include "shell/VirtualNamespace.h"

#include <optional>

namespace tarvola {

struct TNamespace::TCache {
    ULONG attributesAsked = 0; // SFGAO bits answered so far
    ULONG attributesSet = 0;
    std::optional<WideString> nameInFolder, nameNormal, nameParseAddress;
    std::optional<WideString> creationTime, lastAccessTime, lastWriteTime;
    std::optional<WideString> sizeOfFile, sizeOfFileKB, fileType;
    std::optional<int> closedIcon, openIcon, overlay, columnCount;
    // Kept across InvalidateCache; dropped by InvalidateNamespace.
    std::optional<WIN32_FIND_DATAW> findData;
    bool findDataUnavailable = false;
    bool fileTimesRefreshed = false;
};

// Sets the process's error mode for as long as it lives, so that the system shows no box for a drive
// without a medium.
class TErrorModeGuard {
public:
    explicit TErrorModeGuard(UINT mode) : old_(SetErrorMode(mode)) {}
    ~TErrorModeGuard() { SetErrorMode(old_); }
    TErrorModeGuard(const TErrorModeGuard&) = delete;
    TErrorModeGuard& operator=(const TErrorModeGuard&) = delete;

private:
    UINT old_;
};

} // namespace tarvola
