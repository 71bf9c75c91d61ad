#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <string>
#include <vector>

class QAction;

namespace orvex {

// The File menu's list of the codeplug files opened or saved last, newest
// first, kept beside the language preference: one action per place
// ("miRecent1".."miRecent8"), hidden while unused.
class RecentFiles : public QObject {
  Q_OBJECT

 public:
  explicit RecentFiles(QObject* parent = nullptr);

  [[nodiscard]] const QList<QAction*>& actions() const { return m_actions; }
  [[nodiscard]] QStringList paths() const;
  // Puts `path` first (as an absolute path) and keeps it.
  void Remember(const QString& path);
  // Drops the file at `index` (it no longer exists).
  void Forget(int index);

 signals:
  // The user chose the file at `index` of paths().
  void chosen(int index);

 private:
  void Show();

  std::vector<std::string> m_paths;
  QList<QAction*> m_actions;
};

}  // namespace orvex
