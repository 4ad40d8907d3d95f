// The tree's construction settings: the option sets with their defaults and side effects, the colours, the
// scroll-bar settings, the published settings, and the window styles they give.
#include "tests/tree/TreeTestSupport.h"
#include "forms/Component.h"
#include "tree/Header.h"
#include "tree/TreeCreateParams.h"
#include "tree/TreeSettings.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvola::test {
namespace {

using Log = std::vector<std::string>;
using P = TVTPaintOption;
using Au = TVTAutoOption;
using S = TVTSelectionOption;
using M = TVTMiscOption;

struct SettingsFixture : ::testing::Test {
    RecordingHost host;
    TBaseVirtualTree tree{&host};
    RecordingControlPort port;
    SettingsFixture() {
        host.window = true;
        host.tree = &tree;
        tree.SetControlPort(&port);
    }
    ~SettingsFixture() override { tree.SetControlPort(nullptr); }
    // Everything the host and the port were asked since the last call.
    Log Effects() {
        Log all = host.log;
        all.insert(all.end(), port.log.begin(), port.log.end());
        host.log.clear();
        port.log.clear();
        return all;
    }
};

TEST_F(SettingsFixture, AFreshTreeHasTheDefaultTable) {
    const TCustomVirtualTreeOptions& options = tree.TreeOptions();
    EXPECT_EQ(options.PaintOptions().Bits(), 7008u);
    EXPECT_EQ(options.AnimationOptions().Bits(), 0u);
    EXPECT_EQ(options.AutoOptions().Bits(), 329u);
    EXPECT_EQ(options.SelectionOptions().Bits(), 0u);
    EXPECT_EQ(options.MiscOptions().Bits(), 425u);
    EXPECT_TRUE(options.MiscOptions().Has(M::toAcceptOLEDrop));
    EXPECT_TRUE(options.PaintOptions().Has(P::toShowRoot));

    const TVTColors& colors = tree.Colors();
    const std::vector<std::pair<TVTColorIndex, TVTColorValue>> colorTable = {
        {TVTColorIndex::DisabledColor, 0x80000010},
        {TVTColorIndex::DropMarkColor, 0x8000000D},
        {TVTColorIndex::DropTargetColor, 0x8000000D},
        {TVTColorIndex::FocusedSelectionColor, 0x8000000D},
        {TVTColorIndex::GridLineColor, 0x8000000F},
        {TVTColorIndex::TreeLineColor, 0x80000010},
        {TVTColorIndex::UnfocusedSelectionColor, 0x8000000F},
        {TVTColorIndex::BorderColor, 0x8000000F},
        {TVTColorIndex::HotColor, 0x80000008},
        {TVTColorIndex::FocusedSelectionBorderColor, 0x8000000D},
        {TVTColorIndex::UnfocusedSelectionBorderColor, 0x8000000F},
        {TVTColorIndex::DropTargetBorderColor, 0x8000000D},
        {TVTColorIndex::SelectionRectangleBlendColor, 0x8000000D},
        {TVTColorIndex::SelectionRectangleBorderColor, 0x8000000D},
        {TVTColorIndex::HeaderHotColor, 0x80000010},
    };
    ASSERT_EQ(colorTable.size(), TreeColorCount);
    for (const auto& [index, value] : colorTable)
        EXPECT_EQ(colors.Color(index), value) << static_cast<int>(index);

    const TScrollBarOptions& bars = tree.ScrollBarOptions();
    EXPECT_FALSE(bars.AlwaysVisible());
    EXPECT_EQ(bars.ScrollBars(), TScrollStyle::ssBoth);
    EXPECT_EQ(bars.ScrollBarStyle(), TScrollBarStyle::sbmRegular);
    EXPECT_EQ(bars.HorizontalIncrement, 20);
    EXPECT_EQ(bars.VerticalIncrement, 20);

    const TVirtualTreeProperties& p = tree.Properties();
    EXPECT_EQ(p.Alignment(), TAlignment::taLeftJustify);
    EXPECT_EQ(p.AnimationDuration(), 200u);
    EXPECT_EQ(p.AutoExpandDelay, 1000u);
    EXPECT_EQ(p.AutoScrollDelay, 1000u);
    EXPECT_EQ(p.AutoScrollInterval, 1u);
    EXPECT_EQ(p.BackgroundOffsetX(), 0);
    EXPECT_EQ(p.BackgroundOffsetY(), 0);
    EXPECT_EQ(p.BorderStyle(), TVTBorderStyle::bsSingle);
    EXPECT_EQ(p.ButtonFillMode(), TVTButtonFillMode::fmTreeColor);
    EXPECT_EQ(p.ButtonStyle(), TVTButtonStyle::bsRectangle);
    EXPECT_EQ(p.CheckImageKind(), TCheckImageKind::ckLightCheck);
    EXPECT_EQ(p.DefaultPasteMode, TVTNodeAttachMode::amAddChildLast);
    EXPECT_EQ(p.DragHeight, 350);
    EXPECT_EQ(p.DragWidth, 200);
    EXPECT_EQ(p.DragImageKind, TVTDragImageKind::diComplete);
    EXPECT_EQ(p.DragOperations, doCopy | doMove);
    EXPECT_EQ(p.DragType, TVTDragType::dtOLE);
    EXPECT_EQ(p.DrawSelectionMode, TVTDrawSelectionMode::smDottedRectangle);
    EXPECT_EQ(p.EditDelay, 1000u);
    EXPECT_EQ(p.HintAnimation, THintAnimationType::hatSystemDefault);
    EXPECT_EQ(p.HintMode, TVTHintMode::hmDefault);
    EXPECT_EQ(p.HotCursor, 0);
    EXPECT_EQ(p.IncrementalSearch(), TVTIncrementalSearch::isNone);
    EXPECT_EQ(p.IncrementalSearchDirection, TVTSearchDirection::sdForward);
    EXPECT_EQ(p.IncrementalSearchStart, TVTSearchStart::ssFocusedNode);
    EXPECT_EQ(p.IncrementalSearchTimeout, 1000u);
    EXPECT_EQ(p.LineMode(), TVTLineMode::lmNormal);
    EXPECT_EQ(p.LineStyle(), TVTLineStyle::lsDotted);
    EXPECT_EQ(p.NodeAlignment(), TVTNodeAlignment::naProportional);
    EXPECT_EQ(p.SelectionBlendFactor, 128);
    EXPECT_EQ(p.SelectionCurveRadius(), 0u);
    EXPECT_EQ(p.TextMargin(), 4);
    EXPECT_FALSE(p.WantTabs);

    // The core's own published settings.
    EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
    EXPECT_EQ(tree.Indent, 18);
    EXPECT_EQ(tree.Margin, 4);
    EXPECT_EQ(tree.NodeDataSize(), -1);
    EXPECT_EQ(tree.RootNodeCount(), 0u);
    EXPECT_EQ(tree.ChangeDelay, 0u);
    EXPECT_EQ(tree.FocusedColumn(), NoColumn);
}

TEST_F(SettingsFixture, WritingTheDefaultsBackChangesAndRepaintsNothing) {
    TCustomVirtualTreeOptions& options = tree.TreeOptions();
    options.SetPaintOptions(DefaultPaintOptions);
    options.SetAnimationOptions(DefaultAnimationOptions);
    options.SetAutoOptions(DefaultAutoOptions);
    options.SetSelectionOptions(DefaultSelectionOptions);
    options.SetMiscOptions(DefaultMiscOptions);
    for (std::size_t i = 0; i < TreeColorCount; ++i)
        tree.Colors().SetColor(static_cast<TVTColorIndex>(i), DefaultTreeColors[i]);
    tree.ScrollBarOptions().SetAlwaysVisible(false);
    tree.ScrollBarOptions().SetScrollBars(TScrollStyle::ssBoth);
    tree.ScrollBarOptions().SetScrollBarStyle(TScrollBarStyle::sbmRegular);
    TVirtualTreeProperties& p = tree.Properties();
    p.SetAlignment(TAlignment::taLeftJustify);
    p.SetAnimationDuration(200);
    p.SetBackgroundOffsetX(0);
    p.SetBackgroundOffsetY(0);
    p.SetBorderStyle(TVTBorderStyle::bsSingle);
    p.SetButtonFillMode(TVTButtonFillMode::fmTreeColor);
    p.SetButtonStyle(TVTButtonStyle::bsRectangle);
    p.SetCheckImageKind(TCheckImageKind::ckLightCheck);
    p.SetIncrementalSearch(TVTIncrementalSearch::isNone);
    p.SetLineMode(TVTLineMode::lmNormal);
    p.SetLineStyle(TVTLineStyle::lsDotted);
    p.SetNodeAlignment(TVTNodeAlignment::naProportional);
    p.SetSelectionCurveRadius(0);
    p.SetTextMargin(4);
    EXPECT_EQ(Effects(), Log{});
    EXPECT_EQ(options.AnimationOptions().Bits(), 0u); // 200 stays without the animated toggle
    EXPECT_EQ(options.PaintOptions(), DefaultPaintOptions);
    EXPECT_EQ(options.MiscOptions(), DefaultMiscOptions);
}

TEST_F(SettingsFixture, TheAnimationDurationSwitchesTheAnimatedToggle) {
    TVirtualTreeProperties& p = tree.Properties();
    p.SetAnimationDuration(1);
    EXPECT_TRUE(tree.TreeOptions().AnimationOptions().Has(TVTAnimationOption::toAnimatedToggle));
    p.SetAnimationDuration(0);
    EXPECT_FALSE(tree.TreeOptions().AnimationOptions().Has(TVTAnimationOption::toAnimatedToggle));
    EXPECT_EQ(p.AnimationDuration(), 0u);
}

TEST_F(SettingsFixture, OptionChangesReachTheCoreAndTheWindow) {
    struct Case {
        const char* name;
        std::function<void(TCustomVirtualTreeOptions&)> change;
        Log effects;
    };
    const std::vector<Case> cases = {
        {"theme awareness off",
         [](auto& o) { o.SetPaintOptions(o.PaintOptions().Without(P::toThemeAware)); },
         {"Buttons", "RedrawFrame"}},
        {"another paint option",
         [](auto& o) { o.SetPaintOptions(o.PaintOptions().With(P::toHotTrack)); },
         {"InvalidateAll"}},
        {"span columns",
         [](auto& o) { o.SetAutoOptions(o.AutoOptions().With(Au::toAutoSpanColumns)); },
         {"InvalidateAll"}},
        {"another auto option", [](auto& o) { o.SetAutoOptions(o.AutoOptions().With(Au::toAutoSort)); }, {}},
        {"check support",
         [](auto& o) { o.SetMiscOptions(o.MiscOptions().With(M::toCheckSupport)); },
         {"InvalidateAll"}},
        {"full repaint on resize",
         [](auto& o) { o.SetMiscOptions(o.MiscOptions().Without(M::toFullRepaintOnResize)); },
         {"Recreate"}},
        {"drop off",
         [](auto& o) { o.SetMiscOptions(o.MiscOptions().Without(M::toAcceptOLEDrop)); },
         {"RevokeDrop"}},
        {"drop on",
         [](auto& o) { o.SetMiscOptions(o.MiscOptions().With(M::toAcceptOLEDrop)); },
         {"RegisterDrop"}},
        {"read only", [](auto& o) { o.SetMiscOptions(o.MiscOptions().With(M::toReadOnly)); }, {}},
    };
    for (const Case& c : cases) {
        Effects();
        c.change(tree.TreeOptions());
        EXPECT_EQ(Effects(), c.effects) << c.name;
    }
    EXPECT_TRUE(tree.Options.AutoSort);
    EXPECT_TRUE(tree.Options.ReadOnly);
    EXPECT_TRUE(tree.ColumnFitMetrics.CheckSupport);
}

TEST_F(SettingsFixture, InitOnSaveFollowsTheMiscOption) {
    TCustomVirtualTreeOptions& options = tree.TreeOptions();
    ASSERT_TRUE(tree.Options.InitOnSave);
    options.SetMiscOptions(options.MiscOptions().Without(M::toInitOnSave));
    EXPECT_FALSE(tree.Options.InitOnSave);
    options.SetMiscOptions(options.MiscOptions().With(M::toInitOnSave));
    EXPECT_TRUE(tree.Options.InitOnSave);
}

TEST_F(SettingsFixture, ThemesFollowTheVisualStylesWhenThemeAwarenessReturns) {
    TCustomVirtualTreeOptions& options = tree.TreeOptions();
    options.SetPaintOptions(options.PaintOptions().Without(P::toThemeAware));
    port.visualStyles = true;
    options.SetPaintOptions(options.PaintOptions().With(P::toThemeAware));
    EXPECT_TRUE(tree.InState(TreeState::tsUseThemes));
    options.SetPaintOptions(options.PaintOptions().Without(P::toThemeAware));
    EXPECT_FALSE(tree.InState(TreeState::tsUseThemes));
}

TEST_F(SettingsFixture, WithoutAWindowOptionChangesTouchNoWindow) {
    host.window = false;
    TCustomVirtualTreeOptions& options = tree.TreeOptions();
    options.SetMiscOptions(TVTMiscOptions{});
    options.SetPaintOptions(TVTPaintOptions{});
    tree.Properties().SetBorderStyle(TVTBorderStyle::bsNone);
    tree.ScrollBarOptions().SetScrollBars(TScrollStyle::ssNone);
    EXPECT_EQ(Effects(), Log{});
    EXPECT_FALSE(tree.Options.ShowRoot);
}

TEST_F(SettingsFixture, SwitchingMultiSelectOrAddingAConstraintClearsTheSelection) {
    struct Case {
        const char* name;
        TVTSelectionOptions from, to;
        bool clears;
    };
    const std::vector<Case> cases = {
        {"multi-select on", {}, {S::toMultiSelect}, true},
        {"multi-select off", {S::toMultiSelect}, {}, true},
        {"level constraint added", {S::toMultiSelect}, {S::toMultiSelect, S::toLevelSelectConstraint}, true},
        {"sibling constraint added",
         {S::toMultiSelect},
         {S::toMultiSelect, S::toSiblingSelectConstraint},
         true},
        {"constraint removed", {S::toMultiSelect, S::toLevelSelectConstraint}, {S::toMultiSelect}, false},
        {"full row select", {S::toMultiSelect}, {S::toMultiSelect, S::toFullRowSelect}, false},
    };
    tree.SetRootNodeCount(2);
    for (const Case& c : cases) {
        tree.TreeOptions().SetSelectionOptions(c.from);
        tree.SetSelected(tree.GetFirst(), true);
        ASSERT_EQ(tree.SelectedCount(), 1u) << c.name;
        tree.TreeOptions().SetSelectionOptions(c.to);
        EXPECT_EQ(tree.SelectedCount(), c.clears ? 0u : 1u) << c.name;
        EXPECT_EQ(tree.Selected(tree.GetFirst()), !c.clears) << c.name;
        EXPECT_EQ(tree.Options.MultiSelect, c.to.Has(S::toMultiSelect)) << c.name;
        tree.ClearSelection();
    }
}

TEST_F(SettingsFixture, AssigningOptionsCopiesTheFiveSetsWithTheirEffects) {
    TBaseVirtualTree other;
    TCustomVirtualTreeOptions& source = other.TreeOptions();
    source.SetPaintOptions({P::toShowRoot});
    source.SetAnimationOptions({TVTAnimationOption::toAnimatedToggle});
    source.SetAutoOptions({});
    source.SetSelectionOptions({S::toMultiSelect});
    source.SetMiscOptions({M::toReadOnly});
    Effects();
    tree.TreeOptions().Assign(source);
    EXPECT_EQ(tree.TreeOptions().PaintOptions(), source.PaintOptions());
    EXPECT_EQ(tree.TreeOptions().AnimationOptions(), source.AnimationOptions());
    EXPECT_EQ(tree.TreeOptions().AutoOptions(), source.AutoOptions());
    EXPECT_EQ(tree.TreeOptions().SelectionOptions(), source.SelectionOptions());
    EXPECT_EQ(tree.TreeOptions().MiscOptions(), source.MiscOptions());
    EXPECT_EQ(Effects(), (Log{"Buttons", "RedrawFrame", "Recreate", "RevokeDrop"}));
    EXPECT_FALSE(tree.Options.AutoTristateTracking);
    EXPECT_TRUE(tree.Options.ReadOnly);
}

TEST_F(SettingsFixture, AssigningATreeCopiesItsSettingsAndRootNodes) {
    TBaseVirtualTree other;
    other.TreeOptions().SetSelectionOptions({S::toMultiSelect});
    other.Colors().SetColor(TVTColorIndex::GridLineColor, 0x010203);
    other.ScrollBarOptions().VerticalIncrement = 7;
    other.Header().SetHeight(31);
    TVirtualTreeProperties& from = other.Properties();
    from.AutoScrollDelay = 12;
    from.SetCheckImageKind(TCheckImageKind::ckCustom);
    from.SetBorderStyle(TVTBorderStyle::bsNone);
    from.HintMode = TVTHintMode::hmTooltip;
    from.SetSelectionCurveRadius(3);
    from.SelectionBlendFactor = 40;
    other.SetDefaultNodeHeight(22);
    other.Indent = 25;
    other.Margin = 6;
    other.ChangeDelay = 50;
    other.SetNodeDataSize(8);
    other.SetRootNodeCount(4);
    tree.SetRootNodeCount(9);

    tree.Assign(other);
    EXPECT_EQ(tree.TreeOptions().SelectionOptions(), other.TreeOptions().SelectionOptions());
    EXPECT_EQ(tree.Colors().All(), other.Colors().All());
    EXPECT_EQ(tree.ScrollBarOptions().VerticalIncrement, 7);
    EXPECT_EQ(tree.Header().Height(), 31);
    const TVirtualTreeProperties& to = tree.Properties();
    EXPECT_EQ(to.AutoScrollDelay, 12u);
    EXPECT_EQ(to.CheckImageKind(), TCheckImageKind::ckCustom);
    EXPECT_EQ(to.BorderStyle(), TVTBorderStyle::bsNone);
    EXPECT_EQ(to.HintMode, TVTHintMode::hmTooltip);
    EXPECT_EQ(to.SelectionCurveRadius(), 3u);
    EXPECT_EQ(to.SelectionBlendFactor, 40);
    EXPECT_EQ(tree.DefaultNodeHeight(), 22u);
    EXPECT_EQ(tree.Indent, 25);
    EXPECT_EQ(tree.Margin, 6);
    EXPECT_EQ(tree.ChangeDelay, 50u);
    EXPECT_EQ(tree.NodeDataSize(), 8);
    EXPECT_EQ(tree.RootNodeCount(), 4u);
    // Through the setters: the border re-creates the window, the new check images are announced.
    const Log effects = Effects();
    EXPECT_NE(std::find(effects.begin(), effects.end(), "Recreate"), effects.end());
    EXPECT_NE(std::find(effects.begin(), effects.end(), "CheckImages"), effects.end());
}

TEST_F(SettingsFixture, AReadOnlyTreeRefusesAnAssignment) {
    TBaseVirtualTree other;
    other.SetRootNodeCount(4);
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions().With(M::toReadOnly));
    EXPECT_THROW(tree.Assign(other), EComponentError);
    EXPECT_EQ(tree.RootNodeCount(), 0u);
}

