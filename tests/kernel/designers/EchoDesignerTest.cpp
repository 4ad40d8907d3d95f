#include "kernel/designers/EchoDesigner.h"

#include "base/ByteOrder.h"
#include "base/Extended80.h"
#include "base/Numerics.h"
#include "TapDesignTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tarvola {
namespace {

using K = TSourceKind;
constexpr std::int32_t kRate = 44100;
constexpr long double kTolerance = 1e-15L;

// The controls as the default settings show them, switched to one kind of echo.
EchoControlValues DefaultControls(bool convolution) {
    EchoControlValues c = SettingsToControls(TEchoSettings{});
    c.useRecursive = !convolution;
    c.useConvolution = convolution;
    return c;
}

void ExpectRecords(const std::vector<TImpulseRec>& actual, const std::vector<TImpulseRec>& expected) {
    ASSERT_EQ(Impulses(actual), Impulses(expected));
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(actual[i].Value), static_cast<double>(expected[i].Value), 1e-15)
            << "record " << i;
        EXPECT_EQ(actual[i].Kind, expected[i].Kind) << "record " << i;
    }
}

// ---- The defaults at 44100 Hz, target 0, unfiltered, overwritten into kernels holding the dry record

class EchoGenerate : public DesignerKernels {
protected:
    EchoGenerateResult Generate(const EchoControlValues& controls, TExportRules rules = {}) {
        return GenerateEcho(controls, TEchoSettings{}, kRate, rules, model_.LeftKernel, model_.RightKernel);
    }
};

