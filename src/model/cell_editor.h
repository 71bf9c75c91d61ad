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

}  // namespace orvex
