#include "ui/settings/entry_fields.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

namespace orvex {

FilterValidator::FilterValidator(CharFilter accepts, bool capitals, int maxLength, QObject* parent)
    : QValidator(parent), m_accepts(std::move(accepts)), m_capitals(capitals), m_maxLength(maxLength) {}

QValidator::State FilterValidator::validate(QString& input, int& pos) const {
  QString kept;
  int keptPos = 0;
  for (int i = 0; i < input.size(); ++i) {
    const QChar c = input[i];
    const bool ascii = c.unicode() < 0x80;
    if (!ascii || !m_accepts(static_cast<char>(c.unicode())) || kept.size() >= m_maxLength) continue;
    kept += m_capitals ? c.toUpper() : c;
    if (i < pos) ++keptPos;
  }
  input = kept;
  pos = keptPos;
  return Acceptable;
}

bool LeavesControl(Qt::FocusReason reason) {
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

EntryField::EntryField(CharFilter accepts, int maxLength, bool capitals, QWidget* parent) : QLineEdit(parent) {
  setMaxLength(maxLength);
  setValidator(new FilterValidator(std::move(accepts), capitals, maxLength, this));
}

void EntryField::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  // A mouse click places the cursor after the focus arrives; select once it
  // has.
  if (LeavesControl(event->reason())) QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

void EntryField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (LeavesControl(event->reason())) emit left();
}

namespace {
constexpr int kUpDownLength = 4;
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

UpDownBox::UpDownBox(std::function<QString(int)> text, std::function<int(const QString&)> number, int maxValue,
                     QWidget* parent)
    : QSpinBox(parent), m_text(std::move(text)), m_number(std::move(number)) {
  setRange(0, maxValue);
  setSingleStep(1);
  // A typed value counts once the field is left, not per keystroke.
  setKeyboardTracking(false);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

void UpDownBox::RefreshText() { lineEdit()->setText(textFromValue(value())); }

QValidator::State UpDownBox::validate(QString& input, int& pos) const {
  if (input == textFromValue(0)) return QValidator::Acceptable;
  FilterValidator digits(IsDigit, false, kUpDownLength, nullptr);
  return digits.validate(input, pos);
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
