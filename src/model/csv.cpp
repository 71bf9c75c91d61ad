#include "model/csv.h"

#include <algorithm>

namespace orvex {

Result<std::vector<CsvRecord>> ParseCsv(std::string_view text, char comment, const CsvLimits& limits) {
  static constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());

  std::vector<CsvRecord> records;
  CsvRecord record;
  std::string field;
  std::size_t line = 1;
  std::size_t i = 0;
  bool recordStarted = false;  // a blank line is no record
  bool fieldFresh = true;      // nothing of the current field read yet
  auto endField = [&] {
    record.fields.push_back(std::move(field));
    field.clear();
    fieldFresh = true;
  };
  auto tooMany = [&](std::string_view what, std::size_t limit) {
    return Fail("line " + std::to_string(line) + ": more than " + std::to_string(limit) + " " + std::string(what));
  };
  // A line break is CRLF, LF or a lone CR; its length at `at`, or 0.
  auto lineBreak = [&](std::size_t at) -> std::size_t {
    if (at >= text.size()) return 0;
    if (text[at] == '\r') return at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
    return text[at] == '\n' ? 1 : 0;
  };

  while (i < text.size()) {
    if (const std::size_t n = lineBreak(i)) {
      if (recordStarted) {
        endField();
        if (records.size() >= limits.records) return tooMany("records in the file", limits.records);
        records.push_back(std::move(record));
      }
      record = CsvRecord{};
      recordStarted = false;
      i += n;
      ++line;
      continue;
    }
    if (!recordStarted && comment != '\0') {
      const std::size_t first = text.find_first_not_of(" \t", i);
      if (first != std::string_view::npos && text[first] == comment) {
        while (i < text.size() && !lineBreak(i)) ++i;
        continue;
      }
    }
    if (!recordStarted) record.line = line;
    recordStarted = true;
    const char c = text[i++];
    if (c == ',') {
      if (record.fields.size() + 1 >= limits.fields) return tooMany("fields in one record", limits.fields);
      endField();
    } else if (c == '"' && fieldFresh) {
      fieldFresh = false;
      const std::size_t openLine = line;
      for (;;) {
        if (i >= text.size()) return Fail("line " + std::to_string(openLine) + ": a quoted field is not closed");
        // Plain text up to the next quote or line break, in one piece.
        if (const std::size_t stop = std::min(text.find_first_of("\"\r\n", i), text.size()); stop > i) {
          field.append(text.substr(i, stop - i));
          i = stop;
          continue;
        }
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (const std::size_t n = lineBreak(i)) {
          field.append(text.substr(i, n));
          i += n;
          ++line;
          continue;
        }
        field += text[i++];
      }
      if (i < text.size() && text[i] != ',' && !lineBreak(i))
        return Fail("line " + std::to_string(line) + ": text after the closing quote of a field");
    } else {
      // An unquoted field runs to the next comma or line break.
      const std::size_t stop = std::min(text.find_first_of(",\r\n", i), text.size());
      field += c;
      field.append(text.substr(i, stop - i));
      i = stop;
      fieldFresh = false;
    }
  }
  if (recordStarted) {
    endField();
    if (records.size() >= limits.records) return tooMany("records in the file", limits.records);
    records.push_back(std::move(record));
  }
  return records;
}

std::string CsvField(std::string_view field) {
  const bool quote = field.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!field.empty() && (field.front() == ' ' || field.back() == ' '));
  if (!quote) return std::string(field);
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
  if (fields.size() == 1 && fields[0].empty()) return "\"\"\r\n";  // not a blank line, which readers skip
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + CsvField(fields[i]);
  return line + "\r\n";
}

}  // namespace orvex
