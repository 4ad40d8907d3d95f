// The platform's format enumerator over a copy of a data object's formats.
#pragma once

#include "tree/ComObject.h"
#include "tree/FormatEnumerator.h"

#include <windows.h>

#include <objidl.h>

namespace tarvola {

class TEnumFormatEtc : public TComObject<IEnumFORMATETC> {
public:
    // Starts with one reference, the caller's.
    explicit TEnumFormatEtc(TFormatCursor cursor) : cursor_(std::move(cursor)) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** enumerator) override;

private:
    ~TEnumFormatEtc() override = default;

    TFormatCursor cursor_;
};

} // namespace tarvola
