// Printing the channels (to PDF files, read back with pdftotext) and the
// channel CSV commands of the File menu.
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QToolButton>
#include <memory>

#include "codeplug/file_io.h"
#include "core/preferences.h"
#include "core/strings.h"
#include "model/channel_test_util.h"
#include "model/channels/channel_csv.h"
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

bool IsPrintButton(const QWidget* widget) {
  const auto* button = qobject_cast<const QToolButton*>(widget);
  return button != nullptr && button->defaultAction() != nullptr &&
         button->defaultAction()->text() == QCoreApplication::translate("QPrintPreviewDialog", "Print");
}

// Answers the print dialog that opens next as a user printing to a file
// does: "Print to File (PDF)" in the printer list, the file name, Enter.  A
// dialog without that choice is cancelled.  The answer ends with `owner`.
void AnswerPrintDialogWithPdf(QObject* owner, const QString& path) {
  auto* timer = new QTimer(owner);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, path] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    const int pdf = printers != nullptr ? printers->findText(QPrintDialog::tr("Print to File (PDF)")) : -1;
    if (pdf < 0 || file == nullptr) {
      dialog->reject();
      return;
    }
    printers->setCurrentIndex(pdf);
    file->setText(path);
    QTest::keyClick(file, Qt::Key_Return);
  });
  timer->start(10);
}

