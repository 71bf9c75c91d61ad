#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

#include "codeplug/codeplug_file.h"
#include "core/memory_image.h"
#include "core/result.h"

namespace orvex {

// Paths here are in the platform's file-name encoding (the raw bytes of a
// command-line argument), so a name that is not valid UTF-8 still opens.
std::string LocalPath(const QString& path);
QString DisplayPath(const std::string& path);

// What a file is read as, and so how large it may be.  The size is checked
// while reading: an endless device or a huge file is refused at once instead
// of being read into memory.
enum class InputKind {
  Codeplug,  // a ".tw" file: a few hundred bytes packed, 8208 plain
  Document,  // a channel CSV or a JSON codeplug
  AnyFile,   // pack/unpack of arbitrary bytes: as large as unpacking may grow
};

struct InputLimit {
  std::size_t bytes;
  std::string_view what;  // "a codeplug file"
};
InputLimit LimitOf(InputKind kind);

// The whole content of a file of the given kind.
Result<Bytes> ReadInputFile(const std::string& path, InputKind kind);

// Whether a file may be saved at `path`: a missing file or a regular file
// (or a symbolic link to one) may; a folder, device, FIFO or socket may not,
// so a save never replaces /dev/null with a regular file.
Status CheckDestination(const std::string& path);

// Replaces a file atomically: the bytes go to a temporary file in the same
// folder (unnamed while it is written, where the system allows), which is
// flushed and renamed over the old one, so a crash, a kill or a full disk
// never leaves a truncated file and the earlier file survives a failed write.
// A symbolic link is saved through: the file it points to is replaced and the
// link stays.  Leftover temporary files of an earlier, killed save of the
// same file are removed first.
Status WriteWholeFile(const std::string& path, const Bytes& bytes);

// Writes the image as a ".tw" codeplug file.
Status WriteCodeplugFile(const std::string& path, const Image& image);

// Reads and checks a ".tw" file.  The Result fails only when the file cannot
// be read at all (the system's text, or too large); a file that fails a check
// comes back with its CodeplugCheck.
Result<ParsedCodeplug> ReadCodeplugFile(const std::string& path);

// Opens a checked file into memory: the image is replaced and becomes the
// snapshot only when the check passed; otherwise nothing changes.
bool LoadParsedCodeplug(RadioMemory& memory, const ParsedCodeplug& parsed);

}  // namespace orvex
