// The extended explorer list as a control on a form: TVirtualExplorerListviewEx. It is the explorer tree's
// window (shown in report style) together with a native owner-data list (TShadowListView, shown in the
// icon, small-icon, list and thumbnail styles) that takes the same bounds; only one of them shows at a
// time. The model is the tree core behind both (VirtualExplorerListviewEx.h), reached here through
// IExplorerListviewCore. Windows only.
//
// A host that wants a presets-style list: SetViewStyle(vsxList), the limit option and SetBrowseLimitPath
// with the top folder, then SetRootFolderCustomPath; OnClick, OnDblClick and OnRootChange report the
// user's actions, and the folder and file colours come from TextColors().
#pragma once

#include "explorer/ShadowListView.h"
#include "explorer/VirtualExplorerListviewExPorts.h"
#include "explorer/VirtualExplorerTreeControl.h"

#include <memory>

namespace tarvola {

class TListThumbnailAdapter;
class TListThumbnailOptions;

class TVirtualExplorerListviewEx : public TVirtualExplorerTreeControl {
public:
    explicit TVirtualExplorerListviewEx(TComponent* owner);
    ~TVirtualExplorerListviewEx() override;

    IExplorerListviewCore& Core() const { return core_; }
    TShadowListView& ShadowList() const { return *shadow_; }

    // --- The list's root and browsing
    void SetRootFolderCustomPath(const WideString& path);
    const WideString& RootFolderCustomPath() const { return core_.RootFolderCustomPath(); }
    // With toListviewLimitBrowseToRoot browsing stays at or below this folder.
    void SetBrowseLimitPath(const WideString& path) { core_.SetBrowseLimitPath(path); }
    TVETMiscOptions& MiscOptions() { return core_.ListMiscOptions(); }
    WideString GetSelectedFileName() { return core_.GetSelectedFileName(); }
    WideString GetSelectedPath() { return core_.GetSelectedPath(); }
    bool BrowseToPath(const WideString& path, bool expandTarget, bool selectTarget, bool setFocus,
                      bool collapseAllFirst) {
        return core_.BrowseToPath(path, expandTarget, selectTarget, setFocus, collapseAllFirst);
    }
    void RefreshTree(bool restoreTopNode) { core_.RefreshTree(restoreTopNode); }
    void RebuildTree() { core_.RebuildTree(); }
    // The full path of the folder shown.
    WideString RootPath() { return core_.RootPath(); }
    void SetFileObjects(TFileObjects value) { core_.SetFileObjects(value); }

    // --- Look
    TViewStyleEx ViewStyle() const { return core_.ViewStyle(); }
    void SetViewStyle(TViewStyleEx style);
    TListviewTextColors& TextColors() { return core_.TextColors(); }
    // A host's own source of thumbnails; without one the thumbnail style makes them with the thumbnail
    // thread the first time it is entered.
    void SetThumbnailSource(IListThumbnailSource* source);
    // The thread-fed thumbnails the list made (nullptr before the thumbnail style was first entered).
    TListThumbnailAdapter* OwnThumbnails() const { return ownThumbnails_.get(); }
    // The thumbnail style's options and its cache options; ThumbsOptionsChanged applies a change.
    TListThumbnailOptions& ThumbsOptions() const { return *thumbsOptions_; }
    void ThumbsOptionsChanged();

    // --- Focus and painting go to the window shown.
    bool ListFocused() const;
    void SetFocus();
    void Invalidate() override;
    void Update() override;
    void SetParent(TWinControl* parent) override;

    // The root changed (browsing, Backspace, the host).
    TNotifyEvent OnRootChange;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void BoundsChanged() override;
    void VisibleChanged() override;

private:
    // Shows the window of the style and hides the other.
    void ShowWindowOfStyle();
    // Makes the thread-fed thumbnails unless a host gave a source.
    void EnsureThumbnails();

    IExplorerListviewCore& core_;
    TShadowListView* shadow_ = nullptr;
    bool hostThumbnails_ = false;
    std::unique_ptr<TListThumbnailOptions> thumbsOptions_;
    std::unique_ptr<TListThumbnailAdapter> ownThumbnails_; // after the options it uses
};

} // namespace tarvola
