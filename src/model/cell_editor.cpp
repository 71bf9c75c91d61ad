#include "model/cell_editor.h"

#include "core/spoken_text.h"

namespace orvex {

std::optional<char> CellEditor::Accept(char typed) const {
  if (kind != EditorKind::Text) return std::nullopt;
  if (upperCase && typed >= 'a' && typed <= 'z') typed = static_cast<char>(typed - 'a' + 'A');
  if (allowed.find(typed) == std::string::npos) return std::nullopt;
  return typed;
}

std::string CellEditor::Filter(std::string_view text, std::size_t room) const {
  std::string kept;
  for (const char c : text) {
    if (kept.size() >= room) break;
    if (const std::optional<char> accepted = Accept(c)) kept += *accepted;
  }
  return kept;
}

std::string CellTable::RowName(int row) const { return Text({0, 0}) + " " + Text({row, 0}); }

std::string CellTable::CellName(CellPos cell) const { return JoinSpoken({RowName(cell.row), Text({0, cell.column})}); }

std::string CellTable::SpokenText(CellPos cell) const { return JoinSpoken({CellName(cell), Text(cell)}); }

}  // namespace orvex
