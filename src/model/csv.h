#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace orvex {

// How much ParseCsv reads before it gives up, so a line of millions of
// commas or a million rows cannot take memory out of proportion to the file.
struct CsvLimits {
  std::size_t records = 2000;
  std::size_t fields = 256;  // per record
};

// One record of a CSV text and the line it starts on (1-based), so errors
// can point at it even when quoted fields span lines.
struct CsvRecord {
  std::size_t line = 0;
  std::vector<std::string> fields;
};

// Reads comma-separated text as RFC 4180 describes it: fields in double
// quotes may hold commas, line breaks and doubled quotes; lines end in CRLF,
// LF or CR; a UTF-8 byte order mark at the start is skipped.  Blank lines
// are skipped.  An unterminated quote, text after a closing quote or a text
// beyond the limits is an error naming its line.  With a `comment`
// character, a line that starts with it (after spaces) outside a quoted
// field is skipped like a blank one.
Result<std::vector<CsvRecord>> ParseCsv(std::string_view text, char comment = '\0', const CsvLimits& limits = {},
                                        int language = 0);

// A field as it must be written: quoted (with quotes doubled) when it holds
// a comma, a quote, a line break or leading or trailing spaces.
std::string CsvField(std::string_view field);

// One record ending in CRLF.
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace orvex
