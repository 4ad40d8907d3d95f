#include "kernel/designers/ReverbDesigner.h"

#include "base/Numerics.h"
#include "kernel/designers/X87PrecisionGuard.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvola {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kSoundSpeed = 346; // m/s
// A reflection whose amplitude falls below this ends its regenerator (a signed comparison: a negative
// level ends the regenerator after its second reflection).
constexpr long double kLeastReflection = 0.0005L;

long double Square(long double v) {
    return v * v;
}

// Gives the right bank the left bank's values, with the delays spread by the separation factor: longer for
// odd regenerators, shorter for even ones. The right bank keeps its own Pan byte.
template <typename Bank>
void DeriveRightBank(const Bank& left, Bank& right, long double separation, std::int32_t sampleRate) {
    for (std::size_t r = 0; r < left.size(); ++r) {
        const TRegeneratorRec& l = left[r];
        TRegeneratorRec& g = right[r];
        g.Active = l.Active;
        g.Level = l.Level;
        g.Filtration = l.Filtration;
        g.GainL = l.GainL;
        g.GainR = l.GainR;
        g.Delay = (r % 2 == 1) ? l.Delay * separation : l.Delay / separation;
        g.DelaySmpls = DelayFrames(sampleRate, g.Delay);
    }
}

// One early-reflection regenerator at distance d (m) with factor g.
struct ERPlacement {
    long double Distance;
    long double Factor = 1;
    long double Filtration = 0;
    std::int8_t Pan = 0;
};

std::vector<ERPlacement> ERPlacements(std::uint8_t shape, long double A, long double B, long double F) {
    switch (shape) {
    case ERSquare:
        return {{A, 1},
                {std::sqrt(Square(A) + Square(B)), 1},
                {4 * std::sqrt(Square(A / 2) + Square(B / 4)), 0.8L},
                {0.95L * A + std::sqrt(Square(0.95L * A) + Square(0.25L * B)) +
                     std::sqrt(Square(0.5L * A) + Square(0.217L * B)),
                 0.6L}};
    case ERRectangle:
        return {{A, 1},
                {B, 1},
                {std::sqrt(Square(0.5L * A) + Square(0.15L * B)) + std::sqrt(Square(A) + Square(0.35L * B)) +
                     std::sqrt(Square(0.5L * A) + Square(0.5L * B)),
                 0.8L},
                {4 * std::sqrt(Square(A / 2) + Square(B / 4)), 0.6L},
                {4 * std::sqrt(Square(A / 4) + Square(B / 2)), 0.6L}};
    case ERSphere: {
        std::vector<ERPlacement> out;
        for (int r = 0; r <= 4; ++r)
            out.push_back({A + 0.06L * r, 0.99L - 0.1L * r});
        return out;
    }
    case ERComplex1:
        return {{A},         {B},         {1.2L * A},           {1.1L * B},
                {2.28L * A}, {2.35L * B}, {2.7L * A, 1, 0, 64}, {2.8L * B, 1, 0, -64}};
    case ERComplex2:
        return {{A, 1, 0.5L * F},           {B, -1, 0},
                {0.6L * A, 1, 0.7L * F},    {0.61L * B, 1, 0.7L * F},
                {0.95L * A, -1, -0.2L * F}, {0.97L * B, -1, 0.4L * F},
                {1.9L * A, 1, 0, 64},       {2.15L * B, 1, 0, -64}};
    default:
        throw RangeError("Unknown early reflection type");
    }
}

void SmoothReflection(ReverbState& state, int c, int r, int p, long double gain) {
    const TRegeneratorRec& g = state.Banks.ER[c][r];
    const long double f = std::fabs(g.Filtration);
    // The pan gain enters a second time here, as it always has: it defines the designer's sound.
    const long double x = state.ERCell(c, r, p) * gain;
    long double acc = 0;
    for (int q = p - 3; q <= p + 3; ++q) {
        if (q == p)
            continue;
        const long double t = state.M[q - p + 3] * x * f;
        state.ERCell(c, r, q) = t;
        acc += t;
    }
    state.ERCell(c, r, p) = g.Filtration < 0 ? -acc : x - acc;
}

