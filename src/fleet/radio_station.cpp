#include "fleet/radio_station.h"

#include "codeplug/backups.h"
#include "core/strings.h"
#include "link/clone_protocol.h"

namespace orvex {

QString OutcomeText(const RadioReport& report, int language) {
  static constexpr int kFirstOutcome = 1765;  // in RadioOutcome order
  const auto text = Text(kFirstOutcome + static_cast<int>(report.outcome), language);
  QString outcome = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (report.outcome == RadioOutcome::Differences) outcome = outcome.arg(report.differences);
  constexpr int kReadingBack = 1857, kReadingBeforeWrite = 1903;
  QString detail = report.detail;
  if (report.readingBack || report.readingBeforeWrite)
    detail = QString::fromStdString(
        TextOf(report.readingBack ? kReadingBack : kReadingBeforeWrite, language, {report.detail.toStdString()}));
  if (!detail.isEmpty()) outcome += QStringLiteral(" (%1)").arg(detail);
  return outcome;
}

std::function<Status(const QString& port, const Image& held)> KeepBackupsBeforeWrite(std::filesystem::path folder) {
  return [folder = std::move(folder)](const QString& port, const Image& held) -> Status {
    if (auto kept = SaveBackup(held, folder, {RadioModelName(), port.toStdString(), BackupReason::BeforeWrite}); !kept)
      return Fail(kept.error());
    return Ok{};
  };
}

QString SecondsText(qint64 milliseconds) {
  return QStringLiteral("%1 s").arg(static_cast<double>(milliseconds) / 1000.0, 0, 'f', 1);
}

bool Succeeded(RadioOutcome outcome) {
  return outcome == RadioOutcome::Verified || outcome == RadioOutcome::Written || outcome == RadioOutcome::Read;
}

RadioStation::RadioStation(QString port, const FleetJob& job, QObject* parent)
    : QObject(parent), m_port(std::move(port)), m_job(job), m_programming(m_line, callbacks()) {
  m_pollTimer.setSingleShot(true);
  connect(&m_pollTimer, &QTimer::timeout, this, &RadioStation::poll);
}

JobCallbacks RadioStation::callbacks() {
  JobCallbacks callbacks;
  callbacks.progress = [this](TransferStage stage, int value, int) { onProgress(stage, value); };
  callbacks.identified = [this](TransferStage stage) { onIdentified(stage); };
  callbacks.keepBeforeWrite = [this](const Image& held) { return m_job.keepBeforeWrite(m_port, held); };
  callbacks.retry = [this](const JobFailure& failure) {
    // A watching station that has not heard a radio waits for one instead.
    if (m_phase == Phase::Probing || (m_watching && !m_present)) return false;
    return failure.attempt < failure.retries;
  };
  callbacks.finished = [this](const JobEnd& end) { onFinished(end); };
  return callbacks;
}

bool RadioStation::backupFirst() const {
  return m_job.direction == CloneDirection::Write && static_cast<bool>(m_job.keepBeforeWrite);
}

JobRequest RadioStation::request() const {
  JobRequest request;
  request.direction = m_job.direction;
  request.port = m_port.toStdString();
  request.image = m_job.image;
  request.verify = m_job.verify;
  request.backupFirst = backupFirst();
  request.retries = m_job.retries;
  return request;
}

int RadioStation::progressMaximum() const {
  const bool writing = m_job.direction == CloneDirection::Write;
  return ProgressMaximum(m_job.direction) + (writing && m_job.verify ? ProgressMaximum(CloneDirection::Read) : 0) +
         (backupFirst() ? ProgressMaximum(CloneDirection::Read) : 0);
}

void RadioStation::onProgress(TransferStage stage, int value) {
  if (m_phase != Phase::Busy) return;
  const int before = backupFirst() ? ProgressMaximum(CloneDirection::Read) : 0;
  const int done = stage == TransferStage::Verifying   ? before + ProgressMaximum(CloneDirection::Write)
                   : stage == TransferStage::BackingUp ? 0
                                                       : before;
  // A watching station shows progress only once a radio has answered.
  if (stage == TransferStage::Verifying || m_present || !m_watching) emit progress(done + value, progressMaximum());
}

void RadioStation::start() {
  m_watching = false;
  m_bound = false;
  m_clock.start();
  emit radioStarted();
  begin();
}

void RadioStation::watch() {
  m_watching = true;
  m_phase = Phase::Waiting;
  poll();
}

void RadioStation::stop() {
  m_watching = false;
  m_pollTimer.stop();
  // A running job ends as Stopped and is reported so; a probe or a wait
  // ends quietly.
  if (m_phase != Phase::Busy) m_phase = Phase::Idle;
  m_programming.Stop();
}

void RadioStation::poll() {
  if (!m_watching) return;
  if (m_phase == Phase::Served) {
    // A probe is a Write stopped once the radio has said who it is.
    m_phase = Phase::Probing;
    m_present = false;
    JobRequest probe = request();
    probe.direction = CloneDirection::Write;
    probe.verify = probe.backupFirst = false;
    probe.retries = 0;
    m_programming.Start(probe);
    return;
  }
  // Waiting: a Write that finds no radio fails quietly and is tried again.
  m_bound = false;
  m_present = false;
  m_clock.start();
  begin();
}

void RadioStation::begin() {
  m_phase = Phase::Busy;
  m_programming.Start(request());
}

void RadioStation::onIdentified(TransferStage stage) {
  if (m_phase == Phase::Probing) {
    m_present = true;
    m_programming.Stop();
    return;
  }
  if (m_phase != Phase::Busy || stage == TransferStage::Verifying) return;
  if (m_watching && !m_present) emit radioStarted();
  m_present = true;
  if (stage != TransferStage::Writing || m_bound) return;
  m_bound = true;
  if (!m_job.imageFor) return;
  auto image = m_job.imageFor(m_port);
  if (!image) {
    m_programming.Refuse(image.error());
    return;
  }
  m_programming.SetWriteImage(*image);
}

void RadioStation::onFinished(const JobEnd& end) {
  if (m_phase == Phase::Probing) {
    // Stopped once the radio answered, so it is still there; otherwise it
    // has gone and the next one is awaited.
    m_present = m_present || end.outcome == JobOutcome::ModelMismatch;
    m_phase = m_present ? Phase::Served : Phase::Waiting;
    m_pollTimer.start(kWatchPoll);
    return;
  }
  if (m_phase != Phase::Busy) return;  // stopped while waiting
  switch (end.outcome) {
    case JobOutcome::Completed:
      report(end.stage == TransferStage::Reading     ? RadioOutcome::Read
             : end.stage == TransferStage::Verifying ? RadioOutcome::Verified
                                                     : RadioOutcome::Written,
             end.stage);
      return;
    case JobOutcome::Differences:
      report(RadioOutcome::Differences, end.stage, {}, static_cast<int>(end.differingRows.size()));
      return;
    case JobOutcome::ModelMismatch:
      if (m_watching && !m_present) emit radioStarted();
      m_present = true;
      report(RadioOutcome::ModelWrong, end.stage);
      return;
    case JobOutcome::Failed:
    case JobOutcome::OpenFailed:
      if (m_watching && !m_present) {
        m_phase = Phase::Waiting;
        m_pollTimer.start(kWatchPoll);
        return;
      }
      report(end.outcome == JobOutcome::Failed ? RadioOutcome::NoAnswer : RadioOutcome::PortFailed, end.stage,
             end.reason);
      return;
    case JobOutcome::NotWritten:
      report(RadioOutcome::NotWritten, end.stage, end.reason);
      return;
    case JobOutcome::Stopped:
      report(RadioOutcome::Stopped, end.stage);
      return;
  }
}

void RadioStation::report(RadioOutcome outcome, TransferStage stage, const std::string& detail, int differences) {
  RadioReport result;
  result.port = m_port;
  result.readingBack = stage == TransferStage::Verifying && !detail.empty();
  result.readingBeforeWrite = stage == TransferStage::BackingUp && !detail.empty();
  result.outcome = outcome;
  result.differences = differences;
  result.detail = QString::fromStdString(detail);
  result.milliseconds = m_clock.isValid() ? m_clock.elapsed() : 0;
  result.image = m_job.direction == CloneDirection::Read ? m_programming.image() : m_programming.written();
  if (Succeeded(outcome) || outcome == RadioOutcome::Differences) {
    const int maximum = progressMaximum();
    emit progress(maximum, maximum);
  }
  if (m_watching) {
    m_phase = Phase::Served;
    m_pollTimer.start(kWatchPoll);
  } else {
    m_phase = Phase::Idle;
  }
  emit radioFinished(result);
}

}  // namespace orvex
