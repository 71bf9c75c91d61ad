#include "ui/main/cell_keys.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <compare>
#include <utility>

namespace orvex {

namespace {

// Typed keys and pastes go through the field's filter before they reach
// the text: a refused key is dropped, a turned one (a capital for a letter)
// is inserted as such, and a paste keeps what typing it would.  Inserting
// the filtered text leaves the field's own undo history intact, which a
// validator that rewrote the text would clear.
class FilteredInput : public QObject {
 public:
  FilteredInput(QLineEdit* field, CellTextValidator* validator) : QObject(field), m_validator(validator) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* field = static_cast<QLineEdit*>(watched);
    if (field->isReadOnly()) return false;
    switch (event->type()) {
      case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
          Insert(field, QGuiApplication::clipboard()->text(QClipboard::Clipboard));
          return true;
        }
        const QString typed = key->text();
        if (typed.size() != 1 || !typed[0].isPrint() || (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
          return false;
        const QString kept = m_validator->Filtered(typed);
        if (kept != typed && !kept.isEmpty()) field->insert(kept);
        return kept != typed;
      }
      case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection()) return false;
        field->setCursorPosition(field->cursorPositionAt(mouse->position().toPoint()));
        Insert(field, QGuiApplication::clipboard()->text(QClipboard::Selection));
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasText()) return false;
        field->setCursorPosition(field->cursorPositionAt(drop->position().toPoint()));
        Insert(field, drop->mimeData()->text());
        drop->acceptProposedAction();
        return true;
      }
      default:
        return false;
    }
  }

 private:
  void Insert(QLineEdit* field, const QString& pasted) const {
    field->insert(m_validator->Filtered(pasted).left(m_validator->Room(*field)));
  }

  CellTextValidator* m_validator;
};

// Ctrl+Z undoes the typing of this visit to the field; with none left (the
// field shows what it showed when entered) it is the window's Undo.  Ctrl+Y
// redoes what Ctrl+Z undid in the field, and is otherwise the window's Redo.
class UndoFallThrough : public QObject {
 public:
  UndoFallThrough(QWidget* control, QLineEdit* field) : QObject(control), m_field(field) {
    connect(field, &QLineEdit::textEdited, this, [this] { m_undone = 0; });
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (!IsPassingFocus(reason) && reason != Qt::ActiveWindowFocusReason) {
        m_entered = m_field->text();
        m_undone = 0;
      }
      return false;
    }
    if (event->type() != QEvent::ShortcutOverride) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo)) {
      if (m_field->isUndoAvailable() && m_field->text() != m_entered) {
        ++m_undone;
        return false;
      }
    } else if (key->matches(QKeySequence::Redo)) {
      if (m_field->isRedoAvailable() && m_undone > 0) {
        --m_undone;
        return false;
      }
    } else {
      return false;
    }
    // Left unaccepted, the key goes to the shortcut it stands for.
    event->ignore();
    return true;
  }

 private:
  QLineEdit* m_field;
  QString m_entered;
  int m_undone = 0;
};

class EntrySelection : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* field = static_cast<QLineEdit*>(watched);
    switch (event->type()) {
      case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (IsPassingFocus(reason)) break;
        m_entering = true;
        // Returning to the window keeps the caret where the user left it.
        if (reason != Qt::ActiveWindowFocusReason) QTimer::singleShot(0, field, &QLineEdit::selectAll);
        break;
      }
      case QEvent::MouseButtonRelease:
        if (m_entering && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !field->hasSelectedText())
          QTimer::singleShot(0, field, &QLineEdit::selectAll);
        m_entering = false;
        break;
      case QEvent::KeyPress:
      case QEvent::FocusOut:
        m_entering = false;
        break;
      default:
        break;
    }
    return false;
  }

 private:
  bool m_entering = false;
};

}  // namespace

void UndoPassesOn(QWidget* control, QLineEdit* field) {
  control->installEventFilter(new UndoFallThrough(control, field));
}

void SelectAllOnEntry(QLineEdit* field) { field->installEventFilter(new EntrySelection(field)); }

bool IsModifierKey(const QKeyEvent* event) {
  const int key = event->key();
  switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
    case Qt::Key_Multi_key:
      return true;
    default:
      // Dead keys wait for the letter they accent.
      return key >= Qt::Key_Dead_Grave && key <= Qt::Key_Dead_Longsolidusoverlay;
  }
}

bool TabLeavesGrid(const QModelIndex& current, const QModelIndex& next, bool forward) {
  if (!current.isValid() || !next.isValid() || next == current) return true;
  const auto order = std::pair(next.row(), next.column()) <=> std::pair(current.row(), current.column());
  return forward ? order < 0 : order > 0;
}

std::optional<char> TypedChar(const QKeyEvent* event) {
  if ((event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) return std::nullopt;
  const QString text = event->text();
  if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() >= 0x7F) return std::nullopt;
  return static_cast<char>(text[0].unicode());
}

QString CellTextValidator::Filtered(const QString& text) const {
  QString kept;
  for (const QChar c : text) {
    if (c.unicode() >= 0x80 || !m_filter) continue;
    if (const std::optional<char> accepted = m_filter(static_cast<char>(c.unicode()))) kept += QChar(*accepted);
  }
  return kept;
}

int CellTextValidator::Room(const QLineEdit& field) const {
  const int limit = m_limit >= 0 ? std::min(m_limit, field.maxLength()) : field.maxLength();
  const auto kept = static_cast<int>(field.text().size() - field.selectedText().size());
  return std::max(0, limit - kept);
}

QValidator::State CellTextValidator::validate(QString& input, int&) const {
  // Keys and pastes arrive filtered; whatever else would bring a character
  // typing could not (an input method, a context-menu paste) is refused.
  if (m_limit >= 0 && input.size() > m_limit) return Invalid;
  return Filtered(input) == input ? Acceptable : Invalid;
}

CellTextValidator* FilterTyping(QLineEdit* field, CellTextValidator::Filter filter) {
  auto* validator = new CellTextValidator(field);
  validator->setFilter(std::move(filter));
  field->setValidator(validator);
  field->installEventFilter(new FilteredInput(field, validator));
  UndoPassesOn(field, field);
  return validator;
}

}  // namespace orvex
