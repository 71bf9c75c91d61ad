// The safety net in the main window against the virtual radio: the check
// before Write, the verifying Read after it, backups of every Read, the
// comparison window and the cable test with its link log.
#include <QAction>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableWidget>

#include "codeplug/backups.h"
#include "codeplug/file_io.h"
#include "link/clone_protocol.h"
#include "model/channels/channel_record.h"
#include "ui/channel/channel_grid.h"
#include "ui/channel/frm_channel.h"
#include "ui/main/mdi_form1.h"
#include "ui/safety/frm_backups.h"
#include "ui/safety/frm_compare.h"
#include "ui/safety/frm_test_cable.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;

namespace {
constexpr int kTransferLimitMs = 30000;

Image WithChannels(std::initializer_list<const char*> frequencies) {
  Image image = BlankImage();
  int n = 1;
  for (const char* rx : frequencies) (void)StoreChannel(image, n++, NewChannelFields(rx, 0), 0);
  return image;
}
}  // namespace

class SafetyTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  MDIForm1& Start(const QStringList& switches, const Image& radio = BlankImage(), EditingWindowFactories windows = {}) {
    StartRadio(radio, QStringList{"--log", m_dir.filePath("sim.log")} + switches);
    return StartMain({.windows = std::move(windows), .show = test::MainWindowStart::Show::Hidden});
  }

  bool Transfer(MDIForm1& w, const char* command) {
    QSignalSpy ended(&w, &MDIForm1::transferEnded);
    w.Dispatch(command);
    return ended.count() >= 1 || QTest::qWaitFor([&] { return ended.count() >= 1; }, kTransferLimitMs);
  }

 private slots:
  void cleanup() { StopMain(); }

  void writeIsVerifiedAndRetried() {
    MDIForm1& w = Start({"--store-wrong", "1"});
    QVERIFY(w.verifyAfterWrite());
    QVERIFY(w.tool("miVerifyWrite")->isChecked());
    w.memory().image() = WithChannels({"145.50000"});
    m_prompter->answers = {QMessageBox::Retry};
    QVERIFY(Transfer(w, "miWrite"));
    const QStringList texts = m_prompter->texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY2(
        texts[0].startsWith("The radio does not hold what was written:\nchannel 1 Rx Freq: 145.50000 -> 145.50001"),
        qPrintable(texts[0]));
    QCOMPARE(m_prompter->questions[0].buttons, QMessageBox::Retry | QMessageBox::Cancel);
    QCOMPARE(texts[1], QStringLiteral("Writing completed!\nThe radio was read back and holds every row written."));
    QVERIFY(!w.isTransferRunning());
  }

  void writeWithErrorsAsksFirst() {
    MDIForm1& w = Start({});
    Image bad = WithChannels({"145.50000"});
    bad[Address(1, 7)] = 0x04;  // Tx 45.50000 MHz
    w.memory().image() = bad;
    m_prompter->answers = {QMessageBox::No};
    w.Dispatch("miWrite");
    QVERIFY(!w.isTransferRunning());
    QCOMPARE(m_prompter->questions.size(), 1);
    const QString text = m_prompter->questions[0].text;
    QVERIFY2(text.contains("error: channel 1: Tx 45.50000 MHz is outside the radio's bands"), qPrintable(text));
    QVERIFY(text.endsWith("Write anyway?"));
    QCOMPARE(m_prompter->questions[0].defaultButton, QMessageBox::No);
    QCOMPARE(QFileInfo(m_dir.filePath("sim.log")).size(), 0);

    m_prompter->answers = {QMessageBox::Yes};
    QVERIFY(Transfer(w, "miWrite"));
    QVERIFY(m_prompter->texts().last().startsWith("Writing completed!"));
  }

  void readsAreKeptAndAFailureToldOnce() {
    MDIForm1& w = Start({}, WithChannels({"145.50000", "435.12500"}));
    QVERIFY(Transfer(w, "miRead"));
    QVERIFY(Transfer(w, "miRead"));
    const auto kept = ListBackups(w.backupFolder());
    QCOMPARE(kept.size(), std::size_t(1));
    QCOMPARE(ReadCodeplugFile(kept.front().path.string())->image, w.memory().image());

    // A folder that cannot be made: both Reads complete, one warning.
    w.setBackupFolder(m_dir.filePath("radio.tw/backups").toStdString());
    m_prompter->questions.clear();
    QVERIFY(Transfer(w, "miRead"));
    QVERIFY(Transfer(w, "miRead"));
    const QStringList texts = m_prompter->texts();
    QCOMPARE(texts.count("Reading completed!"), 2);
    QCOMPARE(texts.filter("The backup of this Read was not saved").size(), 1);

    // The list shows it, equal to what is open, and Compare shows nothing to tell.
    w.setBackupFolder(kept.front().path.parent_path());
    m_prompter->onDialog = [](QDialog& dialog) {
      auto& backups = static_cast<FrmBackups&>(dialog);
      if (backups.table()->rowCount() != 1) return int(QDialog::Rejected);
      if (backups.table()->item(0, 2)->text() != "2" || backups.table()->item(0, 3)->text() != "Yes")
        return int(QDialog::Rejected);
      backups.Choose(0, BackupChoice::Action::Compare);
      return int(QDialog::Accepted);
    };
    w.Dispatch("miBackups");
    QCOMPARE(m_prompter->dialogs, QStringList({"frmBackups"}));
    auto* compare = w.findChild<FrmCompare*>("frmCompare");
    QVERIFY(compare);
    QCOMPARE(compare->table()->rowCount(), 0);
  }

  // A double click on a channel's difference, or Enter on it, goes to it;
  // Enter leaves the window open.
  void compareOpensTheChannel_data() {
    QTest::addColumn<bool>("enter");
    QTest::newRow("double click") << false;
    QTest::newRow("Enter") << true;
  }
  void compareOpensTheChannel() {
    QFETCH(bool, enter);
    MDIForm1& w = Start({}, BlankImage(), RegisteredEditingWindows());
    w.memory().image() = WithChannels({"145.50000", "145.52500", "145.55000"});
    w.RefreshAll();
    Image other = w.memory().image();
    ChannelFields third = ReadChannel(other, 3, 0);
    third.rx = "146.00000";
    QVERIFY(StoreChannel(other, 3, third, 0).ok());
    const QString file = m_dir.filePath("other.tw");
    QVERIFY(WriteCodeplugFile(file.toStdString(), other).ok());
    m_prompter->openName = file;
    w.Dispatch("miCompare");
    auto* compare = w.findChild<FrmCompare*>("frmCompare");
    QVERIFY(compare);
    QTableWidget* table = compare->table();
    QVERIFY(table->rowCount() >= 1);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("channel 3 Rx Freq"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("145.55000"));
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("146.00000"));
    QVERIFY(test::ShowActive(*compare, QSize(640, 400)));
    QSignalSpy requested(compare, &FrmCompare::channelRequested);
    if (enter) {
      table->setFocus();
      table->setCurrentCell(0, 1);
      QTest::keyClick(table, Qt::Key_Return);
      QVERIFY(compare->isVisible());
    } else {
      const QRect cell = table->visualItemRect(table->item(0, 0));
      // As a mouse does it: the first click, then the second reported as a double-click.
      QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
      QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QCOMPARE(requested.count(), 1);
    QCOMPARE(requested.first().first().toInt(), 3);
    auto* channel = qobject_cast<FrmChannel*>(w.editingWindow(kWinChannel));
    QVERIFY(channel);
    QTRY_COMPARE(channel->grid()->currentIndex().row(), 3);
  }

  void cableTestAndLinkLog() {
    MDIForm1& w = Start({});
    m_prompter->onDialog = [](QDialog& dialog) {
      auto& test = static_cast<FrmTestCable&>(dialog);
      (void)QTest::qWaitFor([&] { return test.isDone(); }, kTransferLimitMs);
      return int(QDialog::Accepted);
    };
    w.Dispatch("miTestCable");
    QCOMPARE(m_prompter->dialogs, QStringList({"frmTestCable"}));
    const QString log = m_dir.filePath("link.log");
    m_prompter->saveName = log;
    w.Dispatch("miSaveLinkLog");
    const auto saved = ReadInputFile(log.toStdString(), InputKind::Document);
    QVERIFY(saved.ok());
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(saved->data()), qsizetype(saved->size()));
    QVERIFY2(text.contains("tx  48 69 4B 52 54 20 32 30") && text.contains("summary: the cable and the radio work"),
             qPrintable(text));

    // After a Read the log is the Read's.
    QVERIFY(Transfer(w, "miRead"));
    w.Dispatch("miSaveLinkLog");
    const auto read = ReadInputFile(log.toStdString(), InputKind::Document);
    QVERIFY(read.ok());
    const QString readText = QString::fromUtf8(reinterpret_cast<const char*>(read->data()), qsizetype(read->size()));
    QVERIFY(readText.startsWith("# Read\n"));
    QVERIFY(readText.trimmed().endsWith("completed"));
  }

  void writeChoicesAreRemembered_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("byDefault");
    QTest::newRow("verify after writing") << "miVerifyWrite" << true;
    QTest::newRow("back up the radio before writing") << "miBackupFirst" << false;
  }
  void writeChoicesAreRemembered() {
    QFETCH(QString, key);
    QFETCH(bool, byDefault);
    const auto chosen = [&key](const MDIForm1& w) {
      return key == "miVerifyWrite" ? w.verifyAfterWrite() : w.backupBeforeWrite();
    };
    MDIForm1& w = Start({});
    QCOMPARE(chosen(w), byDefault);
    QCOMPARE(w.tool(key)->isChecked(), byDefault);
    w.tool(key)->trigger();
    QCOMPARE(chosen(w), !byDefault);
    test::CloseQuietly(m_main);
    StartMain({.show = test::MainWindowStart::Show::Hidden});
    QCOMPARE(chosen(*m_main), !byDefault);
    QCOMPARE(m_main->tool(key)->isChecked(), !byDefault);
    m_main->tool(key)->trigger();
    QCOMPARE(chosen(*m_main), byDefault);
  }

  void backupFirstKeepsWhatTheRadioHeld_data() {
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("writes");
    QTest::addColumn<QString>("said");
    QTest::newRow("kept, then written") << QStringList() << QList<int>() << true << "Writing completed!";
    QTest::newRow("no answer: Cancel writes nothing")
        << QStringList({"--silent-after", "20"}) << QList<int>({QMessageBox::Cancel}) << false
        << "The radio could not be read before writing, so nothing was written to it.";
    QTest::newRow("another model writes nothing")
        << QStringList({"--ident", "XY123"}) << QList<int>() << false << "Model type is wrong.";
  }
  void backupFirstKeepsWhatTheRadioHeld() {
    QFETCH(QStringList, switches);
    QFETCH(QList<int>, answers);
    QFETCH(bool, writes);
    QFETCH(QString, said);
    const Image radio = WithChannels({"145.50000", "435.12500"});
    MDIForm1& w = Start(switches + QStringList({"--save", m_dir.filePath("saved.tw")}), radio);
    QFile::remove(m_dir.filePath("saved.tw"));
    w.setBackupFolder(m_dir.filePath(QTest::currentDataTag()).toStdString());
    w.tool("miBackupFirst")->trigger();
    w.memory().image() = WithChannels({"146.00000"});
    for (const int answer : answers) m_prompter->answers << QMessageBox::StandardButton(answer);
    QStringList shown;
    connect(w.progressBar(), &QProgressBar::valueChanged, &w, [&] { shown << w.progressBar()->text(); });
    QVERIFY(Transfer(w, "miWrite"));
    QVERIFY2(m_prompter->texts().last().startsWith(said), qPrintable(m_prompter->texts().join('|')));
    const auto kept = ListBackups(w.backupFolder());
    QCOMPARE(kept.size(), std::size_t(writes ? 1 : 0));
    QTRY_COMPARE(QFileInfo::exists(m_dir.filePath("saved.tw")), writes);
    w.tool("miBackupFirst")->trigger();  // off again for the next test
    if (!writes) return;
    QCOMPARE(kept.front().origin, (BackupOrigin{"TZ417", w.state().portDevice, BackupReason::BeforeWrite}));
    QVERIFY(DifferingRows(ReadCodeplugFile(kept.front().path.string())->image, radio).empty());
    QVERIFY2(shown.contains("Backing up the radio 73 of 73"), qPrintable(shown.join('|')));
    QVERIFY(shown.contains("Writing 1 of 285"));
  }
};

ORVEX_UI_TEST_MAIN(SafetyTest)
#include "safety_qtest.moc"
