#include "model/signalling/five_tone_table.h"

#include "core/strings.h"
#include "model/byte_fields.h"

namespace orvex {

namespace {

constexpr std::string_view kIdSymbols = "0123456789ABCD";
// Short IDs are filled up with this symbol.
constexpr char kIdPad = 'A';
constexpr std::size_t kDefaultRespondWaiting = 1;  // 10 s
// String-table numbers: the window's name and the refusals.
constexpr int kTxtFiveTone = 1521, kMsgNotStandard = 10385, kMsgNotId = 10386, kMsgWaitingRange = 10387,
              kMsgFixDigitRange = 10388, kMsgNoStandard = 10389;

std::size_t EntryAddress(int row) {
  return FiveToneOffset::kDecode + static_cast<std::size_t>(row - 1) * FiveToneOffset::kEntrySize;
}

std::string FirstStandard() { return std::string(kToneStandardNames[0]); }

}  // namespace

std::size_t RespondWaitingIndex(std::uint8_t stored) {
  return stored < FiveToneOffset::kRespondWaitingCount ? stored : kDefaultRespondWaiting;
}

std::size_t FixDigitIndex(std::uint8_t stored) { return ListIndex(stored, FiveToneOffset::kFixDigitCount); }

std::string FiveToneStandardText(std::uint8_t stored) {
  if (stored == FiveToneOffset::kNone) return {};
  return std::string(kToneStandardNames[ListIndex(stored, kToneStandardCount)]);
}

std::string FiveToneIdText(const Image& image, std::size_t address) {
  std::string id;
  if (address > image.size() - FiveToneOffset::kIdLength) return id;
  for (std::size_t i = 0; i < FiveToneOffset::kIdLength; ++i) {
    const std::uint8_t b = image[address + i];
    if (b == FiveToneOffset::kNone) return {};
    if (b < kIdSymbols.size()) id += kIdSymbols[b];
  }
  if (!id.empty()) id.resize(FiveToneOffset::kIdLength, kIdPad);
  return id;
}

std::optional<std::string> NormalizeFiveToneId(std::string_view typed) {
  std::string id = ToUpperAscii(typed);
  if (id.size() > FiveToneOffset::kIdLength || !OnlyCharacters(id, kIdSymbols)) return std::nullopt;
  if (!id.empty()) id.resize(FiveToneOffset::kIdLength, kIdPad);
  return id;
}

FiveToneTable::FiveToneTable() : m_grid(MakeGrid(FiveToneOffset::kEntries, {"", "", "ID"})) {}

void FiveToneTable::Load(const Image& image, int language) {
  m_language = language;
  m_grid = MakeGrid(FiveToneOffset::kEntries, {"", std::string(Text(1525, language)), "ID"});
  m_respondWaiting = RespondWaitingIndex(image[FiveToneOffset::kRespondWaiting]);
  m_fixDigit = FixDigitIndex(image[FiveToneOffset::kFixDigit]);
  for (int row = 1; row <= static_cast<int>(FiveToneOffset::kEntries); ++row) {
    const std::size_t base = EntryAddress(row);
    at(row, FiveToneColumn::kStandard) = FiveToneStandardText(image[base + FiveToneOffset::kStandard]);
    at(row, FiveToneColumn::kId) = FiveToneIdText(image, base + FiveToneOffset::kId);
  }
}

void FiveToneTable::SaveData(Image& image) const {
  image[FiveToneOffset::kRespondWaiting] = static_cast<std::uint8_t>(m_respondWaiting);
  image[FiveToneOffset::kFixDigit] = static_cast<std::uint8_t>(m_fixDigit);
  for (int row = 1; row <= static_cast<int>(FiveToneOffset::kEntries); ++row) {
    const std::size_t base = EntryAddress(row);
    const auto standard = ToneStandardIndex(at(row, FiveToneColumn::kStandard));
    image[base + FiveToneOffset::kStandard] = standard ? static_cast<std::uint8_t>(*standard) : FiveToneOffset::kNone;

    const auto id = NormalizeFiveToneId(at(row, FiveToneColumn::kId));
    if (!id || id->empty()) {
      // One 0xFF empties the ID; the bytes after it keep what they held.
      image[base + FiveToneOffset::kId] = FiveToneOffset::kNone;
      continue;
    }
    for (std::size_t i = 0; i < FiveToneOffset::kIdLength; ++i)
      image[base + FiveToneOffset::kId + i] = static_cast<std::uint8_t>(kIdSymbols.find((*id)[i]));
  }
}

const std::string& FiveToneTable::cell(CellPos pos) const { return CellText(m_grid, pos); }

FiveToneTable::Captions FiveToneTable::captions() const {
  const auto text = [this](int n) { return std::string(Text(n, m_language)); };
  return {text(kTxtFiveTone), text(1525), text(1216), text(1525), text(1523), text(1524)};
}

Status FiveToneTable::SetCell(CellPos pos, std::string_view text, int language) {
  if (!IsDataCell(m_grid, pos)) return NoDataCell(Text(kTxtFiveTone, language), pos, language);
  if (pos.column == FiveToneColumn::kStandard) {
    if (!text.empty() && !ToneStandardIndex(text)) return RefusedCellText(kMsgNotStandard, text, language);
    at(pos.row, pos.column) = std::string(text);
    return Ok{};
  }
  const auto id = NormalizeFiveToneId(text);
  if (!id) return RefusedCellText(kMsgNotId, text, language);
  at(pos.row, pos.column) = *id;
  return Ok{};
}

std::vector<std::string> FiveToneTable::respondWaitingItems() const {
  const std::string seconds(Text(1387, m_language));
  return {"5" + seconds, "10" + seconds, "15" + seconds, "20" + seconds};
}

Status FiveToneTable::SetRespondWaitingIndex(std::size_t index, int language) {
  if (index >= FiveToneOffset::kRespondWaitingCount) return Fail(TextOf(kMsgWaitingRange, language));
  m_respondWaiting = index;
  return Ok{};
}

std::vector<std::string> FiveToneTable::fixDigitItems() const { return {"0", "1", "2", "3", "4"}; }

Status FiveToneTable::SetFixDigitIndex(std::size_t index, int language) {
  if (index >= FiveToneOffset::kFixDigitCount) return Fail(TextOf(kMsgFixDigitRange, language));
  m_fixDigit = index;
  return Ok{};
}

Status FiveToneTable::SetReferenceStandard(std::size_t standard, int language) {
  if (standard >= kToneStandardCount) return Fail(TextOf(kMsgNoStandard, language, {std::to_string(standard)}));
  m_referenceStandard = standard;
  return Ok{};
}

bool FiveToneTable::EnterOpensEditor(CellPos pos) const {
  return IsDataCell(m_grid, pos) && pos.column == FiveToneColumn::kStandard;
}

CellPos FiveToneTable::NextCell(CellPos pos) const {
  if (pos.column < kColumnCount - 1) return {pos.row, pos.column + 1};
  if (pos.row < static_cast<int>(m_grid.size()) - 1) return {pos.row + 1, FiveToneColumn::kStandard};
  return pos;
}

std::optional<EditStart> FiveToneTable::BeginCellEdit(CellPos pos, std::optional<char> typed) const {
  if (!IsDataCell(m_grid, pos)) return std::nullopt;
  EditStart start;
  start.cell = pos;
  start.startText = cell(pos);
  if (pos.column == FiveToneColumn::kStandard) {
    if (typed) return std::nullopt;
    start.editor.kind = EditorKind::List;
    start.editor.items.assign(kToneStandardNames.begin(), kToneStandardNames.end());
    start.text = start.startText.empty() ? FirstStandard() : start.startText;
    return start;
  }
  start.editor.kind = EditorKind::Text;
  start.editor.allowed = std::string(kIdSymbols);
  start.editor.upperCase = true;
  start.editor.maxLength = kIdMaxLength;
  if (!typed) {
    start.text = start.startText;
    return start;
  }
  const auto symbol = start.editor.Accept(*typed);
  if (!symbol) return std::nullopt;
  start.text = std::string(1, *symbol);
  start.selectAll = false;
  return start;
}

CellCommit FiveToneTable::CommitCellEdit(CellPos pos, std::string_view text) {
  if (!IsDataCell(m_grid, pos)) return {false, {}, {}};
  std::string& standard = at(pos.row, FiveToneColumn::kStandard);
  std::string& id = at(pos.row, FiveToneColumn::kId);

  if (pos.column == FiveToneColumn::kStandard) {
    if (!text.empty() && !ToneStandardIndex(text)) return {false, standard, {}};
    standard = std::string(text);
    if (!standard.empty() && id.empty()) id = kDefaultId;
    if (standard.empty()) id.clear();
    return {true, standard, {}};
  }

  if (text == id) return {true, id, {}};
  const auto typed = NormalizeFiveToneId(text);
  if (!typed) return {false, id, {}};
  id = *typed;
  if (!id.empty() && standard.empty()) standard = FirstStandard();
  if (id.empty()) standard.clear();
  return {true, id, {}};
}

}  // namespace orvex
