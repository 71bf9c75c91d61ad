#pragma once

#include <vector>

#include "model/channels/channel_rows.h"
#include "model/channels/channel_table.h"
#include "model/channels/step_names.h"
#include "ui/main/editing_window.h"
#include "ui/main/prompter.h"

class QMenu;

namespace orvex {

class ChannelGrid;

// `frmChannel`, the Channel Information window: the 128 channels in one
// grid, edited in place.  Each committed cell is stored into the image at
// once, as one undoable step; the rows can be selected (by their channel
// numbers, Shift and Ctrl for ranges) and cut, copied, pasted, inserted,
// deleted, cleared, moved and sorted, from the Edit menu, the grid's
// context menu and its keys.
class FrmChannel : public EditingWindow {
  Q_OBJECT

 public:
  explicit FrmChannel(const EditingContext& context, QWidget* parent = nullptr);

  // Caption, headings and every row from the image, in the current language.
  void RefreshChannel();
  // Commits an open edit, then stores every row (an empty Rx clears the
  // channel).
  void SaveData();

  void Refresh() override { RefreshChannel(); }
  void Store() override { SaveData(); }
  void CommitEdit() override;
  void RefreshValues() override;
  [[nodiscard]] bool refreshesOnOpen() const override { return false; }
  [[nodiscard]] UserClose userClose() const override { return UserClose::StoreAndDestroy; }
  [[nodiscard]] bool storesOnProgramClose() const override { return true; }

  [[nodiscard]] ChannelGrid* grid() const { return m_grid; }
  [[nodiscard]] const ChannelTable& table() const { return m_table; }

  // --- rows (frm_channel_rows.cpp) ---
  // The channels selected, ascending; the current row when none is.
  [[nodiscard]] std::vector<int> SelectedRows() const;
  // Selects whole rows and makes the first current.
  void SelectRows(const std::vector<int>& rows);
  void CopyRows();
  void CutRows();
  void PasteRows();
  void InsertRows();
  void DeleteRows();
  void ClearRows();
  void MoveRows(int by);
  // One selected row sorts every channel.
  void SortRows(ChannelSortKey key);
  // A row command by its tool key ("miCopy"); nothing while a cell is
  // being edited.
  void RunRowCommand(const QString& key);

  // --- cells (frm_channel_rows.cpp) ---
  // Cells, not whole channels (by their numbers), are selected: Cut, Copy,
  // Paste and Clear then work on the cells' texts.
  [[nodiscard]] bool CellsSelected() const;
  // The selected cells; the current cell when none is.
  [[nodiscard]] std::vector<CellPos> SelectedCells() const;
  void SelectCells(const std::vector<CellPos>& cells);
  void CopyCells();
  // Clears what the selected cells can be cleared to, as one step; `cut`
  // copies them first.  With no cell that can be cleared nothing happens
  // and the status bar says why.
  void ClearCells(bool cut);
  void PasteCells(const QString& text);

  // --- Go to and Find (frm_channel_rows.cpp) ---
  // Makes the channel's row current, in the current column.
  void GoToChannel(int channel);
  // Ask for a channel number / a text, then go; F3 finds the text again.
  void AskGoTo();
  void AskFind();
  void FindNext();
  // The context menu at a point of the grid's viewport.
  void ShowRowMenu(const QPoint& at);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A committed cell's row is stored as one step named by the cell.
  void StoreCommittedCell(CellPos cell);
  // Stores one row's texts; false when the store refused them.
  bool StoreRow(Image& image, int row) const;
  // Runs a row operation as one step and shows its rows selected, or tells
  // why it was refused.
  void RowEdit(const StepName& name, const std::function<orvex::RowEdit(Image&)>& edit);
  void TellRefusal(RowRefusal refusal, int at);
  // A paste onto `rows` that asks first when one of them is programmed:
  // Replace, Insert (room made before them) or Cancel.
  void PasteOnto(const std::vector<int>& rows, const std::function<orvex::RowEdit(Image&)>& paste);
  // Stores the rows a cell edit changed as one step and says its notes.
  void StoreCells(RowStep step, const CellsEdit& edit, const QString& title);
  void InstallRowCommands();

  ChannelTable m_table;
  ChannelGrid* m_grid;
  QString m_findText;  // what Find looked for last
};

// The row commands by tool key, for the main window's registration.
void RunChannelRowCommand(const QString& key, CommandContext& frame);

}  // namespace orvex
