// Components and ownership. A component names its owner; a component made with Owner.Create<T>() is owned
// by it and freed with it (in reverse order of creation) or earlier through FreeComponent. Components made
// otherwise (on the stack, in a unique_ptr) belong to whoever made them.
#pragma once

#include "forms/Events.h"
#include "forms/Properties.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvola {

class EComponentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    // Makes a T(this, args...) that this component owns.
    template <class T, class... Args>
    T& Create(Args&&... args) {
        auto component = std::make_unique<T>(this, std::forward<Args>(args)...);
        T& result = *component;
        owned_.push_back(std::move(component));
        return result;
    }
    // Frees an owned component now; throws when this component does not own it.
    void FreeComponent(TComponent& component);

    int ComponentCount() const { return static_cast<int>(owned_.size()); }
    TComponent& Components(int index) const;
    // The owned component of that name (searched among the owned components only), or nullptr.
    TComponent* FindComponent(std::string_view name) const;
    // The owned component of that name and class; throws when there is none.
    template <class T>
    T& Find(std::string_view name) const {
        T* found = dynamic_cast<T*>(FindComponent(name));
        if (found == nullptr) {
            throw EComponentError("No component " + std::string(name) + " of the expected class in " + name_);
        }
        return *found;
    }

    // Layout tables: a property given as text and the component that a row names as its parent (a control's
    // parent window, a menu item's menu).
    virtual void SetProperty(std::string_view name, std::string_view value);
    virtual void SetParentComponent(TComponent& parent);
    // A layout loader sets the properties of a row between these two: adjustments that depend on several
    // properties (a label's automatic size) wait for Loaded.
    void BeginLoading() { loading_ = true; }
    void EndLoading() {
        loading_ = false;
        Loaded();
    }
    bool Loading() const { return loading_; }

protected:
    // Frees the owned components now, last made first (forms do this before their window goes).
    void DestroyComponents();
    virtual void Loaded() {}

private:
    TComponent* owner_;
    std::string name_;
    int tag_ = 0;
    bool loading_ = false;
    std::vector<std::unique_ptr<TComponent>> owned_;
};

} // namespace tarvola
