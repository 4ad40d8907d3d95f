// The stream layout of storage nodes and their child lists.
#include "explorer/ExplorerStateCodec.h"
#include "explorer/ExplorerStateStorage.h"

namespace tarvola {

namespace {

// Item list size, has-children, flags, one check byte and three array counts.
constexpr std::int64_t kMinNodeBytes = 4 + 1 + 1 + 1 + 3 * 4;

} // namespace

void TNodeStorage::LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) {
    Clear(true);
    TStreamableClass::LoadFromStream(stream, version, readVerFromStream);
    LoadFields(stream, ReadLayoutVersion(StreamVersion()), readVerFromStream);
}

void TRootNodeStorage::LoadFromStream(TStream& stream, std::int32_t version, bool readVerFromStream) {
    Flags = 0;
    CheckState = kCheckUncheckedNormal;
    CheckType = 0;
    Columns = {};
    TNodeStorage::LoadFromStream(stream, version, readVerFromStream);
    hasChildList_ = true;
}

void TNodeStorage::LoadFields(TStream& stream, std::int32_t version, bool flagged) {
    std::optional<TItemIDList> pidl = ReadStatePIDL(stream);
    if (!pidl)
        throw EStateStreamError("Saved storage node without an item");
    if (parent_ == nullptr ? !pidl->IsDesktop() : !parent_->absolutePIDL_.IsParentOf(*pidl, true))
        throw EStateStreamError("Saved storage node out of its place");
    if (pidl->Count() > kMaxStorageDepth)
        throw EStateStreamError("Saved storage tree too deep");
    absolutePIDL_ = std::move(*pidl);
    if (ReadStateByte(stream) != 0)
        LoadChildList(stream, version, flagged);
    Flags = ReadStateByte(stream);
    CheckState = ReadStateByte(stream);
    if (version >= 2)
        CheckType = ReadStateByte(stream);
    Columns.Widths.resize(static_cast<std::size_t>(ReadStateCount(stream, 2, "column widths")));
    for (std::uint16_t& width : Columns.Widths)
        width = ReadStateWord(stream);
    Columns.Positions.resize(static_cast<std::size_t>(ReadStateCount(stream, 2, "column positions")));
    for (std::uint16_t& position : Columns.Positions)
        position = ReadStateWord(stream);
    Columns.Visible.resize(static_cast<std::size_t>(ReadStateCount(stream, 1, "column states")));
    for (std::uint8_t& visible : Columns.Visible)
        visible = ReadStateByte(stream);
    if (version < 1 || ReadStateByte(stream) == 0)
        return;
    const std::string className = ReadStateBytes(stream, kMaxUserDataClassName, "a class name");
    std::unique_ptr<TStorageUserData> data = root_->Registry().Create(className);
    if (!data)
        throw EStateStreamError("Class " + className + " not found");
    data->LoadFromStream(stream, version, flagged);
    UserData = std::move(data);
}

void TNodeStorage::LoadChildList(TStream& stream, std::int32_t version, bool flagged) {
    const std::int32_t listVersion = flagged ? ReadLayoutVersion(ReadStateInt32(stream)) : version;
    const std::int32_t count = ReadStateCount(stream, kMinNodeBytes, "storage nodes");
    hasChildList_ = true;
    for (std::int32_t i = 0; i < count; ++i) {
        auto child = std::make_unique<TNodeStorage>(TItemIDList(), this);
        child->TStreamableClass::LoadFromStream(stream, listVersion, flagged);
        child->LoadFields(stream, ReadLayoutVersion(child->StreamVersion()), flagged);
        // An item that is gone takes what was stored below it along.
        if (root_->Shell().ItemExists(child->absolutePIDL_))
            children_.push_back(std::move(child));
    }
    SortAndMergeChildren();
}

void TNodeStorage::SaveToStream(TStream& stream, std::int32_t version, bool writeVerToStream) {
    const std::int32_t written = WriteLayoutVersion(version, writeVerToStream);
    TStreamableClass::SaveToStream(stream, written, writeVerToStream);
    WriteStatePIDL(stream, absolutePIDL_);
    WriteStateByte(stream, hasChildList_ ? 1 : 0);
    if (hasChildList_)
        SaveChildList(stream, written, writeVerToStream);
    WriteStateByte(stream, Flags);
    WriteStateByte(stream, CheckState);
    WriteStateByte(stream, CheckType);
    WriteStateCount(stream, Columns.Widths.size());
    for (const std::uint16_t width : Columns.Widths)
        WriteStateWord(stream, width);
    WriteStateCount(stream, Columns.Positions.size());
    for (const std::uint16_t position : Columns.Positions)
        WriteStateWord(stream, position);
    WriteStateCount(stream, Columns.Visible.size());
    for (const std::uint8_t visible : Columns.Visible)
        WriteStateByte(stream, visible);
    WriteStateByte(stream, UserData ? 1 : 0);
    if (!UserData)
        return;
    WriteStateBytes(stream, UserData->ClassName());
    UserData->SaveToStream(stream, written, writeVerToStream);
}

void TNodeStorage::SaveChildList(TStream& stream, std::int32_t version, bool flagged) {
    if (flagged)
        WriteStateInt32(stream, version);
    WriteStateCount(stream, children_.size());
    for (const auto& child : children_)
        child->SaveToStream(stream, version, flagged);
}

} // namespace tarvola
