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
  if (!DestinationOrReport(*output)) return kExitFailure;
  // Rows a Read does not fetch stay as a new codeplug has them.
  RadioMemory memory;
  InitMemory(memory);
  const LinkResult result = RunLinkTransfer(CloneDirection::Read, *options, memory, false);
  if (result != LinkResult::Completed) return SaveTraceOrReport(*options, ExitStatus(result));
  // The radio's setup goes among the backups before anything else can fail.
  if (!args.has("--no-backup")) BackupRead(memory.image(), options->port, options->language);
  // Completion is announced only once the file holds what was read.
  if (!SaveCodeplugOrReport(*output, memory.image())) return SaveTraceOrReport(*options, kExitFailure);
  SayCompleted(CloneDirection::Read, *options);
  return SaveTraceOrReport(*options, kExitOk);
}

const VerbRegistration kRead(
    {"read", "read --port PORT [--port PORT...] -o FILE|DIR [--no-backup]",
     "reads the radio's memory into a codeplug file and keeps a backup of it; with several ports (or --port all) "
     "every radio at once, one codeplug per port in DIR",
     LinkOptionSpecs({{"-o", true,
                       "the codeplug file to write (required; - for standard output); a folder with several ports"},
                      {"--no-backup", false, "keep no backup of what was read"}}),
     0, 0, runRead});

}  // namespace
}  // namespace orvex::cli
