// The smallest call into the engine from JavaScript: packs a buffer as a
// .tw file does and unpacks it again.  Built by em++ only (tools/engine-wasm.sh);
// packer_probe.mjs loads it in node.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "codeplug/packer.h"

// The packed size of `size` bytes at `data`, or -1 when unpacking does not
// give them back.
extern "C" int orvex_packed_size(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const orvex::Bytes packed = orvex::Encode(input);
  const auto unpacked = orvex::Decode(packed);
  if (!unpacked || !std::equal(unpacked->begin(), unpacked->end(), input.begin(), input.end())) return -1;
  return static_cast<int>(packed.size());
}
