// libFuzzer target: opening arbitrary file bytes either fails a check with a
// reason or gives an image that saves and opens again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "codeplug/codeplug_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parsed = orvex::ParseCodeplug(std::span<const std::uint8_t>(data, size));
  if (parsed.check != orvex::CodeplugCheck::Ok) {
    if (parsed.detail.empty()) std::abort();
    return 0;
  }
  const auto again = orvex::ParseCodeplug(orvex::PackCodeplug(parsed.image));
  if (again.check != orvex::CodeplugCheck::Ok || again.image != parsed.image) std::abort();
  return 0;
}