void RenderRegenerator(ReverbState& state, int c, int r) {
    const TRegeneratorRec& g = state.Banks.ER[c][r];
    const long double wet = c == 0 ? state.Settings.WetL : state.Settings.WetR;
    const long double gain = c == 0 ? g.GainL : g.GainR;
    long double a = g.Level;
    std::int64_t p = g.DelaySmpls;
    // Each reflection lands on a later sample, so at most one per sample; the cap only ends the regenerator
    // whose delay rounds to zero frames.
    for (int reflection = 0; reflection < kERBufferLength; ++reflection) {
        if (p < 0 || p > kERBufferLast)
            return;
        state.ERCell(c, r, static_cast<int>(p)) = a * wet * gain;
        if (g.Filtration != 0)
            SmoothReflection(state, c, r, static_cast<int>(p), gain);
        a = a * g.Level;
        p += g.DelaySmpls;
        if (a < kLeastReflection)
            return;
    }
}

// The constants of one general-reverberation space type.
struct GRScheme {
    long double Dn, Nn;    // count: n = Round(D / Dn * Nn)
    std::int32_t MaxCount; // Cavern is capped at 700
    long double ModScale;  // mod = ModScale * D / ModDivisor
    long double ModDivisor;
    long double S0Numerator; // s0 = S0Numerator / n
    long double StepDivisor; // step = s0 / StepDivisor; 0: no step
    long double OffsetScale; // offset = OffsetScale * s0
    long double SpreadScale; // spread = SpreadScale * s0
    long double Base;
    long double Factor;
    long double PExponent;    // P = (D / 53.69099)^PExponent; 0: P = 1
    long double LateDivisor;  // 0: no late-half boost (Chamber)
    bool EverySeventh;        // Room and Hall
    long double J, K, FS;     // every seventh: Delay := rand * J + previous Delay + K, Filtration := FS
    long double SeventhLevel; // every seventh: Level *= SeventhLevel
};

const GRScheme& SchemeOf(std::uint8_t type) {
    static const GRScheme schemes[GRSpaceCount] = {
        // Room
        {8, 200, kGRRegenCount, 0.35L, 8, 9.5L, 70, 0.05L, 0.9L, 1.2L, 0.045L, 0, 50, true, 0.9L, 0.1L, 1.0L,
         1},
        // Hall
        {27.8L, 250, kGRRegenCount, 0.7L, 27.8L, 9.5L, 50, 0.05L, 0.9L, 1.2L, 0.058L, 0, 40, true, 0.001L,
         0.001L, 0.5L, -2},
        // Auditorium
        {56.1L, 500, kGRRegenCount, 0.8L, 56, 9.8L, 70, 0.25L, 0.5L, 1.2L, 0.22L, 1.3L, 100, false, 0, 0, 0,
         1},
        // Chamber
        {10.7L, 350, kGRRegenCount, 0.2L, 10.7L, 24, 0, 0.025L, 0.95L, 1.0L, 0.031L, 0, 0, false, 0, 0, 0, 1},
        // Cavern
        {161.1L, 700, 700, 0.9L, 139.7L, 6.5L, 90, 0.125L, 0.75L, 0.5L, 0.14L, 2, 30, false, 0, 0, 0, 1},
    };
    if (type >= GRSpaceCount)
        throw RangeError("Unknown general reverberation type");
    return schemes[type];
}

} // namespace

ReverbState::ReverbState()
    : ERBuffers(static_cast<std::size_t>(kChannelCount) * kERRegenCount * kStride),
      Sums(static_cast<std::size_t>(kChannelCount) * kERBufferLength) {}

