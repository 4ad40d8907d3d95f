#include "kernel/designers/ReverbExport.h"

#include "base/Numerics.h"
#include "kernel/Convolution.h"
#include "kernel/designers/ReverbControls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvola {
namespace {

constexpr std::int32_t T = 1000;

class ReverbExportTest : public testing::Test {
protected:
    KernelModel model;
    TobjHistData& left = model.LeftKernel;
    TobjHistData& right = model.RightKernel;
    std::unique_ptr<ReverbState> state = MakeReverbState();
    std::vector<std::string> warnings;

    void SetUp() override { state->TargetImpulse = T; }

    void Generate() {
        GenerateReverb(*state, left, right, [this](const std::string& text) { warnings.push_back(text); });
    }

    static void Put(TobjHistData& kernel, std::int32_t impulse, long double value,
                    TSourceKind kind = TSourceKind::Input) {
        TImpulseRec rec = InputTemplate;
        rec.Impulse = impulse;
        rec.Value = value;
        rec.Kind = kind;
        ASSERT_GE(kernel.AddOrMerge(rec, TMergeMode::Overwrite), 0);
    }

    static std::vector<std::uint8_t> Image(const TobjHistData& kernel) {
        std::vector<std::uint8_t> bytes;
        for (std::int32_t i = 0; i < kernel.Count(); ++i)
            bytes.insert(bytes.end(), kernel.RecordBytes(i), kernel.RecordBytes(i) + kImpulseRecSize);
        return bytes;
    }

    static int CountKind(const TobjHistData& kernel, TSourceKind kind) {
        int n = 0;
        for (std::int32_t i = 0; i < kernel.Count(); ++i)
            n += kernel.Kind(i) == kind ? 1 : 0;
        return n;
    }
};

TEST_F(ReverbExportTest, FilteredTapsSpreadAndSharpen) {
    for (long double f : {0.5L, -0.5L}) {
        TRegeneratorRec& g = state->Banks.GR[0][3];
        g.Level = 0.1L;
        g.Filtration = f;
        g.GainL = 0.8L;
        const auto taps = FilteredGRTap(*state, 0, 3, 500);
        const long double x = 0.1L * 0.8L;
        long double acc = 0;
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(taps[k].Impulse, 497 + k);
            EXPECT_EQ(taps[k].Kind, TSourceKind::Output);
            if (k != 3)
                acc += state->M[k] * x * 0.5L;
        }
        if (f > 0) {
            long double sum = 0;
            for (const TImpulseRec& t : taps)
                sum += t.Value;
            EXPECT_NEAR(static_cast<double>(sum), static_cast<double>(x), 1e-18);
            EXPECT_EQ(taps[1].Value, state->M[1] * x * 0.5L);
        } else {
            EXPECT_EQ(taps[3].Value, -acc * 1.5L);
            EXPECT_EQ(taps[1].Value, state->M[1] * x * 0.5L * 1.5L);
        }
    }
}

TEST(ReverbOverwriteSpans, CoverWhatIsWrittenButNotTheTarget) {
    auto records = [](std::initializer_list<std::int32_t> impulses) {
        std::vector<TImpulseRec> out;
        for (std::int32_t i : impulses) {
            TImpulseRec r = InputTemplate;
            r.Impulse = i;
            out.push_back(r);
        }
        return out;
    };
    struct Case {
        std::vector<TImpulseRec> records;
        std::vector<std::pair<std::int32_t, std::int32_t>> spans;
    };
    const Case cases[] = {
        {records({}), {}},
        {records({T + 637, T + 20000, T + 816}), {{T + 637, T + 20000}}},
        {records({T - 3, T + 3}), {{T - 3, T - 1}, {T + 1, T + 3}}},
        {records({T, T + 4}), {{T + 1, T + 4}}},
        {records({T}), {}},
    };
    for (const Case& c : cases) {
        const std::vector<TImpulseSpan> spans = ReverbOverwriteSpans(c.records, T);
        ASSERT_EQ(spans.size(), c.spans.size());
        for (std::size_t i = 0; i < spans.size(); ++i) {
            EXPECT_EQ(spans[i].low, c.spans[i].first);
            EXPECT_EQ(spans[i].high, c.spans[i].second);
        }
    }
}

