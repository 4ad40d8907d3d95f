#include "forms/ChangeLink.h"

#include <algorithm>

namespace tarvola {

TChangeLink::~TChangeLink() {
    SetSource(nullptr);
}

void TChangeLink::SetSource(TChangeLinkSource* source) {
    if (source == source_)
        return;
    if (source_ != nullptr)
        source_->UnRegisterChanges(*this);
    if (source != nullptr)
        source->RegisterChanges(*this);
}

TChangeLinkSource::~TChangeLinkSource() {
    DetachLinks();
}

void TChangeLinkSource::DetachLinks() {
    // Each link is detached before it hears of it, so a handler may look at the link (or free it) safely.
    while (!links_.empty()) {
        TChangeLink* link = links_.back();
        links_.pop_back();
        link->source_ = nullptr;
        if (link->OnSourceGone) {
            try {
                link->OnSourceGone();
            } catch (...) {
                // A destructor cannot pass the error on; the link is detached either way.
            }
        }
    }
}

void TChangeLinkSource::RegisterChanges(TChangeLink& link) {
    if (link.source_ == this)
        return;
    if (link.source_ != nullptr)
        link.source_->UnRegisterChanges(link);
    links_.push_back(&link);
    link.source_ = this;
}

void TChangeLinkSource::UnRegisterChanges(TChangeLink& link) {
    const auto found = std::find(links_.begin(), links_.end(), &link);
    if (found == links_.end())
        return;
    links_.erase(found);
    link.source_ = nullptr;
}

void TChangeLinkSource::Change() {
    // A handler may unregister links (its own or others): walk a copy and skip links that left meanwhile.
    const std::vector<TChangeLink*> links = links_;
    for (TChangeLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->OnChange)
            link->OnChange();
}

} // namespace tarvola
