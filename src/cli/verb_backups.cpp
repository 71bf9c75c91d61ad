#include <iostream>

#include "cli/verb.h"
#include "codeplug/backups.h"
#include "codeplug/file_io.h"
#include "core/strings.h"
#include "model/channels/channel_record.h"

namespace orvex::cli {
namespace {

int runBackups(const Args& args) {
  const auto folder = args.value("--folder").value_or(DefaultBackupFolder().string());
  const auto list = ListBackups(folder);
  if (list.empty()) std::cerr << "no backups in " << folder << "\n";
  for (const BackupEntry& entry : list) {
    std::cout << entry.path.string() << "  " << entry.stamp << "  ";
    const auto parsed = ReadCodeplugFile(entry.path.string());
    if (!parsed || parsed->check != CodeplugCheck::Ok) {
      std::cout << "unreadable\n";
      continue;
    }
    int programmed = 0;
    for (int n = ChannelOffset::kFirst; n <= ChannelOffset::kLast; ++n) programmed += IsProgrammed(parsed->image, n);
    std::cout << "programmed channels: " << programmed;
    // Backups kept before the radio's model and port were noted have none.
    const BackupOrigin& origin = entry.origin;
    if (origin.reason != BackupReason::Unknown)
      std::cout << "  " << BackupReasonText(origin.reason, kEnglish) << ": " << origin.model << " on " << origin.port;
    std::cout << "\n";
  }
  std::cout.flush();
  return kExitOk;
}

const VerbRegistration kBackups({"backups",
                                 "backups [--folder DIR]",
                                 "lists the backups every Read keeps, newest first: path, date and time, programmed "
                                 "channels, and whether a Read or a Write made it, of which radio on which port",
                                 {{"--folder", true,
                                   "the backups folder (default: the program's, or $ORVEX_BACKUP_DIR)"}},
                                 0,
                                 0,
                                 runBackups});

}  // namespace
}  // namespace orvex::cli
