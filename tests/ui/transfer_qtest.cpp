// Read and Write from the main window against the virtual radio on a
// pseudo-terminal, through the real serial driver.
#include <QAction>
#include <QFileInfo>
#include <QProgressBar>
#include <QSignalSpy>

#include "codeplug/file_io.h"
#include "ui/main/mdi_form1.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::ScriptedPrompter;

namespace {
constexpr int kTransferLimitMs = 30000;

// Rows the radio reads and writes: channels, VFOs, settings, names, signalling.
bool IsWrittenRow(std::size_t row) {
  return (row >= 1 && row <= 130) || (row >= 226 && row <= 229) || (row >= 257 && row <= 386) ||
         (row >= 453 && row <= 473);
}

// An image with a recognisable byte in every row.
Image RadioImage() {
  Image image = BlankImage();
  for (std::size_t row = 1; row < kRowCount; ++row) image[Address(row, 5)] = std::uint8_t(row & 0x7F);
  return image;
}
}  // namespace

class TransferTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  QList<int> m_maximums;
  QStringList m_texts;  // what the bar said at each step

  // Starts the radio with extra switches and a main window using it.
  MDIForm1& Start(const QStringList& switches) {
    StartRadio(RadioImage(), QStringList{"--save", m_dir.filePath("saved.tw")} + switches);
    StartMain({.show = test::MainWindowStart::Show::Hidden});
    m_maximums.clear();
    m_texts.clear();
    connect(m_main->progressBar(), &QProgressBar::valueChanged, this, [this] {
      m_maximums << m_main->progressBar()->maximum();
      if (m_main->progressBar()->isTextVisible()) m_texts << m_main->progressBar()->text();
    });
    return *m_main;
  }

  bool WaitForEnd(MDIForm1& w, int ends = 1) {
    QSignalSpy ended(&w, &MDIForm1::transferEnded);
    return ended.count() >= ends || QTest::qWaitFor([&] { return ended.count() >= ends; }, kTransferLimitMs);
  }

 private slots:
  void cleanup() { StopMain(); }

  void readFromTheRadio() {
    MDIForm1& w = Start({});
    w.memory()[0x0000] = 0x99;                // row 0 is never transferred
    m_prompter->answers = {QMessageBox::No};  // unsaved: go on without saving
    w.Dispatch("miRead");
    QCOMPARE(m_prompter->texts(), QStringList({"File has been modified, save it now?"}));
    m_prompter->questions.clear();
    QVERIFY(w.isTransferRunning());
    QVERIFY(!w.tool("miRead")->isEnabled());
    QVERIFY(!w.tool("miWrite")->isEnabled());
    // A second command while the transfer runs is refused.
    w.Dispatch("miWrite");
    QCOMPARE(w.state().cloneDirection, CloneDirection::Read);
    QVERIFY(WaitForEnd(w));
    QCOMPARE(m_prompter->texts(), QStringList({"Reading completed!"}));
    QCOMPARE(m_prompter->questions.first().icon, QMessageBox::Information);
    QVERIFY(m_maximums.contains(80));
    QVERIFY(!m_maximums.contains(300));
    QVERIFY2(m_texts.contains("Reading 34 of 73") && m_texts.last() == "Reading 73 of 73",
             qPrintable(m_texts.join('|')));
    QCOMPARE(w.progressBar()->value(), 0);
    QVERIFY(!w.progressBar()->isTextVisible());
    // The title names the radio until the codeplug is saved.
    QCOMPARE(w.windowTitle(), "ORVEX - TZ417 on " + m_device + " [*]");
    QCOMPARE(w.readPort(), m_device);
    m_prompter->saveName = m_dir.filePath("customer.tw");
    w.Dispatch("miSave");
    QCOMPARE(w.windowTitle(), QStringLiteral("ORVEX - customer.tw [*]"));
    const Image radio = RadioImage();
    for (std::size_t row = 1; row <= 473; ++row) {
      const bool read = IsWrittenRow(row) || row == 131 || row == 132 || row == 387 || row == 388;
      if (read) QCOMPARE(int(w.memory().at(row, 5)), int(radio[Address(row, 5)]));
    }
    QCOMPARE(w.memory()[0x0000], std::uint8_t(0x99));
    QVERIFY(!w.memory().IsModified());  // what was read is the new baseline
    QVERIFY(w.tool("miRead")->isEnabled());
  }

  // In Chinese the title names the radio and the port in Chinese.
  void readInChineseNamesTheRadioInChinese() {
    MDIForm1& w = Start({});
    w.Dispatch("miChinese");
    w.Dispatch("miRead");
    QVERIFY(WaitForEnd(w));
    QCOMPARE(w.windowTitle(), "ORVEX - " + m_device + QStringLiteral(" 上的 TZ417 [*]"));
  }

  void readAsksBeforeReplacingUnsavedEdits_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveName");
    QTest::addColumn<bool>("reads");
    QTest::newRow("cancel stays") << int(QMessageBox::Cancel) << QString() << false;
    QTest::newRow("yes, save dialog cancelled") << int(QMessageBox::Yes) << QString() << false;
    QTest::newRow("yes saves, then reads") << int(QMessageBox::Yes) << "kept.tw" << true;
  }
  void readAsksBeforeReplacingUnsavedEdits() {
    QFETCH(int, answer);
    QFETCH(QString, saveName);
    QFETCH(bool, reads);
    MDIForm1& w = Start({});
    w.memory()[Address(7, 3)] = 0x21;
    const Image edited = w.memory().image();
    m_prompter->answers = {QMessageBox::StandardButton(answer)};
    if (!saveName.isEmpty()) m_prompter->saveName = m_dir.filePath(saveName);
    w.Dispatch("miRead");
    QCOMPARE(m_prompter->texts(), QStringList({"File has been modified, save it now?"}));
    QCOMPARE(m_prompter->questions.first().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(w.isTransferRunning(), reads);
    if (!reads) {
      QCOMPARE(w.memory().image(), edited);
      return;
    }
    const auto saved = ReadCodeplugFile(m_prompter->saveName.toStdString());
    QVERIFY(saved && saved->image == edited);
    QVERIFY(WaitForEnd(w));
  }

  void writeToTheRadio() {
    MDIForm1& w = Start({});
    w.memory().image() = BlankImage();
    w.memory()[Address(7, 3)] = 0x21;
    w.Dispatch("miWrite");
    QCOMPARE(w.state().cloneDirection, CloneDirection::Write);
    QVERIFY(WaitForEnd(w));
    // Verify after writing is on unless the user turned it off.
    QCOMPARE(m_prompter->texts(),
             QStringList({"Writing completed!\nThe radio was read back and holds every row written."}));
    QVERIFY(m_maximums.contains(300));
    for (const char* text : {"Writing 120 of 285", "Writing 285 of 285", "Verifying 12 of 73"})
      QVERIFY2(m_texts.contains(text), text);
    QCOMPARE(w.progressBar()->value(), 0);
    // A Write names no radio in the title: the codeplug is still the user's.
    QVERIFY(w.readPort().isEmpty());
    // A Write is not a save: the change still counts as unsaved.
    QVERIFY(w.memory().IsModified());
    QTRY_VERIFY(QFileInfo::exists(m_dir.filePath("saved.tw")));
    const auto saved = ReadCodeplugFile(m_dir.filePath("saved.tw").toStdString());
    QVERIFY(saved && saved->check == CodeplugCheck::Ok);
    for (std::size_t row = 0; row < kRowCount; ++row) {
      if (!IsWrittenRow(row)) continue;
      for (std::size_t column = 0; column < kRowSize; ++column) {
        QCOMPARE(int(saved->image[Address(row, column)]), int(w.memory().at(row, column)));
      }
    }
  }

  void retryStartsANewTransferAndCancelChangesNothing() {
    MDIForm1& w = Start({"--silent-after", "20"});
    const Image before = w.memory().image();
    m_prompter->answers = {QMessageBox::Retry, QMessageBox::Cancel};
    w.Dispatch("miRead");
    QVERIFY(WaitForEnd(w));
    QCOMPARE(m_prompter->texts(),
             QStringList({"Check Connection. Retry or Cancel?", "Check Connection. Retry or Cancel?"}));
    QCOMPARE(m_prompter->questions.first().buttons, QMessageBox::Retry | QMessageBox::Cancel);
    QCOMPARE(m_prompter->questions.first().icon, QMessageBox::Critical);
    QCOMPARE(w.memory().image(), before);
    QVERIFY(!w.memory().IsModified());
    QCOMPARE(w.progressBar()->value(), 0);
    QVERIFY(w.tool("miRead")->isEnabled());
  }

  void anotherModelIsReported() {
    MDIForm1& w = Start({"--ident", "XY123"});
    const Image before = w.memory().image();
    w.Dispatch("miRead");
    QVERIFY(WaitForEnd(w));
    QCOMPARE(m_prompter->texts(), QStringList({"Model type is wrong."}));
    QCOMPARE(w.memory().image(), before);
  }

  void aPortThatCannotBeOpenedShowsTheSystemText() {
    MDIForm1& w = Start({});
    w.state().portDevice = m_dir.filePath("no-such-port").toStdString();
    w.Dispatch("miRead");
    QVERIFY(WaitForEnd(w));
    QCOMPARE(m_prompter->questions.size(), 1);
    QCOMPARE(m_prompter->questions.first().icon, QMessageBox::Warning);
    QVERIFY(!m_prompter->questions.first().text.isEmpty());
    QCOMPARE(w.progressBar()->value(), 0);
    // The right port afterwards works normally.
    w.state().portDevice = m_device.toStdString();
    w.Dispatch("miRead");
    QVERIFY(WaitForEnd(w));
    QCOMPARE(m_prompter->texts().last(), QStringLiteral("Reading completed!"));
  }
};

ORVEX_UI_TEST_MAIN(TransferTest)
#include "transfer_qtest.moc"
