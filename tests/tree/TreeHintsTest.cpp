// The tree's hints without a window: the hint request's decision table, the rectangles the hint window
// measures and keeps on the desktop, the pictures of its shadow and fade on plain pixel buffers, and the
// animations that outlive their tree.
#include "tests/tree/TreeTestSupport.h"

#include "tree/Header.h"
#include "tree/HintWindowRules.h"
#include "tree/HitTest.h"
#include "tree/TreeOptions.h"
#include "tree/TreeHintData.h"
#include "tree/TreeHints.h"
#include "tree/TreeSettings.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tarvola::test {
namespace {

std::string Show(const TTreeRect& r) {
    std::ostringstream text;
    text << '(' << r.Left << ',' << r.Top << ',' << r.Right << ',' << r.Bottom << ')';
    return text.str();
}

struct HintRequestFixture : ::testing::Test {
    RecordingHost host;
    TBaseVirtualTree tree{&host};
    PVirtualNode node = nullptr;

    HintRequestFixture() {
        host.tree = &tree;
        host.window = true;
        tree.SetRootNodeCount(3);
        node = tree.GetFirst();
    }

    // A request that the hint machinery may answer: a hint over a row whose text is cut off at the right.
    THintRequest Allowed() const {
        THintRequest r;
        r.Control.CursorPos = {50, 30};
        r.Control.ClientOrigin = {1000, 500};
        r.Control.HintPos = {1050, 550};
        r.Control.CursorRect = {0, 0, 200, 400};
        r.Control.HasFocus = true;
        r.Control.ShowHint = true;
        r.Control.ShortHint = L"Short";
        r.HintMode = TVTHintMode::hmHint;
        r.HitNode = node;
        r.HitColumn = NoColumn;
        r.HitPositions = hpOnItem | hpOnItemLabel;
        r.ColumnLeft = 0;
        r.ColumnRight = 200;
        r.ClientWidth = 200;
        r.ClientHeight = 400;
        r.NodeRect = {0, 18, 200, 36};
        r.TextRect = {40, 18, 260, 36};
        r.ClippedTextRect = {40, 18, 200, 36};
        r.HeaderRect = {0, 0, 200, 17};
        return r;
    }
};

TEST_F(HintRequestFixture, DecisionTable) {
    struct Expected {
        bool decided;
        int answer;
        bool treeWindow;
        TTreeRect cursorRect;
        std::wstring defaultHint;
    };
    struct Case {
        const char* name;
        std::function<void(THintRequest&)> change;
        Expected expected;
    };
    const TTreeRect row{0, 18, 200, 36};
    const TTreeRect client{0, 0, 200, 400};
    const std::vector<Case> cases = {
        {"node hint over the row", [](THintRequest&) {}, {true, 0, true, row, L""}},
        {"cursor still in the last hint's area",
         [&](THintRequest& r) { r.LastHintRect = row; },
         {false, 1, false, client, L""}},
        {"a window holds the capture",
         [](THintRequest& r) { r.Control.MouseCaptured = true; },
         {false, 1, false, client, L""}},
        {"hints switched off",
         [](THintRequest& r) { r.Control.ShowHint = false; },
         {false, 1, false, client, L""}},
        {"a drag runs", [](THintRequest& r) { r.Dragging = true; }, {false, 1, false, client, L""}},
        {"a rubber band is pending",
         [](THintRequest& r) { r.RubberBand = true; },
         {false, 1, false, client, L""}},
        {"the tree scrolls", [](THintRequest& r) { r.Scrolling = true; }, {false, 1, false, client, L""}},
        {"a column is resized", [](THintRequest& r) { r.HeaderBusy = true; }, {false, 1, false, client, L""}},
        {"the control is not active",
         [](THintRequest& r) { r.Control.HasFocus = false; },
         {false, 1, false, client, L""}},
        {"editing the node under the cursor",
         [](THintRequest& r) {
             r.Editing = true;
             r.HitNodeIsFocused = true;
         },
         {false, 1, false, client, L""}},
        {"editing another node, focus elsewhere",
         [](THintRequest& r) {
             r.Editing = true;
             r.Control.HasFocus = false;
         },
         {true, 0, true, row, L""}},
        {"default mode: the framework's window shows the short hint",
         [](THintRequest& r) { r.HintMode = TVTHintMode::hmDefault; },
         {true, 0, false, client, L""}},
        {"tooltip: cut-off single line",
         [](THintRequest& r) { r.HintMode = TVTHintMode::hmTooltip; },
         {true, 0, true, {40, 18, 260, 36}, L""}},
        {"tooltip: text cut off at the top",
         [](THintRequest& r) {
             r.HintMode = TVTHintMode::hmTooltip;
             r.TextRect = {40, -5, 120, 13};
             r.Control.CursorPos = {50, 5};
         },
         {true, 0, true, {40, -5, 120, 13}, L""}},
        {"tooltip: text shows in full",
         [](THintRequest& r) {
             r.HintMode = TVTHintMode::hmTooltip;
             r.TextRect = {40, 18, 120, 36};
         },
         {true, 1, false, client, L""}},
        {"tooltip: cursor beside the text",
         [](THintRequest& r) {
             r.HintMode = TVTHintMode::hmTooltip;
             r.Control.CursorPos = {30, 30};
         },
         {true, 1, false, client, L""}},
        {"tooltip: cut off by the column's right border",
         [](THintRequest& r) {
             r.HintMode = TVTHintMode::hmTooltip;
             r.TextRect = {40, 18, 120, 36};
             r.ColumnRight = 100;
         },
         {true, 0, true, {40, 18, 120, 36}, L""}},
        {"tooltip: multi-line node over its text",
         [](THintRequest& r) {
             r.HintMode = TVTHintMode::hmTooltip;
             r.Multiline = true;
         },
         {true, 0, true, {40, 18, 200, 36}, L""}},
        {"tooltip: multi-line node beside its text",
         [](THintRequest& r) {
             r.HintMode = TVTHintMode::hmTooltip;
             r.Multiline = true;
             r.HitPositions = hpOnItem | hpOnItemRight;
         },
         {true, 1, false, client, L""}},
        {"owner-drawn tree without a hint size",
         [](THintRequest& r) { r.OwnerDrawn = true; },
         {true, 1, false, client, L""}},
        {"owner-drawn tree with a hint size",
         [](THintRequest& r) {
             r.OwnerDrawn = true;
             r.OwnerHintRect = {0, 0, 50, 20};
         },
         {true, 0, true, row, L""}},
        {"hint and default over empty space",
         [](THintRequest& r) {
             r.HintMode = TVTHintMode::hmHintAndDefault;
             r.HitNode = nullptr;
         },
         {true, 0, true, client, L"Short"}},
        {"hint and default over empty space without a hint",
         [](THintRequest& r) {
             r.HintMode = TVTHintMode::hmHintAndDefault;
             r.HitNode = nullptr;
             r.Control.ShortHint.clear();
         },
         {true, 1, false, client, L""}},
        {"node hint over empty space",
         [](THintRequest& r) { r.HitNode = nullptr; },
         {true, 1, false, client, L""}},
        {"node hit right of the last column",
         [](THintRequest& r) { r.HitColumn = InvalidColumn; },
         {true, 1, false, client, L""}},
        {"header column hint",
         [](THintRequest& r) {
             r.HeaderHints = true;
             r.InHeader = true;
             r.Control.CursorPos = {70, -10};
             r.HeaderColumn = 1;
             r.HeaderColumnLeft = 60;
             r.HeaderColumnRight = 120;
             r.HeaderColumnHint = L"Column";
         },
         {true, 0, true, {60, -17, 120, 0}, L"Column"}},
        {"header without a column there",
         [](THintRequest& r) {
             r.HeaderHints = true;
             r.InHeader = true;
             r.HeaderColumn = InvalidColumn;
             r.HeaderColumnHint = L"Column";
         },
         {true, 1, false, {0, -17, 0, 0}, L""}},
        {"header while the left button is down",
         [](THintRequest& r) {
             r.HeaderHints = true;
             r.InHeader = true;
             r.HeaderColumn = 0;
             r.HeaderColumnRight = 60;
             r.HeaderColumnHint = L"Column";
             r.Control.LeftButtonDown = true;
         },
         {true, 1, false, {0, -17, 60, 0}, L""}},
        {"header column without a hint",
         [](THintRequest& r) {
             r.HeaderHints = true;
             r.InHeader = true;
             r.HeaderColumn = 0;
             r.HeaderColumnRight = 60;
         },
         {true, 1, false, {0, -17, 60, 0}, L""}},
    };
    for (const Case& c : cases) {
        THintRequest request = Allowed();
        c.change(request);
        const THintDecision d = DecideHint(request);
        EXPECT_EQ(d.Decided, c.expected.decided) << c.name;
        EXPECT_EQ(d.Answer, c.expected.answer) << c.name;
        EXPECT_EQ(d.ShowHint, c.expected.treeWindow) << c.name;
        EXPECT_EQ(Show(d.CursorRect), Show(c.expected.cursorRect)) << c.name;
        EXPECT_TRUE(d.DefaultHint == c.expected.defaultHint) << c.name;
        // Only a hint of the tree's own window marks its area; a request turned away leaves it alone.
        const TTreeRect last = !d.Decided ? request.LastHintRect : d.ShowHint ? d.CursorRect : TTreeRect{};
        EXPECT_EQ(Show(d.LastHintRect), Show(last)) << c.name;
    }
}

TEST_F(HintRequestFixture, WhereTheHintGoes) {
    struct Case {
        const char* name;
        std::function<void(THintRequest&)> change;
        THintPoint hintPos;
        std::wstring hintStr;
    };
    const std::vector<Case> cases = {
        // Below the row, two pixels apart, unless the proposal lies lower already.
        {"node hint", [](THintRequest&) {}, {1050, 552}, L" "},
        {"node hint on a low row",
         [](THintRequest& r) {
             r.NodeRect = {0, 90, 200, 108};
         },
         {1050, 610},
         L" "},
        // Exactly over the cell's text.
        {"tooltip", [](THintRequest& r) { r.HintMode = TVTHintMode::hmTooltip; }, {1040, 518}, L" "},
        {"short hint in the framework's window",
         [](THintRequest& r) { r.HintMode = TVTHintMode::hmDefault; },
         {1050, 550},
         L"Short"},
        {"header hint below the header",
         [](THintRequest& r) {
             r.HeaderHints = true;
             r.InHeader = true;
             r.Control.HintPos = {1050, 480};
             r.HeaderColumn = 0;
             r.HeaderColumnRight = 60;
             r.HeaderColumnHint = L"Column";
         },
         {1050, 500},
         L" "},
    };
    for (const Case& c : cases) {
        THintRequest request = Allowed();
        c.change(request);
        const THintDecision d = DecideHint(request);
        EXPECT_EQ(d.HintPos, c.hintPos) << c.name;
        EXPECT_TRUE(d.HintStr == c.hintStr) << c.name;
    }
}

TEST_F(HintRequestFixture, GatheredRequestNamesTheNodeUnderTheCursorAndTheStateFollows) {
    THintControlFacts facts;
    facts.CursorPos = {30, 25};
    facts.ShowHint = true;
    facts.HasFocus = true;
    tree.Properties().HintMode = TVTHintMode::hmHint;
    const THintRequest request = GatherHintRequest(tree, facts);
    PVirtualNode second = tree.GetNext(node);
    EXPECT_EQ(request.HitNode, second);
    EXPECT_EQ(request.HitColumn, NoColumn);
    EXPECT_EQ(Show(request.NodeRect), Show(tree.GetDisplayRect(second, NoColumn, false, false)));
    EXPECT_EQ(Show(request.TextRect), Show(tree.GetDisplayRect(second, NoColumn, true, true)));
    EXPECT_EQ(request.ColumnLeft, 0);
    EXPECT_EQ(request.ColumnRight, 200);

    const THintDecision shown = DecideHint(request);
    ApplyHintDecision(tree, shown);
    EXPECT_TRUE(tree.InState(TreeState::tsHint));
    EXPECT_EQ(Show(tree.LastHintRect), Show(shown.CursorRect));
    EXPECT_EQ(tree.HintData().Node, second);
    EXPECT_EQ(tree.HintData().Tree, &tree);

    // The same area again: turned away, nothing changes.
    const THintDecision again = DecideHint(GatherHintRequest(tree, facts));
    EXPECT_FALSE(again.Decided);
    ApplyHintDecision(tree, again);
    EXPECT_TRUE(tree.InState(TreeState::tsHint));

    // Below the last row: refused, the area and the state are cleared.
    facts.CursorPos = {30, 300};
    const THintDecision refused = DecideHint(GatherHintRequest(tree, facts));
    ApplyHintDecision(tree, refused);
    EXPECT_FALSE(tree.InState(TreeState::tsHint));
    EXPECT_TRUE(tree.LastHintRect.Empty());
}

TEST_F(HintRequestFixture, GatheredRequestHitsTheCellAsTheMouseDoes) {
    // A check box before the text: the hint must not take it for the label (a multiline tooltip would
    // show over the box).
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions().With(TVTMiscOption::toCheckSupport));
    tree.ColumnFitMetrics.CheckImageWidth = 16;
    PVirtualNode second = tree.GetNext(node);
    tree.SetCheckType(second, TCheckType::ctCheckBox);
    THintControlFacts facts;
    facts.ShowHint = true;
    facts.HasFocus = true;
    tree.Properties().HintMode = TVTHintMode::hmTooltip;
    for (const int x : {2, 25, 40, 150}) {
        SCOPED_TRACE(x);
        facts.CursorPos = {x, 25};
        const THintRequest request = GatherHintRequest(tree, facts);
        EXPECT_EQ(request.HitNode, second);
        EXPECT_EQ(request.HitPositions, tree.GetHitTestInfoAt(x, 25, true).HitPositions);
    }
    facts.CursorPos = {25, 25};
    const THintRequest overBox = GatherHintRequest(tree, facts);
    EXPECT_NE(overBox.HitPositions & hpOnItemCheckbox, 0);
    EXPECT_EQ(overBox.HitPositions & hpOnItemLabel, 0);
}

