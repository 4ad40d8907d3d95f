// The explorer tree's header over an in-memory namespace: shell columns with their default widths and
// on-by-default states, the built-in columns, header clicks, the column layout stored per folder, the
// column menu, the settings dialog's effect on the header, and the text colours.
#include "tests/explorer/VirtualExplorerTreeFixture.h"

#include "audio/Streams.h"
#include "explorer/ColumnMenuModel.h"
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TreeViewHost.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

// A window that only counts repaints: the header is built only for a tree with a window.
class TWindowedHost : public NullTreeViewHost {
public:
    bool HasWindow() const override { return true; }
    int ClientWidth() const override { return 800; }
    int ClientHeight() const override { return 400; }
    void InvalidateAll() override { ++Repaints; }
    int Repaints = 0;
};

TDetailsColumnStates OnByDefault(bool on, bool secondary = false) {
    TDetailsColumnStates state;
    state.onByDefault = on;
    state.secondaryUI = secondary;
    return state;
}

// Eight columns, the first four on by default.
void GiveEightColumns(TMemoryEntry& folder) {
    folder.Columns.clear();
    const char* titles[] = {"Name", "Size", "Type", "Modified", "Attributes", "Owner", "Author", "Title"};
    for (int i = 0; i < 8; ++i)
        folder.Columns.push_back({titles[i], OnByDefault(i < 4)});
}

std::vector<std::uint8_t> HeaderBytes(TBaseVirtualTree& tree) {
    TMemoryStream stream;
    tree.Header().SaveToStream(stream);
    return std::vector<std::uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

class ExplorerColumnsTest : public testing::Test {
protected:
    ExplorerColumnsTest() {
        GiveEightColumns(ns.Add("\\presets\\"));
        ns.Add("\\presets\\Zeta.ker", 10);
        ns.Add("\\presets\\alpha.ker", 2048);
        ns.Add("\\presets\\Beta\\");
        TMemoryEntry& other = ns.Add("\\other\\");
        other.Columns = {{"Name", OnByDefault(true)}, {"Comment", OnByDefault(true)}};
        ns.Add("\\other\\x.ker");
    }

    void RootAt(const char* path, TColumnDetailType mode = TColumnDetailType::cdShellColumns) {
        tree.SetFolderOptions({TVETFolderOption::toHideRootFolder});
        tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        tree.SetRootFolderCustomPath(Wide(path));
        tree.SetActive(true);
        tree.SetColumnDetails(mode);
    }
    TVirtualTreeColumns& Columns() { return tree.Header().Columns(); }
    std::vector<int> Widths() {
        std::vector<int> widths;
        for (int i = 0; i < Columns().Count(); ++i)
            widths.push_back(Columns()[i].Width());
        return widths;
    }
    std::vector<bool> Visible() {
        std::vector<bool> visible;
        for (int i = 0; i < Columns().Count(); ++i)
            visible.push_back(Columns()[i].Has(coVisible));
        return visible;
    }
    std::vector<int> Positions() {
        std::vector<int> positions;
        for (int i = 0; i < Columns().Count(); ++i)
            positions.push_back(Columns()[i].Position());
        return positions;
    }
    void Click(TColumnIndex column, TShiftState shift, TMouseButton button = TMouseButton::mbLeft) {
        tree.HeaderBridge().DoHeaderClick(column, button, shift, 0, 0);
    }

    TMemoryNamespace ns;
    TWindowedHost host;
    TVirtualExplorerTree tree{ns, &host};
};

TEST_F(ExplorerColumnsTest, ShellHeaderShowsTheColumnsOnByDefaultWithTheTableWidths) {
    RootAt("\\presets");
    EXPECT_TRUE(tree.Header().Has(hoVisible));
    ASSERT_EQ(Columns().Count(), 8);
    EXPECT_EQ(tree.ShellColumnCount, 8);
    EXPECT_EQ(Visible(), (std::vector<bool>{true, true, true, true, false, false, false, false}));
    EXPECT_EQ(Widths(), (std::vector<int>{180, 96, 120, 120, 60, 180, 120, 120}));
    EXPECT_EQ(Columns()[5].Text(), L"Owner");
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(static_cast<TVETColumn&>(Columns()[i]).ColumnDetails(), TColumnDetails::cdCustom);
        EXPECT_EQ(Columns()[i].Alignment(), i == 1 ? TAlignment::taRightJustify : TAlignment::taLeftJustify);
    }
}

