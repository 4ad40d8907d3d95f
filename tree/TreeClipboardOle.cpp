// A tree's clipboard operations through the OLE clipboard, the rendering of its own format, and the
// insertion of the nodes a data object carries.
#include "tree/ClipboardFormatsWin32.h"
#include "tree/DataObject.h"
#include "tree/DataObjectRules.h"
#include "tree/TreeClipboard.h"
#include "tree/TreeGuards.h"
#include "tree/VirtualTrees.h"

#include <windows.h>

#include <ole2.h>

#include <span>
#include <vector>

namespace tarvola {

namespace {

// Takes a tree's object off the clipboard while it is still there.
void ReleaseIfOnClipboard(void* object) {
    IDataObject* dataObject = static_cast<IDataObject*>(object);
    if (OleIsCurrentClipboard(dataObject) == S_OK)
        OleSetClipboard(nullptr);
}

// Releases a medium at the end of a scope.
struct MediumGuard {
    STGMEDIUM& medium;
    ~MediumGuard() { ReleaseStgMedium(&medium); }
};

// The locked bytes of a memory block for the length of a scope.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL block) : block_(block), memory_(GlobalLock(block)) {}
    ~LockedBlock() {
        if (memory_ != nullptr)
            GlobalUnlock(block_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    std::span<const std::uint8_t> Bytes() const {
        if (memory_ == nullptr)
            return {};
        return {static_cast<const std::uint8_t*>(memory_), GlobalSize(block_)};
    }

private:
    HGLOBAL block_;
    void* memory_;
};

std::vector<std::uint8_t> ReadWholeStream(IStream& stream) {
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    for (;;) {
        ULONG read = 0;
        const HRESULT result = stream.Read(buffer, sizeof buffer, &read);
        if (FAILED(result))
            throw EVirtualTreeError(2006, "Invalid or unknown chunk in stream.");
        bytes.insert(bytes.end(), buffer, buffer + read);
        if (read == 0)
            return bytes;
    }
}

FORMATETC TreeDataRequest() {
    FORMATETC format{};
    format.cfFormat = TreeFormatIds().Data;
    format.dwAspect = DVASPECT_CONTENT;
    format.lindex = -1;
    format.tymed = TYMED_ISTREAM | TYMED_HGLOBAL;
    return format;
}

} // namespace

IDataObject* TTreeClipboard::CreateDataObject(bool forClipboard) {
    IDataObject* dataObject = nullptr;
    if (OnCreateDataObject)
        OnCreateDataObject(tree_, dataObject);
    if (dataObject == nullptr)
        dataObject = new TVTDataObject(link_, forClipboard);
    return dataObject;
}

bool TTreeClipboard::PutOnClipboard(bool cut) {
    if (tree_.SelectedCount() == 0 || (cut && tree_.Options.ReadOnly))
        return false;
    IDataObject* dataObject = CreateDataObject(true);
    // Putting it there releases the previous object, which cancels its tree's cut or copy.
    const HRESULT result = OleSetClipboard(dataObject);
    if (SUCCEEDED(result)) {
        link_->ClipboardObject = dataObject;
        link_->ReleaseClipboardObject = ReleaseIfOnClipboard;
        EnterCutOrCopy(cut);
    }
    dataObject->Release();
    return SUCCEEDED(result);
}

bool TTreeClipboard::CopyToClipboard() {
    return PutOnClipboard(false);
}

bool TTreeClipboard::CutToClipboard() {
    return PutOnClipboard(true);
}

bool TTreeClipboard::PasteFromClipboard() {
    if (tree_.Options.ReadOnly)
        return false;
    IDataObject* dataObject = nullptr;
    if (FAILED(OleGetClipboard(&dataObject)) || dataObject == nullptr)
        throw EVirtualTreeError(2007, "Clipboard operation failed.");
    struct Release {
        IDataObject* object;
        ~Release() { object->Release(); }
    } release{dataObject};
    TBaseVirtualTree* source = GetTreeFromDataObject(dataObject);
    const bool optimized = source != nullptr && source->InState(TreeState::tsCutPending);
    const bool result = ProcessOLEData(source, dataObject, tree_.FocusedNode(), DefaultPasteMode, optimized);
    if (source != nullptr && source != &tree_)
        source->Clipboard().FinishCutOrCopy();
    else if (source == &tree_)
        LeaveCutPending();
    return result;
}

TBaseVirtualTree* TTreeClipboard::GetTreeFromDataObject(IDataObject* dataObject) {
    if (dataObject == nullptr)
        return nullptr;
    FORMATETC request{};
    request.cfFormat = TreeFormatIds().Reference;
    request.dwAspect = DVASPECT_CONTENT;
    request.lindex = -1;
    request.tymed = TYMED_HGLOBAL | TYMED_ISTREAM;
    STGMEDIUM medium{};
    if (FAILED(dataObject->GetData(&request, &medium)))
        return nullptr;
    MediumGuard guard{medium};
    if (medium.tymed != TYMED_HGLOBAL)
        return nullptr;
    const LockedBlock block(medium.hGlobal);
    const auto reference = DecodeTreeReference(block.Bytes());
    if (!reference || reference->ProcessId != GetCurrentProcessId())
        return nullptr;
    // Only a tree that still lives, whatever the block says.
    return LiveTreeByKey(reference->TreeKey);
}

bool TTreeClipboard::ProcessOLEData(TBaseVirtualTree* source, IDataObject* dataObject, PVirtualNode target,
                                    TVTNodeAttachMode mode, bool optimized) {
    if (dataObject == nullptr || tree_.Options.ReadOnly)
        return false;
    FORMATETC request = TreeDataRequest();
    if (dataObject->QueryGetData(&request) != S_OK)
        return false;
    if (optimized && source != nullptr)
        return MoveNodesFrom(*source, target, mode);
    STGMEDIUM medium{};
    if (FAILED(dataObject->GetData(&request, &medium)))
        return false;
    MediumGuard guard{medium};
    if (medium.tymed == TYMED_ISTREAM && medium.pstm != nullptr)
        return InsertNodeChunks(source, ReadWholeStream(*medium.pstm), target, mode);
    if (medium.tymed == TYMED_HGLOBAL) {
        const LockedBlock block(medium.hGlobal);
        return InsertNodeChunks(source, NodeChunksOfBlock(block.Bytes()), target, mode);
    }
    return false;
}

long TTreeClipboard::RenderOLEData(const tagFORMATETC& formatEtcIn, tagSTGMEDIUM& medium, bool forClipboard) {
    medium = STGMEDIUM{};
    if (formatEtcIn.cfFormat == TreeFormatIds().Data &&
        (formatEtcIn.tymed & (TYMED_ISTREAM | TYMED_HGLOBAL))) {
        const std::vector<std::uint8_t> chunks = RenderNodeChunks(forClipboard);
        if ((formatEtcIn.tymed & TYMED_ISTREAM) != 0) {
            IStream* stream = nullptr;
            HRESULT result = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
            if (FAILED(result))
                return result;
            if (!chunks.empty())
                result = stream->Write(chunks.data(), static_cast<ULONG>(chunks.size()), nullptr);
            if (SUCCEEDED(result))
                result = stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
            if (FAILED(result)) {
                stream->Release();
                return result;
            }
            medium.tymed = TYMED_ISTREAM;
            medium.pstm = stream;
            return S_OK;
        }
        if (chunks.empty())
            return E_FAIL;
        const std::vector<std::uint8_t> block = WrapNodeChunks(chunks);
        medium.hGlobal = GlobalBlockOf(block.data(), block.size());
        if (medium.hGlobal == nullptr)
            return E_OUTOFMEMORY;
        medium.tymed = TYMED_HGLOBAL;
        return S_OK;
    }
    long result = E_FAIL;
    if (OnRenderOLEData)
        OnRenderOLEData(tree_, formatEtcIn, medium, forClipboard, result);
    if (SUCCEEDED(result) || !OnRenderFormat || (formatEtcIn.tymed & TYMED_HGLOBAL) == 0)
        return result;
    std::vector<std::uint8_t> bytes;
    if (!OnRenderFormat(tree_, formatEtcIn.cfFormat, forClipboard, bytes))
        return E_FAIL;
    medium = STGMEDIUM{};
    medium.hGlobal = GlobalBlockOf(bytes.data(), bytes.size());
    if (medium.hGlobal == nullptr)
        return E_OUTOFMEMORY;
    medium.tymed = TYMED_HGLOBAL;
    return S_OK;
}

} // namespace tarvola
