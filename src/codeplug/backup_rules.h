#pragma once

// What makes a backup, wherever backups are kept (a folder on disk, the
// browser's own storage): every image read from a radio, named by the moment
// it was read and a short hash of its bytes ("20261208-142501-037-3fa9c2d1.tw")
// so names sort oldest first; reading the same radio twice in a row keeps
// one; only the newest 200 stay.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/memory_image.h"

namespace orvex {

inline constexpr std::size_t kBackupsKept = 200;

// Why a backup was kept: a Read, or the radio read just before a Write.
enum class BackupReason { Unknown, Read, BeforeWrite };

struct BackupOrigin {
  std::string model;  // what the radio identified itself as; "" when unknown
  std::string port;
  BackupReason reason = BackupReason::Unknown;
  bool operator==(const BackupOrigin&) const = default;
};

// "Read" or "Before a Write" in a language; "" when unknown.
std::string_view BackupReasonText(BackupReason reason, int language);

// Eight hexadecimal digits naming the image's content.
std::string ImageHash(const Image& image);

// "YYYYMMDD-HHMMSS-mmm-hash.tw" in local time.
std::string BackupFileName(std::chrono::system_clock::time_point when, const std::string& hash);

// The parts of a backup's file name: "2026-12-08 14:25:01" and the hash;
// both "" for a name of another form.
struct BackupName {
  std::string stamp, hash;
};
BackupName ParseBackupName(std::string_view fileName);

// Whether a new backup of `image` from `origin` would repeat the newest one
// (its ".tw" file's bytes and origin): then it is not kept again.
bool RepeatsBackup(std::string_view newestName, std::span<const std::uint8_t> newestFile,
                   const BackupOrigin& newestOrigin, const Image& image, const BackupOrigin& origin);

}  // namespace orvex
