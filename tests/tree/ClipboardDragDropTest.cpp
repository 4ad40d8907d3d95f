// Drag and drop rules: the offered and suggested effects, the drop mode from the pointer, the drag loop's
// next step and the alpha channel of the tree's drag image.
#include "tests/tree/ClipboardTestSupport.h"
#include "tests/tree/TreeTestSupport.h"

#include "tree/AutoScroll.h"
#include "tree/DropRules.h"
#include "tree/DropTarget.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvola::test {
namespace {

TEST(DropRules, AnEmptySetOfOperationsOffersEveryEffect) {
    EXPECT_EQ(AllowedDropEffects(0), 7u);
    EXPECT_EQ(AllowedDropEffects(doCopy | doMove), 3u);
    EXPECT_EQ(AllowedDropEffects(doLink), 4u);
}

TEST(DropRules, SuggestedEffectBySourceKeysAndAllowedEffects) {
    struct Case {
        bool self;
        TShiftState shift;
        std::uint32_t allowed;
        std::uint32_t effect;
    };
    const Case cases[] = {
        {true, 0, 3, DropEffectMove},
        {false, 0, 3, DropEffectCopy},
        {true, ssCtrl, 3, DropEffectCopy},
        {false, ssShift, 3, DropEffectMove},
        {true, ssCtrl | ssShift, 3, DropEffectMove}, // link not allowed: the default stands
        {true, ssCtrl | ssShift, 7, DropEffectLink},
        {false, ssAlt, 7, DropEffectLink},
        {false, ssAlt, 3, DropEffectCopy},
        {false, ssAlt | ssShift, 7, DropEffectCopy}, // no rule for Alt with Shift
        {true, 0, DropEffectCopy, DropEffectCopy},   // move not allowed: the allowed set stands
        {false, 0, DropEffectMove | DropEffectLink, DropEffectMove | DropEffectLink},
        {false, ssShift | ssLeft, 3, DropEffectMove}, // buttons do not count as keys
    };
    for (const Case& c : cases)
        EXPECT_EQ(SuggestDropEffect(c.self, c.shift, c.allowed), c.effect)
            << "self " << c.self << " shift " << int(c.shift) << " allowed " << c.allowed;
}

TEST(DropRules, KeyStateAndHeldButtons) {
    EXPECT_EQ(ShiftFromKeyState(0x04 | 0x08 | 0x01, 0), ssShift | ssCtrl | ssLeft);
    EXPECT_EQ(ShiftFromKeyState(0x20, ssRight), ssAlt | ssRight);
}

TEST(DropRules, DropModeFromThePointer) {
    TDropHit row;
    row.OnNode = true;
    row.RowTop = 36;
    row.RowBottom = 54;
    TDropHit label = row;
    label.OnLabelOrImage = true;
    TDropHit otherColumn = label;
    otherColumn.InMainColumn = false;
    struct Case {
        const char* what;
        TDropHit hit;
        int y;
        bool dropmark;
        bool report;
        TDropMode mode;
    };
    const Case cases[] = {
        {"no node", TDropHit{}, 40, true, false, TDropMode::dmNowhere},
        {"upper half", row, 40, true, false, TDropMode::dmAbove},
        {"lower half", row, 50, true, false, TDropMode::dmBelow},
        {"middle", row, 45, true, false, TDropMode::dmBelow},
        {"on the text", label, 40, true, false, TDropMode::dmOnNode},
        {"without drop marks", row, 40, false, false, TDropMode::dmOnNode},
        {"report mode, main column text", label, 50, true, true, TDropMode::dmOnNode},
        {"report mode, another column", otherColumn, 50, true, true, TDropMode::dmNowhere},
        {"report mode, beside the text", row, 50, false, true, TDropMode::dmNowhere},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DropModeFor(c.hit, c.y, c.dropmark, c.report), c.mode) << c.what;
}

TEST(DropRules, DragLoopGoesOnWhileOneButtonIsDown) {
    EXPECT_EQ(QueryContinueDrag(false, 0x01), TDragContinuation::Continue);
    EXPECT_EQ(QueryContinueDrag(false, 0x02), TDragContinuation::Continue);
    EXPECT_EQ(QueryContinueDrag(false, 0x00), TDragContinuation::Drop);
    EXPECT_EQ(QueryContinueDrag(false, 0x03), TDragContinuation::Cancel);
    EXPECT_EQ(QueryContinueDrag(true, 0x01), TDragContinuation::Cancel);
}

TEST(DropRules, AlphaFallsOffFromTheCentreAndTheColourKeyIsClear) {
    const int width = 20;
    const int height = 10;
    std::vector<std::uint32_t> pixels(width * height, 0x00123456);
    pixels[5 * width + 0] = 0x00FFFFFF; // the key colour, at the middle of the left edge
    pixels[0] = 0xAB000000;             // alpha already there is replaced
    BuildAlphaChannel(pixels, width, height, 0xFFFFFF);
    const auto alpha = [&](int x, int y) { return pixels[y * width + x] >> 24; };
    EXPECT_EQ(alpha(10, 5), 255u);
    EXPECT_EQ(alpha(0, 5), 0u);
    // The middle of the right edge lies 9/20 of the larger side away: 255 e^-3.6.
    EXPECT_EQ(alpha(19, 5), 7u);
    EXPECT_EQ(alpha(10, 0), 35u); // 5/20 away: 255 e^-2
    EXPECT_EQ(pixels[5 * width + 10] & 0xFFFFFF, 0x123456u) << "colours stay";

    std::vector<std::uint32_t> square(16 * 16, 0);
    BuildAlphaChannel(square, 16, 16, -1);
    EXPECT_EQ(square[8 * 16 + 8] >> 24, 255u) << "no colour key: even black is drawn";
    EXPECT_EQ(square[8 * 16 + 0] >> 24, 5u) << "the middle of an edge: 255 e^-4";
    EXPECT_ANY_THROW(BuildAlphaChannel(std::span(square).first(10), 16, 16, -1));
}

// A windowed tree "1(2),3" (1 collapsed; rows of 18 pixels) as a drop target, with an owner that logs the
// drag events and answers with a given acceptance and effect.
struct DropFixture {
    RecordingHost host;
    FakeNodeTransfer transfer;
    TBaseVirtualTree tree{&host};
    TTreeDropTarget target{tree};
    PVirtualNode one = nullptr;
    PVirtualNode three = nullptr;
    bool accept = true;
    std::uint32_t answer = 0; // 0: keep the suggested effect
    std::vector<std::string> log;

