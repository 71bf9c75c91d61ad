#include "ui/main/recent_files.h"

#include <QAction>
#include <QFileInfo>

#include "core/preferences.h"

namespace orvex {

namespace {

constexpr int kRecentFileCount = 8;

}  // namespace

RecentFiles::RecentFiles(QObject* parent) : QObject(parent), m_paths(ReadRecentFiles()) {
  for (int i = 0; i < kRecentFileCount; ++i) {
    auto* action = new QAction(this);
    action->setObjectName(QStringLiteral("miRecent%1").arg(i + 1));
    connect(action, &QAction::triggered, this, [this, i] { emit chosen(i); });
    m_actions << action;
  }
  Show();
}

QStringList RecentFiles::paths() const {
  QStringList paths;
  for (const std::string& path : m_paths) paths << QString::fromStdString(path);
  return paths;
}

void RecentFiles::Remember(const QString& path) {
  m_paths = WithRecentFile(m_paths, QFileInfo(path).absoluteFilePath().toStdString(), kRecentFileCount);
  WriteRecentFiles(m_paths);
  Show();
}

void RecentFiles::Forget(int index) {
  if (index < 0 || index >= static_cast<int>(m_paths.size())) return;
  m_paths.erase(m_paths.begin() + index);
  WriteRecentFiles(m_paths);
  Show();
}

void RecentFiles::Show() {
  for (int i = 0; i < m_actions.size(); ++i) {
    QAction* action = m_actions[i];
    const bool used = i < static_cast<int>(m_paths.size());
    action->setVisible(used);
    if (!used) continue;
    const QString path = QString::fromStdString(m_paths[static_cast<std::size_t>(i)]);
    action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
    action->setToolTip(path);
    action->setStatusTip(path);
  }
}

}  // namespace orvex
