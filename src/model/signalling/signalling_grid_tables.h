#pragma once

// The grids of the 2-Tone, 5-Tone and MSK tables, each as the one editing
// grid asks it.

#include <memory>
#include <span>

#include "model/cell_editor.h"
#include "model/signalling/five_tone_table.h"
#include "model/signalling/msk_table.h"
#include "model/signalling/signalling_cells.h"
#include "model/signalling/two_tone_table.h"

namespace orvex {

// What every signalling grid shares: its texts are a CellGrid of its table,
// fixed in shape, and its columns share the grid's width in fixed parts.
class SignallingGridTable : public CellTable {
 public:
  [[nodiscard]] int rowCount() const override { return static_cast<int>(cells().size()); }
  [[nodiscard]] int columnCount() const override { return cells().empty() ? 0 : static_cast<int>(cells()[0].size()); }
  [[nodiscard]] const std::string& Text(CellPos cell) const override { return CellText(cells(), cell); }
  // Relative widths of the label column and the data columns.
  [[nodiscard]] virtual std::span<const int> columnWidths() const = 0;

 protected:
  [[nodiscard]] virtual const CellGrid& cells() const = 0;
};

// A grid of a table with two lists (2-Tone, MSK), the one named `which`;
// `onEnter` and `afterCommit` are where the table's Enter leads.
template <class Table, class Which>
class ListGridTable final : public SignallingGridTable {
 public:
  using NextCell = CellPos (Table::*)(Which, CellPos) const;

  ListGridTable(Table& table, Which which, NextCell onEnter, NextCell afterCommit)
      : m_table(table), m_which(which), m_onEnter(onEnter), m_afterCommit(afterCommit) {}

  std::optional<EditStart> BeginCellEdit(CellPos cell, std::optional<char> typed) override {
    return m_table.BeginCellEdit(m_which, cell, typed);
  }
  CellCommit CommitCellEdit(CellPos cell, std::string_view text) override {
    return m_table.CommitCellEdit(m_which, cell, text);
  }
  [[nodiscard]] CellPos NextCellOnEnter(CellPos cell) const override { return (m_table.*m_onEnter)(m_which, cell); }
  [[nodiscard]] CellPos NextCellAfterCommit(CellPos cell) const override {
    return (m_table.*m_afterCommit)(m_which, cell);
  }
  [[nodiscard]] std::span<const int> columnWidths() const override { return Table::kColumnWidths; }

 protected:
  [[nodiscard]] const CellGrid& cells() const override { return m_table.cells(m_which); }

 private:
  Table& m_table;
  Which m_which;
  NextCell m_onEnter;
  NextCell m_afterCommit;
};

// The Call List or the Decode list of the 2-Tone window.
inline std::unique_ptr<SignallingGridTable> MakeTwoToneGridTable(TwoToneTable& table, TwoToneGrid which) {
  return std::make_unique<ListGridTable<TwoToneTable, TwoToneGrid>>(table, which, &TwoToneTable::NextCellOnEnter,
                                                                    &TwoToneTable::NextCellAfterCommit);
}

// The Call List or the ID Code list of the MSK window: Enter moves one row
// down.
inline std::unique_ptr<SignallingGridTable> MakeMskGridTable(MskTable& table, MskGrid which) {
  return std::make_unique<ListGridTable<MskTable, MskGrid>>(table, which, &MskTable::NextCell, &MskTable::NextCell);
}

// The decode list of the 5-Tone window: Enter opens the Standard list, and
// Escape in the ID editor puts its starting text back without closing it.
class FiveToneGridTable final : public SignallingGridTable {
 public:
  explicit FiveToneGridTable(FiveToneTable& table) : m_table(table) {}

  [[nodiscard]] GridKeys keys() const override {
    GridKeys keys;
    keys.escapeKeepsText = true;
    return keys;
  }
  std::optional<EditStart> BeginCellEdit(CellPos cell, std::optional<char> typed) override {
    return m_table.BeginCellEdit(cell, typed);
  }
  CellCommit CommitCellEdit(CellPos cell, std::string_view text) override { return m_table.CommitCellEdit(cell, text); }
  [[nodiscard]] bool EnterOpensEditor(CellPos cell) const override { return m_table.EnterOpensEditor(cell); }
  [[nodiscard]] CellPos NextCellOnEnter(CellPos cell) const override { return m_table.NextCell(cell); }
  [[nodiscard]] CellPos NextCellAfterCommit(CellPos cell) const override { return m_table.NextCell(cell); }
  [[nodiscard]] std::span<const int> columnWidths() const override { return FiveToneTable::kColumnWidths; }

 protected:
  [[nodiscard]] const CellGrid& cells() const override { return m_table.cells(); }

 private:
  FiveToneTable& m_table;
};

}  // namespace orvex
