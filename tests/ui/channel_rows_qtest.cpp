// Channel rows in the channel window: selecting by channel number, the
// clipboard, the row keys, the context menu and the Edit menu's state.
#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <memory>

#include "core/preferences.h"
#include "model/channel_test_util.h"
#include "model/channels/channel_rows.h"
#include "program_windows.h"
#include "ui/channel/channel_grid.h"
#include "ui/channel/frm_channel.h"
#include "ui/main/mdi_form1.h"
#include "ui/main/report_dialog.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;

class ChannelRowsTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  FrmChannel* m_window = nullptr;
  Image m_start{};

  void Start(const Image& image) {
    StartMain({.windows = test::ProgramWindows()});
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
  // A click on a cell, then Shift+Down to take in the cells below.
  void SelectDown(int row, int column, int more) {
    const QRect cell = Grid()->visualRect(Grid()->model()->index(row, column));
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // the click opened the cell's editor
    for (int i = 0; i < more; ++i) Chord(Qt::Key_Down, Qt::ShiftModifier);
  }
  void SetClipboardText(const QString& text) {
    auto* data = new QMimeData;
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
  }
  // Answers dialogs: a message box by the button named `button`, an input
  // dialog with `input`; records what each said.
  void AnswerDialogs(const QString& button, const QVariant& input = {}) {
    m_prompter->onDialog = [this, button, input](QDialog& dialog) {
      if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        m_said << box->text();
        if (auto* chosen = box->findChild<QPushButton*>(button)) chosen->click();
        return 0;
      }
      if (auto* report = qobject_cast<ReportDialog*>(&dialog)) m_said << report->textView()->toPlainText();
      if (auto* ask = qobject_cast<QInputDialog*>(&dialog)) {
        if (ask->inputMode() == QInputDialog::IntInput)
          ask->setIntValue(input.toInt());
        else
          ask->setTextValue(input.toString());
        return int(QDialog::Accepted);
      }
      return int(QDialog::Rejected);
    };
  }
  QStringList m_said;

 private slots:
  void init() {
    WriteLanguagePreference(0);
    m_said.clear();
  }
  void cleanup() { StopMain(); }

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
    AnswerDialogs("cmdReplace");  // some of 20-24 are programmed
    Chord(Qt::Key_V, Qt::ControlModifier);
    for (int i = 0; i < 5; ++i) QCOMPARE(TakeChannel(Memory(), 20 + i), TakeChannel(m_start, 1 + i));
    QCOMPARE(m_window->SelectedRows(), (std::vector<int>{20, 21, 22, 23, 24}));
    QCOMPARE(m_main->tool("miUndo")->text(), QStringLiteral("&Undo paste onto channels 20-24"));
    m_main->Dispatch("miUndo");
    QCOMPARE(Memory(), m_start);
  }

  // The CSV text alone (from a spreadsheet) goes through the import's rules;
  // the rows it cannot take and the values it adjusted are reported as
  // File > Import reports them.
  void textFromASpreadsheetPastesByTheImportRules() {
    Start(test::Blank());
    AnswerDialogs(QString());
    SetClipboardText("1\tOne!\t145.5\n2\tTWO\tabc\n3\tTHREE\t430.1\n");
    ClickNumber(40);
    Chord(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_window->table().Cell(40, kColName), std::string("ONE   "));
    QCOMPARE(m_window->table().Cell(42, kColRx), std::string("430.10000"));
    QVERIFY(!IsProgrammed(Memory(), 41));
    QCOMPARE(m_prompter->dialogs, QStringList({"dlgReport"}));
    QVERIFY2(m_said.first().startsWith("Channels imported: 2, replaced: 0, skipped: 1, adjusted: 1"),
             qPrintable(m_said.first()));
    QVERIFY(m_said.first().contains("line 2: Frequency \"abc\""));
    QVERIFY(m_said.first().contains("line 1: name \"One!\""));
  }

  // Paste onto programmed channels asks first: Cancel changes nothing,
  // Replace overwrites, Insert moves the channels from there down.
  void pasteOntoProgrammedChannelsAsks_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("cancel") << "";
    QTest::newRow("replace") << "cmdReplace";
    QTest::newRow("insert") << "cmdInsert";
  }
  void pasteOntoProgrammedChannelsAsks() {
    QFETCH(QString, button);
    Image image = test::Blank();
    for (FreqUnits n : {1u, 2u, 3u, 21u}) test::PutChannel(image, int(n), test::RawChannel{.rx = 14500000 + n * 12500});
    Start(image);
    AnswerDialogs(button);
    ClickNumber(1);
    ClickNumber(3, Qt::ShiftModifier);
    Chord(Qt::Key_C, Qt::ControlModifier);
    ClickNumber(20);
    Chord(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_said, QStringList({"Replace 3 channels? Channel 21 is programmed."}));
    if (button.isEmpty()) {
      QCOMPARE(Memory(), m_start);
      return;
    }
    for (int i = 0; i < 3; ++i) QCOMPARE(TakeChannel(Memory(), 20 + i), TakeChannel(image, 1 + i));
    // Channel 21 moved down to 24, or was replaced by the copy of channel 2.
    const bool inserted = button == "cmdInsert";
    QCOMPARE(TakeChannel(Memory(), inserted ? 24 : 21), TakeChannel(image, inserted ? 21 : 2));
    m_main->Dispatch("miUndo");
    QCOMPARE(Memory(), m_start);
  }

  // Cells picked with the keyboard: one copied value fills the column, a
  // Copy gives their texts, one undo puts them back.
  void cellPasteFillsAColumn() {
    Image image = test::Blank();
    for (int n : {5, 6, 7}) test::PutChannel(image, n, test::RawChannel{.name = "OLD   "});
    Start(image);
    SelectDown(5, kColName, 2);
    QVERIFY(m_window->CellsSelected());
    Chord(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("OLD   \nOLD   \nOLD   \n"));
    SetClipboardText("gate\n");
    Chord(Qt::Key_V, Qt::ControlModifier);
    for (int n : {5, 6, 7}) QCOMPARE(DecodeChannelName(Memory(), n), std::string("GATE  "));
    QCOMPARE(m_window->SelectedCells().size(), std::size_t(3));
    QCOMPARE(m_main->tool("miUndo")->text(), QStringLiteral("&Undo paste onto channels 5-7"));
    m_main->Dispatch("miUndo");
    QCOMPARE(Memory(), m_start);
  }

  // Cut and Delete on cells clear only what a cell can be cleared to.
  void cutOnCellsClearsOnlyWhatCanBeCleared_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("clears");
    QTest::newRow("BCL") << int(kColBcl) << false;
    QTest::newRow("name") << int(kColName) << true;
  }
  void cutOnCellsClearsOnlyWhatCanBeCleared() {
    QFETCH(int, column);
    QFETCH(bool, clears);
    Image image = test::Blank();
    for (int n : {5, 6, 7}) test::PutChannel(image, n, test::RawChannel{.name = "OLD   "});
    Start(image);
    QSignalSpy notes(m_window, &EditingWindow::noted);
    SelectDown(5, column, 2);
    Chord(Qt::Key_X, Qt::ControlModifier);
    for (int n : {5, 6, 7}) {
      QVERIFY(IsProgrammed(Memory(), n));
      QCOMPARE(DecodeChannelName(Memory(), n), std::string(clears ? "      " : "OLD   "));
    }
    QCOMPARE(Memory() == m_start, !clears);
    QCOMPARE(notes.size(), clears ? 0 : 1);
    QTest::keyClick(Grid(), Qt::Key_Delete);
    QCOMPARE(Memory() == m_start, !clears);
  }

  void goToAndFind() {
    Image image = test::Blank();
    test::PutChannel(image, 9, test::RawChannel{.rx = 14552500, .name = "GATE  "});
    test::PutChannel(image, 90, test::RawChannel{.rx = 43012500, .name = "BGATE "});
    Start(image);
    QSignalSpy notes(m_window, &EditingWindow::noted);
    AnswerDialogs(QString(), 77);
    Chord(Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(m_window->table().current().row, 77);
    AnswerDialogs(QString(), "gate");
    Chord(Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(m_window->table().current().row, 90);
    QTest::keyClick(Grid(), Qt::Key_F3);
    QCOMPARE(m_window->table().current().row, 9);
    AnswerDialogs(QString(), "nowhere");
    m_main->Dispatch("miFind");
    QCOMPARE(m_window->table().current().row, 9);
    QCOMPARE(notes.last().first().toString(), QStringLiteral("\"nowhere\" was not found."));
    QCOMPARE(m_main->statusStrip()->currentMessage(), QStringLiteral("\"nowhere\" was not found."));
  }

  // "!" on the name cell is dropped, and the status bar says so.
  void aKeyTheNameCannotTakeIsSaid() {
    Image image = test::Blank();
    test::PutChannel(image, 1, test::RawChannel{});
    Start(image);
    QSignalSpy notes(m_window, &EditingWindow::noted);
    SelectDown(1, kColName, 0);
    QTest::keyClick(Grid(), Qt::Key_A);
    QLineEdit* editor = Grid()->textEditor();
    QTest::keyPress(editor, Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(editor, Qt::Key_Exclam, Qt::ShiftModifier);
    QTest::keyRelease(editor, Qt::Key_Shift, Qt::NoModifier);
    QCOMPARE(editor->text(), QStringLiteral("A"));
    // Editing keys are no characters to complain of.
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Home, Qt::Key_Backspace}) QTest::keyClick(editor, key);
    QCOMPARE(notes.size(), 1);
    QCOMPARE(notes.first().first().toString(), QStringLiteral("The radio cannot show \"!\" in a channel name."));
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

  // The window asks only the frame it is given: its row keys run through
  // that frame's dispatcher and its dialogs through that frame's prompter.
  void rowKeysAndDialogsGoThroughTheFrame_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifier");
    QTest::addColumn<QString>("command");
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << "miCopy";
    QTest::newRow("Ins") << int(Qt::Key_Insert) << int(Qt::NoModifier) << "miInsertChannel";
    QTest::newRow("Alt+Up") << int(Qt::Key_Up) << int(Qt::AltModifier) << "miMoveUp";
    QTest::newRow("F3") << int(Qt::Key_F3) << int(Qt::NoModifier) << "miFindNext";
  }
  void rowKeysAndDialogsGoThroughTheFrame() {
    QFETCH(int, key);
    QFETCH(int, modifier);
    QFETCH(QString, command);
    struct Frame : WindowContext {
      ScriptedPrompter asks;
      QStringList run;
      Prompter& prompter() override { return asks; }
      void Dispatch(const QString& key) override { run << key; }
      QAction* tool(const QString&) const override { return nullptr; }
      void EditImage(const StepName&, const std::function<void(Image&)>&) override {}
    } frame;
    AppState state;
    RadioMemory memory;
    StartUp(state, memory, "0", "/tmp", '.');
    EditHistory history;
    FrmChannel window(EditingContext{memory, state, &history, &frame});
    window.Refresh();
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    m_window = &window;
    Grid()->setFocus();
    if (modifier == Qt::NoModifier)
      QTest::keyClick(Grid(), Qt::Key(key));
    else
      Chord(Qt::Key(key), Qt::KeyboardModifier(modifier));
    m_window = nullptr;
    QCOMPARE(frame.run, QStringList{command});
    window.RunRowCommand("miGoTo");
    QCOMPARE(frame.asks.dialogs.size(), 1);
  }
};

ORVEX_UI_TEST_MAIN(ChannelRowsTest)
#include "channel_rows_qtest.moc"
