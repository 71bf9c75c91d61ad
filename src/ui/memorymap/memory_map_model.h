#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>

#include "core/edit_history.h"
#include "core/memory_image.h"
#include "model/memory_map_cells.h"

namespace orvex {

// The engine's cell rules (model/memory_map_cells.h) in the texts the
// table model shows.
QString CellText(std::uint8_t value);
QString NormalizeCell(const QString& text);
std::uint8_t CellByte(const QString& text);
QString NormalizeAddress(const QString& text);
QString AddressText(int line, int column);

// The memory map's working copy of the image as a 512 x 16 table of hex
// cells.  Nothing reaches RadioMemory until the dialog's OK.
class MemoryMapModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit MemoryMapModel(const Image& image, QObject* parent = nullptr);

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  [[nodiscard]] const Image& image() const { return m_image; }

  // Each byte edit of the working copy can be undone and redone while the
  // map is open (Ctrl+Z, Ctrl+Y); false when there is nothing to do.
  bool Undo();
  bool Redo();

 private:
  void ShowAll();

  Image m_image;
  EditHistory m_history;
};

}  // namespace orvex
