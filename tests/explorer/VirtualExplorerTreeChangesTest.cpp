// The explorer tree's reaction to the shell's change notifications: synthetic event lists as the notifier
// posts them, applied to a tree over an in-memory namespace, each list's references counted.
#include "tests/explorer/ExplorerShellFixture.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

using Kind = TVirtualShellNotifyEvent;
using Names = std::vector<std::string>;

class ExplorerChangesTest : public testing::Test {
protected:
    ExplorerChangesTest() {
        ns.Add("\\presets\\");
        ns.Add("\\presets\\a.ker");
        ns.Add("\\presets\\b.ker");
        ns.Add("\\presets\\sub\\inner.ker");
        tree.SetShellPort(&port);
        tree.SetFolderOptions({TVETFolderOption::toHideRootFolder, TVETFolderOption::toFoldersExpandable});
        tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        tree.SetRootFolderCustomPath(u"\\presets");
        tree.SetActive(true);
    }
    struct TEventSpec {
        Kind kind;
        std::vector<std::string> pidl1;
        std::uint32_t item1 = 0;
    };
    // A list as the notifier hands it to one control, with one more reference that the test keeps to see
    // how many the tree gave back.
    TVirtualShellEventList* List(const std::vector<TEventSpec>& specs) {
        std::vector<TShellEventPtr> events;
        for (const TEventSpec& spec : specs) {
            const TItemIDList pidl = ListOf(spec.pidl1);
            events.push_back(
                std::make_unique<TVirtualShellEvent>(manager, spec.kind, pidl.Data(), nullptr, spec.item1));
        }
        auto* list = new TVirtualShellEventList(std::move(events));
        list->AddRef();
        return list;
    }
    // Hands the list to the tree; true when the tree released exactly its one reference.
    bool Post(TVirtualShellEventList* list) {
        tree.HandleShellNotify(list);
        const bool once = list->RefCount() == 1;
        list->Release();
        return once;
    }
    Names Top() { return ChildNames(tree, tree.RootNode()); }

public:
    void IgnoreEvent(TCustomVirtualExplorerTree&, TShellChange& event) {
        ++seen;
        event.Ignored = true;
    }
    void FailOnEvent(TCustomVirtualExplorerTree&, TShellChange&) { throw std::runtime_error("handler"); }

    int seen = 0;

protected:
    TPIDLManager manager{MallocAllocator()};
    TMemoryNamespace ns;
    TRecordingShellPort port;
    TClientAreaHost host;
    TEditRecordingTree tree{ns, &host};
};

TEST_F(ExplorerChangesTest, EventKindsChangeTheLoadedNodes) {
    const PVirtualNode a = ChildNamed(tree, tree.RootNode(), "a.ker");
    tree.SetSelected(a, true);
    ns.Add("\\presets\\c.ker");
    // Create alone waits for the folder's update.
    EXPECT_TRUE(Post(List({{Kind::vsneCreate, {"presets", "c.ker"}}})));
    EXPECT_EQ(Top(), (Names{"sub", "a.ker", "b.ker"}));
    EXPECT_TRUE(Post(List({{Kind::vsneCreate, {"presets", "c.ker"}}, {Kind::vsneUpdateDir, {"presets"}}})));
    EXPECT_EQ(Top(), (Names{"sub", "a.ker", "b.ker", "c.ker"}));
    EXPECT_EQ(ChildNamed(tree, tree.RootNode(), "a.ker"), a) << "the other nodes stay";
    EXPECT_TRUE(tree.Selected(a));

    ns.Remove("\\presets\\b.ker");
    EXPECT_TRUE(Post(List({{Kind::vsneDelete, {"presets", "b.ker"}}, {Kind::vsneUpdateDir, {"presets"}}})));
    EXPECT_EQ(Top(), (Names{"sub", "a.ker", "c.ker"}));

    // A rename refreshes the item's folder.
    ns.Remove("\\presets\\c.ker");
    ns.Add("\\presets\\d.ker");
    EXPECT_TRUE(Post(List({{Kind::vsneRenameItem, {"presets", "c.ker"}}})));
    EXPECT_EQ(Top(), (Names{"sub", "a.ker", "d.ker"}));

    // A folder that is not loaded is left for its first expansion.
    ns.Add("\\presets\\sub\\new.ker");
    EXPECT_TRUE(Post(List({{Kind::vsneUpdateDir, {"presets", "sub"}}})));
    const PVirtualNode sub = ChildNamed(tree, tree.RootNode(), "sub");
    tree.SetExpanded(sub, true);
    EXPECT_EQ(ChildNames(tree, sub), (Names{"inner.ker", "new.ker"}));
    EXPECT_EQ(tree.LoadedNodes().Find(ListOf({"presets", "sub", "new.ker"})),
              ChildNamed(tree, sub, "new.ker"));
}

