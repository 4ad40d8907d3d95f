// The tree's OLE drag source and drop target.
#include "tree/DragManager.h"

#include "tree/DataObject.h"
#include "tree/TreeGuards.h"
#include "tree/VirtualTrees.h"

#include <vector>

namespace tarvola {

TVTDragManager::TVTDragManager(std::shared_ptr<TTreeLink> owner, TTreeDropTarget& dropTarget, HWND window)
    : owner_(std::move(owner)), dropTarget_(dropTarget), window_(window) {}

TVTDragManager::~TVTDragManager() {
    ForgetIncoming();
}

HRESULT STDMETHODCALLTYPE TVTDragManager::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    switch (tarvola::QueryContinueDrag(escapePressed != FALSE, keyState)) {
    case TDragContinuation::Cancel:
        return DRAGDROP_S_CANCEL;
    case TDragContinuation::Drop:
        return DRAGDROP_S_DROP;
    case TDragContinuation::Continue:
        break;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TVTDragManager::GiveFeedback(DWORD) {
    if (OnFeedback) {
        try {
            OnFeedback();
        } catch (...) {
            // The drag goes on without its image moving; the platform's call cannot take the error.
        }
    }
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

TDropPoint TVTDragManager::ToClient(POINTL pt) const {
    POINT point{pt.x, pt.y};
    if (window_ != nullptr)
        ScreenToClient(window_, &point);
    return TDropPoint{point.x, point.y};
}

void TVTDragManager::ForgetIncoming() {
    if (incoming_ != nullptr)
        incoming_->Release();
    incoming_ = nullptr;
    sourceTree_ = nullptr;
    isDropTarget_ = false;
}

HRESULT STDMETHODCALLTYPE TVTDragManager::DragEnter(IDataObject* dataObject, DWORD keyState, POINTL pt,
                                                    DWORD* effect) {
    if (effect == nullptr)
        return E_INVALIDARG;
    if (owner_->Tree == nullptr) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
    ForgetIncoming();
    incoming_ = dataObject;
    if (incoming_ != nullptr)
        incoming_->AddRef();
    isDropTarget_ = true;
    sourceTree_ = TTreeClipboard::GetTreeFromDataObject(dataObject);
    std::uint32_t value = *effect;
    const HRESULT result = dropTarget_.DragEnter(sourceTree_, keyState, ToClient(pt), value);
    *effect = value;
    return result;
}

HRESULT STDMETHODCALLTYPE TVTDragManager::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
    if (effect == nullptr)
        return E_INVALIDARG;
    if (owner_->Tree == nullptr) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
    std::uint32_t value = *effect;
    const HRESULT result =
        dropTarget_.DragOver(sourceTree_, keyState, TDragState::dsDragMove, ToClient(pt), value);
    *effect = value;
    return result;
}

HRESULT STDMETHODCALLTYPE TVTDragManager::DragLeave() {
    if (owner_->Tree != nullptr)
        dropTarget_.DragLeave();
    ForgetIncoming();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TVTDragManager::Drop(IDataObject* dataObject, DWORD keyState, POINTL pt,
                                               DWORD* effect) {
    if (effect == nullptr)
        return E_INVALIDARG;
    HRESULT result = E_UNEXPECTED;
    if (owner_->Tree != nullptr) {
        std::vector<std::uint16_t> formats;
        IEnumFORMATETC* enumerator = nullptr;
        if (dataObject != nullptr && SUCCEEDED(dataObject->EnumFormatEtc(DATADIR_GET, &enumerator)) &&
            enumerator != nullptr) {
            enumerator->Reset();
            FORMATETC format{};
            while (enumerator->Next(1, &format, nullptr) == S_OK) {
                formats.push_back(format.cfFormat);
                if (format.ptd != nullptr)
                    CoTaskMemFree(format.ptd);
            }
            enumerator->Release();
        }
        std::uint32_t value = *effect;
        result = dropTarget_.DragDrop(sourceTree_, dataObject, formats, keyState, ToClient(pt), value);
        *effect = value;
    }
    ForgetIncoming();
    return result;
}

IDataObject* TVTDragManager::CurrentDataObject() {
    if (incoming_ != nullptr) {
        incoming_->AddRef();
        return incoming_;
    }
    if (owner_->Tree == nullptr)
        return nullptr;
    return owner_->Tree->Clipboard().CreateDataObject(false);
}

DWORD StartOleDrag(TBaseVirtualTree& tree, TVTDragManager& manager, const TOleDragOptions& options) {
    PVirtualNode focused = tree.FocusedNode();
    if (focused != nullptr && !tree.Selected(focused)) {
        tree.AddToSelection(focused);
        tree.InvalidateNode(focused);
    }
    TTreeClipboard& clipboard = tree.Clipboard();
    clipboard.BeginOleDrag();
    DWORD effect = DROPEFFECT_NONE;
    HRESULT result = E_FAIL;
    try {
        IDataObject* dataObject = manager.CurrentDataObject();
        if (dataObject != nullptr) {
            if (options.BeforeLoop)
                options.BeforeLoop(dataObject);
            result =
                options.DoDragDrop(dataObject, &manager, AllowedDropEffects(options.DragOperations), &effect);
            dataObject->Release();
        }
    } catch (...) {
        clipboard.EndOleDrag(DROPEFFECT_NONE, false);
        throw;
    }
    if (result != DRAGDROP_S_DROP)
        effect = DROPEFFECT_NONE;
    clipboard.EndOleDrag(effect, options.AutoDeleteMovedNodes);
    return effect;
}

} // namespace tarvola
