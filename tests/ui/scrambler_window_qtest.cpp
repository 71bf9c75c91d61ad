// The Scrambler Frequency window driven as a user drives it: the field of
// group 8 typed into with real key events, left, escaped; opened from the
// menu and the tree, stored by SaveAll and by its close box; then the bytes
// in the image.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <memory>

#include "core/preferences.h"
#include "model/settings_test_util.h"
#include "ui/main/frm_tree_view.h"
#include "ui/main/mdi_form1.h"
#include "ui/scrambler/frm_scr.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ChangedAddresses;
using orvex::test::ScriptedPrompter;

namespace {

constexpr std::size_t kHigh = 0x0E29;
constexpr std::size_t kLow = 0x0E2A;
constexpr int kGroup8 = 7;

}  // namespace

class ScramblerWindowTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  QStringList m_log;

  // The main window on the blank image with the count `high low`, the real
  // scrambler window and logging windows for the rest.
  void Start(std::uint8_t high, std::uint8_t low) {
    EditingWindowFactories windows = test::LoggingWindows(&m_log);
    windows[kWinScrambler] = test::Factory<FrmScr>();
    Image image = BlankImage();
    image[kHigh] = high;
    image[kLow] = low;
    StartMain({.windows = windows, .image = image, .size = {1000, 800}});
  }

  FrmScr* Window() const { return qobject_cast<FrmScr*>(m_main->editingWindow(kWinScrambler)); }
  FrmScr* Open() {
    m_main->Dispatch("miScr");
    return Window();
  }
  QLineEdit* Field() const { return Window()->TxtFreq(kGroup8); }
  QString Shown() const { return Field()->text(); }
  std::pair<int, int> Count() const { return {m_main->memory()[kHigh], m_main->memory()[kLow]}; }
  std::uint8_t OpenSet() const { return m_main->state().openWindows; }

  // A click into the field, which selects its whole text.
  void Enter() {
    QTest::mouseClick(Field(), Qt::LeftButton, {}, Field()->rect().center());
    QTRY_VERIFY(Field()->hasFocus());
    QTRY_COMPARE(Field()->selectedText(), Field()->text());
  }
  void Type(const QString& keys) {
    for (const QChar c : keys) QTest::keyClick(Field(), c.toLatin1());
  }
  // Leaves the field for the navigation tree, as a click there would.
  void Leave() {
    m_main->treeView()->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(!Field()->hasFocus());
  }

 private slots:
  void init() { WriteLanguagePreference(0); }
  void cleanup() { StopMain(); }

  void layoutAndFixedGroups() {
    Start(0x2A, 0xAB);
    FrmScr* window = Open();
    QVERIFY(window != nullptr);
    QCOMPARE(window->windowTitle(), QStringLiteral("Scrambler Frequency"));
    QCOMPARE(window->fraScr()->title(), QStringLiteral("Scrambler Frequency"));
    QCOMPARE(window->lblScr(0)->text(), QStringLiteral("Group"));
    QCOMPARE(window->lblScr(1)->text(), QStringLiteral("Frequency"));
    const QStringList frequencies = {"3000", "3100", "3200", "3300", "3400", "3500", "3600", "4000"};
    for (int group = 0; group < 8; ++group) {
      QLineEdit* field = window->TxtFreq(group);
      QCOMPARE(field->text(), frequencies[group]);
      QCOMPARE(field->isEnabled(), group == kGroup8);
      QCOMPARE(window->findChild<QLabel*>(QStringLiteral("lblGroup_%1").arg(group))->text(),
               QString::number(group + 1));
      QVERIFY(window->fraScr()->isAncestorOf(field));
    }
  }

  void load_data() {
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("highAfter");
    QTest::addColumn<int>("lowAfter");
    QTest::newRow("unprogrammed") << 0xFF << 0xFF << "3700" << 0x27 << 0x78;
    QTest::newRow("sign bit set") << 0x80 << 0x00 << "3700" << 0x27 << 0x78;
    QTest::newRow("3000") << 0x20 << 0x00 << "3000" << 0x20 << 0x00;
    QTest::newRow("5000") << 0x35 << 0x56 << "5000" << 0x35 << 0x56;
    QTest::newRow("blank codeplug") << 0x27 << 0x77 << "3700" << 0x27 << 0x77;
    QTest::newRow("five digits shown whole") << 0x7F << 0xFF << "11999" << 0x7F << 0xFF;
  }
  void load() {
    QFETCH(int, high);
    QFETCH(int, low);
    QFETCH(QString, shown);
    QFETCH(int, highAfter);
    QFETCH(int, lowAfter);
    Start(std::uint8_t(high), std::uint8_t(low));
    const Image before = m_main->memory().image();
    Open();
    QCOMPARE(Shown(), shown);
    QCOMPARE(Count(), std::make_pair(highAfter, lowAfter));
    for (const std::size_t address : ChangedAddresses(before, m_main->memory().image()))
      QVERIFY(address == kHigh || address == kLow);
    // Looking only: storing what was loaded changes nothing more.
    m_main->SaveAll();
    Window()->close();
    QCOMPARE(Count(), std::make_pair(highAfter, lowAfter));
    QCOMPARE(m_main->memory().IsModified(), high != highAfter || low != lowAfter);
  }

  void typingAndLeaving_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("below the range") << "2500"
                                     << "2500"
                                     << "3000";
    QTest::newRow("above the range") << "6000"
                                     << "6000"
                                     << "5000";
    QTest::newRow("cleared") << "\b"
                             << ""
                             << "3000";
    QTest::newRow("in range") << "4321"
                              << "4321"
                              << "4321";
    QTest::newRow("letters and signs dropped") << "4x-5 .0a0"
                                               << "4500"
                                               << "4500";
    QTest::newRow("four digits at most") << "45678"
                                         << "4567"
                                         << "4567";
    QTest::newRow("backspace") << "38\b9"
                               << "39"
                               << "3000";
  }
  void typingAndLeaving() {
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    for (const bool byEnter : {false, true}) {
      Start(0x27, 0x77);
      Open();
      Enter();
      Type(keys);
      QCOMPARE(Shown(), typed);
      QCOMPARE(Count(), std::make_pair(0x27, 0x77));  // typing stores nothing
      if (byEnter) {
        QTest::keyClick(Field(), Qt::Key_Return);
      } else {
        Leave();
      }
      QCOMPARE(Shown(), shown);
      // Leaving or Enter stores, as one undoable step.
      const int stored = int(ScramblerCount(shown.toInt()));
      QCOMPARE(Count(), std::make_pair(stored >> 8, stored & 0xFF));
      m_main->SaveAll();
      QCOMPARE(Count(), std::make_pair(stored >> 8, stored & 0xFF));
      cleanup();
    }
  }

  void escapePutsTheEntryTextBack() {
    Start(0x2A, 0xAB);
    Open();
    Enter();
    Type("3333");
    QTest::keyClick(Field(), Qt::Key_Escape);
    QCOMPARE(Shown(), QStringLiteral("4000"));
    QVERIFY(Field()->hasFocus());
    Type("3");  // the restored text is selected again
    QCOMPARE(Shown(), QStringLiteral("3"));
    QTest::keyClick(Field(), Qt::Key_Escape);
    m_main->SaveAll();
    QCOMPARE(Count(), std::make_pair(0x2A, 0xAB));
  }

  void closeBoxStoresAndHides() {
    Start(0x27, 0x77);
    QPointer<FrmScr> window = Open();
    QCOMPARE(OpenSet() & kWinScrambler, int(kWinScrambler));
    Enter();
    Type("4000");
    Leave();
    window->close();
    QCOMPARE(Count(), std::make_pair(0x2A, 0xAB));  // 2 x 4000 / 0.7324 = 10922.993
    QCOMPARE(OpenSet() & kWinScrambler, 0);
    QVERIFY(!window.isNull());
    QVERIFY(window->isHidden());

    // Reopened from the tree: the same window, reloaded.
    m_main->memory()[kHigh] = 0x35;
    m_main->memory()[kLow] = 0x56;
    m_main->treeView()->setFocus();
    m_main->ClickNode("Item8");
    QCOMPARE(Window(), window.data());
    QVERIFY(window->isVisible());
    QCOMPARE(OpenSet() & kWinScrambler, int(kWinScrambler));
    QCOMPARE(Shown(), QStringLiteral("5000"));
  }

  void storeWhileTheFieldIsStillBeingEdited() {
    // A save-all reaching the window mid-edit takes the clamp of leaving.
    Start(0x27, 0x77);
    Open();
    Enter();
    Type("25");
    QVERIFY(Field()->hasFocus());
    m_main->SaveAll();
    QCOMPARE(Shown(), QStringLiteral("3000"));
    QCOMPARE(Count(), std::make_pair(0x20, 0x00));
  }

  void closeAllStores() {
    Start(0x27, 0x77);
    QPointer<FrmScr> window = Open();
    Enter();
    Type("5000");
    m_main->Dispatch("miCloseAll");
    QCOMPARE(Count(), std::make_pair(0x35, 0x56));
    QCOMPARE(OpenSet() & kWinScrambler, 0);
    QVERIFY(!window.isNull());
    QVERIFY(window->isHidden());
  }

  void programCloseDoesNotStore() {
    // The main window has stored every open window before it closes them.
    Start(0x27, 0x77);
    QPointer<FrmScr> window = Open();
    Enter();
    Type("4000");
    window->CloseForProgram();
    QCOMPARE(Count(), std::make_pair(0x27, 0x77));
    QCOMPARE(OpenSet() & kWinScrambler, 0);
    QTRY_VERIFY(window.isNull());
  }

  void languageSwitch() {
    Start(0x20, 0x00);
    FrmScr* window = Open();
    Enter();
    Type("4100");
    m_main->Dispatch("miChinese");  // stores first, then reloads
    QCOMPARE(window->windowTitle(), QStringLiteral("扰频频率"));
    QCOMPARE(window->fraScr()->title(), QStringLiteral("扰频频率"));
    QCOMPARE(window->lblScr(0)->text(), QStringLiteral("组别"));
    QCOMPARE(window->lblScr(1)->text(), QStringLiteral("频率"));
    QCOMPARE(Shown(), QStringLiteral("4100"));
    const int stored = ScramblerCount(4100);
    QCOMPARE(Count(), std::make_pair(stored >> 8, stored & 0xFF));
    m_main->Dispatch("miEnglish");
    QCOMPARE(window->lblScr(1)->text(), QStringLiteral("Frequency"));
  }

  void refreshAllAfterTheImageIsReplaced() {
    Start(0x20, 0x00);
    Open();
    m_main->memory()[kHigh] = 0xFF;
    m_main->memory()[kLow] = 0xFF;
    m_main->RefreshAll();
    QCOMPARE(Shown(), QStringLiteral("3700"));
    QCOMPARE(Count(), std::make_pair(0x27, 0x78));
  }
};

ORVEX_UI_TEST_MAIN(ScramblerWindowTest)
#include "scrambler_window_qtest.moc"
