#include "model/csv.h"

#include <algorithm>

#include "core/strings.h"

namespace orvex {

namespace {

// String-table numbers of the parse errors.
constexpr int kTxtLineNote = 1851, kTxtTooManyRecords = 1911, kTxtTooManyFields = 1912, kTxtNotClosed = 1913,
              kTxtAfterQuote = 1914;

}  // namespace

Result<std::vector<CsvRecord>> ParseCsv(std::string_view text, char comment, const CsvLimits& limits, int language) {
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
  auto lineError = [&](std::size_t at, int text, const std::vector<std::string>& args = {}) {
    return Fail(TextOf(kTxtLineNote, language, {std::to_string(at), TextOf(text, language, args)}));
  };
  auto tooMany = [&](int what, std::size_t limit) { return lineError(line, what, {std::to_string(limit)}); };
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
        if (records.size() >= limits.records) return tooMany(kTxtTooManyRecords, limits.records);
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
      if (record.fields.size() + 1 >= limits.fields) return tooMany(kTxtTooManyFields, limits.fields);
      endField();
    } else if (c == '"' && fieldFresh) {
      fieldFresh = false;
      const std::size_t openLine = line;
      for (;;) {
        if (i >= text.size()) return lineError(openLine, kTxtNotClosed);
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
      if (i < text.size() && text[i] != ',' && !lineBreak(i)) return lineError(line, kTxtAfterQuote);
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
    if (records.size() >= limits.records) return tooMany(kTxtTooManyRecords, limits.records);
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
