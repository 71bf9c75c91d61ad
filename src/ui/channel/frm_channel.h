#pragma once

#include "model/channel_table.h"
#include "ui/main/editing_window.h"

namespace orvex {

class ChannelGrid;

// `frmChannel`, the Channel Information window: the 128 channels in one
// grid, edited in place.  It touches the image only in RefreshChannel and
// SaveData; between them every edit lives in the table's cell texts.
class FrmChannel : public EditingWindow {
  Q_OBJECT

 public:
  explicit FrmChannel(const EditingContext& context, QWidget* parent = nullptr);

  // Caption, headings and every row from the image, in the current language.
  void RefreshChannel();
  // Every row into the image (an empty Rx clears the channel).
  void SaveData();

  void Refresh() override { RefreshChannel(); }
  void Store() override { SaveData(); }
  void CommitEdit() override;
  [[nodiscard]] bool refreshesOnOpen() const override { return false; }
  [[nodiscard]] UserClose userClose() const override { return UserClose::StoreAndDestroy; }
  [[nodiscard]] bool storesOnProgramClose() const override { return true; }

  [[nodiscard]] ChannelGrid* grid() const { return m_grid; }
  [[nodiscard]] const ChannelTable& table() const { return m_table; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool m_fitted = false;
  ChannelTable m_table;
  ChannelGrid* m_grid;
};

}  // namespace orvex
