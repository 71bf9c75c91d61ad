#include "model/signalling/two_tone_table.h"

#include <algorithm>

#include "core/strings.h"
#include "model/byte_fields.h"

namespace orvex {

namespace {

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kNumberCharacters = "0123456789.,";
constexpr std::string_view kPlaceholderText = "-";
// A GAP a Call List entry gets when both of its tones are set.
constexpr std::string_view kDefaultGap = "100";
// String-table numbers: the window's name and the cell refusals.
constexpr int kTxtTwoTone = 1520, kMsgNotGap = 10383, kMsgNotTone = 10384;
// Far above any tone; keeps long typed numbers from overflowing.
constexpr std::uint64_t kSaturate = 1'000'000;

std::string RangedToneText(std::uint16_t stored) {
  if (stored < TwoToneOffset::kMinTenths) return TenthsText(TwoToneOffset::kMinTenths);
  if (stored > TwoToneOffset::kMaxTenths) return "3000";
  return TenthsText(stored);
}

std::uint32_t ClampTenths(std::uint32_t tenths) {
  return std::clamp(tenths, TwoToneOffset::kMinTenths, TwoToneOffset::kMaxTenths);
}

std::optional<std::uint32_t> ParseWhole(std::string_view text) {
  if (text.empty() || !OnlyCharacters(text, kDigits)) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) value = std::min<std::uint32_t>(value * 10 + static_cast<std::uint32_t>(c - '0'), kSaturate);
  return value;
}

std::optional<std::uint32_t> ParseGap(std::string_view text) {
  const auto value = ParseWhole(text);
  if (!value) return std::nullopt;
  return std::min<std::uint32_t>(*value, TwoToneOffset::kMaxGap);
}

// The stored value of a tone cell: empty 0xFFFF, "-" 0x0000, a number in
// tenths kept inside the range the radio accepts.
std::uint16_t ToneValue(std::string_view text) {
  if (text.empty()) return TwoToneOffset::kEmptyTone;
  if (text == kPlaceholderText) return TwoToneOffset::kPlaceholder;
  const auto tenths = ParseTenths(text);
  return tenths ? static_cast<std::uint16_t>(ClampTenths(*tenths)) : TwoToneOffset::kEmptyTone;
}

std::uint8_t GapByte(std::string_view text) {
  const auto gap = ParseGap(text);
  return gap ? static_cast<std::uint8_t>(*gap) : kEmpty;
}

// "%1 %2: %3 Hz is outside 288.5..3000 Hz; stored %4" and "%1 %2: a GAP of
// %3 ms is more than 255; stored %4", named by list and entry.
constexpr int kMsgToneOutside = 10102, kMsgGapAbove = 10103;
constexpr int kTxtCallList = 1526, kTxtDecode = 1216;

bool IsToneInRange(std::string_view text) {
  const auto tenths = ParseTenths(text);
  return tenths && *tenths >= TwoToneOffset::kMinTenths && *tenths <= TwoToneOffset::kMaxTenths;
}

CellCommit Refused(const std::string& old) { return {false, old, {}}; }

}  // namespace

std::string CallToneText(std::uint16_t stored) {
  if ((stored >> 8) >= TwoToneOffset::kCallEmptyHigh) return {};
  return RangedToneText(stored);
}

std::string DecodeToneText(std::uint16_t stored) {
  if (stored == TwoToneOffset::kEmptyTone) return {};
  if (stored == TwoToneOffset::kPlaceholder) return std::string(kPlaceholderText);
  return RangedToneText(stored);
}

std::optional<std::uint32_t> ParseTenths(std::string_view text) {
  std::uint64_t whole = 0;
  int decimals = 0;
  int tenth = 0;
  bool roundUp = false;
  bool separator = false;
  bool digit = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      const int d = c - '0';
      digit = true;
      if (!separator)
        whole = std::min<std::uint64_t>(whole * 10 + static_cast<std::uint64_t>(d), kSaturate);
      else if (++decimals == 1)
        tenth = d;
      else if (decimals == 2)
        roundUp = d >= 5;
    } else if (c == '.' || c == ',') {
      if (separator) return std::nullopt;
      separator = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digit) return std::nullopt;
  return static_cast<std::uint32_t>(whole * 10 + static_cast<std::uint64_t>(tenth) + (roundUp ? 1 : 0));
}

