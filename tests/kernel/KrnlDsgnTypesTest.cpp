#include "kernel/KrnlDsgnTypes.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
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

std::vector<TImpulseRec> Recs(std::initializer_list<std::int32_t> impulses) {
    std::vector<TImpulseRec> out;
    for (std::int32_t impulse : impulses)
        out.push_back(Rec(impulse));
    return out;
}

std::vector<std::int32_t> Impulses(const TobjHistData& kernel) {
    std::vector<std::int32_t> out;
    for (std::int32_t i = 0; i < kernel.Count(); ++i)
        out.push_back(kernel.Record(i).Impulse);
    return out;
}

// ---- Record codec --------------------------------------------------------------------------------------

TEST(ImpulseRecCodec, GoldenBytes) {
    TImpulseRec rec = Rec(-3, 1.0L, TSourceKind::Output);
    rec.Bar = {0x11, -2, 0x01020304, 0x7FFFFFFF};
    rec.Selected = true;
    const ImpulseRecBytes expected = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xFF, 0x3F, // value 1.0
                                      0xFD, 0xFF, 0xFF, 0xFF,                         // impulse -3
                                      0x02,                                           // Output
                                      0x11, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, // bar left, top
                                      0x04, 0x03, 0x02, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, // bar right, bottom
                                      0x01};                                          // selected
    EXPECT_EQ(EncodeImpulseRec(rec), expected);
    EXPECT_EQ(DecodeImpulseRec(expected.data()), rec);
}

TEST(ImpulseRecCodec, ValuesRoundTrip) {
    const long double values[] = {0.5L,
                                  -2.0L,
                                  0.0L,
                                  std::numeric_limits<long double>::denorm_min(),
                                  std::numeric_limits<long double>::max(),
                                  -1.0L / 3.0L};
    for (long double value : values) {
        const TImpulseRec rec = Rec(123456, value, TSourceKind::Pass);
        EXPECT_EQ(DecodeImpulseRec(EncodeImpulseRec(rec).data()), rec) << static_cast<double>(value);
    }
}

TEST(ImpulseRecCodec, UnsoundBytesReadAsTheNearestSoundRecord) {
    struct Case {
        const char* what;
        std::array<std::uint8_t, 10> value;
        std::uint8_t kind;
        std::uint8_t selected;
        long double expectedValue;
        TSourceKind expectedKind;
    };
    const Case cases[] = {
        {"kind 7", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, 7, 1, 1.0L, TSourceKind::Pass},
        {"quiet NaN", {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}, 1, 1, 0.0L, TSourceKind::Input},
        {"infinity", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}, 2, 1, 0.0L, TSourceKind::Output},
        {"unnormal", {0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}, 1, 1, 0.0L, TSourceKind::Input},
        {"pseudo-infinity", {0, 0, 0, 0, 0, 0, 0, 0x00, 0xFF, 0x7F}, 1, 1, 0.0L, TSourceKind::Input},
        {"selected byte 5", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}, 1, 5, 0.5L, TSourceKind::Input},
    };
    for (const Case& c : cases) {
        ImpulseRecBytes bytes = EncodeImpulseRec(Rec(9));
        std::copy(c.value.begin(), c.value.end(), bytes.begin());
        bytes[14] = c.kind;
        bytes[31] = c.selected;
        const TImpulseRec rec = DecodeImpulseRec(bytes.data());
        EXPECT_EQ(rec.Value, c.expectedValue) << c.what;
        EXPECT_EQ(rec.Kind, c.expectedKind) << c.what;
        EXPECT_TRUE(rec.Selected) << c.what;
        EXPECT_EQ(rec.Impulse, 9) << c.what;
    }
}

