// The values behind the edit-operation dialogs (Amplify, Block Adjust, Harmonize, Mirror): the coupling of
// a vertical track bar to a number edit, the harmonic targets and the mirror's reflector impulses, and the
// place of a dialog centred over its owner. No window is involved here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarvola {

// ---- Track bar and edit

// The value a track bar position stands for. The top of a vertical bar is its minimum, so moving the thumb
// up raises the value: -200 gives 2.0.
long double TrackValue(int position);
// The position that shows a value: Round(value x -100), halves to even, kept within min..max. Typed values
// are not limited, so a huge one must land on the end of the bar instead of overflowing.
int TrackPosition(long double value, int min, int max);
// The edit's text for a value: fixed point, precision 7, that many decimals, '.' as the point.
std::string ValueText(long double value, int decimals);
// The number a typed text holds, or none when the text is no number (or none that converts).
std::optional<long double> TypedNumber(const std::string& text);

// ---- Harmonize

constexpr int kHarmonicCount = 5;
// The factor of a harmonic item (0 = "2.0 && 2.0" ... 4 = "6.0 && 1.2"); the factors are the dialog's own
// rounded ones (0.33333, 0.16666), which is what pins the targets users get.
double HarmonicFactor(int item);
// Round(low x factor of the item), halves to even.
std::int32_t HarmonicTarget(std::int32_t lowImpulse, int item);

// ---- Mirror

constexpr int kReflectorCount = 5;
// The impulse the copies are reflected around: 0 impulse zero, 1 low, 2 low - 1, 3 high, 4 high + 1.
std::int32_t ReflectorImpulse(int reflector, std::int32_t lowImpulse, std::int32_t highImpulse);

// ---- Placement

// The left (or top) edge that centres an extent over the owner's: ownerOrigin + ownerExtent div 2 - extent
// div 2.
int CenteredOrigin(int ownerOrigin, int ownerExtent, int extent);

} // namespace tarvola