std::optional<std::string> NormalizeToneText(std::string_view text) {
  const auto tenths = ParseTenths(text);
  if (!tenths) return std::nullopt;
  return TenthsText(ClampTenths(*tenths));
}

std::optional<std::string> NormalizeGapText(std::string_view text) {
  const auto gap = ParseGap(text);
  if (!gap) return std::nullopt;
  return std::to_string(*gap);
}

TwoToneTable::TwoToneTable() {
  m_grids[Index(TwoToneGrid::CallList)] = MakeGrid(TwoToneOffset::kCallEntries, std::vector<std::string>(kColumnCount));
  m_grids[Index(TwoToneGrid::Decode)] = MakeGrid(TwoToneOffset::kDecodeEntries, std::vector<std::string>(kColumnCount));
}

void TwoToneTable::Load(const Image& image, int language) {
  m_language = language;
  const std::string no(Text(1232, language));
  const std::string tone(Text(1527, language));
  m_grids[Index(TwoToneGrid::CallList)] = MakeGrid(
      TwoToneOffset::kCallEntries, {no, "A" + tone + "[Hz]", "B" + tone + "[Hz]", std::string(Text(1528, language))});
  m_grids[Index(TwoToneGrid::Decode)] =
      MakeGrid(TwoToneOffset::kDecodeEntries,
               {no, "A" + tone + "[Hz]", "B" + tone + "[Hz]", std::string(Text(1529, language)) + "[Hz]"});

  for (const TwoToneGrid grid : {TwoToneGrid::CallList, TwoToneGrid::Decode}) {
    const int rows = static_cast<int>(cells(grid).size());
    for (int row = 1; row < rows; ++row) {
      auto texts = TwoToneRowTexts(image, grid, row);
      for (int column = TwoToneColumn::kToneA; column < kColumnCount; ++column)
        at(grid, row, column) = std::move(texts[static_cast<std::size_t>(column - 1)]);
    }
  }
}

std::array<std::string, 3> TwoToneRowTexts(const Image& image, TwoToneGrid grid, int row) {
  using O = TwoToneOffset;
  const bool call = grid == TwoToneGrid::CallList;
  if (row < 1 || static_cast<std::size_t>(row) > (call ? O::kCallEntries : O::kDecodeEntries)) return {};
  const std::size_t n = static_cast<std::size_t>(row) - 1;
  if (call) {
    const std::size_t base = O::kCallList + n * O::kCallEntrySize;
    std::array<std::string, 3> texts = {CallToneText(ReadBe16(image, base + O::kToneA)),
                                        CallToneText(ReadBe16(image, base + O::kToneB)), std::string()};
    // A GAP only means something between two tones.
    if (!texts[0].empty() && !texts[1].empty()) texts[2] = std::to_string(image[base + O::kGap]);
    return texts;
  }
  const std::size_t base = O::kDecode + n * O::kDecodeEntrySize;
  const std::uint16_t a = ReadBe16(image, base + O::kToneA), b = ReadBe16(image, base + O::kToneB);
  const std::uint16_t group = ReadBe16(image, base + O::kGroup);
  // A group-call tone alone shows placeholders for tones A and B.
  if (a == O::kEmptyTone && group != O::kEmptyTone && group != O::kPlaceholder)
    return {std::string(kPlaceholderText), std::string(kPlaceholderText), DecodeToneText(group)};
  return {DecodeToneText(a), DecodeToneText(b), DecodeToneText(group)};
}

std::string TwoToneCellText(const Image& image, TwoToneGrid grid, CellPos pos) {
  if (pos.column < TwoToneColumn::kToneA || pos.column > TwoToneColumn::kGap) return {};
  return std::move(TwoToneRowTexts(image, grid, pos.row)[static_cast<std::size_t>(pos.column - 1)]);
}

