// The data object's rules that need no platform: which offered format answers a request, and the byte
// layouts of the tree's two media ("Virtual Tree Data" in a memory block, "Virtual Tree Reference").
#pragma once

#include "tree/ClipboardFormats.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tarvola {

// Success at the first offered format with the request's id, a common medium, its aspect and its index;
// otherwise the mismatch of the last offered format with that id (medium, aspect, index), or "no such
// format" when none has it.
TResultCode QueryOfferedFormat(const TFormatEtcArray& offered, const TFormatEtc& request);
// The index of the first offered format that serves the request (id, target device, aspect and index equal,
// a common medium), or nothing.
std::optional<std::size_t> FindOfferedFormat(const TFormatEtcArray& offered, const TFormatEtc& request);

// "Virtual Tree Reference": the source's process id, then a key naming the source tree in that process.
struct TTreeReference {
    std::uint32_t ProcessId;
    std::uint32_t TreeKey;
};
std::array<std::uint8_t, 8> EncodeTreeReference(const TTreeReference& reference);
// Nothing for a block shorter than 8 bytes.
std::optional<TTreeReference> DecodeTreeReference(std::span<const std::uint8_t> block);

// "Virtual Tree Data" in a memory block: a u32 byte count, then the node chunks.
std::vector<std::uint8_t> WrapNodeChunks(std::span<const std::uint8_t> chunks);
// The node chunks of such a block. The count is not trusted: what lies beyond the block is not read.
std::span<const std::uint8_t> NodeChunksOfBlock(std::span<const std::uint8_t> block);

} // namespace tarvola