TEST_F(HintRequestFixture, HintPause) {
    tree.Header().Columns().Add();
    tree.Header().SetOptions(tree.Header().Options() | hoShowHint | hoVisible);
    const THintPoint inHeader{10, -5};
    const THintPoint inRows{10, 20};
    EXPECT_EQ(HintPauseFor(tree, inHeader, true, 500), 0);
    EXPECT_EQ(HintPauseFor(tree, inHeader, false, 500), 500);
    EXPECT_EQ(HintPauseFor(tree, inRows, true, 500), 500);
    tree.Properties().HintMode = TVTHintMode::hmTooltip;
    EXPECT_EQ(HintPauseFor(tree, inRows, false, 500), 0);
}

TEST_F(HintRequestFixture, HintTextFollowsTheModeAndTheNode) {
    tree.ControlHint = L"Control hint";
    TVTHintData& data = tree.HintData();
    data.Tree = &tree;
    data.Node = node;
    tree.Properties().HintMode = TVTHintMode::hmTooltip;
    ResolveHintText(data);
    EXPECT_TRUE(data.HintText == L"Control hint");
    EXPECT_EQ(data.LineBreakStyle, TVTTooltipLineBreakStyle::hlbForceSingleLine);
    node->States |= nsMultiline;
    ResolveHintText(data);
    EXPECT_EQ(data.LineBreakStyle, TVTTooltipLineBreakStyle::hlbForceMultiLine);
    data.DefaultHint = L"Fixed";
    tree.Properties().HintMode = TVTHintMode::hmHint;
    ResolveHintText(data);
    EXPECT_TRUE(data.HintText == L"Fixed");
    EXPECT_EQ(data.LineBreakStyle, TVTTooltipLineBreakStyle::hlbDefault);
}

