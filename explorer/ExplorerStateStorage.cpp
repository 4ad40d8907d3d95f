#include "explorer/ExplorerStateStorage.h"

#include <stdexcept>

namespace tarvola {

// ---- TStorageUserDataRegistry

void TStorageUserDataRegistry::Register(const std::string& className, TFactory factory) {
    factories_[className] = std::move(factory);
}

std::unique_ptr<TStorageUserData> TStorageUserDataRegistry::Create(const std::string& className) const {
    const auto found = factories_.find(className);
    return found == factories_.end() ? nullptr : found->second();
}

// ---- TNodeStorage

namespace {

TNodeStorage* RequireParent(TNodeStorage* parent) {
    if (parent == nullptr)
        throw std::invalid_argument("A storage node needs a parent");
    return parent;
}

} // namespace

TNodeStorage::TNodeStorage(TItemIDList absolutePIDL, TNodeStorage* parent)
    : absolutePIDL_(std::move(absolutePIDL)), parent_(RequireParent(parent)), root_(parent->root_) {}

TNodeStorage::TNodeStorage(TItemIDList absolutePIDL, TRootNodeStorage& root)
    : absolutePIDL_(std::move(absolutePIDL)), parent_(nullptr), root_(&root) {}

TNodeStorage::~TNodeStorage() = default;

int TNodeStorage::CompareChildren(const TItemIDList& a, const TItemIDList& b) const {
    if (const std::optional<int> order = root_->Shell().CompareIDs(absolutePIDL_, a, b))
        return *order;
    return CompareBytes(a, b);
}

std::size_t TNodeStorage::LowerBound(const TItemIDList& relative, bool& found) const {
    std::size_t low = 0;
    std::size_t high = children_.size();
    found = false;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        const int order = CompareChildren(children_[mid]->RelativePIDL(), relative);
        if (order == 0) {
            found = true;
            return mid;
        }
        if (order < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

bool TNodeStorage::Holds(const TNodeStorage* node) const {
    for (; node != nullptr; node = node->parent_)
        if (node == this)
            return true;
    return false;
}

void TNodeStorage::Clear(bool freeUserData) {
    root_->Forget(*this);
    children_.clear();
    hasChildList_ = false;
    if (freeUserData)
        UserData.reset();
}

void TNodeStorage::Assign(const TNodeStorage& source) {
    if (&source == this)
        return;
    root_->Forget(*this);
    absolutePIDL_ = source.absolutePIDL_;
    children_.clear();
    hasChildList_ = source.hasChildList_;
    for (const auto& child : source.children_) {
        auto copy = std::make_unique<TNodeStorage>(child->absolutePIDL_, this);
        copy->Assign(*child);
        children_.push_back(std::move(copy));
    }
    Flags = source.Flags;
    CheckState = source.CheckState;
    CheckType = source.CheckType;
    Columns = source.Columns;
    if (source.UserData)
        UserData = source.UserData->Clone();
}

void TNodeStorage::SortAndMergeChildren() {
    StableSortWithin(children_, [this](const auto& a, const auto& b) {
        return CompareChildren(a->RelativePIDL(), b->RelativePIDL()) < 0;
    });
    std::vector<std::unique_ptr<TNodeStorage>> merged;
    merged.reserve(children_.size());
    for (auto& child : children_) {
        if (!merged.empty() && CompareChildren(merged.back()->RelativePIDL(), child->RelativePIDL()) == 0)
            merged.back()->MergeFrom(*child);
        else
            merged.push_back(std::move(child));
    }
    children_ = std::move(merged);
}

void TNodeStorage::MergeFrom(TNodeStorage& other) {
    const std::uint8_t missing = static_cast<std::uint8_t>(other.Flags & ~Flags);
    if (missing & kStoreCheck) {
        CheckState = other.CheckState;
        CheckType = other.CheckType;
    }
    if (missing & kStoreColumns)
        Columns = std::move(other.Columns);
    if ((missing & kStoreUserData) || !UserData)
        if (other.UserData)
            UserData = std::move(other.UserData);
    Flags |= other.Flags;
    if (other.children_.empty())
        return;
    hasChildList_ = true;
    for (auto& child : other.children_) {
        child->parent_ = this;
        children_.push_back(std::move(child));
    }
    other.children_.clear();
    SortAndMergeChildren();
}

// ---- TRootNodeStorage

TRootNodeStorage::TRootNodeStorage(IStateShell& shell, const TStorageUserDataRegistry& registry)
    : TNodeStorage(TItemIDList(), *this), shell_(shell), registry_(registry) {
    hasChildList_ = true;
}

void TRootNodeStorage::Forget(const TNodeStorage& node) {
    if (node.Holds(cache_))
        cache_ = nullptr;
}

TNodeStorage* TRootNodeStorage::FindChild(TNodeStorage& parent, const TItemIDList& relative, bool create,
                                          bool intermediate) {
    bool found = false;
    const std::size_t at = parent.LowerBound(relative, found);
    if (found)
        return parent.children_[at].get();
    if (!create)
        return nullptr;
    auto node = std::make_unique<TNodeStorage>(parent.absolutePIDL_.Append(relative), &parent);
    if (intermediate && CheckType == kCheckTypeTriState) {
        node->CheckType = kCheckTypeTriState;
        node->CheckState = kCheckMixedNormal;
        node->Flags = kStoreCheck;
    }
    parent.hasChildList_ = true;
    TNodeStorage* made = node.get();
    parent.children_.insert(parent.children_.begin() + static_cast<std::ptrdiff_t>(at), std::move(node));
    return made;
}

TNodeStorage* TRootNodeStorage::FindStorage(const TItemIDList& pidl, bool create) {
    if (pidl.IsDesktop())
        return this;
    const TItemIDList last = pidl.LastItem();
    if (cache_ != nullptr && pidl.Parent() == cache_->absolutePIDL_) {
        if (TNodeStorage* node = FindChild(*cache_, last, create, false))
            return node;
    }
    cache_ = nullptr;
    TNodeStorage* current = this;
    std::vector<TItemIDList> records;
    for (TItemIDList at = pidl; !at.IsDesktop(); at = at.Parent())
        records.push_back(at.LastItem());
    TNodeStorage* parent = nullptr;
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        parent = current;
        current = FindChild(*current, *record, create, record + 1 != records.rend());
        if (current == nullptr)
            return nullptr;
    }
    cache_ = parent;
    return current;
}

TNodeStorage* TRootNodeStorage::ProvideStorage(const TItemIDList& pidl, std::uint8_t flags) {
    TNodeStorage* node = FindStorage(pidl, true);
    node->Flags |= flags;
    return node;
}

TNodeStorage* TRootNodeStorage::FindStorageWithFlags(const TItemIDList& pidl, std::uint8_t flags) {
    TNodeStorage* node = FindStorage(pidl, false);
    return node != nullptr && (node->Flags & flags) != 0 ? node : nullptr;
}

void TRootNodeStorage::Remove(TNodeStorage& node) {
    TNodeStorage* parent = node.parent_;
    Forget(node);
    auto& siblings = parent->children_;
    for (auto it = siblings.begin(); it != siblings.end(); ++it)
        if (it->get() == &node) {
            siblings.erase(it);
            break;
        }
    // The folders that were only a way to the removed node go with it.
    if (parent != this && parent->Flags == 0 && parent->children_.empty())
        Remove(*parent);
}

void TRootNodeStorage::RemoveStorageFlags(const TItemIDList& pidl, std::uint8_t flags, bool freeUserData,
                                          bool force) {
    TNodeStorage* node = FindStorage(pidl, false);
    if (node == nullptr)
        return;
    node->Flags = static_cast<std::uint8_t>(node->Flags & ~flags);
    if ((node->Flags == 0 || force) && node != this) {
        Remove(*node);
        return;
    }
    if ((flags & kStoreUserData) && freeUserData)
        node->UserData.reset();
    if (node == this)
        CheckState = kCheckUncheckedNormal;
}

void TRootNodeStorage::Assign(const TNodeStorage& source) {
    cache_ = nullptr;
    TNodeStorage::Assign(source);
    hasChildList_ = true;
}

void TRootNodeStorage::Clear(bool freeUserData) {
    TNodeStorage::Clear(freeUserData);
    cache_ = nullptr;
    hasChildList_ = true;
}

} // namespace tarvola