TEST_F(SettingsFixture, ColourChangesRebuildRedrawOrRepaint) {
    TVTColors& colors = tree.Colors();
    colors.SetColor(TVTColorIndex::TreeLineColor, 0x123456);
    EXPECT_EQ(Effects(), (Log{"InvalidateAll", "Lines"}));
    colors.SetColor(TVTColorIndex::BorderColor, 0x123456);
    EXPECT_EQ(Effects(), (Log{"RedrawFrame"}));
    colors.SetColor(TVTColorIndex::HotColor, 0x123456);
    EXPECT_EQ(Effects(), (Log{"InvalidateAll"}));

    TBaseVirtualTree other;
    tree.BeginUpdate();
    Effects();
    colors.Assign(other.Colors());
    EXPECT_EQ(colors.All(), DefaultTreeColors);
    EXPECT_EQ(Effects(), Log{}); // no repaint while updating
    tree.EndUpdate();
}

TEST_F(SettingsFixture, OnlyTheRegularScrollBarStyleIsTaken) {
    TScrollBarOptions& bars = tree.ScrollBarOptions();
    EXPECT_THROW(bars.SetScrollBarStyle(TScrollBarStyle::sbmFlat), EVirtualTreeAssertion);
    EXPECT_THROW(bars.SetScrollBarStyle(TScrollBarStyle::sbm3D), EVirtualTreeAssertion);
    EXPECT_EQ(bars.ScrollBarStyle(), TScrollBarStyle::sbmRegular);
    bars.SetScrollBars(TScrollStyle::ssVertical);
    bars.SetAlwaysVisible(true);
    EXPECT_EQ(Effects(), (Log{"Recreate", "Recreate"}));
}

