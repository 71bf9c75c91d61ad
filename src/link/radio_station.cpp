#include "link/radio_station.h"

#include "codeplug/backups.h"
#include "core/strings.h"
#include "link/clone_protocol.h"

namespace orvex {

namespace {

// The radio's reply to a failed frame is let die away before a retry, so
// its tail is not taken for the new greeting's answer.
constexpr std::chrono::milliseconds kRetrySettle{300};

}  // namespace

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
    : QObject(parent), m_port(std::move(port)), m_job(job) {
  m_retryTimer.setSingleShot(true);
  m_pollTimer.setSingleShot(true);
  connect(&m_retryTimer, &QTimer::timeout, this, [this] { begin(m_phase); });
  connect(&m_pollTimer, &QTimer::timeout, this, &RadioStation::poll);
  connect(&m_transfer, &CloneTransfer::identified, this, &RadioStation::onIdentified);
  connect(&m_transfer, &CloneTransfer::completed, this, &RadioStation::onCompleted);
  connect(&m_transfer, &CloneTransfer::modelMismatch, this, &RadioStation::onModelMismatch);
  connect(&m_transfer, &CloneTransfer::failed, this,
          [this](const QString& reason) { onFailed(reason, RadioOutcome::NoAnswer); });
  connect(&m_transfer, &CloneTransfer::openFailed, this,
          [this](const QString& error) { onFailed(error, RadioOutcome::PortFailed); });
  connect(&m_transfer, &CloneTransfer::finished, this, [this] {
    if (m_phase != Phase::Probing) return;
    // The probe was cancelled once the radio answered, so it is still there;
    // otherwise it has gone and the next one is awaited.
    m_phase = m_present ? Phase::Served : Phase::Waiting;
    m_pollTimer.start(kWatchPoll);
  });
  connect(&m_transfer, &CloneTransfer::progress, this, [this](int value, int) {
    const int before = firstPhase() == Phase::Backup ? ProgressMaximum(CloneDirection::Read) : 0;
    const int done = m_phase == Phase::Verify ? before + ProgressMaximum(CloneDirection::Write)
                     : m_phase == Phase::Main ? before
                                              : 0;
    // A watching station shows progress only once a radio has answered.
    const bool radio = m_phase == Phase::Verify ||
                       ((m_phase == Phase::Main || m_phase == Phase::Backup) && (m_present || !m_watching));
    if (radio) emit progress(done + value, progressMaximum());
  });
}

int RadioStation::progressMaximum() const {
  const bool writing = m_job.direction == CloneDirection::Write;
  return ProgressMaximum(m_job.direction) + (writing && m_job.verify ? ProgressMaximum(CloneDirection::Read) : 0) +
         (firstPhase() == Phase::Backup ? ProgressMaximum(CloneDirection::Read) : 0);
}

RadioStation::Phase RadioStation::firstPhase() const {
  return m_job.direction == CloneDirection::Write && m_job.keepBeforeWrite ? Phase::Backup : Phase::Main;
}

void RadioStation::start() {
  m_watching = false;
  m_attempt = 0;
  m_bound = false;
  m_clock.start();
  emit radioStarted();
  begin(firstPhase());
}

void RadioStation::watch() {
  m_watching = true;
  m_phase = Phase::Waiting;
  poll();
}

void RadioStation::stop() {
  const bool busy = isBusy() || m_retryTimer.isActive();
  m_watching = false;
  m_pollTimer.stop();
  m_retryTimer.stop();
  if (m_phase == Phase::Probing || m_phase == Phase::Waiting || m_phase == Phase::Served) {
    m_phase = Phase::Idle;
    m_transfer.cancel();
    return;
  }
  if (busy) report(RadioOutcome::Stopped);
  m_transfer.cancel();
}

void RadioStation::poll() {
  if (!m_watching) return;
  if (m_phase == Phase::Served) {
    begin(Phase::Probing);
    return;
  }
  // Waiting: a Write that finds no radio fails quietly and is tried again.
  m_attempt = 0;
  m_bound = false;
  m_present = false;
  m_clock.start();
  begin(firstPhase());
}

void RadioStation::begin(Phase phase) {
  m_phase = phase;
  m_present = m_present && phase != Phase::Probing;
  if (phase == Phase::Verify || phase == Phase::Backup) {
    m_memory.image() = BlankImage();
    m_transfer.start(CloneDirection::Read, m_port, m_memory);
    return;
  }
  // A probe is a Write stopped once the radio has said who it is.
  const CloneDirection direction = phase == Phase::Probing ? CloneDirection::Write : m_job.direction;
  m_memory.image() = m_bound ? m_sent : m_job.image;
  m_transfer.start(direction, m_port, m_memory);
}

void RadioStation::onIdentified() {
  if (m_phase == Phase::Probing) {
    m_present = true;
    m_transfer.cancel();
    return;
  }
  if (m_phase != Phase::Main && m_phase != Phase::Backup) return;
  if (m_watching && !m_present) emit radioStarted();
  m_present = true;
  if (m_phase == Phase::Backup) return;
  if (m_job.direction != CloneDirection::Write || m_bound) return;
  m_bound = true;
  m_sent = m_job.image;
  if (m_job.imageFor) {
    auto image = m_job.imageFor(m_port);
    if (!image) {
      report(RadioOutcome::NotWritten, QString::fromStdString(image.error()));
      m_transfer.cancel();
      return;
    }
    m_sent = *image;
  }
  m_transfer.setWriteImage(m_sent);
}

void RadioStation::onCompleted() {
  if (m_phase == Phase::Backup) {
    if (const Status kept = m_job.keepBeforeWrite(m_port, m_memory.image()); !kept) {
      report(RadioOutcome::NotWritten, QString::fromStdString(kept.error()));
      return;
    }
    m_attempt = 0;
    // Outside the transfer's own signal; unless stopped meanwhile.
    QTimer::singleShot(0, this, [this] {
      if (m_phase == Phase::Backup) begin(Phase::Main);
    });
    return;
  }
  if (m_phase == Phase::Main && m_job.direction == CloneDirection::Read) {
    report(RadioOutcome::Read);
    return;
  }
  if (m_phase == Phase::Main && m_job.verify) {
    m_attempt = 0;
    // Outside the transfer's own signal; unless stopped meanwhile.
    QTimer::singleShot(0, this, [this] {
      if (m_phase == Phase::Main) begin(Phase::Verify);
    });
    return;
  }
  if (m_phase == Phase::Main) {
    report(RadioOutcome::Written);
    return;
  }
  const auto rows = DifferingRows(m_memory.image(), m_sent);
  if (rows.empty())
    report(RadioOutcome::Verified);
  else
    report(RadioOutcome::Differences, {}, static_cast<int>(rows.size()));
}

void RadioStation::onModelMismatch() {
  if (m_phase == Phase::Probing) {
    m_present = true;
    return;
  }
  if (m_watching && !m_present) emit radioStarted();
  m_present = true;
  report(RadioOutcome::ModelWrong);
}

void RadioStation::onFailed(const QString& reason, RadioOutcome outcome) {
  switch (m_phase) {
    case Phase::Backup:
    case Phase::Main:
    case Phase::Verify:
      break;
    default:
      return;  // stopped, or an outcome already reported
  }
  if (m_watching && !m_present) {
    m_phase = Phase::Waiting;
    m_pollTimer.start(kWatchPoll);
    return;
  }
  if (outcome == RadioOutcome::NoAnswer && m_attempt < m_job.retries) {
    ++m_attempt;
    m_retryTimer.start(kRetrySettle);
    return;
  }
  report(outcome, reason);
}

void RadioStation::report(RadioOutcome outcome, const QString& detail, int differences) {
  RadioReport result;
  result.port = m_port;
  result.readingBack = m_phase == Phase::Verify && !detail.isEmpty();
  result.readingBeforeWrite = m_phase == Phase::Backup && !detail.isEmpty();
  result.outcome = outcome;
  result.differences = differences;
  result.detail = detail;
  result.milliseconds = m_clock.isValid() ? m_clock.elapsed() : 0;
  result.image = m_job.direction == CloneDirection::Read ? m_memory.image() : m_sent;
  if (outcome == RadioOutcome::Read || outcome == RadioOutcome::Verified || outcome == RadioOutcome::Written ||
      outcome == RadioOutcome::Differences) {
    const int maximum = progressMaximum();
    emit progress(maximum, maximum);
  }
  m_retryTimer.stop();
  if (m_watching) {
    m_phase = Phase::Served;
    m_pollTimer.start(kWatchPoll);
  } else {
    m_phase = Phase::Idle;
  }
  emit radioFinished(result);
}

}  // namespace orvex
