#include "fleet/radio_station.h"

#include "codeplug/backups.h"
#include "core/strings.h"
#include "link/clone_protocol.h"

namespace orvex {

std::function<Status(const QString& port, const Image& held)> KeepBackupsBeforeWrite(std::filesystem::path folder) {
  return [folder = std::move(folder)](const QString& port, const Image& held) -> Status {
    if (auto kept = SaveBackup(held, folder, {RadioModelName(), port.toStdString(), BackupReason::BeforeWrite}); !kept)
      return Fail(kept.error());
    return Ok{};
  };
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

int RadioStation::progressMaximum() const { return RadioProgressMaximum(request()); }

void RadioStation::onProgress(TransferStage stage, int value) {
  if (m_phase != Phase::Busy) return;
  // A watching station shows progress only once a radio has answered.
  if (stage == TransferStage::Verifying || m_present || !m_watching)
    emit progress(RadioProgressValue(request(), stage, value), progressMaximum());
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
  const bool failed = end.outcome == JobOutcome::Failed || end.outcome == JobOutcome::OpenFailed;
  if (m_watching && !m_present) {
    if (failed) {
      m_phase = Phase::Waiting;
      m_pollTimer.start(kWatchPoll);
      return;
    }
    if (end.outcome == JobOutcome::ModelMismatch) emit radioStarted();
  }
  if (end.outcome == JobOutcome::ModelMismatch) m_present = true;
  report(ResultOf(end));
}

void RadioStation::report(const RadioResult& outcome) {
  RadioReport result;
  static_cast<RadioResult&>(result) = outcome;
  result.port = m_port;
  result.milliseconds = m_clock.isValid() ? m_clock.elapsed() : 0;
  result.image = m_job.direction == CloneDirection::Read ? m_programming.image() : m_programming.written();
  if (Succeeded(result.outcome) || result.outcome == RadioOutcome::Differences) {
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
