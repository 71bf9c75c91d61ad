#include "cli/codeplug_args.h"
#include "cli/fleet_session.h"
#include "cli/link_session.h"
#include "cli/verb.h"

namespace orvex::cli {
namespace {

int runRead(const Args& args) {
  if (IsFleet(args)) return RunFleetRead(args);
  const auto options = LinkOptionsOrReport(args);
  const auto output = args.value("-o");
  if (!options) return kExitUsage;
  if (!output || output->empty()) {
    PrintError("-o FILE is required");
    return kExitUsage;
  }
  // Rows a Read does not fetch stay as a new codeplug has them.
  RadioMemory memory;
  InitMemory(memory);
  const LinkResult result = RunLinkTransfer(CloneDirection::Read, *options, memory);
  if (result != LinkResult::Completed) return ExitStatus(result);
  return SaveCodeplugOrReport(*output, memory.image()) ? kExitOk : kExitFailure;
}

const VerbRegistration kRead(
    {"read", "read --port PORT [--port PORT...] -o FILE|DIR",
     "reads the radio's memory into a codeplug file; with several ports (or --port all) every radio at once, one "
     "codeplug per port in DIR",
     LinkOptionSpecs({{"-o", true, "the codeplug file to write (required); a folder with several ports"}}), 0, 0,
     runRead});

}  // namespace
}  // namespace orvex::cli
