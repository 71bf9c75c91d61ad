// The program under a person's keys and a monkey's: the language switched
// from its own menu by keys and mouse, again and again, and a seeded run of
// random keys, clicks, menu commands, window and language switches, files
// and transfers against the virtual radio across every window.
//   ORVEX_MONKEY_SEED=N      repeats one run (a failing run prints its seed)
//   ORVEX_MONKEY_SECONDS=S   how long the monkey runs (default 10)
//   ORVEX_MONKEY_LOG=1       prints every step
#include <QDialog>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRandomGenerator>
#include <QToolBar>
#include <QTreeWidget>

#include "codeplug/file_io.h"
#include "core/strings.h"
#include "monkey_support.h"
#include "program_windows.h"
#include "ui/main/demo_radio.h"
#include "ui/main/frm_tree_view.h"

using namespace orvex;
using namespace orvex::test;

// Freed memory is overwritten, so Qt's own code (which the sanitizer does
// not watch) fails at once when it reads a deleted widget, instead of
// reading what happened to be left there.
extern "C" const char* __asan_default_options() { return "max_free_fill_size=4096"; }
// Present only in a sanitized build.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

Trail g_trail;

void DiedOfSignal(int signal) {
  g_trail.Write("monkey: FAILED, the program crashed");
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void DiedOfSanitizer() { g_trail.Write("monkey: FAILED, the sanitizer stopped the program"); }

// Prints the trail whenever the process dies during a run.
class DeathReport {
 public:
  DeathReport() {
    if (__sanitizer_set_death_callback != nullptr) {
      __sanitizer_set_death_callback(&DiedOfSanitizer);
      return;
    }
    for (const int signal : kSignals) m_previous.push_back(std::signal(signal, &DiedOfSignal));
  }
  DeathReport(const DeathReport&) = delete;
  DeathReport& operator=(const DeathReport&) = delete;
  ~DeathReport() {
    if (__sanitizer_set_death_callback != nullptr) {
      __sanitizer_set_death_callback(nullptr);
      return;
    }
    for (std::size_t i = 0; i < m_previous.size(); ++i) std::signal(kSignals[i], m_previous[i]);
  }

 private:
  static constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
  std::vector<void (*)(int)> m_previous;
};

QString Describe(const QObject* object) {
  if (object == nullptr) return QStringLiteral("nothing");
  return QStringLiteral("%1 '%2'").arg(QLatin1String(object->metaObject()->className()), object->objectName());
}

// Answers every question, file dialog and modal dialog at random; a dialog
// may also run for real, with the monkey's keys and clicks inside.
class MonkeyPrompter : public Prompter {
 public:
  MonkeyPrompter(QRandomGenerator& random, QString folder, QStringList opens)
      : m_random(random), m_folder(std::move(folder)), m_opens(std::move(opens)) {}

  QMessageBox::StandardButton ask(QWidget*, QMessageBox::Icon, const QString&, const QString& text,
                                  QMessageBox::StandardButtons buttons, QMessageBox::StandardButton) override {
    QList<QMessageBox::StandardButton> offered;
    for (int bit = 0; bit < 32; ++bit) {
      const auto button = QMessageBox::StandardButton(1u << bit);
      if (buttons.testFlag(button)) offered << button;
    }
    const QMessageBox::StandardButton answer =
        offered.isEmpty() ? QMessageBox::Ok : offered[m_random.bounded(int(offered.size()))];
    g_trail.Step(QStringLiteral("  asked \"%1\": %2").arg(text.left(60)).arg(int(answer)).toUtf8());
    return answer;
  }
  bool offer(QWidget*, QMessageBox::Icon, const QString&, const QString& text, const QString&) override {
    const bool yes = m_random.bounded(2) == 0;
    g_trail.Step(QStringLiteral("  offered \"%1\": %2").arg(text.left(60)).arg(yes).toUtf8());
    return yes;
  }
  QString openFileName(QWidget*, const QString&) override {
    const QString path = m_opens[m_random.bounded(int(m_opens.size()))];
    g_trail.Step(("  open file " + path).toUtf8());
    return path;
  }
  QString saveFileName(QWidget*, const QString& proposed, const QString&) override {
    const QString suffix = QFileInfo(proposed).suffix();
    QString path;
    switch (m_random.bounded(4)) {
      case 0:
        break;  // cancelled
      case 1:
        path = QStringLiteral("/nonexistent-folder/saved.") + suffix;
        break;
      default:
        path = QStringLiteral("%1/saved%2.%3").arg(m_folder).arg(m_random.bounded(3)).arg(suffix);
    }
    g_trail.Step(("  save file " + path).toUtf8());
    return path;
  }
  int exec(QDialog& dialog) override {
    const int way = m_random.bounded(3);
    g_trail.Step(QStringLiteral("  dialog %1: %2").arg(Describe(&dialog)).arg(way).toUtf8());
    if (way == 0) return QDialog::Rejected;
    if (way == 1) return QDialog::Accepted;
    return dialog.exec();
  }

 private:
  QRandomGenerator& m_random;
  QString m_folder;
  QStringList m_opens;
};

// Keys a person presses, on their own or with modifiers.
constexpr Qt::Key kKeys[] = {
    Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Space,    Qt::Key_Backspace,
    Qt::Key_Delete, Qt::Key_Insert,  Qt::Key_Home,   Qt::Key_End,   Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Left,
    Qt::Key_Right,  Qt::Key_Up,      Qt::Key_Down,   Qt::Key_F2,    Qt::Key_F3,     Qt::Key_F4,       Qt::Key_F6,
    Qt::Key_F10,    Qt::Key_Menu,    Qt::Key_Alt,    Qt::Key_A,     Qt::Key_C,      Qt::Key_E,        Qt::Key_F,
    Qt::Key_G,      Qt::Key_L,       Qt::Key_N,      Qt::Key_O,     Qt::Key_P,      Qt::Key_Q,        Qt::Key_S,
    Qt::Key_V,      Qt::Key_W,       Qt::Key_X,      Qt::Key_Y,     Qt::Key_Z,      Qt::Key_1,        Qt::Key_5,
};
// What is typed into fields: digits and a frequency's point most, then
// letters, then characters no cell takes.
constexpr char kTyped[] = "0123456789.0123456789.ABCXYZabcxyz -_!@#*/,;";
constexpr Qt::KeyboardModifiers kModifiers[] = {
    Qt::NoModifier,
    Qt::NoModifier,
    Qt::NoModifier,
    Qt::NoModifier,
    Qt::NoModifier,
    Qt::NoModifier,
    Qt::ShiftModifier,
    Qt::ShiftModifier,
    Qt::ControlModifier,
    Qt::ControlModifier,
    Qt::ControlModifier,
    Qt::AltModifier,
    Qt::AltModifier,
    Qt::ControlModifier | Qt::ShiftModifier,
    Qt::ControlModifier | Qt::AltModifier,
};

// Puts the working folder back when a run ends.
struct KeptWorkingFolder {
  QString before = QDir::currentPath();
  ~KeptWorkingFolder() { QDir::setCurrent(before); }
};

// A seeded run against one main window (a new one whenever the monkey
// exits the program) and the virtual radio.
class Monkey : public QObject {
 public:
  Monkey(quint32 seed, std::chrono::milliseconds length, QString folder)
      : m_random(seed), m_length(length), m_folder(std::move(folder)) {
    // Real dialogs the monkey types into (a print dialog's file field) take
    // names relative to the working folder: keep them in the monkey's own.
    QDir::setCurrent(m_folder);
    const Image blank = BlankImage();
    Image varied = blank;
    for (std::size_t i = 0; i < varied.size(); ++i)
      if (i % 7 == 0) varied[i] = std::uint8_t(QRandomGenerator(seed + quint32(i)).bounded(256));
    const auto file = [this](const QString& name) { return m_folder + QLatin1Char('/') + name; };
    if (!WriteCodeplugFile(file("blank.tw").toStdString(), blank) ||
        !WriteCodeplugFile(file("varied.tw").toStdString(), varied))
      qFatal("cannot write the monkey's files");
    QFile corrupt(file("corrupt.tw"));
    corrupt.open(QIODevice::WriteOnly);
    corrupt.write(QByteArray(5000, '\x5A'));
    corrupt.close();
    QFile csv(file("channels.csv"));
    csv.open(QIODevice::WriteOnly);
    csv.write(
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq\r\n"
        "1,Gate,146.520000,,0.000000,Tone,88.5,88.5\r\n"
        "2,Caf\xC3\xA9!,446.006250,+,5.000000,,88.5,88.5\r\n"
        "70,Far,999.000000,,0,,,\r\n");
    csv.close();
    m_prompter =
        std::make_unique<MonkeyPrompter>(m_random, m_folder,
                                         QStringList{QString(), file("varied.tw"), file("blank.tw"), file("corrupt.tw"),
                                                     file("channels.csv"), file("missing.tw"), file("saved0.tw")});
    const auto device = m_radioProcess.Start(SimProgram(), {"--fast", "--image", file("varied.tw")});
    if (!device) qFatal("orvex-sim did not start: %s", device.error().c_str());
    m_radio = *device;
  }

  // Runs until the time is up and every dialog and menu opened has closed.
  // Returns the faults seen (empty when the run held).
  QStringList Run() {
    m_started.start();
    Restart();
    QTimer::singleShot(0, this, [this] { Step(); });
    // The watchdog reports a hang long before this.
    if (!QTest::qWaitFor([this] { return m_finished; }, int(m_length.count()) + 600000))
      m_faults << QStringLiteral("the run did not end");
    if (m_main && m_main->isTransferRunning() &&
        !QTest::qWaitFor([this] { return !m_main->isTransferRunning(); }, 60000))
      m_faults << QStringLiteral("the last transfer did not end");
    CloseQuietly(m_main);
    QTest::qWait(1);  // the deferred deletes
    m_faults << GuardedApplication::instance()->TakeFaults();
    return m_faults;
  }
  [[nodiscard]] int steps() const { return m_steps; }
  Watchdog* watchdog = nullptr;

 private:
  void Note(const QString& what) {
    const QByteArray line =
        QStringLiteral("%1 %2 [focus %3]").arg(m_steps).arg(what, Describe(QApplication::focusWidget())).toUtf8();
    g_trail.Step(line);
    if (m_verbose) std::fprintf(stderr, "%s\n", line.constData());
  }

  void Restart() {
    m_restarting = true;
    CloseQuietly(m_main);
    m_main = StartProgram(*m_prompter, QSize(1280, 900));
    m_main->state().portDevice = m_radio.toStdString();
    m_restarting = false;
  }

  void Step() {
    if (m_finished) return;
    if (m_restarting) {  // the new main window is being shown
      QTimer::singleShot(10, this, [this] { Step(); });
      return;
    }
    ++m_depth;
    if (watchdog != nullptr) watchdog->Beat();
    if (m_started.elapsed() >= m_length.count() || !m_faults.isEmpty()) {
      WindDown();
    } else {
      // The next step is due even while this one runs a dialog or a menu
      // of its own.
      QTimer::singleShot(m_random.bounded(3), this, [this] { Step(); });
      ++m_steps;
      Act();
    }
    m_faults << GuardedApplication::instance()->TakeFaults();
    --m_depth;
  }

  // Closes what is open, from the top, until nothing is; then the run ends.
  void WindDown() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      popup->close();
    } else if (QWidget* modal = QApplication::activeModalWidget()) {
      if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
      else
        modal->close();
    } else if (m_depth == 1) {
      m_finished = true;
      return;
    }
    QTimer::singleShot(1, this, [this] { Step(); });
  }

  template <class T>
  const T& Pick(std::initializer_list<T> items) {
    return items.begin()[m_random.bounded(int(items.size()))];
  }
  template <class T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[m_random.bounded(int(N))];
  }

  void Act() {
    // A program the monkey exited is started again, once no step of the old
    // one is still running.
    if (!m_main->isVisible()) {
      if (m_depth == 1 && QApplication::activeModalWidget() == nullptr) {
        Note(QStringLiteral("start the program again"));
        Restart();
      }
      return;
    }
    if (KeepOpenThingsShort()) return;
    const bool free = QApplication::activePopupWidget() == nullptr && QApplication::activeModalWidget() == nullptr;
    const int roll = m_random.bounded(100);
    if (roll < 30) return PressKey();
    if (roll < 36) return TypeText();
    if (roll < 50) return ClickSomewhere();
    if (roll < 60) return MenuByKeys();
    if (roll < 66) return MenuByMouse();
    if (!free) return PressKey();
    if (roll < 78) return RunCommand();
    if (roll < 81) return Transfer();
    if (roll < 87) return ClickTree();
    if (roll < 91) return SwitchWindow();
    if (roll < 95) return SwitchLanguage();
    Note(QStringLiteral("wait"));
    QTimer::singleShot(m_random.bounded(150), this, [] {});
  }

  // A menu or dialog open for long gets Escape, then is closed, so the run
  // keeps reaching the rest of the program.
  bool KeepOpenThingsShort() {
    QWidget* top = QApplication::activePopupWidget();
    if (top == nullptr) top = QApplication::activeModalWidget();
    if (top != m_lastTop) {
      m_lastTop = top;
      m_topSteps = 0;
      return false;
    }
    if (top == nullptr || ++m_topSteps < 30) return false;
    Note(QStringLiteral("Escape out of ") + Describe(top));
    Chord(top, Qt::Key_Escape);
    if (m_topSteps >= 40 && QPointer<QWidget>(top) && top->isVisible()) {
      if (auto* dialog = qobject_cast<QDialog*>(top))
        dialog->reject();
      else
        top->close();
    }
    return true;
  }

  QWidget* Target() { return InputWidget(m_main.get()); }

  void PressKey() {
    QWidget* top = Target();
    if (m_random.bounded(50) == 0) {
      Note(QStringLiteral("key Ctrl+Shift+Alt+M"));
      return Chord(top, Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    }
    const Qt::Key key = Pick(kKeys);
    const Qt::KeyboardModifiers modifiers = key == Qt::Key_Alt ? Qt::NoModifier : Pick(kModifiers);
    Note(QStringLiteral("key %1 in %2").arg(QKeySequence(int(modifiers) | key).toString(), Describe(top)));
    Chord(top, key, modifiers);
  }

  void TypeText() {
    QString text;
    for (int n = 1 + m_random.bounded(8); n > 0; --n)
      text += QLatin1Char(kTyped[m_random.bounded(int(sizeof kTyped) - 1)]);
    QWidget* top = Target();
    Note(QStringLiteral("type \"%1\" in %2").arg(text, Describe(top)));
    for (const QChar c : text) {
      if (QPointer<QWidget> alive(top); !alive) return;
      TypeChar(top, c.toLatin1());
      top = Target();
    }
  }

  void ClickSomewhere() {
    QWidget* top = Target();
    QList<QWidget*> widgets{top};
    for (QWidget* child : top->findChildren<QWidget*>())
      if (child->isVisible() && child->window() == top && !child->size().isEmpty()) widgets << child;
    QWidget* widget = widgets[m_random.bounded(int(widgets.size()))];
    const QPoint at(m_random.bounded(std::max(1, widget->width())), m_random.bounded(std::max(1, widget->height())));
    const Qt::MouseButton button = m_random.bounded(6) == 0 ? Qt::RightButton : Qt::LeftButton;
    const Qt::KeyboardModifiers modifiers =
        m_random.bounded(8) == 0 ? Pick({Qt::ShiftModifier, Qt::ControlModifier}) : Qt::NoModifier;
    const bool twice = m_random.bounded(6) == 0;
    Note(QStringLiteral("%1click %2 at %3,%4").arg(twice ? "double " : "", Describe(widget)).arg(at.x()).arg(at.y()));
    Click(widget, at, button, modifiers, twice);
  }

  QMenu* RandomBand() {
    const QList<QAction*> bands = m_main->menuBar()->actions();
    if (bands.isEmpty()) return nullptr;
    return bands[m_random.bounded(int(bands.size()))]->menu();
  }
  QAction* RandomItem(QMenu* menu) {
    QList<QAction*> items;
    for (QAction* action : menu->actions())
      if (action->isVisible() && !action->isSeparator()) items << action;
    return items.isEmpty() ? nullptr : items[m_random.bounded(int(items.size()))];
  }

  // Alt and a band's letter, then an item's letter or arrows and Enter,
  // each key handled before the next is pressed.
  void MenuByKeys() {
    QMenu* band = QApplication::activePopupWidget() == nullptr ? RandomBand() : nullptr;
    if (band == nullptr || QApplication::activeModalWidget() != nullptr) return PressKey();
    Note(QStringLiteral("keys: Alt+") + band->title());
    Chord(m_main.get(), KeyOf(Mnemonic(band->title())), Qt::AltModifier);
    QMenu* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (open == nullptr) return;
    QAction* item = RandomItem(open);
    if (item == nullptr) return;
    if (const char letter = Mnemonic(item->text()); letter != 0 && m_random.bounded(2) == 0) {
      Note(QStringLiteral("keys: %1 for %2").arg(QChar::fromLatin1(letter)).arg(item->text()));
      return Chord(open, KeyOf(letter));
    }
    const int downs = m_random.bounded(int(open->actions().size()) + 1);
    Note(QStringLiteral("keys: Down x%1, Enter").arg(downs));
    for (int i = 0; i < downs && QApplication::activePopupWidget() == open; ++i) Chord(open, Qt::Key_Down);
    if (QApplication::activePopupWidget() == open) Chord(open, Qt::Key_Return);
  }

  void MenuByMouse() {
    if (auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      if (QAction* item = RandomItem(open)) {
        Note(QStringLiteral("click menu item ") + item->text());
        return Click(open, open->actionGeometry(item).center());
      }
      return;
    }
    QMenu* band = RandomBand();
    if (band == nullptr || QApplication::activeModalWidget() != nullptr) return ClickSomewhere();
    Note(QStringLiteral("click menu ") + band->title());
    Click(m_main->menuBar(), m_main->menuBar()->actionGeometry(band->menuAction()).center());
  }

  void RunCommand() {
    QStringList keys = MDIForm1::CommandKeys();
    for (const auto& [key, command] : RegisteredMainCommands()) keys << key;
    const QString key = keys[m_random.bounded(int(keys.size()))];
    Note(QStringLiteral("command ") + key);
    m_main->Dispatch(key);
  }

  void Transfer() {
    if (m_main->isTransferRunning()) return;
    m_main->state().portDevice = m_radio.toStdString();
    const char* key = m_random.bounded(2) == 0 ? "miRead" : "miWrite";
    Note(QStringLiteral("transfer ") + key);
    m_main->Dispatch(key);
  }

  void ClickTree() {
    QTreeWidget* tree = m_main->treeView()->tree();
    if (!tree->isVisible()) return SwitchWindow();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QTreeWidgetItem* node = root->child(m_random.bounded(root->childCount()));
    if (m_random.bounded(3) == 0) {
      Note(QStringLiteral("tree: Enter on ") + node->text(0));
      tree->setCurrentItem(node);
      tree->setFocus(Qt::TabFocusReason);
      return Chord(tree, Qt::Key_Return);
    }
    Note(QStringLiteral("tree: click ") + node->text(0));
    Click(tree->viewport(), tree->visualItemRect(node).center());
  }

  void SwitchWindow() {
    const int way = m_random.bounded(3);
    Note(QStringLiteral("switch window %1").arg(way));
    if (way == 0) return Chord(m_main.get(), Qt::Key_Tab, Qt::ControlModifier);
    if (way == 1) return Chord(m_main.get(), Qt::Key_F6);
    const QList<QMdiSubWindow*> windows = m_main->mdiArea()->subWindowList();
    if (!windows.isEmpty()) m_main->mdiArea()->setActiveSubWindow(windows[m_random.bounded(int(windows.size()))]);
  }

  void SwitchLanguage() {
    const bool chinese = m_random.bounded(2) == 0;
    Note(QStringLiteral("language by keys: %1").arg(chinese ? "Chinese" : "English"));
    Chord(m_main.get(), Qt::Key_L, Qt::AltModifier);
    auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (open == nullptr) return;
    if (QAction* choice = m_main->tool(chinese ? "miChinese" : "miEnglish"))
      Chord(open, KeyOf(Mnemonic(choice->text())));
  }

  QRandomGenerator m_random;
  std::chrono::milliseconds m_length;
  KeptWorkingFolder m_keptFolder;
  QString m_folder;
  DemoRadio m_radioProcess;
  QString m_radio;
  std::unique_ptr<MonkeyPrompter> m_prompter;
  std::unique_ptr<MDIForm1> m_main;
  QElapsedTimer m_started;
  QStringList m_faults;
  bool m_finished = false;
  bool m_restarting = false;
  const bool m_verbose = qEnvironmentVariableIsSet("ORVEX_MONKEY_LOG");
  int m_depth = 0;
  int m_steps = 0;
  QPointer<QWidget> m_lastTop;
  int m_topSteps = 0;
};

