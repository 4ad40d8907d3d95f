#include "explorer/VETDataObject.h"

#include "tree/ClipboardFormatsWin32.h"

namespace tarvola {

TVETDataObject::TVETDataObject(std::shared_ptr<TTreeLink> owner, bool forClipboard, IDataObject* shellData)
    : TVTDataObject(std::move(owner), forClipboard), shellData_(shellData) {
    if (shellData_ != nullptr)
        shellData_->AddRef();
}

TVETDataObject::~TVETDataObject() {
    if (shellData_ != nullptr)
        shellData_->Release();
}

// Each call asks the tree's object first; what it does not answer with S_OK the shell's object answers.
HRESULT STDMETHODCALLTYPE TVETDataObject::GetData(FORMATETC* formatEtcIn, STGMEDIUM* medium) {
    const HRESULT own = TVTDataObject::GetData(formatEtcIn, medium);
    if (own == S_OK || shellData_ == nullptr)
        return own;
    return shellData_->GetData(formatEtcIn, medium);
}

HRESULT STDMETHODCALLTYPE TVETDataObject::GetDataHere(FORMATETC* formatEtc, STGMEDIUM* medium) {
    const HRESULT own = TVTDataObject::GetDataHere(formatEtc, medium);
    if (own == S_OK || shellData_ == nullptr)
        return own;
    return shellData_->GetDataHere(formatEtc, medium);
}

HRESULT STDMETHODCALLTYPE TVETDataObject::GetCanonicalFormatEtc(FORMATETC* formatEtcIn,
                                                                FORMATETC* formatEtcOut) {
    const HRESULT own = TVTDataObject::GetCanonicalFormatEtc(formatEtcIn, formatEtcOut);
    if (own == S_OK || shellData_ == nullptr)
        return own;
    return shellData_->GetCanonicalFormatEtc(formatEtcIn, formatEtcOut);
}

HRESULT STDMETHODCALLTYPE TVETDataObject::SetData(FORMATETC* formatEtc, STGMEDIUM* medium, BOOL release) {
    const HRESULT own = TVTDataObject::SetData(formatEtc, medium, release);
    if (own == S_OK || shellData_ == nullptr)
        return own;
    return shellData_->SetData(formatEtc, medium, release);
}

HRESULT STDMETHODCALLTYPE TVETDataObject::DAdvise(FORMATETC* formatEtc, DWORD advf, IAdviseSink* sink,
                                                  DWORD* connection) {
    const HRESULT own = TVTDataObject::DAdvise(formatEtc, advf, sink, connection);
    if (own == S_OK || shellData_ == nullptr)
        return own;
    return shellData_->DAdvise(formatEtc, advf, sink, connection);
}

HRESULT STDMETHODCALLTYPE TVETDataObject::DUnadvise(DWORD connection) {
    const HRESULT own = TVTDataObject::DUnadvise(connection);
    if (own == S_OK || shellData_ == nullptr)
        return own;
    return shellData_->DUnadvise(connection);
}

HRESULT STDMETHODCALLTYPE TVETDataObject::EnumDAdvise(IEnumSTATDATA** enumAdvise) {
    const HRESULT own = TVTDataObject::EnumDAdvise(enumAdvise);
    if (own == S_OK || shellData_ == nullptr)
        return own;
    return shellData_->EnumDAdvise(enumAdvise);
}

TFormatEtcArray EnumeratedFormats(IDataObject* data) {
    TFormatEtcArray formats;
    IEnumFORMATETC* enumerator = nullptr;
    if (data == nullptr || FAILED(data->EnumFormatEtc(DATADIR_GET, &enumerator)) || enumerator == nullptr)
        return formats;
    FORMATETC format{};
    while (enumerator->Next(1, &format, nullptr) == S_OK) {
        formats.push_back(FromFORMATETC(format));
        if (format.ptd != nullptr)
            CoTaskMemFree(format.ptd);
    }
    enumerator->Release();
    return formats;
}

} // namespace tarvola
