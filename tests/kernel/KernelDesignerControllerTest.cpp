#include "kernel/KernelDesignerController.h"

#include "base/Numerics.h"

#include "KernelTestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tarvola {
namespace {

// A record as the tests compare it: impulse, value, kind.
struct Rec {
    std::int32_t impulse;
    long double value;
    TSourceKind kind = TSourceKind::Input;
    bool operator==(const Rec&) const = default;
};

void PrintTo(const Rec& rec, std::ostream* os) {
    *os << "{" << rec.impulse << ", " << static_cast<double>(rec.value) << ", " << static_cast<int>(rec.kind)
        << "}";
}

constexpr TSourceKind In = TSourceKind::Input;
constexpr TSourceKind Out = TSourceKind::Output;

std::vector<Rec> RecsOf(const TobjHistData& list) {
    std::vector<Rec> out;
    for (const TImpulseRec& r : list.Records())
        out.push_back({r.Impulse, r.Value, r.Kind});
    return out;
}

// The window as the controller sees it: it records what it was asked to show and answers the dialogs
// with what the test set. UpdateEditor copies the selection into the working list as the editor does.
class FakeWindow : public IKernelDesignerWindow {
public:
    FakeWindow(KernelModel& model, TobjHistData& working) : model_(model), working_(working) {}

    void ResetEditorRange() override { ++editorRangeResets; }
    void UpdateEditor() override {
        ++editorUpdates;
        const TSelectionRec& s = model_.Selection;
        if (s.FirstIndex >= 0 && s.LastIndex >= s.FirstIndex)
            working_.CopyRange(*model_.CurrentKernel, s.FirstIndex, s.LastIndex);
        else
            working_.Clear();
    }
    void UpdateViewer(bool highlight) override {
        ++viewerUpdates;
        highlighted = highlight;
    }
    void ShowViewerKernel(std::int32_t channel) override { viewerChannel = channel; }
    void UpdateEditorRuler() override { ++rulerUpdates; }
    void RedrawColumn(std::int32_t workingIndex, std::int32_t kernelIndex, long double) override {
        redrawn = {workingIndex, kernelIndex};
    }
    void ShowStats(std::int32_t left, std::int32_t right) override { stats = {left, right}; }
    void ShowUndoCaptions(const std::string& u, bool ue, const std::string& r, bool re) override {
        undo = u;
        undoEnabled = ue;
        redo = r;
        redoEnabled = re;
    }
    void ShowViewControls(const TViewControls& c) override {
        controls = c;
        ++controlShows;
        if (onShowViewControls)
            onShowViewControls(c);
    }
    void ShowChannel(std::int32_t channel, const std::string& caption) override {
        shownChannel = channel;
        copyAllCaption = caption;
    }
    void SetCaption(const std::string& c) override { caption = c; }
    void ResetValueScale() override { ++scaleResets; }
    TAmplifyResult RunAmplify() override { return amplify; }
    TBlockAdjustResult RunBlockAdjust() override { return blockAdjust; }
    THarmonizeResult RunHarmonize(std::int32_t low) override {
        harmonizeLow = low;
        return harmonize;
    }
    TMirrorResult RunMirror(std::int32_t low, std::int32_t high) override {
        mirrorRange = {low, high};
        return mirror;
    }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    bool ConfirmReset(const std::string& text) override {
        question = text;
        return confirm;
    }

    // Dialog answers.
    TAmplifyResult amplify;
    TBlockAdjustResult blockAdjust;
    THarmonizeResult harmonize;
    TMirrorResult mirror;
    bool confirm = true;
    std::function<void(const TViewControls&)> onShowViewControls;

    // What was shown.
    int editorRangeResets = 0, editorUpdates = 0, viewerUpdates = 0, rulerUpdates = 0, controlShows = 0,
        scaleResets = 0;
    bool highlighted = false;
    std::int32_t viewerChannel = 0, shownChannel = 0, harmonizeLow = 0;
    std::pair<std::int32_t, std::int32_t> redrawn{-9, -9}, stats{-1, -1}, mirrorRange{0, 0};
    std::string undo, redo, copyAllCaption, caption, question;
    bool undoEnabled = true, redoEnabled = true;
    TViewControls controls;
    std::vector<std::string> errors;

private:
    KernelModel& model_;
    TobjHistData& working_;
};

// Public members: the tables' preparation steps reach into the fixture.
class ControllerTest : public testing::Test {
public:
    ControllerTest() {
        controller.StartSession(folder.Path());
        controller.FirstTime = false;
    }

    TImpulseRec Make(const Rec& r) {
        TImpulseRec rec;
        rec.Impulse = r.impulse;
        rec.Value = r.value;
        rec.Kind = r.kind;
        return rec;
    }
    // The current kernel := Records; the editor spans Low..High; the editor shows its range.
    void Load(const std::vector<Rec>& records, std::int32_t low, std::int32_t high) {
        std::vector<TImpulseRec> recs;
        for (const Rec& r : records)
            recs.push_back(Make(r));
        model.CurrentKernel->LoadRecords(recs);
        SetEditor(low, high);
    }
    void SetEditor(std::int32_t low, std::int32_t high) {
        model.CurrentEditorBounds->LowImpulse = low;
        model.CurrentEditorBounds->HighImpulse = high;
        model.RecomputeBounds(model.CurrentView(), -1);
        model.RecomputeBounds(*model.CurrentEditorBounds, -1);
        model.SelectImpulses(low, high, false);
        window.UpdateEditor();
    }
    std::vector<Rec> Kernel() const { return RecsOf(*model.CurrentKernel); }
    std::int32_t Entries() const { return controller.Undoer()->Count(); }
    std::string LastEntry() const {
        const TobjKernelUndoer& undoer = *controller.Undoer();
        return undoer.Entry(undoer.LastIndex()).Description;
    }
    // The entries recorded since Before: none, or exactly one with that description.
    void ExpectEntry(std::int32_t before, const char* description) {
        if (description == nullptr) {
            EXPECT_EQ(Entries(), before);
        } else {
            EXPECT_EQ(Entries(), before + 1);
            EXPECT_EQ(LastEntry(), description);
        }
    }
    std::pair<std::int32_t, std::int32_t> ViewSpan(std::int32_t number = 0) {
        const TViewBounds& v =
            number == 0 ? model.CurrentView() : (*model.CurrentViews)[static_cast<std::size_t>(number - 1)];
        return {v.LowImpulse, v.HighImpulse};
    }
    std::pair<std::int32_t, std::int32_t> EditorSpan() const {
        return {model.CurrentEditorBounds->LowImpulse, model.CurrentEditorBounds->HighImpulse};
    }