quint32 EnvironmentNumber(const char* name, quint32 fallback) {
  bool ok = false;
  const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
  return ok ? value : fallback;
}

}  // namespace

class MonkeyTest : public QObject {
  Q_OBJECT

 private:
  // The program reading a blank radio at full speed; null when the radio
  // could not start.
  std::unique_ptr<MDIForm1> StartReading(const QTemporaryDir& folder, DemoRadio& radio) {
    const QString image = folder.filePath("radio.tw");
    if (!WriteCodeplugFile(image.toStdString(), BlankImage())) return nullptr;
    const auto device = radio.Start(test::SimProgram(), {"--fast", "--image", image});
    if (!device) return nullptr;
    std::unique_ptr<MDIForm1> main = StartProgram(m_prompter);
    main->state().portDevice = device->toStdString();
    main->Dispatch("miRead");
    return main->isTransferRunning() ? std::move(main) : nullptr;
  }

  ScriptedPrompter m_prompter;

  static QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

 private slots:
  void cleanup() { QVERIFY(GuardedApplication::instance()->TakeFaults().isEmpty()); }

  // Commands that rebuild the menus or close the windows, chosen from their
  // own menu by keys or the mouse, with a channel cell being edited: the
  // menu (or editor) that started them is still handling its event.
  void commandFromItsOwnMenu_data() {
    QTest::addColumn<QString>("band");
    QTest::addColumn<QStringList>("tools");  // chosen in turn, round after round
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("answer");  // to every question
    const QStringList languages{"miChinese", "miEnglish"};
    QTest::newRow("Alt+L, then the letter") << "miLanguage" << languages << "letter" << 0;
    QTest::newRow("Alt+L, arrows and Enter") << "miLanguage" << languages << "arrows" << 0;
    QTest::newRow("Language by the mouse") << "miLanguage" << languages << "mouse" << 0;
    QTest::newRow("File > New, the letter") << "miFile" << QStringList{"miNew"} << "letter" << int(QMessageBox::Ok);
    QTest::newRow("File > recent file, the letter")
        << "miFile" << QStringList{"miRecent1"} << "letter" << int(QMessageBox::No);
    QTest::newRow("Window > Close All, the mouse") << "miWindow" << QStringList{"miCloseAll"} << "mouse" << 0;
  }
  void commandFromItsOwnMenu() {
    QFETCH(QString, band);
    QFETCH(QStringList, tools);
    QFETCH(QString, way);
    QFETCH(int, answer);
    QTemporaryDir folder;
    const QString recent = folder.filePath("recent.tw");
    QVERIFY(WriteCodeplugFile(recent.toStdString(), BlankImage()));
    std::unique_ptr<MDIForm1> main = StartProgram(m_prompter);
    QVERIFY(main->OpenFilePath(recent));
    for (int round = 0; round < 6; ++round) {
      for (int i = 0; i < 4; ++i) m_prompter.answers << QMessageBox::StandardButton(answer);
      main->Dispatch("miChannel");
      QApplication::setActiveWindow(main.get());  // as the window manager does after a popup
      main->FocusWorkArea();
      TypeChar(main.get(), '1');  // the grid opens its editor
      QMenu* menu = main->band(band);
      if (way == QLatin1String("mouse"))
        Click(main->menuBar(), main->menuBar()->actionGeometry(menu->menuAction()).center());
      else
        Chord(main.get(), KeyOf(Mnemonic(menu->title())), Qt::AltModifier);
      QTRY_COMPARE(OpenMenu(), menu);
      QAction* choice = main->tool(tools[round % tools.size()]);
      if (choice == nullptr) choice = main->findChild<QAction*>(tools[round % tools.size()]);
      QVERIFY(choice != nullptr);
      if (way == QLatin1String("letter")) {
        Chord(menu, KeyOf(Mnemonic(choice->text())));
      } else if (way == QLatin1String("arrows")) {
        for (int at = 0; menu->actions().at(at) != choice; ++at) Chord(menu, Qt::Key_Down);
        Chord(menu, Qt::Key_Return);
      } else {
        Click(menu, menu->actionGeometry(choice).center());
      }
      QTRY_VERIFY(OpenMenu() == nullptr);
      QTest::qWait(1);  // the deferred deletes
      if (band == QLatin1String("miLanguage")) QCOMPARE(main->state().language, round % 2 == 0 ? kChinese : kEnglish);
      if (choice->objectName() == QLatin1String("miRecent1")) QCOMPARE(main->documentPath(), recent);
      if (choice->objectName() == QLatin1String("miCloseAll")) QCOMPARE(main->state().openWindows, 0);
      const QStringList faults = GuardedApplication::instance()->TakeFaults();
      QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
      m_prompter.answers.clear();
    }
    CloseQuietly(main);
  }