TEST_F(ExplorerColumnsTest, SizeColumnIsRightAlignedOnlyForAVisibleFileSystemRoot) {
    struct Case {
        bool hiddenRoot;
        bool option;
        TAlignment expected;
    };
    for (const Case& c :
         {Case{false, true, TAlignment::taRightJustify}, Case{true, true, TAlignment::taLeftJustify},
          Case{false, false, TAlignment::taLeftJustify}}) {
        ns.Find(ListOf({"presets"}))->Hidden = c.hiddenRoot;
        tree.ShellOptions =
            c.option ? TVETShellOptions{TVETShellOption::toRightAlignSizeColumn} : TVETShellOptions{};
        tree.SetActive(false);
        RootAt("\\presets");
        ASSERT_EQ(Columns().Count(), 8);
        EXPECT_EQ(Columns()[1].Alignment(), c.expected) << c.hiddenRoot << c.option;
    }
}

TEST_F(ExplorerColumnsTest, DefaultWidthTablesBySpecialFolder) {
    struct Case {
        TColumnFolderKind kind;
        int count;
        int column;
        int width;
    };
    const Case cases[] = {
        {TColumnFolderKind::MyComputer, 5, 1, 120},   {TColumnFolderKind::MyComputer, 5, 3, 96},
        {TColumnFolderKind::MyComputer, 5, 4, 60},    {TColumnFolderKind::ControlPanel, 2, 1, 300},
        {TColumnFolderKind::ControlPanel, 3, 2, 120}, {TColumnFolderKind::Network, 5, 1, 300},
        {TColumnFolderKind::BelowNetwork, 2, 1, 300}, {TColumnFolderKind::BelowNetwork, 3, 1, 96},
        {TColumnFolderKind::General, 8, 27, 48},      {TColumnFolderKind::General, 8, 28, 180},
        {TColumnFolderKind::General, 8, 36, 180},     {TColumnFolderKind::General, 8, 37, 120},
        {TColumnFolderKind::General, 8, 22, 102},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultShellColumnWidth(c.kind, c.count, c.column), c.width)
            << static_cast<int>(c.kind) << " " << c.column;
}