TEST_F(SettingsFixture, PropertyEffectsTable) {
    struct Case {
        const char* name;
        std::function<void(TVirtualTreeProperties&)> change;
        Log effects;
    };
    const std::vector<Case> cases = {
        {"Alignment", [](auto& p) { p.SetAlignment(TAlignment::taCenter); }, {"InvalidateAll"}},
        {"BackgroundOffsetX", [](auto& p) { p.SetBackgroundOffsetX(3); }, {"InvalidateAll"}},
        {"BorderStyle", [](auto& p) { p.SetBorderStyle(TVTBorderStyle::bsNone); }, {"Recreate"}},
        {"ButtonFillMode",
         [](auto& p) { p.SetButtonFillMode(TVTButtonFillMode::fmShaded); },
         {"InvalidateAll", "Buttons"}},
        {"ButtonStyle",
         [](auto& p) { p.SetButtonStyle(TVTButtonStyle::bsTriangle); },
         {"InvalidateAll", "Buttons"}},
        {"CheckImageKind",
         [](auto& p) { p.SetCheckImageKind(TCheckImageKind::ckFlat); },
         {"InvalidateAll", "CheckImages"}},
        {"LineMode", [](auto& p) { p.SetLineMode(TVTLineMode::lmBands); }, {"InvalidateAll"}},
        {"LineStyle", [](auto& p) { p.SetLineStyle(TVTLineStyle::lsSolid); }, {"InvalidateAll", "Lines"}},
        {"NodeAlignment",
         [](auto& p) { p.SetNodeAlignment(TVTNodeAlignment::naFromTop); },
         {"InvalidateAll"}},
        {"SelectionCurveRadius", [](auto& p) { p.SetSelectionCurveRadius(2); }, {"InvalidateAll"}},
        {"TextMargin", [](auto& p) { p.SetTextMargin(6); }, {"InvalidateAll"}},
        {"AnimationDuration", [](auto& p) { p.SetAnimationDuration(100); }, {}},
    };
    for (const Case& c : cases) {
        Effects();
        c.change(tree.Properties());
        EXPECT_EQ(Effects(), c.effects) << c.name;
    }
}

