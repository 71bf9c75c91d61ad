// Editing windows in view: placement inside the work area, the Window menu's
// list, cycling with Ctrl+F6 / Ctrl+Tab, Cascade and Tile.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <memory>

#include "core/preferences.h"
#include "program_windows.h"
#include "ui/main/mdi_form1.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;

class WindowsInViewTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  MDIForm1& Start(QSize size) { return StartMain({.windows = test::ProgramWindows(), .size = size}); }
  QList<QMdiSubWindow*> Shown() const {
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* window : m_main->mdiArea()->subWindowList(QMdiArea::CreationOrder))
      if (window->isVisible()) shown << window;
    return shown;
  }
  static bool Usable(const QMdiSubWindow* window) {
    return window->width() >= window->minimumSizeHint().width() &&
           window->height() >= window->minimumSizeHint().height() && window->x() >= 0 && window->y() >= 0;
  }
  QStringList WindowEntries() const {
    QMenu* menu = m_main->band("miWindow");
    emit menu->aboutToShow();
    QStringList entries;
    for (QAction* action : menu->actions())
      if (action->property("windowEntry").toBool() && !action->isSeparator())
        entries << (action->isChecked() ? "[x] " : "[ ] ") + action->text();
    return entries;
  }

 private slots:
  void init() { WriteLanguagePreference(0); }
  void cleanup() { StopMain(); }

  // Opened in a small main window, the optional features window is moved
  // fully into the work area; the main window grows for it (up to the
  // screen), and what is left over scrolls.
  void anOpenedWindowIsInsideTheWorkArea() {
    MDIForm1& main = Start(QSize(500, 350));
    main.Dispatch("miCommonSet");
    QMdiSubWindow* window = main.mdiArea()->activeSubWindow();
    QVERIFY(window != nullptr);
    QVERIFY(main.width() > 500);
    const QRect area = main.mdiArea()->viewport()->rect();
    QVERIFY(window->x() >= 0 && window->y() >= 0);
    const bool inside = area.contains(window->geometry());
    const bool scrolls =
        main.mdiArea()->horizontalScrollBar()->isVisible() || main.mdiArea()->verticalScrollBar()->isVisible();
    QVERIFY2(inside || scrolls, "a window partly outside the work area must be reachable by scrolling");
    QVERIFY(Usable(window));
  }

  // On a 1600x1000 screen every editing window opens wholly inside the work
  // area of the program's first main window, its frame and close button
  // included, in either language; the main window grows for it and stays on
  // the screen.
  void eachWindowOpensWhollyInView_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("language");
    for (const char* language : {"miEnglish", "miChinese"})
      for (const char* command : {"miChannel", "miCommonSet", "miKeySet", "miScr", "mi2Tone", "mi5Tone", "miMSK"})
        QTest::addRow("%s %s", command, language) << command << language;
  }
  void eachWindowOpensWhollyInView() {
    QFETCH(QString, command);
    QFETCH(QString, language);
    MDIForm1& main = Start(QSize(1024, 720));
    QCOMPARE(main.screen()->size(), QSize(1600, 1000));
    main.Dispatch(language);
    QCoreApplication::processEvents();
    main.Dispatch(command);
    QCoreApplication::processEvents();
    QMdiSubWindow* window = main.mdiArea()->activeSubWindow();
    QVERIFY(window != nullptr);
    const QRect area = main.mdiArea()->viewport()->rect();
    const QString where = QStringLiteral("window %1,%2 %3x%4 in a work area of %5x%6")
                              .arg(window->x())
                              .arg(window->y())
                              .arg(window->width())
                              .arg(window->height())
                              .arg(area.width())
                              .arg(area.height());
    QVERIFY2(area.contains(window->geometry()), qPrintable(where));
    QVERIFY(Usable(window));
    QVERIFY(main.screen()->availableGeometry().contains(main.frameGeometry()));
  }

  void anEmptyWorkAreaHasNoScrollBars() {
    MDIForm1& main = Start(QSize(600, 400));
    main.Dispatch("miCommonSet");
    main.Dispatch("miCloseAll");
    QCoreApplication::processEvents();
    QVERIFY(Shown().isEmpty());
    QTRY_VERIFY(!main.mdiArea()->horizontalScrollBar()->isVisible());
    QTRY_VERIFY(!main.mdiArea()->verticalScrollBar()->isVisible());
  }

  void theWindowMenuListsOpenWindowsAndKeysCycleThem() {
    MDIForm1& main = Start(QSize(1200, 800));
    main.Dispatch("miKeySet");
    QCOMPARE(WindowEntries(), QStringList({"[ ] &1 Channel Information..", "[x] &2 Key Assignment"}));
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus != nullptr);
    QTest::keyPress(focus, Qt::Key_Control, Qt::ControlModifier);
    QTest::keyClick(focus, Qt::Key_F6, Qt::ControlModifier);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control);
    QCOMPARE(main.mdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("Channel Information.."));
    focus = QApplication::focusWidget();
    QTest::keyPress(focus, Qt::Key_Control, Qt::ControlModifier);
    QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control);
    QCOMPARE(main.mdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("Key Assignment"));
    // Choosing an entry activates its window.
    QMenu* menu = main.band("miWindow");
    emit menu->aboutToShow();
    for (QAction* action : menu->actions())
      if (action->text().startsWith("&1 ")) action->trigger();
    QCOMPARE(main.mdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("Channel Information.."));
  }

  void cascadeAndTileLeaveEveryWindowUsable_data() {
    QTest::addColumn<QString>("command");
    for (const char* command : {"miCascade", "miTileH", "miTileV"}) QTest::newRow(command) << command;
  }
  void cascadeAndTileLeaveEveryWindowUsable() {
    QFETCH(QString, command);
    MDIForm1& main = Start(QSize(900, 600));
    for (const char* key : {"miCommonSet", "miKeySet", "miScr", "mi2Tone", "mi5Tone", "miMSK"}) main.Dispatch(key);
    main.Dispatch(command);
    QCOMPARE(Shown().size(), 7);
    for (QMdiSubWindow* window : Shown()) QVERIFY2(Usable(window), qPrintable(window->windowTitle()));
  }
};

ORVEX_UI_TEST_MAIN_ON(WindowsInViewTest, "offscreen:configfile=" ORVEX_TEST_DATA_DIR "/screen_1600x1000.json")
#include "windows_in_view_qtest.moc"
