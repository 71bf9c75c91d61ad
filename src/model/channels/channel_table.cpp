#include "model/channels/channel_table.h"

#include <algorithm>

#include "core/strings.h"
#include "core/tone.h"
#include "model/byte_fields.h"

namespace orvex {
namespace {

constexpr std::array<int, kChannelColumns> kWidthTwips = {500,  1200, 1200, 1450, 1450, 1000, 1000, 1000,
                                                          1000, 1200, 0,    0,    1000, 1000, 1300};
constexpr int kTxtCaption = 1100, kTxtNone = 1137, kTxt2Tone = 1520, kTxt5Tone = 1521;
constexpr std::size_t kFreqLength = 9;
// "Channel %1: %2 MHz is outside the radio's bands; stored %3" and "... is
// not on the channel raster ...".
constexpr int kMsgOutsideBands = 10100, kMsgOffRaster = 10101;
// "The radio cannot show "%1" in a channel name.", "Channel %1, %2: "%3"
// cannot go into this cell; it keeps "%4"." and "Channel %1: name "%2" is
// stored as "%3".".
constexpr int kMsgNameKey = 10252, kMsgCellRefused = 10253, kMsgNameCut = 10254;
constexpr std::string_view kFreqCharacters = "0123456789.,";
constexpr std::string_view kNameCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ +?";

bool IsChannelRow(int row) { return row >= 1 && row < kChannelGridRows; }
bool IsFieldColumn(int column) { return column >= 1 && column < kChannelColumns; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The columns the grid shows, in order.
std::vector<int> VisibleColumns() {
  std::vector<int> columns;
  for (int column = 1; column < kChannelColumns; ++column)
    if (ChannelTable::ColumnWidth(column) != 0) columns.push_back(column);
  return columns;
}

bool SameFreqText(char a, char b) { return a == b || ((a == '.' || a == ',') && (b == '.' || b == ',')); }

}  // namespace

std::vector<std::vector<std::string>> TabbedLines(std::string_view text) {
  std::vector<std::vector<std::string>> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    std::vector<std::string>& fields = lines.emplace_back();
    for (std::size_t start = 0;;) {
      const auto tab = line.find('\t', start);
      fields.emplace_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
      if (tab == std::string_view::npos) break;
      start = tab + 1;
    }
  }
  return lines;
}

ChannelTable::ChannelTable(int language, char separator, FreqLimits limits)
    : m_language(language), m_separator(separator), m_limits(limits) {
  ChannelHeadings();
}

const std::string& ChannelTable::Cell(int row, int column) const {
  static const std::string kNone;
  if (row < 0 || row >= kChannelGridRows || column < 0 || column >= kChannelColumns) return kNone;
  return m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

std::string& ChannelTable::At(int row, int column) {
  return m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

ChannelFields ChannelTable::RowFields(int row) const {
  ChannelFields fields;
  if (!IsChannelRow(row)) return fields;
  for (int column = 1; column < kChannelColumns; ++column) fields.at(column) = Cell(row, column);
  return fields;
}

void ChannelTable::SetRowFields(int row, const ChannelFields& fields) {
  if (!IsChannelRow(row)) return;
  for (int column = 1; column < kChannelColumns; ++column) At(row, column) = fields.at(column);
}

std::string ChannelTable::Caption() const { return std::string(Text(kTxtCaption, m_language)) + ".."; }

int ChannelTable::ColumnWidth(int column) {
  return column >= 0 && column < kChannelColumns ? kWidthTwips[static_cast<std::size_t>(column)] : 0;
}

void ChannelTable::ChannelHeadings() {
  for (int column = 0; column < kChannelColumns; ++column) At(0, column) = ChannelHeading(column, m_language);
  for (int row = 1; row < kChannelGridRows; ++row) At(row, kColNumber) = std::to_string(row);
}

void ChannelTable::ChannelGridLoad(const Image& image) {
  for (int n = ChannelOffset::kFirst; n <= ChannelOffset::kLast; ++n)
    SetRowFields(n, ReadChannel(image, n, m_language, m_separator));
  m_current = CellPos{1, kColRx};
}

void ChannelTable::RefreshChannel(const Image& image, int language) {
  m_language = language;
  ChannelHeadings();
  ChannelGridLoad(image);
}

Status ChannelTable::SaveData(Image& image) const {
  std::string problems;
  for (int n = ChannelOffset::kFirst; n <= ChannelOffset::kLast; ++n) {
    if (auto stored = StoreChannel(image, n, RowFields(n), m_language, m_separator); !stored)
      problems += (problems.empty() ? "" : "\n") + stored.error();
  }
  if (!problems.empty()) return Fail(problems);
  return Ok{};
}

void ChannelTable::EmptyRow(int row) {
  for (int column = 1; column < kChannelColumns; ++column) At(row, column).clear();
}

std::string ChannelTable::FreqNote(int row, std::string_view typed, const NormalizedFreq& stored) const {
  if (stored.change == FreqChange::None) return {};
  const int message = stored.change == FreqChange::OutsideBands ? kMsgOutsideBands : kMsgOffRaster;
  return FormatText(Text(message, m_language), {std::to_string(row), std::string(typed), stored.text});
}

std::string ChannelTable::SetRxCell(int row, std::string_view text) {
  if (!IsChannelRow(row)) return {};
  if (text.empty()) {
    EmptyRow(row);
    return {};
  }
  const NormalizedFreq normalized = NormalizeTypedFreq(text, m_separator, m_limits);
  const std::string& rx = normalized.text;
  std::string note = FreqNote(row, text, normalized);
  ChannelFields fields = RowFields(row);
  // No decode tone: a new channel, or one whose tone the grid cannot show,
  // which starts anew too.
  const bool starts = fields.decodeTone.empty();
  if (starts) fields.rx.clear();
  SetRowFields(row, WithRx(std::move(fields), rx, m_language));
  if (starts) m_current.column = kColRx;
  return note;
}

std::string ChannelTable::SetTxCell(int row, std::string_view text) {
  if (!IsChannelRow(row)) return {};
  const NormalizedFreq normalized = text.empty() ? NormalizedFreq{} : NormalizeTypedFreq(text, m_separator, m_limits);
  SetRowFields(row, WithTx(RowFields(row), normalized.text, m_language));
  return FreqNote(row, text, normalized);
}

void ChannelTable::CommitName(int row, std::string_view text) {
  if (!IsChannelRow(row)) return;
  std::string name(text.substr(0, ChannelOffset::kNameLength));
  name.resize(ChannelOffset::kNameLength, ' ');
  At(row, kColName) = name;
}

bool ChannelTable::IsGreyed(int row, int column) const {
  if (column != kColDecode && column != kColAutoResponse) return false;
  const std::string& signal = Cell(row, kColOptSignal);
  if (signal == Text(kTxt5Tone, m_language)) return false;
  if (signal == "MSK" || signal == Text(kTxt2Tone, m_language)) return column == kColAutoResponse;
  return true;
}

int ChannelTable::CorrectedColumn(int row, int column) const {
  if (Cell(row, kColRx).empty()) return kColRx;
  if (column == kColEncodeTone && Cell(row, kColTx).empty()) return kColTx;
  return column;
}

CellPos ChannelTable::NextEditableCell(CellPos from) const {
  if (from.column == kColDecodeTone && Cell(from.row, kColEncodeTone).empty()) return {from.row, kColPower};
  CellPos next = from;
  do {
    if (next.column >= kColAutoResponse) {
      next.row = next.row >= ChannelOffset::kLast ? 1 : next.row + 1;
      next.column = kColRx;
    } else {
      ++next.column;
    }
  } while (IsHiddenColumn(next.column) || IsGreyed(next.row, next.column));
  return next;
}

EditStart ChannelTable::OpenCellEditor(int row, int column) const {
  EditStart offer;
  offer.cell = {row, column};
  if (!IsChannelRow(row) || !IsFieldColumn(column) || IsGreyed(row, column)) return offer;
  offer.text = Cell(row, column);
  offer.startText = offer.text;
  CellEditor& editor = offer.editor;
  switch (column) {
    case kColRx:
    case kColTx:
    case kColName:
      editor = TextEditor(column);
      break;
    case kColDecodeTone:
    case kColEncodeTone:
      if (offer.text.empty()) break;
      editor.kind = EditorKind::List;
      editor.list = kToneListEditor;
      editor.items = BuildToneList(Text(kTxtNone, m_language), m_separator);
      // A tone the radio holds but the list lacks (100.1 Hz...) is offered
      // last, so committing the list without a choice keeps it.
      if (std::find(editor.items.begin(), editor.items.end(), offer.text) == editor.items.end())
        editor.items.push_back(offer.text);
      break;
    default:
      editor.kind = EditorKind::List;
      editor.list = kFieldListEditor;
      editor.items = ChannelListItems(column, m_language);
      break;
  }
  return offer;
}

CellEditor ChannelTable::TextEditor(int column) {
  CellEditor editor;
  if (column != kColRx && column != kColTx && column != kColName) return editor;
  editor.kind = EditorKind::Text;
  const bool name = column == kColName;
  editor.allowed = name ? kNameCharacters : kFreqCharacters;
  editor.upperCase = name;
  editor.maxLength = name ? ChannelOffset::kNameLength : kFreqLength;
  return editor;
}

std::optional<char> ChannelTable::TextEditorChar(int column, char c) { return TextEditor(column).Accept(c); }

EditStart ChannelTable::Click(int row, int column) {
  if (!IsChannelRow(row) || !IsFieldColumn(column)) return {};
  m_current = {row, CorrectedColumn(row, column)};
  return OpenCellEditor(m_current.row, m_current.column);
}

EditStart ChannelTable::GridKey(char key) {
  if (!IsChannelRow(m_current.row) || !IsFieldColumn(m_current.column)) return {};
  m_current.column = CorrectedColumn(m_current.row, m_current.column);
  const int column = m_current.column;
  const bool frequency = column == kColRx || column == kColTx;
  const bool typedStart =
      frequency ? (IsDigit(key) || key == '.') : column == kColName && (IsDigit(key) || IsLetter(key));
  if (key != kKeyEnter && !typedStart) return {};
  EditStart offer = OpenCellEditor(m_current.row, column);
  if (typedStart && offer.editor.kind == EditorKind::Text) {
    offer.text = std::string(1, *TextEditorChar(column, key));
    offer.selectAll = false;
  }
  return offer;
}

CellCommit ChannelTable::CommitTextEditor(std::string_view text) {
  const CellPos cell = m_current;
  CellCommit commit;
  switch (cell.column) {
    case kColRx:
      commit.note = SetRxCell(cell.row, text);
      m_current.column = kColTx;
      break;
    case kColTx:
      commit.note = SetTxCell(cell.row, text);
      m_current.column = kColDecodeTone;
      break;
    case kColName:
      CommitName(cell.row, text);
      m_current = NextEditableCell(m_current);
      break;
    default:
      commit.accepted = false;
      break;
  }
  commit.text = Cell(cell.row, cell.column);
  return commit;
}

void ChannelTable::PickListItem(std::string_view text) {
  if (m_current.column == kColOptSignal && IsChannelRow(m_current.row)) At(m_current.row, kColOptSignal) = text;
}

CellCommit ChannelTable::CommitListEditor(std::string_view text) {
  if (!IsChannelRow(m_current.row) || !IsFieldColumn(m_current.column)) return {false, {}, {}};
  At(m_current.row, m_current.column) = text;
  m_current = NextEditableCell(m_current);
  return {true, std::string(text), {}};
}

std::string ChannelTable::RefusedKeyNote(int column, std::string_view typed) const {
  if (column != kColName || typed.empty()) return {};
  // Control keys (Backspace, Delete, Escape...) are the editor's own.
  const auto code = static_cast<unsigned char>(typed.front());
  if (typed.size() == 1 && (TextEditorChar(column, typed.front()) || code < ' ' || code == 0x7F)) return {};
  return FormatText(Text(kMsgNameKey, m_language), {std::string(typed)});
}

std::string ChannelTable::CellsText(std::span<const CellPos> cells) const {
  std::vector<CellPos> sorted(cells.begin(), cells.end());
  std::erase_if(sorted, [](const CellPos& cell) {
    return !IsChannelRow(cell.row) || !IsFieldColumn(cell.column) || IsHiddenColumn(cell.column);
  });
  std::sort(sorted.begin(), sorted.end(),
            [](const CellPos& a, const CellPos& b) { return a.row != b.row ? a.row < b.row : a.column < b.column; });
  std::string text;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    if (i > 0) text += sorted[i].row == sorted[i - 1].row ? '\t' : '\n';
    text += Cell(sorted[i].row, sorted[i].column);
  }
  return text.empty() ? text : text + '\n';
}

CellCommit ChannelTable::TypeCell(int row, int column, std::string_view text) {
  CellCommit commit{false, Cell(row, column), {}};
  if (!IsChannelRow(row) || !IsFieldColumn(column) || IsHiddenColumn(column)) return commit;
  const std::string value(Trimmed(text));
  const auto refuse = [&] {
    commit.note = FormatText(Text(kMsgCellRefused, m_language),
                             {std::to_string(row), Cell(0, column), value, std::string(Trimmed(Cell(row, column)))});
    return commit;
  };
  const EditStart offer = OpenCellEditor(row, column);
  if (CorrectedColumn(row, column) != column || offer.editor.kind == EditorKind::None) return refuse();
  if (offer.editor.kind == EditorKind::List) {
    const auto item = std::find_if(offer.editor.items.begin(), offer.editor.items.end(),
                                   [&](const std::string& i) { return ToUpperAscii(i) == ToUpperAscii(value); });
    if (item == offer.editor.items.end()) return refuse();
    At(row, column) = *item;
  } else {
    const std::string typed = offer.editor.Filter(value, offer.editor.maxLength);
    if (column == kColName) {
      CommitName(row, typed);
      if (typed != ToUpperAscii(value))
        commit.note = FormatText(Text(kMsgNameCut, m_language), {std::to_string(row), value, typed});
    } else if (typed.empty() != value.empty() || (column == kColRx && typed.empty())) {
      return refuse();
    } else {
      commit.note = column == kColRx ? SetRxCell(row, typed) : SetTxCell(row, typed);
    }
  }
  commit.accepted = true;
  commit.text = Cell(row, column);
  return commit;
}

CellsEdit ChannelTable::PasteCells(std::span<const CellPos> selected, std::string_view text) {
  const auto lines = TabbedLines(text);
  if (lines.empty()) return {};
  std::vector<std::pair<CellPos, std::string>> values;
  std::vector<int> selectedColumns;
  for (const CellPos& cell : selected) selectedColumns.push_back(cell.column);
  std::sort(selectedColumns.begin(), selectedColumns.end());
  selectedColumns.erase(std::unique(selectedColumns.begin(), selectedColumns.end()), selectedColumns.end());
  const std::vector<std::string>& first = lines.front();
  if (lines.size() == 1 && selected.size() > 1 && (first.size() == 1 || first.size() == selectedColumns.size())) {
    for (const CellPos& cell : selected) {
      const auto at = std::find(selectedColumns.begin(), selectedColumns.end(), cell.column) - selectedColumns.begin();
      values.emplace_back(cell, first[first.size() == 1 ? 0 : static_cast<std::size_t>(at)]);
    }
  } else {
    const std::vector<int> columns = VisibleColumns();
    const auto start = std::find(columns.begin(), columns.end(), m_current.column) - columns.begin();
    for (std::size_t i = 0; i < lines.size(); ++i)
      for (std::size_t j = 0; j < lines[i].size(); ++j) {
        const int row = m_current.row + static_cast<int>(i);
        const std::size_t column = static_cast<std::size_t>(start) + j;
        if (IsChannelRow(row) && column < columns.size()) values.push_back({{row, columns[column]}, lines[i][j]});
      }
  }
  // Row by row and left to right, so a new Rx comes before the cells it
  // opens.
  std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) {
    return a.first.row != b.first.row ? a.first.row < b.first.row : a.first.column < b.first.column;
  });
  CellsEdit edit;
  for (const auto& [cell, value] : values) {
    const ChannelFields before = RowFields(cell.row);
    const CellCommit commit = TypeCell(cell.row, cell.column, value);
    if (!commit.note.empty()) edit.notes.push_back(commit.note);
    if (RowFields(cell.row) != before && (edit.rows.empty() || edit.rows.back() != cell.row))
      edit.rows.push_back(cell.row);
  }
  return edit;
}

