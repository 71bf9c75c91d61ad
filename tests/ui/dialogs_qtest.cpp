// The About box and the communication port dialog.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/main/frm_about.h"
#include "ui/main/frm_com_port.h"
#include "ui_test_support.h"

using namespace orvex;

namespace {
// COM1 and COM3 present and usable, COM2 present but busy.
std::array<PortOffer, kPortSlotCount> SomePorts() {
  std::array<PortOffer, kPortSlotCount> offers{};
  offers[0] = {"/dev/ttyUSB0", "USB serial", true};
  offers[1] = {"/dev/ttyS0", "", false};
  offers[2] = {"/dev/ttyS1", "", true};
  return offers;
}
}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void aboutBox_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("ok");
    QTest::newRow("english") << 0 << "About ORVEX"
                             << "ORVEX Version v2.1"
                             << "&OK";
    QTest::newRow("chinese") << 1 << QString::fromUtf8("关于 ORVEX") << QString::fromUtf8("ORVEX 版本 v2.1")
                             << QString::fromUtf8("确定(&O)");
  }
  void aboutBox() {
    QFETCH(int, language);
    QFETCH(QString, caption);
    QFETCH(QString, firstLine);
    QFETCH(QString, ok);
    FrmAbout about(language);
    QCOMPARE(about.windowTitle(), caption);
    const QStringList lines = about.findChild<QLabel*>("Label1")->text().split('\n');
    QCOMPARE(lines.size(), 4);
    // The release number, then the source revision when built from git.
    QVERIFY2(lines[0] == firstLine || lines[0].startsWith(firstLine + " (git "), qPrintable(lines[0]));
    QVERIFY(lines[1].endsWith("2011"));
    QVERIFY(lines[2].isEmpty());
    QCOMPARE(lines[3], QStringLiteral("2012-8-20"));
    QVERIFY(!about.findChild<QLabel*>("Image1")->pixmap().isNull());
    auto* button = about.findChild<QPushButton*>("Command1");
    QCOMPARE(button->text(), ok);
    about.show();
    button->click();
    QCOMPARE(about.result(), int(QDialog::Accepted));
  }

  void portDialogGreysFailedProbes() {
    FrmComPort dialog(0, PortChoice{1, {}}, SomePorts());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Communication Port"));
    for (int i = 0; i < kPortSlotCount; ++i) {
      QVERIFY(dialog.option(i)->text().startsWith(QStringLiteral("COM%1").arg(i + 1)));
      QCOMPARE(dialog.option(i)->isEnabled(), i == 0 || i == 2);
    }
    QVERIFY(dialog.option(0)->text().contains("ttyUSB0"));
    QVERIFY(dialog.option(0)->isChecked());
  }

  void portDialogKeepsAGreyedCurrentPort() {
    FrmComPort dialog(0, PortChoice{2, {}}, SomePorts());
    QVERIFY(dialog.option(1)->isChecked());
    QVERIFY(!dialog.option(1)->isEnabled());
    QCOMPARE(dialog.choice().portNumber, 2);
  }

  void portDialogChoices_data() {
    QTest::addColumn<int>("click");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("portNumber");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM3") << 2 << "" << 3 << "";
    QTest::newRow("greyed COM5 cannot be chosen") << 4 << "" << 1 << "";
    QTest::newRow("typed path") << -1 << "  /tmp/radio-link " << 1 << "/tmp/radio-link";
  }
  void portDialogChoices() {
    QFETCH(int, click);
    QFETCH(QString, typed);
    QFETCH(int, portNumber);
    QFETCH(QString, device);
    FrmComPort dialog(0, PortChoice{1, {}}, SomePorts());
    dialog.show();
    if (click >= 0) QTest::mouseClick(dialog.option(click), Qt::LeftButton);
    dialog.deviceBox()->setText(typed);
    dialog.findChild<QPushButton*>("Command1_0")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.choice().portNumber, portNumber);
    QCOMPARE(dialog.choice().device, device);
  }

  void portDialogInChinese() {
    FrmComPort dialog(1, PortChoice{1, "/dev/pts/7"}, SomePorts());
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("通信端口"));
    QCOMPARE(dialog.deviceBox()->text(), QStringLiteral("/dev/pts/7"));
    QCOMPARE(dialog.findChild<QPushButton*>("Command1_1")->text(), QString::fromUtf8("取消(&C)"));
  }
};

ORVEX_UI_TEST_MAIN(DialogsTest)
#include "dialogs_qtest.moc"
