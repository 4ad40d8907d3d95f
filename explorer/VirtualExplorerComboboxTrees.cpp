#include "explorer/VirtualExplorerComboboxTrees.h"

#include "explorer/VirtualExplorerTree.h"
#include "tree/StringTree.h"

namespace tarvola {

namespace {

constexpr int CsidlDrives = 0x0011; // My Computer
constexpr std::uint32_t PopupRowHeight = 17;

// An explorer tree used as a pick list: it lists the desktop's children and the drives, the folders on the
// way to the item it opens on, and (enhanced) every other folder.
class TPopupExplorerTree final : public TVirtualExplorerTree {
public:
    TPopupExplorerTree(IExplorerNamespace& shell, ITreeViewHost* host) : TVirtualExplorerTree(shell, host) {
        SetPopupDefaults();
    }

    void SetPopupDefaults() {
        TreeOptions().SetAutoOptions({TVTAutoOption::toAutoScroll, TVTAutoOption::toAutoScrollOnExpand});
        TreeOptions().SetMiscOptions({});
        TreeOptions().SetSelectionOptions(
            {TVTSelectionOption::toDisableDrawSelection, TVTSelectionOption::toFullRowSelect});
        ApplyStylePaintOptions();
        SetFolderOptions({TVETFolderOption::toFoldersExpandable, TVETFolderOption::toNoUseVETColorsProp});
        SetImageOptions({TVETImageOption::toImages});
        ShellOptions = {};
        MiscOptions = {TVETMiscOption::toBrowseExecuteFolder, TVETMiscOption::toBrowseExecuteZipFolder};
        SyncOptions = {TVETSyncOption::toCollapseTargetFirst, TVETSyncOption::toSelectTarget};
        SetFileObjects({TFileObject::foFolders, TFileObject::foHidden});
        SetDefaultNodeHeight(PopupRowHeight);
        Indent = 10;
        SetWaitCursorSuppressed(true);
    }

    void SetTarget(const std::optional<TItemIDList>& target) { target_ = target; }
    const std::optional<TItemIDList>& Target() const { return target_; }
    TPopupComboBoxStyle Style() const { return style_; }
    void SetStyle(TPopupComboBoxStyle style) {
        style_ = style;
        ApplyStylePaintOptions();
    }

    bool BrowseToPIDL(const TItemIDList& pidl, bool expandTarget, bool selectTarget, bool setFocus,
                      bool collapseAllFirst, bool expandPath) override {
        (void)setFocus;
        (void)collapseAllFirst;
        BeginUpdate();
        bool found = false;
        try {
            if (!Active())
                SetActive(true);
            // The listing depends on the target: the top folder is read again for it.
            if (PVirtualNode top = GetFirstChild(RootNode()); top != nullptr)
                ResetNode(top);
            found = TVirtualExplorerTree::BrowseToPIDL(pidl, expandTarget, selectTarget, false, false, true);
            SetFocusedNode(nullptr);
            if (TExplorerItemPtr drives = Shell().SpecialFolder(CsidlDrives))
                if (PVirtualNode node =
                        FindNodeByPIDL(drives->AbsolutePIDL(), false, true, false, expandPath))
                    SetExpanded(node, true);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        if (PVirtualNode node = FindLoadedNode(pidl); node != nullptr && node != RootNode())
            ScrollIntoView(node, false);
        return found;
    }

protected:
    void DoEnumFolder(IExplorerItem& item, bool& allowAsChild) override {
        TVirtualExplorerTree::DoEnumFolder(item, allowAsChild);
        if (!allowAsChild)
            return;
        const TItemIDList& pidl = item.AbsolutePIDL();
        if (pidl.Count() < 3)
            return;
        if (LeadsToTarget(pidl))
            return;
        allowAsChild = style_ == TPopupComboBoxStyle::cbsVETEnhanced;
    }

private:
    // Whether the folder is the target or a folder on the way to it. The target's level of the same depth
    // is compared through the shell, never by bytes: a folder's ID may carry its write time, and the
    // target's was taken before anything changed inside it.
    bool LeadsToTarget(const TItemIDList& pidl) const {
        if (!target_ || target_->Count() < pidl.Count())
            return false;
        TItemIDList level = *target_;
        while (level.Count() > pidl.Count())
            level = level.Parent();
        return Shell().SameItem(level, pidl);
    }

    void ApplyStylePaintOptions() {
        TVTPaintOptions paint{TVTPaintOption::toHideFocusRect, TVTPaintOption::toPopupMode,
                              TVTPaintOption::toShowBackground, TVTPaintOption::toUseBlendedImages};
        if (style_ == TPopupComboBoxStyle::cbsVETEnhanced)
            paint = paint.With(TVTPaintOption::toShowButtons).With(TVTPaintOption::toShowTreeLines);
        TreeOptions().SetPaintOptions(paint);
    }

    std::optional<TItemIDList> target_;
    TPopupComboBoxStyle style_ = TPopupComboBoxStyle::cbsClassic;
};

// The auto-complete list: one flat row per completion the filter found.
class TPopupAutoCompleteTree final : public TVirtualStringTree {
public:
    explicit TPopupAutoCompleteTree(ITreeViewHost* host) : TVirtualStringTree(host) {
        TreeOptions().SetAutoOptions({TVTAutoOption::toAutoScroll, TVTAutoOption::toAutoScrollOnExpand});
        TreeOptions().SetMiscOptions({});
        TreeOptions().SetSelectionOptions(
            {TVTSelectionOption::toDisableDrawSelection, TVTSelectionOption::toFullRowSelect});
        TreeOptions().SetPaintOptions({TVTPaintOption::toHideFocusRect, TVTPaintOption::toPopupMode,
                                       TVTPaintOption::toShowBackground, TVTPaintOption::toUseBlendedImages});
        SetDefaultNodeHeight(PopupRowHeight);
        Indent = 0;
    }

