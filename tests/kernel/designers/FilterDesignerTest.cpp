#include "kernel/designers/FilterDesigner.h"

#include "base/Numerics.h"
#include "kernel/designers/X87PrecisionGuard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tarvola {
namespace {

// Every tap of a designed block matches its expected value within this absolute tolerance.
constexpr long double kTapTolerance = 1e-12L;

using F = TFirFunction;
using P = TPassBand;

struct DesignCase {
    const char* name;
    std::int32_t order;
    F function;
    P passBand;
    long double mix;
    long double amplitude;
    std::int32_t target;
    std::int32_t firstImpulse;
    std::vector<long double> taps;
};

TFilterSettings Settings(const DesignCase& c) {
    TFilterSettings s;
    s.Order = c.order;
    s.FIRFunction = c.function;
    s.PassBand = c.passBand;
    s.Mix = c.mix;
    s.Amplitude = c.amplitude;
    return s;
}

TEST(FilterDesigner, DesignsTheExpectedBlocks) {
    const long double t = 1.0L / 15.0L;
    const DesignCase cases[] = {
        {"rectangular low pass", 5, F::Rectangular, P::LowPass, 1, 1, 0, -2, {.2L, .2L, .2L, .2L, .2L}},
        {"rectangular low pass, mix 0",
         5,
         F::Rectangular,
         P::LowPass,
         0,
         1,
         0,
         -2,
         {.125L, .125L, .5L, .125L, .125L}},
        {"rectangular low pass, mix 50",
         5,
         F::Rectangular,
         P::LowPass,
         .5L,
         1,
         0,
         -2,
         {.175L / 1.2L, .175L / 1.2L, .5L / 1.2L, .175L / 1.2L, .175L / 1.2L}},
        {"rectangular high pass",
         5,
         F::Rectangular,
         P::HighPass,
         1,
         1,
         0,
         -2,
         {-.25L, -.25L, 1, -.25L, -.25L}},
        {"rectangular high pass, mix 0",
         5,
         F::Rectangular,
         P::HighPass,
         0,
         1,
         0,
         -2,
         {-.25L, -.25L, 1.4L / .6L, -.25L, -.25L}},
        {"rectangular band pass", 5, F::Rectangular, P::BandPass, 1, 1, 0, -2, {.5L, .5L, .25L, -.5L, -.5L}},
        {"rectangular band pass, mix 0 sums magnitudes",
         5,
         F::Rectangular,
         P::BandPass,
         0,
         1,
         0,
         -2,
         {.5L, .5L, .4L / .3L, -.5L, -.5L}},
        {"triangular low pass",
         5,
         F::Triangular,
         P::LowPass,
         1,
         1,
         0,
         -2,
         {1 / 9.0L, 2 / 9.0L, 3 / 9.0L, 2 / 9.0L, 1 / 9.0L}},
        {"triangular low pass, even order",
         6,
         F::Triangular,
         P::LowPass,
         1,
         1,
         0,
         -3,
         {t, 2 * t, 3 * t, 4 * t, 3 * t, 2 * t}},
        {"blackman low pass",
         5,
         F::Blackman,
         P::LowPass,
         1,
         1,
         0,
         -2,
         {0.019148982077391477L, 0.24275577982737045L, 1 / 2.1L, 0.24275577982737045L,
          0.019148982077391477L}},
        {"blackman window values",
         5,
         F::Blackman,
         P::LowPass,
         1,
         2.1L,
         0,
         -2,
         {0.0402128623625221L, 0.5097871376374778L, 1, 0.5097871376374778L, 0.0402128623625221L}},
        {"hamming low pass",
         5,
         F::Hamming,
         P::LowPass,
         1,
         1,
         0,
         -2,
         {0.06216747503241639L, 0.25264733978239845L, 1 / 2.7L, 0.25264733978239845L, 0.06216747503241639L}},
        {"hanning low pass",
         5,
         F::Hanning,
         P::LowPass,
         1,
         1,
         0,
         -2,
         {0.03819660112501053L, 0.2618033988749895L, .4L, 0.2618033988749895L, 0.03819660112501053L}},
        {"amplitude -100 % negates the low pass",
         5,
         F::Rectangular,
         P::LowPass,
         1,
         -1,
         0,
         -2,
         {-.2L, -.2L, -.2L, -.2L, -.2L}},
        {"amplitude 0 % gives zeros", 5, F::Rectangular, P::HighPass, 1, 0, 0, -2, {0, 0, 0, 0, 0}},
        {"amplitude 200 %", 5, F::Rectangular, P::LowPass, 1, 2, 0, -2, {.4L, .4L, .4L, .4L, .4L}},
        {"non-zero target", 5, F::Rectangular, P::LowPass, 1, 1, 700, 698, {.2L, .2L, .2L, .2L, .2L}},
        {"even order band pass starts before the centre",
         6,
         F::Rectangular,
         P::BandPass,
         1,
         1,
         0,
         -3,
         {1 / 3.0L, 1 / 3.0L, -1 / 3.0L, .2L, -1 / 3.0L, -1 / 3.0L}},
        {"even order 20 runs from T-10 to T+9", 20, F::Rectangular, P::LowPass, 1, 1, -50, -60,
         std::vector<long double>(20, .05L)},
    };
    for (const DesignCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TFirBlock block = DesignFirBlock(Settings(c), c.target);
        EXPECT_EQ(block.firstImpulse, c.firstImpulse);
        EXPECT_EQ(block.LastImpulse(), c.firstImpulse + c.order - 1);
        EXPECT_EQ(block.centreIndex, static_cast<std::size_t>(c.order / 2));
        ASSERT_EQ(block.values.size(), c.taps.size());
        for (std::size_t i = 0; i < c.taps.size(); ++i) {
            EXPECT_NEAR(static_cast<double>(block.values[i]), static_cast<double>(c.taps[i]),
                        static_cast<double>(kTapTolerance))
                << "tap " << i;
            EXPECT_FALSE(block.values[i] == 0 && std::signbit(block.values[i])) << "tap " << i << " is -0";
        }
    }
}

TEST(FilterDesigner, LowPassSumsToTheAmplitudeAndHighPassToZero) {
    for (int function = 0; function < 5; ++function) {
        TFilterSettings s;
        s.FIRFunction = static_cast<F>(function);
        s.Order = 21;
        s.Mix = .37L;
        s.Amplitude = .8L;
        long double sum = 0;
        for (long double v : DesignFirBlock(s, 0).values)
            sum += v;
        EXPECT_NEAR(static_cast<double>(sum), 0.8, 1e-15) << function;

        s.PassBand = P::HighPass;
        s.Mix = 1;
        sum = 0;
        for (long double v : DesignFirBlock(s, 0).values)
            sum += v;
        EXPECT_NEAR(static_cast<double>(sum), 0.0, 1e-15) << function;
    }
}

TEST(FilterDesigner, RefusesOrdersAndTargetsOutsideTheirRanges) {
    const std::int32_t intMax = std::numeric_limits<std::int32_t>::max();
    const std::int32_t intMin = std::numeric_limits<std::int32_t>::min();
    const struct {
        std::int32_t order;
        std::int32_t target;
        bool fits;
    } cases[] = {
        {4, 0, false},        {1024, 0, false},      {5, 99999997, true},   {5, 99999998, false},
        {5, -99999997, true}, {5, -99999998, false}, {6, 99999997, true},   {6, 99999998, false},
        {6, -99999996, true}, {6, -99999997, false}, {1023, intMax, false}, {1023, intMin, false},
    };
    for (const auto& c : cases) {
        TFilterSettings s;
        s.Order = c.order;
        if (c.fits)
            EXPECT_NO_THROW(DesignFirBlock(s, c.target)) << c.order << " at " << c.target;
        else
            EXPECT_THROW(DesignFirBlock(s, c.target), RangeError) << c.order << " at " << c.target;
    }
}

TEST(FilterDesigner, DesignsWithExtendedPrecisionWhateverTheCallerSet) {
    TFilterSettings s;
    s.Order = 1023;
    s.Mix = .33L;
    const std::vector<long double> reference = DesignFirBlock(s, 0).values;

    const std::uint16_t before = X87PrecisionGuard::ControlWord();
    X87PrecisionGuard::SetControlWord(
        static_cast<std::uint16_t>((before & ~0x0F00) | 0x0C00 | 0x0200)); // 53 bits, truncating
    const std::uint16_t callers = X87PrecisionGuard::ControlWord();
    const std::vector<long double> underOtherWord = DesignFirBlock(s, 0).values;
    EXPECT_EQ(X87PrecisionGuard::ControlWord(), callers) << "the caller's control word is put back";
    X87PrecisionGuard::SetControlWord(before);

    EXPECT_EQ(underOtherWord, reference);
}

TEST(FilterDesigner, GenerateWritesTheBlockAroundTheTarget) {
    KernelModel model;
    TImpulseRec old = InputTemplate;
    old.Impulse = 1001;
    old.Value = 7;
    model.LeftKernel.LoadRecords({old});
    model.RightKernel.LoadRecords({old});

    TFilterSettings s;
    s.Order = 5;
    s.FIRFunction = F::Rectangular;
    TExportRules rules;
    rules.targetImpulse = 1000;
    rules.right = false;
    GenerateFilter(s, rules, model.LeftKernel, model.RightKernel);

    ASSERT_EQ(model.LeftKernel.Count(), 5);
    for (std::int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(model.LeftKernel.Impulse(i), 998 + i);
        EXPECT_NEAR(static_cast<double>(model.LeftKernel.Value(i)), 0.2, 1e-15);
        EXPECT_EQ(model.LeftKernel.Kind(i), TSourceKind::Input);
    }
    EXPECT_EQ(model.RightKernel.Records(), std::vector<TImpulseRec>{old});

    rules.targetImpulse = 99999998;
    EXPECT_THROW(GenerateFilter(s, rules, model.LeftKernel, model.RightKernel), RangeError);
    EXPECT_EQ(model.LeftKernel.Count(), 5) << "a failed design writes nothing";
}

// ---- Controls

TEST(FilterControls, TrackBarGridsRoundHalvesToEven) {
    const struct {
        long double mix;
        int position;
    } mixes[] = {{1, 0}, {0, 100}, {.5L, 50}, {.125L, 88}, {.375L, 62}, {.994L, 1}, {1.5L, 0}, {-.5L, 100}};
    for (const auto& c : mixes)
        EXPECT_EQ(MixToPosition(c.mix), c.position) << static_cast<double>(c.mix);

    const struct {
        long double amplitude;
        int position;
    } amplitudes[] = {{1, -100},    {-1, 100},    {0, 0},    {.625L, -62},
                      {-.625L, 62}, {.375L, -38}, {3, -200}, {-3, 200}};
    for (const auto& c : amplitudes)
        EXPECT_EQ(AmplitudeToPosition(c.amplitude), c.position) << static_cast<double>(c.amplitude);

    EXPECT_EQ(MixFromPosition(0), 1.0L);
    EXPECT_EQ(MixFromPosition(100), 0.0L);
    EXPECT_EQ(MixFromPosition(25), .75L);
    EXPECT_EQ(AmplitudeFromPosition(-100), 1.0L);
    EXPECT_EQ(AmplitudeFromPosition(200), -2.0L);
    EXPECT_FALSE(std::signbit(AmplitudeFromPosition(0)));
    // Ties still go to even when the caller left the FPU rounding upward.
    const std::uint16_t before = X87PrecisionGuard::ControlWord();
    X87PrecisionGuard::SetControlWord(static_cast<std::uint16_t>((before & ~0x0C00) | 0x0800));
    const int mixTie = MixToPosition(.125L);
    const int amplitudeTie = AmplitudeToPosition(.625L);
    X87PrecisionGuard::SetControlWord(before);
    EXPECT_EQ(mixTie, 88);
    EXPECT_EQ(amplitudeTie, -62);

    for (int position = kMixPositionMin; position <= kMixPositionMax; ++position)
        EXPECT_EQ(MixToPosition(MixFromPosition(position)), position);
    for (int position = kAmplitudePositionMin; position <= kAmplitudePositionMax; ++position)
        EXPECT_EQ(AmplitudeToPosition(AmplitudeFromPosition(position)), position);
}

TEST(FilterControls, SettingsShowClampedAndComeBackFromTheControls) {
    EXPECT_EQ(SettingsToControls(TFilterSettings{}), FilterControlValues{});

    TFilterSettings s;
    s.Order = 3;
    EXPECT_EQ(SettingsToControls(s).order, 5);
    s.Order = 5000;
    EXPECT_EQ(SettingsToControls(s).order, 1023);
    s.Order = 20;
    EXPECT_EQ(SettingsToControls(s).order, 20) << "an even order is kept";

    const FilterControlValues controls{30, 50, 3, 2, 101};
    const TFilterSettings back = ControlsToSettings(controls);
    EXPECT_EQ(back.Mix, .7L);
    EXPECT_EQ(back.Amplitude, -.5L);
    EXPECT_EQ(back.FIRFunction, F::Triangular);
    EXPECT_EQ(back.PassBand, P::BandPass);
    EXPECT_EQ(back.Order, 101);
    EXPECT_EQ(SettingsToControls(back), controls);
}

// ---- Settings record

TEST(FilterSettingsRecord, DefaultsHaveTheirExactBytes) {
    const TFilterSettingsBytes expected = {0, 0, 0, 0,    0,    0,    0, 0x80, 0xFF, 0x3F, 0, 0, 0, 0, 0, 0,
                                           0, 0, 0, 0x80, 0xFF, 0x3F, 0, 0,    0x15, 0,    0, 0, 0, 0, 0, 0};
    EXPECT_EQ(EncodeFilterSettings(TFilterSettings{}), expected);
}

TEST(FilterSettingsRecord, RoundTripsByteForByte) {
    TFilterSettings s;
    s.Mix = .37L;
    s.Amplitude = -1.25L;
    s.Order = 1023;
    s.FIRFunction = F::Rectangular;
    s.PassBand = P::BandPass;
    const TFilterSettingsBytes bytes = EncodeFilterSettings(s);
    const std::optional<TFilterSettings> back = DecodeFilterSettings(bytes.data());
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, s);
    EXPECT_EQ(EncodeFilterSettings(*back), bytes);
    EXPECT_EQ(bytes[24], 0xFF);
    EXPECT_EQ(bytes[25], 0x03);
    EXPECT_EQ(bytes[28], 4);
    EXPECT_EQ(bytes[29], 2);
}

