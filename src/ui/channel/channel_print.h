#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/memory_image.h"

class QPrinter;

namespace orvex {

// What a channel print shows: the headings of the grid's visible columns and
// one line per programmed channel, texts as the grid shows them.
struct ChannelPrintTable {
  std::vector<int> columns;  // grid columns, in order
  QStringList headings;
  std::vector<QStringList> rows;
};
ChannelPrintTable ChannelPrintRows(const Image& image, int language, char separator = '.');

struct ChannelPrintHeader {
  QString fileName;  // shown without its folder
  QDateTime when;
};

// Prints the programmed channels of `image` as a table on `printer`: on every
// page the line "ORVEX  File: name  Date: date", the window caption, the
// column headings, and a page number "Page n of m" at the foot, all in the
// language given.  The printer's page range is honoured.  Returns the number
// of pages printed; 0 when the printer could not be started.
int PrintChannels(QPrinter& printer, const Image& image, int language, const ChannelPrintHeader& header,
                  char separator = '.');

}  // namespace orvex