bool ChannelTable::CanClearCell(int row, int column) const {
  if (!IsChannelRow(row) || Cell(row, kColRx).empty()) return false;
  switch (column) {
    case kColTx:
    case kColName:
    case kColDecodeTone:
      return true;
    case kColEncodeTone:
      return !Cell(row, kColTx).empty();
    default:
      return false;
  }
}

CellsEdit ChannelTable::ClearCells(std::span<const CellPos> cells) {
  CellsEdit edit;
  for (const CellPos& cell : cells) {
    if (!CanClearCell(cell.row, cell.column)) continue;
    const ChannelFields before = RowFields(cell.row);
    if (cell.column == kColTx)
      SetTxCell(cell.row, "");
    else if (cell.column == kColName)
      CommitName(cell.row, "");
    else
      At(cell.row, cell.column) = Text(kTxtNone, m_language);
    if (RowFields(cell.row) != before) edit.rows.push_back(cell.row);
  }
  std::sort(edit.rows.begin(), edit.rows.end());
  edit.rows.erase(std::unique(edit.rows.begin(), edit.rows.end()), edit.rows.end());
  return edit;
}

int ChannelTable::FindChannel(std::string_view text, int after) const {
  const std::string wanted = ToUpperAscii(Trimmed(text));
  if (wanted.empty()) return 0;
  const auto startsWith = [&wanted](const std::string& cell) {
    return cell.size() >= wanted.size() && std::equal(wanted.begin(), wanted.end(), cell.begin(), SameFreqText);
  };
  for (int i = 1; i <= ChannelOffset::kLast; ++i) {
    const int row = (after + i - 1) % ChannelOffset::kLast + 1;
    if (Cell(row, kColRx).empty()) continue;
    if (ToUpperAscii(Cell(row, kColName)).find(wanted) != std::string::npos || startsWith(Cell(row, kColRx)) ||
        startsWith(Cell(row, kColTx)))
      return row;
  }
  return 0;
}

}  // namespace orvex
