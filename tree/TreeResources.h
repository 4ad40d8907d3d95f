// The tree control's process-wide drawing resources: processor and platform flags, the check image lists
// and the utility images (filled from the program's own bitmap resources), the system-drawn check sets,
// the header split cursor, the raised timer resolution and OLE. They exist between the first
// InitializeGlobalStructures and the matching last FinalizeGlobalStructures, which callers pair (a
// TTreeResourcesUse does) on the GUI thread.
#pragma once

#include "tree/CheckImages.h"

#include <windows.h>

#include <commctrl.h>

namespace tarvola {

// The processor supports MMX (CPUID). The blending routines are portable; callers still choose between
// blended and plain drawing by this flag, which tests may override.
bool MMXAvailable();
void SetMMXAvailable(bool available);
bool IsWinNT();
bool IsWin2K();
bool IsWinXP();

// Counted: the first call creates everything, later calls only count.
void InitializeGlobalStructures();
void FinalizeGlobalStructures();

class TTreeResourcesUse {
public:
    TTreeResourcesUse() { InitializeGlobalStructures(); }
    ~TTreeResourcesUse() { FinalizeGlobalStructures(); }
    TTreeResourcesUse(const TTreeResourcesUse&) = delete;
    TTreeResourcesUse& operator=(const TTreeResourcesUse&) = delete;
};

// The list of a check image kind; null for ckCustom and outside Initialize/Finalize.
HIMAGELIST GetCheckImageListFor(TCheckImageKind kind);
// Drop marks, sort glyphs and the XP underline pieces (header) and the push-button overlay (image 4).
HIMAGELIST UtilityImages();
// The clipboard format "Virtual Tree Reference".
UINT VirtualTreeReferenceFormat();

// The framework's screen cursor table; slot crHeaderSplit holds the "VT_HEADERSPLIT" cursor.
constexpr int crHeaderSplit = 100;
HCURSOR ScreenCursor(int id);

// Reloads the colour-mapped lists after the system colours changed (the tree's WM_SYSCOLORCHANGE), keeping
// their handles.
void ReloadColorMappedImages();

// Loads a bitmap resource of this program as a DIB section; colour-mapped: its palette's white, silver
// and grey entries become the window, button face and button shadow colours. Null when it is missing.
HBITMAP LoadInternalBitmap(const wchar_t* name, bool colorMapped);

// Fills List from the named strip: square images of the strip's height, transparent where the strip's
// top-left pixel's colour shows. Existing images are replaced; the handle stays. A missing or empty strip
// is an assertion failure.
void LoadInternalImages(HIMAGELIST list, const wchar_t* name, bool colorMapped);

} // namespace tarvola
