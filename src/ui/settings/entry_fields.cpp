#include "ui/settings/entry_fields.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>

#include "model/settings/settings_window.h"

namespace orvex {

bool LeavesControl(Qt::FocusReason reason) { return reason != Qt::ActiveWindowFocusReason && !IsPassingFocus(reason); }

EntryField::EntryField(CellTextValidator::Filter accepts, int maxLength, QWidget* parent) : QLineEdit(parent) {
  setMaxLength(maxLength);
  FilterTyping(this, std::move(accepts));
  SelectAllOnEntry(this);
}

void EntryField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (LeavesControl(event->reason())) emit left();
}

UpDownBox::UpDownBox(std::function<QString(int)> text, std::function<int(const QString&)> number, int maxValue,
                     QWidget* parent)
    : QSpinBox(parent), m_text(std::move(text)), m_number(std::move(number)) {
  setRange(0, maxValue);
  setSingleStep(1);
  // A typed value counts once the field is left, not per keystroke.
  setKeyboardTracking(false);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  UndoPassesOn(this, lineEdit());
}

void UpDownBox::RefreshText() { lineEdit()->setText(textFromValue(value())); }

QValidator::State UpDownBox::validate(QString& input, int& pos) const {
  if (input == textFromValue(0)) return QValidator::Acceptable;
  // Only digits stay; whatever a Backspace leaves of "Off" goes with it.
  input.removeIf([](QChar c) { return c < QLatin1Char('0') || c > QLatin1Char('9'); });
  input.truncate(kUpDownFieldLength);
  pos = std::min(pos, static_cast<int>(input.size()));
  return QValidator::Acceptable;
}

int UpDownBox::valueFromText(const QString& text) const { return m_number(text); }

QString UpDownBox::textFromValue(int value) const { return m_text(value); }

void UpDownBox::focusInEvent(QFocusEvent* event) {
  m_remembered = lineEdit()->text();
  QSpinBox::focusInEvent(event);
  if (LeavesControl(event->reason())) QTimer::singleShot(0, this, &QAbstractSpinBox::selectAll);
}

void UpDownBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    lineEdit()->setText(m_remembered);
    selectAll();
    return;
  }
  QSpinBox::keyPressEvent(event);
}

}  // namespace orvex
