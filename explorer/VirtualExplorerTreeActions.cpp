#include "explorer/VirtualExplorerTree.h"

#include "shell/VirtualUtilities.h"
#include "tree/Header.h"
#include "tree/HitTest.h"
#include "tree/TreeClipboard.h"
#include "tree/TreeGuards.h"

#include <algorithm>

namespace tarvola {

namespace {

constexpr std::int32_t kOk = 0;
constexpr std::uint16_t kKeyInsert = 0x2D;
constexpr std::uint16_t kKeyDelete = 0x2E;
constexpr std::uint16_t kKeyC = 'C';
constexpr std::uint16_t kKeyV = 'V';
constexpr std::uint16_t kKeyX = 'X';
constexpr std::uint16_t kKeyF3 = 0x72;
constexpr std::uint16_t kKeyF5 = 0x74;

WideString LowerAscii(WideString text) {
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return text;
}

WideString FromEditText(const std::wstring& text) {
    WideString result;
    result.reserve(text.size());
    for (const wchar_t c : text) {
        const auto code = static_cast<char32_t>(c);
        if (code >= 0x10000 && code <= 0x10FFFF) {
            result.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(code));
        }
    }
    return result;
}

bool EndsWithZip(const WideString& name) {
    return name.size() >= 4 && LowerAscii(name.substr(name.size() - 4)) == u".zip";
}

} // namespace

// ---- selection and live nodes

TExplorerItems TCustomVirtualExplorerTree::SelectedItems() {
    TExplorerItems items;
    std::size_t focusedAt = 0;
    bool focusedFound = false;
    for (PVirtualNode node = GetFirstSelected(); node != nullptr; node = GetNextSelected(node)) {
        IExplorerItem* item = NodeItem(node);
        if (item == nullptr)
            continue;
        if (node == FocusedNode()) {
            focusedAt = items.size();
            focusedFound = true;
        }
        items.push_back(item);
    }
    if (focusedFound)
        std::swap(items[0], items[focusedAt]);
    return items;
}

void TCustomVirtualExplorerTree::NoteLiveNode(PVirtualNode node, IExplorerItem* item) {
    liveNodes_.insert(node);
    if (item != nullptr)
        loadedNodes_.Add(item->AbsolutePIDL(), node);
}

void TCustomVirtualExplorerTree::ForgetLiveNode(PVirtualNode node) {
    if (IExplorerItem* item = NodeItem(node))
        loadedNodes_.Remove(item->AbsolutePIDL(), node);
    liveNodes_.erase(node);
    // Nothing that outlives this call may keep the node.
    if (dropTarget_ == node)
        dropTarget_ = nullptr;
    if (contextMenu_ && contextMenu_->Node == node)
        contextMenu_->Node = nullptr;
}

// ---- clipboard verbs

bool TCustomVirtualExplorerTree::DoClipboardCopy() {
    bool handled = false;
    if (OnClipboardCopy)
        OnClipboardCopy(*this, handled);
    return handled;
}

bool TCustomVirtualExplorerTree::DoClipboardCut(bool& markSelectedCut) {
    bool handled = false;
    if (OnClipboardCut)
        OnClipboardCut(*this, markSelectedCut, handled);
    return handled;
}

bool TCustomVirtualExplorerTree::DoClipboardPaste() {
    bool handled = false;
    if (OnClipboardPaste)
        OnClipboardPaste(*this, handled);
    return handled;
}

bool TCustomVirtualExplorerTree::CopyToClipboard() {
    SetWaitCursor(true);
    ScopeExit cursor([this] { SetWaitCursor(false); });
    if (DoClipboardCopy())
        return true;
    const TExplorerItems items = SelectedItems();
    if (items.empty() || shellPort_ == nullptr)
        return false;
    const bool copied = shellPort_->Copy(*items.front(), items);
    if (copied)
        MarkCopy();
    return copied;
}

bool TCustomVirtualExplorerTree::CutToClipboard() {
    if (ReadOnly())
        return false;
    SetWaitCursor(true);
    ScopeExit cursor([this] { SetWaitCursor(false); });
    bool markSelectedCut = true;
    if (DoClipboardCut(markSelectedCut)) {
        if (markSelectedCut)
            MarkCut();
        return true;
    }
    const TExplorerItems items = SelectedItems();
    if (items.empty() || shellPort_ == nullptr)
        return false;
    const bool cut = shellPort_->Cut(*items.front(), items);
    if (cut)
        MarkCut();
    return cut;
}