TEST_F(EchoGenerate, DefaultKernelsAt44100) {
    const TImpulseRec dry = Rec(0, 1.0L);
    const std::vector<long double> v = {0.75L, 0.66L, 0.57L, 0.48L, 0.39L};
    const struct {
        const char* name;
        bool convolution;
        std::vector<TImpulseRec> left;
        std::vector<TImpulseRec> right;
    } cases[] = {
        {"recursive", false, {dry, Rec(13230, 0.6L, K::Output)}, {dry, Rec(13892, 0.6L, K::Output)}},
        // Right: 355, 690, 1005, 1300, 1575 ms; 1005 and 1575 ms fall on ties (44320.5, 69457.5) that
        // round to even.
        {"convolution",
         true,
         {dry, Rec(15435, v[0]), Rec(29988, v[1]), Rec(43659, v[2]), Rec(56448, v[3]), Rec(68355, v[4])},
         {dry, Rec(15656, v[0]), Rec(30429, v[1]), Rec(44320, v[2]), Rec(57330, v[3]), Rec(69458, v[4])}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Generate(DefaultControls(c.convolution));
        ExpectRecords(model_.LeftKernel.Records(), c.left);
        ExpectRecords(model_.RightKernel.Records(), c.right);
        EXPECT_TRUE(model_.LeftKernel.Notify);
        EXPECT_TRUE(model_.RightKernel.Notify);
    }
}

TEST_F(EchoGenerate, OneTapWritesTheInitialDelayAndStrength) {
    EchoControlValues c = DefaultControls(true);
    c.convTaps = 1;
    Generate(c);
    ExpectRecords(model_.LeftKernel.Records(), {Rec(0, 1.0L), Rec(15435, 0.75L)});
    ExpectRecords(model_.RightKernel.Records(), {Rec(0, 1.0L), Rec(15656, 0.75L)});
}

TEST_F(EchoGenerate, ChannelBoxesChooseTheKernelsAndMixAdds) {
    TExportRules rules;
    rules.mode = TExportMode::Mix;
    rules.right = false;
    EchoControlValues c = DefaultControls(false);
    c.recrsDelay = 0; // the tap lands on the dry record: mix adds to it, and Output wins over Input
    Generate(c, rules);
    ExpectRecords(model_.LeftKernel.Records(), {Rec(0, 1.6L, K::Output)});
    ExpectRecords(model_.RightKernel.Records(), {Rec(0, 1.0L)});
}

// A negative delay lands before impulse 0, where the kernel keeps a feedback tap as an Input record.
TEST_F(EchoGenerate, ANegativeDelayGivesAnInputRecordBeforeZero) {
    EchoControlValues c = DefaultControls(false);
    c.recrsDelay = -100;
    c.recrsStereoPosition = 200; // no stereo spread: the right channel the same
    Generate(c);
    ExpectRecords(model_.LeftKernel.Records(), {Rec(-4410, 0.6L), Rec(0, 1.0L)});
    ExpectRecords(model_.RightKernel.Records(), {Rec(-4410, 0.6L), Rec(0, 1.0L)});
}

// Overwrite clears only the span the generation writes: the dry record and everything outside the
// filtered block stay.
TEST_F(EchoGenerate, OverwriteClearsOnlyTheGeneratedSpan) {
    const std::vector<TImpulseRec> before = {Rec(0, 1.0L),      Rec(100, 0.5L),    Rec(13224, 0.25L),
                                             Rec(13225, 0.25L), Rec(13235, 0.25L), Rec(13236, 0.25L)};
    model_.LeftKernel.LoadRecords(before);
    EchoControlValues c = DefaultControls(false);
    c.recrsFilter = true; // order 11: the block spans 13225 .. 13235
    Generate(c);
    const std::vector<TImpulseRec> left = model_.LeftKernel.Records();
    ASSERT_EQ(left.size(), 3u + 11u + 1u);
    EXPECT_EQ(left[0], before[0]);
    EXPECT_EQ(left[1], before[1]);
    EXPECT_EQ(left[2], before[2]);
    EXPECT_EQ(left[3].Impulse, 13225);
    EXPECT_NE(left[3].Value, 0.25L);
    EXPECT_EQ(left[13].Impulse, 13235);
    EXPECT_EQ(left.back(), before.back());
}

// Every error is raised before a kernel is touched, and the notification stays on.
TEST_F(EchoGenerate, ErrorsWriteNothing) {
    const struct {
        const char* name;
        EchoControlValues controls;
        std::int32_t target;
    } cases[] = {
        {"delay whose product with the rate overflows",
         [] {
             EchoControlValues c = DefaultControls(false);
             c.recrsDelay = 48696; // 48696 * 44100 > 2^31 - 1
             return c;
         }(),
         0},
        {"convolution taps beyond the kernel's range",
         [] {
             EchoControlValues c = DefaultControls(true);
             c.convInitDelay = 48000;
             c.convFinalDelay = 48000;
             c.convTaps = 500;
             return c;
         }(),
         0},
        {"high pass at mix 0 %",
         [] {
             EchoControlValues c = DefaultControls(true);
             c.convFilter = true;
             c.convTimbre = 1;
             c.convMixPosition = 100;
             return c;
         }(),
         0},
        {"band pass at mix 0 %",
         [] {
             EchoControlValues c = DefaultControls(false);
             c.recrsFilter = true;
             c.recrsTimbre = 2;
             c.recrsMixPosition = 100;
             return c;
         }(),
         0},
        {"target beyond the kernel's range", DefaultControls(false), 99990000},
    };
    const std::vector<TImpulseRec> left = model_.LeftKernel.Records();
    const std::vector<TImpulseRec> right = model_.RightKernel.Records();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TExportRules rules;
        rules.targetImpulse = c.target;
        EXPECT_ANY_THROW(Generate(c.controls, rules));
        ExpectUntouched(left, right);
    }
}

TEST_F(EchoGenerate, OverflowIsTheOverflowErrorAndMixZeroAFloatError) {
    EchoControlValues c = DefaultControls(false);
    c.recrsDelay = 48696;
    EXPECT_THROW(Generate(c), OverflowError);
    c.recrsDelay = 40000;
    c.recrsFilter = true;
    c.recrsTimbre = 1;
    c.recrsMixPosition = 100;
    EXPECT_THROW(Generate(c), FloatError);
}

