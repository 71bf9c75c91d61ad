#include "ui/scrambler/frequency_field.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QTimer>

#include "model/scrambler.h"

namespace orvex {

namespace {
// Typing stops at four digits.  No maximum length is set on the field, which
// would cut a stored count above 9999 Hz when it is shown.
constexpr auto kTypedPattern = "[0-9]{0,4}";
}  // namespace

FrequencyField::FrequencyField(QWidget* parent) : QLineEdit(parent) {
  setValidator(new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(kTypedPattern)), this));
  setAlignment(Qt::AlignRight);
  // Pasting and dropping would bypass the keys the field drops.
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
}

void FrequencyField::CommitTyped() {
  if (isModified()) Clamp();
}

void FrequencyField::Clamp() { setText(QString::fromStdString(ClampScramblerText(text().toStdString()))); }

void FrequencyField::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  m_remembered = text();
  // After the click that gave the focus has placed the cursor.
  QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

void FrequencyField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A menu opening over the field does not leave it.
  if (event->reason() != Qt::PopupFocusReason) Clamp();
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
    case Qt::Key_Backspace:
      QLineEdit::keyPressEvent(event);
      return;
    default:
      break;
  }
  const QString typed = event->text();
  if (typed.size() == 1 && typed.at(0).isDigit() && typed.at(0).unicode() < 128 &&
      (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0) {
    QLineEdit::keyPressEvent(event);
  }
}

}  // namespace orvex
