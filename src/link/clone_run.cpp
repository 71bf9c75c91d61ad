#include "link/clone_run.h"

#include <algorithm>
#include <cstdio>

namespace orvex {

namespace {

std::string Hex(std::uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(byte));
  return text;
}

std::string StepName(int step) {
  switch (step) {
    case kStepGreeting:
      return "greeting";
    case kStepIdentify:
      return "identify request";
    case kStepAcknowledge:
      return "acknowledge";
    default:
      return "row " + std::to_string(step);
  }
}

}  // namespace

CloneRun::CloneRun(ClonePort& port, CloneRunListener& listener) : m_port(port), m_listener(listener) {}

bool CloneRun::Start(CloneDirection direction, const std::string& portName, RadioMemory& memory) {
  if (m_running) return false;
  m_memory = &memory;
  // A Read gathers blocks here and replaces the image only when it completes;
  // a Write sends the image as it was when the user asked for it.
  m_staging = memory.image();
  m_protocol.Start(direction);
  m_received.clear();
  m_frame.clear();
  m_echo = false;
  m_wait = Wait::None;
  m_reportedProgress = 0;

  if (m_trace) m_trace->Note((direction == CloneDirection::Read ? "read from " : "write to ") + portName);
  if (const Status opened = m_port.Open(portName); !opened) {
    if (m_trace) m_trace->Note("cannot open the port: " + opened.error());
    m_listener.RunEnded(CloneEnd::OpenFailed, opened.error());
    return true;
  }
  m_running = true;
  m_listener.RunProgress(0, ProgressMaximum(direction));
  m_wait = Wait::Pause;
  m_port.Arm(kFramePause);
  return true;
}

void CloneRun::Cancel() {
  if (m_running) Finish(CloneEnd::Failed, "cancelled");
}

void CloneRun::SendFrame() {
  const CloneFrame frame = m_protocol.NextFrame();
  m_frame = frame.bytes;
  m_received.clear();
  if (m_trace) m_trace->Sent(m_frame);
  m_wait = Wait::Reply;
  m_port.Send(m_frame);
  // Sending may have reported a port error, which ends the run instead.
  if (m_running && m_wait == Wait::Reply) m_port.Arm(kReplyLimit);
}

void CloneRun::PortBytes(std::span<const std::uint8_t> bytes) {
  // Late or duplicate data for a frame already judged is ignored.
  if (m_trace && !bytes.empty()) m_trace->Received(bytes);
  if (!m_running || m_wait != Wait::Reply || m_protocol.replyCount() == 0) return;
  m_received.insert(m_received.end(), bytes.begin(), bytes.end());
  JudgeReply();
}

void CloneRun::JudgeReply() {
  std::size_t echoLength = m_echo ? m_frame.size() : 0;
  if (!m_echo && m_protocol.step() == kStepGreeting) {
    // A single-wire cable returns the greeting before the radio answers; once
    // seen, every later frame's echo is skipped as well.
    const std::size_t compared = std::min(m_received.size(), m_frame.size());
    if (std::equal(m_frame.begin(), m_frame.begin() + static_cast<std::ptrdiff_t>(compared), m_received.begin())) {
      if (m_received.size() <= m_frame.size()) return;
      m_echo = true;
      echoLength = m_frame.size();
    }
  }
  const std::size_t expected = m_protocol.replyCount();
  if (m_received.size() < echoLength + expected) return;

  m_port.Disarm();
  m_wait = Wait::None;
  const std::span<const std::uint8_t> reply = std::span<const std::uint8_t>(m_received).last(expected);
  const std::uint8_t first = reply.front();
  const int step = m_protocol.step();
  const CloneOutcome outcome = m_protocol.Reply(reply);
  if (m_protocol.progress() != m_reportedProgress) {
    m_reportedProgress = m_protocol.progress();
    m_listener.RunProgress(m_reportedProgress, ProgressMaximum(m_protocol.direction()));
  }
  switch (outcome) {
    case CloneOutcome::Continue:
      if (step == kStepIdentify) {
        m_listener.RunIdentified();
        if (!m_running) return;  // the caller cancelled
      }
      m_wait = Wait::Pause;
      m_port.Arm(kFramePause);
      return;
    case CloneOutcome::Completed:
      Finish(CloneEnd::Completed);
      return;
    case CloneOutcome::ModelMismatch:
      Finish(CloneEnd::ModelMismatch);
      return;
    case CloneOutcome::Failed:
      Finish(CloneEnd::Failed, "unexpected reply " + Hex(first) + " to the " + StepName(step));
      return;
    case CloneOutcome::Ignored:
      return;
  }
}

void CloneRun::PortTimer() {
  if (!m_running) return;
  switch (m_wait) {
    case Wait::Pause:
      SendFrame();
      return;
    case Wait::Reply:
      Finish(CloneEnd::Failed, "no reply to the " + StepName(m_protocol.step()) + " within " +
                                   std::to_string(kReplyLimit.count()) + " ms (" + std::to_string(m_received.size()) +
                                   " of " + std::to_string(m_protocol.replyCount()) + " bytes)");
      return;
    case Wait::PortFailed:
      Finish(CloneEnd::Failed, "port error: " + m_portError);
      return;
    case Wait::None:
      return;
  }
}

bool CloneRun::PortError(const std::string& reason) {
  // A hung-up line may keep reporting; the port closes itself then.
  if (!m_running || m_wait == Wait::PortFailed) return false;
  // The run ends on the next turn of the event loop, outside the port's own
  // notification; until then nothing more is processed.
  m_wait = Wait::PortFailed;
  m_portError = reason;
  m_port.Arm(std::chrono::milliseconds{0});
  return true;
}

void CloneRun::Finish(CloneEnd end, const std::string& reason) {
  if (!m_running) return;
  m_running = false;
  m_wait = Wait::None;
  m_port.Disarm();
  if (m_port.IsOpen()) m_port.Close();
  const int maximum = ProgressMaximum(m_protocol.direction());
  if (m_trace) {
    m_trace->Note(end == CloneEnd::Completed       ? std::string("completed")
                  : end == CloneEnd::ModelMismatch ? std::string("the radio is another model")
                                                   : "failed: " + reason);
  }
  if (end == CloneEnd::Completed) {
    if (m_protocol.direction() == CloneDirection::Read) CopyReadRows(m_staging, m_memory->image());
    m_listener.RunProgress(maximum, maximum);
  }
  m_listener.RunEnded(end, reason);
}

}  // namespace orvex
