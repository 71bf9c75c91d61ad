#include "app/radio_outcome.h"

#include <cstdio>

#include "core/strings.h"
#include "link/clone_protocol.h"
#include "model/csv.h"

namespace orvex {

bool Succeeded(RadioOutcome outcome) {
  return outcome == RadioOutcome::Verified || outcome == RadioOutcome::Written || outcome == RadioOutcome::Read;
}

RadioResult ResultOf(const JobEnd& end) {
  RadioResult result;
  switch (end.outcome) {
    case JobOutcome::Completed:
      result.outcome = end.stage == TransferStage::Reading     ? RadioOutcome::Read
                       : end.stage == TransferStage::Verifying ? RadioOutcome::Verified
                                                               : RadioOutcome::Written;
      return result;
    case JobOutcome::Differences:
      result.outcome = RadioOutcome::Differences;
      result.differences = static_cast<int>(end.differingRows.size());
      return result;
    case JobOutcome::ModelMismatch:
      result.outcome = RadioOutcome::ModelWrong;
      return result;
    case JobOutcome::Failed:
      result.outcome = RadioOutcome::NoAnswer;
      break;
    case JobOutcome::OpenFailed:
      result.outcome = RadioOutcome::PortFailed;
      break;
    case JobOutcome::NotWritten:
      result.outcome = RadioOutcome::NotWritten;
      break;
    case JobOutcome::Stopped:
      result.outcome = RadioOutcome::Stopped;
      return result;
  }
  result.detail = end.reason;
  result.readingBack = end.stage == TransferStage::Verifying && !end.reason.empty();
  result.readingBeforeWrite = end.stage == TransferStage::BackingUp && !end.reason.empty();
  return result;
}

std::string OutcomeText(const RadioResult& result, int language) {
  constexpr int kFirstOutcome = 1765;  // in RadioOutcome order
  constexpr int kReadingBack = 1857, kReadingBeforeWrite = 1903;
  std::string outcome =
      TextOf(kFirstOutcome + static_cast<int>(result.outcome), language, {std::to_string(result.differences)});
  std::string detail = result.detail;
  if (result.readingBack || result.readingBeforeWrite)
    detail = TextOf(result.readingBack ? kReadingBack : kReadingBeforeWrite, language, {result.detail});
  if (!detail.empty()) outcome += " (" + detail + ")";
  return outcome;
}

std::string SecondsText(std::int64_t milliseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(milliseconds) / 1000.0);
  return text;
}

std::string ValuesLineText(std::size_t line, int language) {
  constexpr int kTxtLine = 1941;
  return TextOf(kTxtLine, language, {std::to_string(line)});
}

std::string SummaryText(int succeeded, int radios, int language) {
  return TextOf(FleetTexts::kSummary, language, {std::to_string(succeeded), std::to_string(radios)});
}

int RadioProgressMaximum(const JobRequest& request) {
  const bool writing = request.direction == CloneDirection::Write;
  const int read = ProgressMaximum(CloneDirection::Read);
  return ProgressMaximum(request.direction) + (writing && request.verify ? read : 0) +
         (writing && request.backupFirst ? read : 0);
}

int RadioProgressValue(const JobRequest& request, TransferStage stage, int value) {
  const bool writing = request.direction == CloneDirection::Write;
  const int before = writing && request.backupFirst ? ProgressMaximum(CloneDirection::Read) : 0;
  const int done = stage == TransferStage::Verifying   ? before + ProgressMaximum(CloneDirection::Write)
                   : stage == TransferStage::BackingUp ? 0
                                                       : before;
  return done + value;
}

std::string ResultCsv(const std::vector<ResultRow>& rows, bool values, int language) {
  const auto say = [language](int number) { return std::string(Text(number, language)); };
  const auto line = [values](const std::string& port, const std::string& row, const std::string& outcome,
                             const std::string& time) {
    return values ? CsvLine({port, row, outcome, time}) : CsvLine({port, outcome, time});
  };
  std::string csv =
      line(say(FleetTexts::kPort), say(FleetTexts::kValues), say(FleetTexts::kOutcome), say(FleetTexts::kTime));
  for (const auto& row : rows) csv += line(row.port, row.values, row.outcome, row.time);
  return csv;
}

}  // namespace orvex
