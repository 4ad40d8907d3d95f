// Change links: a source (an image list) tells the links registered with it when its content changes and
// when it goes. Either side may go first: a link unregisters itself when destroyed, and a source that goes
// detaches every link still registered and tells it so. Nobody keeps a pointer to a source that is gone.
#pragma once

#include <functional>
#include <vector>

namespace tarvola {

class TChangeLinkSource;

class TChangeLink {
public:
    TChangeLink() = default;
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;
    ~TChangeLink();

    // The source changed its content.
    std::function<void()> OnChange;
    // The source is being destroyed; the link is detached already.
    std::function<void()> OnSourceGone;

    TChangeLinkSource* Source() const { return source_; }
    // Registers with source (null: none), leaving the source it had.
    void SetSource(TChangeLinkSource* source);

private:
    friend class TChangeLinkSource;
    TChangeLinkSource* source_ = nullptr;
};

class TChangeLinkSource {
public:
    TChangeLinkSource() = default;
    TChangeLinkSource(const TChangeLinkSource&) = delete;
    TChangeLinkSource& operator=(const TChangeLinkSource&) = delete;
    virtual ~TChangeLinkSource();

    void RegisterChanges(TChangeLink& link);
    void UnRegisterChanges(TChangeLink& link);
    // Tells every registered link (each once, also when a handler registers or unregisters links).
    void Change();
    std::size_t LinkCount() const { return links_.size(); }

protected:
    // Detaches every link and tells it the source goes. A derived source calls it first in its destructor,
    // while its content still stands.
    void DetachLinks();

private:
    std::vector<TChangeLink*> links_;
};

} // namespace tarvola
