#include "model/signalling/signalling_steps.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

// The Edit menu names a signalling step by its window, list, row label and
// column heading, and a choice by its label, in the language shown.
TEST(SignallingSteps, NamedByWindowListRowAndColumn) {
  const struct {
    StepName step;
    const char* english;
  } cases[] = {
      {TwoToneCellStep(TwoToneGrid::CallList, {3, 1}), "2-Tone Call List 2 ATone[Hz]"},
      {TwoToneCellStep(TwoToneGrid::Decode, {1, 3}), "2-Tone Decode 0 Group Call[Hz]"},
      {MskCellStep(MskGrid::IdCode, {10, 1}), "MSK ID Code 9 ID"},
      {FiveToneCellStep({8, 2}), "5-Tone Decode 7 ID"},
      {RespondWaitingStep(), "Respond Waiting Time"},
      {MskInvertStep(), "Repeater MSK Invert"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.step(0), c.english);
    // The Chinese name is read off the Chinese captions.
    EXPECT_NE(c.step(1), c.english) << c.english;
  }
}

}  // namespace
}  // namespace orvex
