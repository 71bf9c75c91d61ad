#include "ui/main/cell_keys.h"

namespace orvex {

std::optional<char> TypedChar(const QKeyEvent* event) {
  if ((event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) return std::nullopt;
  const QString text = event->text();
  if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() >= 0x7F) return std::nullopt;
  return static_cast<char>(text[0].unicode());
}

QValidator::State CellTextValidator::validate(QString& input, int&) const {
  for (QChar& c : input) {
    if (c.unicode() >= 0x80 || !m_filter) return Invalid;
    const std::optional<char> accepted = m_filter(static_cast<char>(c.unicode()));
    if (!accepted) return Invalid;
    c = QChar(*accepted);
  }
  return Acceptable;
}

}  // namespace orvex
