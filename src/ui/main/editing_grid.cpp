#include "ui/main/editing_grid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QValidator>

#include "ui/main/cell_keys.h"

namespace orvex {

namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// Keys that leave an open editor in a grid whose arrows do: Tab always, the
// arrows a text box or a list does not need for itself.
bool LeavesEditor(int key, bool text) {
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
      return text;  // along a list they are the list's own choice
    case Qt::Key_Left:
    case Qt::Key_Right:
      return !text;  // in a text box they move the cursor
    default:
      return false;
  }
}

}  // namespace

EditingGrid::EditingGrid(std::unique_ptr<CellTable> table, GridTableModel::Headings headings, const QString& textName,
                         const QStringList& listNames, QWidget* parent)
    : QTableView(parent), m_table(std::move(table)), m_model(new GridTableModel(*m_table, headings, this)) {
  setModel(m_model);
  setEditTriggers(NoEditTriggers);
  setSelectionMode(SingleSelection);
  setSelectionBehavior(SelectItems);
  setWordWrap(false);
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setHighlightSections(false);
  }
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

  m_corner = findChild<QAbstractButton*>();
  if (m_corner != nullptr) m_corner->installEventFilter(this);

  m_text = new QLineEdit(viewport());
  m_text->setObjectName(textName);
  m_text->setFrame(false);
  m_text->setAlignment(Qt::AlignCenter);
  m_text->setAttribute(Qt::WA_InputMethodEnabled, false);  // only ASCII reaches the validator
  FilterTyping(m_text);
  m_text->hide();
  m_text->installEventFilter(this);
  for (const QString& name : listNames) {
    auto* list = new QComboBox(viewport());
    list->setObjectName(name);
    list->hide();
    list->installEventFilter(this);
    connect(list, &QComboBox::currentIndexChanged, this, [this, list] {
      if (m_edit && list == openEditor()) ListPicked(list);
    });
    m_lists.push_back(list);
  }
}

EditingGrid::~EditingGrid() = default;

QComboBox* EditingGrid::listEditor(int index) const {
  return index >= 0 && index < static_cast<int>(m_lists.size()) ? m_lists[static_cast<std::size_t>(index)] : nullptr;
}

void EditingGrid::ReloadTexts() {
  if (m_edit) {
    m_edit.reset();
    CloseEditor();
  }
  m_model->Reload();
}

CellPos EditingGrid::currentCell() const {
  const QModelIndex index = currentIndex();
  return index.isValid() ? m_model->ToCell(index) : CellPos{};
}

void EditingGrid::SetCurrentCell(CellPos cell) {
  const QModelIndex index = m_model->ToIndex(cell);
  if (!index.isValid()) return;
  if (index != currentIndex()) setCurrentIndex(index);
  scrollTo(index);
}

