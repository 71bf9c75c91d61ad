#pragma once

#include <QAbstractTableModel>

#include "model/cell_editor.h"

namespace orvex {

// The texts of a cell table for a view.  The table's heading row and label
// column are the view's headers, so they stay put while the grid scrolls.
class GridTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Where the heading row and the label column are in the model: as row 0
  // and column 0, for the view to hide (a model index is then a cell
  // position), or left out.
  enum class Headings { Hidden, LeftOut };

  // `table` outlives the model; its shape never changes, only its texts.
  GridTableModel(const CellTable& table, Headings headings, QObject* parent = nullptr);

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role = Qt::DisplayRole) const override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The heading above the row labels.
  [[nodiscard]] QString cornerText() const;
  [[nodiscard]] CellPos ToCell(const QModelIndex& index) const {
    return {index.row() + m_first, index.column() + m_first};
  }
  [[nodiscard]] QModelIndex ToIndex(CellPos cell) const { return index(cell.row - m_first, cell.column - m_first); }

  // The table's texts changed: every cell and heading, or one row (a commit
  // may change the other cells of its row too).
  void Reload();
  void RowChanged(int cellRow);

 private:
  [[nodiscard]] QString TextOf(CellPos cell) const;

  const CellTable& m_table;
  int m_first;  // the cell position of model index (0, 0)
};

}  // namespace orvex
