#include "cli/codeplug_args.h"
#include "cli/fleet_session.h"
#include "cli/link_session.h"
#include "cli/verb.h"

namespace orvex::cli {
namespace {

int runWrite(const Args& args) {
  if (IsFleet(args) || args.value("--each")) {
    const auto image = LoadCodeplugOrReport(args.positional[0]);
    return image ? RunFleetWrite(args, *image) : kExitFailure;
  }
  const auto options = LinkOptionsOrReport(args);
  if (!options) return kExitUsage;
  const auto image = LoadCodeplugOrReport(args.positional[0]);
  if (!image) return kExitFailure;
  RadioMemory memory;
  memory.image() = *image;
  const LinkResult result = RunLinkTransfer(CloneDirection::Write, *options, memory);
  if (result != LinkResult::Completed || !args.has("--verify") || args.has("--no-verify")) return ExitStatus(result);
  return VerifyRadio(*options, *image);
}

const VerbRegistration kWrite(
    {"write", "write --port PORT [--port PORT...] [--verify|--no-verify] [--each VALUES.csv] [--watch] FILE",
     "writes a codeplug file to the radio; with several ports (or --port all) to every radio at once, each read back "
     "and verified, with a table of outcomes",
     LinkOptionSpecs({{"--verify", false, "read the radio back and compare it with FILE (default with several ports)"},
                      {"--no-verify", false, "do not read the radios back"},
                      {"--each", true,
                       "CSV of per-radio values: a \"port\" column (a port or \"next\") and "
                       "document paths such as options.ani_code or channels.1.name"},
                      {"--watch", false, "program radio after radio as they answer, until Ctrl+C"}}),
     1, 1, runWrite});

}  // namespace
}  // namespace orvex::cli
