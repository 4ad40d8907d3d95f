// TObjectList: an ordered list of objects that, when it owns them, frees each one it deletes or clears and
// all of them when it goes; Extract hands an object back to the caller without freeing it. Every change is
// announced through Notify (added, extracted, deleted) before the list does its own part, so a descendant
// sees a deleted object while it still lives.
#pragma once

#include "base/Numerics.h"

#include <algorithm>
#include <vector>

namespace tarvola {

enum class TListNotification { lnAdded, lnExtracted, lnDeleted };

template <class T>
class TObjectList {
public:
    explicit TObjectList(bool ownsObjects = true) : ownsObjects_(ownsObjects) {}
    TObjectList(const TObjectList&) = delete;
    TObjectList& operator=(const TObjectList&) = delete;
    virtual ~TObjectList() { ClearItems(); }

    bool OwnsObjects() const { return ownsObjects_; }
    void SetOwnsObjects(bool value) { ownsObjects_ = value; }

    int Count() const { return static_cast<int>(items_.size()); }
    // Raises RangeError ("List index out of bounds (%d)") outside 0 .. Count - 1.
    T* Items(int index) const {
        CheckIndex(index, Count());
        return items_[static_cast<std::size_t>(index)];
    }
    T* First() const { return Items(0); }
    T* Last() const { return Items(Count() - 1); }
    int IndexOf(const T* item) const {
        const auto found = std::find(items_.begin(), items_.end(), item);
        return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
    }

    // Takes the object (owned from now on when the list owns its objects); returns its index.
    int Add(T* item) {
        items_.push_back(item);
        Notify(item, TListNotification::lnAdded);
        return Count() - 1;
    }
    // Before index (0 .. Count); raises RangeError otherwise.
    void Insert(int index, T* item) {
        CheckIndex(index, Count() + 1);
        items_.insert(items_.begin() + index, item);
        Notify(item, TListNotification::lnAdded);
    }
    // Removes the object at index, freeing it when the list owns its objects.
    void Delete(int index) {
        T* item = Items(index);
        items_.erase(items_.begin() + index);
        Notify(item, TListNotification::lnDeleted);
    }
    // Deletes the object when the list holds it; its former index, or -1.
    int Remove(T* item) {
        const int index = IndexOf(item);
        if (index >= 0)
            Delete(index);
        return index;
    }
    // Removes the object without freeing it: the caller has it back. nullptr when the list does not hold it.
    T* Extract(T* item) {
        const int index = IndexOf(item);
        if (index < 0)
            return nullptr;
        items_.erase(items_.begin() + index);
        Notify(item, TListNotification::lnExtracted);
        return item;
    }
    void Clear() { ClearItems(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

protected:
    // Frees a deleted object when the list owns its objects.
    virtual void Notify(T* item, TListNotification action) {
        if (action == TListNotification::lnDeleted && ownsObjects_)
            delete item;
    }

private:
    // Not virtual through Clear alone: the destructor runs it after a descendant is gone, when only this
    // class's Notify is left.
    void ClearItems() {
        while (!items_.empty())
            Delete(Count() - 1);
    }

    std::vector<T*> items_;
    bool ownsObjects_;
};

} // namespace tarvola