  // A Read ends, and refreshes everything, while a dialog chosen from a menu
  // by keys runs inside that menu's key handler.
  void transferEndsUnderADialogFromAMenu() {
    QTemporaryDir folder;
    DemoRadio radio;
    std::unique_ptr<MDIForm1> main = StartReading(folder, radio);
    QVERIFY(main != nullptr);
    bool ended = false;
    m_prompter.onDialog = [&](QDialog&) {
      ended = QTest::qWaitFor([&] { return !main->isTransferRunning(); }, 30000);
      return int(QDialog::Rejected);
    };
    QMenu* help = main->band("miHelp");
    Chord(main.get(), KeyOf(Mnemonic(help->title())), Qt::AltModifier);
    QTRY_COMPARE(OpenMenu(), help);
    Chord(help, KeyOf(Mnemonic(main->tool("miAbout")->text())));
    m_prompter.onDialog = {};
    QVERIFY(ended);
    QCOMPARE(m_prompter.dialogs, QStringList{"frmAbout"});
    QTest::qWait(1);
    const QStringList faults = GuardedApplication::instance()->TakeFaults();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    CloseQuietly(main);
  }

  // The same with the dialog run from a toolbar button's click: the button
  // must outlive the refresh (the monkey once saw it destroyed there).
  void transferEndsUnderADialogFromAToolButton() {
    QTemporaryDir folder;
    DemoRadio radio;
    std::unique_ptr<MDIForm1> main = StartReading(folder, radio);
    QVERIFY(main != nullptr);
    QWidget* button = main->findChild<QToolBar*>()->widgetForAction(main->tool("miAbout"));
    QVERIFY(button != nullptr);
    bool ended = false;
    m_prompter.onDialog = [&](QDialog&) {
      ended = QTest::qWaitFor([&] { return !main->isTransferRunning(); }, 30000);
      return int(QDialog::Rejected);
    };
    QTest::mouseClick(button, Qt::LeftButton);
    m_prompter.onDialog = {};
    QVERIFY(ended);
    QCOMPARE(m_prompter.dialogs.value(m_prompter.dialogs.size() - 1), QStringLiteral("frmAbout"));
    QTest::qWait(1);
    const QStringList faults = GuardedApplication::instance()->TakeFaults();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    QCOMPARE(main->findChild<QToolBar*>()->widgetForAction(main->tool("miAbout")), button);
    CloseQuietly(main);
  }