bool TCustomVirtualExplorerTree::PasteFromClipboard() {
    if (ReadOnly())
        return false;
    SetWaitCursor(true);
    ScopeExit cursor([this] { SetWaitCursor(false); });
    if (DoClipboardPaste())
        return true;
    if (SelectedCount() != 1 || shellPort_ == nullptr)
        return false;
    IExplorerItem* item = NodeItem(GetFirstSelected());
    if (item == nullptr)
        return false;
    shellPort_->Paste(*item, {item});
    return true;
}

void TCustomVirtualExplorerTree::MarkCutOrCopy(TreeState state) {
    if (!ImageOptions().Has(TVETImageOption::toMarkCutAndCopy))
        return;
    Clipboard().CancelCutOrCopy();
    DoStateChange({state});
    Clipboard().MarkCutCopyNodes();
    Host().InvalidateAll();
}

void TCustomVirtualExplorerTree::MarkCopy() {
    MarkCutOrCopy(TreeState::tsCopyPending);
}

void TCustomVirtualExplorerTree::MarkCut() {
    MarkCutOrCopy(TreeState::tsCutPending);
}

void TCustomVirtualExplorerTree::DeleteSelected() {
    if (ReadOnly() || shellPort_ == nullptr)
        return;
    const TExplorerItems items = SelectedItems();
    if (items.empty())
        return;
    SetWaitCursor(true);
    ScopeExit cursor([this] { SetWaitCursor(false); });
    shellPort_->Delete(*items.front(), items);
}

void TCustomVirtualExplorerTree::PasteIntoSelected(bool allSelected) {
    if (ReadOnly() || shellPort_ == nullptr || (!allSelected && SelectedCount() != 1))
        return;
    // The items first: a paste may change the tree.
    TExplorerItems targets;
    for (PVirtualNode node = GetFirstSelected(); node != nullptr; node = GetNextSelected(node)) {
        if (IExplorerItem* item = NodeItem(node))
            targets.push_back(item);
        if (!allSelected)
            break;
    }
    for (IExplorerItem* item : targets)
        shellPort_->Paste(*item, {item});
}

void TCustomVirtualExplorerTree::ShowSelectedProperties() {
    const TExplorerItems items = SelectedItems();
    if (!items.empty() && shellPort_ != nullptr)
        shellPort_->ShowProperties(*items.front(), items);
}

// ---- the shell's context menu

void TCustomVirtualExplorerTree::ShowContextMenu(IExplorerItem& item, TTreeMousePoint screen) {
    if (shellPort_ == nullptr)
        return;
    TExplorerItems items{&item};
    if (SelectedCount() > 1)
        items = SelectedItems();
    TShellMenuRequest request;
    request.ItemCount = static_cast<int>(items.size());
    request.OnShow = [&](bool& allow) {
        if (OnContextMenuShow)
            OnContextMenuShow(*this, item, allow);
    };
    request.OnCommand = [&](const WideString& verb, std::uint32_t id, bool& handled) {
        if (OnContextMenuCmd)
            OnContextMenuCmd(*this, item, verb, id, handled);
        if (handled || LowerAscii(verb) != u"rename")
            return;
        // The tree renames in place: the shell's own rename would open a dialog.
        handled = true;
        contextMenu_->Renaming = true;
        ScopeExit renamed([this] { contextMenu_->Renaming = false; });
        if (SelectedCount() == 1)
            EditNode(GetFirstSelected(), EditColumn0());
    };
    request.OnAfterCommand = [&](const WideString& verb, std::uint32_t id, bool successful) {
        if (OnContextMenuAfterCmd)
            OnContextMenuAfterCmd(*this, item, verb, id, successful);
        if (!successful)
            return;
        const WideString lower = LowerAscii(verb);
        if (lower == u"cut")
            MarkCut();
        else if (lower == u"copy")
            MarkCopy();
    };
    shellPort_->ShowContextMenu(item, items, screen,
                                MiscOptions.Has(TVETMiscOption::toRemoveContextMenuShortCut), request);
}

// ---- running items

