#include "cli/codeplug_args.h"
#include "cli/verb.h"
#include "model/channel_csv.h"

namespace orvex::cli {
namespace {

int runExport(const Args& args) {
  const std::string format = args.value("--format").value_or("");
  if (format != "csv" && format != "json") {
    PrintError("export needs --format csv or --format json");
    return kExitUsage;
  }
  const auto image = LoadCodeplugOrReport(args.positional[0]);
  if (!image) return kExitFailure;
  if (format == "json") {
    PrintError("JSON export is not available yet");
    return kExitFailure;
  }
  return WriteTextOrReport(args.value("-o").value_or(""), ExportChannelsCsv(*image)) ? kExitOk : kExitFailure;
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
