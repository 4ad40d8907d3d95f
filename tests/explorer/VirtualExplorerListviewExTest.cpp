// The extended list's core against a scripted native list: item count, selection and focus both ways,
// style switches, the index cache, typed search, item colours, the key table and double clicks.
#include "explorer/VirtualExplorerListviewEx.h"
#include "tests/explorer/VirtualExplorerTreeFixture.h"
#include "tree/TreeKeyboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

namespace tarvola::test {
namespace {

// A native list that only holds what it was told.
class TScriptedShadowList : public IShadowListPort {
public:
    int Count = 0;
    std::set<int> Selection;
    int Focus = -1;
    int Clears = 0;
    int SingleDeselects = 0;
    TViewStyleEx Style = TViewStyleEx::vsxReport;
    std::vector<int> Edited;
    std::vector<int> Redrawn;
    // The counts and styles the list was given, in order, when a test listens.
    std::vector<std::string>* Events = nullptr;

    bool ShadowHasWindow() const override { return true; }
    void ShadowSetItemCount(int count) override {
        if (Events != nullptr)
            Events->push_back("count " + std::to_string(count));
        Count = count;
        std::erase_if(Selection, [&](int index) { return index >= count; });
        if (Focus >= count)
            Focus = -1;
    }
    void ShadowClearSelection() override {
        ++Clears;
        Selection.clear();
    }
    void ShadowSelectItem(int index, bool selected) override {
        if (selected) {
            Selection.insert(index);
        } else {
            ++SingleDeselects;
            Selection.erase(index);
        }
    }
    void ShadowSelectAll() override {
        for (int i = 0; i < Count; ++i)
            Selection.insert(i);
    }
    std::vector<int> ShadowSelectedItems() override { return {Selection.begin(), Selection.end()}; }
    int ShadowFocusedItem() override { return Focus; }
    void ShadowFocusItem(int index) override { Focus = index; }
    void ShadowInvalidateItem(int index) override { Redrawn.push_back(index); }
    void ShadowRepaint() override {}
    void ShadowApplyStyle(TViewStyleEx style) override {
        if (Events != nullptr)
            Events->push_back("style " + std::to_string(static_cast<int>(style)));
        Style = style;
    }
    void ShadowUpdateColumnWidth() override {}
    bool ShadowEditItem(int index) override {
        Edited.push_back(index);
        return true;
    }
};

class TRecordingListEx : public TVirtualExplorerListviewExCore {
public:
    using TVirtualExplorerListviewExCore::DoBeforeCellPaint;
    using TVirtualExplorerListviewExCore::TVirtualExplorerListviewExCore;
    int Copies = 0;
    int Deletes = 0;
    std::vector<std::string> DeletedSelection;
    bool CopyToClipboard() override {
        TVirtualExplorerListviewExCore::CopyToClipboard();
        ++Copies;
        return true;
    }
    void DeleteSelected() override {
        TVirtualExplorerListviewExCore::DeleteSelected();
        ++Deletes;
        for (PVirtualNode node = GetFirstSelected(); node; node = GetNextSelected(node))
            DeletedSelection.push_back(Narrow(NodeItem(node)->NameNormal()));
    }
};

class ExplorerListviewExTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell.Add("\\presets\\sub\\deep.ker");
        for (const char* name : {"a.ker", "b.jpg", "c.ker", "d.lnk", "e.JPG", "f.ker"})
            shell.Add(std::string("\\presets\\") + name);
        shell.Add("\\lonely\\only.ker");
        list.SetShadowPort(&shadow);
        list.SetViewStyle(TViewStyleEx::vsxList);
        Root("\\presets");
    }
    void Root(const std::string& path) {
        list.SetRootFolderCustomPath(Wide(path));
        list.SetActive(true);
    }
    std::string RootName() { return TMemoryNamespace::PathOf(list.RootItem()->AbsolutePIDL()); }
    std::string NameAt(int index) {
        IExplorerItem* item = list.NodeItem(list.GetNodeByIndex(index));
        return item != nullptr ? Narrow(item->NameNormal()) : "";
    }
    int IndexOf(const std::string& name) {
        for (int i = 0; i < list.ItemCount(); ++i)
            if (NameAt(i) == name)
                return i;
        return -1;
    }
    std::set<std::string> TreeSelection() {
        std::set<std::string> names;
        for (PVirtualNode node = list.GetFirstSelected(); node; node = list.GetNextSelected(node))
            names.insert(Narrow(list.NodeItem(node)->NameNormal()));
        return names;
    }

