#pragma once

// Automatic backups: every image read from a radio is kept as a ".tw" file in
// one folder, named by the moment it was read and a short hash of its bytes
// ("20261208-142501-037-3fa9c2d1.tw"), so names sort oldest first.  Reading
// the same radio twice in a row keeps one file; only the newest 200 stay.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/memory_image.h"
#include "core/result.h"

namespace orvex {

inline constexpr std::size_t kBackupsKept = 200;

struct BackupEntry {
  std::filesystem::path path;
  std::string stamp;  // "2026-12-08 14:25:01", local time of the Read
  std::string hash;   // eight hexadecimal digits
};

// Eight hexadecimal digits naming the image's content.
std::string ImageHash(const Image& image);

// Saves the image unless the newest backup already holds exactly these bytes
// (then that backup's path is returned), and prunes the folder to the newest
// kBackupsKept.  The folder is created when missing.  Fails with the system's
// reason (full disk, read-only folder); the caller reports it and goes on.
Result<std::string> SaveBackup(const Image& image, const std::filesystem::path& folder,
                               std::chrono::system_clock::time_point when = std::chrono::system_clock::now());
inline Result<std::string> SaveBackup(const RadioMemory& memory, const std::filesystem::path& folder) {
  return SaveBackup(memory.image(), folder);
}

// The backups in the folder, newest first; files of other names are left out.
std::vector<BackupEntry> ListBackups(const std::filesystem::path& folder);

// Where backups go: $ORVEX_BACKUP_DIR when set, otherwise "backups" in the
// user's application-data folder (shared by the program and orvex-cli).
std::filesystem::path DefaultBackupFolder();

}  // namespace orvex
