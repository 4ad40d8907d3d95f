#include "forms/Component.h"

#include <algorithm>

namespace tarvola {

TComponent::TComponent(TComponent* owner) : owner_(owner) {}

TComponent::~TComponent() {
    DestroyComponents();
}

void TComponent::DestroyComponents() {
    // One at a time from the back: a component's destructor may still look at its earlier siblings.
    while (!owned_.empty()) {
        std::unique_ptr<TComponent> last = std::move(owned_.back());
        owned_.pop_back();
        last.reset();
    }
}

void TComponent::FreeComponent(TComponent& component) {
    auto found =
        std::find_if(owned_.begin(), owned_.end(), [&](const auto& c) { return c.get() == &component; });
    if (found == owned_.end()) {
        throw EComponentError(component.Name() + " is not owned by " + name_);
    }
    std::unique_ptr<TComponent> freed = std::move(*found);
    owned_.erase(found);
    freed.reset();
}

TComponent& TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) {
        throw EComponentError("Component index out of range");
    }
    return *owned_[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    for (const auto& component : owned_) {
        if (component->Name() == name) {
            return component.get();
        }
    }
    return nullptr;
}

void TComponent::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Tag") {
        tag_ = PropInteger(value, name);
        return;
    }
    ThrowUnknownProperty(name_, name);
}

void TComponent::SetParentComponent(TComponent& parent) {
    throw EComponentError(name_ + " cannot stand in " + parent.Name());
}

} // namespace tarvola