TEST(HintWindowRules, EffectiveAnimation) {
    using A = THintAnimationType;
    struct Case {
        A chosen;
        bool animation, fade, mmx;
        A expected;
    };
    const std::vector<Case> cases = {
        {A::hatSystemDefault, false, true, true, A::hatNone},
        {A::hatSystemDefault, true, true, true, A::hatFade},
        {A::hatSystemDefault, true, false, true, A::hatSlide},
        {A::hatSystemDefault, true, true, false, A::hatSlide},
        {A::hatFade, false, false, false, A::hatSlide},
        {A::hatFade, false, false, true, A::hatFade},
        {A::hatNone, true, true, true, A::hatNone},
        {A::hatSlide, true, true, true, A::hatSlide},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(ResolveHintAnimation(c.chosen, {c.animation, c.fade, c.mmx}), c.expected) << "case " << i;
    }
}

TEST(HintWindowRules, MeasuredRectangles) {
    // A hint: frame and margins around the text, room for the shadow.
    EXPECT_EQ(Show(HintRectFromMeasure({0, 0, 50, 13}, 4, 0)), Show({0, 0, 60, 19}));
    EXPECT_EQ(Show(HintRectFromMeasure({0, 0, 50, 13}, 4, HintShadowSize)), Show({0, 0, 65, 24}));
    // A single-line tooltip is the text rectangle inflated by one, drawn from (-1, -1).
    const TTreeRect text{40, 18, 260, 36};
    EXPECT_EQ(Show(SingleLineTooltipRect(text, false, 0)), Show({-1, -1, 221, 19}));
    EXPECT_EQ(Show(SingleLineTooltipRect(text, true, 0)), Show({-1, -1, 221, 18}));
    EXPECT_EQ(Show(SingleLineTooltipRect(text, false, HintShadowFor(true))), Show({-1, -1, 226, 24}));
    EXPECT_EQ(HintShadowFor(false), 0);

    TMultilineTooltip multi;
    multi.Text = {40, 18, 200, 36};
    multi.NodeHeight = 18;
    multi.ClientWidth = 200;
    multi.ClientHeight = 400;
    // The wrapped text fits the row (within two pixels): no tooltip.
    multi.Measured = {40, 18, 180, 36};
    EXPECT_TRUE(MultilineTooltipRect(multi, 0).Empty());
    // Three lines do not fit: the window spans the measured text plus the margin.
    multi.Measured = {40, 18, 180, 57};
    EXPECT_EQ(Show(MultilineTooltipRect(multi, 0)), Show({-1, -1, 146, 40}));
    multi.RightToLeft = true;
    multi.Measured = {60, 18, 200, 57};
    EXPECT_EQ(Show(MultilineTooltipRect(multi, 0)), Show({-1, -1, 145, 40}));
}

