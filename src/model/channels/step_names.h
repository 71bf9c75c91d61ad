#pragma once

// The names undo steps are called by in the Edit menu ("Undo channel 6
// name"), built from the string table so they follow the language.

#include <span>
#include <string>
#include <vector>

#include "core/edit_history.h"

namespace orvex {

// A string-table entry as a step name.
StepName TextStep(int number);
// A fixed text (a window caption already joined) in each language.
StepName FixedStep(std::string english, std::string chinese);
// Names joined with single spaces ("2-Tone" "Call List" "3" "Tone A").
StepName JoinedSteps(std::vector<StepName> parts);

// "channel 6 name": a cell of the channel grid (columns 1..14).
StepName ChannelCellStep(int channel, int column);

// "channel 5", "channels 3-7" or "4 channels".
std::string ChannelRowsText(std::span<const int> rows, int language);

enum class RowStep { Cut, Paste, Insert, Delete, Clear, MoveUp, MoveDown, SortByRx, SortByName };
// "cut channels 3-7", "move channel 5 up" ...
StepName ChannelRowsStep(RowStep step, std::vector<int> rows);

}  // namespace orvex