TEST_F(ExplorerColumnsTest, BuiltInHeaderAndUserMode) {
    RootAt("\\presets", TColumnDetailType::cdVETColumns);
    ASSERT_EQ(Columns().Count(), 9);
    const wchar_t* titles[] = {L"Name",     L"Size",    L"Type",     L"Modified", L"Attributes",
                               L"Accessed", L"Created", L"DOS Name", L"Path"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(Columns()[i].Text(), titles[i]);
        EXPECT_EQ(Columns()[i].Has(coVisible), i < 5) << i;
    }
    EXPECT_EQ(Columns()[1].Width(), 96);
    EXPECT_EQ(Columns()[1].Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(Columns()[4].Width(), 60);
    EXPECT_EQ(Columns()[8].Width(), 150);
    EXPECT_EQ(static_cast<TVETColumn&>(Columns()[8]).ColumnDetails(), TColumnDetails::cdPath);

    tree.SetColumnDetails(TColumnDetailType::cdUser);
    EXPECT_EQ(Columns().Count(), 0);
    EXPECT_FALSE(tree.Header().Has(hoVisible));
}

TEST_F(ExplorerColumnsTest, ColumnKindOfAShellHeaderStaysCustom) {
    RootAt("\\presets");
    auto& column = static_cast<TVETColumn&>(Columns()[2]);
    column.SetColumnDetails(TColumnDetails::cdSize);
    EXPECT_EQ(column.ColumnDetails(), TColumnDetails::cdCustom);
    EXPECT_EQ(column.Text(), L"Type");
    EXPECT_EQ(column.Width(), 120);
}

TEST_F(ExplorerColumnsTest, PlainHeaderClicksSortAndFlipOnTheSortColumn) {
    RootAt("\\presets");
    struct Case {
        TColumnIndex sortColumn;
        TSortDirection direction;
        TColumnIndex clicked;
        TColumnIndex expectedColumn;
        TSortDirection expectedDirection;
    };
    const auto up = TSortDirection::sdAscending;
    const auto down = TSortDirection::sdDescending;
    const Case cases[] = {{NoColumn, up, 2, 2, up},
                          {2, up, 2, 2, down},
                          {2, down, 2, 2, up},
                          {2, down, 0, 0, down},
                          {0, up, NoColumn, 0, up}};
    for (const Case& c : cases) {
        tree.Header().SetSortColumn(c.sortColumn);
        tree.Header().SetSortDirection(c.direction);
        Click(c.clicked, 0);
        EXPECT_EQ(tree.Header().SortColumn(), c.expectedColumn) << c.clicked;
        EXPECT_EQ(tree.Header().SortDirection(), c.expectedDirection) << c.clicked;
    }
    // The right button does not sort.
    Click(3, 0, TMouseButton::mbRight);
    EXPECT_EQ(tree.Header().SortColumn(), 0);
}

TEST_F(ExplorerColumnsTest, CtrlWidensAndShiftShrinksWithTheWidthRemembered) {
    RootAt("\\presets");
    const int widest = tree.GetMaxColumnWidth(0);
    Click(0, ssCtrl);
    EXPECT_EQ(Columns()[0].Width(), std::clamp(widest, Columns()[0].MinWidth(), Columns()[0].MaxWidth()));
    Click(0, ssCtrl);
    EXPECT_EQ(Columns()[0].Width(), 180);

    Columns()[2].SetMinWidth(0);
    Click(2, ssShift);
    EXPECT_EQ(Columns()[2].Width(), 0);
    EXPECT_EQ(tree.ColumnManagerOf(tree.RootNode()->FirstChild)->Toggle(2).State, TColumnManager::tsShrunk);
    Click(2, ssShift);
    EXPECT_EQ(Columns()[2].Width(), 120);
    // A click beside every column changes nothing.
    Click(NoColumn, ssShift);
    Click(40, ssCtrl);
    EXPECT_EQ(Widths(), (std::vector<int>{180, 96, 120, 120, 60, 180, 120, 120}));
}

TEST_F(ExplorerColumnsTest, WidthClicksOnAnEmptyTreeAreSafe) {
    RootAt("\\presets\\Beta"); // an empty folder: no top-level node, so no width memory
    ns.Find(ListOf({"presets", "Beta"}))->Columns = ns.Find(ListOf({"presets"}))->Columns;
    tree.SetColumnDetails(TColumnDetailType::cdShellColumns);
    ASSERT_EQ(tree.RootNode()->FirstChild, nullptr);
    ASSERT_EQ(Columns().Count(), 8);
    Click(1, ssCtrl);
    Click(1, ssShift);
    Click(1, 0);
    EXPECT_EQ(Columns()[1].Width(), 96);
}

TEST_F(ExplorerColumnsTest, CustomNodesGetAWidthMemoryToo) {
    RootAt("\\presets");
    tree.SetActive(false);
    tree.SetActive(true);
    tree.Clear();
    const PVirtualNode custom = tree.AddCustomNode(nullptr, ns.ItemFromPath(u"\\other"), false);
    ASSERT_NE(custom, nullptr);
    Columns()[3].SetMinWidth(0);
    Click(3, ssShift);
    EXPECT_EQ(Columns()[3].Width(), 0);
}

TEST_F(ExplorerColumnsTest, LayoutsAreStoredPerFolderAndComeBack) {
    tree.MiscOptions = tree.MiscOptions.With(TVETMiscOption::toPersistentColumns);
    ns.Find(ListOf({"other"}))->Columns = ns.Find(ListOf({"presets"}))->Columns;
    RootAt("\\presets");
    Columns()[2].SetWidth(250);
    Columns()[5].SetOptions(Columns()[5].Options() | coVisible);
    Columns()[0].SetPosition(3);
    tree.StoreColumnStorage();
    const std::vector<int> widths = Widths();
    const std::vector<int> positions = Positions();
    const std::vector<bool> visible = Visible();

    tree.SetRootFolderCustomPath(u"\\other");
    EXPECT_EQ(Widths(), (std::vector<int>{180, 96, 120, 120, 60, 180, 120, 120}));
    tree.SetRootFolderCustomPath(u"\\presets");
    EXPECT_EQ(Widths(), widths);
    EXPECT_EQ(Positions(), positions);
    EXPECT_EQ(Visible(), visible);
    const TNodeStorage* stored =
        tree.ViewState().Storage.FindStorageWithFlags(ListOf({"presets"}), kStoreColumns);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Columns.Widths.size(), 8u);
}

TEST_F(ExplorerColumnsTest, AStaleLayoutIsDroppedAndAShorterOneStoredWhole) {
    tree.MiscOptions = tree.MiscOptions.With(TVETMiscOption::toPersistentColumns);
    RootAt("\\presets");
    Columns()[2].SetWidth(250); // stored by the resize
    TMemoryEntry& presets = *ns.Find(ListOf({"presets"}));
    presets.Columns.resize(5);
    tree.SetRootFolderCustomPath(u"\\other");
    tree.SetRootFolderCustomPath(u"\\presets");
    ASSERT_EQ(Columns().Count(), 5);
    EXPECT_EQ(Columns()[2].Width(), 120);
    EXPECT_EQ(tree.ViewState().Storage.FindStorageWithFlags(ListOf({"presets"}), kStoreColumns), nullptr);

    Columns()[1].SetWidth(70);
    const TNodeStorage* stored =
        tree.ViewState().Storage.FindStorageWithFlags(ListOf({"presets"}), kStoreColumns);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Columns.Widths.size(), 5u);
    tree.SetRootFolderCustomPath(u"\\other");
    tree.SetRootFolderCustomPath(u"\\presets");
    EXPECT_EQ(Columns()[1].Width(), 70);
}

