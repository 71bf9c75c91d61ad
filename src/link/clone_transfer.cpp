#include "link/clone_transfer.h"

#include <QFileInfo>
#include <algorithm>

#include "link/serial_lock.h"
#include "link/serial_ports.h"

namespace orvex {

namespace {

QString Hex(std::uint8_t byte) { return QStringLiteral("0x%1").arg(byte, 2, 16, QLatin1Char('0')); }

QString StepName(int step) {
  switch (step) {
    case kStepGreeting:
      return QStringLiteral("greeting");
    case kStepIdentify:
      return QStringLiteral("identify request");
    case kStepAcknowledge:
      return QStringLiteral("acknowledge");
    default:
      return QStringLiteral("row %1").arg(step);
  }
}

}  // namespace

CloneTransfer::CloneTransfer(QObject* parent) : QObject(parent) {
  m_sendTimer.setSingleShot(true);
  m_sendTimer.setTimerType(Qt::PreciseTimer);
  m_replyTimer.setSingleShot(true);
  m_replyTimer.setTimerType(Qt::PreciseTimer);
  connect(&m_sendTimer, &QTimer::timeout, this, &CloneTransfer::sendFrame);
  connect(&m_replyTimer, &QTimer::timeout, this, &CloneTransfer::onReplyTimeout);
  connect(&m_port, &QSerialPort::readyRead, this, &CloneTransfer::onReadyRead);
  connect(&m_port, &QSerialPort::errorOccurred, this, &CloneTransfer::onPortError);
}

CloneTransfer::~CloneTransfer() {
  // No signal may reach a caller that is being torn down with us.
  blockSignals(true);
  if (m_port.isOpen()) m_port.close();
}

bool CloneTransfer::start(CloneDirection direction, const QString& portName, RadioMemory& memory) {
  if (m_running) return false;
  m_memory = &memory;
  // A Read gathers blocks here and replaces the image only when it completes;
  // a Write sends the image as it was when the user asked for it.
  m_staging = memory.image();
  m_protocol.Start(direction);
  m_received.clear();
  m_frame.clear();
  m_echo = false;
  m_portFailed = false;
  m_reportedProgress = 0;

  if (m_trace) m_trace->Note((direction == CloneDirection::Read ? "read from " : "write to ") + portName.toStdString());
  m_port.clearError();
  m_port.setPortName(portName);
  m_port.setBaudRate(kCloneBaudRate);
  m_port.setDataBits(QSerialPort::Data8);
  m_port.setParity(QSerialPort::NoParity);
  m_port.setStopBits(QSerialPort::OneStop);
  m_port.setFlowControl(QSerialPort::NoFlowControl);
  ClearStaleSerialLock(QFileInfo(portName).isAbsolute() ? portName : QStringLiteral("/dev/") + portName);
  if (!m_port.open(QIODevice::ReadWrite)) {
    const QString reason = m_port.errorString();
    m_port.clearError();
    if (m_trace) m_trace->Note("cannot open the port: " + reason.toStdString());
    emit openFailed(reason);
    emit finished();
    return true;
  }
  RequestLowLatency(m_port.handle());
  RequestPreciseTimers();
  // Stale bytes from the adapter would otherwise be taken for a reply.
  m_port.clear(QSerialPort::AllDirections);
  m_running = true;
  emit progress(0, ProgressMaximum(direction));
  m_sendTimer.start(kFramePause);
  return true;
}

void CloneTransfer::cancel() {
  if (m_running) finish(End::Failed, QStringLiteral("cancelled"));
}

void CloneTransfer::sendFrame() {
  if (!m_running) return;
  const CloneFrame frame = m_protocol.NextFrame();
  m_frame = frame.bytes;
  m_port.clear(QSerialPort::AllDirections);
  m_received.clear();
  if (m_trace) m_trace->Sent(m_frame);
  m_port.write(reinterpret_cast<const char*>(m_frame.data()), static_cast<qint64>(m_frame.size()));
  // Out now rather than on the next turn of the event loop.
  m_port.flush();
  if (!m_running) return;  // the write may have reported a port error
  m_replyTimer.start(kReplyLimit);
}

void CloneTransfer::onReadyRead() {
  const QByteArray data = m_port.readAll();
  // Late or duplicate data for a frame already judged is ignored.
  if (m_trace && !data.isEmpty())
    m_trace->Received(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())));
  if (!m_running || m_portFailed || m_protocol.replyCount() == 0) return;
  m_received.insert(m_received.end(), data.begin(), data.end());
  judgeReply();
}

