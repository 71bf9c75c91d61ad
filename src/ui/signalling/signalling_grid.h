#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/signalling/signalling_cells.h"

class QComboBox;
class QLineEdit;

namespace orvex {

// The cell texts of one signalling grid for a view.  Row 0 of the cell grid
// (headings) is the horizontal header and column 0 (row labels) the vertical
// header, so view index (r, c) is cell (r + 1, c + 1).
class SignallingGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `cells` belongs to a table that outlives the model; its shape never
  // changes, only its texts.
  explicit SignallingGridModel(const CellGrid& cells, QObject* parent = nullptr);

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role = Qt::DisplayRole) const override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The heading above the row labels.
  [[nodiscard]] QString cornerText() const;
  [[nodiscard]] static CellPos ToCell(const QModelIndex& index) { return {index.row() + 1, index.column() + 1}; }
  [[nodiscard]] QModelIndex ToIndex(CellPos cell) const { return index(cell.row - 1, cell.column - 1); }

  // The table's texts changed: every cell and heading, or one row.
  void Reload();
  void RowChanged(int cellRow);

 private:
  const CellGrid& m_cells;
};

// What a signalling table answers for its grid.  Every rule lives in the
// table; the grid only asks.
struct GridRules {
  // Opening an editor by click or Enter (no character) or by a typed key;
  // nothing when the cell or key opens none.
  std::function<std::optional<EditStart>(CellPos, std::optional<char>)> begin;
  std::function<CellCommit(CellPos, std::string_view)> commit;
  // Enter on the grid: where the current cell goes...
  std::function<CellPos(CellPos)> nextOnEnter;
  // ...unless this says Enter opens the cell's editor instead.
  std::function<bool(CellPos)> enterOpensEditor;
  // Enter in an editor, after the commit.
  std::function<CellPos(CellPos)> nextAfterCommit;
  // Relative widths of the label column and the data columns.
  std::vector<int> columnWidths;
  // Escape in the text editor puts the starting text back and leaves it open
  // (the 5-Tone ID editor) instead of closing it.
  bool escapeKeepsTextEditorOpen = false;
};

// A signalling grid: a fixed heading row and label column, every row shown
// (it never scrolls), and its in-cell editors laid over the current cell, a
// text box and, where the table offers lists, a drop-down list.  A typed key
// or a click opens an editor, Enter commits and moves on, losing the focus
// commits where it stands, Escape gives the cell back its starting text.
class SignallingGrid : public QTableView {
  Q_OBJECT

 public:
  // `textName` and `listName` are the editors' object names; no list editor
  // without `listName`.
  SignallingGrid(const CellGrid& cells, GridRules rules, const QString& textName, const QString& listName = {},
                 QWidget* parent = nullptr);

  // Headings and texts again from the table; an open editor is dropped.
  void Reload();
  // Commits an open editor where it stands.
  void CommitEdit();
  [[nodiscard]] bool isEditing() const { return m_edit.has_value(); }
  [[nodiscard]] CellPos currentCell() const;
  void SetCurrentCell(CellPos cell);
  [[nodiscard]] QLineEdit* textEditor() const { return m_text; }
  [[nodiscard]] QComboBox* listEditor() const { return m_list; }
  [[nodiscard]] SignallingGridModel* gridModel() const { return m_model; }

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override;

 signals:
  // A commit replaced what was typed.
  void noted(const QString& note);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void resizeEvent(QResizeEvent* event) override;
  void updateGeometries() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  struct Edit {
    CellPos cell;
    CellEditor editor;
    std::string startText;  // what Escape puts back
  };

  void FitHeight();
  void ApplyColumnWidths();
  void OpenEditor(const std::optional<EditStart>& start);
  void PlaceEditor();
  [[nodiscard]] QWidget* openEditor() const;
  // Hands `text`, or the open editor's text, to the table: the one place a
  // committed cell reaches it.  Enter then moves on.
  void Commit(bool advance, const std::optional<std::string>& text = {});
  void Cancel();
  void CloseEditor();
  bool EditorKey(QKeyEvent* event);
  void PaintCorner();

  GridRules m_rules;
  SignallingGridModel* m_model;
  QLineEdit* m_text;
  QComboBox* m_list = nullptr;
  QWidget* m_corner = nullptr;  // the view's corner button, painted with the label column's heading
  std::optional<Edit> m_edit;
};

}  // namespace orvex
