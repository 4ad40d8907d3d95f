// The reverb designer's persistent records: the settings record, the regenerator record, both banks of
// regenerators per channel, and the byte layout of "ReverbPersist.dat" (settings, early-reflection banks,
// general-reverberation banks), with a decoder that accepts a file only when every piece is whole and every
// value is one the designer can use.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarvola {

// The centred pan gain: the decimal constant, not the exact 1/sqrt(2).
inline constexpr long double kCentredPanGain = 0.707107L;

inline constexpr int kERRegenCount = 8;   // early-reflection regenerators per channel
inline constexpr int kGRRegenCount = 701; // general-reverberation regenerators per channel
inline constexpr int kChannelCount = 2;   // index 0 left, 1 right

inline constexpr std::uint8_t kWriteOverwrite = 0;
inline constexpr std::uint8_t kWriteMix = 1;

// Early-reflection room shapes (ERType).
enum ERShape : std::uint8_t { ERSquare, ERRectangle, ERSphere, ERComplex1, ERComplex2, ERShapeCount };
// General-reverberation space types (GRType).
enum GRSpace : std::uint8_t { GRRoom, GRHall, GRAuditorium, GRChamber, GRCavern, GRSpaceCount };

struct TReverbSettings {
    std::uint8_t WriteMode = kWriteOverwrite;
    long double WetL = 0.5L;
    long double WetR = 0.5L;
    long double DryL = 0.5L;
    long double DryR = 0.5L;
    long double GRSeparation = 1.1L;
    long double ERSeparation = 1.05L;
    std::uint8_t Reserved = 1; // set by the defaults, not used otherwise
    std::uint8_t GRType = GRRoom;
    std::uint8_t ERType = ERSquare;
    long double ERSize = 0;
    long double GRSize = 0;
    long double GRTime = 700; // ms
    long double ERStrength = 0.75L;
    long double Filtration = 0.5L;

    bool operator==(const TReverbSettings&) const = default;
};

// A delay that returns the sound at a level, optionally smoothed, panned between the channels. The
// default-constructed record is the blank regenerator (inactive, centred gains).
struct TRegeneratorRec {
    long double Level = 0;
    long double Filtration = 0;
    long double Delay = 0; // ms
    std::int32_t DelaySmpls = 0;
    std::uint8_t Active = 0;
    std::int8_t Pan = 0;
    long double GainL = kCentredPanGain;
    long double GainR = kCentredPanGain;

    bool operator==(const TRegeneratorRec&) const = default;
};

using ERBank = std::array<TRegeneratorRec, kERRegenCount>;
using GRBank = std::array<TRegeneratorRec, kGRRegenCount>;

// Both banks of both channels; index 0 is the left channel.
struct ReverbBanks {
    std::array<ERBank, kChannelCount> ER;
    std::array<GRBank, kChannelCount> GR;

    bool operator==(const ReverbBanks&) const = default;
};

inline constexpr std::size_t kReverbSettingsBytes = 132;
inline constexpr std::size_t kRegeneratorBytes = 64;
inline constexpr std::size_t kReverbERPieceBytes = kChannelCount * kERRegenCount * kRegeneratorBytes;
inline constexpr std::size_t kReverbGRPieceBytes = kChannelCount * kGRRegenCount * kRegeneratorBytes;
inline constexpr std::size_t kReverbFileBytes =
    kReverbSettingsBytes + kReverbERPieceBytes + kReverbGRPieceBytes;

inline constexpr char kReverbSettingsFileName[] = "ReverbPersist.dat";

inline constexpr char kReverbMissingSettingsText[] =
    "No file containing the settings from the last Reverb Wizzard\rsession can be found. Defaults will be "
    "used instead.";
inline constexpr char kReverbReadErrorText[] = "An error has occurred while reading the settings from "
                                               "the\rlast Reverb Wizzard session. Defaults will be "
                                               "used instead.";
inline constexpr char kReverbSaveErrorText[] =
    "An error has occurred while saving the settings from this Reverb Wizzard\rsession. Either defaults or "
    "prior settings will be used next time.";

std::array<std::uint8_t, kReverbSettingsBytes> EncodeReverbSettings(const TReverbSettings& settings);
std::array<std::uint8_t, kRegeneratorBytes> EncodeRegenerator(const TRegeneratorRec& regenerator);

// Decoders return false, leaving the output untouched, when a value is not usable: an 80-bit field that is
// not a finite number in its normal encoding, a type or write-mode byte outside its list, a settings value
// outside the range its control offers, an Active byte other than 0 or 1.
bool DecodeReverbSettings(std::span<const std::uint8_t, kReverbSettingsBytes> bytes, TReverbSettings& out);
bool DecodeRegenerator(std::span<const std::uint8_t, kRegeneratorBytes> bytes, TRegeneratorRec& out);

// The whole settings file: settings, ER left then right, GR left then right.
std::vector<std::uint8_t> EncodeReverbFile(const TReverbSettings& settings, const ReverbBanks& banks);

// Accepts the file only when all three pieces are present and valid (a longer file is accepted; the bytes
// after the third piece are ignored); on false both outputs are untouched, so a failed read never leaves
// half-read banks behind.
bool DecodeReverbFile(std::span<const std::uint8_t> bytes, TReverbSettings& settings, ReverbBanks& banks);

} // namespace tarvola
