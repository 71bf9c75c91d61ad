// The safety net of orvex-cli against the virtual radio: backups of every
// Read, the check before Write, the cable doctor and the link trace.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <cerrno>

#include "codeplug/backups.h"
#include "link/clone_protocol.h"
#include "link/sim_process.h"
#include "model/channels/channel_record.h"

namespace orvex {
namespace {

using test::Scratch;
using test::SimProcess;

using CliResult = test::ProgramRun;

class SafetyVerbs : public testing::Test {
 protected:
  void SetUp() override {
    for (const QString& program : {test::SimProgram(), test::CliProgram()})
      if (!QFileInfo::exists(program)) GTEST_SKIP() << program.toStdString() << " is not built";
    test::App();
  }

  CliResult Cli(const QStringList& arguments) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ORVEX_BACKUP_DIR", m_backups);
    return test::RunProgram(test::CliProgram(), arguments, environment);
  }
  CliResult Read(const SimProcess& sim, QStringList extra = {}) const {
    return Cli(QStringList{"read", "--port", sim.device(), "-o", m_scratch.path("r.tw"), "--lang", "en"} + extra);
  }
  std::size_t Backups() const { return ListBackups(m_backups.toStdString()).size(); }

  Scratch m_scratch;
  QString m_backups = m_scratch.path("backups");
};

Image RadioWith(int channels) {
  Image image = BlankImage();
  for (int n = 1; n <= channels; ++n) {
    ChannelFields fields = NewChannelFields("145.50000", 0);
    EXPECT_TRUE(StoreChannel(image, n, fields, 0).ok());
  }
  return image;
}

TEST_F(SafetyVerbs, EveryReadIsKeptOnceAndListed) {
  SimProcess one({"--fast", "--image", m_scratch.Codeplug("one.tw", RadioWith(1))});
  SimProcess two({"--fast", "--image", m_scratch.Codeplug("two.tw", RadioWith(2))});
  ASSERT_FALSE(one.device().isEmpty());
  ASSERT_FALSE(two.device().isEmpty());

  ASSERT_EQ(Read(one).exitCode, 0);
  ASSERT_EQ(Read(one).exitCode, 0);
  EXPECT_EQ(Backups(), 1u) << "the same radio read twice is kept once";
  const CliResult second = Read(two);
  ASSERT_EQ(second.exitCode, 0);
  EXPECT_TRUE(second.err.contains("backup: " + m_backups)) << second.err.toStdString();
  EXPECT_EQ(Backups(), 2u);
  ASSERT_EQ(Read(two, {"--no-backup"}).exitCode, 0);
  ASSERT_EQ(Read(one, {"--no-backup"}).exitCode, 0);
  EXPECT_EQ(Backups(), 2u);

  const CliResult list = Cli({"backups"});
  ASSERT_EQ(list.exitCode, 0);
  const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith(m_backups) &&
              lines[0].endsWith("programmed channels: 2  Read: TZ417 on " + two.device()))
      << lines[0].toStdString();
  EXPECT_TRUE(lines[1].endsWith("programmed channels: 1  Read: TZ417 on " + one.device())) << lines[1].toStdString();
}

TEST_F(SafetyVerbs, AnUnwritableBackupFolderDoesNotFailTheRead) {
  SimProcess sim({"--fast"});
  ASSERT_FALSE(sim.device().isEmpty());
  // A folder under a regular file cannot be created, even by root.
  const QString file = m_scratch.Codeplug("plain.tw", BlankImage());
  m_backups = file + "/backups";
  const CliResult read = Read(sim);
  EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
  EXPECT_EQ(read.err.count("was not saved"), 1) << read.err.toStdString();
  EXPECT_TRUE(QFileInfo::exists(m_scratch.path("r.tw")));
}

