#include "ui/channel/channel_grid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QValidator>

#include "ui/main/accessible_cells.h"
#include "ui/main/cell_keys.h"
#include "ui/main/twips.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// "Channel %1", the row of a cell as a screen reader speaks it.
constexpr int kChannelRowText = 1790;

}  // namespace

// --- model -------------------------------------------------------------------

ChannelGridModel::ChannelGridModel(const ChannelTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {}

int ChannelGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kChannelGridRows; }

int ChannelGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kChannelColumns; }

QVariant ChannelGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row(), column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return FromStd(m_table.Cell(row, column));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::BackgroundRole:
      if (m_table.IsGreyed(row, column)) return QGuiApplication::palette().color(QPalette::Button);
      return {};
    case Qt::ForegroundRole:
      if (m_table.IsGreyed(row, column)) return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
      return {};
    case Qt::AccessibleTextRole:
    case kCellNameRole: {
      const QString channel = UiText(kChannelRowText, m_table.language()).arg(FromStd(m_table.Cell(row, kColNumber)));
      return SpokenCellData(role, JoinSpoken({channel, FromStd(m_table.Cell(0, column))}),
                            FromStd(m_table.Cell(row, column)));
    }
    default:
      return {};
  }
}

QVariant ChannelGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  if (role != Qt::DisplayRole) return {};
  return orientation == Qt::Horizontal ? FromStd(m_table.Cell(0, section)) : FromStd(m_table.Cell(section, 0));
}

