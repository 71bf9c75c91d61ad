#include "ui/main/transfer_controller.h"

#include <QMessageBox>
#include <QProgressBar>

#include "codeplug/backups.h"
#include "core/strings.h"
#include "link/clone_protocol.h"
#include "link/serial_access.h"
#include "model/document/codeplug_diff.h"
#include "ui/main/accessibility.h"
#include "ui/main/prompter.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {

constexpr int kCheckErrors = 10160;
constexpr int kWriteAnyway = 10161;
constexpr int kCheckWarnings = 10162;
constexpr int kVerified = 10163;
constexpr int kVerifyDiffers = 10164;
constexpr int kWriteAgain = 10165;
constexpr int kBackupNotSaved = 10166;
constexpr int kNotReadFirst = 10320, kNotBackedUp = 10321;
// A message box grows past the screen with hundreds of lines.
constexpr int kMaxListedLines = 30;

QString Listed(const std::vector<std::string>& lines) {
  QString text;
  const int shown = std::min<int>(kMaxListedLines, static_cast<int>(lines.size()));
  for (int i = 0; i < shown; ++i)
    text += QStringLiteral("\n") + QString::fromStdString(lines[static_cast<std::size_t>(i)]);
  if (static_cast<int>(lines.size()) > shown) text += QStringLiteral("\n... (%1 more)").arg(lines.size() - shown);
  return text;
}

}  // namespace

TransferController::TransferController(TransferContext context, QObject* parent)
    : QObject(parent), m_context(std::move(context)), m_job(m_port, Callbacks()) {
  m_job.SetTrace(&m_context.trace);
}

TransferController::~TransferController() { Stop(); }

JobCallbacks TransferController::Callbacks() {
  JobCallbacks callbacks;
  callbacks.checkBeforeWrite = [this](const auto& findings) { return ConfirmWriteCheck(findings); };
  callbacks.stageStarted = [this](TransferStage stage) { OnStageStarted(stage); };
  callbacks.progress = [this](TransferStage stage, int value, int maximum) {
    m_context.progress->setMaximum(maximum);
    m_context.progress->setFormat(QString::fromStdString(ProgressText(stage, value, m_context.state.language)));
    m_context.progress->setValue(value);
  };
  callbacks.keepBeforeWrite = [this](const Image& held) { return KeepBeforeWrite(held); };
  callbacks.retry = [this](const JobFailure&) { return AskRetry(); };
  callbacks.writeAgain = [this](const std::vector<int>&) { return AskWriteAgain(); };
  callbacks.finished = [this](const JobEnd& end) { OnFinished(end); };
  return callbacks;
}

void TransferController::Read() { Start(CloneDirection::Read, "Read"); }

void TransferController::Write() { Start(CloneDirection::Write, "Write"); }

void TransferController::Start(CloneDirection direction, const char* traceTitle) {
  if (m_job.running()) return;  // refused: the commands are disabled meanwhile
  JobRequest request;
  request.direction = direction;
  request.port = m_context.portName().toStdString();
  request.image = m_context.memory.image();
  request.verify = m_context.verifyAfterWrite();
  // A customer's old setup is kept before it is overwritten.
  request.backupFirst = m_context.backupFirst();
  request.language = m_context.state.language;
  // A Write the check stops leaves the last trace as it was.
  const LinkTrace last = m_context.trace;
  m_context.trace.Begin(traceTitle);
  if (!m_job.Start(request)) {
    m_context.trace = last;
    return;
  }
  emit runningChanged(true);
}

void TransferController::OnStageStarted(TransferStage stage) {
  if (stage == TransferStage::Reading) m_context.state.cloneDirection = CloneDirection::Read;
  if (stage == TransferStage::Writing) m_context.state.cloneDirection = CloneDirection::Write;
  QProgressBar* progress = m_context.progress;
  progress->setMaximum(ProgressMaximum(stage == TransferStage::Writing ? CloneDirection::Write : CloneDirection::Read));
  progress->setValue(0);
  progress->setFormat(QString::fromStdString(ProgressText(stage, 0, m_context.state.language)));
  progress->setTextVisible(true);
  if (stage != TransferStage::Verifying) Announce(progress, progress->format());
}

