#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableView>

#include "core/memory_image.h"
#include "ui/memorymap/memory_map_model.h"

class QLabel;
class QPushButton;

namespace orvex {

// The in-cell byte editor: up to two hex digits; Enter commits and moves on,
// Escape restores, any key but a digit and Backspace is dropped.
class HexCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;
};

// The grid `msgMemory`: a digit or Enter opens the editor, a left click too;
// Enter in the editor moves right and from column F to column 0 of the next
// line (through line 1FF); scrolling cancels an open edit.
class MemoryGrid : public QTableView {
  Q_OBJECT

 public:
  explicit MemoryGrid(QWidget* parent = nullptr);

  // The open byte editor, or null.
  [[nodiscard]] QLineEdit* editor() const;
  // Opens the editor on the current cell; a digit replaces its text.
  void OpenEditor(QChar digit = QChar());
  // Commits an open edit into the cell and closes the editor.
  void CommitEdit();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  void CancelEdit();
};

// The address box `TxtAddr`: four hex digits, Escape restores the text it
// had on entry, Enter or leaving it jumps there.
class AddressBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit AddressBox(QWidget* parent = nullptr);
  [[nodiscard]] const QString& remembered() const { return m_remembered; }
  void Remember(const QString& text) { m_remembered = text; }

 signals:
  void committed();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString m_remembered;
};

// The memory map editor: every byte of the image in hex, edited on a working
// copy; OK writes all 8192 bytes, Cancel nothing.
class FrmMemoryMap : public QDialog {
  Q_OBJECT

 public:
  explicit FrmMemoryMap(RadioMemory& memory, QWidget* parent = nullptr);
  ~FrmMemoryMap() override;

  [[nodiscard]] MemoryGrid* grid() const { return m_grid; }
  [[nodiscard]] MemoryMapModel* model() const { return m_model; }
  [[nodiscard]] AddressBox* addressBox() const { return m_address; }
  [[nodiscard]] QLabel* valueBox() const { return m_value; }

  void accept() override;

 private:
  void ShowCurrent(const QModelIndex& index);
  void JumpToAddress();

  RadioMemory& m_memory;
  MemoryMapModel* m_model;
  MemoryGrid* m_grid;
  AddressBox* m_address;
  QLabel* m_value;
};

}  // namespace orvex