void TCustomVirtualExplorerTree::DoShellExecute(PVirtualNode node) {
    IExplorerItem* item = NodeItem(node);
    if (!ShellExecuteEnabled || item == nullptr || !MiscOptions.Has(TVETMiscOption::toExecuteOnDblClk))
        return;
    WideString workingDir;
    WideString arguments;
    bool allow = true;
    if (OnShellExecute)
        OnShellExecute(*this, *item, workingDir, arguments, allow);
    if (allow)
        ExecuteNamespace(*item, workingDir, arguments);
}

void TCustomVirtualExplorerTree::ExecuteNamespace(IExplorerItem& item, const WideString& workingDir,
                                                  const WideString& arguments) {
    if (shellPort_ == nullptr)
        return;
    bool execFolder = true;
    if (item.Folder() && MiscOptions.Has(TVETMiscOption::toBrowseExecuteFolder))
        execFolder =
            EndsWithZip(item.NameForParsing()) && !MiscOptions.Has(TVETMiscOption::toBrowseExecuteZipFolder);
    shellPort_->Execute(item, workingDir, arguments, execFolder,
                        !MiscOptions.Has(TVETMiscOption::toBrowseExecuteFolderShortcut));
}

void TCustomVirtualExplorerTree::DoubleClickAt(int x, int y) {
    const THitInfo hit = GetHitTestInfoAt(x, y, true);
    if (hit.HitNode != nullptr && hit.HitNode == GetFirstSelected() &&
        hit.Has(hpOnItemLabel | hpOnNormalIcon))
        DoShellExecute(hit.HitNode);
}

// ---- editing

TColumnIndex TCustomVirtualExplorerTree::EditColumn0() const {
    return Header().UseColumns() ? 0 : NoColumn;
}

bool TCustomVirtualExplorerTree::IsNameColumn(TColumnIndex column) const {
    if (column < 0)
        return true;
    if (ColumnDetails == TColumnDetailType::cdShellColumns)
        return column < ShellColumnCount;
    return ColumnDetailsOf(column) != TColumnDetails::cdCustom;
}

bool TCustomVirtualExplorerTree::DoEditing(PVirtualNode node, TColumnIndex column, bool allowed) {
    if (allowed && column >= 0) {
        const TColumnDetails kind = ColumnDetailsOf(column);
        if (ColumnDetails == TColumnDetailType::cdShellColumns)
            allowed = column == 0 || (column >= ShellColumnCount && kind == TColumnDetails::cdCustom);
        else
            allowed = kind == TColumnDetails::cdFileName || kind == TColumnDetails::cdCustom;
    }
    if (ReadOnly())
        allowed = false;
    return TCustomVirtualStringTree::DoEditing(node, column, allowed);
}

void TCustomVirtualExplorerTree::DoNewText(PVirtualNode node, TColumnIndex column, const std::wstring& text) {
    if (InState(TreeState::tsEditPending) && shellPort_ != nullptr)
        shellPort_->Beep();
    IExplorerItem* item = NodeItem(node);
    if (!IsNameColumn(column) || item == nullptr) {
        TCustomVirtualStringTree::DoNewText(node, column, text);
        return;
    }
    if (shellPort_ == nullptr || ReadOnly())
        return;
    const TItemIDList before = item->AbsolutePIDL();
    if (shellPort_->SetNameOf(*item, FromEditText(text))) {
        // The item follows its new list: the index of loaded nodes must too.
        item->Invalidate(true);
        loadedNodes_.Remove(before, node);
        loadedNodes_.Add(item->AbsolutePIDL(), node);
        InvalidateNode(node);
    } else if (PostEditNodeAgain) {
        PostEditNodeAgain(node);
    }
}

bool TCustomVirtualExplorerTree::EditNodeAgain(const void* node) {
    // The node came through the message queue: a refresh since may have freed it.
    if (node == nullptr || !IsLiveNode(node))
        return false;
    if (shellPort_ != nullptr)
        shellPort_->Beep();
    const PVirtualNode live = const_cast<PVirtualNode>(static_cast<const TVirtualNode*>(node));
    EditNode(live, EditColumn0());
    return true;
}

