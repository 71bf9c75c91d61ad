#pragma once

// What the monkey run and the menu-key tests share: an application that
// notices a widget destroyed while it is still handling one of its own
// events (the menu that deleted itself from its key press), the trail of
// the last steps printed with the seed when the run dies, and real key and
// mouse input through the window system.

#include <unistd.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMetaEnum>
#include <QPointer>
#include <QtTest>
#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string_view>
#include <thread>

namespace orvex::test {

// Notices a widget destroyed inside its own event: Qt still runs code of
// that widget after the handler returns, so it is a crash waiting for the
// allocator to reuse the memory.
class GuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    // A deferred delete is the one event that ends its own receiver.
    if (receiver == nullptr || !receiver->isWidgetType() || event->type() == QEvent::DeferredDelete)
      return QApplication::notify(receiver, event);
    const QPointer<QObject> alive(receiver);
    const char* kind = receiver->metaObject()->className();
    const QString name = receiver->objectName();
    const QEvent::Type type = event->type();
    const bool handled = QApplication::notify(receiver, event);
    if (alive.isNull())
      m_faults << QStringLiteral("%1 \"%2\" was destroyed while handling its own %3 event")
                      .arg(QLatin1String(kind), name,
                           QLatin1String(QMetaEnum::fromType<QEvent::Type>().valueToKey(type)));
    return handled;
  }
  // Takes the faults seen so far.
  QStringList TakeFaults() { return std::exchange(m_faults, {}); }

  static GuardedApplication* instance() { return dynamic_cast<GuardedApplication*>(qApp); }

 private:
  QStringList m_faults;
};

// The last steps of a run and the line that repeats it, kept where a dying
// process can still write them (a signal handler, the sanitizers' death
// callback, the hang watchdog).
class Trail {
 public:
  static constexpr int kSteps = 40;
  static constexpr int kStepLength = 200;

  void SetHeader(const QByteArray& line) { Copy(m_header.data(), line); }
  void Step(const QByteArray& step) {
    const int at = m_next.fetch_add(1) % kSteps;
    Copy(m_steps[static_cast<std::size_t>(at)].data(), step);
  }
  // Async-signal-safe: write(2) only.
  void Write(const char* why) const {
    const auto out = [](const char* text) {
      std::size_t length = 0;
      while (text[length] != '\0') ++length;
      if (::write(STDERR_FILENO, text, length) < 0) return;
    };
    out("\n");
    out(why);
    out("\n");
    out(m_header.data());
    out("\nlast steps, oldest first:\n");
    const int next = m_next.load();
    for (int i = std::max(0, next - kSteps); i < next; ++i) {
      out("  ");
      out(m_steps[static_cast<std::size_t>(i % kSteps)].data());
      out("\n");
    }
  }

 private:
  static void Copy(char* to, const QByteArray& from) {
    const auto length = std::min<qsizetype>(from.size(), kStepLength - 1);
    std::copy_n(from.constData(), length, to);
    to[length] = '\0';
  }
  std::array<char, kStepLength> m_header{};
  std::array<std::array<char, kStepLength>, kSteps> m_steps{};
  std::atomic<int> m_next{0};
};

// Fails the process when the event loop stops moving for `limit`: a hang
// is reported with the trail instead of waiting for the test's own limit.
class Watchdog {
 public:
  Watchdog(const Trail& trail, std::chrono::seconds limit) : m_trail(trail), m_limit(limit) {
    Beat();
    m_thread = std::thread([this] {
      while (!m_stop.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (Now() - m_beat.load() > m_limit.count() * 1000) {
          m_trail.Write("monkey: FAILED, the program stopped responding (hang)");
          std::abort();
        }
      }
    });
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
  ~Watchdog() {
    m_stop = true;
    m_thread.join();
  }
  void Beat() { m_beat = Now(); }

 private:
  static std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  const Trail& m_trail;
  std::chrono::seconds m_limit;
  std::atomic<std::int64_t> m_beat{0};
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

// The window a person's keys and clicks reach now: an open menu, else a
// modal dialog, else the active window.
inline QWidget* InputWidget(QWidget* fallback) {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup;
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  // The offscreen platform may still call a menu that has closed active;
  // no person can click or type into a window that is not shown.
  if (QWidget* active = QApplication::activeWindow(); active != nullptr && active->isVisible()) return active;
  return fallback;
}

// Keys and clicks go through the window system as a person's do
// (shortcuts, menus, popups and modality as for real), delivered at once
// without running the event loop in between, so no other step runs while
// half a key has been pressed.  A command may still open a dialog; each
// event checks that its window is still there.

// The text that comes with a key, as X11 sends it (Alt leaves it alone,
// Ctrl turns a letter into its control character).
inline QString KeyText(int key, Qt::KeyboardModifiers modifiers) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    if (modifiers & Qt::ControlModifier) return QString(QChar(key - Qt::Key_A + 1));
    return QString(QChar(modifiers & Qt::ShiftModifier ? key : key - Qt::Key_A + 'a'));
  }
  if (modifiers & Qt::ControlModifier) return {};
  if (key >= 0x20 && key < 0x7F) return QString(QChar(key));
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return QStringLiteral("\r");
    case Qt::Key_Tab:
      return QStringLiteral("\t");
    case Qt::Key_Backspace:
      return QStringLiteral("\b");
    case Qt::Key_Escape:
      return QStringLiteral("\x1b");
    default:
      return {};
  }
}

