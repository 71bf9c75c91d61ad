#include "ui/memorymap/memory_map_model.h"

#include "ui/main/accessible_cells.h"

namespace orvex {

QString CellText(std::uint8_t value) { return QString::fromStdString(MapCellText(value)); }

QString NormalizeCell(const QString& text) { return QString::fromStdString(MapNormalizeCell(text.toStdString())); }

std::uint8_t CellByte(const QString& text) { return MapCellByte(text.toStdString()); }

QString NormalizeAddress(const QString& text) {
  return QString::fromStdString(MapNormalizeAddress(text.toStdString()));
}

QString AddressText(int line, int column) { return QString::fromStdString(MapAddressText(line, column)); }

MemoryMapModel::MemoryMapModel(const Image& image, QObject* parent) : QAbstractTableModel(parent), m_image(image) {}

int MemoryMapModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kMapLines; }

int MemoryMapModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kMapColumns; }

QVariant MemoryMapModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole) {
    return CellText(m_image[Address(static_cast<std::size_t>(index.row()), static_cast<std::size_t>(index.column()))]);
  }
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  if (IsSpokenCellRole(role)) {
    // Each byte is spoken with its address, as the address box shows it.
    const QString address = QString::fromStdString(MapCellName(index.row(), index.column()));
    return SpokenCellData(role, address, data(index, Qt::DisplayRole).toString());
  }
  return {};
}

bool MemoryMapModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const std::size_t address = Address(static_cast<std::size_t>(index.row()), static_cast<std::size_t>(index.column()));
  const std::uint8_t byte = CellByte(value.toString());
  m_history.Change(m_image, {}, [address, byte](Image& image) { image[address] = byte; });
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

bool MemoryMapModel::Undo() {
  if (!m_history.Undo(m_image)) return false;
  ShowAll();
  return true;
}

bool MemoryMapModel::Redo() {
  if (!m_history.Redo(m_image)) return false;
  ShowAll();
  return true;
}

void MemoryMapModel::ShowAll() {
  emit dataChanged(index(0, 0), index(kMapLines - 1, kMapColumns - 1), {Qt::DisplayRole, Qt::EditRole});
}

Qt::ItemFlags MemoryMapModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant MemoryMapModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return QString::fromStdString(MapColumnHeading(section));
  return QString::fromStdString(MapLineLabel(section));
}

}  // namespace orvex
