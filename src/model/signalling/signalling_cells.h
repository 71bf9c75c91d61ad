#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "model/cell_editor.h"

namespace orvex {

// The cell texts of a signalling grid: row 0 holds the column headings and
// column 0 the row labels, exactly as the window shows them.
using CellGrid = std::vector<std::vector<std::string>>;

// A grid of dataRows + 1 rows, headed by `headings`, with the row labels
// "0".."dataRows - 1" in column 0 and every data cell empty.
CellGrid MakeGrid(std::size_t dataRows, std::vector<std::string> headings);

// True for a cell the user can edit: not on the heading row or label column
// and inside the grid.
bool IsDataCell(const CellGrid& grid, CellPos pos);

// The text of any cell, headings included; "" outside the grid.
const std::string& CellText(const CellGrid& grid, CellPos pos);

// A value in tenths of a hertz with exactly one decimal place ("1981.0").
std::string TenthsText(std::uint32_t tenths);

// 0..15 for "0".."9", "A".."F" (either case); nothing otherwise.
std::optional<std::uint8_t> HexDigitValue(char c);

// The refusal of a heading cell or a cell outside the grid of `table`
// ("2-Tone"), in `language`.
Error NoDataCell(std::string_view table, CellPos pos, int language);
// The refusal of a cell text: message `number` with the text quoted as %1.
Error RefusedCellText(int number, std::string_view text, int language);

// True when every character of `text` is one of `allowed`.
bool OnlyCharacters(std::string_view text, std::string_view allowed);

}  // namespace orvex
