// The Optional Features window: every control stores at once (lists, check
// boxes, the up-down) or when left (text fields), refreshes write back only
// what they change, passwords are padded after a warning, and the window
// follows the main window's contract (hidden at start-up, hidden on close,
// reloaded on open, passwords committed by SaveAll).
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <memory>

#include "codeplug/file_io.h"
#include "core/app_state.h"
#include "core/frequency.h"
#include "core/preferences.h"
#include "core/strings.h"
#include "ui/main/mdi_form1.h"
#include "ui/settings/frm_setting.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;

namespace {

constexpr std::size_t kModePassword = 0x0E4A;
constexpr std::size_t kResetPassword = 0x0E50;
constexpr std::size_t kAniCode = 0x0E56;
constexpr std::size_t kAutoReset = 0x1D90;
const QString kLengthWarning = QStringLiteral("Length not matched will auto Zero!");

std::vector<std::uint8_t> Span(const Image& image, std::size_t address, std::size_t count) {
  return {image.begin() + static_cast<std::ptrdiff_t>(address),
          image.begin() + static_cast<std::ptrdiff_t>(address + count)};
}

void Put(Image& image, std::size_t address, std::initializer_list<std::uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(address));
}

}  // namespace

class SettingsWindowTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  FrmSetting* m_window = nullptr;

  // The main window with only this window, showing `image` after a refresh,
  // the window opened from the menu.
  void Start(const Image& image) {
    StartMain({.windows = {{kWinSetting, test::Factory<FrmSetting>()}}, .image = image, .size = {1400, 900}});
    m_window = qobject_cast<FrmSetting*>(m_main->editingWindow(kWinSetting));
    QVERIFY(m_window != nullptr);
    m_main->Dispatch("miCommonSet");
    QVERIFY(m_window->isVisible());
  }
  void Stop() {
    // Closing without any question about padded passwords or changes.
    if (m_main) m_main->SaveAll();
    StopMain();
    m_window = nullptr;
  }

  template <class T>
  T* Find(const QString& name) {
    T* found = m_window->findChild<T*>(name);
    if (found == nullptr) qWarning("no control %s", qPrintable(name));
    return found;
  }
  Image& Memory() { return m_main->memory().image(); }

  // Focuses a control as a user tabbing to it would and types into it.
  void TypeInto(QWidget* control, const QString& text) {
    control->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(control->hasFocus());
    QApplication::processEvents();  // the field selects its text on entry
    for (const QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
  }
  void Leave() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }

 private slots:
  void init() { WriteLanguagePreference(kEnglish); }
  void cleanup() { Stop(); }

  // Opening a codeplug whose option bytes are out of range: the window's
  // refresh brings them into range, and that is not a change of the user's.
  void openingAFileTheRefreshCorrectsIsNotAnUnsavedChange() {
    Start(BlankImage());
    const SettingSpec* list = nullptr;
    for (const SettingSpec& setting : OptionSettings())
      if (setting.encoding == Encoding::ListIndex && DecodeSetting(BlankImage(), setting) != 0) {
        list = &setting;
        break;
      }
    QVERIFY(list != nullptr);
    Image image = BlankImage();
    image[list->address] = 0xEE;  // not smaller than the item count: shows the first item
    const QString path = m_dir.filePath("out_of_range.tw");
    QVERIFY(WriteCodeplugFile(path.toStdString(), image).ok());
    QVERIFY(m_main->OpenFilePath(path));
    QCOMPARE(int(Memory()[list->address]), 0);
    QVERIFY(!m_main->memory().IsModified());
  }

  void createdHiddenAtStartUpWithoutChangingTheBlankImage() {
    // The program's own registration, as `orvex` starts with it.
    QCOMPARE(RegisteredEditingWindows().count(kWinSetting), std::size_t(1));
    StartMain({.windows = {{kWinSetting, RegisteredEditingWindows().at(kWinSetting)}},
               .show = test::MainWindowStart::Show::Hidden});
    auto* window = qobject_cast<FrmSetting*>(m_main->editingWindow(kWinSetting));
    QVERIFY(window != nullptr);
    QVERIFY(window->isHidden());
    QCOMPARE(window->objectName(), QStringLiteral("frmSetting"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Optional Features"));
    QVERIFY((m_main->state().openWindows & kWinSetting) != 0);
    QCOMPARE(m_main->memory().image(), BlankImage());
    QVERIFY(!m_main->memory().IsModified());
    // The blank image's passwords have six digits: a save-all asks nothing.
    m_main->SaveAll();
    QVERIFY(m_prompter->questions.isEmpty());
    QCOMPARE(m_main->memory().image(), BlankImage());
  }

  void controlsCarryTheProgramNames() {
    Start(BlankImage());
    for (int n = 1; n <= 9; ++n) QVERIFY(Find<QGroupBox>(QStringLiteral("FraSet%1").arg(n)));
    const QStringList lists = {"CboSet1_0", "CboSet1_1", "CboSet1_2", "CboSet1_3", "CboSet1_4",
                               "CboSet4_0", "CboSet4_1", "CboSet5_0", "CboSet5_1", "CboSet5_4",
                               "CboSet5_5", "CboSet5_6", "CboSet8_0", "CboSet8_2"};
    for (const QString& name : lists) QVERIFY2(Find<QComboBox>(name), qPrintable(name));
    for (int i = 1; i <= 9; ++i) {
      QVERIFY(Find<QComboBox>(QStringLiteral("CboSet6_%1").arg(i)));
      QVERIFY(Find<QComboBox>(QStringLiteral("CboSet7_%1").arg(i)));
    }
    for (const char* name : {"ChkSet2", "ChkSet3_0", "ChkSet3_5", "ChkSet8"}) QVERIFY(Find<QCheckBox>(name));
    for (const char* name : {"TxtSet5_0", "TxtSet5_1", "TxtSet6", "TxtSet7", "TxtSet8", "TxtOPSet_1"})
      QVERIFY2(Find<QLineEdit>(name), name);
    QVERIFY(Find<QSpinBox>("UDOpSet_1"));
    QCOMPARE(Find<QLabel>("LblSet5_2")->text(), QStringLiteral("PWD of Mode Change"));
    QCOMPARE(Find<QLabel>("LblSet6_8")->text(), QStringLiteral("A-SQ Level"));
    QCOMPARE(Find<QLabel>("LblSet7_9")->text(), QStringLiteral("B-Step"));
    QCOMPARE(Find<QLabel>("LblSet8_0")->text(), QStringLiteral("TransmitDelay"));
    QCOMPARE(Find<QGroupBox>("FraSet2")->title(), QStringLiteral("ChannelMode"));
    QCOMPARE(Find<QGroupBox>("FraSet6")->title(), QStringLiteral("A-Frequency Mode"));
    QCOMPARE(Find<QCheckBox>("ChkSet8")->text(), QStringLiteral("ANI-IDTransmitSwitch"));
    QCOMPARE(Find<QComboBox>("CboSet8_2")->itemText(3), QStringLiteral("Key SideTone+ANI-ID SideTone"));
    QCOMPARE(Find<QComboBox>("CboSet6_6")->count(), 1400);
    QCOMPARE(Find<QComboBox>("CboSet6_2")->count(), 261);
    // The backlight colour is kept for the radio but never shown.
    QVERIFY(!Find<QComboBox>("CboSet1_4")->isVisible());
    QVERIFY(Find<QComboBox>("CboSet1_3")->isVisible());
  }

  void newWindowOnAnUnprogrammedImage() {
    AppState state;
    RadioMemory memory;
    StartUp(state, memory, "0", "/tmp", '.');
    memory.image().fill(0xFF);
    FrmSetting window(EditingContext{memory, state});
    window.Refresh();
    const Image& image = memory.image();
    // Every list byte now holds 0, every flag byte 1, the timer 10; the
    // passwords and the ANI code are not written by a refresh.
    for (const SettingSpec& setting : OptionSettings()) {
      if (setting.encoding == Encoding::ListIndex) QCOMPARE(image[setting.address], std::uint8_t(0));
      if (setting.encoding == Encoding::FlagByte) QCOMPARE(image[setting.address], std::uint8_t(1));
    }
    QCOMPARE(image[kAutoReset], std::uint8_t(10));
    for (std::size_t i = 0; i < 6; ++i) {
      QCOMPARE(image[kModePassword + i], kEmpty);
      QCOMPARE(image[kResetPassword + i], kEmpty);
      QCOMPARE(image[kAniCode + i], kEmpty);
    }
    QCOMPARE(window.findChild<QComboBox*>("CboSet1_2")->currentText(), QStringLiteral("15"));
    QCOMPARE(window.findChild<QComboBox*>("CboSet5_4")->currentText(), QStringLiteral("Off"));
    QVERIFY(window.findChild<QCheckBox*>("ChkSet3_2")->isChecked());
    QVERIFY(window.findChild<QCheckBox*>("ChkSet2")->isChecked());
    QCOMPARE(window.findChild<QLineEdit*>("TxtSet5_0")->text(), QString());
    QCOMPARE(window.findChild<QLineEdit*>("TxtSet8")->text(), QString());
    QCOMPARE(window.findChild<QLineEdit*>("TxtOPSet_1")->text(), QStringLiteral("10"));
    // Group A: "Current" from the empty record, both bits set.
    QCOMPARE(window.findChild<QLineEdit*>("TxtSet6")->text(), QStringLiteral("137.02500"));
    QCOMPARE(window.findChild<QComboBox*>("CboSet6_1")->currentText(), QStringLiteral("High"));
    QCOMPARE(window.findChild<QComboBox*>("CboSet6_4")->currentText(), QStringLiteral("Wide"));
    QCOMPARE(window.findChild<QComboBox*>("CboSet6_6")->currentText(), QStringLiteral("00.000"));
    QCOMPARE(ReadFreq(memory.row(129), Direction::Rx), std::string());
    QCOMPARE(ReadFreq(memory.row(129), Direction::Tx), std::string("137.02500"));
    QCOMPARE(window.findChild<QLineEdit*>("TxtTxSet6")->text(), QStringLiteral("137.02500"));
  }

  void refreshShowsAndRewritesListBytes_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("after");
    QTest::newRow("timer 39") << 0x0E26 << 39 << "CboSet1_2"
                              << "600" << 39;
    QTest::newRow("timer 40") << 0x0E26 << 40 << "CboSet1_2"
                              << "15" << 0;
    QTest::newRow("priority 128") << 0x0E5E << 128 << "CboSet5_4"
                                  << "128" << 128;
    // Already showing "Off", the window sees no change: the byte stays.
    QTest::newRow("priority 129") << 0x0E5E << 129 << "CboSet5_4"
                                  << "Off" << 129;
    QTest::newRow("side tone 3") << 0x0E35 << 3 << "CboSet8_2"
                                 << "Key SideTone+ANI-ID SideTone" << 3;
    QTest::newRow("B squelch 10") << 0x0E42 << 10 << "CboSet7_8"
                                  << "0" << 0;
    QTest::newRow("A shift 3") << 0x1810 << 3 << "CboSet6_5"
                               << "Off" << 3;
    QTest::newRow("A display 9") << 0x0E37 << 9 << "CboSet6_7"
                                 << "Channel-No." << 0;
  }
  void refreshShowsAndRewritesListBytes() {
    QFETCH(int, address);
    QFETCH(int, stored);
    QFETCH(QString, list);
    QFETCH(QString, shown);
    QFETCH(int, after);
    Image image = BlankImage();
    image[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(stored);
    Start(image);
    QCOMPARE(Find<QComboBox>(list)->currentText(), shown);
    QCOMPARE(int(Memory()[static_cast<std::size_t>(address)]), after);
  }

  void checkBoxesAndBitListsStoreOnlyTheirBit_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("tick") << 0x00 << 0x02;
    QTest::newRow("untick") << 0xFF << 0xFD;
  }
  void checkBoxesAndBitListsStoreOnlyTheirBit() {
    QFETCH(int, before);
    QFETCH(int, after);
    Image image = BlankImage();
    image[0x0E2B] = static_cast<std::uint8_t>(before);
    Start(image);
    QCheckBox* check = Find<QCheckBox>("ChkSet3_5");
    QTest::mouseClick(check, Qt::LeftButton, {}, check->rect().center() - QPoint(check->width() / 2 - 8, 0));
    QCOMPARE(int(Memory()[0x0E2B]), after);
  }

  void backLightListChangesItsBitByKeyboard() {
    Image image = BlankImage();
    image[0x0E3D] = 0x01;
    Start(image);
    QComboBox* tx = Find<QComboBox>("CboSet5_6");
    QCOMPARE(tx->currentText(), QStringLiteral("Off"));
    tx->setFocus(Qt::TabFocusReason);
    QTest::keyClick(tx, Qt::Key_Down);
    QCOMPARE(tx->currentText(), QStringLiteral("On"));
    QCOMPARE(int(Memory()[0x0E3D]), 0x05);
  }

  void passwordEntry_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("warned");
    QTest::newRow("two digits") << "12"
                                << "120000" << true;
    QTest::newRow("letters dropped") << "1a2-b"
                                     << "120000" << true;
    QTest::newRow("six digits") << "654321"
                                << "654321" << false;
    QTest::newRow("seventh dropped") << "6543219"
                                     << "654321" << false;
    QTest::newRow("empty") << ""
                           << "000000" << true;
  }
  void passwordEntry() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, warned);
    Start(BlankImage());
    QLineEdit* field = Find<QLineEdit>("TxtSet5_0");
    TypeInto(field, QString());
    QCOMPARE(field->selectedText(), field->text());  // entering selects it all
    QTest::keyClick(field, Qt::Key_Backspace);
    for (const QChar c : typed) QTest::keyClick(field, c.toLatin1());
    Leave();
    QVERIFY(!field->hasFocus());
    QCOMPARE(field->text(), shown);
    QCOMPARE(m_prompter->questions.size(), warned ? 1 : 0);
    if (warned) {
      QCOMPARE(m_prompter->questions.first().text, kLengthWarning);
      QCOMPARE(m_prompter->questions.first().title, QStringLiteral("ORVEX"));
      QCOMPARE(m_prompter->questions.first().icon, QMessageBox::Warning);
    }
    std::vector<std::uint8_t> digits;
    for (const QChar c : shown) digits.push_back(static_cast<std::uint8_t>(c.digitValue()));
    QCOMPARE(Span(Memory(), kModePassword, 6), digits);
    QCOMPARE(Span(Memory(), kResetPassword, 6), Span(BlankImage(), kResetPassword, 6));
  }

  void aniCodeEntry_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("a*3") << "a*3"
                         << "A*3" << QByteArray("\x0D\x0B\x03\xFF\xFF\xFF", 6);
    QTest::newRow("dropped keys") << "e5x#Dd9"
                                  << "5#DD9" << QByteArray("\x05\x0C\x10\x10\x09\xFF", 6);
    QTest::newRow("six kept") << "1234567"
                              << "123456" << QByteArray("\x01\x02\x03\x04\x05\x06", 6);
  }
  void aniCodeEntry() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QByteArray, stored);
    Start(BlankImage());
    QLineEdit* field = Find<QLineEdit>("TxtSet8");
    TypeInto(field, typed);
    QCOMPARE(field->text(), shown);
    Leave();
    const std::vector<std::uint8_t> want(stored.begin(), stored.end());
    QCOMPARE(Span(Memory(), kAniCode, 6), want);
  }

  void aniCodeSkipsBytesWithoutSymbol() {
    Image image = BlankImage();
    Put(image, kAniCode, {0x01, 0x0A, 0x02, 0xFF, 0xFF, 0xFF});
    Start(image);
    QCOMPARE(Find<QLineEdit>("TxtSet8")->text(), QStringLiteral("12"));
  }

  void autoResetTimerTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("stored");
    QTest::newRow("99") << "99"
                        << "15" << 15;
    QTest::newRow("7") << "7"
                       << "7" << 7;
    QTest::newRow("cleared") << ""
                             << "Off" << 0;
    QTest::newRow("letters dropped") << "1x2"
                                     << "12" << 12;
  }
  void autoResetTimerTyped() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, stored);
    Image image = BlankImage();
    image[kAutoReset] = 3;
    Start(image);
    QSpinBox* upDown = Find<QSpinBox>("UDOpSet_1");
    QLineEdit* text = Find<QLineEdit>("TxtOPSet_1");
    QCOMPARE(text->text(), QStringLiteral("3"));
    TypeInto(upDown, QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    for (const QChar c : typed) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    QCOMPARE(int(Memory()[kAutoReset]), 3);  // applied when left
    Leave();
    QCOMPARE(text->text(), shown);
    QCOMPARE(int(Memory()[kAutoReset]), stored);
  }

  void autoResetTimerStepsStoreAtOnceAndEscRestores() {
    Image image = BlankImage();
    image[kAutoReset] = 0;
    Start(image);
    QSpinBox* upDown = Find<QSpinBox>("UDOpSet_1");
    QLineEdit* text = Find<QLineEdit>("TxtOPSet_1");
    QCOMPARE(text->text(), QStringLiteral("Off"));
    TypeInto(upDown, QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(text->text(), QStringLiteral("1"));
    QCOMPARE(int(Memory()[kAutoReset]), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(int(Memory()[kAutoReset]), 0);
    QTest::keyClicks(QApplication::focusWidget(), "12");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(text->text(), QStringLiteral("Off"));
    Leave();
    QCOMPARE(int(Memory()[kAutoReset]), 0);
  }

  void currentAndShiftStoreTheTransmitFrequency() {
    Start(BlankImage());
    QLineEdit* current = Find<QLineEdit>("TxtSet6");
    QLineEdit* tx = Find<QLineEdit>("TxtTxSet6");
    TypeInto(current, "145x");
    QCOMPARE(current->text(), QStringLiteral("145"));
    Leave();
    QCOMPARE(current->text(), QStringLiteral("145.00000"));
    QCOMPARE(ReadFreq(m_main->memory().row(129), Direction::Rx), std::string("145.00000"));
    Find<QComboBox>("CboSet6_6")->setCurrentText("00.600");
    Find<QComboBox>("CboSet6_5")->setCurrentIndex(2);  // Minus Shift
    QCOMPARE(ReadFreq(m_main->memory().row(129), Direction::Tx), std::string("144.40000"));
    QCOMPARE(tx->text(), QStringLiteral("144.40000"));
    Find<QComboBox>("CboSet6_5")->setCurrentIndex(0);  // Off
    QCOMPARE(ReadFreq(m_main->memory().row(129), Direction::Tx), std::string("145.00000"));
    QCOMPARE(tx->text(), QStringLiteral("145.00000"));
    // Group B is untouched.
    QCOMPARE(Span(Memory(), 0x0820, 16), Span(BlankImage(), 0x0820, 16));
  }

  void groupBStepWritesOnlyItsByte() {
    Start(BlankImage());
    const Image before = Memory();
    Find<QComboBox>("CboSet7_9")->setCurrentIndex(4);
    QCOMPARE(int(Memory()[0x0E31]), 4);
    Image expected = before;
    expected[0x0E31] = 4;
    QCOMPARE(Memory(), expected);
  }

  void enterMovesToTheNextControl_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("list") << "CboSet1_0"
                          << "CboSet1_1";
    QTest::newRow("check box") << "ChkSet3_0"
                               << "ChkSet3_1";
    QTest::newRow("current") << "TxtSet6"
                             << "CboSet6_1";
    QTest::newRow("password") << "TxtSet5_1"
                              << "CboSet5_4";
    QTest::newRow("last of the left half") << "TxtSet5_0"
                                           << "TxtSet6";
    QTest::newRow("last of group A") << "CboSet6_9"
                                     << "TxtSet7";
    QTest::newRow("ANI code") << "TxtSet8"
                              << "CboSet8_2";
    QTest::newRow("auto reset timer") << "UDOpSet_1"
                                      << "CboSet8_0";
  }
  void enterMovesToTheNextControl() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    Start(BlankImage());
    QWidget* start = Find<QWidget>(from);
    start->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(start->hasFocus());
    QTest::keyClick(start, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), Find<QWidget>(to));
    QVERIFY(m_prompter->questions.isEmpty());
  }

  void languageSwitchKeepsEverySelection() {
    Image image = BlankImage();
    image[0x0E38] = 2;  // Scan Mode: Search
    image[0x0E25] = 3;  // Roger Tone: Begin/End
    Start(image);
    QList<QComboBox*> lists = m_window->findChildren<QComboBox*>();
    QList<int> positions;
    for (QComboBox* list : lists) positions << list->currentIndex();
    const Image before = Memory();
    m_main->Dispatch("miChinese");
    QCOMPARE(m_window->windowTitle(), QStringLiteral("可选功能"));
    QCOMPARE(Find<QComboBox>("CboSet4_1")->currentText(), QStringLiteral("搜索"));
    QCOMPARE(Find<QComboBox>("CboSet6_1")->itemText(0), QStringLiteral("低"));
    QCOMPARE(Find<QCheckBox>("ChkSet3_3")->text(), QStringLiteral("按键提示音"));
    QCOMPARE(Find<QLabel>("LblSet6_0")->text(), QStringLiteral("当前频率"));
    QCOMPARE(Find<QGroupBox>("FraSet7")->title(), QStringLiteral("B-频率模式"));
    for (int i = 0; i < lists.size(); ++i) QCOMPARE(lists[i]->currentIndex(), positions[i]);
    QCOMPARE(Memory(), before);
    m_main->Dispatch("miEnglish");
    QCOMPARE(Find<QComboBox>("CboSet4_1")->currentText(), QStringLiteral("Search"));
    QCOMPARE(Find<QLineEdit>("TxtOPSet_1")->text(), QStringLiteral("10"));
  }

  void noToneSelectsNoneAfterALanguageSwitch() {
    Image image = BlankImage();
    Put(image, 0x0818, {0x9E, 0x02});  // 67.0 Hz
    Start(image);
    QComboBox* rxTone = Find<QComboBox>("CboSet6_3");
    QCOMPARE(rxTone->currentText(), QStringLiteral("67.0"));
    m_main->Dispatch("miChinese");
    Put(Memory(), 0x0818, {0xFF, 0xFF});
    m_main->RefreshAll();
    QCOMPARE(rxTone->currentIndex(), 0);
    QCOMPARE(rxTone->currentText(), QStringLiteral("None"));  // the start-up language's item
  }

  void saveAllCommitsBothPasswordsWhileOpen() {
    Image image = BlankImage();
    std::fill_n(image.begin() + kModePassword, 12, kEmpty);
    Start(image);
    QCOMPARE(Find<QLineEdit>("TxtSet5_0")->text(), QString());
    m_main->SaveAll();
    QCOMPARE(m_prompter->texts(), QStringList({kLengthWarning, kLengthWarning}));
    QCOMPARE(Span(Memory(), kModePassword, 12), std::vector<std::uint8_t>(12, 0));
    QCOMPARE(Find<QLineEdit>("TxtSet5_1")->text(), QStringLiteral("000000"));

    // Closed, the window leaves the set and a save-all passes it by.
    m_window->close();
    std::fill_n(Memory().begin() + kModePassword, 12, kEmpty);
    m_prompter->questions.clear();
    m_main->SaveAll();
    QVERIFY(m_prompter->questions.isEmpty());
    QCOMPARE(Span(Memory(), kModePassword, 12), std::vector<std::uint8_t>(12, kEmpty));
  }

  void closeHidesAndOpeningReloads_data() {
    QTest::addColumn<bool>("byTree");
    QTest::newRow("menu") << false;
    QTest::newRow("tree") << true;
  }
  void closeHidesAndOpeningReloads() {
    QFETCH(bool, byTree);
    Start(BlankImage());
    QPointer<FrmSetting> window = m_window;
    window->close();
    QVERIFY(!window.isNull());
    QVERIFY(window->isHidden());
    QCOMPARE(m_main->state().openWindows & kWinSetting, 0);
    Memory()[0x0E27] = 3;  // VOX, changed while hidden
    if (byTree) {
      m_main->ClickNode("Item2");
    } else {
      m_main->Dispatch("miCommonSet");
    }
    QCOMPARE(m_main->editingWindow(kWinSetting), window.data());
    QVERIFY(window->isVisible());
    QVERIFY((m_main->state().openWindows & kWinSetting) != 0);
    QCOMPARE(Find<QComboBox>("CboSet4_0")->currentText(), QStringLiteral("3"));
  }

  void aPickedItemIsInTheFileSavedRightAfter() {
    Start(BlankImage());
    QComboBox* vox = Find<QComboBox>("CboSet4_0");
    vox->setFocus(Qt::TabFocusReason);
    QTest::keyClick(vox, Qt::Key_End);
    QCOMPARE(vox->currentText(), QStringLiteral("10"));
    m_prompter->saveName = m_dir.filePath("vox.tw");
    m_main->Dispatch("miSave");
    const auto parsed = ReadCodeplugFile(m_prompter->saveName.toStdString());
    QVERIFY(bool(parsed));
    QCOMPARE(int(parsed->image[0x0E27]), 10);
  }

  void fieldsStillBeingTypedIntoAreSaved() {
    Start(BlankImage());
    // Keys reach the ANI field without its having the focus, so it is never
    // left; "Current" of group B keeps the focus through the save.
    Find<QLineEdit>("TxtSet8")->selectAll();
    QTest::keyClicks(Find<QLineEdit>("TxtSet8"), "7#");
    TypeInto(Find<QLineEdit>("TxtSet7"), "146.5125");
    QVERIFY(Find<QLineEdit>("TxtSet7")->hasFocus());
    m_prompter->saveName = m_dir.filePath("typed.tw");
    m_main->Dispatch("miSave");
    const auto parsed = ReadCodeplugFile(m_prompter->saveName.toStdString());
    QVERIFY(bool(parsed));
    QCOMPARE(ReadFreq(RowOf(parsed->image, 130), Direction::Rx), std::string("146.51250"));
    QCOMPARE(Span(parsed->image, kAniCode, 6), std::vector<std::uint8_t>({7, 12, 0xFF, 0xFF, 0xFF, 0xFF}));
    QVERIFY(m_prompter->questions.isEmpty());
  }
};

ORVEX_UI_TEST_MAIN(SettingsWindowTest)
#include "settings_window_qtest.moc"
