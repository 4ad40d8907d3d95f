#include "kernel/designers/ReverbDesigner.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tarvola {
namespace {

class ReverbEngine : public testing::Test {
protected:
    std::unique_ptr<ReverbState> state = MakeReverbState();
    TReverbSettings& settings = state->Settings;

    // Puts a single active regenerator into slot 0 of the left early-reflection bank and renders the left
    // channel only.
    void RenderOne(long double level, std::int32_t delaySmpls, long double filtration = 0) {
        for (ERBank& bank : state->Banks.ER)
            bank.fill(TRegeneratorRec{});
        TRegeneratorRec& g = state->Banks.ER[0][0];
        g.Active = 1;
        g.Level = level;
        g.DelaySmpls = delaySmpls;
        g.Filtration = filtration;
        state->ChannelOn = {true, false};
        RenderER(*state);
    }

    std::vector<int> NonZeroSamples(int c, int r) const {
        std::vector<int> at;
        for (int p = 0; p <= kERBufferLast; ++p)
            if (state->ERSample(c, r, p) != 0)
                at.push_back(p);
        return at;
    }
};

TEST_F(ReverbEngine, MellowingIsANormalisedSevenPointBlackmanWindow) {
    const long double expected[] = {0.006597L, 0.080497L, 0.242838L, 0.340136L,
                                    0.242838L, 0.080497L, 0.006597L};
    long double sum = 0;
    for (int k = 0; k < kMellowingTaps; ++k) {
        EXPECT_NEAR(static_cast<double>(state->M[k]), static_cast<double>(expected[k]), 1e-6) << k;
        sum += state->M[k];
    }
    EXPECT_NEAR(static_cast<double>(sum), 1.0, 1e-15);
    EXPECT_EQ(state->M[0], state->M[6]);
}

TEST_F(ReverbEngine, DefaultSquareRoomAt44100) {
    ComputeERRegens(*state);
    struct Expect {
        long double delayMs;
        std::int32_t frames;
        long double level;
    };
    const Expect left[] = {
        {14.4509L, 637, 0.75L}, {20.4366L, 901, 0.75L}, {32.3131L, 1425, 0.6L}, {35.8006L, 1579, 0.45L}};
    const Expect right[] = {
        {13.7627L, 607, 0.75L}, {21.4584L, 946, 0.75L}, {30.7744L, 1357, 0.6L}, {37.5907L, 1658, 0.45L}};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 2; ++c) {
            const TRegeneratorRec& g = state->Banks.ER[c][r];
            const Expect& e = c == 0 ? left[r] : right[r];
            EXPECT_NEAR(static_cast<double>(g.Delay), static_cast<double>(e.delayMs), 5e-5) << c << " " << r;
            EXPECT_EQ(g.DelaySmpls, e.frames) << c << " " << r;
            EXPECT_NEAR(static_cast<double>(g.Level), static_cast<double>(e.level), 1e-18);
            EXPECT_EQ(g.Active, 1);
            EXPECT_EQ(g.GainL, kCentredPanGain);
            EXPECT_EQ(g.GainR, kCentredPanGain);
        }
    }
    for (int r = 4; r < kERRegenCount; ++r)
        EXPECT_EQ(state->Banks.ER[0][r].Active, 0) << r;
}

