#include "kernel/EditDialogValues.h"

#include "base/Numerics.h"
#include "audio/TextOperations.h"
#include "kernel/FloatText.h"

#include <array>

namespace tarvola {

namespace {

constexpr long double kTrackScale = -100.0L;
constexpr int kTextPrecision = 7;
constexpr std::array<double, kHarmonicCount> kHarmonicFactors{0.5, 0.33333, 0.25, 0.2, 0.16666};

} // namespace

long double TrackValue(int position) {
    return static_cast<long double>(position) / kTrackScale;
}

int TrackPosition(long double value, int min, int max) {
    const long double scaled = CheckFinite(value * kTrackScale);
    // Clamp before rounding: the scaled value of a typed 1e300 does not fit any integer.
    if (scaled <= static_cast<long double>(min))
        return min;
    if (scaled >= static_cast<long double>(max))
        return max;
    return Round32(scaled);
}

std::string ValueText(long double value, int decimals) {
    return FloatToStrF(value, TFloatFormat::ffFixed, kTextPrecision, decimals);
}

std::optional<long double> TypedNumber(const std::string& text) {
    const std::optional<double> number = NumberValue(text);
    if (!number)
        return std::nullopt;
    return static_cast<long double>(*number);
}

double HarmonicFactor(int item) {
    CheckIndex(item, kHarmonicCount);
    return kHarmonicFactors[static_cast<std::size_t>(item)];
}

std::int32_t HarmonicTarget(std::int32_t lowImpulse, int item) {
    return Round32(static_cast<long double>(lowImpulse) * HarmonicFactor(item));
}

std::int32_t ReflectorImpulse(int reflector, std::int32_t lowImpulse, std::int32_t highImpulse) {
    CheckIndex(reflector, kReflectorCount);
    switch (reflector) {
    case 0:
        return 0;
    case 1:
        return lowImpulse;
    case 2:
        return CheckedSub<std::int32_t>(lowImpulse, 1);
    case 3:
        return highImpulse;
    default:
        return CheckedAdd<std::int32_t>(highImpulse, 1);
    }
}

int CenteredOrigin(int ownerOrigin, int ownerExtent, int extent) {
    return CheckedSub(CheckedAdd(ownerOrigin, ownerExtent / 2), extent / 2);
}

} // namespace tarvola
