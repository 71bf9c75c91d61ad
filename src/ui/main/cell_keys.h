#pragma once

// Keys and typed text of the in-cell editors and filtered fields every
// window uses.

#include <QKeyEvent>
#include <QModelIndex>
#include <QValidator>
#include <functional>
#include <optional>

class QLineEdit;

namespace orvex {

inline bool IsEnterKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Shift, Ctrl, Alt, AltGr, Meta, the lock keys and dead keys pressed on their
// own: they only prepare the next key, so they never commit, close or open
// an editor.
bool IsModifierKey(const QKeyEvent* event);

// A focus change that does not leave the control: a list's popup opening,
// or Alt handing the keyboard to the menu bar (Escape hands it back).
inline bool IsPassingFocus(Qt::FocusReason reason) {
  return reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}

// Whether Tab (`forward`) or Shift+Tab leaves a grid rather than moving to
// `next`, where the grid's own cell walk would go from `current`: past the
// last cell the walk wraps round to the first, which would keep the
// keyboard in the grid for ever, so there the focus moves on to the next
// control instead (before the first cell, to the one before).
[[nodiscard]] bool TabLeavesGrid(const QModelIndex& current, const QModelIndex& next, bool forward);

// The one plain ASCII character a key event types, if any: the cell tables
// know no other characters.
std::optional<char> TypedChar(const QKeyEvent* event);

// Lets into a text box only the characters its cell or field accepts, as
// the filter turns them (a letter of a name becomes a capital).
class CellTextValidator : public QValidator {
 public:
  using Filter = std::function<std::optional<char>(char)>;
  using QValidator::QValidator;
  void setFilter(Filter filter) { m_filter = std::move(filter); }
  // Typing stops at `limit` characters, for a field that has no length
  // limit of its own because it may show a longer stored value.
  void setLimit(int limit) { m_limit = limit; }
  // How many characters a paste may add to `field` in place of its selection.
  [[nodiscard]] int Room(const QLineEdit& field) const;

  // `text` as typing it key by key would leave it.
  [[nodiscard]] QString Filtered(const QString& text) const;
  State validate(QString& input, int& pos) const override;

 private:
  Filter m_filter;
  int m_limit = -1;
};

// Gives `field` a CellTextValidator with `filter`: a typed key the filter
// refuses is dropped, one it turns is typed turned, and every paste (Ctrl+V,
// Shift+Insert, the middle button, a drop) inserts what typing the pasted
// text would: refused characters dropped first, then as many as the field's
// length limit leaves room for.  Editing keys (arrows, Home, End, Delete,
// Ctrl+A) and the mouse work as in any text box; Ctrl+Z and Ctrl+Y as
// UndoPassesOn says.
CellTextValidator* FilterTyping(QLineEdit* field, CellTextValidator::Filter filter = {});

// Ctrl+Z in `control` (whose text box is `field`) undoes the typing of this
// visit to it and, once the field shows what it showed when entered, is the
// window's Undo, as Edit > Undo; Ctrl+Y redoes what Ctrl+Z undid in the field
// and is otherwise the window's Redo.  A text box otherwise keeps those keys
// even with nothing of its own to undo.
void UndoPassesOn(QWidget* control, QLineEdit* field);

// Entering `field` selects its whole text, by Tab and by a click alike: the
// click that enters the field (also the one that activates its window)
// selects it once released, unless the mouse dragged a selection of its own.
void SelectAllOnEntry(QLineEdit* field);

}  // namespace orvex
