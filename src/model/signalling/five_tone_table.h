#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory_image.h"
#include "core/result.h"
#include "model/signalling/signalling_cells.h"
#include "model/signalling/tone_standards.h"

namespace orvex {

// The 5-Tone decode list and its two settings.  0x1D90, between the list
// and the settings, belongs to no 5-Tone control.
struct FiveToneOffset {
  static constexpr std::size_t kDecode = 0x1D60;
  static constexpr std::size_t kEntries = 8;
  static constexpr std::size_t kEntrySize = 6;
  static constexpr std::size_t kStandard = 0;  // index into the standard list, 0xFF none
  static constexpr std::size_t kId = 1;        // one symbol per byte, 0..13 for "0".."D"
  static constexpr std::size_t kIdLength = 5;
  static constexpr std::size_t kRespondWaiting = 0x1D91;  // 0..3: 5, 10, 15, 20 s
  static constexpr std::size_t kFixDigit = 0x1D92;        // 0..4
  static constexpr std::size_t kRespondWaitingCount = 4;
  static constexpr std::size_t kFixDigitCount = 5;
  // 0xFF in the Standard byte or anywhere in the ID marks an empty field.
  static constexpr std::uint8_t kNone = 0xFF;
};

struct FiveToneColumn {
  static constexpr int kStandard = 1;
  static constexpr int kId = 2;
};

// Respond Waiting Time shown for a stored byte: above 3 shows 10 s (index 1).
std::size_t RespondWaitingIndex(std::uint8_t stored);
// Fix Digit shown for a stored byte: above 4 shows "0".
std::size_t FixDigitIndex(std::uint8_t stored);

// The Standard cell of a stored byte: 0xFF empty, 0..7 the name, anything
// else "CCIR1".
std::string FiveToneStandardText(std::uint8_t stored);

// The ID cell of the five ID bytes at `address`: any 0xFF makes the ID
// empty; 0..13 add "0".."D"; 14..254 are skipped; a shorter ID is padded
// with "A" to five symbols.
std::string FiveToneIdText(const Image& image, std::size_t address);

// A typed ID as the cell holds it: upper case, 1..4 symbols padded with "A"
// to five ("12" gives "12AAA"), empty stays empty.  Nothing for more than
// five symbols or a character outside 0-9, A-D.
std::optional<std::string> NormalizeFiveToneId(std::string_view typed);

// The 5-Tone window's decode grid (8 entries of Standard and ID), its
// Respond Waiting Time and Fix Digit lists and the reference table of the
// tone standards, with their load, store and edit rules.
class FiveToneTable {
 public:
  static constexpr int kColumnCount = 3;
  static constexpr std::array<int, kColumnCount> kColumnWidths = {4, 5, 5};  // relative
  static constexpr std::size_t kIdMaxLength = FiveToneOffset::kIdLength;
  // The ID a row gets when a standard is chosen for it.
  static constexpr std::string_view kDefaultId = "12345";

  struct Captions {
    std::string window;               // "5-Tone"
    std::string standardFrame;        // "Standard"
    std::string decodeFrame;          // "Decode"
    std::string standardLabel;        // "Standard"
    std::string respondWaitingLabel;  // "Respond Waiting Time"
    std::string fixDigitLabel;        // "Fix Digit"
  };

  FiveToneTable();

  // Captions in `language`, the two settings and the grid from the image
  // (the window's RefreshAll).  The reference standard is left as it is.
  void Load(const Image& image, int language);
  // Writes the settings, every Standard byte and the IDs; an empty ID writes
  // only its first byte.  No other byte changes.
  void SaveData(Image& image) const;

  const CellGrid& cells() const { return m_grid; }
  // Any cell, headings included; "" outside the grid.
  const std::string& cell(CellPos pos) const;
  Captions captions() const;

  // Puts a text into a data cell without the row rules (for importers): a
  // Standard cell takes "" or a standard name, an ID cell "" or up to five
  // symbols 0-9, A-D (padded with "A" like a typed ID).  Refusals say why
  // in `language`.
  Status SetCell(CellPos pos, std::string_view text, int language = 0);

  std::vector<std::string> respondWaitingItems() const;  // "5s" .. "20s"
  std::size_t respondWaitingIndex() const { return m_respondWaiting; }
  Status SetRespondWaitingIndex(std::size_t index, int language = 0);
  std::vector<std::string> fixDigitItems() const;  // "0" .. "4"
  std::size_t fixDigitIndex() const { return m_fixDigit; }
  Status SetFixDigitIndex(std::size_t index, int language = 0);

  // The standard the read-only reference table shows; window state only,
  // never stored.  Starts at CCIR1.
  std::size_t referenceStandard() const { return m_referenceStandard; }
  Status SetReferenceStandard(std::size_t standard, int language = 0);
  std::array<std::string, kToneSymbolCount> referenceFrequencies() const {
    return ToneStandardFrequencyTexts(m_referenceStandard);
  }

  // Enter on the grid opens the Standard list; elsewhere it moves (NextCell).
  bool EnterOpensEditor(CellPos pos) const;
  // One column right, or from the ID column to the Standard of the next row;
  // nowhere from the last cell.  Used by Enter on the grid and after a commit.
  CellPos NextCell(CellPos pos) const;

  // Opening the editor by click or Enter (no `typed`), or by a typed symbol.
  // The Standard column gets the list of names (starting on the cell's name,
  // CCIR1 when empty); the ID column a text box for 0-9, A-D of five
  // characters.  Typed keys open only the ID editor.  Nothing for heading
  // cells and ignored keys.
  std::optional<EditStart> BeginCellEdit(CellPos pos, std::optional<char> typed = {}) const;

  // Applies an edit.  Standard: the cell takes the name; a name on a row
  // without ID brings ID "12345", an empty text (also what Backspace in the
  // list does) empties the ID.  ID: an unchanged text does nothing; 1..4
  // symbols are padded with "A"; an ID on a row without standard brings
  // "CCIR1", an empty ID empties the standard.  Texts that are no name or no
  // ID are refused.
  CellCommit CommitCellEdit(CellPos pos, std::string_view text);

 private:
  std::string& at(int row, int column) { return m_grid[row][column]; }
  const std::string& at(int row, int column) const { return m_grid[row][column]; }

  int m_language = 0;
  CellGrid m_grid;
  std::size_t m_respondWaiting = 1;
  std::size_t m_fixDigit = 0;
  std::size_t m_referenceStandard = 0;
};

}  // namespace orvex
