#pragma once

// The string table compiled from strings.tsv.  Only src/core/strings.cpp
// reads it; everyone else calls Text() and StringEntry() from core/strings.h.

#include <span>
#include <string_view>

namespace orvex::string_table {

struct Row {
  int number;
  std::string_view text;  // UTF-8
  std::string_view user;  // windows or code using the text, comma separated
};

// Every row, strictly ascending by number.
std::span<const Row> Rows();

}  // namespace orvex::string_table
