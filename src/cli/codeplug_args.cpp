#include "cli/codeplug_args.h"

#include <iostream>

#include "cli/verb.h"
#include "codeplug/file_io.h"

namespace orvex::cli {

std::optional<Image> LoadCodeplugOrReport(const std::string& path) {
  auto parsed = ReadCodeplugFile(path);
  if (!parsed) {
    PrintError(path + ": " + parsed.error());
    return std::nullopt;
  }
  if (parsed->check != CodeplugCheck::Ok) {
    PrintError(path + ": " + std::string(kIncorrectFileType) + " (" + parsed->detail + ")");
    return std::nullopt;
  }
  return parsed->image;
}

bool SaveCodeplugOrReport(const std::string& path, const Image& image) {
  if (auto saved = WriteCodeplugFile(path, image); !saved) {
    PrintError(path + ": " + saved.error());
    return false;
  }
  return true;
}

bool WriteTextOrReport(const std::string& path, const std::string& text) {
  if (path.empty() || path == "-") {
    std::cout << text;
    std::cout.flush();
    return static_cast<bool>(std::cout);
  }
  if (auto written = WriteWholeFile(path, Bytes(text.begin(), text.end())); !written) {
    PrintError(path + ": " + written.error());
    return false;
  }
  return true;
}

}  // namespace orvex::cli