// --backup-first reads each radio and keeps what it held before writing; a
// radio that cannot be read first is not written.
TEST_F(SafetyVerbs, BackupFirstKeepsEachRadiosSetup) {
  struct Case {
    const char* name;
    int radios;
    QStringList faults;  // orvex-sim switches
    int exitCode;
    std::size_t kept;
  };
  const Case cases[] = {
      {"one radio", 1, {}, 0, 1},
      {"several radios", 2, {}, 0, 2},
      {"one radio that stops answering", 1, {"--silent-after", "20"}, 1, 0},
      {"of several, the one that stops answering is not written", 2, {"--radio", "2", "--silent-after", "20"}, 1, 1},
  };
  const QString file = m_scratch.Codeplug("new.tw", RadioWith(1));
  int run = 0;
  for (const Case& c : cases) {
    const QString folder = m_scratch.path(QString("run%1").arg(++run));
    QDir().mkpath(folder);
    m_backups = folder + "/backups";
    SimProcess sim(QStringList{"--count", QString::number(c.radios), "--fast", "--image",
                               m_scratch.Codeplug("old.tw", RadioWith(3)), "--link", folder + "/r", "--save",
                               folder + "/saved.tw"} +
                   c.faults);
    QStringList ports;
    for (int k = 1; k <= c.radios; ++k) {
      const QString link = folder + "/r" + QString::number(k);
      test::Spin(std::chrono::seconds(5), [&] { return QFileInfo::exists(link); });
      ports << "--port" << link;
    }
    const CliResult write =
        Cli(QStringList{"write", "--backup-first", "--retries", "0", "--lang", "en"} + ports + QStringList{file});
    EXPECT_EQ(write.exitCode, c.exitCode) << c.name << write.err.toStdString() << write.out.toStdString();
    const auto kept = ListBackups(m_backups.toStdString());
    ASSERT_EQ(kept.size(), c.kept) << c.name;
    for (const BackupEntry& entry : kept) {
      EXPECT_EQ(entry.origin.reason, BackupReason::BeforeWrite) << c.name;
      EXPECT_EQ(entry.origin.model, "TZ417") << c.name;
      EXPECT_TRUE(ports.contains(QString::fromStdString(entry.origin.port))) << c.name << entry.origin.port;
      EXPECT_TRUE(DifferingRows(ReadCodeplugFile(entry.path.string())->image, RadioWith(3)).empty()) << c.name;
    }
    // A radio that was not backed up was not written.
    const auto written = [&] { return static_cast<std::size_t>(QDir(folder).entryList({"saved*.tw"}).size()); };
    test::Spin(std::chrono::seconds(5), [&] { return written() >= c.kept; });
    EXPECT_EQ(written(), c.kept) << c.name;
    if (c.radios == 1 && c.kept == 0) {
      EXPECT_TRUE(write.err.contains("could not be read before writing, so nothing was written"))
          << write.err.toStdString();
    }
  }
  const CliResult list = Cli({"backups"});
  EXPECT_TRUE(list.out.contains("Before a Write: TZ417 on ")) << list.out.toStdString();
}

TEST_F(SafetyVerbs, CheckAndWriteRefuseErrors) {
  Image bad = RadioWith(2);
  bad[Address(2, 7)] = 0x04;  // channel 2 Tx 445.50000 -> 045.50000, outside every band
  const QString badFile = m_scratch.Codeplug("bad.tw", bad);
  const QString cleanFile = m_scratch.Codeplug("clean.tw", RadioWith(1));  // two would be duplicates

  const CliResult check = Cli({"check", badFile});
  EXPECT_EQ(check.exitCode, 1);
  EXPECT_TRUE(check.out.contains("error: channel 2: Tx 45.50000 MHz is outside the radio's bands"))
      << check.out.toStdString();
  EXPECT_TRUE(Cli({"check", "--lang", "zh", badFile}).out.contains("错误：信道 2：Tx 45.50000 MHz 超出电台频段"));
  const CliResult clean = Cli({"check", cleanFile});
  EXPECT_EQ(clean.exitCode, 0) << clean.out.toStdString();
  EXPECT_TRUE(clean.out.contains("no problems found"));
  EXPECT_EQ(Cli({"check", m_scratch.path("missing.tw")}).exitCode, 2);

  const QString log = m_scratch.path("sim.log");
  SimProcess sim({"--fast", "--log", log});
  ASSERT_FALSE(sim.device().isEmpty());
  const CliResult refused = Cli({"write", "--port", sim.device(), badFile});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.err.contains("nothing was sent")) << refused.err.toStdString();
  EXPECT_TRUE(QFile(log).size() == 0) << "the radio received nothing";
  const CliResult forced = Cli({"write", "--port", sim.device(), "--force", "--verify", badFile, "--lang", "en"});
  EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
  EXPECT_TRUE(forced.err.contains("Writing completed!"));
}

