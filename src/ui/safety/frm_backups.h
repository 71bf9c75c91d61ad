#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "codeplug/backups.h"
#include "core/memory_image.h"

class QTableWidget;

namespace orvex {

// What the user chose in the backups list.
struct BackupChoice {
  enum class Action { None, Open, Compare };
  Action action = Action::None;
  QString path;
};

// `frmBackups`: the backups every Read keeps, newest first, with the date,
// time, programmed channels, whether each equals the codeplug open now, and
// the radio, port and Read or Write it came from (blank for old backups);
// Open and Compare act on the selected one.
class FrmBackups : public QDialog {
  Q_OBJECT

 public:
  FrmBackups(const std::vector<BackupEntry>& entries, const Image& open, int language, QWidget* parent = nullptr);

  [[nodiscard]] BackupChoice choice() const { return m_choice; }
  [[nodiscard]] QTableWidget* table() const { return m_table; }
  // Chooses the backup in `row` for an action and closes (buttons, double-click).
  void Choose(int row, BackupChoice::Action action);

 private:
  std::vector<BackupEntry> m_entries;
  QTableWidget* m_table;
  BackupChoice m_choice;
};

}  // namespace orvex