WideString TCustomVirtualExplorerTree::CreateNewFolder(const TItemIDList& parentPIDL,
                                                       const WideString& suggestedName) {
    if (!TreeOptions().MiscOptions().Has(TVTMiscOption::toEditable))
        throw EVirtualTreeAssertion("You must set the toEditable option to Edit paths");
    if (ReadOnly() || shellPort_ == nullptr)
        return {};
    const TExplorerItemPtr parentItem = shell_.ItemFromPIDL(parentPIDL);
    if (parentItem == nullptr)
        return {};
    const WideString parentPath = WideStripTrailingBackslash(parentItem->NameForParsing());
    if (parentPath.empty() || !shell_.DirectoryExists(parentPath))
        return {};
    const PVirtualNode parent = FindNodeByPIDL(parentPIDL, false, true, false, true);
    if (parent == nullptr)
        return {};
    // The folder's children are listed before the new one exists, so that it is added exactly once.
    if (parent != RootNode() && !Expanded(parent))
        SetExpanded(parent, true);
    const WideString newPath = UniqueDirName(
        parentPath, [this](const WideString& path) { return shell_.DirectoryExists(path); },
        suggestedName.empty() ? WideString(u"New Folder") : suggestedName);
    if (newPath.empty() || !shellPort_->MakeDirectory(newPath))
        return {};
    // The new folder is found by its path at once; nothing waits for the folder's listing to show it.
    TExplorerItemPtr newItem = shell_.ItemFromPath(newPath);
    if (newItem == nullptr)
        return {};
    const WideString name = newItem->NameInFolder();
    PVirtualNode node = nullptr;
    for (PVirtualNode child = parent->FirstChild; child != nullptr && node == nullptr;
         child = child->NextSibling)
        if (IExplorerItem* item = NodeItem(child);
            item != nullptr && shell_.SameItem(item->AbsolutePIDL(), newItem->AbsolutePIDL()))
            node = child;
    if (node == nullptr)
        node = AddCustomNode(parent, std::move(newItem),
                             TreeOptions().MiscOptions().Has(TVTMiscOption::toCheckSupport));
    if (node == nullptr)
        return {};
    ClearSelection();
    SetFocusedNode(node);
    SetSelected(node, true);
    EditNode(node, EditColumn0());
    return name;
}

// ---- drag and drop

bool TCustomVirtualExplorerTree::DoDragAllowed(PVirtualNode node, TColumnIndex column) {
    IExplorerItem* item = NodeItem(node);
    const bool allowed = !ReadOnly() && ShellOptions.Has(TVETShellOption::toDragDrop) &&
                         TreeOptions().MiscOptions().Has(TVTMiscOption::toAcceptOLEDrop) && item != nullptr &&
                         !item->AbsolutePIDL().IsDesktop();
    if (!allowed)
        return false;
    // The owner's handler has the last word, starting from the tree's yes.
    bool ownerAllows = true;
    if (OnDragAllowed)
        OnDragAllowed(*this, Published(node), column, ownerAllows);
    return ownerAllows;
}

PVirtualNode TCustomVirtualExplorerTree::DropTargetNodeAt(TTreeMousePoint client) {
    const THitInfo hit = GetHitTestInfoAt(client.X, client.Y, true);
    PVirtualNode node = hit.Has(hpOnItem) ? hit.HitNode : nullptr;
    if (node == nullptr && FolderOptions().Has(TVETFolderOption::toHideRootFolder))
        node = RootNode();
    return NodeItem(node) != nullptr ? node : nullptr;
}

void TCustomVirtualExplorerTree::ChangeDropTarget(PVirtualNode node, std::uint32_t keyState,
                                                  TTreeMousePoint screen, std::uint32_t& effect) {
    if (node == dropTarget_)
        return;
    const PVirtualNode previous = dropTarget_;
    dropTarget_ = node;
    if (IExplorerItem* item = NodeItem(node); item != nullptr && dragData_ != nullptr)
        shellPort_->DragEnter(*item, dragData_, keyState, screen, effect);
    if (IExplorerItem* item = NodeItem(previous))
        shellPort_->DragLeave(*item);
}

std::int32_t TCustomVirtualExplorerTree::ShellDragEnter(IDataObject* data, std::uint32_t keyState,
                                                        TTreeMousePoint client, TTreeMousePoint screen,
                                                        std::uint32_t& effect) {
    if (ReadOnly() || shellPort_ == nullptr) {
        effect = 0;
        return kOk;
    }
    if ((keyState & kKeyStateLeftButton) != 0)
        dragButton_ = kDragButtonLeft;
    else if ((keyState & kKeyStateRightButton) != 0)
        dragButton_ = kDragButtonRight;
    else
        return kOk;
    dragData_ = data;
    dropTarget_ = nullptr;
    const PVirtualNode node = DropTargetNodeAt(client);
    ChangeDropTarget(node, keyState, screen, effect);
    if (node == nullptr || data == nullptr)
        effect = 0;
    lastDropEffect_ = effect;
    return kOk;
}

