#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <optional>

#include "model/channels/channel_table.h"

class QComboBox;
class QLineEdit;

namespace orvex {

// The channel table's cell texts for a view: 129 rows x 15 columns, the
// same numbering as the table.  Row 0 (headings) and column 0 (channel
// numbers) are the view's headers, so they stay put while the grid scrolls.
class ChannelGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ChannelGridModel(const ChannelTable& table, QObject* parent = nullptr);

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The table changed: every cell, or the cells of one row.
  void Reload();
  void RowChanged(int row);

 private:
  const ChannelTable& m_table;
};

// `ChannelGrid`: the grid of the channel window with its three in-cell
// editors laid over the current cell, the text box `TxtChannel` and the
// lists `CboChannel` 0 (tones) and 1 (every other list column).  Which
// editor opens, what it starts with, what a commit does and where the
// current cell goes next are the table's answers; the grid only moves texts
// and focus.
class ChannelGrid : public QTableView {
  Q_OBJECT

 public:
  explicit ChannelGrid(ChannelTable& table, QWidget* parent = nullptr);

  // Headings, texts and greying again from the table; an open editor is
  // dropped (the table's texts are new).
  void Reload();
  // Commits an open editor where it stands (scrolling, focus loss, storing).
  void CommitEdit();
  // Whether an editor is open, and which.
  [[nodiscard]] bool isEditing() const { return m_edit.has_value(); }
  [[nodiscard]] QLineEdit* textEditor() const { return m_text; }
  [[nodiscard]] QComboBox* listEditor(int index) const { return m_lists[index != 0 ? 1 : 0]; }
  [[nodiscard]] ChannelGridModel* gridModel() const { return m_model; }

 signals:
  // A commit replaced what was typed ("Channel 6: 600 MHz is outside the
  // radio's bands; stored 400.02500").
  void noted(const QString& note);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void scrollContentsBy(int dx, int dy) override;
  void updateGeometries() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Edit {
    CellPos cell;
    CellEditor editor;
    QString startText;  // what Escape puts back
  };

  void ApplyColumnWidths();
  void ShowCurrent();
  void OpenEditor(const EditStart& offer);
  void PlaceEditor();
  [[nodiscard]] QWidget* openEditor() const;
  // Hands the open editor's text to the table: the one place a committed
  // cell reaches the channels.  Enter then moves to the cell the table
  // names; otherwise the current cell stays where the view has it.
  void Commit(bool advance);
  void Cancel();
  void CloseEditor();
  bool EditorKey(QKeyEvent* event);
  // A key the text box of `column` drops is said in the status bar.
  void NoteRefusedKey(int column, const QKeyEvent* event);
  void ListPicked();

  ChannelTable& m_table;
  ChannelGridModel* m_model;
  QLineEdit* m_text;
  QComboBox* m_lists[2];
  QWidget* m_corner = nullptr;  // the view's corner button, painted with "CH."
  std::optional<Edit> m_edit;
};

}  // namespace orvex
