#pragma once

#include "model/channels/channel_table.h"
#include "ui/main/editing_grid.h"

namespace orvex {

// `ChannelGrid`: the grid of the channel window, 129 rows x 15 columns
// numbered as the table numbers them (row 0, the headings, and column 0,
// the channel numbers, are the view's headers), with its in-cell editors:
// the text box `TxtChannel` and the lists `CboChannel` 0 (tones) and 1
// (every other list column).
class ChannelGrid : public EditingGrid {
  Q_OBJECT

 public:
  explicit ChannelGrid(ChannelTable& table, QWidget* parent = nullptr);

  // Headings, texts and greying again from the table, the table's current
  // cell shown; an open editor is dropped.
  void Reload();

 private:
  void ApplyColumnWidths();

  ChannelTable& m_channels;
};

}  // namespace orvex
