#include "ui/main/work_area.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLayout>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>

namespace orvex {

namespace {

// The windows Cascade and Tile arrange: shown and not minimised.
QList<QMdiSubWindow*> ArrangedWindows(QMdiArea* area) {
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* window : area->subWindowList(QMdiArea::CreationOrder)) {
    if (!window->isVisible() || window->isMinimized()) continue;
    if (window->isMaximized()) window->showNormal();
    windows << window;
  }
  return windows;
}

// A window never smaller than its contents need: a smaller one would cut
// controls off.  The work area scrolls instead.
QSize Usable(const QMdiSubWindow* window, QSize size) {
  return size.expandedTo(window->minimumSizeHint()).expandedTo(window->minimumSize());
}

}  // namespace

WorkArea::WorkArea(QWidget* parent) : QMdiArea(parent) {
  setObjectName("MDIClient");
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void WorkArea::Adopt(QMdiSubWindow* window) {
  addSubWindow(window);
  window->installEventFilter(this);  // its hiding may leave an empty work area
}

bool WorkArea::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && qobject_cast<QMdiSubWindow*>(watched) != nullptr)
    QTimer::singleShot(0, this, &WorkArea::ClearEmptyScrollRange);
  return QMdiArea::eventFilter(watched, event);
}

void WorkArea::Cascade() {
  const QList<QMdiSubWindow*> windows = ArrangedWindows(this);
  const QRect area = viewport()->rect();
  // Each window one title bar lower and further right, at its own size as
  // far as the area allows.
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    const QPoint at(i * step, i * step);
    const QSize room(std::max(area.width() - at.x(), 0), std::max(area.height() - at.y(), 0));
    window->setGeometry(QRect(at, Usable(window, window->size().boundedTo(room))));
    window->raise();
  }
  if (!windows.isEmpty()) setActiveSubWindow(windows.last());
}

void WorkArea::Tile(Qt::Orientation orientation) {
  const QList<QMdiSubWindow*> windows = ArrangedWindows(this);
  if (windows.isEmpty()) return;
  const QRect area = viewport()->rect();
  const int count = static_cast<int>(windows.size());
  int offset = 0;
  for (QMdiSubWindow* window : windows) {
    if (orientation == Qt::Vertical) {  // one above another, full width
      const QSize size = Usable(window, QSize(area.width(), area.height() / count));
      window->setGeometry(0, offset, size.width(), size.height());
      offset += size.height();
    } else {  // side by side, full height
      const QSize size = Usable(window, QSize(area.width() / count, area.height()));
      window->setGeometry(offset, 0, size.width(), size.height());
      offset += size.width();
    }
  }
}

void WorkArea::ArrangeIcons() {
  const QRect area = viewport()->rect();
  int x = 0;
  for (QMdiSubWindow* window : subWindowList(QMdiArea::CreationOrder)) {
    if (!window->isVisible() || !window->isMinimized()) continue;
    window->move(x, area.height() - window->height());
    x += window->width();
  }
}

void WorkArea::FillWindowMenu(QMenu* menu) {
  // The entries after the last separator are the window list of the last
  // opening.
  for (QAction* action : menu->actions()) {
    if (action->property("windowEntry").toBool()) {
      menu->removeAction(action);
      action->deleteLater();
    }
  }
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* window : subWindowList(QMdiArea::CreationOrder))
    if (window->isVisible()) windows << window;
  if (windows.isEmpty()) return;
  const auto addEntry = [menu](QAction* action) {
    action->setProperty("windowEntry", true);
    menu->addAction(action);
  };
  addEntry(new QAction(menu));
  menu->actions().last()->setSeparator(true);
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    const QString title = window->windowTitle();
    auto* action = new QAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : title, menu);
    action->setCheckable(true);
    action->setChecked(window == activeSubWindow());
    connect(action, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(window)] {
      if (window.isNull()) return;
      if (window->isMinimized()) window->showNormal();
      setActiveSubWindow(window);
    });
    addEntry(action);
  }
}

void WorkArea::PlaceShownWindows() {
  if (m_placedWindows) return;
  m_placedWindows = true;
  if (QLayout* layout = window()->layout()) layout->activate();
  for (QMdiSubWindow* window : subWindowList())
    if (window->isVisible()) KeepInView(window);
}

void WorkArea::ClearEmptyScrollRange() {
  // The work area keeps the scroll range of the last window it scrolled to
  // after that window is closed; with nothing shown there is nothing to
  // scroll to.
  for (QMdiSubWindow* window : subWindowList())
    if (window->isVisible()) return;
  horizontalScrollBar()->setRange(0, 0);
  verticalScrollBar()->setRange(0, 0);
}

void WorkArea::KeepInView(QMdiSubWindow* window) {
  QWidget* main = this->window();
  if (!main->isVisible()) return;  // placed when the main window is first shown
  // Captions set before showing (another language's are often longer) grow
  // the window only once its layouts run; measure it as it will stand.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  QSize room = viewport()->size();
  const QSize need = Usable(window, window->size());
  if ((need.width() > room.width() || need.height() > room.height()) && !main->isMaximized() && !main->isFullScreen()) {
    // Grow the main window by what is missing, as far as the screen allows.
    const QScreen* screen = main->screen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    const QSize extra = main->frameGeometry().size() - main->size();
    QSize grown =
        main->size() + QSize(std::max(0, need.width() - room.width()), std::max(0, need.height() - room.height()));
    if (available.isValid()) grown = grown.boundedTo(available.size() - extra);
    if (grown != main->size()) {
      main->resize(grown);
      if (available.isValid()) {
        // Keep the grown frame on the screen.
        QRect frame(main->frameGeometry().topLeft(), grown + extra);
        frame.moveRight(std::min(frame.right(), available.right()));
        frame.moveBottom(std::min(frame.bottom(), available.bottom()));
        frame.moveLeft(std::max(frame.left(), available.left()));
        frame.moveTop(std::max(frame.top(), available.top()));
        main->move(frame.topLeft());
      }
      // The work area takes its new size now, not at the next event.
      if (QLayout* layout = main->layout()) layout->activate();
      room = viewport()->size();
    }
  }
  // Still too large: as small as its contents allow; the area scrolls for
  // the rest.
  window->resize(Usable(window, need.boundedTo(room)));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  // A move can take away the scroll range of the work area, which then
  // scrolls back and shifts the window again: move until it stays.
  constexpr int kPlacings = 3;
  for (int i = 0; i < kPlacings; ++i) {
    room = viewport()->size();
    const QPoint inside(std::max(0, std::min(window->x(), room.width() - window->width())),
                        std::max(0, std::min(window->y(), room.height() - window->height())));
    if (inside == window->pos()) break;
    window->move(inside);
  }
}

}  // namespace orvex