TEST_F(SafetyVerbs, DoctorVerdicts) {
  struct Case {
    const char* name;
    QStringList sim;  // empty: no virtual radio
    QString port;     // used when there is no virtual radio
    int exitCode;
    QString line;
  };
  const QString regular = m_scratch.Codeplug("regular.tw", BlankImage());
  const QList<Case> cases = {
      {"radio answers",
       {"--fast"},
       {},
       0,
       "[ ok ] radio: a radio answered the greeting and identified itself as this model (TZ417)"},
      {"another model",
       {"--fast", "--ident", "AB123"},
       {},
       1,
       "[FAIL] radio: a radio answered, but as another model (\"AB123\""},
      {"silent line", {"--fast", "--no-radio"}, {}, 1, "[FAIL] radio: nothing answered the greeting"},
      {"echoing line",
       {"--fast", "--no-radio", "--echo"},
       {},
       1,
       "[FAIL] radio: the cable echoes but no radio answered"},
      {"regular file", {}, regular, 1, "[FAIL] open: " + regular + " is a regular file, not a serial port"},
      {"missing path", {}, "/nonexistent/ttyUSB9", 1, "[FAIL] port: /nonexistent/ttyUSB9 does not exist"},
  };
  for (const Case& c : cases) {
    std::optional<SimProcess> sim;
    if (!c.sim.isEmpty()) sim.emplace(c.sim);
    const QString port = sim ? sim->device() : c.port;
    ASSERT_FALSE(port.isEmpty()) << c.name;
    const CliResult run = Cli({"doctor", "--port", port});
    EXPECT_EQ(run.exitCode, c.exitCode) << c.name << "\n" << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(c.line)) << c.name << "\n" << run.out.toStdString();
    EXPECT_TRUE(run.out.trimmed().split('\n').last().startsWith("summary: ")) << c.name;
  }
}

TEST_F(SafetyVerbs, DoctorExplainsAnUnreadableDevice) {
  // Root opens any device node, so a path the kernel itself refuses stands
  // in for a port the user may not open.
  QString refused;
  for (const char* path : {"/sys/kernel/notes", "/proc/1/environ", "/dev/ttyS0"}) {
    const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
    if (fd < 0 && (errno == EACCES || errno == EPERM)) {
      refused = path;
      break;
    }
  }
  if (refused.isEmpty()) GTEST_SKIP() << "no path on this machine refuses this user with EACCES";
  const CliResult run = Cli({"doctor", "--port", refused});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.contains("[FAIL] open: permission denied: ")) << run.out.toStdString();
  // The group that owns the device is named, with what to do about it.
  EXPECT_TRUE(run.out.contains("the group \"")) << run.out.toStdString();
}

TEST_F(SafetyVerbs, TraceOfAReadHasEveryFrameInOrder) {
  SimProcess sim({"--fast"});
  ASSERT_FALSE(sim.device().isEmpty());
  const QString trace = m_scratch.path("read.trace");
  ASSERT_EQ(Read(sim, {"--trace", trace}).exitCode, 0);
  QFile file(trace);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QStringList sent;
  QString last;
  for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
    if (line.startsWith('#')) continue;
    const QStringList fields = line.simplified().split(' ');
    ASSERT_GE(fields.size(), 2) << line.toStdString();
    bool stamped = false;
    fields[0].toDouble(&stamped);
    EXPECT_TRUE(stamped) << line.toStdString();
    if (fields[1] == "tx") sent << fields.mid(2).join(' ');
    last = line;
  }
  QStringList expected = {"48 69 4B 52 54 20 32 30", "02", "06"};
  for (const int row : ReadBlockRows()) {
    const int address = row * 16;
    expected << QStringLiteral("52 %1 %2 %3")
                    .arg(address >> 8, 2, 16, QChar('0'))
                    .arg(address & 0xFF, 2, 16, QChar('0'))
                    .arg(ReadBlockLength(row) * 16, 2, 16, QChar('0'))
                    .toUpper()
             << "06";
  }
  EXPECT_EQ(sent, expected);
  EXPECT_TRUE(last.endsWith("completed")) << last.toStdString();
}

}  // namespace
}  // namespace orvex
