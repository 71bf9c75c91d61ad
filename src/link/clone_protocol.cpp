#include "link/clone_protocol.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "core/strings.h"

namespace orvex {

namespace {

constexpr int kFirstRow = 1;
constexpr int kLastRow = 473;  // signalling options, the only one-row read block
constexpr std::uint8_t kReadBlockLength = 0x40;
constexpr std::uint8_t kLastBlockLength = 0x10;

// The radio answers the greeting with any byte whose low nibble is 6.
bool GreetingAccepted(std::uint8_t reply) { return (reply & 0x0F) == 0x06; }

// Command, address high byte, address low byte, length; room left for the data.
CloneBytes RequestHeader(std::uint8_t command, int row, std::uint8_t length) {
  const auto address = static_cast<unsigned>(row) * kRowSize;
  CloneBytes frame;
  frame.reserve(CloneFrames::kHeaderSize + kRowSize);
  frame.push_back(command);
  frame.push_back(static_cast<std::uint8_t>(address >> 8));
  frame.push_back(static_cast<std::uint8_t>(address & 0xFF));
  frame.push_back(length);
  return frame;
}

}  // namespace

int NextReadRow(int blockRow) {
  switch (blockRow) {
    case 125:
      return 257;  // channels, then channel names
    case 381:
      return 129;  // names, then VFO records
    case 129:
      return 226;  // optional features
    case 226:
      return 385;  // VFO offsets
    case 385:
      return 453;  // signalling tables
    default:
      return blockRow + 4;
  }
}

int NextWriteRow(int row) {
  switch (row) {
    case 128:
      return 257;
    case 384:
      return 129;
    case 130:
      return 226;  // rows 131 and 132 are never written
    case 229:
      return 385;
    case 386:
      return 453;  // nor 387 and 388
    default:
      return row + 1;
  }
}

std::vector<int> ReadBlockRows() {
  std::vector<int> rows;
  for (int row = kFirstRow; row < kEndRow; row = NextReadRow(row)) rows.push_back(row);
  return rows;
}

int ReadBlockLength(int row) { return row == kLastRow ? 1 : static_cast<int>(CloneFrames::kReadBlockRows); }

std::vector<int> WritePlanRows() {
  std::vector<int> rows;
  for (int row = kFirstRow; row < kEndRow; row = NextWriteRow(row)) rows.push_back(row);
  return rows;
}

bool IsReadRow(int row) {
  static const std::vector<int> blocks = ReadBlockRows();
  return std::any_of(blocks.begin(), blocks.end(),
                     [row](int start) { return row >= start && row < start + ReadBlockLength(start); });
}

void CopyReadRows(const Image& read, Image& image) {
  for (int row = 0; row < static_cast<int>(kRowCount); ++row) {
    if (!IsReadRow(row)) continue;
    const ConstRow from = RowOf(read, static_cast<std::size_t>(row));
    std::copy(from.begin(), from.end(), RowOf(image, static_cast<std::size_t>(row)).begin());
  }
}

std::vector<int> DifferingRows(const Image& radio, const Image& file) {
  std::vector<int> rows;
  for (const int row : WritePlanRows())
    if (const auto a = RowOf(radio, row), b = RowOf(file, row); !std::equal(a.begin(), a.end(), b.begin(), b.end()))
      rows.push_back(row);
  return rows;
}

int ProgressMaximum(CloneDirection direction) {
  return direction == CloneDirection::Read ? kReadProgressMaximum : kWriteProgressMaximum;
}

std::string ProgressText(TransferStage stage, int done, int language) {
  static constexpr int kFirstStageText = 1890;  // in TransferStage order
  static const int blocks = static_cast<int>(ReadBlockRows().size());
  static const int rows = static_cast<int>(WritePlanRows().size());
  const int total = stage == TransferStage::Writing ? rows : blocks;
  std::string text(Text(kFirstStageText + static_cast<int>(stage), language));
  for (const auto& [mark, value] : {std::pair{"%1", std::clamp(done, 0, total)}, std::pair{"%2", total}})
    if (const auto at = text.find(mark); at != std::string::npos) text.replace(at, 2, std::to_string(value));
  return text;
}

std::string RadioModelName() { return {std::begin(kModelId), std::end(kModelId)}; }

void CloneProtocol::Start(CloneDirection direction) {
  m_direction = direction;
  m_step = m_nextRow = kStepGreeting;
  m_replyCount = 0;
  m_progress = 0;
  m_done = m_succeeded = m_stopped = false;
}

CloneFrame CloneProtocol::NextFrame() {
  CloneFrame frame;
  switch (m_step) {
    case kStepGreeting:
      frame.bytes.assign(std::begin(kGreeting), std::end(kGreeting));
      frame.replyCount = 1;
      break;
    case kStepIdentify:
      frame.bytes = {CloneFrames::kIdentify};
      frame.replyCount = 1 + std::size(kModelId) + 2;
      break;
    case kStepAcknowledge:
      frame.bytes = {CloneFrames::kAck};
      frame.replyCount = 1;
      break;
    default:
      if (m_direction == CloneDirection::Read) {
        const std::uint8_t length = m_step == kLastRow ? kLastBlockLength : kReadBlockLength;
        frame.bytes = RequestHeader(CloneFrames::kRead, m_step, length);
        frame.replyCount = CloneFrames::kHeaderSize + length;
      } else {
        frame.bytes = RequestHeader(CloneFrames::kWrite, m_step, static_cast<std::uint8_t>(kRowSize));
        const ConstRow row = RowOf(std::as_const(m_image), static_cast<std::size_t>(m_step));
        std::copy(row.begin(), row.end(), std::back_inserter(frame.bytes));
        frame.replyCount = 1;
      }
      break;
  }
  m_replyCount = frame.replyCount;
  return frame;
}

CloneOutcome CloneProtocol::End(CloneOutcome outcome) {
  m_stopped = true;
  m_done = outcome != CloneOutcome::Failed;
  m_succeeded = outcome == CloneOutcome::Completed;
  return outcome;
}

CloneOutcome CloneProtocol::Reply(std::span<const std::uint8_t> reply) {
  const std::size_t expected = m_replyCount;
  if (m_stopped || expected == 0) return CloneOutcome::Ignored;
  // Anything arriving later for this frame is ignored.
  m_replyCount = 0;
  if (reply.size() < expected) return End(CloneOutcome::Failed);
  reply = reply.last(expected);

  switch (m_step) {
    case kStepGreeting:
      if (!GreetingAccepted(reply[0])) return End(CloneOutcome::Failed);
      m_step = kStepIdentify;
      return CloneOutcome::Continue;
    case kStepIdentify:
      // Bytes 7 and 8 of the identification vary between radios.
      if (reply[0] != CloneFrames::kAck || !std::equal(std::begin(kModelId), std::end(kModelId), reply.begin() + 1))
        return End(CloneOutcome::ModelMismatch);
      m_step = kStepAcknowledge;
      m_nextRow = kFirstRow;
      return CloneOutcome::Continue;
    case kStepAcknowledge:
      if (reply[0] != CloneFrames::kAck) return End(CloneOutcome::Failed);
      if (m_nextRow >= kEndRow) return End(CloneOutcome::Completed);
      m_step = m_nextRow;
      return CloneOutcome::Continue;
    default:
      break;
  }

  ++m_progress;
  if (m_direction == CloneDirection::Read) {
    // The four header bytes are not examined; the data follows in address order.
    const auto data = reply.subspan(CloneFrames::kHeaderSize);
    std::copy(data.begin(), data.end(), m_image.begin() + static_cast<std::ptrdiff_t>(Address(m_step, 0)));
    m_nextRow = NextReadRow(m_step);
    m_step = kStepAcknowledge;
    return CloneOutcome::Continue;
  }
  // The value of the write acknowledgement is not examined.
  m_nextRow = NextWriteRow(m_step);
  if (m_nextRow >= kEndRow) return End(CloneOutcome::Completed);
  m_step = m_nextRow;
  return CloneOutcome::Continue;
}

}  // namespace orvex
