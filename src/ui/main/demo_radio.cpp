#include "ui/main/demo_radio.h"

#include <csignal>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace orvex {

namespace {
constexpr int kStartLimitMs = 5000;
constexpr int kStopLimitMs = 1000;
}  // namespace

DemoRadio::~DemoRadio() { Stop(); }

Result<QString> DemoRadio::Start(const QString& program, const QStringList& arguments) {
  m_process.setProgram(program);
  m_process.setArguments(arguments);
  m_process.setProcessChannelMode(QProcess::SeparateChannels);
  m_process.setStandardErrorFile(QProcess::nullDevice());
#ifdef Q_OS_LINUX
  // Ends the simulator when the program dies without running its destructors.
  m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
  m_process.start(QIODevice::ReadOnly);
  if (!m_process.waitForStarted(kStartLimitMs)) return Fail(m_process.errorString().toStdString());
  while (!m_process.canReadLine()) {
    if (!m_process.waitForReadyRead(kStartLimitMs)) {
      Stop();
      return Fail("the virtual radio did not report its device");
    }
  }
  const QString device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
  if (device.isEmpty()) {
    Stop();
    return Fail("the virtual radio did not report its device");
  }
  return device;
}

void DemoRadio::Stop() {
  if (m_process.state() == QProcess::NotRunning) return;
  m_process.terminate();
  if (!m_process.waitForFinished(kStopLimitMs)) {
    m_process.kill();
    m_process.waitForFinished(kStopLimitMs);
  }
}

}  // namespace orvex
