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

// The two 2-Tone regions.  Both are plain byte runs, so an entry may cross a
// 16-byte row (Call List entry 3 has tone A at 0x1C5F..0x1C60).  Tones are
// 16-bit, high byte first, in tenths of a hertz.
struct TwoToneOffset {
  static constexpr std::size_t kCallList = 0x1C50;
  static constexpr std::size_t kCallEntries = 10;
  static constexpr std::size_t kCallEntrySize = 5;  // tone A, tone B, GAP ms
  static constexpr std::size_t kDecode = 0x1CB0;
  static constexpr std::size_t kDecodeEntries = 8;
  static constexpr std::size_t kDecodeEntrySize = 6;  // tone A, tone B, group call
  static constexpr std::size_t kToneA = 0;
  static constexpr std::size_t kToneB = 2;
  static constexpr std::size_t kGap = 4;    // Call List
  static constexpr std::size_t kGroup = 4;  // Decode

  // A Call List tone whose high byte is this or more is empty.
  static constexpr std::uint8_t kCallEmptyHigh = 0x7E;
  static constexpr std::uint16_t kEmptyTone = 0xFFFF;
  static constexpr std::uint16_t kPlaceholder = 0x0000;  // Decode: "-"
  static constexpr std::uint32_t kMinTenths = 2885;      // 288.5 Hz
  static constexpr std::uint32_t kMaxTenths = 30000;     // 3000.0 Hz
  static constexpr std::uint8_t kMaxGap = 255;
};

// A stored tone the radio can send or decode: 288.5..3000.0 Hz.
constexpr bool IsUsableTwoTone(std::uint16_t tenths) {
  return tenths >= TwoToneOffset::kMinTenths && tenths <= TwoToneOffset::kMaxTenths;
}

enum class TwoToneGrid { CallList = 0, Decode = 1 };

// Grid columns (column 0 holds the row labels).
struct TwoToneColumn {
  static constexpr int kToneA = 1;
  static constexpr int kToneB = 2;
  static constexpr int kGap = 3;    // Call List
  static constexpr int kGroup = 3;  // Decode
};

// Text of a stored Call List tone: empty for a high byte of 0x7E or more,
// otherwise the frequency brought into 288.5..3000 ("3000" without decimal
// for anything above).
std::string CallToneText(std::uint16_t stored);

// Text of a stored Decode value: 0xFFFF empty, 0x0000 "-", otherwise the
// frequency brought into range as for the Call List.
std::string DecodeToneText(std::uint16_t stored);

// The three data cells of an entry (`row` 1..10 or 1..8) as the table shows
// them after Load, read straight from the image; empty texts outside the lists.
std::array<std::string, 3> TwoToneRowTexts(const Image& image, TwoToneGrid grid, int row);

// One data cell the same way; "" outside the data cells.
std::string TwoToneCellText(const Image& image, TwoToneGrid grid, CellPos pos);

// A typed number in tenths of a hertz, rounded half up; "." and "," are both
// decimal separators.  Nothing for text that is not a number (no digit, two
// separators, any other character).  Saturates far above any valid tone.
std::optional<std::uint32_t> ParseTenths(std::string_view text);

// A typed frequency brought into 288.5..3000 with one decimal ("5000" gives
// "3000.0", "100" gives "288.5"); nothing for text that is not a number.
std::optional<std::string> NormalizeToneText(std::string_view text);

// A typed GAP time as shown: a whole number of milliseconds, 255 at most
// ("007" gives "7"); nothing for text that is not digits only.
std::optional<std::string> NormalizeGapText(std::string_view text);

// The 2-Tone window's Call List (10 entries) and Decode list (8 entries) as
// cell texts, with their load, store and edit rules.
class TwoToneTable {
 public:
  static constexpr int kColumnCount = 4;
  static constexpr std::array<int, kColumnCount> kColumnWidths = {1, 3, 3, 3};  // relative
  static constexpr std::size_t kToneMaxLength = 6;
  static constexpr std::size_t kGapMaxLength = 3;

  struct Captions {
    std::string window;       // "2-Tone"
    std::string callFrame;    // "Call List"
    std::string decodeFrame;  // "Decode"
  };

  TwoToneTable();

  // Headings in `language` and every cell from the image (the window's RefreshAll).
  void Load(const Image& image, int language);
  // Writes all 10 Call List and 8 Decode entries; no other byte changes.
  void SaveData(Image& image) const;

  const CellGrid& cells(TwoToneGrid grid) const { return m_grids[Index(grid)]; }
  // Any cell, headings included; "" outside the grid.
  const std::string& cell(TwoToneGrid grid, CellPos pos) const;
  Captions captions() const;

  // Puts a text into a data cell as it stands, without the row rules (for
  // importers).  Refuses heading cells and texts a cell of that column
  // cannot hold: tones must be empty or a number in 288.5..3000 ("-" too
  // in the Decode list), a GAP empty or a whole number 0..255.  The reason
  // is in `language`.
  Status SetCell(TwoToneGrid grid, CellPos pos, std::string_view text, int language = 0);

  // Opening the editor on a cell, by click (no `typed`) or by a typed key.
  // Applies the column redirections: on the Call List a row without tone A
  // edits tone A, a GAP without tone B edits tone B; on the Decode list
  // tone B of a row without tone A edits tone A.  Nothing for a heading
  // cell or a key the grid ignores (only digits open the editor).
  std::optional<EditStart> BeginCellEdit(TwoToneGrid grid, CellPos pos, std::optional<char> typed = {}) const;

  // Applies an edited text to the cell and its row.  Text that is not a
  // number is refused, as is tone B of a Decode entry without tone A and
  // emptying tone B while tone A is set.
  CellCommit CommitCellEdit(TwoToneGrid grid, CellPos pos, std::string_view text);

  // Where Enter on the grid moves: one column right, or column 1 of the next
  // row, or nowhere from the last cell.
  CellPos NextCellOnEnter(TwoToneGrid grid, CellPos pos) const;
  // Where Enter in the editor moves after committing.
  CellPos NextCellAfterCommit(TwoToneGrid grid, CellPos pos) const;

 private:
  static std::size_t Index(TwoToneGrid grid) { return static_cast<std::size_t>(grid); }
  std::string& at(TwoToneGrid grid, int row, int column) { return m_grids[Index(grid)][row][column]; }
  const std::string& at(TwoToneGrid grid, int row, int column) const { return m_grids[Index(grid)][row][column]; }
  CellCommit CommitCall(int row, int column, std::string_view text);
  CellCommit CommitDecode(int row, int column, std::string_view text);
  // What the status bar says about a typed tone or GAP brought into range.
  std::string RangeNote(TwoToneGrid grid, int row, int column, std::string_view typed, const std::string& stored) const;

  int m_language = 0;
  std::array<CellGrid, 2> m_grids;
};

}  // namespace orvex
