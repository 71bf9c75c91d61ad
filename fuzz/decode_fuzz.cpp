// libFuzzer target: unpacking arbitrary bytes never crashes, never reads or
// writes out of bounds and never grows past the size cap; what does unpack
// packs and unpacks again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "codeplug/packer.h"

// The decoder's own limit (1 MiB a pass) would have most inputs spend their
// time writing megabytes; a smaller limit keeps the fuzzer exploring.  The
// limit itself is the same code whatever its value, and twice a whole plain
// codeplug (8,208 bytes) still unpacks.
constexpr std::size_t kHarnessCap = 16 * 1024;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto decoded = orvex::Decode(std::span<const std::uint8_t>(data, size), kHarnessCap);
  if (!decoded) return 0;
  if (decoded->size() > kHarnessCap) std::abort();
  const auto again = orvex::Decode(orvex::Encode(*decoded));
  if (!again || *again != *decoded) std::abort();
  return 0;
}
