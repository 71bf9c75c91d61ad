// The programming job's sequencing against the radio's side of the protocol
// behind a fake port with a virtual clock, then once through the QSerialPort
// driver against orvex-sim on a pseudo-terminal.
#include "app/programming_job.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <deque>
#include <optional>
#include <set>

#include "link/clone_protocol.h"
#include "link/serial_clone_port.h"
#include "link/sim_process.h"
#include "sim/sim_radio.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;

// A port whose far end is a SimRadio; replies arrive as events of a loop
// that jumps its clock to the next timer when nothing else is pending.
class FakePort : public ClonePort {
 public:
  FakePort(const Image& radio, SimFaults faults) : m_radio(radio, std::move(faults)) {}

  std::string openError;
  bool echo = false;
  std::set<long> silentFrames;  // frames, counted from 1, the radio misses once

  Status Open(const std::string&) override {
    if (!openError.empty()) return Fail(openError);
    m_open = true;
    return Ok{};
  }
  void Send(std::span<const std::uint8_t> bytes) override {
    m_arrivals.clear();
    if (echo) m_arrivals.emplace_back(bytes.begin(), bytes.end());
    for (const std::uint8_t byte : bytes) {
      const auto frame = m_radio.Feed(byte);
      if (!frame) continue;
      if (silentFrames.erase(++m_frames) == 0 && !frame->reply.empty()) m_arrivals.push_back(frame->reply);
    }
  }
  void Close() override { m_open = false; }
  bool IsOpen() const override { return m_open; }
  void Arm(std::chrono::milliseconds delay) override { m_deadline = m_now + delay; }
  void Disarm() override { m_deadline.reset(); }

  // Runs until nothing is pending.
  void Loop() {
    while (true) {
      if (!m_arrivals.empty() && m_open) {
        const auto bytes = std::move(m_arrivals.front());
        m_arrivals.pop_front();
        listener()->PortBytes(bytes);
      } else if (m_deadline) {
        m_now = *std::exchange(m_deadline, std::nullopt);
        listener()->PortTimer();
      } else {
        return;
      }
    }
  }
  const Image& radio() const { return m_radio.memory(); }

 private:
  SimRadio m_radio;
  std::deque<std::vector<std::uint8_t>> m_arrivals;
  std::optional<std::chrono::milliseconds> m_deadline;
  std::chrono::milliseconds m_now{0};
  bool m_open = false;
  long m_frames = 0;
};

const char* StageLetter(TransferStage stage) {
  static constexpr const char* kLetters[] = {"R", "W", "V", "B"};
  return kLetters[static_cast<int>(stage)];
}

struct Case {
  const char* name;
  CloneDirection direction;
  bool verify = false;
  bool backupFirst = false;
  SimFaults faults = {};
  std::set<long> silentFrames = {};
  bool echo = false;
  std::string openError = {};
  std::string keepError = {};  // the backup before a Write fails so
  bool writeAgain = false;
  bool later = false;             // keep, retry and writeAgain answer after the callback returned
  const char* onIdentified = "";  // "stop", "refuse"
  // Expected:
  JobOutcome outcome = JobOutcome::Completed;
  const char* stages = "";  // a letter per transfer started
  const char* reason = "";  // a part of the reason
  std::vector<int> rows = {};
};

std::string PrintCase(const testing::TestParamInfo<Case>& info) { return info.param.name; }

SimFaults Faults(std::string ident = "TZ417", long silentAfter = 0, bool noRadio = false, long storeWrongRow = -1) {
  SimFaults faults;
  faults.ident = std::move(ident);
  faults.silentAfter = silentAfter;
  faults.noRadio = noRadio;
  faults.storeWrongRow = storeWrongRow;
  return faults;
}

constexpr auto kRead = CloneDirection::Read;
constexpr auto kWrite = CloneDirection::Write;

class JobSequence : public testing::TestWithParam<Case> {};

