#include "kernel/designers/ResonanceDesigner.h"

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

ResonanceControlValues DefaultControls(bool convolution) {
    ResonanceControlValues c = SettingsToControls(TResonanceSettings{});
    c.useRecursive = !convolution;
    c.useConvolution = convolution;
    return c;
}

class ResonanceGenerate : public DesignerKernels {
protected:
    ResonanceGenerateResult Generate(const ResonanceControlValues& controls, TExportRules rules = {}) {
        return GenerateResonance(controls, TResonanceSettings{}, kRate, rules, model_.LeftKernel,
                                 model_.RightKernel);
    }
};

// ---- The defaults at 44100 Hz, target 0, unfiltered, overwritten into kernels holding the dry record

TEST_F(ResonanceGenerate, RecursiveDefaults) {
    Generate(DefaultControls(false));
    // 200 Hz: 5 ms = 220.5 frames, a tie that rounds to 220; right 210 Hz = 210 frames.
    EXPECT_EQ(model_.LeftKernel.Records(), (std::vector<TImpulseRec>{Rec(0, 1), Rec(220, 0.6L, K::Output)}));
    EXPECT_EQ(model_.RightKernel.Records(), (std::vector<TImpulseRec>{Rec(0, 1), Rec(210, 0.6L, K::Output)}));
    EXPECT_TRUE(model_.LeftKernel.Notify);
}

TEST_F(ResonanceGenerate, ConvolutionDefaults) {
    const ResonanceGenerateResult result = Generate(DefaultControls(true));
    EXPECT_EQ(result.settings.ConvInitFreqR, 105);
    EXPECT_EQ(result.settings.ConvFinalFreqR, 115);
    const std::vector<std::int32_t> left = {0, 441, 878, 1310, 1737, 2160, 2579, 2993, 3403, 3809, 4210};
    const std::vector<std::int32_t> right = {0, 420, 836, 1248, 1656, 2059, 2459, 2855, 3246, 3634, 4017};
    EXPECT_EQ(Impulses(model_.LeftKernel.Records()), left);
    EXPECT_EQ(Impulses(model_.RightKernel.Records()), right);
    for (const TobjHistData* kernel : {&model_.LeftKernel, &model_.RightKernel})
        for (std::int32_t i = 1; i < kernel->Count(); ++i) {
            EXPECT_NEAR(static_cast<double>(kernel->Value(i)), 0.9, 1e-15);
            EXPECT_EQ(kernel->Kind(i), K::Input);
        }
}

TEST(ResonanceDesign, TheGapMovesFromTheInitialToTheFinalPeriod) {
    const TResonanceSettings s = ControlsToSettings(DefaultControls(true), TResonanceSettings{}, kRate);
    const TResonanceConvTaps taps = ComputeResonanceConvTaps(s, kRate);
    for (std::size_t c = 0; c < 2; ++c) {
        const std::vector<TResonanceTap>& t = taps.channels[c];
        ASSERT_EQ(t.size(), 10u);
        const double finalPeriod = c == 0 ? 1000.0 / 110 : 1000.0 / 115;
        const double initialPeriod = c == 0 ? 10.0 : 1000.0 / 105;
        EXPECT_NEAR(t[9].periodMs - t[8].periodMs, finalPeriod, 1e-12);
        const double step = (finalPeriod - initialPeriod) / 9;
        EXPECT_NEAR(t[1].periodMs - t[0].periodMs, initialPeriod + step, 1e-12);
    }
}

TEST(ResonanceDesign, NegativeFrequenciesGiveInputRecordsAtNegativeImpulses) {
    ResonanceControlValues c = DefaultControls(true);
    c.convInitFreq = -100;
    c.convFinalFreq = -100;
    c.convTaps = 3;
    const TResonanceSettings s = ControlsToSettings(c, TResonanceSettings{}, kRate);
    const TDesignRecords design = DesignResonance(s, kRate, 0);
    EXPECT_EQ(Impulses(design.channels[0]), (std::vector<std::int32_t>{-441, -882, -1323}));
    for (const TImpulseRec& rec : design.channels[0])
        EXPECT_EQ(rec.Kind, K::Input);
}

