#include "codeplug/backups.h"

#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <string_view>
#include <system_error>

#include "codeplug/file_io.h"
#include "core/strings.h"

namespace orvex {

namespace fs = std::filesystem;

namespace {

fs::path InfoPath(fs::path backup) { return backup.replace_extension(".info"); }

constexpr std::string_view kReasonNames[] = {"", "read", "before-write"};

// "model=TZ417\nport=/dev/ttyUSB0\nreason=read\n".
std::string InfoText(const BackupOrigin& origin) {
  const auto oneLine = [](std::string text) {
    std::ranges::replace_if(
        text, [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
  };
  return "model=" + oneLine(origin.model) + "\nport=" + oneLine(origin.port) +
         "\nreason=" + std::string(kReasonNames[static_cast<std::size_t>(origin.reason)]) + "\n";
}

BackupOrigin ReadOrigin(const fs::path& backup) {
  BackupOrigin origin;
  const auto bytes = ReadInputFile(InfoPath(backup).string(), InputKind::Document);
  if (!bytes) return origin;
  std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
    if (key == "model") origin.model = value;
    if (key == "port") origin.port = value;
    if (key == "reason")
      for (std::size_t i = 1; i < std::size(kReasonNames); ++i)
        if (value == kReasonNames[i]) origin.reason = static_cast<BackupReason>(i);
  }
  return origin;
}

}  // namespace

namespace {

// The backups in `folder`, newest first, without their origin notes: a save
// lists the folder twice and needs the note of the newest one only.
std::vector<BackupEntry> BackupFiles(const fs::path& folder) {
  std::vector<BackupEntry> list;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    BackupName name = ParseBackupName(it->path().filename().string());
    if (name.hash.empty() || !it->is_regular_file(error)) continue;
    list.push_back({it->path(), std::move(name.stamp), std::move(name.hash), {}});
  }
  std::ranges::sort(list,
                    [](const BackupEntry& a, const BackupEntry& b) { return a.path.filename() > b.path.filename(); });
  return list;
}

}  // namespace

std::vector<BackupEntry> ListBackups(const fs::path& folder) {
  std::vector<BackupEntry> list = BackupFiles(folder);
  for (BackupEntry& entry : list) entry.origin = ReadOrigin(entry.path);
  return list;
}

Result<std::string> SaveBackup(const Image& image, const fs::path& folder, const BackupOrigin& origin,
                               std::chrono::system_clock::time_point when) {
  const std::string hash = ImageHash(image);
  auto existing = BackupFiles(folder);
  if (!existing.empty()) {
    const fs::path& newest = existing.front().path;
    const auto bytes = ReadInputFile(newest.string(), InputKind::Codeplug);
    if (bytes && RepeatsBackup(newest.filename().string(), *bytes, ReadOrigin(newest), image, origin))
      return newest.string();
  }

  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return Fail(folder.string() + ": " + error.message());
  const fs::path path = folder / BackupFileName(when, hash);
  if (auto written = WriteCodeplugFile(path.string(), image); !written) return Fail(written.error());
  if (origin != BackupOrigin{}) {
    const std::string info = InfoText(origin);
    if (auto written = WriteWholeFile(InfoPath(path).string(), Bytes(info.begin(), info.end())); !written)
      return Fail(written.error());
  }

  existing = BackupFiles(folder);
  for (std::size_t i = kBackupsKept; i < existing.size(); ++i) {
    fs::remove(existing[i].path, error);
    fs::remove(InfoPath(existing[i].path), error);
  }
  return path.string();
}

fs::path DefaultBackupFolder() {
  if (const char* chosen = std::getenv("ORVEX_BACKUP_DIR"); chosen && *chosen) return chosen;
  // The program's own data folder, whichever of the program or orvex-cli asks.
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return fs::path(data.toStdString()) / "orvex" / "backups";
}

}  // namespace orvex