TEST(HintWindowRules, KeepOnDesktop) {
    const TTreeRect desktop{0, 0, 1600, 1200};
    struct Case {
        const char* name;
        TTreeRect r, expected;
    };
    const std::vector<Case> cases = {
        {"inside stays", {100, 100, 300, 120}, {100, 100, 300, 120}},
        {"over the right edge moves left", {1500, 100, 1700, 120}, {1400, 100, 1600, 120}},
        {"over the bottom edge moves up", {100, 1190, 300, 1210}, {100, 1180, 300, 1200}},
        {"over both edges", {1550, 1190, 1750, 1210}, {1400, 1180, 1600, 1200}},
        {"above and left move in", {-20, -10, 180, 10}, {0, 0, 200, 20}},
        {"larger than the desktop keeps its top left on it", {300, 300, 2300, 1700}, {0, 0, 2000, 1400}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(KeepOnDesktop(c.r, desktop)), Show(c.expected)) << c.name;
    // A second monitor to the left: its area counts.
    EXPECT_EQ(Show(KeepOnDesktop({-1700, 10, -1500, 30}, {-1600, 0, 1600, 1200})),
              Show({-1600, 10, -1400, 30}));
}

// A W x H picture of one grey level, four bytes a pixel.
struct Picture {
    int width, height;
    std::vector<std::uint8_t> bytes;
    Picture(int w, int h, std::uint8_t level)
        : width(w), height(h), bytes(static_cast<std::size_t>(w * h * 4), level) {}
    TPixelBuffer Buffer() { return {bytes.data(), width, height, false}; }
    std::uint8_t At(int x, int y) const { return bytes[static_cast<std::size_t>((y * width + x) * 4)]; }
};

// A level darkened by the first passes of the shadow.
std::uint8_t Darkened(std::uint8_t level, int passes) {
    int value = level;
    for (int i = 0; i < passes; ++i)
        value = (value * (256 - HintShadowAlphas[i])) >> 8;
    return static_cast<std::uint8_t>(value);
}

TEST(HintWindowRules, ShadowDarkensTheEdgesSoftlyAndLeavesTheCorners) {
    Picture picture(20, 24, 200);
    DrawShadow(picture.Buffer(), HintShadowSize);
    struct Probe {
        const char* name;
        int x, y, passes;
    };
    // Each pass narrows the strips by a pixel at their outer and slanted ends.
    const std::vector<Probe> probes = {
        {"inside", 3, 3, 0},
        {"top right corner", 19, 0, 0},
        {"top right corner, inner", 15, 4, 0},
        {"bottom left corner", 0, 23, 0},
        {"bottom left corner, inner", 4, 19, 0},
        {"bottom strip, inner row", 10, 19, 5},
        {"bottom strip, middle row", 10, 21, 3},
        {"bottom strip, outer row", 10, 23, 1},
        {"bottom strip's slanted start", 5, 20, 1},
        {"right strip, inner column", 15, 12, 5},
        {"right strip, outer column", 19, 12, 1},
        {"right strip's slanted top", 15, 6, 2},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(picture.At(p.x, p.y), Darkened(200, p.passes)) << p.name;
}

TEST(HintWindowRules, FadeComposesTheHintOverTheCapturedScreen) {
    const int shadow = HintShadowSize;
    Picture background(16, 12, 100);
    Picture hint(16, 12, 200);
    struct Case {
        std::uint32_t step;
        int alpha;
    };
    for (const Case c : {Case{0, 0}, Case{127, 127}, Case{254, 255}}) {
        Picture blend(16, 12, 0);
        ComposeFadeStep(background.Buffer(), hint.Buffer(), blend.Buffer(), c.step, shadow);
        EXPECT_EQ(FadeAlpha(c.step), c.alpha) << c.step;
        const std::uint8_t mixed = static_cast<std::uint8_t>((100 * (256 - c.alpha) + 200 * c.alpha) >> 8);
        EXPECT_EQ(blend.At(2, 2), mixed) << c.step;
        // The shadow strip shows the screen, darkened; the corners show it as it was.
        EXPECT_EQ(blend.At(15, 0), 100) << c.step;
        EXPECT_EQ(blend.At(0, 11), 100) << c.step;
        EXPECT_EQ(blend.At(10, 7), Darkened(100, 5)) << c.step;
    }
    // The background stays as captured.
    EXPECT_EQ(background.At(10, 7), 100);
}

TEST(HintWindowRules, ShadowedPictureLeavesTheCapturedScreenForTheNextPaint) {
    Picture background(16, 12, 100);
    Picture hint(16, 12, 200);
    Picture first(16, 12, 0), second(16, 12, 0);
    ComposeShadowedHint(background.Buffer(), hint.Buffer(), first.Buffer(), HintShadowSize);
    ComposeShadowedHint(background.Buffer(), hint.Buffer(), second.Buffer(), HintShadowSize);
    EXPECT_EQ(first.bytes, second.bytes);
    EXPECT_EQ(first.At(2, 2), 200);
    EXPECT_EQ(first.At(10, 7), Darkened(100, 5));
    EXPECT_EQ(first.At(15, 0), 100);
}

TEST(HintWindowRules, AnimationGoesOnOnlyWhileEverythingLives) {
    auto window = std::make_shared<bool>(true);
    auto tree = std::make_shared<bool>(true);
    struct Case {
        const char* name;
        bool destroyedFlag, windowGone, treeGone, shown, cancelled, expected;
    };
    const std::vector<Case> cases = {
        {"all well", false, false, false, true, false, true},
        {"hint window destroyed", true, false, false, true, false, false},
        {"window object gone", false, true, false, true, false, false},
        {"tree gone", false, false, true, true, false, false},
        {"window hidden", false, false, false, false, false, false},
        {"newer hint took over", false, false, false, true, true, false},
    };
    for (const Case& c : cases) {
        auto windowToken = std::make_shared<bool>(true);
        auto treeToken = std::make_shared<bool>(true);
        THintAnimationLife life{windowToken, treeToken};
        if (c.windowGone)
            windowToken.reset();
        if (c.treeGone)
            treeToken.reset();
        // A gone window or tree is never asked.
        const bool gone = c.windowGone || c.treeGone || c.destroyedFlag;
        const bool result = HintAnimationMayContinue(
            life, c.destroyedFlag,
            [&] {
                EXPECT_FALSE(gone) << c.name;
                return c.shown;
            },
            [&] { return c.cancelled; });
        EXPECT_EQ(result, c.expected) << c.name;
    }
}

// Time passes by one millisecond a call.
class TickingClock : public IAnimationClock {
public:
    std::uint32_t now = 0;
    std::uint32_t Now() override { return ++now; }
    void WaitUntil(std::uint32_t time) override {
        if (static_cast<std::int32_t>(time - now) > 0)
            now = time;
    }
};

TEST(HintAnimationLife, TreeDestroyedDuringItsAnimationIsNotTouchedAgain) {
    struct Case {
        const char* name;
        bool ownClock; // the tree's own clock lives in its settings
    };
    for (const Case c : {Case{"injected clock", false}, Case{"the tree's own clock", true}}) {
        RecordingHost host;
        TickingClock clock;
        auto tree = std::make_unique<TBaseVirtualTree>(&host);
        if (!c.ownClock)
            tree->SetAnimationClock(&clock);
        TBaseVirtualTree* raw = tree.get();
        std::vector<std::uint32_t> steps;
        raw->Animate(50, 5, [&](std::uint32_t step, std::uint32_t) {
            steps.push_back(step);
            if (steps.size() == 2)
                tree.reset(); // a message handled during the step closed the tree's form
            return true;
        });
        EXPECT_EQ(tree, nullptr) << c.name;
        // No step after the tree went, not even the closing one.
        EXPECT_EQ(steps.size(), 2u) << c.name;
    }
}

TEST(HintAnimationLife, AnimationOfALiveTreeEndsItsStates) {
    RecordingHost host;
    TickingClock clock;
    TBaseVirtualTree tree(&host);
    tree.SetAnimationClock(&clock);
    bool sawState = false;
    tree.Animate(3, 3, [&](std::uint32_t, std::uint32_t) {
        sawState = tree.InState(TreeState::tsInAnimation);
        tree.CancelOlderHintAnimation();
        return false;
    });
    EXPECT_TRUE(sawState);
    EXPECT_FALSE(tree.InState(TreeState::tsInAnimation));
    EXPECT_FALSE(tree.InState(TreeState::tsCancelHintAnimation));
}

} // namespace
} // namespace tarvola::test
