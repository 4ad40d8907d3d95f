// The explorer list: an explorer tree that shows the items of one folder. Browsing re-roots it instead of
// expanding, executing a folder browses into it, Backspace goes up one folder and paste goes into the
// shown folder. With toListviewLimitBrowseToRoot browsing stays below a limit folder: the one the host
// names with SetBrowseLimitPath, else the root the host set last (never the folder the list happened to
// show when its window was made). Portable.
#pragma once

#include "explorer/VirtualExplorerTree.h"
#include "explorer/VirtualExplorerTreeview.h"

namespace tarvola {

class TCustomVirtualExplorerListview : public TCustomVirtualExplorerTree {
public:
    explicit TCustomVirtualExplorerListview(IExplorerNamespace& shell, ITreeViewHost* host = nullptr);
    ~TCustomVirtualExplorerListview() override;

    void SetDefaultOptions() override;

    // The host's roots: they also become the browse limit unless one was named.
    void SetRootFolderCustomPath(const WideString& path);
    void SetRootFolderCustomPIDL(const TItemIDList& pidl);
    // An empty path forgets the named limit.
    void SetBrowseLimitPath(const WideString& path);
    void SetBrowseLimitPIDL(std::optional<TItemIDList> pidl) { namedLimit_ = std::move(pidl); }
    // The limit in force; nullopt: browsing is free.
    std::optional<TItemIDList> BrowseLimit() const;

    bool CanBrowseToPIDL(const TItemIDList& pidl) override;
    // Re-roots at the item's folder (the item itself for a folder); a file is then selected with
    // selectTarget. expandTarget, setFocus and collapseAllFirst have no meaning in a list.
    bool BrowseToPIDL(const TItemIDList& pidl, bool expandTarget, bool selectTarget, bool setFocus,
                      bool collapseAllFirst, bool expandPath) override;
    // Goes up one folder; false at the desktop or at the limit.
    bool BrowseToParent();
    // A folder is browsed into (".zip" folders only with toBrowseExecuteZipFolder; the test is
    // case-sensitive), anything else goes to the tree's execution.
    void DoShellExecute(PVirtualNode node) override;
    // The browsing half of DoShellExecute: true when the node's folder is now shown.
    bool BrowseExecute(PVirtualNode node);
    // Into the shown folder; nothing with toVETReadOnly.
    virtual bool PasteFromClipboard();
    // Only the hidden root is refreshed: the list shows one level.
    void RefreshNodeChildren(PVirtualNode node) override;
    // The number of rebuilds so far: a caller holding a node can tell whether it was freed meanwhile.
    std::uint64_t RebuildCount() const { return rebuildCount_; }

    // The folder tree this list follows (not owned); nullptr when none, and again when it goes away.
    TVirtualExplorerTreeview* VirtualExplorerTreeview() const { return treeview_; }
    void SetVirtualExplorerTreeview(TVirtualExplorerTreeview* treeview);
    // Tells the followers the folder the list shows. Never suspended: a list shows one folder whatever
    // it is doing, and its re-rooting is the change to report.
    void DispatchChangeLink() override;
    void ChangeLinkFreeProc(IVETChangeLink& link) override;

protected:
    // The folder shown (the hidden root's item), not a selected file.
    IExplorerItem* ChangeLinkOwnItem() override;
    bool DoKeyAction(std::uint16_t& charCode, TKeyModifiers& shift) override;
    int DoGetImageIndex(PVirtualNode node, TVTImageKind kind, TColumnIndex column, bool& ghosted,
                        int imageIndex) override;
    void DoRebuildTree() override;
    // The root item's list; nullopt when the root names nothing.
    std::optional<TItemIDList> RootPIDL() const;

private:
    std::optional<TItemIDList> namedLimit_;
    std::optional<TItemIDList> hostRoot_;
    std::uint64_t rebuildCount_ = 0;
    TVirtualExplorerTreeview* treeview_ = nullptr;
};

class TVirtualExplorerListview : public TCustomVirtualExplorerListview {
public:
    using TCustomVirtualExplorerListview::TCustomVirtualExplorerListview;
};

} // namespace tarvola