void TwoToneTable::SaveData(Image& image) const {
  for (std::size_t n = 0; n < TwoToneOffset::kCallEntries; ++n) {
    const std::size_t base = TwoToneOffset::kCallList + n * TwoToneOffset::kCallEntrySize;
    const int row = static_cast<int>(n) + 1;
    const std::string& a = at(TwoToneGrid::CallList, row, TwoToneColumn::kToneA);
    const std::string& b = at(TwoToneGrid::CallList, row, TwoToneColumn::kToneB);
    const std::string& gap = at(TwoToneGrid::CallList, row, TwoToneColumn::kGap);
    WriteBe16(image, base + TwoToneOffset::kToneA, ToneValue(a));
    WriteBe16(image, base + TwoToneOffset::kToneB, ToneValue(b));
    // The row rules of the grid, whoever filled the cells: a GAP only between
    // two tones, and two tones always with a GAP.
    image[base + TwoToneOffset::kGap] =
        a.empty() || b.empty() ? kEmpty : GapByte(gap.empty() ? kDefaultGap : std::string_view(gap));
  }
  for (std::size_t n = 0; n < TwoToneOffset::kDecodeEntries; ++n) {
    const std::size_t base = TwoToneOffset::kDecode + n * TwoToneOffset::kDecodeEntrySize;
    const int row = static_cast<int>(n) + 1;
    for (int column = TwoToneColumn::kToneA; column <= TwoToneColumn::kGroup; ++column)
      WriteBe16(image, base + 2 * static_cast<std::size_t>(column - 1),
                ToneValue(at(TwoToneGrid::Decode, row, column)));
  }
}

const std::string& TwoToneTable::cell(TwoToneGrid grid, CellPos pos) const { return CellText(cells(grid), pos); }

TwoToneTable::Captions TwoToneTable::captions() const {
  return {std::string(Text(kTxtTwoTone, m_language)), std::string(Text(1526, m_language)),
          std::string(Text(1216, m_language))};
}

Status TwoToneTable::SetCell(TwoToneGrid grid, CellPos pos, std::string_view text, int language) {
  if (!IsDataCell(cells(grid), pos)) return NoDataCell(Text(kTxtTwoTone, language), pos, language);
  const bool gap = grid == TwoToneGrid::CallList && pos.column == TwoToneColumn::kGap;
  bool valid = text.empty();
  if (gap) {
    const auto whole = ParseWhole(text);
    valid = valid || (whole && *whole <= TwoToneOffset::kMaxGap);
  } else {
    valid = valid || IsToneInRange(text) || (grid == TwoToneGrid::Decode && text == kPlaceholderText);
  }
  if (!valid) return RefusedCellText(gap ? kMsgNotGap : kMsgNotTone, text, language);
  at(grid, pos.row, pos.column) = std::string(text);
  return Ok{};
}

std::optional<EditStart> TwoToneTable::BeginCellEdit(TwoToneGrid grid, CellPos pos, std::optional<char> typed) const {
  if (!IsDataCell(cells(grid), pos)) return std::nullopt;
  if (typed && kDigits.find(*typed) == std::string_view::npos) return std::nullopt;

  const std::string& a = at(grid, pos.row, TwoToneColumn::kToneA);
  const std::string& b = at(grid, pos.row, TwoToneColumn::kToneB);
  if (grid == TwoToneGrid::CallList) {
    if (a.empty())
      pos.column = TwoToneColumn::kToneA;
    else if (b.empty() && pos.column == TwoToneColumn::kGap)
      pos.column = TwoToneColumn::kToneB;
  } else if ((a.empty() || a == kPlaceholderText) && pos.column == TwoToneColumn::kToneB) {
    pos.column = TwoToneColumn::kToneA;
  }

  EditStart start;
  start.cell = pos;
  const bool gap = grid == TwoToneGrid::CallList && pos.column == TwoToneColumn::kGap;
  start.editor.kind = EditorKind::Text;
  start.editor.allowed = std::string(gap ? kDigits : kNumberCharacters);
  start.editor.maxLength = gap ? kGapMaxLength : kToneMaxLength;
  start.startText = at(grid, pos.row, pos.column);
  start.selectAll = !typed;
  if (typed)
    start.text = std::string(1, *typed);
  else
    start.text = start.startText == kPlaceholderText ? std::string() : start.startText;
  return start;
}

CellCommit TwoToneTable::CommitCellEdit(TwoToneGrid grid, CellPos pos, std::string_view text) {
  if (!IsDataCell(cells(grid), pos)) return {false, {}, {}};
  const std::string& old = at(grid, pos.row, pos.column);
  if (text == old || (old == kPlaceholderText && text.empty())) return {true, old, {}};
  return grid == TwoToneGrid::CallList ? CommitCall(pos.row, pos.column, text)
                                       : CommitDecode(pos.row, pos.column, text);
}