TEST_F(ReverbExportTest, OverwriteClearsTheWrittenSpanAndScalesTheDryRecord) {
    Put(left, T - 50, 0.3L);
    Put(left, T, 0.8L);
    Put(left, T + 700, 0.9L); // inside the reverb, on no impulse of it
    Put(left, T + 40000, 0.7L);
    Generate();
    EXPECT_EQ(left.Find(T + 700, 0, TFindMode::Exact), -1);
    EXPECT_EQ(left.Value(left.Find(T - 50, 0, TFindMode::Exact)), 0.3L);
    EXPECT_EQ(left.Value(left.Find(T + 40000, 0, TFindMode::Exact)), 0.7L);
    const std::int32_t dry = left.Find(T, 0, TFindMode::Exact);
    EXPECT_EQ(left.Value(dry), 0.8L * 0.5L);

    // The early reflections are Input records, the feedback taps Output records.
    const std::int32_t first = left.Find(T + 637, 0, TFindMode::Exact);
    ASSERT_GE(first, 0);
    EXPECT_EQ(left.Kind(first), TSourceKind::Input);
    EXPECT_EQ(left.Value(first), state->Summed(0, 637));
    const auto taps = FilteredGRTap(*state, 0, 0, T + 819);
    const std::int32_t tap = left.Find(T + 819, 0, TFindMode::Exact);
    ASSERT_GE(tap, 0);
    EXPECT_EQ(left.Kind(tap), TSourceKind::Output);
    EXPECT_EQ(left.Value(tap), taps[3].Value);
    // The right channel, with no record at the target, gets a new dry record of the dry share.
    const std::int32_t rightDry = right.Find(T, 0, TFindMode::Exact);
    ASSERT_GE(rightDry, 0);
    EXPECT_EQ(right.Value(rightDry), 0.5L);
    EXPECT_EQ(right.Kind(rightDry), TSourceKind::Input);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(ReverbExportTest, MixAddsToRecordsAtTheSameImpulses) {
    state->Settings.WriteMode = kWriteMix;
    Put(left, T + 637, 0.25L);
    Put(left, T + 700, 0.9L);
    Generate();
    EXPECT_EQ(left.Value(left.Find(T + 637, 0, TFindMode::Exact)), 0.25L + state->Summed(0, 637));
    EXPECT_EQ(left.Value(left.Find(T + 700, 0, TFindMode::Exact)), 0.9L);
}

TEST_F(ReverbExportTest, BanksWithoutStrengthWriteNothing) {
    state->Settings.ERStrength = 0;
    Generate();
    EXPECT_EQ(CountKind(left, TSourceKind::Input), 1); // the dry record
    EXPECT_GT(CountKind(left, TSourceKind::Output), 0);

    left.Clear();
    right.Clear();
    state->Settings.ERStrength = 0.75L;
    state->Settings.GRTime = 0;
    Generate();
    EXPECT_EQ(CountKind(left, TSourceKind::Output), 0);
    EXPECT_EQ(CountKind(right, TSourceKind::Output), 0);
    EXPECT_GT(CountKind(right, TSourceKind::Input), 1);
}

TEST_F(ReverbExportTest, AllWetKeepsADryRecordOfZero) {
    MixChanged(*state, 0, 0);
    Put(left, T, 1.0L);
    Generate();
    const std::int32_t dry = left.Find(T, 0, TFindMode::Exact);
    ASSERT_GE(dry, 0);
    EXPECT_EQ(left.Value(dry), 0);
}

TEST_F(ReverbExportTest, AFullKernelScalesNoUnrelatedRecord) {
    std::vector<TImpulseRec> full;
    for (std::int32_t i = 0; i < kMaxKernelRecords; ++i) {
        TImpulseRec rec = InputTemplate;
        rec.Impulse = -20000 - kMaxKernelRecords + i; // all below the target and the reverb
        rec.Value = 1;
        full.push_back(rec);
    }
    left.LoadRecords(full);
    state->ChannelOn = {true, false};
    Generate();
    EXPECT_EQ(left.Count(), kMaxKernelRecords);
    for (std::int32_t i = 0; i < left.Count(); ++i)
        ASSERT_EQ(left.Value(i), 1) << i;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("left kernel is full"), std::string::npos);
    EXPECT_EQ(right.Count(), 0);
}

TEST_F(ReverbExportTest, GenerateIsRepeatableAndIgnoresRegeneratorEdits) {
    state->Settings.GRType = GRHall;
    state->Settings.ERType = ERComplex2;
    Generate();
    const std::vector<std::uint8_t> firstLeft = Image(left), firstRight = Image(right);

    KernelModel other;
    ComputeERRegens(*state);
    RegenLevelChanged(*state, RegenBank::EarlyReflections, 0, -20);
    RegenDelayChanged(*state, RegenBank::GeneralReverberation, 5, "77");
    RegenActiveChanged(*state, RegenBank::GeneralReverberation, 400, true);
    GenerateReverb(*state, other.LeftKernel, other.RightKernel, [](const std::string&) {});
    EXPECT_EQ(Image(other.LeftKernel), firstLeft);
    EXPECT_EQ(Image(other.RightKernel), firstRight);
}

TEST_F(ReverbExportTest, ImpulsesBeyondTheKernelsDomainWriteNothing) {
    Put(left, 5, 1);
    state->TargetImpulse = kImpulseLimit - 1000;
    EXPECT_THROW(Generate(), RangeError);
    EXPECT_EQ(left.Count(), 1);
    EXPECT_EQ(right.Count(), 0);
}

TEST_F(ReverbExportTest, OnlyTheChosenChannelIsWritten) {
    state->ChannelOn = {false, true};
    Generate();
    EXPECT_EQ(left.Count(), 0);
    EXPECT_GT(right.Count(), 100);
}

// A signal processed with a generated reverb: the fast convolution gives the reference loops' bytes.
TEST_F(ReverbExportTest, ProcessingWithAGeneratedReverbMatchesTheReferenceLoops) {
    state->TargetImpulse = 0;
    state->Settings.GRTime = 300;
    Generate();
    const std::vector<ConvolutionRecord> l = ConvolutionRecords(left), r = ConvolutionRecords(right);
    const std::size_t frames = 6000;
    std::vector<std::uint8_t> input(frames * 4);
    std::uint32_t noise = 12345;
    for (std::size_t i = 0; i < frames * 2; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const std::int16_t sample = static_cast<std::int16_t>((i / 2) % 700 < 20 ? (noise >> 17) : 0);
        input[2 * i] = static_cast<std::uint8_t>(sample);
        input[2 * i + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(sample) >> 8);
    }
    std::vector<std::uint8_t> reference(input.size()), fast(input.size());
    ConvolveReference({input.data(), reference.data(), input.size(), 2, 2}, l, r);
    ConvolutionEngine engine({input.data(), fast.data(), input.size(), 2, 2}, l, r);
    EXPECT_EQ(engine.Run({}, 2), ConvolutionOutcome::Completed);
    EXPECT_EQ(fast, reference);
    EXPECT_NE(reference, input);
}

} // namespace
} // namespace tarvola
