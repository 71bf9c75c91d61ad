#include "app/job_messages.h"

#include <algorithm>

#include "core/strings.h"
#include "link/clone_protocol.h"
#include "link/clone_run.h"
#include "model/document/codeplug_diff.h"

namespace orvex {

namespace {

constexpr int kCheckErrors = 10160;
constexpr int kWriteAnyway = 10161;
constexpr int kCheckWarnings = 10162;
constexpr int kVerified = 10163;
constexpr int kVerifyDiffers = 10164;
constexpr int kWriteAgain = 10165;
constexpr int kNotReadFirst = JobTexts::kNotReadFirst, kNotBackedUp = JobTexts::kNotBackedUp;
// A message box grows past the screen with hundreds of lines.
constexpr std::size_t kMaxListedLines = 30;

std::string Say(int number, int language) { return std::string(Text(number, language)); }

std::string Listed(const std::vector<std::string>& lines) {
  std::string text;
  const std::size_t shown = std::min(kMaxListedLines, lines.size());
  for (std::size_t i = 0; i < shown; ++i) text += "\n" + lines[i];
  if (lines.size() > shown) text += "\n... (" + std::to_string(lines.size() - shown) + " more)";
  return text;
}

}  // namespace

JobMessage CheckQuestion(const std::vector<CheckFinding>& findings, int language) {
  std::vector<std::string> lines;
  for (const auto& finding : findings) lines.push_back(FindingLine(finding, language));
  if (HasErrors(findings))
    return {MessageKind::Warning, MessageButtons::YesNo,
            Say(kCheckErrors, language) + Listed(lines) + "\n\n" + Say(kWriteAnyway, language), false};
  return {MessageKind::Information, MessageButtons::OkCancel, Say(kCheckWarnings, language) + Listed(lines)};
}

JobMessage RetryQuestion(int language) {
  return {MessageKind::Critical, MessageButtons::RetryCancel, Say(CloneMessages::kCheckConnection, language)};
}

JobMessage WriteAgainQuestion(const Image& written, const Image& readBack, int language) {
  const CodeplugDiff diff = DiffRows(written, readBack, WritePlanRows());
  return {MessageKind::Critical, MessageButtons::RetryCancel,
          Say(kVerifyDiffers, language) + Listed(DiffLines(diff)) + "\n\n" + Say(kWriteAgain, language)};
}

std::string CompletedText(CloneDirection direction, int language) {
  return Say(direction == CloneDirection::Read ? CloneMessages::kReadingCompleted : CloneMessages::kWritingCompleted,
             language);
}

JobMessage EndMessage(const JobEnd& end, int language, const std::string& openHelp) {
  // A Write that never started because the radio could not be read first.
  const std::string notWritten = end.stage == TransferStage::BackingUp ? Say(kNotReadFirst, language) : std::string();
  const std::string afterNotWritten = notWritten.empty() ? std::string() : "\n\n" + notWritten;
  switch (end.outcome) {
    case JobOutcome::Completed:
      if (end.stage == TransferStage::Verifying)
        return {MessageKind::Information, MessageButtons::Ok,
                CompletedText(CloneDirection::Write, language) + "\n" + Say(kVerified, language)};
      return {
          MessageKind::Information, MessageButtons::Ok,
          CompletedText(end.stage == TransferStage::Reading ? CloneDirection::Read : CloneDirection::Write, language)};
    case JobOutcome::ModelMismatch:
      return {MessageKind::Critical, MessageButtons::Ok, Say(CloneMessages::kModelWrong, language) + afterNotWritten};
    case JobOutcome::OpenFailed:
      return {MessageKind::Warning, MessageButtons::Ok,
              end.reason + (openHelp.empty() ? std::string() : "\n\n" + openHelp) + afterNotWritten};
    case JobOutcome::NotWritten:
      return {MessageKind::Warning, MessageButtons::Ok, Say(kNotBackedUp, language) + end.reason};
    case JobOutcome::Failed:
      return {MessageKind::Warning, MessageButtons::Ok, notWritten};
    case JobOutcome::Differences:
    case JobOutcome::Stopped:
      break;
  }
  return {};
}

}  // namespace orvex
