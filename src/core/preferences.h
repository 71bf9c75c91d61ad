#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace orvex {

// The "Language" preference, kept per user under "SoftWare/ /ORVEX": a
// machine-wide store would need administrator rights and silently lose the
// choice.  A missing or unexpected value reads as English (0).
int ReadLanguagePreference();
void WriteLanguagePreference(int language);

// The codeplug files opened or saved last, newest first, kept beside the
// language under "SoftWare/ /ORVEX/RecentFiles".
std::vector<std::string> ReadRecentFiles();
void WriteRecentFiles(const std::vector<std::string>& paths);

// `paths` with `path` put first, an earlier mention of it dropped and at
// most `limit` entries kept.
std::vector<std::string> WithRecentFile(std::vector<std::string> paths, const std::string& path, std::size_t limit = 8);
// Whether a Write is read back and compared; on unless the user turned it off.
bool ReadVerifyAfterWrite();
void WriteVerifyAfterWrite(bool verify);
// Whether a Write first reads the radio and keeps what it held as a backup;
// off unless the user turned it on.
bool ReadBackupBeforeWrite();
void WriteBackupBeforeWrite(bool backup);

}  // namespace orvex
