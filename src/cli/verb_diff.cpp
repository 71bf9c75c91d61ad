#include <iostream>

#include "cli/codeplug_args.h"
#include "cli/verb.h"
#include "model/document/codeplug_diff.h"

namespace orvex::cli {
namespace {

// Exit codes as diff(1) has them: 0 the same, 1 different, 2 trouble.
constexpr int kExitDifferent = 1;
constexpr int kExitTrouble = 2;

int runDiff(const Args& args) {
  const auto before = LoadCodeplugOrReport(args.positional[0]);
  if (!before) return kExitTrouble;
  const auto after = LoadCodeplugOrReport(args.positional[1]);
  if (!after) return kExitTrouble;
  const CodeplugDiff diff = DiffCodeplugs(*before, *after);
  for (const auto& line : DiffLines(diff)) std::cout << line << '\n';
  std::cout.flush();
  return diff.empty() ? kExitOk : kExitDifferent;
}

const VerbRegistration kDiff({"diff",
                              "diff A.tw B.tw",
                              "lists what differs between two codeplugs: named values, then the remaining bytes; exit "
                              "status 0 when they are the same, 1 when they differ",
                              {},
                              2,
                              2,
                              runDiff});

}  // namespace
}  // namespace orvex::cli