  // Seeds that once found a fault run first, briefly; then a fresh seed (or
  // the one given) for the rest of the time.
  void monkey_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("share");  // per cent of the run's time
    const bool given = qEnvironmentVariableIsSet("ORVEX_MONKEY_SEED");
    // Alt+L, C as the first step: the Language menu deleted from its own
    // key press.
    if (!given) QTest::newRow("seed 1646282211") << 1646282211u << 5;
    QTest::newRow("fresh seed") << EnvironmentNumber("ORVEX_MONKEY_SEED", QRandomGenerator::system()->generate())
                                << (given ? 100 : 95);
  }
  void monkey() {
    QFETCH(quint32, seed);
    QFETCH(int, share);
    const auto seconds = std::chrono::seconds(EnvironmentNumber("ORVEX_MONKEY_SECONDS", 10));
    const auto length = std::chrono::duration_cast<std::chrono::milliseconds>(seconds) * share / 100;
    QTemporaryDir folder;
    const QByteArray header =
        QStringLiteral("monkey: seed %1 for %2 ms; ORVEX_MONKEY_SEED=%1 ORVEX_MONKEY_SECONDS=%3 repeats it")
            .arg(seed)
            .arg(length.count())
            .arg(std::max<qint64>(1, length.count() / 1000))
            .toUtf8();
    std::fprintf(stderr, "%s\n", header.constData());
    g_trail.SetHeader(header);
    Monkey monkey(seed, length, folder.path());
    const DeathReport report;
    Watchdog watchdog(g_trail, std::chrono::seconds(30));
    monkey.watchdog = &watchdog;
    const QStringList faults = monkey.Run();
    std::fprintf(stderr, "monkey: %d steps\n", monkey.steps());
    if (!faults.isEmpty()) g_trail.Write("monkey: FAILED");
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n') + '\n' + header));
  }
};

ORVEX_UI_TEST_MAIN_WITH(MonkeyTest, GuardedApplication)
#include "monkey_qtest.moc"
