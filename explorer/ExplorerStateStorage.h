// Node storage: facts about shell items that no tree node outlives (check state and type, a column layout,
// a user-data object), kept in a sparse tree of storage nodes that mirrors the namespace from the desktop
// down, one node per item with something stored plus the folders on the way.
//
// Every child list is sorted by its folder's order of the children's last records (the shell's CompareIDs
// through IStateShell, byte order where the shell cannot tell), so lookups are binary searches. Lists read
// from a stream are sorted again after reading (the writer's order may not be today's), equal entries
// merged, and nodes whose items are gone dropped with their subtrees.
//
// The explorer tree keeps one TRootNodeStorage in its snapshot: its check handling calls ProvideStorage,
// FindStorageWithFlags and RemoveStorageFlags, its column layouts do the same with kStoreColumns.
#pragma once

#include "explorer/ExplorerStateShell.h"
#include "shell/VirtualStreamable.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarvola {

// Flag bits of a storage node.
constexpr std::uint8_t kStoreCheck = 1;
constexpr std::uint8_t kStoreColumns = 2;
constexpr std::uint8_t kStoreUserData = 4;

// Check state and type bytes as the tree control numbers them.
constexpr std::uint8_t kCheckUncheckedNormal = 0;
constexpr std::uint8_t kCheckMixedNormal = 4;
constexpr std::uint8_t kCheckTypeTriState = 1;

struct TColumnStorage {
    std::vector<std::uint16_t> Widths;
    std::vector<std::uint16_t> Positions;
    std::vector<std::uint8_t> Visible; // one byte each, non-zero for shown
    friend bool operator==(const TColumnStorage&, const TColumnStorage&) = default;
};

// An object a host hangs on a storage node. It streams itself after its class name; loading re-creates it
// only through the registry the storage tree was given.
class TStorageUserData : public TStreamableClass {
public:
    virtual std::string ClassName() const = 0;
    virtual std::unique_ptr<TStorageUserData> Clone() const = 0;
};

// The classes a stream may name for user data. Nothing in the program registers one; a name that is not
// registered fails the load.
class TStorageUserDataRegistry {
public:
    using TFactory = std::function<std::unique_ptr<TStorageUserData>()>;
    void Register(const std::string& className, TFactory factory);
    // nullptr for a name that is not registered.
    std::unique_ptr<TStorageUserData> Create(const std::string& className) const;

private:
    std::map<std::string, TFactory> factories_;
};

// The longest class name a stream may hold.
constexpr std::int32_t kMaxUserDataClassName = 255;
// The deepest storage tree a stream may hold (every level is one record of an item list).
constexpr int kMaxStorageDepth = 256;

class TRootNodeStorage;

class TNodeStorage : public TStreamableClass {
public:
    // A node below parent, which must not be nullptr (the root is a TRootNodeStorage).
    TNodeStorage(TItemIDList absolutePIDL, TNodeStorage* parent);
    TNodeStorage(const TNodeStorage&) = delete;
    TNodeStorage& operator=(const TNodeStorage&) = delete;
    ~TNodeStorage() override;

    const TItemIDList& AbsolutePIDL() const { return absolutePIDL_; }
    // The last record (the list itself for the desktop).
    TItemIDList RelativePIDL() const { return absolutePIDL_.LastItem(); }
    TNodeStorage* Parent() const { return parent_; }
    // In the folder's order.
    const std::vector<std::unique_ptr<TNodeStorage>>& Children() const { return children_; }

    std::uint8_t Flags = 0;
    std::uint8_t CheckState = kCheckUncheckedNormal;
    std::uint8_t CheckType = 0;
    TColumnStorage Columns;
    std::unique_ptr<TStorageUserData> UserData;

    // A deep copy of the source's item, children, flags, check, columns and user data; the node keeps its
    // place (its parent).
    virtual void Assign(const TNodeStorage& source);
    // Drops the children (and with freeUserData the user-data object); flags and facts stay.
    virtual void Clear(bool freeUserData);

    // Raise EStateStreamError (or StreamError) on a stream that does not hold together; the node is then
    // left partly read and should be cleared.
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) override;

protected:
    TNodeStorage(TItemIDList absolutePIDL, TRootNodeStorage& root);

    TRootNodeStorage& Root() const { return *root_; }

private:
    friend class TRootNodeStorage;

    // The folder's order of two children's last records.
    int CompareChildren(const TItemIDList& a, const TItemIDList& b) const;
    // Binary search for a child by its last record: its index, or where it belongs.
    std::size_t LowerBound(const TItemIDList& relative, bool& found) const;
    // The node's own fields after its version word, then those of the nodes below it.
    void LoadFields(TStream& stream, std::int32_t version, bool flagged);
    void LoadChildList(TStream& stream, std::int32_t version, bool flagged);
    void SaveChildList(TStream& stream, std::int32_t version, bool flagged);
    // Sorts the children and merges equal ones (the first keeps its node and takes what the others hold).
    void SortAndMergeChildren();
    void MergeFrom(TNodeStorage& other);
    // Whether node is this one or lies below it.
    bool Holds(const TNodeStorage* node) const;

    TItemIDList absolutePIDL_;
    TNodeStorage* parent_;
    TRootNodeStorage* root_;
    bool hasChildList_ = false;
    std::vector<std::unique_ptr<TNodeStorage>> children_;
};

class TRootNodeStorage : public TNodeStorage {
public:
    // Rooted at the desktop. The shell orders children and validates loaded items; the registry makes
    // user-data objects while loading. Both must outlive the storage.
    TRootNodeStorage(IStateShell& shell, const TStorageUserDataRegistry& registry);

    IStateShell& Shell() const { return shell_; }
    const TStorageUserDataRegistry& Registry() const { return registry_; }

    // The node of the item: the root for the desktop; nullptr when missing and not to be created. With
    // create, the folders on the way are made too.
    TNodeStorage* FindStorage(const TItemIDList& pidl, bool create);
    // FindStorage(pidl, true) with the flag bits added.
    TNodeStorage* ProvideStorage(const TItemIDList& pidl, std::uint8_t flags);
    // The node when it exists and has at least one of the bits, else nullptr.
    TNodeStorage* FindStorageWithFlags(const TItemIDList& pidl, std::uint8_t flags);
    // The node loses the bits. A node left without flags (or any with force), other than the root, goes
    // with its subtree, and so do the flag-less folders above it that hold nothing else.
    void RemoveStorageFlags(const TItemIDList& pidl, std::uint8_t flags, bool freeUserData, bool force);

    void Assign(const TNodeStorage& source) override;
    void Clear(bool freeUserData) override;
    // The stored root must be the desktop.
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) override;

    // The parent of the last node found or created (a shortcut for siblings); never a freed node.
    const TNodeStorage* Cache() const { return cache_; }

private:
    friend class TNodeStorage;

    // The child of parent for one record, made when missing and create is set.
    TNodeStorage* FindChild(TNodeStorage& parent, const TItemIDList& relative, bool create,
                            bool intermediate);
    void Remove(TNodeStorage& node);
    // Called before a subtree is freed.
    void Forget(const TNodeStorage& node);

    IStateShell& shell_;
    const TStorageUserDataRegistry& registry_;
    TNodeStorage* cache_ = nullptr;
};

} // namespace tarvola
