// The Channel Information window driven as a user drives it: real key and
// mouse events on the grid and its in-cell editors, then the bytes SaveData
// writes.
#include <QAbstractItemModel>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <memory>

#include "core/preferences.h"
#include "model/channel_test_util.h"
#include "ui/channel/channel_grid.h"
#include "ui/channel/frm_channel.h"
#include "ui/main/mdi_form1.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::PutChannel;
using orvex::test::RawChannel;
using orvex::test::ScriptedPrompter;

namespace {

// 146.50000 MHz as the radio stores it, least significant byte first.
const std::vector<std::uint8_t> k14650000 = {0x00, 0x00, 0x65, 0x14};

Image WithChannels(std::initializer_list<int> channels) {
  Image image = test::Blank();
  for (int n : channels) PutChannel(image, n, RawChannel{});
  return image;
}

std::vector<std::uint8_t> Span(const Image& image, std::size_t row, std::size_t from, std::size_t count) {
  return {image.begin() + static_cast<std::ptrdiff_t>(Address(row, from)),
          image.begin() + static_cast<std::ptrdiff_t>(Address(row, from + count))};
}

}  // namespace

class ChannelGridTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  FrmChannel* m_window = nullptr;
  ChannelGrid* m_grid = nullptr;

  void Start(const Image& image) {
    StartMain({.windows = {{kWinChannel, test::Factory<FrmChannel>()}}, .image = image});
    m_window = qobject_cast<FrmChannel*>(m_main->editingWindow(kWinChannel));
    QVERIFY(m_window != nullptr);
    m_window->showMaximized();
    m_grid = m_window->grid();
    m_grid->setFocus();
  }

  [[nodiscard]] std::string Cell(int row, int column) const { return m_window->table().Cell(row, column); }
  [[nodiscard]] CellPos Current() const { return m_window->table().current(); }
  [[nodiscard]] const Image& Memory() const { return m_main->memory().image(); }

  // Keys go where the keyboard focus is, as they would for a user.
  QWidget* Focus() {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus : m_grid;
  }
  void Key(Qt::Key key) { QTest::keyClick(Focus(), key); }
  void Type(const QString& text) {
    for (const QChar c : text) QTest::keyClick(Focus(), c.toLatin1());
  }
  void GoTo(int row, int column) {
    m_grid->setFocus();
    m_grid->setCurrentIndex(m_grid->model()->index(row, column));
    QCOMPARE(Current(), (CellPos{row, column}));
  }
  void ClickCell(int row, int column) {
    const QModelIndex index = m_grid->model()->index(row, column);
    m_grid->scrollTo(index);
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, m_grid->visualRect(index).center());
  }
  [[nodiscard]] QLineEdit* Text() const { return m_grid->textEditor(); }
  [[nodiscard]] QComboBox* List(int index) const { return m_grid->listEditor(index); }
  // The editor lies over the current cell.
  void VerifyOver(QWidget* editor) {
    QVERIFY(editor->isVisible());
    QVERIFY(editor->hasFocus());
    const QModelIndex index = m_grid->model()->index(Current().row, Current().column);
    QCOMPARE(editor->geometry(), m_grid->visualRect(index));
  }
  bool Greyed(int row, int column) const {
    return m_grid->model()->index(row, column).data(Qt::BackgroundRole).isValid();
  }

 private slots:
  void init() { WriteLanguagePreference(0); }
  void cleanup() { StopMain(); }

  void layoutOfTheGrid() {
    Start(WithChannels({1}));
    QCOMPARE(m_grid->model()->rowCount(), 129);
    QCOMPARE(m_grid->model()->columnCount(), 15);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Channel Information.."));
    QCOMPARE(m_grid->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("CTC/DCS Dec."));
    QCOMPARE(m_grid->model()->headerData(128, Qt::Vertical).toString(), QStringLiteral("128"));
    for (int column : {0, 10, 11}) QVERIFY(m_grid->isColumnHidden(column));
    QVERIFY(m_grid->isRowHidden(0));
    const int dpi = m_grid->logicalDpiX();
    QCOMPARE(m_grid->columnWidth(1), 1200 * dpi / 1440);
    QCOMPARE(m_grid->columnWidth(14), 1300 * dpi / 1440);
    QCOMPARE(m_grid->model()->index(1, 5).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::Alignment(Qt::AlignCenter));
    QVERIFY(Greyed(1, 13));
    QVERIFY(Greyed(1, 14));
    QVERIFY(!Greyed(1, 12));
    QCOMPARE(Current(), (CellPos{1, 1}));
  }

  // A committed cell stores its own row only, as one step; a list closed
  // with Escape stores nothing.
  void aCommittedCellStoresOnlyItsRow() {
    Start(WithChannels({1, 2}));
    const Image before = Memory();
    std::vector<CellPos> committed;
    connect(m_grid, &ChannelGrid::committed, this, [&committed](CellPos cell) { committed.push_back(cell); });
    ClickCell(1, kColOptSignal);
    VerifyOver(List(1));
    Key(Qt::Key_Down);
    Key(Qt::Key_Escape);
    QCOMPARE(m_main->history().undoCount(), std::size_t{0});
    ClickCell(2, kColPower);
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    QCOMPARE(committed, (std::vector<CellPos>{{2, kColPower}}));
    QCOMPARE(m_main->history().undoCount(), std::size_t{1});
    QCOMPARE(m_main->tool("miUndo")->toolTip(), QStringLiteral("Undo channel 2 TX power"));
    for (std::size_t row = 0; row < kRowCount; ++row) {
      if (row != 2) QCOMPARE(test::RowBytes(Memory(), row), test::RowBytes(before, row));
    }
    QVERIFY(test::RowBytes(Memory(), 2) != test::RowBytes(before, 2));
  }

  void typingOnTheDecodeCellOfAnEmptyChannelCreatesIt() {
    Start(test::Blank());
    GoTo(7, kColDecodeTone);
    Type("1");
    QCOMPARE(Current(), (CellPos{7, kColRx}));
    VerifyOver(Text());
    QCOMPARE(Text()->text(), QStringLiteral("1"));
    QVERIFY(!Text()->hasSelectedText());
    Type("46.5");
    Key(Qt::Key_Return);
    QVERIFY(!Text()->isVisible());
    QVERIFY(m_grid->hasFocus());
    QCOMPARE(Current(), (CellPos{7, kColTx}));
    const std::vector<std::string> expected = {"146.50000", "146.50000", "None", "None", "High", "Yes", "Wide",
                                               "Off",       "",          "Off",  "1",    "Off",  "0",   "Off"};
    for (int column = 1; column < kChannelColumns; ++column)
      QCOMPARE(Cell(7, column), expected[static_cast<std::size_t>(column - 1)]);
    QVERIFY(Greyed(7, kColDecode));
    QVERIFY(Greyed(7, kColAutoResponse));

    m_main->SaveAll();
    std::vector<std::uint8_t> record = k14650000;
    record.insert(record.end(), k14650000.begin(), k14650000.end());
    record.insert(record.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x00, 0xFF});
    QCOMPARE(Span(Memory(), 7, 0, 16), record);
    std::vector<std::uint8_t> name(6, 38);
    name.resize(16, 0xFF);
    QCOMPARE(Span(Memory(), 256 + 7, 0, 16), name);
  }

  void keyboardOnlyRowEntry() {
    // Rx, Enter, Enter through Tx, a tone picked with the arrow keys, the
    // lists, the name: every cell reached by keys alone.
    Start(test::Blank());
    GoTo(2, kColRx);
    Type("438.5");
    Key(Qt::Key_Return);  // Rx -> Tx
    Key(Qt::Key_Return);  // opens Tx with its text selected
    QVERIFY(Text()->hasSelectedText());
    Type("431");
    Key(Qt::Key_Return);  // Tx -> Dec.
    QCOMPARE(Current(), (CellPos{2, kColDecodeTone}));
    Key(Qt::Key_Return);  // opens the tone list
    VerifyOver(List(0));
    QCOMPARE(List(0)->count(), 261);
    QCOMPARE(List(0)->currentText(), QStringLiteral("None"));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);  // 69.3, on to Enc.
    QCOMPARE(Cell(2, kColDecodeTone), "69.3");
    QCOMPARE(Current(), (CellPos{2, kColEncodeTone}));
    Key(Qt::Key_Right);  // arrows move without opening anything
    Key(Qt::Key_Return);
    VerifyOver(List(1));
    QCOMPARE(List(1)->currentText(), QStringLiteral("High"));
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    QCOMPARE(Cell(2, kColPower), "Low");
    QCOMPARE(Current(), (CellPos{2, kColScanAdd}));
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    QCOMPARE(Current(), (CellPos{2, kColName}));
    Type("r7");
    Key(Qt::Key_Return);
    QCOMPARE(Cell(2, kColName), "R7    ");
    QCOMPARE(Current(), (CellPos{2, kColOptSignal}));

    m_main->SaveAll();
    QCOMPARE(Span(Memory(), 2, 0, 8), std::vector<std::uint8_t>({0x00, 0x00, 0x85, 0x43, 0x00, 0x00, 0x10, 0x43}));
    QCOMPARE(Span(Memory(), 2, 8, 2), std::vector<std::uint8_t>({0xB5, 0x02}));  // 69.3 Hz = 693
    QCOMPARE(Memory()[Address(2, 13)], std::uint8_t(0x50));                      // Low
  }

  void frequencyReplacements_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("above the band") << "600"
                                    << "400.02500";
    QTest::newRow("below the band") << "50"
                                    << "137.02500";
    QTest::newRow("5 kHz step") << "145.0031"
                                << "145.00000";
    QTest::newRow("6.25 kHz step") << "145.0063"
                                   << "145.00625";
    QTest::newRow("letters dropped") << "14x6"
                                     << "146.00000";
  }
  void frequencyReplacements() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Start(test::Blank());
    GoTo(1, kColRx);
    Key(Qt::Key_Return);
    VerifyOver(Text());
    Type(typed);
    Key(Qt::Key_Return);
    QCOMPARE(QString::fromStdString(Cell(1, kColRx)), shown);
    QCOMPARE(QString::fromStdString(Cell(1, kColTx)), shown);
  }

  void emptyingRxEmptiesTheRowAndClearsTheChannel() {
    Image image = WithChannels({5});
    image[Address(5, 12)] = 0x12;
    Start(image);
    GoTo(5, kColRx);
    Key(Qt::Key_Return);
    QVERIFY(Text()->hasSelectedText());
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    for (int column = 1; column < kChannelColumns; ++column) QCOMPARE(Cell(5, column), std::string());
    m_main->SaveAll();
    QCOMPARE(Span(Memory(), 5, 0, 16), std::vector<std::uint8_t>(16, 0xFF));
    QCOMPARE(Span(Memory(), 256 + 5, 0, 16), std::vector<std::uint8_t>(16, 0xFF));
  }

  void emptyingTxEmptiesEncodeAndItsClickOpensTx() {
    Start(WithChannels({3}));
    ClickCell(3, kColTx);
    VerifyOver(Text());
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    QCOMPARE(Cell(3, kColTx), std::string());
    QCOMPARE(Cell(3, kColEncodeTone), std::string());
    QCOMPARE(Current(), (CellPos{3, kColDecodeTone}));
    ClickCell(3, kColEncodeTone);
    QCOMPARE(Current(), (CellPos{3, kColTx}));
    VerifyOver(Text());
    QCOMPARE(Text()->text(), QString());
    Key(Qt::Key_Escape);
    m_main->SaveAll();
    QCOMPARE(Span(Memory(), 3, 4, 4), std::vector<std::uint8_t>(4, 0xFF));
    QCOMPARE(Span(Memory(), 3, 10, 2), std::vector<std::uint8_t>(2, 0xFF));
  }

  void clickOnAnEmptyRowOpensRx() {
    Start(test::Blank());
    ClickCell(9, kColAutoResponse);
    QCOMPARE(Current(), (CellPos{9, kColRx}));
    VerifyOver(Text());
  }

  void enterInTheLastOptSignalListWrapsToTheFirstRow() {
    Start(WithChannels({1, 128}));
    GoTo(128, kColOptSignal);
    Key(Qt::Key_Return);
    VerifyOver(List(1));
    QCOMPARE(List(1)->currentText(), QStringLiteral("Off"));
    Key(Qt::Key_Return);
    QCOMPARE(Current(), (CellPos{1, kColRx}));
    QCOMPARE(m_grid->currentIndex(), m_grid->model()->index(1, kColRx));
  }

  void fiveToneThenMskRegreysAtOnce() {
    Start(WithChannels({2}));
    ClickCell(2, kColOptSignal);
    VerifyOver(List(1));
    QCOMPARE(List(1)->count(), 4);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    QCOMPARE(List(1)->currentText(), QStringLiteral("5-Tone"));
    QVERIFY(!Greyed(2, kColDecode));
    QVERIFY(!Greyed(2, kColAutoResponse));
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    QCOMPARE(List(1)->currentText(), QStringLiteral("MSK"));
    QVERIFY(!Greyed(2, kColDecode));
    QVERIFY(Greyed(2, kColAutoResponse));
    QCOMPARE(Cell(2, kColAutoResponse), "Off");
    Key(Qt::Key_Return);
    QCOMPARE(Current(), (CellPos{2, kColDecode}));
    ClickCell(2, kColAutoResponse);  // greyed: nothing opens
    QVERIFY(!m_grid->isEditing());
    m_main->SaveAll();
    QCOMPARE(Memory()[Address(2, 13)] & 0x07, 2);
  }

  void escapeInAListPutsTheOptSignalBack() {
    Start(WithChannels({2}));
    ClickCell(2, kColOptSignal);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    QVERIFY(!Greyed(2, kColAutoResponse));
    Key(Qt::Key_Escape);
    QVERIFY(!m_grid->isEditing());
    QCOMPARE(Cell(2, kColOptSignal), "Off");
    QVERIFY(Greyed(2, kColAutoResponse));
  }

  void nameIsUpperCasedPaddedAndFiltered() {
    Start(WithChannels({4}));
    GoTo(4, kColName);
    Type("a");
    VerifyOver(Text());
    QCOMPARE(Text()->text(), QStringLiteral("A"));
    Type("b-+");
    QCOMPARE(Text()->text(), QStringLiteral("AB+"));
    Key(Qt::Key_Return);
    QCOMPARE(Cell(4, kColName), "AB+   ");
    QCOMPARE(Current(), (CellPos{4, kColOptSignal}));  // hidden columns skipped
    m_main->SaveAll();
    QCOMPARE(Span(Memory(), 256 + 4, 0, 6), std::vector<std::uint8_t>({10, 11, 37, 38, 38, 38}));
  }

  void escapeRestoresTheText() {
    const Image image = WithChannels({6});
    Start(image);
    GoTo(6, kColRx);
    Type("43");
    QCOMPARE(Text()->text(), QStringLiteral("43"));
    Key(Qt::Key_Escape);
    QVERIFY(!Text()->isVisible());
    QCOMPARE(Cell(6, kColRx), "145.50000");
    QCOMPARE(Current(), (CellPos{6, kColRx}));
    m_main->SaveAll();
    QCOMPARE(Memory(), image);
  }

  void unrecognisedToneNibble() {
    Image image = WithChannels({8});
    image[Address(8, 9)] = 0x10;
    Start(image);
    QCOMPARE(Cell(8, kColDecodeTone), std::string());
    ClickCell(8, kColDecodeTone);
    QVERIFY(!m_grid->isEditing());
    GoTo(8, kColDecodeTone);
    Key(Qt::Key_Return);
    QVERIFY(!m_grid->isEditing());
    m_main->SaveAll();
    QCOMPARE(Span(Memory(), 8, 8, 2), std::vector<std::uint8_t>({0xFF, 0xFF}));

    // A new Rx on that row makes it a new channel.
    m_main->memory().image()[Address(8, 13)] = 0x11;  // Narrow, 2-Tone
    m_main->memory().image()[Address(8, 9)] = 0x10;
    m_main->RefreshAll();
    GoTo(8, kColRx);
    Key(Qt::Key_Return);
    Type("430");
    Key(Qt::Key_Return);
    QCOMPARE(Cell(8, kColTx), "430.00000");
    QCOMPARE(Cell(8, kColDecodeTone), "None");
    QCOMPARE(Cell(8, kColBandwidth), "Wide");
    QCOMPARE(Cell(8, kColOptSignal), "Off");
  }

  void openEditIsCommittedByCommands_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("list");
    for (const char* command : {"miSave", "miWrite", "tree", "miChinese", "miPrint", "miCloseAll"}) {
      QTest::newRow(qPrintable(QStringLiteral("%1 text").arg(command))) << command << false;
      QTest::newRow(qPrintable(QStringLiteral("%1 list").arg(command))) << command << true;
    }
  }
  void openEditIsCommittedByCommands() {
    QFETCH(QString, command);
    QFETCH(bool, list);
    Start(WithChannels({1}));
    m_main->state().portDevice = "/nonexistent/orvex-tty";
    if (list) {
      GoTo(1, kColOptSignal);
      Key(Qt::Key_Return);
      Key(Qt::Key_Down);
      Key(Qt::Key_Down);  // 2-Tone, not committed
      QVERIFY(List(1)->isVisible());
    } else {
      GoTo(1, kColRx);
      Type("146.1");  // not committed
      QVERIFY(Text()->isVisible());
    }
    QSignalSpy ended(m_main.get(), &MDIForm1::transferEnded);
    if (command == QLatin1String("tree"))
      m_main->ClickNode("Item1");
    else
      m_main->Dispatch(command);
    // The raw test channel fails the check before Write; declining the
    // question ends the command, the edit already stored.
    const bool declined = !m_prompter->texts().filter("Write anyway?").isEmpty();
    if (command == QLatin1String("miWrite") && !declined) QVERIFY(ended.wait(5000));
    if (list)
      QCOMPARE(Memory()[Address(1, 13)] & 0x07, 1);
    else
      QCOMPARE(Span(Memory(), 1, 0, 4), std::vector<std::uint8_t>({0x00, 0x00, 0x61, 0x14}));
    if (command == QLatin1String("miCloseAll")) return;
    QVERIFY(!m_grid->isEditing());
    if (command == QLatin1String("miChinese")) {
      QCOMPARE(m_window->windowTitle(), QStringLiteral("信道信息.."));
      return;
    }
    QCOMPARE(Cell(1, list ? kColOptSignal : kColRx), list ? "2-Tone" : "146.10000");
  }

  void scrollingCommitsTheOpenEditor() {
    Start(WithChannels({1}));
    GoTo(1, kColRx);
    Type("147");
    m_grid->scrollToBottom();
    QVERIFY(!m_grid->isEditing());
    QCOMPARE(Cell(1, kColRx), "147.00000");
  }

  void clickingAnotherCellCommitsTheOpenEditor() {
    Start(WithChannels({1, 2}));
    GoTo(1, kColName);
    Type("xy");
    ClickCell(2, kColPower);
    QCOMPARE(Cell(1, kColName), "XY    ");
    QCOMPARE(Current(), (CellPos{2, kColPower}));
    VerifyOver(List(1));
  }
};

ORVEX_UI_TEST_MAIN(ChannelGridTest)
#include "channel_grid_qtest.moc"
