#include "ui/signalling/signalling_grid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QValidator>
#include <numeric>

#include "ui/main/accessible_cells.h"
#include "ui/main/cell_keys.h"

namespace orvex {

namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// Room a heading needs beside its text.
constexpr int kHeadingPadding = 16;

}  // namespace

// --- model -------------------------------------------------------------------

SignallingGridModel::SignallingGridModel(const CellGrid& cells, QObject* parent)
    : QAbstractTableModel(parent), m_cells(cells) {}

int SignallingGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || m_cells.empty() ? 0 : static_cast<int>(m_cells.size()) - 1;
}

int SignallingGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || m_cells.empty() || m_cells[0].empty() ? 0 : static_cast<int>(m_cells[0].size()) - 1;
}

QVariant SignallingGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return FromStd(CellText(m_cells, ToCell(index)));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  if (IsSpokenCellRole(role)) {
    // "No. 3, Tone A": the label column's heading with the row's label.
    const CellPos cell = ToCell(index);
    const QString row = cornerText() + QLatin1Char(' ') + FromStd(CellText(m_cells, {cell.row, 0}));
    const QString name = JoinSpoken({row, FromStd(CellText(m_cells, {0, cell.column}))});
    return SpokenCellData(role, name, FromStd(CellText(m_cells, cell)));
  }
  return {};
}

QVariant SignallingGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  if (role != Qt::DisplayRole) return {};
  return orientation == Qt::Horizontal ? FromStd(CellText(m_cells, {0, section + 1}))
                                       : FromStd(CellText(m_cells, {section + 1, 0}));
}

