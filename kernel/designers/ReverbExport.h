// Writing a designed reverb into the kernels: the summed early reflections as Input records, each
// general-reverberation regenerator as one feedback (Output) record or a smoothed group of seven, and
// finally the dry record at the target scaled by the wet:dry mix.
//
// One record holds one impulse, so an early-reflection sample and a feedback tap that fall on the same
// impulse share it: in overwrite mode the later feedback tap replaces the reflection, in mix mode their
// sum becomes a feedback tap. A kernel holds at most 10,240 records; the early reflections are merged
// first, so when a kernel fills up it is feedback taps that are dropped.
#pragma once

#include "kernel/KrnlDsgnTypes.h"
#include "kernel/designers/DesignerExport.h"
#include "kernel/designers/DesignerSettings.h"
#include "kernel/designers/ReverbDesigner.h"

#include <array>
#include <optional>
#include <vector>

namespace tarvola {

// The seven Output records that smooth general-reverberation regenerator r of channel c around impulse q.
std::array<TImpulseRec, kMellowingTaps> FilteredGRTap(const ReverbState& state, int c, int r, std::int32_t q);

// Channel c's records in the order they are merged: the early reflections rendered by RenderER (Input,
// ascending), then the active general-reverberation regenerators (Output). Raises RangeError, before
// anything is written, when an impulse would leave the kernel's domain.
std::vector<TImpulseRec> ReverbRecords(const ReverbState& state, int c);

// What an overwrite clears for a channel: the span of the impulses actually written, without the target
// itself, so the dry record survives. Nothing when no record is written.
std::vector<TImpulseSpan> ReverbOverwriteSpans(const std::vector<TImpulseRec>& records, std::int32_t target);

// Clears (overwrite mode) and merges the chosen channels' records.
void ExportReverb(const ReverbState& state, TobjHistData& left, TobjHistData& right);

// Scales the record at the target by the channel's dry share, first adding a 1.0 Input record there when
// there is none. A full kernel that cannot take that record is left as it is, with a warning.
void ApplyDryWet(const ReverbState& state, TobjHistData& left, TobjHistData& right, const WarningSink& warn);

// Generate's engine steps, after the target is read: both banks from the settings, the early reflections
// rendered, the records exported by the write mode, the dry record scaled.
void GenerateReverb(ReverbState& state, TobjHistData& left, TobjHistData& right, const WarningSink& warn);

} // namespace tarvola
