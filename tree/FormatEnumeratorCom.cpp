// The platform's format enumerator.
#include "tree/FormatEnumeratorCom.h"

#include "tree/ClipboardFormatsWin32.h"

#include <new>
#include <vector>

namespace tarvola {

HRESULT STDMETHODCALLTYPE TEnumFormatEtc::Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) {
    // Without a place for the count only one format may be asked for.
    if (rgelt == nullptr || (pceltFetched == nullptr && celt != 1))
        return E_INVALIDARG;
    try {
        std::vector<TFormatEtc> formats(celt);
        std::uint32_t fetched = 0;
        const TResultCode result = cursor_.Next(celt, formats.data(), fetched);
        for (std::uint32_t i = 0; i < fetched; ++i)
            rgelt[i] = ToFORMATETC(formats[i]);
        if (pceltFetched != nullptr)
            *pceltFetched = fetched;
        return result;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE TEnumFormatEtc::Skip(ULONG celt) {
    return cursor_.Skip(celt);
}

HRESULT STDMETHODCALLTYPE TEnumFormatEtc::Reset() {
    cursor_.Reset();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TEnumFormatEtc::Clone(IEnumFORMATETC** enumerator) {
    if (enumerator == nullptr)
        return E_POINTER;
    *enumerator = nullptr;
    try {
        *enumerator = new TEnumFormatEtc(cursor_);
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

} // namespace tarvola
