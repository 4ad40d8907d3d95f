// The explorer tree's window under Wine: rooted at a fixture folder with the icon thread, each node shows
// its placeholder first and then the icon the thread found, which is the shell's own.
#include "explorer/VirtualExplorerTreeControl.h"
#include "forms/Form.h"
#include "shell/VirtualImageThreadWin32.h"
#include "tests/explorer/ExplorerTreeRooting.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

class ExplorerTreeControlTest : public ShellLayerTest {};

TEST_F(ExplorerTreeControlTest, IconsArriveFromTheIconThread) {
    MakeTree();
    TVirtualImageThreadManager threads(TShellLayer::Get().PIDLMgr());
    TForm form{nullptr};
    auto& control = form.Create<TVirtualExplorerTreeControl>();
    control.SetParent(&form);
    ASSERT_TRUE(control.HandleAllocated());
    control.SetImageThreads(&threads);
    TCustomVirtualExplorerTree& tree = control.ExplorerTree();
    RootExplorerTreeAt(tree, WidePath(folder.Path()), {TFileObject::foFolders, TFileObject::foNonFolders},
                       true);

    const int unknownFile = DefaultSystemImageIndex(TDefaultSystemImage::UnknownFile);
    const int closedFolder = DefaultSystemImageIndex(TDefaultSystemImage::ClosedFolder);
    // Requests in flight when the tree is rebuilt are withdrawn; their results, if posted already, name
    // nodes that are gone and are dropped.
    for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node; node = tree.GetNextSibling(node))
        tree.ImageIndexFor(node, TVTImageKind::ikNormal);
    RootExplorerTreeAt(tree, WidePath(folder.Path()), {TFileObject::foFolders, TFileObject::foNonFolders},
                       true);
    EXPECT_EQ(tree.PendingIconRequests(), 0u);
    PumpFor(200ms);

    std::vector<PVirtualNode> nodes;
    for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node; node = tree.GetNextSibling(node))
        nodes.push_back(node);
    ASSERT_EQ(nodes.size(), 6u); // the hidden file is not listed
    for (PVirtualNode node : nodes) {
        const int placeholder = tree.ImageIndexFor(node, TVTImageKind::ikNormal);
        EXPECT_TRUE(placeholder == unknownFile || placeholder == closedFolder) << placeholder;
    }
    EXPECT_EQ(tree.PendingIconRequests(), nodes.size());
    // Bounded only so that a fault ends the test rather than hangs it.
    EXPECT_TRUE(PumpUntil([&] { return tree.PendingIconRequests() == 0; }, 30s));
    const std::vector<std::string> names{"empty", "sub", "a.txt", "b.ker", "c.bin", "readonly.txt"};
    for (const std::string& name : names) {
        auto item = Item(name);
        const int shellIcon = item->GetIconIndex(false, TIconSize::Small);
        EXPECT_NE(std::find_if(nodes.begin(), nodes.end(),
                               [&](PVirtualNode node) {
                                   return tree.ImageIndexFor(node, TVTImageKind::ikNormal) == shellIcon;
                               }),
                  nodes.end())
            << name;
    }
    EXPECT_EQ(tree.PendingIconRequests(), 0u) << "a node asked twice";
    control.SetImageThreads(nullptr);
    EXPECT_FALSE(threads.ThreadRunning());
}

} // namespace
} // namespace tarvola::test
