#include "ui/memorymap/frm_memory_map.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/main/cell_keys.h"

namespace orvex {

namespace {
constexpr int kByteColumnWidth = 34;
constexpr int kLineHeight = 22;
constexpr int kVisibleLines = 16;

bool IsHexKey(const QKeyEvent* event) {
  const QString text = event->text();
  if (text.size() != 1) return false;
  const QChar c = text[0].toUpper();
  return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Hexadecimal digits, a..f typed as capitals.
std::optional<char> HexDigit(char c) {
  if (c >= 'a' && c <= 'f') return static_cast<char>(c - 'a' + 'A');
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) return c;
  return std::nullopt;
}
}  // namespace

// --- byte editor -----------------------------------------------------------

QWidget* HexCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
  auto* editor = new QLineEdit(parent);
  editor->setObjectName("txtMemory");
  editor->setFrame(false);
  editor->setAlignment(Qt::AlignCenter);
  editor->setMaxLength(2);
  FilterTyping(editor, HexDigit);
  return editor;
}

void HexCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* line = static_cast<QLineEdit*>(editor);
  line->setText(index.data(Qt::EditRole).toString());
  line->selectAll();
}

void HexCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  model->setData(index, NormalizeCell(static_cast<QLineEdit*>(editor)->text()), Qt::EditRole);
}

void HexCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const {
  editor->setGeometry(option.rect);
}

bool HexCellDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(object);
  if (editor != nullptr && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (IsEnterKey(key)) {
      emit commitData(editor);
      emit closeEditor(editor, QAbstractItemDelegate::EditNextItem);
      return true;
    }
    if (key->key() == Qt::Key_Escape) return QStyledItemDelegate::eventFilter(object, event);
    // Tab does not leave the byte; the text box takes digits and its editing
    // keys, and the grid drops whatever it leaves.
    return key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

// --- grid ------------------------------------------------------------------

MemoryGrid::MemoryGrid(QWidget* parent) : QTableView(parent) {
  setObjectName("msgMemory");
  setItemDelegate(new HexCellDelegate(this));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setTabKeyNavigation(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultSectionSize(kByteColumnWidth);
  horizontalHeader()->setHighlightSections(true);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kLineHeight);
  verticalHeader()->setMinimumWidth(2 * kByteColumnWidth);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &MemoryGrid::CancelEdit);
}

QLineEdit* MemoryGrid::editor() const {
  if (state() != QAbstractItemView::EditingState) return nullptr;
  return qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
}

void MemoryGrid::OpenEditor(QChar digit) {
  const QModelIndex index = currentIndex();
  if (!index.isValid()) return;
  edit(index);
  QLineEdit* line = editor();
  if (line == nullptr) return;
  if (!digit.isNull()) line->setText(QString(digit.toUpper()));
  line->setFocus();
}

void MemoryGrid::keyPressEvent(QKeyEvent* event) {
  // Keys the byte editor passed on (a modifier on its own, Up, Page Down...)
  // neither move nor close it.
  if (state() == QAbstractItemView::EditingState) return;
  {
    if (IsEnterKey(event)) {
      OpenEditor();
      return;
    }
    if (IsHexKey(event) && event->modifiers().testFlag(Qt::ControlModifier) == false) {
      OpenEditor(event->text()[0]);
      return;
    }
  }
  QTableView::keyPressEvent(event);
}

void MemoryGrid::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index == currentIndex() && state() != QAbstractItemView::EditingState) OpenEditor();
  }
}

void MemoryGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  if (hint != QAbstractItemDelegate::EditNextItem) {
    QTableView::closeEditor(editor, hint);
    return;
  }
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  const QModelIndex index = currentIndex();
  if (index.column() < kMapColumns - 1) {
    setCurrentIndex(model()->index(index.row(), index.column() + 1));
  } else if (index.row() < kMapLines - 1) {
    setCurrentIndex(model()->index(index.row() + 1, 0));
  }
}

void MemoryGrid::CommitEdit() {
  if (QLineEdit* line = editor()) {
    commitData(line);
    QTableView::closeEditor(line, QAbstractItemDelegate::NoHint);
  }
}

void MemoryGrid::CancelEdit() {
  if (QLineEdit* line = editor()) QTableView::closeEditor(line, QAbstractItemDelegate::RevertModelCache);
}

// --- address box -----------------------------------------------------------

