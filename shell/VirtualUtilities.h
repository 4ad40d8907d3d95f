// Wide path routines and number texts of the shell layer. The ones here need no platform call; the ones
// that ask the file system (existence, folder creation, drives) are declared at the end and built for
// Windows only.
#pragma once

#include "shell/VirtualWideStrings.h"

#include <cstdint>
#include <functional>

namespace tarvola {

// "c" gives "c:\"; "C:\a\b.txt" gives "C:\a"; "C:\b.txt" gives "C:\" (the root keeps its backslash);
// a path without ":\" gives "".
WideString WideExtractFileDir(const WideString& path);
// "C:" for a path holding ":\", else "".
WideString WideExtractFileDrive(const WideString& path);
// From the last "." on, dot included; "" without a dot.
WideString WideExtractFileExt(const WideString& name);
// The extension of a path's last element, dot included ("" without one): a dot in a folder above it does
// not count ("C:\a.b\c" has none).
WideString PathElementExtension(const WideString& path);
WideString WideIncludeTrailingBackslash(const WideString& path);
// Removes a final "\" or "/"; a drive root keeps it unless force.
WideString WideStripTrailingBackslash(const WideString& path, bool force = false);
// Exactly three characters, the second ":" and the third "\".
bool WideIsDrive(const WideString& path);
// Whether the character at index (1-based) is "\"; false outside the string.
bool WideIsPathDelimiter(const WideString& s, int index);
// Inserts source into s before position index (1-based, 1..length + 1); raises RangeError otherwise.
void WideInsertStr(const WideString& source, WideString& s, int index);
// Decimal digits grouped by three from the right with the separator.
WideString WideIntToStrWithSeparators(std::uint64_t n, const WideString& separator);
// The size in whole kilobytes (truncated, grouped) followed by " KB"; a file under 1 KB shows "1 KB".
WideString SizeInKBText(std::uint64_t bytes, const WideString& separator);

// path + "\" + name (name defaulting to "New Folder"); while that folder exists, name followed by " (n)" for
// n = 1 .. 20; "" when all of them exist.
WideString UniqueDirName(const WideString& path,
                         const std::function<bool(const WideString&)>& directoryExists,
                         const WideString& name = u"New Folder");

// ---- Windows only

bool WideDirectoryExists(const WideString& path);
// A file or a folder of exactly that name: wildcards match nothing.
bool WideFileExists(const WideString& path);
// Creates the folder and tells the shell of it. False when the folder cannot be made.
bool WideCreateDir(const WideString& path);
// Whether drive letter's medium can be read, asked without the system's error box.
bool DiskInDrive(char16_t letter);
WideString UniqueDirName(const WideString& path, const WideString& name = u"New Folder");

} // namespace tarvola
