// The tree's OLE drag source and drop target. The drop side hands the platform's calls to the tree's drop
// target (DropTarget.h) in client coordinates; the source side runs the platform's drag loop for the
// selected nodes. It holds its tree through the tree's link, since the platform may keep it longer.
#pragma once

#include "tree/ComObject.h"
#include "tree/DropRules.h"
#include "tree/DropTarget.h"
#include "tree/TreeClipboard.h"

#include <windows.h>

#include <ole2.h>

#include <functional>
#include <memory>

namespace tarvola {

class TVTDragManager : public TComObject<IDropSource, IDropTarget> {
public:
    // Starts with one reference, the caller's. window converts screen points (null: they are client points).
    TVTDragManager(std::shared_ptr<TTreeLink> owner, TTreeDropTarget& dropTarget, HWND window);

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* dataObject, DWORD keyState, POINTL pt,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* dataObject, DWORD keyState, POINTL pt,
                                   DWORD* effect) override;

    // The incoming drag's data object, or a new one for a drag from the tree; with a reference for the
    // caller.
    IDataObject* CurrentDataObject();
    // Called as the pointer moves during a drag from this manager's tree (the drag image follows it).
    std::function<void()> OnFeedback;
    TBaseVirtualTree* SourceTree() const { return sourceTree_; }
    bool IsDropTarget() const { return isDropTarget_; }
    // The platform's drop-target helper is not used: the one Wine offers draws nothing.
    bool HasDropTargetHelper() const { return false; }

private:
    ~TVTDragManager() override;
    TDropPoint ToClient(POINTL pt) const;
    void ForgetIncoming();

    std::shared_ptr<TTreeLink> owner_;
    TTreeDropTarget& dropTarget_;
    HWND window_;
    IDataObject* incoming_ = nullptr;
    TBaseVirtualTree* sourceTree_ = nullptr;
    bool isDropTarget_ = false;
};

// The platform's drag loop, replaceable for tests.
using TDoDragDropFunction = HRESULT(WINAPI*)(IDataObject*, IDropSource*, DWORD, DWORD*);

struct TOleDragOptions {
    TDragOperations DragOperations = doCopy | doMove;
    bool AutoDeleteMovedNodes = true;
    TDoDragDropFunction DoDragDrop = ::DoDragDrop;
    // Called with the drag's data object just before the loop starts (the drag image is prepared here).
    std::function<void(IDataObject*)> BeforeLoop;
};

// Drags the selected nodes (the focused one joins the selection) through the platform's loop; answers the
// effect of the drop (none when cancelled). After a move the dragged nodes that no drop in this program moved
// are deleted, when the options ask for it.
DWORD StartOleDrag(TBaseVirtualTree& tree, TVTDragManager& manager, const TOleDragOptions& options);

} // namespace tarvola
