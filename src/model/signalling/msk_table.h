#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/memory_image.h"
#include "core/result.h"
#include "model/signalling/signalling_cells.h"

namespace orvex {

// MSK codes: four bytes each, one hexadecimal digit per byte, first digit
// first, 0xFF for no digit.
struct MskOffset {
  static constexpr std::size_t kCallList = 0x1D00;
  static constexpr std::size_t kCallEntries = 8;
  static constexpr std::size_t kIdCode = 0x1D30;
  static constexpr std::size_t kIdEntries = 10;
  static constexpr std::size_t kCodeLength = 4;
  // Repeater MSK Invert is bit 0 of this byte; its other bits belong to
  // other windows.
  static constexpr std::size_t kOptions = 0x0E2B;
  static constexpr unsigned kInvertBit = 0;
};

enum class MskGrid { CallList = 0, IdCode = 1 };

// The code at `address`: every byte 0x0..0xF adds its hexadecimal digit;
// 0xFF and the bytes 0x10..0xFE (which no code can hold) add nothing, so a
// code never has more than four digits.
std::string MskCodeText(const Image& image, std::size_t address);

// Stores a code left-aligned, 0xFF after its last digit; an empty code is
// FF FF FF FF.  Characters that are not hexadecimal digits store 0xFF.
void StoreMskCode(Image& image, std::size_t address, std::string_view code);

// True for "" and for one to four hexadecimal digits (either case).
bool IsMskCode(std::string_view text);

// The MSK window's Call List (8 codes) and ID Code list (10 codes) and its
// Repeater MSK Invert switch, with their load, store and edit rules.
class MskTable {
 public:
  static constexpr int kColumnCount = 2;
  static constexpr std::array<int, kColumnCount> kColumnWidths = {1, 3};  // relative
  static constexpr int kCodeColumn = 1;

  struct Captions {
    std::string window;     // "MSK" in every language
    std::string callFrame;  // "Call List"
    std::string idFrame;    // "ID Code"
    std::string invert;     // "Repeater MSK Invert"
  };

  MskTable();

  // Captions in `language`, both lists and the switch from the image (the
  // window's RefreshAll).
  void Load(const Image& image, int language);
  // Writes all 18 codes and bit 0 of 0x0E2B; no other byte or bit changes.
  void SaveData(Image& image) const;

  const CellGrid& cells(MskGrid grid) const { return m_grids[Index(grid)]; }
  // Any cell, headings included; "" outside the grid.
  const std::string& cell(MskGrid grid, CellPos pos) const;
  Captions captions() const;

  bool repeaterInvert() const { return m_invert; }
  void SetRepeaterInvert(bool on) { m_invert = on; }

  // Puts a code into a data cell (for importers); lower-case digits are
  // turned to upper case.  Refuses heading cells and texts that are not a
  // code of up to four hexadecimal digits, saying why in `language`.
  Status SetCell(MskGrid grid, CellPos pos, std::string_view text, int language = 0);

  // Opening the editor by click (no `typed`) or by a typed hexadecimal digit:
  // a text box of four characters 0-9, A-F.  Nothing for heading cells and
  // other keys.
  std::optional<EditStart> BeginCellEdit(MskGrid grid, CellPos pos, std::optional<char> typed = {}) const;

  // The cell takes the edited code as it is (no filling up); a text that is
  // not a code of up to four hexadecimal digits is refused.
  CellCommit CommitCellEdit(MskGrid grid, CellPos pos, std::string_view text);

  // Enter on the grid and after a commit: one row down, unless on the last.
  CellPos NextCell(MskGrid grid, CellPos pos) const;

 private:
  static std::size_t Index(MskGrid grid) { return static_cast<std::size_t>(grid); }

  int m_language = 0;
  std::array<CellGrid, 2> m_grids;
  bool m_invert = false;
};

}  // namespace orvex
