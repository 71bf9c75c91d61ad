#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/frequency.h"
#include "core/memory_image.h"
#include "core/result.h"
#include "model/cell_editor.h"
#include "model/channel_record.h"

namespace orvex {

// One heading row and a row per channel.
inline constexpr int kChannelGridRows = ChannelOffset::kLast + 1;

inline constexpr char kKeyEnter = '\r';

// The channel grid keeps the tones in a drop-down list of their own
// (`CboChannel` 0) and every other list column in a second (`CboChannel` 1).
inline constexpr int kToneListEditor = 0;
inline constexpr int kFieldListEditor = 1;

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
