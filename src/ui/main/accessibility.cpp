#include "ui/main/accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <map>

#include "ui/main/accessible_cells.h"

namespace orvex {

namespace {

// Marks a name NameControls gave, so the next call can take it back.
constexpr char kGivenName[] = "orvexGivenName";
// The hidden label that names a drop-down in-cell editor (see NameEditor).
constexpr char kEditorLabel[] = "orvexCellEditorLabel";

QString Stripped(QString caption) {
  // "&Channel" and "Tx Power:" are spoken "Channel", "Tx Power".
  caption.remove(QLatin1Char('&'));
  caption = caption.trimmed();
  if (caption.endsWith(QLatin1Char(':')) || caption.endsWith(QChar(0xFF1A))) caption.chop(1);
  return caption.trimmed();
}

QLabel* TiedLabel(const QWidget* control) {
  // Qt looks among the siblings only, so that is where a tie counts.
  const QWidget* parent = control->parentWidget();
  if (parent == nullptr) return nullptr;
  for (QObject* child : parent->children()) {
    auto* label = qobject_cast<QLabel*>(child);
    if (label != nullptr && label->buddy() == control) return label;
  }
  return nullptr;
}

QString GroupTitle(const QWidget* control) {
  for (const QWidget* w = control->parentWidget(); w != nullptr && !w->isWindow(); w = w->parentWidget()) {
    if (const auto* group = qobject_cast<const QGroupBox*>(w); group != nullptr && !group->title().isEmpty())
      return Stripped(group->title());
  }
  return {};
}

// A spin box's text field is part of the spin box; Qt leaves it out of the
// tree unless it has been given a name of its own.
const QAbstractSpinBox* SpinBoxOf(const QWidget* widget) {
  return qobject_cast<const QLineEdit*>(widget) != nullptr
             ? qobject_cast<const QAbstractSpinBox*>(widget->parentWidget())
             : nullptr;
}

void GiveName(QWidget* widget, const QString& name) {
  widget->setAccessibleName(name);
  widget->setProperty(kGivenName, true);
}

}  // namespace

const QWidget* SpeakingWindow(const QWidget* control) {
  for (const QWidget* w = control->parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (w->isWindow() || qobject_cast<const QMdiSubWindow*>(w) != nullptr) return w;
  }
  return control->window();
}

bool TakesFocus(const QWidget* widget) {
  if (widget->focusPolicy() == Qt::NoFocus || widget->isWindow()) return false;
  // The in-cell editors are named when they open, spin box fields with their
  // spin box.
  return GridOfEditor(widget) == nullptr && SpinBoxOf(widget) == nullptr;
}

QString SpokenName(const QWidget* control) {
  if (!control->accessibleName().isEmpty()) return control->accessibleName();
  if (qobject_cast<const QMdiSubWindow*>(control) != nullptr) return Stripped(control->windowTitle());
  if (qobject_cast<const QAbstractItemView*>(control) != nullptr) return {};
  if (const auto* button = qobject_cast<const QAbstractButton*>(control);
      button != nullptr && !button->text().isEmpty())
    return Stripped(button->text());
  if (const QLabel* label = TiedLabel(control)) {
    return label->accessibleName().isEmpty() ? Stripped(label->text()) : label->accessibleName();
  }
  if (const auto* group = qobject_cast<const QGroupBox*>(control->parentWidget())) return Stripped(group->title());
  return {};
}

void NameControls(QWidget* window) {
  if (window == nullptr) return;
  const QList<QWidget*> widgets = window->findChildren<QWidget*>();
  for (QWidget* widget : widgets) {
    if (widget->property(kGivenName).toBool()) {
      widget->setAccessibleName(QString());
      widget->setProperty(kGivenName, QVariant());
    }
  }
  // Controls by window and spoken name.
  std::map<std::pair<const QWidget*, QString>, QList<QWidget*>> byName;
  for (QWidget* widget : widgets) {
    if (const QAbstractSpinBox* spin = SpinBoxOf(widget);
        spin != nullptr && widget->objectName() != "qt_spinbox_lineedit")
      GiveName(widget, SpokenName(spin));
    if (!TakesFocus(widget)) continue;
    QString name = SpokenName(widget);
    // Qt names a grid or list by its accessible name alone: it is spoken by
    // its group, else by the window it fills.
    if (name.isEmpty() && qobject_cast<QAbstractItemView*>(widget) != nullptr) {
      name = GroupTitle(widget);
      if (name.isEmpty()) name = Stripped(SpeakingWindow(widget)->windowTitle());
      if (!name.isEmpty()) GiveName(widget, name);
    }
    if (!name.isEmpty()) byName[{SpeakingWindow(widget), name.toCaseFolded()}] << widget;
  }
  for (const auto& [key, controls] : byName) {
    if (controls.size() < 2) continue;
    for (QWidget* control : controls) {
      const QString group = GroupTitle(control);
      const QString name = SpokenName(control);
      if (group.isEmpty() || group.compare(name, Qt::CaseInsensitive) == 0) continue;
      const QString qualified = JoinSpoken({group, name});
      GiveName(control, qualified);
      // A drop-down is spoken by its label on Linux.
      if (QLabel* label = TiedLabel(control)) GiveName(label, qualified);
    }
  }
}

void Announce(QWidget* source, const QString& text) {
  if (source == nullptr || text.isEmpty()) return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  QAccessibleAnnouncementEvent event(source, text);
  QAccessible::updateAccessibility(&event);
#else
  // Qt sends the description change itself.
  source->setAccessibleDescription(text);
#endif
}

void ReannounceFocus() {
  QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr || !QAccessible::isActive()) return;
  QAccessibleEvent event(focus, QAccessible::Focus);
  QAccessible::updateAccessibility(&event);
}

