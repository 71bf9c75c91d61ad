#include "ui/channel/channel_grid.h"

#include <QComboBox>
#include <QHeaderView>

#include "model/channels/channel_grid_table.h"
#include "ui/main/twips.h"

namespace orvex {

namespace {
// The tone list and the list of every other list column.
constexpr int kLists = 2;
constexpr int kListRows = 16;
}  // namespace

ChannelGrid::ChannelGrid(ChannelTable& table, QWidget* parent)
    : EditingGrid(std::make_unique<ChannelGridTable>(table), GridTableModel::Headings::Hidden,
                  QStringLiteral("TxtChannel"), {QStringLiteral("CboChannel0"), QStringLiteral("CboChannel1")}, parent),
      m_channels(table) {
  setObjectName("ChannelGrid");
  setTabKeyNavigation(true);
  setRowHidden(0, true);  // the headings are the horizontal header
  ApplyColumnWidths();
  for (int i = 0; i < kLists; ++i) listEditor(i)->setMaxVisibleItems(kListRows);
}

void ChannelGrid::ApplyColumnWidths() {
  for (int column = 0; column < kChannelColumns; ++column) {
    const int width = TwipsToPixelsX(*this, ChannelTable::ColumnWidth(column));
    if (column == kColNumber) {
      verticalHeader()->setFixedWidth(width);
      setColumnHidden(column, true);  // shown as the vertical header
    } else if (ChannelTable::IsHiddenColumn(column)) {
      setColumnHidden(column, true);
    } else {
      setColumnWidth(column, width);
    }
  }
}

void ChannelGrid::Reload() {
  ReloadTexts();
  SetCurrentCell(m_channels.current());
}

}  // namespace orvex