bool TransferController::ConfirmWriteCheck(const std::vector<CheckFinding>& findings) {
  const int language = m_context.state.language;
  std::vector<std::string> lines;
  for (const auto& finding : findings) lines.push_back(FindingLine(finding, language));
  if (HasErrors(findings)) {
    const auto answer = m_context.prompter.ask(
        m_context.window, QMessageBox::Warning, kProgramTitle,
        UiText(kCheckErrors, language) + Listed(lines) + QStringLiteral("\n\n") + UiText(kWriteAnyway, language),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
  }
  const auto answer = m_context.prompter.ask(m_context.window, QMessageBox::Information, kProgramTitle,
                                             UiText(kCheckWarnings, language) + Listed(lines),
                                             QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
  return answer == QMessageBox::Ok;
}

bool TransferController::AskRetry() {
  const auto answer = m_context.prompter.ask(m_context.window, QMessageBox::Critical, kProgramTitle,
                                             UiText(CloneMessages::kCheckConnection, m_context.state.language),
                                             QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry);
  return answer == QMessageBox::Retry;
}

bool TransferController::AskWriteAgain() {
  const int language = m_context.state.language;
  const CodeplugDiff diff = DiffRows(m_job.written(), m_job.image(), WritePlanRows());
  const auto answer = m_context.prompter.ask(m_context.window, QMessageBox::Critical, kProgramTitle,
                                             UiText(kVerifyDiffers, language) + Listed(DiffLines(diff)) +
                                                 QStringLiteral("\n\n") + UiText(kWriteAgain, language),
                                             QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry);
  return answer == QMessageBox::Retry;
}

Status TransferController::KeepBeforeWrite(const Image& held) {
  const auto saved = SaveBackup(held, m_context.backupFolder(),
                                {RadioModelName(), m_context.portName().toStdString(), BackupReason::BeforeWrite});
  if (!saved) return Fail(saved.error());
  return Ok{};
}

void TransferController::KeepBackup() {
  const auto saved = SaveBackup(m_context.memory.image(), m_context.backupFolder(),
                                {RadioModelName(), m_context.portName().toStdString(), BackupReason::Read});
  if (saved || m_backupFailureShown) return;
  // Said once per session: a full disk stays full, and every Read still works.
  m_backupFailureShown = true;
  m_context.prompter.tell(m_context.window, QMessageBox::Warning, kProgramTitle,
                          UiText(kBackupNotSaved, m_context.state.language) + QString::fromStdString(saved.error()));
}

void TransferController::OnFinished(const JobEnd& end) {
  if (m_stopping) return;
  const int language = m_context.state.language;
  Prompter& prompter = m_context.prompter;
  QWidget* window = m_context.window;
  // A Write that never started because the radio could not be read first.
  const QString notWritten =
      end.stage == TransferStage::BackingUp ? QStringLiteral("\n\n") + UiText(kNotReadFirst, language) : QString();
  switch (end.outcome) {
    case JobOutcome::Completed: {
      m_context.progress->setValue(m_context.progress->maximum());
      if (end.stage == TransferStage::Verifying) {
        prompter.tell(
            window, QMessageBox::Information, kProgramTitle,
            UiText(CloneMessages::kWritingCompleted, language) + QStringLiteral("\n") + UiText(kVerified, language));
        Finish(true);
        return;
      }
      const bool reading = end.stage == TransferStage::Reading;
      if (reading) CopyReadRows(m_job.image(), m_context.memory.image());
      prompter.tell(window, QMessageBox::Information, kProgramTitle,
                    UiText(reading ? CloneMessages::kReadingCompleted : CloneMessages::kWritingCompleted, language));
      if (reading) KeepBackup();
      // What the radio holds is the new baseline; a Write leaves the
      // question of unsaved changes as it was.
      Finish(true, reading);
      return;
    }
    case JobOutcome::ModelMismatch:
      prompter.tell(window, QMessageBox::Critical, kProgramTitle,
                    UiText(CloneMessages::kModelWrong, language) + notWritten);
      Finish(true);
      return;
    case JobOutcome::OpenFailed: {
      QString text = QString::fromStdString(end.reason);
      if (IsPermissionText(end.reason)) {
        const std::string help = SerialPermissionHelp(m_context.portName().toStdString(), language);
        if (!help.empty()) text += QStringLiteral("\n\n") + QString::fromStdString(help);
      }
      prompter.tell(window, QMessageBox::Warning, kProgramTitle, text + notWritten);
      Finish(false);
      return;
    }
    case JobOutcome::NotWritten:
      prompter.tell(window, QMessageBox::Warning, kProgramTitle,
                    UiText(kNotBackedUp, language) + QString::fromStdString(end.reason));
      Finish(false);
      return;
    case JobOutcome::Failed:
      if (!notWritten.isEmpty()) prompter.tell(window, QMessageBox::Warning, kProgramTitle, notWritten.trimmed());
      Finish(true);
      return;
    case JobOutcome::Differences:
      Finish(true);
      return;
    case JobOutcome::Stopped:
      return;
  }
}

void TransferController::Finish(bool refresh, bool newBaseline) {
  m_context.progress->setValue(0);
  m_context.progress->setTextVisible(false);
  emit runningChanged(false);
  emit ended(refresh, newBaseline);
}

void TransferController::Stop() {
  // Nothing is shown or changed for a transfer ended by shutting down.
  m_stopping = true;
  m_job.Stop();
  m_stopping = false;
}

}  // namespace orvex
