// Temporary table until the full string resource lands.
#include "core/strings.h"

#include <map>

namespace orvex {
namespace {
const std::map<int, std::string_view>& Table() {
  static const std::map<int, std::string_view> table = {{1137, "None"}, {2137, "\xE6\x97\xA0"}};
  return table;
}
}  // namespace

std::string_view StringEntry(int number) {
  const auto it = Table().find(number);
  return it == Table().end() ? std::string_view{} : it->second;
}
std::string_view Text(int base, int language) { return StringEntry(base + 1000 * language); }
std::vector<int> StringNumbers() {
  std::vector<int> numbers;
  for (const auto& [n, _] : Table()) numbers.push_back(n);
  return numbers;
}
}  // namespace orvex
