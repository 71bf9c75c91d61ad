#include "model/document/codeplug_diff.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "model/document/codeplug_document.h"

namespace orvex {

CodeplugDiff DiffCodeplugs(const Image& before, const Image& after) {
  CodeplugDiff diff;
  if (before == after) return diff;
  // Bits whose difference a reported value already explains.
  std::array<std::uint8_t, kImageSize> explained{};
  for (const auto& value : CodeplugValues()) {
    // Texts are compared rather than bits: a value may show differently
    // because of another value's bytes (every channel field hangs on its Rx).
    std::string a = value.read(before), z = value.read(after);
    if (a == z) continue;
    diff.values.push_back({value.label, std::move(a), std::move(z)});
    for (const auto& b : value.bits) explained[b.address] |= b.mask;
  }
  for (std::size_t address = 0; address < kImageSize; ++address) {
    const std::uint8_t changed = before[address] ^ after[address];
    if (changed & ~explained[address]) diff.bytes.push_back({address, before[address], after[address]});
  }
  return diff;
}

CodeplugDiff DiffRows(const Image& written, const Image& readBack, const std::vector<int>& rows) {
  Image radio = written;
  for (const int row : rows) {
    const auto from = RowOf(readBack, static_cast<std::size_t>(row));
    std::copy(from.begin(), from.end(), RowOf(radio, static_cast<std::size_t>(row)).begin());
  }
  return DiffCodeplugs(written, radio);
}

int DiffChannel(const ValueChange& change) {
  constexpr std::string_view kPrefix = "channel ";
  if (change.label.rfind(kPrefix, 0) != 0) return 0;
  int n = 0;
  for (std::size_t i = kPrefix.size();
       i < change.label.size() && std::isdigit(static_cast<unsigned char>(change.label[i])); ++i)
    n = n * 10 + (change.label[i] - '0');
  return n >= 1 && n <= 128 ? n : 0;
}

std::vector<std::string> DiffLines(const CodeplugDiff& diff) {
  auto shown = [](const std::string& text) { return text.empty() ? std::string("(empty)") : text; };
  std::vector<std::string> lines;
  for (const auto& v : diff.values) lines.push_back(v.label + ": " + shown(v.before) + " -> " + shown(v.after));
  for (const auto& b : diff.bytes) {
    char line[32];
    std::snprintf(line, sizeof line, "0x%04zX: %02X -> %02X", b.address, b.before, b.after);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace orvex
