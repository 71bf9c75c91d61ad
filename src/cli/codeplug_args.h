#pragma once

#include <optional>
#include <string>

#include "codeplug/file_io.h"
#include "core/memory_image.h"

namespace orvex::cli {

// Reads a file of the given kind for a verb; on failure prints why on stderr
// (naming the file) and returns nullopt.
std::optional<Bytes> ReadInputOrReport(const std::string& path, InputKind kind);

// Opens a ".tw" file for a verb; on failure prints why on stderr and returns
// nullopt.
std::optional<Image> LoadCodeplugOrReport(const std::string& path);

// Refuses, with a message, a destination no save may replace; "-" (standard
// output) always passes.  Verbs call it before long work such as a Read.
bool DestinationOrReport(const std::string& path);

// Writes bytes to a file, or to standard output when path is "-"; on failure
// prints why on stderr.
bool WriteOutputOrReport(const std::string& path, const Bytes& bytes);

// Writes a ".tw" file (or its bytes to standard output for "-").
bool SaveCodeplugOrReport(const std::string& path, const Image& image);

// Writes text to a file, or to stdout when path is empty or "-".
bool WriteTextOrReport(const std::string& path, const std::string& text);

// Flushes standard output; on a write error (a full disk, a closed pipe)
// prints why and returns false, so no verb reports success for output that
// never arrived.
bool FlushStandardOutput();

}  // namespace orvex::cli