TEST_F(SettingsFixture, SwitchingTheIncrementalSearchOffStopsItsTimer) {
    TVirtualTreeProperties& p = tree.Properties();
    p.SetIncrementalSearch(TVTIncrementalSearch::isAll);
    host.StartTimer(SearchTimer, 1000);
    p.SetIncrementalSearch(TVTIncrementalSearch::isNone);
    EXPECT_EQ(host.runningTimers.count(SearchTimer), 0u);
}

TEST(TreeCreateParams, StyleTable) {
    using namespace treestyle;
    struct Case {
        const char* name;
        TTreeStyleSettings settings;
        TTreeWindowStyles expected;
    };
    const TTreeWindowStyles base{0x40000000u | Border, 0, 0x0008};
    const std::uint32_t clip = ClipChildren | ClipSiblings;
    const std::uint32_t redraw = ClassHRedraw | ClassVRedraw;
    const std::uint32_t child = 0x40000000u;
    const std::vector<Case> cases = {
        {"defaults", {}, {child | clip | HScroll | VScroll, ClientEdge, 0x0008 | redraw}},
        {"flat single border",
         {TVTBorderStyle::bsSingle, false, TScrollStyle::ssBoth, false, true},
         {child | Border | clip | HScroll | VScroll, 0, 0x0008 | redraw}},
        {"no border, 3-D",
         {TVTBorderStyle::bsNone, true, TScrollStyle::ssBoth, false, true},
         {child | clip | HScroll | VScroll, 0, 0x0008 | redraw}},
        {"no border, flat",
         {TVTBorderStyle::bsNone, false, TScrollStyle::ssNone, false, true},
         {child | clip, 0, 0x0008 | redraw}},
        {"horizontal bar only",
         {TVTBorderStyle::bsSingle, true, TScrollStyle::ssHorizontal, false, true},
         {child | clip | HScroll, ClientEdge, 0x0008 | redraw}},
        {"vertical bar only, right to left",
         {TVTBorderStyle::bsSingle, true, TScrollStyle::ssVertical, true, true},
         {child | clip | VScroll, ClientEdge | LeftScrollBar, 0x0008 | redraw}},
        {"no full repaint on resize",
         {TVTBorderStyle::bsSingle, true, TScrollStyle::ssBoth, false, false},
         {child | clip | HScroll | VScroll, ClientEdge, 0x0008}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TreeCreateParams(base, c.settings), c.expected) << c.name;
    // Redraw bits the framework set are taken away without a full repaint on resize.
    const TTreeWindowStyles withRedraw{0, 0, 0x0008 | redraw};
    EXPECT_EQ(TreeCreateParams(withRedraw, {TVTBorderStyle::bsNone, true, TScrollStyle::ssNone, false, false})
                  .ClassStyle,
              0x0008u);
}

} // namespace
} // namespace tarvola::test
