#include "core/spoken_text.h"

#include <string_view>

namespace orvex {

std::string JoinSpoken(const std::vector<std::string>& parts) {
  constexpr std::string_view kBlank = " \t\r\n\v\f";
  std::string spoken;
  for (const std::string& part : parts) {
    const auto first = part.find_first_not_of(kBlank);
    if (first == std::string::npos) continue;
    if (!spoken.empty()) spoken += ", ";
    spoken.append(part, first, part.find_last_not_of(kBlank) + 1 - first);
  }
  return spoken;
}

}  // namespace orvex
