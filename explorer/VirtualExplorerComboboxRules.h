// The explorer combo box's decisions apart from any window: where a drop-down opens and how its scroll
// bar, size grip and content share it, how the grip resizes it, how typed text is read as a path, and
// which entries the auto-complete list shows for the text typed so far. The windows
// (VirtualExplorerCombobox.h, VirtualExplorerComboboxDropDown.h) act on these answers.
#pragma once

#include "shell/VirtualWideStrings.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tarvola {

// A rectangle in screen or client coordinates, right and bottom exclusive.
struct TComboRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TComboRect&) const = default;
};

// Where a drop-down opens: under the control it aligns to when it fits in the work area; above it when
// there is room there; otherwise on the larger side, its height cut to that side's space.
struct TDropDownPlacement {
    TComboRect Bounds;
    bool Above = false;
    bool operator==(const TDropDownPlacement&) const = default;
};
TDropDownPlacement PlaceDropDown(const TComboRect& alignTo, int width, int height,
                                 const TComboRect& workArea);

// The drop-down window's state word.
enum : std::uint16_t {
    dsRolledDown = 0x0001,
    dsAbove = 0x0004,
    dsBelow = 0x0008,
    dsShownOnce = 0x0010,
    dsAutoScrollUp = 0x0020,
    dsAutoScrollDown = 0x0040,
    dsAutoScrollFast = 0x0080,
    dsAutoScrollSlow = 0x0100,
    dsRightToLeft = 0x0200,
};

// The children of a drop-down window of width by height (the window's size, one-pixel border included),
// in client coordinates. The grip stands in the corner away from the owner, the scroll bar beside the
// content on the right (on the left with right-to-left).
struct TDropDownLayoutInput {
    int Width = 0;
    int Height = 0;
    bool Above = false;
    bool RightToLeft = false;
    bool Sizeable = false;
    bool ScrollbarShown = false;
    // SM_CXVSCROLL and SM_CYVSCROLL.
    int ScrollWidth = 17;
    int ScrollHeight = 17;
};
struct TDropDownLayout {
    TComboRect Grip;
    TComboRect Scrollbar;
    TComboRect Content;
    bool operator==(const TDropDownLayout&) const = default;
};
TDropDownLayout LayoutDropDown(const TDropDownLayoutInput& input);

// The window's bounds after the grip moved by (dx, dy) from where the drag started: the grip's corner
// follows the pointer and the opposite corner stays. Neither side shrinks below the minimum.
TComboRect ResizeByGrip(const TComboRect& start, int dx, int dy, bool above, bool gripOnLeft, int minWidth,
                        int minHeight);

// Typed text as a path: one character is a drive ("C" -> "C:\"), two a drive with its colon ("C:" ->
// "C:\"); anything else stays as it is.
WideString NormalizeTypedPath(const WideString& text);

// Where the selection of an invalid path starts: after the longest leading part, cut at a backslash, that
// names an existing folder; 0 when none does.
std::size_t FirstMissingComponent(const WideString& text,
                                  const std::function<bool(const WideString&)>& directoryExists);

// The folder whose entries complete text: a drive for one character, else the text's folder part with a
// trailing backslash; empty when the text has no folder part.
WideString CompletionFolderOf(const WideString& text);

// The entries of the typed text's folder that complete it. The folder is listed again only when the
// folder part of the text changes; each further keystroke filters the list it has. An entry matches when
// it begins with the text (ignoring case) or when the text ends with a backslash (every entry of that
// folder); each entry appears once.
class TCompletionFilter {
public:
    // Lists a folder's entries as full paths; an empty list for a folder that does not exist.
    using TListFolder = std::function<std::vector<WideString>(const WideString& folder)>;

    TCompletionFilter(TListFolder listFolder, const TWideTextServices& text);

    // The indexes into Entries() of the entries that complete text, in list order.
    const std::vector<std::size_t>& Update(const WideString& text);
    const std::vector<WideString>& Entries() const { return entries_; }
    const std::vector<std::size_t>& Matches() const { return matches_; }
    const WideString& Folder() const { return folder_; }
    // How often a folder was listed; a test and the benchmark read it.
    int Listings() const { return listings_; }
    // Forgets the folder, so that the next Update lists it again.
    void Invalidate();

private:
    TListFolder listFolder_;
    const TWideTextServices& text_;
    bool listed_ = false;
    WideString folder_;
    std::vector<WideString> entries_;
    std::vector<WideString> lowered_;
    std::vector<std::size_t> matches_;
    int listings_ = 0;
};

} // namespace tarvola
