// The Key Assignment window driven as a user drives it: opened from the menu
// and the tree, the side key chosen with real key events, a language switch,
// activation and closing; then the bytes in the image.
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <memory>

#include "core/preferences.h"
#include "core/strings.h"
#include "model/settings/side_key.h"
#include "model/settings_test_util.h"
#include "ui/key/frm_key.h"
#include "ui/main/mdi_form1.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ChangedAddresses;
using orvex::test::ScriptedPrompter;

namespace {

constexpr std::size_t kSideKeyByte = 0x0E3B;
const QStringList kEnglishItems = {"UNDEF", "Scan", "Lamp", "SOS-CH", "FM Radio", "Opt-Signal Call"};

QStringList Items(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

}  // namespace

class KeyWindowTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  QStringList m_log;

  // The main window with the key window and, for a second child to switch
  // to, a logging channel window.
  void Start(std::uint8_t sideKey) {
    m_log.clear();
    EditingWindowFactories windows = test::LoggingWindows(&m_log);
    windows[kWinKey] = test::Factory<FrmKey>();
    Image image = BlankImage();
    image[kSideKeyByte] = sideKey;
    StartMain({.windows = windows, .image = image, .size = {1000, 800}});
  }

  FrmKey* Window() const { return qobject_cast<FrmKey*>(m_main->editingWindow(kWinKey)); }
  FrmKey* Open() {
    m_main->Dispatch("miKeySet");
    return Window();
  }
  std::uint8_t SideKeyByte() const { return m_main->memory()[kSideKeyByte]; }
  std::uint8_t OpenSet() const { return m_main->state().openWindows; }

 private slots:
  void init() { WriteLanguagePreference(0); }
  void cleanup() { StopMain(); }

  void captionsAndPicture() {
    Start(1);
    FrmKey* window = Open();
    QVERIFY(window != nullptr);
    QCOMPARE(window->windowTitle(), QStringLiteral("Key Assignment"));
    QCOMPARE(window->FraKey(0)->title(), QStringLiteral("PTT"));
    QCOMPARE(window->FraKey(1)->title(), QStringLiteral("PF1(Side Key )"));
    QCOMPARE(window->FraKey(2)->title(), QStringLiteral("MONI"));
    const auto label = [window](const char* name) { return window->findChild<QLabel*>(name)->text(); };
    QCOMPARE(label("LblKey_0"), QStringLiteral("PTT Key"));
    QCOMPARE(label("LblKey2_0"), QStringLiteral("SendKey"));
    QCOMPARE(label("LblKey_2"), QStringLiteral("Long press"));
    QCOMPARE(label("LblKey2_2"), QStringLiteral("MONI"));
    QCOMPARE(label("LblKey_3"), QStringLiteral("Slight press"));
    QCOMPARE(label("LblKey2_3"), QStringLiteral("FlashLight"));
    QCOMPARE(Items(window->CboKey()), kEnglishItems);
    QVERIFY(window->FraKey(1)->isAncestorOf(window->CboKey()));

    // The picture fills the window's inner area, also after a resize, and
    // each group sits left of the key it points at.
    KeyPicture* picture = window->PicKey();
    QCOMPARE(window->widget(), picture);
    for (const QSize size : {QSize(533, 427), QSize(800, 640)}) {
      window->resize(size);
      QCOMPARE(picture->size(), window->contentsRect().size());
      const QRect radio = picture->radioRect();
      QVERIFY(picture->rect().contains(radio));
      for (int key = 0; key < KeyPicture::kKeyCount; ++key) {
        const QPoint point = picture->keyPoint(KeyPicture::Key(key));
        QVERIFY(radio.contains(point));
        QVERIFY(window->FraKey(key)->geometry().right() < point.x());
      }
      QVERIFY(picture->keyPoint(KeyPicture::kPtt).y() < picture->keyPoint(KeyPicture::kSideKey).y());
      QVERIFY(picture->keyPoint(KeyPicture::kSideKey).y() < picture->keyPoint(KeyPicture::kMonitor).y());
    }
    // The radio is drawn: its body is dark where the window is light.
    const QImage shown = picture->grab().toImage();
    const QPoint body = picture->radioRect().center();
    QVERIFY(qGray(shown.pixel(body)) < 128);
    QVERIFY(qGray(shown.pixel(picture->rect().topLeft() + QPoint(2, 2))) > 128);
  }

