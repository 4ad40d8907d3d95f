// What the saved-state fuzz target and its seeds share: the first byte of an input chooses the object and
// how it is read, the rest is its stream; an in-memory shell orders records by their bytes and takes every
// item whose first data byte is 'X' for gone; one user-data class is registered.
#pragma once

#include "explorer/ExplorerStateCodec.h"
#include "explorer/ExplorerStateViews.h"
#include "tests/explorer/ExplorerStateFixture.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tarvola::fuzz {

class TStateFuzzShell final : public IStateShell {
public:
    std::optional<int> CompareIDs(const TItemIDList&, const TItemIDList& a, const TItemIDList& b) override {
        // Every fifth comparison fails, as a shell's may.
        if (++calls_ % 5 == 0)
            return std::nullopt;
        return CompareBytes(a, b);
    }
    bool ItemExists(const TItemIDList& pidl) override {
        const TItemIDList last = pidl.LastItem();
        return last.Size() < 3 || last.Data()[2] != 'X';
    }

private:
    unsigned calls_ = 0;
};

class TStateFuzzData final : public TStorageUserData {
public:
    std::int32_t Value = 0;
    std::string ClassName() const override { return "TStateFuzzData"; }
    std::unique_ptr<TStorageUserData> Clone() const override {
        return std::make_unique<TStateFuzzData>(*this);
    }
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVer) override {
        TStreamableClass::LoadFromStream(stream, version, readVer);
        Value = ReadStateInt32(stream);
    }
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVer) override {
        TStreamableClass::SaveToStream(stream, version, writeVer);
        WriteStateInt32(stream, Value);
    }
};

inline void RegisterStateFuzzData(TStorageUserDataRegistry& registry) {
    registry.Register("TStateFuzzData", [] { return std::make_unique<TStateFuzzData>(); });
}

// The selector byte: bits 0-1 the object (view manager, snapshot, view, storage root), bit 2 version
// words, bits 3-5 the version given to the reader (6 and 7 give -1).
enum class TStateFuzzObject { Manager = 0, Snapshot = 1, View = 2, Storage = 3 };

inline std::uint8_t StateFuzzSelector(TStateFuzzObject object, bool flagged, std::int32_t version) {
    const int versionBits = version < 0 ? 6 : version;
    return static_cast<std::uint8_t>(static_cast<int>(object) | (flagged ? 4 : 0) | (versionBits << 3));
}

inline std::unique_ptr<TStreamableClass> MakeStateFuzzObject(TStateFuzzObject object, IStateShell& shell,
                                                             const TStorageUserDataRegistry& registry) {
    switch (object) {
    case TStateFuzzObject::Manager:
        return std::make_unique<TViewManager>(shell, registry);
    case TStateFuzzObject::Snapshot:
        return std::make_unique<TVETPersistent>(shell, registry);
    case TStateFuzzObject::View:
        return std::make_unique<TView>(shell, registry);
    case TStateFuzzObject::Storage:
        break;
    }
    return std::make_unique<TRootNodeStorage>(shell, registry);
}

inline std::vector<std::uint8_t> WrittenState(TStreamableClass& object, bool flagged) {
    TMemoryStream stream;
    object.SaveToStream(stream, kStateStreamVersion, flagged);
    return std::vector<std::uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

// One input: a selector byte, then the stream. A stream that is accepted must write back and read again
// to the same bytes; anything else aborts.
inline void FuzzExplorerState(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return;
    const auto object = static_cast<TStateFuzzObject>(data[0] & 3);
    const bool flagged = (data[0] & 4) != 0;
    const int versionBits = (data[0] >> 3) & 7;
    const std::int32_t version = versionBits >= 6 ? -1 : versionBits;
    TStateFuzzShell shell;
    TStorageUserDataRegistry registry;
    RegisterStateFuzzData(registry);

    auto loaded = MakeStateFuzzObject(object, shell, registry);
    TMemoryStream stream;
    stream.WriteBuffer(data + 1, static_cast<std::int64_t>(size - 1));
    stream.SetPosition(0);
    try {
        loaded->LoadFromStream(stream, version, flagged);
    } catch (const StreamError&) {
        return;
    }
    const std::vector<std::uint8_t> first = WrittenState(*loaded, true);
    auto again = MakeStateFuzzObject(object, shell, registry);
    TMemoryStream copy;
    copy.WriteBuffer(first.data(), static_cast<std::int64_t>(first.size()));
    copy.SetPosition(0);
    again->LoadFromStream(copy, 0, true);
    if (copy.Position() != copy.Size() || WrittenState(*again, true) != first)
        std::abort();
}

// ---- seeds: streams the program's own writer makes

inline void FillStateSeed(TVETPersistent& state) {
    state.Leaves.AddLeaf(test::Path({"C:\\", "User"}), true);
    state.Leaves.AddLeaf(test::Path({"C:\\", "User", "Presets"}), false);
    state.SelectionFolder = test::Path({"C:\\", "User"});
    state.Selection = {test::Path({"a.ker"}), test::Path({"Presets"})};
    state.TopNode = test::Path({"C:\\", "User"});
    state.FocusedNode = test::Path({"C:\\", "User", "a.ker"});
    state.CustomPath = u"C:\\User";
    state.Storage.ProvideStorage(test::Path({"C:\\", "User", "a.ker"}), kStoreCheck)->CheckState = 2;
    state.Storage.ProvideStorage(test::Path({"C:\\", "User"}), kStoreColumns)->Columns = {
        {120, 80}, {0, 1}, {1, 1}};
    auto data = std::make_unique<TStateFuzzData>();
    data->Value = 5;
    state.Storage.ProvideStorage(test::Path({"D:\\"}), kStoreUserData)->UserData = std::move(data);
}

// Named inputs: an empty global view manager, a manager of two views, a view, a storage tree (each with
// and without version words) and a snapshot.
inline std::vector<std::pair<std::string, std::vector<std::uint8_t>>> ExplorerStateSeeds() {
    TStateFuzzShell shell;
    TStorageUserDataRegistry registry;
    RegisterStateFuzzData(registry);
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> seeds;
    const auto add = [&](const std::string& name, TStreamableClass& object, TStateFuzzObject kind,
                         bool flagged) {
        std::vector<std::uint8_t> bytes{StateFuzzSelector(kind, flagged, flagged ? 0 : kStateStreamVersion)};
        const std::vector<std::uint8_t> stream = WrittenState(object, flagged);
        bytes.insert(bytes.end(), stream.begin(), stream.end());
        seeds.emplace_back(name, std::move(bytes));
    };
    TGlobalViewManager empty(shell, registry);
    add("empty-manager", empty, TStateFuzzObject::Manager, true);
    TViewManager manager(shell, registry);
    FillStateSeed(manager.Views.Add(u"Presets"));
    manager.Views.Add(u"Empty");
    for (const bool flagged : {true, false}) {
        const std::string suffix = flagged ? "-words" : "";
        add("manager" + suffix, manager, TStateFuzzObject::Manager, flagged);
        add("view" + suffix, *manager.Views.Views[0], TStateFuzzObject::View, flagged);
        add("storage" + suffix, manager.Views.Views[0]->Storage, TStateFuzzObject::Storage, flagged);
    }
    TVETPersistent snapshot(shell, registry);
    FillStateSeed(snapshot);
    add("snapshot", snapshot, TStateFuzzObject::Snapshot, true);
    return seeds;
}

} // namespace tarvola::fuzz
