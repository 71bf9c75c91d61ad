#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/frequency.h"
#include "core/memory_image.h"
#include "core/result.h"
#include "model/cell_editor.h"
#include "model/channels/channel_record.h"

namespace orvex {

// One heading row and a row per channel.
inline constexpr int kChannelGridRows = ChannelOffset::kLast + 1;

inline constexpr char kKeyEnter = '\r';

// The channel grid keeps the tones in a drop-down list of their own
// (`CboChannel` 0) and every other list column in a second (`CboChannel` 1).
inline constexpr int kToneListEditor = 0;
inline constexpr int kFieldListEditor = 1;

// What a paste into cells or a clearing of cells did: the channels whose
// cells changed (ascending) and a line for each value that was refused or
// replaced.
struct CellsEdit {
  std::vector<int> rows;
  std::vector<std::string> notes;
};

// Text as a spreadsheet copies cells: lines split at '\n' (a '\r' before
// it and a final empty line dropped), each split at tabs; an empty line is
// one empty field.
std::vector<std::vector<std::string>> TabbedLines(std::string_view text);

// The channel grid as plain cell texts (129 rows x 15 columns, row 0 the
// headings, column 0 the channel numbers) with every rule of the grid that
// is not about drawing.  The window moves texts between this table and the
// screen and asks it what each click, key and commit does.
class ChannelTable {
 public:
  explicit ChannelTable(int language = 0, char separator = '.', FreqLimits limits = {});

  int language() const { return m_language; }
  char separator() const { return m_separator; }

  const std::string& Cell(int row, int column) const;
  ChannelFields RowFields(int row) const;
  void SetRowFields(int row, const ChannelFields& fields);

  // Window caption and column layout.
  std::string Caption() const;
  // Width in twips; the hidden columns (OPTION, Scrambler No.) are 0.
  static int ColumnWidth(int column);
  static bool IsHiddenColumn(int column) { return ColumnWidth(column) == 0; }

  // Headings of row 0 and the numbers of column 0 in the current language.
  void ChannelHeadings();
  // Fills rows 1..128 from the image; the current cell becomes row 1, Rx.
  void ChannelGridLoad(const Image& image);
  // Headings and load, after switching to the language given.
  void RefreshChannel(const Image& image, int language);
  // Stores every row (an empty Rx clears the channel).  Rows that cannot be
  // stored are left as they were in the image and reported together.
  Status SaveData(Image& image) const;

  // The Rx commit: "" empties the row; otherwise the normalised frequency,
  // and the new-channel defaults when the row had no decode tone.
  // Returns what a typed frequency was replaced by, if anything.
  std::string SetRxCell(int row, std::string_view text);
  // The Tx commit: "" empties Tx and the encode tone; otherwise the
  // normalised frequency, with encode tone "None" if it was empty.
  std::string SetTxCell(int row, std::string_view text);
  // The name commit: padded with spaces to six characters.
  void CommitName(int row, std::string_view text);

  // Decode and AutoResponse are greyed by the row's Opt.Signal: Off greys
  // both, MSK and 2-Tone grey AutoResponse, 5-Tone neither.
  bool IsGreyed(int row, int column) const;
  // Clicks and keys on an empty row go to Rx; on a row without Tx the encode
  // tone cell goes to Tx.
  int CorrectedColumn(int row, int column) const;
  // Where Enter in the name editor or a list goes next.
  CellPos NextEditableCell(CellPos from) const;
  // What the editor of a cell offers; None on a greyed cell, on the headings
  // and on an empty tone cell.  A tone cell whose text is not in the tone
  // list (a tone from the radio) gets it as an extra last item.
  EditStart OpenCellEditor(int row, int column) const;
  // The text box of a frequency or name column; None for other columns.
  static CellEditor TextEditor(int column);
  // Characters the text editor of a column accepts (a letter of the name
  // becomes upper case); nullopt discards the key.  Backspace is the
  // widget's own.
  static std::optional<char> TextEditorChar(int column, char c);

  // What the status bar says about a key the text box of `column` drops:
  // a character a name cannot hold; "" for any other key or column.
  std::string RefusedKeyNote(int column, std::string_view typed) const;

  // --- cells as text (the clipboard) ---
  // The texts of `cells` as tab-separated lines, one per row, in grid order;
  // the heading row, the channel numbers and hidden columns are left out.
  std::string CellsText(std::span<const CellPos> cells) const;
  // A value put into a cell as typing it and pressing Enter would put it: a
  // frequency or a name through its text box's filter and commit, a list
  // cell only as one of its items (case aside).  Greyed cells, cells a click
  // would not open (other cells of an empty row, the encode tone of a row
  // without Tx) and an empty Rx (that clears a whole channel) take nothing.
  // The current cell does not move.
  CellCommit TypeCell(int row, int column, std::string_view text);
  // Tab-separated text into the grid: one value fills every cell of
  // `selected`; one line of as many values as the selection has columns
  // fills each selected cell with the value of its column; anything else is
  // a block laid from the current cell on, over the visible columns.
  CellsEdit PasteCells(std::span<const CellPos> selected, std::string_view text);
  // What a cell can be cleared to: Tx empty (with its encode tone), the
  // name blank, a tone "None".  Rx (which would clear the whole channel)
  // and the list cells have no empty value.
  bool CanClearCell(int row, int column) const;
  // Clears the cells of `cells` that can be cleared; the others keep their
  // texts.
  CellsEdit ClearCells(std::span<const CellPos> cells);

  // The next channel after `after` (round to channel 1 and on to `after`
  // itself) whose name contains `text` in any case, or whose Rx or Tx
  // starts with it ("145.5" finds 145.50000, either decimal separator);
  // 0 when none does.
  int FindChannel(std::string_view text, int after) const;

  // The current cell and the actions on it.
  CellPos current() const { return m_current; }
  void SetCurrent(CellPos position) { m_current = position; }
  // A left click: corrects the column, makes it current and opens its editor.
  EditStart Click(int row, int column);
  // A character typed on the grid (kKeyEnter for Enter).
  EditStart GridKey(char key);
  // Enter in the text editor: commits it and moves on (Rx to Tx, Tx to the
  // decode tone, the name to the next editable cell).  The note names a
  // frequency that was replaced ("Channel 6: 600 MHz is outside the radio's
  // bands; stored 400.02500").
  CellCommit CommitTextEditor(std::string_view text);
  // Picking a list item: an Opt.Signal choice regreys the row at once.
  void PickListItem(std::string_view text);
  // Enter in a list: its text becomes the cell text; moves to the next
  // editable cell.
  CellCommit CommitListEditor(std::string_view text);

 private:
  std::string& At(int row, int column);
  void EmptyRow(int row);
  // What the status bar says about a typed frequency that was replaced.
  std::string FreqNote(int row, std::string_view typed, const NormalizedFreq& stored) const;

  int m_language;
  char m_separator;
  FreqLimits m_limits;
  std::array<std::array<std::string, kChannelColumns>, kChannelGridRows> m_cells;
  CellPos m_current{1, kColRx};
};

}  // namespace orvex
