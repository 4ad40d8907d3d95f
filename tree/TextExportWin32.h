// The exports on Windows: system colours and the ANSI code page from the platform, the locale's list
// separator for CSV, and the text clipboard formats rendered into global memory.
#pragma once

#include "tree/StringTree.h"

#include <windows.h>

namespace tarvola {

TExportPlatform Win32ExportPlatform();
// The user's list separator (LOCALE_SLIST), "," when it is not one single-byte character.
char LocaleListSeparator();
// A text format of the tree's nodes from a source: CF_TEXT, CF_UNICODETEXT, "CSV", "HTML Format",
// "Rich Text Format" and "Rich Text Format Without Objects", each ending in a zero character. Moveable,
// zero-filled and shareable global memory that the caller owns; 0 for another format or an empty export.
HGLOBAL RenderTextFormat(TCustomVirtualStringTree& tree, UINT format, TVSTTextSourceType source);

} // namespace tarvola
