// Browsing to an item, finding the node of an item, and bringing folders up to date: the explorer tree's
// side of the path walk (ExplorerRefreshFind.h), the child merge (ExplorerRefresh.h) and the snapshot
// (ExplorerStateSnapshot.h), each through a small adapter over the tree's nodes.
#include "explorer/ExplorerRefreshFind.h"
#include "explorer/ExplorerStateSnapshot.h"
#include "explorer/VirtualExplorerTree.h"

#include "tree/TreeGuards.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_set>

namespace tarvola {

namespace {

PVirtualNode AsNode(TExplorerNodeRef node) {
    return const_cast<PVirtualNode>(static_cast<const TVirtualNode*>(node));
}

struct TByteOrder {
    bool operator()(const TItemIDList& a, const TItemIDList& b) const { return CompareBytes(a, b) < 0; }
};

} // namespace

// The path walk over the tree's nodes. levelStep loads a level's folder before it is searched.
class TExplorerTreeWalk : public IExplorerNodeWalk {
public:
    enum class TLoad { Nothing, Expand, Reinit };

    TExplorerTreeWalk(TCustomVirtualExplorerTree& tree, TLoad load) : tree_(tree), load_(load) {}

    TExplorerNodeRef StartNode() override { return tree_.StartNode(); }
    std::optional<TItemIDList> NodePIDL(TExplorerNodeRef node) override {
        IExplorerItem* item = tree_.NodeItem(AsNode(node));
        return item != nullptr ? std::optional<TItemIDList>(item->AbsolutePIDL()) : std::nullopt;
    }
    TExplorerNodeRef FirstChild(TExplorerNodeRef node) override { return AsNode(node)->FirstChild; }
    TExplorerNodeRef NextSibling(TExplorerNodeRef node) override { return AsNode(node)->NextSibling; }
    bool SameItem(const TItemIDList& a, const TItemIDList& b) override {
        return tree_.Shell().SameItem(a, b);
    }
    void EnterLevel(TExplorerNodeRef ref, const TItemIDList&) override {
        const PVirtualNode node = AsNode(ref);
        if (load_ == TLoad::Nothing)
            return;
        if (node == tree_.RootNode()) {
            tree_.EnumerateNodeChildren(node);
        } else if (load_ == TLoad::Reinit) {
            tree_.ReinitChildren(node, false);
            tree_.ValidateChildren(node, false);
        } else {
            tree_.SetExpanded(node, true);
        }
    }

private:
    TCustomVirtualExplorerTree& tree_;
    TLoad load_;
};

// The child merge over one folder node.
class TExplorerRefreshFolder : public IRefreshFolder {
public:
    TExplorerRefreshFolder(TCustomVirtualExplorerTree& tree, PVirtualNode folder, IExplorerItem& folderItem)
        : tree_(tree), folder_(folder), folderItem_(folderItem) {}

    // The fresh listing: the items to merge, and the merge's view of them. Where the shell cannot compare,
    // the names within the folder stand in (the parse names: exact, and cheap for the shell to give).
    std::vector<TRefreshItem> TakeListing(std::vector<TExplorerItemPtr> children) {
        std::vector<TRefreshItem> fresh;
        fresh.reserve(children.size());
        for (TExplorerItemPtr& child : children) {
            TRefreshItem item{child->RelativePIDL(), child->NameParseAddressInFolder()};
            fresh.push_back(item);
            listed_[item.RelativePIDL] = std::move(child);
        }
        return fresh;
    }

