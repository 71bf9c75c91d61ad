// What a programming job tells and asks: each message's kind, buttons,
// default and the parts of its text, in both languages' first.
#include "app/job_messages.h"

#include <gtest/gtest.h>

#include <functional>

#include "link/clone_protocol.h"

namespace orvex {
namespace {

std::vector<CheckFinding> Findings(int count, CheckSeverity severity) {
  std::vector<CheckFinding> findings;
  for (int i = 1; i <= count; ++i) findings.push_back({severity, "channel " + std::to_string(i), "odd", i, {}, false});
  return findings;
}

JobEnd Ended(JobOutcome outcome, TransferStage stage, std::string reason = {}) {
  return {outcome, stage, std::move(reason), {}};
}

struct MessageCase {
  const char* name;
  std::function<JobMessage()> make;
  MessageKind kind;
  MessageButtons buttons;
  bool acceptByDefault;
  std::vector<std::string> parts;  // in this order; none for an empty text
  std::vector<std::string> absent = {};
};

std::string PrintCase(const testing::TestParamInfo<MessageCase>& info) { return info.param.name; }

class JobMessages : public testing::TestWithParam<MessageCase> {};

TEST_P(JobMessages, ComposeTheTextAndItsBox) {
  const MessageCase& c = GetParam();
  const JobMessage message = c.make();
  EXPECT_EQ(message.kind, c.kind);
  EXPECT_EQ(message.buttons, c.buttons);
  EXPECT_EQ(message.acceptByDefault, c.acceptByDefault);
  EXPECT_EQ(message.text.empty(), c.parts.empty()) << message.text;
  std::size_t from = 0;
  for (const std::string& part : c.parts) {
    const std::size_t at = message.text.find(part, from);
    ASSERT_NE(at, std::string::npos) << "\"" << part << "\" in order in:\n" << message.text;
    from = at + part.size();
  }
  for (const std::string& part : c.absent) EXPECT_EQ(message.text.find(part), std::string::npos) << part;
}

constexpr auto kInfo = MessageKind::Information;
constexpr auto kWarn = MessageKind::Warning;
constexpr auto kCrit = MessageKind::Critical;
constexpr auto kOk = MessageButtons::Ok;
constexpr const char* kNotReadFirst = "could not be read before writing";

INSTANTIATE_TEST_SUITE_P(
    Cases, JobMessages,
    testing::Values(
        MessageCase{"ErrorsAskWriteAnywayNoByDefault",
                    [] { return CheckQuestion(Findings(2, CheckSeverity::Error), 0); },
                    kWarn,
                    MessageButtons::YesNo,
                    false,
                    {"errors the radio cannot use:\n", "channel 1", "channel 2", "\n\nWrite anyway?"}},
        MessageCase{"AListIsCutAfterThirtyLines",
                    [] { return CheckQuestion(Findings(35, CheckSeverity::Warning), 0); },
                    kInfo,
                    MessageButtons::OkCancel,
                    true,
                    {"Worth a look", "channel 30: odd\n... (5 more)"},
                    {"channel 31", "Write anyway?"}},
        MessageCase{"Retry",
                    [] { return RetryQuestion(0); },
                    kCrit,
                    MessageButtons::RetryCancel,
                    true,
                    {"Check Connection. Retry or Cancel?"}},
        MessageCase{"ReadBackDiffers",
                    [] {
                      Image readBack = BlankImage();
                      readBack[Address(WritePlanRows()[3], 0)] ^= 0x01;
                      return WriteAgainQuestion(BlankImage(), readBack, 0);
                    },
                    kCrit,
                    MessageButtons::RetryCancel,
                    true,
                    {"does not hold what was written:\n", "\n\nWrite again?"}},
        MessageCase{"ReadCompletedInChinese",
                    [] { return EndMessage(Ended(JobOutcome::Completed, TransferStage::Reading), 1); },
                    kInfo,
                    kOk,
                    true,
                    {CompletedText(CloneDirection::Read, 1)}},
        MessageCase{"WrittenAndVerified",
                    [] { return EndMessage(Ended(JobOutcome::Completed, TransferStage::Verifying), 0); },
                    kInfo,
                    kOk,
                    true,
                    {"Writing completed!\n", "read back and holds every row"}},
        MessageCase{"ModelWrongBeforeAWrite",
                    [] { return EndMessage(Ended(JobOutcome::ModelMismatch, TransferStage::BackingUp), 0); },
                    kCrit,
                    kOk,
                    true,
                    {"Model type is wrong.\n\n", kNotReadFirst}},
        MessageCase{"OpenFailedWithHelp",
                    [] {
                      return EndMessage(Ended(JobOutcome::OpenFailed, TransferStage::Reading, "Permission denied"), 0,
                                        "join dialout");
                    },
                    kWarn,
                    kOk,
                    true,
                    {"Permission denied\n\njoin dialout"},
                    {kNotReadFirst}},
        MessageCase{"NotBackedUp",
                    [] { return EndMessage(Ended(JobOutcome::NotWritten, TransferStage::BackingUp, "disk full"), 0); },
                    kWarn,
                    kOk,
                    true,
                    {"could not be backed up, so nothing was written to it: disk full"}},
        MessageCase{"FailedBackupReadSaysNothingWasWritten",
                    [] { return EndMessage(Ended(JobOutcome::Failed, TransferStage::BackingUp, "timeout"), 0); },
                    kWarn,
                    kOk,
                    true,
                    {kNotReadFirst},
                    {"\n", "timeout"}},
        MessageCase{"FailedAfterTheRetryQuestionSaysNoMore",
                    [] { return EndMessage(Ended(JobOutcome::Failed, TransferStage::Writing, "timeout"), 0); },
                    kWarn,
                    kOk,
                    true,
                    {}},
        MessageCase{"StoppedSaysNothing",
                    [] { return EndMessage(Ended(JobOutcome::Stopped, TransferStage::Reading), 0); },
                    kInfo,
                    kOk,
                    true,
                    {}}),
    PrintCase);

}  // namespace
}  // namespace orvex