    KernelTestFolder folder;
    KernelModel model;
    TobjHistData working{model};
    TImpulseClipboard clipboard{model};
    FakeWindow window{model, working};
    KernelDesignerController controller{model, clipboard, working, window};
};

// ---- Start state and session ----------------------------------------------------------------------------

TEST_F(ControllerTest, StartsWithImpulseZeroInBothChannelsAndRecordsInitialData) {
    const std::vector<Rec> start = {{0, 1.0L, In}};
    EXPECT_EQ(RecsOf(model.LeftKernel), start);
    EXPECT_EQ(RecsOf(model.RightKernel), start);
    EXPECT_EQ(model.Channel, 1);
    EXPECT_EQ(model.CurrentKernel, &model.LeftKernel);
    EXPECT_EQ(ViewSpan(), std::make_pair(-400, 400));
    EXPECT_EQ(model.CurrentView().Width, 801);
    EXPECT_EQ(model.CurrentView().ZeroColumn, 400);
    EXPECT_EQ(EditorSpan(), std::make_pair(-10, 10));
    EXPECT_EQ(model.CurrentEditorBounds->RelLow, 390);
    EXPECT_EQ(model.LeftStats.Count, 1);
    EXPECT_EQ(model.RightStats.Count, 1);
    EXPECT_EQ(controller.ViewControls(), (TViewControls{1, 400, 801, 400}));

    EXPECT_EQ(Entries(), 1);
    EXPECT_EQ(LastEntry(), "Initial Data");
    EXPECT_TRUE(std::filesystem::exists(folder.Path() + "Undo" + kPathSeparator + "00Initial Data.und"));
    EXPECT_EQ(window.undo, "Can't Undo");
    EXPECT_EQ(window.redo, "Can't Redo");
    EXPECT_FALSE(window.undoEnabled);
    EXPECT_FALSE(window.redoEnabled);
}

TEST_F(ControllerTest, UndoAndRedoCaptionsNameTheEntries) {
    Load({{0, 1.0L}, {5, 0.5L}}, 0, 10);
    controller.Operation(TEditOperation::Invert);
    EXPECT_EQ(window.undo, "1: Undo Invert");
    EXPECT_TRUE(window.undoEnabled);
    EXPECT_EQ(window.redo, "Can't Redo");
    EXPECT_FALSE(window.redoEnabled);

    controller.Undo(); // back to the initial data
    EXPECT_EQ(Kernel(), (std::vector<Rec>{{0, 1.0L}}));
    EXPECT_EQ(window.undo, "Can't Undo");
    EXPECT_FALSE(window.undoEnabled);
    EXPECT_EQ(window.redo, "1: Redo Invert");
    EXPECT_TRUE(window.redoEnabled);
    EXPECT_EQ(controller.UndoCaption(), window.undo);
    EXPECT_EQ(controller.RedoCaption(), window.redo);

    controller.Redo();
    EXPECT_EQ(Kernel(), (std::vector<Rec>{{0, -1.0L}, {5, -0.5L}}));
    EXPECT_EQ(window.undo, "1: Undo Invert");
    EXPECT_EQ(window.redo, "Can't Redo");
    EXPECT_EQ(window.stats, std::make_pair(2, 1));
}

// ---- Edit operations ----------------------------------------------------------------------------------

// The kernel every row starts from; the editor spans 5..7.
const std::vector<Rec> kBase = {
    {0, 1.0L, In}, {5, 0.5L, In}, {6, 0.25L, Out}, {7, -0.5L, In}, {20, 0.125L, In}};

TEST_F(ControllerTest, EditOperationsChangeTheRangeAndRecordOneEntry) {
    struct Case {
        const char* name;
        std::function<void(ControllerTest&)> prepare; // after the base is loaded, before the operation
        TEditOperation operation;
        std::vector<Rec> expected;
        const char* undo; // nullptr: no entry
    };
    const auto copyThenMoveTo = [](std::int32_t low, std::int32_t high) {
        return [low, high](ControllerTest& t) {
            t.controller.Operation(TEditOperation::Copy);
            t.SetEditor(low, high);
        };
    };
    const auto dialogs = [](TAmplifyResult a, TBlockAdjustResult b) {
        return [a, b](ControllerTest& t) {
            t.window.amplify = a;
            t.window.blockAdjust = b;
        };
    };
    const auto none = [](ControllerTest&) {};
    const std::vector<Case> cases = {
        {"Copy", none, TEditOperation::Copy, kBase, nullptr},
        {"Cut", none, TEditOperation::Cut, {{0, 1.0L}, {20, 0.125L}}, "Cut"},
        {"Clear", none, TEditOperation::Clear, {{0, 1.0L}, {20, 0.125L}}, "Clear"},
        {"Paste Overwrite",
         copyThenMoveTo(10, 12),
         TEditOperation::PasteOverwrite,
         {{0, 1.0L},
          {5, 0.5L},
          {6, 0.25L, Out},
          {7, -0.5L},
          {10, 0.5L},
          {11, 0.25L, Out},
          {12, -0.5L},
          {20, 0.125L}},
         "Paste Overwrite"},
        {"Paste Mix",
         copyThenMoveTo(6, 8),
         TEditOperation::PasteMix,
         {{0, 1.0L}, {5, 0.5L}, {6, 0.75L, Out}, {7, -0.25L, Out}, {8, -0.5L}, {20, 0.125L}},
         "Paste Mix"},
        {"Reverse",
         none,
         TEditOperation::Reverse,
         {{0, 1.0L}, {5, -0.5L}, {6, 0.25L, Out}, {7, 0.5L}, {20, 0.125L}},
         "Reverse"},
        {"Invert",
         none,
         TEditOperation::Invert,
         {{0, 1.0L}, {5, -0.5L}, {6, -0.25L, Out}, {7, 0.5L}, {20, 0.125L}},
         "Invert"},
        {"Amplify",
         dialogs({false, 2.0L}, {}),
         TEditOperation::Amplify,
         {{0, 1.0L}, {5, 1.0L}, {6, 0.5L, Out}, {7, -1.0L}, {20, 0.125L}},
         "Amplify"},
        {"Amplify cancelled", dialogs({true, 1.0L}, {}), TEditOperation::Amplify, kBase, "Amplify"},
        {"Block Adjust",
         dialogs({}, {false, 0.25L}),
         TEditOperation::BlockAdjust,
         {{0, 1.0L}, {5, 0.75L}, {6, 0.5L, Out}, {7, -0.25L}, {20, 0.125L}},
         "Block Adjust"},
        {"Block Adjust cancelled", dialogs({}, {true, 0.0L}), TEditOperation::BlockAdjust, kBase,
         "Block Adjust"},
        {"Mirror cancelled", none, TEditOperation::Mirror, kBase, "Mirror"},
        {"Harmonize cancelled", none, TEditOperation::Harmonize, kBase, "Harmonize"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(kBase, 5, 7);
        c.prepare(*this);
        const std::int32_t before = Entries();
        controller.Operation(c.operation);
        EXPECT_EQ(Kernel(), c.expected);
        ExpectEntry(before, c.undo);
        // The views follow the kernel, and the editor shows its range again.
        EXPECT_EQ(model.Selection.LowImpulse, model.CurrentEditorBounds->LowImpulse);
        EXPECT_EQ(model.Selection.Count, model.CurrentEditorBounds->Count);
        EXPECT_EQ(model.CurrentStats->Count, model.CurrentKernel->Count());
        EXPECT_EQ(window.stats.first, model.LeftKernel.Count());
        EXPECT_TRUE(window.errors.empty());
    }
}

TEST_F(ControllerTest, CopyFillsTheClipboardAndCutEmptiesTheEditor) {
    Load(kBase, 5, 7);
    controller.Operation(TEditOperation::Copy);
    EXPECT_EQ(clipboard.ClipCount(), 3);
    EXPECT_EQ(working.Count(), 3);
    controller.Operation(TEditOperation::Cut);
    EXPECT_EQ(clipboard.ClipCount(), 3);
    EXPECT_EQ(working.Count(), 0);
    EXPECT_EQ(model.CurrentEditorBounds->Count, 0);
    EXPECT_EQ(model.CurrentEditorBounds->FirstIndex, -1);
}

TEST_F(ControllerTest, MirrorReflectsTheRangeByEachReflector) {
    struct Case {
        TReflector reflector;
        std::int32_t reflectorImpulse;
        std::vector<Rec> copies; // the records Mirror adds to 0, 5, 6, 7, 20
    };
    const std::vector<Case> cases = {
        // Copies below impulse 1 become inputs.
        {TReflector::ImpulseZero, 0, {{-7, -0.5L}, {-6, 0.25L, In}, {-5, 0.5L}}},
        {TReflector::EditorLow, 5, {{2, -0.5L}, {3, 0.25L, Out}, {4, 0.5L}}},
        {TReflector::EditorLowMinus1, 4, {{1, -0.5L}, {2, 0.25L, Out}, {3, 0.5L}}},
        {TReflector::EditorHigh, 7, {{8, -0.5L}, {9, 0.25L, Out}, {10, 0.5L}}},
        {TReflector::EditorHighPlus1, 8, {{9, -0.5L}, {10, 0.25L, Out}, {11, 0.5L}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.reflector));
        Load(kBase, 5, 7);
        window.mirror = {false, c.reflector, c.reflectorImpulse, 1.0L};
        const std::int32_t before = Entries();
        controller.Operation(TEditOperation::Mirror);

        std::vector<Rec> expected = kBase;
        expected.insert(expected.end(), c.copies.begin(), c.copies.end());
        std::sort(expected.begin(), expected.end(),
                  [](const Rec& a, const Rec& b) { return a.impulse < b.impulse; });
        EXPECT_EQ(Kernel(), expected);
        EXPECT_EQ(window.mirrorRange, std::make_pair(5, 7));
        EXPECT_TRUE(window.highlighted);
        EXPECT_FALSE(model.MirrorInProgress);
        ExpectEntry(before, "Mirror");
    }
}

TEST_F(ControllerTest, MirrorMixesCopiesWithTheLevelIntoExistingRecords) {
    Load({{0, 1.0L}, {5, 0.5L}, {6, 0.25L}, {8, 1.0L}}, 5, 6);
    window.mirror = {false, TReflector::EditorHigh, 6, 0.5L};
    controller.Operation(TEditOperation::Mirror);
    EXPECT_EQ(Kernel(), (std::vector<Rec>{{0, 1.0L}, {5, 0.5L}, {6, 0.25L}, {7, 0.125L}, {8, 1.25L}}));
}

TEST_F(ControllerTest, MirrorAroundImpulseZeroRefusesARangeHoldingIt) {
    const std::vector<Rec> kernel = {{-2, 0.5L}, {0, 1.0L}, {3, 0.25L}};
    for (const auto& [low, high] : {std::pair{-2, 3}, std::pair{0, 0}, std::pair{0, 5}, std::pair{-5, 0}}) {
        SCOPED_TRACE(std::to_string(low) + ".." + std::to_string(high));
        window.errors.clear();
        Load(kernel, low, high);
        window.mirror = {false, TReflector::ImpulseZero, 0, 1.0L};
        const std::int32_t before = Entries();
        controller.Operation(TEditOperation::Mirror);
        EXPECT_EQ(window.errors,
                  std::vector<std::string>{"Cannot include Impulse #0 in this type of mirroring operation."});
        EXPECT_EQ(Kernel(), kernel);
        ExpectEntry(before, "Mirror");
    }
}

TEST_F(ControllerTest, HarmonizeCopiesTheRangeOnceWhereverTheCopiesLand) {
    struct Case {
        const char* name;
        std::int32_t target;
        long double level;
        std::vector<Rec> expected;
    };
    // The range 100..120 holds 100, 110 and 120.
    const std::vector<Case> cases = {
        {"factor 0.5: below the range",
         50,
         1.0L,
         {{0, 1.0L}, {50, 1.0L}, {60, 0.5L}, {70, 0.25L}, {100, 1.0L}, {110, 0.5L}, {120, 0.25L}}},
        {"landing inside the range, onto its records",
         110,
         1.0L,
         {{0, 1.0L}, {100, 1.0L}, {110, 1.5L}, {120, 0.75L}, {130, 0.25L}}},
        {"landing inside the range, between its records",
         95,
         0.5L,
         {{0, 1.0L}, {95, 0.5L}, {100, 1.0L}, {105, 0.25L}, {110, 0.5L}, {115, 0.125L}, {120, 0.25L}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load({{0, 1.0L}, {100, 1.0L}, {110, 0.5L}, {120, 0.25L}}, 100, 120);
        window.harmonize = {false, c.target, c.level};
        const std::int32_t before = Entries();
        controller.Operation(TEditOperation::Harmonize);
        EXPECT_EQ(window.harmonizeLow, 100);
        EXPECT_EQ(Kernel(), c.expected);
        EXPECT_TRUE(window.highlighted);
        ExpectEntry(before, "Harmonize");
    }
}

TEST_F(ControllerTest, HarmonizeOfAnEmptyRangeChangesNothing) {
    Load({{0, 1.0L}, {200, 1.0L}}, 100, 120);
    window.harmonize = {false, 50, 1.0L};
    const std::int32_t before = Entries();
    controller.Operation(TEditOperation::Harmonize);
    EXPECT_EQ(Kernel(), (std::vector<Rec>{{0, 1.0L}, {200, 1.0L}}));
    ExpectEntry(before, "Harmonize");
}

// A kernel holding 10,240 records, impulses 0 to 10,239; the editor spans 0..10.
class FullKernelTest : public ControllerTest {
protected:
    FullKernelTest() {
        for (std::int32_t i = 0; i < kMaxKernelRecords; ++i)
            full.push_back({i, 0.5L, In});
        Load(full, 0, 10);
    }
    std::vector<Rec> full;
};

TEST_F(FullKernelTest, MergesThatNeedANewPlaceAreRefusedWithoutDamage) {
    struct Case {
        const char* name;
        std::function<void(ControllerTest&)> prepare;
        TEditOperation operation;
    };
    const std::vector<Case> cases = {
        {"Harmonize",
         [](ControllerTest& t) {
             t.window.harmonize = {false, -50, 1.0L};
         },
         TEditOperation::Harmonize},
        {"Mirror",
         [](ControllerTest& t) {
             t.window.mirror = {false, TReflector::EditorLow, 0, 1.0L};
         },
         TEditOperation::Mirror},
        {"Paste Mix",
         [](ControllerTest& t) {
             t.controller.Operation(TEditOperation::Copy);
             t.SetEditor(-20, -10);
         },
         TEditOperation::PasteMix},
        {"Paste Overwrite",
         [](ControllerTest& t) {
             t.controller.Operation(TEditOperation::Copy);
             t.SetEditor(-20, -10);
         },
         TEditOperation::PasteOverwrite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(full, 0, 10);
        window.errors.clear();
        c.prepare(*this);
        const std::int32_t before = Entries();
        controller.Operation(c.operation);
        EXPECT_EQ(Kernel(), full);
        EXPECT_EQ(model.CurrentStats->Count, kMaxKernelRecords);
        EXPECT_EQ(window.errors, std::vector<std::string>{kKernelFullMessage});
        ExpectEntry(before, c.name);
    }
}

TEST_F(FullKernelTest, MergesOntoExistingImpulsesStillWork) {
    window.harmonize = {false, 5, 1.0L};
    controller.Operation(TEditOperation::Harmonize);
    EXPECT_TRUE(window.errors.empty());
    EXPECT_EQ(model.CurrentKernel->Count(), kMaxKernelRecords);
    EXPECT_EQ(model.CurrentKernel->Value(4), 0.5L);
    EXPECT_EQ(model.CurrentKernel->Value(5), 1.0L);
    EXPECT_EQ(model.CurrentKernel->Value(15), 1.0L);
    EXPECT_EQ(model.CurrentKernel->Value(16), 0.5L);
}

TEST_F(ControllerTest, AnOverflowingProductChangesNothing) {
    const std::vector<Rec> kernel = {{0, 1.0L}, {5, std::numeric_limits<long double>::max()}};
    Load(kernel, 0, 10);
    window.amplify = {false, 4.0L};
    const std::int32_t before = Entries();
    EXPECT_THROW(controller.Operation(TEditOperation::Amplify), FloatError);
    EXPECT_EQ(Kernel(), kernel);
    EXPECT_TRUE(model.CurrentKernel->Notify);
    ExpectEntry(before, nullptr);
}

TEST_F(ControllerTest, UnknownTagsAreRefused) {
    for (std::int32_t tag : {0, 12, -1})
        EXPECT_THROW(controller.Operation(tag), RangeError) << tag;
}

// ---- Read-out, datum value and source ------------------------------------------------------------------

TEST_F(ControllerTest, ReadOutShowsImpulseTimeAndGrabbedValue) {
    Load({{-22050, 0.25L}, {0, 1.0L}, {44100, -1.5L, Out}, {88200000, 1e20L}}, 0, 10);
    struct Case {
        std::int32_t sampleRate;
        std::int32_t kernelIndex; // grabbed, -1 none
        std::string time, value;
        TSourceKind source;
    };
    const std::vector<Case> cases = {
        {0, 2, "0", "-1.5", Out},
        {44100, 2, "1.00000000", "-1.5", Out},
        {44100, 0, "-0.50000000", "0.25", In},
        {44100, 3, "2,000.00000000", "1E20", In},
        {44100, -1, "1.00000000", "0", TSourceKind::Pass},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time + " " + c.value);
        controller.SampleRate = c.sampleRate;
        const std::int32_t index = c.kernelIndex < 0 ? 2 : c.kernelIndex;
        const TColumnTriple hit{7, index, model.CurrentKernel->Impulse(index)};
        const TReadOut out = controller.ReadOut(hit, c.kernelIndex);
        EXPECT_EQ(out.Impulse, std::to_string(hit.Impulse));
        EXPECT_EQ(out.Datum, std::to_string(index));
        EXPECT_EQ(out.Time, c.time);
        EXPECT_EQ(out.Value, c.value);
        EXPECT_EQ(out.Source, c.source);
    }
}

TEST_F(ControllerTest, DatumValueTakesOnlyCheckedNumbers) {
    struct Case {
        std::string text;
        bool valid;
        long double value;
    };
    const std::vector<Case> cases = {
        {"0.75", true, 0.75L},
        {"-2", true, -2.0L},
        {"1.5e-3", true, 0.0015L},
        {"99999999999", true, 99999999999.0L},
        {"-", false, 0},
        {"+-5", false, 0},
        {"1e5000", false, 0},
        {"1.0e5000", false, 0},
        {"", false, 0},
        {"abc", false, 0},
        {"1.5E3", false, 0},
        {"1.5e", false, 0},
        {"1.2.3", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Load({{0, 1.0L}, {5, 0.5L}}, 0, 10);
        const std::int32_t before = Entries();
        const std::optional<std::string> shown = controller.DatumValueEnter(c.text, 1);
        if (c.valid) {
            EXPECT_EQ(shown, std::nullopt);
            EXPECT_EQ(working.Value(1), static_cast<long double>(static_cast<double>(c.value)));
            EXPECT_EQ(model.CurrentKernel->Value(1), working.Value(1));
            EXPECT_EQ(window.redrawn, std::make_pair(1, 1));
            ExpectEntry(before, "Enter Datum Value");
        } else {
            EXPECT_EQ(shown, std::optional<std::string>("Error"));
            EXPECT_EQ(Kernel(), (std::vector<Rec>{{0, 1.0L}, {5, 0.5L}}));
            EXPECT_EQ(working.Value(1), 0.5L);
            ExpectEntry(before, nullptr);
        }
    }
}

TEST_F(ControllerTest, DatumValueWithoutAGrabbedColumnDoesNothing) {
    Load({{0, 1.0L}, {5, 0.5L}}, 0, 10);
    for (const std::string text : {"0.75", "abc"}) {
        const std::int32_t before = Entries();
        EXPECT_EQ(controller.DatumValueEnter(text, -1), std::nullopt);
        EXPECT_EQ(Kernel(), (std::vector<Rec>{{0, 1.0L}, {5, 0.5L}}));
        ExpectEntry(before, nullptr);
    }
}

TEST_F(ControllerTest, SourceSelectRefusesOutputBelowImpulseOne) {
    struct Case {
        std::int32_t grabbed; // working index, -1 none
        TSourceKind chosen;
        TSourceKind shown;
        std::vector<Rec> expected;
        const char* undo;
    };
    const std::vector<Rec> start = {{-3, 0.5L}, {0, 1.0L}, {5, 0.5L}};
    const std::vector<Case> cases = {
        {1, Out, In, start, nullptr},
        {0, Out, In, start, nullptr},
        {2, Out, Out, {{-3, 0.5L}, {0, 1.0L}, {5, 0.5L, Out}}, "Set Audio Source"},
        {1,
         TSourceKind::Pass,
         TSourceKind::Pass,
         {{-3, 0.5L}, {0, 1.0L, TSourceKind::Pass}, {5, 0.5L}},
         "Set Audio Source"},
        {-1, Out, Out, start, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grabbed);
        Load(start, -5, 10);
        const std::int32_t before = Entries();
        EXPECT_EQ(controller.SourceSelect(c.chosen, c.grabbed), c.shown);
        EXPECT_EQ(Kernel(), c.expected);
        EXPECT_EQ(RecsOf(working), c.expected);
        ExpectEntry(before, c.undo);
    }

    // A refused choice shows the kind the record keeps, which need not be Input.
    for (const TSourceKind kept : {TSourceKind::Pass, Out}) {
        SCOPED_TRACE(static_cast<int>(kept));
        const std::vector<Rec> atZero = {{0, 1.0L, kept}};
        Load(atZero, -5, 10);
        const std::int32_t before = Entries();
        EXPECT_EQ(controller.SourceSelect(Out, 0), kept);
        EXPECT_EQ(Kernel(), atZero);
        ExpectEntry(before, nullptr);
    }
}

// ---- The editor's gestures ------------------------------------------------------------------------------

// The entries a gesture records appear only when it ends, in the order create, delete, change.
TEST_F(ControllerTest, EditorGesturesWriteBothListsAndRecordTheirEntryAtTheEnd) {
    const std::vector<Rec> start = {{-3, 0.5L}, {0, 1.0L}, {5, 0.5L}};
    struct Case {
        const char* what;
        std::function<void(ControllerTest&)> gesture;
        std::vector<Rec> expected;
        const char* undo;
    };
    const std::vector<Case> cases = {
        {"create",
         [](ControllerTest& t) {
             const std::optional<TEditorGrab> grab = t.controller.CreateColumn(2);
             ASSERT_TRUE(grab);
             EXPECT_EQ(*grab, (TEditorGrab{2, 2}));
             EXPECT_TRUE(t.model.CurrentKernel->Record(2).Selected);
             EXPECT_EQ(t.window.stats, std::make_pair(4, 1)); // the counts are shown
         },
         {{-3, 0.5L}, {0, 1.0L}, {2, 0.0L}, {5, 0.5L}},
         "Create Single Column"},
        {"create and drag: the new column's value is part of its creation",
         [](ControllerTest& t) {
             const std::optional<TEditorGrab> grab = t.controller.CreateColumn(2);
             ASSERT_TRUE(grab);
             EXPECT_TRUE(t.controller.StartDrag(grab->Working));
             t.controller.DragValue(*grab, 0.25L);
             t.controller.DragValue(*grab, 0.75L);
         },
         {{-3, 0.5L}, {0, 1.0L}, {2, 0.75L}, {5, 0.5L}},
         "Create Single Column"},
        {"a press on a column that holds a record takes it as it is",
         [](ControllerTest& t) {
             EXPECT_EQ(t.controller.CreateColumn(5), (TEditorGrab{2, 2}));
         },
         start, "Create Single Column"},
        {"grab and drag",
         [](ControllerTest& t) {
             EXPECT_TRUE(t.controller.StartDrag(1));
             t.controller.DragValue({1, 1}, -0.5L);
         },
         {{-3, 0.5L}, {0, -0.5L}, {5, 0.5L}},
         "Change Column Value"},
        {"delete",
         [](ControllerTest& t) {
             t.controller.DeleteColumn({2, 2});
             EXPECT_TRUE(t.controller.ColumnDeletePending());
             EXPECT_EQ(t.window.stats, std::make_pair(2, 1));
         },
         {{-3, 0.5L}, {0, 1.0L}},
         "Delete Single Column"},
        {"a release after a plain press", [](ControllerTest&) {}, start, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Load(start, -5, 10);
        const std::int32_t before = Entries();
        c.gesture(*this);
        EXPECT_EQ(Kernel(), c.expected);
        EXPECT_EQ(RecsOf(working), c.expected);
        ExpectEntry(before, nullptr); // nothing before the release
        controller.EndGesture();
        EXPECT_FALSE(controller.ColumnDeletePending());
        ExpectEntry(before, c.undo);
    }
}

TEST_F(ControllerTest, ADeletedColumnLeavesTheOtherChannelAndTheWorkingListRestAlone) {
    Load({{0, 1.0L}, {5, 0.5L}}, 0, 10);
    model.RightKernel.LoadRecords({Make({5, 0.25L})});
    controller.DeleteColumn({0, 0});
    EXPECT_EQ(Kernel(), (std::vector<Rec>{{5, 0.5L}}));
    EXPECT_EQ(RecsOf(model.RightKernel), (std::vector<Rec>{{5, 0.25L}}));
    EXPECT_GE(window.viewerUpdates, 1);
    controller.EndGesture();
    EXPECT_EQ(LastEntry(), "Delete Single Column");
}

TEST_F(ControllerTest, DraggingAPassRecordIsRefusedAndTheClipboardEmpties) {
    Load({{0, 1.0L}, {5, 0.5L, TSourceKind::Pass}}, 0, 10);
    controller.Operation(TEditOperation::Copy);
    ASSERT_TRUE(clipboard.HasList());
    EXPECT_FALSE(controller.StartDrag(1));
    EXPECT_FALSE(clipboard.HasList());
    EXPECT_TRUE(controller.StartDrag(0));
}

TEST_F(ControllerTest, AFullKernelRefusesANewColumn) {
    std::vector<TImpulseRec> full;
    for (std::int32_t i = 0; i < kMaxKernelRecords; ++i)
        full.push_back(Make({i - 5000, 0.5L}));
    model.CurrentKernel->LoadRecords(full);
    SetEditor(-5010, -4990);
    const std::int32_t before = Entries();
    EXPECT_EQ(controller.CreateColumn(-5005), std::nullopt);
    EXPECT_EQ(model.CurrentKernel->Count(), kMaxKernelRecords);
    controller.EndGesture();
    ExpectEntry(before, nullptr);
}

// ---- The editor range chosen in the histograms ----------------------------------------------------------

TEST_F(ControllerTest, AViewerDragAndARulerSpanSetTheEditorBoundsAndTheSelection) {
    // The view spans -400..400: column c shows impulse c - 400.
    Load({{-3, 0.5L}, {0, 1.0L}, {5, 0.5L}, {30, 0.25L}}, -10, 10);
    controller.ChooseEditorRange({396, 0, -4}, {406, 2, 6});
    EXPECT_EQ(EditorSpan(), std::make_pair(-4, 6));
    EXPECT_EQ(model.CurrentEditorBounds->Width, 11);
    EXPECT_EQ(model.CurrentEditorBounds->ZeroColumn, 4);
    EXPECT_EQ(model.CurrentEditorBounds->Count, 3);
    EXPECT_EQ(model.Selection.LowImpulse, -4);
    EXPECT_EQ(model.Selection.HighImpulse, 6);
    EXPECT_EQ(model.Selection.Count, 3);

    const int resets = window.editorRangeResets;
    EXPECT_TRUE(controller.SelectEditorSpan(20, 30)); // 11 wide, as before
    EXPECT_EQ(EditorSpan(), std::make_pair(20, 30));
    EXPECT_EQ(model.CurrentEditorBounds->Count, 1);
    EXPECT_EQ(model.Selection.FirstIndex, 3);
    EXPECT_EQ(model.Selection.Count, 1);
    EXPECT_GT(window.editorRangeResets, resets); // the editor's shown records follow
    EXPECT_FALSE(controller.SelectEditorSpan(-3, 30));
    EXPECT_EQ(model.Selection.Count, 4);
}

// ---- Channels and views --------------------------------------------------------------------------------

TEST_F(ControllerTest, SwitchingChannelShowsTheOtherKernel) {
    const std::int32_t before = Entries();
    controller.SwitchChannel(2);
    EXPECT_EQ(model.Channel, 2);
    EXPECT_EQ(model.CurrentKernel, &model.RightKernel);
    EXPECT_EQ(model.CurrentViews, &model.RightViews);
    EXPECT_EQ(model.CurrentEditorBounds, &model.RightEditorBounds);
    EXPECT_EQ(model.CurrentStats, &model.RightStats);
    EXPECT_EQ(window.shownChannel, 2);
    EXPECT_EQ(window.viewerChannel, 2);
    EXPECT_EQ(window.copyAllCaption, "Copy all from Left");
    EXPECT_EQ(window.controls, (TViewControls{1, 400, 801, 400}));

    const int shows = window.controlShows;
    controller.SwitchChannel(2);
    EXPECT_EQ(window.controlShows, shows);
    controller.SwitchChannel(1);
    EXPECT_EQ(window.copyAllCaption, "Copy all from Right");
    EXPECT_EQ(model.CurrentKernel, &model.LeftKernel);
    ExpectEntry(before, nullptr);
}

TEST_F(ControllerTest, CopyAllDuplicatesTheOtherChannel) {
    struct Case {
        std::int32_t channel;
        const char* undo;
    };
    for (const Case& c : {Case{1, "Duplicate Right to Left"}, Case{2, "Duplicate Left to Right"}}) {
        SCOPED_TRACE(c.undo);
        controller.SwitchChannel(c.channel);
        const std::int32_t other = 3 - c.channel;
        model.KernelOf(other).LoadRecords({Make({-4, 0.5L}), Make({0, 1.0L}), Make({9, 0.25L, Out})});
        model.StatsOf(other).Count = 3;
        const std::int32_t before = Entries();
        controller.CopyAll();
        EXPECT_EQ(RecsOf(model.KernelOf(c.channel)), RecsOf(model.KernelOf(other)));
        EXPECT_EQ(model.StatsOf(c.channel), model.StatsOf(other));
        EXPECT_EQ(model.CurrentView().Count, 3);
        EXPECT_EQ(model.CurrentView().ZeroIndex, 1);
        EXPECT_EQ(model.CurrentEditorBounds->Count, 3);
        EXPECT_EQ(working.Count(), 3);
        ExpectEntry(before, c.undo);
    }
}

TEST_F(ControllerTest, ViewNumberShowsTheSavedViewAndKeepsTheEditorImpulses) {
    TViewBounds& second = model.LeftViews[1];
    second.LowImpulse = 0;
    second.HighImpulse = 200;
    const std::int32_t before = Entries();
    controller.ChangeView(2);
    EXPECT_EQ(model.ViewNumber, 2);
    EXPECT_EQ(window.controls, (TViewControls{2, 200, 201, 0}));
    EXPECT_EQ(EditorSpan(), std::make_pair(-10, 10));
    EXPECT_EQ(model.CurrentEditorBounds->RelLow, -10);
    EXPECT_EQ(model.CurrentEditorBounds->RelHigh, 10);
    controller.ChangeView(1);
    EXPECT_EQ(model.CurrentEditorBounds->RelLow, 390);
    ExpectEntry(before, nullptr);

    controller.FirstTime = true;
    controller.ChangeView(2);
    EXPECT_EQ(model.ViewNumber, 1);
}

TEST_F(ControllerTest, BoundsAndWidthEdits) {
    struct Case {
        const char* edit; // "high" or "width"
        std::string text;
        std::optional<std::string> shown;
        std::pair<std::int32_t, std::int32_t> view; // afterwards; the view starts at -400..400
    };
    const std::vector<Case> cases = {
        {"high", "100", std::nullopt, {-700, 100}},
        {"high", "-50", std::nullopt, {-850, -50}},
        {"high", "99999999", std::nullopt, {99999199, 99999999}},
        {"high", "100000000", "400", {-400, 400}},
        {"high", "-99999999", "400", {-400, 400}},
        {"high", "99999999999", std::nullopt, {-400, 400}},
        {"high", "-", std::nullopt, {-400, 400}},
        {"high", "+-5", std::nullopt, {-400, 400}},
        {"high", "1.5", std::nullopt, {-400, 400}},
        {"width", "201", std::nullopt, {200, 400}},
        {"width", "11", std::nullopt, {390, 400}},
        {"width", "801", std::nullopt, {-400, 400}},
        {"width", "802", "801", {-400, 400}},
        {"width", "1000", "801", {-400, 400}},
        {"width", "10", "11", {-400, 400}},
        {"width", "-5", "11", {-400, 400}},
        {"width", "99999999999", std::nullopt, {-400, 400}},
        {"width", "abc", std::nullopt, {-400, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edit) + " " + c.text);
        model.CurrentView().LowImpulse = -400;
        model.CurrentView().HighImpulse = 400;
        model.RecomputeBounds(model.CurrentView(), -1);
        model.RecomputeBounds(*model.CurrentEditorBounds, -1);
        const std::int32_t before = Entries();
        const int viewerUpdates = window.viewerUpdates;
        const std::optional<std::string> shown = std::string(c.edit) == "high"
                                                     ? controller.LastColImplsEnter(c.text)
                                                     : controller.NmbrVwrColsEnter(c.text);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(ViewSpan(), c.view);
        EXPECT_EQ(model.CurrentView().Width, c.view.second - c.view.first + 1);
        EXPECT_EQ(model.CurrentView().ZeroColumn, -c.view.first);
        EXPECT_EQ(model.CurrentEditorBounds->RelLow, -10 - c.view.first);
        EXPECT_EQ(EditorSpan(), std::make_pair(-10, 10));
        // Out-of-range widths change nothing, not even the viewer; everything else refreshes it.
        const bool widthCorrected = c.shown == "801" || c.shown == "11";
        EXPECT_EQ(window.viewerUpdates, viewerUpdates + (widthCorrected ? 0 : 1));
        ExpectEntry(before, nullptr);
    }
}

TEST_F(ControllerTest, Width201WithHighImpulse100GivesMinus100To100) {
    controller.LastColImplsEnter("100");
    EXPECT_EQ(controller.NmbrVwrColsEnter("201"), std::nullopt);
    EXPECT_EQ(ViewSpan(), std::make_pair(-100, 100));
    EXPECT_EQ(window.controls, (TViewControls{1, 100, 201, 100}));
    EXPECT_TRUE(window.highlighted);
}

// ---- Impulse-zero shift --------------------------------------------------------------------------------

TEST_F(ControllerTest, RaisingTheZeroColumnMovesEveryRecordDown) {
    Load({{-5, 0.5L}, {0, 1.0L}, {1, 0.25L}, {7, 0.125L}}, -10, 10);
    const TViewArray viewsBefore = model.LeftViews;
    const std::vector<Rec> rightBefore = RecsOf(model.RightKernel);
    const std::int32_t before = Entries();
    controller.ShiftImpulseZero(401);

    EXPECT_EQ(Kernel(), (std::vector<Rec>{{-6, 0.5L}, {-1, 1.0L}, {0, 0.25L}, {6, 0.125L}}));
    EXPECT_EQ(ViewSpan(), std::make_pair(-401, 399));
    EXPECT_EQ(model.CurrentView().ZeroColumn, 401);
    // The bound and width edits show the view as it now stands.
    EXPECT_EQ(window.controls, (TViewControls{1, 399, 801, 401}));
    EXPECT_EQ(model.CurrentView().ZeroIndex, 2);
    EXPECT_EQ(model.CurrentStats->ZeroIndex, 2);
    EXPECT_EQ(EditorSpan(), std::make_pair(-11, 9));
    EXPECT_EQ(model.CurrentEditorBounds->RelLow, 390);
    EXPECT_EQ(model.Selection.LowImpulse, -11);
    EXPECT_EQ(model.Selection.Count, 4);
    for (std::size_t v = 1; v < kViewCount; ++v) {
        EXPECT_EQ(model.LeftViews[v].LowImpulse, viewsBefore[v].LowImpulse);
        EXPECT_EQ(model.LeftViews[v].HighImpulse, viewsBefore[v].HighImpulse);
    }
    EXPECT_EQ(RecsOf(model.RightKernel), rightBefore);
    ExpectEntry(before, "Shift Impulse Zero");
}

TEST_F(ControllerTest, ZeroShiftsLeavingTheImpulseDomainAreRefused) {
    struct Case {
        const char* name;
        std::vector<Rec> kernel;
        std::int32_t newZeroColumn;
    };
    const std::vector<Case> cases = {
        {"a record below the domain", {{-99999999, 0.5L}, {0, 1.0L}}, 401},
        {"a record above the domain", {{0, 1.0L}, {99999999, 0.5L}}, 399},
        {"the view below the domain", {{0, 1.0L}}, 100000000},
        {"the view beyond int32", {{0, 1.0L}}, std::numeric_limits<std::int32_t>::min()},
        {"the view beyond int32 upward", {{0, 1.0L}}, std::numeric_limits<std::int32_t>::max()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.kernel, -10, 10);
        const std::int32_t before = Entries();
        window.controls = {};
        controller.ShiftImpulseZero(c.newZeroColumn);
        EXPECT_EQ(Kernel(), c.kernel);
        EXPECT_EQ(ViewSpan(), std::make_pair(-400, 400));
        EXPECT_EQ(EditorSpan(), std::make_pair(-10, 10));
        EXPECT_EQ(window.controls.ZeroColumn, 400);
        ExpectEntry(before, nullptr);
    }
}

TEST_F(ControllerTest, ZeroShiftIsMutedWhileTheWindowSetsTheSpin) {
    Load({{0, 1.0L}}, -10, 10);
    const std::int32_t before = Entries();
    controller.FirstTime = true;
    controller.ShiftImpulseZero(401);
    controller.FirstTime = false;
    controller.Loading = true;
    controller.ShiftImpulseZero(401);
    controller.Loading = false;
    // The window echoes every control the controller shows into the spin handlers.
    window.onShowViewControls = [this](const TViewControls& c) {
        controller.ShiftImpulseZero(c.ZeroColumn + 1);
        controller.ChangeView(c.ViewNumber == 1 ? 2 : 1);
    };
    controller.SwitchChannel(2);
    controller.SwitchChannel(1);
    controller.LastColImplsEnter("100");
    EXPECT_EQ(Kernel(), (std::vector<Rec>{{0, 1.0L}}));
    EXPECT_EQ(model.ViewNumber, 1);
    ExpectEntry(before, nullptr);
}

// ---- Designers and Reset -------------------------------------------------------------------------------

TEST_F(ControllerTest, DesignerClosedRecordsItsEntryAlsoAfterCancel) {
    EXPECT_EQ(controller.DesignerTargetImpulse(), 0);
    SetEditor(100, 120);
    EXPECT_EQ(controller.DesignerTargetImpulse(), 110);

    // A designer writes with Notify off; the controller brings the views up to date.
    model.RightKernel.LoadRecords({Make({0, 1.0L}), Make({50, 0.5L})});
    TImpulseRec rec = Make({105, 0.5L});
    model.LeftKernel.Notify = false;
    model.LeftKernel.AddOrMerge(rec, TMergeMode::Overwrite);
    model.LeftKernel.Notify = true;
    std::int32_t before = Entries();
    controller.DesignerClosed("Design Echo");
    ExpectEntry(before, "Design Echo");
    EXPECT_EQ(model.CurrentEditorBounds->Count, 1);
    EXPECT_EQ(model.Selection.Count, 1);
    EXPECT_EQ(model.RightStats.Count, 2);
    EXPECT_EQ(window.stats, std::make_pair(2, 2));
    EXPECT_EQ(working.Count(), 1);

    before = Entries();
    controller.DesignerClosed("Design FIR Filter");
    ExpectEntry(before, "Design FIR Filter");
}

TEST_F(ControllerTest, ResetAsksAndClearsBothChannels) {
    Load({{0, 0.5L}, {3, 0.25L}}, 0, 20);
    model.RightKernel.LoadRecords({Make({9, 1.0L})});
    controller.ChangeView(3);
    controller.SwitchChannel(2);

    window.confirm = false;
    std::int32_t before = Entries();
    controller.Reset();
    EXPECT_EQ(window.question, "All impulse data in BOTH channels will be cleared.\rDo you wish to proceed?");
    EXPECT_EQ(RecsOf(model.RightKernel), (std::vector<Rec>{{9, 1.0L}}));
    ExpectEntry(before, nullptr);

    window.confirm = true;
    before = Entries();
    controller.Reset();
    const std::vector<Rec> start = {{0, 1.0L, In}};
    EXPECT_EQ(RecsOf(model.LeftKernel), start);
    EXPECT_EQ(RecsOf(model.RightKernel), start);
    EXPECT_EQ(model.Channel, 2);
    EXPECT_EQ(model.CurrentKernel, &model.RightKernel);
    EXPECT_EQ(model.ViewNumber, 1);
    EXPECT_EQ(ViewSpan(), std::make_pair(-400, 400));
    EXPECT_EQ(EditorSpan(), std::make_pair(-10, 10));
    EXPECT_EQ(window.controls, (TViewControls{1, 400, 801, 400}));
    EXPECT_EQ(window.scaleResets, 1);
    EXPECT_EQ(window.caption, "Kernel: Untitled");
    EXPECT_EQ(working.Count(), 1);
    EXPECT_EQ(window.stats, std::make_pair(1, 1));
    ExpectEntry(before, "Reset Kernel");
}

} // namespace
} // namespace tarvola
