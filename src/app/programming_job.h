#pragma once

// A programming job: a Read, or a Write with its check beforehand, the
// backup of what the radio held, and the read-back that verifies it; each
// transfer retried from the greeting when it fails.  Plain C++ over the
// clone protocol and a ClonePort; every question and what the user sees
// are callbacks of the face that runs it.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/memory_image.h"
#include "core/result.h"
#include "link/clone_port.h"
#include "link/clone_run.h"
#include "model/document/codeplug_check.h"

namespace orvex {

// Before a retry the radio's reply to the failed frame is let die away, so
// its tail is not taken for the new greeting's answer.
inline constexpr std::chrono::milliseconds kRetrySettle{300};

enum class JobOutcome {
  Completed,      // read; written (and read back equal)
  ModelMismatch,  // the radio is another model
  Failed,         // the last attempt failed: reason
  OpenFailed,     // the port could not be opened: the system's reason
  Differences,    // written, but the read-back differs: differingRows
  NotWritten,     // its image or its backup was refused: reason
  Stopped,        // Stop()
};

struct JobEnd {
  JobOutcome outcome = JobOutcome::Completed;
  TransferStage stage = TransferStage::Reading;  // the transfer it ended in
  std::string reason;
  std::vector<int> differingRows;
};

// A transfer that failed; `attempt` retries were made before it.
struct JobFailure {
  TransferStage stage;
  std::string reason;
  int attempt;
  int retries;  // the request's count
};

struct JobRequest {
  CloneDirection direction = CloneDirection::Read;
  std::string port;
  // What a Write sends; rows a Read does not fetch keep these bytes.
  Image image{};
  bool verify = false;       // a Write is read back and compared
  bool backupFirst = false;  // a Write first reads the radio for keepBeforeWrite
  int retries = 0;           // of each transfer, unless the retry callback answers
  int language = 0;          // of the check's findings
};

struct JobCallbacks {
  // Before a Write; false stops it before the port is opened.  Only asked
  // when the check finds something.
  std::function<bool(const std::vector<CheckFinding>& findings)> checkBeforeWrite;
  std::function<void(TransferStage stage)> stageStarted;
  std::function<void(TransferStage stage, int value, int maximum)> progress;
  // The radio said it is this model; no row moved yet.  May SetWriteImage(),
  // Refuse() or Stop().
  std::function<void(TransferStage stage)> identified;
  // What the radio held before a Write; an error writes nothing.  A face
  // that keeps it asynchronously calls AnswerLater(), then Answer(true) once
  // it is kept, or Refuse(reason) when it could not be.
  std::function<Status(const Image& held)> keepBeforeWrite;
  // A transfer completed and the job goes on or ends.
  std::function<void(TransferStage stage)> stageCompleted;
  // Whether to try a failed transfer again; without it, `retries` times.
  // It or writeAgain may call AnswerLater() and return anything.
  std::function<bool(const JobFailure& failure)> retry;
  // The read-back differs: whether to write again.  Without it, no.
  std::function<bool(const std::vector<int>& rows)> writeAgain;
  std::function<void(const JobEnd& end)> finished;
};

class ProgrammingJob : private ClonePortListener, private CloneRunListener {
 public:
  // The port must outlive the job; the job listens to it.
  ProgrammingJob(ClonePort& port, JobCallbacks callbacks);
  ~ProgrammingJob();
  ProgrammingJob(const ProgrammingJob&) = delete;
  ProgrammingJob& operator=(const ProgrammingJob&) = delete;

  // False when one is running or the check before a Write stopped it;
  // otherwise finished() comes once, never before this returns.
  bool Start(const JobRequest& request);
  [[nodiscard]] bool running() const { return m_running; }
  // Ends a running job as Stopped, at once.
  void Stop();
  // Ends a running job as NotWritten, at once.
  void Refuse(const std::string& reason);
  // Called from inside retry or writeAgain by a face whose questions do not
  // block: the job waits, however long, until Answer() gives the answer.
  void AnswerLater() { m_answerLater = true; }
  // The answer to the question put off by AnswerLater(); nothing when none
  // is waiting.
  void Answer(bool yes);
  [[nodiscard]] bool waiting() const { return m_waiting != Question::None; }
  // What a Write sends from now on and what its read-back is compared with.
  void SetWriteImage(const Image& image);
  void SetTrace(LinkTrace* trace) { m_run.SetTrace(trace); }

  // The image of the last Read, read-back or backup read.
  [[nodiscard]] const Image& image() const { return m_memory.image(); }
  // What the Write sends.
  [[nodiscard]] const Image& written() const { return m_written; }
  [[nodiscard]] TransferStage stage() const { return m_stage; }
  [[nodiscard]] const JobRequest& request() const { return m_request; }

 private:
  enum class Pending { None, Decide, Retry };
  enum class Question { None, Keep, Retry, WriteAgain };

  void Begin(TransferStage stage);
  void Decide();
  void Next(TransferStage stage);
  void Ask(Question question, const std::function<bool()>& ask);
  void Answered(Question question, bool yes);
  void End(JobOutcome outcome, std::string reason = {}, std::vector<int> rows = {});
  void Interrupt(JobOutcome outcome, const std::string& reason);

  void PortBytes(std::span<const std::uint8_t> bytes) override { m_run.PortBytes(bytes); }
  void PortTimer() override;
  bool PortError(const std::string& reason) override { return m_run.PortError(reason); }
  void RunProgress(int value, int maximum) override;
  void RunIdentified() override;
  void RunEnded(CloneEnd end, const std::string& reason) override;

  ClonePort& m_port;
  JobCallbacks m_callbacks;
  CloneRun m_run{m_port, *this};
  JobRequest m_request;
  RadioMemory m_memory;
  Image m_written{};
  TransferStage m_stage = TransferStage::Reading;
  CloneEnd m_runEnd = CloneEnd::Completed;
  std::string m_runReason;
  Pending m_pending = Pending::None;
  Question m_waiting = Question::None;
  std::vector<int> m_differingRows;  // while writeAgain waits
  bool m_answerLater = false;
  bool m_running = false;
  bool m_interrupting = false;
  int m_attempt = 0;
};

}  // namespace orvex
