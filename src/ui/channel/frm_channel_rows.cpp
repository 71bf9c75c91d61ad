// The channel window's row commands: selection, clipboard, the operations
// of the channel model as undoable steps, the context menu and the keys.
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <set>

#include "model/channels/channel_import_messages.h"
#include "model/channels/step_names.h"
#include "ui/channel/channel_commands.h"
#include "ui/channel/channel_grid.h"
#include "ui/channel/frm_channel.h"
#include "ui/main/report_dialog.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {

constexpr int kRowsNotPasted = 10124, kNoChannels = 10125;
constexpr int kTxtReplace = 1820, kTxtInsert = 1821, kTxtGoTo = 1822, kTxtChannelNumber = 1823, kTxtFind = 1824,
              kTxtFindWhat = 1825, kTxtPaste = 1830, kNothingToClear = 10255, kNotFound = 10256,
              kValuesNotTaken = 10257;

// The row commands, their keys on the grid (the Edit menu shows the same
// keys from the layout) and their order in the context menu ("" a
// separator).
struct RowCommand {
  const char* key;
  QKeySequence::StandardKey standard;
  const char* keys;
};
constexpr RowCommand kRowCommands[] = {
    {"miCut", QKeySequence::Cut, ""},
    {"miCopy", QKeySequence::Copy, ""},
    {"miPaste", QKeySequence::Paste, ""},
    {"", QKeySequence::UnknownKey, ""},
    {"miInsertChannel", QKeySequence::UnknownKey, "Ins"},
    {"miDeleteChannels", QKeySequence::UnknownKey, "Ctrl+Del"},
    {"miClearChannels", QKeySequence::UnknownKey, "Del"},
    {"", QKeySequence::UnknownKey, ""},
    {"miMoveUp", QKeySequence::UnknownKey, "Alt+Up"},
    {"miMoveDown", QKeySequence::UnknownKey, "Alt+Down"},
    {"", QKeySequence::UnknownKey, ""},
    {"miSortRx", QKeySequence::UnknownKey, ""},
    {"miSortName", QKeySequence::UnknownKey, ""},
};
// Go to and Find: Edit menu only.
constexpr RowCommand kFindCommands[] = {
    {"miGoTo", QKeySequence::UnknownKey, "Ctrl+G"},
    {"miFind", QKeySequence::UnknownKey, "Ctrl+F"},
    {"miFindNext", QKeySequence::UnknownKey, "F3"},
};

QString ClipMime() { return QString::fromLatin1(kChannelClipMime.data(), qsizetype(kChannelClipMime.size())); }

}  // namespace

void FrmChannel::InstallRowCommands() {
  m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_grid->installEventFilter(this);
  m_grid->viewport()->installEventFilter(this);
  m_grid->verticalHeader()->installEventFilter(this);
  // The keys act on the grid itself only: in an open cell editor Ctrl+C and
  // Ctrl+V copy and paste text, and Alt+Down opens a list.
  const auto install = [this](const RowCommand& command) {
    auto* action = new QAction(m_grid);
    action->setObjectName(QStringLiteral("grid_") + QLatin1String(command.key));
    action->setShortcuts(command.standard != QKeySequence::UnknownKey
                             ? QKeySequence::keyBindings(command.standard)
                             : QList<QKeySequence>{QKeySequence(QString::fromLatin1(command.keys))});
    action->setShortcutContext(Qt::WidgetShortcut);
    const QString key = QString::fromLatin1(command.key);
    connect(action, &QAction::triggered, this, [this, key] {
      // Through the main window when there is one, so its Edit menu and
      // title follow.
      if (WindowContext* main = frame())
        main->Dispatch(key);
      else
        RunRowCommand(key);
    });
    m_grid->addAction(action);
  };
  for (const RowCommand& command : kRowCommands)
    if (*command.key != '\0') install(command);
  for (const RowCommand& command : kFindCommands) install(command);
}

