#include "ui/memorymap/memory_map_model.h"

#include "ui/main/accessible_cells.h"

namespace orvex {

namespace {
int DigitValue(QChar c) { return c > QLatin1Char('9') ? c.unicode() - 55 : c.unicode() - 48; }
}  // namespace

QString CellText(std::uint8_t value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper(); }

QString NormalizeCell(const QString& text) {
  if (text.isEmpty()) return QStringLiteral("FF");
  return text.rightJustified(2, QLatin1Char('0')).toUpper();
}

std::uint8_t CellByte(const QString& text) {
  const QString cell = NormalizeCell(text);
  return static_cast<std::uint8_t>((DigitValue(cell[0]) * 16 + DigitValue(cell[1])) & 0xFF);
}

QString NormalizeAddress(const QString& text) {
  QString padded = text.toUpper().rightJustified(4, QLatin1Char('0'));
  bool ok = false;
  const int value = padded.toInt(&ok, 16);
  if (!ok || value > kLastAddress) return QStringLiteral("1FFF");
  return padded;
}

QString AddressText(int line, int column) {
  return QStringLiteral("%1%2").arg(line, 3, 16, QLatin1Char('0')).arg(column, 1, 16).toUpper();
}

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
    const QString address = QStringLiteral("Address %1").arg(AddressText(index.row(), index.column()));
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
  if (orientation == Qt::Horizontal) return QString::number(section, 16).toUpper();
  return QStringLiteral("%1").arg(section, 3, 16, QLatin1Char('0')).toUpper();
}

}  // namespace orvex