TEST_F(ReverbEngine, EarlyReflectionDelaysOfEveryShapeAndSize) {
    struct Case {
        std::uint8_t shape;
        long double size;
        std::vector<long double> delays;
    };
    const Case cases[] = {
        {ERSquare, -0.5L, {7.225433526012L, 10.218306086511L, 16.156560531068L, 17.900309592870L}},
        {ERSquare, 0, {14.450867052023L, 20.436612173022L, 32.313121062136L, 35.800619185740L}},
        {ERSquare, 0.5L, {21.676300578035L, 30.654918259532L, 48.469681593204L, 53.700928778611L}},
        {ERRectangle,
         -0.5L,
         {5.057803468208L, 8.670520231214L, 13.761046516141L, 13.323041123256L, 18.063583815029L}},
        {ERRectangle,
         0,
         {10.115606936416L, 17.341040462428L, 27.522093032282L, 26.646082246511L, 36.127167630058L}},
        {ERRectangle,
         0.5L,
         {15.173410404624L, 26.011560693642L, 41.283139548423L, 39.969123369767L, 54.190751445087L}},
        {ERSphere,
         -0.5L,
         {7.225433526012L, 7.398843930636L, 7.572254335260L, 7.745664739884L, 7.919075144509L}},
        {ERSphere,
         0,
         {14.450867052023L, 14.624277456647L, 14.797687861272L, 14.971098265896L, 15.144508670520L}},
        {ERSphere,
         0.5L,
         {21.676300578035L, 21.849710982659L, 22.023121387283L, 22.196531791908L, 22.369942196532L}},
        {ERComplex1,
         -0.5L,
         {8.670520231214L, 7.369942196532L, 10.404624277457L, 8.106936416185L, 19.768786127168L,
          17.319364161850L, 23.410404624277L, 20.635838150289L}},
        {ERComplex1,
         0,
         {17.341040462428L, 14.739884393064L, 20.809248554913L, 16.213872832370L, 39.537572254335L,
          34.638728323699L, 46.820809248555L, 41.271676300578L}},
        {ERComplex1,
         0.5L,
         {26.011560693642L, 22.109826589595L, 31.213872832370L, 24.320809248555L, 59.306358381503L,
          51.958092485549L, 70.231213872832L, 61.907514450867L}},
        {ERComplex2,
         -0.5L,
         {5.780346820809L, 9.393063583815L, 3.468208092486L, 5.729768786127L, 5.491329479769L,
          9.111271676301L, 10.982658959538L, 20.195086705202L}},
        {ERComplex2,
         0,
         {11.560693641618L, 18.786127167630L, 6.936416184971L, 11.459537572254L, 10.982658959538L,
          18.222543352601L, 21.965317919075L, 40.390173410405L}},
        {ERComplex2,
         0.5L,
         {17.341040462428L, 28.179190751445L, 10.404624277457L, 17.189306358382L, 16.473988439306L,
          27.333815028902L, 32.947976878613L, 60.585260115607L}},
    };
    for (const Case& c : cases) {
        settings.ERType = c.shape;
        settings.ERSize = c.size;
        ComputeERRegens(*state);
        for (int r = 0; r < kERRegenCount; ++r) {
            const TRegeneratorRec& g = state->Banks.ER[0][r];
            const bool listed = r < static_cast<int>(c.delays.size());
            EXPECT_EQ(g.Active, listed ? 1 : 0) << int(c.shape) << " " << r;
            if (listed) {
                EXPECT_NEAR(static_cast<double>(g.Delay), static_cast<double>(c.delays[r]), 1e-9)
                    << int(c.shape) << " size " << static_cast<double>(c.size) << " r " << r;
            }
        }
    }
}

TEST_F(ReverbEngine, ComplexShapesSetFactorsFiltrationsAndPanBytes) {
    settings.ERType = ERComplex2;
    settings.Filtration = 0.5L;
    ComputeERRegens(*state);
    const long double factors[] = {1, -1, 1, 1, -1, -1, 1, 1};
    const long double filtrations[] = {0.25L, 0, 0.35L, 0.35L, -0.1L, 0.2L, 0, 0};
    const std::int8_t pans[] = {0, 0, 0, 0, 0, 0, 64, -64};
    for (int r = 0; r < kERRegenCount; ++r) {
        const TRegeneratorRec& g = state->Banks.ER[0][r];
        EXPECT_EQ(g.Level, settings.ERStrength * factors[r]) << r;
        EXPECT_NEAR(static_cast<double>(g.Filtration), static_cast<double>(filtrations[r]), 1e-18) << r;
        EXPECT_EQ(g.Pan, pans[r]) << r;
        // The pan byte moves no gain, and the right bank keeps its own pan byte.
        EXPECT_EQ(g.GainL, kCentredPanGain);
        EXPECT_EQ(state->Banks.ER[1][r].Pan, 0) << r;
        EXPECT_EQ(state->Banks.ER[1][r].Filtration, g.Filtration);
    }

    settings.Filtration = 0;
    ComputeERRegens(*state);
    for (int r = 0; r < kERRegenCount; ++r)
        EXPECT_EQ(state->Banks.ER[0][r].Filtration, 0) << r;
}

