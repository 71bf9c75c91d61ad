// The transfer driver through the real QSerialPort code against orvex-sim on
// a pseudo-terminal.
#include "link/clone_transfer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <optional>
#include <utility>
#include <vector>

#include "link/clone_protocol.h"
#include "link/serial_lock.h"
#include "link/sim_process.h"

namespace orvex {
namespace {

using test::Patterned;
using test::Scratch;
using test::SimProcess;
using namespace std::chrono_literals;

enum class Outcome { None, Completed, ModelMismatch, Failed, OpenFailed };

struct Observed {
  Outcome outcome = Outcome::None;
  QString reason;
  int outcomes = 0;  // how many outcome signals came
  int finished = 0;
  std::vector<std::pair<int, int>> progress;
  qint64 milliseconds = 0;
};

// Records what one transfer object reports.
class Recorder {
 public:
  explicit Recorder(CloneTransfer& transfer) {
    auto outcome = [this](Outcome o, QString reason = {}) {
      m_seen.outcome = o;
      m_seen.reason = std::move(reason);
      ++m_seen.outcomes;
    };
    QObject::connect(&transfer, &CloneTransfer::progress,
                     [this](int value, int maximum) { m_seen.progress.emplace_back(value, maximum); });
    QObject::connect(&transfer, &CloneTransfer::completed, [outcome] { outcome(Outcome::Completed); });
    QObject::connect(&transfer, &CloneTransfer::modelMismatch, [outcome] { outcome(Outcome::ModelMismatch); });
    QObject::connect(&transfer, &CloneTransfer::failed, [outcome](const QString& r) { outcome(Outcome::Failed, r); });
    QObject::connect(&transfer, &CloneTransfer::openFailed,
                     [outcome](const QString& r) { outcome(Outcome::OpenFailed, r); });
    QObject::connect(&transfer, &CloneTransfer::finished, [this] { ++m_seen.finished; });
  }
  Observed& seen() { return m_seen; }
  void Reset() { m_seen = {}; }

 private:
  Observed m_seen;
};

Observed RunTransfer(CloneDirection direction, const QString& port, RadioMemory& memory,
                     std::chrono::milliseconds limit = 20s) {
  test::App();
  CloneTransfer transfer;
  Recorder recorder(transfer);
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_TRUE(transfer.start(direction, port, memory));
  test::Spin(limit, [&] { return recorder.seen().finished > 0; });
  recorder.seen().milliseconds = elapsed.elapsed();
  EXPECT_FALSE(transfer.isRunning());
  return recorder.seen();
}

void ExpectRowsFrom(const Image& actual, const Image& radio, const Image& before) {
  for (int row = 0; row < static_cast<int>(kRowCount); ++row) {
    const Image& expected = IsReadRow(row) ? radio : before;
    ASSERT_TRUE(std::ranges::equal(RowOf(actual, row), RowOf(expected, row)))
        << "row " << row << (IsReadRow(row) ? " should come from the radio" : " should be left as it was");
  }
}

class LinkEndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    if (!QFileInfo::exists(test::SimProgram())) GTEST_SKIP() << "orvex-sim is not built";
    if (!QFileInfo::exists(QStringLiteral("/dev/ptmx"))) GTEST_SKIP() << "no pseudo-terminals on this machine";
  }
  Scratch m_scratch;
};

TEST_F(LinkEndToEnd, ReadFillsTheTransferredRowsAndLeavesTheOthers) {
  const Image radioImage = Patterned(11);
  SimProcess sim({"--fast", "--image", m_scratch.Codeplug("radio.tw", radioImage)});
  ASSERT_FALSE(sim.device().isEmpty()) << sim.errors().toStdString();
  RadioMemory memory;
  memory.image() = Patterned(99);
  const Image before = memory.image();

  const Observed seen = RunTransfer(CloneDirection::Read, sim.device(), memory);
  ASSERT_EQ(seen.outcome, Outcome::Completed) << seen.reason.toStdString();
  EXPECT_EQ(seen.outcomes, 1);
  EXPECT_EQ(seen.finished, 1);
  ExpectRowsFrom(memory.image(), radioImage, before);
  // 0 at the start, one per block, the maximum at the end.
  ASSERT_EQ(seen.progress.size(), 75u);
  EXPECT_EQ(seen.progress.front(), std::make_pair(0, 80));
  EXPECT_EQ(seen.progress[73], std::make_pair(73, 80));
  EXPECT_EQ(seen.progress.back(), std::make_pair(80, 80));
}