    TMemoryNamespace shell;
    TScriptedShadowList shadow;
    TRecordingListEx list{shell};
};

TEST_F(ExplorerListviewExTest, ItemCountAndFocusFollowTheRoot) {
    EXPECT_EQ(shadow.Style, TViewStyleEx::vsxList);
    EXPECT_EQ(shadow.Count, 7);
    EXPECT_EQ(shadow.Focus, 0);
    EXPECT_TRUE(shadow.Selection.empty());
    shadow.Selection = {1, 2};
    list.ListRangeChanged();
    ASSERT_TRUE(list.BrowseToPath(u"\\presets\\sub", true, false, false, false));
    EXPECT_EQ(RootName(), "\\presets\\sub");
    EXPECT_EQ(shadow.Count, 1);
    EXPECT_EQ(shadow.Focus, 0);
    EXPECT_TRUE(shadow.Selection.empty());
    EXPECT_TRUE(TreeSelection().empty());
}

TEST_F(ExplorerListviewExTest, ItemCountFollowsAddsAndDeletes) {
    Root("\\lonely");
    ASSERT_EQ(shadow.Count, 1);
    shell.Remove("\\lonely\\only.ker");
    list.RefreshNodeChildren(list.RootNode());
    EXPECT_EQ(shadow.Count, 0);
    EXPECT_EQ(shadow.Focus, -1);
    shell.Add("\\lonely\\new.ker");
    list.RefreshNodeChildren(list.RootNode());
    EXPECT_EQ(shadow.Count, 1);
    EXPECT_EQ(NameAt(0), "new.ker");
}

TEST_F(ExplorerListviewExTest, SelectionMirrorsBothWays) {
    // From the list: one item at a time, focus, then every item cleared by -1.
    list.ListItemChanged(2, true, true, true);
    list.ListItemChanged(3, true, true, false);
    EXPECT_EQ(TreeSelection(), (std::set<std::string>{NameAt(2), NameAt(3)}));
    EXPECT_EQ(list.FocusedNode(), list.GetNodeByIndex(2));
    list.ListItemChanged(3, true, false, false);
    EXPECT_EQ(TreeSelection(), (std::set<std::string>{NameAt(2)}));
    list.ListItemChanged(-1, true, false, false);
    EXPECT_TRUE(TreeSelection().empty());

    // A range is read back whole, whatever the notification said.
    shadow.Selection = {1, 2, 3, 4};
    shadow.Focus = 4;
    list.ListRangeChanged();
    EXPECT_EQ(TreeSelection().size(), 4u);
    EXPECT_EQ(list.FocusedNode(), list.GetNodeByIndex(4));

    // From the tree: cleared in one call, then the tree's items; the list's echo is ignored meanwhile.
    shadow.SingleDeselects = 0;
    list.ClearSelection();
    list.SetSelected(list.GetNodeByIndex(5), true);
    list.SetFocusedNode(list.GetNodeByIndex(5));
    list.SyncSelection(true);
    EXPECT_EQ(shadow.Selection, (std::set<int>{5}));
    EXPECT_EQ(shadow.Focus, 5);
    EXPECT_EQ(shadow.SingleDeselects, 0);
}

