#include "model/channels/channel_import_messages.h"

#include <algorithm>

#include "core/strings.h"
#include "model/channels/channel_record.h"

namespace orvex {

namespace {

constexpr int kMoreErrors = 1114, kCsvHasErrors = 10004, kCsvSummary = 1661, kSkippedRows = 1662,
              kAdjustedValues = 1663, kRenumberQuestion = 10322, kJsonRefused = 10323;
constexpr int kLastProgrammed = 10120, kDoesNotFit = 10121, kFirstCannotMoveUp = 10122, kLastCannotMoveDown = 10123,
              kReplaceChannels = 10250, kReplaceChannel = 10251;

std::string Number(std::size_t n) { return std::to_string(n); }

}  // namespace

std::string ShownErrors(std::string_view lines, int language) {
  std::string shown;
  std::size_t count = 0;
  while (!lines.empty()) {
    const auto end = lines.find('\n');
    const std::string_view line = lines.substr(0, end);
    lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
    if (line.empty()) continue;
    if (++count <= kShownErrors) shown += (shown.empty() ? "" : "\n") + std::string(line);
  }
  if (count > kShownErrors) shown += "\n" + TextOf(kMoreErrors, language, {Number(count - kShownErrors)});
  return shown;
}

std::size_t UsableRows(const std::vector<CsvChannelRow>& rows) {
  return static_cast<std::size_t>(
      std::count_if(rows.begin(), rows.end(), [](const CsvChannelRow& row) { return row.usable(); }));
}

std::string UnusableRowsText(const std::vector<CsvChannelRow>& rows, int language) {
  std::string text;
  for (const CsvChannelRow& row : rows) {
    if (row.usable()) continue;
    std::string problems;
    for (const std::string& problem : row.problems) problems += (problems.empty() ? "" : "; ") + problem;
    text += NoteText({row.line, problems}, language) + "\n";
  }
  return text;
}

std::optional<RenumberOffer> OfferRenumbering(std::string_view csv, const Result<std::vector<CsvChannelRow>>& rows,
                                              int language) {
  if (!rows) return std::nullopt;
  const std::size_t placed = UsableRows(*rows);
  if (placed == rows->size()) return std::nullopt;
  auto renumbered = ReadChannelsCsv(csv, 1, language);
  if (!renumbered || UsableRows(*renumbered) != renumbered->size()) return std::nullopt;
  return RenumberOffer{TextOf(kRenumberQuestion, language, {Number(rows->size() - placed), Number(rows->size())}),
                       std::move(*renumbered)};
}

std::string CsvErrorsMessage(std::string_view errors, int language) {
  return TextOf(kCsvHasErrors, language) + "\n\n" + ShownErrors(errors, language);
}

std::string JsonRefusedMessage(std::string_view errors, int language) {
  return TextOf(kJsonRefused, language) + "\n\n" + ShownErrors(errors, language);
}

std::string ImportReportText(const CsvImportReport& report, int language) {
  std::string text = TextOf(kCsvSummary, language,
                            {std::to_string(report.imported), std::to_string(report.replaced),
                             Number(report.skipped.size()), std::to_string(report.adjusted)});
  const auto section = [&](int heading, const std::vector<CsvLineNote>& notes) {
    if (notes.empty()) return;
    text += "\n\n" + TextOf(heading, language);
    for (const auto& note : notes) text += "\n" + NoteText(note, language);
  };
  section(kSkippedRows, report.skipped);
  section(kAdjustedValues, report.adjustments);
  // The check's findings read "line N: error: ..." on their own.
  if (!report.findings.empty()) {
    text += "\n";
    for (const auto& note : report.findings) text += "\n" + NoteText(note, language);
  }
  return text;
}

std::string RowRefusalText(RowRefusal refusal, int at, int language) {
  switch (refusal) {
    case RowRefusal::LastChannelProgrammed:
      return TextOf(kLastProgrammed, language, {std::to_string(at)});
    case RowRefusal::DoesNotFit:
      return TextOf(kDoesNotFit, language, {std::to_string(at)});
    case RowRefusal::AtEdge:
      return TextOf(at == ChannelOffset::kFirst ? kFirstCannotMoveUp : kLastCannotMoveDown, language,
                    {std::to_string(at)});
    case RowRefusal::NoRows:
    case RowRefusal::None:
      break;
  }
  return {};
}

std::string ReplaceChannelsQuestion(const Image& image, const std::vector<int>& rows, int language) {
  const std::optional<int> programmed = FirstProgrammed(image, rows);
  if (!programmed || rows.empty() || rows.back() > ChannelOffset::kLast) return {};
  const auto count = static_cast<int>(rows.size());
  return count == 1 ? TextOf(kReplaceChannel, language, {std::to_string(*programmed)})
                    : TextOf(kReplaceChannels, language, {std::to_string(count), std::to_string(*programmed)});
}

}  // namespace orvex