QString PdfText(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class ChannelCommandsTest : public QObject, test::MainWindowFixture {
  Q_OBJECT

 private:
  FrmChannel* m_window = nullptr;

  void Start(const Image& image) {
    StartMain({.windows = {{kWinChannel, test::Factory<FrmChannel>()}},
               .image = image,
               .show = test::MainWindowStart::Show::Exposed});
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
  void cleanup() { StopMain(); }

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
    QTest::addColumn<QString>("readPort");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("pageOf");  // the last page's number
    QTest::newRow("English file") << 0 << QString() << QStringLiteral("File: Repeater.tw")
                                  << QStringLiteral("Page %1 of %1");
    QTest::newRow("Chinese file") << 1 << QString() << QStringLiteral("文件: Repeater.tw")
                                  << QStringLiteral("第 %1 页，共 %1 页");
    QTest::newRow("English read") << 0 << QStringLiteral("/dev/ttyUSB0")
                                  << QStringLiteral("Read from radio on /dev/ttyUSB0")
                                  << QStringLiteral("Page %1 of %1");
    QTest::newRow("Chinese read") << 1 << QStringLiteral("/dev/ttyUSB0") << QStringLiteral("读自电台（/dev/ttyUSB0）")
                                  << QStringLiteral("第 %1 页，共 %1 页");
  }
  void printToPdfHasEveryProgrammedChannel() {
    QFETCH(int, language);
    QFETCH(QString, readPort);
    QFETCH(QString, title);
    QFETCH(QString, pageOf);
    RequirePdfToText();
    const QString path = m_dir.filePath(QStringLiteral("channels%1.pdf").arg(QTest::currentDataTag()));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    const QDateTime when(QDate(2026, 12, 8), QTime(14, 5));
    const int pages =
        PrintChannels(printer, FullImage(), language, {QStringLiteral("/some/where/Repeater.tw"), when, readPort});
    QVERIFY(pages > 1);
    const QString text = PdfText(path);
    QVERIFY2(!text.isEmpty(), "pdftotext read nothing");
    // The title line on every page, the date the same in both languages.
    QCOMPARE(text.count(QStringLiteral("ORVEX")), pages);
    QCOMPARE(text.count(title), pages);
    QCOMPARE(text.count(QStringLiteral("2026-12-08 14:05")), pages);
    QVERIFY(!text.contains(QStringLiteral("/some/where")));
    QCOMPARE(text.contains(QStringLiteral("Repeater.tw")), readPort.isEmpty());
    // Every text of a row as typed, "Off" not turned into a ligature.
    const ChannelPrintTable table = ChannelPrintRows(FullImage(), language);
    for (const QString& cell : table.rows.front()) QVERIFY2(text.contains(cell), qPrintable(cell));
    for (int n = 1; n <= 128; ++n) {
      const QString rx = QString::fromStdString(FormatFreq(14000000 + static_cast<FreqUnits>(n) * 2500));
      QVERIFY2(text.contains(rx), qPrintable(rx));
      QVERIFY2(text.contains(QStringLiteral("C%1").arg(n)), qPrintable(QString::number(n)));
    }
    // Headings and caption in the language on every page, pages numbered.
    const QString rxHeading = QString::fromUtf8(orvex::Text(1121, language).data());
    QCOMPARE(text.count(rxHeading), pages);
    QCOMPARE(text.count(QString::fromUtf8(orvex::Text(1100, language).data())), pages);
    QVERIFY2(text.contains(pageOf.arg(pages)), qPrintable(pageOf.arg(pages)));
  }

  void printRangeAndEmptyImage() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir.filePath(QStringLiteral("range.pdf")));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 2);
    QCOMPARE(PrintChannels(printer, FullImage(), 0, {QStringLiteral("x.tw"), {}, {}}), 1);

    QPrinter blank(QPrinter::HighResolution);
    blank.setOutputFormat(QPrinter::PdfFormat);
    blank.setOutputFileName(m_dir.filePath(QStringLiteral("blank.pdf")));
    QCOMPARE(PrintChannels(blank, test::Blank(), 0, {QStringLiteral("x.tw"), {}, {}}), 1);
  }

  void printCommandPrintsTheOpenEditThroughTheDialog() {
    RequirePdfToText();
    Start(FullImage());
    OpenEdit(5, QStringLiteral("433.125"));
    const QString path = m_dir.filePath(QStringLiteral("command.pdf"));
    AnswerPrintDialogWithPdf(m_main.get(), path);
    m_prompter->onDialog = [](QDialog& dialog) { return dialog.exec(); };
    m_main->Dispatch("miPrint");
    QCOMPARE(m_prompter->dialogs, QStringList({"dlgPrint"}));
    QCOMPARE(m_prompter->texts(), QStringList());
    const QString text = PdfText(path);
    QVERIFY(text.contains(QStringLiteral("433.12500")));
    QVERIFY(text.contains(QStringLiteral("Untitled.tw")));
  }

  void printThatFailsIsSaid_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("toFile");
    QTest::addColumn<QString>("output");  // under the test folder
    QTest::addColumn<QString>("message");
    QTest::newRow("no such folder") << 0 << true << "missing/list.pdf"
                                    << "Could not print to %1.";
    QTest::newRow("a folder") << 0 << true << ""
                              << "Could not print to %1.";
    QTest::newRow("Chinese") << 1 << true << "missing/list.pdf"
                             << "无法打印到 %1。";
    QTest::newRow("no printer") << 0 << false << ""
                                << "No printer was chosen; nothing was printed.";
  }
  void printThatFailsIsSaid() {
    QFETCH(int, language);
    QFETCH(bool, toFile);
    QFETCH(QString, output);
    QFETCH(QString, message);
    Start(FullImage());
    if (language == 1) m_main->Dispatch("miChinese");
    const QString path = QDir::toNativeSeparators(m_dir.filePath(output));
    m_prompter->onDialog = [&](QDialog& dialog) {
      QPrinter* printer = static_cast<QPrintDialog&>(dialog).printer();
      printer->setOutputFormat(toFile ? QPrinter::PdfFormat : QPrinter::NativeFormat);
      if (toFile)
        printer->setOutputFileName(path);
      else
        printer->setPrinterName(QString());
      return int(QDialog::Accepted);
    };
    m_main->Dispatch("miPrint");
    QCOMPARE(m_prompter->texts(), QStringList({message.contains(QStringLiteral("%1")) ? message.arg(path) : message}));
    QCOMPARE(m_prompter->questions.first().icon, QMessageBox::Warning);
  }

  // Print Preview's Print from the keyboard: Ctrl+P, or Tab to it and Space;
  // Escape closes the preview having printed nothing.
  void previewPrintsFromTheKeyboard_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("prints");
    QTest::newRow("Ctrl+P") << "Ctrl+P" << true;
    QTest::newRow("Tab, Space") << "Tab" << true;
    QTest::newRow("Escape") << "Esc" << false;
  }
  void previewPrintsFromTheKeyboard() {
    QFETCH(QString, keys);
    QFETCH(bool, prints);
    RequirePdfToText();
    Start(FullImage());
    const QString path = m_dir.filePath(QStringLiteral("preview %1.pdf").arg(QTest::currentDataTag()));
    AnswerPrintDialogWithPdf(m_main.get(), path);
    m_prompter->onDialog = [&](QDialog& dialog) {
      QTimer::singleShot(0, &dialog, [&] {
        // As a window manager does: the preview takes the keyboard.
        dialog.activateWindow();
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }))
          qWarning("the preview never became active");
        if (keys == QStringLiteral("Tab")) {
          for (int tab = 0; tab < 20 && !IsPrintButton(QApplication::focusWidget()); ++tab)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
          QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        } else {
          QTest::keySequence(QApplication::focusWidget(), QKeySequence(keys));
        }
        // Whatever the keys did, the test goes on.
        if (dialog.isVisible()) dialog.reject();
      });
      return dialog.exec();
    };
    m_main->Dispatch("miPrintPreview");
    QCOMPARE(m_prompter->dialogs, QStringList({"dlgPrintPreview"}));
    QCOMPARE(QFileInfo::exists(path), prints);
    if (prints) QVERIFY(PdfText(path).contains(QStringLiteral("Page 1 of")));
    QCOMPARE(m_prompter->texts(), QStringList());
  }

  // After a Read the list is titled by the port until the codeplug is saved.
  void printAfterAReadNamesThePort() {
    RequirePdfToText();
    StartRadio(FullImage());
    Start(test::Blank());
    QSignalSpy ended(m_main.get(), &MDIForm1::transferEnded);
    m_main->Dispatch("miRead");
    QVERIFY(QTest::qWaitFor([&] { return ended.count() > 0; }, 30000));
    const auto printed = [&](const QString& name) {
      const QString path = m_dir.filePath(name);
      m_prompter->onDialog = [path](QDialog& dialog) {
        static_cast<QPrintDialog&>(dialog).printer()->setOutputFormat(QPrinter::PdfFormat);
        static_cast<QPrintDialog&>(dialog).printer()->setOutputFileName(path);
        return int(QDialog::Accepted);
      };
      m_main->Dispatch("miPrint");
      return PdfText(path);
    };
    QVERIFY(printed(QStringLiteral("read.pdf")).contains(QStringLiteral("Read from radio on ") + m_device));
    m_prompter->saveName = m_dir.filePath(QStringLiteral("Customer.tw"));
    m_main->Dispatch("miSave");
    const QString saved = printed(QStringLiteral("saved.pdf"));
    QVERIFY(saved.contains(QStringLiteral("File: Customer.tw")));
    QVERIFY(!saved.contains(QStringLiteral("Read from radio")));
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