std::int32_t TCustomVirtualExplorerTree::ShellDragOver(std::uint32_t keyState, TTreeMousePoint client,
                                                       TTreeMousePoint screen, std::uint32_t& effect) {
    if (ReadOnly() || shellPort_ == nullptr || dragButton_ == 0) {
        effect = 0;
        return kOk;
    }
    if (dropping_)
        return kOk;
    const std::uint32_t asked = effect;
    ChangeDropTarget(DropTargetNodeAt(client), keyState, screen, effect);
    effect = asked;
    IExplorerItem* item = NodeItem(dropTarget_);
    if (item != nullptr && dragData_ != nullptr)
        shellPort_->DragOver(*item, keyState, screen, effect);
    else
        effect = 0;
    lastDropEffect_ = effect;
    return kOk;
}

void TCustomVirtualExplorerTree::ShellDragLeave() {
    if (ReadOnly() || shellPort_ == nullptr)
        return;
    if (IExplorerItem* item = NodeItem(dropTarget_))
        shellPort_->DragLeave(*item);
    dropTarget_ = nullptr;
    dragData_ = nullptr;
    dragButton_ = 0;
}

std::int32_t TCustomVirtualExplorerTree::ShellDragDrop(IDataObject* data, std::uint32_t keyState,
                                                       TTreeMousePoint client, TTreeMousePoint screen,
                                                       std::uint32_t& effect) {
    if (ReadOnly() || shellPort_ == nullptr) {
        effect = 0;
        return kOk;
    }
    dropping_ = true;
    SetWaitCursor(true);
    ScopeExit done([this] {
        SetWaitCursor(false);
        dropTarget_ = nullptr;
        dropping_ = false;
        dragData_ = nullptr;
        dragButton_ = 0;
    });
    const PVirtualNode node = dropTarget_ != nullptr ? dropTarget_ : DropTargetNodeAt(client);
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr || dragButton_ == 0) {
        effect = 0;
        return kOk;
    }
    // A right-button drag lets the shell ask for copy, move or link; a left one does what the last move
    // over the target showed.
    effect = dragButton_ == kDragButtonRight ? SuggestDropEffect() : lastDropEffect_;
    return shellPort_->Drop(*item, data, keyState, screen, effect);
}

// ---- keys

void TCustomVirtualExplorerTree::KeyFocusSibling(bool next) {
    const PVirtualNode focused = FocusedNode();
    PVirtualNode target = nullptr;
    if (focused == nullptr)
        target = GetFirst();
    else
        target = next ? GetNextVisibleSibling(focused) : GetPreviousVisibleSibling(focused);
    if (target == nullptr)
        return;
    SetFocusedNode(target);
    ScrollIntoView(target, false);
}

void TCustomVirtualExplorerTree::KeyPageFocus(bool down) {
    const auto lastFullyVisible = [this] {
        PVirtualNode last = nullptr;
        for (PVirtualNode node = TopNode(); node != nullptr; node = GetNextVisible(node)) {
            if (GetDisplayRect(node, NoColumn, false).Bottom > Host().ClientHeight())
                break;
            last = node;
        }
        return last;
    };
    if (!down) {
        if (TopNode() != nullptr && FocusedNode() == TopNode())
            SetOffsetY(OffsetY() + Host().ClientHeight());
        if (PVirtualNode top = TopNode())
            SetFocusedNode(top);
        return;
    }
    PVirtualNode last = lastFullyVisible();
    if (last != nullptr && FocusedNode() == last) {
        const int before = OffsetY();
        SetOffsetY(OffsetY() - Host().ClientHeight());
        last = OffsetY() != before ? lastFullyVisible() : GetLastChild(RootNode());
    }
    if (last != nullptr) {
        SetFocusedNode(last);
        ScrollIntoView(last, false);
    }
}