    std::optional<int> CompareIDs(const TItemIDList& a, const TItemIDList& b) override {
        return folderItem_.CompareChildren(0, a, b);
    }
    std::vector<TRefreshChild> Children() override {
        std::vector<TRefreshChild> children;
        for (PVirtualNode child = folder_->FirstChild; child != nullptr; child = child->NextSibling) {
            if (IExplorerItem* item = tree_.NodeItem(child))
                children.push_back({child, {item->RelativePIDL(), item->NameParseAddressInFolder()}});
        }
        return children;
    }
    bool AddChild(const TRefreshItem& item, TExplorerNodeRef before) override {
        const auto listed = listed_.find(item.RelativePIDL);
        if (listed == listed_.end() || listed->second == nullptr)
            return false;
        bool allow = true;
        tree_.DoEnumFolder(*listed->second, allow);
        if (!allow)
            return false;
        const bool check = tree_.TreeOptions().MiscOptions().Has(TVTMiscOption::toCheckSupport);
        const PVirtualNode node = tree_.AddCustomNode(folder_, std::move(listed->second), check);
        if (node == nullptr)
            return false;
        if (before != nullptr)
            tree_.MoveTo(node, AsNode(before), TVTNodeAttachMode::amInsertBefore, false);
        return true;
    }
    void DeleteChild(TExplorerNodeRef child) override { tree_.DeleteChildForRefresh(AsNode(child)); }
    TExplorerNodeRef FocusedChild() override {
        const PVirtualNode focused = tree_.FocusedNode();
        return focused != nullptr && focused->Parent == folder_ ? focused : nullptr;
    }
    TExplorerNodeRef NextSibling(TExplorerNodeRef child) override { return AsNode(child)->NextSibling; }
    void FocusChild(TExplorerNodeRef child) override {
        PVirtualNode target = AsNode(child);
        if (target == nullptr)
            target = folder_ == tree_.RootNode() ? nullptr : folder_;
        tree_.SetFocusedNode(target);
        if (target != nullptr)
            tree_.SetSelected(target, true);
    }

private:
    TCustomVirtualExplorerTree& tree_;
    PVirtualNode folder_;
    IExplorerItem& folderItem_;
    std::map<TItemIDList, TExplorerItemPtr, TByteOrder> listed_;
};

// The snapshot's view of the tree.
class TExplorerStateTree : public IExplorerStateTree {
public:
    explicit TExplorerStateTree(TCustomVirtualExplorerTree& tree) : tree_(tree) {}

