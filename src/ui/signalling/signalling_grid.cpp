#include "ui/signalling/signalling_grid.h"

#include <QHeaderView>
#include <numeric>

namespace orvex {

namespace {

// Room a heading needs beside its text.
constexpr int kHeadingPadding = 16;

QStringList ListNames(const QString& listName) { return listName.isEmpty() ? QStringList() : QStringList{listName}; }

}  // namespace

SignallingGrid::SignallingGrid(std::unique_ptr<SignallingGridTable> table, const QString& textName,
                               const QString& listName, QWidget* parent)
    : EditingGrid(std::move(table), GridTableModel::Headings::LeftOut, textName, ListNames(listName), parent),
      m_shares(static_cast<const SignallingGridTable&>(this->table()).columnWidths()) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
  }
  Reload();
}

void SignallingGrid::Reload() {
  ReloadTexts();
  FitHeight();
  if (!currentIndex().isValid()) SetCurrentCell({1, 1});
  updateGeometry();
}

void SignallingGrid::FitHeight() {
  // Every row is shown, so the grid never scrolls.
  const int rows = gridModel()->rowCount() * verticalHeader()->defaultSectionSize();
  setFixedHeight(2 * frameWidth() + horizontalHeader()->sizeHint().height() + rows);
}

QSize SignallingGrid::sizeHint() const {
  // Wide enough for every heading at the table's column proportions.
  const int sum = std::accumulate(m_shares.begin(), m_shares.end(), 0);
  const QFontMetrics metrics = horizontalHeader()->fontMetrics();
  int width = 0;
  for (std::size_t c = 0; c < m_shares.size() && sum > 0; ++c) {
    const QString heading = c == 0 ? gridModel()->cornerText()
                                   : gridModel()->headerData(static_cast<int>(c) - 1, Qt::Horizontal).toString();
    const int needed = metrics.horizontalAdvance(heading) + kHeadingPadding;
    const int share = std::max(1, m_shares[c]);
    width = std::max(width, (needed * sum + share - 1) / share);
  }
  return {width + 2 * frameWidth(), height()};
}

QSize SignallingGrid::minimumSizeHint() const { return sizeHint(); }

void SignallingGrid::ApplyColumnWidths() {
  const int sum = std::accumulate(m_shares.begin(), m_shares.end(), 0);
  const int columns = gridModel()->columnCount();
  if (sum <= 0 || static_cast<int>(m_shares.size()) != columns + 1) return;
  const int total = width() - 2 * frameWidth();
  int used = total * m_shares[0] / sum;
  verticalHeader()->setFixedWidth(used);
  for (int c = 0; c < columns; ++c) {
    // The last column takes what rounding left over.
    const int w = c == columns - 1 ? total - used : total * m_shares[static_cast<std::size_t>(c) + 1] / sum;
    setColumnWidth(c, w);
    used += w;
  }
}

void SignallingGrid::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  ApplyColumnWidths();
}

}  // namespace orvex
