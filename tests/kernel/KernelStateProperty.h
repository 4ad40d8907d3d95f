// The property every file image must keep, shared by the state-file tests and the fuzz target: reading
// any bytes either refuses them and leaves the model alone, or leaves a consistent model whose image
// reads back to the very same model.
#pragma once

#include "kernel/KernelStateFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvola {

// What is wrong with the model, or the empty text.
inline std::string KernelModelFault(KernelModel& model) {
    if (model.ViewNumber < 1 || model.ViewNumber > kViewCount)
        return "view number out of range";
    for (std::int32_t channel = 1; channel <= 2; ++channel) {
        const TobjHistData& kernel = model.KernelOf(channel);
        for (std::int32_t i = 0; i < kernel.Count(); ++i) {
            if (!ImpulseInDomain(kernel.Impulse(i)) || (i > 0 && kernel.Impulse(i - 1) >= kernel.Impulse(i)))
                return "kernel out of order";
            if (static_cast<std::uint8_t>(kernel.Kind(i)) > 2)
                return "kind out of range";
        }
        const TChannelStats& stats = model.StatsOf(channel);
        if (stats.Count != kernel.Count() || stats.ZeroIndex != kernel.Find(0, 0, TFindMode::Exact))
            return "statistics do not follow the kernel";
        const std::int32_t viewLow = model.ViewsOf(channel)[model.ViewNumber - 1].LowImpulse;
        std::vector<TViewBounds> spans(model.ViewsOf(channel).begin(), model.ViewsOf(channel).end());
        spans.push_back(model.EditorBoundsOf(channel));
        for (const TViewBounds& span : spans) {
            if (span.Width < 1 || span.Width > kMaxColumns)
                return "span width out of range";
            TViewBounds again = span;
            KernelModel::RecomputeBoundsFor(kernel, viewLow, again, -1);
            if (!(again == span))
                return "bounds do not follow the kernel";
        }
    }
    return "";
}

inline std::string KernelStateFault(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    KernelModel model;
    model.ResetToDefaults();
    const std::vector<std::uint8_t> before = WriteKernelState(model);
    if (!ReadKernelState(bytes, model))
        return WriteKernelState(model) == before ? "" : "a refused image changed the model";
    if (std::string fault = KernelModelFault(model); !fault.empty())
        return fault;
    const std::vector<std::uint8_t> image = WriteKernelState(model);
    KernelModel again;
    if (!ReadKernelState(image, again) || WriteKernelState(again) != image)
        return "the image of a loaded model does not read back to it";
    return "";
}

} // namespace tarvola
