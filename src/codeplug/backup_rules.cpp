#include "codeplug/backup_rules.h"

#include <cstdio>
#include <ctime>
#include <regex>

#include "codeplug/codeplug_file.h"
#include "core/strings.h"

namespace orvex {

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

std::string BackupFileName(std::chrono::system_clock::time_point when, const std::string& hash) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[64];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d-%03d-%s.tw", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis), hash.c_str());
  return text;
}

BackupName ParseBackupName(std::string_view fileName) {
  static const std::regex kName(R"((\d{4})(\d{2})(\d{2})-(\d{2})(\d{2})(\d{2})-\d{3}-([0-9a-f]{8})\.tw)");
  std::match_results<std::string_view::const_iterator> m;
  if (!std::regex_match(fileName.begin(), fileName.end(), m, kName)) return {};
  return {m[1].str() + "-" + m[2].str() + "-" + m[3].str() + " " + m[4].str() + ":" + m[5].str() + ":" + m[6].str(),
          m[7].str()};
}

bool RepeatsBackup(std::string_view newestName, std::span<const std::uint8_t> newestFile,
                   const BackupOrigin& newestOrigin, const Image& image, const BackupOrigin& origin) {
  if (ParseBackupName(newestName).hash != ImageHash(image) || newestOrigin != origin) return false;
  const ParsedCodeplug parsed = ParseCodeplug(newestFile);
  return parsed.check == CodeplugCheck::Ok && parsed.image == image;
}

}  // namespace orvex