QAbstractItemView* GridOfEditor(const QWidget* widget) {
  if (widget == nullptr || widget->parentWidget() == nullptr) return nullptr;
  auto* view = qobject_cast<QAbstractItemView*>(widget->parentWidget()->parentWidget());
  return view != nullptr && view->viewport() == widget->parentWidget() ? view : nullptr;
}

// --- program-wide -------------------------------------------------------------------

ScreenReaderSupport::ScreenReaderSupport(QObject* parent) : QObject(parent) {
  qApp->installEventFilter(this);
  connect(qApp, &QApplication::focusChanged, this, &ScreenReaderSupport::FocusChanged);
}

ScreenReaderSupport::~ScreenReaderSupport() { qApp->removeEventFilter(this); }

bool ScreenReaderSupport::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow() || qobject_cast<QMdiSubWindow*>(widget) != nullptr) NameControls(widget);
  }
  return false;
}

namespace {

// Names an in-cell editor after the grid's current cell.  A drop-down speaks
// its value as its name on Linux, so a hidden label tied to it carries the
// cell's name too.
void NameEditor(QAbstractItemView* view, QWidget* editor) {
  const QModelIndex cell = view->currentIndex();
  if (!cell.isValid()) return;
  QString name = cell.data(kCellNameRole).toString();
  if (name.isEmpty()) {
    const QAbstractItemModel* model = view->model();
    name = JoinSpoken({model->headerData(cell.row(), Qt::Vertical).toString(),
                       model->headerData(cell.column(), Qt::Horizontal).toString()});
  }
  editor->setAccessibleName(name);
  if (auto* list = qobject_cast<QComboBox*>(editor)) {
    auto* label = view->viewport()->findChild<QLabel*>(QLatin1String(kEditorLabel), Qt::FindDirectChildrenOnly);
    if (label == nullptr) {
      label = new QLabel(view->viewport());
      label->setObjectName(QLatin1String(kEditorLabel));
      label->hide();
    }
    label->setAccessibleName(name);
    label->setBuddy(list);
  }
}

// A child window larger than the work area scrolls the area so the control
// that gets the focus is seen, as a scroll area does for a dialog's fields.
void ScrollIntoView(QWidget* focus) {
  if (focus == nullptr) return;
  auto* window = qobject_cast<QMdiSubWindow*>(const_cast<QWidget*>(SpeakingWindow(focus)));
  QMdiArea* area = window != nullptr ? window->mdiArea() : nullptr;
  if (area == nullptr) return;
  constexpr int kMargin = 8;
  const QRect seen = area->viewport()->rect();
  const QRect control(focus->mapTo(area->viewport(), QPoint(0, 0)), focus->size());
  const auto shift = [&](QScrollBar* bar, int low, int high, int limit) {
    if (low < 0)
      bar->setValue(bar->value() + low - kMargin);
    else if (high > limit)
      bar->setValue(bar->value() + std::min(low, high - limit + kMargin));
  };
  shift(area->horizontalScrollBar(), control.left(), control.right(), seen.width());
  shift(area->verticalScrollBar(), control.top(), control.bottom(), seen.height());
}

}  // namespace

void ScreenReaderSupport::FocusChanged(QWidget* old, QWidget* now) {
  ScrollIntoView(now);
  if (QAbstractItemView* view = GridOfEditor(now)) NameEditor(view, now);
  // An editor gave the focus back to its grid: once the commit is through,
  // tell what the cell holds now.
  QAbstractItemView* view = GridOfEditor(old);
  if (view == nullptr || now != view || old->accessibleName().isEmpty()) return;
  const QModelIndex cell = view->currentIndex();
  QPointer<QAbstractItemView> guard(view);
  const int row = cell.row(), column = cell.column();
  QTimer::singleShot(0, this, [this, guard, row, column] {
    if (guard) CellLeft(guard, row, column);
  });
}

void ScreenReaderSupport::CellLeft(QAbstractItemView* view, int row, int column) {
  const QModelIndex cell = view->model()->index(row, column);
  if (!cell.isValid()) return;
  Announce(view, cell.data(Qt::AccessibleTextRole).toString());
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(view);
  QAccessibleTableInterface* table = grid != nullptr ? grid->tableInterface() : nullptr;
  if (table == nullptr) return;
  if (QAccessibleInterface* item = table->cellAt(row, column)) {
    QAccessibleEvent event(view, QAccessible::NameChanged);
    event.setChild(grid->indexOfChild(item));
    QAccessible::updateAccessibility(&event);
  }
}

}  // namespace orvex