// 500 taps at order 21 make 10,500 records per channel: the working lists hold them all, the kernel takes
// what fits (10,240 with the dry record) and the rest is reported.
TEST_F(EchoGenerate, AFullKernelReportsWhatItLeftOut) {
    EchoControlValues c = DefaultControls(true);
    c.convTaps = 500;
    c.convInitDelay = 1;
    c.convFinalDelay = 1; // taps 44 frames apart: no two blocks overlap
    c.convFilter = true;
    c.convOrder = 21;
    const TEchoSettings settings = ControlsToSettings(c, TEchoSettings{}, kRate);
    const TDesignRecords design = DesignEcho(settings, kRate, 0);
    EXPECT_EQ(design.channels[0].size(), 10500u);

    const EchoGenerateResult result = Generate(c);
    EXPECT_EQ(model_.LeftKernel.Count(), kMaxKernelRecords);
    EXPECT_EQ(result.written.dropped[0], 10500 - (kMaxKernelRecords - 1));
    EXPECT_EQ(result.written.dropped[1], 10500 - (kMaxKernelRecords - 1));
    EXPECT_NE(KernelFullText(result.written.TotalDropped()).find("522"), std::string::npos);
}

// ---- The target: every tap at T + D, every block centred there

TEST(EchoDesign, MovingTheTargetShiftsTheWholeOutput) {
    TEchoSettings recursive;
    recursive.RecrsDelaySmpls = 13230;
    recursive.RecrsDelayRSmpls = 13892;
    TEchoSettings filteredOnce = recursive;
    filteredOnce.RecrsFilter = 1;
    filteredOnce.RecrsStrategy = 0;
    filteredOnce.RecrsFltrOrder = 11;
    filteredOnce.RecrsTimbre = 1;
    filteredOnce.RecrsMixLvl = 0.5L;
    // Overlapping blocks: taps 441 frames apart, order 1023.
    TEchoSettings overlapping = ControlsToSettings(
        [] {
            EchoControlValues c = DefaultControls(true);
            c.convInitDelay = 10;
            c.convFinalDelay = 10;
            c.convFilter = true;
            c.convOrder = 1023;
            c.convTimbre = 2;
            c.convMixPosition = 30;
            return c;
        }(),
        TEchoSettings{}, kRate);
    const struct {
        const char* name;
        TEchoSettings settings;
    } cases[] = {{"recursive", recursive},
                 {"filtered, strategy once", filteredOnce},
                 {"overlapping band-pass blocks", overlapping}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TDesignRecords atZero = DesignEcho(c.settings, kRate, 0);
        for (std::int32_t target : {1000, -600, 400000}) {
            const TDesignRecords moved = DesignEcho(c.settings, kRate, target);
            for (std::size_t ch = 0; ch < 2; ++ch)
                EXPECT_EQ(moved.channels[ch], Shifted(atZero.channels[ch], target)) << target;
        }
    }
}

// ---- Filtered taps

TEST(EchoDesign, FeedbackKindsOfAFilteredRecursiveBlock) {
    TEchoSettings s;
    s.RecrsFilter = 1;
    s.RecrsFltrOrder = 11;
    s.RecrsDelaySmpls = 3; // the block spans -2 .. 8
    s.RecrsDelayRSmpls = 3;
    for (std::uint8_t strategy : {0, 1}) {
        s.RecrsStrategy = strategy;
        const std::vector<TImpulseRec> block = DesignEcho(s, kRate, 0).channels[0];
        ASSERT_EQ(Impulses(block).front(), -2);
        ASSERT_EQ(block.size(), 11u);
        for (const TImpulseRec& rec : block) {
            const bool output = strategy == 1 ? rec.Impulse >= 1 : rec.Impulse == 3;
            EXPECT_EQ(rec.Kind, output ? K::Output : K::Input) << int{strategy} << " at " << rec.Impulse;
        }
    }
    // Below impulse 1 a record stays Input even at the centre.
    s.RecrsStrategy = 0;
    s.RecrsDelaySmpls = 0;
    const TDesignRecords atZero = DesignEcho(s, kRate, 0);
    for (const TImpulseRec& rec : atZero.channels[0])
        EXPECT_EQ(rec.Kind, K::Input) << rec.Impulse;
}

