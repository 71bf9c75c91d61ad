#pragma once

#include <string>

#include "codeplug/codeplug_file.h"
#include "core/memory_image.h"
#include "core/result.h"

namespace orvex {

// The whole content of a file.
Result<Bytes> ReadWholeFile(const std::string& path);

// Replaces a file atomically: a temporary file in the same folder is written,
// flushed and renamed over the old one, so a crash or a full disk never
// leaves a truncated file and the earlier file survives a failed write.
Status WriteWholeFile(const std::string& path, const Bytes& bytes);

// Writes the image as a ".tw" codeplug file.
Status WriteCodeplugFile(const std::string& path, const Image& image);

// Reads and checks a ".tw" file.  The Result fails only when the file cannot
// be read at all (the system's text); a file that fails a check comes back
// with its CodeplugCheck.
Result<ParsedCodeplug> ReadCodeplugFile(const std::string& path);

// Opens a checked file into memory: the image is replaced and becomes the
// snapshot only when the check passed; otherwise nothing changes.
bool LoadParsedCodeplug(RadioMemory& memory, const ParsedCodeplug& parsed);

}  // namespace orvex
