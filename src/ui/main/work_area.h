#pragma once

#include <QMdiArea>

class QMenu;

namespace orvex {

// The client area of the main window ("MDIClient"): where the editing
// windows live, how Cascade, Tile and Arrange Icons place them, the window
// list of the Window menu, and keeping a window just shown in view.
class WorkArea : public QMdiArea {
  Q_OBJECT

 public:
  explicit WorkArea(QWidget* parent = nullptr);

  // A window joins the area.
  void Adopt(QMdiSubWindow* window);
  void Cascade();
  // Vertical: one above another, full width; Horizontal: side by side.
  void Tile(Qt::Orientation orientation);
  // The minimised windows in a row along the bottom.
  void ArrangeIcons();
  // Lists the visible windows at the end of the Window menu.
  void FillWindowMenu(QMenu* menu);
  // Moves a window that has just been shown into the area, growing the main
  // window up to the screen when the area is too small.
  void KeepInView(QMdiSubWindow* window);
  // Once, when the main window is first shown: the windows opened at
  // start-up, before the area had its size.
  void PlaceShownWindows();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ClearEmptyScrollRange();

  bool m_placedWindows = false;
};

}  // namespace orvex
