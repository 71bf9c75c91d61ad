#pragma once

// The radio's side of the clone protocol, byte in, reply out, with the
// faults a test can switch on.  Timing and the line itself are the
// caller's.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/memory_image.h"

namespace orvex {

struct SimFaults {
  std::string ident = "TZ417";  // the model the radio claims to be
  long silentAfter = 0;         // stop answering after this many frames (0: never)
  long dropEvery = 0;           // leave out the reply to every N-th frame (0: never)
  long hangupAfter = 0;         // hang up the line after this many frames (0: never)
  bool badAck = false;          // answer an acknowledge with NAK
  bool noRadio = false;         // nothing answers at all (only the line is there)
  long storeWrongRow = -1;      // the first Write stores this row with its first bit flipped
};

// One complete frame the radio received and what it does about it.
struct SimFrame {
  std::vector<std::uint8_t> received;
  std::vector<std::uint8_t> reply;  // empty: no answer
  bool hangUp = false;              // close the line after answering
  bool writeCompleted = false;      // the last row of a Write was stored
};

class SimRadio {
 public:
  SimRadio(const Image& memory, SimFaults faults) : m_memory(memory), m_faults(std::move(faults)) {}

  // Takes one received byte; returns the frame it completes, if any.
  std::optional<SimFrame> Feed(std::uint8_t byte);
  // Bytes that were not part of a frame since the last call (a port test,
  // noise).
  std::vector<std::uint8_t> TakeDiscarded();

  const Image& memory() const { return m_memory; }
  long frames() const { return m_frames; }

 private:
  std::optional<std::size_t> FrameLength() const;
  SimFrame Answer(std::vector<std::uint8_t> frame);

  Image m_memory;
  SimFaults m_faults;
  std::vector<std::uint8_t> m_pending;
  std::vector<std::uint8_t> m_discarded;
  bool m_inSession = false;  // a greeting was answered
  bool m_storedWrong = false;
  long m_frames = 0;
};

// The image the radio holds unless told otherwise: blank, with a few
// programmed channels and the radio's own data in the rows a Write leaves.
Image DefaultSimImage();

}  // namespace orvex
