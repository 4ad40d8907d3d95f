// The explorer flavours meant to work as partners: TVirtualExplorerViews is their common parent, and
// TVirtualExplorerTreeview a folder tree that a file list follows (and that follows the list back when
// both name each other). The list flavour derives from TVirtualExplorerViews too.
#pragma once

#include "explorer/VirtualExplorerTree.h"

namespace tarvola {

class TVirtualExplorerViews : public TCustomVirtualExplorerTree {
public:
    using TCustomVirtualExplorerTree::TCustomVirtualExplorerTree;
};

class TVirtualExplorerTreeview : public TVirtualExplorerViews {
public:
    explicit TVirtualExplorerTreeview(IExplorerNamespace& shell, ITreeViewHost* host = nullptr);
    ~TVirtualExplorerTreeview() override;

    // A folder tree: folders (hidden ones too) only, expandable, with buttons and threaded icons.
    void SetDefaultOptions() override;

    // The file list this folder tree follows (not owned; a list flavour); nullptr when none, and again
    // when it goes away.
    TCustomVirtualExplorerTree* VirtualExplorerListview() const { return listview_; }
    void SetVirtualExplorerListview(TCustomVirtualExplorerTree* listview);
    void ChangeLinkFreeProc(IVETChangeLink& link) override;

private:
    TCustomVirtualExplorerTree* listview_ = nullptr;
};

} // namespace tarvola
