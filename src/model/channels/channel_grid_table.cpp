#include "model/channels/channel_grid_table.h"

namespace orvex {

namespace {
// "Channel %1", the row of a cell as a screen reader speaks it.
constexpr int kTxtChannelRow = 1790;
}  // namespace

std::string ChannelGridTable::RowName(int row) const {
  return FormatText(orvex::Text(kTxtChannelRow, m_table.language()), {m_table.Cell(row, kColNumber)});
}

GridKeys ChannelGridTable::keys() const {
  GridKeys keys;
  keys.f2Opens = true;
  keys.arrowsLeaveEditor = true;
  keys.tabLeavesAtEnds = false;
  keys.backspaceEmptiesList = false;
  return keys;
}

std::optional<EditStart> ChannelGridTable::BeginCellEdit(CellPos cell, std::optional<char> typed) {
  EditStart start;
  if (typed) {
    m_table.SetCurrent(cell);
    start = m_table.GridKey(*typed);
  } else {
    start = m_table.Click(cell.row, cell.column);
  }
  // A key that opens nothing still corrects the current cell (to Rx on an
  // empty row).
  start.cell = m_table.current();
  return start;
}

CellCommit ChannelGridTable::CommitCellEdit(CellPos cell, std::string_view text) {
  m_table.SetCurrent(cell);
  return ChannelTable::TextEditor(cell.column).kind == EditorKind::Text ? m_table.CommitTextEditor(text)
                                                                        : m_table.CommitListEditor(text);
}

bool ChannelGridTable::PickListItem(CellPos cell, std::string_view text) {
  m_table.SetCurrent(cell);
  m_table.PickListItem(text);
  return true;
}

std::string ChannelGridTable::RefusedKeyNote(CellPos cell, std::string_view typed) const {
  return m_table.RefusedKeyNote(m_table.CorrectedColumn(cell.row, cell.column), typed);
}

}  // namespace orvex