    TExplorerNodeRef StartNode() override { return tree_.StartNode(); }
    bool IsHiddenRoot(TExplorerNodeRef node) override { return node == tree_.RootNode(); }
    TExplorerNodeRef FirstNode() override { return tree_.RootNode()->FirstChild; }
    std::optional<TItemIDList> NodePIDL(TExplorerNodeRef node) override {
        IExplorerItem* item = tree_.NodeItem(AsNode(node));
        return item != nullptr ? std::optional<TItemIDList>(item->AbsolutePIDL()) : std::nullopt;
    }
    std::vector<TExplorerNodeRef> Children(TExplorerNodeRef node) override {
        std::vector<TExplorerNodeRef> children;
        for (PVirtualNode child = AsNode(node)->FirstChild; child != nullptr; child = child->NextSibling)
            children.push_back(child);
        return children;
    }
    bool Expanded(TExplorerNodeRef node) override { return tree_.Expanded(AsNode(node)); }
    void SetExpanded(TExplorerNodeRef node, bool expanded) override {
        tree_.SetExpanded(AsNode(node), expanded);
    }
    void EnumerateRootChildren() override { tree_.EnumerateNodeChildren(tree_.RootNode()); }
    void InitializeExistingNodes() override {
        for (PVirtualNode node = tree_.GetFirstNoInit(); node != nullptr; node = tree_.GetNextNoInit(node))
            tree_.ValidateNode(node, false);
    }
    TExplorerNodeRef FindNode(const TItemIDList& pidl) override {
        return tree_.FindNodeByPIDL(pidl, false, true, false, true);
    }
    std::vector<TExplorerNodeRef> SelectedNodes() override {
        std::vector<TExplorerNodeRef> nodes;
        for (PVirtualNode node : tree_.GetSortedSelection(false))
            nodes.push_back(node);
        return nodes;
    }
    void ClearSelection() override { tree_.ClearSelection(); }
    void Select(TExplorerNodeRef node) override { tree_.SetSelected(AsNode(node), true); }
    TExplorerNodeRef FocusedNode() override { return tree_.FocusedNode(); }
    void SetFocusedNode(TExplorerNodeRef node) override { tree_.SetFocusedNode(AsNode(node)); }
    TExplorerNodeRef TopNode() override { return tree_.TopNode(); }
    void SetTopNode(TExplorerNodeRef node) override { tree_.SetTopNode(AsNode(node)); }
    void BeginUpdate() override { tree_.BeginUpdate(); }
    void EndUpdate() override { tree_.EndUpdate(); }
    std::optional<TItemIDList> CustomRoot() override { return tree_.RootFolderCustomPIDL(); }
    WideString CustomPath() override { return tree_.RootFolderCustomPath(); }
    std::uint8_t RootFolder() override { return static_cast<std::uint8_t>(tree_.RootFolder()); }
    void Reroot(const std::optional<TItemIDList>& customRoot, const WideString& customPath,
                std::uint8_t rootFolder) override {
        tree_.Reroot(customRoot, customPath, rootFolder);
    }

private:
    TCustomVirtualExplorerTree& tree_;
};

// ---- finding

PVirtualNode TCustomVirtualExplorerTree::FindNodeByPIDL(const TItemIDList& pidl, bool selectNode,
                                                        bool walkPath, bool reinitChildren, bool expandPath) {
    using TLoad = TExplorerTreeWalk::TLoad;
    const TLoad load = !walkPath
                           ? TLoad::Nothing
                           : (reinitChildren ? TLoad::Reinit : (expandPath ? TLoad::Expand : TLoad::Nothing));
    TExplorerTreeWalk walk(*this, load);
    const PVirtualNode node = AsNode(FindNodeOfPIDL(walk, pidl));
    if (selectNode && node != nullptr && node != RootNode()) {
        ClearSelection();
        SetSelected(node, true);
        SetTopNode(node);
        SetFocusedNode(node);
    }
    return node;
}

PVirtualNode TCustomVirtualExplorerTree::FindLoadedNode(const TItemIDList& pidl) {
    TExplorerTreeWalk walk(*this, TExplorerTreeWalk::TLoad::Nothing);
    return AsNode(FindNodeOfPIDL(walk, pidl));
}

// ---- browsing

bool TCustomVirtualExplorerTree::BrowseToPath(const WideString& path, bool expandTarget, bool selectTarget,
                                              bool setFocus, bool collapseAllFirst) {
    const TExplorerItemPtr item = shell_.ItemFromPath(path);
    if (item == nullptr)
        return false;
    return BrowseToPIDL(item->AbsolutePIDL(), expandTarget, selectTarget, setFocus, collapseAllFirst, true);
}

bool TCustomVirtualExplorerTree::BrowseToPIDL(const TItemIDList& pidl, bool expandTarget, bool selectTarget,
                                              bool setFocus, bool collapseAllFirst, bool expandPath) {
    (void)setFocus; // taking the keyboard focus is the window's
    if (!CanBrowseToPIDL(pidl))
        return false;
    browsing_ = true;
    ScopeExit browsingEnds([this] { browsing_ = false; });
    PVirtualNode node = nullptr;
    BeginUpdate();
    {
        ScopeExit end([this] { EndUpdate(); });
        node = FindNodeByPIDL(pidl, false, true, false, expandPath);
        if (node != nullptr && node != RootNode()) {
            if (collapseAllFirst)
                FullCollapse();
            SetExpanded(node, expandTarget);
            if (selectTarget) {
                ClearSelection();
                SetFocusedNode(nullptr);
                SetSelected(node, true);
                SetFocusedNode(node);
            }
        }
    }
    if (node != nullptr && node != RootNode())
        ScrollIntoView(node, false, MiscOptions.Has(TVETMiscOption::toAutoScrollHorz));
    return node != nullptr;
}

// ---- refreshing

void TCustomVirtualExplorerTree::RefreshTree(bool restoreTopNode) {
    SetWaitCursor(true);
    ScopeExit cursor([this] { SetWaitCursor(false); });
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    TExplorerStateTree tree(*this);
    StoreTreeState(state_, tree, true, true);
    RestoreTreeState(state_, tree, true, restoreTopNode, true);
}

void TCustomVirtualExplorerTree::ReenumerateNode(PVirtualNode node) {
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr)
        return;
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    TExplorerStateTree tree(*this);
    StoreLeaves(state_, tree, node, true);
    if (node->ChildCount > 0)
        DeleteChildren(node, true);
    item->Invalidate(true);
    if (node != RootNode())
        SetHasChildren(node, ItemHasChildren(*item, node->Parent));
    else
        EnumerateNodeChildren(node);
    RestoreLeaves(state_, tree, true);
    if (node != RootNode())
        InvalidateNode(node);
}

