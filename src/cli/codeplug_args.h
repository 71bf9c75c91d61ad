#pragma once

#include <optional>
#include <string>

#include "core/memory_image.h"

namespace orvex::cli {

// Opens a ".tw" file for a verb; on failure prints why on stderr and returns
// nullopt.
std::optional<Image> LoadCodeplugOrReport(const std::string& path);

// Writes a ".tw" file; on failure prints why on stderr.
bool SaveCodeplugOrReport(const std::string& path, const Image& image);

// Writes text to a file, or to stdout when path is empty or "-".
bool WriteTextOrReport(const std::string& path, const std::string& text);

}  // namespace orvex::cli
