// One suite over every grid and every filtered field: keys are sent as a
// keyboard sends them (the modifier pressed first, the key with the
// modifier, both released), pastes come from the clipboard, and what a cell
// or field ends up holding is checked.  A fault in one grid shows in all.
#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <memory>

#include "core/preferences.h"
#include "model/channel_test_util.h"
#include "ui/channel/channel_grid.h"
#include "ui/channel/frm_channel.h"
#include "ui/main/mdi_form1.h"
#include "ui/memorymap/frm_memory_map.h"
#include "ui/scrambler/frm_scr.h"
#include "ui/settings/frm_setting.h"
#include "ui/signalling/frm_2tone.h"
#include "ui/signalling/frm_5tone.h"
#include "ui/signalling/frm_msk.h"
#include "ui/signalling/signalling_grid.h"
#include "ui_test_support.h"

using namespace orvex;

namespace {

QWidget* Focus() { return QApplication::focusWidget(); }

// A modifier key pressed or released on its own, as the keyboard sends it.
void Modifier(QTest::KeyAction action, Qt::Key key, Qt::KeyboardModifiers held) {
  QTest::sendKeyEvent(action, Focus(), key, QString(), held);
}

const std::pair<Qt::KeyboardModifier, Qt::Key> kModifierKeys[] = {
    {Qt::ShiftModifier, Qt::Key_Shift}, {Qt::ControlModifier, Qt::Key_Control}, {Qt::AltModifier, Qt::Key_Alt}};

// One key with its modifiers: each modifier pressed, the key pressed and
// released with them, the modifiers released.  Every event goes where the
// focus is at that moment.
void Stroke(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = {}) {
  Qt::KeyboardModifiers held;
  for (const auto& [flag, modifierKey] : kModifierKeys) {
    if (!modifiers.testFlag(flag)) continue;
    Modifier(QTest::Press, modifierKey, held);
    held |= flag;
  }
  QTest::sendKeyEvent(QTest::Press, Focus(), key, text, modifiers);
  QTest::sendKeyEvent(QTest::Release, Focus(), key, text, modifiers);
  for (const auto& [flag, modifierKey] : kModifierKeys) {
    if (!held.testFlag(flag)) continue;
    held &= ~flag;
    Modifier(QTest::Release, modifierKey, held | flag);
  }
}

// Text typed on a US keyboard: capitals and the upper signs need Shift.
void Type(const QString& text) {
  static const QString kShifted = QStringLiteral("~!@#$%^&*()_+{}|:\"<>?");
  for (const QChar c : text) {
    const bool shift = c.isUpper() || kShifted.contains(c);
    const auto key = static_cast<Qt::Key>(QKeySequence(QString(c.toUpper()))[0].key());
    Stroke(key, QString(c), shift ? Qt::ShiftModifier : Qt::NoModifier);
  }
}

void Enter() { Stroke(Qt::Key_Return, QStringLiteral("\r")); }

// The in-cell editor open with the focus, if any.
QLineEdit* OpenEditor(const QAbstractItemView* grid) {
  auto* editor = qobject_cast<QLineEdit*>(Focus());
  return editor != nullptr && editor->isVisible() && grid->isAncestorOf(editor) ? editor : nullptr;
}

}  // namespace

class CellEditingTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  std::unique_ptr<FrmMemoryMap> m_map;

  void Start() {
    Image image = test::Blank();
    test::PutChannel(image, 1, test::RawChannel{});
    StartMain({.windows = RegisteredEditingWindows(), .image = image, .size = {1400, 900}});
  }

  template <class Window>
  Window* Open(const char* command, WindowBit bit) {
    m_main->Dispatch(QString::fromLatin1(command));
    QCoreApplication::processEvents();
    return qobject_cast<Window*>(m_main->editingWindow(bit));
  }

  // The grid named by a test row, focused on the cell the row edits: the
  // channel name, a Call List tone, a 5-Tone ID, an MSK code, a memory byte.
  QAbstractItemView* Grid(const QString& name) {
    if (name == "memory map") {
      m_map = std::make_unique<FrmMemoryMap>(m_main->memory());
      m_map->show();
      if (!QTest::qWaitForWindowActive(m_map.get())) return nullptr;
      m_map->grid()->setFocus();
      m_map->grid()->setCurrentIndex(m_map->model()->index(2, 3));
      return m_map->grid();
    }
    QAbstractItemView* grid = nullptr;
    QModelIndex cell;
    if (name == "channel") {
      auto* window = Open<FrmChannel>("miChannel", kWinChannel);
      grid = window->grid();
      cell = grid->model()->index(1, kColName);
    } else {
      SignallingGrid* signalling = nullptr;
      if (name == "2-Tone") signalling = Open<Frm2Tone>("mi2Tone", kWin2Tone)->grid(TwoToneGrid::CallList);
      if (name == "5-Tone") signalling = Open<Frm5Tone>("mi5Tone", kWin5Tone)->grid();
      if (name == "MSK") signalling = Open<FrmMsk>("miMSK", kWinMsk)->grid(MskGrid::IdCode);
      grid = signalling;
      if (grid != nullptr) cell = signalling->gridModel()->ToIndex({2, name == "5-Tone" ? 2 : 1});
    }
    if (grid == nullptr) return nullptr;
    grid->setFocus();
    grid->setCurrentIndex(cell);
    return grid;
  }

  // A filtered field, entered as a user enters it: a grid's in-cell editor
  // opened by its first key, any other field by a click into it.
  QLineEdit* Field(const QString& name, const QString& first) {
    if (!first.isEmpty()) {
      QAbstractItemView* grid = Grid(name);
      if (grid == nullptr) return nullptr;
      Type(first);
      return OpenEditor(grid);
    }
    QWidget* window = nullptr;
    if (name == "TxtAddr") {
      m_map = std::make_unique<FrmMemoryMap>(m_main->memory());
      m_map->show();
      if (!QTest::qWaitForWindowActive(m_map.get())) return nullptr;
      window = m_map.get();
    } else {
      if (name.startsWith("TxtFreq"))
        window = Open<FrmScr>("miScr", kWinScrambler);
      else
        window = Open<FrmSetting>("miCommonSet", kWinSetting);
    }
    auto* field = window != nullptr ? window->findChild<QLineEdit*>(name) : nullptr;
    if (field == nullptr) return nullptr;
    QTest::mouseClick(field, Qt::LeftButton, {}, field->rect().center());
    return field;
  }

  // What the edited cell shows once committed.
  static QString CellShown(const QPersistentModelIndex& cell) {
    return cell.data(Qt::DisplayRole).toString().trimmed();
  }

  // Each grid with a first key that opens its editor on the test cell.
  static void GridRows() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("first");
    for (const auto& [grid, first] : {std::pair{"channel", "r"}, std::pair{"2-Tone", "1"}, std::pair{"5-Tone", "a"},
                                      std::pair{"MSK", "a"}, std::pair{"memory map", "a"}})
      QTest::addRow("%s", grid) << QString::fromLatin1(grid) << QString::fromLatin1(first);
  }

 private slots:
  void init() {
    WriteLanguagePreference(0);
    Start();
  }
  void cleanup() {
    m_map.reset();
    StopMain();
  }

  void typedWithShiftIsStored_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("channel name") << "channel"
                                  << "rpt+2?"
                                  << "RPT+2?";
    QTest::newRow("2-Tone tone") << "2-Tone"
                                 << "12!34"
                                 << "1234.0";
    QTest::newRow("5-Tone ID") << "5-Tone"
                               << "aBc"
                               << "ABCAA";
    QTest::newRow("MSK code") << "MSK"
                              << "aBc"
                              << "ABC";
    QTest::newRow("memory byte") << "memory map"
                                 << "aF"
                                 << "AF";
  }
  void typedWithShiftIsStored() {
    QFETCH(QString, grid);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QAbstractItemView* view = Grid(grid);
    QVERIFY(view != nullptr);
    const QPersistentModelIndex cell = view->currentIndex();
    Type(typed);
    QVERIFY(OpenEditor(view) != nullptr);
    Enter();
    QVERIFY(OpenEditor(view) == nullptr);
    QCOMPARE(CellShown(cell), stored);
  }

  void modifierKeysAloneLeaveTheEditorOpen_data() { GridRows(); }
  void modifierKeysAloneLeaveTheEditorOpen() {
    QFETCH(QString, grid);
    QFETCH(QString, first);
    QAbstractItemView* view = Grid(grid);
    QVERIFY(view != nullptr);
    Type(first);
    QLineEdit* editor = OpenEditor(view);
    QVERIFY(editor != nullptr);
    const QString text = editor->text();
    for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_AltGr, Qt::Key_Meta,
                              Qt::Key_CapsLock, Qt::Key_NumLock}) {
      const QString name = QKeySequence(key).toString();
      Modifier(QTest::Press, key, {});
      Modifier(QTest::Release, key, {});
      QVERIFY2(editor->isVisible(), qPrintable(name));
      QCOMPARE(editor->text(), text);
      // Alt alone may hand the keyboard to the menu bar, as on any desktop;
      // Escape hands it back to the editor, still open.
      if (Focus() != editor && key == Qt::Key_Alt) Stroke(Qt::Key_Escape, QString());
      QVERIFY2(OpenEditor(view) == editor, qPrintable(name));
    }
  }

  void pasteIsFiltered_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("shiftInsert");
    struct Row {
      const char *grid, *first, *pasted, *shown;
    };
    // Refused characters go first, then the length limit.
    const Row rows[] = {{"channel", "r", "p-t!2x?", "RPT2X?"},
                        {"2-Tone", "1", "2a3.5 Hz", "123.5"},
                        {"5-Tone", "a", "b;e1", "AB1"},
                        {"MSK", "a", "b-c;9z", "ABC9"},
                        {"memory map", "a", "g-1", "A1"}};
    for (const Row& row : rows) {
      for (const bool shiftInsert : {false, true}) {
        QTest::addRow("%s %s", row.grid, shiftInsert ? "Shift+Insert" : "Ctrl+V")
            << row.grid << row.first << row.pasted << row.shown << shiftInsert;
      }
    }
  }
  void pasteIsFiltered() {
    QFETCH(QString, grid);
    QFETCH(QString, first);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    QFETCH(bool, shiftInsert);
    QAbstractItemView* view = Grid(grid);
    QVERIFY(view != nullptr);
    Type(first);
    QVERIFY(OpenEditor(view) != nullptr);
    QGuiApplication::clipboard()->setText(pasted);
    if (shiftInsert)
      Stroke(Qt::Key_Insert, QString(), Qt::ShiftModifier);
    else
      Stroke(Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
    QLineEdit* editor = OpenEditor(view);
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->text(), shown);
  }

  void replacedValueIsNamedInTheStatusBar_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("channel Rx") << "channel" << int(kColRx) << "600"
                                << "Channel 1: 600 MHz is outside the radio's bands; stored 400.02500";
    QTest::newRow("channel Tx") << "channel" << int(kColTx) << "145.0031"
                                << "Channel 1: 145.0031 MHz is not on the channel raster; stored 145.00000";
    QTest::newRow("2-Tone tone") << "2-Tone" << 0 << "5000"
                                 << "Call List 1: 5000 Hz is outside 288.5..3000 Hz; stored 3000.0";
    QTest::newRow("kept as typed") << "channel" << int(kColRx) << "145.5"
                                   << "";
  }
  void replacedValueIsNamedInTheStatusBar() {
    QFETCH(QString, grid);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QAbstractItemView* view = Grid(grid);
    QVERIFY(view != nullptr);
    if (grid == "channel") view->setCurrentIndex(view->model()->index(1, column));
    Type(typed);
    Enter();
    QCOMPARE(m_main->statusStrip()->currentMessage(), message);
  }

  // Tab walks a grid's cells and leaves the grid after the last one
  // (Shift+Tab before the first), from the grid or from an open editor; the
  // memory map's Tab leaves at once.
  void tabLeavesEveryGrid_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<bool>("back");
    QTest::addColumn<QString>("editorKey");  // opens the last cell's editor before the Tab that leaves
    QTest::addColumn<QString>("reached");    // the control reached, where the row names one
    const std::pair<const char*, const char*> grids[] = {{"mi2Tone", "Grid2Tone0"}, {"mi2Tone", "Grid2Tone1"},
                                                         {"mi5Tone", "Grid5Tone"},  {"miMSK", "GridMSK0"},
                                                         {"miMSK", "GridMSK1"},     {"", "msgMemory"}};
    for (const auto& [command, grid] : grids)
      for (const bool back : {false, true})
        QTest::addRow("%s %s", grid, back ? "Shift+Tab" : "Tab") << command << grid << back << ""
                                                                 << "";
    QTest::newRow("Grid5Tone editor Tab") << "mi5Tone"
                                          << "Grid5Tone" << false << "a"
                                          << "Cbo5Tone1";
  }
  void tabLeavesEveryGrid() {
    QFETCH(QString, command);
    QFETCH(QString, grid);
    QFETCH(bool, back);
    QFETCH(QString, editorKey);
    QFETCH(QString, reached);
    QAbstractItemView* view = nullptr;
    if (command.isEmpty()) {
      view = Grid("memory map");
    } else {
      m_main->Dispatch(command);
      QCoreApplication::processEvents();
      view = m_main->findChild<QAbstractItemView*>(grid);
    }
    QVERIFY(view != nullptr);
    const QAbstractItemModel* model = view->model();
    const int columns = model->columnCount();
    const int end = back ? 0 : model->rowCount() * columns - 1;
    const auto cell = [&](int n) { return model->index(n / columns, n % columns); };
    const auto tab = [back] {
      if (back)
        Stroke(Qt::Key_Backtab, QString(), Qt::ShiftModifier);
      else
        Stroke(Qt::Key_Tab, QStringLiteral("\t"));
    };
    view->setFocus();
    if (view->tabKeyNavigation()) {
      view->setCurrentIndex(cell(back ? 1 : end - 1));
      tab();
      QCOMPARE(view->currentIndex(), cell(end));
      QVERIFY(view->hasFocus());
    } else {
      view->setCurrentIndex(cell(end));
    }
    if (!editorKey.isEmpty()) {
      Type(editorKey);
      QVERIFY(OpenEditor(view) != nullptr);
    }
    tab();
    QWidget* focus = Focus();
    QVERIFY(focus != nullptr);
    QVERIFY2(focus != view && !view->isAncestorOf(focus), qPrintable(focus->objectName()));
    const auto owner = [](QWidget* w) {
      while (w->parentWidget() != nullptr && !w->isWindow() && qobject_cast<QMdiSubWindow*>(w) == nullptr)
        w = w->parentWidget();
      return w;
    };
    QCOMPARE(owner(focus), owner(view));
    if (!reached.isEmpty()) QCOMPARE(focus->objectName(), reached);
    QVERIFY(OpenEditor(view) == nullptr);
  }

  // A click into a text field of a window that is not the active one, on
  // text typed there before, selects the field's whole text as Tab would,
  // so typing replaces it.
  void aClickThatActivatesItsWindowSelectsTheField_data() {
    QTest::addColumn<QString>("field");
    for (const char* field : {"TxtSet8", "TxtSet6", "TxtSet5_0", "TxtFreq_7"}) QTest::newRow(field) << field;
  }
  void aClickThatActivatesItsWindowSelectsTheField() {
    QFETCH(QString, field);
    QLineEdit* edit = Field(field, QString());
    QVERIFY(edit != nullptr);
    Type("12");
    m_main->Dispatch("miChannel");
    QCoreApplication::processEvents();
    QVERIFY(!edit->hasFocus());
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->rect().center());
    QVERIFY(edit->hasFocus());
    QTRY_COMPARE(edit->selectedText(), edit->text());
    Type("3");
    QCOMPARE(edit->text(), QStringLiteral("3"));
  }

  // Ctrl+Z in a field whose value was stored when it was left undoes that
  // step, as Edit > Undo does, once the field has no typing of its own to
  // undo; Ctrl+Y redoes it.
  void undoKeysReachTheWindowFromAFilteredField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("scrambler frequency") << "TxtFreq_7"
                                         << "4321";
    QTest::newRow("Current") << "TxtSet6"
                             << "145.5";
    QTest::newRow("ANI code") << "TxtSet8"
                              << "1234";
    QTest::newRow("auto reset timer") << "TxtOPSet_1"
                                      << "12";
  }
  void undoKeysReachTheWindowFromAFilteredField() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QLineEdit* edit = Field(field, QString());
    QVERIFY(edit != nullptr);
    const QString before = edit->text();
    const QAction* undo = m_main->tool("miUndo");
    const QString undoBefore = undo->text();
    QTRY_COMPARE(edit->selectedText(), before);
    Type(typed);
    Stroke(Qt::Key_Tab, QStringLiteral("\t"));
    QVERIFY(undo->text() != undoBefore);
    const QString after = edit->text();
    Stroke(Qt::Key_Backtab, QString(), Qt::ShiftModifier);
    QVERIFY(edit->hasFocus());
    Stroke(Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier);
    QCOMPARE(edit->text(), before);
    QCOMPARE(undo->text(), undoBefore);
    Stroke(Qt::Key_Y, QStringLiteral("\x19"), Qt::ControlModifier);
    QCOMPARE(edit->text(), after);
  }

  void editingKeysWorkInEveryFilteredField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("first");  // opens an in-cell editor
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("edited");
    // Typed over the selection, then Home, Delete, End, Left and one more
    // character: the first is gone and the new one stands before the last.
    QTest::newRow("scrambler frequency") << "TxtFreq_7"
                                         << ""
                                         << "4321"
                                         << "9"
                                         << "3291";
    QTest::newRow("Current") << "TxtSet6"
                             << ""
                             << "145.5"
                             << "7"
                             << "45.75";
    QTest::newRow("password") << "TxtSet5_0"
                              << ""
                              << "123456"
                              << "9"
                              << "234596";
    QTest::newRow("ANI code") << "TxtSet8"
                              << ""
                              << "1234"
                              << "a"
                              << "23A4";
    QTest::newRow("memory map address") << "TxtAddr"
                                        << ""
                                        << "1f2"
                                        << "a"
                                        << "FA2";
    QTest::newRow("channel name") << "channel"
                                  << "r"
                                  << "pt2"
                                  << "x"
                                  << "PTX2";
    QTest::newRow("2-Tone tone") << "2-Tone"
                                 << "1"
                                 << "234"
                                 << "5"
                                 << "2354";
    QTest::newRow("5-Tone ID") << "5-Tone"
                               << "a"
                               << "bc"
                               << "d"
                               << "BDC";
    QTest::newRow("MSK code") << "MSK"
                              << "a"
                              << "bc"
                              << "f"
                              << "BFC";
    QTest::newRow("memory byte") << "memory map"
                                 << "a"
                                 << ""
                                 << "b"
                                 << "B";
  }
  void editingKeysWorkInEveryFilteredField() {
    QFETCH(QString, field);
    QFETCH(QString, first);
    QFETCH(QString, typed);
    QFETCH(QString, inserted);
    QFETCH(QString, edited);
    QLineEdit* edit = Field(field, first);
    QVERIFY(edit != nullptr);
    QVERIFY(edit->hasFocus());
    if (first.isEmpty()) QTRY_COMPARE(edit->selectedText(), edit->text());  // entering selects it all
    Type(typed);
    for (const Qt::Key key : {Qt::Key_Home, Qt::Key_Delete, Qt::Key_End, Qt::Key_Left}) Stroke(key, QString());
    Type(inserted);
    QCOMPARE(edit->text(), edited);
    Stroke(Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
    QCOMPARE(edit->selectedText(), edited);
    Stroke(Qt::Key_Delete, QString());
    QCOMPARE(edit->text(), QString());
    Stroke(Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier);
    QCOMPARE(edit->text(), edited);
    QVERIFY(edit->hasFocus());
  }
};

QTEST_MAIN(CellEditingTest)
#include "cell_editing_qtest.moc"
