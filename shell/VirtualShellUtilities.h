// The shell layer's process-wide part: its allocator and item-list manager, the special-folder items and the
// shell clipboard formats, made by TShellLayer::Startup after COM is initialised and released by Shutdown
// before COM is shut down (nothing here is made by a static initialiser). Also the path routines that ask
// the desktop folder. Win32 sources only.
#pragma once

#include "forms/Graphics.h"
#include "shell/VirtualNamespace.h"
#include "shell/VirtualObjectList.h"
#include "shell/VirtualPIDLToolsShell.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace tarvola {

// The special folders the layer keeps, in the order they are made; the values are their CSIDLs.
enum class TSpecialFolder {
    Desktop = 0,
    RecycleBin = 10,
    DesktopDirectory = 16,
    MyComputer = 17,
    Printers = 4,
    History = 34,
    ControlPanel = 3,
    Network = 18,
    Templates = 21,
    MyDocuments = 5,
    Favorites = 6,
};

struct TShellClipboardFormats {
    std::uint16_t ShellIDList = 0;                // "Shell IDList Array"
    std::uint16_t LogicalPerformedDropEffect = 0; // "Logical Performed DropEffect"
    std::uint16_t PreferredDropEffect = 0;        // "Preferred DropEffect"
    std::uint16_t FileContents = 0;               // "FileContents"
    std::uint16_t FileGroupDescriptorA = 0;       // "FileGroupDescriptor"
    std::uint16_t FileGroupDescriptorW = 0;       // "FileGroupDescriptorW"
};

class TShellLayer {
public:
    // Call once COM is initialised on the GUI thread. Raises EShellError when the shell has no allocator.
    static void Startup();
    // Call before COM is shut down; frees the special folders, then the manager and the allocator.
    static void Shutdown();
    static bool Started();
    // Raises std::logic_error before Startup.
    static TShellLayer& Get();

    const TPIDLManager& PIDLMgr() const { return manager_; }
    const TShellIdentity& Identity() const { return identity_; }
    // nullptr for a folder this system does not have.
    TNamespace* Special(TSpecialFolder folder) const;
    const TShellClipboardFormats& ClipboardFormats() const { return formats_; }
    // Whether the shell's icon cache was initialised (shell32 ordinal 660).
    bool IconCacheReady() const { return iconCacheReady_; }

    TShellLayer(const TShellLayer&) = delete;
    TShellLayer& operator=(const TShellLayer&) = delete;
    ~TShellLayer();

private:
    TShellLayer();
    void CreateSpecialFolders();
    void ReleaseSpecialFolders();

    TShellMalloc allocator_;
    TShellIdentity identity_;
    TPIDLManager manager_;
    bool iconCacheReady_ = false;
    std::array<std::unique_ptr<TNamespace>, 11> specials_;
    TShellClipboardFormats formats_;
};

// The desktop's parse of a path (or a class-id path); nullptr when it cannot be parsed. The caller frees
// the list through the layer's manager.
PItemIDList PathToPIDL(const WideString& path);
// The parse name of an absolute list; the list stays the caller's.
WideString PIDLToPath(PCItemIDList pidl);

// UTC -> local time -> the user's short date and time ("" for a zero time or a failed conversion; the time
// is left out at midnight).
WideString FileTimeToDateTimeStr(const FILETIME& fileTime);
// The user's thousands separator.
WideString ThousandSeparator();

enum class TDefaultSystemImage { ClosedFolder, OpenFolder, UnknownFile, FixedIndex29, MyDocuments };
int DefaultSystemImageIndex(TDefaultSystemImage kind);

// shell32 ordinal 660 with the argument; false when shell32 lacks it.
bool InitShellIconCache(bool fullInit);

// The program is Unicode throughout: the wide entry points are always taken (no Windows 9x paths).
constexpr bool IsUnicode = true;

// A list of shell items (owning them unless told otherwise) that shows every change to OnNotify before it
// does its own part: a deleted item is still alive while the routine runs.
class TVirtualNameSpaceList : public TObjectList<TNamespace> {
public:
    using TNotifyEvent =
        std::function<void(TVirtualNameSpaceList& list, TNamespace* item, TListNotification action)>;

    using TObjectList<TNamespace>::TObjectList;
    // Clears here, not in the base, so that the routine hears of the items freed with the list.
    ~TVirtualNameSpaceList() override;

    TNotifyEvent OnNotify;

protected:
    void Notify(TNamespace* item, TListNotification action) override;
};

using TPIDLArray = std::vector<PItemIDList>;
using TNamespaceArray = std::vector<TNamespace*>;
// The items' relative / absolute lists, in order; the items keep them.
TPIDLArray NamespaceToRelativePIDLs(const TNamespaceArray& items);
TPIDLArray NamespaceToAbsolutePIDLs(const TNamespaceArray& items);
// True when every item answers true; false for no items.
bool AllCanDelete(const TNamespaceArray& items);
bool AllHavePropSheet(const TNamespaceArray& items);
inline bool AnyItems(const TNamespaceArray& items) {
    return !items.empty();
}
// A FILETIME (UTC) as a local date-time value: days since 30 December 1899 with the time of day as the
// fraction; 0 for a zero time or a failed conversion.
double FileTimeToDateTime(const FILETIME& fileTime);

// The size of text drawn into a device context with its current font; zero for empty text.
SIZE WideTextExtent(const WideString& text, HDC dc);
// The size of text drawn in font, measured on a screen context of its own; zero for empty text.
SIZE WideFontTextExtent(const WideString& text, const TFont& font);
// The size of text drawn on canvas in the canvas's font; zero for empty text or no canvas. The canvas's
// context keeps the objects it had.
SIZE WideCanvasTextExtent(const WideString& text, TCanvas* canvas);

// A message with the exclamation icon and an OK button; returns the button chosen (IDOK). It goes through
// the message seam, so that tests can answer it.
int WideMessageBox(HWND owner, const WideString& caption, const WideString& text);

struct TWideMessage {
    HWND owner = nullptr;
    WideString caption;
    WideString text;
    UINT style = 0; // MB_ flags
};

// Where WideMessageBox's messages go: the program shows the system's box, a test installs one that records
// them and answers for the user.
class TWideMessageSeam {
public:
    virtual ~TWideMessageSeam() = default;
    virtual int Show(const TWideMessage& message) = 0;
};

// Installs a seam (nullptr: the system's box again) and returns the one it replaces.
TWideMessageSeam* SetWideMessages(TWideMessageSeam* seam);

// Whether the mouse, pressed at point (client coordinates of window), leaves the drag box before the button
// comes up. Modal: waits for messages (without spinning) and dispatches those it does not take; a release,
// double-click, quit or cancel-mode message is posted back and ends it with false. The window gets the
// mouse capture meanwhile, and keeps it afterwards only if it had it before.
bool DetectDragStart(HWND window, POINT point);

} // namespace tarvola
