// Printing the channels (to PDF files, read back with pdftotext) and the
// channel CSV commands of the File menu.
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <memory>

#include "codeplug/file_io.h"
#include "core/preferences.h"
#include "core/strings.h"
#include "model/channel_csv.h"
#include "model/channel_test_util.h"
#include "ui/channel/channel_grid.h"
#include "ui/channel/channel_print.h"
#include "ui/channel/frm_channel.h"
#include "ui/main/mdi_form1.h"
#include "ui/main/report_dialog.h"
#include "ui_test_support.h"

using namespace orvex;
using orvex::test::PutChannel;
using orvex::test::RawChannel;
using orvex::test::ScriptedPrompter;

namespace {

// Every channel programmed, each with its own frequency and name.
Image FullImage() {
  Image image = test::Blank();
  for (int n = 1; n <= 128; ++n) {
    RawChannel channel;
    channel.rx = 14000000 + static_cast<FreqUnits>(n) * 2500;
    channel.tx = channel.rx;
    channel.name = "C" + std::to_string(n);
    PutChannel(image, n, channel);
  }
  return image;
}

QString PdfText(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class ChannelCommandsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ScriptedPrompter> m_prompter;
  std::unique_ptr<MDIForm1> m_main;
  FrmChannel* m_window = nullptr;
  QTemporaryDir m_dir;

  void Start(const Image& image) {
    m_prompter = std::make_unique<ScriptedPrompter>();
    EditingWindowFactories windows{
        {kWinChannel, [](const EditingContext& context) { return new FrmChannel(context); }}};
    m_main = std::make_unique<MDIForm1>(m_prompter.get(), windows);
    test::LoadImage(*m_main, image);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    m_window = qobject_cast<FrmChannel*>(m_main->editingWindow(kWinChannel));
    QVERIFY(m_window != nullptr);
    m_reports.clear();
    m_prompter->onDialog = [this](QDialog& dialog) {
      if (auto* report = qobject_cast<ReportDialog*>(&dialog)) m_reports << report->textView()->toPlainText();
      return int(QDialog::Rejected);
    };
  }
  QStringList m_reports;  // the texts of the report dialogs shown
  // An Rx edit left open in the grid.
  void OpenEdit(int row, const QString& typed) {
    ChannelGrid* grid = m_window->grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(row, kColRx));
    QTest::keyClicks(grid, typed.left(1));
    QTest::keyClicks(grid->textEditor(), typed.mid(1));
    QVERIFY(grid->isEditing());
  }
  QString WriteFile(const QString& name, const QByteArray& content) {
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write a test file");
    file.write(content);
    return path;
  }
  static void RequirePdfToText() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
      QSKIP("pdftotext (poppler-utils) is not installed; the printed text cannot be read back");
  }

 private slots:
  void init() { WriteLanguagePreference(0); }
  void cleanup() { test::CloseQuietly(m_main); }

  void printRowsAreTheVisibleColumnsOfProgrammedChannels() {
    Image image = test::Blank();
    PutChannel(image, 3, RawChannel{});
    PutChannel(image, 90, RawChannel{});
    const ChannelPrintTable table = ChannelPrintRows(image, 0);
    QCOMPARE(table.columns, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14}));
    QCOMPARE(table.headings.first(), QStringLiteral("CH."));
    QCOMPARE(table.rows.size(), std::size_t(2));
    QCOMPARE(table.rows[1].first(), QStringLiteral("90"));
    QCOMPARE(table.rows[1][1], QStringLiteral("145.50000"));
  }

  void printToPdfHasEveryProgrammedChannel_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 0;
    QTest::newRow("Chinese") << 1;
  }
  void printToPdfHasEveryProgrammedChannel() {
    QFETCH(int, language);
    RequirePdfToText();
    const QString path = m_dir.filePath(QStringLiteral("channels%1.pdf").arg(language));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    const int pages = PrintChannels(printer, FullImage(), language,
                                    {QStringLiteral("/some/where/Repeater.tw"), QDateTime::currentDateTime()});
    QVERIFY(pages > 1);
    const QString text = PdfText(path);
    QVERIFY2(!text.isEmpty(), "pdftotext read nothing");
    QVERIFY(text.contains(QStringLiteral("ORVEX")));
    QVERIFY(text.contains(QStringLiteral("Repeater.tw")));
    QVERIFY(!text.contains(QStringLiteral("/some/where")));
    for (int n = 1; n <= 128; ++n) {
      const QString rx = QString::fromStdString(FormatFreq(14000000 + static_cast<FreqUnits>(n) * 2500));
      QVERIFY2(text.contains(rx), qPrintable(rx));
      QVERIFY2(text.contains(QStringLiteral("C%1").arg(n)), qPrintable(QString::number(n)));
    }
    // Headings repeated on every page, pages numbered.
    const QString rxHeading = QString::fromUtf8(orvex::Text(1121, language).data());
    QCOMPARE(text.count(rxHeading), pages);
    if (language == 0) {
      QVERIFY(text.contains(QStringLiteral("Page 1 of %1").arg(pages)));
      QVERIFY(text.contains(QStringLiteral("Page %1 of %1").arg(pages)));
      QVERIFY(text.contains(QStringLiteral("File: Repeater.tw")));
    }
  }

  void printRangeAndEmptyImage() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir.filePath(QStringLiteral("range.pdf")));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 2);
    QCOMPARE(PrintChannels(printer, FullImage(), 0, {QStringLiteral("x.tw"), {}}), 1);

    QPrinter blank(QPrinter::HighResolution);
    blank.setOutputFormat(QPrinter::PdfFormat);
    blank.setOutputFileName(m_dir.filePath(QStringLiteral("blank.pdf")));
    QCOMPARE(PrintChannels(blank, test::Blank(), 0, {QStringLiteral("x.tw"), {}}), 1);
  }

  void printCommandPrintsTheOpenEditThroughTheDialog() {
    RequirePdfToText();
    Start(FullImage());
    OpenEdit(5, QStringLiteral("433.125"));
    const QString path = m_dir.filePath(QStringLiteral("command.pdf"));
    m_prompter->onDialog = [&](QDialog& dialog) {
      auto* print = qobject_cast<QPrintDialog*>(&dialog);
      if (print == nullptr) return int(QDialog::Rejected);
      // What choosing "Print to File (PDF)" in the dialog sets.
      print->printer()->setOutputFormat(QPrinter::PdfFormat);
      print->printer()->setOutputFileName(path);
      return int(QDialog::Accepted);
    };
    m_main->Dispatch("miPrint");
    QCOMPARE(m_prompter->dialogs, QStringList({"dlgPrint"}));
    const QString text = PdfText(path);
    QVERIFY(text.contains(QStringLiteral("433.12500")));
    QVERIFY(text.contains(QStringLiteral("Untitled.tw")));
  }

  void printCancelledPrintsNothing() {
    Start(FullImage());
    m_main->Dispatch("miPrint");
    QCOMPARE(m_prompter->dialogs, QStringList({"dlgPrint"}));
    m_main->Dispatch("miPrintPreview");
    QCOMPARE(m_prompter->dialogs, QStringList({"dlgPrint", "dlgPrintPreview"}));
  }

  void csvImportWithErrorsChangesNothing() {
    Start(FullImage());
    OpenEdit(1, QStringLiteral("150"));
    const QByteArray csv = QByteArray(kChannelCsvHeader.data(), qsizetype(kChannelCsvHeader.size())) +
                           "\r\n"
                           "2,NEW,146.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,,,,,,\r\n"
                           "200,BAD,146.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,,,,,,\r\n"
                           "4,BAD,abc,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,,,,,,\r\n";
    m_prompter->openName = WriteFile(QStringLiteral("bad.csv"), csv);
    m_main->Dispatch("miImportCsv");
    // The open edit was stored first; the CSV changed nothing after that.
    QCOMPARE(m_main->memory().image()[Address(1, 3)], std::uint8_t(0x15));
    QCOMPARE(m_main->memory().image()[Address(1, 2)], std::uint8_t(0x00));
    QCOMPARE(m_prompter->questions.size(), 1);
    const QString message = m_prompter->questions.first().text;
    QVERIFY(message.startsWith(QStringLiteral("The CSV file has errors; nothing was changed.")));
    QVERIFY2(message.contains(QStringLiteral("line 3")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("line 4")), qPrintable(message));
    QCOMPARE(m_prompter->questions.first().title, QStringLiteral("CSV Import"));
    QCOMPARE(m_prompter->offers, QStringList({"Import the 1 usable rows"}));
    QCOMPARE(m_window->table().Cell(2, kColName), std::string("C2    "));
  }

  void csvImportTheUsableRows() {
    Start(FullImage());
    const QByteArray csv = "Location,Name,Frequency\n2,NEW,146.000000\n3,OLD,600\n4,Far away,146.0031\n";
    m_prompter->openName = WriteFile(QStringLiteral("mixed.csv"), csv);
    m_prompter->answers << QMessageBox::Yes;
    m_main->Dispatch("miImportCsv");
    QCOMPARE(m_window->table().Cell(2, kColName), std::string("NEW   "));
    QCOMPARE(m_window->table().Cell(3, kColName), std::string("C3    "));
    QCOMPARE(m_window->table().Cell(4, kColRx), std::string("146.00000"));
    QCOMPARE(m_prompter->questions.size(), 1);
    QCOMPARE(m_reports.size(), 1);
    const QString report = m_reports.last();
    QVERIFY2(report.startsWith(QStringLiteral("Channels imported: 2, replaced: 2, skipped: 1, adjusted: 1\n")),
             qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("line 3: Frequency \"600\" is outside")), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("line 4: 146.0031 MHz stored as 146.00000")), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("line 4: name \"Far away\" cut")), qPrintable(report));
  }

  void csvImportRefreshesTheGrid() {
    Start(test::Blank());
    const QByteArray csv = QByteArray(kChannelCsvHeader.data(), qsizetype(kChannelCsvHeader.size())) +
                           "\r\n7,NEW,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,,,,,,\r\n";
    m_prompter->openName = WriteFile(QStringLiteral("good.csv"), csv);
    m_main->Dispatch("miImportCsv");
    QCOMPARE(m_reports, QStringList({"Channels imported: 1, replaced: 0, skipped: 0, adjusted: 0"}));
    QCOMPARE(m_window->table().Cell(7, kColRx), std::string("146.52000"));
    QCOMPARE(m_window->table().Cell(7, kColName), std::string("NEW   "));
    QVERIFY(m_main->memory().IsModified());
  }

  // A long report is there in full: the dialog's Copy and Save take every
  // line, not the first few.
  void csvImportReportIsCopiedAndSavedInFull() {
    Start(test::Blank());
    QByteArray csv = "Location,Name,Frequency\n";
    for (int n = 1; n <= 40; ++n) csv += QByteArray::number(n) + ",Name!" + QByteArray::number(n) + ",146.0031\n";
    m_prompter->openName = WriteFile(QStringLiteral("long.csv"), csv);
    m_prompter->saveName = m_dir.filePath(QStringLiteral("report.txt"));
    QString shown;
    m_prompter->onDialog = [&](QDialog& dialog) {
      auto* report = qobject_cast<ReportDialog*>(&dialog);
      if (report == nullptr) return int(QDialog::Rejected);
      shown = report->textView()->toPlainText();
      report->CopyAll();
      report->Save();
      return int(QDialog::Rejected);
    };
    m_main->Dispatch("miImportCsv");
    QVERIFY2(shown.contains(QStringLiteral("line 41: 146.0031 MHz stored as 146.00000")), qPrintable(shown));
    QVERIFY(!shown.contains(QStringLiteral("more")));
    QCOMPARE(QGuiApplication::clipboard()->text(), shown);
    const Result<orvex::Bytes> saved = ReadInputFile(LocalPath(m_prompter->saveName), InputKind::Document);
    QVERIFY(saved.ok());
    QCOMPARE(QString::fromUtf8(QByteArray(reinterpret_cast<const char*>(saved->data()), qsizetype(saved->size()))),
             shown + QLatin1Char('\n'));
  }

  void csvImportCancelledAndUnreadable() {
    Start(FullImage());
    m_main->Dispatch("miImportCsv");
    QVERIFY(m_prompter->questions.isEmpty());
    m_prompter->openName = m_dir.filePath(QStringLiteral("missing.csv"));
    m_main->Dispatch("miImportCsv");
    QCOMPARE(m_prompter->questions.size(), 1);
    QCOMPARE(m_main->memory().image(), FullImage());
  }

  void csvImportOffersRenumbering_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("names");  // channels 1..3 afterwards
    const QByteArray zeroBased = "Location,Name,Frequency\n0,A,146.0\n1,B,146.1\n2,C,146.2\n";
    QTest::newRow("counted from 0, renumbered") << zeroBased << int(QMessageBox::Yes) << QStringList{"A", "B", "C"};
    QTest::newRow("cancelled, nothing changes")
        << zeroBased << int(QMessageBox::Cancel) << QStringList{"C1", "C2", "C3"};
    QTest::newRow("past the last channel, renumbered")
        << QByteArray("Location,Name,Frequency\n130,A,146.0\n129,B,146.1\n") << int(QMessageBox::Yes)
        << QStringList{"A", "B", "C3"};
  }
  void csvImportOffersRenumbering() {
    QFETCH(QByteArray, csv);
    QFETCH(int, answer);
    QFETCH(QStringList, names);
    Start(FullImage());
    m_prompter->openName = WriteFile(QStringLiteral("chirp.csv"), csv);
    m_prompter->answers << QMessageBox::StandardButton(answer);
    m_main->Dispatch("miImportCsv");
    QVERIFY2(m_prompter->questions.first().text.contains("Renumber from channel 1?"),
             qPrintable(m_prompter->questions.first().text));
    for (int n = 1; n <= 3; ++n)
      QCOMPARE(QString::fromStdString(m_window->table().Cell(n, kColName)).trimmed(), names[n - 1]);
  }

  void jsonImportIsOneUndoStep() {
    Start(FullImage());
    m_prompter->openName = WriteFile(QStringLiteral("bad.json"), R"({"channels": [{"number": 1, "name": "TWO"},,]})");
    m_main->Dispatch("miImportJson");
    QCOMPARE(m_prompter->questions.size(), 1);
    const QString refused = m_prompter->questions.first().text;
    QVERIFY2(refused.startsWith("The JSON codeplug cannot be used; nothing was changed:\n\nbad.json:1:"),
             qPrintable(refused));
    QCOMPARE(m_main->memory().image(), FullImage());

    m_prompter->openName =
        WriteFile(QStringLiteral("edit.json"),
                  R"({"options": {"ani_code": "222222"}, "channels": [{"number": 1, "name": "TWO"}]})");
    m_main->Dispatch("miImportJson");
    QCOMPARE(m_window->table().Cell(1, kColName), std::string("TWO   "));
    QCOMPARE(m_main->tool("miUndo")->text(), QStringLiteral("&Undo JSON codeplug import"));
    m_main->Dispatch("miUndo");
    QCOMPARE(m_main->memory().image(), FullImage());
  }

  void csvExportWritesWhatTheGridHolds() {
    Start(FullImage());
    OpenEdit(9, QStringLiteral("439"));
    m_prompter->saveName = m_dir.filePath(QStringLiteral("out.csv"));
    m_main->Dispatch("miExportCsv");
    QCOMPARE(m_prompter->proposedNames.size(), 1);
    QVERIFY(m_prompter->proposedNames.first().endsWith(QStringLiteral("Untitled.csv")));
    const Result<orvex::Bytes> written = ReadInputFile(LocalPath(m_prompter->saveName), InputKind::Document);
    QVERIFY(written.ok());
    const std::string csv = ExportChannelsCsv(m_main->memory().image());
    QCOMPARE(std::string(written->begin(), written->end()), csv);
    QVERIFY(csv.find("439.000000") != std::string::npos);
  }
};

ORVEX_UI_TEST_MAIN(ChannelCommandsTest)
#include "channel_commands_qtest.moc"