Qt::ItemFlags SignallingGridModel::flags(const QModelIndex& index) const {
  // Editing is the grid's own editors, not the view's delegates.
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString SignallingGridModel::cornerText() const { return FromStd(CellText(m_cells, {0, 0})); }

void SignallingGridModel::Reload() {
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void SignallingGridModel::RowChanged(int cellRow) {
  // A commit may change the other cells of its row too.
  emit dataChanged(index(cellRow - 1, 0), index(cellRow - 1, columnCount() - 1));
}

// --- grid --------------------------------------------------------------------

SignallingGrid::SignallingGrid(const CellGrid& cells, GridRules rules, const QString& textName, const QString& listName,
                               QWidget* parent)
    : QTableView(parent), m_rules(std::move(rules)), m_model(new SignallingGridModel(cells, this)) {
  setModel(m_model);
  setEditTriggers(NoEditTriggers);
  setSelectionMode(SingleSelection);
  setSelectionBehavior(SelectItems);
  setWordWrap(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
  }
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
  if (!listName.isEmpty()) {
    m_list = new QComboBox(viewport());
    m_list->setObjectName(listName);
    m_list->hide();
    m_list->installEventFilter(this);
  }
  Reload();
}

void SignallingGrid::Reload() {
  if (m_edit) {
    m_edit.reset();
    CloseEditor();
  }
  m_model->Reload();
  FitHeight();
  if (!currentIndex().isValid()) SetCurrentCell({1, 1});
  updateGeometry();
}

CellPos SignallingGrid::currentCell() const {
  const QModelIndex index = currentIndex();
  return index.isValid() ? SignallingGridModel::ToCell(index) : CellPos{};
}

void SignallingGrid::SetCurrentCell(CellPos cell) {
  const QModelIndex index = m_model->ToIndex(cell);
  if (index.isValid() && index != currentIndex()) setCurrentIndex(index);
}

void SignallingGrid::FitHeight() {
  // Every row is shown, so the grid never scrolls.
  const int rows = m_model->rowCount() * verticalHeader()->defaultSectionSize();
  setFixedHeight(2 * frameWidth() + horizontalHeader()->sizeHint().height() + rows);
}

QSize SignallingGrid::sizeHint() const {
  // Wide enough for every heading at the table's column proportions.
  const int sum = std::accumulate(m_rules.columnWidths.begin(), m_rules.columnWidths.end(), 0);
  const QFontMetrics metrics = horizontalHeader()->fontMetrics();
  int width = 0;
  for (std::size_t c = 0; c < m_rules.columnWidths.size() && sum > 0; ++c) {
    const QString heading =
        c == 0 ? m_model->cornerText() : m_model->headerData(static_cast<int>(c) - 1, Qt::Horizontal).toString();
    const int needed = metrics.horizontalAdvance(heading) + kHeadingPadding;
    const int share = std::max(1, m_rules.columnWidths[c]);
    width = std::max(width, (needed * sum + share - 1) / share);
  }
  return {width + 2 * frameWidth(), height()};
}

QSize SignallingGrid::minimumSizeHint() const { return sizeHint(); }

void SignallingGrid::ApplyColumnWidths() {
  const std::vector<int>& shares = m_rules.columnWidths;
  const int sum = std::accumulate(shares.begin(), shares.end(), 0);
  const int columns = m_model->columnCount();
  if (sum <= 0 || static_cast<int>(shares.size()) != columns + 1) return;
  const int total = width() - 2 * frameWidth();
  int used = total * shares[0] / sum;
  verticalHeader()->setFixedWidth(used);
  for (int c = 0; c < columns; ++c) {
    // The last column takes what rounding left over.
    const int w = c == columns - 1 ? total - used : total * shares[static_cast<std::size_t>(c) + 1] / sum;
    setColumnWidth(c, w);
    used += w;
  }
}

void SignallingGrid::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  ApplyColumnWidths();
}

void SignallingGrid::updateGeometries() {
  QTableView::updateGeometries();
  PlaceEditor();
}

QWidget* SignallingGrid::openEditor() const {
  if (!m_edit) return nullptr;
  if (m_edit->editor.kind == EditorKind::Text) return m_text;
  if (m_edit->editor.kind == EditorKind::List) return m_list;
  return nullptr;
}

void SignallingGrid::OpenEditor(const std::optional<EditStart>& start) {
  if (!start || start->editor.kind == EditorKind::None) return;
  if (start->editor.kind == EditorKind::List && m_list == nullptr) return;
  if (m_edit) Commit(false);
  // A redirected column becomes the current cell before its editor opens.
  SetCurrentCell(start->cell);
  const QString text = FromStd(start->text);
  if (start->editor.kind == EditorKind::Text) {
    static_cast<CellTextValidator*>(const_cast<QValidator*>(m_text->validator()))
        ->setFilter([editor = start->editor](char c) { return editor.Accept(c); });
    m_text->setMaxLength(static_cast<int>(start->editor.maxLength));
    m_text->setText(text);
    if (start->selectAll)
      m_text->selectAll();
    else
      m_text->end(false);
  } else {
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const std::string& item : start->editor.items) m_list->addItem(FromStd(item));
    m_list->setCurrentIndex(m_list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
  }
  m_edit = Edit{start->cell, start->editor, start->startText};
  PlaceEditor();
  QWidget* editor = openEditor();
  editor->show();
  editor->setFocus(Qt::OtherFocusReason);
}

void SignallingGrid::PlaceEditor() {
  if (QWidget* editor = openEditor()) editor->setGeometry(visualRect(m_model->ToIndex(m_edit->cell)));
}

void SignallingGrid::CloseEditor() {
  for (QWidget* editor : {static_cast<QWidget*>(m_text), static_cast<QWidget*>(m_list)}) {
    if (editor == nullptr) continue;
    if (editor->hasFocus()) setFocus(Qt::OtherFocusReason);
    if (auto* list = qobject_cast<QComboBox*>(editor)) list->hidePopup();
    editor->hide();
  }
}

void SignallingGrid::Commit(bool advance, const std::optional<std::string>& text) {
  if (!m_edit) return;
  const Edit edit = *m_edit;
  std::string value;
  if (text)
    value = *text;
  else if (edit.editor.kind == EditorKind::Text)
    value = m_text->text().toStdString();
  else
    value = m_list->currentIndex() >= 0 ? m_list->currentText().toStdString() : edit.startText;
  m_edit.reset();  // before the focus moves, so the focus loss commits nothing more
  const CellCommit commit = m_rules.commit(edit.cell, value);
  CloseEditor();
  m_model->RowChanged(edit.cell.row);
  if (!commit.note.empty()) emit noted(FromStd(commit.note));
  if (advance) SetCurrentCell(m_rules.nextAfterCommit(edit.cell));
}

void SignallingGrid::CommitEdit() { Commit(false); }

void SignallingGrid::Cancel() {
  if (!m_edit) return;
  if (m_edit->editor.kind == EditorKind::Text && m_rules.escapeKeepsTextEditorOpen) {
    m_text->setText(FromStd(m_edit->startText));
    m_text->selectAll();
    return;
  }
  // Nothing reached the table while editing, so the cell still holds its
  // starting text.
  const int row = m_edit->cell.row;
  m_edit.reset();
  CloseEditor();
  m_model->RowChanged(row);
}

bool SignallingGrid::EditorKey(QKeyEvent* event) {
  if (IsEnterKey(event)) {
    Commit(true);
    return true;
  }
  if (event->key() == Qt::Key_Escape) {
    Cancel();
    return true;
  }
  if (event->key() == Qt::Key_Backspace && m_edit->editor.kind == EditorKind::List) {
    // Backspace on a list empties the cell.
    Commit(false, std::string());
    return true;
  }
  return false;
}

void SignallingGrid::PaintCorner() {
  QStyleOptionHeader option;
  option.initFrom(m_corner);
  option.rect = m_corner->rect();
  option.text = m_model->cornerText();
  option.textAlignment = Qt::AlignCenter;
  option.position = QStyleOptionHeader::OnlyOneSection;
  QStylePainter painter(m_corner);
  painter.drawControl(QStyle::CE_Header, option);
}

bool SignallingGrid::eventFilter(QObject* watched, QEvent* event) {
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

void SignallingGrid::keyPressEvent(QKeyEvent* event) {
  // A modifier on its own (also one an open editor passed on) waits for the
  // key it modifies.
  if (IsModifierKey(event)) return;
  if (m_edit) Commit(false);
  const CellPos cell = currentCell();
  if (IsEnterKey(event)) {
    if (!currentIndex().isValid()) return;
    if (m_rules.enterOpensEditor && m_rules.enterOpensEditor(cell))
      OpenEditor(m_rules.begin(cell, std::nullopt));
    else
      SetCurrentCell(m_rules.nextOnEnter(cell));
    return;
  }
  if (const std::optional<char> typed = TypedChar(event)) {
    // Keys that open no editor are dropped, not used to search the grid.
    if (currentIndex().isValid()) OpenEditor(m_rules.begin(cell, typed));
    return;
  }
  QTableView::keyPressEvent(event);
}

bool SignallingGrid::focusNextPrevChild(bool next) {
  // Tab from the grid or its open editor walks the cells, and leaves the
  // grid after the last one; an open edit is committed by the focus leaving.
  if (TabLeavesGrid(currentIndex(), moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier), next))
    return QAbstractScrollArea::focusNextPrevChild(next);
  return QTableView::focusNextPrevChild(next);
}

void SignallingGrid::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  OpenEditor(m_rules.begin(SignallingGridModel::ToCell(index), std::nullopt));
}

void SignallingGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (m_edit && current.isValid() && SignallingGridModel::ToCell(current) != m_edit->cell) Commit(false);
}

}  // namespace orvex
