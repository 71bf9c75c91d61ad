#include "ui/channel/channel_print.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "model/channels/channel_print_rows.h"
#include "model/channels/channel_table.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {

constexpr int kTxtCaption = 1100, kTxtPageOf = 1113;
constexpr qreal kFontPoints = 9.0;
constexpr qreal kSmallestFontPoints = 5.0;
constexpr qreal kRowSpacing = 1.5;  // row height in lines of text

// Column widths that fit every text of the column, with the spare room of
// the page shared out as the grid shares its widths.
std::vector<qreal> FitColumns(const ChannelPrintTable& table, const QFontMetricsF& metrics, qreal pageWidth,
                              qreal& scale) {
  const qreal padding = metrics.averageCharWidth() * 2;
  std::vector<qreal> needed;
  qreal total = 0;
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    qreal width = metrics.horizontalAdvance(table.headings[static_cast<qsizetype>(i)]);
    for (const QStringList& row : table.rows)
      width = std::max(width, metrics.horizontalAdvance(row[static_cast<qsizetype>(i)]));
    needed.push_back(width + padding);
    total += width + padding;
  }
  scale = total > pageWidth ? pageWidth / total : 1.0;
  int twips = 0;
  for (int column : table.columns) twips += ChannelTable::ColumnWidth(column);
  const qreal spare = std::max<qreal>(0, pageWidth - total * scale);
  std::vector<qreal> widths;
  for (std::size_t i = 0; i < needed.size(); ++i)
    widths.push_back(needed[i] * scale + spare * ChannelTable::ColumnWidth(table.columns[i]) / twips);
  return widths;
}

}  // namespace

QString ChannelPrintTitle(const ChannelPrintHeader& header, int language) {
  // A printed list outlives the screen it was printed from: a date that
  // reads the same to everyone.
  const QString date = header.when.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
  return QString::fromStdString(ChannelPrintTitleLine(QFileInfo(header.fileName).fileName().toStdString(),
                                                      header.readPort.toStdString(), date.toStdString(), language));
}

ChannelPrintTable ChannelPrintRows(const Image& image, int language, char separator) {
  ChannelPrintContent content = ChannelPrintLines(image, language, separator);
  ChannelPrintTable table;
  table.columns = std::move(content.columns);
  for (const std::string& heading : content.headings) table.headings << QString::fromStdString(heading);
  for (const std::vector<std::string>& row : content.rows) {
    QStringList texts;
    for (const std::string& text : row) texts << QString::fromStdString(text);
    table.rows.push_back(texts);
  }
  return table;
}

int PrintChannels(QPrinter& printer, const Image& image, int language, const ChannelPrintHeader& header,
                  char separator) {
  const ChannelPrintTable table = ChannelPrintRows(image, language, separator);
  QPainter painter;
  if (!painter.begin(&printer)) return 0;

  const QRectF page = printer.pageLayout()
                          .paintRectPixels(printer.resolution())
                          .translated(-printer.pageLayout().paintRectPixels(printer.resolution()).topLeft());
  QFont font = painter.font();
  font.setPointSizeF(kFontPoints);
  // No ligatures: "Off" stays three letters a PDF reader can find.
  font.setStyleStrategy(QFont::PreferNoShaping);
  qreal scale = 1.0;
  std::vector<qreal> widths = FitColumns(table, QFontMetricsF(font, &printer), page.width(), scale);
  if (scale < 1.0) {
    // Too wide for the page: a smaller font, then the widths again.
    font.setPointSizeF(std::max(kSmallestFontPoints, kFontPoints * scale));
    widths = FitColumns(table, QFontMetricsF(font, &printer), page.width(), scale);
  }
  painter.setFont(font);
  const QFontMetricsF metrics(font, &printer);
  const qreal rowHeight = metrics.height() * kRowSpacing;

  // Header line, caption and headings on top, the page number at the foot.
  const qreal tableTop = rowHeight * 2.5;
  const qreal tableBottom = page.height() - rowHeight * 1.5;
  const int rowsPerPage = std::max(1, static_cast<int>((tableBottom - tableTop) / rowHeight) - 1);
  const int pageCount = std::max<int>(1, (static_cast<int>(table.rows.size()) + rowsPerPage - 1) / rowsPerPage);

  int firstPage = 1, lastPage = pageCount;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    // A range past the end prints the last page rather than an empty job.
    firstPage = std::clamp(printer.fromPage(), 1, pageCount);
    lastPage = std::min(pageCount, std::max(firstPage, printer.toPage()));
  }

  const QString headerLine = ChannelPrintTitle(header, language);
  const QString caption = UiText(kTxtCaption, language);
  const QPen gridPen(Qt::gray, 0);

  auto drawRow = [&](qreal top, const QStringList& texts, bool heading) {
    qreal left = 0;
    QFont rowFont = font;
    rowFont.setBold(heading);
    painter.setFont(rowFont);
    for (qsizetype i = 0; i < texts.size(); ++i) {
      const QRectF cell(left, top, widths[static_cast<std::size_t>(i)], rowHeight);
      painter.setPen(gridPen);
      painter.drawRect(cell);
      painter.setPen(Qt::black);
      painter.drawText(cell, Qt::AlignCenter, texts[i]);
      left += cell.width();
    }
    painter.setFont(font);
  };

  int printed = 0;
  for (int number = firstPage; number <= lastPage; ++number) {
    if (printed > 0) printer.newPage();
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, page.width(), rowHeight), Qt::AlignLeft | Qt::AlignVCenter, headerLine);
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRectF(0, rowHeight, page.width(), rowHeight), Qt::AlignLeft | Qt::AlignVCenter, caption);
    painter.setFont(font);

    drawRow(tableTop, table.headings, true);
    const int first = (number - 1) * rowsPerPage;
    const int last = std::min<int>(static_cast<int>(table.rows.size()), first + rowsPerPage);
    for (int i = first; i < last; ++i)
      drawRow(tableTop + rowHeight * (i - first + 1), table.rows[static_cast<std::size_t>(i)], false);

    const QString pageText = UiText(kTxtPageOf, language).arg(number).arg(pageCount);
    painter.drawText(QRectF(0, page.height() - rowHeight, page.width(), rowHeight), Qt::AlignCenter, pageText);
    ++printed;
  }
  // A printer that fails on the way (a file that cannot be written to the
  // end, a job the spooler refused) has printed nothing usable.
  if (!painter.end() || printer.printerState() == QPrinter::Error) return 0;
  return printed;
}

}  // namespace orvex
