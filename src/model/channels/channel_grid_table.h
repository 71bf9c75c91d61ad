#pragma once

#include "model/cell_editor.h"
#include "model/channels/channel_table.h"

namespace orvex {

// The channel table as the one editing grid asks it.  The table keeps the
// current cell itself (its clicks and keys correct the column, its commits
// move on), so the grid's current cell is handed to it and its own is where
// Enter leads.  The keys are the channel grid's: F2 opens a cell as Enter
// does, Tab and the arrows leave an open editor, and Tab walks the cells
// round without leaving the grid.
class ChannelGridTable final : public CellTable {
 public:
  explicit ChannelGridTable(ChannelTable& table) : m_table(table) {}

  [[nodiscard]] int rowCount() const override { return kChannelGridRows; }
  [[nodiscard]] int columnCount() const override { return kChannelColumns; }
  [[nodiscard]] const std::string& Text(CellPos cell) const override { return m_table.Cell(cell.row, cell.column); }
  // "Channel 6".
  [[nodiscard]] std::string RowName(int row) const override;
  [[nodiscard]] bool IsGreyed(CellPos cell) const override { return m_table.IsGreyed(cell.row, cell.column); }
  [[nodiscard]] GridKeys keys() const override;

  std::optional<EditStart> BeginCellEdit(CellPos cell, std::optional<char> typed) override;
  CellCommit CommitCellEdit(CellPos cell, std::string_view text) override;
  // An Opt.Signal choice regreys the row at once.
  bool PickListItem(CellPos cell, std::string_view text) override;

  [[nodiscard]] bool EnterOpensEditor(CellPos) const override { return true; }
  [[nodiscard]] CellPos NextCellOnEnter(CellPos cell) const override { return cell; }
  [[nodiscard]] CellPos NextCellAfterCommit(CellPos) const override { return m_table.current(); }
  void CurrentCellMoved(CellPos cell) override { m_table.SetCurrent(cell); }
  [[nodiscard]] std::string RefusedKeyNote(CellPos cell, std::string_view typed) const override;

 private:
  ChannelTable& m_table;
};

}  // namespace orvex