TEST_F(ExplorerColumnsTest, WidthsBeyondTheStoredRangeAreClampedAndNothingIsHalfWritten) {
    tree.MiscOptions = tree.MiscOptions.With(TVETMiscOption::toPersistentColumns);
    RootAt("\\presets");
    Columns()[3].SetMaxWidth(100000);
    Columns()[3].SetWidth(70000);
    Columns()[4].SetWidth(99);
    tree.StoreColumnStorage();
    const TNodeStorage* stored =
        tree.ViewState().Storage.FindStorageWithFlags(ListOf({"presets"}), kStoreColumns);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Columns.Widths[3], 65535);
    EXPECT_EQ(stored->Columns.Widths[4], 99);
}

TEST_F(ExplorerColumnsTest, NoStorageWithoutTheOptionOrOutsideShellColumns) {
    RootAt("\\presets");
    Columns()[2].SetWidth(250);
    EXPECT_EQ(tree.ViewState().Storage.FindStorageWithFlags(ListOf({"presets"}), kStoreColumns), nullptr);
    tree.MiscOptions = tree.MiscOptions.With(TVETMiscOption::toPersistentColumns);
    tree.SetColumnDetails(TColumnDetailType::cdVETColumns);
    Columns()[2].SetWidth(250);
    EXPECT_EQ(tree.ViewState().Storage.FindStorageWithFlags(ListOf({"presets"}), kStoreColumns), nullptr);
}

TEST_F(ExplorerColumnsTest, ColumnMenuItems) {
    using Entries = std::vector<TColumnMenuEntry>;
    const TColumnMenuEntry separator{L"-", false, kColumnMenuSeparatorTag};
    const TColumnMenuEntry more{L"More ...", false, kColumnMenuMoreTag};
    struct Case {
        const char* name;
        std::vector<TMemoryEntry::TColumn> columns;
        Entries expected;
    };
    const auto on = OnByDefault(true);
    const auto off = OnByDefault(false);
    const Case cases[] = {
        {"all fit", {{"Name", on}, {"Size", off}}, Entries{{L"Name", true, 0}, {L"Size", false, 1}}},
        {"duplicate and empty titles",
         {{"Name", on}, {"Name", off}, {"", off}, {"Type", on}},
         Entries{{L"Name", true, 0}, {L"Type", true, 3}, separator, more}},
        {"secondary UI",
         {{"Name", on}, {"Rare", OnByDefault(false, true)}},
         Entries{{L"Name", true, 0}, separator, more}},
        {"the item limit",
         {{"A", on},
          {"B", on},
          {"C", on},
          {"D", on},
          {"E", off},
          {"F", off},
          {"G", off},
          {"H", off},
          {"I", off}},
         Entries{{L"A", true, 0},
                 {L"B", true, 1},
                 {L"C", true, 2},
                 {L"D", true, 3},
                 {L"E", false, 4},
                 {L"F", false, 5},
                 {L"G", false, 6},
                 {L"H", false, 7},
                 separator,
                 more}},
    };
    for (const Case& c : cases) {
        ns.Find(ListOf({"presets"}))->Columns = c.columns;
        tree.SetActive(false);
        RootAt("\\presets");
        EXPECT_EQ(ColumnMenuEntries(tree), c.expected) << c.name;
    }
    tree.SetColumnDetails(TColumnDetailType::cdVETColumns);
    const Entries builtIn = ColumnMenuEntries(tree);
    ASSERT_EQ(builtIn.size(), 9u);
    EXPECT_EQ(builtIn[8], (TColumnMenuEntry{L"Path", false, 8}));
}

TEST_F(ExplorerColumnsTest, ColumnItemTogglesVisibilityAndStores) {
    tree.MiscOptions = tree.MiscOptions.With(TVETMiscOption::toPersistentColumns);
    RootAt("\\presets");
    ToggleColumnFromMenu(tree, 6);
    EXPECT_TRUE(Columns()[6].Has(coVisible));
    const TNodeStorage* stored =
        tree.ViewState().Storage.FindStorageWithFlags(ListOf({"presets"}), kStoreColumns);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Columns.Visible[6], 1);
    ToggleColumnFromMenu(tree, 6);
    EXPECT_FALSE(Columns()[6].Has(coVisible));
    ToggleColumnFromMenu(tree, 99); // no such column: nothing
}

