// The tree's data object.
#include "tree/DataObject.h"

#include "tree/ClipboardFormatsWin32.h"
#include "tree/DataObjectRules.h"
#include "tree/FormatEnumeratorCom.h"
#include "tree/VirtualTrees.h"

#include <cstring>
#include <cwchar>

namespace tarvola {

HGLOBAL GlobalBlockOf(const void* bytes, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, size);
    if (block == nullptr)
        return nullptr;
    if (size > 0) {
        void* memory = GlobalLock(block);
        if (memory == nullptr) {
            GlobalFree(block);
            return nullptr;
        }
        std::memcpy(memory, bytes, size);
        GlobalUnlock(block);
    }
    return block;
}

namespace {

HGLOBAL CopyGlobalBlock(HGLOBAL source) {
    const SIZE_T size = GlobalSize(source);
    const void* memory = GlobalLock(source);
    if (memory == nullptr)
        return nullptr;
    HGLOBAL copy = GlobalBlockOf(memory, size);
    GlobalUnlock(source);
    return copy;
}

} // namespace

TVTDataObject::TVTDataObject(std::shared_ptr<TTreeLink> owner, bool forClipboard)
    : owner_(std::move(owner)), forClipboard_(forClipboard) {
    TreeFormatIds();
    if (owner_->Tree != nullptr)
        offered_ = owner_->Tree->Clipboard().GetNativeClipboardFormats();
}

TVTDataObject::~TVTDataObject() {
    if (owner_->ClipboardObject == static_cast<IDataObject*>(this))
        owner_->ClipboardObject = nullptr;
    if (forClipboard_ && owner_->Tree != nullptr) {
        try {
            owner_->Tree->Clipboard().CancelCutOrCopy();
        } catch (...) {
            // Releasing the clipboard must not fail for a handler's error.
        }
    }
    for (TStoredMedium& stored : stored_)
        ReleaseStgMedium(&stored.Medium);
    if (adviseHolder_ != nullptr)
        adviseHolder_->Release();
}

