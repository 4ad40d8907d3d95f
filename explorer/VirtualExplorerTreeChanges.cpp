#include "explorer/VirtualExplorerTree.h"

#include "tree/TreeGuards.h"

namespace tarvola {

namespace {

constexpr int kCsidlDrives = 17;

PVirtualNode AsNode(TExplorerNodeRef node) {
    return const_cast<PVirtualNode>(static_cast<const TVirtualNode*>(node));
}

std::optional<TItemIDList> ListOf(PCItemIDList pidl) {
    if (pidl == nullptr)
        return std::nullopt;
    return TItemIDList::FromPIDL(pidl);
}

// "X:" of a path that starts with a drive, else empty.
WideString DriveOf(const WideString& path) {
    if (path.size() >= 2 && path[1] == u':')
        return path.substr(0, 2);
    return {};
}

char16_t UpperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool SameDrive(const WideString& a, const WideString& b) {
    return a.size() == 2 && b.size() == 2 && UpperAscii(a[0]) == UpperAscii(b[0]);
}

} // namespace

// What the change events do, carried out on the tree's nodes.
class TExplorerChangeTarget final : public IShellChangeTarget {
public:
    explicit TExplorerChangeTarget(TCustomVirtualExplorerTree& tree) : tree_(tree) {}

    TExplorerNodeRef FindLoadedNode(const TItemIDList& pidl) override {
        if (TExplorerNodeRef node = tree_.loadedNodes_.Find(pidl))
            return node;
        // The shell may call one item by two lists: the walk compares as the shell does.
        return tree_.FindLoadedNode(pidl);
    }
    void RefreshIconSize() override {
        if (tree_.MiscOptions.Has(TVETMiscOption::toNoRebuildIconListOnAssocChange))
            return;
        // The image lists are bound again and the tree re-read; the user's icon size setting is left alone.
        if (tree_.shellPort_ != nullptr)
            tree_.shellPort_->RefreshSystemImages();
        RefreshTree();
    }
    void InvalidateChildren(TExplorerNodeRef node) override {
        tree_.SetWaitCursor(true);
        ScopeExit cursor([this] { tree_.SetWaitCursor(false); });
        tree_.BeginUpdate();
        ScopeExit end([this] { tree_.EndUpdate(); });
        for (PVirtualNode child = AsNode(node)->FirstChild; child != nullptr; child = child->NextSibling) {
            if (IExplorerItem* item = tree_.NodeItem(child)) {
                item->Invalidate(false);
                tree_.InvalidateNode(child);
            }
        }
    }
    void RefreshNodeChildren(TExplorerNodeRef node) override { tree_.RefreshNodeChildren(AsNode(node)); }
    void RefreshTree() override {
        tree_.RefreshTree(tree_.MiscOptions.Has(TVETMiscOption::toRestoreTopNodeOnRefresh));
    }
    void MediaChanged(const TItemIDList& pidl, TExplorerNodeRef node) override {
        const TExplorerItemPtr item = tree_.shell_.ItemFromPIDL(pidl);
        if (item != nullptr && tree_.shellPort_ != nullptr)
            tree_.shellPort_->Revalidate(*item);
        if (node != nullptr) {
            tree_.ReenumerateNode(AsNode(node));
            return;
        }
        IExplorerItem* root = tree_.RootItem();
        if (item != nullptr && root != nullptr &&
            SameDrive(DriveOf(item->NameForParsing()), DriveOf(root->NameForParsing())))
            RefreshTree();
    }
    void ReloadItem(TExplorerNodeRef node) override {
        IExplorerItem* item = tree_.NodeItem(AsNode(node));
        if (item == nullptr)
            return;
        tree_.BeginUpdate();
        ScopeExit end([this] { tree_.EndUpdate(); });
        const TItemIDList before = item->AbsolutePIDL();
        item->Invalidate(true);
        tree_.loadedNodes_.Remove(before, node);
        tree_.loadedNodes_.Add(item->AbsolutePIDL(), node);
        tree_.InvalidateNode(AsNode(node));
    }
    void UpdateImages(std::uint32_t imageIndex) override {
        if (tree_.shellPort_ != nullptr)
            tree_.shellPort_->RefreshSystemImages();
        tree_.SetWaitCursor(true);
        ScopeExit cursor([this] { tree_.SetWaitCursor(false); });
        UpdateImagesBelow(tree_.RootNode(), static_cast<int>(imageIndex));
    }
    // A mapped network drive's root: read again from scratch, since the shell tells little of its changes.
    bool TrackMappedDrive(const TShellChange& event) {
        if (!tree_.MiscOptions.Has(TVETMiscOption::toTrackChangesInMappedDrives) ||
            event.Kind != TVirtualShellNotifyEvent::vsneUpdateDir || !event.PIDL1 ||
            tree_.shellPort_ == nullptr)
            return false;
        const TExplorerItemPtr item = tree_.shell_.ItemFromPIDL(*event.PIDL1);
        if (item == nullptr || !item->Folder())
            return false;
        const WideString name = item->NameForParsing();
        const bool driveRoot = name.size() == 3 && name[1] == u':' && name[2] == u'\\';
        if (!driveRoot || !tree_.shellPort_->IsRemoteDrive(name))
            return false;
        if (PVirtualNode node = tree_.FindNodeByPIDL(*event.PIDL1, false, true, false, false))
            tree_.ReenumerateNode(node);
        return true;
    }

private:
    void UpdateImagesBelow(PVirtualNode parent, int imageIndex) {
        for (PVirtualNode child = parent->FirstChild; child != nullptr; child = child->NextSibling) {
            UpdateImagesBelow(child, imageIndex);
            IExplorerItem* item = tree_.NodeItem(child);
            if (item != nullptr &&
                (item->IconIndex(false, false) == imageIndex || item->IconIndex(true, false) == imageIndex)) {
                item->Invalidate(true);
                tree_.InvalidateNode(child);
            }
        }
    }

