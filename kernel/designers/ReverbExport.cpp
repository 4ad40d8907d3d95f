#include "kernel/designers/ReverbExport.h"

#include "base/Numerics.h"
#include "kernel/designers/X87PrecisionGuard.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tarvola {

namespace {

TImpulseRec MakeRecord(long double value, std::int32_t impulse, TSourceKind kind) {
    TImpulseRec rec = InputTemplate;
    rec.Value = value;
    rec.Impulse = impulse;
    rec.Kind = kind;
    return rec;
}

long double ChannelGain(const TRegeneratorRec& g, int c) {
    return c == 0 ? g.GainL : g.GainR;
}

TobjHistData& KernelOfChannel(int c, TobjHistData& left, TobjHistData& right) {
    return c == 0 ? left : right;
}

std::string FullKernelText(int c) {
    return std::string("The ") + (c == 0 ? "left" : "right") +
           " kernel is full (10240 records): the dry signal could not be\rplaced at the target impulse.";
}

} // namespace

std::array<TImpulseRec, kMellowingTaps> FilteredGRTap(const ReverbState& state, int c, int r,
                                                      std::int32_t q) {
    CheckIndex(c, kChannelCount);
    CheckIndex(r, kGRRegenCount);
    const TRegeneratorRec& g = state.Banks.GR[c][r];
    const long double f = std::fabs(g.Filtration);
    const long double x = g.Level * ChannelGain(g, c);
    constexpr int centre = kMellowingTaps / 2;
    std::array<long double, kMellowingTaps> t{};
    long double acc = 0;
    for (int k = 0; k < kMellowingTaps; ++k) {
        if (k == centre)
            continue;
        t[k] = state.M[k] * x * f;
        acc += t[k];
    }
    t[centre] = x - acc;
    if (g.Filtration < 0) {
        // The sharpening variant: the negated spread at the centre, all seven raised by the amount.
        t[centre] = -acc;
        for (long double& v : t)
            v = v * (1 - g.Filtration);
    }
    std::array<TImpulseRec, kMellowingTaps> out;
    for (int k = 0; k < kMellowingTaps; ++k)
        out[k] = MakeRecord(t[k], DesignerImpulse(q, k - centre), TSourceKind::Output);
    return out;
}

std::vector<TImpulseRec> ReverbRecords(const ReverbState& state, int c) {
    CheckIndex(c, kChannelCount);
    const std::int32_t T = state.TargetImpulse;
    std::vector<TImpulseRec> records;
    for (int p = 0; p <= kERBufferLast; ++p)
        if (const long double v = state.Summed(c, p); v != 0)
            records.push_back(MakeRecord(v, DesignerImpulse(T, p), TSourceKind::Input));
    for (int r = 0; r < kGRRegenCount; ++r) {
        const TRegeneratorRec& g = state.Banks.GR[c][r];
        if (!g.Active)
            continue;
        const std::int32_t q = DesignerImpulse(T, g.DelaySmpls);
        if (g.Filtration == 0) {
            records.push_back(MakeRecord(g.Level * ChannelGain(g, c), q, TSourceKind::Output));
        } else {
            const auto taps = FilteredGRTap(state, c, r, q);
            records.insert(records.end(), taps.begin(), taps.end());
        }
    }
    return records;
}

std::vector<TImpulseSpan> ReverbOverwriteSpans(const std::vector<TImpulseRec>& records, std::int32_t target) {
    if (records.empty())
        return {};
    const auto [lowest, highest] =
        std::minmax_element(records.begin(), records.end(),
                            [](const TImpulseRec& a, const TImpulseRec& b) { return a.Impulse < b.Impulse; });
    const std::int32_t low = lowest->Impulse;
    const std::int32_t high = highest->Impulse;
    if (target < low || target > high)
        return {{low, high}};
    std::vector<TImpulseSpan> spans;
    if (low < target)
        spans.push_back({low, target - 1});
    if (target < high)
        spans.push_back({target + 1, high});
    return spans;
}

void ExportReverb(const ReverbState& state, TobjHistData& left, TobjHistData& right) {
    // Every record of both channels is made (and its impulse checked) before anything is written.
    std::array<std::vector<TImpulseRec>, kChannelCount> records;
    for (int c = 0; c < kChannelCount; ++c)
        if (state.ChannelOn[c])
            records[c] = ReverbRecords(state, c);
    const bool overwrite = state.Settings.WriteMode == kWriteOverwrite;
    for (int c = 0; c < kChannelCount; ++c) {
        if (!state.ChannelOn[c])
            continue;
        const TExportRules rules{overwrite ? TExportMode::Overwrite : TExportMode::Mix, state.TargetImpulse,
                                 c == 0, c == 1};
        if (!overwrite) {
            ExportToKernels(records[c], {}, rules, left, right);
            continue;
        }
        std::vector<TImpulseSpan> spans = ReverbOverwriteSpans(records[c], state.TargetImpulse);
        if (spans.empty())
            continue; // nothing written, nothing cleared
        // The span above the target is cleared first on its own; the export then clears the one below
        // (or the only one) and merges.
        if (spans.size() == 2)
            ExportToKernels({}, spans[1], rules, left, right);
        ExportToKernels(records[c], spans[0], rules, left, right);
    }
}

void ApplyDryWet(const ReverbState& state, TobjHistData& left, TobjHistData& right, const WarningSink& warn) {
    const std::int32_t T = state.TargetImpulse;
    for (int c = 0; c < kChannelCount; ++c) {
        if (!state.ChannelOn[c])
            continue;
        TobjHistData& kernel = KernelOfChannel(c, left, right);
        std::int32_t index = kernel.Find(T, 0, TFindMode::Exact);
        if (index < 0) {
            TImpulseRec dry = MakeRecord(1.0L, T, TSourceKind::Input);
            index = kernel.AddOrMerge(dry, TMergeMode::Mix);
            if (index < 0 || kernel.Impulse(index) != T) {
                warn(FullKernelText(c));
                continue;
            }
        }
        const long double dry = c == 0 ? state.Settings.DryL : state.Settings.DryR;
        kernel.SetValue(index, kernel.Value(index) * dry);
    }
}

void GenerateReverb(ReverbState& state, TobjHistData& left, TobjHistData& right, const WarningSink& warn) {
    X87PrecisionGuard precision;
    ComputeERRegens(state);
    ComputeGRRegens(state);
    RenderER(state);
    ExportReverb(state, left, right);
    ApplyDryWet(state, left, right, warn);
}

} // namespace tarvola
