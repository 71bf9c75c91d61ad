#pragma once

// A clone port over the page's serial line object, whose bytes, timer and
// errors come from JavaScript (Web Serial or the virtual radio).
//
// Web Serial opens and closes a port asynchronously, so the page opens the
// real port before a job starts and closes it once the job has ended; this
// port's Open and Close are logical: Open drops what arrived meanwhile and
// reports the error the real open ended with.

#include <emscripten/val.h>

#include <string>
#include <utility>

#include "link/clone_port.h"
#include "web/web_session.h"

namespace orvex {

// The page's line object: open() -> error text or "", send(bytes),
// close(), arm(ms), disarm().
class LinePort : public ClonePort {
 public:
  explicit LinePort(emscripten::val line) : m_line(std::move(line)) {}

  Status Open(const std::string&) override {
    const auto error = m_line.call<std::string>("open");
    if (!error.empty()) return Fail(error);
    m_open = true;
    return Ok{};
  }
  void Send(std::span<const std::uint8_t> bytes) override {
    m_line.call<void>("send", ByteArray(Bytes(bytes.begin(), bytes.end())));
  }
  void Close() override {
    m_open = false;
    m_line.call<void>("close");
  }
  bool IsOpen() const override { return m_open; }
  void Arm(std::chrono::milliseconds delay) override { m_line.call<void>("arm", static_cast<int>(delay.count())); }
  void Disarm() override { m_line.call<void>("disarm"); }

  // What the line reports.  Bytes while logically closed are stale.
  void Received(const Bytes& bytes) {
    if (m_open && listener()) listener()->PortBytes(bytes);
  }
  void Timer() {
    if (listener()) listener()->PortTimer();
  }
  void Failed(const std::string& reason) {
    if (!m_open) return;
    if (!listener() || !listener()->PortError(reason)) Close();
  }

 private:
  emscripten::val m_line;
  bool m_open = false;
};

}  // namespace orvex
