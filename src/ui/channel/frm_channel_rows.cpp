// The channel window's row commands: selection, clipboard, the operations
// of the channel model as undoable steps, the context menu and the keys.
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <set>

#include "model/step_names.h"
#include "ui/channel/channel_commands.h"
#include "ui/channel/channel_grid.h"
#include "ui/channel/frm_channel.h"
#include "ui/main/mdi_form1.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {

constexpr int kLastProgrammed = 10120, kDoesNotFit = 10121, kFirstCannotMoveUp = 10122, kLastCannotMoveDown = 10123,
              kRowsNotPasted = 10124, kNoChannels = 10125;

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

}  // namespace

void FrmChannel::InstallRowCommands() {
  m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_grid->installEventFilter(this);
  m_grid->viewport()->installEventFilter(this);
  m_grid->verticalHeader()->installEventFilter(this);
  // The keys act on the grid itself only: in an open cell editor Ctrl+C and
  // Ctrl+V copy and paste text, and Alt+Down opens a list.
  for (const RowCommand& command : kRowCommands) {
    if (*command.key == '\0') continue;
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
      if (auto* main = qobject_cast<MDIForm1*>(window()))
        main->Dispatch(key);
      else
        RunRowCommand(key);
    });
    m_grid->addAction(action);
  }
}

void FrmChannel::RunRowCommand(const QString& key) {
  // Keys on a cell being edited belong to the editor.
  if (m_grid->isEditing()) return;
  static const std::map<QString, std::function<void(FrmChannel&)>> kRun = {
      {"miCut", [](FrmChannel& w) { w.CutRows(); }},
      {"miCopy", [](FrmChannel& w) { w.CopyRows(); }},
      {"miPaste", [](FrmChannel& w) { w.PasteRows(); }},
      {"miInsertChannel", [](FrmChannel& w) { w.InsertRows(); }},
      {"miDeleteChannels", [](FrmChannel& w) { w.DeleteRows(); }},
      {"miClearChannels", [](FrmChannel& w) { w.ClearRows(); }},
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
  Edit(name, [&](Image& image) {
    Image changed = image;
    result = edit(changed);
    if (result.done()) image = changed;
  });
  if (!result.done()) {
    const std::vector<int> rows = SelectedRows();
    TellRefusal(result.refusal, rows.empty() ? 1 : rows.front());
    return;
  }
  RefreshValues();
  SelectRows(result.rows);
}

void FrmChannel::TellRefusal(RowRefusal refusal, int at) {
  int message = 0;
  switch (refusal) {
    case RowRefusal::LastChannelProgrammed:
      message = kLastProgrammed;
      break;
    case RowRefusal::DoesNotFit:
      message = kDoesNotFit;
      break;
    case RowRefusal::AtEdge:
      message = at == ChannelOffset::kFirst ? kFirstCannotMoveUp : kLastCannotMoveDown;
      break;
    case RowRefusal::NoRows:
    case RowRefusal::None:
      return;
  }
  prompter().tell(this, QMessageBox::Information, kProgramTitle, UiText(message, language()).arg(at));
}

void FrmChannel::CopyRows() {
  m_grid->CommitEdit();
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  const Image& image = memory().image();
  auto* data = new QMimeData;
  const std::string clip = EncodeChannelClip(CopyChannels(image, rows));
  data->setData(QString::fromLatin1(kChannelClipMime.data(), qsizetype(kChannelClipMime.size())),
                QByteArray(clip.data(), qsizetype(clip.size())));
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
  const QString mime = QString::fromLatin1(kChannelClipMime.data(), qsizetype(kChannelClipMime.size()));
  if (data != nullptr && data->hasFormat(mime)) {
    const QByteArray bytes = data->data(mime);
    if (const auto channels = DecodeChannelClip(std::string_view(bytes.constData(), std::size_t(bytes.size())))) {
      std::vector<int> rows;
      for (int i = 0; i < static_cast<int>(channels->size()); ++i) rows.push_back(at + i);
      RowEdit(ChannelRowsStep(RowStep::Paste, rows), [&](Image& image) { return PasteChannels(image, at, *channels); });
      return;
    }
  }
  if (data == nullptr || !data->hasText() || data->text().trimmed().isEmpty()) {
    prompter().tell(this, QMessageBox::Information, kProgramTitle, UiText(kNoChannels, language()));
    return;
  }
  // Text from a spreadsheet or an editor: the CSV import's rules.
  const CsvPaste pasted = PasteChannelsCsv(memory().image(), at, data->text().toStdString());
  if (pasted.refusal != RowRefusal::None) {
    TellRefusal(pasted.refusal, at);
    return;
  }
  if (!pasted.rows.empty()) {
    RowEdit(ChannelRowsStep(RowStep::Paste, pasted.rows), [&](Image& image) {
      image = pasted.image;
      return orvex::RowEdit{RowRefusal::None, pasted.rows};
    });
  }
  if (!pasted.problems.empty()) {
    prompter().tell(
        this, QMessageBox::Warning, kProgramTitle,
        UiText(kRowsNotPasted, language()) + QStringLiteral("\n\n") + ErrorList(pasted.problems, language()));
  }
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
  auto* main = qobject_cast<MDIForm1*>(window());
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