TEST(BoundsCodec, FieldsInStoredOrder) {
    std::array<std::uint8_t, kViewBoundsSize> viewBytes{};
    for (std::size_t i = 0; i < 17; ++i)
        viewBytes[4 * i] = static_cast<std::uint8_t>(i + 1);
    const TViewBounds view = DecodeViewBounds(viewBytes.data());
    EXPECT_EQ(view.RelLow, 1);
    EXPECT_EQ(view.LowImpulse, 3);
    EXPECT_EQ(view.HighImpulse, 6);
    EXPECT_EQ(view.FirstIndex, 8);
    EXPECT_EQ(view.LastImpulse, 12);
    EXPECT_EQ(view.ZeroIndex, 14);
    EXPECT_EQ(view.Width, 16);
    EXPECT_EQ(view.Count, 17);
    EXPECT_EQ(EncodeViewBounds(view), viewBytes);

    const TChannelStats stats{10, -20, 30, -40, 50, 0x7FFFFFFF};
    const ChannelStatsBytes statsBytes = EncodeChannelStats(stats);
    EXPECT_EQ(statsBytes[4], 0xEC); // -20
    EXPECT_EQ(statsBytes[7], 0xFF);
    EXPECT_EQ(DecodeChannelStats(statsBytes.data()), stats);
}

// ---- Searches ------------------------------------------------------------------------------------------

class KernelTest : public testing::Test {
protected:
    KernelModel model;
    TobjHistData& kernel = model.LeftKernel;
};

TEST_F(KernelTest, FindCases) {
    kernel.LoadRecords(Recs({-3, 2, 7}));
    struct Case {
        std::int32_t impulse, start;
        int mode;
        std::int32_t expected;
    };
    const Case cases[] = {
        {5, 0, 1, 2},         {5, 0, 2, 1},          {7, 0, 0, 2},        {8, 0, 1, -1},
        {-3, 0, 0, 0},        {4, 0, 0, -1},         {-4, 0, 1, 0},       {-4, 0, 2, -1},
        {8, 0, 2, 2},         {2, 2, 0, -1},         {2, 2, 1, 2},        {2, 2, 2, -1},
        {2, 1, 2, 1},         {7, 3, 0, -1},         {7, 3, 2, -1},       {-100000000, 0, 1, -1},
        {-99999999, 0, 1, 0}, {100000000, 0, 2, -1}, {99999999, 0, 2, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kernel.Find(c.impulse, c.start, static_cast<TFindMode>(c.mode)), c.expected)
            << c.impulse << " from " << c.start << " mode " << c.mode;
    EXPECT_THROW(kernel.Find(2, -1, TFindMode::Exact), RangeError);

    kernel.Clear();
    for (int mode = 0; mode <= 2; ++mode)
        EXPECT_EQ(kernel.Find(0, 0, static_cast<TFindMode>(mode)), -1);
}

// The scans that define Find, record by record with their sentinels.
std::int32_t ScanFind(const std::vector<std::int32_t>& impulses, std::int32_t impulse, std::int32_t start,
                      int mode) {
    const auto last = static_cast<std::int32_t>(impulses.size()) - 1;
    if (impulses.empty() || start > last)
        return -1;
    if (mode == 0) {
        for (std::int32_t i = start; i <= last; ++i)
            if (impulses[i] == impulse)
                return i;
    } else if (mode == 1) {
        std::int32_t previous = -kImpulseLimit;
        for (std::int32_t i = start; i <= last; ++i) {
            if (impulses[i] >= impulse && impulse > previous)
                return i;
            previous = impulses[i];
        }
    } else {
        std::int32_t next = kImpulseLimit;
        for (std::int32_t i = last; i >= start; --i) {
            if (impulses[i] <= impulse && impulse < next)
                return i;
            next = impulses[i];
        }
    }
    return -1;
}

TEST_F(KernelTest, FindGivesWhatTheScanGives) {
    std::mt19937 random(2024);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::int32_t> impulses;
        std::int32_t impulse = -kImpulseLimit + 1 + static_cast<std::int32_t>(random() % 3);
        const int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            impulses.push_back(impulse);
            impulse += 1 + static_cast<std::int32_t>(random() % (round % 2 ? 3 : 40000000));
            if (impulse >= kImpulseLimit)
                break;
        }
        std::vector<TImpulseRec> records;
        for (std::int32_t i : impulses)
            records.push_back(Rec(i));
        kernel.LoadRecords(records);
        std::vector<std::int32_t> probes = {-kImpulseLimit, kImpulseLimit, INT32_MIN, INT32_MAX, 0};
        for (std::int32_t i : impulses)
            probes.insert(probes.end(), {i - 1, i, i + 1});
        for (std::int32_t probe : probes)
            for (std::int32_t start = 0; start <= count + 1; ++start)
                for (int mode = 0; mode <= 2; ++mode)
                    ASSERT_EQ(kernel.Find(probe, start, static_cast<TFindMode>(mode)),
                              ScanFind(impulses, probe, start, mode))
                        << probe << " from " << start << " mode " << mode;
    }
}

