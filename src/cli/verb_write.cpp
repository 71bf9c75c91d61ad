#include "cli/codeplug_args.h"
#include "cli/link_session.h"
#include "cli/verb.h"

namespace orvex::cli {
namespace {

int runWrite(const Args& args) {
  const auto options = LinkOptionsOrReport(args);
  if (!options) return kExitUsage;
  const auto image = LoadCodeplugOrReport(args.positional[0]);
  if (!image) return kExitFailure;
  RadioMemory memory;
  memory.image() = *image;
  const LinkResult result = RunLinkTransfer(CloneDirection::Write, *options, memory);
  if (result != LinkResult::Completed || !args.has("--verify")) return ExitStatus(result);
  return VerifyRadio(*options, *image);
}

const VerbRegistration kWrite({"write", "write --port PORT [--verify] FILE", "writes a codeplug file to the radio",
                               LinkOptionSpecs({{"--verify", false, "read the radio back and compare it with FILE"}}),
                               1, 1, runWrite});

}  // namespace
}  // namespace orvex::cli