  void firstRefresh_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("after");
    QTest::newRow("UNDEF") << 0 << "UNDEF" << 0;
    QTest::newRow("Scan") << 1 << "Scan" << 1;
    QTest::newRow("Opt-Signal Call") << 5 << "Opt-Signal Call" << 5;
    QTest::newRow("6 is out of range") << 6 << "UNDEF" << 0;
    QTest::newRow("0x80") << 0x80 << "UNDEF" << 0;
    QTest::newRow("unprogrammed") << 0xFF << "UNDEF" << 0;
  }
  void firstRefresh() {
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(int, after);
    Start(std::uint8_t(stored));
    const Image before = m_main->memory().image();
    FrmKey* window = Open();
    QCOMPARE(window->CboKey()->currentText(), shown);
    QCOMPARE(int(SideKeyByte()), after);
    for (const std::size_t address : ChangedAddresses(before, m_main->memory().image()))
      QCOMPARE(address, kSideKeyByte);
    QCOMPARE(m_main->memory().IsModified(), stored != after);
  }

  void laterRefreshWritesOnlyAChangedItem() {
    Start(0);
    FrmKey* window = Open();
    // Already showing UNDEF: an unprogrammed byte is shown, not rewritten.
    m_main->memory()[kSideKeyByte] = 0xFF;
    window->RefreshKey();
    QCOMPARE(window->CboKey()->currentIndex(), 0);
    QCOMPARE(SideKeyByte(), std::uint8_t(0xFF));
    // Showing Lamp: the same byte now changes the item and is written back.
    m_main->memory()[kSideKeyByte] = 2;
    window->RefreshKey();
    m_main->memory()[kSideKeyByte] = 0xFF;
    window->RefreshKey();
    QCOMPARE(window->CboKey()->currentText(), QStringLiteral("UNDEF"));
    QCOMPARE(SideKeyByte(), std::uint8_t(0));
  }

  void choosingWithKeysWritesAtOnce() {
    Start(0);
    FrmKey* window = Open();
    QComboBox* list = window->CboKey();
    list->setFocus();
    QVERIFY(list->hasFocus());
    const Image before = m_main->memory().image();
    const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_End, 5}, {Qt::Key_Down, 5},
                                             {Qt::Key_Up, 4},   {Qt::Key_Home, 0}, {Qt::Key_Down, 1}};
    for (const auto& [key, position] : steps) {
      QTest::keyClick(list, key);
      QCOMPARE(list->currentIndex(), position);
      QCOMPARE(int(SideKeyByte()), position);
    }
    QCOMPARE(ChangedAddresses(before, m_main->memory().image()), std::vector<std::size_t>{kSideKeyByte});
    // Enter moves on and changes nothing.
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(int(SideKeyByte()), 1);
    QCOMPARE(list->currentIndex(), 1);
  }

  void choosingWithTheMouse() {
    Start(4);
    FrmKey* window = Open();
    QComboBox* list = window->CboKey();
    QTest::mouseClick(list, Qt::LeftButton);
    QAbstractItemView* popup = list->view();
    QTRY_VERIFY(popup->isVisible());
    const QModelIndex item = popup->model()->index(3, 0);
    popup->scrollTo(item);
    // The list ignores a release that comes too soon after it opened.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, popup->visualRect(item).center());
    QTRY_VERIFY(!popup->isVisible());
    QCOMPARE(list->currentText(), QStringLiteral("SOS-CH"));
    QCOMPARE(SideKeyByte(), std::uint8_t(3));
  }

  void languageSwitchKeepsThePosition() {
    Start(3);
    FrmKey* window = Open();
    m_main->Dispatch("miChinese");
    QCOMPARE(window->windowTitle(), QString::fromUtf8(std::string(Text(1102, kChinese))));
    QCOMPARE(window->FraKey(1)->title(), QString::fromStdString("PF1(" + std::string(Text(1372, kChinese)) + ")"));
    QStringList chinese;
    for (const std::string& item : ItemTexts(SideKeySetting(), kChinese)) chinese << QString::fromStdString(item);
    QCOMPARE(Items(window->CboKey()), chinese);
    QCOMPARE(window->CboKey()->currentIndex(), 3);
    QCOMPARE(SideKeyByte(), std::uint8_t(3));
    m_main->Dispatch("miEnglish");
    QCOMPARE(Items(window->CboKey()), kEnglishItems);
    QCOMPARE(window->CboKey()->currentText(), QStringLiteral("SOS-CH"));
  }

  void activationAndRefreshAllReload() {
    Start(1);
    FrmKey* window = Open();
    m_main->Dispatch("miChannel");
    QVERIFY(m_main->mdiArea()->activeSubWindow() != window);
    m_main->memory()[kSideKeyByte] = 2;
    m_main->mdiArea()->setActiveSubWindow(window);
    QCOMPARE(window->CboKey()->currentText(), QStringLiteral("Lamp"));
    // As after a Read: the main window refreshes every open window.
    m_main->memory()[kSideKeyByte] = 5;
    m_main->RefreshAll();
    QCOMPARE(window->CboKey()->currentText(), QStringLiteral("Opt-Signal Call"));
  }

  void saveAllHasNothingToStore() {
    Start(2);
    FrmKey* window = Open();
    m_main->memory()[kSideKeyByte] = 4;  // behind the window's back
    m_main->SaveAll();
    QCOMPARE(SideKeyByte(), std::uint8_t(4));
    QCOMPARE(window->CboKey()->currentIndex(), 2);
  }

  void openFromMenuAndTreeCloseDestroys() {
    Start(5);
    QCOMPARE(OpenSet() & kWinKey, 0);
    QPointer<FrmKey> window = Open();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(OpenSet() & kWinKey, int(kWinKey));
    QCOMPARE(m_main->mdiArea()->activeSubWindow(), window.data());

    QVERIFY(window->close());
    QCOMPARE(OpenSet() & kWinKey, 0);
    QTRY_VERIFY(window.isNull());
    QCOMPARE(SideKeyByte(), std::uint8_t(5));

    m_main->ClickNode("Item3");
    QVERIFY(Window() != nullptr);
    QCOMPARE(OpenSet() & kWinKey, int(kWinKey));
    QCOMPARE(Window()->CboKey()->currentText(), QStringLiteral("Opt-Signal Call"));

    // Close All closes it the same way.
    window = Window();
    m_main->Dispatch("miCloseAll");
    QCOMPARE(OpenSet() & kWinKey, 0);
    QTRY_VERIFY(window.isNull());
  }
};

ORVEX_UI_TEST_MAIN(KeyWindowTest)
#include "key_window_qtest.moc"