TEST_F(ReverbEngine, NoStrengthLeavesBothBanksBlankAndNothingRendered) {
    ComputeERRegens(*state);
    settings.ERStrength = 0;
    ComputeERRegens(*state);
    for (const ERBank& bank : state->Banks.ER)
        for (const TRegeneratorRec& g : bank)
            EXPECT_EQ(g, TRegeneratorRec{});
    RenderER(*state);
    for (int c = 0; c < 2; ++c)
        for (int p = 0; p <= kERBufferLast; ++p)
            ASSERT_EQ(state->Summed(c, p), 0) << c << " " << p;
}

TEST_F(ReverbEngine, ReflectionCountsFollowTheLevel) {
    struct Case {
        long double level;
        std::size_t reflections;
    };
    // 0.75^26 >= 0.0005 > 0.75^27; a negative level stops once the amplitude turns negative again.
    const Case cases[] = {{0.75L, 26}, {-0.75L, 2}, {0.5L, 10}, {1.0L, 25000 / 637}};
    for (const Case& c : cases) {
        RenderOne(c.level, 637);
        const std::vector<int> at = NonZeroSamples(0, 0);
        ASSERT_EQ(at.size(), c.reflections) << static_cast<double>(c.level);
        long double amplitude = c.level;
        for (std::size_t k = 0; k < at.size(); ++k) {
            EXPECT_EQ(at[k], static_cast<int>(637 * (k + 1)));
            EXPECT_EQ(state->ERSample(0, 0, at[k]), amplitude * settings.WetL * kCentredPanGain);
            amplitude *= c.level;
        }
    }
}

TEST_F(ReverbEngine, SmoothingSpreadsOneReflection) {
    const long double a = 0.8L;
    for (long double f : {0.5L, -0.5L, 0.0L}) {
        RenderOne(a, 20000, f); // the second reflection would lie beyond the buffer
        const long double placed = a * settings.WetL * kCentredPanGain;
        if (f == 0) {
            EXPECT_EQ(NonZeroSamples(0, 0), std::vector<int>{20000});
            EXPECT_EQ(state->ERSample(0, 0, 20000), placed);
            continue;
        }
        const long double x = placed * kCentredPanGain; // the gain enters twice
        long double acc = 0;
        for (int k = -3; k <= 3; ++k) {
            if (k == 0)
                continue;
            const long double neighbour = state->ERSample(0, 0, 20000 + k);
            EXPECT_EQ(neighbour, state->M[k + 3] * x * std::fabs(f)) << k;
            acc += neighbour;
        }
        const long double centre = state->ERSample(0, 0, 20000);
        if (f > 0) {
            EXPECT_EQ(centre, x - acc);
            EXPECT_NEAR(static_cast<double>(centre + acc), static_cast<double>(x), 1e-18);
        } else {
            EXPECT_EQ(centre, -acc);
        }
        EXPECT_EQ(state->Summed(0, 20000 + 2), state->ERSample(0, 0, 20000 + 2));
    }
}

TEST_F(ReverbEngine, SmoothingNearTheBufferEndsStaysInside) {
    // A reflection on the last sample, on sample 1, and a delay that never advances: each renders without
    // writing outside the buffer, and what lies inside is the ordinary smoothing.
    RenderOne(1.0L, 2500, 1.0L); // reflections at 2500 .. 25000, never decaying
    const long double x = 1.0L * settings.WetL * kCentredPanGain * kCentredPanGain;
    EXPECT_NE(state->ERSample(0, 0, kERBufferLast), 0);
    EXPECT_EQ(state->Summed(0, kERBufferLast - 3), state->M[0] * x);

    RenderOne(0.5L, 1, 1.0L);
    EXPECT_NE(state->Summed(0, 0), 0);

    RenderOne(1.0L, 0, 0.5L);
    EXPECT_NE(state->ERSample(0, 0, 0), 0);
    EXPECT_NE(state->ERSample(0, 0, 3), 0);
}

TEST_F(ReverbEngine, ComplexTwoAtFullStrengthReachesTheLastSample) {
    // Regenerator 0 of Complex 2 has level 1 at full strength and never decays; at this rate its delay is
    // 2500 frames, so its tenth reflection lands on sample 25000 and is smoothed there.
    settings.ERType = ERComplex2;
    settings.ERStrength = 1;
    settings.Filtration = 1;
    state->SampleRate = 216250; // 11.5607 ms = 2500.0 frames
    ComputeERRegens(*state);
    ASSERT_EQ(state->Banks.ER[0][0].DelaySmpls, 2500);
    RenderER(*state);
    EXPECT_NE(state->ERSample(0, 0, kERBufferLast), 0);
}

