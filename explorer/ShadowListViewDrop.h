// OLE drag and drop of the explorer list's native owner-data list: its drop target, which finds the item
// under the pointer and hands the drag to the core (VirtualExplorerListviewExDrop.cpp), scrolling the list
// while the pointer hovers near an edge; and a drag of the selected items out of the list, started from the
// list's begin-drag notifications. Windows only.
#pragma once

#include "explorer/VirtualExplorerListviewExPorts.h"
#include "tree/ComObject.h"

#include <windows.h>

#include <ole2.h>

#include <optional>

struct IDropTargetHelper;

namespace tarvola {

class TBaseVirtualTree;

// The platform's drag loop, replaceable for tests.
using TListDragLoop = HRESULT(WINAPI*)(IDataObject*, IDropSource*, DWORD, DWORD*);

// Timers of the list window while a drag hovers over it: the wait before auto-scrolling, then its steps.
constexpr UINT_PTR kListScrollDelayTimer = 100;
constexpr UINT_PTR kListScrollTimer = 101;

class TShadowListDropTarget final : public TComObject<IDropTarget> {
public:
    // Starts with one reference, the caller's.
    TShadowListDropTarget(IExplorerListviewCore& core, HWND list);

    // The list goes: every later call refuses the drag.
    void Detach();
    // WM_TIMER of one of the two timers above (the list window's own timers).
    void TimerFired(UINT_PTR id);

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

private:
    ~TShadowListDropTarget() override;
    // The item under a screen point; -1 for the background.
    int ItemAt(POINTL pt) const;
    void StopTimers();
    // The shell's drag-image object (nullptr where it cannot be made); its failures are ignored.
    IDropTargetHelper* ImageHelper();

    IExplorerListviewCore* core_;
    HWND list_;
    IDropTargetHelper* helper_ = nullptr;
    bool helperTried_ = false;
};

// Drags the tree's selected items (the native list's selection, copied in) out of the list through the
// platform's loop (loop: nullptr for the platform's own), with a picture of the selected items under the
// pointer. The effect of the drop, or nullopt when the items offer no data object.
std::optional<DWORD> RunShadowListDrag(HWND list, TBaseVirtualTree& tree, bool right, TListDragLoop loop);

} // namespace tarvola