TEST_F(ExplorerListviewExTest, ListRedrawsOnlyWhatTheTreeChanged) {
    // The list draws the selection and focus it reports itself: drawing those items again costs a
    // redraw per item (every item when a select-all is cleared). What only the tree knows, such as an
    // icon that came in, must still be drawn.
    struct TCase {
        const char* what;
        std::function<void()> act;
        std::vector<int> redrawn;
    };
    const TCase cases[] = {
        {"select and focus from the list", [&] { list.ListItemChanged(2, true, true, true); }, {}},
        {"deselect from the list", [&] { list.ListItemChanged(2, true, false, false); }, {}},
        {"clear every item from the list",
         [&] {
             list.ListItemChanged(1, true, true, false);
             list.ListItemChanged(3, true, true, false);
             list.ListItemChanged(-1, true, false, false);
         },
         {}},
        {"range read back",
         [&] {
             shadow.Selection = {1, 2, 4};
             shadow.Focus = 4;
             list.ListRangeChanged();
         },
         {}},
        {"the tree's own change of an item", [&] { list.InvalidateNode(list.GetNodeByIndex(4)); }, {4}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        shadow.Redrawn.clear();
        c.act();
        EXPECT_EQ(shadow.Redrawn, c.redrawn);
    }
}

TEST_F(ExplorerListviewExTest, EchoWhileSyncingIsIgnored) {
    // A native list reports the changes the core makes; while the core copies its selection in, those
    // reports must not change the tree.
    struct TEchoingList : TScriptedShadowList {
        TCustomVirtualExplorerListviewEx* Core = nullptr;
        void ShadowClearSelection() override {
            TScriptedShadowList::ShadowClearSelection();
            Core->ListItemChanged(-1, true, false, false);
        }
    } echoing;
    echoing.Core = &list;
    list.SetShadowPort(&echoing);
    list.SetSelected(list.GetNodeByIndex(1), true);
    list.SyncSelection(true);
    EXPECT_EQ(TreeSelection().size(), 1u);
    EXPECT_EQ(echoing.Selection, (std::set<int>{1}));
    list.SetShadowPort(nullptr);
}

TEST_F(ExplorerListviewExTest, ARectangleFromTheListIsSelectedOnBothSidesAtOnce) {
    // The list reports every item it is told to select; those reports are not read back one by one.
    struct TEchoingList : TScriptedShadowList {
        TCustomVirtualExplorerListviewEx* Core = nullptr;
        void ShadowSelectItem(int index, bool selected) override {
            TScriptedShadowList::ShadowSelectItem(index, selected);
            Core->ListItemChanged(index, true, selected, false);
        }
    } echoing;
    echoing.Core = &list;
    list.SetShadowPort(&echoing);
    list.SetSelected(list.GetNodeByIndex(1), true);
    list.SetSelected(list.GetNodeByIndex(5), true);
    std::vector<PVirtualNode> changes;
    auto recordChange = [&](TBaseVirtualTree&, PVirtualNode node) { changes.push_back(node); };
    list.OnChange = TVTNodeEvent::Bind(recordChange);

    list.ListSelectItems({2, 3, 4}, 4);
    EXPECT_EQ(echoing.Selection, (std::set<int>{2, 3, 4}));
    EXPECT_EQ(echoing.Focus, 4);
    EXPECT_EQ(TreeSelection(), (std::set<std::string>{NameAt(2), NameAt(3), NameAt(4)}));
    EXPECT_EQ(list.FocusedNode(), list.GetNodeByIndex(4));
    // The nodes went in as one batch, not one change per node.
    EXPECT_EQ(
        std::count_if(changes.begin(), changes.end(), [](PVirtualNode node) { return node != nullptr; }), 0);

    // Without multiple selection only the focused item is selected.
    list.TreeOptions().SetSelectionOptions({});
    list.ListSelectItems({0, 1, 2}, 2);
    EXPECT_EQ(echoing.Selection, (std::set<int>{2}));
    EXPECT_EQ(TreeSelection(), (std::set<std::string>{NameAt(2)}));
    list.OnChange.Reset();
    list.SetShadowPort(nullptr);
}

TEST_F(ExplorerListviewExTest, StyleSwitchesKeepSelectionAndFocus) {
    list.SetViewStyle(TViewStyleEx::vsxReport);
    for (int i : {1, 3, 5})
        list.SetSelected(list.GetNodeByIndex(i), true);
    list.SetFocusedNode(list.GetNodeByIndex(3));
    list.SetViewStyle(TViewStyleEx::vsxList);
    EXPECT_EQ(shadow.Selection, (std::set<int>{1, 3, 5}));
    EXPECT_EQ(shadow.Focus, 3);
    for (TViewStyleEx style : {TViewStyleEx::vsxIcon, TViewStyleEx::vsxSmallIcon, TViewStyleEx::vsxThumbs,
                               TViewStyleEx::vsxList}) {
        list.SetViewStyle(style);
        EXPECT_EQ(shadow.Style, style);
        EXPECT_EQ(shadow.Selection, (std::set<int>{1, 3, 5}));
        EXPECT_EQ(shadow.Focus, 3);
    }
    // Changed in the list, then back to report: the tree takes the list's selection.
    shadow.Selection = {0, 2};
    shadow.Focus = 2;
    list.SetViewStyle(TViewStyleEx::vsxReport);
    EXPECT_EQ(TreeSelection(), (std::set<std::string>{NameAt(0), NameAt(2)}));
    EXPECT_EQ(list.FocusedNode(), list.GetNodeByIndex(2));
}

// The native list measures every caption when it gets its count in the list or small icon style, and when
// it takes one of those styles: the items' names are found together just before, and not for the styles
// that measure none.
TEST_F(ExplorerListviewExTest, NamesAreFoundTogetherBeforeTheListMeasuresThem) {
    std::vector<std::string> events;
    shell.OnPrepareNames = [&](std::size_t items) { events.push_back("names " + std::to_string(items)); };
    shadow.Events = &events;
    const auto style = [](TViewStyleEx s) { return "style " + std::to_string(static_cast<int>(s)); };
    const auto lastTwo = [&] {
        return events.size() < 2 ? events : std::vector<std::string>(events.end() - 2, events.end());
    };

    ASSERT_TRUE(list.BrowseToPath(u"\\presets\\sub", true, false, false, false));
    EXPECT_EQ(lastTwo(), (std::vector<std::string>{"names 1", "count 1"}));
    ASSERT_TRUE(list.BrowseToPath(u"\\presets", true, false, false, false));
    EXPECT_EQ(lastTwo(), (std::vector<std::string>{"names 7", "count 7"}));

    const struct {
        TViewStyleEx to;
        std::vector<std::string> first; // the events the switch starts with
    } switches[] = {
        {TViewStyleEx::vsxIcon, {style(TViewStyleEx::vsxIcon)}},
        {TViewStyleEx::vsxSmallIcon, {"names 7", style(TViewStyleEx::vsxSmallIcon)}},
        {TViewStyleEx::vsxReport, {}},
        {TViewStyleEx::vsxList, {"names 7", style(TViewStyleEx::vsxList)}},
    };
    for (const auto& step : switches) {
        SCOPED_TRACE(static_cast<int>(step.to));
        events.clear();
        list.SetViewStyle(step.to);
        ASSERT_GE(events.size(), step.first.size());
        EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + step.first.size()), step.first);
        if (step.first.empty() || step.first.front() != "names 7") {
            EXPECT_EQ(std::count(events.begin(), events.end(), "names 7"), 0);
        }
    }
    shell.OnPrepareNames = nullptr;
    shadow.Events = nullptr;
}

