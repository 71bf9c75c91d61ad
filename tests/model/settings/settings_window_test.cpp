#include "model/settings/settings_window.h"

#include <gtest/gtest.h>

#include <set>

namespace orvex {
namespace {

// Every shown setting is placed once, in a group of the window, and every
// placed key is a setting.
TEST(SettingsWindow, PlacesEverySettingOnce) {
  std::set<std::string_view> placed;
  for (const OptionPlace& place : OptionPlaces()) {
    EXPECT_NE(FindOptionSetting(place.key), nullptr) << place.key;
    EXPECT_TRUE(placed.insert(place.key).second) << place.key;
    EXPECT_GE(place.frame, 1);
    EXPECT_LE(place.frame, kSettingsGroupCount);
    EXPECT_NE(place.frame, kFrequencyModeFrame[kGroupA]);
    EXPECT_NE(place.frame, kFrequencyModeFrame[kGroupB]);
    // Only check boxes go without a label of their own.
    EXPECT_EQ(place.label.empty(), ControlOf(*FindOptionSetting(place.key)) == SettingControl::Check) << place.key;
  }
  EXPECT_EQ(placed.size(), OptionSettings().size());
}

struct KeptCase {
  const char* key;
  char typed;
  std::optional<char> kept;
};

TEST(SettingsWindow, KeepsTheCharactersOfEachEntry) {
  const KeptCase cases[] = {
      {"ani_code", 'a', 'A'},
      {"ani_code", 'D', 'D'},
      {"ani_code", '#', '#'},
      {"ani_code", 'e', std::nullopt},
      {"reset_password", '7', '7'},
      {"reset_password", 'a', std::nullopt},
      {"mode_change_password", '*', std::nullopt},
  };
  for (const KeptCase& c : cases)
    EXPECT_EQ(KeptChar(*FindOptionSetting(c.key), c.typed), c.kept) << c.key << " " << c.typed;
}

TEST(SettingsWindow, NamesGroupsLabelsAndStepsWithTheGroupPrefix) {
  EXPECT_EQ(SettingsFrameTitle(kFrequencyModeFrame[kGroupB], 0).substr(0, 2), "B-");
  EXPECT_EQ(SettingsFrameTitle(1, 0), "");
  EXPECT_FALSE(SettingsFrameTitle(2, 1).empty());
  // Squelch and step carry the prefix in their labels; every step name does.
  EXPECT_EQ(FrequencyModeLabel(kGroupA, FreqModeField::Squelch, 0).substr(0, 2), "A-");
  EXPECT_NE(FrequencyModeLabel(kGroupA, FreqModeField::Offset, 0).substr(0, 2), "A-");
  EXPECT_EQ(FrequencyModeStep(kGroupB, FreqModeField::Offset)(0),
            "B-" + FrequencyModeLabel(kGroupB, FreqModeField::Offset, 0));
  EXPECT_NE(FrequencyModeMergeKey(kGroupA, FreqModeField::Step), FrequencyModeMergeKey(kGroupB, FreqModeField::Step));
}

}  // namespace
}  // namespace orvex
