#include <iostream>

#include "cli/codeplug_args.h"
#include "cli/fleet_session.h"
#include "cli/link_session.h"
#include "cli/verb.h"
#include "model/document/codeplug_check.h"

namespace orvex::cli {
namespace {

int runWrite(const Args& args) {
  const bool fleet = IsFleet(args) || args.value("--each");
  const auto options = fleet ? std::nullopt : LinkOptionsOrReport(args);
  if (!fleet && !options) return kExitUsage;
  const auto language = options ? std::optional<int>(options->language) : LanguageOrReport(args);
  if (!language) return kExitUsage;
  const auto image = LoadCodeplugOrReport(args.positional[0]);
  if (!image) return kExitFailure;
  const auto findings = CheckCodeplug(*image, *language);
  for (const auto& finding : findings) std::cerr << FindingLine(finding, *language) << "\n";
  if (HasErrors(findings) && !args.has("--force")) {
    PrintError(args.positional[0] + " has errors; nothing was sent to the radio (--force writes it anyway)");
    return kExitFailure;
  }
  if (fleet) return RunFleetWrite(args, *image);
  // What the radio held is kept first: a radio that cannot be read or
  // backed up is not written.
  JobRequest request;
  request.direction = CloneDirection::Write;
  request.image = *image;
  request.verify = args.has("--verify") && !args.has("--no-verify");
  request.backupFirst = args.has("--backup-first");
  const LinkJobRun run = RunLinkJob(request, *options);
  const bool readBack = run.end.stage == TransferStage::Verifying &&
                        (run.end.outcome == JobOutcome::Completed || run.end.outcome == JobOutcome::Differences);
  if (readBack) return SaveTraceOrReport(*options, ReportVerify(run.image, *image));
  return SaveTraceOrReport(*options, ExitStatus(ResultOf(run.end)));
}

const VerbRegistration kWrite(
    {"write",
     "write --port PORT [--port PORT...] [--verify|--no-verify] [--force] [--backup-first] [--each VALUES.csv] "
     "[--watch] FILE",
     "checks a codeplug file and writes it to the radio (a file with errors is refused); with several ports (or "
     "--port all) to every radio at once, each read back and verified, with a table of outcomes",
     LinkOptionSpecs({{"--verify", false, "read the radio back and compare it with FILE (default with several ports)"},
                      {"--no-verify", false, "do not read the radios back"},
                      {"--force", false, "write even when the check finds errors"},
                      {"--backup-first", false,
                       "read each radio first and keep what it holds among the backups; a radio that cannot be "
                       "read or backed up is not written"},
                      {"--each", true,
                       "CSV of per-radio values: a \"port\" column (a port or \"next\") and "
                       "document paths such as options.ani_code or channels.1.name"},
                      {"--watch", false, "program radio after radio as they answer, until Ctrl+C"}}),
     1, 1, runWrite});

}  // namespace
}  // namespace orvex::cli
