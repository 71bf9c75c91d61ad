#include <iostream>
#include <string_view>

#include "cli/codeplug_args.h"
#include "cli/verb.h"
#include "codeplug/file_io.h"
#include "model/channel_csv.h"

namespace orvex::cli {
namespace {

int runImport(const Args& args) {
  const auto csvPath = args.value("--csv");
  const auto jsonPath = args.value("--json");
  const auto outPath = args.value("-o");
  if (csvPath.has_value() == jsonPath.has_value()) {
    PrintError("import needs one of --csv IN.csv or --json IN.json");
    return kExitUsage;
  }
  if (!outPath || outPath->empty()) {
    PrintError("import needs -o OUT for the codeplug it writes");
    return kExitUsage;
  }
  const auto base = LoadCodeplugOrReport(args.positional[0]);
  if (!base) return kExitFailure;
  if (jsonPath) {
    PrintError("JSON import is not available yet");
    return kExitFailure;
  }
  const auto text = ReadWholeFile(*csvPath);
  if (!text) {
    PrintError(*csvPath + ": " + text.error());
    return kExitFailure;
  }
  const auto imported = ImportChannelsCsv(
      *base, std::string_view(reinterpret_cast<const char*>(text->data()), text->size()), args.has("--replace"));
  if (!imported) {
    // One line per bad row, each naming the file.
    std::string_view errors = imported.error();
    while (!errors.empty()) {
      const auto end = errors.find('\n');
      PrintError(*csvPath + ": " + std::string(errors.substr(0, end)));
      errors = end == std::string_view::npos ? std::string_view() : errors.substr(end + 1);
    }
    PrintError("nothing was written");
    return kExitFailure;
  }
  return SaveCodeplugOrReport(*outPath, *imported) ? kExitOk : kExitFailure;
}

const VerbRegistration kImport({"import",
                                "import FILE (--csv IN.csv | --json IN.json) -o OUT [--replace]",
                                "applies a channel CSV (or a JSON codeplug) onto FILE and writes the result to OUT",
                                {{"--csv", true, "channel CSV to apply"},
                                 {"--json", true, "JSON codeplug to apply"},
                                 {"-o", true, "codeplug file to write"},
                                 {"--replace", false, "clear the channels the CSV does not list"}},
                                1,
                                1,
                                runImport});

}  // namespace
}  // namespace orvex::cli