    void Show(const std::vector<WideString>* entries, const std::vector<std::size_t>* matches) {
        entries_ = entries;
        matches_ = matches;
        BeginUpdate();
        try {
            Clear();
            SetRootNodeCount(matches == nullptr ? 0 : static_cast<std::uint32_t>(matches->size()));
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }

    WideString Text(PVirtualNode node) const {
        if (entries_ == nullptr || matches_ == nullptr || node == nullptr || node->Parent != RootNode())
            return {};
        if (node->Index >= matches_->size())
            return {};
        return entries_->at((*matches_)[node->Index]);
    }

protected:
    void DoGetText(PVirtualNode node, TColumnIndex, TVSTTextType, std::wstring& text) override {
        const WideString wide = Text(node);
        text.assign(wide.begin(), wide.end());
    }

private:
    const std::vector<WideString>* entries_ = nullptr;
    const std::vector<std::size_t>* matches_ = nullptr;
};

TPopupExplorerTree& PopupExplorer(TBaseVirtualTree& tree) {
    return dynamic_cast<TPopupExplorerTree&>(tree);
}

} // namespace

std::unique_ptr<TBaseVirtualTree> MakePopupExplorerTree(IExplorerNamespace& shell, ITreeViewHost* host) {
    return std::make_unique<TPopupExplorerTree>(shell, host);
}

void SetPopupExplorerTarget(TBaseVirtualTree& tree, const std::optional<TItemIDList>& target) {
    PopupExplorer(tree).SetTarget(target);
}

void SetPopupExplorerStyle(TBaseVirtualTree& tree, TPopupComboBoxStyle style) {
    PopupExplorer(tree).SetStyle(style);
}

TPopupComboBoxStyle PopupExplorerStyle(TBaseVirtualTree& tree) {
    return PopupExplorer(tree).Style();
}

void PreparePopupExplorer(TBaseVirtualTree& tree, bool expand) {
    TPopupExplorerTree& explorer = PopupExplorer(tree);
    if (!explorer.Active())
        explorer.SetActive(true);
    if (explorer.Target()) {
        explorer.BrowseToPIDL(*explorer.Target(), true, true, false, false, expand);
        if (!expand)
            if (PVirtualNode first = explorer.GetFirst())
                explorer.ScrollIntoView(first, false);
    } else {
        explorer.BrowseToPIDL(TItemIDList(), expand, true, false, false, true);
    }
    explorer.SetFocusedNode(explorer.GetFirstSelected());
}

std::optional<TItemIDList> PopupExplorerSelection(TBaseVirtualTree& tree) {
    TPopupExplorerTree& explorer = PopupExplorer(tree);
    if (IExplorerItem* item = explorer.NodeItem(explorer.GetFirstSelected()))
        return item->AbsolutePIDL();
    return std::nullopt;
}

void DeactivatePopupExplorer(TBaseVirtualTree& tree) {
    PopupExplorer(tree).SetActive(false);
}

std::unique_ptr<TBaseVirtualTree> MakePopupAutoCompleteTree(ITreeViewHost* host) {
    return std::make_unique<TPopupAutoCompleteTree>(host);
}

void ShowCompletions(TBaseVirtualTree& tree, const std::vector<WideString>* entries,
                     const std::vector<std::size_t>* matches) {
    dynamic_cast<TPopupAutoCompleteTree&>(tree).Show(entries, matches);
}

WideString CompletionText(TBaseVirtualTree& tree, PVirtualNode node) {
    return dynamic_cast<TPopupAutoCompleteTree&>(tree).Text(node);
}

} // namespace tarvola
