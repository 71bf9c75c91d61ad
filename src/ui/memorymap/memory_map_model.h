#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>

#include "core/edit_history.h"
#include "core/memory_image.h"

namespace orvex {

inline constexpr int kMapLines = static_cast<int>(kRowCount);          // 512 lines of
inline constexpr int kMapColumns = static_cast<int>(kRowSize);         // 16 bytes
inline constexpr int kLastAddress = static_cast<int>(kImageSize) - 1;  // 0x1FFF

// A byte as its cell text: two upper-case hexadecimal digits.
QString CellText(std::uint8_t value);

// What an edited cell holds once committed: one digit gets a leading "0",
// an empty text becomes "FF".
QString NormalizeCell(const QString& text);

// A cell's two characters back to a byte: a character above "9" counts as
// its code minus 55, any other as its code minus 48.
std::uint8_t CellByte(const QString& text);

// The address box text after editing: padded to four digits with leading
// zeros and clamped to "1FFF".
QString NormalizeAddress(const QString& text);

// "081" + "2": the line label and column heading of an address.
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
