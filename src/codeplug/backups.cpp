#include "codeplug/backups.h"

#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <regex>
#include <string_view>
#include <system_error>

#include "codeplug/file_io.h"
#include "core/strings.h"

namespace orvex {

namespace fs = std::filesystem;

namespace {

// YYYYMMDD-HHMMSS-mmm-hash.tw
const std::regex& BackupName() {
  static const std::regex name(R"((\d{4})(\d{2})(\d{2})-(\d{2})(\d{2})(\d{2})-\d{3}-([0-9a-f]{8})\.tw)");
  return name;
}

std::string FileName(std::chrono::system_clock::time_point when, const std::string& hash) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[64];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d-%03d-%s.tw", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis), hash.c_str());
  return text;
}

bool HoldsImage(const fs::path& path, const Image& image) {
  const auto parsed = ReadCodeplugFile(path.string());
  return parsed && parsed->check == CodeplugCheck::Ok && parsed->image == image;
}

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

std::string_view BackupReasonText(BackupReason reason, int language) {
  static constexpr int kReadText = 1895;  // then "Before a Write"
  if (reason == BackupReason::Unknown) return {};
  return Text(kReadText + static_cast<int>(reason) - static_cast<int>(BackupReason::Read), language);
}

std::string ImageHash(const Image& image) {
  // FNV-1a: short, stable across platforms; a match is confirmed by bytes.
  std::uint32_t hash = 2166136261u;
  for (const std::uint8_t byte : image) hash = (hash ^ byte) * 16777619u;
  char text[9];
  std::snprintf(text, sizeof text, "%08x", hash);
  return text;
}

namespace {

// The backups in `folder`, newest first, without their origin notes: a save
// lists the folder twice and needs the note of the newest one only.
std::vector<BackupEntry> BackupFiles(const fs::path& folder) {
  std::vector<BackupEntry> list;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    std::smatch m;
    if (!std::regex_match(name, m, BackupName()) || !it->is_regular_file(error)) continue;
    list.push_back(
        {it->path(),
         m[1].str() + "-" + m[2].str() + "-" + m[3].str() + " " + m[4].str() + ":" + m[5].str() + ":" + m[6].str(),
         m[7].str(),
         {}});
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
  if (!existing.empty() && existing.front().hash == hash && ReadOrigin(existing.front().path) == origin &&
      HoldsImage(existing.front().path, image))
    return existing.front().path.string();

  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return Fail(folder.string() + ": " + error.message());
  const fs::path path = folder / FileName(when, hash);
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