void CloneTransfer::judgeReply() {
  std::size_t echoLength = m_echo ? m_frame.size() : 0;
  if (!m_echo && m_protocol.step() == kStepGreeting) {
    // A single-wire cable returns the greeting before the radio answers; once
    // seen, every later frame's echo is skipped as well.
    const std::size_t compared = std::min(m_received.size(), m_frame.size());
    if (std::equal(m_frame.begin(), m_frame.begin() + static_cast<std::ptrdiff_t>(compared), m_received.begin())) {
      if (m_received.size() <= m_frame.size()) return;
      m_echo = true;
      echoLength = m_frame.size();
    }
  }
  const std::size_t expected = m_protocol.replyCount();
  if (m_received.size() < echoLength + expected) return;

  m_replyTimer.stop();
  const std::span<const std::uint8_t> reply = std::span<const std::uint8_t>(m_received).last(expected);
  const std::uint8_t first = reply.front();
  const int step = m_protocol.step();
  const CloneOutcome outcome = m_protocol.Reply(reply);
  if (m_protocol.progress() != m_reportedProgress) {
    m_reportedProgress = m_protocol.progress();
    emit progress(m_reportedProgress, ProgressMaximum(m_protocol.direction()));
  }
  switch (outcome) {
    case CloneOutcome::Continue:
      if (step == kStepIdentify) {
        emit identified();
        if (!m_running) return;  // the caller cancelled
      }
      m_sendTimer.start(kFramePause);
      return;
    case CloneOutcome::Completed:
      finish(End::Completed);
      return;
    case CloneOutcome::ModelMismatch:
      finish(End::ModelMismatch);
      return;
    case CloneOutcome::Failed:
      finish(End::Failed, QStringLiteral("unexpected reply %1 to the %2").arg(Hex(first), StepName(step)));
      return;
    case CloneOutcome::Ignored:
      return;
  }
}

void CloneTransfer::onReplyTimeout() {
  if (!m_running) return;
  finish(End::Failed, QStringLiteral("no reply to the %1 within %2 ms (%3 of %4 bytes)")
                          .arg(StepName(m_protocol.step()))
                          .arg(kReplyLimit.count())
                          .arg(m_received.size())
                          .arg(m_protocol.replyCount()));
}

void CloneTransfer::onPortError(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
  if (!m_running || m_portFailed) {
    // A hung-up line may keep reporting; a closed port reports nothing more.
    if (m_port.isOpen()) QMetaObject::invokeMethod(&m_port, &QSerialPort::close, Qt::QueuedConnection);
    return;
  }
  // The port is closed on the next turn of the event loop, outside the
  // port's own notification; until then nothing more is processed.
  m_portFailed = true;
  m_sendTimer.stop();
  m_replyTimer.stop();
  const QString reason = m_port.errorString();
  QMetaObject::invokeMethod(
      this, [this, reason] { finish(End::Failed, QStringLiteral("port error: %1").arg(reason)); },
      Qt::QueuedConnection);
}

void CloneTransfer::finish(End end, const QString& reason) {
  if (!m_running) return;
  m_running = false;
  m_sendTimer.stop();
  m_replyTimer.stop();
  if (m_port.isOpen()) m_port.close();
  m_port.clearError();
  const int maximum = ProgressMaximum(m_protocol.direction());
  if (m_trace) {
    m_trace->Note(end == End::Completed       ? std::string("completed")
                  : end == End::ModelMismatch ? std::string("the radio is another model")
                                              : "failed: " + reason.toStdString());
  }
  switch (end) {
    case End::Completed:
      if (m_protocol.direction() == CloneDirection::Read) {
        for (int row = 0; row < static_cast<int>(kRowCount); ++row)
          if (IsReadRow(row)) std::ranges::copy(RowOf(m_staging, row), m_memory->row(row).begin());
      }
      emit progress(maximum, maximum);
      emit completed();
      break;
    case End::ModelMismatch:
      emit modelMismatch();
      break;
    case End::Failed:
      emit failed(reason);
      break;
  }
  emit finished();
}

}  // namespace orvex
