// The wide path routines that ask the file system.
#include "shell/VirtualUtilities.h"

#include "shell/VirtualNamespaceCache.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUnicodeDefines.h"

namespace tarvola {

bool WideDirectoryExists(const WideString& path) {
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(AsW(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// GetFileAttributes rather than a search, so that "a*" does not count as existing when some file matches.
bool WideFileExists(const WideString& path) {
    if (path.empty() || path.find_first_of(u"*?") != WideString::npos)
        return false;
    return GetFileAttributesW(AsW(path)) != INVALID_FILE_ATTRIBUTES;
}

bool WideCreateDir(const WideString& path) {
    if (!CreateDirectoryW(AsW(path), nullptr))
        return false;
    if (PItemIDList pidl = PathToPIDL(path)) {
        SHChangeNotify(SHCNE_MKDIR, SHCNF_IDLIST, pidl, pidl);
        TShellLayer::Get().PIDLMgr().FreePIDL(pidl);
    }
    return true;
}

bool DiskInDrive(char16_t letter) {
    if (letter >= u'a' && letter <= u'z')
        letter = static_cast<char16_t>(letter - u'a' + u'A');
    if (letter < u'A' || letter > u'Z')
        return false;
    const WideString root = WideString(1, letter) + u":\\";
    TErrorModeGuard quiet(SEM_FAILCRITICALERRORS);
    ULARGE_INTEGER available, total, free;
    return GetDiskFreeSpaceExW(AsW(root), &available, &total, &free) != FALSE;
}

WideString UniqueDirName(const WideString& path, const WideString& name) {
    return UniqueDirName(
        path, [](const WideString& p) { return WideDirectoryExists(p); }, name);
}

} // namespace tarvola
