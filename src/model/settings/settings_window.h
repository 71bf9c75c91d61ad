#pragma once

// The Optional Features window as every face lays it out: which group each
// option setting sits in and in what order, the groups' captions, the
// frequency-mode labels and the names of the undo steps its changes make.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/edit_history.h"
#include "model/settings/frequency_mode.h"
#include "model/settings/option_settings.h"

namespace orvex {

inline constexpr int kSettingsWindowText = 1101;  // "Optional Features"
inline constexpr int kTxFrequencyText = 1122;
inline constexpr int kPasswordPaddedMessage = 10007;
inline constexpr int kSettingsGroupCount = 9;  // FraSet1..FraSet9

// Where one option setting sits: its group (FraSet number), its control and
// its label (empty: a check box, captioned itself), in the order shown
// inside the group.
struct OptionPlace {
  std::string_view key;
  int frame;
  std::string_view control;
  std::string_view label;
};

std::span<const OptionPlace> OptionPlaces();

// The setting kept for the radio but never shown.
inline constexpr std::string_view kHiddenOptionKey = "backlight_color";

// The password entries by their TxtSet5 index.
inline constexpr std::string_view kPasswordKeys[] = {"mode_change_password", "reset_password"};

// The longest text of the "Current" entry and of the up-down's number.
inline constexpr int kCurrentFieldLength = 9;
inline constexpr int kUpDownFieldLength = 4;

// A character typed into the entry of a text setting as the entry keeps it
// (ANI letters a-d as capitals), or nullopt when dropped.
std::optional<char> KeptChar(const SettingSpec& setting, char c);

// The group of each frequency mode.
inline constexpr int kFrequencyModeFrame[kFrequencyModeGroups] = {6, 7};

// The caption of group `frame`, "" for the groups without one.
std::string SettingsFrameTitle(int frame, int language);

// The label of a frequency-mode field as its group shows it: squelch and
// step carry the group's "A-"/"B-".
std::string FrequencyModeLabel(int group, FreqModeField field, int language);

// Undo steps are named by the control's label: "VOX", "A-Offset".
StepName OptionStep(const SettingSpec* setting);
StepName FrequencyModeStep(int group, FreqModeField field);

// Repeated changes of one list or spinner fold into one step.
int OptionMergeKey(std::size_t index);
int FrequencyModeMergeKey(int group, FreqModeField field);

}  // namespace orvex