TEST_F(KernelTest, FindRangeCases) {
    kernel.LoadRecords(Recs({-3, 2, 7}));
    struct Case {
        std::int32_t low, high;
        TRangeResult result;
        std::int32_t first, last;
    };
    const Case cases[] = {
        {3, 6, TRangeResult::NoneInside, 2, 2},    {-10, 10, TRangeResult::Inside, 0, 2},
        {2, 2, TRangeResult::Inside, 1, 1},        {8, 20, TRangeResult::NoneAbove, 3, -1},
        {-10, -5, TRangeResult::NoneBelow, -1, 0},
    };
    for (const Case& c : cases) {
        std::int32_t first = 99, last = 99;
        EXPECT_EQ(kernel.FindRange(c.low, c.high, first, last), c.result) << c.low << ".." << c.high;
        EXPECT_EQ(first, c.first) << c.low << ".." << c.high;
        EXPECT_EQ(last, c.last) << c.low << ".." << c.high;
    }
    kernel.Clear();
    std::int32_t first = 99, last = 98;
    EXPECT_EQ(kernel.FindRange(0, 5, first, last), TRangeResult::Empty);
    EXPECT_EQ(first, 99);
    EXPECT_EQ(last, 98);
}

// ---- AddOrMerge ----------------------------------------------------------------------------------------

TEST_F(KernelTest, AddOrMergeAtAnExistingImpulse) {
    struct Case {
        TMergeMode mode;
        TSourceKind existingKind, newKind;
        std::int32_t result;
        long double value;
        TSourceKind kind;
        bool replacedWhole;
    };
    using K = TSourceKind;
    const Case cases[] = {
        {TMergeMode::Keep, K::Input, K::Output, -1, 0.25L, K::Input, false},
        {TMergeMode::Overwrite, K::Input, K::Output, 1, 0.5L, K::Output, false},
        {TMergeMode::Overwrite, K::Output, K::Pass, 1, 0.5L, K::Pass, false},
        {TMergeMode::Mix, K::Output, K::Input, 1, 0.75L, K::Output, false},
        {TMergeMode::Mix, K::Input, K::Output, 1, 0.75L, K::Output, false},
        {TMergeMode::Mix, K::Input, K::Input, 1, 0.75L, K::Input, false},
        {TMergeMode::Mix, K::Pass, K::Input, -1, 0.5L, K::Input, true},
        {TMergeMode::Mix, K::Pass, K::Output, -1, 0.5L, K::Output, true},
        {TMergeMode::Mix, K::Input, K::Pass, -1, 0.25L, K::Input, false},
    };
    for (const Case& c : cases) {
        TImpulseRec existing = Rec(5, 0.25L, c.existingKind);
        existing.Bar = {1, 2, 3, 4};
        kernel.LoadRecords({Rec(1), existing, Rec(9)});
        TImpulseRec incoming = Rec(5, 0.5L, c.newKind);
        incoming.Selected = true;
        model.LastKeptIndex = 77;

        EXPECT_EQ(kernel.AddOrMerge(incoming, c.mode), c.result);
        const TImpulseRec& after = kernel.Record(1);
        EXPECT_EQ(after.Value, c.value);
        EXPECT_EQ(after.Kind, c.kind);
        EXPECT_EQ(after.Selected, c.replacedWhole);
        EXPECT_EQ(after.Bar == TBarRect{}, c.replacedWhole);
        EXPECT_EQ(model.LastKeptIndex, c.mode == TMergeMode::Keep ? 1 : -1);
        EXPECT_EQ(kernel.Count(), 3);
    }
}

