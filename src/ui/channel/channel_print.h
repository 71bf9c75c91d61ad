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
  // The port of the Read the codeplug came from while it is not saved yet;
  // the title then says so instead of naming a file.
  QString readPort;
};

// The title line of every page: "ORVEX  File: name  Date: 2026-12-08 14:05",
// or "ORVEX  Read from radio on port  Date: ..." for a codeplug read and not
// saved.  The date is ISO whatever the language.
QString ChannelPrintTitle(const ChannelPrintHeader& header, int language);

// Prints the programmed channels of `image` as a table on `printer`: on every
// page the title line, the window caption, the column headings, and a page
// number "Page n of m" at the foot, all in the language given.  The
// printer's page range is honoured.  Returns the number of pages printed; 0
// when the printer could not be started or reported an error.
int PrintChannels(QPrinter& printer, const Image& image, int language, const ChannelPrintHeader& header,
                  char separator = '.');

}  // namespace orvex