TEST_F(LinkEndToEnd, WriteLeavesTheRadioHoldingTheFilesRows) {
  const Image radioImage = Patterned(3);
  const QString saved = m_scratch.path("saved.tw");
  SimProcess sim({"--fast", "--image", m_scratch.Codeplug("radio.tw", radioImage), "--save", saved});
  ASSERT_FALSE(sim.device().isEmpty());
  RadioMemory memory;
  memory.image() = Patterned(42);
  const Image written = memory.image();

  const Observed wrote = RunTransfer(CloneDirection::Write, sim.device(), memory);
  ASSERT_EQ(wrote.outcome, Outcome::Completed) << wrote.reason.toStdString();
  EXPECT_EQ(memory.image(), written) << "a Write never changes the image";
  EXPECT_EQ(wrote.progress.back(), std::make_pair(300, 300));
  EXPECT_EQ(wrote.progress[285], std::make_pair(285, 300));

  // Verify: the radio now answers with the file's rows, and with its own in
  // the rows a Write never sends.
  RadioMemory readBack;
  const Observed read = RunTransfer(CloneDirection::Read, sim.device(), readBack);
  ASSERT_EQ(read.outcome, Outcome::Completed);
  for (const int row : WritePlanRows())
    ASSERT_TRUE(std::ranges::equal(RowOf(readBack.image(), row), RowOf(written, row))) << row;
  for (const int row : {131, 132, 387, 388})
    EXPECT_TRUE(std::ranges::equal(RowOf(readBack.image(), row), RowOf(radioImage, row))) << row;

  test::Spin(2s, [&] { return QFileInfo::exists(saved); });
  const auto file = ReadCodeplugFile(saved.toStdString());
  ASSERT_TRUE(file.ok());
  for (const int row : WritePlanRows())
    ASSERT_TRUE(std::ranges::equal(RowOf(file->image, row), RowOf(written, row))) << row;
}

struct FaultCase {
  const char* name;
  QStringList arguments;
  CloneDirection direction;
  Outcome expected;
  qint64 atMostMs;
};

class LinkFaults : public LinkEndToEnd, public testing::WithParamInterface<FaultCase> {};

