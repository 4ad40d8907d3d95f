// The tree's data object for the clipboard and for drags. It offers the formats its tree allowed when it was
// made, renders them from the tree's state when asked (so edits after a copy show in the paste), keeps
// what others store in it, and answers "Virtual Tree Reference" on request. It holds its tree through the
// tree's link: once the tree is gone, everything that needs the tree answers E_FAIL.
#pragma once

#include "tree/ClipboardFormats.h"
#include "tree/ComObject.h"
#include "tree/TreeClipboard.h"

#include <windows.h>

#include <objidl.h>

#include <memory>
#include <vector>

namespace tarvola {

class TVTDataObject : public TComObject<IDataObject> {
public:
    // Starts with one reference, the caller's; the offered formats come from the tree now.
    TVTDataObject(std::shared_ptr<TTreeLink> owner, bool forClipboard);

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* formatEtcIn, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* formatEtc, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* formatEtc) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* formatEtcIn, FORMATETC* formatEtcOut) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* formatEtc, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumFormatEtc) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* formatEtc, DWORD advf, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** enumAdvise) override;

    bool ForClipboard() const { return forClipboard_; }
    // The tree, or null once it is gone.
    TBaseVirtualTree* Owner() const { return owner_->Tree; }

protected:
    ~TVTDataObject() override;
    const TFormatEtcArray& OfferedFormats() const { return offered_; }

private:
    struct TStoredMedium {
        CLIPFORMAT Format;
        STGMEDIUM Medium;
    };
    // Copies a medium as a counted reference (the receiver's release comes back to this object), or as a
    // private copy of its content.
    HRESULT CopyMedium(const STGMEDIUM& source, STGMEDIUM& target, bool privateCopy);
    HRESULT RenderReference(STGMEDIUM& medium) const;

    std::shared_ptr<TTreeLink> owner_;
    bool forClipboard_;
    TFormatEtcArray offered_;
    std::vector<TStoredMedium> stored_;
    IDataAdviseHolder* adviseHolder_ = nullptr;
};

// A moveable, zero-filled, shareable memory block holding bytes; null when it cannot be had.
HGLOBAL GlobalBlockOf(const void* bytes, std::size_t size);

} // namespace tarvola
