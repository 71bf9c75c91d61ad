#include "model/signalling/signalling_cells.h"

#include "core/strings.h"

namespace orvex {

CellGrid MakeGrid(std::size_t dataRows, std::vector<std::string> headings) {
  const std::size_t columns = headings.size();
  CellGrid grid(dataRows + 1, std::vector<std::string>(columns));
  grid[0] = std::move(headings);
  for (std::size_t r = 1; r <= dataRows && columns > 0; ++r) grid[r][0] = std::to_string(r - 1);
  return grid;
}

bool IsDataCell(const CellGrid& grid, CellPos pos) {
  return pos.row >= 1 && pos.column >= 1 && static_cast<std::size_t>(pos.row) < grid.size() &&
         static_cast<std::size_t>(pos.column) < grid[pos.row].size();
}

const std::string& CellText(const CellGrid& grid, CellPos pos) {
  static const std::string kNone;
  if (pos.row < 0 || pos.column < 0 || static_cast<std::size_t>(pos.row) >= grid.size()) return kNone;
  const auto& row = grid[static_cast<std::size_t>(pos.row)];
  return static_cast<std::size_t>(pos.column) < row.size() ? row[static_cast<std::size_t>(pos.column)] : kNone;
}

std::string TenthsText(std::uint32_t tenths) { return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10); }

std::optional<std::uint8_t> HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
  return std::nullopt;
}

Error NoDataCell(std::string_view table, CellPos pos, int language) {
  constexpr int kMsgNoDataCell = 10382;
  return Fail(
      TextOf(kMsgNoDataCell, language, {std::string(table), std::to_string(pos.row), std::to_string(pos.column)}));
}

Error RefusedCellText(int number, std::string_view text, int language) {
  return Fail(TextOf(number, language, {"\"" + std::string(text) + "\""}));
}

bool OnlyCharacters(std::string_view text, std::string_view allowed) {
  return text.find_first_not_of(allowed) == std::string_view::npos;
}

}  // namespace orvex
