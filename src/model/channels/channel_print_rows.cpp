#include "model/channels/channel_print_rows.h"

#include "core/strings.h"
#include "model/channels/channel_table.h"

namespace orvex {

namespace {
constexpr int kTxtFile = 1107, kTxtDate = 1108, kTxtReadFrom = 1810;
constexpr auto kTitleGap = "    ";
}  // namespace

ChannelPrintContent ChannelPrintLines(const Image& image, int language, char separator) {
  ChannelTable grid(language, separator);
  grid.ChannelGridLoad(image);
  ChannelPrintContent content;
  for (int column = 0; column < kChannelColumns; ++column) {
    if (ChannelTable::IsHiddenColumn(column)) continue;
    content.columns.push_back(column);
    content.headings.push_back(grid.Cell(0, column));
  }
  for (int row = 1; row < kChannelGridRows; ++row) {
    if (grid.Cell(row, kColRx).empty()) continue;
    std::vector<std::string> texts;
    for (int column : content.columns) texts.push_back(grid.Cell(row, column));
    content.rows.push_back(std::move(texts));
  }
  return content;
}

std::string ChannelPrintTitleLine(const std::string& fileName, const std::string& readPort, const std::string& date,
                                  int language) {
  const std::string source = readPort.empty() ? std::string(Text(kTxtFile, language)) + ": " + fileName
                                              : TextOf(kTxtReadFrom, language, {readPort});
  return std::string("ORVEX") + kTitleGap + source + kTitleGap + std::string(Text(kTxtDate, language)) + ": " + date;
}

}  // namespace orvex
