#include "kernel/ImpulseClipboard.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvola {
namespace {

TImpulseRec Rec(std::int32_t impulse, long double value = 1.0L, TSourceKind kind = TSourceKind::Input) {
    TImpulseRec rec;
    rec.Impulse = impulse;
    rec.Value = value;
    rec.Kind = kind;
    return rec;
}

std::vector<std::int32_t> Impulses(const TobjHistData& kernel) {
    std::vector<std::int32_t> out;
    for (std::int32_t i = 0; i < kernel.Count(); ++i)
        out.push_back(kernel.Impulse(i));
    return out;
}

class ClipboardTest : public testing::Test {
protected:
    ClipboardTest() {
        model.ResetToDefaults();
        kernel.Notify = false; // as the designer runs its edit operations
        model.CurrentEditorBounds->HighImpulse = 1000;
    }
    void Copy(std::vector<TImpulseRec> records, std::int32_t low, std::int32_t high) {
        kernel.LoadRecords(records);
        model.SelectImpulses(low, high, false);
        clipboard.CopySelection();
    }
    void Select(std::int32_t low, std::int32_t high) { model.SelectImpulses(low, high, false); }

    KernelModel model;
    TobjHistData& kernel = model.LeftKernel;
    TobjHistData working{model};
    TImpulseClipboard clipboard{model};
};

TEST_F(ClipboardTest, EachPasteKeepsTheGapsOfTheCopiedSelection) {
    Copy({Rec(5), Rec(12), Rec(15), Rec(30)}, 10, 20);
    EXPECT_EQ(clipboard.ClipCount(), 2);
    EXPECT_EQ(clipboard.ClipBytes(), 64);

    struct Case {
        std::int32_t selectionLow;
        std::vector<std::int32_t> expected;
    };
    const Case pastes[] = {{100, {5, 15, 30, 102, 105}}, {200, {5, 15, 30, 102, 105, 202, 205}}};
    kernel.LoadRecords({Rec(5), Rec(15), Rec(30)});
    for (const Case& paste : pastes) {
        Select(paste.selectionLow, paste.selectionLow + 20);
        EXPECT_TRUE(clipboard.PasteOverwrite());
        EXPECT_EQ(Impulses(kernel), paste.expected) << paste.selectionLow;
        EXPECT_EQ(clipboard.ClipLow(), 10);
        // The selection had no record inside: it now names the pasted ones.
        EXPECT_EQ(model.Selection.FirstIndex, kernel.Find(paste.selectionLow + 2, 0, TFindMode::Exact));
        EXPECT_EQ(model.Selection.LastIndex, kernel.Find(paste.selectionLow + 5, 0, TFindMode::Exact));
    }
}

TEST_F(ClipboardTest, OverwriteReplacesTheWholeRecord) {
    TImpulseRec copied = Rec(12, 0.5L, TSourceKind::Output);
    copied.Bar = {1, 2, 3, 4};
    copied.Selected = true;
    Copy({copied}, 10, 20);
    TImpulseRec existing = Rec(102, -3.0L, TSourceKind::Pass);
    existing.Bar = {9, 9, 9, 9};
    kernel.LoadRecords({existing});
    Select(100, 120);

    EXPECT_TRUE(clipboard.PasteOverwrite());
    TImpulseRec expected = copied;
    expected.Impulse = 102;
    ASSERT_EQ(kernel.Count(), 1);
    EXPECT_EQ(kernel.Record(0), expected);
}

TEST_F(ClipboardTest, PasteLimits) {
    struct Case {
        const char* what;
        bool mix;
        std::int32_t selectionLow, selectionHigh, editorHigh;
        std::vector<std::int32_t> expected;
    };
    // The clipboard holds 10, 11 and 13 copied from 10..13.
    const Case cases[] = {
        {"overwrite stops beyond the editor", false, 100, 103, 101, {100, 101}},
        {"mix goes beyond the editor", true, 100, 103, 101, {100, 101, 103}},
        {"overwrite takes at most the width", false, 100, 101, 1000, {100, 101}},
        {"mix takes at most the width", true, 100, 100, 1000, {100}},
        {"an empty selection width pastes nothing", false, 100, 99, 1000, {}},
    };
    for (const Case& c : cases) {
        Copy({Rec(10), Rec(11), Rec(13)}, 10, 13);
        kernel.Clear();
        working.Clear();
        Select(c.selectionLow, c.selectionHigh);
        model.CurrentEditorBounds->HighImpulse = c.editorHigh;
        EXPECT_TRUE(c.mix ? clipboard.PasteMix(working) : clipboard.PasteOverwrite()) << c.what;
        EXPECT_EQ(Impulses(kernel), c.expected) << c.what;
    }
}

TEST_F(ClipboardTest, MixAddsIntoKernelAndWorkingList) {
    Copy({Rec(12, 0.5L, TSourceKind::Input), Rec(14, 0.5L, TSourceKind::Output)}, 10, 20);
    kernel.LoadRecords({Rec(-8, 0.25L, TSourceKind::Input)});
    working.LoadRecords({Rec(-8, 0.25L, TSourceKind::Input)});
    Select(-10, 10);

    EXPECT_TRUE(clipboard.PasteMix(working));
    for (const TobjHistData* list : {&kernel, &working}) {
        ASSERT_EQ(list->Count(), 2);
        EXPECT_EQ(list->Record(0).Value, 0.75L);
        EXPECT_EQ(list->Record(0).Kind, TSourceKind::Input);
        EXPECT_EQ(list->Record(1).Impulse, -6);
        EXPECT_EQ(list->Record(1).Kind, TSourceKind::Input); // a feedback tap cannot read ahead
    }
}

TEST_F(ClipboardTest, EmptyClipboardPastesNothing) {
    struct Case {
        const char* what;
        std::function<void()> empty;
    };
    const Case cases[] = {
        {"nothing inside the copied selection",
         [&] {
             Copy({Rec(5), Rec(30)}, 10, 20);
         }},
        {"a drag in the editor after the copy",
         [&] {
             Copy({Rec(12)}, 10, 20);
             clipboard.FreeClipboard();
         }},
    };
    for (const Case& c : cases) {
        c.empty();
        kernel.LoadRecords({Rec(1)});
        Select(100, 120);
        EXPECT_TRUE(clipboard.PasteOverwrite()) << c.what;
        EXPECT_TRUE(clipboard.PasteMix(working)) << c.what;
        EXPECT_EQ(Impulses(kernel), std::vector<std::int32_t>{1}) << c.what;
        EXPECT_EQ(working.Count(), 0) << c.what;
    }
}

TEST_F(ClipboardTest, AFullKernelStopsThePasteAndSaysSo) {
    Copy({Rec(0, 0.5L), Rec(1, 0.5L)}, 0, 1);
    std::vector<TImpulseRec> full;
    for (std::int32_t i = 0; i < kMaxKernelRecords; ++i)
        full.push_back(Rec(2 * i));
    for (bool mix : {false, true}) {
        kernel.LoadRecords(full);
        Select(0, 1);
        EXPECT_FALSE(mix ? clipboard.PasteMix(working) : clipboard.PasteOverwrite()) << mix;
        EXPECT_EQ(kernel.Count(), kMaxKernelRecords);
        EXPECT_EQ(kernel.Impulse(1), 2);
        // The record at 0 was placed before the refusal at 1.
        EXPECT_EQ(kernel.Value(0), mix ? 1.5L : 0.5L);
    }
}

TEST_F(ClipboardTest, RecordsMovedOutOfTheImpulseDomainAreSkipped) {
    Copy({Rec(0), Rec(8)}, 0, 10);
    kernel.Clear();
    Select(99999995, 99999999);
    model.CurrentEditorBounds->HighImpulse = 99999999;
    EXPECT_TRUE(clipboard.PasteOverwrite());
    EXPECT_TRUE(clipboard.PasteMix(working));
    EXPECT_EQ(Impulses(kernel), std::vector<std::int32_t>{99999995});
}

} // namespace
} // namespace tarvola