AddressBox::AddressBox(QWidget* parent) : QLineEdit(parent) {
  setObjectName("TxtAddr");
  setMaxLength(4);
  FilterTyping(this, HexDigit);
  SelectAllOnEntry(this);
  setAlignment(Qt::AlignCenter);
}

void AddressBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  m_remembered = text();
}

void AddressBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  emit committed();
}

void AddressBox::keyPressEvent(QKeyEvent* event) {
  if (IsEnterKey(event)) {
    emit committed();
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    setText(m_remembered);
    selectAll();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

// --- dialog ----------------------------------------------------------------

FrmMemoryMap::FrmMemoryMap(RadioMemory& memory, QWidget* parent)
    : QDialog(parent),
      m_memory(memory),
      m_model(new MemoryMapModel(memory.image(), this)),
      m_grid(new MemoryGrid(this)),
      m_address(new AddressBox(this)),
      m_value(new QLabel(this)) {
  setObjectName("frmMemoryMap");
  setWindowTitle(QStringLiteral("Memory Map"));
  m_grid->setModel(m_model);
  m_value->setObjectName("LblValue");
  m_value->setMinimumWidth(48);
  m_value->setFrameShape(QFrame::StyledPanel);
  m_value->setAlignment(Qt::AlignCenter);
  m_address->setFixedWidth(64);
  // The address box and the decimal value beside it have no caption.
  m_address->setAccessibleName(QStringLiteral("Address"));
  m_value->setAccessibleName(QStringLiteral("Value"));

  const int width = 2 * kByteColumnWidth + kMapColumns * kByteColumnWidth +
                    m_grid->verticalScrollBar()->sizeHint().width() + 2 * m_grid->frameWidth();
  const int height =
      m_grid->horizontalHeader()->sizeHint().height() + kVisibleLines * kLineHeight + 2 * m_grid->frameWidth();
  m_grid->setFixedSize(width, height);

  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setObjectName("cmdOK");
  ok->setAutoDefault(false);
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  cancel->setObjectName("cmdCancel");
  cancel->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &FrmMemoryMap::accept);
  connect(cancel, &QPushButton::clicked, this, &FrmMemoryMap::reject);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(m_address);
  bottom->addWidget(new QLabel(QStringLiteral("="), this));
  bottom->addWidget(m_value);
  bottom->addStretch();
  bottom->addWidget(ok);
  bottom->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_grid);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { ShowCurrent(current); });
  connect(m_address, &AddressBox::committed, this, &FrmMemoryMap::JumpToAddress);
  m_grid->setCurrentIndex(m_model->index(0, 0));
  m_grid->setFocus();

  // Byte edits undone and redone inside the map; an open byte editor keeps
  // Ctrl+Z for its own text.
  const auto addKeys = [this](QKeySequence::StandardKey keys, auto step) {
    auto* action = new QAction(this);
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, [this, step] {
      if (m_grid->editor() == nullptr) step(*m_model);
    });
    addAction(action);
  };
  addKeys(QKeySequence::Undo, [](MemoryMapModel& model) { model.Undo(); });
  addKeys(QKeySequence::Redo, [](MemoryMapModel& model) { model.Redo(); });
}

// The address box loses the focus while the dialog is torn down; that must
// not reach a half-destroyed dialog.
FrmMemoryMap::~FrmMemoryMap() { m_address->disconnect(this); }

void FrmMemoryMap::ShowCurrent(const QModelIndex& index) {
  if (!index.isValid()) return;
  m_address->setText(AddressText(index.row(), index.column()));
  m_value->setText(QString::number(CellByte(index.data(Qt::EditRole).toString())));
}

void FrmMemoryMap::JumpToAddress() {
  const QString address = NormalizeAddress(m_address->text());
  m_address->setText(address);
  if (address == m_address->remembered()) return;
  m_address->Remember(address);
  const int value = address.toInt(nullptr, 16);
  const QModelIndex index = m_model->index(value / kMapColumns, value % kMapColumns);
  m_grid->setCurrentIndex(index);
  m_grid->scrollTo(index, QAbstractItemView::PositionAtTop);
  m_value->setText(index.data(Qt::EditRole).toString());
  m_grid->OpenEditor();
}

void FrmMemoryMap::accept() {
  m_grid->CommitEdit();
  // Every byte is written back, changed or not.
  m_memory.image() = m_model->image();
  QDialog::accept();
}

}  // namespace orvex
