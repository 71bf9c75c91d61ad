#pragma once

#include <QStringList>
#include <QTableView>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/cell_editor.h"
#include "ui/main/grid_table_model.h"

class QComboBox;
class QLineEdit;

namespace orvex {

// A grid edited in place: a text box and drop-down lists laid over the
// current cell.  A typed key, Enter or a click opens the editor the table
// offers, Enter commits and moves to where the table says, Escape gives the
// cell back its starting text, and leaving the cell (another cell, the focus
// elsewhere, scrolling) commits it where it stands.  Every rule is the
// table's (CellTable); the grid only moves texts and focus.
class EditingGrid : public QTableView {
  Q_OBJECT

 public:
  // `textName` and `listNames` are the editors' object names; list i shows
  // the items of an editor with `list` i.
  EditingGrid(std::unique_ptr<CellTable> table, GridTableModel::Headings headings, const QString& textName,
              const QStringList& listNames, QWidget* parent = nullptr);
  ~EditingGrid() override;

  // Commits an open editor where it stands.
  void CommitEdit();
  [[nodiscard]] bool isEditing() const { return m_edit.has_value(); }
  [[nodiscard]] CellPos currentCell() const;
  // Makes a cell current and scrolls it into view.
  void SetCurrentCell(CellPos cell);
  [[nodiscard]] QLineEdit* textEditor() const { return m_text; }
  [[nodiscard]] QComboBox* listEditor(int index = 0) const;
  [[nodiscard]] GridTableModel* gridModel() const { return m_model; }

 signals:
  // A commit replaced what was typed ("Channel 6: 600 MHz is outside the
  // radio's bands; stored 400.02500").
  void noted(const QString& note);
  // The table took an edit of `cell`: its row is to be stored.
  void committed(CellPos cell);

 protected:
  [[nodiscard]] const CellTable& table() const { return *m_table; }
  // Texts and headings again from the table; an open editor is dropped (the
  // table's texts are new).
  void ReloadTexts();

  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void scrollContentsBy(int dx, int dy) override;
  void updateGeometries() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  struct Edit {
    CellPos cell;
    CellEditor editor;
    std::string startText;  // what Escape puts back
  };

  void OpenEditor(const std::optional<EditStart>& start);
  void PlaceEditor();
  [[nodiscard]] QWidget* openEditor() const;
  // Hands `text`, or the open editor's text, to the table: the one place a
  // committed cell reaches it.  Enter (`advance`) then moves on; otherwise
  // the current cell stays where the view has it.
  void Commit(bool advance, const std::optional<std::string>& text = {});
  void Cancel();
  void CloseEditor();
  bool EditorKey(QKeyEvent* event);
  // A key the text box of `cell` drops is said in the status bar.
  void NoteRefusedKey(CellPos cell, const QKeyEvent* event);
  void ListPicked(QComboBox* list);
  void PaintCorner();

  std::unique_ptr<CellTable> m_table;
  GridTableModel* m_model;
  QLineEdit* m_text;
  std::vector<QComboBox*> m_lists;
  QWidget* m_corner = nullptr;  // the view's corner button, painted with the label column's heading
  std::optional<Edit> m_edit;
};

}  // namespace orvex