// Errors are raised before a kernel is touched; the notification stays on.
TEST_F(ResonanceGenerate, ErrorsWriteNothing) {
    const struct {
        const char* name;
        ResonanceControlValues controls;
    } cases[] = {
        {"convolution frequency 0",
         [] {
             ResonanceControlValues c = DefaultControls(true);
             c.convFinalFreq = 0;
             return c;
         }()},
        {"right frequency brought to 0 by the detune",
         [] {
             ResonanceControlValues c = DefaultControls(true);
             c.convInitFreq = -5;
             c.convStereoPosition = 50; // +5 Hz
             return c;
         }()},
        {"101 taps",
         [] {
             ResonanceControlValues c = DefaultControls(true);
             c.convTaps = 101;
             return c;
         }()},
        {"high pass at mix 0 %",
         [] {
             ResonanceControlValues c = DefaultControls(false);
             c.recrsFilter = true;
             c.recrsTimbre = 1;
             c.recrsMixPosition = 100;
             return c;
         }()},
        {"frequency beyond its 16-bit field",
         [] {
             ResonanceControlValues c = DefaultControls(true);
             c.convInitFreq = 40000;
             return c;
         }()},
    };
    const std::vector<TImpulseRec> left = model_.LeftKernel.Records();
    const std::vector<TImpulseRec> right = model_.RightKernel.Records();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_ANY_THROW(Generate(c.controls));
        ExpectUntouched(left, right);
    }
    ResonanceControlValues c = DefaultControls(true);
    c.convFinalFreq = 0;
    EXPECT_THROW(Generate(c), FloatError);
    c = DefaultControls(true);
    c.convTaps = 101;
    EXPECT_THROW(Generate(c), RangeError);
    c.convTaps = 100;
    Generate(c);
    EXPECT_EQ(model_.LeftKernel.Count(), 101);
}

// ---- Filtered taps: the resonance's own band-pass centre and normalisations

