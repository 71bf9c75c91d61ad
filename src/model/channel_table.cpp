#include "model/channel_table.h"

#include <algorithm>

#include "core/strings.h"
#include "core/tone.h"
#include "model/byte_fields.h"

namespace orvex {
namespace {

constexpr std::array<int, kChannelColumns> kWidthTwips = {500,  1200, 1200, 1450, 1450, 1000, 1000, 1000,
                                                          1000, 1200, 0,    0,    1000, 1000, 1300};
// Heading string numbers; the tone headings are prefixed with "CTC/DCS ".
constexpr std::array<int, kChannelColumns> kHeadingText = {1120, 1121, 1122, 1123, 1124, 1127, 1132, 1128,
                                                           1129, 1349, 1383, 1519, 1125, 1216, 1518};
constexpr int kTxtCaption = 1100, kTxtNone = 1137, kTxt2Tone = 1520, kTxt5Tone = 1521;
constexpr std::size_t kFreqLength = 9;
// "Channel %1: %2 MHz is outside the radio's bands; stored %3" and "... is
// not on the channel raster ...".
constexpr int kMsgOutsideBands = 10100, kMsgOffRaster = 10101;
constexpr std::string_view kFreqCharacters = "0123456789.,";
constexpr std::string_view kNameCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ +?";

bool IsChannelRow(int row) { return row >= 1 && row < kChannelGridRows; }
bool IsFieldColumn(int column) { return column >= 1 && column < kChannelColumns; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

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
  for (int column = 0; column < kChannelColumns; ++column) {
    const bool tone = column == kColDecodeTone || column == kColEncodeTone;
    At(0, column) =
        (tone ? "CTC/DCS " : "") + std::string(Text(kHeadingText[static_cast<std::size_t>(column)], m_language));
  }
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
  if (Cell(row, kColDecodeTone).empty()) {
    // No decode tone: a new channel (or one whose tone the grid cannot
    // show), which starts from the defaults but keeps its name text.
    ChannelFields fields = NewChannelFields(rx, m_language);
    fields.name = Cell(row, kColName);
    SetRowFields(row, fields);
    m_current.column = kColRx;
    return note;
  }
  At(row, kColRx) = rx;
  return note;
}

std::string ChannelTable::SetTxCell(int row, std::string_view text) {
  if (!IsChannelRow(row)) return {};
  if (text.empty()) {
    At(row, kColTx).clear();
    At(row, kColEncodeTone).clear();
    return {};
  }
  const NormalizedFreq normalized = NormalizeTypedFreq(text, m_separator, m_limits);
  At(row, kColTx) = normalized.text;
  if (Cell(row, kColEncodeTone).empty()) At(row, kColEncodeTone) = Text(kTxtNone, m_language);
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

}  // namespace orvex
