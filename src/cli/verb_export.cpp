
#include "cli/codeplug_args.h"
#include "cli/verb.h"
#include "model/channels/channel_csv.h"
#include "model/document/codeplug_document.h"
#include "model/document/json_document.h"

namespace orvex::cli {
namespace {

int runExport(const Args& args) {
  const std::string format = args.value("--format").value_or("");
  if (format != "csv" && format != "json") {
    PrintError("export needs --format csv or --format json");
    return kExitUsage;
  }
  const std::string out = args.value("-o").value_or("");
  if (!out.empty() && !DestinationOrReport(out)) return kExitFailure;
  const auto image = LoadCodeplugOrReport(args.positional[0]);
  if (!image) return kExitFailure;
  const std::string text = format == "json" ? JsonDocumentText(ExportDocument(*image)) : ExportChannelsCsv(*image);
  return WriteTextOrReport(out, text) ? kExitOk : kExitFailure;
}

const VerbRegistration kExport({"export",
                                "export FILE --format csv|json [-o OUT]",
                                "writes the programmed channels as a channel CSV (or the codeplug as JSON) to OUT or "
                                "stdout",
                                {{"--format", true, "csv or json"}, {"-o", true, "output file (default: stdout)"}},
                                1,
                                1,
                                runExport});

}  // namespace
}  // namespace orvex::cli