// A key as a keyboard sends it: each modifier pressed first and released
// last.  `text` overrides what the key types (a shifted sign).
inline void Chord(QWidget* top, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                  const QString& text = QString()) {
  static constexpr std::pair<Qt::KeyboardModifier, Qt::Key> kModifierKeys[] = {{Qt::ShiftModifier, Qt::Key_Shift},
                                                                               {Qt::ControlModifier, Qt::Key_Control},
                                                                               {Qt::AltModifier, Qt::Key_Alt},
                                                                               {Qt::MetaModifier, Qt::Key_Meta}};
  // The offscreen platform leaves no window active, or a closed menu, once
  // a popup has gone, where a window manager gives the keyboard back to the
  // program.
  const QWidget* active = QApplication::activeWindow();
  if ((active == nullptr || !active->isVisible()) && QApplication::activePopupWidget() == nullptr)
    QApplication::setActiveWindow(top->window());
  const QPointer<QWindow> window = top->window()->windowHandle();
  const auto send = [&window](QEvent::Type type, int code, Qt::KeyboardModifiers held, const QString& typed) {
    if (window) qt_handleKeyEvent(window, type, code, held, typed);
  };
  Qt::KeyboardModifiers held;
  for (const auto& [modifier, modifierKey] : kModifierKeys) {
    if (!(modifiers & modifier)) continue;
    send(QEvent::KeyPress, modifierKey, held, {});
    held |= modifier;
  }
  const QString typed = text.isNull() ? KeyText(key, modifiers) : text;
  send(QEvent::KeyPress, key, modifiers, typed);
  send(QEvent::KeyRelease, key, modifiers, typed);
  for (auto it = std::rbegin(kModifierKeys); it != std::rend(kModifierKeys); ++it) {
    if (!(modifiers & it->first)) continue;
    send(QEvent::KeyRelease, it->second, held, {});
    held &= ~it->first;
  }
}

// A character as a US keyboard types it: Shift held for capitals and the
// shifted signs.
inline void TypeChar(QWidget* top, char c) {
  static constexpr std::string_view kShifted = "~!@#$%^&*()_+{}|:\"<>?";
  const bool shift = (c >= 'A' && c <= 'Z') || kShifted.find(c) != std::string_view::npos;
  const int key = c >= 'a' && c <= 'z' ? c - 'a' + Qt::Key_A : c;
  Chord(top, key, shift ? Qt::ShiftModifier : Qt::NoModifier, QString(QChar(c)));
}

// A click as a mouse makes it, at `at` in `widget`; two clicks in quick
// succession make a double click.
inline void Click(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool twice = false) {
  static int time = 0;
  if (!widget->isVisible()) return;
  QWidget* top = widget->window();
  const QPointer<QWindow> window = top->windowHandle();
  if (window == nullptr) return;
  const QPointF local = widget->mapTo(top, at);
  const QPointF global = top->mapToGlobal(local.toPoint());
  time += 1000;  // apart from the last click
  qt_handleMouseEvent(window, local, global, {}, Qt::NoButton, QEvent::MouseMove, modifiers, time);
  for (int click = 0; click < (twice ? 2 : 1); ++click) {
    time += 10;
    if (window) qt_handleMouseEvent(window, local, global, button, button, QEvent::MouseButtonPress, modifiers, time);
    if (window) qt_handleMouseEvent(window, local, global, {}, button, QEvent::MouseButtonRelease, modifiers, time);
  }
}

// The letter after '&' in a caption ("&File", "文件(&F)"), or 0.
inline char Mnemonic(const QString& caption) {
  for (qsizetype i = caption.indexOf(QLatin1Char('&')); i >= 0 && i + 1 < caption.size();
       i = caption.indexOf(QLatin1Char('&'), i + 2)) {
    const QChar c = caption[i + 1];
    if (c != QLatin1Char('&') && c.isLetterOrNumber() && c.unicode() < 128) return char(c.toUpper().unicode());
  }
  return 0;
}

inline int KeyOf(char c) { return c; }

}  // namespace orvex::test
