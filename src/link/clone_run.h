#pragma once

// One clone transfer over a port, event by event: the next frame 1 ms after
// an accepted reply, 800 ms for each reply, a cable that echoes every frame
// recognised at the greeting, and one outcome at the end.  Messages and
// retries belong to the caller.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "core/app_state.h"
#include "core/memory_image.h"
#include "link/clone_port.h"
#include "link/clone_protocol.h"
#include "link/link_trace.h"

namespace orvex {

// The pause the radio may rely on between a reply and the next frame.
inline constexpr std::chrono::milliseconds kFramePause{1};
inline constexpr std::chrono::milliseconds kReplyLimit{800};

// String-table numbers of what the caller tells the user about a transfer.
struct CloneMessages {
  static constexpr int kCheckConnection = 1331;  // failed: retry or cancel
  static constexpr int kReadingCompleted = 1332;
  static constexpr int kWritingCompleted = 1333;
  static constexpr int kModelWrong = 1334;
};

enum class CloneEnd {
  Completed,      // image updated (Read) / radio written (Write)
  ModelMismatch,  // "Model type is wrong."
  Failed,         // time-out, bad reply, port error, cancelled
  OpenFailed,     // the port could not be opened; reason is the system's text
};

struct CloneRunListener {
  virtual void RunProgress(int /*value*/, int /*maximum 80 or 300*/) {}
  // The radio said it is this model; no row moved yet.
  virtual void RunIdentified() {}
  // After any outcome; the port is closed.
  virtual void RunEnded(CloneEnd end, const std::string& reason) = 0;

 protected:
  ~CloneRunListener() = default;
};

class CloneRun : public ClonePortListener {
 public:
  CloneRun(ClonePort& port, CloneRunListener& listener);

  // Starts a Read (on completion the transferred rows of memory.image() are
  // replaced from a staging copy; nothing else, and nothing at all when the
  // Read does not complete) or a Write (sends the rows memory.image() holds
  // now).  False, and nothing reported, while one is running.  A port that
  // cannot be opened ends the run before this returns.  `memory` must
  // outlive the run.
  bool Start(CloneDirection direction, const std::string& portName, RadioMemory& memory);
  [[nodiscard]] bool running() const { return m_running; }
  // Every run started from now on adds its frames, replies and outcome to
  // this trace; null stops recording.
  void SetTrace(LinkTrace* trace) { m_trace = trace; }
  // Ends a running transfer as failed("cancelled").
  void Cancel();
  // Replaces what a running Write sends; in time for every row when called
  // from RunIdentified().
  void SetWriteImage(const Image& image) { m_staging = image; }

  void PortBytes(std::span<const std::uint8_t> bytes) override;
  void PortTimer() override;
  bool PortError(const std::string& reason) override;

 private:
  enum class Wait { None, Pause, Reply, PortFailed };

  void SendFrame();
  void JudgeReply();
  void Finish(CloneEnd end, const std::string& reason = {});

  ClonePort& m_port;
  CloneRunListener& m_listener;
  RadioMemory* m_memory = nullptr;
  LinkTrace* m_trace = nullptr;
  Image m_staging{};
  CloneProtocol m_protocol{m_staging};
  CloneBytes m_frame;     // the frame in flight
  CloneBytes m_received;  // everything that arrived since it was sent
  std::string m_portError;
  Wait m_wait = Wait::None;
  bool m_echo = false;  // the cable sends every frame back before the reply
  bool m_running = false;
  int m_reportedProgress = 0;
};

}  // namespace orvex