void FrmChannel::RunRowCommand(const QString& key) {
  // Go to and Find leave an open edit committed.
  static const std::map<QString, std::function<void(FrmChannel&)>> kFind = {
      {"miGoTo", [](FrmChannel& w) { w.AskGoTo(); }},
      {"miFind", [](FrmChannel& w) { w.AskFind(); }},
      {"miFindNext", [](FrmChannel& w) { w.FindNext(); }},
  };
  if (const auto it = kFind.find(key); it != kFind.end()) {
    m_grid->CommitEdit();
    it->second(*this);
    return;
  }
  // Keys on a cell being edited belong to the editor.
  if (m_grid->isEditing()) return;
  // With cells selected the clipboard commands work on their texts.
  static const std::map<QString, std::function<void(FrmChannel&)>> kRun = {
      {"miCut", [](FrmChannel& w) { w.CellsSelected() ? w.ClearCells(true) : w.CutRows(); }},
      {"miCopy", [](FrmChannel& w) { w.CellsSelected() ? w.CopyCells() : w.CopyRows(); }},
      {"miPaste", [](FrmChannel& w) { w.PasteRows(); }},
      {"miInsertChannel", [](FrmChannel& w) { w.InsertRows(); }},
      {"miDeleteChannels", [](FrmChannel& w) { w.DeleteRows(); }},
      {"miClearChannels", [](FrmChannel& w) { w.CellsSelected() ? w.ClearCells(false) : w.ClearRows(); }},
      {"miMoveUp", [](FrmChannel& w) { w.MoveRows(-1); }},
      {"miMoveDown", [](FrmChannel& w) { w.MoveRows(1); }},
      {"miSortRx", [](FrmChannel& w) { w.SortRows(ChannelSortKey::RxFrequency); }},
      {"miSortName", [](FrmChannel& w) { w.SortRows(ChannelSortKey::Name); }},
  };
  if (const auto it = kRun.find(key); it != kRun.end()) it->second(*this);
}

std::vector<int> FrmChannel::SelectedRows() const {
  std::set<int> rows;
  for (const QModelIndex& index : m_grid->selectionModel()->selectedIndexes())
    if (IsChannelNumber(index.row())) rows.insert(index.row());
  if (rows.empty() && IsChannelNumber(m_table.current().row)) rows.insert(m_table.current().row);
  return {rows.begin(), rows.end()};
}

void FrmChannel::SelectRows(const std::vector<int>& rows) {
  if (rows.empty()) return;
  QItemSelection selection;
  const int last = kChannelColumns - 1;
  for (int row : rows) selection.select(m_grid->gridModel()->index(row, 1), m_grid->gridModel()->index(row, last));
  const QModelIndex current = m_grid->gridModel()->index(rows.front(), std::max(m_table.current().column, 1));
  m_grid->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
  m_grid->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  m_table.SetCurrent({rows.front(), current.column()});
  m_grid->scrollTo(current);
}

void FrmChannel::RowEdit(const StepName& name, const std::function<orvex::RowEdit(Image&)>& edit) {
  m_grid->CommitEdit();
  orvex::RowEdit result;
  Edit(name, [&](Image& image) { result = AllOrNothing(image, edit); });
  if (!result.done()) {
    const std::vector<int> rows = SelectedRows();
    TellRefusal(result.refusal, rows.empty() ? 1 : rows.front());
    return;
  }
  RefreshValues();
  SelectRows(result.rows);
}

void FrmChannel::TellRefusal(RowRefusal refusal, int at) {
  const std::string message = RowRefusalText(refusal, at, language());
  if (!message.empty()) prompter().tell(this, QMessageBox::Information, kProgramTitle, QString::fromStdString(message));
}

void FrmChannel::CopyRows() {
  m_grid->CommitEdit();
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  const Image& image = memory().image();
  auto* data = new QMimeData;
  const std::string clip = EncodeChannelClip(CopyChannels(image, rows));
  data->setData(ClipMime(), QByteArray(clip.data(), qsizetype(clip.size())));
  data->setText(QString::fromStdString(CopiedChannelsCsv(image, rows)));
  QGuiApplication::clipboard()->setMimeData(data);
}

void FrmChannel::CutRows() {
  CopyRows();
  const std::vector<int> rows = SelectedRows();
  RowEdit(ChannelRowsStep(RowStep::Cut, rows), [&](Image& image) { return ClearChannels(image, rows); });
}

