#include "model/signalling/msk_table.h"

#include "core/strings.h"
#include "model/byte_fields.h"

namespace orvex {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

struct ListLayout {
  std::size_t address;
  std::size_t entries;
};

constexpr ListLayout kLists[] = {{MskOffset::kCallList, MskOffset::kCallEntries},
                                 {MskOffset::kIdCode, MskOffset::kIdEntries}};

std::size_t CodeAddress(std::size_t list, int row) {
  return kLists[list].address + static_cast<std::size_t>(row - 1) * MskOffset::kCodeLength;
}

}  // namespace

std::string MskCodeText(const Image& image, std::size_t address) {
  if (address > image.size() - MskOffset::kCodeLength) return {};
  return DigitsText(image, address, MskOffset::kCodeLength);
}

void StoreMskCode(Image& image, std::size_t address, std::string_view code) {
  if (address > image.size() - MskOffset::kCodeLength) return;
  for (std::size_t k = 0; k < MskOffset::kCodeLength; ++k) {
    const auto digit = k < code.size() ? HexDigitValue(code[k]) : std::nullopt;
    image[address + k] = digit ? *digit : kEmpty;
  }
}

bool IsMskCode(std::string_view text) {
  return text.size() <= MskOffset::kCodeLength && OnlyCharacters(ToUpperAscii(text), kHexDigits);
}

MskTable::MskTable() {
  for (std::size_t list = 0; list < 2; ++list) m_grids[list] = MakeGrid(kLists[list].entries, {"", ""});
}

void MskTable::Load(const Image& image, int language) {
  m_language = language;
  const std::string no(Text(1232, language));
  m_grids[Index(MskGrid::CallList)] = MakeGrid(MskOffset::kCallEntries, {no, std::string(Text(1526, language))});
  m_grids[Index(MskGrid::IdCode)] = MakeGrid(MskOffset::kIdEntries, {no, "ID"});
  for (std::size_t list = 0; list < 2; ++list)
    for (int row = 1; row <= static_cast<int>(kLists[list].entries); ++row)
      m_grids[list][row][kCodeColumn] = MskCodeText(image, CodeAddress(list, row));
  m_invert = GetBit(image[MskOffset::kOptions], MskOffset::kInvertBit);
}

void MskTable::SaveData(Image& image) const {
  for (std::size_t list = 0; list < 2; ++list)
    for (int row = 1; row <= static_cast<int>(kLists[list].entries); ++row)
      StoreMskCode(image, CodeAddress(list, row), m_grids[list][row][kCodeColumn]);
  image[MskOffset::kOptions] = WithBit(image[MskOffset::kOptions], MskOffset::kInvertBit, m_invert);
}

const std::string& MskTable::cell(MskGrid grid, CellPos pos) const { return CellText(cells(grid), pos); }

MskTable::Captions MskTable::captions() const {
  return {"MSK", std::string(Text(1526, m_language)), std::string(Text(1224, m_language)),
          std::string(Text(1533, m_language))};
}

Status MskTable::SetCell(MskGrid grid, CellPos pos, std::string_view text, int language) {
  constexpr int kMsgNotCode = 10390;
  if (!IsDataCell(cells(grid), pos)) return NoDataCell("MSK", pos, language);
  if (!IsMskCode(text)) return RefusedCellText(kMsgNotCode, text, language);
  m_grids[Index(grid)][pos.row][pos.column] = ToUpperAscii(text);
  return Ok{};
}

std::optional<EditStart> MskTable::BeginCellEdit(MskGrid grid, CellPos pos, std::optional<char> typed) const {
  if (!IsDataCell(cells(grid), pos)) return std::nullopt;
  EditStart start;
  start.cell = pos;
  start.editor.kind = EditorKind::Text;
  start.editor.allowed = std::string(kHexDigits);
  start.editor.upperCase = true;
  start.editor.maxLength = MskOffset::kCodeLength;
  start.startText = cell(grid, pos);
  start.text = start.startText;
  if (typed) {
    const auto digit = start.editor.Accept(*typed);
    if (!digit) return std::nullopt;
    start.text = std::string(1, *digit);
    start.selectAll = false;
  }
  return start;
}

CellCommit MskTable::CommitCellEdit(MskGrid grid, CellPos pos, std::string_view text) {
  if (!IsDataCell(cells(grid), pos)) return {false, {}, {}};
  std::string& code = m_grids[Index(grid)][pos.row][pos.column];
  if (!IsMskCode(text)) return {false, code, {}};
  code = ToUpperAscii(text);
  return {true, code, {}};
}

CellPos MskTable::NextCell(MskGrid grid, CellPos pos) const {
  if (pos.row < static_cast<int>(cells(grid).size()) - 1) return {pos.row + 1, pos.column};
  return pos;
}

}  // namespace orvex
