#include <iostream>

#include "cli/codeplug_args.h"
#include "cli/link_session.h"
#include "cli/verb.h"
#include "model/codeplug_check.h"

namespace orvex::cli {
namespace {

int runWrite(const Args& args) {
  const auto options = LinkOptionsOrReport(args);
  if (!options) return kExitUsage;
  const auto image = LoadCodeplugOrReport(args.positional[0]);
  if (!image) return kExitFailure;
  const auto findings = CheckCodeplug(*image);
  for (const auto& finding : findings) std::cerr << FindingLine(finding) << "\n";
  if (HasErrors(findings) && !args.has("--force")) {
    PrintError(args.positional[0] + " has errors; nothing was sent to the radio (--force writes it anyway)");
    return kExitFailure;
  }
  RadioMemory memory;
  memory.image() = *image;
  const LinkResult result = RunLinkTransfer(CloneDirection::Write, *options, memory);
  if (result != LinkResult::Completed || !args.has("--verify")) return SaveTraceOrReport(*options, ExitStatus(result));
  return SaveTraceOrReport(*options, VerifyRadio(*options, *image));
}

const VerbRegistration kWrite({"write", "write --port PORT [--verify] [--force] FILE",
                               "checks a codeplug file and writes it to the radio; a file with errors is refused",
                               LinkOptionSpecs({{"--verify", false, "read the radio back and compare it with FILE"},
                                                {"--force", false, "write even when the check finds errors"}}),
                               1, 1, runWrite});

}  // namespace
}  // namespace orvex::cli
