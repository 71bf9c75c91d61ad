// The 2-Tone, 5-Tone and MSK windows driven as a user drives them: opened
// through the main window, edited with real key and mouse events on the
// grids and their in-cell editors, then the bytes SaveData writes.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QScrollBar>
#include <memory>

#include "core/preferences.h"
#include "model/signalling/tone_standards.h"
#include "ui/main/mdi_form1.h"
#include "ui/signalling/frm_2tone.h"
#include "ui/signalling/frm_5tone.h"
#include "ui/signalling/frm_msk.h"
#include "ui/signalling/signalling_grid.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr TwoToneGrid kCall = TwoToneGrid::CallList;
constexpr TwoToneGrid kDecode = TwoToneGrid::Decode;

Image AllEmpty() {
  Image image;
  image.fill(kEmpty);
  return image;
}

void Put(Image& image, std::size_t address, const Bytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(address));
}

Bytes At(const Image& image, std::size_t address, std::size_t count) {
  return {image.begin() + static_cast<std::ptrdiff_t>(address),
          image.begin() + static_cast<std::ptrdiff_t>(address + count)};
}

Bytes FromHex(const QString& hex) {
  Bytes bytes;
  for (const QString& b : hex.split(' ', Qt::SkipEmptyParts))
    bytes.push_back(static_cast<std::uint8_t>(b.toUInt(nullptr, 16)));
  return bytes;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Call List entry n begins at 0x1C50 + 5n, Decode entry n at 0x1CB0 + 6n.
std::size_t CallEntry(int n) { return 0x1C50 + 5 * static_cast<std::size_t>(n); }
std::size_t DecodeEntry(int n) { return 0x1CB0 + 6 * static_cast<std::size_t>(n); }
std::size_t FiveToneEntry(int n) { return 0x1D60 + 6 * static_cast<std::size_t>(n); }
std::size_t MskCallEntry(int n) { return 0x1D00 + 4 * static_cast<std::size_t>(n); }
std::size_t MskIdEntry(int n) { return 0x1D30 + 4 * static_cast<std::size_t>(n); }
constexpr std::size_t kMskOptions = 0x0E2B;

}  // namespace

class SignallingWindowsTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  // A main window holding only the signalling windows, as the program
  // registers them.
  void Start(const Image& image) {
    EditingWindowFactories windows;
    for (const WindowBit bit : {kWinMsk, kWin2Tone, kWin5Tone}) {
      const auto registered = RegisteredEditingWindows().find(bit);
      QVERIFY2(registered != RegisteredEditingWindows().end(), "signalling window not registered");
      windows[bit] = registered->second;
    }
    StartMain({.windows = windows, .image = image, .size = {1400, 900}});
  }

  template <class Window>
  Window* Open(const char* command, WindowBit bit) {
    m_main->Dispatch(QString::fromLatin1(command));
    auto* window = qobject_cast<Window*>(m_main->editingWindow(bit));
    if (window != nullptr) QCoreApplication::processEvents();
    return window;
  }
  Frm2Tone* Open2Tone() { return Open<Frm2Tone>("mi2Tone", kWin2Tone); }
  Frm5Tone* Open5Tone() { return Open<Frm5Tone>("mi5Tone", kWin5Tone); }
  FrmMsk* OpenMsk() { return Open<FrmMsk>("miMSK", kWinMsk); }

  Image& Memory() { return m_main->memory().image(); }

  // Keys go where the keyboard focus is, as they would for a user.
  static QWidget* Focus() { return QApplication::focusWidget(); }
  static void Key(Qt::Key key) { QTest::keyClick(Focus(), key); }
  static void Type(const QString& text) {
    for (const QChar c : text) QTest::keyClick(Focus(), c.toLatin1());
  }
  static void GoTo(SignallingGrid* grid, int row, int column) {
    grid->setFocus();
    grid->SetCurrentCell({row, column});
    QCOMPARE(grid->currentCell(), (CellPos{row, column}));
  }
  static void ClickCell(SignallingGrid* grid, int row, int column) {
    const QModelIndex index = grid->gridModel()->ToIndex({row, column});
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
  }
  // The editor is open with the focus, exactly over the current cell.
  static void VerifyOver(SignallingGrid* grid, QWidget* editor) {
    QVERIFY(grid->isEditing());
    QVERIFY(editor->isVisible());
    QVERIFY(editor->hasFocus());
    QCOMPARE(editor->geometry(), grid->visualRect(grid->gridModel()->ToIndex(grid->currentCell())));
  }
  static QStringList Row(const Frm2Tone* window, TwoToneGrid which, int row) {
    QStringList texts;
    for (int column = 1; column <= 3; ++column) texts << Q(window->table().cell(which, {row, column}));
    return texts;
  }
  static QStringList Row(const Frm5Tone* window, int row) {
    return {Q(window->table().cell({row, 1})), Q(window->table().cell({row, 2}))};
  }
  static QString Code(const FrmMsk* window, MskGrid which, int row) { return Q(window->table().cell(which, {row, 1})); }
  static QString Heading(const SignallingGrid* grid, int column) {
    return grid->model()->headerData(column - 1, Qt::Horizontal).toString();
  }

 private slots:
  void init() { WriteLanguagePreference(0); }
  void cleanup() { StopMain(); }

  // ---- all three windows ----------------------------------------------------

  void openedByMenuAndTree_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("node");
    QTest::addColumn<int>("bit");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("2-Tone") << "mi2Tone"
                            << "Item6" << int(kWin2Tone) << "frm2Tone"
                            << "2-Tone";
    QTest::newRow("5-Tone") << "mi5Tone"
                            << "Item7" << int(kWin5Tone) << "frm5Tone"
                            << "5-Tone";
    QTest::newRow("MSK") << "miMSK"
                         << "Item5" << int(kWinMsk) << "frmMSK"
                         << "MSK";
  }
  void openedByMenuAndTree() {
    QFETCH(QString, command);
    QFETCH(QString, node);
    QFETCH(int, bit);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Start(AllEmpty());
    m_main->Dispatch(command);
    EditingWindow* window = m_main->editingWindow(WindowBit(bit));
    QVERIFY(window != nullptr);
    QCOMPARE(window->objectName(), name);
    QCOMPARE(window->windowTitle(), caption);
    QVERIFY(window->isVisible());
    QVERIFY((m_main->state().openWindows & bit) != 0);
    QCOMPARE(m_main->mdiArea()->activeSubWindow(), static_cast<QMdiSubWindow*>(window));
    // Every grid shows all its rows: it never needs to scroll.
    for (auto* grid : window->findChildren<SignallingGrid*>()) {
      QVERIFY(!grid->textEditor()->isVisible());
      const int rows = grid->model()->rowCount();
      QVERIFY(grid->viewport()->height() >= grid->rowViewportPosition(rows - 1) + grid->rowHeight(rows - 1));
    }

    window->close();
    QVERIFY(window->isHidden());
    QCOMPARE(m_main->state().openWindows & bit, 0);
    m_main->ClickNode(node);
    QCOMPARE(m_main->editingWindow(WindowBit(bit)), window);  // the same window, shown again
    QVERIFY(window->isVisible());
    QVERIFY((m_main->state().openWindows & bit) != 0);
  }

  void closingByTheUserStoresAndHides_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("bit");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("2-Tone") << "mi2Tone" << int(kWin2Tone) << int(CallEntry(0)) << "1000"
                            << "27 10 FF FF FF";
    QTest::newRow("5-Tone") << "mi5Tone" << int(kWin5Tone) << int(FiveToneEntry(0)) << "12"
                            << "00 01 02 0A 0A 0A";
    QTest::newRow("MSK") << "miMSK" << int(kWinMsk) << int(MskCallEntry(0)) << "C"
                         << "0C FF FF FF";
  }
  void closingByTheUserStoresAndHides() {
    QFETCH(QString, command);
    QFETCH(int, bit);
    QFETCH(int, address);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Start(AllEmpty());
    m_main->Dispatch(command);
    EditingWindow* window = m_main->editingWindow(WindowBit(bit));
    auto* grid = window->findChild<SignallingGrid*>();
    // The 5-Tone ID is column 2; a typed key opens the editor.
    GoTo(grid, 1, bit == kWin5Tone ? 2 : 1);
    Type(typed);
    QVERIFY(grid->isEditing());
    const Bytes expected = FromHex(stored);
    QCOMPARE(At(Memory(), std::size_t(address), expected.size()), Bytes(expected.size(), 0xFF));  // nothing yet
    window->close();
    QVERIFY(window->isHidden());
    QCOMPARE(At(Memory(), std::size_t(address), expected.size()), expected);

    // Reopening reloads from the image.
    Put(Memory(), std::size_t(address), Bytes(expected.size(), 0xFF));
    m_main->Dispatch(command);
    QCOMPARE(m_main->editingWindow(WindowBit(bit)), window);
    QCOMPARE(grid->model()->index(0, bit == kWin5Tone ? 1 : 0).data().toString(), QString());
  }

  void openEditIsStoredBySaveAllAndLanguageSwitch() {
    Start(AllEmpty());
    Frm2Tone* two = Open2Tone();
    GoTo(two->grid(kCall), 2, 1);
    Type("500");
    FrmMsk* msk = OpenMsk();
    GoTo(msk->grid(MskGrid::IdCode), 3, 1);
    Type("5");
    Frm5Tone* five = Open5Tone();
    GoTo(five->grid(), 4, 2);
    Type("1");
    QVERIFY(five->grid()->isEditing());

    m_main->Dispatch("miChinese");
    QCOMPARE(At(Memory(), CallEntry(1), 5), FromHex("13 88 FF FF FF"));
    QCOMPARE(At(Memory(), MskIdEntry(2), 4), FromHex("05 FF FF FF"));
    QCOMPARE(At(Memory(), FiveToneEntry(3), 6), FromHex("00 01 0A 0A 0A 0A"));
    // Reloaded in Chinese, values kept.
    QCOMPARE(two->windowTitle(), QStringLiteral("两音"));
    QCOMPARE(two->frame(kCall)->title(), QStringLiteral("呼叫列表"));
    QCOMPARE(Heading(two->grid(kCall), 1), QStringLiteral("A音[Hz]"));
    QCOMPARE(Heading(two->grid(kCall), 3), QStringLiteral("间隔时间[ms]"));
    QCOMPARE(Heading(two->grid(kDecode), 3), QStringLiteral("组呼[Hz]"));
    QCOMPARE(two->grid(kCall)->gridModel()->cornerText(), QStringLiteral("序号"));
    QCOMPARE(Row(two, kCall, 2), QStringList({"500.0", "", ""}));
    QCOMPARE(msk->windowTitle(), QStringLiteral("MSK"));
    QCOMPARE(msk->frame(MskGrid::IdCode)->title(), QStringLiteral("ID 码"));
    QCOMPARE(msk->invertBox()->text(), QStringLiteral("中继MSK反相"));
    QCOMPARE(Heading(msk->grid(MskGrid::CallList), 1), QStringLiteral("呼叫列表"));
    QCOMPARE(Code(msk, MskGrid::IdCode, 3), QStringLiteral("5"));
    QCOMPARE(five->windowTitle(), QStringLiteral("五音"));
    QCOMPARE(Heading(five->grid(), 1), QStringLiteral("制式"));
    QCOMPARE(five->list(1)->currentText(), QStringLiteral("10秒"));
    QCOMPARE(five->findChild<QLabel*>("Lbl5Tone1")->text(), QStringLiteral("应答等待时间"));
    QCOMPARE(Row(five, 4), QStringList({"CCIR1", "1AAAA"}));

    GoTo(two->grid(kDecode), 1, 3);
    Type("1000");
    m_main->SaveAll();
    QVERIFY(!two->grid(kDecode)->isEditing());
    QCOMPARE(At(Memory(), DecodeEntry(0), 6), FromHex("00 00 00 00 27 10"));
  }

  void refreshDropsAnOpenEditAndShowsTheNewImage() {
    Start(AllEmpty());
    Frm2Tone* two = Open2Tone();
    FrmMsk* msk = OpenMsk();
    Frm5Tone* five = Open5Tone();
    GoTo(five->grid(), 1, 1);
    Key(Qt::Key_Return);
    QVERIFY(five->grid()->listEditor()->isVisible());
    // As after New, Open or Read: a new image, then RefreshAll.
    Put(Memory(), CallEntry(0), FromHex("27 10 3A 98 64"));
    Put(Memory(), MskCallEntry(0), FromHex("01 FF FF FF"));
    Put(Memory(), FiveToneEntry(0), FromHex("07 01 02 03 04 05"));
    Memory()[0x1D92] = 4;
    const Image image = Memory();
    m_main->RefreshAll();
    QVERIFY(!five->grid()->isEditing());
    QVERIFY(!five->grid()->listEditor()->isVisible());
    QCOMPARE(Row(two, kCall, 1), QStringList({"1000.0", "1500.0", "100"}));
    QCOMPARE(Code(msk, MskGrid::CallList, 1), QStringLiteral("1"));
    QCOMPARE(Row(five, 1), QStringList({"ZVEI2", "12345"}));
    QCOMPARE(five->list(2)->currentText(), QStringLiteral("4"));
    m_main->SaveAll();
    Image expected = image;
    expected[0x1D91] = 1;  // blank shows 10s, stored as such
    QCOMPARE(Memory(), expected);
  }

  void closingTheProgramStoresOnceAndDestroysTheWindows() {
    Start(AllEmpty());
    Frm2Tone* two = Open2Tone();
    GoTo(two->grid(kCall), 1, 1);
    Type("1000");
    Key(Qt::Key_Return);
    FrmMsk* msk = OpenMsk();
    GoTo(msk->grid(MskGrid::CallList), 1, 1);
    Type("A");  // still open
    m_prompter->answers = {QMessageBox::No};
    m_main->close();
    // The program's close stores every window first, then asks about the
    // unsaved image; the windows themselves store nothing more.
    QCOMPARE(m_prompter->texts(), QStringList({"File has been modified, save it now?"}));
    QCOMPARE(At(Memory(), CallEntry(0), 5), FromHex("27 10 FF FF FF"));
    QCOMPARE(At(Memory(), MskCallEntry(0), 4), FromHex("0A FF FF FF"));
    QCOMPARE(m_main->state().openWindows & (kWin2Tone | kWinMsk), 0);
    QTRY_VERIFY(m_main->editingWindow(kWin2Tone) == nullptr);
    QTRY_VERIFY(m_main->editingWindow(kWinMsk) == nullptr);
  }

  // ---- 2-Tone -----------------------------------------------------------------

  void twoToneLayout() {
    Start(AllEmpty());
    Frm2Tone* window = Open2Tone();
    QCOMPARE(window->frame(kCall)->title(), QStringLiteral("Call List"));
    QCOMPARE(window->frame(kDecode)->title(), QStringLiteral("Decode"));
    SignallingGrid* call = window->grid(kCall);
    SignallingGrid* decode = window->grid(kDecode);
    QCOMPARE(call->objectName(), QStringLiteral("Grid2Tone0"));
    QCOMPARE(decode->textEditor()->objectName(), QStringLiteral("Txt2Tone1"));
    QCOMPARE(call->model()->rowCount(), 10);
    QCOMPARE(decode->model()->rowCount(), 8);
    QCOMPARE(call->model()->columnCount(), 3);
    QCOMPARE(call->gridModel()->cornerText(), QStringLiteral("No."));
    const QStringList callHeadings = {Heading(call, 1), Heading(call, 2), Heading(call, 3)};
    QCOMPARE(callHeadings, QStringList({"ATone[Hz]", "BTone[Hz]", "GAP Time[ms]"}));
    QCOMPARE(Heading(decode, 3), QStringLiteral("Group Call[Hz]"));
    QCOMPARE(call->model()->headerData(9, Qt::Vertical).toString(), QStringLiteral("9"));
    QCOMPARE(decode->model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("0"));
    // Label column one tenth, tone columns three tenths each.
    const int total =
        call->verticalHeader()->width() + call->columnWidth(0) + call->columnWidth(1) + call->columnWidth(2);
    QVERIFY(qAbs(call->verticalHeader()->width() * 10 - total) <= 10);
    QVERIFY(qAbs(call->columnWidth(1) * 10 - total * 3) <= 30);
    QCOMPARE(call->model()->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::Alignment(Qt::AlignCenter));
  }

  void twoToneLoads_data() {
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("stored");
    // Call List entry 3 crosses a row: tone A is 0x1C5F..0x1C60.
    QTest::newRow("call blank") << 0 << "FF FF FF FF FF" << QStringList({"", "", ""}) << "FF FF FF FF FF";
    QTest::newRow("call 0000 is the lowest tone")
        << 0 << "00 00 00 00 64" << QStringList({"288.5", "288.5", "100"}) << "0B 45 0B 45 64";
    QTest::newRow("call 7DFF shows 3000")
        << 0 << "7D FF 27 10 0A" << QStringList({"3000", "1000.0", "10"}) << "75 30 27 10 0A";
    QTest::newRow("call 7E00 is empty") << 0 << "7E 00 27 10 0A" << QStringList({"", "1000.0", ""}) << "FF FF 27 10 FF";
    QTest::newRow("call tone A alone drops its GAP")
        << 0 << "27 10 FF FF 32" << QStringList({"1000.0", "", ""}) << "27 10 FF FF FF";
    QTest::newRow("decode blank") << 1 << "FF FF FF FF FF FF" << QStringList({"", "", ""}) << "FF FF FF FF FF FF";
    QTest::newRow("decode group call only")
        << 1 << "00 00 00 00 27 10" << QStringList({"-", "-", "1000.0"}) << "00 00 00 00 27 10";
    QTest::newRow("decode group call hides a lone tone B")
        << 1 << "FF FF 27 10 27 10" << QStringList({"-", "-", "1000.0"}) << "00 00 00 00 27 10";
    QTest::newRow("decode full") << 1 << "03 E8 7F FF 0B 46" << QStringList({"288.5", "3000", "288.6"})
                                 << "0B 45 75 30 0B 46";
  }
  void twoToneLoads() {
    QFETCH(int, list);
    QFETCH(QString, bytes);
    QFETCH(QStringList, texts);
    QFETCH(QString, stored);
    const std::size_t address = list == 0 ? CallEntry(3) : DecodeEntry(3);
    Image image = AllEmpty();
    Put(image, address, FromHex(bytes));
    Start(image);
    Frm2Tone* window = Open2Tone();
    QCOMPARE(Row(window, TwoToneGrid(list), 4), texts);
    m_main->SaveAll();
    const Bytes expected = FromHex(stored);
    QCOMPARE(At(Memory(), address, expected.size()), expected);
    Image rest = Memory();
    Put(rest, address, Bytes(expected.size(), 0xFF));
    QCOMPARE(rest, AllEmpty());  // no other byte written
  }

  void twoToneToneAThenToneBGetsTheDefaultGap() {
    Start(AllEmpty());
    Frm2Tone* window = Open2Tone();
    SignallingGrid* grid = window->grid(kCall);
    GoTo(grid, 1, 1);
    Type("1");
    VerifyOver(grid, grid->textEditor());
    QCOMPARE(grid->textEditor()->text(), QStringLiteral("1"));
    QVERIFY(!grid->textEditor()->hasSelectedText());
    Type("000");
    Key(Qt::Key_Return);
    QVERIFY(!grid->isEditing());
    QVERIFY(grid->hasFocus());
    QCOMPARE(grid->currentCell(), (CellPos{1, 2}));
    QCOMPARE(Row(window, kCall, 1), QStringList({"1000.0", "", ""}));
    Type("1500.55");  // six characters at most
    QCOMPARE(grid->textEditor()->text(), QStringLiteral("1500.5"));
    Key(Qt::Key_Return);
    QCOMPARE(Row(window, kCall, 1), QStringList({"1000.0", "1500.5", "100"}));
    QCOMPARE(grid->currentCell(), (CellPos{1, 3}));
    Key(Qt::Key_Return);  // Enter on the grid moves on
    QCOMPARE(grid->currentCell(), (CellPos{2, 1}));
    Type("5000");
    Key(Qt::Key_Return);
    QCOMPARE(Row(window, kCall, 2), QStringList({"3000.0", "", ""}));
    // Each committed cell is stored at once; SaveAll changes nothing more.
    QCOMPARE(At(Memory(), CallEntry(0), 10), FromHex("27 10 3A 9D 64 75 30 FF FF FF"));
    m_main->SaveAll();
    QCOMPARE(At(Memory(), CallEntry(0), 10), FromHex("27 10 3A 9D 64 75 30 FF FF FF"));
  }

  void twoToneGapEdits_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("whole number") << "007"
                                  << "7";
    QTest::newRow("above 255") << "300"
                               << "255";
    QTest::newRow("emptied with both tones set") << ""
                                                 << "100";
    QTest::newRow("only digits reach the editor") << "1.5x"
                                                  << "15";
  }
  void twoToneGapEdits() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Image image = AllEmpty();
    Put(image, CallEntry(0), FromHex("27 10 3A 98 32"));
    Start(image);
    Frm2Tone* window = Open2Tone();
    SignallingGrid* grid = window->grid(kCall);
    ClickCell(grid, 1, 3);
    VerifyOver(grid, grid->textEditor());
    QCOMPARE(grid->textEditor()->selectedText(), QStringLiteral("50"));
    QCOMPARE(grid->textEditor()->maxLength(), 3);
    Key(Qt::Key_Backspace);
    Type(typed);
    Key(Qt::Key_Return);
    QCOMPARE(Q(window->table().cell(kCall, {1, 3})), shown);
    QCOMPARE(grid->currentCell(), (CellPos{2, 1}));  // GAP moves to the next row's tone A
  }

  void twoToneEmptyingToneAEmptiesTheRow() {
    Image image = AllEmpty();
    Put(image, CallEntry(0), FromHex("27 10 3A 98 64"));
    Start(image);
    Frm2Tone* window = Open2Tone();
    SignallingGrid* grid = window->grid(kCall);
    ClickCell(grid, 1, 1);
    VerifyOver(grid, grid->textEditor());
    QVERIFY(grid->textEditor()->hasSelectedText());
    QCOMPARE(grid->textEditor()->maxLength(), 6);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    QCOMPARE(Row(window, kCall, 1), QStringList({"", "", ""}));
    m_main->SaveAll();
    QCOMPARE(At(Memory(), CallEntry(0), 5), Bytes(5, 0xFF));
  }

  void twoToneTypingRedirects_data() {
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("edited");
    QTest::newRow("GAP without tone B edits tone B") << 0 << "27 10 FF FF FF" << 3 << 2;
    QTest::newRow("GAP without tone A edits tone A") << 0 << "FF FF FF FF FF" << 3 << 1;
    QTest::newRow("tone B without tone A edits tone A") << 0 << "FF FF FF FF FF" << 2 << 1;
    QTest::newRow("decode tone B of a group call edits tone A") << 1 << "00 00 00 00 27 10" << 2 << 1;
    QTest::newRow("decode group call stays") << 1 << "FF FF FF FF FF FF" << 3 << 3;
  }
  void twoToneTypingRedirects() {
    QFETCH(int, list);
    QFETCH(QString, bytes);
    QFETCH(int, column);
    QFETCH(int, edited);
    Image image = AllEmpty();
    Put(image, list == 0 ? CallEntry(0) : DecodeEntry(0), FromHex(bytes));
    Start(image);
    SignallingGrid* grid = Open2Tone()->grid(TwoToneGrid(list));
    GoTo(grid, 1, column);
    Type("7");
    QCOMPARE(grid->currentCell(), (CellPos{1, edited}));
    VerifyOver(grid, grid->textEditor());
    QCOMPARE(grid->textEditor()->text(), QStringLiteral("7"));
  }

  void twoToneGroupCallAlone() {
    Start(AllEmpty());
    Frm2Tone* window = Open2Tone();
    SignallingGrid* grid = window->grid(kDecode);
    GoTo(grid, 1, 3);
    Type("1000");
    Key(Qt::Key_Return);
    QCOMPARE(Row(window, kDecode, 1), QStringList({"-", "-", "1000.0"}));
    QCOMPARE(grid->currentCell(), (CellPos{2, 1}));
    m_main->SaveAll();
    QCOMPARE(At(Memory(), DecodeEntry(0), 6), FromHex("00 00 00 00 27 10"));

    // The placeholder opens as an empty editor and stays when left empty.
    ClickCell(grid, 1, 1);
    QCOMPARE(grid->textEditor()->text(), QString());
    Key(Qt::Key_Return);
    QCOMPARE(Row(window, kDecode, 1), QStringList({"-", "-", "1000.0"}));
    // Emptying the group call empties the whole entry.
    ClickCell(grid, 1, 3);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    QCOMPARE(Row(window, kDecode, 1), QStringList({"", "", ""}));
    m_main->SaveAll();
    QCOMPARE(At(Memory(), DecodeEntry(0), 6), Bytes(6, 0xFF));
  }

  void twoToneDecodeToneBGoesOnlyWithToneA() {
    Image image = AllEmpty();
    Put(image, DecodeEntry(2), FromHex("27 10 3A 98 FF FF"));
    Start(image);
    Frm2Tone* window = Open2Tone();
    SignallingGrid* grid = window->grid(kDecode);
    ClickCell(grid, 3, 2);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);  // refused: tone A is set
    QCOMPARE(Row(window, kDecode, 3), QStringList({"1000.0", "1500.0", ""}));
    QCOMPARE(grid->currentCell(), (CellPos{3, 3}));
    ClickCell(grid, 3, 1);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    QCOMPARE(Row(window, kDecode, 3), QStringList({"", "", ""}));
  }

  void twoToneTextThatIsNoNumberIsRefused_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("lone point") << "."
                                << "1000.0";
    QTest::newRow("two separators") << "1.2,3"
                                    << "1000.0";
    QTest::newRow("comma as decimal point") << "1234,5"
                                            << "1234.5";
    QTest::newRow("rounded half up") << "999,95"
                                     << "1000.0";
    QTest::newRow("letters dropped") << "9x9y9"
                                     << "999.0";
  }
  void twoToneTextThatIsNoNumberIsRefused() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Image image = AllEmpty();
    Put(image, CallEntry(0), FromHex("27 10 FF FF FF"));
    Start(image);
    Frm2Tone* window = Open2Tone();
    SignallingGrid* grid = window->grid(kCall);
    ClickCell(grid, 1, 1);
    Key(Qt::Key_Backspace);
    Type(typed);
    Key(Qt::Key_Return);
    QCOMPARE(Q(window->table().cell(kCall, {1, 1})), shown);
  }

  void twoToneEscapeRestores_data() {
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("frequency") << 0 << "27 10 FF FF FF" << 1 << "1000.0";
    QTest::newRow("placeholder") << 1 << "00 00 00 00 27 10" << 1 << "-";
    QTest::newRow("empty") << 1 << "FF FF FF FF FF FF" << 3 << "";
  }
  void twoToneEscapeRestores() {
    QFETCH(int, list);
    QFETCH(QString, bytes);
    QFETCH(int, column);
    QFETCH(QString, text);
    Image image = AllEmpty();
    Put(image, list == 0 ? CallEntry(0) : DecodeEntry(0), FromHex(bytes));
    Start(image);
    Frm2Tone* window = Open2Tone();
    SignallingGrid* grid = window->grid(TwoToneGrid(list));
    GoTo(grid, 1, column);
    Type("555");
    Key(Qt::Key_Escape);
    QVERIFY(!grid->isEditing());
    QVERIFY(!grid->textEditor()->isVisible());
    QVERIFY(grid->hasFocus());
    QCOMPARE(Q(window->table().cell(TwoToneGrid(list), {1, column})), text);
    QCOMPARE(grid->currentCell(), (CellPos{1, column}));
    m_main->SaveAll();
    QCOMPARE(Memory(), image);
  }

  void twoToneGridDropsOtherKeysAndFocusLossCommits() {
    Start(AllEmpty());
    Frm2Tone* window = Open2Tone();
    SignallingGrid* call = window->grid(kCall);
    GoTo(call, 4, 2);
    Type("x.-");  // no editor, no search
    QVERIFY(!call->isEditing());
    QCOMPARE(call->currentCell(), (CellPos{4, 2}));
    GoTo(call, 4, 1);
    Type("700");
    ClickCell(window->grid(kDecode), 2, 1);  // the click takes the focus away
    QVERIFY(!call->isEditing());
    QCOMPARE(Q(window->table().cell(kCall, {4, 1})), QStringLiteral("700.0"));
    QCOMPARE(call->currentCell(), (CellPos{4, 1}));
    VerifyOver(window->grid(kDecode), window->grid(kDecode)->textEditor());
  }

  void twoToneEnterOnTheLastCellStays() {
    Start(AllEmpty());
    SignallingGrid* grid = Open2Tone()->grid(kDecode);
    GoTo(grid, 8, 3);
    Key(Qt::Key_Return);
    QCOMPARE(grid->currentCell(), (CellPos{8, 3}));
    Type("2");
    Key(Qt::Key_Return);
    QCOMPARE(grid->currentCell(), (CellPos{8, 3}));
  }

  // ---- 5-Tone -----------------------------------------------------------------

  void fiveToneBlankMemory() {
    Start(AllEmpty());
    m_main->ClickNode("Item7");
    auto* window = qobject_cast<Frm5Tone*>(m_main->editingWindow(kWin5Tone));
    QVERIFY(window != nullptr);
    SignallingGrid* grid = window->grid();
    QCOMPARE(grid->objectName(), QStringLiteral("Grid5Tone"));
    QCOMPARE(grid->model()->rowCount(), 8);
    QCOMPARE(Heading(grid, 1), QStringLiteral("Standard"));
    QCOMPARE(Heading(grid, 2), QStringLiteral("ID"));
    QCOMPARE(grid->gridModel()->cornerText(), QString());
    QCOMPARE(grid->model()->headerData(7, Qt::Vertical).toString(), QStringLiteral("7"));
    for (int row = 1; row <= 8; ++row) QCOMPARE(Row(window, row), QStringList({"", ""}));
    QCOMPARE(window->findChild<QGroupBox*>("fra5Tone0")->title(), QStringLiteral("Standard"));
    QCOMPARE(window->findChild<QGroupBox*>("fra5Tone1")->title(), QStringLiteral("Decode"));
    QCOMPARE(window->findChild<QLabel*>("Lbl5Tone2")->text(), QStringLiteral("Fix Digit"));
    QCOMPARE(window->list(1)->currentText(), QStringLiteral("10s"));
    QCOMPARE(window->list(1)->count(), 4);
    QCOMPARE(window->list(2)->currentText(), QStringLiteral("0"));
    QCOMPARE(window->list(2)->count(), 5);
    QVERIFY(!window->findChild<QComboBox*>("Cbo5T")->isVisible());
    QVERIFY(!window->findChild<QLineEdit*>("Txt5T")->isVisible());

    m_main->SaveAll();
    Image expected = AllEmpty();
    expected[0x1D91] = 1;
    expected[0x1D92] = 0;
    QCOMPARE(Memory(), expected);
  }

  void fiveToneLoads_data() {
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("stored");
    QTest::newRow("ZVEI1 12345") << "06 01 02 03 04 05" << QStringList({"ZVEI1", "12345"}) << "06 01 02 03 04 05";
    QTest::newRow("CCITT ABCD0") << "02 0A 0B 0C 0D 00" << QStringList({"CCITT", "ABCD0"}) << "02 0A 0B 0C 0D 00";
    QTest::newRow("0xFF inside empties the ID")
        << "04 01 02 FF 03 04" << QStringList({"EIA", ""}) << "04 FF 02 FF 03 04";
    QTest::newRow("14 and 15 skipped, then padded")
        << "00 01 0E 02 0F 03" << QStringList({"CCIR1", "123AA"}) << "00 01 02 03 0A 0A";
    QTest::newRow("standard 9 shows CCIR1")
        << "09 01 02 03 04 05" << QStringList({"CCIR1", "12345"}) << "00 01 02 03 04 05";
    QTest::newRow("no standard, ID kept") << "FF 01 02 03 04 05" << QStringList({"", "12345"}) << "FF 01 02 03 04 05";
  }
  void fiveToneLoads() {
    QFETCH(QString, bytes);
    QFETCH(QStringList, texts);
    QFETCH(QString, stored);
    Image image = AllEmpty();
    Put(image, FiveToneEntry(5), FromHex(bytes));
    image[0x1D91] = 7;  // out of range: 10s
    image[0x1D92] = 9;  // out of range: "0"
    Start(image);
    Frm5Tone* window = Open5Tone();
    QCOMPARE(Row(window, 6), texts);
    QCOMPARE(window->list(1)->currentText(), QStringLiteral("10s"));
    QCOMPARE(window->list(2)->currentText(), QStringLiteral("0"));
    m_main->SaveAll();
    QCOMPARE(At(Memory(), FiveToneEntry(5), 6), FromHex(stored));
    QCOMPARE(At(Memory(), 0x1D90, 3), FromHex("FF 01 00"));
  }

  void fiveToneTypedIdBringsCcir1() {
    Start(AllEmpty());
    Frm5Tone* window = Open5Tone();
    SignallingGrid* grid = window->grid();
    GoTo(grid, 1, 1);
    Type("7");  // not on the Standard column
    QVERIFY(!grid->isEditing());
    GoTo(grid, 1, 2);
    Type("e");  // E is no ID symbol
    QVERIFY(!grid->isEditing());
    Type("7");
    VerifyOver(grid, grid->textEditor());
    QCOMPARE(grid->textEditor()->objectName(), QStringLiteral("Txt5T"));
    QCOMPARE(grid->textEditor()->text(), QStringLiteral("7"));
    Key(Qt::Key_Return);
    QCOMPARE(Row(window, 1), QStringList({"CCIR1", "7AAAA"}));
    QCOMPARE(grid->currentCell(), (CellPos{2, 1}));
    GoTo(grid, 2, 2);
    Type("b");  // lower case turned to upper case
    Type("cex9d1");
    QCOMPARE(grid->textEditor()->text(), QStringLiteral("BC9D1"));
    Key(Qt::Key_Return);
    m_main->SaveAll();
    QCOMPARE(At(Memory(), FiveToneEntry(0), 12), FromHex("00 07 0A 0A 0A 0A 00 0B 0C 09 0D 01"));
  }

  void fiveToneChoosingAStandardBringsAnId() {
    Start(AllEmpty());
    Frm5Tone* window = Open5Tone();
    SignallingGrid* grid = window->grid();
    GoTo(grid, 3, 1);
    Key(Qt::Key_Return);
    VerifyOver(grid, grid->listEditor());
    QCOMPARE(grid->listEditor()->objectName(), QStringLiteral("Cbo5T"));
    QCOMPARE(grid->listEditor()->count(), 8);
    QCOMPARE(grid->listEditor()->currentText(), QStringLiteral("CCIR1"));
    for (int i = 0; i < 4; ++i) Key(Qt::Key_Down);
    QCOMPARE(grid->listEditor()->currentText(), QStringLiteral("EIA"));
    QCOMPARE(Row(window, 3), QStringList({"", ""}));  // not before the commit
    Key(Qt::Key_Return);
    QVERIFY(!grid->isEditing());
    QCOMPARE(Row(window, 3), QStringList({"EIA", "12345"}));
    QCOMPARE(grid->currentCell(), (CellPos{3, 2}));
    // The list of a filled cell starts on its name; Escape keeps it.
    ClickCell(grid, 3, 1);
    VerifyOver(grid, grid->listEditor());
    QCOMPARE(grid->listEditor()->currentText(), QStringLiteral("EIA"));
    Key(Qt::Key_Down);
    Key(Qt::Key_Escape);
    QVERIFY(!grid->isEditing());
    QVERIFY(grid->hasFocus());
    QCOMPARE(Row(window, 3), QStringList({"EIA", "12345"}));
  }

  void fiveToneBackspaceInTheListEmptiesTheRow() {
    Image image = AllEmpty();
    Put(image, FiveToneEntry(0), FromHex("06 01 02 03 04 05"));
    Start(image);
    Frm5Tone* window = Open5Tone();
    SignallingGrid* grid = window->grid();
    GoTo(grid, 1, 1);
    Key(Qt::Key_Return);
    VerifyOver(grid, grid->listEditor());
    QCOMPARE(grid->listEditor()->currentText(), QStringLiteral("ZVEI1"));
    Key(Qt::Key_Backspace);
    QVERIFY(!grid->isEditing());
    QVERIFY(!grid->listEditor()->isVisible());
    QVERIFY(grid->hasFocus());
    QCOMPARE(Row(window, 1), QStringList({"", ""}));
    QCOMPARE(grid->currentCell(), (CellPos{1, 1}));
    m_main->SaveAll();
    QCOMPARE(At(Memory(), FiveToneEntry(0), 6), FromHex("FF FF 02 03 04 05"));
    m_main->RefreshAll();
    QCOMPARE(Row(window, 1), QStringList({"", ""}));
  }

  void fiveToneEscapeInTheIdEditorRestoresItsText() {
    Image image = AllEmpty();
    Put(image, FiveToneEntry(1), FromHex("01 01 02 03 04 05"));
    Start(image);
    Frm5Tone* window = Open5Tone();
    SignallingGrid* grid = window->grid();
    GoTo(grid, 2, 2);
    Type("9");
    QCOMPARE(grid->textEditor()->text(), QStringLiteral("9"));
    Key(Qt::Key_Escape);
    VerifyOver(grid, grid->textEditor());  // stays open
    QCOMPARE(grid->textEditor()->text(), QStringLiteral("12345"));
    Key(Qt::Key_Return);
    QCOMPARE(Row(window, 2), QStringList({"CCIR2", "12345"}));
    QCOMPARE(grid->currentCell(), (CellPos{3, 1}));
    // Emptying the ID empties the standard.
    ClickCell(grid, 2, 2);
    QVERIFY(grid->textEditor()->hasSelectedText());
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    QCOMPARE(Row(window, 2), QStringList({"", ""}));
  }

  void fiveToneReferenceTable() {
    Start(AllEmpty());
    Frm5Tone* window = Open5Tone();
    QComboBox* standards = window->list(0);
    QCOMPARE(standards->count(), 8);
    QCOMPARE(standards->currentText(), QStringLiteral("CCIR1"));
    QCOMPARE(window->toneField(0)->text(), QStringLiteral("1981.0"));
    QCOMPARE(window->findChild<QLabel*>("lblTone15")->text(), QStringLiteral("F"));
    for (std::size_t symbol = 0; symbol < kToneSymbolCount; ++symbol) {
      QVERIFY(!window->toneField(symbol)->isEnabled());
      auto* spin = window->findChild<QScrollBar*>(QStringLiteral("updTone%1").arg(symbol));
      QVERIFY(spin != nullptr);
      QVERIFY(!spin->isEnabled());
      QCOMPARE(spin->focusPolicy(), Qt::NoFocus);
    }
    standards->setFocus();
    for (int i = 0; i < 6; ++i) Key(Qt::Key_Down);
    QCOMPARE(standards->currentText(), QStringLiteral("ZVEI1"));
    const auto zvei1 = ToneStandardFrequencyTexts(6);
    for (std::size_t symbol = 0; symbol < kToneSymbolCount; ++symbol)
      QCOMPARE(window->toneField(symbol)->text(), Q(zvei1[symbol]));
    // Window state only: a refresh keeps it and nothing is stored.
    m_main->RefreshAll();
    QCOMPARE(standards->currentText(), QStringLiteral("ZVEI1"));
    QCOMPARE(window->toneField(10)->text(), QStringLiteral("2800.0"));
    m_main->SaveAll();
    Image expected = AllEmpty();
    expected[0x1D91] = 1;
    expected[0x1D92] = 0;
    QCOMPARE(Memory(), expected);
  }

  void fiveToneSettingsAreBufferedAndEnterMovesOn() {
    Image image = AllEmpty();
    image[0x1D91] = 0;
    image[0x1D92] = 2;
    Start(image);
    Frm5Tone* window = Open5Tone();
    QCOMPARE(window->list(1)->currentText(), QStringLiteral("5s"));
    QCOMPARE(window->list(2)->currentText(), QStringLiteral("2"));
    window->list(1)->setFocus();
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    QCOMPARE(window->list(1)->currentText(), QStringLiteral("20s"));
    Key(Qt::Key_Return);
    QVERIFY(window->list(2)->hasFocus());
    Key(Qt::Key_Up);
    QCOMPARE(At(Memory(), 0x1D91, 2), FromHex("03 01"));  // stored as chosen
    m_main->SaveAll();
    QCOMPARE(At(Memory(), 0x1D91, 2), FromHex("03 01"));
    QCOMPARE(Memory()[0x1D90], std::uint8_t(0xFF));
  }

  // ---- MSK --------------------------------------------------------------------

  void mskBlankMemory() {
    Start(AllEmpty());
    FrmMsk* window = OpenMsk();
    SignallingGrid* call = window->grid(MskGrid::CallList);
    SignallingGrid* ids = window->grid(MskGrid::IdCode);
    QCOMPARE(call->objectName(), QStringLiteral("GridMSK0"));
    QCOMPARE(ids->textEditor()->objectName(), QStringLiteral("TxtMSK1"));
    QCOMPARE(call->model()->rowCount(), 8);
    QCOMPARE(ids->model()->rowCount(), 10);
    QCOMPARE(Heading(call, 1), QStringLiteral("Call List"));
    QCOMPARE(Heading(ids, 1), QStringLiteral("ID"));
    QCOMPARE(ids->gridModel()->cornerText(), QStringLiteral("No."));
    QCOMPARE(window->frame(MskGrid::CallList)->title(), QStringLiteral("Call List"));
    QCOMPARE(window->frame(MskGrid::IdCode)->title(), QStringLiteral("ID Code"));
    QCOMPARE(window->invertBox()->text(), QStringLiteral("Repeater MSK Invert"));
    QCOMPARE(window->invertBox()->objectName(), QStringLiteral("ChkMsk"));
    QVERIFY(window->invertBox()->isChecked());  // bit 0 of 0xFF
    for (int row = 1; row <= 8; ++row) QCOMPARE(Code(window, MskGrid::CallList, row), QString());
    for (int row = 1; row <= 10; ++row) QCOMPARE(Code(window, MskGrid::IdCode, row), QString());
    // Label column a quarter of the width.
    const int total = ids->verticalHeader()->width() + ids->columnWidth(0);
    QVERIFY(qAbs(ids->verticalHeader()->width() * 4 - total) <= 4);
    m_main->SaveAll();
    QCOMPARE(Memory(), AllEmpty());
  }

  void mskLoads_data() {
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("four digits") << "01 02 03 04"
                                 << "1234"
                                 << "01 02 03 04";
    QTest::newRow("digit after a gap") << "FF 05 FF FF"
                                       << "5"
                                       << "05 FF FF FF";
    QTest::newRow("gaps skipped") << "0A FF 0B FF"
                                  << "AB"
                                  << "0A 0B FF FF";
    QTest::newRow("zero digits") << "00 00 0F FF"
                                 << "00F"
                                 << "00 00 0F FF";
  }
  void mskLoads() {
    QFETCH(QString, bytes);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    Image image = AllEmpty();
    Put(image, MskCallEntry(7), FromHex(bytes));
    Put(image, MskIdEntry(9), FromHex(bytes));
    Start(image);
    FrmMsk* window = OpenMsk();
    QCOMPARE(Code(window, MskGrid::CallList, 8), shown);
    QCOMPARE(Code(window, MskGrid::IdCode, 10), shown);
    m_main->SaveAll();
    QCOMPARE(At(Memory(), MskCallEntry(7), 4), FromHex(stored));
    QCOMPARE(At(Memory(), MskIdEntry(9), 4), FromHex(stored));
  }

  void mskTypedCodes() {
    Start(AllEmpty());
    FrmMsk* window = OpenMsk();
    SignallingGrid* grid = window->grid(MskGrid::IdCode);
    GoTo(grid, 1, 1);
    Type("g");
    QVERIFY(!grid->isEditing());
    Type("7");
    VerifyOver(grid, grid->textEditor());
    QVERIFY(!grid->textEditor()->hasSelectedText());
    Type("a");
    QCOMPARE(grid->textEditor()->text(), QStringLiteral("7A"));
    Key(Qt::Key_Return);
    QCOMPARE(Code(window, MskGrid::IdCode, 1), QStringLiteral("7A"));
    QCOMPARE(grid->currentCell(), (CellPos{2, 1}));
    Type("1g2.345");
    QCOMPARE(grid->textEditor()->text(), QStringLiteral("1234"));
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);  // the grid moves one row down
    QCOMPARE(grid->currentCell(), (CellPos{4, 1}));
    QCOMPARE(At(Memory(), MskIdEntry(0), 8), FromHex("07 0A FF FF 01 02 03 04"));  // stored at each commit
    m_main->SaveAll();
    QCOMPARE(At(Memory(), MskIdEntry(0), 8), FromHex("07 0A FF FF 01 02 03 04"));
  }

  void mskEscapeAndTheLastRow() {
    Image image = AllEmpty();
    Put(image, MskCallEntry(7), FromHex("0B 0E 0E 0F"));
    Start(image);
    FrmMsk* window = OpenMsk();
    SignallingGrid* grid = window->grid(MskGrid::CallList);
    ClickCell(grid, 8, 1);
    VerifyOver(grid, grid->textEditor());
    QCOMPARE(grid->textEditor()->selectedText(), QStringLiteral("BEEF"));
    QCOMPARE(grid->textEditor()->maxLength(), 4);
    Type("12");
    Key(Qt::Key_Escape);
    QVERIFY(!grid->isEditing());
    QVERIFY(grid->hasFocus());
    QCOMPARE(Code(window, MskGrid::CallList, 8), QStringLiteral("BEEF"));
    Key(Qt::Key_Return);
    QCOMPARE(grid->currentCell(), (CellPos{8, 1}));
    Type("C");
    Key(Qt::Key_Return);
    QCOMPARE(grid->currentCell(), (CellPos{8, 1}));
    QCOMPARE(Code(window, MskGrid::CallList, 8), QStringLiteral("C"));
  }

  void mskInvertChangesOnlyItsBit_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("on to off") << 0xA5 << 0xA4;
    QTest::newRow("off to on") << 0x5A << 0x5B;
  }
  void mskInvertChangesOnlyItsBit() {
    QFETCH(int, before);
    QFETCH(int, after);
    Image image = AllEmpty();
    image[kMskOptions] = std::uint8_t(before);
    Start(image);
    FrmMsk* window = OpenMsk();
    QCOMPARE(window->invertBox()->isChecked(), (before & 1) != 0);
    window->invertBox()->setFocus();
    Key(Qt::Key_Space);
    QCOMPARE(window->invertBox()->isChecked(), (after & 1) != 0);
    QCOMPARE(Memory()[kMskOptions], std::uint8_t(after));  // stored at once
    Key(Qt::Key_Return);                                   // Enter moves on from the check box
    QVERIFY(!window->invertBox()->hasFocus());
    m_main->SaveAll();
    Image expected = image;
    expected[kMskOptions] = std::uint8_t(after);
    QCOMPARE(Memory(), expected);
  }
};

ORVEX_UI_TEST_MAIN(SignallingWindowsTest)
#include "signalling_windows_qtest.moc"
