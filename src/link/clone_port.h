#pragma once

// The cable as a clone transfer sees it: open a port by name, send bytes,
// bytes arriving, and one one-shot timer.  Plain C++, so the same transfer
// runs over QSerialPort, over a browser's serial port and over a test fake.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "core/result.h"

namespace orvex {

// What a port reports, always from its owner's event loop.
class ClonePortListener {
 public:
  virtual void PortBytes(std::span<const std::uint8_t> bytes) = 0;
  virtual void PortTimer() = 0;
  // The line failed while open (unplugged, hung up).  False when nobody was
  // listening for it, so the port closes itself.
  virtual bool PortError(const std::string& reason) = 0;

 protected:
  ~ClonePortListener() = default;
};

class ClonePort {
 public:
  virtual ~ClonePort() = default;

  void SetListener(ClonePortListener* listener) { m_listener = listener; }

  // Opens at the radio's line settings with nothing stale pending; the
  // error is the system's text.
  virtual Status Open(const std::string& name) = 0;
  // Drops anything received and not yet read, then sends `bytes` at once.
  virtual void Send(std::span<const std::uint8_t> bytes) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // One one-shot timer, open or not; arming again restarts it.
  virtual void Arm(std::chrono::milliseconds delay) = 0;
  virtual void Disarm() = 0;

 protected:
  ClonePortListener* listener() const { return m_listener; }

 private:
  ClonePortListener* m_listener = nullptr;
};

}  // namespace orvex
