// The data object's format matching and the tree's media layouts.
#include "tree/DataObjectRules.h"

#include "base/ByteOrder.h"
#include "base/Numerics.h"

#include <algorithm>

namespace tarvola {

TResultCode QueryOfferedFormat(const TFormatEtcArray& offered, const TFormatEtc& request) {
    TResultCode result = ResultFormatEtc;
    for (const TFormatEtc& format : offered) {
        if (format.cfFormat != request.cfFormat)
            continue;
        if ((format.tymed & request.tymed) == 0)
            result = ResultTymed;
        else if (format.dwAspect != request.dwAspect)
            result = ResultDvAspect;
        else if (format.lindex != request.lindex)
            result = ResultLIndex;
        else
            return ResultOk;
    }
    return result;
}

std::optional<std::size_t> FindOfferedFormat(const TFormatEtcArray& offered, const TFormatEtc& request) {
    for (std::size_t i = 0; i < offered.size(); ++i) {
        const TFormatEtc& format = offered[i];
        if (format.cfFormat == request.cfFormat && format.ptd == request.ptd &&
            format.dwAspect == request.dwAspect && format.lindex == request.lindex &&
            (format.tymed & request.tymed) != 0)
            return i;
    }
    return std::nullopt;
}

std::array<std::uint8_t, 8> EncodeTreeReference(const TTreeReference& reference) {
    std::array<std::uint8_t, 8> block{};
    PutLE<std::uint32_t>(block.data(), reference.ProcessId);
    PutLE<std::uint32_t>(block.data() + 4, reference.TreeKey);
    return block;
}

std::optional<TTreeReference> DecodeTreeReference(std::span<const std::uint8_t> block) {
    if (block.size() < 8)
        return std::nullopt;
    return TTreeReference{GetLE<std::uint32_t>(block.data()), GetLE<std::uint32_t>(block.data() + 4)};
}

std::vector<std::uint8_t> WrapNodeChunks(std::span<const std::uint8_t> chunks) {
    std::vector<std::uint8_t> block(4 + chunks.size());
    PutLE<std::uint32_t>(block.data(), CheckedCast<std::uint32_t>(chunks.size()));
    std::copy(chunks.begin(), chunks.end(), block.begin() + 4);
    return block;
}

std::span<const std::uint8_t> NodeChunksOfBlock(std::span<const std::uint8_t> block) {
    if (block.size() < 4)
        return {};
    const std::size_t count = std::min<std::size_t>(GetLE<std::uint32_t>(block.data()), block.size() - 4);
    return block.subspan(4, count);
}

} // namespace tarvola
