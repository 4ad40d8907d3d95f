// COM at the shell layer's boundary: an owning interface pointer, and HRESULTs turned into EShellError
// where a failure cannot be answered with a neutral value. Win32 sources only.
#pragma once

#include "shell/VirtualShellTypes.h"

#include <windows.h>
#include <objbase.h>

#include <string>
#include <utility>

namespace tarvola {

template <typename T>
class TComPtr {
public:
    TComPtr() = default;
    TComPtr(const TComPtr& other) : p_(other.p_) { AddRef(); }
    TComPtr(TComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    TComPtr& operator=(TComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~TComPtr() { Release(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held first.
    T** Put() {
        Release();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() { Release(); }

    // Queries another interface of the same object; empty when it has none.
    template <typename U>
    TComPtr<U> As(REFIID iid) const {
        TComPtr<U> other;
        if (p_ != nullptr)
            p_->QueryInterface(iid, other.PutVoid());
        return other;
    }

private:
    void AddRef() {
        if (p_ != nullptr)
            p_->AddRef();
    }
    void Release() {
        if (p_ != nullptr)
            std::exchange(p_, nullptr)->Release();
    }
    T* p_ = nullptr;
};

inline void CheckHResult(HRESULT hr, const char* what) {
    if (FAILED(hr))
        throw EShellError(
            std::string(what) + " failed (HRESULT 0x" +
                [hr] {
                    char text[9];
                    wsprintfA(text, "%08lX", static_cast<unsigned long>(hr));
                    return std::string(text);
                }() +
                ")",
            hr);
}

} // namespace tarvola
