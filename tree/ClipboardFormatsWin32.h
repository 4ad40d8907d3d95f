// The platform side of the clipboard format registry: platform ids for the tree's formats, registered once
// for the process, and the conversion between the registry's records and FORMATETC.
#pragma once

#include "tree/ClipboardFormats.h"

#include <windows.h>

#include <objidl.h>

#include <string>

namespace tarvola {

FORMATETC ToFORMATETC(const TFormatEtc& format);
// The target device is not kept: registry records always stand for the content without one.
TFormatEtc FromFORMATETC(const FORMATETC& format);

// The ids of the tree's own formats; the first call registers the tree unit's formats.
struct TTreeFormatIds {
    CLIPFORMAT Data;
    CLIPFORMAT Reference;
};
const TTreeFormatIds& TreeFormatIds();

// Registers a format by name with the platform and the registry; answers its id.
CLIPFORMAT RegisterTreeClipboardFormat(const std::string& description, const TTreeClass& treeClass,
                                       std::uint32_t priority, DWORD tymed = TYMED_HGLOBAL,
                                       DWORD aspect = DVASPECT_CONTENT, LONG lindex = -1);
// Registers a standard or already registered format by id; false for an id below 17 without a name.
bool RegisterTreeClipboardFormat(CLIPFORMAT id, const TTreeClass& treeClass, std::uint32_t priority);

} // namespace tarvola
