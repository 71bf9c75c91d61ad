#pragma once

// A record of one conversation with a radio: every frame sent and every
// chunk received, with the milliseconds since the start, and the outcome.
// Entries are kept in memory while the line is busy and turned into text
// only afterwards, so recording costs a transfer next to nothing.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvex {

class LinkTrace {
 public:
  enum class Kind : std::uint8_t { Sent, Received, Note };

  struct Entry {
    std::chrono::steady_clock::duration at;
    Kind kind;
    std::vector<std::uint8_t> bytes;
    std::string note;
  };

  // Forgets everything and starts the clock; `title` heads the text
  // ("read from /dev/ttyUSB0").
  void Begin(std::string title);
  void Sent(std::span<const std::uint8_t> bytes);
  void Received(std::span<const std::uint8_t> bytes);
  void Note(std::string text);

  bool empty() const { return m_entries.empty() && m_title.empty(); }
  const std::vector<Entry>& entries() const { return m_entries; }

  // One line per entry: "   12.345 tx  48 69 4B 52 54 20 32 30",
  // "   13.001 rx  06", "   13.002 --  completed".
  std::string Text() const;

 private:
  std::chrono::steady_clock::time_point m_start{};
  std::string m_title;
  std::vector<Entry> m_entries;
};

}  // namespace orvex