// The Blackman window of order 5 with divisor 5: a, b, 1, b, a.
long double WindowA() {
    return 0.42L + 0.5L * std::cos(4.0L * 3.141592653589793238L / 5) +
           0.08L * std::cos(8.0L * 3.141592653589793238L / 5);
}
long double WindowB() {
    return 0.42L + 0.5L * std::cos(2.0L * 3.141592653589793238L / 5) +
           0.08L * std::cos(4.0L * 3.141592653589793238L / 5);
}

TEST(EchoDesign, FilteredTapBlocks) {
    const long double a = WindowA();
    const long double b = WindowB();
    const long double v = 0.6L;
    auto scaled = [](std::vector<long double> values, long double k) {
        for (long double& x : values)
            x *= k;
        return values;
    };
    const struct {
        const char* name;
        TPassBand timbre;
        long double mix;
        std::vector<long double> expected;
    } cases[] = {
        {"low pass", TPassBand::LowPass, 1, scaled({a, b, 1, b, a}, v / (2 * a + 2 * b + 1))},
        {"high pass", TPassBand::HighPass, 1, scaled({-a, -b, 2 * a + 2 * b, -b, -a}, v / (2 * a + 2 * b))},
        // From the centre on negated, centre 0.1; the first half's outer magnitudes sum to the strength.
        {"band pass", TPassBand::BandPass, 1, scaled({a, b, 0.1L, -b, -a}, v / (a + b))},
        // The outer taps scale by the mix level itself; the centre takes its own value again plus the loss.
        {"low pass, mix 50 %", TPassBand::LowPass, 0.5L,
         scaled({a / 2, b / 2, a + b + 2, b / 2, a / 2}, v / (2 * a + 2 * b + 2))},
        {"high pass, mix 50 %", TPassBand::HighPass, 0.5L,
         scaled({-a / 2, -b / 2, 3 * (a + b), -b / 2, -a / 2}, v / (a + b))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTapFilter filter;
        filter.order = 5;
        filter.timbre = c.timbre;
        filter.mix = c.mix;
        const std::vector<long double> block = FilteredTapBlock(filter, v);
        ASSERT_EQ(block.size(), c.expected.size());
        for (std::size_t i = 0; i < block.size(); ++i)
            EXPECT_NEAR(static_cast<double>(block[i]), static_cast<double>(c.expected[i]), 1e-15) << i;
    }
}

TEST(EchoDesign, FilterOrdersOutsideTheSpinLimitsAreRefused) {
    for (std::int32_t order : {4, 1024, 1}) {
        TTapFilter filter;
        filter.order = order;
        EXPECT_THROW(FilteredTapBlock(filter, 1), RangeError) << order;
    }
}

// ---- Controls to settings

TEST(EchoControls, ConvolutionStepRoundsHalvesToEven) {
    TEchoSettings s;
    s.ConvInitDelay = 350;
    s.ConvFinalDelay = 300; // (300 - 350) / 4 = -12.5 -> -12
    s.ConvNmbrTaps = 4;
    s.ConvInitDelaySmpls = 350;
    s.ConvInitDelayR = 350;
    s.ConvFinalDelayR = 300;
    s.ConvInitDelayRSmpls = 350;
    const TEchoConvTaps taps = ComputeEchoConvTaps(s, 1000);
    const std::int32_t expected[] = {350, 688, 1014, 1328};
    for (std::size_t t = 0; t < 4; ++t) {
        EXPECT_EQ(taps.channels[0][t].ms, expected[t]);
        EXPECT_EQ(taps.channels[0][t].frames, expected[t]);
    }
    // The strength steps by (final - initial) / n and so stops short of the final value.
    EXPECT_NEAR(static_cast<double>(taps.strengths.back()), 0.75 - 3 * 0.45 / 4, 1e-15);
    s.ConvNmbrTaps = 501;
    EXPECT_THROW(ComputeEchoConvTaps(s, 1000), RangeError);
}

TEST(EchoControls, ControlRulesAndDerivedFields) {
    EchoControlValues c;
    c.recrsStereoPosition = 0;  // top: 1.2
    c.convStereoPosition = 200; // right end: 1.2
    c.recrsMixPosition = 25;
    c.recrsDelay = 300;
    c.recrsValue = -40;
    c.convInitDelay = 350;
    c.convFinalDelay = 250;
    const TEchoSettings s = ControlsToSettings(c, TEchoSettings{}, kRate);
    EXPECT_NEAR(static_cast<double>(s.RecrsStereo), 1.2, 1e-15);
    EXPECT_NEAR(static_cast<double>(s.ConvStereo), 1.2, 1e-15);
    EXPECT_EQ(s.RecrsMixLvl, 0.75L);
    EXPECT_EQ(s.RecrsValue, -0.4L);
    EXPECT_EQ(s.RecrsDelaySmpls, 13230);
    EXPECT_EQ(s.RecrsDelayR, 360);
    EXPECT_EQ(s.RecrsDelayRSmpls, 15876);
    EXPECT_EQ(s.ConvInitDelayR, 370); // 20 ms later
    EXPECT_EQ(s.ConvFinalDelayR, 270);
    EXPECT_EQ(s.RecrsFltrOrder, 1) << "filter off stores order 1";
    EXPECT_EQ(s.ConvFltrOrder, 1);

    // Neither kind ticked: the mode stays.
    TEchoSettings previous;
    previous.Mode = 1;
    c.useRecursive = false;
    c.useConvolution = false;
    EXPECT_EQ(ControlsToSettings(c, previous, kRate).Mode, 1);
}

TEST(EchoControls, SettingsShowOnTheControlsGrids) {
    TEchoSettings s;
    s.RecrsFltrOrder = 1; // shows as 5
    s.ConvFltrOrder = 2000;
    s.ConvNmbrTaps = 900;
    s.RecrsStereo = 1.3L; // beyond the bar: clamped
    s.ConvStereo = 1.05L;
    s.RecrsMixLvl = 0.125L; // 12.5 % rounds to 12
    const EchoControlValues c = SettingsToControls(s);
    EXPECT_EQ(c.recrsOrder, 5);
    EXPECT_EQ(c.convOrder, 1023);
    EXPECT_EQ(c.convTaps, 500);
    EXPECT_EQ(c.recrsStereoPosition, 0);
    EXPECT_EQ(c.convStereoPosition, 50);
    EXPECT_EQ(c.recrsMixPosition, 88);
    EXPECT_EQ(c.recrsValue, 60);
    EXPECT_TRUE(c.useRecursive);
    EXPECT_FALSE(c.useConvolution);
    // The defaults' controls give the defaults back (derived fields aside).
    TEchoSettings back = ControlsToSettings(SettingsToControls(TEchoSettings{}), TEchoSettings{}, kRate);
    EXPECT_EQ(back.RecrsValue, 0.6L);
    EXPECT_EQ(back.ConvInitValue, 0.75L);
    EXPECT_NEAR(static_cast<double>(back.RecrsStereo), 1.05, 1e-15);
}

TEST(EchoControls, SampleRateKeptOnlyWhenUsable) {
    EXPECT_EQ(AcceptedSampleRate(48000, kRate), 48000);
    EXPECT_EQ(AcceptedSampleRate(0, kRate), kRate);
    EXPECT_EQ(AcceptedSampleRate(100000000, 22050), 22050);
    EXPECT_EQ(AcceptedSampleRate(99999999, 22050), 99999999);
}

TEST(EchoControls, NumberTextsThatCannotBeHeldAreRefused) {
    const struct {
        const char* text;
        bool refused;
    } cases[] = {
        {"2147483647", false},
        {"-2147483648", false},
        {"2147483648", true},
        {"-2147483649", true},
        {"99999999999999999999999", true},
        {"+3000000000", true},
        {"twelve", false},
        {"-", false},
        {"", false},
        {"12a99999999999", false},
        {"0", false},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> refusal = RefusedNumberText("Delay ms", c.text);
        EXPECT_EQ(refusal.has_value(), c.refused) << c.text;
        if (refusal) {
            EXPECT_NE(refusal->find("Delay ms"), std::string::npos);
        }
    }
}

// ---- The settings file

TEchoSettings Distinct() {
    TEchoSettings s;
    s.Mode = 1;
    s.RecrsMixLvl = 0.37L;
    s.RecrsFltrOrder = 17;
    s.RecrsTimbre = 2;
    s.RecrsStrategy = 0;
    s.RecrsDelay = -12;
    s.RecrsDelaySmpls = 0x01020304;
    s.RecrsDelayR = 77;
    s.RecrsDelayRSmpls = -5;
    s.RecrsValue = -1.25L;
    s.RecrsStereo = 1.125L;
    s.RecrsFilter = 1;
    s.ConvMixLvl = 0.0L;
    s.ConvFltrOrder = 1023;
    s.ConvTimbre = 1;
    s.ConvNmbrTaps = 499;
    s.ConvInitDelay = 1;
    s.ConvInitDelaySmpls = 2;
    s.ConvInitDelayR = 3;
    s.ConvInitDelayRSmpls = 4;
    s.ConvFinalDelay = 5;
    s.ConvFinalDelaySmpls = 6;
    s.ConvFinalDelayR = 7;
    s.ConvFinalDelayRSmpls = 8;
    s.ConvInitValue = 0.11L;
    s.ConvFinalValue = -0.22L;
    s.ConvStereo = 1.2L;
    s.ConvFilter = 1;
    return s;
}

std::int32_t Int32At(const TEchoSettingsBytes& bytes, std::size_t offset) {
    return GetLE<std::int32_t>(bytes.data() + offset);
}

TEST(EchoSettingsFile, FieldsSitAtTheirPackedOffsets) {
    const TEchoSettingsBytes bytes = EncodeEchoSettings(Distinct());
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(DecodeExtendedLE(&bytes[1]), 0.37L);
    EXPECT_EQ(Int32At(bytes, 11), 17);
    EXPECT_EQ(bytes[15], 2);
    EXPECT_EQ(bytes[16], 0);
    EXPECT_EQ(Int32At(bytes, 17), -12);
    EXPECT_EQ(Int32At(bytes, 21), 0x01020304);
    EXPECT_EQ(Int32At(bytes, 25), 77);
    EXPECT_EQ(Int32At(bytes, 29), -5);
    EXPECT_EQ(DecodeExtendedLE(&bytes[33]), -1.25L);
    EXPECT_EQ(DecodeExtendedLE(&bytes[43]), 1.125L);
    EXPECT_EQ(bytes[53], 1);
    EXPECT_EQ(DecodeExtendedLE(&bytes[54]), 0.0L);
    EXPECT_EQ(Int32At(bytes, 64), 1023);
    EXPECT_EQ(bytes[68], 1);
    EXPECT_EQ(Int32At(bytes, 69), 499);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(Int32At(bytes, 73 + 4 * i), static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(DecodeExtendedLE(&bytes[105]), 0.11L);
    EXPECT_EQ(DecodeExtendedLE(&bytes[115]), -0.22L);
    EXPECT_EQ(DecodeExtendedLE(&bytes[125]), 1.2L);
    EXPECT_EQ(bytes[135], 1);

    const TEchoSettingsBytes defaults = EncodeEchoSettings(TEchoSettings{});
    EXPECT_EQ(Int32At(defaults, 17), 300);
    EXPECT_EQ(Int32At(defaults, 21), 0) << "derived fields are zero in the defaults";
    EXPECT_EQ(defaults[16], 1);
    EXPECT_EQ(Int32At(defaults, 64), 15);
}

TEST(EchoSettingsFile, RoundTripsByteExact) {
    for (const TEchoSettings& s : {TEchoSettings{}, Distinct()}) {
        const TEchoSettingsBytes bytes = EncodeEchoSettings(s);
        const std::optional<TEchoSettings> decoded = DecodeEchoSettings(bytes.data());
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, s);
        EXPECT_EQ(EncodeEchoSettings(*decoded), bytes);
    }
}

TEST(EchoSettingsFile, RefusesWhatCannotBeShown) {
    Extended80Bytes nan = EncodeExtendedLE(0);
    nan[9] = 0x7F;
    nan[8] = 0xFF;
    nan[7] = 0xC0;
    const Extended80Bytes huge = EncodeExtendedLE(1e30L);
    const struct {
        const char* name;
        std::size_t offset;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"mode 2", 0, {2}},
        {"recursive timbre 3", 15, {3}},
        {"strategy 2", 16, {2}},
        {"recursive filter flag 2", 53, {2}},
        {"convolution timbre 3", 68, {3}},
        {"convolution filter flag 255", 135, {255}},
        {"NaN strength", 33, {nan.begin(), nan.end()}},
        {"stereo factor beyond any position", 125, {huge.begin(), huge.end()}},
        {"mix level beyond any position", 1, {huge.begin(), huge.end()}},
    };
    for (const auto& c : cases) {
        TEchoSettingsBytes bytes = EncodeEchoSettings(TEchoSettings{});
        std::memcpy(&bytes[c.offset], c.bytes.data(), c.bytes.size());
        EXPECT_FALSE(DecodeEchoSettings(bytes.data())) << c.name;
    }
}

