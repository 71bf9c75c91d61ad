#include <charconv>
#include <iostream>
#include <string_view>

#include "cli/codeplug_args.h"
#include "cli/link_session.h"
#include "cli/verb.h"
#include "core/strings.h"
#include "model/channels/channel_csv.h"
#include "model/document/codeplug_document.h"
#include "model/document/json_document.h"
#include "model/import_report.h"

namespace orvex::cli {
namespace {

// String-table numbers of the import's own lines.
constexpr int kTxtSkipped = 1915, kTxtNothingWritten = 1944, kTxtNothingWrittenSkip = 1945;

// Prints each line of a multi-line error, naming the file.
void PrintErrorLines(const std::string& file, std::string_view errors) {
  while (!errors.empty()) {
    const auto end = errors.find('\n');
    PrintError((file.empty() ? std::string() : file + ": ") + std::string(errors.substr(0, end)));
    errors = end == std::string_view::npos ? std::string_view() : errors.substr(end + 1);
  }
}

// The JSON codeplug applied onto `base`; every problem is printed.
std::optional<Image> ImportJsonOrReport(const Image& base, const std::string& path, int language) {
  const auto bytes = ReadInputOrReport(path, InputKind::Document);
  if (!bytes) return std::nullopt;
  auto imported = ImportJsonCodeplug(
      base, std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), path, language);
  if (!imported) {
    PrintErrorLines("", imported.error());
    return std::nullopt;
  }
  return *imported;
}

// The channel --renumber starts at: 0 without it, 1 when given bare.
std::optional<int> RenumberFrom(const Args& args) {
  const auto value = args.value("--renumber");
  if (!value) return 0;
  if (value->empty()) return 1;
  int from = 0;
  const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), from);
  if (error != std::errc() || end != value->data() + value->size() || from < 1 || from > 128) return std::nullopt;
  return from;
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
  const auto language = LanguageOrReport(args);
  if (!language) return kExitUsage;
  const auto renumberFrom = RenumberFrom(args);
  if (!renumberFrom) {
    PrintError("--renumber takes the first channel number, 1..128");
    return kExitUsage;
  }
  if (!DestinationOrReport(*outPath)) return kExitFailure;
  const auto base = LoadCodeplugOrReport(args.positional[0]);
  if (!base) return kExitFailure;
  if (jsonPath) {
    const auto imported = ImportJsonOrReport(*base, *jsonPath, *language);
    if (!imported) {
      PrintError(TextOf(kTxtNothingWritten, *language));
      return kExitFailure;
    }
    return SaveCodeplugOrReport(*outPath, *imported) ? kExitOk : kExitFailure;
  }
  const auto text = ReadInputOrReport(*csvPath, InputKind::Document);
  if (!text) return kExitFailure;
  const auto rows = ReadChannelsCsv(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()),
                                    *renumberFrom, *language);
  if (!rows) {
    PrintErrorLines(*csvPath, rows.error());
    PrintError(TextOf(kTxtNothingWritten, *language));
    return kExitFailure;
  }
  Image image = *base;
  const CsvImportReport report = ApplyChannelsCsv(image, *rows, args.has("--replace"), *language);
  const bool skipInvalid = args.has("--skip-invalid");
  ErrorReport skipped, adjusted, found;
  for (const auto& note : report.skipped)
    skipped.Add(
        *csvPath + ": " +
        NoteText({note.line, skipInvalid ? TextOf(kTxtSkipped, *language, {note.text}) : note.text}, *language));
  PrintErrorLines("", skipped.Text());
  if (!skipInvalid && !report.skipped.empty()) {
    PrintError(TextOf(kTxtNothingWrittenSkip, *language));
    return kExitFailure;
  }
  for (const auto& note : report.adjustments) adjusted.Add(*csvPath + ": " + NoteText(note, *language));
  PrintErrorLines("", adjusted.Text());
  for (const auto& note : report.findings) found.Add(*csvPath + ": " + NoteText(note, *language));
  PrintErrorLines("", found.Text());
  if (!SaveCodeplugOrReport(*outPath, image)) return kExitFailure;
  std::cout << CsvImportSummary(report, *language) << std::endl;
  return kExitOk;
}

const VerbRegistration kImport({"import",
                                "import FILE (--csv IN.csv | --json IN.json) -o OUT [--replace] [--skip-invalid] "
                                "[--renumber [N]]",
                                "applies a channel CSV (or a JSON codeplug) onto FILE and writes the result to OUT",
                                {{"--csv", true, "channel CSV to apply"},
                                 {"--json", true, "JSON codeplug to apply"},
                                 {"-o", true, "codeplug file to write (- for standard output)"},
                                 {"--replace", false, "clear the channels the CSV does not list"},
                                 {"--skip-invalid", false, "import the CSV rows the radio takes and list the others"},
                                 {"--renumber", false, "place CSV rows in file order from channel 1 (or N)", true},
                                 kLangOption},
                                1,
                                1,
                                runImport});

}  // namespace
}  // namespace orvex::cli