TEST_F(ExplorerListviewExTest, NodeByIndex) {
    const int count = list.ItemCount();
    std::vector<PVirtualNode> nodes;
    for (PVirtualNode node = list.RootNode()->FirstChild; node; node = node->NextSibling)
        nodes.push_back(node);
    ASSERT_EQ(static_cast<int>(nodes.size()), count);
    struct TCase {
        int CacheAt; // -1: empty cache
        int Index;
    };
    const TCase cases[] = {{-1, 0}, {-1, 6}, {-1, count - 1}, {3, 3},    {3, 1},
                           {3, 6},  {0, 7},  {7, 0},          {2, count}};
    for (const TCase& c : cases) {
        list.ResetNodeByIndexCache();
        if (c.CacheAt >= 0)
            list.GetNodeByIndex(c.CacheAt);
        const PVirtualNode expected = c.Index < count ? nodes[static_cast<std::size_t>(c.Index)] : nullptr;
        EXPECT_EQ(list.GetNodeByIndex(c.Index), expected) << c.CacheAt << " " << c.Index;
    }
    EXPECT_EQ(list.GetNodeByIndex(-1), nullptr);
    // A freed node leaves the cache at once, before any structure change is reported.
    list.GetNodeByIndex(4);
    ASSERT_EQ(list.NodeByIndexCache(), nodes[4]);
    list.BeginUpdate();
    list.DeleteNode(nodes[4]);
    EXPECT_EQ(list.NodeByIndexCache(), nullptr);
    list.EndUpdate();
}

TEST_F(ExplorerListviewExTest, RootThatNeverComesLeavesTheListLive) {
    list.SetActive(false);
    list.SetRootFolderCustomPath(u"\\missing");
    EXPECT_FALSE(list.ShadowMuted());
    list.SetActive(true);
    list.SetRootFolderCustomPath(u"\\missing");
    EXPECT_FALSE(list.ShadowMuted());
    Root("\\presets");
    EXPECT_GE(list.FindItem(u"a", 0, true), 0);
}

