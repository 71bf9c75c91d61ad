// The page's files beyond the .tw: channel CSV and JSON codeplug import and
// export with the desktop program's questions and reports, and the backups
// every Read leaves in the browser's storage.  The page asks the questions
// these calls word; every rule and text is the engine's.

#include <emscripten/bind.h>

#include <optional>

#include "codeplug/backup_rules.h"
#include "codeplug/codeplug_file.h"
#include "link/clone_protocol.h"
#include "model/channels/channel_import_messages.h"
#include "model/document/codeplug_diff.h"
#include "model/document/codeplug_document.h"
#include "model/document/json_document.h"
#include "web/web_session.h"

namespace orvex {
namespace {

using emscripten::val;

constexpr int kImportUsableRows = 1660, kCompareTitle = 1690, kSame = 10168;

// A Read's image as the page holds it; nothing unless it is a whole one.
std::optional<Image> ImageOf(const std::string& bytes) {
  if (bytes.size() != kImageSize) return std::nullopt;
  Image image{};
  std::copy(bytes.begin(), bytes.end(), image.begin());
  return image;
}

std::span<const std::uint8_t> Span(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

std::string ExportCsv(WebSession& web) { return ExportChannelsCsv(web.session().memory().image()); }
std::string ExportJson(WebSession& web) { return JsonDocumentText(ExportDocument(web.session().memory().image())); }

// "" when imported as one undo step, else the refusal and its errors.
std::string ImportJson(WebSession& web, const std::string& name, const std::string& json) {
  const auto imported = ImportJsonCodeplug(web.session().memory().image(), json, name, web.Language());
  if (!imported) return JsonRefusedMessage(imported.error(), web.Language());
  web.session().ImportCodeplug(*imported);
  web.Refresh();
  return {};
}

Result<std::vector<CsvChannelRow>> CsvRows(const WebSession& web, const std::string& csv, bool renumber) {
  return ReadChannelsCsv(csv, renumber ? 1 : 0, web.Language());
}

// What the page asks or says before a CSV import, in order: `renumber` (the
// question whether to number the rows from channel 1; only when not
// renumbering already), `refusal` (the file cannot be imported), `bad` (rows
// the radio cannot take; `offer` names the button importing the others).
val PlanCsv(WebSession& web, const std::string& csv, bool renumber) {
  const int language = web.Language();
  const auto rows = CsvRows(web, csv, renumber);
  val plan = val::object();
  const auto offer = renumber ? std::nullopt : OfferRenumbering(csv, rows, language);
  plan.set("renumber", offer ? offer->question : std::string());
  std::string refusal, bad, usable;
  if (!rows) {
    refusal = CsvErrorsMessage(rows.error(), language);
  } else if (const std::string unusable = UnusableRowsText(*rows, language); !unusable.empty()) {
    (UsableRows(*rows) == 0 ? refusal : bad) = CsvErrorsMessage(unusable, language);
    usable = TextOf(kImportUsableRows, language, {std::to_string(UsableRows(*rows))});
  }
  plan.set("refusal", refusal);
  plan.set("bad", bad);
  plan.set("offer", usable);
  return plan;
}

// The usable rows onto the channels as one undo step; the report.
std::string ImportCsv(WebSession& web, const std::string& csv, bool renumber) {
  const auto rows = CsvRows(web, csv, renumber);
  if (!rows) return CsvErrorsMessage(rows.error(), web.Language());
  const CsvImportReport report = web.session().ImportChannels(*rows, web.Language());
  web.Refresh();
  return ImportReportText(report, web.Language());
}

// A Read's image as a backup: its file name at `millis` since the epoch,
// the ".tw" file's bytes, and what the list shows.  The empty object when
// the image is not a whole one.
val BackupOf(const std::string& image, double millis) {
  val backup = val::object();
  const std::optional<Image> read = ImageOf(image);
  if (!read) return backup;
  const auto when = std::chrono::system_clock::time_point(std::chrono::milliseconds(static_cast<long long>(millis)));
  backup.set("name", BackupFileName(when, ImageHash(*read)));
  backup.set("file", ByteArray(PackCodeplug(*read)));
  backup.set("model", RadioModelName());
  return backup;
}

// Why a backup was kept: a Read, or what the radio held before a Write.
BackupReason ReasonOf(bool beforeWrite) { return beforeWrite ? BackupReason::BeforeWrite : BackupReason::Read; }

// Whether a backup of `image` from `port` would repeat the newest one.
bool RepeatsNewest(const std::string& newestName, const std::string& newestFile, const std::string& newestPort,
                   bool newestBeforeWrite, const std::string& image, const std::string& port, bool beforeWrite) {
  const std::optional<Image> read = ImageOf(image);
  const BackupOrigin origin{RadioModelName(), port, ReasonOf(beforeWrite)};
  return read && RepeatsBackup(newestName, Span(newestFile), {RadioModelName(), newestPort, ReasonOf(newestBeforeWrite)},
                               *read, origin);
}

// One row of the backups list: date, time, programmed channels ("?" for an
// unreadable file), whether it is the open codeplug, and why it was kept.
val BackupRow(WebSession& web, const std::string& name, const std::string& file, bool beforeWrite) {
  const int language = web.Language();
  const BackupName parts = ParseBackupName(name);
  const ParsedCodeplug parsed = ParseCodeplug(Span(file));
  const bool readable = parsed.check == CodeplugCheck::Ok;
  int programmed = 0;
  if (readable)
    for (int n = ChannelOffset::kFirst; n <= ChannelOffset::kLast; ++n) programmed += IsProgrammed(parsed.image, n);
  val row = val::object();
  row.set("date", parts.stamp.substr(0, parts.stamp.find(' ')));
  row.set("time", parts.stamp.empty() ? std::string() : parts.stamp.substr(parts.stamp.find(' ') + 1));
  row.set("channels", readable ? std::to_string(programmed) : std::string("?"));
  row.set("same", readable && parsed.image == web.session().memory().image());
  row.set("reason", std::string(BackupReasonText(ReasonOf(beforeWrite), language)));
  return row;
}

// The comparison of the open codeplug with a file: its title and one line
// per difference, or that the two are the same.
val CompareWith(WebSession& web, const std::string& name, const std::string& file) {
  const int language = web.Language();
  val out = val::object();
  out.set("title", TextOf(kCompareTitle, language) + name);
  const ParsedCodeplug parsed = ParseCodeplug(Span(file));
  if (parsed.check != CodeplugCheck::Ok) {
    out.set("text", std::string(Text(kIncorrectFileTypeText, language)));
    return out;
  }
  const CodeplugDiff diff = DiffCodeplugs(web.session().memory().image(), parsed.image);
  std::string text;
  for (const std::string& line : DiffLines(diff)) text += (text.empty() ? "" : "\n") + line;
  out.set("text", diff.empty() ? TextOf(kSame, language) : text);
  return out;
}

int BackupsKept() { return static_cast<int>(kBackupsKept); }

}  // namespace
}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web_files) {
  using namespace orvex;
  emscripten::function("exportCsv", &ExportCsv);
  emscripten::function("exportJson", &ExportJson);
  emscripten::function("importJson", &ImportJson);
  emscripten::function("planCsv", &PlanCsv);
  emscripten::function("importCsv", &ImportCsv);
  emscripten::function("backupOf", &BackupOf);
  emscripten::function("repeatsNewest", &RepeatsNewest);
  emscripten::function("backupRow", &BackupRow);
  emscripten::function("compareWith", &CompareWith);
  emscripten::function("backupsKept", &BackupsKept);
}