bool TCustomVirtualExplorerTree::DoKeyAction(std::uint16_t& charCode, TKeyModifiers& shift) {
    if (!TCustomVirtualStringTree::DoKeyAction(charCode, shift))
        return false;
    const bool ctrl = (shift & keymod::Ctrl) != 0;
    const bool shiftKey = (shift & keymod::Shift) != 0;
    // Only the keys' own codes: 0x61, 0x63, 0x76 and 0x78 are the keypad's 1 and 3 and F7 and F9.
    switch (charCode) {
    case kKeyInsert:
        if (shiftKey && !ctrl) {
            if (!ReadOnly())
                PasteFromClipboard();
            return false;
        }
        if (ctrl && !shiftKey) {
            if (!ReadOnly())
                CopyToClipboard();
            return false;
        }
        return true;
    case kKeyC:
        if (ctrl)
            CopyToClipboard();
        return true;
    case kKeyX:
        if (ctrl)
            CutToClipboard();
        return true;
    case kKeyV:
        if (ctrl)
            PasteFromClipboard();
        return true;
    case vkey::KeyA:
        if (ctrl && shiftKey) {
            InvertSelection(false);
            return false;
        }
        return true;
    case kKeyDelete:
        DeleteSelected();
        return true;
    case vkey::Divide:
        if (FocusedNode() != nullptr) {
            SetWaitCursor(true);
            ScopeExit cursor([this] { SetWaitCursor(false); });
            FullCollapse();
            charCode = 0;
        }
        return true;
    case kKeyF3:
        if (PVirtualNode selected = GetFirstSelected())
            ReenumerateNode(selected);
        return true;
    case kKeyF5:
        RefreshTree(MiscOptions.Has(TVETMiscOption::toRestoreTopNodeOnRefresh));
        return true;
    case vkey::Up:
    case vkey::Down:
        if (!ctrl)
            return true;
        KeyFocusSibling(charCode == vkey::Down);
        return false;
    case vkey::Prior:
    case vkey::Next:
        if (!ctrl)
            return true;
        KeyPageFocus(charCode == vkey::Next);
        return false;
    default:
        return true;
    }
}

// ---- for window code

namespace {

TCustomVirtualExplorerTree& Explorer(TBaseVirtualTree& tree) {
    return dynamic_cast<TCustomVirtualExplorerTree&>(tree);
}

} // namespace

IExplorerShellPort* ExplorerShellPort(TBaseVirtualTree& tree) {
    return Explorer(tree).ShellPort();
}

void SetExplorerShellPort(TBaseVirtualTree& tree, IExplorerShellPort* port) {
    Explorer(tree).SetShellPort(port);
}

TContextMenuManager& ExplorerContextMenu(TBaseVirtualTree& tree) {
    return Explorer(tree).ContextMenuManager();
}

void SetExplorerAltKeyDown(TBaseVirtualTree& tree, bool down) {
    Explorer(tree).AltKeyDown = down;
}

bool ExplorerAltKeyDown(TBaseVirtualTree& tree) {
    return Explorer(tree).AltKeyDown;
}

void ExplorerDoubleClick(TBaseVirtualTree& tree, int x, int y) {
    Explorer(tree).DoubleClickAt(x, y);
}

void ExplorerShowSelectedProperties(TBaseVirtualTree& tree) {
    Explorer(tree).ShowSelectedProperties();
}

bool ExplorerEditNodeAgain(TBaseVirtualTree& tree, const void* node) {
    return Explorer(tree).EditNodeAgain(node);
}

std::int32_t ExplorerDragEnter(TBaseVirtualTree& tree, IDataObject* data, std::uint32_t keyState,
                               TTreeMousePoint client, TTreeMousePoint screen, std::uint32_t& effect) {
    return Explorer(tree).ShellDragEnter(data, keyState, client, screen, effect);
}

std::int32_t ExplorerDragOver(TBaseVirtualTree& tree, std::uint32_t keyState, TTreeMousePoint client,
                              TTreeMousePoint screen, std::uint32_t& effect) {
    return Explorer(tree).ShellDragOver(keyState, client, screen, effect);
}

void ExplorerDragLeave(TBaseVirtualTree& tree) {
    Explorer(tree).ShellDragLeave();
}

std::int32_t ExplorerDragDrop(TBaseVirtualTree& tree, IDataObject* data, std::uint32_t keyState,
                              TTreeMousePoint client, TTreeMousePoint screen, std::uint32_t& effect) {
    return Explorer(tree).ShellDragDrop(data, keyState, client, screen, effect);
}

} // namespace tarvola
