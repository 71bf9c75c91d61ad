#pragma once

// Keys and typed text of the in-cell editors every grid window uses.

#include <QKeyEvent>
#include <QValidator>
#include <functional>
#include <optional>

namespace orvex {

inline bool IsEnterKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// The one plain ASCII character a key event types, if any: the cell tables
// know no other characters.
std::optional<char> TypedChar(const QKeyEvent* event);

// Lets into a text box, typed or pasted, only the characters a cell's editor
// accepts, as the filter turns them (a letter of a name becomes a capital).
class CellTextValidator : public QValidator {
 public:
  using Filter = std::function<std::optional<char>(char)>;
  using QValidator::QValidator;
  void setFilter(Filter filter) { m_filter = std::move(filter); }

  State validate(QString& input, int&) const override;

 private:
  Filter m_filter;
};

}  // namespace orvex
