// What the explorer tree does to the shell on the user's behalf: the shell's context menu, the clipboard
// verbs, deleting, properties, renaming, new folders, running items and dropping onto folder items. The
// tree decides when and on which items; IExplorerShellPort carries the call out (TNamespace on Windows, a
// recording port in tests), so that the modal parts (the menu loop, property sheets) never run in a test.
//
// Window code reaches the tree's side through the functions at the end of this header.
#pragma once

#include "explorer/VirtualExplorerTypes.h"
#include "shell/VirtualShellMenu.h"
#include "tree/TreeMouse.h"
#include "tree/TreeKeyboard.h"
#include "tree/VirtualTrees.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct IDataObject;

namespace tarvola {

// The tree posts this to its own window with the node whose rename failed (wParam).
constexpr std::uint32_t WM_EDITNODEAGAIN = 0x8035;
// The Alt key's bit in the lParam of WM_SYSKEYDOWN.
constexpr std::uint32_t kAltKeyDownBit = 0x20000000;
// Copy, move and link: what the tree offers a drag of shell items and a right-button drop.
constexpr std::uint32_t kDropEffectAll = 7;
// The drag button as the drop remembers it.
constexpr int kDragButtonLeft = 1;
constexpr int kDragButtonRight = 2;
// The key states of an OLE drag (MK_LBUTTON, MK_RBUTTON).
constexpr std::uint32_t kKeyStateLeftButton = 0x1;
constexpr std::uint32_t kKeyStateRightButton = 0x2;

// Items of a verb: the first is the one whose verb runs, the others its companions.
using TExplorerItems = std::vector<IExplorerItem*>;

class IExplorerShellPort {
public:
    virtual ~IExplorerShellPort() = default;
    // Shows the shell's menu of items (item is the one clicked, items the selection) at a screen point and
    // runs the chosen command between request's callbacks; true when a command was chosen. With
    // removeShortcut the "link" command goes, and a separator it leaves doubled or at an end.
    virtual bool ShowContextMenu(IExplorerItem& item, const TExplorerItems& items, TTreeMousePoint screen,
                                 bool removeShortcut, const TShellMenuRequest& request) = 0;
    // The shell's verbs, run by item on items; true when the shell ran the verb.
    virtual bool Copy(IExplorerItem& item, const TExplorerItems& items) = 0;
    virtual bool Cut(IExplorerItem& item, const TExplorerItems& items) = 0;
    virtual bool Paste(IExplorerItem& item, const TExplorerItems& items) = 0;
    virtual bool Delete(IExplorerItem& item, const TExplorerItems& items) = 0;
    virtual bool ShowProperties(IExplorerItem& item, const TExplorerItems& items) = 0;
    // Renames the item in its folder; the item follows it to its new list.
    virtual bool SetNameOf(IExplorerItem& item, const WideString& newName) = 0;
    virtual bool Execute(IExplorerItem& item, const WideString& workingDir, const WideString& arguments,
                         bool execFolder, bool execFolderShortcut) = 0;
    // Makes a folder and tells the shell of it.
    virtual bool MakeDirectory(const WideString& path) = 0;
    // The item's drop target (an item that takes no drops answers with no effect). Points are the
    // screen's; results are HRESULTs.
    virtual std::int32_t DragEnter(IExplorerItem& item, IDataObject* data, std::uint32_t keyState,
                                   TTreeMousePoint screen, std::uint32_t& effect) = 0;
    virtual std::int32_t DragOver(IExplorerItem& item, std::uint32_t keyState, TTreeMousePoint screen,
                                  std::uint32_t& effect) = 0;
    virtual std::int32_t DragLeave(IExplorerItem& item) = 0;
    virtual std::int32_t Drop(IExplorerItem& item, IDataObject* data, std::uint32_t keyState,
                              TTreeMousePoint screen, std::uint32_t& effect) = 0;
    // The system's beep (a refused rename).
    virtual void Beep() = 0;
    // The shell's icons changed: the system image lists are bound again and the shell's icon cache is
    // initialised again. The user's settings are not touched.
    virtual void RefreshSystemImages() = 0;
    // The item asks its folder whether it is still there (a medium came or went).
    virtual void Revalidate(IExplorerItem& item) = 0;
    // Whether the drive of a root path ("X:\") is a network drive.
    virtual bool IsRemoteDrive(const WideString& root) = 0;
    // The path a shortcut item points at; none when the link cannot be read.
    virtual std::optional<WideString> ShortcutTarget(IExplorerItem&) { return std::nullopt; }
};

class TContextMenuManager;

// --- For window code (the tree is a TVirtualExplorerTree)
IExplorerShellPort* ExplorerShellPort(TBaseVirtualTree& tree);
void SetExplorerShellPort(TBaseVirtualTree& tree, IExplorerShellPort* port);
TContextMenuManager& ExplorerContextMenu(TBaseVirtualTree& tree);
// The Alt key's state as WM_SYSKEYDOWN, WM_SYSKEYUP and WM_KILLFOCUS leave it.
void SetExplorerAltKeyDown(TBaseVirtualTree& tree, bool down);
bool ExplorerAltKeyDown(TBaseVirtualTree& tree);
// A left double click at a client point, after the base handling: runs the item under it.
void ExplorerDoubleClick(TBaseVirtualTree& tree, int x, int y);
// Alt+Enter and Alt+double-click: the selection's property sheet.
void ExplorerShowSelectedProperties(TBaseVirtualTree& tree);
// WM_EDITNODEAGAIN: beeps and opens the editor again, when node is still one of the tree's.
bool ExplorerEditNodeAgain(TBaseVirtualTree& tree, const void* node);
// An OLE drag over the tree window (client and screen points of the same place).
std::int32_t ExplorerDragEnter(TBaseVirtualTree& tree, IDataObject* data, std::uint32_t keyState,
                               TTreeMousePoint client, TTreeMousePoint screen, std::uint32_t& effect);
std::int32_t ExplorerDragOver(TBaseVirtualTree& tree, std::uint32_t keyState, TTreeMousePoint client,
                              TTreeMousePoint screen, std::uint32_t& effect);
void ExplorerDragLeave(TBaseVirtualTree& tree);
std::int32_t ExplorerDragDrop(TBaseVirtualTree& tree, IDataObject* data, std::uint32_t keyState,
                              TTreeMousePoint client, TTreeMousePoint screen, std::uint32_t& effect);
// A WM_SHELLNOTIFY's list (released exactly once) and the mouse move that catches up on skipped ones.
void ExplorerShellNotify(TBaseVirtualTree& tree, void* eventList);
void ExplorerMouseMoved(TBaseVirtualTree& tree);
// How the window reaches the tree: its queued notifications, and WM_EDITNODEAGAIN's post.
void SetExplorerWindowHooks(TBaseVirtualTree& tree, std::function<void()> dispatchQueuedNotifies,
                            std::function<void(PVirtualNode)> postEditNodeAgain);
// Whether the tree follows the shell's change notifications (toChangeNotifierThread).
bool ExplorerTracksChanges(TBaseVirtualTree& tree);
// The selected nodes' items, the focused one first (the items a drag of the selection carries).
TExplorerItems ExplorerSelectedItems(TBaseVirtualTree& tree);
// Whether a node may be dragged out to the shell (its drag then offers copy, move and link).
bool ExplorerDragAllowed(TBaseVirtualTree& tree, PVirtualNode node);
// Set around the window's handling of a left press or double click: whether it lands on an expand button.
void SetExplorerExpandButtonClick(TBaseVirtualTree& tree, bool value);
// A double click of the right button at a client point.
void ExplorerRightDoubleClick(TBaseVirtualTree& tree, int x, int y);
// Switches one of the tree's shell or miscellaneous options.
void SetExplorerShellOption(TBaseVirtualTree& tree, TVETShellOption option, bool on);
void SetExplorerMiscOption(TBaseVirtualTree& tree, TVETMiscOption option, bool on);

} // namespace tarvola