long double& ReverbState::ERCell(int c, int r, int p) {
    CheckIndex(c, kChannelCount);
    CheckIndex(r, kERRegenCount);
    CheckIndex(p + kGuard, kStride);
    return ERBuffers[(static_cast<std::size_t>(c) * kERRegenCount + r) * kStride + p + kGuard];
}

long double ReverbState::ERSample(int c, int r, int p) const {
    CheckIndex(p, kERBufferLength);
    return const_cast<ReverbState*>(this)->ERCell(c, r, p);
}

long double ReverbState::Summed(int c, int p) const {
    CheckIndex(c, kChannelCount);
    CheckIndex(p, kERBufferLength);
    return Sums[static_cast<std::size_t>(c) * kERBufferLength + p];
}

std::array<long double, kMellowingTaps> ReverbState::MellowingCoefficients() {
    X87PrecisionGuard precision;
    // A seven-point Blackman window over k = -3 .. 3, normalised to sum 1.
    std::array<long double, kMellowingTaps> w{};
    for (int k = -3; k <= 0; ++k)
        w[k + 3] = 0.42L + 0.5L * std::cos(2 * kPi * k / 7) + 0.08L * std::cos(4 * kPi * k / 7);
    for (int k = 1; k <= 3; ++k)
        w[k + 3] = w[3 - k];
    long double sum = 0;
    for (long double v : w)
        sum += v;
    for (long double& v : w)
        v /= sum;
    return w;
}

std::unique_ptr<ReverbState> MakeReverbState() {
    return std::make_unique<ReverbState>();
}

void DefaultSettings(ReverbState& state) {
    state.Settings = TReverbSettings{};
    for (GRBank& bank : state.Banks.GR)
        bank.fill(TRegeneratorRec{});
    state.GA = 6 * (1 + state.Settings.GRSize);
    state.GB = 7.5L * (1 + state.Settings.GRSize);
    state.EA = 5 * (1 + state.Settings.ERSize);
    state.EB = 5 * (1 + state.Settings.ERSize);
}

namespace {

const DesignerSettingsTexts kReverbSettingsTexts{kReverbMissingSettingsText, kReverbReadErrorText,
                                                 kReverbSaveErrorText};

} // namespace

bool LoadReverbSettings(ReverbState& state, const std::string& programFolder, const WarningSink& warn) {
    const std::string path = DesignerSettingsPath(programFolder, kReverbSettingsFileName);
    const bool loaded = LoadDesignerSettings(
        path, kReverbFileBytes,
        [&state](const std::uint8_t* bytes) {
            return DecodeReverbFile(std::span(bytes, kReverbFileBytes), state.Settings, state.Banks);
        },
        kReverbSettingsTexts, warn);
    if (!loaded) {
        DefaultSettings(state);
        for (ERBank& bank : state.Banks.ER)
            bank.fill(TRegeneratorRec{});
    }
    return loaded;
}

bool SaveReverbSettings(const ReverbState& state, const std::string& programFolder, const WarningSink& warn) {
    const std::vector<std::uint8_t> bytes = EncodeReverbFile(state.Settings, state.Banks);
    return SaveDesignerSettings(DesignerSettingsPath(programFolder, kReverbSettingsFileName), bytes,
                                kReverbSettingsTexts, warn);
}

long double DelayForDistance(long double metres) {
    return metres * 1000 / kSoundSpeed;
}

std::int32_t DelayFrames(std::int32_t sampleRate, long double delayMs) {
    return Round32(sampleRate * delayMs / 1000);
}

void ComputeERDimensions(ReverbState& state) {
    static const long double dims[ERShapeCount][2] = {{5, 5}, {3.5L, 6}, {5, 5}, {6, 5.1L}, {4, 6.5L}};
    const std::uint8_t type = state.Settings.ERType;
    if (type >= ERShapeCount)
        throw RangeError("Unknown early reflection type");
    state.EA = dims[type][0] * (1 + state.Settings.ERSize);
    state.EB = dims[type][1] * (1 + state.Settings.ERSize);
}