void FrmChannel::PasteRows() {
  m_grid->CommitEdit();
  const std::vector<int> selected = SelectedRows();
  if (selected.empty()) return;
  const int at = selected.front();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data != nullptr && data->hasFormat(ClipMime())) {
    const QByteArray bytes = data->data(ClipMime());
    if (const auto channels = DecodeChannelClip(std::string_view(bytes.constData(), std::size_t(bytes.size())))) {
      std::vector<int> rows;
      for (int i = 0; i < static_cast<int>(channels->size()); ++i) rows.push_back(at + i);
      PasteOnto(rows, [&](Image& image) { return PasteChannels(image, at, *channels); });
      return;
    }
  }
  if (data == nullptr || !data->hasText() || data->text().trimmed().isEmpty()) {
    prompter().tell(this, QMessageBox::Information, kProgramTitle, UiText(kNoChannels, language()));
    return;
  }
  const std::string text = data->text().toStdString();
  // Loose values go into the selected cells; rows under a header line are
  // channels wherever they are pasted.
  if (CellsSelected() && !IsChannelCsvText(text)) {
    PasteCells(data->text());
    return;
  }
  // Text from a spreadsheet or an editor: the CSV import's rules.
  CsvPaste pasted = PasteChannelsCsv(memory().image(), at, text, language());
  if (pasted.refusal != RowRefusal::None) {
    TellRefusal(pasted.refusal, at);
    return;
  }
  if (!pasted.rows.empty()) {
    PasteOnto(pasted.rows, [&](Image& image) {
      // Again onto the image as it is now: Insert may have made room.
      pasted = PasteChannelsCsv(image, at, text, language());
      image = pasted.image;
      return orvex::RowEdit{pasted.refusal, pasted.rows};
    });
  }
  if (!pasted.report.skipped.empty() || !pasted.report.adjustments.empty()) {
    ShowReport(prompter(), this, UiText(kTxtPaste, language()),
               QString::fromStdString(ImportReportText(pasted.report, language())), language());
  } else if (!pasted.problems.empty()) {
    prompter().tell(
        this, QMessageBox::Warning, kProgramTitle,
        UiText(kRowsNotPasted, language()) + QStringLiteral("\n\n") + ErrorList(pasted.problems, language()));
  }
}

void FrmChannel::PasteOnto(const std::vector<int>& rows, const std::function<orvex::RowEdit(Image&)>& paste) {
  bool insert = false;
  // A paste that does not fit is refused without a question.
  if (const std::string question = ReplaceChannelsQuestion(memory().image(), rows, language()); !question.empty()) {
    const QString text = QString::fromStdString(question);
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kProgramTitle), text, QMessageBox::Cancel, this);
    box.setObjectName("dlgPasteReplace");
    QPushButton* replace = box.addButton(UiText(kTxtReplace, language()), QMessageBox::AcceptRole);
    QPushButton* insertButton = box.addButton(UiText(kTxtInsert, language()), QMessageBox::ActionRole);
    replace->setObjectName("cmdReplace");
    insertButton->setObjectName("cmdInsert");
    box.setDefaultButton(QMessageBox::Cancel);
    prompter().exec(box);
    if (box.clickedButton() != replace && box.clickedButton() != insertButton) return;
    insert = box.clickedButton() == insertButton;
  }
  RowEdit(ChannelRowsStep(RowStep::Paste, rows), [&](Image& image) {
    if (insert) {
      if (const orvex::RowEdit room = MakeRoom(image, rows); !room.done()) return room;
    }
    return paste(image);
  });
}

// --- cells --------------------------------------------------------------------

std::vector<CellPos> FrmChannel::SelectedCells() const {
  std::vector<CellPos> cells;
  for (const QModelIndex& index : m_grid->selectionModel()->selectedIndexes())
    if (IsChannelNumber(index.row()) && !ChannelTable::IsHiddenColumn(index.column()) && index.column() != kColNumber)
      cells.push_back({index.row(), index.column()});
  if (cells.empty() && IsChannelNumber(m_table.current().row)) cells.push_back(m_table.current());
  return cells;
}

