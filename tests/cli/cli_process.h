#pragma once
// Running orvex-cli as a user does, for the process-level verb tests.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace orvex::test {

struct CliRun {
  int exitCode = -1;  // -1 when it did not finish normally within 30 s
  QByteArray out, err;
};

inline bool CliIsBuilt() { return QFile::exists(QString(ORVEX_BIN_DIR) + "/orvex-cli"); }

inline CliRun RunCli(const QStringList& args) {
  QProcess process;
  process.start(QString(ORVEX_BIN_DIR) + "/orvex-cli", args);
  CliRun run;
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) return run;
  run.exitCode = process.exitCode();
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

inline QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

}  // namespace orvex::test
