#pragma once

// Automatic backups: every image read from a radio is kept as a ".tw" file in
// one folder, named by the moment it was read and a short hash of its bytes
// ("20261208-142501-037-3fa9c2d1.tw"), so names sort oldest first.  Reading
// the same radio twice in a row keeps one file; only the newest 200 stay.
// Beside each a small text file of the same name ending ".info" says which
// radio on which port the copy came from and why; older backups have none.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory_image.h"
#include "core/result.h"

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

struct BackupEntry {
  std::filesystem::path path;
  std::string stamp;  // "2026-12-08 14:25:01", local time of the Read
  std::string hash;   // eight hexadecimal digits
  BackupOrigin origin;
};

// Eight hexadecimal digits naming the image's content.
std::string ImageHash(const Image& image);

// Saves the image and its origin unless the newest backup already holds
// exactly these bytes from the same origin (then that backup's path is
// returned), and prunes the folder to the newest kBackupsKept.  The folder
// is created when missing.  Fails with the system's reason (full disk,
// read-only folder); the caller reports it.
Result<std::string> SaveBackup(const Image& image, const std::filesystem::path& folder, const BackupOrigin& origin = {},
                               std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

// The backups in the folder, newest first, each with its origin when known;
// files of other names are left out.
std::vector<BackupEntry> ListBackups(const std::filesystem::path& folder);

// Where backups go: $ORVEX_BACKUP_DIR when set, otherwise "backups" in the
// user's application-data folder (shared by the program and orvex-cli).
std::filesystem::path DefaultBackupFolder();

}  // namespace orvex
