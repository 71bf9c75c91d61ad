#pragma once
// Running orvex-cli as a user does, for the process-level verb tests.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

#include "codeplug/file_io.h"

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

// A test with its own temporary folder and orvex-cli run on files in it.
class CliFolderTest : public ::testing::Test {
 protected:
  using Run = CliRun;

  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    if (!CliIsBuilt()) GTEST_SKIP() << "orvex-cli is not built";
  }

  QString Path(const char* name) const { return m_dir.filePath(name); }

  // Arguments with "@" standing for the temporary folder.
  Run Cli(const std::vector<const char*>& args) const {
    QStringList list;
    for (const char* a : args) list << QString::fromUtf8(a).replace("@", m_dir.path() + "/");
    return RunCli(list);
  }

  void Write(const char* name, const QByteArray& bytes) const { WriteFile(Path(name), bytes); }
  QByteArray Read(const char* name) const { return ReadFile(Path(name)); }

  orvex::Image Opened(const char* name) const {
    auto parsed = orvex::ReadCodeplugFile(Path(name).toStdString());
    EXPECT_TRUE(parsed.ok() && parsed->check == orvex::CodeplugCheck::Ok) << name;
    return parsed.ok() ? parsed->image : orvex::Image{};
  }

  QTemporaryDir m_dir;
};

}  // namespace orvex::test
