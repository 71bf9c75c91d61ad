#include "ui/channel/channel_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "codeplug/file_io.h"
#include "model/channel_csv.h"
#include "model/step_names.h"
#include "ui/channel/channel_print.h"
#include "ui/main/mdi_form1.h"
#include "ui/main/report_dialog.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {

constexpr int kCsvImportStep = 1649;
constexpr int kCsvFilter = 1042, kCsvImportTitle = 1043, kCsvHasErrors = 10004, kMoreErrors = 1114,
              kImportUsableRows = 1660, kCsvSummary = 1661, kSkippedRows = 1662, kAdjustedValues = 1663;
// How many error lines the message lists before "... and n more".
constexpr int kShownErrors = 8;

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// Stores every window (the grid's open edit included) and sets the printer
// up for the channel table.
void PreparePrint(MDIForm1& main, QPrinter& printer) {
  main.SaveAll();
  const AppState& state = main.state();
  // The table is wider than it is tall.
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setDocName(QFileInfo(FromStd(state.fileName)).completeBaseName());
}

int Print(QPrinter& printer, MDIForm1& main) {
  const AppState& state = main.state();
  return PrintChannels(printer, main.memory().image(), state.language,
                       ChannelPrintHeader{FromStd(state.fileName), QDateTime::currentDateTime()},
                       state.decimalSeparator);
}

QString ErrorList(const QStringList& all, int language) {
  QStringList lines = all;
  const qsizetype more = lines.size() - kShownErrors;
  if (more > 0) {
    lines = lines.mid(0, kShownErrors);
    lines << UiText(kMoreErrors, language).arg(more);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString ErrorList(const std::string& errors, int language) {
  return ErrorList(FromStd(errors).split(QLatin1Char('\n'), Qt::SkipEmptyParts), language);
}

QString ImportReportText(const CsvImportReport& report, int language) {
  QString text = UiText(kCsvSummary, language)
                     .arg(report.imported)
                     .arg(report.replaced)
                     .arg(report.skipped.size())
                     .arg(report.adjusted);
  const auto section = [&](int heading, const std::vector<CsvLineNote>& notes) {
    if (notes.empty()) return;
    text += QStringLiteral("\n\n") + UiText(heading, language);
    for (const auto& note : notes) text += QLatin1Char('\n') + FromStd(NoteText(note, language));
  };
  section(kSkippedRows, report.skipped);
  section(kAdjustedValues, report.adjustments);
  // The check's findings read "line N: error: ..." on their own.
  if (!report.findings.empty()) {
    text += QLatin1Char('\n');
    for (const auto& note : report.findings) text += QLatin1Char('\n') + FromStd(NoteText(note, language));
  }
  return text;
}

void PrintChannelsCommand(MDIForm1& main, Prompter& prompter) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrint(main, printer);
  QPrintDialog dialog(&printer, &main);
  dialog.setObjectName("dlgPrint");
  dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCollateCopies);
  if (prompter.exec(dialog) != QDialog::Accepted) return;
  Print(printer, main);
}

void PrintPreviewCommand(MDIForm1& main, Prompter& prompter) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrint(main, printer);
  QPrintPreviewDialog dialog(&printer, &main);
  dialog.setObjectName("dlgPrintPreview");
  dialog.setWindowTitle(UiText(1006, main.state().language));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                   [&main](QPrinter* target) { Print(*target, main); });
  prompter.exec(dialog);
}

void ImportChannelsCsvCommand(MDIForm1& main, Prompter& prompter) {
  // The CSV lands on what the grid shows, and the refresh below reloads it.
  main.SaveAll();
  const int language = main.state().language;
  const QString title = UiText(kCsvImportTitle, language);
  const QString path = prompter.openFileName(&main, UiText(kCsvFilter, language));
  if (path.isEmpty()) return;
  const Result<Bytes> bytes = ReadInputFile(LocalPath(path), InputKind::Document);
  if (!bytes) {
    prompter.tell(&main, QMessageBox::Warning, title, path + QStringLiteral(": ") + FromStd(bytes.error()));
    return;
  }
  const std::string_view csv(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  const auto rows = ReadChannelsCsv(csv, 0, language);
  if (!rows) {
    prompter.tell(&main, QMessageBox::Warning, title,
                  UiText(kCsvHasErrors, language) + QStringLiteral("\n\n") + ErrorList(rows.error(), language));
    return;
  }
  QStringList bad;
  for (const auto& row : *rows)
    if (!row.usable()) {
      QStringList problems;
      for (const auto& problem : row.problems) problems << FromStd(problem);
      bad << FromStd(NoteText({row.line, problems.join(QStringLiteral("; ")).toStdString()}, language));
    }
  const auto usable = std::count_if(rows->begin(), rows->end(), [](const CsvChannelRow& row) { return row.usable(); });
  if (!bad.isEmpty()) {
    const QString message = UiText(kCsvHasErrors, language) + QStringLiteral("\n\n") + ErrorList(bad, language);
    if (usable == 0) {
      prompter.tell(&main, QMessageBox::Warning, title, message);
      return;
    }
    if (!prompter.offer(&main, QMessageBox::Warning, title, message, UiText(kImportUsableRows, language).arg(usable)))
      return;
  }
  Image image = main.memory().image();
  const CsvImportReport report = ApplyChannelsCsv(image, *rows, false, language);
  main.EditImage(TextStep(kCsvImportStep), [&](Image& target) { target = image; });
  ShowReport(prompter, &main, title, ImportReportText(report, language), language);
}

void ExportChannelsCsvCommand(MDIForm1& main, Prompter& prompter) {
  main.SaveAll();
  const AppState& state = main.state();
  const QFileInfo current(FromStd(state.fileName));
  const QString proposed = current.dir().filePath(current.completeBaseName() + QStringLiteral(".csv"));
  const QString path = prompter.saveFileName(&main, proposed, UiText(kCsvFilter, state.language));
  if (path.isEmpty()) return;
  const std::string csv = ExportChannelsCsv(main.memory().image());
  if (const Status written = WriteWholeFile(LocalPath(path), Bytes(csv.begin(), csv.end())); !written) {
    prompter.tell(&main, QMessageBox::Warning, QString::fromLatin1(kProgramTitle),
                  path + QStringLiteral(": ") + FromStd(written.error()));
  }
}

}  // namespace orvex
