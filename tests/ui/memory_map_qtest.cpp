// The memory map editor: hex cells on a working copy, the byte editor, the
// address box, OK and Cancel.
#include <QLabel>
#include <QScrollBar>

#include "ui/memorymap/frm_memory_map.h"
#include "ui_test_support.h"

using namespace orvex;

namespace {
QString Cell(const FrmMemoryMap& map, int line, int column) {
  return map.model()->index(line, column).data().toString();
}
}  // namespace

class MemoryMapTest : public QObject {
  Q_OBJECT

 private:
  RadioMemory m_memory;
  std::unique_ptr<FrmMemoryMap> m_map;

  FrmMemoryMap& Open() {
    m_map = std::make_unique<FrmMemoryMap>(m_memory);
    m_map->show();
    if (!QTest::qWaitForWindowExposed(m_map.get())) qWarning("memory map not exposed");
    m_map->activateWindow();
    return *m_map;
  }
  void Select(int line, int column) { m_map->grid()->setCurrentIndex(m_map->model()->index(line, column)); }

 private slots:
  void init() { InitMemory(m_memory); }
  void cleanup() { m_map.reset(); }

  void cellTextsRoundTripEveryByte() {
    for (int value = 0; value < 256; ++value) {
      const QString text = CellText(std::uint8_t(value));
      QCOMPARE(text.size(), 2);
      QCOMPARE(text, text.toUpper());
      QCOMPARE(int(CellByte(text)), value);
    }
  }

