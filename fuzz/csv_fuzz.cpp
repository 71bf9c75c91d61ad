// libFuzzer target: the channel CSV import on arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "csv_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvex::fuzz::CheckChannelCsv(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