TEST_F(KernelTest, AddOrMergePlacesNewImpulsesInOrder) {
    kernel.LoadRecords(Recs({-3, 2, 7}));
    struct Case {
        std::int32_t impulse;
        TSourceKind kind;
        std::int32_t result;
        TSourceKind storedKind;
    };
    const Case cases[] = {
        {-4, TSourceKind::Output, 0, TSourceKind::Input}, // a negative feedback tap reads the future
        {0, TSourceKind::Output, 2, TSourceKind::Output},
        {9, TSourceKind::Output, 5, TSourceKind::Output},
        {-1, TSourceKind::Pass, 2, TSourceKind::Pass},
    };
    for (const Case& c : cases) {
        TImpulseRec rec = Rec(c.impulse, 0.5L, c.kind);
        EXPECT_EQ(kernel.AddOrMerge(rec, TMergeMode::Keep), c.result) << c.impulse;
        EXPECT_EQ(kernel.Record(c.result).Kind, c.storedKind) << c.impulse;
        EXPECT_EQ(rec.Kind, c.storedKind) << c.impulse;
    }
    EXPECT_EQ(Impulses(kernel), (std::vector<std::int32_t>{-4, -3, -1, 0, 2, 7, 9}));

    TImpulseRec outside = Rec(kImpulseLimit);
    EXPECT_THROW(kernel.AddOrMerge(outside, TMergeMode::Mix), RangeError);
}

TEST_F(KernelTest, FullKernelRefusesNewRecords) {
    std::vector<TImpulseRec> records;
    for (std::int32_t i = 0; i < kMaxKernelRecords; ++i)
        records.push_back(Rec(2 * i));
    kernel.LoadRecords(records);
    ASSERT_TRUE(kernel.IsFull());

    EXPECT_EQ(kernel.Add(Rec(1000000)), -1);
    EXPECT_FALSE(kernel.Insert(Rec(1), 1));
    for (TMergeMode mode : {TMergeMode::Keep, TMergeMode::Overwrite, TMergeMode::Mix}) {
        TImpulseRec between = Rec(3);
        TImpulseRec beyond = Rec(1000000);
        EXPECT_EQ(kernel.AddOrMerge(between, mode), kMergeRefused);
        EXPECT_EQ(kernel.AddOrMerge(beyond, mode), kMergeRefused);
    }
    EXPECT_EQ(kernel.Count(), kMaxKernelRecords);
    EXPECT_EQ(kernel.Record(1).Impulse, 2);

    // An impulse that is already there needs no room.
    TImpulseRec existing = Rec(4, 0.5L);
    EXPECT_EQ(kernel.AddOrMerge(existing, TMergeMode::Mix), 2);
    EXPECT_EQ(kernel.Record(2).Value, 1.5L);
}

// ---- List operations -----------------------------------------------------------------------------------