TEST_P(JobSequence, RunsTheStagesToOneOutcome) {
  const Case& c = GetParam();
  const Image radioImage = test::Patterned(5);
  FakePort port(radioImage, c.faults);
  port.silentFrames = c.silentFrames;
  port.echo = c.echo;
  port.openError = c.openError;

  std::string stages;
  std::optional<JobEnd> end;
  int ends = 0;
  std::optional<Image> kept;
  ProgrammingJob* running = nullptr;
  JobCallbacks callbacks;
  callbacks.stageStarted = [&](TransferStage stage) { stages += StageLetter(stage); };
  callbacks.identified = [&](TransferStage) {
    if (std::string_view(c.onIdentified) == "stop") running->Stop();
    if (std::string_view(c.onIdentified) == "refuse") running->Refuse("no values for this port");
  };
  bool askedAgain = false;
  std::optional<bool> laterAnswer;
  std::optional<std::string> laterRefusal;
  callbacks.keepBeforeWrite = [&](const Image& held) -> Status {
    kept = held;
    if (c.later) {
      // Kept asynchronously: the job waits for the outcome.
      running->AnswerLater();
      if (c.keepError.empty())
        laterAnswer = true;
      else
        laterRefusal = c.keepError;
      return Ok{};
    }
    if (!c.keepError.empty()) return Fail(c.keepError);
    return Ok{};
  };
  // Answers as the request's retries would, or as the row asks, now or later.
  const auto answer = [&](bool yes) {
    if (!c.later) return yes;
    running->AnswerLater();
    laterAnswer = yes;
    return !yes;
  };
  callbacks.writeAgain = [&](const std::vector<int>&) {
    return answer(c.writeAgain && !std::exchange(askedAgain, true));
  };
  if (c.later) callbacks.retry = [&](const JobFailure& f) { return answer(f.attempt < f.retries); };
  callbacks.finished = [&](const JobEnd& e) {
    end = e;
    ++ends;
  };
  ProgrammingJob job(port, callbacks);
  running = &job;

  JobRequest request;
  request.direction = c.direction;
  request.port = "fake";
  request.image = test::Patterned(9);
  request.verify = c.verify;
  request.backupFirst = c.backupFirst;
  request.retries = 2;
  ASSERT_TRUE(job.Start(request));
  EXPECT_EQ(ends, 0) << "nothing ends before Start returns";
  port.Loop();
  while (laterAnswer || laterRefusal) {
    EXPECT_TRUE(job.waiting());
    EXPECT_EQ(ends, 0) << "nothing ends while a question waits";
    if (laterRefusal)
      job.Refuse(*std::exchange(laterRefusal, std::nullopt));
    else
      job.Answer(*std::exchange(laterAnswer, std::nullopt));
    port.Loop();
  }

  ASSERT_EQ(ends, 1);
  EXPECT_FALSE(job.running());
  EXPECT_EQ(end->outcome, c.outcome) << end->reason;
  EXPECT_EQ(stages, c.stages);
  EXPECT_NE(end->reason.find(c.reason), std::string::npos) << end->reason;
  EXPECT_EQ(end->differingRows, c.rows);
  if (end->outcome != JobOutcome::Completed) return;
  for (const int row : WritePlanRows()) {
    const auto expected = RowOf(c.direction == kRead ? radioImage : request.image, row);
    const auto actual = RowOf(c.direction == kRead ? job.image() : port.radio(), row);
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), actual.begin())) << "row " << row;
  }
  if (c.backupFirst) {
    EXPECT_TRUE(kept && DifferingRows(*kept, radioImage).empty()) << "the backup holds the radio";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JobSequence,
    testing::Values(
        Case{.name = "Read", .direction = kRead, .stages = "R"},
        Case{.name = "ReadThroughAnEchoingCable", .direction = kRead, .echo = true, .stages = "R"},
        Case{.name = "WriteAndVerify", .direction = kWrite, .verify = true, .stages = "WV"},
        Case{.name = "WriteWithoutVerify", .direction = kWrite, .stages = "W"},
        Case{.name = "BackupThenWrite", .direction = kWrite, .verify = true, .backupFirst = true, .stages = "BWV"},
        Case{.name = "BackupRefusedWritesNothing",
             .direction = kWrite,
             .backupFirst = true,
             .keepError = "disk full",
             .outcome = JobOutcome::NotWritten,
             .stages = "B",
             .reason = "disk full"},
        Case{.name = "BackupKeptLaterThenWrite",
             .direction = kWrite,
             .verify = true,
             .backupFirst = true,
             .later = true,
             .stages = "BWV"},
        Case{.name = "BackupRefusedLaterWritesNothing",
             .direction = kWrite,
             .backupFirst = true,
             .keepError = "quota exceeded",
             .later = true,
             .outcome = JobOutcome::NotWritten,
             .stages = "B",
             .reason = "quota exceeded"},
        Case{.name = "VerifyFindsTheRowStoredWrong",
             .direction = kWrite,
             .verify = true,
             .faults = Faults("TZ417", 0, false, 7),
             .outcome = JobOutcome::Differences,
             .stages = "WV",
             .rows = {7}},
        Case{.name = "WriteAgainAfterDifferences",
             .direction = kWrite,
             .verify = true,
             .faults = Faults("TZ417", 0, false, 7),
             .writeAgain = true,
             .stages = "WVWV"},
        Case{.name = "WriteAgainAnsweredLater",
             .direction = kWrite,
             .verify = true,
             .faults = Faults("TZ417", 0, false, 7),
             .writeAgain = true,
             .later = true,
             .stages = "WVWV"},
        Case{.name = "DifferencesKeptWhenAnsweredLater",
             .direction = kWrite,
             .verify = true,
             .faults = Faults("TZ417", 0, false, 7),
             .later = true,
             .outcome = JobOutcome::Differences,
             .stages = "WV",
             .rows = {7}},
        Case{.name = "AnotherModel",
             .direction = kRead,
             .faults = Faults("XX999"),
             .outcome = JobOutcome::ModelMismatch,
             .stages = "R"},
        Case{.name = "RetryRecoversFromAMissedReply", .direction = kRead, .silentFrames = {20}, .stages = "RR"},
        Case{.name = "RetryAnsweredLater", .direction = kRead, .silentFrames = {20}, .later = true, .stages = "RR"},
        Case{.name = "RetriesOfTheReadBackOnly",
             .direction = kWrite,
             .verify = true,
             .silentFrames = {300},
             .stages = "WVV"},
        Case{.name = "NoAnswerAfterEveryRetry",
             .direction = kRead,
             .faults = Faults("TZ417", 0, true),
             .outcome = JobOutcome::Failed,
             .stages = "RRR",
             .reason = "no reply to the greeting within 800 ms"},
        Case{.name = "NoAnswerRefusedLater",
             .direction = kRead,
             .faults = Faults("TZ417", 0, true),
             .later = true,
             .outcome = JobOutcome::Failed,
             .stages = "RRR",
             .reason = "no reply to the greeting within 800 ms"},
        Case{.name = "PortCannotOpen",
             .direction = kWrite,
             .openError = "Permission denied",
             .outcome = JobOutcome::OpenFailed,
             .stages = "W",
             .reason = "Permission denied"},
        Case{.name = "StoppedOnceIdentified",
             .direction = kWrite,
             .onIdentified = "stop",
             .outcome = JobOutcome::Stopped,
             .stages = "W"},
        Case{.name = "RefusedOnceIdentified",
             .direction = kWrite,
             .onIdentified = "refuse",
             .outcome = JobOutcome::NotWritten,
             .stages = "W",
             .reason = "no values"}),
    PrintCase);

