#include "core/strings.h"

#include <algorithm>

#include "strings/string_table.h"

namespace orvex {
namespace {

using string_table::Row;

const Row* FindRow(int number) {
  const auto rows = string_table::Rows();
  const auto it =
      std::lower_bound(rows.begin(), rows.end(), number, [](const Row& row, int n) { return row.number < n; });
  return it != rows.end() && it->number == number ? &*it : nullptr;
}

}  // namespace

std::string_view Text(int base, int language) {
  // Only the two table languages exist, and numbers are 16-bit; anything
  // else would address a foreign entry (or overflow), so it reads as unknown.
  if (language != kEnglish && language != kChinese) return {};
  if (base < 0 || base > 0xFFFF) return {};
  return StringEntry(base + 1000 * language);
}

std::string FormatText(std::string_view pattern, const std::vector<std::string>& args) {
  std::string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const auto index = static_cast<std::size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
      text += args[index];
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

std::string TextOf(int base, int language, const std::vector<std::string>& args) {
  return FormatText(Text(base, language), args);
}

std::string_view StringEntry(int number) {
  const Row* row = FindRow(number);
  return row ? row->text : std::string_view{};
}

std::string_view StringUser(int number) {
  const Row* row = FindRow(number);
  return row ? row->user : std::string_view{};
}

std::vector<int> StringNumbers() {
  const auto rows = string_table::Rows();
  std::vector<int> numbers;
  numbers.reserve(rows.size());
  for (const Row& row : rows) numbers.push_back(row.number);
  return numbers;
}

}  // namespace orvex