TEST_F(ExplorerListviewExTest, TypedSearch) {
    struct TCase {
        std::u16string Text;
        int Start;
        bool Wrap;
        std::string Found; // "" for none
    };
    const TCase cases[] = {
        {u"A", 0, false, "a.ker"}, {u"e", 0, false, "e.JPG"}, {u"E.j", 0, false, "e.JPG"},
        {u"a", 3, false, ""},      {u"a", 3, true, "a.ker"},  {u"sub", 0, false, "sub"},
        {u"zz", 0, true, ""},      {u"", 0, true, ""},
    };
    for (const TCase& c : cases) {
        const int found = list.FindItem(c.Text, c.Start, c.Wrap);
        EXPECT_EQ(found < 0 ? "" : NameAt(found), c.Found) << Narrow(WideString(c.Text)) << " " << c.Start;
    }
}

TEST_F(ExplorerListviewExTest, ItemColours) {
    list.TextColors() = {0x000080, 0x008000, 0xFF0000};
    struct TCase {
        std::string Name;
        bool Selected;
        bool NoColours;
        std::uint32_t Background;
        std::uint32_t Text;
    };
    const TCase cases[] = {
        {"sub", false, false, NoListColor, 0x000080},   {"a.ker", false, false, NoListColor, 0x008000},
        {"b.jpg", false, false, 0xBADDDD, 0x008000},    {"e.JPG", false, false, 0xBADDDD, 0x008000},
        {"d.lnk", false, false, NoListColor, 0x008000}, {"b.jpg", true, false, NoListColor, NoListColor},
        {"b.jpg", false, true, 0xBADDDD, NoListColor},  {"sub", false, true, NoListColor, NoListColor},
    };
    for (const TCase& c : cases) {
        TVETFolderOptions options = list.FolderOptions();
        list.SetFolderOptions(c.NoColours ? options.With(TVETFolderOption::toNoUseVETColorsProp)
                                          : options.Without(TVETFolderOption::toNoUseVETColorsProp));
        const TListItemPaint paint = list.ItemPaint(IndexOf(c.Name), c.Selected);
        EXPECT_EQ(paint.Background, c.Background) << c.Name;
        EXPECT_EQ(paint.Text, c.Text) << c.Name;
    }
    EXPECT_EQ(list.ItemPaint(list.ItemCount(), false).Text, NoListColor);
    EXPECT_EQ(list.ExtensionIndex(u"x.lnk"), -1);
}

TEST_F(ExplorerListviewExTest, PictureFilesTakeTheThumbnailOptionsHighlight) {
    TThumbsOptions options;
    options.HighlightColor = 0x123456;
    list.ThumbnailHighlight = &options;
    // The report style fills each cell of a picture file's row by the same rule, before the owner's event.
    const TTreeRect cell{10, 20, 110, 38};
    std::vector<std::uint32_t> filled;
    int ownerEvents = 0;
    list.FillCell = [&](TCanvas*, const TTreeRect& rect, std::uint32_t color) {
        EXPECT_EQ(rect, cell);
        EXPECT_EQ(ownerEvents, 0);
        filled.push_back(color);
    };
    auto countOwnerEvent = [&](TBaseVirtualTree&, TCanvas*, PVirtualNode, TColumnIndex, const TTreeRect&) {
        ++ownerEvents;
    };
    list.OnBeforeCellPaint = TBaseVirtualTree::TVTCellPaintEvent::Bind(countOwnerEvent);
    struct TCase {
        TThumbnailHighlight Highlight;
        std::string Name;
        std::uint32_t Background;
    };
    const TCase cases[] = {
        {TThumbnailHighlight::thNone, "b.jpg", NoListColor},
        {TThumbnailHighlight::thSingleColor, "b.jpg", 0x123456},
        {TThumbnailHighlight::thSingleColor, "e.JPG", 0x123456},
        {TThumbnailHighlight::thSingleColor, "a.ker", NoListColor},
        {TThumbnailHighlight::thSingleColor, "d.lnk", NoListColor},
        {TThumbnailHighlight::thSingleColor, "sub", NoListColor},
        {TThumbnailHighlight::thMultipleColors, "b.jpg", 0xBADDDD},
        {TThumbnailHighlight::thMultipleColors, "a.ker", NoListColor},
    };
    for (const TCase& c : cases) {
        options.Highlight = c.Highlight;
        EXPECT_EQ(list.ItemPaint(IndexOf(c.Name), false).Background, c.Background)
            << c.Name << " " << static_cast<int>(c.Highlight);
        EXPECT_EQ(list.ItemPaint(IndexOf(c.Name), true).Background, NoListColor) << c.Name;
        filled.clear();
        ownerEvents = 0;
        list.DoBeforeCellPaint(nullptr, list.GetNodeByIndex(IndexOf(c.Name)), 0, cell);
        EXPECT_EQ(filled, c.Background == NoListColor ? std::vector<std::uint32_t>{}
                                                      : std::vector<std::uint32_t>{c.Background})
            << c.Name << " " << static_cast<int>(c.Highlight);
        EXPECT_EQ(ownerEvents, 1);
    }
    list.FillCell = nullptr;
    list.OnBeforeCellPaint.Reset();
    list.ThumbnailHighlight = nullptr;
    list.ExtractionExtensions().Add(u".pdf");
    EXPECT_GE(list.ExtensionIndex(u"x.pdf"), 0);
    EXPECT_EQ(list.ItemCaption(list.ItemCount()), u"");
}