bool FrmChannel::CellsSelected() const {
  int shown = 0;
  for (int column = 1; column < kChannelColumns; ++column) shown += ChannelTable::IsHiddenColumn(column) ? 0 : 1;
  std::map<int, int> perRow;
  for (const CellPos& cell : SelectedCells()) ++perRow[cell.row];
  return std::any_of(perRow.begin(), perRow.end(), [shown](const auto& row) { return row.second < shown; });
}

void FrmChannel::SelectCells(const std::vector<CellPos>& cells) {
  if (cells.empty()) return;
  QItemSelection selection;
  for (const CellPos& cell : cells) {
    const QModelIndex index = m_grid->gridModel()->index(cell.row, cell.column);
    selection.select(index, index);
  }
  m_grid->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void FrmChannel::CopyCells() {
  const std::vector<CellPos> cells = SelectedCells();
  QGuiApplication::clipboard()->setText(QString::fromStdString(m_table.CellsText(cells)));
}

void FrmChannel::ClearCells(bool cut) {
  const std::vector<CellPos> cells = SelectedCells();
  if (std::none_of(cells.begin(), cells.end(),
                   [this](const CellPos& cell) { return m_table.CanClearCell(cell.row, cell.column); })) {
    emit noted(UiText(kNothingToClear, language()));
    return;
  }
  if (cut) CopyCells();
  StoreCells(cut ? RowStep::Cut : RowStep::Clear, m_table.ClearCells(cells), QString());
}

void FrmChannel::PasteCells(const QString& text) {
  const std::vector<CellPos> cells = SelectedCells();
  StoreCells(RowStep::Paste, m_table.PasteCells(cells, text.toStdString()), UiText(kTxtPaste, language()));
}

void FrmChannel::StoreCells(RowStep step, const CellsEdit& edit, const QString& title) {
  const std::vector<CellPos> cells = SelectedCells();
  const CellPos current = m_table.current();
  if (!edit.rows.empty()) {
    Edit(ChannelRowsStep(step, edit.rows), [&](Image& image) {
      for (int row : edit.rows) StoreRow(image, row);
    });
  }
  // The texts as stored (or, for rows the store refused, as held).
  RefreshValues();
  m_table.SetCurrent(current);
  m_grid->selectionModel()->setCurrentIndex(m_grid->gridModel()->index(current.row, current.column),
                                            QItemSelectionModel::NoUpdate);
  SelectCells(cells);
  if (edit.notes.size() == 1) {
    emit noted(QString::fromStdString(edit.notes.front()));
  } else if (!edit.notes.empty()) {
    QString report = UiText(kValuesNotTaken, language());
    for (const std::string& note : edit.notes) report += QLatin1Char('\n') + QString::fromStdString(note);
    ShowReport(prompter(), this, title, report, language());
  }
}

// --- Go to and Find -------------------------------------------------------------

void FrmChannel::GoToChannel(int channel) {
  if (!IsChannelNumber(channel)) return;
  const int column = std::max(m_table.current().column, int{kColRx});
  const QModelIndex index = m_grid->gridModel()->index(channel, column);
  m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  m_table.SetCurrent({channel, column});
  m_grid->scrollTo(index);
  m_grid->setFocus();
}

void FrmChannel::AskGoTo() {
  QInputDialog dialog(this);
  dialog.setObjectName("dlgGoTo");
  dialog.setWindowTitle(UiText(kTxtGoTo, language()));
  dialog.setLabelText(UiText(kTxtChannelNumber, language()));
  dialog.setInputMode(QInputDialog::IntInput);
  dialog.setIntRange(ChannelOffset::kFirst, ChannelOffset::kLast);
  dialog.setIntValue(std::max(m_table.current().row, int{ChannelOffset::kFirst}));
  if (prompter().exec(dialog) == QDialog::Accepted) GoToChannel(dialog.intValue());
}

void FrmChannel::AskFind() {
  QInputDialog dialog(this);
  dialog.setObjectName("dlgFind");
  dialog.setWindowTitle(UiText(kTxtFind, language()));
  dialog.setLabelText(UiText(kTxtFindWhat, language()));
  dialog.setTextValue(m_findText);
  if (prompter().exec(dialog) != QDialog::Accepted || dialog.textValue().trimmed().isEmpty()) return;
  m_findText = dialog.textValue().trimmed();
  FindNext();
}

void FrmChannel::FindNext() {
  if (m_findText.isEmpty()) {
    AskFind();
    return;
  }
  if (const int found = m_table.FindChannel(m_findText.toStdString(), m_table.current().row))
    GoToChannel(found);
  else
    emit noted(UiText(kNotFound, language()).arg(m_findText));
}

void FrmChannel::InsertRows() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  // As many blank channels as rows are selected, at the first of them.
  const int at = rows.front(), count = static_cast<int>(rows.size());
  std::vector<int> inserted;
  for (int i = 0; i < count; ++i) inserted.push_back(at + i);
  RowEdit(ChannelRowsStep(RowStep::Insert, inserted),
          [&](Image& image) { return InsertBlankChannels(image, at, count); });
}

