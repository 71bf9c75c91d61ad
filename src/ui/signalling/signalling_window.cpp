#include "ui/signalling/signalling_window.h"

#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "ui/signalling/signalling_grid.h"

namespace orvex {

namespace {

class EnterToNext : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    auto* control = static_cast<QWidget*>(watched);
    QWidget* next = control->nextInFocusChain();
    // Skip what cannot take the focus (labels, disabled fields, hidden editors).
    while (next != control && !(next->isEnabled() && next->isVisible() && (next->focusPolicy() & Qt::TabFocus)))
      next = next->nextInFocusChain();
    next->setFocus(Qt::TabFocusReason);
    return true;
  }
};

// Grows a window to what its layout asks for whenever it is shown: the title
// bar is only known once the window lives in the client area, and the
// Chinese captions may need more room than the English.
class FitOnShow : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      auto* window = static_cast<QWidget*>(watched);
      window->resize(window->size().expandedTo(window->sizeHint()));
    }
    return false;
  }
};

}  // namespace

QGroupBox* MakeFrame(const QString& objectName, QWidget* content) {
  auto* frame = new QGroupBox;
  frame->setObjectName(objectName);
  auto* layout = new QVBoxLayout(frame);
  layout->addWidget(content);
  layout->addStretch();
  return frame;
}

void SignallingWindow::SaveData() {
  CommitEdit();
  StoreAsStep(WindowStep());
}

void SignallingWindow::StoreAsStep(const StepName& name, int mergeKey) {
  Edit(
      name, [this](Image& image) { StoreTable(image); }, mergeKey);
}

void SignallingWindow::AddGrid(SignallingGrid* grid, std::function<StepName(CellPos)> name) {
  m_grids.push_back(grid);
  connect(grid, &SignallingGrid::committed, this,
          [this, name = std::move(name)](CellPos cell) { StoreAsStep(name(cell)); });
  connect(grid, &SignallingGrid::noted, this, &EditingWindow::noted);
}

void SignallingWindow::CommitEdit() {
  for (SignallingGrid* grid : m_grids) grid->CommitEdit();
}

void SignallingWindow::InstallContent(QWidget* content) {
  setWindowIcon(QIcon(QStringLiteral(":/ui/orvex.png")));
  setWidget(content);
  resize(sizeHint());
  installEventFilter(new FitOnShow(this));
}

void EnterMovesFocus(QWidget* control) { control->installEventFilter(new EnterToNext(control)); }

}  // namespace orvex