TEST(FilterSettingsRecord, RefusesWhatTheControlsCannotShow) {
    const auto mixBytes = [](std::initializer_list<std::uint8_t> tenBytes) {
        TFilterSettingsBytes bytes = EncodeFilterSettings(TFilterSettings{});
        std::copy(tenBytes.begin(), tenBytes.end(), bytes.begin());
        return bytes;
    };
    const auto withSettings = [](auto change) {
        TFilterSettings s;
        change(s);
        return EncodeFilterSettings(s);
    };
    TFilterSettingsBytes badFunction = EncodeFilterSettings(TFilterSettings{});
    badFunction[28] = 5;
    TFilterSettingsBytes badPassBand = EncodeFilterSettings(TFilterSettings{});
    badPassBand[29] = 3;

    const struct {
        const char* name;
        TFilterSettingsBytes bytes;
        bool accepted;
    } cases[] = {
        {"infinity", mixBytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}), false},
        {"NaN", mixBytes({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}), false},
        {"unnormal", mixBytes({0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}), false},
        {"pseudo-denormal", mixBytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x00}), false},
        {"zero", mixBytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), true},
        {"mix 150 %", withSettings([](TFilterSettings& s) { s.Mix = 1.5L; }), false},
        {"mix -1 %", withSettings([](TFilterSettings& s) { s.Mix = -.01L; }), false},
        {"mix 100.4 % rounds onto the grid", withSettings([](TFilterSettings& s) { s.Mix = 1.004L; }), true},
        {"amplitude 250 %", withSettings([](TFilterSettings& s) { s.Amplitude = 2.5L; }), false},
        {"amplitude -200 %", withSettings([](TFilterSettings& s) { s.Amplitude = -2; }), true},
        {"huge amplitude", withSettings([](TFilterSettings& s) { s.Amplitude = 1e4000L; }), false},
        {"order out of range is left to the controls", withSettings([](TFilterSettings& s) { s.Order = -7; }),
         true},
        {"function 5", badFunction, false},
        {"pass band 3", badPassBand, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeFilterSettings(c.bytes.data()).has_value(), c.accepted) << c.name;
}

} // namespace
} // namespace tarvola