void ComputeERRegens(ReverbState& state) {
    X87PrecisionGuard precision;
    ComputeERDimensions(state);
    const TReverbSettings& s = state.Settings;
    ERBank& left = state.Banks.ER[0];
    if (s.ERStrength == 0) {
        for (ERBank& bank : state.Banks.ER)
            bank.fill(TRegeneratorRec{});
        return;
    }
    const std::vector<ERPlacement> placements = ERPlacements(s.ERType, state.EA, state.EB, s.Filtration);
    for (int r = 0; r < kERRegenCount; ++r) {
        TRegeneratorRec& g = left[r];
        if (r >= static_cast<int>(placements.size())) {
            g.Active = 0;
            continue;
        }
        const ERPlacement& at = placements[r];
        g.Delay = DelayForDistance(at.Distance);
        g.DelaySmpls = DelayFrames(state.SampleRate, g.Delay);
        g.Level = s.ERStrength * at.Factor;
        g.Filtration = at.Filtration;
        g.Pan = at.Pan;
        g.GainL = kCentredPanGain;
        g.GainR = kCentredPanGain;
        g.Active = 1;
    }
    DeriveRightBank(left, state.Banks.ER[1], s.ERSeparation, state.SampleRate);
}

void RenderER(ReverbState& state) {
    X87PrecisionGuard precision;
    for (int c = 0; c < kChannelCount; ++c) {
        if (!state.ChannelOn[c])
            continue;
        const auto channelBuffers =
            state.ERBuffers.begin() + static_cast<std::ptrdiff_t>(c) * kERRegenCount * ReverbState::kStride;
        std::fill(channelBuffers, channelBuffers + kERRegenCount * ReverbState::kStride, 0.0L);
        const auto sums = state.Sums.begin() + static_cast<std::ptrdiff_t>(c) * kERBufferLength;
        std::fill(sums, sums + kERBufferLength, 0.0L);
        for (int r = 0; r < kERRegenCount; ++r)
            if (state.Banks.ER[c][r].Active)
                RenderRegenerator(state, c, r);
        for (int p = 0; p <= kERBufferLast; ++p)
            for (int r = 0; r < kERRegenCount; ++r)
                if (state.Banks.ER[c][r].Active && state.ERCell(c, r, p) != 0)
                    sums[p] += state.ERCell(c, r, p);
    }
}

void ComputeGRDimensions(ReverbState& state) {
    static const long double dims[GRSpaceCount][2] = {{5, 6.5L}, {10, 18}, {45, 50}, {10, 10}, {22, 67}};
    const std::uint8_t type = state.Settings.GRType;
    if (type >= GRSpaceCount)
        throw RangeError("Unknown general reverberation type");
    state.GA = dims[type][0] * (1 + state.Settings.GRSize);
    state.GB = dims[type][1] * (1 + state.Settings.GRSize);
}

long double GRDecay(long double grTime, long double delayMs) {
    if (!(delayMs > 0))
        throw FloatError("Division by zero");
    const std::int64_t m = Trunc64(grTime / delayMs);
    if (m >= 1)
        return std::pow(0.001L, 1.0L / static_cast<long double>(m));
    return grTime <= delayMs ? 0.0L : std::sqrt(0.0005L);
}

