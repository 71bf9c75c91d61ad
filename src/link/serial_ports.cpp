#include "link/serial_ports.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>
#include <chrono>

#include "link/serial_lock.h"

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#endif

namespace orvex {

namespace {

constexpr qint32 kProbeBaudRate = 19200;
constexpr std::chrono::milliseconds kProbeWait{200};
constexpr char kProbeText[] = "ATI1\r";

bool IsUsbAdapter(const QSerialPortInfo& info) {
  return info.hasVendorIdentifier() || info.portName().startsWith(QLatin1String("ttyUSB")) ||
         info.portName().startsWith(QLatin1String("ttyACM"));
}

// "ttyS2" before "ttyS10".
bool NaturalLess(const QString& a, const QString& b) {
  static const QRegularExpression trailingDigits(QStringLiteral("^(.*?)(\\d+)$"));
  const auto ma = trailingDigits.match(a), mb = trailingDigits.match(b);
  if (ma.hasMatch() && mb.hasMatch() && ma.captured(1) == mb.captured(1))
    return ma.captured(2).toLongLong() < mb.captured(2).toLongLong();
  return a < b;
}

// USB adapters first, then the rest, each in name order.
QList<QSerialPortInfo> SortedPorts() {
  auto infos = QSerialPortInfo::availablePorts();
  std::stable_sort(infos.begin(), infos.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
    if (IsUsbAdapter(a) != IsUsbAdapter(b)) return IsUsbAdapter(a);
    return NaturalLess(a.portName(), b.portName());
  });
  return infos;
}

}  // namespace

QStringList ListedPorts() {
  QStringList ports;
  for (const auto& info : SortedPorts()) ports << info.systemLocation();
  return ports;
}

std::vector<PortSlot> PortSlots() {
  std::vector<PortSlot> list;
#ifdef Q_OS_WIN
  const auto infos = QSerialPortInfo::availablePorts();
  for (int k = 1; k <= kPortSlotCount; ++k) {
    PortSlot slot{k, QStringLiteral("COM%1").arg(k), {}};
    for (const auto& info : infos)
      if (info.portName().compare(slot.device, Qt::CaseInsensitive) == 0) slot.description = info.description();
    list.push_back(slot);
  }
#else
  const auto infos = SortedPorts();
  for (int k = 1; k <= kPortSlotCount; ++k) {
    PortSlot slot{k, {}, {}};
    if (k <= infos.size()) {
      slot.device = infos[k - 1].systemLocation();
      slot.description = infos[k - 1].description();
    }
    list.push_back(slot);
  }
#endif
  return list;
}

QString ResolvePort(const QString& text) {
  static const QRegularExpression slotText(QStringLiteral("^(?:COM)?(\\d+)$"),
                                           QRegularExpression::CaseInsensitiveOption);
  const QString trimmed = text.trimmed();
  if (const auto match = slotText.match(trimmed); match.hasMatch()) {
    const int slot = match.captured(1).toInt();
    if (slot < 1 || slot > kPortSlotCount) {
#ifdef Q_OS_WIN
      return trimmed.toUpper();  // COM11 and above still exist on Windows
#else
      return {};
#endif
    }
    return PortSlots()[static_cast<std::size_t>(slot - 1)].device;
  }
  // A relative path ("./radio-link", or "radio-link" naming a file here and
  // nothing under /dev) is made absolute: QSerialPort would otherwise look
  // for it under /dev.
  if (trimmed.contains(QLatin1Char('/'))) return QFileInfo(trimmed).absoluteFilePath();
#ifndef Q_OS_WIN
  if (!QFileInfo::exists(QStringLiteral("/dev/") + trimmed) && QFileInfo::exists(trimmed))
    return QFileInfo(trimmed).absoluteFilePath();
#endif
  return trimmed;
}

bool ProbePort(const QString& portName) {
  if (portName.isEmpty()) return false;
  ClearStaleSerialLock(QFileInfo(portName).isAbsolute() ? portName : QStringLiteral("/dev/") + portName);
  QSerialPort port;
  port.setPortName(portName);
  if (!port.open(QIODevice::ReadWrite)) return false;
  bool ok = port.setBaudRate(kProbeBaudRate) && port.setDataBits(QSerialPort::Data8) &&
            port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
            port.setFlowControl(QSerialPort::NoFlowControl);
  if (ok) ok = port.write(kProbeText, sizeof kProbeText - 1) == qint64(sizeof kProbeText - 1);
  QElapsedTimer elapsed;
  elapsed.start();
  if (ok) ok = port.waitForBytesWritten(static_cast<int>(kProbeWait.count()));
  // Whatever answers is not examined; only whether the port keeps working.
  while (ok && elapsed.elapsed() < kProbeWait.count()) {
    port.waitForReadyRead(static_cast<int>(kProbeWait.count() - elapsed.elapsed()));
    port.readAll();
    const auto error = port.error();
    ok = error == QSerialPort::NoError || error == QSerialPort::TimeoutError;
    port.clearError();
  }
  port.close();
  return ok;
}

void RequestLowLatency(qintptr handle) {
#ifdef Q_OS_LINUX
  if (handle < 0) return;
  serial_struct serial{};
  const int fd = static_cast<int>(handle);
  if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
  serial.flags |= ASYNC_LOW_LATENCY;
  (void)ioctl(fd, TIOCSSERIAL, &serial);
#else
  Q_UNUSED(handle);
#endif
}

void RequestPreciseTimers() {
#ifdef Q_OS_LINUX
  // The kernel may otherwise let a timer wake up to 50 us late; over the
  // 288 frames of a Write that is 14 ms of waiting for nothing.
  (void)prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

}  // namespace orvex