TEST(JobCheck, AWriteTheCheckStopsNeverOpensThePort) {
  FakePort port(BlankImage(), {});
  port.openError = "must not be opened";
  int asked = 0;
  bool ended = false;
  JobCallbacks callbacks;
  callbacks.checkBeforeWrite = [&](const std::vector<CheckFinding>& findings) {
    asked += findings.empty() ? 0 : 1;
    return false;
  };
  callbacks.finished = [&](const JobEnd&) { ended = true; };
  ProgrammingJob job(port, callbacks);
  JobRequest request;
  request.direction = kWrite;
  request.image = test::Patterned(9);  // noise is full of findings
  EXPECT_FALSE(job.Start(request));
  port.Loop();
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(ended);
  EXPECT_FALSE(job.running());
}

TEST(JobOverSerialPort, WritesAndVerifiesAgainstTheVirtualRadio) {
  if (!QFileInfo::exists(test::SimProgram())) GTEST_SKIP() << "orvex-sim is not built";
  if (!QFileInfo::exists(QStringLiteral("/dev/ptmx"))) GTEST_SKIP() << "no pseudo-terminals on this machine";
  test::Scratch scratch;
  test::SimProcess sim({"--fast", "--image", scratch.Codeplug("radio.tw", test::Patterned(3))});
  ASSERT_FALSE(sim.device().isEmpty()) << sim.errors().toStdString();
  SerialClonePort port;
  std::optional<JobEnd> end;
  JobCallbacks callbacks;
  callbacks.finished = [&](const JobEnd& e) { end = e; };
  ProgrammingJob job(port, callbacks);
  JobRequest request;
  request.direction = kWrite;
  request.port = sim.device().toStdString();
  request.image = test::Patterned(42);
  request.verify = true;
  ASSERT_TRUE(job.Start(request));
  test::Spin(20s, [&] { return end.has_value(); });
  ASSERT_TRUE(end);
  EXPECT_EQ(end->outcome, JobOutcome::Completed) << end->reason;
  EXPECT_EQ(end->stage, TransferStage::Verifying);
  EXPECT_TRUE(DifferingRows(job.image(), request.image).empty());
}

}  // namespace
}  // namespace orvex
