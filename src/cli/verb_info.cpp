#include <iostream>

#include "cli/verb.h"
#include "codeplug/file_io.h"
#include "core/frequency.h"

namespace orvex::cli {
namespace {

constexpr std::size_t kFirstChannelRow = 1, kLastChannelRow = 128, kVfoARow = 129, kVfoBRow = 130;

std::string Shown(const std::string& freq) { return freq.empty() ? "(none)" : freq + " MHz"; }

int runInfo(const Args& args) {
  const std::string& path = args.positional[0];
  auto parsed = ReadCodeplugFile(path);
  if (!parsed) {
    PrintError(path + ": " + parsed.error());
    return kExitFailure;
  }
  std::cout << "file:     " << path << "\n";
  if (parsed->check != CodeplugCheck::Ok) {
    std::cout << "valid:    no (" << kIncorrectFileType << " " << parsed->detail << ")\n";
    return kExitFailure;
  }
  const Image& image = parsed->image;
  int programmed = 0;
  for (std::size_t row = kFirstChannelRow; row <= kLastChannelRow; ++row)
    if (HasFreq(RowOf(image, row), Direction::Rx)) ++programmed;
  std::cout << "valid:    yes\n"
            << "channels: " << programmed << " of 128 programmed\n"
            << "VFO A:    Rx " << Shown(ReadFreq(RowOf(image, kVfoARow), Direction::Rx)) << ", Tx "
            << Shown(ReadFreq(RowOf(image, kVfoARow), Direction::Tx)) << "\n"
            << "VFO B:    Rx " << Shown(ReadFreq(RowOf(image, kVfoBRow), Direction::Rx)) << ", Tx "
            << Shown(ReadFreq(RowOf(image, kVfoBRow), Direction::Tx)) << "\n";
  return kExitOk;
}

const VerbRegistration kInfo({"info", "info FILE",
                              "summarises a codeplug: programmed channels, VFO A and B, whether the file is valid",
                              {}, 1, 1, runInfo});

}  // namespace
}  // namespace orvex::cli
