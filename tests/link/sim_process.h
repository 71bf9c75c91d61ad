#pragma once

// Test helpers: orvex-sim started as a process on a pseudo-terminal, and the
// application object the driver's events need.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>

#include "codeplug/file_io.h"
#include "core/memory_image.h"

namespace orvex::test {

inline QCoreApplication& App() {
  // Reads made by tests (and the programs they start) keep their backups
  // out of the user's own folder.
  if (qEnvironmentVariableIsEmpty("ORVEX_BACKUP_DIR"))
    qputenv("ORVEX_BACKUP_DIR", QDir::temp().filePath(QStringLiteral("orvex-test-backups")).toUtf8());
  static int argc = 1;
  static char name[] = "link_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

inline QString SimProgram() { return QStringLiteral(ORVEX_BIN_DIR "/orvex-sim"); }
inline QString CliProgram() { return QStringLiteral(ORVEX_BIN_DIR "/orvex-cli"); }

// Every byte differs from its neighbours, so a shifted or swapped row shows.
inline Image Patterned(std::uint8_t seed) {
  Image image;
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + seed + i / 256);
  return image;
}

// Runs the event loop for a while (or until `done` says so).
template <class Done>
inline void Spin(std::chrono::milliseconds limit, Done done) {
  if (done()) return;
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (done()) loop.quit();
  });
  check.start(std::chrono::milliseconds(5));
  QTimer::singleShot(limit, &loop, &QEventLoop::quit);
  loop.exec();
}

// CPU time this process has used, in milliseconds.
inline double CpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// What a program run to its end printed, and its exit code (-1 when it
// crashed or did not end within the limit).
struct ProgramRun {
  int exitCode = -1;
  QString out, err;
};

inline ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  ProgramRun run;
  if (!process.waitForFinished(50000)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

// orvex-sim for the length of a test; stopped (never left behind) when the
// object goes.
class SimProcess {
 public:
  explicit SimProcess(const QStringList& arguments) {
    App();
    m_process.setProgram(SimProgram());
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(5000)) return;
    QElapsedTimer elapsed;
    elapsed.start();
    while (!m_process.canReadLine() && elapsed.elapsed() < 5000 && m_process.state() == QProcess::Running)
      m_process.waitForReadyRead(100);
    if (m_process.canReadLine()) m_device = QString::fromUtf8(m_process.readLine()).trimmed();
  }
  ~SimProcess() { Stop(); }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  const QString& device() const { return m_device; }
  bool running() { return m_process.state() == QProcess::Running; }
  QString errors() { return QString::fromUtf8(m_process.readAllStandardError()); }
  void Stop() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
      m_process.kill();
      m_process.waitForFinished(3000);
    }
  }

 private:
  QProcess m_process;
  QString m_device;
};

// A scratch folder with a codeplug file in it.
class Scratch {
 public:
  QString path(const QString& name) const { return m_dir.filePath(name); }
  QString Codeplug(const QString& name, const Image& image) const {
    const QString file = path(name);
    EXPECT_TRUE(WriteCodeplugFile(file.toStdString(), image).ok());
    return file;
  }

 private:
  QTemporaryDir m_dir;
};

}  // namespace orvex::test
