#include "explorer/ItemNodeMap.h"

#include "tests/explorer/ExplorerStateFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvola {
namespace {

using test::Item;
using test::NameOf;
using test::Path;
using Kind = TVirtualShellNotifyEvent;

TEST(ItemNodeMapTest, FindsLoadedNodesAndForgetsOnlyTheirOwn) {
    TItemNodeMap map;
    int a = 0;
    int b = 0;
    map.Add(Path({"d", "a"}), &a);
    EXPECT_EQ(map.Find(Path({"d", "a"})), &a);
    EXPECT_EQ(map.Find(Path({"d", "b"})), nullptr);
    map.Add(Path({"d", "a"}), &b); // the item got a new node
    map.Remove(Path({"d", "a"}), &a);
    EXPECT_EQ(map.Find(Path({"d", "a"})), &b) << "freeing the old node keeps the new one";
    map.Remove(Path({"d", "a"}), &b);
    EXPECT_EQ(map.Find(Path({"d", "a"})), nullptr);
    EXPECT_EQ(map.Count(), 0u);
}

// Records what the events ask; its loaded nodes are its map's.
class TRecordingTree final : public IShellChangeTarget {
public:
    TItemNodeMap map;
    std::vector<std::string> calls;
    // Refreshing this folder frees the node of this child.
    std::optional<std::pair<TItemIDList, TItemIDList>> refreshFrees;
    std::vector<std::unique_ptr<TItemIDList>> nodes; // a node is its own list

    void Load(const TItemIDList& pidl) {
        nodes.push_back(std::make_unique<TItemIDList>(pidl));
        map.Add(pidl, nodes.back().get());
    }
    std::string Name(TExplorerNodeRef node) {
        const auto* pidl = static_cast<const TItemIDList*>(node);
        return pidl->IsDesktop() ? "desktop" : NameOf(pidl->LastItem());
    }

    TExplorerNodeRef FindLoadedNode(const TItemIDList& pidl) override { return map.Find(pidl); }
    void RefreshIconSize() override { calls.push_back("icon size"); }
    void InvalidateChildren(TExplorerNodeRef node) override { calls.push_back("invalidate " + Name(node)); }
    void RefreshNodeChildren(TExplorerNodeRef node) override {
        calls.push_back("refresh " + Name(node));
        if (refreshFrees && map.Find(refreshFrees->first) == node)
            map.Remove(refreshFrees->second, map.Find(refreshFrees->second));
    }
    void RefreshTree() override { calls.push_back("refresh tree"); }
    void MediaChanged(const TItemIDList& pidl, TExplorerNodeRef node) override {
        calls.push_back("media " + NameOf(pidl.LastItem()) + (node ? " loaded" : ""));
    }
    void ReloadItem(TExplorerNodeRef node) override { calls.push_back("reload " + Name(node)); }
    void UpdateImages(std::uint32_t imageIndex) override {
        calls.push_back("images " + std::to_string(imageIndex));
    }
};

TShellChange Change(Kind kind, std::optional<TItemIDList> pidl) {
    TShellChange change;
    change.Kind = kind;
    change.PIDL1 = pidl;
    if (pidl)
        change.ParentPIDL1 = pidl->Parent();
    return change;
}

TEST(ApplyShellChangesTest, EachKindDoesItsPart) {
    struct Case {
        Kind kind;
        std::optional<TItemIDList> pidl;
        std::string call; // "" for nothing
    } cases[] = {
        {Kind::vsneAssociationChanged, std::nullopt, "icon size"},
        {Kind::vsneAttributes, Path({"d", "f"}), "invalidate d"},
        {Kind::vsneAttributes, Path({"x", "f"}), ""}, // folder not loaded
        {Kind::vsneCreate, Path({"d", "f"}), ""},
        {Kind::vsneDelete, Path({"d", "f"}), ""},
        {Kind::vsneMkDir, Path({"d", "f"}), ""},
        {Kind::vsneRmDir, Path({"d", "f"}), ""},
        {Kind::vsneRenameItem, Path({"d", "f"}), "refresh d"},
        {Kind::vsneRenameFolder, Path({"d", "f"}), "refresh d"},
        {Kind::vsneDriveAdd, Item("c"), "refresh desktop"},
        {Kind::vsneDriveRemoved, Item("c"), "refresh desktop"},
        {Kind::vsneFreeSpace, std::nullopt, "invalidate pc"},
        {Kind::vsneMediaInserted, Item("e"), "media e"},
        {Kind::vsneMediaRemoved, Item("d"), "media d loaded"},
        {Kind::vsneUpdateItem, Path({"d", "f"}), "reload f"},
        {Kind::vsneNetShare, Path({"d", "g"}), ""}, // item not loaded
        {Kind::vsneUpdateDir, Item("d"), "refresh d"},
        {Kind::vsneUpdateDir, TItemIDList(), "refresh tree"},
        {Kind::vsneUpdateDir, Item("x"), ""},
        {Kind::vsneUpdateDir, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        TRecordingTree tree;
        for (const TItemIDList& pidl : {TItemIDList(), Item("d"), Path({"d", "f"}), Item("pc")})
            tree.Load(pidl);
        ApplyShellChanges({Change(c.kind, c.pidl)}, tree, Item("pc"), false);
        EXPECT_EQ(tree.calls, c.call.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.call})
            << static_cast<int>(c.kind) << " " << c.call;
    }
    TRecordingTree tree;
    TShellChange image = Change(Kind::vsneUpdateImage, std::nullopt);
    image.Item1 = 17;
    ApplyShellChanges({image}, tree, std::nullopt, false);
    EXPECT_EQ(tree.calls, std::vector<std::string>{"images 17"});
}

TEST(ApplyShellChangesTest, NodesAreLookedUpWhenTheirEventComes) {
    TRecordingTree tree;
    tree.Load(Item("d"));
    tree.Load(Path({"d", "f"}));
    tree.refreshFrees = std::make_pair(Item("d"), Path({"d", "f"}));
    ApplyShellChanges(
        {Change(Kind::vsneUpdateDir, Item("d")), Change(Kind::vsneUpdateItem, Path({"d", "f"}))}, tree,
        std::nullopt, false);
    EXPECT_EQ(tree.calls, std::vector<std::string>{"refresh d"}) << "the freed node was not used";
}

TEST(ApplyShellChangesTest, IgnoredEventsAndEventsDuringAnEditArePassedOver) {
    TRecordingTree tree;
    tree.Load(Item("d"));
    TShellChange ignored = Change(Kind::vsneUpdateDir, Item("d"));
    ignored.Ignored = true;
    ApplyShellChanges({ignored}, tree, std::nullopt, false);
    ApplyShellChanges({Change(Kind::vsneUpdateDir, Item("d"))}, tree, std::nullopt, true);
    EXPECT_TRUE(tree.calls.empty());
}

} // namespace
} // namespace tarvola
