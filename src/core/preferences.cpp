#include "core/preferences.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "core/app_state.h"

namespace orvex {

namespace {
// "SoftWare", a key named by a single space, "ORVEX"; value "Language".
constexpr auto kLanguageKey = "SoftWare/ /ORVEX/Language";
constexpr auto kRecentKey = "SoftWare/ /ORVEX/RecentFiles";
constexpr auto kVerifyKey = "SoftWare/ /ORVEX/VerifyAfterWrite";
constexpr auto kBackupFirstKey = "SoftWare/ /ORVEX/BackupBeforeWrite";

QSettings Store() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "ORVEX", "orvex"); }

void WriteFlag(const char* key, bool value) {
  auto store = Store();
  store.setValue(key, value);
  store.sync();
}
}  // namespace

int ReadLanguagePreference() {
  const QString stored = Store().value(kLanguageKey).toString();
  return LanguageFromStored(stored.toStdString());
}

void WriteLanguagePreference(int language) {
  auto store = Store();
  store.setValue(kLanguageKey, QString::number(language == 1 ? 1 : 0));
  store.sync();
}

std::vector<std::string> ReadRecentFiles() {
  std::vector<std::string> paths;
  for (const QString& path : Store().value(kRecentKey).toStringList())
    if (!path.isEmpty()) paths.push_back(path.toStdString());
  return paths;
}

void WriteRecentFiles(const std::vector<std::string>& paths) {
  QStringList list;
  for (const std::string& path : paths) list << QString::fromStdString(path);
  auto store = Store();
  store.setValue(kRecentKey, list);
  store.sync();
}

std::vector<std::string> WithRecentFile(std::vector<std::string> paths, const std::string& path, std::size_t limit) {
  paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
  paths.insert(paths.begin(), path);
  if (paths.size() > limit) paths.resize(limit);
  return paths;
}

bool ReadVerifyAfterWrite() { return Store().value(kVerifyKey, true).toBool(); }

void WriteVerifyAfterWrite(bool verify) { WriteFlag(kVerifyKey, verify); }

bool ReadBackupBeforeWrite() { return Store().value(kBackupFirstKey, false).toBool(); }

void WriteBackupBeforeWrite(bool backup) { WriteFlag(kBackupFirstKey, backup); }

}  // namespace orvex