TEST_F(KernelTest, OutOfRangeIndexesRaise) {
    kernel.LoadRecords(Recs({1, 2, 3}));
    EXPECT_THROW(kernel.Record(3), RangeError);
    EXPECT_THROW(kernel.Record(-1), RangeError);
    EXPECT_THROW(kernel.PutRecord(Rec(4), 3), RangeError);
    EXPECT_THROW(kernel.Insert(Rec(4), 4), RangeError);
    EXPECT_THROW(kernel.Delete(2, 2), RangeError);
    EXPECT_THROW(kernel.Reverse(1, 3), RangeError);
    EXPECT_THROW(kernel.SetValue(-1, 1.0L), RangeError);
    EXPECT_THROW(kernel.CopyRange(model.RightKernel, 0, 0), RangeError);
    EXPECT_THROW(kernel.LoadRecords(Recs({2, 1})), RangeError);
    EXPECT_THROW(kernel.LoadRecords(Recs({1, 1})), RangeError);
    model.ViewNumber = 11;
    EXPECT_THROW(model.CurrentView(), RangeError);
    EXPECT_THROW(model.SelectChannel(3), RangeError);
    EXPECT_EQ(Impulses(kernel), (std::vector<std::int32_t>{1, 2, 3}));
}

TEST_F(KernelTest, CopyRangeAndReverse) {
    model.RightKernel.LoadRecords(Recs({1, 2, 3, 4, 5}));
    kernel.LoadRecords(Recs({9}));
    kernel.CopyRange(model.RightKernel, 1, 3);
    EXPECT_EQ(Impulses(kernel), (std::vector<std::int32_t>{2, 3, 4}));
    kernel.CopyRange(model.RightKernel, -1, -1);
    EXPECT_EQ(kernel.Count(), 0);
    kernel.CopyRange(model.RightKernel, 0, 4);
    kernel.Reverse(1, 3);
    EXPECT_EQ(Impulses(kernel), (std::vector<std::int32_t>{1, 4, 3, 2, 5}));
    kernel.Reverse(3, 2);
    EXPECT_EQ(Impulses(kernel), (std::vector<std::int32_t>{1, 4, 3, 2, 5}));
}

// ---- Selection -----------------------------------------------------------------------------------------

TEST_F(KernelTest, SelectImpulses) {
    struct Case {
        std::vector<std::int32_t> impulses;
        std::int32_t low, high;
        bool reset;
        TSelectionRec expected;
        std::vector<bool> selectedAfter; // every record starts selected
    };
    const Case cases[] = {
        {{5, 30}, 10, 20, false, {10, 20, 1, -1, 0, 0, 11}, {false, false}},
        {{5, 7, 30}, 0, 10, false, {0, 10, 0, 1, 2, 64, 11}, {true, true, false}},
        {{1, 5, 7, 30}, 5, 30, false, {5, 30, 1, 3, 3, 96, 26}, {false, true, true, true}},
        {{1, 5}, 10, 20, false, {10, 20, -1, -1, 0, 0, 11}, {false, false}},
        {{}, 10, 20, false, {10, 20, -1, -1, 0, 0, 11}, {}},
        {{5, 7}, 0, 10, true, EmptySelection, {false, false}},
    };
    for (const Case& c : cases) {
        std::vector<TImpulseRec> records;
        for (std::int32_t impulse : c.impulses) {
            records.push_back(Rec(impulse));
            records.back().Selected = true;
        }
        kernel.LoadRecords(records);
        model.SelectImpulses(c.low, c.high, c.reset);
        EXPECT_EQ(model.Selection, c.expected) << c.low << ".." << c.high;
        for (std::size_t i = 0; i < c.selectedAfter.size(); ++i)
            EXPECT_EQ(kernel.Record(static_cast<std::int32_t>(i)).Selected, c.selectedAfter[i]) << i;
    }
}

// ---- Bounds and notification ---------------------------------------------------------------------------

class NotifyingKernelTest : public testing::Test {
protected:
    NotifyingKernelTest() {
        model.ResetToDefaults();
        model.LeftKernel.LoadRecords(Recs({-30, -3, 0, 2, 7, 40}));
        RecomputeAll();
    }
    void RecomputeAll() {
        for (std::int32_t channel = 1; channel <= 2; ++channel) {
            model.SelectChannel(channel);
            for (TViewBounds& view : *model.CurrentViews)
                model.RecomputeBounds(view, -1);
            model.RecomputeBounds(*model.CurrentEditorBounds, -1);
        }
        model.SelectChannel(1);
    }
    // The bounds as a search from scratch gives them.
    TViewBounds Searched(TViewBounds bounds) {
        model.RecomputeBounds(bounds, -1);
        return bounds;
    }
    KernelModel model;
    TobjHistData& left = model.LeftKernel;
};

