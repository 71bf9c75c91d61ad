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

std::vector<DiffRow> DiffTable(const CodeplugDiff& diff) {
  std::vector<DiffRow> rows;
  for (const ValueChange& v : diff.values) rows.push_back({v.label, v.before, v.after, DiffChannel(v)});
  for (const ByteChange& b : diff.bytes) {
    char address[8], before[4], after[4];
    std::snprintf(address, sizeof address, "0x%04zX", b.address);
    std::snprintf(before, sizeof before, "%02X", b.before);
    std::snprintf(after, sizeof after, "%02X", b.after);
    rows.push_back({address, before, after, 0});
  }
  return rows;
}

std::vector<std::string> DiffLines(const CodeplugDiff& diff) {
  auto shown = [](const std::string& text) { return text.empty() ? std::string("(empty)") : text; };
  std::vector<std::string> lines;
  // A byte's texts are never empty.
  for (const DiffRow& row : DiffTable(diff))
    lines.push_back(row.what + ": " + shown(row.before) + " -> " + shown(row.after));
  return lines;
}

}  // namespace orvex
