#include "ui/main/grid_table_model.h"

#include <QGuiApplication>
#include <QPalette>

#include "ui/main/accessible_cells.h"

namespace orvex {

GridTableModel::GridTableModel(const CellTable& table, Headings headings, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_first(headings == Headings::Hidden ? 0 : 1) {}

int GridTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, m_table.rowCount() - m_first);
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, m_table.columnCount() - m_first);
}

QString GridTableModel::TextOf(CellPos cell) const { return QString::fromStdString(m_table.Text(cell)); }

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const CellPos cell = ToCell(index);
  switch (role) {
    case Qt::DisplayRole:
      return TextOf(cell);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::BackgroundRole:
      if (m_table.IsGreyed(cell)) return QGuiApplication::palette().color(QPalette::Button);
      return {};
    case Qt::ForegroundRole:
      if (m_table.IsGreyed(cell)) return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
      return {};
    case Qt::AccessibleTextRole:
      return QString::fromStdString(m_table.SpokenText(cell));
    case kCellNameRole:
      return QString::fromStdString(m_table.CellName(cell));
    default:
      return {};
  }
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  if (role != Qt::DisplayRole) return {};
  return orientation == Qt::Horizontal ? TextOf({0, section + m_first}) : TextOf({section + m_first, 0});
}

Qt::ItemFlags GridTableModel::flags(const QModelIndex& index) const {
  // Editing is the grid's own editors, not the view's delegates.
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString GridTableModel::cornerText() const { return TextOf({0, 0}); }

void GridTableModel::Reload() {
  // Same shape every time: a reset would drop the view's hidden sections.
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void GridTableModel::RowChanged(int cellRow) {
  emit dataChanged(ToIndex({cellRow, m_first}), ToIndex({cellRow, columnCount() - 1 + m_first}));
}

}  // namespace orvex
