#pragma once

#include <memory>

#include "model/signalling/signalling_grid_tables.h"
#include "ui/main/editing_grid.h"

namespace orvex {

// A signalling grid (2-Tone, 5-Tone, MSK): a fixed heading row and label
// column, every row shown (it never scrolls) and the columns sharing its
// width as the table says; a text box and, where the table offers lists, a
// drop-down list as its editors.  Tab leaves it after the last cell.
class SignallingGrid : public EditingGrid {
  Q_OBJECT

 public:
  // `textName` and `listName` are the editors' object names; no list editor
  // without `listName`.
  SignallingGrid(std::unique_ptr<SignallingGridTable> table, const QString& textName, const QString& listName = {},
                 QWidget* parent = nullptr);

  // Headings and texts again from the table; an open editor is dropped.
  void Reload();

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitHeight();
  void ApplyColumnWidths();

  std::span<const int> m_shares;  // relative widths of the label column and the data columns
};

}  // namespace orvex
