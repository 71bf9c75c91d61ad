#pragma once

// The clone protocol: the frames the program sends to the radio, how each
// reply is judged and in which order memory moves.  It only consumes reply
// bytes and produces frames; the serial driver owns ports and timers.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/memory_image.h"

namespace orvex {

using CloneBytes = std::vector<std::uint8_t>;

// What the next frame is when it is not a read or write request for a row.
inline constexpr int kStepGreeting = -1;
inline constexpr int kStepIdentify = -2;
inline constexpr int kStepAcknowledge = -3;

// The first row past the transferred plan; reaching it ends a transfer.
inline constexpr int kEndRow = 474;

inline constexpr int kReadProgressMaximum = 80;
inline constexpr int kWriteProgressMaximum = 300;

struct CloneFrame {
  CloneBytes bytes;
  std::size_t replyCount = 0;  // bytes the radio answers with
};

enum class CloneOutcome {
  Continue,       // send NextFrame()
  Completed,      // every block of the plan moved
  ModelMismatch,  // the radio is another model
  Failed,         // bad greeting reply, bad acknowledge or short reply
  Ignored,        // no reply was awaited
};

// The wire bytes the program sends.
struct CloneFrames {
  static constexpr std::uint8_t kIdentify = 0x02;
  static constexpr std::uint8_t kAck = 0x06;
  static constexpr std::uint8_t kRead = 0x52;    // "R"
  static constexpr std::uint8_t kWrite = 0x57;   // "W"
  static constexpr std::size_t kHeaderSize = 4;  // command, address high, address low, length
  static constexpr std::size_t kReadBlockRows = 4;
};
inline constexpr std::uint8_t kGreeting[] = {'H', 'i', 'K', 'R', 'T', ' ', '2', '0'};
// The identification a radio of this model answers with, after 0x06.
inline constexpr std::uint8_t kModelId[] = {'T', 'Z', '4', '1', '7'};

// Rows a read block or a written row is followed by.
int NextReadRow(int blockRow);
int NextWriteRow(int row);
// The first row of each of the 73 read blocks, in the order they are read.
std::vector<int> ReadBlockRows();
// How many rows a read block starting at `row` covers (4, or 1 for the last).
int ReadBlockLength(int row);
// The 285 rows a Write sends, in order.
std::vector<int> WritePlanRows();
// Whether a Read fetches the row (rows 131, 132, 387 and 388 are read but
// never written).
bool IsReadRow(int row);
// Copies the rows a Read fetches from `read` into `image`; the others stay.
void CopyReadRows(const Image& read, Image& image);
int ProgressMaximum(CloneDirection direction);

// What a transfer shows while it runs; a Backup reads the radio before a Write.
enum class TransferStage { Reading, Writing, Verifying, BackingUp };
// "Reading 34 of 73": the blocks read or rows written so far out of the
// plan's, whatever scale the progress bar counts on.
std::string ProgressText(TransferStage stage, int done, int language);
// The model the radio says it is ("TZ417").
std::string RadioModelName();
// Every row a Write sends whose bytes differ between the two images.
std::vector<int> DifferingRows(const Image& radio, const Image& file);

// One clone transfer's state machine.  A Read stores each block into
// `image` (the driver passes a staging copy); a Write sends rows of it.
class CloneProtocol {
 public:
  explicit CloneProtocol(Image& image) : m_image(image) {}

  void Start(CloneDirection direction);
  // The frame for the current step; records its reply count.
  CloneFrame NextFrame();
  // Judges the last reply-count bytes received after the frame.
  CloneOutcome Reply(std::span<const std::uint8_t> reply);

  CloneDirection direction() const { return m_direction; }
  int step() const { return m_step; }
  std::size_t replyCount() const { return m_replyCount; }
  int progress() const { return m_progress; }
  bool done() const { return m_done; }
  bool succeeded() const { return m_succeeded; }
  bool stopped() const { return m_stopped; }

 private:
  CloneOutcome End(CloneOutcome outcome);

  Image& m_image;
  CloneDirection m_direction = CloneDirection::Read;
  int m_step = kStepGreeting;
  int m_nextRow = kStepGreeting;
  std::size_t m_replyCount = 0;
  int m_progress = 0;
  bool m_done = false;
  bool m_succeeded = false;
  bool m_stopped = false;
};

}  // namespace orvex
