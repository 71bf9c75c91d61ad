#pragma once

// The in-cell editing every grid shares: which cell, which editor opens over
// it with what text, which characters its text box takes, and what a commit
// did.  The channel, 2-Tone, 5-Tone and MSK tables answer in these terms, so
// one grid widget and one test suite serve them all.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/strings.h"

namespace orvex {

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
  int list = 0;                    // which of the grid's lists shows the items

  // The character as the editor takes it, or nothing when it is dropped.
  [[nodiscard]] std::optional<char> Accept(char typed) const;
  // Text as typing it key by key would leave it: refused characters dropped,
  // letters turned, nothing beyond `room` characters.
  [[nodiscard]] std::string Filter(std::string_view text, std::size_t room) const;
};

// What opening an editor does: the cell actually edited (after any column
// redirection), the editor, the text it starts with (for a list: the item to
// select), whether that text starts selected (otherwise the caret follows
// the key that opened it) and the cell's text that Escape puts back.
struct EditStart {
  CellPos cell;
  CellEditor editor;
  std::string text;
  std::string startText;
  bool selectAll = true;
};

// The outcome of committing an edit: `accepted` is false when the edit was
// refused and the cell kept its text; `text` is what the cell shows now;
// `note` says what the typed value was replaced by, when it was ("Channel 6:
// 600 MHz is outside the radio's bands; stored 400.02500").  Other cells of
// the same row may have changed too.
struct CellCommit {
  bool accepted = true;
  std::string text;
  std::string note;
};

// Where the keys of grids differ, each grid keeping what the program has
// always done there.
struct GridKeys {
  bool f2Opens = false;              // F2 opens the current cell's editor
  bool arrowsLeaveEditor = false;    // Tab, and arrows not needed inside the editor, commit and move
  bool tabLeavesAtEnds = true;       // Tab past the last cell (Shift+Tab before the first) leaves the grid
  bool backspaceEmptiesList = true;  // Backspace in a list commits an empty cell
  bool escapeKeepsText = false;      // Escape in a text editor puts its starting text back and stays open
};

// A grid of cell texts with its editing rules, as one in-cell editing grid
// asks it: row 0 holds the column headings and column 0 the row labels.
// The channel, 2-Tone, 5-Tone and MSK grids each answer it; the grid holds
// no rule of its own.
class CellTable {
 public:
  virtual ~CellTable() = default;

  // Heading row and label column included.
  [[nodiscard]] virtual int rowCount() const = 0;
  [[nodiscard]] virtual int columnCount() const = 0;
  // Any cell, headings included.
  [[nodiscard]] virtual const std::string& Text(CellPos cell) const = 0;
  // A row as a screen reader names it: the label column's heading and the
  // row's label ("No. 3").
  [[nodiscard]] virtual std::string RowName(int row) const;
  // A cell's row and column as spoken, without its value ("Channel 6, Rx
  // Freq"); an open in-cell editor is named so.
  [[nodiscard]] std::string CellName(CellPos cell) const;
  // What a screen reader speaks when the cell gets the focus: its name and
  // its value ("Channel 6, Rx Freq, 145.50000").
  [[nodiscard]] std::string SpokenText(CellPos cell) const;
  // A cell shown greyed (it opens no editor).
  [[nodiscard]] virtual bool IsGreyed(CellPos) const { return false; }
  [[nodiscard]] virtual GridKeys keys() const { return {}; }

  // Opening the editor on a cell by click or Enter (no `typed`) or by a typed
  // key.  The answer's cell (after any redirection) becomes the current one;
  // nothing when the cell stays as it is.
  virtual std::optional<EditStart> BeginCellEdit(CellPos cell, std::optional<char> typed) = 0;
  // Applies an edited text to the cell and its row.
  virtual CellCommit CommitCellEdit(CellPos cell, std::string_view text) = 0;
  // A list item picked while its list is still open; true when the row's
  // texts changed with it (Escape picks the starting item again).
  virtual bool PickListItem(CellPos, std::string_view) { return false; }

  // Enter on the grid opens the cell's editor rather than moving on.
  [[nodiscard]] virtual bool EnterOpensEditor(CellPos) const { return false; }
  [[nodiscard]] virtual CellPos NextCellOnEnter(CellPos cell) const = 0;
  // Where Enter in an editor moves, after its commit.
  [[nodiscard]] virtual CellPos NextCellAfterCommit(CellPos cell) const = 0;
  // The grid's current cell moved.
  virtual void CurrentCellMoved(CellPos) {}
  // What the status bar says about a key typed on `cell` that its text box
  // drops; "" when nothing.
  [[nodiscard]] virtual std::string RefusedKeyNote(CellPos, std::string_view) const { return {}; }
};

}  // namespace orvex