TEST_F(ExplorerListviewExTest, KeyTable) {
    // Enter on a folder browses in, Backspace comes back.
    shadow.Selection = {IndexOf("sub")};
    EXPECT_TRUE(list.ListKeyDown(0x0D, 0));
    EXPECT_EQ(RootName(), "\\presets\\sub");
    list.ListKeyDown(vkey::Back, 0);
    EXPECT_EQ(RootName(), "\\presets");
    // Ctrl+A selects every item in the list and the tree.
    list.ListKeyDown(vkey::KeyA, keymod::Ctrl);
    EXPECT_EQ(static_cast<int>(list.SelectedCount()), list.ItemCount());
    // The clipboard keys react to the virtual keys only, and act on the list's selection.
    list.ListKeyDown(0x63, keymod::Ctrl);
    EXPECT_EQ(list.Copies, 0);
    list.ListKeyDown(0x43, keymod::Ctrl);
    EXPECT_EQ(list.Copies, 1);
    shadow.Selection = {IndexOf("c.ker")};
    list.ListKeyDown(0x2E, 0);
    EXPECT_EQ(list.DeletedSelection, std::vector<std::string>{"c.ker"});
    // F2 edits the focused item unless the list is read-only.
    shadow.Focus = 2;
    EXPECT_TRUE(list.ListKeyDown(vkey::F2, 0));
    list.MiscOptions = list.MiscOptions.With(TVETMiscOption::toVETReadOnly);
    EXPECT_FALSE(list.ListKeyDown(vkey::F2, 0));
    EXPECT_EQ(shadow.Edited, std::vector<int>{2});
    // F5 reads the folder again.
    shell.Add("\\presets\\g.ker");
    list.ListKeyDown(0x74, 0);
    EXPECT_EQ(shadow.Count, 8);
}

TEST_F(ExplorerListviewExTest, DoubleClickAfterTheOwnerBrowsedAway) {
    // The owner's handler re-roots the list, which frees the clicked node: it is not executed then.
    const int sub = IndexOf("sub");
    int events = 0;
    list.ListDoubleClick(sub, [&] {
        ++events;
        Root("\\lonely");
    });
    EXPECT_EQ(events, 1);
    EXPECT_EQ(RootName(), "\\lonely");
    // Without a handler a folder is browsed into.
    Root("\\presets");
    list.ListDoubleClick(IndexOf("sub"), nullptr);
    EXPECT_EQ(RootName(), "\\presets\\sub");
}

TEST_F(ExplorerListviewExTest, FirstEditAfterFocusIsRefused) {
    list.ListFocusEntered();
    EXPECT_FALSE(list.ListCanEdit(1));
    EXPECT_TRUE(list.ListCanEdit(1));
    EXPECT_FALSE(list.ListCanEdit(list.ItemCount()));
}

} // namespace
} // namespace tarvola::test
