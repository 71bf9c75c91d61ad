#pragma once

#include <string>
#include <vector>

#include "core/memory_image.h"

namespace orvex {

// What a channel print shows: the headings of the grid's visible columns and
// one line per programmed channel, texts as the grid shows them.
struct ChannelPrintContent {
  std::vector<int> columns;  // grid columns, in order
  std::vector<std::string> headings;
  std::vector<std::vector<std::string>> rows;
};
ChannelPrintContent ChannelPrintLines(const Image& image, int language, char separator = '.');

// The title line of every printed page: "ORVEX    File: name    Date: date",
// or "ORVEX    Read from radio on port    Date: date" while `readPort` names
// the port of a Read not saved yet.  `fileName` is shown as given, `date` as
// the caller wrote it.
std::string ChannelPrintTitleLine(const std::string& fileName, const std::string& readPort, const std::string& date,
                                  int language);

}  // namespace orvex
