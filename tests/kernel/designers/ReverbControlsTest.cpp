#include "kernel/designers/ReverbControls.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvola {
namespace {

class ReverbControlsTest : public testing::Test {
protected:
    std::unique_ptr<ReverbState> state = MakeReverbState();
};

TEST_F(ReverbControlsTest, DefaultSettingsShowTheirPositionsAndLabels) {
    const SettingsPositions p = PositionsOfSettings(state->Settings);
    EXPECT_EQ(p.erType, 0);
    EXPECT_EQ(p.erSize, 0);
    EXPECT_EQ(p.erStrength, 25);
    EXPECT_EQ(p.grType, 0);
    EXPECT_EQ(p.grSize, 0);
    EXPECT_EQ(p.grTime, 3300);
    EXPECT_EQ(p.filtration, 50);
    EXPECT_EQ(p.erSeparation, 1050);
    EXPECT_EQ(p.grSeparation, 1100);
    EXPECT_TRUE(p.overwrite);
    EXPECT_EQ(FiltrationLabel(state->Settings), "0.50");
    EXPECT_EQ(SeparationLabel(state->Settings.ERSeparation), "1.050");
    EXPECT_EQ(SeparationLabel(state->Settings.GRSeparation), "1.100");
    EXPECT_EQ(MixPosition(state->Settings.WetL), 50);
}

TEST_F(ReverbControlsTest, BarHandlersStoreTheirGridValues) {
    TReverbSettings& s = state->Settings;
    ERSizeChanged(*state, -50);
    EXPECT_EQ(s.ERSize, 0.5L);
    EXPECT_EQ(state->EA, 7.5L);
    GRSizeChanged(*state, 50);
    EXPECT_EQ(s.GRSize, -0.5L);
    EXPECT_EQ(state->GB, 3.25L);
    FiltrationChanged(*state, 0);
    EXPECT_EQ(s.Filtration, 1);
    EXPECT_EQ(FiltrationLabel(s), "1.00");
    ERSeparationChanged(*state, 1200);
    EXPECT_EQ(s.ERSeparation, 1.2L);
    GRSeparationChanged(*state, 1000);
    EXPECT_EQ(s.GRSeparation, 1);

    ERStrengthChanged(*state, 100);
    EXPECT_EQ(s.ERStrength, 0);
    EXPECT_FALSE(ERControlsEnabled(s));
    ERStrengthChanged(*state, 99);
    EXPECT_TRUE(ERControlsEnabled(s));
    GRTimeChanged(*state, 4000);
    EXPECT_EQ(s.GRTime, 0);
    EXPECT_FALSE(GRControlsEnabled(s));
    GRTimeChanged(*state, 0);
    EXPECT_EQ(s.GRTime, 4000);
    EXPECT_TRUE(GRControlsEnabled(s));

    EXPECT_EQ(MixChanged(*state, 0, 0), "100");
    EXPECT_EQ(s.WetL, 1);
    EXPECT_EQ(s.DryL, 0);
    EXPECT_EQ(MixChanged(*state, 1, 73), "27");
    EXPECT_EQ(s.WetR, 0.27L);
    EXPECT_EQ(s.DryR, 1 - 0.27L);
}

TEST_F(ReverbControlsTest, MixBarsShowTheWetShareInForce) {
    struct Case {
        long double wet;
        int position;
    };
    const Case cases[] = {{0.5L, 50}, {0.8L, 20}, {1, 0}, {0, 100}, {0.125L, 88}, {0.503L, 50}};
    for (const Case& c : cases)
        EXPECT_EQ(MixPosition(c.wet), c.position) << static_cast<double>(c.wet);
}

TEST_F(ReverbControlsTest, DelayEditAtTheSeparation) {
    ComputeERRegens(*state);
    ASSERT_TRUE(RegenDelayChanged(*state, RegenBank::EarlyReflections, 1, "10"));
    EXPECT_EQ(state->Banks.ER[0][1].Delay, 10);
    EXPECT_EQ(state->Banks.ER[0][1].DelaySmpls, 441);
    EXPECT_EQ(state->Banks.ER[1][1].Delay, 10.5L);
    EXPECT_EQ(state->Banks.ER[1][1].DelaySmpls, 463);

    ASSERT_TRUE(RegenDelayChanged(*state, RegenBank::EarlyReflections, 0, "10"));
    EXPECT_NEAR(static_cast<double>(state->Banks.ER[1][0].Delay), 9.5238095238, 1e-9);
    EXPECT_EQ(state->Banks.ER[1][0].DelaySmpls, 420);

    ASSERT_TRUE(RegenDelayChanged(*state, RegenBank::GeneralReverberation, 3, "+2.5"));
    EXPECT_EQ(state->Banks.GR[1][3].Delay, 2.5L * 1.1L);
}

TEST_F(ReverbControlsTest, DelayTextsThatAreNoNumberChangeNothing) {
    ComputeERRegens(*state);
    const ReverbBanks before = state->Banks;
    for (const char* text : {"abc", "", "+-", "-.", "1.5e", "1e5", "1,5", "1.5E3", " 10", "1e999999"})
        EXPECT_FALSE(RegenDelayChanged(*state, RegenBank::EarlyReflections, 2, text)) << text;
    EXPECT_TRUE(state->Banks == before);
}

TEST_F(ReverbControlsTest, AHugeDelayKeepsTheFormerFrameCount) {
    ComputeERRegens(*state);
    const std::int32_t frames = state->Banks.ER[0][2].DelaySmpls;
    const long double rightDelay = state->Banks.ER[1][2].Delay;
    EXPECT_THROW(RegenDelayChanged(*state, RegenBank::EarlyReflections, 2, "1.0e30"), FloatError);
    EXPECT_EQ(state->Banks.ER[0][2].Delay, static_cast<long double>(1.0e30));
    EXPECT_EQ(state->Banks.ER[0][2].DelaySmpls, frames);
    EXPECT_EQ(state->Banks.ER[1][2].Delay, rightDelay);
    // Shown, in the general form such a value takes.
    EXPECT_NE(PositionsOfRegenerator(*state, RegenBank::EarlyReflections, 2).delayText.find("E30"),
              std::string::npos);
}

TEST_F(ReverbControlsTest, ShowingARegeneratorPutsItOnTheGrids) {
    GRBank& gr = state->Banks.GR[0];
    gr[4].Level = 0.0452L;
    gr[4].Filtration = 0.35L;
    gr[4].Delay = 18.573022L;
    gr[4].Pan = 64;
    gr[4].Active = 1;
    const RegenPositions p = PositionsOfRegenerator(*state, RegenBank::GeneralReverberation, 4);
    EXPECT_EQ(p.level, -45);
    EXPECT_EQ(p.filter, -35);
    EXPECT_EQ(p.delayText, "18.57");
    EXPECT_EQ(p.pan, 45);
    EXPECT_TRUE(p.active);
    // The handlers each moved control fires.
    EXPECT_EQ(RegenLevelChanged(*state, RegenBank::GeneralReverberation, 4, p.level), "0.045");
    EXPECT_EQ(gr[4].Level, 0.045L);
    EXPECT_EQ(state->Banks.GR[1][4].Level, 0.045L);
    EXPECT_EQ(RegenFilterChanged(*state, RegenBank::GeneralReverberation, 4, p.filter), "0.4"); // 3.5 to even
    EXPECT_EQ(gr[4].Filtration, 0.4L);
    RegenPanChanged(*state, RegenBank::GeneralReverberation, 4, p.pan);
    EXPECT_EQ(gr[4].Pan, 45);
    EXPECT_NEAR(static_cast<double>(gr[4].GainL), 1.0000003, 1e-7);
    EXPECT_NEAR(static_cast<double>(gr[4].GainR), 0, 1e-15);
    EXPECT_EQ(state->Banks.GR[1][4].GainL, gr[4].GainL);
    EXPECT_EQ(state->Banks.GR[1][4].Pan, 0); // the pan byte stays on the left

    ERBank& er = state->Banks.ER[0];
    er[0].Level = 0.753L;
    const RegenPositions e = PositionsOfRegenerator(*state, RegenBank::EarlyReflections, 0);
    EXPECT_EQ(e.level, -75);
    EXPECT_EQ(RegenLevelChanged(*state, RegenBank::EarlyReflections, 0, e.level), "0.750");
    EXPECT_EQ(er[0].Level, 0.75L);

    er[1].Level = 1e300L; // beyond the bar, clamped rather than overflowing
    EXPECT_EQ(PositionsOfRegenerator(*state, RegenBank::EarlyReflections, 1).level, -100);
    RegenActiveChanged(*state, RegenBank::EarlyReflections, 1, true);
    EXPECT_EQ(state->Banks.ER[1][1].Active, 1);
    EXPECT_THROW(PositionsOfRegenerator(*state, RegenBank::EarlyReflections, 8), RangeError);
}

TEST_F(ReverbControlsTest, PanLaw) {
    struct Case {
        int degrees;
        double gainL, gainR;
    };
    const Case cases[] = {{0, 0.707107, 0.707107}, {45, 1.0000003, 0}, {-45, 0, 1.0000003}};
    for (const Case& c : cases) {
        long double l = 0, r = 0;
        PanGains(c.degrees, l, r);
        EXPECT_NEAR(static_cast<double>(l), c.gainL, 1e-7) << c.degrees;
        EXPECT_NEAR(static_cast<double>(r), c.gainR, 1e-7) << c.degrees;
    }
}

TEST(ReverbTexts, FixedNotationIsIndependentOfTheLocale) {
    struct Case {
        long double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {0.5L, 2, "0.50"},   {1.05L, 3, "1.050"}, {-0.045L, 3, "-0.045"}, {-0.0004L, 3, "0.000"},
        {0.125L, 2, "0.13"}, {10.5L, 2, "10.50"}, {0, 1, "0.0"},          {40, 2, "40.00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FixedText(c.value, c.decimals), c.text) << static_cast<double>(c.value);
}

TEST(ReverbTexts, RegeneratorNumbersAreClamped) {
    EXPECT_EQ(RegenIndexOfNumber(500, kGRNumberMax), 299);
    EXPECT_EQ(RegenIndexOfNumber(0, kGRNumberMax), 0);
    EXPECT_EQ(RegenIndexOfNumber(-7, kGRNumberMax), 0);
    EXPECT_EQ(RegenIndexOfNumber(8, kERNumberMax), 7);
}

} // namespace
} // namespace tarvola
