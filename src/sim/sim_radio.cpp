#include "sim/sim_radio.h"

#include <algorithm>
#include <iterator>

#include "core/frequency.h"
#include "core/strings.h"
#include "link/clone_protocol.h"
#include "model/channels/channel_record.h"

namespace orvex {

namespace {

constexpr std::uint8_t kNak = 0x15;
constexpr std::uint8_t kReplyHeader = 0x57;  // a read reply starts "W", address, length
constexpr std::uint8_t kFirmware[] = {0x00, 0x01};
constexpr std::size_t kMaxBlock = 0x40;
constexpr char kPortTest[] = "ATI1\r";

bool IsPrefixOf(const std::vector<std::uint8_t>& bytes, const std::uint8_t* whole, std::size_t length) {
  return bytes.size() <= length && std::equal(bytes.begin(), bytes.end(), whole);
}

}  // namespace

std::optional<std::size_t> SimRadio::FrameLength() const {
  // Out of a session only the greeting is recognised.
  if (m_pending.front() == kGreeting[0] || !m_inSession) return std::size(kGreeting);
  switch (m_pending.front()) {
    case CloneFrames::kIdentify:
    case CloneFrames::kAck:
      return 1;
    case CloneFrames::kRead:
      return CloneFrames::kHeaderSize;
    case CloneFrames::kWrite:
      if (m_pending.size() < CloneFrames::kHeaderSize) return CloneFrames::kHeaderSize;
      return CloneFrames::kHeaderSize + m_pending[3];
    default:
      return std::nullopt;
  }
}

std::optional<SimFrame> SimRadio::Feed(std::uint8_t byte) {
  m_pending.push_back(byte);
  for (;;) {
    if (m_pending.empty()) return std::nullopt;
    const auto length = FrameLength();
    const bool greeting = m_pending.front() == kGreeting[0] || !m_inSession;
    const bool portTest = m_pending.front() == kPortTest[0];
    // A port test or a broken greeting is dropped byte by byte until
    // something recognisable starts.
    if (portTest && IsPrefixOf(m_pending, reinterpret_cast<const std::uint8_t*>(kPortTest), 5)) {
      if (m_pending.size() < 5) return std::nullopt;
    } else if (length && (!greeting || IsPrefixOf(m_pending, kGreeting, std::size(kGreeting)))) {
      if (m_pending.size() < *length) return std::nullopt;
      std::vector<std::uint8_t> frame(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(*length));
      m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(*length));
      return Answer(std::move(frame));
    }
    const std::size_t drop = portTest && m_pending.size() == 5 ? 5 : 1;
    m_discarded.insert(m_discarded.end(), m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(drop));
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(drop));
  }
}

std::vector<std::uint8_t> SimRadio::TakeDiscarded() { return std::exchange(m_discarded, {}); }

SimFrame SimRadio::Answer(std::vector<std::uint8_t> frame) {
  SimFrame result;
  const long number = ++m_frames;
  const std::uint8_t command = frame.front();
  if (command == kGreeting[0]) {
    m_inSession = true;
    result.reply = {CloneFrames::kAck};
  } else if (command == CloneFrames::kIdentify) {
    result.reply = {CloneFrames::kAck};
    std::string ident = m_faults.ident;
    ident.resize(std::size(kModelId), ' ');
    result.reply.insert(result.reply.end(), ident.begin(), ident.end());
    result.reply.insert(result.reply.end(), std::begin(kFirmware), std::end(kFirmware));
  } else if (command == CloneFrames::kAck) {
    result.reply = {m_faults.badAck ? kNak : CloneFrames::kAck};
  } else {
    const std::size_t address = std::size_t{frame[1]} << 8 | frame[2];
    const std::size_t length = frame[3];
    const bool inside = length <= kMaxBlock && address + length <= kImageSize;
    if (command == CloneFrames::kRead && inside) {
      result.reply.reserve(CloneFrames::kHeaderSize + length);
      result.reply = {kReplyHeader, frame[1], frame[2], frame[3]};
      std::copy_n(m_memory.begin() + static_cast<std::ptrdiff_t>(address), length, std::back_inserter(result.reply));
    } else if (command == CloneFrames::kWrite && inside) {
      std::copy(frame.begin() + CloneFrames::kHeaderSize, frame.end(),
                m_memory.begin() + static_cast<std::ptrdiff_t>(address));
      // A weak memory cell: the row is stored wrongly once, right after that.
      if (!m_storedWrong && m_faults.storeWrongRow >= 0 && address == Address(std::size_t(m_faults.storeWrongRow), 0)) {
        m_memory[address] ^= 0x01;
        m_storedWrong = true;
      }
      result.reply = {CloneFrames::kAck};
      result.writeCompleted = address == Address(WritePlanRows().back(), 0);
    }
  }
  if (m_faults.noRadio || (m_faults.silentAfter > 0 && number > m_faults.silentAfter) ||
      (m_faults.dropEvery > 0 && number % m_faults.dropEvery == 0))
    result.reply.clear();
  result.hangUp = m_faults.hangupAfter > 0 && number >= m_faults.hangupAfter;
  result.received = std::move(frame);
  return result;
}

Image DefaultSimImage() {
  Image image = BlankImage();
  // A few channels as the radio stores them, so a Read shows something and
  // storing what was read changes nothing.
  struct Channel {
    const char* rx;
    const char* tx;
    const char* decodeTone;
    const char* encodeTone;
    const char* name;
  };
  constexpr Channel kChannels[] = {
      {"145.50000", "145.50000", "None", "None", "CALL"},
      {"145.72500", "145.12500", "88.5", "88.5", "RPT1"},
      {"435.12500", "435.12500", "D023N", "D023N", "UHF1"},
      {"446.00625", "446.00625", "None", "67.0", "PMR1"},
      {"152.82500", "", "None", "None", "RX"},
  };
  int n = 1;
  for (const Channel& c : kChannels) {
    ChannelFields fields = NewChannelFields(c.rx, kEnglish);
    fields.tx = c.tx;
    fields.decodeTone = c.decodeTone;
    fields.encodeTone = c.encodeTone;
    fields.name = c.name;
    // The texts above are all valid; a failure would only leave the row blank.
    (void)StoreChannel(image, n++, fields, kEnglish);
  }
  // The radio's own data in rows a Read fetches but a Write never sends.
  for (const std::size_t row : {131, 132, 387, 388})
    for (std::size_t column = 0; column < kRowSize; ++column)
      image[Address(row, column)] = static_cast<std::uint8_t>(row + column);
  return image;
}

}  // namespace orvex
