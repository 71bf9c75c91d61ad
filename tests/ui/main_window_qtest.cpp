// The main window: start-up, commands, the editing-window contract, the
// tree, language switching and the modified question.
#include <QAction>
#include <QDockWidget>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <memory>

#include "codeplug/file_io.h"
#include "core/frequency.h"
#include "core/preferences.h"
#include "ui/main/command_layout.h"
#include "ui/main/frm_tree_view.h"
#include "ui/main/mdi_form1.h"
#include "ui/memorymap/frm_memory_map.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;

namespace {
constexpr std::size_t kSomeAddress = 0x0E30;
}

class MainWindowTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  QStringList m_log;

  MDIForm1& Start(EditingWindowFactories windows) {
    m_log.clear();
    return StartMain({.windows = std::move(windows), .show = test::MainWindowStart::Show::Shown});
  }
  MDIForm1& Start() { return Start(test::LoggingWindows(&m_log)); }

  // Closes without any question, as a user answering No would.
  void Stop() { StopMain(); }

  QString WrittenFile(const Image& image) {
    const QString path = m_dir.filePath(QStringLiteral("written%1.tw").arg(++m_files));
    if (!WriteCodeplugFile(path.toStdString(), image)) qFatal("cannot write a test file");
    return path;
  }
  int m_files = 0;

 private slots:
  void init() { WriteLanguagePreference(0); }
  void cleanup() { Stop(); }

  void startUpOrderAndDefaults() {
    MDIForm1& w = Start();
    QCOMPARE(w.windowTitle(), QStringLiteral("ORVEX - Untitled.tw [*]"));
    QVERIFY(!w.isWindowModified());
    QCOMPARE(w.state().language, 0);
    QCOMPARE(w.state().portNumber, 1);
    QCOMPARE(w.state().viewFlags, std::uint8_t(7));
    QCOMPARE(QString::fromStdString(w.state().fileName), QStringLiteral("Untitled.tw"));
    // The optional features window exists hidden, the channel window is shown.
    QCOMPARE(w.state().openWindows, std::uint8_t(kWinChannel | kWinSetting));
    QVERIFY(w.editingWindow(kWinSetting) != nullptr);
    QVERIFY(w.editingWindow(kWinSetting)->isHidden());
    QVERIFY(w.editingWindow(kWinChannel)->isVisible());
    QCOMPARE(m_log, QStringList({"refresh:04", "refresh:01"}));
    QVERIFY(!w.memory().IsModified());
    for (std::size_t row = 1; row <= 128; ++row) {
      for (std::size_t column = 0; column < kRowSize; ++column) QCOMPARE(w.memory().at(row, column), kEmpty);
    }
    QCOMPARE(ReadFreq(w.memory().row(129), Direction::Rx), std::string("400.02500"));
    QCOMPARE(ReadFreq(w.memory().row(130), Direction::Rx), std::string("136.02500"));
    QCOMPARE(w.progressBar()->value(), 0);
    QVERIFY(w.tool("miEnglish")->isChecked());
    QVERIFY(!w.tool("miChinese")->isChecked());
    QVERIFY(!w.tool("miSignal")->isEnabled());
    QVERIFY(w.treeBand()->isVisible() && w.toolBar()->isVisible() && w.statusStrip()->isVisible());
  }

  void startUpWithoutWindows() {
    MDIForm1& w = Start({});
    QCOMPARE(w.state().openWindows, std::uint8_t(kWinChannel));
    QVERIFY(w.editingWindow(kWinChannel) == nullptr);
    // Menu entries of windows that do not exist yet open nothing.
    for (const char* key : {"miChannel", "miCommonSet", "miKeySet", "miMSK", "mi2Tone", "mi5Tone", "miScr"}) {
      w.Dispatch(key);
    }
    w.ClickNode("Item6");
    QVERIFY(w.mdiArea()->subWindowList().isEmpty());
    w.Dispatch("miCloseAll");
    QCOMPARE(w.state().openWindows, std::uint8_t(0));
  }

  void everyCommandHasItsToolInBothLayouts_data() {
    QTest::addColumn<QString>("key");
    for (const QString& key : MDIForm1::CommandKeys()) QTest::newRow(qPrintable(key)) << key;
  }
  void everyCommandHasItsToolInBothLayouts() {
    QFETCH(QString, key);
    for (const int language : {0, 1}) {
      const auto layout = LoadCommandLayout(CommandLayoutPath(language));
      QVERIFY(layout.has_value());
      const ToolLayout* tool = layout->tool(key);
      QVERIFY2(tool != nullptr, qPrintable(key));
      QVERIFY2(tool->caption.contains('&'), qPrintable(tool->caption));
      bool placed = false;
      for (const BandLayout& band : layout->bands) placed = placed || band.tools.contains(key);
      QVERIFY2(placed, qPrintable(key));
    }
    for (const char* band : {"miView", "miLanguage", "miEdit", "BandTree", "ToolBar", "StatusBar"}) {
      QVERIFY(LoadCommandLayout(CommandLayoutPath(1))->band(band) != nullptr);
      QVERIFY(LoadCommandLayout(CommandLayoutPath(0))->band(band) != nullptr);
    }
  }

  void shortcuts_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("new") << "miNew"
                         << "Ctrl+N";
    QTest::newRow("open") << "miOpen"
                          << "Ctrl+O";
    QTest::newRow("save") << "miSave"
                          << "Ctrl+S";
    QTest::newRow("print") << "miPrint"
                           << "Ctrl+P";
    QTest::newRow("exit") << "miExit"
                          << "Ctrl+Q";
  }
  void shortcuts() {
    QFETCH(QString, key);
    QFETCH(QString, shortcut);
    MDIForm1& w = Start();
    QCOMPARE(w.tool(key)->shortcut(), QKeySequence(shortcut));
    w.Dispatch("miChinese");
    QCOMPARE(w.tool(key)->shortcut(), QKeySequence(shortcut));
  }

  void newWithCancelChangesNothing() {
    MDIForm1& w = Start();
    w.memory()[kSomeAddress] = 0x42;
    m_prompter->answers = {QMessageBox::Cancel};
    m_log.clear();
    w.Dispatch("miNew");
    QCOMPARE(m_prompter->questions.size(), 1);
    const test::Question& q = m_prompter->questions.first();
    QCOMPARE(q.title, QStringLiteral("Alert!"));
    QCOMPARE(q.text, QStringLiteral("All data will be cleared."));
    QCOMPARE(q.icon, QMessageBox::Warning);
    QCOMPARE(q.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(q.defaultButton, QMessageBox::Cancel);
    QCOMPARE(w.memory()[kSomeAddress], std::uint8_t(0x42));
    QVERIFY(m_log.isEmpty());
  }

  void newWithOkClearsAndRefreshes() {
    MDIForm1& w = Start();
    w.memory()[kSomeAddress] = 0x42;
    m_log.clear();
    w.Dispatch("miNew");
    QCOMPARE(w.memory().image(), BlankImage());
    QVERIFY(!w.memory().IsModified());
    QCOMPARE(m_log, QStringList({"refresh:01", "refresh:04"}));
    QCOMPARE(QString::fromStdString(w.state().fileName), QStringLiteral("Untitled.tw"));
  }

  void saveDialogCancelled() {
    MDIForm1& w = Start();
    w.memory()[kSomeAddress] = 0x42;
    m_log.clear();
    w.Dispatch("miSave");
    QCOMPARE(m_prompter->proposedNames, QStringList({"Untitled.tw"}));
    QCOMPARE(QString::fromStdString(w.state().fileName), QStringLiteral("Untitled.tw"));
    QVERIFY(!QFile::exists("Untitled.tw"));
    // The windows were stored, but the change still counts as unsaved.
    QVERIFY(m_log.contains("store:01"));
    QVERIFY(w.memory().IsModified());
  }

  void saveWritesAndSetsTheBaseline() {
    MDIForm1& w = Start();
    w.memory()[kSomeAddress] = 0x42;
    const QString path = m_dir.filePath("saved.tw");
    m_prompter->saveName = path;
    w.Dispatch("miSave");
    QCOMPARE(QString::fromStdString(w.state().fileName), path);
    QVERIFY(!w.memory().IsModified());
    const auto parsed = ReadCodeplugFile(path.toStdString());
    QVERIFY(parsed && parsed->check == CodeplugCheck::Ok);
    QCOMPARE(parsed->image, w.memory().image());
    // Save writes back to that file; Save As asks, proposing it.
    m_prompter->saveName.clear();
    w.Dispatch("miSave");
    QCOMPARE(m_prompter->proposedNames.size(), 1);
    w.Dispatch("miSaveAs");
    QCOMPARE(m_prompter->proposedNames.last(), path);
  }

  void saveFailureIsReported() {
    MDIForm1& w = Start();
    m_prompter->saveName = m_dir.filePath("missing-folder/x.tw");
    w.Dispatch("miSave");
    QCOMPARE(m_prompter->questions.size(), 1);
    QCOMPARE(m_prompter->questions.first().title, QStringLiteral("ORVEX"));
    QCOMPARE(m_prompter->questions.first().icon, QMessageBox::Warning);
  }

  void openReplacesImageAndSaveGoesBackToTheFile() {
    MDIForm1& w = Start();
    Image image = BlankImage();
    image[kSomeAddress] = 0x17;
    m_prompter->openName = WrittenFile(image);
    m_log.clear();
    w.Dispatch("miOpen");
    QVERIFY(m_prompter->questions.isEmpty());
    QCOMPARE(w.memory()[kSomeAddress], std::uint8_t(0x17));
    QVERIFY(!w.memory().IsModified());
    QVERIFY(m_log.contains("refresh:01"));
    QCOMPARE(QString::fromStdString(w.state().fileName), m_prompter->openName);
    QCOMPARE(w.documentPath(), m_prompter->openName);
  }

  void openAsksWhenModified_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveName");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<int>("openDialogs");
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << QString() << false << 0;
    QTest::newRow("no") << int(QMessageBox::No) << QString() << true << 1;
    QTest::newRow("yes, save cancelled") << int(QMessageBox::Yes) << QString() << false << 0;
    QTest::newRow("yes, saved") << int(QMessageBox::Yes) << QString("first.tw") << true << 1;
  }
  void openAsksWhenModified() {
    QFETCH(int, answer);
    QFETCH(QString, saveName);
    QFETCH(bool, opened);
    QFETCH(int, openDialogs);
    MDIForm1& w = Start();
    Image image = BlankImage();
    image[kSomeAddress] = 0x17;
    m_prompter->openName = WrittenFile(image);
    m_prompter->saveName = saveName.isEmpty() ? QString() : m_dir.filePath(saveName);
    // Changed, then a tree click: the click stores but does not hide the change.
    w.memory()[kSomeAddress] = 0x42;
    w.ClickNode("Root");
    m_prompter->answers = {QMessageBox::StandardButton(answer)};
    w.Dispatch("miOpen");
    QCOMPARE(m_prompter->questions.size(), 1);
    QCOMPARE(m_prompter->questions.first().text, QStringLiteral("File has been modified, save it now?"));
    QCOMPARE(m_prompter->questions.first().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(m_prompter->openDialogs, openDialogs);
    QCOMPARE(w.memory()[kSomeAddress], std::uint8_t(opened ? 0x17 : 0x42));
    if (!saveName.isEmpty()) {
      const auto saved = ReadCodeplugFile(m_dir.filePath(saveName).toStdString());
      QVERIFY(saved && saved->image[kSomeAddress] == 0x42);
    }
  }

  void openRejectsBadFiles_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("title");
    Bytes plain = PlainImage(BlankImage());
    QTest::newRow("plain image without pass count")
        << QByteArray(reinterpret_cast<const char*>(plain.data()), qsizetype(plain.size())) << "Error";
    plain.push_back(0x00);  // zero passes
    plain[0] = 'X';
    QTest::newRow("wrong tag") << QByteArray(reinterpret_cast<const char*>(plain.data()), qsizetype(plain.size()))
                               << "ORVEX";
  }
  void openRejectsBadFiles() {
    QFETCH(QByteArray, content);
    QFETCH(QString, title);
    MDIForm1& w = Start();
    const QString path = m_dir.filePath("bad.tw");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    const Image before = w.memory().image();
    m_prompter->openName = path;
    w.Dispatch("miOpen");
    QCOMPARE(m_prompter->questions.size(), 1);
    QCOMPARE(m_prompter->questions.first().text, QStringLiteral("Incorrect File Type."));
    QCOMPARE(m_prompter->questions.first().title, title);
    QCOMPARE(m_prompter->questions.first().icon, QMessageBox::Critical);
    QCOMPARE(w.memory().image(), before);
  }

  void emptyFileEndsSilently() {
    MDIForm1& w = Start();
    const QString path = m_dir.filePath("empty.tw");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.close();
    QVERIFY(!w.OpenFilePath(path));
    QVERIFY(m_prompter->questions.isEmpty());
  }

  void printShowsTheDialogAfterStoring() {
    MDIForm1& w = Start();
    m_log.clear();
    w.Dispatch("miPrint");
    QCOMPARE(m_prompter->dialogs.size(), 1);
    QVERIFY(m_log.contains("store:01"));
  }

  void englishWhileEnglishStoresButDoesNotReload() {
    MDIForm1& w = Start();
    m_log.clear();
    w.Dispatch("miEnglish");
    QCOMPARE(m_log, QStringList({"commit:01", "store:01", "commit:04", "store:04"}));
    QVERIFY(w.tool("miEnglish")->isChecked());
    QCOMPARE(w.state().language, 0);
  }

  // Qt's own texts (message box buttons) follow the program's language.
  void qtTextsFollowTheLanguage() {
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(translations + "/qtbase_zh_CN.qm")) QSKIP("Qt's Chinese translation is not installed");
    MDIForm1& w = Start();
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    w.Dispatch("miChinese");
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    w.Dispatch("miEnglish");
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
  }

  void languageSwitchReloadsEverything() {
    MDIForm1& w = Start();
    m_log.clear();
    w.Dispatch("miChinese");
    QCOMPARE(w.state().language, 1);
    QVERIFY(w.tool("miChinese")->isChecked());
    QVERIFY(!w.tool("miEnglish")->isChecked());
    QCOMPARE(w.band("miFile")->title(), QString::fromUtf8("文件(&F)"));
    QCOMPARE(w.tool("miNew")->text(), QString::fromUtf8("新建(&N)"));
    QCOMPARE(w.treeView()->node("Item8")->text(0), QString::fromUtf8("扰频频率"));
    QCOMPARE(w.treeView()->node("Item1")->text(0), QString::fromUtf8("信道信息"));
    QVERIFY(!w.tool("miSignal")->isEnabled());
    QCOMPARE(m_log, QStringList({"commit:01", "store:01", "commit:04", "store:04", "refresh:01", "refresh:04"}));
    w.Dispatch("miEnglish");
    QCOMPARE(w.treeView()->node("Item8")->text(0), QStringLiteral("Scrambler Frequency"));
    QCOMPARE(w.band("miFile")->title(), QStringLiteral("&File"));
  }

  void languageIsRememberedAcrossARestart() {
    Start().Dispatch("miChinese");
    Stop();
    QCOMPARE(ReadLanguagePreference(), 1);
    MDIForm1& again = Start();
    QCOMPARE(again.state().language, 1);
    QVERIFY(again.tool("miChinese")->isChecked());
    QCOMPARE(again.treeView()->node("Item1")->text(0), QString::fromUtf8("信道信息"));
    again.Dispatch("miEnglish");
    Stop();
    QCOMPARE(ReadLanguagePreference(), 0);
  }

  void viewTogglesTwiceRestore_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("bit");
    QTest::newRow("tree") << "miTreeView" << int(kViewTree);
    QTest::newRow("toolbar") << "miToolBar" << int(kViewToolBar);
    QTest::newRow("status") << "miStatusBar" << int(kViewStatusBar);
  }
  void viewTogglesTwiceRestore() {
    QFETCH(QString, key);
    QFETCH(int, bit);
    MDIForm1& w = Start();
    QWidget* element = bit == kViewTree      ? static_cast<QWidget*>(w.treeBand())
                       : bit == kViewToolBar ? static_cast<QWidget*>(w.toolBar())
                                             : static_cast<QWidget*>(w.statusStrip());
    w.tool(key)->trigger();
    QVERIFY(!w.tool(key)->isChecked());
    QVERIFY(!element->isVisible());
    QCOMPARE(w.state().viewFlags, std::uint8_t(7 & ~bit));
    if (bit == kViewStatusBar) QVERIFY(!w.progressBar()->isVisible());
    w.tool(key)->trigger();
    QVERIFY(w.tool(key)->isChecked());
    QVERIFY(element->isVisible());
    QCOMPARE(w.state().viewFlags, std::uint8_t(7));
  }

  void closingTheTreeBandUnchecksTreeView() {
    MDIForm1& w = Start();
    w.treeBand()->close();
    QVERIFY(!w.tool("miTreeView")->isChecked());
    QCOMPARE(w.state().viewFlags & kViewTree, 0);
    w.Dispatch("miTreeView");
    QVERIFY(w.treeBand()->isVisible());
  }

  void refreshAndSaveWalkTheWindowsInBitOrder() {
    MDIForm1& w = Start();
    for (const char* key : {"mi5Tone", "miScr", "miKeySet", "mi2Tone", "miMSK"}) w.Dispatch(key);
    QCOMPARE(w.state().openWindows, std::uint8_t(0xF7));
    m_log.clear();
    w.RefreshAll();
    QCOMPARE(m_log, QStringList({"refresh:01", "refresh:02", "refresh:04", "refresh:10", "refresh:20", "refresh:40",
                                 "refresh:80"}));
    m_log.clear();
    w.SaveAll();
    QStringList expected;
    for (const char* tag : {"01", "02", "04", "10", "20", "40", "80"}) {
      expected << QStringLiteral("commit:%1").arg(tag) << QStringLiteral("store:%1").arg(tag);
    }
    QCOMPARE(m_log, expected);
  }

  void closeAllFollowsTheContract() {
    MDIForm1& w = Start();
    for (const char* key : {"miKeySet", "miMSK"}) w.Dispatch(key);
    m_log.clear();
    w.Dispatch("miCloseAll");
    QCOMPARE(w.state().openWindows, std::uint8_t(0));
    // The channel window stores first, then again as it closes; MSK stores
    // as it hides.
    QCOMPARE(m_log, QStringList({"commit:01", "store:01", "commit:01", "store:01", "commit:10", "store:10"}));
    QTRY_VERIFY(w.editingWindow(kWinChannel) == nullptr);
    QTRY_VERIFY(w.editingWindow(kWinKey) == nullptr);
    QVERIFY(w.editingWindow(kWinSetting) != nullptr && w.editingWindow(kWinSetting)->isHidden());
    QVERIFY(w.editingWindow(kWinMsk) != nullptr && w.editingWindow(kWinMsk)->isHidden());
    // Reopening a hidden window shows it again, reloaded, with its bit set.
    m_log.clear();
    w.Dispatch("miMSK");
    QCOMPARE(m_log, QStringList({"refresh:10"}));
    QVERIFY(w.editingWindow(kWinMsk)->isVisible());
    QCOMPARE(w.state().openWindows, std::uint8_t(kWinMsk));
  }

  void closeAllWithNothingOpenOnlyClearsTheSet() {
    MDIForm1& w = Start();
    w.Dispatch("miCloseAll");
    m_log.clear();
    w.Dispatch("miCloseAll");
    QVERIFY(m_log.isEmpty());
    QCOMPARE(w.state().openWindows, std::uint8_t(0));
  }

  void treeClicks_data() {
    QTest::addColumn<QString>("node");
    QTest::addColumn<int>("bit");
    QTest::addColumn<bool>("reloadsWhenOpen");
    QTest::newRow("root") << "Root" << 0 << false;
    QTest::newRow("channel") << "Item1" << int(kWinChannel) << false;
    QTest::newRow("settings") << "Item2" << int(kWinSetting) << true;
    QTest::newRow("key") << "Item3" << int(kWinKey) << false;
    QTest::newRow("msk") << "Item5" << int(kWinMsk) << true;
    QTest::newRow("2-tone") << "Item6" << int(kWin2Tone) << true;
    QTest::newRow("5-tone") << "Item7" << int(kWin5Tone) << true;
    QTest::newRow("scrambler") << "Item8" << int(kWinScrambler) << true;
  }
  void treeClicks() {
    QFETCH(QString, node);
    QFETCH(int, bit);
    QFETCH(bool, reloadsWhenOpen);
    MDIForm1& w = Start();
    QTreeWidget* tree = w.treeView()->tree();
    for (int click = 0; click < 2; ++click) {
      m_log.clear();
      // Every click stores the open windows first.
      QStringList stores;
      for (const WindowBit open : kWindowOrder) {
        if ((w.state().openWindows & open) == 0) continue;
        const QString tag = QStringLiteral("%1").arg(int(open), 2, 16, QLatin1Char('0'));
        stores << "commit:" + tag << "store:" + tag;
      }
      QTreeWidgetItem* item = w.treeView()->node(node);
      QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
      QCOMPARE(m_log.mid(0, stores.size()), stores);
      const QStringList rest = m_log.mid(stores.size());
      if (bit == 0) {
        QVERIFY(rest.isEmpty());
        continue;
      }
      QVERIFY(w.state().openWindows & bit);
      QVERIFY(w.editingWindow(WindowBit(bit))->isVisible());
      QCOMPARE(w.mdiArea()->activeSubWindow(), w.editingWindow(WindowBit(bit)));
      const QString tag = QStringLiteral("refresh:%1").arg(bit, 2, 16, QLatin1Char('0'));
      const bool existed = bit == kWinChannel || bit == kWinSetting || click == 1;
      const bool refreshed = !existed || reloadsWhenOpen;
      QCOMPARE(rest, refreshed ? QStringList({tag}) : QStringList());
    }
  }

  void hiddenGestureOpensTheMemoryMap_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("opens");
    const int all = int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    QTest::newRow("right, all three") << int(Qt::RightButton) << all << true;
    QTest::newRow("left, all three") << int(Qt::LeftButton) << all << false;
    QTest::newRow("right, shift+ctrl") << int(Qt::RightButton) << int(Qt::ShiftModifier | Qt::ControlModifier) << false;
    QTest::newRow("right, none") << int(Qt::RightButton) << 0 << false;
  }
  void hiddenGestureOpensTheMemoryMap() {
    QFETCH(int, button);
    QFETCH(int, modifiers);
    QFETCH(bool, opens);
    MDIForm1& w = Start();
    m_prompter->onDialog = [](QDialog& dialog) {
      auto& map = dynamic_cast<FrmMemoryMap&>(dialog);
      map.model()->setData(map.model()->index(0x0E3, 0), "5A", Qt::EditRole);
      map.accept();
      return int(QDialog::Accepted);
    };
    m_log.clear();
    QTest::mouseClick(w.progressBar(), Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_prompter->dialogs, opens ? QStringList({"frmMemoryMap"}) : QStringList());
    QCOMPARE(w.memory()[kSomeAddress], std::uint8_t(opens ? 0x5A : BlankImage()[kSomeAddress]));
    if (opens) {
      // Stored before, reloaded after, and the change counts as unsaved.
      QCOMPARE(m_log.first(), QStringLiteral("commit:01"));
      QVERIFY(m_log.contains("refresh:01"));
      QVERIFY(w.memory().IsModified());
    }
  }

  void exitAndCloseBoxAskWhenModified_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    for (const char* how : {"miExit", "close box"}) {
      QTest::addRow("%s, cancel", how) << how << int(QMessageBox::Cancel) << false;
      QTest::addRow("%s, no", how) << how << int(QMessageBox::No) << true;
      QTest::addRow("%s, yes but save cancelled", how) << how << int(QMessageBox::Yes) << false;
    }
  }
  void exitAndCloseBoxAskWhenModified() {
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    MDIForm1& w = Start();
    w.memory()[kSomeAddress] = 0x42;
    m_prompter->answers = {QMessageBox::StandardButton(answer)};
    if (how == "miExit") {
      w.Dispatch("miExit");
    } else {
      w.close();
    }
    QCOMPARE(m_prompter->texts(), QStringList({"File has been modified, save it now?"}));
    QCOMPARE(w.isVisible(), !closes);
    if (closes) m_main.reset();
  }

  void programCloseFollowsTheContract() {
    MDIForm1& w = Start();
    w.Dispatch("miMSK");
    m_log.clear();
    w.Dispatch("miExit");
    // Every window stores once before the question; then only the channel
    // window stores again as it closes.
    QCOMPARE(m_log, QStringList({"commit:01", "store:01", "commit:04", "store:04", "commit:10", "store:10", "commit:01",
                                 "store:01"}));
    QCOMPARE(w.state().openWindows, std::uint8_t(0));
    QTRY_VERIFY(w.editingWindow(kWinMsk) == nullptr);
    m_main.reset();
  }

  void exitWithoutChangesAsksNothing() {
    MDIForm1& w = Start();
    w.Dispatch("miExit");
    QVERIFY(m_prompter->questions.isEmpty());
    QVERIFY(!w.isVisible());
    m_main.reset();
  }

  void aboutAndPortDialogsAreModal() {
    MDIForm1& w = Start();
    w.Dispatch("miAbout");
    w.Dispatch("miComPort");
    QCOMPARE(m_prompter->dialogs, QStringList({"frmAbout", "frmComPort"}));
    QCOMPARE(w.state().portNumber, 1);  // cancelled
  }

  void unknownKeysDoNothing() {
    MDIForm1& w = Start();
    m_log.clear();
    w.Dispatch("miSignal");
    w.Dispatch("miNothing");
    QVERIFY(m_log.isEmpty());
    QVERIFY(m_prompter->questions.isEmpty());
  }
};

ORVEX_UI_TEST_MAIN(MainWindowTest)
#include "main_window_qtest.moc"
