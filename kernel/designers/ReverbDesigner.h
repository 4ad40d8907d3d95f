// The reverb designer's engine: the regenerator banks computed from the settings (early reflections from
// one of five room shapes, general reverberation from one of five space types), the early reflections
// rendered reflection by reflection into dense sample buffers, and the state the designer window owns.
// Distances are in metres, delays in milliseconds, sound travels at 346 m/s.
#pragma once

#include "kernel/designers/DesignerSettings.h"
#include "kernel/designers/ReverbSettings.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarvola {

inline constexpr int kERBufferLast = 25000; // the dense buffers hold samples 0 .. 25000
inline constexpr int kERBufferLength = kERBufferLast + 1;
inline constexpr int kMellowingTaps = 7;
inline constexpr std::int32_t kDefaultReverbSampleRate = 44100;

// Everything the designer works on: the settings and banks (persisted), the dense early-reflection
// buffers and their sums, the mellowing coefficients, the space dimensions, the rate, the target and the
// channel flags. Its buffers take several megabytes: create it with MakeReverbState (on the heap).
struct ReverbState {
    TReverbSettings Settings;
    ReverbBanks Banks;
    // M[0..6]: the seven-point mellowing window, normalised to sum 1; M[3] is the centre.
    std::array<long double, kMellowingTaps> M = MellowingCoefficients();
    long double EA = 5, EB = 5;    // early-reflection space (m)
    long double GA = 6, GB = 7.5L; // general-reverberation space (m)
    std::int32_t SampleRate = kDefaultReverbSampleRate;
    std::int32_t TargetImpulse = 0;
    std::array<bool, kChannelCount> ChannelOn{true, true};
    std::int32_t GRCount = 0; // n of the last general-reverberation computation

    ReverbState();

    // Sample p (0 .. 25000) of regenerator r's dense buffer of channel c, and of the channel's sum.
    long double ERSample(int c, int r, int p) const;
    long double Summed(int c, int p) const;

    static std::array<long double, kMellowingTaps> MellowingCoefficients();

    // Dense buffers with three guard samples on each side, so that smoothing a reflection near either
    // end never writes outside them; only 0 .. 25000 are summed.
    static constexpr int kGuard = 3;
    static constexpr int kStride = kERBufferLength + 2 * kGuard;
    std::vector<long double> ERBuffers; // [channel][regenerator][kStride]
    std::vector<long double> Sums;      // [channel][kERBufferLength]
    long double& ERCell(int c, int r, int p);
};

std::unique_ptr<ReverbState> MakeReverbState();

// The field defaults, a blank general-reverberation bank and the provisional dimensions. The early
// reflection banks are not touched here.
void DefaultSettings(ReverbState& state);

// Reads "ReverbPersist.dat" in the program folder's "User\" folder: the settings and all four banks when the
// whole file is usable. Otherwise it warns (missing or unreadable file) and applies the defaults with blank
// early-reflection banks too, so a failed load never leaves half-read banks behind.
bool LoadReverbSettings(ReverbState& state, const std::string& programFolder, const WarningSink& warn);

// Writes the settings and the current banks whole, or warns and leaves the old file.
bool SaveReverbSettings(const ReverbState& state, const std::string& programFolder, const WarningSink& warn);

// Delay in ms for a distance, and its frame count at a rate (checked Round, halves to even).
long double DelayForDistance(long double metres);
std::int32_t DelayFrames(std::int32_t sampleRate, long double delayMs);

void ComputeERDimensions(ReverbState& state);
void ComputeERRegens(ReverbState& state);
// Renders the active early-reflection regenerators of the chosen channels and sums them.
void RenderER(ReverbState& state);

void ComputeGRDimensions(ReverbState& state);
// The level that falls to 0.001 over the reverberation time, for one delay (ms); the delay must be > 0.
long double GRDecay(long double grTime, long double delayMs);
// The regenerator count of a space type for its scaled dimensions.
std::int32_t GRCountFor(std::uint8_t grType, long double a, long double b);
void ComputeGRRegens(ReverbState& state);

// The general-reverberation algorithms' random numbers: a 32-bit linear congruential generator.
class ReverbRandom {
public:
    long double Next();

private:
    std::uint32_t state_ = 1;
};

} // namespace tarvola
