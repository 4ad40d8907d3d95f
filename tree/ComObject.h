// The reference counting and interface lookup that every small COM object of ours shares. A class derives
// from TComObject<IFirst, ISecond...> and implements only its interfaces' own methods; IUnknown answers with
// the first interface. The count is interlocked, since the platform may call from another thread; the
// object starts with one reference, its creator's, and deletes itself when the last one goes.
#pragma once

#include <windows.h>

#include <unknwn.h>

namespace tarvola {

template <class First, class... Rest>
class TComObject : public First, public Rest... {
public:
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
        if (object == nullptr)
            return E_POINTER;
        *object = InterfaceFor(iid);
        if (*object == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() noexcept override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }

    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

protected:
    TComObject() = default;
    virtual ~TComObject() = default;

private:
    // The pointer that answers iid (already adjusted to that interface's base), or nullptr.
    void* InterfaceFor(REFIID iid) noexcept {
        void* found = nullptr;
        if (IsEqualIID(iid, IID_IUnknown))
            found = static_cast<First*>(this);
        else
            static_cast<void>(Answers<First>(iid, found) || (Answers<Rest>(iid, found) || ...));
        return found;
    }

    template <class Interface>
    bool Answers(REFIID iid, void*& found) noexcept {
        if (!IsEqualIID(iid, __uuidof(Interface)))
            return false;
        found = static_cast<Interface*>(this);
        return true;
    }

    LONG references_ = 1;
};

} // namespace tarvola
