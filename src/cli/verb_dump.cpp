#include <cstdio>
#include <iostream>

#include "cli/codeplug_args.h"
#include "cli/verb.h"

namespace orvex::cli {
namespace {

int runDump(const Args& args) {
  const auto image = LoadCodeplugOrReport(args.positional[0]);
  if (!image) return kExitFailure;
  std::string out;
  out.reserve(kRowCount * 54);
  char line[64];
  for (std::size_t row = 0; row < kRowCount; ++row) {
    int n = std::snprintf(line, sizeof line, "%04zX:", row * kRowSize);
    for (std::size_t col = 0; col < kRowSize; ++col)
      n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), " %02X", (*image)[Address(row, col)]);
    out.append(line, static_cast<std::size_t>(n)).push_back('\n');
  }
  std::cout << out;
  return kExitOk;
}

const VerbRegistration kDump({"dump", "dump FILE", "prints the memory image as 512 lines of 16 hexadecimal bytes",
                              {}, 1, 1, runDump});

}  // namespace
}  // namespace orvex::cli
