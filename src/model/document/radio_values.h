#pragma once

// Values that differ from radio to radio when many are programmed with one
// codeplug: a CSV whose "port" column names the port a row is for (or
// "next": the next radio that answers) and whose other columns are paths of
// the JSON document ("options.ani_code", "channels.1.name").  A row's
// values are stored as the JSON import stores a document holding just those
// values, each text first taken as typing or a channel CSV takes it (a name
// "Gate" is GATE).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory_image.h"
#include "core/result.h"
#include "model/document/codeplug_document.h"

namespace orvex {

inline constexpr std::string_view kNextRadio = "next";

struct RadioValuesRow {
  std::size_t line = 0;            // where the row starts in the file
  std::string port;                // empty: the next radio to answer
  std::vector<std::string> cells;  // one per column; empty keeps the codeplug's value
};

struct RadioValues {
  std::vector<std::string> columns;  // document paths, without "port"
  std::vector<RadioValuesRow> rows;
};

// Reads the CSV.  A header without "port", an unknown path, a repeated
// column or a row with more cells than the header is refused with the line
// it is on; a value the radio cannot hold is only found when the row is
// applied.
Result<RadioValues> ParseRadioValues(std::string_view csv, int language = 0);

// The document path "channels.1.name" as the import walks it; nullopt when
// the codeplug has no such value.
std::optional<std::vector<PathStep>> ValuePath(std::string_view dotted);

// The JSON document that holds just this row's values.
DocNode RowDocument(const RadioValues& values, const RadioValuesRow& row);

// `base` with the row applied, or every value that was refused, one per
// line, named by its column as the CSV writes it ("channels.1.name: ...").
Result<Image> ApplyRow(const Image& base, const RadioValues& values, const RadioValuesRow& row, int language = 0);

// Hands rows to radios as they answer: each row goes to one radio only, a
// row naming the radio's port first, otherwise the first unused "next" row.
// A row given back (its radio was not written) is handed out again in its
// place.
class RowAssigner {
 public:
  explicit RowAssigner(std::vector<std::string> rowPorts) : m_ports(std::move(rowPorts)), m_used(m_ports.size()) {}

  std::optional<std::size_t> Take(std::string_view port);
  void GiveBack(std::size_t row) { m_used.at(row) = false; }

 private:
  std::vector<std::string> m_ports;  // empty: "next"
  std::vector<bool> m_used;
};

}  // namespace orvex
