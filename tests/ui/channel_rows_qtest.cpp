// Channel rows in the channel window: selecting by channel number, the
// clipboard, the row keys, the context menu and the Edit menu's state.
#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <memory>

#include "core/preferences.h"
#include "model/channel_rows.h"
#include "model/channel_test_util.h"
#include "program_windows.h"
#include "ui/channel/channel_grid.h"
#include "ui/channel/frm_channel.h"
#include "ui/main/mdi_form1.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;

class ChannelRowsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ScriptedPrompter> m_prompter;
  std::unique_ptr<MDIForm1> m_main;
  FrmChannel* m_window = nullptr;
  Image m_start{};

  void Start(const Image& image) {
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_main = test::StartProgram(*m_prompter);
    m_main->memory().image() = image;
    m_main->RefreshAll();
    // The optional features window brings random settings into range.
    m_main->memory().SaveSnapshot();
    m_window = qobject_cast<FrmChannel*>(m_main->editingWindow(kWinChannel));
    QVERIFY(m_window != nullptr);
    m_window->grid()->setFocus();
    m_start = Memory();
  }
  ChannelGrid* Grid() const { return m_window->grid(); }
  const Image& Memory() const { return m_main->memory().image(); }

  // A click on a channel number, with Shift or Ctrl for ranges.
  void ClickNumber(int row, Qt::KeyboardModifiers modifiers = {}) {
    QHeaderView* header = Grid()->verticalHeader();
    Grid()->scrollTo(Grid()->model()->index(row, kColRx));
    const QPoint at(header->width() / 2, header->sectionViewportPosition(row) + header->sectionSize(row) / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers, at);
    Grid()->setFocus();
  }
  // A key with its modifier pressed first and released after, as a keyboard
  // sends it.
  void Chord(Qt::Key key, Qt::KeyboardModifier modifier) {
    const Qt::Key modifierKey = modifier == Qt::AltModifier     ? Qt::Key_Alt
                                : modifier == Qt::ShiftModifier ? Qt::Key_Shift
                                                                : Qt::Key_Control;
    QTest::keyPress(Grid(), modifierKey, modifier);
    QTest::keyClick(Grid(), key, modifier);
    QTest::keyRelease(Grid(), modifierKey, Qt::NoModifier);
  }

 private slots:
  void init() { WriteLanguagePreference(0); }
  void cleanup() { test::CloseQuietly(m_main); }

  // Copy rows 1-5, paste at 20: rows 20-24 hold the same bytes; the
  // clipboard also carries the CSV text; one undo puts rows 20-24 back.
  void copyFiveRowsPasteAtTwenty() {
    Start(test::RandomChannelImage(21));
    ClickNumber(1);
    ClickNumber(5, Qt::ShiftModifier);
    QCOMPARE(m_window->SelectedRows(), (std::vector<int>{1, 2, 3, 4, 5}));
    Chord(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data->hasFormat("application/x-orvex-channels"));
    QCOMPARE(data->text().toStdString(), CopiedChannelsCsv(m_start, std::vector<int>{1, 2, 3, 4, 5}));
    ClickNumber(20);
    Chord(Qt::Key_V, Qt::ControlModifier);
    for (int i = 0; i < 5; ++i) QCOMPARE(TakeChannel(Memory(), 20 + i), TakeChannel(m_start, 1 + i));
    QCOMPARE(m_window->SelectedRows(), (std::vector<int>{20, 21, 22, 23, 24}));
    QCOMPARE(m_main->tool("miUndo")->text(), QStringLiteral("&Undo paste onto channels 20-24"));
    m_main->Dispatch("miUndo");
    QCOMPARE(Memory(), m_start);
  }

  // The CSV text alone (from a spreadsheet) goes through the import's rules
  // and the rows it cannot take are told.
  void textFromASpreadsheetPastesByTheImportRules() {
    Start(test::Blank());
    auto* data = new QMimeData;
    data->setText("1\tONE\t145.5\n2\tTWO\tabc\n3\tTHREE\t430.1\n");
    QGuiApplication::clipboard()->setMimeData(data);
    ClickNumber(40);
    Chord(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_window->table().Cell(40, kColName), std::string("ONE   "));
    QCOMPARE(m_window->table().Cell(42, kColRx), std::string("430.10000"));
    QVERIFY(!IsProgrammed(Memory(), 41));
    QCOMPARE(m_prompter->questions.size(), 1);
    QVERIFY(m_prompter->questions.first().text.contains("line 2: Frequency \"abc\""));
  }

  void rowKeysMoveInsertDeleteAndClear() {
    Image image = test::RandomChannelImage(5);
    test::PutChannel(image, 128, test::RawChannel{});
    Start(image);
    ClickNumber(10);
    Chord(Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(TakeChannel(Memory(), 9), TakeChannel(image, 10));
    QCOMPARE(m_window->SelectedRows(), std::vector<int>{9});
    Chord(Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(Memory(), m_start);
    // The last channel is programmed: Insert is refused with a message.
    QTest::keyClick(Grid(), Qt::Key_Insert);
    QCOMPARE(Memory(), m_start);
    QCOMPARE(m_prompter->texts(), QStringList({"The last channel is programmed; nothing was inserted."}));
    QTest::keyClick(Grid(), Qt::Key_Delete);
    QCOMPARE(TakeChannel(Memory(), 10), BlankChannel());
    Chord(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(TakeChannel(Memory(), 10), TakeChannel(image, 11));
    QCOMPARE(TakeChannel(Memory(), 128), BlankChannel());
    QTest::keyClick(Grid(), Qt::Key_Insert);
    QCOMPARE(TakeChannel(Memory(), 10), BlankChannel());
    QCOMPARE(TakeChannel(Memory(), 11), TakeChannel(image, 11));
  }

  void sortingOneRowSortsEveryChannel() {
    Image image = test::Blank();
    test::PutChannel(image, 1, test::RawChannel{.rx = 44600000});
    test::PutChannel(image, 3, test::RawChannel{.rx = 14500000});
    Start(image);
    ClickNumber(1);
    m_main->Dispatch("miSortRx");
    QCOMPARE(m_window->table().Cell(1, kColRx), std::string("145.00000"));
    QCOMPARE(m_window->table().Cell(2, kColRx), std::string("446.00000"));
    QVERIFY(m_window->table().Cell(3, kColRx).empty());
  }

  void contextMenuOffersTheRowCommands_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Shift+F10") << 0;
    QTest::newRow("Menu key") << 1;
    QTest::newRow("right click") << 2;
  }
  void contextMenuOffersTheRowCommands() {
    QFETCH(int, how);
    Start(test::RandomChannelImage(3));
    QStringList offered;
    QTimer::singleShot(0, this, [&] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        for (QAction* action : menu->actions())
          if (!action->isSeparator()) offered << action->objectName();
        menu->close();
      }
    });
    if (how == 0) {
      Chord(Qt::Key_F10, Qt::ShiftModifier);
    } else if (how == 1) {
      QTest::keyClick(Grid(), Qt::Key_Menu);
    } else {
      const QRect cell = Grid()->visualRect(Grid()->model()->index(4, kColName));
      QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(), Grid()->viewport()->mapToGlobal(cell.center()));
      QApplication::sendEvent(Grid()->viewport(), &event);
      QCOMPARE(m_window->SelectedRows(), std::vector<int>{4});
    }
    QCOMPARE(offered, QStringList({"miCut", "miCopy", "miPaste", "miInsertChannel", "miDeleteChannels",
                                   "miClearChannels", "miMoveUp", "miMoveDown", "miSortRx", "miSortName"}));
  }

  // The row commands belong to the channel window: in another window they
  // are off, and Ctrl+C there is that window's own.
  void rowCommandsFollowTheActiveWindow() {
    Start(test::RandomChannelImage(4));
    QVERIFY(m_main->tool("miCopy")->isEnabled());
    m_main->Dispatch("miCommonSet");
    QVERIFY(!m_main->tool("miCopy")->isEnabled());
    QVERIFY(m_main->tool("miUndo") != nullptr);
    m_main->Dispatch("miChannel");
    QVERIFY(m_main->tool("miCopy")->isEnabled());
  }
};

ORVEX_UI_TEST_MAIN(ChannelRowsTest)
#include "channel_rows_qtest.moc"
