// The programming job of the page: the engine's job over a port whose
// bytes, timer and errors come from the page's serial line (Web Serial or
// the virtual radio), every text and question composed by the engine.

#include <emscripten/bind.h>

#include <utility>

#include "app/job_messages.h"
#include "app/programming_job.h"
#include "link/clone_protocol.h"
#include "web/line_port.h"
#include "web/web_session.h"

namespace orvex {

namespace {

using emscripten::val;

// String-table numbers of a box's buttons, as the page's dialog takes them.
constexpr int kYes = 1044, kNo = 1045, kRetry = 1046, kOk = 1156, kCancel = 1157;

val MessageObject(const JobMessage& message) {
  static constexpr const char* kKinds[] = {"information", "warning", "critical"};
  static constexpr std::pair<int, int> kButtons[] = {{kOk, 0}, {kOk, kCancel}, {kYes, kNo}, {kRetry, kCancel}};
  const auto [accept, refuse] = kButtons[static_cast<int>(message.buttons)];
  val out = val::object();
  out.set("kind", std::string(kKinds[static_cast<int>(message.kind)]));
  out.set("text", message.text);
  val buttons = val::array();
  buttons.call<void>("push", accept);
  if (refuse != 0) buttons.call<void>("push", refuse);
  out.set("buttons", buttons);
  out.set("accept", accept);
  out.set("defaultButton", message.acceptByDefault || refuse == 0 ? accept : refuse);
  return out;
}

const char* OutcomeName(JobOutcome outcome) {
  static constexpr const char* kNames[] = {"completed",   "modelMismatch", "failed", "openFailed",
                                           "differences", "notWritten",    "stopped"};
  return kNames[static_cast<int>(outcome)];
}

}  // namespace

// One Read or Write for the page.  `face` has stage(text, maximum),
// progress(value, maximum, text), ask(message) (answered by answer()) and
// finished(message, outcome, image or null), and keep(image) for what the
// radio held before a Write that backs it up first.
class WebJob {
 public:
  WebJob(WebSession& web, val line, val face)
      : m_web(web), m_port(std::move(line)), m_face(std::move(face)), m_job(m_port, Callbacks()) {
    m_job.SetTrace(&m_trace);
  }

  // The check's question before a Write of the session's codeplug, or null
  // when it finds nothing.
  val CheckQuestion() const {
    const auto findings = CheckCodeplug(m_web.session().memory().image(), m_web.Language());
    return findings.empty() ? val::null() : MessageObject(orvex::CheckQuestion(findings, m_web.Language()));
  }

  bool Read(const std::string& port) { return Start(CloneDirection::Read, port, false); }
  bool Write(const std::string& port, bool verify) { return Start(CloneDirection::Write, port, verify); }
  // A Write that first reads what the radio holds and hands it to keep().
  bool WriteBackingUp(const std::string& port, bool verify) {
    m_backupFirst = true;
    return Start(CloneDirection::Write, port, verify);
  }
  // The frames of the job as the desktop's link log.
  std::string LinkLog() const { return m_trace.Text(); }
  void Stop() { m_job.Stop(); }
  void Answer(bool yes) { m_job.Answer(yes); }
  void Refuse(const std::string& reason) { m_job.Refuse(reason); }
  bool Running() const { return m_job.running(); }

  void Received(const std::string& bytes) { m_port.Received(Bytes(bytes.begin(), bytes.end())); }
  void Timer() { m_port.Timer(); }
  void Failed(const std::string& reason) { m_port.Failed(reason); }

 private:
  bool Start(CloneDirection direction, const std::string& port, bool verify) {
    JobRequest request;
    request.direction = direction;
    request.port = port;
    request.image = m_web.session().memory().image();
    request.verify = verify;
    request.backupFirst = m_backupFirst;
    request.language = m_web.Language();
    m_portName = port;
    m_trace.Begin(direction == CloneDirection::Read ? "Read" : "Write");
    return m_job.Start(request);
  }

  int Language() const { return m_web.Language(); }

  JobCallbacks Callbacks() {
    JobCallbacks callbacks;
    callbacks.stageStarted = [this](TransferStage stage) {
      const auto direction = stage == TransferStage::Writing ? CloneDirection::Write : CloneDirection::Read;
      m_face.call<void>("stage", ProgressText(stage, 0, Language()), ProgressMaximum(direction));
    };
    callbacks.progress = [this](TransferStage stage, int value, int maximum) {
      m_face.call<void>("progress", value, maximum, ProgressText(stage, value, Language()));
    };
    // The page keeps it in IndexedDB, which answers later: nothing is
    // written until it says the backup is kept (answer) or not (refuse).
    callbacks.keepBeforeWrite = [this](const Image& held) {
      m_job.AnswerLater();
      m_face.call<void>("keep", ByteArray(Bytes(held.begin(), held.end())));
      return Status(Ok{});
    };
    callbacks.retry = [this](const JobFailure&) { return Ask(RetryQuestion(Language())); };
    callbacks.writeAgain = [this](const std::vector<int>&) {
      return Ask(WriteAgainQuestion(m_job.written(), m_job.image(), Language()));
    };
    callbacks.finished = [this](const JobEnd& end) { Finished(end); };
    return callbacks;
  }

  bool Ask(const JobMessage& question) {
    m_job.AnswerLater();
    m_face.call<void>("ask", MessageObject(question));
    return false;
  }

  void Finished(const JobEnd& end) {
    val image = val::null();
    if (end.outcome == JobOutcome::Completed && end.stage == TransferStage::Reading) {
      // What the radio holds is the codeplug now, from no file, the new
      // baseline with a fresh history.
      CopyReadRows(m_job.image(), m_web.session().memory().image());
      m_web.Refresh();
      m_web.session().ReadReplaced(m_portName);
      image = ByteArray(Bytes(m_job.image().begin(), m_job.image().end()));
    }
    m_face.call<void>("finished", MessageObject(EndMessage(end, Language())), std::string(OutcomeName(end.outcome)),
                      image);
  }

  WebSession& m_web;
  LinePort m_port;
  val m_face;
  ProgrammingJob m_job;
  std::string m_portName;
  LinkTrace m_trace;
  bool m_backupFirst = false;
};

}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web_job) {
  using orvex::WebJob;
  emscripten::class_<WebJob>("Job")
      .constructor<orvex::WebSession&, emscripten::val, emscripten::val>()
      .function("checkQuestion", &WebJob::CheckQuestion)
      .function("read", &WebJob::Read)
      .function("write", &WebJob::Write)
      .function("writeBackingUp", &WebJob::WriteBackingUp)
      .function("linkLog", &WebJob::LinkLog)
      .function("stop", &WebJob::Stop)
      .function("answer", &WebJob::Answer)
      .function("refuse", &WebJob::Refuse)
      .function("running", &WebJob::Running)
      .function("received", &WebJob::Received)
      .function("timer", &WebJob::Timer)
      .function("failed", &WebJob::Failed);
}