    TCustomVirtualExplorerTree& tree_;
};

void TCustomVirtualExplorerTree::DoShellNotify(TShellChange& event) {
    if (OnShellNotify)
        OnShellNotify(*this, event);
}

void TCustomVirtualExplorerTree::HandleShellNotify(TVirtualShellEventList* list) {
    if (list == nullptr)
        return;
    // Handled, skipped or failed: this tree's reference goes exactly once.
    ScopeExit release([list] { list->Release(); });
    if (contextMenu_->MenuShown || ShellDragging() || InState(TreeState::tsOLEDragging)) {
        // The menu's and the drag's loops run inside this window: the tree must not change under them.
        notificationSkipped_ = true;
        return;
    }
    std::vector<TShellChange> events;
    bool freeSpace = false;
    {
        list->Lock();
        ScopeExit unlock([list] { list->Unlock(); });
        events.reserve(static_cast<std::size_t>(list->Count()));
        for (int i = 0; i < list->Count(); ++i) {
            const TVirtualShellEvent& source = list->Event(i);
            TShellChange change;
            change.Kind = source.Kind();
            change.PIDL1 = ListOf(source.PIDL1());
            change.ParentPIDL1 = ListOf(source.ParentPIDL1());
            change.Item1 = source.Item1();
            freeSpace = freeSpace || change.Kind == TVirtualShellNotifyEvent::vsneFreeSpace;
            events.push_back(std::move(change));
        }
    }
    std::optional<TItemIDList> myComputer;
    if (freeSpace)
        if (const TExplorerItemPtr drives = shell_.SpecialFolder(kCsidlDrives))
            myComputer = drives->AbsolutePIDL();
    TExplorerChangeTarget target(*this);
    for (TShellChange& event : events) {
        DoShellNotify(event);
        if (event.Ignored || IsEditActive())
            continue;
        if (target.TrackMappedDrive(event))
            continue;
        ApplyShellChanges({event}, target, myComputer, false);
    }
}

void TCustomVirtualExplorerTree::ShellNotifyMouseMove() {
    if (!notificationSkipped_ || contextMenu_->MenuShown || ShellDragging() ||
        InState(TreeState::tsOLEDragging))
        return;
    notificationSkipped_ = false;
    RefreshTree(false);
}

bool TCustomVirtualExplorerTree::DoEndEdit() {
    // What is already queued is applied before the editor goes; nothing waits for more.
    if (DispatchQueuedShellNotifies)
        DispatchQueuedShellNotifies();
    return TCustomVirtualStringTree::DoEndEdit();
}

// ---- for window code

namespace {

TCustomVirtualExplorerTree& Explorer(TBaseVirtualTree& tree) {
    return dynamic_cast<TCustomVirtualExplorerTree&>(tree);
}

} // namespace

void ExplorerShellNotify(TBaseVirtualTree& tree, void* eventList) {
    Explorer(tree).HandleShellNotify(static_cast<TVirtualShellEventList*>(eventList));
}

void ExplorerMouseMoved(TBaseVirtualTree& tree) {
    Explorer(tree).ShellNotifyMouseMove();
}

void SetExplorerWindowHooks(TBaseVirtualTree& tree, std::function<void()> dispatchQueuedNotifies,
                            std::function<void(PVirtualNode)> postEditNodeAgain) {
    TCustomVirtualExplorerTree& explorer = Explorer(tree);
    explorer.DispatchQueuedShellNotifies = std::move(dispatchQueuedNotifies);
    explorer.PostEditNodeAgain = std::move(postEditNodeAgain);
}

bool ExplorerTracksChanges(TBaseVirtualTree& tree) {
    return Explorer(tree).MiscOptions.Has(TVETMiscOption::toChangeNotifierThread);
}

} // namespace tarvola
