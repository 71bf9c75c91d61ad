#pragma once

// How imports (channel CSV, JSON codeplug) report what is wrong with their
// input: a bad value is quoted by a short prefix only, and a file with
// thousands of bad rows gives the first few errors and a count, so neither
// the message nor its memory grows with the input.

#include <cstddef>
#include <string>
#include <string_view>

namespace orvex {

inline constexpr std::size_t kReportedErrors = 20;
inline constexpr std::size_t kQuotedLength = 40;  // bytes of a bad value shown

// The text, or its first kQuotedLength bytes (never cutting a UTF-8
// character) and "..." for a longer one.
std::string Abbreviated(std::string_view text);

// "\"text\"", or the first bytes (never cutting a UTF-8 character) and
// "..." with the full length for a longer text.
std::string QuotedValue(std::string_view text);

// Collects error lines, keeping the first kReportedErrors.
class ErrorReport {
 public:
  void Add(std::string line);
  bool empty() const { return m_count == 0; }
  std::size_t count() const { return m_count; }
  // The kept lines joined by "\n", then "... and N more errors" if any were
  // dropped.
  std::string Text() const;

 private:
  std::string m_text;
  std::size_t m_count = 0;
};

}  // namespace orvex
