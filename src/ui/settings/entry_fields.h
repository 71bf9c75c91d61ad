#pragma once

// The text entries of the Optional Features window: fields that keep only
// the characters their setting allows, select their text on entry and report
// when the user leaves them, and the up-down of the auto reset timer.

#include <QLineEdit>
#include <QSpinBox>
#include <functional>

#include "ui/main/cell_keys.h"

namespace orvex {

// A text field that stores when it is left (the entry's LostFocus).
class EntryField : public QLineEdit {
  Q_OBJECT

 public:
  // `accepts` keeps a typed or pasted character, as it turns it (ANI letters
  // become capitals); any other is dropped.  Backspace types nothing, so it
  // always works.
  EntryField(CellTextValidator::Filter accepts, int maxLength, QWidget* parent = nullptr);

 signals:
  // The focus moved to another control of the program (not to another
  // application or a menu).
  void left();

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

// Whether a focus change means the user left the control, rather than the
// window losing activation or a menu or message box opening over it.
bool LeavesControl(Qt::FocusReason reason);

// The auto reset timer: a number 0..maxValue typed (digits only, at most four)
// or stepped, "Off" for 0.  The text is applied when the field is left or
// Enter is pressed; Esc puts back the text it had when it got the focus.
class UpDownBox : public QSpinBox {
  Q_OBJECT

 public:
  // `text` gives the shown text of a value, `number` the value of a typed text.
  UpDownBox(std::function<QString(int)> text, std::function<int(const QString&)> number, int maxValue,
            QWidget* parent = nullptr);

  // Shows the value's text again (after a language switch).
  void RefreshText();
  QLineEdit* textField() const { return lineEdit(); }

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  int valueFromText(const QString& text) const override;
  QString textFromValue(int value) const override;
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<QString(int)> m_text;
  std::function<int(const QString&)> m_number;
  QString m_remembered;
};

}  // namespace orvex
