#include "explorer/VETChangeLink.h"

#include <algorithm>

namespace tarvola {

namespace {

bool Matches(const IVETChangeLink& link, const void* server, const void* client, TVETUnregisterMode mode) {
    const bool byServer = link.Server() == server;
    const bool byClient = link.Client() == client;
    switch (mode) {
    case TVETUnregisterMode::umServer:
        return byServer;
    case TVETUnregisterMode::umClient:
        return byClient;
    case TVETUnregisterMode::umBoth:
        return byServer && byClient;
    case TVETUnregisterMode::umEither:
        return byServer || byClient;
    }
    return false;
}

// Restores a value when the scope ends, also when a handler throws.
template <typename T>
class TRestore {
public:
    TRestore(T& target, T value) : target_(target), saved_(target) { target_ = value; }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;
    ~TRestore() { target_ = saved_; }

private:
    T& target_;
    T saved_;
};

} // namespace

void TVETChangeDispatch::RegisterChangeLink(const void* server, const void* client, TVETChangeProc changeProc,
                                            TVETFreeProc freeProc) {
    auto link = std::make_shared<TVETChangeLink>();
    link->SetServer(server);
    link->SetClient(client);
    link->SetChangeProc(std::move(changeProc));
    link->SetFreeProc(std::move(freeProc));
    const std::lock_guard<std::mutex> guard(lock_);
    links_.push_back(std::move(link));
}

void TVETChangeDispatch::UnRegisterChangeLink(const void* server, const void* client,
                                              TVETUnregisterMode mode) {
    // The matches leave the list first and are told afterwards, outside the lock: a link-released handler
    // may register or remove links itself.
    std::vector<TVETChangeLinkPtr> removed;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        for (std::size_t i = links_.size(); i-- > 0;) {
            if (!Matches(*links_[i], server, client, mode))
                continue;
            removed.push_back(links_[i]);
            links_.erase(links_.begin() + static_cast<std::ptrdiff_t>(i));
            if (mode != TVETUnregisterMode::umEither)
                break;
        }
    }
    for (const TVETChangeLinkPtr& link : removed) {
        // A copy: the handler may itself empty the link.
        if (const TVETFreeProc freeProc = link->FreeProc())
            freeProc(*link);
        link->SetChangeProc(nullptr);
        link->SetFreeProc(nullptr);
        link->SetServer(nullptr);
        link->SetClient(nullptr);
    }
}

void TVETChangeDispatch::Notify(const std::vector<TVETChangeLinkPtr>& links, const void* server,
                                const TItemIDList& pidl) {
    for (const TVETChangeLinkPtr& link : links) {
        if (link->Server() != server || link->Client() == initiator_)
            continue;
        // A copy, so that a handler removing its own link does not destroy the code that is running.
        if (const TVETChangeProc changeProc = link->ChangeProc())
            changeProc(server, pidl);
    }
}

void TVETChangeDispatch::DispatchChange(const void* server, const TItemIDList& pidl) {
    if (initiator_ != nullptr) {
        // A client passing on what it was told: only the links the outermost dispatch left open.
        const std::vector<TVETChangeLinkPtr> second = secondList_;
        Notify(second, server, pidl);
        return;
    }
    const std::vector<TVETChangeLinkPtr> snapshot = Links();
    const TRestore<const void*> initiator(initiator_, server);
    std::vector<const void*> toldDirectly;
    for (const TVETChangeLinkPtr& link : snapshot) {
        if (link->Server() == server)
            toldDirectly.push_back(link->Client());
    }
    secondList_.clear();
    for (const TVETChangeLinkPtr& link : snapshot) {
        if (link->Server() != server &&
            std::find(toldDirectly.begin(), toldDirectly.end(), link->Client()) == toldDirectly.end())
            secondList_.push_back(link);
    }
    Notify(snapshot, server, pidl);
    secondList_.clear();
}

std::size_t TVETChangeDispatch::Count() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return links_.size();
}

std::vector<TVETChangeLinkPtr> TVETChangeDispatch::Links() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return links_;
}

TVETChangeDispatch& VETChangeDispatch() {
    static TVETChangeDispatch dispatch;
    return dispatch;
}

} // namespace tarvola