TEST_F(ExplorerColumnsTest, SettingsListFollowsPositionsAndSkipsEmptyAndRepeatedTitles) {
    TMemoryEntry& presets = *ns.Find(ListOf({"presets"}));
    presets.Columns = {{"Name", OnByDefault(true)},
                       {"", OnByDefault(false)},
                       {"Size", OnByDefault(true)},
                       {"Name", OnByDefault(false)}};
    RootAt("\\presets");
    Columns()[2].SetPosition(0);
    const std::vector<TColumnData> settings = ColumnSettingsFromHeader(Columns());
    EXPECT_EQ(settings, (std::vector<TColumnData>{{L"Size", true, 120, 2}, {L"Name", true, 180, 0}}));
}

TEST_F(ExplorerColumnsTest, CancelAfterLiveChangesRestoresTheHeaderByteForByte) {
    RootAt("\\presets");
    const std::vector<std::uint8_t> before = HeaderBytes(tree);
    EditColumnSettings(tree, [&](std::vector<TColumnData>& settings, const TApplyColumnSettings& apply) {
        std::swap(settings[0], settings[2]);
        settings[1].Width = 333;
        settings[5].Enabled = true;
        apply(settings);
        EXPECT_EQ(Columns()[1].Width(), 333);
        EXPECT_EQ(Columns()[2].Position(), 0);
        EXPECT_NE(HeaderBytes(tree), before);
        return false;
    });
    EXPECT_EQ(HeaderBytes(tree), before);
    EXPECT_EQ(static_cast<TVETColumn&>(Columns()[0]).ColumnDetails(), TColumnDetails::cdCustom);
}

TEST_F(ExplorerColumnsTest, OkAppliesTheListInOrderAndStores) {
    tree.MiscOptions = tree.MiscOptions.With(TVETMiscOption::toPersistentColumns);
    RootAt("\\presets");
    EditColumnSettings(tree, [](std::vector<TColumnData>& settings, const TApplyColumnSettings&) {
        // The third column goes first, the first is hidden and given a width.
        std::rotate(settings.begin(), settings.begin() + 2, settings.begin() + 3);
        settings[1].Enabled = false;
        settings[1].Width = 210;
        return true;
    });
    EXPECT_EQ(Columns()[2].Position(), 0);
    EXPECT_EQ(Columns()[0].Position(), 1);
    EXPECT_EQ(Columns()[1].Position(), 2);
    EXPECT_FALSE(Columns()[0].Has(coVisible));
    EXPECT_EQ(Columns()[0].Width(), 210);
    const TNodeStorage* stored =
        tree.ViewState().Storage.FindStorageWithFlags(ListOf({"presets"}), kStoreColumns);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Columns.Positions[2], 0);
}

TEST_F(ExplorerColumnsTest, TextColoursByKindColumnAndSelection) {
    ns.Add("\\presets\\packed.ker").Compressed = true;
    RootAt("\\presets");
    tree.VETColors().SetFolderTextColor(0x404000);
    tree.VETColors().SetFileTextColor(0x400040);
    const PVirtualNode top = tree.RootNode();
    const PVirtualNode folder = ChildNamed(tree, top, "Beta");
    const PVirtualNode file = ChildNamed(tree, top, "alpha.ker");
    const PVirtualNode packed = ChildNamed(tree, top, "packed.ker");
    ASSERT_TRUE(folder && file && packed);
    using Color = std::optional<TVTColor>;
    EXPECT_EQ(tree.VETTextColor(folder, NoColumn), Color(0x404000));
    EXPECT_EQ(tree.VETTextColor(file, 0), Color(0x400040));
    EXPECT_EQ(tree.VETTextColor(packed, 0), Color(0xFF0000));
    EXPECT_EQ(tree.VETTextColor(packed, 3), Color(0xFF0000));
    EXPECT_EQ(tree.VETTextColor(file, 3), std::nullopt);
    tree.SetSelected(packed, true);
    EXPECT_EQ(tree.VETTextColor(packed, 0), std::nullopt);
    EXPECT_EQ(tree.VETTextColor(packed, 3), std::nullopt);
    tree.SetFolderOptions(tree.FolderOptions().With(TVETFolderOption::toNoUseVETColorsProp));
    EXPECT_EQ(tree.VETTextColor(folder, 0), std::nullopt);
    const int repaints = host.Repaints;
    tree.VETColors().SetCompressedTextColor(0x123456);
    EXPECT_GT(host.Repaints, repaints);
}

} // namespace
} // namespace tarvola::test
