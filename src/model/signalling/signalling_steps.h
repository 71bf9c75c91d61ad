#pragma once

// The names the undo steps of the 2-Tone, 5-Tone and MSK windows are called
// by ("2-Tone Call List 3 Tone A"), read off a table loaded in each language
// so they follow the language switch.

#include "core/edit_history.h"
#include "core/memory_image.h"
#include "model/signalling/five_tone_table.h"
#include "model/signalling/msk_table.h"
#include "model/signalling/two_tone_table.h"

namespace orvex {

// A step named, in each language, by what `name` reads off a table of type
// `Table` loaded in that language: its captions and cell headings.
template <class Table, class Name>
StepName TableStep(Name name) {
  return [name](int language) {
    Table table;
    table.Load(BlankImage(), language);
    return name(table);
  };
}

// A committed cell: the window, the list's frame, the row label and the
// column heading.
StepName TwoToneCellStep(TwoToneGrid which, CellPos cell);
StepName MskCellStep(MskGrid which, CellPos cell);
StepName FiveToneCellStep(CellPos cell);

// Choosing again in one of the 5-Tone window's two lists folds into that
// list's step.
inline constexpr int kRespondWaitingMerge = 400;
inline constexpr int kFixDigitMerge = 401;
// A choice in a window's list or switch, named by its label.
StepName RespondWaitingStep();
StepName FixDigitStep();
StepName MskInvertStep();

}  // namespace orvex
