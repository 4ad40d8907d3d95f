#include "explorer/ExplorerStateViews.h"

#include "explorer/ExplorerStateCodec.h"

#include <limits>

namespace tarvola {

namespace {

// The least a view takes in a stream: the counts and sizes of its lists and texts, the root folder byte
// and the smallest storage node.
constexpr std::int64_t kMinViewBytes = 8 * 4 + 1 + 19;
constexpr std::int64_t kMinLeafBytes = 1 + 4;
constexpr std::int64_t kMinPIDLBytes = 4;

} // namespace

// ---- TLeafNode, TLeafNodeList

void TLeafNode::LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) {
    TStreamableClass::LoadFromStream(stream, version, readVerFromStream);
    ReadLayoutVersion(StreamVersion());
    Expanded = ReadStateByte(stream) != 0;
    PIDL = ReadStatePIDL(stream);
}

void TLeafNode::SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) {
    TStreamableClass::SaveToStream(stream, WriteLayoutVersion(version, writeVerToStream), writeVerToStream);
    WriteStateByte(stream, Expanded ? 1 : 0);
    WriteStatePIDL(stream, PIDL);
}

void TLeafNodeList::AddLeaf(const TItemIDList& pidl, bool expanded) {
    TLeafNode leaf;
    leaf.Expanded = expanded;
    leaf.PIDL = pidl;
    Leaves.push_back(std::move(leaf));
}

void TLeafNodeList::LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) {
    TStreamableList::LoadFromStream(stream, version, readVerFromStream);
    const std::int32_t layout = ReadLayoutVersion(StreamVersion());
    const std::int32_t count = ReadStateCount(stream, kMinLeafBytes, "leaves");
    for (std::int32_t i = 0; i < count; ++i) {
        TLeafNode leaf;
        leaf.LoadFromStream(stream, layout, readVerFromStream);
        Leaves.push_back(std::move(leaf));
    }
}

void TLeafNodeList::SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) {
    const std::int32_t written = WriteLayoutVersion(version, writeVerToStream);
    TStreamableList::SaveToStream(stream, written, writeVerToStream);
    WriteStateCount(stream, Leaves.size());
    for (TLeafNode& leaf : Leaves)
        leaf.SaveToStream(stream, written, writeVerToStream);
}

// ---- TVETPersistent

TVETPersistent::TVETPersistent(IStateShell& shell, const TStorageUserDataRegistry& registry)
    : Storage(shell, registry) {}

void TVETPersistent::Clear() {
    Leaves.Clear();
    Selection.clear();
    SelectionFolder.reset();
    CustomRoot.reset();
    Storage.Clear(false);
}

void TVETPersistent::LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) {
    Clear();
    TopNode.reset();
    TopNodeExact.reset();
    FocusedNode.reset();
    CustomPath.clear();
    RootFolder = 0;
    try {
        TStreamableClass::LoadFromStream(stream, version, readVerFromStream);
        LoadFields(stream, ReadLayoutVersion(StreamVersion()), readVerFromStream);
    } catch (...) {
        Clear();
        throw;
    }
}

void TVETPersistent::LoadFields(TStream& stream, std::int32_t version, bool flagged) {
    Leaves.LoadFromStream(stream, version, flagged);
    SelectionFolder = ReadStatePIDL(stream);
    const std::int32_t selected = ReadStateCount(stream, kMinPIDLBytes, "selected items");
    for (std::int32_t i = 0; i < selected; ++i)
        if (std::optional<TItemIDList> pidl = ReadStatePIDL(stream))
            Selection.push_back(std::move(*pidl));
    CustomRoot = ReadStatePIDL(stream);
    TopNode = ReadStatePIDL(stream);
    FocusedNode = ReadStatePIDL(stream);
    RootFolder = ReadStateByte(stream);
    if (version >= 3)
        CustomPath = ReadStateWide(stream);
    else // what older streams held here is not known: no path
        ReadStateBytes(stream, std::numeric_limits<std::int32_t>::max(), "a custom path");
    Storage.LoadFromStream(stream, version, flagged);
}

void TVETPersistent::SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) {
    const std::int32_t written = WriteLayoutVersion(version, writeVerToStream);
    TStreamableClass::SaveToStream(stream, written, writeVerToStream);
    Leaves.SaveToStream(stream, written, writeVerToStream);
    WriteStatePIDL(stream, SelectionFolder);
    WriteStateCount(stream, Selection.size());
    for (const TItemIDList& pidl : Selection)
        WriteStatePIDL(stream, pidl);
    WriteStatePIDL(stream, CustomRoot);
    WriteStatePIDL(stream, TopNode);
    WriteStatePIDL(stream, FocusedNode);
    WriteStateByte(stream, RootFolder);
    WriteStateWide(stream, CustomPath);
    Storage.SaveToStream(stream, written, writeVerToStream);
}

// ---- TView, TViewList

void TView::LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) {
    ViewName.clear();
    TVETPersistent::LoadFromStream(stream, version, readVerFromStream);
    try {
        ViewName = ReadStateWide(stream);
    } catch (...) {
        Clear();
        throw;
    }
}

void TView::SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) {
    TVETPersistent::SaveToStream(stream, version, writeVerToStream);
    WriteStateWide(stream, ViewName);
}

TView& TViewList::Add(const WideString& name) {
    Views.push_back(std::make_unique<TView>(shell_, registry_));
    Views.back()->ViewName = name;
    return *Views.back();
}

void TViewList::Clear() {
    while (!Views.empty())
        Views.pop_back();
}

void TViewList::LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) {
    TStreamableList::LoadFromStream(stream, version, readVerFromStream);
    const std::int32_t layout = ReadLayoutVersion(StreamVersion());
    try {
        const std::int32_t count = ReadStateCount(stream, kMinViewBytes, "views");
        for (std::int32_t i = 0; i < count; ++i)
            Add(WideString()).LoadFromStream(stream, layout, readVerFromStream);
    } catch (...) {
        Clear();
        throw;
    }
}

void TViewList::SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) {
    const std::int32_t written = WriteLayoutVersion(version, writeVerToStream);
    TStreamableList::SaveToStream(stream, written, writeVerToStream);
    WriteStateCount(stream, Views.size());
    for (const auto& view : Views)
        view->SaveToStream(stream, written, writeVerToStream);
}

// ---- TViewManager, TGlobalViewManager

TView* TViewManager::FindView(const WideString& viewName) const {
    for (auto it = Views.Views.rbegin(); it != Views.Views.rend(); ++it)
        if (PlatformText().CompareText((*it)->ViewName, viewName) == 0)
            return it->get();
    return nullptr;
}

void TViewManager::LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) {
    TStreamableClass::LoadFromStream(stream, version, readVerFromStream);
    Views.LoadFromStream(stream, ReadLayoutVersion(StreamVersion()), readVerFromStream);
}

void TViewManager::SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) {
    const std::int32_t written = WriteLayoutVersion(version, writeVerToStream);
    TStreamableClass::SaveToStream(stream, written, writeVerToStream);
    Views.SaveToStream(stream, written, writeVerToStream);
}

void TGlobalViewManager::LoadFromStream(TStream& stream, std::int32_t version, bool) {
    Clear();
    TViewManager::LoadFromStream(stream, version, true);
}

void TGlobalViewManager::SaveToStream(TStream& stream, std::int32_t, bool) {
    TViewManager::SaveToStream(stream, kStateStreamVersion, true);
}

} // namespace tarvola
