#pragma once

// Shared pieces of the widget tests: a prompter that answers from a script,
// editing windows that log what the main window asks of them, the one way a
// test starts the main window (MainWindowFixture), and a test main that
// keeps the stored language away from the user's settings.

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>

#include "codeplug/file_io.h"
#include "core/preferences.h"
#include "ui/main/demo_radio.h"
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

template <class Window>
EditingWindowFactory Factory() {
  return [](const EditingContext& context) { return new Window(context); };
}

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

inline QString SimProgram() { return QStringLiteral(ORVEX_BIN_DIR "/orvex-sim"); }

// How a test's main window starts; name only what differs, e.g.
// `{.windows = ProgramWindows(), .image = image, .size = {1400, 900}}`.
struct MainWindowStart {
  enum class Show {
    Hidden,   // never shown
    Shown,    // show() and straight on
    Exposed,  // on screen
    Active,   // on screen at `size` and active, so keys reach it
  };
  EditingWindowFactories windows{};  // none by default
  std::optional<int> language{};     // stored as the preference before the start
  std::optional<Image> image{};      // the open codeplug, unmodified, before it shows
  Show show = Show::Active;
  QSize size{1200, 800};
};

// The one place a test builds the main window, so a change to how the
// program builds it is made here alone.
inline std::unique_ptr<MDIForm1> StartMainWindow(Prompter& prompter, const MainWindowStart& start) {
  if (start.language) WriteLanguagePreference(*start.language);
  auto main = std::make_unique<MDIForm1>(&prompter, start.windows);
  if (start.image) LoadImage(*main, *start.image);
  using Show = MainWindowStart::Show;
  if (start.show == Show::Shown || start.show == Show::Exposed) main->show();
  if (start.show == Show::Exposed && !QTest::qWaitForWindowExposed(main.get())) qFatal("the main window did not show");
  if (start.show == Show::Active && !ShowActive(*main, start.size)) qFatal("the main window did not become active");
  return main;
}

// A widget test's program: a scripted prompter, the main window, a
// temporary folder (m_dir) that also holds the backups, and optionally
// orvex-sim on a pseudo-terminal as the port.  A suite derives from it
// beside QObject and calls StartMain in its own Start.
class MainWindowFixture {
 protected:
  std::unique_ptr<ScriptedPrompter> m_prompter;
  std::unique_ptr<MDIForm1> m_main;
  QTemporaryDir m_dir;
  DemoRadio m_radio;
  QString m_device;  // the radio's pseudo-terminal

  // A fresh prompter and main window; the one before, if any, is destroyed
  // without being closed.
  MDIForm1& StartMain(const MainWindowStart& start = {}) {
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_main = StartMainWindow(*m_prompter, start);
    m_main->setBackupFolder(m_dir.filePath("backups").toStdString());
    if (!m_device.isEmpty()) m_main->state().portDevice = m_device.toStdString();
    return *m_main;
  }
  // orvex-sim holding `image` (kept as radio.tw in m_dir), started with
  // `switches`; every main window started after it uses its port.
  void StartRadio(const Image& image, const QStringList& switches = {}) {
    if (!QFileInfo::exists(SimProgram())) qFatal("orvex-sim is not built");
    const QString file = m_dir.filePath("radio.tw");
    if (!WriteCodeplugFile(file.toStdString(), image)) qFatal("cannot write the radio's image");
    const auto device = m_radio.Start(SimProgram(), QStringList{"--fast", "--image", file} + switches);
    if (!device) qFatal("orvex-sim did not start: %s", device.error().c_str());
    m_device = *device;
  }
  // Closes without any question and stops the radio.
  void StopMain() {
    CloseQuietly(m_main);
    m_radio.Stop();
    m_device.clear();
  }
};

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
