#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/result.h"

namespace orvex {

using Bytes = std::vector<std::uint8_t>;

// The most passes the trailing count byte can record.
inline constexpr unsigned kMaxPasses = 255;

// No pass output may grow beyond this: a crafted count in a foreign file must
// fail like any other malformed input instead of eating memory.  Real files
// unpack to 8208 bytes.
inline constexpr std::size_t kMaxUnpackedSize = 1u << 20;

// One packing pass: removes the most frequent byte value (the highest value
// wins a tie) and records where it stood.  nullopt when the pass does not pay
// and is discarded.
std::optional<Bytes> EncodePass(std::span<const std::uint8_t> input);

// Packs a buffer: passes while they pay (at most 255), then the pass count.
Bytes Encode(std::span<const std::uint8_t> input);

// Reverses one pass; fails on anything that is not a pass output.
Result<Bytes> DecodePass(std::span<const std::uint8_t> packed, std::size_t maxOutput = kMaxUnpackedSize);

// Unpacks a buffer made by Encode; fails on malformed input, never reading
// or writing out of bounds.
Result<Bytes> Decode(std::span<const std::uint8_t> packed, std::size_t maxOutput = kMaxUnpackedSize);

}  // namespace orvex
