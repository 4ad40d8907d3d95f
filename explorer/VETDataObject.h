// The explorer tree's data object for drags out of the tree: the tree's own formats first, and everything
// the tree's object does not answer goes to the shell's data object of the dragged items, so that the shell
// and other programs take the drag as one of files. Windows only.
#pragma once

#include "tree/DataObject.h"

namespace tarvola {

class TVETDataObject final : public TVTDataObject {
public:
    // Starts with one reference, the caller's; keeps one of shellData (may be nullptr) for its lifetime,
    // since the clipboard or a drop target may hold this object longer than the tree lives.
    TVETDataObject(std::shared_ptr<TTreeLink> owner, bool forClipboard, IDataObject* shellData);

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* formatEtcIn, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* formatEtc, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* formatEtcIn, FORMATETC* formatEtcOut) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* formatEtc, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* formatEtc, DWORD advf, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** enumAdvise) override;

    IDataObject* ShellData() const { return shellData_; }

private:
    ~TVETDataObject() override;

    IDataObject* shellData_;
};

// The formats a data object offers for reading, in its order (none for nullptr).
TFormatEtcArray EnumeratedFormats(IDataObject* data);

} // namespace tarvola
