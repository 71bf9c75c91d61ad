#include "link/serial_clone_port.h"

#include <QFileInfo>

#include "link/serial_lock.h"
#include "link/serial_ports.h"

namespace orvex {

SerialClonePort::SerialClonePort(QObject* parent) : QObject(parent) {
  m_timer.setSingleShot(true);
  m_timer.setTimerType(Qt::PreciseTimer);
  connect(&m_timer, &QTimer::timeout, this, [this] {
    if (listener()) listener()->PortTimer();
  });
  connect(&m_port, &QSerialPort::readyRead, this, [this] {
    const QByteArray data = m_port.readAll();
    if (listener())
      listener()->PortBytes(
          std::span(reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())));
  });
  connect(&m_port, &QSerialPort::errorOccurred, this, &SerialClonePort::onPortError);
}

SerialClonePort::~SerialClonePort() {
  // Nothing may reach a listener that is being torn down with us.
  m_port.disconnect(this);
  m_timer.disconnect(this);
  if (m_port.isOpen()) m_port.close();
}

Status SerialClonePort::Open(const std::string& name) {
  const QString portName = QString::fromStdString(name);
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
    return Fail(reason.toStdString());
  }
  RequestLowLatency(m_port.handle());
  RequestPreciseTimers();
  // Stale bytes from the adapter would otherwise be taken for a reply.
  m_port.clear(QSerialPort::AllDirections);
  return Ok{};
}

void SerialClonePort::Send(std::span<const std::uint8_t> bytes) {
  m_port.clear(QSerialPort::AllDirections);
  m_port.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  // Out now rather than on the next turn of the event loop.
  m_port.flush();
}

void SerialClonePort::Close() {
  if (m_port.isOpen()) m_port.close();
  m_port.clearError();
}

void SerialClonePort::onPortError(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
  if (listener() && listener()->PortError(m_port.errorString().toStdString())) return;
  // Closed on the next turn of the event loop, outside the port's own
  // notification; a closed port reports nothing more.
  if (m_port.isOpen()) QMetaObject::invokeMethod(&m_port, &QSerialPort::close, Qt::QueuedConnection);
}

}  // namespace orvex
