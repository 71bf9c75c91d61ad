#pragma once

#include <QDialog>
#include <QString>

#include "model/document/codeplug_diff.h"

class QTableWidget;

namespace orvex {

// `frmCompare`: what differs between the open codeplug and another one,
// named values first (channels, options, signalling entries), then the
// remaining bytes.  Double-clicking a channel's difference, or Enter on it,
// asks for that channel.  It stays open beside the editing windows.
class FrmCompare : public QDialog {
  Q_OBJECT

 public:
  FrmCompare(const CodeplugDiff& diff, const QString& otherName, int language, QWidget* parent = nullptr);

  [[nodiscard]] QTableWidget* table() const { return m_table; }

 signals:
  void channelRequested(int channel);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Asks for the channel of the difference in `row`, if it has one.
  void GoTo(int row);

  QTableWidget* m_table;
};

}  // namespace orvex
