#include "ui/main/transfer_controller.h"

#include <QMessageBox>
#include <QProgressBar>
#include <utility>

#include "app/job_messages.h"
#include "codeplug/backups.h"
#include "core/strings.h"
#include "link/clone_protocol.h"
#include "link/serial_access.h"
#include "ui/main/accessibility.h"
#include "ui/main/prompter.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {

constexpr int kBackupNotSaved = 10166;

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Information:
      return QMessageBox::Information;
    case MessageKind::Warning:
      return QMessageBox::Warning;
    case MessageKind::Critical:
      break;
  }
  return QMessageBox::Critical;
}

// The accepting and the refusing button of a box.
std::pair<QMessageBox::StandardButton, QMessageBox::StandardButton> ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return {QMessageBox::Ok, QMessageBox::NoButton};
    case MessageButtons::OkCancel:
      return {QMessageBox::Ok, QMessageBox::Cancel};
    case MessageButtons::YesNo:
      return {QMessageBox::Yes, QMessageBox::No};
    case MessageButtons::RetryCancel:
      break;
  }
  return {QMessageBox::Retry, QMessageBox::Cancel};
}

}  // namespace

TransferController::TransferController(TransferContext context, QObject* parent)
    : QObject(parent), m_context(std::move(context)), m_job(m_port, Callbacks()) {
  m_job.SetTrace(&m_context.trace);
}

TransferController::~TransferController() { Stop(); }

JobCallbacks TransferController::Callbacks() {
  JobCallbacks callbacks;
  callbacks.checkBeforeWrite = [this](const auto& findings) {
    return Show(CheckQuestion(findings, m_context.state.language));
  };
  callbacks.stageStarted = [this](TransferStage stage) { OnStageStarted(stage); };
  callbacks.progress = [this](TransferStage stage, int value, int maximum) {
    m_context.progress->setMaximum(maximum);
    m_context.progress->setFormat(QString::fromStdString(ProgressText(stage, value, m_context.state.language)));
    m_context.progress->setValue(value);
  };
  callbacks.keepBeforeWrite = [this](const Image& held) { return KeepBeforeWrite(held); };
  callbacks.retry = [this](const JobFailure&) { return Show(RetryQuestion(m_context.state.language)); };
  callbacks.writeAgain = [this](const std::vector<int>&) {
    return Show(WriteAgainQuestion(m_job.written(), m_job.image(), m_context.state.language));
  };
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

bool TransferController::Show(const JobMessage& message) {
  if (message.text.empty()) return true;
  const auto [accept, refuse] = ButtonsOf(message.buttons);
  const auto answer = m_context.prompter.ask(m_context.window, IconOf(message.kind), kProgramTitle,
                                             QString::fromStdString(message.text), accept | refuse,
                                             message.acceptByDefault ? accept : refuse);
  return answer == accept;
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
  const bool reading = end.outcome == JobOutcome::Completed && end.stage == TransferStage::Reading;
  if (end.outcome == JobOutcome::Completed) m_context.progress->setValue(m_context.progress->maximum());
  if (reading) CopyReadRows(m_job.image(), m_context.memory.image());
  std::string openHelp;
  if (end.outcome == JobOutcome::OpenFailed && IsPermissionText(end.reason))
    openHelp = SerialPermissionHelp(m_context.portName().toStdString(), m_context.state.language);
  Show(EndMessage(end, m_context.state.language, openHelp));
  if (reading) KeepBackup();
  if (end.outcome == JobOutcome::Stopped) return;
  // What the radio holds is the new baseline after a Read; a Write leaves the
  // question of unsaved changes as it was.  A port never opened changed
  // nothing on screen.
  Finish(end.outcome != JobOutcome::OpenFailed && end.outcome != JobOutcome::NotWritten, reading);
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