QWidget* EditingGrid::openEditor() const {
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

void EditingGrid::OpenEditor(const std::optional<EditStart>& start) {
  if (!start) return;
  const CellEditor& editor = start->editor;
  if (editor.kind == EditorKind::List && listEditor(editor.list) == nullptr) return;
  if (m_edit) Commit(false);
  // A redirected column becomes the current cell before its editor opens.
  SetCurrentCell(start->cell);
  if (editor.kind == EditorKind::None) return;
  const QString text = FromStd(start->text);
  if (editor.kind == EditorKind::Text) {
    static_cast<CellTextValidator*>(const_cast<QValidator*>(m_text->validator()))->setFilter([editor](char c) {
      return editor.Accept(c);
    });
    m_text->setMaxLength(static_cast<int>(editor.maxLength));
    m_text->setText(text);
    if (start->selectAll)
      m_text->selectAll();
    else
      m_text->end(false);
  } else {
    QComboBox* list = listEditor(editor.list);
    const QSignalBlocker blocker(list);
    list->clear();
    for (const std::string& item : editor.items) list->addItem(FromStd(item));
    list->setCurrentIndex(list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
  }
  m_edit = Edit{start->cell, editor, start->startText};
  PlaceEditor();
  QWidget* open = openEditor();
  open->show();
  open->setFocus(Qt::OtherFocusReason);
}

void EditingGrid::PlaceEditor() {
  if (QWidget* editor = openEditor()) editor->setGeometry(visualRect(m_model->ToIndex(m_edit->cell)));
}

void EditingGrid::CloseEditor() {
  std::vector<QWidget*> editors(m_lists.begin(), m_lists.end());
  editors.push_back(m_text);
  for (QWidget* editor : editors) {
    if (editor->hasFocus()) setFocus(Qt::OtherFocusReason);
    if (auto* list = qobject_cast<QComboBox*>(editor)) list->hidePopup();
    editor->hide();
  }
}

void EditingGrid::Commit(bool advance, const std::optional<std::string>& text) {
  if (!m_edit) return;
  const Edit edit = *m_edit;
  std::string value;
  if (text) {
    value = *text;
  } else if (edit.editor.kind == EditorKind::Text) {
    value = m_text->text().toStdString();
  } else {
    const auto* list = static_cast<const QComboBox*>(openEditor());
    value = list->currentIndex() >= 0 ? list->currentText().toStdString() : edit.startText;
  }
  m_edit.reset();  // before the focus moves, so the focus loss commits nothing more
  const CellCommit commit = m_table->CommitCellEdit(edit.cell, value);
  CloseEditor();
  m_model->RowChanged(edit.cell.row);
  if (commit.accepted) emit committed(edit.cell);
  if (!commit.note.empty()) emit noted(FromStd(commit.note));
  if (advance)
    SetCurrentCell(m_table->NextCellAfterCommit(edit.cell));
  else if (currentIndex().isValid())
    m_table->CurrentCellMoved(currentCell());
}

void EditingGrid::CommitEdit() { Commit(false); }

void EditingGrid::Cancel() {
  if (!m_edit) return;
  if (m_edit->editor.kind == EditorKind::Text && m_table->keys().escapeKeepsText) {
    m_text->setText(FromStd(m_edit->startText));
    m_text->selectAll();
    return;
  }
  const Edit edit = *m_edit;
  m_edit.reset();
  // Nothing reached the table while editing but a list's pick, which the
  // starting item undoes.
  if (edit.editor.kind == EditorKind::List) m_table->PickListItem(edit.cell, edit.startText);
  CloseEditor();
  m_model->RowChanged(edit.cell.row);
}

void EditingGrid::ListPicked(QComboBox* list) {
  if (m_table->PickListItem(m_edit->cell, list->currentText().toStdString())) m_model->RowChanged(m_edit->cell.row);
}

void EditingGrid::NoteRefusedKey(CellPos cell, const QKeyEvent* event) {
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return;
  const std::string note = m_table->RefusedKeyNote(cell, event->text().toStdString());
  if (!note.empty()) emit noted(FromStd(note));
}

bool EditingGrid::EditorKey(QKeyEvent* event) {
  const GridKeys keys = m_table->keys();
  const bool text = m_edit->editor.kind == EditorKind::Text;
  if (text) NoteRefusedKey(m_edit->cell, event);
  if (IsEnterKey(event)) {
    Commit(true);
    return true;
  }
  if (event->key() == Qt::Key_Escape) {
    Cancel();
    return true;
  }
  if (!text && event->key() == Qt::Key_Backspace && keys.backspaceEmptiesList) {
    Commit(false, std::string());
    return true;
  }
  if (!keys.arrowsLeaveEditor || !LeavesEditor(event->key(), text)) return false;
  // Leaves the cell the way the grid's own key would, keeping the edit.
  Commit(false);
  QTableView::keyPressEvent(event);
  return true;
}

void EditingGrid::PaintCorner() {
  QStyleOptionHeader option;
  option.initFrom(m_corner);
  option.rect = m_corner->rect();
  option.text = m_model->cornerText();
  option.textAlignment = Qt::AlignCenter;
  option.position = QStyleOptionHeader::OnlyOneSection;
  QStylePainter painter(m_corner);
  painter.drawControl(QStyle::CE_Header, option);
}

bool EditingGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_corner && event->type() == QEvent::Paint) {
    PaintCorner();
    return true;
  }
  if (m_edit && watched == openEditor()) {
    if (event->type() == QEvent::KeyPress) return EditorKey(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::FocusOut && !IsPassingFocus(static_cast<QFocusEvent*>(event)->reason())) Commit(false);
  }
  return QTableView::eventFilter(watched, event);
}

void EditingGrid::keyPressEvent(QKeyEvent* event) {
  // A modifier on its own (also one an open editor passed on) waits for the
  // key it modifies.
  if (IsModifierKey(event)) return;
  if (m_edit) Commit(false);
  const bool valid = currentIndex().isValid();
  const CellPos cell = currentCell();
  if (valid) NoteRefusedKey(cell, event);
  if (IsEnterKey(event) || (event->key() == Qt::Key_F2 && m_table->keys().f2Opens)) {
    if (!valid) return;
    if (m_table->EnterOpensEditor(cell))
      OpenEditor(m_table->BeginCellEdit(cell, std::nullopt));
    else
      SetCurrentCell(m_table->NextCellOnEnter(cell));
    return;
  }
  if (const std::optional<char> typed = TypedChar(event)) {
    // Keys that open no editor are dropped, not used to search the grid.
    if (valid) OpenEditor(m_table->BeginCellEdit(cell, typed));
    return;
  }
  QTableView::keyPressEvent(event);
}

bool EditingGrid::focusNextPrevChild(bool next) {
  // Tab from the grid or its open editor walks the cells; where the table
  // says so it leaves the grid after the last one rather than wrapping round.
  // An open edit is committed by the focus leaving.
  if (m_table->keys().tabLeavesAtEnds &&
      TabLeavesGrid(currentIndex(), moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier), next))
    return QAbstractScrollArea::focusNextPrevChild(next);
  return QTableView::focusNextPrevChild(next);
}

void EditingGrid::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  if (m_edit) Commit(false);
  OpenEditor(m_table->BeginCellEdit(m_model->ToCell(index), std::nullopt));
}

void EditingGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (!current.isValid()) return;
  const CellPos cell = m_model->ToCell(current);
  if (m_edit && m_edit->cell != cell) Commit(false);
  m_table->CurrentCellMoved(cell);
}

void EditingGrid::scrollContentsBy(int dx, int dy) {
  if (m_edit) Commit(false);
  QTableView::scrollContentsBy(dx, dy);
}

void EditingGrid::updateGeometries() {
  QTableView::updateGeometries();
  PlaceEditor();
}

}  // namespace orvex