TEST_F(ReverbEngine, SumsOnlyActiveRegenerators) {
    ComputeERRegens(*state);
    RenderER(*state);
    for (int c = 0; c < 2; ++c) {
        for (int p : {state->Banks.ER[c][0].DelaySmpls, state->Banks.ER[c][3].DelaySmpls * 2}) {
            long double sum = 0;
            for (int r = 0; r < 4; ++r)
                sum += state->ERSample(c, r, p);
            EXPECT_EQ(state->Summed(c, p), sum) << c << " " << p;
        }
    }
}

TEST_F(ReverbEngine, OnlyChosenChannelsAreRendered) {
    ComputeERRegens(*state);
    state->ChannelOn = {false, true};
    RenderER(*state);
    EXPECT_EQ(state->Summed(0, 637), 0);
    EXPECT_NE(state->Summed(1, 607), 0);
}

TEST(ReverbRandomTest, FirstDrawsOfTheGenerator) {
    ReverbRandom random;
    EXPECT_NEAR(static_cast<double>(random.Next()), 0.031379939523, 1e-12);
    // state = 134775814 * 134775813 + 1 mod 2^32
    const std::uint32_t second = 134775814u * 134775813u + 1u;
    EXPECT_EQ(random.Next(), second / 4294967296.0L);
}