TEST_P(LinkFaults, EndAsTheProtocolSaysAndLeaveTheImageUntouched) {
  const FaultCase& fault = GetParam();
  QStringList arguments = fault.arguments;
  arguments << "--fast";
  SimProcess sim(arguments);
  ASSERT_FALSE(sim.device().isEmpty());
  RadioMemory memory;
  memory.image() = Patterned(5);
  const Image before = memory.image();

  const Observed seen = RunTransfer(fault.direction, sim.device(), memory);
  EXPECT_EQ(seen.outcome, fault.expected) << seen.reason.toStdString();
  EXPECT_EQ(seen.outcomes, 1);
  EXPECT_EQ(seen.finished, 1);
  EXPECT_LE(seen.milliseconds, fault.atMostMs);
  if (fault.expected != Outcome::Completed) {
    EXPECT_EQ(memory.image(), before) << "a Read that does not complete leaves the image as it was";
  }
  if (fault.expected == Outcome::Failed) {
    EXPECT_FALSE(seen.reason.isEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Switches, LinkFaults,
    testing::Values(
        FaultCase{"OtherModel", {"--ident", "TZ418"}, CloneDirection::Read, Outcome::ModelMismatch, 500},
        FaultCase{"OtherModelWrite", {"--ident", "XR100"}, CloneDirection::Write, Outcome::ModelMismatch, 500},
        FaultCase{"SilentMidRead", {"--silent-after", "40"}, CloneDirection::Read, Outcome::Failed, 1500},
        FaultCase{"SilentMidWrite", {"--silent-after", "100"}, CloneDirection::Write, Outcome::Failed, 1500},
        FaultCase{"DroppedReply", {"--drop-every", "30"}, CloneDirection::Read, Outcome::Failed, 1500},
        FaultCase{"BadAcknowledge", {"--bad-ack"}, CloneDirection::Read, Outcome::Failed, 500},
        FaultCase{"BadAcknowledgeWrite", {"--bad-ack"}, CloneDirection::Write, Outcome::Failed, 500},
        FaultCase{"TooSlow", {"--delay", "900"}, CloneDirection::Read, Outcome::Failed, 1500},
        FaultCase{"SlowButInTime", {"--delay", "10"}, CloneDirection::Read, Outcome::Completed, 10000},
        FaultCase{"HangUpMidRead", {"--hangup-after", "20"}, CloneDirection::Read, Outcome::Failed, 1000},
        FaultCase{"HangUpMidWrite", {"--hangup-after", "50"}, CloneDirection::Write, Outcome::Failed, 1000}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST_F(LinkEndToEnd, RetryStartsAgainFromTheGreeting) {
  const QString log = m_scratch.path("sim.log");
  SimProcess sim({"--fast", "--silent-after", "10", "--log", log});
  ASSERT_FALSE(sim.device().isEmpty());
  RadioMemory memory;
  const Image before = memory.image();
  CloneTransfer transfer;
  Recorder recorder(transfer);
  for (int attempt = 0; attempt < 2; ++attempt) {
    recorder.Reset();
    ASSERT_TRUE(transfer.start(CloneDirection::Read, sim.device(), memory));
    test::Spin(5s, [&] { return recorder.seen().finished > 0; });
    EXPECT_EQ(recorder.seen().outcome, Outcome::Failed);
  }
  EXPECT_EQ(memory.image(), before);
  QFile file(log);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_EQ(text.count("rx 48 69 4B 52 54 20 32 30"), 2) << "each attempt begins with the greeting";
}

TEST_F(LinkEndToEnd, BootNoiseCostsAtMostOneRetry) {
  // Paced, so the stray bytes reach the driver ahead of the greeting's reply.
  SimProcess sim({"--noise", "3"});
  ASSERT_FALSE(sim.device().isEmpty());
  RadioMemory memory;
  int attempts = 0;
  Observed seen;
  while (attempts < 2 && seen.outcome != Outcome::Completed) {
    ++attempts;
    seen = RunTransfer(CloneDirection::Read, sim.device(), memory);
    if (seen.outcome != Outcome::Completed) QThread::msleep(300);  // as a retry lets the line settle
  }
  EXPECT_EQ(seen.outcome, Outcome::Completed) << seen.reason.toStdString();
  EXPECT_LE(attempts, 2);
}

TEST_F(LinkEndToEnd, EchoingCableWorksBothWays) {
  const Image radioImage = Patterned(21);
  SimProcess sim({"--fast", "--echo", "--image", m_scratch.Codeplug("radio.tw", radioImage)});
  ASSERT_FALSE(sim.device().isEmpty());
  RadioMemory memory;
  const Image before = memory.image();
  const Observed read = RunTransfer(CloneDirection::Read, sim.device(), memory);
  ASSERT_EQ(read.outcome, Outcome::Completed) << read.reason.toStdString();
  ExpectRowsFrom(memory.image(), radioImage, before);

  memory.image() = Patterned(66);
  const Image written = memory.image();
  ASSERT_EQ(RunTransfer(CloneDirection::Write, sim.device(), memory).outcome, Outcome::Completed);
  RadioMemory readBack;
  ASSERT_EQ(RunTransfer(CloneDirection::Read, sim.device(), readBack).outcome, Outcome::Completed);
  for (const int row : WritePlanRows())
    ASSERT_TRUE(std::ranges::equal(RowOf(readBack.image(), row), RowOf(written, row))) << row;
}

TEST_F(LinkEndToEnd, HangUpEndsWithinASecondAndNothingSpins) {
  SimProcess sim({"--hangup-after", "6"});  // paced: the line goes mid-read
  ASSERT_FALSE(sim.device().isEmpty());
  RadioMemory memory;
  const Image before = memory.image();
  CloneTransfer transfer;
  Recorder recorder(transfer);
  ASSERT_TRUE(transfer.start(CloneDirection::Read, sim.device(), memory));
  test::Spin(5s, [&] { return recorder.seen().finished > 0; });
  ASSERT_EQ(recorder.seen().outcome, Outcome::Failed);
  EXPECT_FALSE(recorder.seen().reason.contains("no reply"))
      << "reported at once, not by the reply limit: " << recorder.seen().reason.toStdString();
  EXPECT_EQ(memory.image(), before);
  test::Spin(2s, [&] { return !sim.running(); });
  EXPECT_FALSE(sim.running()) << "the virtual radio leaves once it has hung up";

  // With the port closed, an idle event loop costs next to nothing.
  const double cpuBefore = test::CpuMilliseconds();
  test::Spin(500ms, [] { return false; });
  EXPECT_LT(test::CpuMilliseconds() - cpuBefore, 100.0);
  EXPECT_EQ(recorder.seen().outcomes, 1);
  EXPECT_FALSE(transfer.isRunning());
}

TEST_F(LinkEndToEnd, SecondStartWhileRunningIsRefused) {
  SimProcess sim({"--fast"});
  ASSERT_FALSE(sim.device().isEmpty());
  RadioMemory memory;
  RadioMemory other;
  CloneTransfer transfer;
  Recorder recorder(transfer);
  ASSERT_TRUE(transfer.start(CloneDirection::Read, sim.device(), memory));
  test::Spin(100ms, [&] { return recorder.seen().progress.size() > 3; });
  const std::size_t progressSoFar = recorder.seen().progress.size();
  EXPECT_FALSE(transfer.start(CloneDirection::Write, sim.device(), other));
  EXPECT_FALSE(transfer.start(CloneDirection::Read, sim.device(), other));
  EXPECT_EQ(recorder.seen().progress.size(), progressSoFar) << "a refused start emits nothing";
  test::Spin(10s, [&] { return recorder.seen().finished > 0; });
  EXPECT_EQ(recorder.seen().outcome, Outcome::Completed);
  EXPECT_EQ(recorder.seen().finished, 1);
}

TEST_F(LinkEndToEnd, CancelEndsAsFailedAndKeepsTheImage) {
  SimProcess sim({});
  ASSERT_FALSE(sim.device().isEmpty());
  RadioMemory memory;
  memory.image() = Patterned(8);
  const Image before = memory.image();
  CloneTransfer transfer;
  Recorder recorder(transfer);
  ASSERT_TRUE(transfer.start(CloneDirection::Read, sim.device(), memory));
  test::Spin(3s, [&] { return recorder.seen().progress.size() > 5; });
  transfer.cancel();
  EXPECT_EQ(recorder.seen().outcome, Outcome::Failed);
  EXPECT_EQ(recorder.seen().reason, QStringLiteral("cancelled"));
  EXPECT_EQ(recorder.seen().finished, 1);
  EXPECT_FALSE(transfer.isRunning());
  EXPECT_EQ(memory.image(), before);
}

TEST_F(LinkEndToEnd, PortThatCannotBeOpenedReportsTheSystemError) {
  RadioMemory memory;
  const Image before = memory.image();
  const Observed seen = RunTransfer(CloneDirection::Read, QStringLiteral("/nonexistent/ttyORVEX"), memory, 2s);
  EXPECT_EQ(seen.outcome, Outcome::OpenFailed);
  EXPECT_FALSE(seen.reason.isEmpty());
  EXPECT_EQ(seen.finished, 1);
  EXPECT_TRUE(seen.progress.empty());
  EXPECT_EQ(memory.image(), before);
}

// Lock files a killed transfer leaves behind (empty, naming a dead process,
// or Qt's ".rmlock" files) never block the next transfer, and are gone after
// it; a lock held by a running transfer is respected.
TEST_F(LinkEndToEnd, StaleLockFilesDoNotBlockTheNextTransfer) {
  SimProcess sim({"--fast"});
  ASSERT_FALSE(sim.device().isEmpty());
  const QString lock = SerialLockPath(sim.device());
  if (lock.isEmpty()) GTEST_SKIP() << "no lock folder is usable here";
  const auto put = [](const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  };
  for (const QByteArray& content : {QByteArray(), QByteArray("2147483646\norvex-cli\nhost\n")}) {
    put(lock, content);
    put(lock + ".rmlock", {});
    put(lock + ".rmlock.rmlock", {});
    RadioMemory memory;
    InitMemory(memory);
    const Observed seen = RunTransfer(CloneDirection::Read, sim.device(), memory);
    EXPECT_EQ(seen.outcome, Outcome::Completed) << seen.reason.toStdString();
    for (const QString& left : {lock, lock + ".rmlock", lock + ".rmlock.rmlock"})
      EXPECT_FALSE(QFileInfo::exists(left)) << left.toStdString();
  }

  // A transfer killed part-way; the next one starts at once.
  QProcess cli;
  cli.start(test::CliProgram(), {"read", "--port", sim.device(), "-o", m_scratch.path("killed.tw")});
  ASSERT_TRUE(cli.waitForStarted());
  QThread::msleep(150);
  cli.kill();
  cli.waitForFinished();
  RadioMemory memory;
  InitMemory(memory);
  EXPECT_EQ(RunTransfer(CloneDirection::Read, sim.device(), memory).outcome, Outcome::Completed);
  EXPECT_FALSE(QFileInfo::exists(lock));
}

}  // namespace
}  // namespace orvex
