#include <iostream>
#include <string_view>

#include "cli/codeplug_args.h"
#include "cli/verb.h"
#include "model/channel_csv.h"
#include "model/codeplug_document.h"
#include "model/json/json_document.h"

namespace orvex::cli {
namespace {

// Prints each line of a multi-line error, naming the file.
void PrintErrorLines(const std::string& file, std::string_view errors) {
  while (!errors.empty()) {
    const auto end = errors.find('\n');
    PrintError(file + ": " + std::string(errors.substr(0, end)));
    errors = end == std::string_view::npos ? std::string_view() : errors.substr(end + 1);
  }
}

// The JSON codeplug applied onto `base`; every problem is printed.
std::optional<Image> ImportJsonOrReport(const Image& base, const std::string& path) {
  const auto bytes = ReadInputOrReport(path, InputKind::Document);
  if (!bytes) return std::nullopt;
  const auto root = ParseJsonDocument(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (!root) {
    PrintError(path + ":" + root.error());
    return std::nullopt;
  }
  auto imported = ImportDocument(base, *root);
  if (!imported) {
    PrintErrorLines(path, imported.error());
    return std::nullopt;
  }
  return *imported;
}

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
  if (!DestinationOrReport(*outPath)) return kExitFailure;
  const auto base = LoadCodeplugOrReport(args.positional[0]);
  if (!base) return kExitFailure;
  if (jsonPath) {
    const auto imported = ImportJsonOrReport(*base, *jsonPath);
    if (!imported) {
      PrintError("nothing was written");
      return kExitFailure;
    }
    return SaveCodeplugOrReport(*outPath, *imported) ? kExitOk : kExitFailure;
  }
  const auto text = ReadInputOrReport(*csvPath, InputKind::Document);
  if (!text) return kExitFailure;
  const auto imported = ImportChannelsCsv(
      *base, std::string_view(reinterpret_cast<const char*>(text->data()), text->size()), args.has("--replace"));
  if (!imported) {
    PrintErrorLines(*csvPath, imported.error());  // one line per bad row
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
                                 {"-o", true, "codeplug file to write (- for standard output)"},
                                 {"--replace", false, "clear the channels the CSV does not list"}},
                                1,
                                1,
                                runImport});

}  // namespace
}  // namespace orvex::cli