HRESULT TVTDataObject::RenderReference(STGMEDIUM& medium) const {
    const TBaseVirtualTree* tree = owner_->Tree;
    if (tree == nullptr)
        return E_FAIL;
    const auto block = EncodeTreeReference({GetCurrentProcessId(), tree->Clipboard().ReferenceKey()});
    HGLOBAL memory = GlobalBlockOf(block.data(), block.size());
    if (memory == nullptr)
        return E_OUTOFMEMORY;
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = memory;
    medium.pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TVTDataObject::GetData(FORMATETC* formatEtcIn, STGMEDIUM* medium) {
    if (formatEtcIn == nullptr || medium == nullptr)
        return E_INVALIDARG;
    *medium = STGMEDIUM{};
    try {
        if (formatEtcIn->cfFormat == TreeFormatIds().Reference)
            return RenderReference(*medium);
        const HRESULT query = QueryGetData(formatEtcIn);
        if (query != S_OK)
            return query;
        if (!FindOfferedFormat(offered_, FromFORMATETC(*formatEtcIn)))
            return DV_E_FORMATETC;
        for (const TStoredMedium& stored : stored_)
            if (stored.Format == formatEtcIn->cfFormat && stored.Medium.tymed != TYMED_NULL)
                return CopyMedium(stored.Medium, *medium, false);
        TBaseVirtualTree* tree = owner_->Tree;
        if (tree == nullptr)
            return E_FAIL;
        return tree->Clipboard().RenderOLEData(*formatEtcIn, *medium, forClipboard_);
    } catch (...) {
        ReleaseStgMedium(medium);
        *medium = STGMEDIUM{};
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE TVTDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TVTDataObject::QueryGetData(FORMATETC* formatEtc) {
    if (formatEtc == nullptr)
        return E_INVALIDARG;
    return QueryOfferedFormat(offered_, FromFORMATETC(*formatEtc));
}

HRESULT STDMETHODCALLTYPE TVTDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* formatEtcOut) {
    if (formatEtcOut != nullptr)
        formatEtcOut->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TVTDataObject::CopyMedium(const STGMEDIUM& source, STGMEDIUM& target, bool privateCopy) {
    target = source;
    IUnknown* self = static_cast<IDataObject*>(this);
    switch (source.tymed) {
    case TYMED_HGLOBAL:
        if (privateCopy) {
            target.hGlobal = CopyGlobalBlock(source.hGlobal);
            if (target.hGlobal == nullptr) {
                target = STGMEDIUM{};
                return E_OUTOFMEMORY;
            }
            // The copy is ours alone: released as memory, not through the giver.
            target.pUnkForRelease = nullptr;
        } else {
            target.pUnkForRelease = self;
        }
        break;
    case TYMED_FILE:
        if (privateCopy) {
            const std::size_t bytes = (std::wcslen(source.lpszFileName) + 1) * sizeof(wchar_t);
            target.lpszFileName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
            if (target.lpszFileName == nullptr) {
                target = STGMEDIUM{};
                return E_OUTOFMEMORY;
            }
            std::memcpy(target.lpszFileName, source.lpszFileName, bytes);
            target.pUnkForRelease = nullptr;
        } else {
            target.pUnkForRelease = self;
        }
        break;
    case TYMED_ISTREAM:
        target.pstm->AddRef();
        break;
    case TYMED_ISTORAGE:
        target.pstg->AddRef();
        break;
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
        if (privateCopy) {
            target = STGMEDIUM{};
            return DV_E_TYMED;
        }
        target.pUnkForRelease = self;
        break;
    default:
        target = STGMEDIUM{};
        return DV_E_TYMED;
    }
    if (target.pUnkForRelease != nullptr)
        target.pUnkForRelease->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TVTDataObject::SetData(FORMATETC* formatEtc, STGMEDIUM* medium, BOOL release) {
    if (formatEtc == nullptr || medium == nullptr)
        return E_INVALIDARG;
    // Target devices are not kept.
    if (formatEtc->ptd != nullptr)
        return DV_E_FORMATETC;
    try {
        const TFormatEtc format = FromFORMATETC(*formatEtc);
        TStoredMedium* entry = nullptr;
        if (!FindOfferedFormat(offered_, format))
            offered_.push_back(format);
        for (TStoredMedium& stored : stored_)
            if (stored.Format == format.cfFormat)
                entry = &stored;
        STGMEDIUM kept{};
        if (release) {
            kept = *medium;
        } else {
            const HRESULT copied = CopyMedium(*medium, kept, true);
            if (FAILED(copied))
                return copied;
            // Holding a reference to itself would keep this object alive for good.
            if (kept.pUnkForRelease == static_cast<IDataObject*>(this)) {
                kept.pUnkForRelease->Release();
                kept.pUnkForRelease = nullptr;
            }
        }
        if (entry == nullptr) {
            stored_.push_back({format.cfFormat, STGMEDIUM{}});
            entry = &stored_.back();
        } else {
            ReleaseStgMedium(&entry->Medium);
            entry->Medium = STGMEDIUM{};
        }
        entry->Medium = kept;
        if (adviseHolder_ != nullptr)
            adviseHolder_->SendOnDataChange(this, 0, 0);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE TVTDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumFormatEtc) {
    if (enumFormatEtc == nullptr)
        return E_POINTER;
    *enumFormatEtc = nullptr;
    if (direction != DATADIR_GET)
        return OLE_S_USEREG;
    try {
        *enumFormatEtc = new TEnumFormatEtc(TFormatCursor(offered_));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE TVTDataObject::DAdvise(FORMATETC* formatEtc, DWORD advf, IAdviseSink* sink,
                                                 DWORD* connection) {
    if (adviseHolder_ == nullptr) {
        const HRESULT created = CreateDataAdviseHolder(&adviseHolder_);
        if (FAILED(created))
            return created;
    }
    return adviseHolder_->Advise(this, formatEtc, advf, sink, connection);
}

HRESULT STDMETHODCALLTYPE TVTDataObject::DUnadvise(DWORD connection) {
    if (adviseHolder_ == nullptr)
        return E_NOTIMPL;
    return adviseHolder_->Unadvise(connection);
}

HRESULT STDMETHODCALLTYPE TVTDataObject::EnumDAdvise(IEnumSTATDATA** enumAdvise) {
    if (enumAdvise == nullptr)
        return E_POINTER;
    *enumAdvise = nullptr;
    if (adviseHolder_ == nullptr)
        return OLE_E_ADVISENOTSUPPORTED;
    return adviseHolder_->EnumAdvise(enumAdvise);
}

} // namespace tarvola
