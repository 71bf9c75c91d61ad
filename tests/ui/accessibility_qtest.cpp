// Screen reader names and keyboard reach, inside the program: every control
// of every window has a name of its own in both languages, grid cells and
// their editors speak their place, and a keyboard alone does a whole round.
// (accessibility_walk.py reads the same from outside, over AT-SPI.)
#include <QAbstractItemView>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMdiArea>
#include <QStatusBar>
#include <QTreeWidget>
#include <memory>

#include "codeplug/file_io.h"
#include "core/preferences.h"
#include "model/channels/channel_table.h"
#include "program_windows.h"
#include "ui/channel/frm_channel.h"
#include "ui/key/frm_key.h"
#include "ui/main/accessibility.h"
#include "ui/main/accessible_cells.h"
#include "ui/main/command_layout.h"
#include "ui/main/frm_about.h"
#include "ui/main/frm_com_port.h"
#include "ui/main/frm_tree_view.h"
#include "ui/main/mdi_form1.h"
#include "ui/memorymap/frm_memory_map.h"
#include "ui/scrambler/frm_scr.h"
#include "ui/settings/frm_setting.h"
#include "ui/signalling/frm_2tone.h"
#include "ui/signalling/frm_5tone.h"
#include "ui/signalling/frm_msk.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;

namespace {

const char* const kNodes[] = {"Item1", "Item2", "Item8", "Item3", "Item5", "Item6", "Item7"};

// "frmSetting: QComboBox CboSet6_2 without a name" for every focusable
// control of `window` that is unnamed or sounds like another.
QStringList NameFaults(QWidget* window) {
  NameControls(window);
  QStringList faults;
  QMap<QString, QString> seen;
  for (const QWidget* w : window->findChildren<QWidget*>()) {
    if (!TakesFocus(w) || SpeakingWindow(w) != window) continue;
    const QString what = window->objectName() + ": " + w->metaObject()->className() + ' ' + w->objectName();
    const QString name = SpokenName(w) + " | " + w->accessibleDescription();
    if (SpokenName(w).isEmpty())
      faults << what + " without a name";
    else if (seen.contains(name.toLower()))
      faults << what + " sounds like " + seen[name.toLower()];
    seen[name.toLower()] = what;
  }
  return faults;
}

}  // namespace

class AccessibilityTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  MDIForm1& Start(int language) {
    // Smaller than Optional Features, so the work area scrolls.
    return StartMain({.windows = test::ProgramWindows(), .language = language, .size = {900, 640}});
  }

  // A key as a keyboard sends it to whatever has the focus: the modifiers
  // pressed first and released after.
  static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const auto focus = [] { return QApplication::focusWidget(); };
    if (modifiers & Qt::ControlModifier) QTest::keyPress(focus(), Qt::Key_Control, modifiers);
    QTest::keyClick(focus(), key, modifiers);
    if (modifiers & Qt::ControlModifier) QTest::keyRelease(focus(), Qt::Key_Control);
  }
  static void Type(const QString& text) {
    for (const QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
  }

  QAbstractItemView* Grid(const char* name) const { return m_main->findChild<QAbstractItemView*>(name); }

 private slots:
  void cleanup() { StopMain(); }

  void everyControlHasANameOfItsOwn_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 0;
    QTest::newRow("Chinese") << 1;
  }
  void everyControlHasANameOfItsOwn() {
    QFETCH(int, language);
    MDIForm1& main = Start(language);
    for (const char* node : kNodes) main.ClickNode(node);
    QStringList faults;
    for (const WindowBit bit : kWindowOrder) {
      QVERIFY(main.editingWindow(bit) != nullptr);
      faults << NameFaults(main.editingWindow(bit));
    }
    FrmAbout about(language, &main);
    FrmMemoryMap map(main.memory(), &main);
    const std::unique_ptr<FrmComPort> port = main.CreatePortDialog();
    for (QWidget* dialog : {static_cast<QWidget*>(&about), static_cast<QWidget*>(&map),
                            static_cast<QWidget*>(port.get()), static_cast<QWidget*>(&main)})
      faults << NameFaults(dialog);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
  }

  void repeatedCaptionsSpeakTheirGroup() {
    MDIForm1& main = Start(0);
    main.ClickNode("Item2");
    auto* a = main.findChild<QLineEdit*>("TxtSet6");
    auto* b = main.findChild<QLineEdit*>("TxtSet7");
    QVERIFY(a != nullptr && b != nullptr);
    QVERIFY2(a->accessibleName().startsWith("A-") && b->accessibleName().startsWith("B-"),
             qPrintable(a->accessibleName() + " / " + b->accessibleName()));
    // A language switch names them again, in Chinese.
    const QString english = a->accessibleName();
    main.Dispatch("miChinese");
    QVERIFY(a->accessibleName().startsWith("A-"));
    QVERIFY(a->accessibleName() != english);
  }

  void cellsAndTheirEditorsSpeakTheirPlace_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("editorName");
    QTest::addColumn<QString>("cellText");
    QTest::newRow("English") << 0 << "145.5"
                             << "Channel 1, Rx Freq"
                             << "Channel 1, Rx Freq, 145.50000";
    QTest::newRow("Chinese") << 1 << "440" << QString::fromUtf8("信道 1, 接收频率")
                             << QString::fromUtf8("信道 1, 接收频率, 440.00000");
  }
  void cellsAndTheirEditorsSpeakTheirPlace() {
    QFETCH(int, language);
    QFETCH(QString, typed);
    QFETCH(QString, editorName);
    QFETCH(QString, cellText);
    Start(language);
    QAbstractItemView* grid = Grid("ChannelGrid");
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, kColRx));
    // An empty cell is spoken by its place alone.
    QCOMPARE(grid->currentIndex().data(Qt::AccessibleTextRole).toString(), editorName);
    Type(typed);
    QCOMPARE(QApplication::focusWidget()->accessibleName(), editorName);
    Press(Qt::Key_Return);
    QCOMPARE(grid->model()->index(1, kColRx).data(Qt::AccessibleTextRole).toString(), cellText);
    // What the cell holds after the grid normalised the typing is told.
    QTRY_COMPARE(grid->accessibleDescription(), cellText);
  }

  void memoryMapCellsSpeakTheirAddress() {
    MDIForm1& main = Start(0);
    main.memory().image()[0x01A3] = 0x5C;
    FrmMemoryMap map(main.memory(), &main);
    QCOMPARE(map.model()->index(0x1A, 3).data(Qt::AccessibleTextRole).toString(), QStringLiteral("Address 01A3, 5C"));
  }

  void statusMessagesAreSpoken() {
    MDIForm1& main = Start(0);
    main.statusStrip()->showMessage("Saved.");
    QCOMPARE(main.statusStrip()->accessibleName(), QStringLiteral("Saved."));
  }

  void everyMenuCommandHasAnAccessKey() {
    for (int language : {0, 1}) {
      const std::optional<CommandLayout> layout = LoadCommandLayout(CommandLayoutPath(language));
      QVERIFY(layout.has_value());
      for (const BandLayout& band : layout->bands) {
        if (band.kind != QLatin1String("menu")) continue;
        QVERIFY2(band.caption.contains('&'), qPrintable(band.caption));
        QSet<QChar> keys;
        for (const QString& key : band.tools) {
          const ToolLayout* tool = layout->tool(key);
          if (tool == nullptr) continue;
          const qsizetype amp = tool->caption.indexOf('&');
          QVERIFY2(amp >= 0 && amp + 1 < tool->caption.size(), qPrintable(key + ": " + tool->caption));
          const QChar access = tool->caption[amp + 1].toLower();
          QVERIFY2(!keys.contains(access), qPrintable(band.key + " uses &" + access + " twice"));
          keys << access;
        }
      }
    }
  }

  // Keys alone: F6 to the tree, open Optional Features, change a setting,
  // back to the channel grid, type a frequency, save with Ctrl+S.
  void keyboardOnlyRoundTrip() {
    MDIForm1& main = Start(0);
    const QString path = m_dir.filePath("keys.tw");
    m_prompter->saveName = path;
    QTreeWidget* tree = main.treeView()->tree();

    Press(Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), tree);
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    EditingWindow* settings = main.editingWindow(kWinSetting);
    QVERIFY(settings->isVisible());
    QVERIFY2(settings->isAncestorOf(QApplication::focusWidget()), "Enter on a node leaves the focus in the tree");
    // Tab to the first list and step it on.
    for (int i = 0; i < 20 && qobject_cast<QComboBox*>(QApplication::focusWidget()) == nullptr; ++i) Press(Qt::Key_Tab);
    auto* list = qobject_cast<QComboBox*>(QApplication::focusWidget());
    QVERIFY(list != nullptr);
    // The work area scrolls so the focused control is seen.
    const QWidget* viewport = main.mdiArea()->viewport();
    QVERIFY(viewport->rect().contains(QRect(list->mapTo(viewport, QPoint(0, 0)), list->size())));
    const int before = list->currentIndex();
    const Image unchanged = main.memory().image();
    Press(Qt::Key_Down);
    QVERIFY(list->currentIndex() != before);
    const Image changed = main.memory().image();

    Press(Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), tree);
    Press(Qt::Key_Up);
    Press(Qt::Key_Return);
    QAbstractItemView* grid = Grid("ChannelGrid");
    QCOMPARE(QApplication::focusWidget(), grid);
    Press(Qt::Key_Home, Qt::ControlModifier);
    Type("146.5");
    Press(Qt::Key_Return);
    Press(Qt::Key_S, Qt::ControlModifier);

    const Result<ParsedCodeplug> saved = ReadCodeplugFile(path.toStdString());
    QVERIFY(saved);
    QVERIFY(saved->image == main.memory().image());
    ChannelTable table;
    table.RefreshChannel(saved->image, 0);
    QCOMPARE(QString::fromStdString(table.Cell(1, kColRx)), QStringLiteral("146.50000"));
    // The setting stepped in Optional Features is saved too.
    for (std::size_t a = 0; a < changed.size(); ++a) {
      if (changed[a] != unchanged[a]) QCOMPARE(saved->image[a], changed[a]);
    }
  }

  // F6 comes back out of every window, so no control keeps the focus.
  void f6LeavesEveryWindow() {
    MDIForm1& main = Start(0);
    for (const char* node : kNodes) {
      main.ClickNode(node);
      main.FocusWorkArea();
      QWidget* inside = QApplication::focusWidget();
      QVERIFY2(inside != nullptr && main.mdiArea()->isAncestorOf(inside), node);
      Press(Qt::Key_F6);
      QVERIFY2(main.treeBand()->isAncestorOf(QApplication::focusWidget()), node);
      Press(Qt::Key_F6);
      QCOMPARE(QApplication::focusWidget(), inside);
    }
  }
};

ORVEX_UI_TEST_MAIN(AccessibilityTest)
#include "accessibility_qtest.moc"
