// Undo and redo across every editing window, the title bar, Save and Save
// As, recent files and dropped files.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <functional>
#include <memory>

#include "codeplug/file_io.h"
#include "core/preferences.h"
#include "model/channel_test_util.h"
#include "program_windows.h"
#include "ui/channel/channel_grid.h"
#include "ui/channel/frm_channel.h"
#include "ui/main/mdi_form1.h"
#include "ui/memorymap/frm_memory_map.h"
#include "ui/signalling/signalling_grid.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;

class UndoTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  MDIForm1& Start() { return StartMain({.windows = test::ProgramWindows()}); }
  template <class Window = QWidget>
  Window* Child(const char* name) const {
    auto* child = m_main->findChild<Window*>(QLatin1String(name));
    if (child == nullptr) qFatal("no %s", name);
    return child;
  }
  QString WrittenFile(const QString& name, const Image& image) {
    const QString path = m_dir.filePath(name);
    if (!WriteCodeplugFile(path.toStdString(), image)) qFatal("cannot write a test file");
    return path;
  }

  // Keys go where the keyboard focus is, as they would for a user.
  static QWidget* Focus() { return QApplication::focusWidget(); }
  static void Type(const QString& text) {
    for (const QChar c : text) QTest::keyClick(Focus(), c.toLatin1());
  }
  static void Enter() { QTest::keyClick(Focus(), Qt::Key_Return); }
  // A key with Ctrl (and Shift), pressed and released as a keyboard does.
  static void Chord(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = Focus();
    if (modifiers & Qt::ControlModifier) QTest::keyPress(target, Qt::Key_Control, Qt::ControlModifier);
    if (modifiers & Qt::ShiftModifier) QTest::keyPress(target, Qt::Key_Shift, modifiers);
    QTest::keyClick(Focus(), key, modifiers);
    if (modifiers & Qt::ShiftModifier) QTest::keyRelease(Focus(), Qt::Key_Shift, modifiers & ~Qt::ShiftModifier);
    if (modifiers & Qt::ControlModifier) QTest::keyRelease(Focus(), Qt::Key_Control, Qt::NoModifier);
  }
  static void StepList(QComboBox* list) {
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
  }
  void GoToCell(SignallingGrid* grid, int row, int column) {
    grid->setFocus();
    grid->SetCurrentCell({row, column});
  }
  QString UndoText() const { return m_main->tool("miUndo")->text(); }

 private slots:
  void init() {
    WriteLanguagePreference(0);
    WriteRecentFiles({});
  }
  void cleanup() { StopMain(); }

  // An edit in every window, each one step: undone one by one the image
  // goes back through every earlier state byte for byte, the windows show
  // it, and back at the start nothing is modified; redone it comes back.
  void everyWindowsEditIsOneStep() {
    MDIForm1& main = Start();
    std::vector<Image> states{main.memory().image()};
    QStringList names;
    const auto step = [&](const std::function<void()>& edit) {
      const std::size_t steps = main.history().undoCount();
      edit();
      QVERIFY2(main.memory().image() != states.back(), qPrintable(UndoText()));
      QCOMPARE(main.history().undoCount(), steps + 1);
      states.push_back(main.memory().image());
      names << UndoText();
    };

    auto* channels = qobject_cast<FrmChannel*>(main.editingWindow(kWinChannel));
    ChannelGrid* grid = channels->grid();
    step([&] {
      grid->setFocus();
      grid->setCurrentIndex(grid->model()->index(6, kColRx));
      Type("146.5");
      Enter();
    });
    step([&] {
      grid->setCurrentIndex(grid->model()->index(6, kColName));
      Type("ab");
      Enter();
    });
    main.Dispatch("miCommonSet");
    step([&] { StepList(Child<QComboBox>("CboSet4_0")); });
    main.Dispatch("miKeySet");
    step([&] { StepList(Child<QComboBox>("CboKey")); });
    main.Dispatch("miScr");
    step([&] {
      auto* field = Child<QLineEdit>("TxtFreq_7");
      field->setFocus();
      field->selectAll();
      Type("4200");
      Enter();
    });
    main.Dispatch("mi2Tone");
    step([&] {
      GoToCell(Child<SignallingGrid>("Grid2Tone0"), 1, 1);
      Type("1000");
      Enter();
    });
    main.Dispatch("mi5Tone");
    step([&] { StepList(Child<QComboBox>("Cbo5Tone1")); });
    main.Dispatch("miMSK");
    step([&] {
      GoToCell(Child<SignallingGrid>("GridMSK0"), 1, 1);
      Type("12ab");
      Enter();
    });
    step([&] {
      auto* invert = Child<QCheckBox>("ChkMsk");
      invert->setFocus();
      QTest::keyClick(invert, Qt::Key_Space);
    });
    step([&] {
      m_prompter->onDialog = [](QDialog& dialog) {
        auto* map = qobject_cast<FrmMemoryMap*>(&dialog);
        if (map == nullptr) return int(QDialog::Rejected);  // the import's report
        map->model()->setData(map->model()->index(0x1E0, 3), QStringLiteral("5A"), Qt::EditRole);
        map->accept();
        return int(QDialog::Accepted);
      };
      main.OpenMemoryMap();
    });
    step([&] {
      const QString csv = m_dir.filePath("in.csv");
      QFile file(csv);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("Location,Name,Frequency\n9,CSV,438.5\n");
      file.close();
      m_prompter->openName = csv;
      main.Dispatch("miImportCsv");
    });
    QCOMPARE(names.first(), QStringLiteral("&Undo channel 6 Rx frequency"));
    QCOMPARE(names[1], QStringLiteral("&Undo channel 6 name"));
    QCOMPARE(names.last(), QStringLiteral("&Undo channel CSV import"));
    QVERIFY(main.isWindowModified());

    for (std::size_t i = states.size() - 1; i > 0; --i) {
      QVERIFY(main.tool("miUndo")->isEnabled());
      main.tool("miUndo")->trigger();
      QCOMPARE(main.memory().image(), states[i - 1]);
    }
    QVERIFY(!main.tool("miUndo")->isEnabled());
    QVERIFY(!main.memory().IsModified());
    QVERIFY(!main.isWindowModified());
    // The windows show the undone values.
    QCOMPARE(Child<QComboBox>("CboSet4_0")->currentIndex(), 0);
    QVERIFY(channels->table().Cell(6, kColRx).empty());
    QCOMPARE(Child<QLineEdit>("TxtFreq_7")->text(), QStringLiteral("3700"));

    for (std::size_t i = 1; i < states.size(); ++i) {
      main.tool("miRedo")->trigger();
      QCOMPARE(main.memory().image(), states[i]);
    }
    QCOMPARE(channels->table().Cell(6, kColName), std::string("AB    "));
  }

  void keysAndTextsInBothLanguages() {
    MDIForm1& main = Start();
    auto* channels = qobject_cast<FrmChannel*>(main.editingWindow(kWinChannel));
    ChannelGrid* grid = channels->grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(2, kColRx));
    Type("145");
    Enter();
    const Image edited = main.memory().image();
    QCOMPARE(main.tool("miUndo")->toolTip(), QStringLiteral("Undo channel 2 Rx frequency"));
    Chord(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!IsProgrammed(main.memory().image(), 2));
    Chord(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(main.memory().image(), edited);
    Chord(Qt::Key_Z, Qt::ControlModifier);
    Chord(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(main.memory().image(), edited);
    main.Dispatch("miChinese");
    QCOMPARE(main.tool("miUndo")->text(), QStringLiteral("撤销 信道 2 接收频率(&U)"));
    main.Dispatch("miUndo");
    QCOMPARE(main.tool("miRedo")->text(), QStringLiteral("重做 信道 2 接收频率(&R)"));
    QCOMPARE(main.tool("miUndo")->text(), QStringLiteral("撤销(&U)"));
  }

  // Inside an open cell editor Ctrl+Z is the editor's own.
  void ctrlZInAnEditorUndoesTyping() {
    MDIForm1& main = Start();
    ChannelGrid* grid = qobject_cast<FrmChannel*>(main.editingWindow(kWinChannel))->grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(3, kColRx));
    Type("1");
    Enter();
    const Image committed = main.memory().image();
    grid->setCurrentIndex(grid->model()->index(3, kColName));
    Type("xy");
    QVERIFY(grid->isEditing());
    Chord(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(main.memory().image(), committed);
    QVERIFY(grid->isEditing());
  }

  void newOpenAndReadStartAFreshHistory() {
    MDIForm1& main = Start();
    main.EditImage([](int) { return std::string("poke"); }, [](Image& image) { image[0x1D95] = 1; });
    QVERIFY(main.tool("miUndo")->isEnabled());
    main.Dispatch("miNew");
    QVERIFY(!main.tool("miUndo")->isEnabled());
    main.EditImage([](int) { return std::string("poke"); }, [](Image& image) { image[0x1D95] = 1; });
    m_prompter->answers = {QMessageBox::No};
    QVERIFY(main.OpenFileAfterAsking(WrittenFile("a.tw", BlankImage())));
    QVERIFY(!main.tool("miUndo")->isEnabled());
  }

  void titleNamesTheFileAndSaveWritesBackToIt() {
    MDIForm1& main = Start();
    QCOMPARE(main.windowTitle(), QStringLiteral("ORVEX - Untitled.tw [*]"));
    QVERIFY(!main.isWindowModified());
    main.EditImage([](int) { return std::string("poke"); }, [](Image& image) { image[0x1D95] = 1; });
    QVERIFY(main.isWindowModified());
    // A new codeplug asks for its file.
    m_prompter->saveName = m_dir.filePath("club.tw");
    main.Dispatch("miSave");
    QCOMPARE(m_prompter->proposedNames.size(), 1);
    QCOMPARE(main.windowTitle(), QStringLiteral("ORVEX - club.tw [*]"));
    QVERIFY(!main.isWindowModified());
    // Then Save writes there without asking; Save As asks.
    main.EditImage([](int) { return std::string("poke"); }, [](Image& image) { image[0x1D95] = 2; });
    main.Dispatch("miSave");
    QCOMPARE(m_prompter->proposedNames.size(), 1);
    QCOMPARE(ReadCodeplugFile(m_dir.filePath("club.tw").toStdString())->image[0x1D95], 2);
    m_prompter->saveName = m_dir.filePath("copy.tw");
    main.Dispatch("miSaveAs");
    QCOMPARE(m_prompter->proposedNames.last(), m_dir.filePath("club.tw"));
    QCOMPARE(main.documentPath(), m_dir.filePath("copy.tw"));
    // Undo past the save: modified again; redo to it: saved.
    main.Dispatch("miUndo");
    QVERIFY(main.isWindowModified());
    main.Dispatch("miRedo");
    QVERIFY(!main.isWindowModified());
  }

  void recentFilesNewestFirstAndMissingOnesDropped() {
    MDIForm1& main = Start();
    const QString a = WrittenFile("a.tw", BlankImage());
    Image other = BlankImage();
    other[0x1D95] = 7;
    const QString b = WrittenFile("b.tw", other);
    QVERIFY(main.OpenFilePath(a));
    QVERIFY(main.OpenFilePath(b));
    QCOMPARE(main.recentFiles(), QStringList({b, a}));
    QStringList shown;
    for (QAction* action : main.band("miFile")->actions())
      if (action->objectName().startsWith("miRecent") && action->isVisible()) shown << action->text();
    QCOMPARE(shown, QStringList({"&1 b.tw", "&2 a.tw"}));
    main.findChild<QAction*>("miRecent2")->trigger();
    QCOMPARE(main.memory().image(), BlankImage());
    QCOMPARE(main.recentFiles(), QStringList({a, b}));
    QFile::remove(b);
    main.findChild<QAction*>("miRecent2")->trigger();
    QCOMPARE(m_prompter->questions.size(), 1);
    QCOMPARE(main.recentFiles(), QStringList({a}));
    // Kept for the next start.
    test::CloseQuietly(m_main);
    QCOMPARE(Start().recentFiles(), QStringList({a}));
  }

  // Inside the memory map each byte edit is undone on its own before OK.
  void memoryMapBytesUndoInsideTheMap() {
    RadioMemory memory;
    memory.image() = BlankImage();
    FrmMemoryMap map(memory);
    QVERIFY(test::ShowActive(map, map.sizeHint()));
    MemoryMapModel* model = map.model();
    model->setData(model->index(1, 0), QStringLiteral("12"), Qt::EditRole);
    model->setData(model->index(1, 1), QStringLiteral("34"), Qt::EditRole);
    map.grid()->setFocus();
    QTest::keyPress(map.grid(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyClick(map.grid(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyRelease(map.grid(), Qt::Key_Control);
    QCOMPARE(model->image()[0x11], std::uint8_t(0xFF));
    QCOMPARE(model->image()[0x10], std::uint8_t(0x12));
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("FF"));
    QVERIFY(model->Redo());
    QCOMPARE(model->image()[0x11], std::uint8_t(0x34));
    QVERIFY2(memory.image() == BlankImage(), "nothing reaches the image before OK");
  }

  void droppingATwFileOpensItAfterAsking() {
    MDIForm1& main = Start();
    Image image = BlankImage();
    image[0x1D95] = 9;
    const QString path = WrittenFile("dropped.tw", image);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&main, &enter);
    QVERIFY(enter.isAccepted());
    main.EditImage([](int) { return std::string("poke"); }, [](Image& i) { i[0x1D96] = 1; });
    m_prompter->answers = {QMessageBox::No};
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&main, &drop);
    QTRY_COMPARE(main.memory()[0x1D95], std::uint8_t(9));
    QCOMPARE(m_prompter->questions.size(), 1);
    QCOMPARE(main.windowTitle(), QStringLiteral("ORVEX - dropped.tw [*]"));

    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(m_dir.filePath("notes.txt"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(&main, &refused);
    QVERIFY(!refused.isAccepted());
  }
};

ORVEX_UI_TEST_MAIN(UndoTest)
#include "undo_qtest.moc"
