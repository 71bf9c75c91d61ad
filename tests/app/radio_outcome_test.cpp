// What every face says of each radio of a run: the outcome a job's end
// makes, its text, the results CSV, and which values rows are handed out
// again.

#include "app/radio_outcome.h"

#include <gtest/gtest.h>

#include "app/values_handout.h"
#include "test_images.h"

namespace orvex {
namespace {

struct EndCase {
  JobEnd end;
  const char* english;
  bool succeeded;
};

TEST(RadioOutcome, TextOfEachJobEnd) {
  const EndCase cases[] = {
      {{JobOutcome::Completed, TransferStage::Verifying, "", {}}, "written and verified", true},
      {{JobOutcome::Completed, TransferStage::Writing, "", {}}, "written", true},
      {{JobOutcome::Completed, TransferStage::Reading, "", {}}, "read", true},
      {{JobOutcome::Differences, TransferStage::Verifying, "", {3, 9}}, "verify found 2 differences", false},
      {{JobOutcome::ModelMismatch, TransferStage::Writing, "", {}}, "model wrong", false},
      {{JobOutcome::Failed, TransferStage::Writing, "timeout", {}}, "no answer (timeout)", false},
      {{JobOutcome::Failed, TransferStage::Verifying, "timeout", {}}, "no answer (reading back: timeout)", false},
      {{JobOutcome::Failed, TransferStage::BackingUp, "timeout", {}},
       "no answer (reading before writing, nothing written: timeout)",
       false},
      {{JobOutcome::OpenFailed, TransferStage::Writing, "busy", {}}, "port cannot be opened (busy)", false},
      {{JobOutcome::NotWritten, TransferStage::Writing, "line 2: bad", {}}, "not written (line 2: bad)", false},
      {{JobOutcome::Stopped, TransferStage::Writing, "", {}}, "stopped", false},
  };
  for (const EndCase& c : cases) {
    const RadioResult result = ResultOf(c.end);
    EXPECT_EQ(OutcomeText(result, 0), c.english);
    EXPECT_EQ(Succeeded(result.outcome), c.succeeded) << c.english;
  }
}

TEST(RadioOutcome, ResultsCsvWithAndWithoutValues) {
  const std::vector<ResultRow> rows = {{"1", "line 2", "written", SecondsText(12345)},
                                       {"2", "", "no answer (a, \"b\")", SecondsText(50)}};
  EXPECT_EQ(ResultCsv(rows, true, 0),
            "Port,Values,Outcome,Time\r\n1,line 2,written,12.3 s\r\n2,,\"no answer (a, \"\"b\"\")\",0.1 s\r\n");
  EXPECT_EQ(ResultCsv(rows, false, 0),
            "Port,Outcome,Time\r\n1,written,12.3 s\r\n2,\"no answer (a, \"\"b\"\")\",0.1 s\r\n");
}

// A row goes back to the next radio only when its radio was not written.
TEST(ValuesHandout, RowHandedAgainOnlyWhenNothingWasWritten) {
  const std::pair<RadioOutcome, bool> cases[] = {
      {RadioOutcome::Verified, false},  {RadioOutcome::Differences, false}, {RadioOutcome::NotWritten, false},
      {RadioOutcome::NoAnswer, true},   {RadioOutcome::PortFailed, true},   {RadioOutcome::Stopped, true},
      {RadioOutcome::ModelWrong, true},
  };
  const Image base = test::VariedImage(3);
  for (const auto& [outcome, again] : cases) {
    auto values = ParseRadioValues("port,options.ani_code\nnext,123\n");
    ASSERT_TRUE(values) << values.error();
    ValuesHandout handout(std::move(*values), 0);
    ASSERT_TRUE(handout.ImageFor(base, "1"));
    EXPECT_EQ(handout.LineOf("1"), 2u);
    handout.Finished("1", outcome);
    EXPECT_EQ(handout.LineOf("1"), std::nullopt);
    const auto next = handout.ImageFor(base, "2");
    EXPECT_EQ(next.ok(), again) << static_cast<int>(outcome);
    if (!again) {
      EXPECT_EQ(next.error(), "no row of the values file is left for this radio");
    }
  }
}

}  // namespace
}  // namespace orvex