std::string TwoToneTable::RangeNote(TwoToneGrid grid, int row, int column, std::string_view typed,
                                    const std::string& stored) const {
  const bool gap = grid == TwoToneGrid::CallList && column == TwoToneColumn::kGap;
  const bool replaced = gap ? ParseWhole(typed).value_or(0) > TwoToneOffset::kMaxGap : !IsToneInRange(typed);
  if (!replaced) return {};
  const int list = grid == TwoToneGrid::CallList ? kTxtCallList : kTxtDecode;
  return FormatText(Text(gap ? kMsgGapAbove : kMsgToneOutside, m_language),
                    {std::string(Text(list, m_language)), std::to_string(row - 1), std::string(typed), stored});
}

CellCommit TwoToneTable::CommitCall(int row, int column, std::string_view text) {
  std::string& cell = at(TwoToneGrid::CallList, row, column);
  std::string& a = at(TwoToneGrid::CallList, row, TwoToneColumn::kToneA);
  std::string& b = at(TwoToneGrid::CallList, row, TwoToneColumn::kToneB);
  std::string& gap = at(TwoToneGrid::CallList, row, TwoToneColumn::kGap);

  if (column == TwoToneColumn::kGap) {
    if (text.empty()) {
      // A GAP cannot be removed while both tones are set.
      cell = !a.empty() && !b.empty() ? std::string(kDefaultGap) : std::string();
    } else {
      const auto normalized = NormalizeGapText(text);
      if (!normalized) return Refused(cell);
      cell = *normalized;
    }
    return {true, cell, RangeNote(TwoToneGrid::CallList, row, column, text, cell)};
  }

  if (text.empty()) {
    // Removing tone A removes the whole entry; removing tone B its GAP.
    if (column == TwoToneColumn::kToneA) b.clear();
    gap.clear();
    cell.clear();
  } else {
    const auto normalized = NormalizeToneText(text);
    if (!normalized) return Refused(cell);
    cell = *normalized;
  }
  if (gap.empty() && !a.empty() && !b.empty()) gap = kDefaultGap;
  return {true, cell, text.empty() ? std::string() : RangeNote(TwoToneGrid::CallList, row, column, text, cell)};
}

CellCommit TwoToneTable::CommitDecode(int row, int column, std::string_view text) {
  std::string& cell = at(TwoToneGrid::Decode, row, column);
  std::string& a = at(TwoToneGrid::Decode, row, TwoToneColumn::kToneA);
  std::string& b = at(TwoToneGrid::Decode, row, TwoToneColumn::kToneB);
  const std::string& group = at(TwoToneGrid::Decode, row, TwoToneColumn::kGroup);

  if (!text.empty()) {
    const auto normalized = NormalizeToneText(text);
    if (!normalized) return Refused(cell);
    if (column == TwoToneColumn::kToneB && (a.empty() || a == kPlaceholderText)) return Refused(cell);
    if (column == TwoToneColumn::kGroup && a.empty()) {
      a = kPlaceholderText;
      b = kPlaceholderText;
    }
    cell = *normalized;
    return {true, cell, RangeNote(TwoToneGrid::Decode, row, column, text, cell)};
  }

  switch (column) {
    case TwoToneColumn::kToneA:
      // Tone A of a group-call entry falls back to the placeholder.
      if (!group.empty()) {
        cell = kPlaceholderText;
        b = kPlaceholderText;
      } else {
        b.clear();
        cell.clear();
      }
      break;
    case TwoToneColumn::kToneB:
      // Tone B goes only together with tone A.
      if (!a.empty()) return Refused(cell);
      cell.clear();
      break;
    default:
      if (a == kPlaceholderText) {
        a.clear();
        b.clear();
      }
      cell.clear();
      break;
  }
  return {true, cell, {}};
}

CellPos TwoToneTable::NextCellOnEnter(TwoToneGrid grid, CellPos pos) const {
  const int lastRow = static_cast<int>(cells(grid).size()) - 1;
  if (pos.column < kColumnCount - 1) return {pos.row, pos.column + 1};
  if (pos.row < lastRow) return {pos.row + 1, 1};
  return pos;
}

CellPos TwoToneTable::NextCellAfterCommit(TwoToneGrid grid, CellPos pos) const {
  if (grid == TwoToneGrid::Decode || pos.column < kColumnCount - 1) return NextCellOnEnter(grid, pos);
  const int lastRow = static_cast<int>(cells(grid).size()) - 1;
  return {pos.row < lastRow ? pos.row + 1 : pos.row, 1};
}

}  // namespace orvex
