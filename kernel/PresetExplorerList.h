// The preset browser's list (IPresetList) over the explorer list in list style: the list shows one folder
// and browses by re-rooting itself, so the folder it shows is its root. It never browses above the folder
// it was rooted at (its browse limit). Names and paths cross here between the designer's code-page text and
// the list's UTF-16.
//
//   TPresetExplorerList presets(*ShlVw_Presets, IsDirectory);
//   presets.OnBrowsed = [&] { browser.ListBrowsed(); };   // Enter, Backspace, double-click in the list
//
// Whether a selected item is a folder is asked of the disk (its attributes), not of its name or of the
// shell, which takes an archive for a folder too.
#pragma once

#include "forms/Events.h"
#include "kernel/PresetBrowserController.h"

#include <functional>
#include <string>

namespace tarvola {

class TVirtualExplorerListviewEx;

class TPresetExplorerList final : public IPresetList {
public:
    using TFolderTest = std::function<bool(const std::string& path)>;

    // The list must outlive this object; its OnRootChange becomes this object's.
    TPresetExplorerList(TVirtualExplorerListviewEx& list, TFolderTest isFolder);
    ~TPresetExplorerList() override;
    TPresetExplorerList(const TPresetExplorerList&) = delete;
    TPresetExplorerList& operator=(const TPresetExplorerList&) = delete;

    // The list moved to another folder by itself (not through the calls below).
    std::function<void()> OnBrowsed;

    void SetRootFolder(const std::string& folder) override;
    std::optional<TPresetListItem> SelectedItem() const override;
    void BrowseToPath(const std::string& folder) override;
    std::string ShownFolder() const override;
    void RefreshTree() override;
    void RebuildTree() override;

private:
    void RootChanged(TObject& sender);

    TVirtualExplorerListviewEx& list_;
    TFolderTest isFolder_;
    // Set while a call of ours moves the list: the browser follows it itself afterwards.
    bool moving_ = false;
};

} // namespace tarvola