TEST_F(NotifyingKernelTest, DefaultsDescribeTheImpulseZeroRecord) {
    KernelModel fresh;
    fresh.ResetToDefaults();
    for (std::int32_t channel = 1; channel <= 2; ++channel) {
        const TobjHistData& kernel = fresh.KernelOf(channel);
        ASSERT_EQ(kernel.Count(), 1);
        EXPECT_EQ(kernel.Record(0), (TImpulseRec{1.0L, 0, TSourceKind::Input, {}, false}));
        const TViewBounds view{0, -1, -400, 800, -1, 400, 400, 0, 0, 400, 0, 0, 400, 0, 0, 801, 1};
        for (const TViewBounds& v : fresh.ViewsOf(channel))
            EXPECT_EQ(v, view);
        const TViewBounds editor{390, -1, -10, 410, -1, 10, 400, 0, 0, 400, 0, 0, 10, 0, 0, 21, 1};
        EXPECT_EQ(fresh.EditorBoundsOf(channel), editor);
        EXPECT_EQ(fresh.StatsOf(channel), (TChannelStats{1, 0, 0, 400, 0, 0}));
    }
    EXPECT_EQ(fresh.ViewNumber, 1);
}

TEST_F(NotifyingKernelTest, RecomputeBoundsValues) {
    TViewBounds editor = *model.CurrentEditorBounds; // -10..10 within the view -400..400
    EXPECT_EQ(model.RecomputeBounds(editor, -1), 4);
    EXPECT_EQ(editor.LowIndex, -1);
    EXPECT_EQ(editor.FirstIndex, 1);
    EXPECT_EQ(editor.FirstImpulse, -3);
    EXPECT_EQ(editor.FirstRel, 397);
    EXPECT_EQ(editor.LastIndex, 4);
    EXPECT_EQ(editor.LastImpulse, 7);
    EXPECT_EQ(editor.LastRel, 407);
    EXPECT_EQ(editor.ZeroIndex, 2);

    editor.LowImpulse = 3; // nothing inside 3..6
    editor.HighImpulse = 6;
    EXPECT_EQ(model.RecomputeBounds(editor, -1), 0);
    EXPECT_EQ((TColumnTriple{editor.FirstRel, editor.FirstIndex, editor.FirstImpulse}), NoRecord);
    EXPECT_EQ((TColumnTriple{editor.LastRel, editor.LastIndex, editor.LastImpulse}), NoRecord);
    EXPECT_EQ(editor.Width, 4);
    EXPECT_EQ(editor.RelLow, 403);
}

TEST_F(NotifyingKernelTest, HintGivesTheSameBoundsAsASearch) {
    // Records -30, -3, 0, 2, 7, 40; the span -10..10 starts at index 1.
    for (std::int32_t hint : {-1, 0, 1, 2, 3, 5, 6, 99}) {
        TViewBounds hinted = *model.CurrentEditorBounds;
        model.RecomputeBounds(hinted, hint);
        EXPECT_EQ(hinted, Searched(*model.CurrentEditorBounds)) << "hint " << hint;
    }
}

