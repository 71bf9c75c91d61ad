#include "link/link_trace.h"

#include <cstdio>

namespace orvex {

namespace {
// A full Write is about 300 frames and as many replies.
constexpr std::size_t kExpectedEntries = 1024;
}  // namespace

void LinkTrace::Begin(std::string title) {
  m_title = std::move(title);
  m_entries.clear();
  m_entries.reserve(kExpectedEntries);
  m_start = std::chrono::steady_clock::now();
}

void LinkTrace::Sent(std::span<const std::uint8_t> bytes) {
  m_entries.push_back({std::chrono::steady_clock::now() - m_start, Kind::Sent, {bytes.begin(), bytes.end()}, {}});
}

void LinkTrace::Received(std::span<const std::uint8_t> bytes) {
  m_entries.push_back({std::chrono::steady_clock::now() - m_start, Kind::Received, {bytes.begin(), bytes.end()}, {}});
}

void LinkTrace::Note(std::string text) {
  m_entries.push_back({std::chrono::steady_clock::now() - m_start, Kind::Note, {}, std::move(text)});
}

std::string LinkTrace::Text() const {
  std::string text = "# " + m_title + "\n# milliseconds, tx (sent) / rx (received) / -- (event), bytes in hex\n";
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (const Entry& e : m_entries) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%10.3f ", std::chrono::duration<double, std::milli>(e.at).count());
    text += stamp;
    text += e.kind == Kind::Sent ? "tx " : e.kind == Kind::Received ? "rx " : "-- ";
    if (e.kind == Kind::Note) text += " " + e.note;
    for (const std::uint8_t byte : e.bytes) {
      text += ' ';
      text += kDigits[byte >> 4];
      text += kDigits[byte & 0x0F];
    }
    text += '\n';
  }
  return text;
}

}  // namespace orvex
