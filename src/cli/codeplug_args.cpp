#include "cli/codeplug_args.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "cli/verb.h"

namespace orvex::cli {

namespace {

constexpr std::string_view kStandardOutput = "-";

}  // namespace

std::optional<Bytes> ReadInputOrReport(const std::string& path, InputKind kind) {
  auto bytes = ReadInputFile(path, kind);
  if (!bytes) {
    PrintError(path + ": " + bytes.error());
    return std::nullopt;
  }
  return std::move(*bytes);
}

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

bool DestinationOrReport(const std::string& path) {
  if (path == kStandardOutput) return true;
  if (auto checked = CheckDestination(path); !checked) {
    PrintError(path + ": " + checked.error());
    return false;
  }
  return true;
}

bool WriteOutputOrReport(const std::string& path, const Bytes& bytes) {
  if (path == kStandardOutput) {
    std::cout.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return FlushStandardOutput();
  }
  if (auto written = WriteWholeFile(path, bytes); !written) {
    PrintError(path + ": " + written.error());
    return false;
  }
  return true;
}

bool SaveCodeplugOrReport(const std::string& path, const Image& image) {
  return WriteOutputOrReport(path, PackCodeplug(image));
}

bool WriteTextOrReport(const std::string& path, const std::string& text) {
  return WriteOutputOrReport(path.empty() ? std::string(kStandardOutput) : path, Bytes(text.begin(), text.end()));
}

bool FlushStandardOutput() {
  errno = 0;
  std::cout.flush();
  if (std::cout && std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  const int error = errno;
  PrintError(std::string("standard output: ") + (error ? std::strerror(error) : "write error"));
  std::cout.clear();
  std::clearerr(stdout);
  return false;
}

}  // namespace orvex::cli