Qt::ItemFlags ChannelGridModel::flags(const QModelIndex& index) const {
  // Editing is the grid's own text box and lists, not the view's delegates.
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ChannelGridModel::Reload() {
  // Same shape every time: a reset would drop the view's hidden sections.
  emit headerDataChanged(Qt::Horizontal, 0, kChannelColumns - 1);
  emit headerDataChanged(Qt::Vertical, 0, kChannelGridRows - 1);
  emit dataChanged(index(0, 0), index(kChannelGridRows - 1, kChannelColumns - 1));
}

void ChannelGridModel::RowChanged(int row) {
  // Emptying Rx empties the whole row; an Opt.Signal choice regreys it.
  emit dataChanged(index(row, 0), index(row, kChannelColumns - 1));
}

// --- grid --------------------------------------------------------------------

ChannelGrid::ChannelGrid(ChannelTable& table, QWidget* parent)
    : QTableView(parent), m_table(table), m_model(new ChannelGridModel(table, this)) {
  setObjectName("ChannelGrid");
  setModel(m_model);
  setEditTriggers(NoEditTriggers);
  setSelectionMode(SingleSelection);
  setSelectionBehavior(SelectItems);
  setTabKeyNavigation(true);
  setWordWrap(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  verticalHeader()->setHighlightSections(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  setRowHidden(0, true);  // the headings are the horizontal header
  ApplyColumnWidths();

  // The corner above the channel numbers carries the "CH." heading.
  m_corner = findChild<QAbstractButton*>();
  if (m_corner != nullptr) m_corner->installEventFilter(this);

  m_text = new QLineEdit(viewport());
  m_text->setObjectName("TxtChannel");
  m_text->setFrame(false);
  m_text->setAlignment(Qt::AlignCenter);
  m_text->setAttribute(Qt::WA_InputMethodEnabled, false);  // only ASCII reaches the validator
  FilterTyping(m_text);
  m_text->hide();
  m_text->installEventFilter(this);
  for (int i = 0; i < 2; ++i) {
    auto* list = new QComboBox(viewport());
    list->setObjectName(QStringLiteral("CboChannel%1").arg(i));
    list->setMaxVisibleItems(16);
    list->hide();
    list->installEventFilter(this);
    connect(list, &QComboBox::currentIndexChanged, this, [this, list] {
      if (m_edit && list == openEditor()) ListPicked();
    });
    m_lists[i] = list;
  }
}

void ChannelGrid::ApplyColumnWidths() {
  for (int column = 0; column < kChannelColumns; ++column) {
    const int width = TwipsToPixelsX(*this, ChannelTable::ColumnWidth(column));
    if (column == kColNumber) {
      verticalHeader()->setFixedWidth(width);
      setColumnHidden(column, true);  // shown as the vertical header
    } else if (ChannelTable::IsHiddenColumn(column)) {
      setColumnHidden(column, true);
    } else {
      setColumnWidth(column, width);
    }
  }
}

void ChannelGrid::Reload() {
  if (m_edit) {
    m_edit.reset();
    CloseEditor();
  }
  m_model->Reload();
  ShowCurrent();
}

void ChannelGrid::ShowCurrent() {
  const CellPos current = m_table.current();
  const QModelIndex index = m_model->index(current.row, current.column);
  if (currentIndex() != index) setCurrentIndex(index);
  scrollTo(index);
}

QWidget* ChannelGrid::openEditor() const {
  if (!m_edit) return nullptr;
  switch (m_edit->editor.kind) {
    case EditorKind::Text:
      return m_text;
    case EditorKind::List:
      return listEditor(m_edit->editor.list);
    case EditorKind::None:
      break;
  }
  return nullptr;
}

void ChannelGrid::OpenEditor(const EditStart& offer) {
  ShowCurrent();
  if (offer.editor.kind == EditorKind::None) return;
  const CellPos cell = m_table.current();
  const QString text = FromStd(offer.text);
  if (offer.editor.kind == EditorKind::Text) {
    static_cast<CellTextValidator*>(const_cast<QValidator*>(m_text->validator()))
        ->setFilter([editor = offer.editor](char c) { return editor.Accept(c); });
    m_text->setMaxLength(static_cast<int>(offer.editor.maxLength));
    m_text->setText(text);
    if (offer.selectAll)
      m_text->selectAll();
    else
      m_text->end(false);
  } else {
    QComboBox* list = listEditor(offer.editor.list);
    const QSignalBlocker blocker(list);
    list->clear();
    for (const std::string& item : offer.editor.items) list->addItem(FromStd(item));
    list->setCurrentIndex(list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
  }
  m_edit = Edit{cell, offer.editor, text};
  PlaceEditor();
  QWidget* editor = openEditor();
  editor->show();
  editor->setFocus(Qt::OtherFocusReason);
}

void ChannelGrid::PlaceEditor() {
  if (QWidget* editor = openEditor())
    editor->setGeometry(visualRect(m_model->index(m_edit->cell.row, m_edit->cell.column)));
}

void ChannelGrid::CloseEditor() {
  for (QWidget* editor :
       {static_cast<QWidget*>(m_text), static_cast<QWidget*>(m_lists[0]), static_cast<QWidget*>(m_lists[1])}) {
    if (editor->hasFocus()) setFocus(Qt::OtherFocusReason);
    if (auto* list = qobject_cast<QComboBox*>(editor)) list->hidePopup();
    editor->hide();
  }
}

void ChannelGrid::Commit(bool advance) {
  if (!m_edit) return;
  const Edit edit = *m_edit;
  QString text;
  if (edit.editor.kind == EditorKind::Text) {
    text = m_text->text();
  } else {
    const QComboBox* list = static_cast<QComboBox*>(openEditor());
    text = list->currentIndex() >= 0 ? list->currentText() : edit.startText;
  }
  m_edit.reset();  // before the focus moves, so the focus loss commits nothing more
  m_table.SetCurrent(edit.cell);
  const CellCommit commit = edit.editor.kind == EditorKind::Text ? m_table.CommitTextEditor(text.toStdString())
                                                                 : m_table.CommitListEditor(text.toStdString());
  CloseEditor();
  m_model->RowChanged(edit.cell.row);
  if (!commit.note.empty()) emit noted(FromStd(commit.note));
  if (advance) {
    ShowCurrent();
  } else if (const QModelIndex index = currentIndex(); index.isValid()) {
    m_table.SetCurrent({index.row(), index.column()});
  }
}

void ChannelGrid::CommitEdit() { Commit(false); }

void ChannelGrid::Cancel() {
  if (!m_edit) return;
  const Edit edit = *m_edit;
  m_edit.reset();
  if (edit.editor.kind == EditorKind::List) {
    // An Opt.Signal pick has already regreyed the row; put it back.
    m_table.SetCurrent(edit.cell);
    m_table.PickListItem(edit.startText.toStdString());
  }
  CloseEditor();
  m_model->RowChanged(edit.cell.row);
}

void ChannelGrid::ListPicked() {
  const auto* list = static_cast<const QComboBox*>(openEditor());
  m_table.SetCurrent(m_edit->cell);
  m_table.PickListItem(list->currentText().toStdString());
  m_model->RowChanged(m_edit->cell.row);
}

void ChannelGrid::NoteRefusedKey(int column, const QKeyEvent* event) {
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return;
  const std::string note = m_table.RefusedKeyNote(column, event->text().toStdString());
  if (!note.empty()) emit noted(FromStd(note));
}

bool ChannelGrid::EditorKey(QKeyEvent* event) {
  const bool text = m_edit->editor.kind == EditorKind::Text;
  if (text) NoteRefusedKey(m_edit->cell.column, event);
  if (IsEnterKey(event)) {
    Commit(true);
    return true;
  }
  switch (event->key()) {
    case Qt::Key_Escape:
      Cancel();
      return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      break;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (!text) return false;  // the list's own choice
      break;
    case Qt::Key_Left:
    case Qt::Key_Right:
      if (text) return false;  // the cursor in the text
      break;
    default:
      return false;
  }
  // Leaves the cell the way the grid's own key would, keeping the edit.
  Commit(false);
  QTableView::keyPressEvent(event);
  return true;
}

bool ChannelGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_corner && event->type() == QEvent::Paint) {
    QWidget* corner = m_corner;
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.text = FromStd(m_table.Cell(0, kColNumber));
    option.textAlignment = Qt::AlignCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    QStylePainter painter(corner);
    painter.drawControl(QStyle::CE_Header, option);
    return true;
  }
  if (m_edit && watched == openEditor()) {
    if (event->type() == QEvent::KeyPress) return EditorKey(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::FocusOut && !IsPassingFocus(static_cast<QFocusEvent*>(event)->reason())) {
      Commit(false);
    }
  }
  return QTableView::eventFilter(watched, event);
}

void ChannelGrid::keyPressEvent(QKeyEvent* event) {
  // A modifier on its own (also one an open editor passed on) waits for the
  // key it modifies.
  if (IsModifierKey(event)) return;
  if (m_edit) Commit(false);
  std::optional<char> key;
  if (IsEnterKey(event) || event->key() == Qt::Key_F2)
    key = kKeyEnter;
  else
    key = TypedChar(event);
  NoteRefusedKey(m_table.CorrectedColumn(m_table.current().row, m_table.current().column), event);
  if (!key) {
    QTableView::keyPressEvent(event);
    return;
  }
  OpenEditor(m_table.GridKey(*key));
}

void ChannelGrid::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  if (m_edit) Commit(false);
  OpenEditor(m_table.Click(index.row(), index.column()));
}

void ChannelGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (!current.isValid()) return;
  if (m_edit && (m_edit->cell.row != current.row() || m_edit->cell.column != current.column())) Commit(false);
  m_table.SetCurrent({current.row(), current.column()});
}

void ChannelGrid::scrollContentsBy(int dx, int dy) {
  if (m_edit) Commit(false);
  QTableView::scrollContentsBy(dx, dy);
}

void ChannelGrid::updateGeometries() {
  QTableView::updateGeometries();
  PlaceEditor();
}

}  // namespace orvex
