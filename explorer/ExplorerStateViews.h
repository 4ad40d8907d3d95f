// Snapshots of an explorer tree's view and the named views kept of them.
//
// TVETPersistent holds what a tree needs to come back after a rebuild: the expanded leaf folders, the
// selection (the folder of the first selected item and the selected items' last records), the top row,
// the focused item, the root and the node storage. The explorer tree fills and applies it (its
// StoreTreeState and RestoreTreeState, through ExplorerStateSnapshot.h); this unit holds the data and its
// stream layout. TView adds a name; TViewManager keeps views and finds them by name.
//
// Stream layouts (little-endian; [v] is the version word, present when the stream is written with it):
//   item list     Int32 size S (terminator included, 0 for none), S bytes
//   leaf          [v] u8 expanded, item list
//   leaf list     [v] Int32 count, leaves
//   snapshot      [v] leaf list, selection folder, Int32 count + selected item lists, custom root, top row,
//                 focused item, u8 root folder, custom path (Int32 UTF-16 units + 2 bytes each; before
//                 version 3 an Int32 count and bytes, read as no path), root node storage
//   view          snapshot, then the name as Int32 UTF-16 units + 2 bytes each
//   view list     [v] Int32 count, views
//   view manager  [v] view list
#pragma once

#include "explorer/ExplorerStateStorage.h"

#include <memory>
#include <optional>
#include <vector>

namespace tarvola {

class TLeafNode : public TStreamableClass {
public:
    bool Expanded = false;
    std::optional<TItemIDList> PIDL;

    void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) override;
};

class TLeafNodeList : public TStreamableList {
public:
    std::vector<TLeafNode> Leaves;

    void AddLeaf(const TItemIDList& pidl, bool expanded);
    void Clear() override { Leaves.clear(); }
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) override;
};

class TVETPersistent : public TStreamableClass {
public:
    // The storage orders and validates items through shell and makes user data through registry; both
    // must outlive the snapshot.
    TVETPersistent(IStateShell& shell, const TStorageUserDataRegistry& registry);

    TLeafNodeList Leaves;
    // The folder of the first selected item; none when that item is the desktop.
    std::optional<TItemIDList> SelectionFolder;
    // The last records of the selected items, in tree order.
    std::vector<TItemIDList> Selection;
    std::optional<TItemIDList> TopNode;
    // Taken before the leaves are stored, to put the top row back exactly; not streamed.
    std::optional<TItemIDList> TopNodeExact;
    std::optional<TItemIDList> FocusedNode;
    std::optional<TItemIDList> CustomRoot;
    WideString CustomPath;
    std::uint8_t RootFolder = 0;
    TRootNodeStorage Storage;

    // Empties the leaves, the selection, the selection folder and the custom root, and clears the node
    // storage (keeping its user data).
    virtual void Clear();

    // A stream that does not hold together raises EStateStreamError (or StreamError) and leaves the
    // snapshot cleared.
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) override;

private:
    void LoadFields(TStream& stream, std::int32_t version, bool flagged);
};

class TView : public TVETPersistent {
public:
    using TVETPersistent::TVETPersistent;

    WideString ViewName;

    void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) override;
};

class TViewList : public TStreamableList {
public:
    TViewList(IStateShell& shell, const TStorageUserDataRegistry& registry)
        : shell_(shell), registry_(registry) {}

    std::vector<std::unique_ptr<TView>> Views;

    // A new, empty view at the end.
    TView& Add(const WideString& name);
    // Frees the views from the last to the first.
    void Clear() override;
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) override;

private:
    IStateShell& shell_;
    const TStorageUserDataRegistry& registry_;
};

class TViewManager : public TStreamableClass {
public:
    TViewManager(IStateShell& shell, const TStorageUserDataRegistry& registry) : Views(shell, registry) {}

    TViewList Views;

    // Names compare without regard to letter case; of several views with the name the last one counts.
    TView* FindView(const WideString& viewName) const;
    virtual void Clear() { Views.Clear(); }

    void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) override;
};

// A manager whose stream always carries version words: it writes version 3 with them whatever it is
// asked, and reads with them after dropping its views.
class TGlobalViewManager : public TViewManager {
public:
    using TViewManager::TViewManager;

    void LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) override;
};

} // namespace tarvola
