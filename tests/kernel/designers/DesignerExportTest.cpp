#include "kernel/designers/DesignerExport.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace tarvola {
namespace {

TEST(DesignerExport, PlacesImpulsesOnlyInsideTheKernelsRange) {
    const std::int32_t intMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        std::int32_t target;
        std::int64_t offset;
        bool fits;
    } cases[] = {
        {0, 0, true},
        {100, -5, true},
        {99999999, 0, true},
        {99999998, 1, true},
        {99999999, 1, false},
        {100000000, 0, false},
        {-99999999, 0, true},
        {-99999999, -1, false},
        {intMax, 1, false},
        {0, std::numeric_limits<std::int64_t>::max(), false},
        {-1, std::numeric_limits<std::int64_t>::min(), false},
    };
    for (const auto& c : cases) {
        if (c.fits)
            EXPECT_EQ(DesignerImpulse(c.target, c.offset), c.target + c.offset);
        else
            EXPECT_THROW(DesignerImpulse(c.target, c.offset), RangeError) << c.target << " + " << c.offset;
    }
}

TEST(DesignerExport, OneChannelBoxAlwaysStaysChecked) {
    // (clicked box after the click, other box) -> clicked box's final state
    EXPECT_TRUE(ChannelBoxAfterClick(true, true));
    EXPECT_TRUE(ChannelBoxAfterClick(true, false));
    EXPECT_FALSE(ChannelBoxAfterClick(false, true));
    EXPECT_TRUE(ChannelBoxAfterClick(false, false)) << "unticking the last box ticks it again";
}

using K = TSourceKind;

TImpulseRec Rec(std::int32_t impulse, long double value, TSourceKind kind = K::Input) {
    TImpulseRec rec;
    rec.Impulse = impulse;
    rec.Value = value;
    rec.Kind = kind;
    return rec;
}

// Both kernels hold impulses -10, -2, 0, 2, 10 of different kinds; the five generated records sit at
// -2..2 (the span), each 0.25.
class KernelExport : public testing::Test {
protected:
    void SetUp() override {
        const std::vector<TImpulseRec> records = {Rec(-10, 1), Rec(-2, .5L, K::Output), Rec(0, 1),
                                                  Rec(2, .75L, K::Pass), Rec(10, 2, K::Output)};
        model_.LeftKernel.LoadRecords(records);
        model_.RightKernel.LoadRecords(records);
        model_.LeftKernel.OnChange = [this] { ++changes_; };
        model_.RightKernel.OnChange = [this] { ++changes_; };
    }

    void Export(TExportMode mode, bool left, bool right) {
        TExportRules rules;
        rules.mode = mode;
        rules.left = left;
        rules.right = right;
        ExportToKernels(block_, TImpulseSpan{-2, 2}, rules, model_.LeftKernel, model_.RightKernel);
    }

    KernelModel model_;
    std::vector<TImpulseRec> block_ = {Rec(-2, .25L), Rec(-1, .25L), Rec(0, .25L), Rec(1, .25L),
                                       Rec(2, .25L)};
    int changes_ = 0;
};

TEST_F(KernelExport, OverwriteReplacesOnlyTheSpan) {
    const std::vector<TImpulseRec> before = model_.RightKernel.Records();
    Export(TExportMode::Overwrite, true, false);
    const std::vector<TImpulseRec> expected = {Rec(-10, 1),          Rec(-2, .25L), Rec(-1, .25L),
                                               Rec(0, .25L),         Rec(1, .25L),  Rec(2, .25L),
                                               Rec(10, 2, K::Output)};
    EXPECT_EQ(model_.LeftKernel.Records(), expected);
    EXPECT_EQ(model_.RightKernel.Records(), before) << "an unticked channel is untouched";
}

TEST_F(KernelExport, OverwriteOutsideEveryRecordKeepsThemAll) {
    block_ = {Rec(3, .5L), Rec(4, .5L), Rec(5, .5L)};
    TExportRules rules;
    ExportToKernels(block_, TImpulseSpan{3, 5}, rules, model_.LeftKernel, model_.RightKernel);
    for (const TobjHistData* kernel : {&model_.LeftKernel, &model_.RightKernel}) {
        ASSERT_EQ(kernel->Count(), 8);
        EXPECT_EQ(kernel->Impulse(0), -10);
        EXPECT_EQ(kernel->Record(3), Rec(2, .75L, K::Pass));
        EXPECT_EQ(kernel->Record(6), Rec(5, .5L));
        EXPECT_EQ(kernel->Record(7), Rec(10, 2, K::Output));
    }
}

TEST_F(KernelExport, MixAddsAtEqualImpulses) {
    const std::vector<TImpulseRec> before = model_.LeftKernel.Records();
    Export(TExportMode::Mix, false, true);
    const std::vector<TImpulseRec> expected = {
        Rec(-10, 1),           Rec(-2, .75L, K::Output), // Output wins the kind
        Rec(-1, .25L),         Rec(0, 1.25L),
        Rec(1, .25L),          Rec(2, .25L), // a Pass record is replaced whole
        Rec(10, 2, K::Output),
    };
    EXPECT_EQ(model_.RightKernel.Records(), expected);
    EXPECT_EQ(model_.LeftKernel.Records(), before);
}

TEST_F(KernelExport, NotificationIsOffWhileWritingAndComesBackWithoutFiring) {
    Export(TExportMode::Overwrite, true, true);
    EXPECT_EQ(changes_, 0);
    EXPECT_TRUE(model_.LeftKernel.Notify);
    EXPECT_TRUE(model_.RightKernel.Notify);

    // An error half-way (a record outside the impulse domain) still puts notification back.
    block_.push_back(Rec(100000000, 1));
    EXPECT_THROW(Export(TExportMode::Mix, true, true), RangeError);
    EXPECT_EQ(changes_, 0);
    EXPECT_TRUE(model_.LeftKernel.Notify);
    EXPECT_TRUE(model_.RightKernel.Notify);

    block_.pop_back();
    model_.RightKernel.Notify = false;
    Export(TExportMode::Mix, true, true);
    EXPECT_TRUE(model_.LeftKernel.Notify);
    EXPECT_FALSE(model_.RightKernel.Notify) << "a kernel that was quiet stays quiet";
}

TEST_F(KernelExport, AFullKernelDropsNewImpulsesSilently) {
    std::vector<TImpulseRec> full;
    for (std::int32_t i = 0; i < kMaxKernelRecords; ++i)
        full.push_back(Rec(100 + i, 1));
    model_.LeftKernel.LoadRecords(full);
    block_ = {Rec(-1, .5L), Rec(100, .5L), Rec(20000, .5L)};

    TExportRules rules;
    rules.mode = TExportMode::Mix;
    ExportToKernels(block_, TImpulseSpan{-1, 20000}, rules, model_.LeftKernel, model_.RightKernel);
    EXPECT_EQ(model_.LeftKernel.Count(), kMaxKernelRecords);
    EXPECT_EQ(model_.LeftKernel.Record(0), Rec(100, 1.5L)) << "an existing impulse still mixes";
    EXPECT_EQ(model_.LeftKernel.Impulse(kMaxKernelRecords - 1), 100 + kMaxKernelRecords - 1);
    EXPECT_EQ(model_.RightKernel.Count(), 8);
}

} // namespace
} // namespace tarvola
