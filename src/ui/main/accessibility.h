#pragma once

// What screen readers get beyond Qt's own accessibility: names for controls
// that would sound alike, in-cell editors named after their cell, and
// announcements of changes the eye sees.
//
// Qt names most controls itself: a button or check box by its caption, a
// field by the label tied to it with QLabel::setBuddy (a sibling label), a
// control alone in a group box by the group's title.  (On Linux a drop-down
// speaks its current value as its name, so only the tied label names it.)
// Windows therefore tie every label to its control and give controls
// without any caption an accessibleName; NameControls only sorts out
// repeats.

#include <QObject>
#include <QPointer>
#include <QString>

class QAbstractItemView;
class QWidget;

namespace orvex {

// The name a screen reader speaks for a control, as Qt gives it: its
// accessible name, else its caption, else the text of the label tied to it,
// else the title of the group box it sits in (a child window: its title; a
// grid or list: its accessible name only).  "" when it has none.
QString SpokenName(const QWidget* control);

// The window a control is spoken in: its dialog, or its child window inside
// the main window.
const QWidget* SpeakingWindow(const QWidget* control);

// Whether a screen reader user reaches `widget` as a control of its own with
// the keyboard (in-cell editors and a spin box's text field are spoken
// through their grid and spin box).
bool TakesFocus(const QWidget* widget);

// Gives the controls of `window` that would sound alike (the "Current" field
// of both frequency modes) the title of their group box before their own
// name ("A-Frequency Mode, Current"), on the control and on its label.
// Names given by an earlier call are taken back first, so it is run again
// after every change of language.
void NameControls(QWidget* window);

// Speaks `text` without moving the focus: an announcement event where Qt
// has one (6.8), otherwise the text becomes `source`'s accessible
// description, which screen readers read out when it changes on the control
// they are on.
void Announce(QWidget* source, const QString& text);

// The focused control is announced again under its (new) name, after a
// language switch.
void ReannounceFocus();

// Program-wide: names every window's repeats when it is shown, names an
// in-cell editor after its cell when it gets the focus, and tells the value
// a cell holds after its editor closes (the grid may have normalised what
// was typed).  One per program; the main window creates it.
class ScreenReaderSupport : public QObject {
  Q_OBJECT

 public:
  explicit ScreenReaderSupport(QObject* parent = nullptr);
  ~ScreenReaderSupport() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FocusChanged(QWidget* old, QWidget* now);
  void CellLeft(QAbstractItemView* view, int row, int column);
};

// The grid whose in-cell editor `widget` is, or null.
QAbstractItemView* GridOfEditor(const QWidget* widget);

}  // namespace orvex
