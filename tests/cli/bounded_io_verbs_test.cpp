// orvex-cli on inputs and destinations a careless script may give it: endless
// devices, FIFOs, full disks, names that are not UTF-8.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include "cli/cli_process.h"

namespace orvex {
namespace {

using test::CliFolderTest;

class BoundedIo : public CliFolderTest {
 protected:
  // orvex-cli run by the shell, for what QProcess cannot give it: raw bytes
  // in arguments, an ignored SIGXFSZ and a file size limit.
  test::CliRun Shell(const QString& script) const {
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start("/bin/sh", {"-c", script, QString(ORVEX_BIN_DIR) + "/orvex-cli"});
    test::CliRun run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
  }
};

// Every input is refused at once when it passes its kind's limit.
TEST_F(BoundedIo, EndlessInputsAreRefusedAtOnce) {
  ASSERT_EQ(Cli({"new", "@base.tw"}).exitCode, 0);
  const std::vector<std::vector<const char*>> commands = {
      {"info", "/dev/zero"},
      {"dump", "/dev/urandom"},
      {"export", "/dev/zero", "--format", "csv"},
      {"pack", "/dev/zero", "@out.bin"},
      {"import", "@base.tw", "--csv", "/dev/zero", "-o", "@out.tw"},
      {"import", "@base.tw", "--json", "/dev/zero", "-o", "@out.tw"},
  };
  for (const auto& command : commands) {
    QElapsedTimer elapsed;
    elapsed.start();
    const auto run = Cli(command);
    EXPECT_EQ(run.exitCode, 1) << command[0] << ": " << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("too large")) << command[0] << ": " << run.err.toStdString();
    EXPECT_LT(elapsed.elapsed(), 20000) << command[0];
  }
  EXPECT_FALSE(QFile::exists(Path("out.tw")));
  EXPECT_FALSE(QFile::exists(Path("out.bin")));
}

// A destination that is not a regular file is refused and left as it is;
// "-" is standard output.
TEST_F(BoundedIo, OnlyRegularFilesAreReplaced) {
  ASSERT_EQ(Cli({"new", "@base.tw"}).exitCode, 0);
  ASSERT_EQ(mkfifo(Path("fifo").toLocal8Bit().constData(), 0600), 0);
  const std::vector<std::vector<const char*>> commands = {
      {"new", "@fifo"},
      {"new", "/dev/null"},
      {"export", "@base.tw", "--format", "csv", "-o", "@fifo"},
      {"pack", "@base.tw", "@fifo"},
      {"import", "@base.tw", "--json", "@base.tw", "-o", "/dev/null"},
      {"new", "@"},
  };
  for (const auto& command : commands) {
    const auto run = Cli(command);
    EXPECT_EQ(run.exitCode, 1) << command[0] << ": " << run.err.toStdString();
  }
  struct stat st {};
  ASSERT_EQ(stat(Path("fifo").toLocal8Bit().constData(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  const auto packed = Cli({"new", "-"});
  EXPECT_EQ(packed.exitCode, 0);
  EXPECT_EQ(packed.out, Read("base.tw"));
}

// Results printed into a full device are failures, not silent successes.
TEST_F(BoundedIo, WriteErrorsOnStandardOutputFail) {
  ASSERT_EQ(Cli({"new", "@base.tw"}).exitCode, 0);
  for (const char* verb :
       {"dump \"$PWD/base.tw\"", "info \"$PWD/base.tw\"", "export \"$PWD/base.tw\" --format json", "new -"}) {
    const auto run = Shell(QString("\"$0\" %1 >/dev/full").arg(verb));
    EXPECT_EQ(run.exitCode, 1) << verb << ": " << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("No space left on device")) << verb << ": " << run.err.toStdString();
  }
}

// A Latin-1 "é" in a file name is the same file for every verb.
TEST_F(BoundedIo, FileNamesThatAreNotUtf8) {
  const auto run = Shell("name=$(printf 'caf\\351.tw') && \"$0\" new \"$name\" && \"$0\" info \"$name\"");
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.contains("valid:    yes")) << run.out.toStdString();
  struct stat st {};
  EXPECT_EQ(stat((m_dir.path().toStdString() + "/caf\xE9.tw").c_str(), &st), 0) << "the name keeps its bytes";
}

// A save that fails (here the file size limit stands in for a full disk)
// keeps the earlier file, leaves no temporary file and says so.
TEST_F(BoundedIo, FailedSaveIsReported) {
  ASSERT_EQ(Cli({"new", "@base.tw"}).exitCode, 0);
  const QByteArray earlier = Read("base.tw");
  const auto run = Shell("trap '' XFSZ; ulimit -f 0; \"$0\" export base.tw --format csv -o base.tw");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("File too large")) << run.err.toStdString();
  EXPECT_EQ(Read("base.tw"), earlier);
  EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"base.tw"});
}

}  // namespace
}  // namespace orvex