TEST(EchoSettingsFile, LoadsSavesAndFallsBackToTheDefaults) {
    DesignerProgramFolder folder;
    std::vector<std::string> warnings;
    const WarningSink warn = [&warnings](const std::string& text) { warnings.push_back(text); };

    EXPECT_EQ(LoadEchoSettings(folder.Path(), warn), TEchoSettings{});
    EXPECT_EQ(warnings, std::vector<std::string>{kEchoSettingsMissingText});

    ASSERT_TRUE(SaveEchoSettings(folder.Path(), Distinct(), warn));
    const TEchoSettingsBytes image = EncodeEchoSettings(Distinct());
    EXPECT_EQ(folder.ReadSettings(kEchoSettingsFileName),
              std::vector<std::uint8_t>(image.begin(), image.end()));
    warnings.clear();
    EXPECT_EQ(LoadEchoSettings(folder.Path(), warn), Distinct());
    EXPECT_TRUE(warnings.empty());

    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } bad[] = {
        {"135 bytes", std::vector<std::uint8_t>(image.begin(), image.end() - 1)},
        {"corrupt mode",
         [&] {
             std::vector<std::uint8_t> b(image.begin(), image.end());
             b[0] = 7;
             return b;
         }()},
    };
    for (const auto& c : bad) {
        folder.WriteSettings(kEchoSettingsFileName, c.bytes);
        warnings.clear();
        EXPECT_EQ(LoadEchoSettings(folder.Path(), warn), TEchoSettings{}) << c.name;
        EXPECT_EQ(warnings, std::vector<std::string>{kEchoSettingsReadErrorText}) << c.name;
    }
    // A longer file is fine: its first 136 bytes are the record.
    std::vector<std::uint8_t> longer(image.begin(), image.end());
    longer.push_back(0xEE);
    folder.WriteSettings(kEchoSettingsFileName, longer);
    EXPECT_EQ(LoadEchoSettings(folder.Path(), warn), Distinct());
}

} // namespace
} // namespace tarvola