namespace {

// The half diagonal times the aspect ratio: the scheme's characteristic distance.
long double SchemeDistance(long double a, long double b) {
    const long double ratio = std::max(a, b) / std::min(a, b);
    const long double h = std::sqrt(Square(a) + Square(b)) / 2;
    return h * ratio;
}

// Fills regenerators 0 .. n-1 of the left general-reverberation bank (n >= 2).
void FillGRScheme(ReverbState& state, std::uint8_t type, long double D, std::int32_t n) {
    const GRScheme& k = SchemeOf(type);
    const TReverbSettings& s = state.Settings;
    GRBank& left = state.Banks.GR[0];
    const bool chamber = type == GRChamber;
    const long double mod = k.ModScale * D / k.ModDivisor;
    const long double s0 = k.S0Numerator / n;
    const long double step = k.StepDivisor == 0 ? 0 : s0 / k.StepDivisor;
    const long double offset = k.OffsetScale * s0;
    const long double spread = k.SpreadScale * s0;
    const long double P = k.PExponent == 0 ? 1 : std::pow(D / 53.69099L, k.PExponent);
    const std::int32_t half = Round32(static_cast<long double>(n) / 2);
    const long double quarterTurns = 4 * static_cast<long double>(chamber ? n - 1 : n);
    long double fw = s.Filtration;
    long double sv = s0;
    ReverbRandom random;
    for (std::int32_t i = 0; i < n; ++i) {
        TRegeneratorRec& g = left[i];
        const long double r = random.Next() * spread;
        const long double dist = D * (i * sv + k.Base + offset + r);
        g.Delay = DelayForDistance(dist);
        g.DelaySmpls = DelayFrames(state.SampleRate, g.Delay);
        const long double x = i / quarterTurns;
        g.Level = GRDecay(s.GRTime, g.Delay) * k.Factor * (mod * std::sin(2 * kPi * x) + 1 - mod) * P;
        if (i % 3 == 0)
            g.Level = -g.Level;
        if (!chamber && i > half) {
            g.Level = g.Level * i / (half * k.LateDivisor) + g.Level;
            fw = half / (10 * static_cast<long double>(i)) * s.Filtration;
        }
        if (chamber) {
            g.Filtration = s.Filtration;
        } else {
            g.Filtration = fw;
            if (g.Filtration > -0.1L && g.Filtration < 0.1L)
                g.Filtration = 0;
        }
        g.Pan = 0;
        g.GainL = kCentredPanGain;
        g.GainR = kCentredPanGain;
        g.Active = 1;
        if (k.EverySeventh && i % 7 == 0 && i >= 1) {
            g.Delay = random.Next() * k.J + left[i - 1].Delay + k.K;
            g.DelaySmpls = DelayFrames(state.SampleRate, g.Delay);
            g.Filtration = k.FS;
            g.Level = g.Level * k.SeventhLevel;
        }
        sv += step;
    }
}

} // namespace

std::int32_t GRCountFor(std::uint8_t grType, long double a, long double b) {
    const GRScheme& k = SchemeOf(grType);
    const std::int32_t n = Round32(SchemeDistance(a, b) / k.Dn * k.Nn);
    return std::min(n, k.MaxCount);
}

void ComputeGRRegens(ReverbState& state) {
    X87PrecisionGuard precision;
    ComputeGRDimensions(state);
    const TReverbSettings& s = state.Settings;
    if (s.GRTime == 0) {
        for (GRBank& bank : state.Banks.GR)
            bank.fill(TRegeneratorRec{});
        state.GRCount = 0;
        return;
    }
    const std::int32_t n = GRCountFor(s.GRType, state.GA, state.GB);
    if (n > kGRRegenCount)
        throw RangeError("General reverberation count out of range (" + std::to_string(n) + ")");
    // Fewer than two regenerators leave nothing to spread (the Chamber's positions would divide by zero).
    const std::int32_t count = n >= 2 ? n : 0;
    GRBank& left = state.Banks.GR[0];
    if (count > 0)
        FillGRScheme(state, s.GRType, SchemeDistance(state.GA, state.GB), count);
    for (std::int32_t i = count; i < kGRRegenCount; ++i)
        left[i].Active = 0;
    state.GRCount = count;
    DeriveRightBank(left, state.Banks.GR[1], s.GRSeparation, state.SampleRate);
}

long double ReverbRandom::Next() {
    state_ = state_ * 134775813u + 1u;
    return static_cast<long double>(state_) / 4294967296.0L;
}

} // namespace tarvola