TEST(ReverbDecay, FallsToAThousandthOverTheReverberationTime) {
    struct Case {
        long double grTime, delay, expected;
    };
    const Case cases[] = {
        {700, 18.5L, std::pow(0.001L, 1.0L / 37)}, // 37 returns
        {700, 700, 0.001L},                        // one return
        {700, 701, 0},                             // no return within the time
        {0, 10, 0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(static_cast<double>(GRDecay(c.grTime, c.delay)), static_cast<double>(c.expected), 1e-18)
            << static_cast<double>(c.delay);
    }
    EXPECT_THROW(GRDecay(700, 0), FloatError);
}

TEST_F(ReverbEngine, RoomAtSizeZeroAnchors) {
    ComputeGRDimensions(*state);
    EXPECT_EQ(state->GA, 5);
    EXPECT_EQ(state->GB, 6.5L);
    EXPECT_EQ(GRCountFor(GRRoom, 5, 6.5L), 133);

    settings.GRTime = 700;
    settings.Filtration = 0.5L;
    ComputeGRRegens(*state);
    EXPECT_EQ(state->GRCount, 133);
    const TRegeneratorRec& r0 = state->Banks.GR[0][0];
    EXPECT_NEAR(static_cast<double>(r0.Delay), 18.573022062, 1e-9);
    EXPECT_EQ(r0.DelaySmpls, 819);
    EXPECT_NEAR(static_cast<double>(r0.Level), -0.0286293044, 1e-10);
    EXPECT_EQ(r0.Filtration, 0.5L);
    const TRegeneratorRec& r7 = state->Banks.GR[0][7];
    EXPECT_NEAR(static_cast<double>(r7.Delay), 26.353687172, 1e-9);
    EXPECT_EQ(r7.DelaySmpls, 1162);
    EXPECT_EQ(r7.Filtration, 1.0L);
    // half = Round(66.5) = 66 (halves to even): regenerator 67 is in the late half, and its working
    // filtration 66 / 670 * 0.5 falls below 0.1 and becomes 0.
    EXPECT_EQ(state->Banks.GR[0][66].Filtration, 0.5L);
    EXPECT_EQ(state->Banks.GR[0][67].Filtration, 0);
    EXPECT_NEAR(static_cast<double>(state->Banks.GR[0][67].Level), 0.007614970056, 1e-11);
    EXPECT_EQ(state->Banks.GR[0][133].Active, 0);
    // The right bank: odd regenerators later, even ones earlier by the separation factor.
    EXPECT_EQ(state->Banks.GR[1][0].Delay, r0.Delay / settings.GRSeparation);
    EXPECT_EQ(state->Banks.GR[1][7].Delay, r7.Delay * settings.GRSeparation);
    EXPECT_EQ(state->Banks.GR[1][0].Level, r0.Level);
}

TEST_F(ReverbEngine, EverySpaceTypeAtThreeSizes) {
    struct Case {
        std::uint8_t type;
        long double size;
        std::int32_t n;
        long double delay0, delay1, level1;
    };
    const Case cases[] = {
        {GRRoom, -0.5L, 67, 9.328917698472L, 11.252268288446L, 0.0356716638782L},
        {GRRoom, 0, 133, 18.573022061995L, 20.510833934600L, 0.0282627034852L},
        {GRRoom, 0.5L, 200, 27.816268654288L, 29.749235997212L, 0.0217596080193L},
        {GRHall, -0.5L, 83, 32.376479541615L, 37.791848821317L, 0.0304698559213L},
        {GRHall, 0, 167, 64.511692425546L, 69.894634344292L, 0.0156318556187L},
        {GRHall, 0.5L, 250, 96.648818209405L, 102.042526011989L, 0.00558385689015L},
        {GRAuditorium, -0.5L, 167, 65.647517347357L, 70.176586868703L, 0.0190459473445L},
        {GRAuditorium, 0, 333, 130.455556719530L, 134.998227050249L, 0.0161693314432L},
        {GRAuditorium, 0.5L, 500, 195.260223008513L, 199.798350668901L, 0.0046933578922L},
        {GRChamber, -0.5L, 116, 10.334183670200L, 14.114643540116L, 0.025168898906L},
        {GRChamber, 0, 231, 20.552991391272L, 24.349816888330L, 0.0210428827528L},
        {GRChamber, 0.5L, 347, 30.771129784385L, 34.562484351332L, 0.0176151212089L},
        {GRCavern, -0.5L, 233, 78.231127171412L, 85.301873868384L, 0.0387542410657L},
        {GRCavern, 0, 467, 155.817876887527L, 162.873482799281L, 0.0309238863493L},
        {GRCavern, 0.5L, 700, 233.406461781194L, 240.467107411456L, -0.00140906844528L},
    };
    for (const Case& c : cases) {
        settings.GRType = c.type;
        settings.GRSize = c.size;
        ComputeGRRegens(*state);
        const GRBank& left = state->Banks.GR[0];
        const std::string where =
            std::to_string(c.type) + " size " + std::to_string(static_cast<double>(c.size));
        EXPECT_EQ(state->GRCount, c.n) << where;
        EXPECT_NEAR(static_cast<double>(left[0].Delay), static_cast<double>(c.delay0), 1e-9) << where;
        EXPECT_NEAR(static_cast<double>(left[1].Delay), static_cast<double>(c.delay1), 1e-9) << where;
        EXPECT_NEAR(static_cast<double>(left[1].Level), static_cast<double>(c.level1), 1e-12) << where;
        // Regenerator 0 is inverted; only the Cavern at its largest, whose sine depth exceeds 1, turns it
        // positive again.
        EXPECT_EQ(left[0].Level < 0, !(c.type == GRCavern && c.size > 0)) << where;
        for (int i = 0; i < kGRRegenCount; ++i)
            ASSERT_EQ(left[i].Active, i < c.n ? 1 : 0) << where << " " << i;
    }
}

TEST_F(ReverbEngine, NoReverberationTimeLeavesTheBankBlank) {
    ComputeGRRegens(*state);
    settings.GRTime = 0;
    ComputeGRRegens(*state);
    EXPECT_EQ(state->GRCount, 0);
    for (const GRBank& bank : state->Banks.GR)
        for (const TRegeneratorRec& g : bank)
            ASSERT_EQ(g, TRegeneratorRec{});
}

TEST_F(ReverbEngine, ComputationsAreRepeatable) {
    settings.GRType = GRHall;
    ComputeGRRegens(*state);
    ComputeERRegens(*state);
    const ReverbBanks first = state->Banks;
    state->Banks.GR[0][5].Level = 3; // an edit, replaced by the next computation
    ComputeGRRegens(*state);
    ComputeERRegens(*state);
    EXPECT_TRUE(state->Banks == first);
}

TEST_F(ReverbEngine, FrameCountsThatDoNotFitRaise) {
    EXPECT_EQ(DelayFrames(44100, 10), 441);
    EXPECT_EQ(DelayFrames(1000, 0.5L), 0); // halves to even
    EXPECT_EQ(DelayFrames(1000, 1.5L), 2);
    EXPECT_THROW(DelayFrames(44100, 1.0e30L), FloatError);
    settings.GRType = GRCavern;
    settings.GRSize = 0.5L;
    state->SampleRate = 99999999;
    EXPECT_THROW(ComputeGRRegens(*state), FloatError);
}

} // namespace
} // namespace tarvola
