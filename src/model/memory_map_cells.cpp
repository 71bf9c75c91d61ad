#include "model/memory_map_cells.h"

#include <cstdlib>

namespace orvex {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";

int DigitValue(char c) { return c > '9' ? c - 55 : c - 48; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string Hex(int value, int width) {
  std::string text(static_cast<std::size_t>(width), '0');
  for (int i = width - 1; i >= 0 && value > 0; --i, value /= 16)
    text[static_cast<std::size_t>(i)] = kDigits[value % 16];
  return text;
}
}  // namespace

std::string MapCellText(std::uint8_t value) { return Hex(value, 2); }

std::string MapNormalizeCell(const std::string& text) {
  if (text.empty()) return "FF";
  std::string cell = text.size() < 2 ? "0" + text : text;
  for (char& c : cell) c = Upper(c);
  return cell;
}

std::uint8_t MapCellByte(const std::string& text) {
  const std::string cell = MapNormalizeCell(text);
  return static_cast<std::uint8_t>((DigitValue(cell[0]) * 16 + DigitValue(cell[1])) & 0xFF);
}

std::string MapNormalizeAddress(const std::string& text) {
  std::string padded = text.size() < 4 ? std::string(4 - text.size(), '0') + text : text;
  for (char& c : padded) c = Upper(c);
  char* end = nullptr;
  const long value = std::strtol(padded.c_str(), &end, 16);
  if (padded.empty() || *end != '\0' || padded[0] == '-' || padded[0] == '+' || value > kLastAddress) return "1FFF";
  return padded;
}

std::string MapLineLabel(int line) { return Hex(line, 3); }
std::string MapColumnHeading(int column) { return Hex(column, 1); }
std::string MapAddressText(int line, int column) { return MapLineLabel(line) + MapColumnHeading(column); }
std::string MapCellName(int line, int column) { return "Address " + MapAddressText(line, column); }

}  // namespace orvex