void FrmChannel::DeleteRows() {
  const std::vector<int> rows = SelectedRows();
  RowEdit(ChannelRowsStep(RowStep::Delete, rows), [&](Image& image) { return DeleteChannels(image, rows); });
}

void FrmChannel::ClearRows() {
  const std::vector<int> rows = SelectedRows();
  RowEdit(ChannelRowsStep(RowStep::Clear, rows), [&](Image& image) { return ClearChannels(image, rows); });
}

void FrmChannel::MoveRows(int by) {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  RowEdit(ChannelRowsStep(by < 0 ? RowStep::MoveUp : RowStep::MoveDown, rows),
          [&](Image& image) { return MoveChannels(image, rows, by); });
  // A refusal names the edge it met.
}

void FrmChannel::SortRows(ChannelSortKey key) {
  std::vector<int> rows = SelectedRows();
  if (rows.size() < 2) {
    rows.clear();
    for (int n = ChannelOffset::kFirst; n <= ChannelOffset::kLast; ++n) rows.push_back(n);
  }
  RowEdit(ChannelRowsStep(key == ChannelSortKey::Name ? RowStep::SortByName : RowStep::SortByRx, rows),
          [&](Image& image) { return SortChannels(image, rows, key); });
}

void FrmChannel::ShowRowMenu(const QPoint& at) {
  const WindowContext* main = frame();
  if (main == nullptr) return;
  QMenu menu(this);
  menu.setObjectName("ChannelRowMenu");
  for (const RowCommand& command : kRowCommands) {
    if (*command.key == '\0') {
      menu.addSeparator();
    } else if (QAction* action = main->tool(QString::fromLatin1(command.key))) {
      menu.addAction(action);
    }
  }
  menu.exec(m_grid->viewport()->mapToGlobal(at));
}

bool FrmChannel::eventFilter(QObject* watched, QEvent* event) {
  QHeaderView* header = m_grid->verticalHeader();
  if (watched == m_grid && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool menuKey =
        key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
    if (menuKey && !m_grid->isEditing()) {
      const QModelIndex current = m_grid->currentIndex();
      ShowRowMenu(current.isValid() ? m_grid->visualRect(current).center() : QPoint());
      return true;
    }
  }
  QWidget* viewport = m_grid->viewport();
  if ((watched == viewport || watched == header) && event->type() == QEvent::ContextMenu) {
    const auto* context = static_cast<QContextMenuEvent*>(event);
    if (context->reason() == QContextMenuEvent::Mouse) {
      // A right click outside the selection selects the row clicked.
      const QPoint point = viewport->mapFromGlobal(static_cast<QWidget*>(watched)->mapToGlobal(context->pos()));
      const int row = m_grid->rowAt(point.y());
      const std::vector<int> rows = SelectedRows();
      if (IsChannelNumber(row) && std::find(rows.begin(), rows.end(), row) == rows.end()) SelectRows({row});
      m_grid->CommitEdit();
      ShowRowMenu(QPoint(std::max(point.x(), 0), point.y()));
    } else {
      const QModelIndex current = m_grid->currentIndex();
      ShowRowMenu(current.isValid() ? m_grid->visualRect(current).center() : QPoint());
    }
    return true;
  }
  return EditingWindow::eventFilter(watched, event);
}

}  // namespace orvex
