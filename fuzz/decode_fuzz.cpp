// libFuzzer target: unpacking arbitrary bytes never crashes, never reads or
// writes out of bounds and never grows past the size cap; what does unpack
// packs and unpacks again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "codeplug/packer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto decoded = orvex::Decode(std::span<const std::uint8_t>(data, size));
  if (!decoded) return 0;
  if (decoded->size() > orvex::kMaxUnpackedSize) std::abort();
  // Keep the round trip cheap: real codeplugs are a few kilobytes.
  if (decoded->size() <= 65536) {
    const auto again = orvex::Decode(orvex::Encode(*decoded));
    if (!again || *again != *decoded) std::abort();
  }
  return 0;
}