    DropFixture() {
        host.tree = &tree;
        host.window = true;
        tree.SetNodeDataSize(sizeof(int));
        one = AddNumbered(tree, nullptr, 1);
        AddNumbered(tree, one, 2);
        three = AddNumbered(tree, nullptr, 3);
        tree.ValidateCache();
        FakeGuiThread::Instance().WaitWhile([this] { return tree.ValidationPending(); });
        target.OnDragOver = TVTDragOverEvent::Bind<&DropFixture::Over>(this);
        target.OnDragDrop = TVTDragDropEvent::Bind<&DropFixture::Drop>(this);
    }
    void Over(TBaseVirtualTree&, TBaseVirtualTree* source, TShiftState, TDragState state, TDropPoint,
              TDropMode mode, std::uint32_t& effect, bool& accepted) {
        log.push_back("over " + std::to_string(int(state)) + " mode " + std::to_string(int(mode)) +
                      " effect " + std::to_string(effect) + (source == &tree ? " self" : ""));
        if (answer != 0)
            effect = answer == 99 ? 0 : answer;
        accepted = accept;
    }
    void Drop(TBaseVirtualTree&, TBaseVirtualTree*, IDataObject*, const std::vector<std::uint16_t>& formats,
              TShiftState, TDropPoint, std::uint32_t& effect, TDropMode mode) {
        log.push_back("drop mode " + std::to_string(int(mode)) + " effect " + std::to_string(effect) +
                      " formats " + std::to_string(formats.size()));
    }
};

TEST(DropTarget, EnterOverAndDropFollowTheNodeAndModeUnderThePointer) {
    DropFixture f;
    f.target.AutoExpandDelay = 50;
    std::uint32_t effect = 3;
    EXPECT_EQ(f.target.DragEnter(&f.tree, 0, {5, 3}, effect), 0);
    EXPECT_EQ(effect, DropEffectMove) << "a drag from the tree itself moves";
    EXPECT_EQ(f.tree.DropTargetNode(), f.one);
    EXPECT_EQ(f.target.LastDropMode(), TDropMode::dmAbove);

    // Over the lower half of the first row, with Ctrl: a copy below it; the collapsed target will expand.
    effect = 3;
    EXPECT_EQ(f.target.DragOver(&f.tree, 0x08, TDragState::dsDragMove, {5, 12}, effect), 0);
    EXPECT_EQ(effect, DropEffectCopy);
    EXPECT_EQ(f.target.LastDropMode(), TDropMode::dmBelow);
    EXPECT_EQ(f.host.runningTimers.count(ExpandTimer), 1u);
    EXPECT_EQ(f.host.runningTimers[ExpandTimer], 50u);
    f.target.AutoExpandDropTarget();
    EXPECT_TRUE(f.tree.Expanded(f.one));
    EXPECT_EQ(f.host.runningTimers.count(ExpandTimer), 0u);

    // Without drop marks a hit on a row drops on the node; a foreign drag copies.
    f.target.ShowDropmark = false;
    effect = 3;
    EXPECT_EQ(f.target.DragOver(nullptr, 0, TDragState::dsDragMove, {5, 40}, effect), 0);
    EXPECT_EQ(f.tree.DropTargetNode(), f.three) << "rows: 1, 2, 3 now that 1 is expanded";
    EXPECT_EQ(f.target.LastDropMode(), TDropMode::dmOnNode);
    EXPECT_EQ(effect, DropEffectCopy);
    EXPECT_EQ(f.host.runningTimers.count(ExpandTimer), 0u) << "3 has no children";

    effect = 3;
    EXPECT_EQ(f.target.DragDrop(nullptr, nullptr, {7, 8}, 0, {5, 40}, effect), 0);
    EXPECT_EQ(f.log.back(), "drop mode 2 effect 1 formats 2");
    EXPECT_EQ(f.tree.DropTargetNode(), nullptr);

    // Below the last row there is no target.
    effect = 3;
    EXPECT_EQ(f.target.DragOver(nullptr, 0, TDragState::dsDragMove, {5, 300}, effect), 0);
    EXPECT_EQ(f.tree.DropTargetNode(), nullptr);
    EXPECT_EQ(f.target.LastDropMode(), TDropMode::dmNowhere);
}

TEST(DropTarget, ARefusedDropAnswersFailureAndFiresNoDrop) {
    struct Case {
        const char* what;
        bool accept;
        std::uint32_t answer;
    };
    const Case cases[] = {{"the owner refuses", false, 0}, {"the owner leaves no effect", true, 99}};
    for (const Case& c : cases) {
        DropFixture f;
        f.accept = c.accept;
        f.answer = c.answer;
        std::uint32_t effect = 3;
        EXPECT_EQ(f.target.DragEnter(nullptr, 0, {5, 3}, effect), 0) << c.what;
        EXPECT_EQ(effect, 0u) << c.what;
        effect = 3;
        EXPECT_EQ(f.target.DragDrop(nullptr, nullptr, {}, 0, {5, 3}, effect),
                  static_cast<std::int32_t>(0x80004005))
            << c.what;
        EXPECT_EQ(f.log.back().rfind("over", 0), 0u) << c.what << ": no drop event";
        EXPECT_EQ(f.tree.DropTargetNode(), nullptr) << c.what;
    }
}

TEST(DropTarget, LeavingClearsTheTargetAndTellsTheOwner) {
    DropFixture f;
    f.accept = false;
    std::uint32_t effect = 3;
    f.target.DragOver(nullptr, 0, TDragState::dsDragMove, {5, 3}, effect);
    EXPECT_EQ(f.tree.DropTargetNode(), f.one);
    EXPECT_EQ(f.host.runningTimers.count(ExpandTimer), 1u);
    f.target.DragLeave();
    EXPECT_EQ(f.tree.DropTargetNode(), nullptr);
    EXPECT_EQ(f.host.runningTimers.count(ExpandTimer), 0u);
    EXPECT_EQ(f.log.back(), "over 1 mode 1 effect 0");
}

// A clock for the auto-scroll delay; nothing else of a window.
class ClockPort : public TNullMotionPort {
public:
    std::uint32_t now = 5000;
    std::uint32_t Now() override { return now; }
};

TEST(DropTarget, ADragNearAnEdgeScrollsAfterTheDelayButTheDropDoesNot) {
    DropFixture f;
    ClockPort clock;
    f.tree.SetMotionPort(&clock);
    f.tree.IsOleDropTarget = [] { return true; };
    f.host.clientHeight = 100;
    f.tree.SetRootNodeCount(40); // 720 pixels of rows in 100
    f.tree.Properties().AutoScrollDelay = 300;
    TCustomVirtualTreeOptions& options = f.tree.TreeOptions();
    options.SetAutoOptions(options.AutoOptions().With(TVTAutoOption::toAutoScroll));
    std::uint32_t effect = 3;
    f.target.DragEnter(nullptr, 0, {5, 50}, effect);

    const TDropPoint bottom{5, 95};
    effect = 3;
    f.target.DragOver(nullptr, 0, TDragState::dsDragMove, bottom, effect);
    EXPECT_EQ(f.tree.OffsetY(), 0) << "the delay starts";
    EXPECT_EQ(effect & DropEffectScroll, 0u);
    clock.now += 300;
    effect = 3;
    f.target.DragOver(nullptr, 0, TDragState::dsDragMove, bottom, effect);
    EXPECT_EQ(f.tree.OffsetY(), -20) << "one vertical increment";
    EXPECT_NE(effect & DropEffectScroll, 0u);
    EXPECT_EQ(effect & ~DropEffectScroll, DropEffectCopy);

    // Up goes back to the top and no further.
    for (int step = 0; step < 3; ++step) {
        effect = 3;
        f.target.DragOver(nullptr, 0, TDragState::dsDragMove, {5, 2}, effect);
    }
    EXPECT_EQ(f.tree.OffsetY(), 0);
    EXPECT_EQ(effect & DropEffectScroll, 0u);

    // A drop in the zone lands where the pointer is, even with no delay at all.
    f.tree.Properties().AutoScrollDelay = 0;
    effect = 3;
    EXPECT_EQ(f.target.DragDrop(nullptr, nullptr, {}, 0, bottom, effect), 0);
    EXPECT_EQ(f.tree.OffsetY(), 0);
    f.tree.SetMotionPort(nullptr);
}

} // namespace
} // namespace tarvola::test
