#include "app/programming_job.h"

#include <utility>

#include "link/clone_protocol.h"

namespace orvex {

ProgrammingJob::ProgrammingJob(ClonePort& port, JobCallbacks callbacks)
    : m_port(port), m_callbacks(std::move(callbacks)) {
  m_port.SetListener(this);
}

ProgrammingJob::~ProgrammingJob() {
  m_callbacks = {};
  m_interrupting = true;
  m_run.Cancel();
  m_port.Disarm();
  m_port.SetListener(nullptr);
}

bool ProgrammingJob::Start(const JobRequest& request) {
  if (m_running) return false;
  const bool writing = request.direction == CloneDirection::Write;
  if (writing && m_callbacks.checkBeforeWrite) {
    const auto findings = CheckCodeplug(request.image, request.language);
    if (!findings.empty() && !m_callbacks.checkBeforeWrite(findings)) return false;
  }
  m_request = request;
  m_written = request.image;
  m_running = true;
  m_attempt = 0;
  // Every outcome is decided from the event loop, so even a port that
  // cannot be opened reports after Start() has returned.
  Begin(!writing                                             ? TransferStage::Reading
        : request.backupFirst && m_callbacks.keepBeforeWrite ? TransferStage::BackingUp
                                                             : TransferStage::Writing);
  return true;
}

void ProgrammingJob::Begin(TransferStage stage) {
  m_stage = stage;
  if (stage == TransferStage::BackingUp)
    // Rows a Read does not fetch stay as a new codeplug has them.
    InitMemory(m_memory);
  else
    // A read-back keeps what was written in the rows a Read does not fetch,
    // so only the radio's rows can differ.
    m_memory.image() = stage == TransferStage::Reading ? m_request.image : m_written;
  if (m_callbacks.stageStarted) m_callbacks.stageStarted(stage);
  const CloneDirection direction = stage == TransferStage::Writing ? CloneDirection::Write : CloneDirection::Read;
  m_run.Start(direction, m_request.port, m_memory);
}

void ProgrammingJob::RunProgress(int value, int maximum) {
  if (m_callbacks.progress) m_callbacks.progress(m_stage, value, maximum);
}

void ProgrammingJob::RunIdentified() {
  if (m_callbacks.identified) m_callbacks.identified(m_stage);
}

void ProgrammingJob::RunEnded(CloneEnd end, const std::string& reason) {
  if (m_interrupting) return;
  // Decided on the next turn of the event loop, outside the port's own
  // notification and once the port is closed.
  m_runEnd = end;
  m_runReason = reason;
  m_pending = Pending::Decide;
  m_port.Arm(std::chrono::milliseconds{0});
}

void ProgrammingJob::PortTimer() {
  const Pending pending = std::exchange(m_pending, Pending::None);
  switch (pending) {
    case Pending::None:
      m_run.PortTimer();
      return;
    case Pending::Retry:
      Begin(m_stage);
      return;
    case Pending::Decide:
      Decide();
      return;
  }
}

void ProgrammingJob::Next(TransferStage stage) {
  m_attempt = 0;
  Begin(stage);
}

void ProgrammingJob::Decide() {
  switch (m_runEnd) {
    case CloneEnd::ModelMismatch:
      End(JobOutcome::ModelMismatch);
      return;
    case CloneEnd::OpenFailed:
      End(JobOutcome::OpenFailed, m_runReason);
      return;
    case CloneEnd::Failed: {
      const JobFailure failure{m_stage, m_runReason, m_attempt, m_request.retries};
      if (m_callbacks.retry)
        Ask(Question::Retry, [&] { return m_callbacks.retry(failure); });
      else
        Answered(Question::Retry, m_attempt < m_request.retries);
      return;
    }
    case CloneEnd::Completed:
      break;
  }
  if (m_callbacks.stageCompleted) m_callbacks.stageCompleted(m_stage);
  switch (m_stage) {
    case TransferStage::BackingUp: {
      m_answerLater = false;
      const Status kept = m_callbacks.keepBeforeWrite(m_memory.image());
      if (std::exchange(m_answerLater, false))
        m_waiting = Question::Keep;
      else if (!kept)
        End(JobOutcome::NotWritten, kept.error());
      else
        Next(TransferStage::Writing);
      return;
    }
    case TransferStage::Reading:
      End(JobOutcome::Completed);
      return;
    case TransferStage::Writing:
      if (m_request.verify)
        Next(TransferStage::Verifying);
      else
        End(JobOutcome::Completed);
      return;
    case TransferStage::Verifying: {
      m_differingRows = DifferingRows(m_memory.image(), m_written);
      if (m_differingRows.empty())
        End(JobOutcome::Completed);
      else if (m_callbacks.writeAgain)
        Ask(Question::WriteAgain, [this] { return m_callbacks.writeAgain(m_differingRows); });
      else
        Answered(Question::WriteAgain, false);
      return;
    }
  }
}

void ProgrammingJob::Ask(Question question, const std::function<bool()>& ask) {
  m_answerLater = false;
  const bool yes = ask();
  if (std::exchange(m_answerLater, false))
    m_waiting = question;
  else
    Answered(question, yes);
}

void ProgrammingJob::Answer(bool yes) {
  const Question question = std::exchange(m_waiting, Question::None);
  if (question != Question::None && m_running) Answered(question, yes);
}

void ProgrammingJob::Answered(Question question, bool yes) {
  if (question == Question::Keep) {
    // Nothing is written unless what the radio held was kept.
    if (yes)
      Next(TransferStage::Writing);
    else
      End(JobOutcome::NotWritten, {});
    return;
  }
  if (question == Question::WriteAgain) {
    if (yes)
      Next(TransferStage::Writing);
    else
      End(JobOutcome::Differences, {}, std::move(m_differingRows));
    return;
  }
  if (!yes) {
    End(JobOutcome::Failed, m_runReason);
    return;
  }
  ++m_attempt;
  m_pending = Pending::Retry;
  m_port.Arm(kRetrySettle);
}

void ProgrammingJob::End(JobOutcome outcome, std::string reason, std::vector<int> rows) {
  m_running = false;
  m_pending = Pending::None;
  m_waiting = Question::None;
  if (m_callbacks.finished) m_callbacks.finished(JobEnd{outcome, m_stage, std::move(reason), std::move(rows)});
}

void ProgrammingJob::Interrupt(JobOutcome outcome, const std::string& reason) {
  if (!m_running) return;
  m_interrupting = true;
  m_run.Cancel();
  m_interrupting = false;
  m_port.Disarm();
  End(outcome, reason);
}

void ProgrammingJob::Stop() { Interrupt(JobOutcome::Stopped, {}); }

void ProgrammingJob::Refuse(const std::string& reason) { Interrupt(JobOutcome::NotWritten, reason); }

void ProgrammingJob::SetWriteImage(const Image& image) {
  m_written = image;
  if (m_stage == TransferStage::Writing) m_run.SetWriteImage(image);
}

}  // namespace orvex
