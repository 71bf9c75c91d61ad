#pragma once

// Automatic backups on disk: every image read from a radio is kept as a ".tw"
// file in one folder, named and pruned as backup_rules.h says.  Beside each a
// small text file of the same name ending ".info" says which radio on which
// port the copy came from and why; older backups have none.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/backup_rules.h"
#include "core/memory_image.h"
#include "core/result.h"

namespace orvex {

struct BackupEntry {
  std::filesystem::path path;
  std::string stamp;  // "2026-12-08 14:25:01", local time of the Read
  std::string hash;   // eight hexadecimal digits
  BackupOrigin origin;
};

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
