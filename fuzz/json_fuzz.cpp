// libFuzzer target: the JSON codeplug import on arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "json_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvex::fuzz::CheckJsonDocument(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
