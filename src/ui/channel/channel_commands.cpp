#include "ui/channel/channel_commands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "codeplug/file_io.h"
#include "model/channel_csv.h"
#include "model/step_names.h"
#include "ui/channel/channel_print.h"
#include "ui/main/mdi_form1.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {

constexpr int kCsvImportStep = 1649;
constexpr int kCsvFilter = 1042, kCsvImportTitle = 1043, kCsvHasErrors = 10004, kMoreErrors = 1114,
              kImportUsableRows = 1660, kCsvSummary = 1661, kSkippedRows = 1662, kAdjustedValues = 1663;
// How many error lines the message lists before "... and n more".
constexpr int kShownErrors = 8;
constexpr int kPrintFailed = 10240, kNoPrinter = 10241;
constexpr int kPreviewMargin = 40;  // pixels beside the preview's toolbar

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

// Prints the channels on `printer`; a printer that cannot print is said,
// in a message over `parent`.
void PrintOrTell(QPrinter& printer, MDIForm1& main, Prompter& prompter, QWidget* parent) {
  const AppState& state = main.state();
  const ChannelPrintHeader header{FromStd(state.fileName), QDateTime::currentDateTime(), main.readPort()};
  if (PrintChannels(printer, main.memory().image(), state.language, header, state.decimalSeparator) > 0) return;
  const QString target = printer.outputFormat() == QPrinter::PdfFormat
                             ? QDir::toNativeSeparators(printer.outputFileName())
                             : printer.printerName();
  prompter.tell(
      parent, QMessageBox::Warning, QString::fromLatin1(kProgramTitle),
      target.isEmpty() ? UiText(kNoPrinter, state.language) : UiText(kPrintFailed, state.language).arg(target));
}

// The preview's toolbar buttons take no focus: its Print gets Ctrl+P and a
// place in the Tab order (Space presses it); Escape closes the dialog as
// every dialog's does.
void KeepPrintInReach(QPrintPreviewDialog& dialog) {
  // Large enough to read a page, and never so narrow that Print is folded
  // away behind the toolbar's extension button.
  const QRect screen = dialog.screen()->availableGeometry();
  const auto* toolbar = dialog.findChild<QToolBar*>();
  const int toolbarWidth = toolbar != nullptr ? toolbar->sizeHint().width() : 0;
  dialog.resize(std::min(screen.width(), std::max(toolbarWidth + kPreviewMargin, screen.width() * 3 / 4)),
                screen.height() * 3 / 4);
  const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
  for (QAction* action : dialog.findChildren<QAction*>()) {
    if (action->text() != print) continue;
    action->setShortcut(QKeySequence::Print);
    action->setShortcutContext(Qt::WindowShortcut);
    for (QToolButton* button : dialog.findChildren<QToolButton*>())
      if (button->defaultAction() == action) button->setFocusPolicy(Qt::TabFocus);
  }
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

QStringList NoteLines(const std::vector<CsvLineNote>& notes) {
  QStringList lines;
  for (const auto& note : notes) lines << FromStd(NoteText(note));
  return lines;
}

// The summary line, then the skipped rows and the adjusted values.
QString ImportReport(const CsvImportReport& report, int language) {
  QString text = UiText(kCsvSummary, language)
                     .arg(report.imported)
                     .arg(report.replaced)
                     .arg(report.skipped.size())
                     .arg(report.adjusted);
  if (!report.skipped.empty())
    text += QStringLiteral("\n\n") + UiText(kSkippedRows, language) + QLatin1Char('\n') +
            ErrorList(NoteLines(report.skipped), language);
  if (!report.adjustments.empty())
    text += QStringLiteral("\n\n") + UiText(kAdjustedValues, language) + QLatin1Char('\n') +
            ErrorList(NoteLines(report.adjustments), language);
  return text;
}

}  // namespace

QString ErrorList(const std::string& errors, int language) {
  return ErrorList(FromStd(errors).split(QLatin1Char('\n'), Qt::SkipEmptyParts), language);
}

void PrintChannelsCommand(MDIForm1& main, Prompter& prompter) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrint(main, printer);
  QPrintDialog dialog(&printer, &main);
  dialog.setObjectName("dlgPrint");
  // Added to what the dialog offers: Print to File (PDF) stays a choice
  // beside the system's printers.
  dialog.setOptions(dialog.options() | QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                    QAbstractPrintDialog::PrintCollateCopies);
  if (prompter.exec(dialog) != QDialog::Accepted) return;
  PrintOrTell(printer, main, prompter, &main);
}

void PrintPreviewCommand(MDIForm1& main, Prompter& prompter) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrint(main, printer);
  QPrintPreviewDialog dialog(&printer, &main);
  dialog.setObjectName("dlgPrintPreview");
  dialog.setWindowTitle(UiText(1006, main.state().language));
  KeepPrintInReach(dialog);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                   [&main, &prompter, &dialog](QPrinter* target) { PrintOrTell(*target, main, prompter, &dialog); });
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
  const auto rows = ReadChannelsCsv(csv);
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
      bad << QStringLiteral("line %1: ").arg(row.line) + problems.join(QStringLiteral("; "));
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
  const CsvImportReport report = ApplyChannelsCsv(image, *rows, false);
  main.EditImage(TextStep(kCsvImportStep), [&](Image& target) { target = image; });
  prompter.tell(&main,
                report.skipped.empty() && report.adjustments.empty() ? QMessageBox::Information : QMessageBox::Warning,
                title, ImportReport(report, language));
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