TEST(ResonanceDesign, FilteredTapBlocks) {
    const long double pi = 3.141592653589793238L;
    const long double a = 0.42L + 0.5L * std::cos(4 * pi / 5) + 0.08L * std::cos(8 * pi / 5);
    const long double b = 0.42L + 0.5L * std::cos(2 * pi / 5) + 0.08L * std::cos(4 * pi / 5);
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
        // The outer taps' negation sums to 2a + 2b: the centre stays positive, at 0.92 times the strength.
        {"high pass", TPassBand::HighPass, 1,
         scaled({-a, -b, 2 * a + 2 * b, -b, -a}, 0.92L * v / (2 * a + 2 * b))},
        {"band pass", TPassBand::BandPass, 1,
         scaled({a, b, 0.5L, -b, -a}, 1.55L * v / (2 * a + 2 * b + 0.5L))},
        {"band pass, mix 0 %", TPassBand::BandPass, 0, {0, 0, 1.55L * v, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTapFilter filter;
        filter.order = 5;
        filter.timbre = c.timbre;
        filter.mix = c.mix;
        filter.bandPassCentre = 0.5L;
        filter.normalise = TTapNormalise::Resonance;
        const std::vector<long double> block = FilteredTapBlock(filter, v);
        ASSERT_EQ(block.size(), 5u);
        for (std::size_t i = 0; i < block.size(); ++i)
            EXPECT_NEAR(static_cast<double>(block[i]), static_cast<double>(c.expected[i]), 1e-15) << i;
    }
}

TEST(ResonanceDesign, FilteredRecursiveBlocksFeedBackFromImpulseOne) {
    TResonanceSettings s;
    s.RecrsFilter = 1;
    s.RecrsFltrOrder = 7;
    s.RecrsPeriodSmpls = 2; // the block spans -1 .. 5
    s.RecrsPeriodRSmpls = 2;
    const TDesignRecords design = DesignResonance(s, kRate, 0);
    ASSERT_EQ(Impulses(design.channels[0]), (std::vector<std::int32_t>{-1, 0, 1, 2, 3, 4, 5}));
    for (const TImpulseRec& rec : design.channels[0])
        EXPECT_EQ(rec.Kind, rec.Impulse >= 1 ? K::Output : K::Input) << rec.Impulse;
    for (std::int32_t target : {5000, -300})
        EXPECT_EQ(DesignResonance(s, kRate, 5000 + target).channels[1],
                  Shifted(DesignResonance(s, kRate, 5000).channels[1], target));
}

// ---- Controls

TEST(ResonanceControls, NegativeStrengthBar) {
    const StrengthBar positive{100, 999, 700};
    const StrengthBar negative = MirroredStrengthBar(positive);
    EXPECT_EQ(negative, (StrengthBar{-999, -100, -700}));
    EXPECT_EQ(StrengthLabel(negative.position), "-70.0");
    EXPECT_EQ(MirroredStrengthBar(negative), positive);
    EXPECT_EQ(StrengthLabel(705), "70.5");
    EXPECT_EQ(StrengthLabel(-5), "-0.5");
}

TEST(ResonanceControls, ANegativeStrengthSurvivesSaveAndLoad) {
    TResonanceSettings stored;
    stored.RecrsValue = -0.6L;
    const TResonanceSettingsBytes bytes = EncodeResonanceSettings(stored);
    const std::optional<TResonanceSettings> loaded = DecodeResonanceSettings(bytes.data());
    ASSERT_TRUE(loaded);
    const ResonanceControlValues c = SettingsToControls(*loaded);
    EXPECT_TRUE(c.negativeStrength);
    EXPECT_EQ(c.recrsValue, (StrengthBar{-999, -100, -600}));
    EXPECT_EQ(ControlsToSettings(c, *loaded, kRate).RecrsValue, -0.6L);

    stored.RecrsValue = 0.05L; // below the bar: clamped to 10.0 %
    EXPECT_EQ(SettingsToControls(stored).recrsValue, (StrengthBar{100, 999, 100}));
}

TEST(ResonanceControls, SettingsShowOnTheControlsGrids) {
    TResonanceSettings s;
    s.ConvNmbrTaps = 500; // a file may hold up to the old form's 500: the form offers 100
    s.RecrsFreq = 5;
    s.ConvInitFreq = -20000;
    s.ConvFinalValue = 1.5L;
    s.RecrsStereo = 1.1L;
    s.ConvStereo = 1.1L;
    const ResonanceControlValues c = SettingsToControls(s);
    EXPECT_EQ(c.convTaps, kMaxResonanceTaps);
    EXPECT_EQ(c.recrsFreq, 20);
    EXPECT_EQ(c.convInitFreq, -10000);
    EXPECT_EQ(c.convFinalValue, 99);
    EXPECT_EQ(c.recrsStereoPosition, 0);
    EXPECT_EQ(c.convStereoPosition, 100);
    EXPECT_EQ(c.recrsValue.position, 600);
    const ResonanceControlValues defaults = SettingsToControls(TResonanceSettings{});
    EXPECT_EQ(defaults.recrsStereoPosition, 50);
    EXPECT_EQ(defaults.convStereoPosition, 50);
    EXPECT_EQ(defaults.convTaps, 10);
}

// ---- The settings file

TResonanceSettings Distinct() {
    TResonanceSettings s;
    s.Mode = 1;
    s.RecrsMixLvl = 0.3L;
    s.RecrsFltrOrder = 21;
    s.RecrsTimbre = 1;
    s.RecrsFreq = 65535;
    s.RecrsFreqR = 1234;
    s.RecrsPeriod = 1.5;
    s.RecrsPeriodSmpls = 66;
    s.RecrsPeriodR = 2.5;
    s.RecrsPeriodRSmpls = 110;
    s.RecrsValue = -0.999L;
    s.RecrsStereo = 1.1L;
    s.RecrsFilter = 1;
    s.ConvMixLvl = 0.4L;
    s.ConvFltrOrder = 9;
    s.ConvTimbre = 2;
    s.ConvNmbrTaps = 77;
    s.ConvInitFreq = -10000;
    s.ConvInitFreqR = -9990;
    s.ConvFinalFreq = 32767;
    s.ConvFinalFreqR = -32768;
    s.ConvInitPeriod = -0.1;
    s.ConvInitPeriodSmpls = -4;
    s.ConvInitPeriodR = 3.25;
    s.ConvInitPeriodRSmpls = 143;
    s.ConvFinalPeriod = 4.75;
    s.ConvFinalPeriodSmpls = 209;
    s.ConvFinalPeriodR = 5e-310; // a denormal double
    s.ConvFinalPeriodRSmpls = 0;
    s.ConvInitValue = -0.99L;
    s.ConvFinalValue = 0.01L;
    s.ConvStereo = 1.0L;
    s.ConvFilter = 1;
    return s;
}

double DoubleAt(const TResonanceSettingsBytes& bytes, std::size_t offset) {
    double value = 0;
    std::memcpy(&value, &bytes[offset], sizeof value);
    return value;
}

TEST(ResonanceSettingsFile, FieldsSitAtTheirPackedOffsets) {
    const TResonanceSettingsBytes bytes = EncodeResonanceSettings(Distinct());
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(DecodeExtendedLE(&bytes[1]), 0.3L);
    EXPECT_EQ(bytes[11], 21);
    EXPECT_EQ(bytes[15], 1);
    EXPECT_EQ(bytes[16] | bytes[17] << 8, 65535);
    EXPECT_EQ(bytes[18] | bytes[19] << 8, 1234);
    EXPECT_EQ(DoubleAt(bytes, 20), 1.5);
    EXPECT_EQ(bytes[28], 66);
    EXPECT_EQ(DoubleAt(bytes, 32), 2.5);
    EXPECT_EQ(bytes[40], 110);
    EXPECT_EQ(DecodeExtendedLE(&bytes[44]), -0.999L);
    EXPECT_EQ(DecodeExtendedLE(&bytes[54]), 1.1L);
    EXPECT_EQ(bytes[64], 1);
    EXPECT_EQ(DecodeExtendedLE(&bytes[65]), 0.4L);
    EXPECT_EQ(bytes[75], 9);
    EXPECT_EQ(bytes[79], 2);
    EXPECT_EQ(bytes[80], 77);
    EXPECT_EQ(static_cast<std::int16_t>(bytes[84] | bytes[85] << 8), -10000);
    EXPECT_EQ(static_cast<std::int16_t>(bytes[86] | bytes[87] << 8), -9990);
    EXPECT_EQ(static_cast<std::int16_t>(bytes[88] | bytes[89] << 8), 32767);
    EXPECT_EQ(static_cast<std::int16_t>(bytes[90] | bytes[91] << 8), -32768);
    EXPECT_EQ(DoubleAt(bytes, 92), -0.1);
    EXPECT_EQ(DoubleAt(bytes, 104), 3.25);
    EXPECT_EQ(bytes[112], 143);
    EXPECT_EQ(DoubleAt(bytes, 116), 4.75);
    EXPECT_EQ(DoubleAt(bytes, 128), 5e-310);
    EXPECT_EQ(DecodeExtendedLE(&bytes[140]), -0.99L);
    EXPECT_EQ(DecodeExtendedLE(&bytes[150]), 0.01L);
    EXPECT_EQ(DecodeExtendedLE(&bytes[160]), 1.0L);
    EXPECT_EQ(bytes[170], 1);

    const TResonanceSettingsBytes defaults = EncodeResonanceSettings(TResonanceSettings{});
    EXPECT_EQ(defaults[16], 200);
    EXPECT_EQ(defaults[84], 100);
    EXPECT_EQ(defaults[88], 110);
    EXPECT_EQ(defaults[80], 10);
    EXPECT_EQ(DoubleAt(defaults, 20), 0.0) << "derived fields are zero in the defaults";
}

TEST(ResonanceSettingsFile, RoundTripsByteExact) {
    for (const TResonanceSettings& s : {TResonanceSettings{}, Distinct()}) {
        const TResonanceSettingsBytes bytes = EncodeResonanceSettings(s);
        const std::optional<TResonanceSettings> decoded = DecodeResonanceSettings(bytes.data());
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, s);
        EXPECT_EQ(EncodeResonanceSettings(*decoded), bytes);
    }
}