TEST_F(ExplorerChangesTest, ListsAreReleasedOnceWhenSkippedIgnoredOrEditing) {
    ns.Add("\\presets\\c.ker");
    // Skipped while the shell's menu is up: nothing changes until the next mouse move, which refreshes once.
    tree.ContextMenuManager().MenuShown = true;
    EXPECT_TRUE(Post(List({{Kind::vsneUpdateDir, {"presets"}}})));
    EXPECT_TRUE(Post(List({{Kind::vsneUpdateDir, {"presets"}}})));
    EXPECT_EQ(Top(), (Names{"sub", "a.ker", "b.ker"}));
    EXPECT_TRUE(tree.NotificationSkipped());
    const int before = ns.Enumerations["\\presets"];
    tree.ShellNotifyMouseMove();
    EXPECT_EQ(ns.Enumerations["\\presets"], before) << "still in the menu";
    tree.ContextMenuManager().MenuShown = false;
    tree.ShellNotifyMouseMove();
    tree.ShellNotifyMouseMove();
    EXPECT_EQ(ns.Enumerations["\\presets"], before + 1);
    EXPECT_EQ(Top(), (Names{"sub", "a.ker", "b.ker", "c.ker"}));

    // Skipped during a drag over the tree.
    int data = 0;
    std::uint32_t effect = 7;
    tree.ShellDragEnter(reinterpret_cast<IDataObject*>(&data), kKeyStateLeftButton, {5, 5}, {5, 5}, effect);
    EXPECT_TRUE(Post(List({{Kind::vsneUpdateDir, {"presets"}}})));
    tree.ShellDragLeave();

    // Ignored by the owner's handler.
    ns.Add("\\presets\\e.ker");
    tree.OnShellNotify = TVETShellNotifyEvent::Bind<&ExplorerChangesTest::IgnoreEvent>(this);
    EXPECT_TRUE(Post(List({{Kind::vsneUpdateDir, {"presets"}}, {Kind::vsneUpdateDir, {"presets"}}})));
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(ChildNamed(tree, tree.RootNode(), "e.ker"), nullptr);
    tree.OnShellNotify = {};

    // A list whose handling fails is still released.
    tree.OnShellNotify = TVETShellNotifyEvent::Bind<&ExplorerChangesTest::FailOnEvent>(this);
    TVirtualShellEventList* failing = List({{Kind::vsneUpdateDir, {"presets"}}});
    EXPECT_THROW(tree.HandleShellNotify(failing), std::runtime_error);
    EXPECT_EQ(failing->RefCount(), 1);
    failing->Release();
    tree.OnShellNotify = {};

    tree.HandleShellNotify(nullptr);
}

TEST_F(ExplorerChangesTest, AssociationChangeRebuildsImagesUnlessTheOptionSaysNo) {
    const int before = ns.Enumerations["\\presets"];
    tree.MiscOptions = tree.MiscOptions.With(TVETMiscOption::toNoRebuildIconListOnAssocChange);
    EXPECT_TRUE(Post(List({{Kind::vsneAssociationChanged, {}}})));
    EXPECT_EQ(port.ImageRefreshes, 0);
    EXPECT_EQ(ns.Enumerations["\\presets"], before);
    tree.MiscOptions = tree.MiscOptions.Without(TVETMiscOption::toNoRebuildIconListOnAssocChange);
    EXPECT_TRUE(Post(List({{Kind::vsneAssociationChanged, {}}})));
    EXPECT_EQ(port.ImageRefreshes, 1);
    EXPECT_EQ(ns.Enumerations["\\presets"], before + 1);
}

TEST_F(ExplorerChangesTest, LoadedNodesFollowTheTree) {
    const TItemIDList a = ListOf({"presets", "a.ker"});
    const PVirtualNode node = tree.LoadedNodes().Find(a) != nullptr
                                  ? static_cast<PVirtualNode>(const_cast<void*>(tree.LoadedNodes().Find(a)))
                                  : nullptr;
    EXPECT_EQ(node, ChildNamed(tree, tree.RootNode(), "a.ker"));
    tree.DeleteNode(node);
    EXPECT_EQ(tree.LoadedNodes().Find(a), nullptr);
    EXPECT_FALSE(tree.IsLiveNode(node));
    tree.Clear();
    EXPECT_EQ(tree.LoadedNodes().Find(ListOf({"presets", "b.ker"})), nullptr);
}

} // namespace
} // namespace tarvola::test