void TCustomVirtualExplorerTree::DeleteChildForRefresh(PVirtualNode child) {
    IExplorerItem* item = NodeItem(child);
    if (item != nullptr && TreeOptions().MiscOptions().Has(TVTMiscOption::toCheckSupport))
        state_.Storage.RemoveStorageFlags(item->AbsolutePIDL(), kStoreCheck, false, false);
    DoNamespaceStructureChange(child, item, TNamespaceStructureChange::nscDelete);
    DeleteNode(child);
}

bool TCustomVirtualExplorerTree::SameChildren(PVirtualNode node, const std::vector<TItemIDList>& listed) {
    if (listed.size() != node->ChildCount)
        return false;
    // By their bytes, in a hash set: one pass over each side, whatever order the shell lists in.
    const auto bytesOf = [](const TItemIDList& list) {
        return std::string_view(reinterpret_cast<const char*>(list.Data()), list.Bytes().size());
    };
    std::unordered_set<std::string_view> now;
    now.reserve(listed.size());
    for (const TItemIDList& child : listed) {
        if (!now.insert(bytesOf(child)).second)
            return false; // listed twice: let the merge sort it out
    }
    for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling) {
        IExplorerItem* item = NodeItem(child);
        if (item == nullptr || now.erase(bytesOf(item->RelativePIDL())) == 0)
            return false;
    }
    return now.empty();
}

void TCustomVirtualExplorerTree::RefreshNodeChildren(PVirtualNode node) {
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr)
        return;
    // A folder whose children were never read has nothing to merge: its next expansion reads it fresh.
    if (node != RootNode() && node->ChildCount == 0) {
        item->Invalidate(true);
        SetHasChildren(node, ItemHasChildren(*item, node->Parent));
        return;
    }
    item->Invalidate(true);
    // The common case, an unchanged folder, is settled by the folder's watch where it has one, else on the
    // children's records alone: making a shell item for each of thousands of children costs several times
    // the listing itself.
    if (ChildrenStillListed(node))
        return;
    // Begun before the listing: whatever changes while the folder is read shows in the watch.
    TListingWatchPtr watch = item->WatchListing();
    const std::uint32_t flags = EnumerationFlags(fileObjects_);
    const TFolderIDs ids = item->EnumerateIDs(flags);
    if (ids.Outcome != TEnumerationOutcome::Failed && SameChildren(node, ids.Children)) {
        KeepListingWatch(node, std::move(watch));
        return; // nothing came or went, and no item changed its identifier list
    }
    TFolderEnumeration listing = item->Enumerate(flags);
    if (listing.Outcome == TEnumerationOutcome::Failed) {
        ReenumerateNode(node);
        return;
    }
    TExplorerRefreshFolder folder(*this, node, *item);
    std::vector<TRefreshItem> fresh = folder.TakeListing(std::move(listing.Children));
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    const TRefreshResult result = MergeChildren(folder, std::move(fresh));
    // The merge keeps the folder's own order; a tree sorted by another column sorts the newcomers in.
    const bool folderOrder = SortColumn <= 0 && SortDirection == TSortDirection::sdAscending;
    if (result.Added > 0 && !folderOrder && !result.ShellOrderFailed)
        Sort(node, SortColumn, SortDirection, false);
    KeepListingWatch(node, std::move(watch));
}

void TCustomVirtualExplorerTree::KeepListingWatch(PVirtualNode node, TListingWatchPtr watch) {
    TNodeData* data = DataSlot(node);
    if (data == nullptr)
        return;
    if (node->ChildCount < WatchedListingMinimum)
        watch.reset();
    data->ListingWatch = std::move(watch);
    data->WatchEdits = childEdits_;
}

bool TCustomVirtualExplorerTree::ChildrenStillListed(PVirtualNode node) const {
    const TNodeData* data = DataSlot(node);
    return data != nullptr && data->ListingWatch != nullptr && data->WatchEdits == childEdits_ &&
           data->ListingWatch->Quiet();
}

// ---- named views

void TCustomVirtualExplorerTree::StoreView(const WideString& viewName) {
    TExplorerStateTree tree(*this);
    tarvola::StoreView(views_, viewName, tree);
}

void TCustomVirtualExplorerTree::ShowView(const WideString& viewName) {
    SetWaitCursor(true);
    ScopeExit cursor([this] { SetWaitCursor(false); });
    TExplorerStateTree tree(*this);
    tarvola::ShowView(views_, viewName, tree);
}

} // namespace tarvola