TEST(ResonanceSettingsFile, RefusesWhatCannotBeShown) {
    const std::uint8_t nanDouble[8] = {0, 0, 0, 0, 0, 0, 0xF8, 0x7F};
    const Extended80Bytes huge = EncodeExtendedLE(1e30L);
    const struct {
        const char* name;
        std::size_t offset;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"mode 3", 0, {3}},
        {"recursive timbre 3", 15, {3}},
        {"filter flag 2", 64, {2}},
        {"convolution timbre 9", 79, {9}},
        {"NaN period", 104, {nanDouble, nanDouble + 8}},
        {"strength beyond any position", 44, {huge.begin(), huge.end()}},
    };
    for (const auto& c : cases) {
        TResonanceSettingsBytes bytes = EncodeResonanceSettings(TResonanceSettings{});
        std::memcpy(&bytes[c.offset], c.bytes.data(), c.bytes.size());
        EXPECT_FALSE(DecodeResonanceSettings(bytes.data())) << c.name;
    }
}

TEST(ResonanceSettingsFile, LoadsSavesAndFallsBackToTheDefaults) {
    DesignerProgramFolder folder;
    std::vector<std::string> warnings;
    const WarningSink warn = [&warnings](const std::string& text) { warnings.push_back(text); };

    EXPECT_EQ(LoadResonanceSettings(folder.Path(), warn), TResonanceSettings{});
    EXPECT_EQ(warnings, std::vector<std::string>{kEchoSettingsMissingText});

    ASSERT_TRUE(SaveResonanceSettings(folder.Path(), Distinct(), warn));
    const TResonanceSettingsBytes image = EncodeResonanceSettings(Distinct());
    EXPECT_EQ(folder.ReadSettings(kResonanceSettingsFileName),
              std::vector<std::uint8_t>(image.begin(), image.end()));
    warnings.clear();
    EXPECT_EQ(LoadResonanceSettings(folder.Path(), warn), Distinct());
    EXPECT_TRUE(warnings.empty());

    folder.WriteSettings(kResonanceSettingsFileName,
                         std::vector<std::uint8_t>(image.begin(), image.end() - 1));
    EXPECT_EQ(LoadResonanceSettings(folder.Path(), warn), TResonanceSettings{});
    EXPECT_EQ(warnings, std::vector<std::string>{kEchoSettingsReadErrorText});
}

} // namespace
} // namespace tarvola
