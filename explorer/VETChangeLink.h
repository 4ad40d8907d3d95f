// Change links between explorer views: a control (the client) follows another (the server), and whenever
// the server shows another item it dispatches that item's identifier list through the process-wide
// TVETChangeDispatch, which hands it to the clients of that server. A dispatch started by one control
// never comes back to it, and a control told directly is not told again through a partner that reacts.
//
// Servers and clients are plain identities (the controls' addresses); a link owns neither. Everything
// here is portable and runs on the GUI thread; registration and removal are also safe from re-entrant
// handlers, and a dispatch works over a snapshot of the links, so a handler may register or remove links
// (its own too) while the dispatch goes on.
#pragma once

#include "shell/VirtualPIDLTools.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tarvola {

class IVETChangeLink;

// The client's change handler: the server that changed and the absolute list of the item it now shows.
using TVETChangeProc = std::function<void(const void* server, const TItemIDList& pidl)>;
// The client's link-released handler, called once when its link is removed.
using TVETFreeProc = std::function<void(IVETChangeLink& link)>;

// {3C0AF30B-DA91-4F42-B02C-8A326704B368}
struct TVETChangeLinkIID {
    static constexpr std::uint32_t Data1 = 0x3C0AF30B;
    static constexpr std::uint16_t Data2 = 0xDA91;
    static constexpr std::uint16_t Data3 = 0x4F42;
    static constexpr std::uint8_t Data4[8] = {0xB0, 0x2C, 0x8A, 0x32, 0x6D, 0x7B, 0x43, 0x68};
};

// One link.
class IVETChangeLink {
public:
    virtual ~IVETChangeLink() = default;
    virtual const TVETChangeProc& ChangeProc() const = 0;
    virtual void SetChangeProc(TVETChangeProc proc) = 0;
    virtual const void* Server() const = 0;
    virtual void SetServer(const void* server) = 0;
    virtual const void* Client() const = 0;
    virtual void SetClient(const void* client) = 0;
    virtual const TVETFreeProc& FreeProc() const = 0;
    virtual void SetFreeProc(TVETFreeProc proc) = 0;
};
using TVETChangeLinkPtr = std::shared_ptr<IVETChangeLink>;

class TVETChangeLink : public IVETChangeLink {
public:
    const TVETChangeProc& ChangeProc() const override { return changeProc_; }
    void SetChangeProc(TVETChangeProc proc) override { changeProc_ = std::move(proc); }
    const void* Server() const override { return server_; }
    void SetServer(const void* server) override { server_ = server; }
    const void* Client() const override { return client_; }
    void SetClient(const void* client) override { client_ = client; }
    const TVETFreeProc& FreeProc() const override { return freeProc_; }
    void SetFreeProc(TVETFreeProc proc) override { freeProc_ = std::move(proc); }

private:
    TVETChangeProc changeProc_;
    const void* server_ = nullptr;
    const void* client_ = nullptr;
    TVETFreeProc freeProc_;
};

// Which links an unregistration removes: those of the server, of the client, of both together (modes 0-2
// remove the newest such link only), or every link naming either (mode 3, for a control that goes away).
enum class TVETUnregisterMode : std::uint8_t { umServer = 0, umClient = 1, umBoth = 2, umEither = 3 };

class TVETChangeDispatch {
public:
    TVETChangeDispatch() = default;
    TVETChangeDispatch(const TVETChangeDispatch&) = delete;
    TVETChangeDispatch& operator=(const TVETChangeDispatch&) = delete;
    // Links still registered at shut-down are dropped without calling their handlers: their controls may
    // be gone by then.
    ~TVETChangeDispatch() = default;

    void RegisterChangeLink(const void* server, const void* client, TVETChangeProc changeProc,
                            TVETFreeProc freeProc);
    // Each removed link's FreeProc is called with it, then the link is emptied.
    void UnRegisterChangeLink(const void* server, const void* client, TVETUnregisterMode mode);
    // Tells the clients of server that it now shows pidl.
    void DispatchChange(const void* server, const TItemIDList& pidl);

    std::size_t Count() const;
    // The registered links in registration order.
    std::vector<TVETChangeLinkPtr> Links() const;
    bool Dispatching() const { return initiator_ != nullptr; }

private:
    // Calls every link of the list whose server is server, whose client is not the initiator and whose
    // handler is still set when its turn comes.
    void Notify(const std::vector<TVETChangeLinkPtr>& links, const void* server, const TItemIDList& pidl);

    mutable std::mutex lock_;
    std::vector<TVETChangeLinkPtr> links_;
    const void* initiator_ = nullptr;
    // The links a nested dispatch (a client passing on what it was told) may use.
    std::vector<TVETChangeLinkPtr> secondList_;
};

// The process's dispatcher.
TVETChangeDispatch& VETChangeDispatch();

} // namespace tarvola
