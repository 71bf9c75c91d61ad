// The main window's commands around the radio link: File > Backups...,
// File > Compare With..., Program > Test Cable... and Help > Save Link Log...
#include <QTableView>
#include <QTimer>

#include "codeplug/backups.h"
#include "codeplug/file_io.h"
#include "model/channels/channel_record.h"
#include "ui/main/editing_window.h"
#include "ui/main/ui_text.h"
#include "ui/main/window_context.h"
#include "ui/safety/frm_backups.h"
#include "ui/safety/frm_compare.h"
#include "ui/safety/frm_test_cable.h"

namespace orvex {

namespace {

constexpr int kNoLinkLog = 10167;
constexpr int kIncorrectFile = 10001;

void ShowChannel(CommandContext& w, int channel) {
  w.SaveAll();
  w.OpenEditingWindow(kWinChannel);
  EditingWindow* window = w.editingWindow(kWinChannel);
  // The channel grid's model rows are the channel numbers.
  auto* grid = window ? window->findChild<QTableView*>() : nullptr;
  if (!grid) return;
  // A window opened just now places its current cell when it is first
  // shown; the channel is chosen after that.
  QTimer::singleShot(0, grid, [grid, channel] {
    const QModelIndex cell = grid->model()->index(channel, kColRx);
    grid->setCurrentIndex(cell);
    grid->scrollTo(cell, QAbstractItemView::PositionAtCenter);
    grid->setFocus();
  });
}

void ShowComparison(CommandContext& w, Prompter& prompter, const QString& path) {
  const auto parsed = ReadCodeplugFile(path.toStdString());
  if (!parsed || parsed->check != CodeplugCheck::Ok) {
    prompter.tell(w.frame(), QMessageBox::Warning, kProgramTitle,
                  parsed ? UiText(kIncorrectFile, w.state().language) : QString::fromStdString(parsed.error()));
    return;
  }
  // What the windows hold counts, not only what they stored last.
  w.SaveAll();
  auto* window = new FrmCompare(DiffCodeplugs(w.memory().image(), parsed->image), path, w.state().language, w.frame());
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowFlag(Qt::Window);
  QObject::connect(window, &FrmCompare::channelRequested, w.frame(), [&w](int channel) { ShowChannel(w, channel); });
  window->show();
}

void BackupsCommand(CommandContext& w) {
  Prompter& prompter = w.prompter();
  w.SaveAll();
  FrmBackups dialog(ListBackups(w.backupFolder()), w.memory().image(), w.state().language, w.frame());
  if (prompter.exec(dialog) != QDialog::Accepted) return;
  const BackupChoice choice = dialog.choice();
  if (choice.action == BackupChoice::Action::Open) w.OpenFileAfterAsking(choice.path);
  if (choice.action == BackupChoice::Action::Compare) ShowComparison(w, prompter, choice.path);
}

void CompareCommand(CommandContext& w) {
  Prompter& prompter = w.prompter();
  const QString path = prompter.openFileName(w.frame(), DialogFilter(kFileFilter));
  if (!path.isEmpty()) ShowComparison(w, prompter, path);
}

void TestCableCommand(CommandContext& w) {
  Prompter& prompter = w.prompter();
  if (w.isTransferRunning()) return;  // the port is busy with the transfer
  FrmTestCable dialog(w.PortName(), w.portsAtStart(), w.state().language, w.frame());
  prompter.exec(dialog);
  if (dialog.isDone()) w.linkTrace() = dialog.trace();
}

void SaveLinkLogCommand(CommandContext& w) {
  Prompter& prompter = w.prompter();
  if (w.linkTrace().empty()) {
    prompter.tell(w.frame(), QMessageBox::Information, kProgramTitle, UiText(kNoLinkLog, w.state().language));
    return;
  }
  const QString path =
      prompter.saveFileName(w.frame(), QStringLiteral("orvex-link-log.txt"), QStringLiteral("Text files (*.txt)"));
  if (path.isEmpty()) return;
  const std::string text = w.linkTrace().Text();
  if (auto written = WriteWholeFile(path.toStdString(), Bytes(text.begin(), text.end())); !written)
    prompter.tell(w.frame(), QMessageBox::Warning, kProgramTitle, QString::fromStdString(written.error()));
}

const MainCommandRegistration kCommands[] = {
    {"miBackups", &BackupsCommand},
    {"miCompare", &CompareCommand},
    {"miTestCable", &TestCableCommand},
    {"miSaveLinkLog", &SaveLinkLogCommand},
};

}  // namespace

}  // namespace orvex