TEST_F(NotifyingKernelTest, NotificationKeepsCurrentBoundsExact) {
    int changes = 0;
    left.OnChange = [&] { ++changes; };
    struct Step {
        const char* what;
        std::function<void()> run;
    };
    const Step steps[] = {
        {"insert just below the span", [&] { left.Insert(Rec(-11), 1); }},
        {"insert just above the span", [&] { left.Insert(Rec(11), 6); }},
        {"insert at the low end", [&] { left.Insert(Rec(-10), 2); }},
        {"merge just inside the high end",
         [&] {
             TImpulseRec r = Rec(10);
             left.AddOrMerge(r, TMergeMode::Keep);
         }},
        {"delete the first inside", [&] { left.Delete(2, 1); }},
        {"add at the end", [&] { left.Add(Rec(500)); }},
        {"put a record", [&] { left.PutRecord(Rec(1), 4); }},
        {"reverse",
         [&] {
             left.SetRecord(0, Rec(-11)); // the designer's Reverse renumbers, then reverses the order
             left.SetRecord(1, Rec(-30));
             left.Reverse(0, 1);
         }},
        {"delete the first", [&] { left.Delete(0, 1); }},
    };
    int expectedChanges = 0;
    for (const Step& step : steps) {
        step.run();
        ++expectedChanges;
        EXPECT_EQ(*model.CurrentEditorBounds, Searched(*model.CurrentEditorBounds)) << step.what;
        EXPECT_EQ(model.CurrentView(), Searched(model.CurrentView())) << step.what;
        EXPECT_EQ(model.LeftStats.Count, left.Count()) << step.what;
        EXPECT_EQ(model.LeftStats.ZeroIndex, left.Find(0, 0, TFindMode::Exact)) << step.what;
    }
    EXPECT_EQ(changes, expectedChanges);

    left.Notify = false;
    left.Add(Rec(600));
    EXPECT_EQ(changes, expectedChanges);
    EXPECT_EQ(model.LeftStats.Count, left.Count() - 1);
}

TEST_F(NotifyingKernelTest, ChangeToTheOtherKernelLeavesTheCurrentBoundsAlone) {
    const TViewArray leftViews = model.LeftViews;
    const TViewBounds leftEditor = model.LeftEditorBounds;
    const TChannelStats leftStats = model.LeftStats;
    TobjHistData& right = model.RightKernel;
    for (std::int32_t impulse : {1, 2, 3, 4, 5, 6, 7, 8, 9})
        right.Add(Rec(impulse));
    right.Insert(Rec(-5), 0);

    EXPECT_EQ(model.LeftViews, leftViews);
    EXPECT_EQ(model.LeftEditorBounds, leftEditor);
    EXPECT_EQ(model.LeftStats, leftStats);
    EXPECT_EQ(model.RightStats.Count, 11);
    EXPECT_EQ(model.RightStats.ZeroIndex, 1);
}

TEST_F(NotifyingKernelTest, StatisticsFollowTheirOwnChannel) {
    model.SelectChannel(2);
    // The right channel's view 1 shows -400..400; one record far out widens Highest only.
    model.RightKernel.Add(Rec(300));
    EXPECT_EQ(model.RightStats.Highest, 300);
    EXPECT_EQ(model.RightStats.Count, 2);
    model.UpdateChannelStats(1);
    EXPECT_EQ(model.LeftStats.Count, 6);
    EXPECT_EQ(model.LeftStats.Highest, 40);

    // With the view wholly above impulse zero, the impulse-zero index is still kept exact.
    model.SelectChannel(1);
    left.Add(Rec(200));
    model.CurrentView().LowImpulse = 100;
    model.CurrentView().HighImpulse = 900;
    left.Insert(Rec(-50), 0);
    EXPECT_EQ(model.LeftStats.ZeroIndex, 3);
    EXPECT_EQ(left.Record(model.LeftStats.ZeroIndex).Impulse, 0);
}

TEST_F(NotifyingKernelTest, SetZeroIndexTouchesEveryCurrentView) {
    model.LeftViews[3].LowImpulse = -7;
    model.SetZeroIndex(4);
    for (const TViewBounds& view : model.LeftViews)
        EXPECT_EQ(view.ZeroIndex, 4);
    EXPECT_EQ(model.LeftViews[3].ZeroColumn, 7);
    EXPECT_EQ(model.RightViews[0].ZeroIndex, 0);
}

} // namespace
} // namespace tarvola
