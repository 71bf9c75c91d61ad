#include "ui/scrambler/frequency_field.h"

#include <QKeyEvent>

#include "model/settings/scrambler.h"
#include "ui/main/cell_keys.h"

namespace orvex {

FrequencyField::FrequencyField(QWidget* parent) : QLineEdit(parent) {
  const CellEditor typing = ScramblerFieldEditor();
  FilterTyping(this, [typing](char c) { return typing.Accept(c); })->setLimit(static_cast<int>(typing.maxLength));
  SelectAllOnEntry(this);
  setAlignment(Qt::AlignRight);
}

void FrequencyField::CommitTyped() {
  if (isModified()) Clamp();
}

void FrequencyField::Clamp() {
  const QString typed = text();
  setText(QString::fromStdString(ClampScramblerText(typed.toStdString())));
  emit clamped(typed);
}

void FrequencyField::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  m_remembered = text();
}

void FrequencyField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A menu opening over the field does not leave it.
  if (!IsPassingFocus(event->reason())) Clamp();
}

void FrequencyField::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      setText(m_remembered);
      selectAll();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Clamp();
      focusNextChild();
      return;
    default:
      // The filter keeps out what is not a digit; editing keys and the
      // mouse work as in any text box.
      QLineEdit::keyPressEvent(event);
  }
}

}  // namespace orvex
