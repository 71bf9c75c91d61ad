#pragma once

// Shared pieces of the widget tests: a prompter that answers from a script,
// editing windows that log what the main window asks of them, and a test
// main that keeps the stored language away from the user's settings.

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

#include "ui/main/editing_window.h"
#include "ui/main/mdi_form1.h"
#include "ui/main/prompter.h"

namespace orvex::test {

struct Question {
  QMessageBox::Icon icon;
  QString title;
  QString text;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton;
};

class ScriptedPrompter : public Prompter {
 public:
  QList<Question> questions;
  // Answers in order; once used up, OK where offered, otherwise Cancel.
  QList<QMessageBox::StandardButton> answers;
  QString saveName;  // empty: the save dialog is cancelled
  QString openName;  // empty: the open dialog is cancelled
  QStringList proposedNames;
  int openDialogs = 0;
  QStringList dialogs;  // object names of the modal dialogs run
  std::function<int(QDialog&)> onDialog;

  QMessageBox::StandardButton ask(QWidget*, QMessageBox::Icon icon, const QString& title, const QString& text,
                                  QMessageBox::StandardButtons buttons,
                                  QMessageBox::StandardButton defaultButton) override {
    questions << Question{icon, title, text, buttons, defaultButton};
    if (!answers.isEmpty()) return answers.takeFirst();
    return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Cancel;
  }
  // Recorded as a Yes/Cancel question; Yes (from `answers`) takes the
  // action, which is never taken unasked.
  bool offer(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
             const QString& action) override {
    offers << action;
    return ask(parent, icon, title, text, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel) ==
           QMessageBox::Yes;
  }
  QStringList offers;  // the action texts offered
  QString openFileName(QWidget*, const QString&) override {
    ++openDialogs;
    return openName;
  }
  QString saveFileName(QWidget*, const QString& proposed, const QString&) override {
    proposedNames << proposed;
    return saveName;
  }
  int exec(QDialog& dialog) override {
    dialogs << dialog.objectName();
    return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
  }
  [[nodiscard]] QStringList texts() const {
    QStringList all;
    for (const Question& q : questions) all << q.text;
    return all;
  }
};

// Logs "refresh:01", "commit:01", "store:01" ... for its bit.
class LoggingWindow : public EditingWindow {
 public:
  LoggingWindow(WindowBit bit, const EditingContext& context, QStringList* log, UserClose rule, bool reloads,
                bool storesAtEnd)
      : EditingWindow(bit, context), m_log(log), m_rule(rule), m_reloads(reloads), m_storesAtEnd(storesAtEnd) {
    setWindowTitle(QStringLiteral("window %1").arg(Tag()));
    resize(200, 120);
  }
  void Refresh() override { *m_log << "refresh:" + Tag(); }
  void Store() override { *m_log << "store:" + Tag(); }
  void CommitEdit() override { *m_log << "commit:" + Tag(); }
  [[nodiscard]] bool refreshesOnOpen() const override { return m_reloads; }
  [[nodiscard]] UserClose userClose() const override { return m_rule; }
  [[nodiscard]] bool storesOnProgramClose() const override { return m_storesAtEnd; }

 private:
  QString Tag() const { return QStringLiteral("%1").arg(int(bit()), 2, 16, QLatin1Char('0')); }
  QStringList* m_log;
  UserClose m_rule;
  bool m_reloads;
  bool m_storesAtEnd;
};

// One logging window per bit with the program's close rules.
inline EditingWindowFactories LoggingWindows(QStringList* log) {
  using Rule = EditingWindow::UserClose;
  struct Kind {
    WindowBit bit;
    Rule rule;
    bool reloads;
    bool storesAtEnd;
  };
  const Kind kinds[] = {
      {kWinChannel, Rule::StoreAndDestroy, false, true},
      {kWinKey, Rule::Destroy, false, false},
      {kWinSetting, Rule::Hide, true, false},
      {kWinMsk, Rule::StoreAndHide, true, false},
      {kWinScrambler, Rule::StoreAndHide, true, false},
      {kWin2Tone, Rule::StoreAndHide, true, false},
      {kWin5Tone, Rule::StoreAndHide, true, false},
  };
  EditingWindowFactories factories;
  for (const Kind& kind : kinds) {
    factories[kind.bit] = [log, kind](const EditingContext& context) {
      return new LoggingWindow(kind.bit, context, log, kind.rule, kind.reloads, kind.storesAtEnd);
    };
  }
  return factories;
}

// Shows a top-level window at `size` and waits until it is on screen and
// active, so key events reach it.
inline bool ShowActive(QWidget& window, QSize size) {
  window.resize(size);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return false;
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

// Closes and destroys a test's main window without the question about
// unsaved changes.
template <class MainWindow>
void CloseQuietly(std::unique_ptr<MainWindow>& window) {
  if (window) {
    window->memory().SaveSnapshot();
    window->close();
  }
  window.reset();
}

// `image` as the codeplug open in `main`: unmodified and shown in every
// open window.
inline void LoadImage(MDIForm1& main, const Image& image) {
  main.memory().image() = image;
  main.memory().SaveSnapshot();
  main.RefreshAll();
}

}  // namespace orvex::test

// A QTEST_MAIN whose stored preferences and backups live in a temporary
// folder.  The other forms run on another platform, such as an offscreen
// screen of a given size ("offscreen:configfile=..."), or name the
// application class.
#define ORVEX_UI_TEST_MAIN(TestClass) ORVEX_UI_TEST_MAIN_FULL(TestClass, "offscreen", QApplication)
#define ORVEX_UI_TEST_MAIN_ON(TestClass, platform) ORVEX_UI_TEST_MAIN_FULL(TestClass, platform, QApplication)
#define ORVEX_UI_TEST_MAIN_WITH(TestClass, Application) ORVEX_UI_TEST_MAIN_FULL(TestClass, "offscreen", Application)
#define ORVEX_UI_TEST_MAIN_FULL(TestClass, platform, Application)            \
  int main(int argc, char** argv) {                                          \
    QTemporaryDir config;                                                    \
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());                 \
    qputenv("ORVEX_BACKUP_DIR", (config.path() + "/backups").toLocal8Bit()); \
    qputenv("QT_QPA_PLATFORM", platform);                                    \
    Application app(argc, argv);                                             \
    TestClass test;                                                          \
    return QTest::qExec(&test, argc, argv);                                  \
  }
