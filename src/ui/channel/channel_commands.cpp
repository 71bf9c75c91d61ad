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

#include "app/codeplug_session.h"
#include "codeplug/file_io.h"
#include "model/channels/channel_csv.h"
#include "model/channels/channel_import_messages.h"
#include "model/document/json_document.h"
#include "ui/channel/channel_print.h"
#include "ui/main/prompter.h"
#include "ui/main/report_dialog.h"
#include "ui/main/ui_text.h"
#include "ui/main/window_context.h"

namespace orvex {

namespace {

constexpr int kCsvFilter = 1042, kCsvImportTitle = 1043, kImportUsableRows = 1660;
constexpr int kJsonFilter = 1901, kJsonImportTitle = 1902;
constexpr int kPrintFailed = 10240, kNoPrinter = 10241;
constexpr int kPreviewMargin = 40;  // pixels beside the preview's toolbar

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// Stores every window (the grid's open edit included) and sets the printer
// up for the channel table.
void PreparePrint(CommandContext& main, QPrinter& printer) {
  main.SaveAll();
  const AppState& state = main.state();
  // The table is wider than it is tall.
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setDocName(QFileInfo(FromStd(state.fileName)).completeBaseName());
}

// Prints the channels on `printer`; a printer that cannot print is said,
// in a message over `parent`.
void PrintOrTell(QPrinter& printer, CommandContext& main, Prompter& prompter, QWidget* parent) {
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

// A document the user chose to import, read whole.
struct ChosenFile {
  QString path;
  Bytes bytes;
  std::string_view text() const { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }
};

// Stores every window (an open edit included), then the open dialog and the
// read; nullopt when cancelled or unreadable (said under `title`).
std::optional<ChosenFile> ChosenDocument(CommandContext& main, Prompter& prompter, int filter, const QString& title) {
  main.SaveAll();
  const QString path = prompter.openFileName(main.frame(), UiText(filter, main.state().language));
  if (path.isEmpty()) return std::nullopt;
  Result<Bytes> bytes = ReadInputFile(LocalPath(path), InputKind::Document);
  if (!bytes) {
    prompter.tell(main.frame(), QMessageBox::Warning, title, path + QStringLiteral(": ") + FromStd(bytes.error()));
    return std::nullopt;
  }
  return ChosenFile{path, std::move(*bytes)};
}

// Locations counted from 0, past the last channel or given twice, where
// every row would be taken in file order from channel 1: offers that, as
// `import --renumber` does.  False when the user cancels the import.
bool OfferRenumbering(CommandContext& main, Prompter& prompter, std::string_view csv,
                      Result<std::vector<CsvChannelRow>>& rows) {
  const int language = main.state().language;
  auto offer = OfferRenumbering(csv, rows, language);
  if (!offer) return true;
  const auto answer =
      prompter.ask(main.frame(), QMessageBox::Question, UiText(kCsvImportTitle, language), FromStd(offer->question),
                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (answer == QMessageBox::Yes) rows = std::move(offer->rows);
  return answer != QMessageBox::Cancel;
}

}  // namespace

QString ErrorList(const std::string& errors, int language) { return FromStd(ShownErrors(errors, language)); }

void PrintChannelsCommand(CommandContext& main) {
  Prompter& prompter = main.prompter();
  QPrinter printer(QPrinter::HighResolution);
  PreparePrint(main, printer);
  QPrintDialog dialog(&printer, main.frame());
  dialog.setObjectName("dlgPrint");
  // Added to what the dialog offers: Print to File (PDF) stays a choice
  // beside the system's printers.
  dialog.setOptions(dialog.options() | QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                    QAbstractPrintDialog::PrintCollateCopies);
  if (prompter.exec(dialog) != QDialog::Accepted) return;
  PrintOrTell(printer, main, prompter, main.frame());
}

void PrintPreviewCommand(CommandContext& main) {
  Prompter& prompter = main.prompter();
  QPrinter printer(QPrinter::HighResolution);
  PreparePrint(main, printer);
  QPrintPreviewDialog dialog(&printer, main.frame());
  dialog.setObjectName("dlgPrintPreview");
  dialog.setWindowTitle(UiText(1006, main.state().language));
  KeepPrintInReach(dialog);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                   [&main, &prompter, &dialog](QPrinter* target) { PrintOrTell(*target, main, prompter, &dialog); });
  prompter.exec(dialog);
}

void ImportChannelsCsvCommand(CommandContext& main) {
  Prompter& prompter = main.prompter();
  // The CSV lands on what the grid shows, and the refresh below reloads it.
  const int language = main.state().language;
  const QString title = UiText(kCsvImportTitle, language);
  const auto file = ChosenDocument(main, prompter, kCsvFilter, title);
  if (!file) return;
  const std::string_view csv = file->text();
  auto rows = ReadChannelsCsv(csv, 0, language);
  if (!OfferRenumbering(main, prompter, csv, rows)) return;
  if (!rows) {
    prompter.tell(main.frame(), QMessageBox::Warning, title, FromStd(CsvErrorsMessage(rows.error(), language)));
    return;
  }
  const std::string bad = UnusableRowsText(*rows, language);
  const std::size_t usable = UsableRows(*rows);
  if (!bad.empty()) {
    const QString message = FromStd(CsvErrorsMessage(bad, language));
    if (usable == 0) {
      prompter.tell(main.frame(), QMessageBox::Warning, title, message);
      return;
    }
    if (!prompter.offer(main.frame(), QMessageBox::Warning, title, message,
                        UiText(kImportUsableRows, language).arg(usable)))
      return;
  }
  const CsvImportReport report = main.session().ImportChannels(*rows, language);
  ShowReport(prompter, main.frame(), title, FromStd(ImportReportText(report, language)), language);
}

void ImportCodeplugJsonCommand(CommandContext& main) {
  Prompter& prompter = main.prompter();
  // What the windows hold is what the document lands on.
  const int language = main.state().language;
  const QString title = UiText(kJsonImportTitle, language);
  const auto file = ChosenDocument(main, prompter, kJsonFilter, title);
  if (!file) return;
  const auto imported =
      ImportJsonCodeplug(main.memory().image(), file->text(), QFileInfo(file->path).fileName().toStdString(), language);
  if (!imported) {
    prompter.tell(main.frame(), QMessageBox::Warning, title, FromStd(JsonRefusedMessage(imported.error(), language)));
    return;
  }
  main.session().ImportCodeplug(*imported);
}

void ExportChannelsCsvCommand(CommandContext& main) {
  Prompter& prompter = main.prompter();
  main.SaveAll();
  const AppState& state = main.state();
  const QFileInfo current(FromStd(state.fileName));
  const QString proposed = current.dir().filePath(current.completeBaseName() + QStringLiteral(".csv"));
  const QString path = prompter.saveFileName(main.frame(), proposed, UiText(kCsvFilter, state.language));
  if (path.isEmpty()) return;
  const std::string csv = ExportChannelsCsv(main.memory().image());
  if (const Status written = WriteWholeFile(LocalPath(path), Bytes(csv.begin(), csv.end())); !written) {
    prompter.tell(main.frame(), QMessageBox::Warning, QString::fromLatin1(kProgramTitle),
                  path + QStringLiteral(": ") + FromStd(written.error()));
  }
}

}  // namespace orvex
