#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvex {

// The cell texts of a signalling grid: row 0 holds the column headings and
// column 0 the row labels, exactly as the window shows them.
using CellGrid = std::vector<std::vector<std::string>>;

// A cell of a grid, heading row and label column included.
struct CellPos {
  int row = 0;
  int column = 0;
  friend bool operator==(const CellPos&, const CellPos&) = default;
};

enum class EditorKind { None, Text, List };

// The in-cell editor a cell gets.
struct CellEditor {
  EditorKind kind = EditorKind::None;
  std::string allowed;             // characters a text editor takes; Backspace always works
  bool upperCase = false;          // typed letters are turned to upper case first
  std::size_t maxLength = 0;       // of a text editor
  std::vector<std::string> items;  // of a list editor

  // The character as the editor takes it, or nothing when it is dropped.
  [[nodiscard]] std::optional<char> Accept(char typed) const;
};

// What opening an editor does: the cell actually edited (after any column
// redirection), the editor, the text it starts with (for a list: the item to
// select) and the cell's text that Escape puts back.
struct EditStart {
  CellPos cell;
  CellEditor editor;
  std::string text;
  std::string startText;
};

// The outcome of committing an edit: `accepted` is false when the edit was
// refused and the cell kept its text; `text` is what the cell shows now.
// Other cells of the same row may have changed too.
struct CellCommit {
  bool accepted = true;
  std::string text;
};

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

// True when every character of `text` is one of `allowed`.
bool OnlyCharacters(std::string_view text, std::string_view allowed);

}  // namespace orvex
