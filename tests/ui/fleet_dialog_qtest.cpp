// Program > Program Several Radios: the dialog writes virtual radios on
// pseudo-terminals through the real driver and shows each outcome.
#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include "codeplug/file_io.h"
#include "core/strings.h"
#include "ui/fleet/frm_fleet.h"
#include "ui/main/demo_radio.h"
#include "ui/main/mdi_form1.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;
using orvex::test::SimProgram;

namespace {
constexpr int kRunLimitMs = 30000;
}  // namespace

class FleetDialogTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  DemoRadio m_radios;

  QString Link(int k) const { return m_dir.filePath(QStringLiteral("r%1").arg(k)); }

  // Three radios; the third is another model.
  void StartRadios() {
    if (!QFileInfo::exists(SimProgram())) QSKIP("orvex-sim is not built");
    const auto device = m_radios.Start(SimProgram(), {"--count", "3", "--fast", "--link", m_dir.filePath("r"), "--save",
                                                      m_dir.filePath("saved.tw"), "--radio", "3", "--ident", "XX999"});
    QVERIFY2(device.ok(), device.ok() ? "" : device.error().c_str());
    for (int k = 1; k <= 3; ++k) QTRY_VERIFY(QFileInfo::exists(Link(k)));
  }

 private slots:
  void cleanup() {
    m_radios.Stop();
    StopMain();
  }

  void menuEntryOpensTheDialog() {
    MDIForm1& window = StartMain({.show = test::MainWindowStart::Show::Hidden});
    ScriptedPrompter& prompter = *m_prompter;
    QAction* entry = window.tool("miFleet");
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("Program &Several Radios..."));
    QVERIFY(window.band("miProgram")->actions().contains(entry));
    window.Dispatch("miFleet");
    QCOMPARE(prompter.dialogs, QStringList{"frmFleet"});
    window.memory().SaveSnapshot();
  }

  void writesEveryRadioAndShowsEachOutcome() {
    StartRadios();
    ScriptedPrompter prompter;
    Image codeplug = BlankImage();
    codeplug[Address(3, 4)] = 0x42;
    const QString values = m_dir.filePath("values.csv");
    QFile csv(values);
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write(("port,options.ani_code\n" + Link(2) + ",246810\nnext,135790\n").toUtf8());
    csv.close();

    FrmFleet dialog(codeplug, kEnglish, prompter, {});
    dialog.otherPortsBox()->setText(Link(1) + " " + Link(2) + ", " + Link(3));
    dialog.valuesBox()->setText(values);
    QSignalSpy finished(&dialog, &FrmFleet::runFinished);
    QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
    QVERIFY(dialog.isRunning());
    QVERIFY(!dialog.startButton()->isEnabled());
    QVERIFY(finished.wait(kRunLimitMs));

    QTableWidget* table = dialog.table();
    QCOMPARE(table->rowCount(), 3);
    QMap<QString, QString> outcomes;
    for (int row = 0; row < 3; ++row) {
      outcomes[table->item(row, 0)->text()] = table->item(row, 2)->text();
      const auto* bar = qobject_cast<QProgressBar*>(table->cellWidget(row, 1));
      QVERIFY(bar);
      if (table->item(row, 0)->text() != "r3") QCOMPARE(bar->value(), bar->maximum());
      QVERIFY(table->item(row, 3)->text().endsWith(" s"));
    }
    QVERIFY2(outcomes["r1"].startsWith("written and verified  [Values 3]"), qPrintable(outcomes["r1"]));
    QVERIFY2(outcomes["r2"].startsWith("written and verified  [Values 2]"), qPrintable(outcomes["r2"]));
    QVERIFY2(outcomes["r3"].startsWith("model wrong"), qPrintable(outcomes["r3"]));
    QCOMPARE(dialog.summary()->text(), QStringLiteral("2 of 3 radios succeeded"));
    // The failure's whole reason, below the table; a chosen row shows its own.
    const auto shown = [&](int row) { return table->item(row, 0)->toolTip() + ": " + table->item(row, 2)->text(); };
    for (int row = 0; row < 3; ++row)
      if (table->item(row, 0)->text() == "r3") QCOMPARE(dialog.detail()->toPlainText(), shown(row));
    table->setFocus();
    QTest::keyClick(table, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(table, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(dialog.detail()->toPlainText(), shown(0));
    QVERIFY(dialog.startButton()->isEnabled());

    QTRY_VERIFY(QFileInfo::exists(m_dir.filePath("saved2.tw")));
    const auto saved = ReadCodeplugFile(m_dir.filePath("saved2.tw").toStdString());
    QVERIFY(saved.ok());
    QCOMPARE(int(saved->image[Address(3, 4)]), 0x42);
    QVERIFY(saved->image != codeplug);  // its ANI code
  }

  void startWithoutAPortAsksForOne() {
    ScriptedPrompter prompter;
    FrmFleet dialog(BlankImage(), kEnglish, prompter, {"/dev/ttyUSB0", "/dev/ttyUSB1"});
    QCOMPARE(dialog.portBoxes().size(), std::size_t{2});
    dialog.allBox()->click();
    QVERIFY(dialog.portBoxes()[0]->isChecked() && dialog.portBoxes()[1]->isChecked());
    QCOMPARE(dialog.chosenPorts(), QStringList({"/dev/ttyUSB0", "/dev/ttyUSB1"}));
    dialog.portBoxes()[1]->click();
    QVERIFY(!dialog.allBox()->isChecked());
    dialog.portBoxes()[0]->click();
    dialog.Start();
    QCOMPARE(prompter.texts(), QStringList{"Choose at least one port."});
    QVERIFY(!dialog.isRunning());
  }
};

ORVEX_UI_TEST_MAIN(FleetDialogTest)
#include "fleet_dialog_qtest.moc"