  void normalizeCell_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cell");
    QTest::newRow("empty") << ""
                           << "FF";
    QTest::newRow("one digit") << "A"
                               << "0A";
    QTest::newRow("lower case") << "c"
                                << "0C";
    QTest::newRow("two digits") << "7E"
                                << "7E";
  }
  void normalizeCell() {
    QFETCH(QString, typed);
    QFETCH(QString, cell);
    QCOMPARE(NormalizeCell(typed), cell);
  }

  void normalizeAddress_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("short") << "2F4"
                           << "02F4";
    QTest::newRow("empty") << ""
                           << "0000";
    QTest::newRow("last") << "1FFF"
                          << "1FFF";
    QTest::newRow("above") << "2000"
                           << "1FFF";
    QTest::newRow("far above") << "FFFF"
                               << "1FFF";
  }
  void normalizeAddress() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QCOMPARE(NormalizeAddress(typed), shown);
  }

  void layoutOfTheGrid() {
    m_memory[0x0812] = 0xAB;
    FrmMemoryMap& map = Open();
    QCOMPARE(map.windowTitle(), QStringLiteral("Memory Map"));
    QCOMPARE(map.model()->rowCount(), 512);
    QCOMPARE(map.model()->columnCount(), 16);
    QCOMPARE(map.model()->headerData(0x081, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("081"));
    QCOMPARE(map.model()->headerData(0x1FF, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("1FF"));
    QCOMPARE(map.model()->headerData(15, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("F"));
    QCOMPARE(Cell(map, 0x081, 2), QStringLiteral("AB"));
    QCOMPARE(map.grid()->currentIndex(), map.model()->index(0, 0));
    QCOMPARE(map.addressBox()->text(), QStringLiteral("0000"));
  }

  void blankImageShowsFFAndMovingShowsAddressAndValue_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("address");
    QTest::newRow("first") << 0 << 1 << "0001";
    QTest::newRow("channel 8") << 0x008 << 0xA << "008A";
    QTest::newRow("last") << 0x1FF << 0xF << "1FFF";
  }
  void blankImageShowsFFAndMovingShowsAddressAndValue() {
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, address);
    m_memory.image().fill(kEmpty);
    FrmMemoryMap& map = Open();
    for (int l = 0; l < 512; ++l) {
      for (int c = 0; c < 16; ++c) QCOMPARE(Cell(map, l, c), QStringLiteral("FF"));
    }
    Select(line, column);
    QCOMPARE(map.addressBox()->text(), address);
    QCOMPARE(map.valueBox()->text(), QStringLiteral("255"));
  }

  void typedDigitAndEnterStoresInTheCellOnly() {
    FrmMemoryMap& map = Open();
    Select(0x001, 3);
    QTest::keyClick(map.grid(), Qt::Key_7);
    QVERIFY(map.grid()->editor() != nullptr);
    QCOMPARE(map.grid()->editor()->text(), QStringLiteral("7"));
    QTest::keyClick(map.grid()->editor(), Qt::Key_Return);
    QVERIFY(map.grid()->editor() == nullptr);
    QCOMPARE(Cell(map, 0x001, 3), QStringLiteral("07"));
    QCOMPARE(map.grid()->currentIndex(), map.model()->index(0x001, 4));
    QCOMPARE(m_memory.at(1, 3), kEmpty);
  }

  void editorAcceptsOnlyHexDigits() {
    FrmMemoryMap& map = Open();
    Select(0x002, 0);
    QTest::keyClick(map.grid(), Qt::Key_A);
    QLineEdit* editor = map.grid()->editor();
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, "g-b9");  // g and - dropped, 9 too long
    QCOMPARE(editor->text(), QStringLiteral("AB"));
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Left);  // the cursor moves before the A
    QTest::keyClick(editor, Qt::Key_C);
    QCOMPARE(editor->text(), QStringLiteral("CA"));
    QTest::keyClick(editor, Qt::Key_Enter);
    QCOMPARE(Cell(map, 0x002, 0), QStringLiteral("CA"));
  }

  void enterOnTheGridOpensWithTheTextSelected() {
    FrmMemoryMap& map = Open();
    Select(0x003, 5);
    QTest::keyClick(map.grid(), Qt::Key_Return);
    QLineEdit* editor = map.grid()->editor();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->selectedText(), QStringLiteral("FF"));
    QTest::keyClick(editor, Qt::Key_3);  // replaces the selection
    QCOMPARE(editor->text(), QStringLiteral("3"));
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(Cell(map, 0x003, 5), QStringLiteral("FF"));  // empty becomes FF
  }

  void escapeRestoresTheCell() {
    FrmMemoryMap& map = Open();
    Select(0x004, 0);
    QTest::keyClick(map.grid(), Qt::Key_1);
    QTest::keyClick(map.grid()->editor(), Qt::Key_Escape);
    QVERIFY(map.grid()->editor() == nullptr);
    QCOMPARE(Cell(map, 0x004, 0), QStringLiteral("FF"));
    QCOMPARE(map.grid()->currentIndex(), map.model()->index(0x004, 0));
  }

  void enterInColumnFMovesToTheNextLine_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("nextLine");
    QTest::newRow("000") << 0x000 << 0x001;
    QTest::newRow("07E") << 0x07E << 0x07F;
    QTest::newRow("07F") << 0x07F << 0x080;
    QTest::newRow("100") << 0x100 << 0x101;
    QTest::newRow("1FE") << 0x1FE << 0x1FF;
  }
  void enterInColumnFMovesToTheNextLine() {
    QFETCH(int, line);
    QFETCH(int, nextLine);
    FrmMemoryMap& map = Open();
    Select(line, 0xF);
    QTest::keyClick(map.grid(), Qt::Key_Return);
    QTest::keyClick(map.grid()->editor(), Qt::Key_Return);
    QCOMPARE(map.grid()->currentIndex(), map.model()->index(nextLine, 0));
  }

  void enterInTheLastCellStays() {
    FrmMemoryMap& map = Open();
    Select(0x1FF, 0xF);
    QTest::keyClick(map.grid(), Qt::Key_5);
    QTest::keyClick(map.grid()->editor(), Qt::Key_Return);
    QCOMPARE(map.grid()->currentIndex(), map.model()->index(0x1FF, 0xF));
    QCOMPARE(Cell(map, 0x1FF, 0xF), QStringLiteral("05"));
  }

  void leftClickOpensTheEditor() {
    FrmMemoryMap& map = Open();
    const QModelIndex index = map.model()->index(0x005, 2);
    QTest::mouseClick(map.grid()->viewport(), Qt::LeftButton, {}, map.grid()->visualRect(index).center());
    QVERIFY(map.grid()->editor() != nullptr);
    QCOMPARE(map.grid()->currentIndex(), index);
  }

  void scrollingCancelsAnEdit() {
    FrmMemoryMap& map = Open();
    Select(0x000, 0);
    QTest::keyClick(map.grid(), Qt::Key_9);
    QVERIFY(map.grid()->editor() != nullptr);
    map.grid()->verticalScrollBar()->setValue(40);
    QVERIFY(map.grid()->editor() == nullptr);
    QCOMPARE(Cell(map, 0, 0), QStringLiteral("FF"));
  }

  void addressBoxJumpsAndOpensTheEditor_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::newRow("2F4") << "2F4"
                         << "02F4" << 0x02F << 4;
    QTest::newRow("ffff") << "ffff"
                          << "1FFF" << 0x1FF << 0xF;
    QTest::newRow("1234") << "1234"
                          << "1234" << 0x123 << 4;
  }
  void addressBoxJumpsAndOpensTheEditor() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, line);
    QFETCH(int, column);
    m_memory[0x1234] = 0x3C;
    FrmMemoryMap& map = Open();
    map.addressBox()->setFocus();
    map.addressBox()->Remember(map.addressBox()->text());
    map.addressBox()->clear();
    QTest::keyClicks(map.addressBox(), typed);
    QTest::keyClick(map.addressBox(), Qt::Key_Return);
    QCOMPARE(map.addressBox()->text(), shown);
    const QModelIndex index = map.model()->index(line, column);
    QCOMPARE(map.grid()->currentIndex(), index);
    QVERIFY(map.grid()->editor() != nullptr);
    QCOMPARE(map.valueBox()->text(), index.data().toString());
    if (line < 512 - 16) QCOMPARE(map.grid()->rowAt(0), line);  // the line is at the top
  }

  void addressBoxEscapeRestores() {
    FrmMemoryMap& map = Open();
    map.addressBox()->setFocus();
    map.addressBox()->Remember(QStringLiteral("0000"));
    QTest::keyClicks(map.addressBox(), "12x");
    QTest::keyClick(map.addressBox(), Qt::Key_Escape);
    QCOMPARE(map.addressBox()->text(), QStringLiteral("0000"));
  }

  void cancelLeavesMemoryUnchanged() {
    const Image before = m_memory.image();
    FrmMemoryMap& map = Open();
    map.model()->setData(map.model()->index(0x0E2, 0), "00", Qt::EditRole);
    map.reject();
    QCOMPARE(m_memory.image(), before);
  }

  void okWritesEveryByteIncludingAnOpenEdit() {
    Image expected = m_memory.image();
    FrmMemoryMap& map = Open();
    map.model()->setData(map.model()->index(0x000, 0), "12", Qt::EditRole);
    Select(0x1FF, 0xE);
    QTest::keyClick(map.grid(), Qt::Key_B);
    map.accept();
    expected[0x0000] = 0x12;
    expected[0x1FFE] = 0x0B;
    QCOMPARE(m_memory.image(), expected);
    QVERIFY(m_memory.IsModified());
  }
};

ORVEX_UI_TEST_MAIN(MemoryMapTest)
#include "memory_map_qtest.moc"
