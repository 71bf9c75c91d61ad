#include "model/settings/settings_window.h"

#include "core/strings.h"

namespace orvex {

namespace {

constexpr int kChannelText = 1460;
constexpr int kModeText = 1178;
constexpr int kFrequencyModeText = 1467;

constexpr const char* kGroupPrefix[kFrequencyModeGroups] = {"A-", "B-"};

constexpr OptionPlace kPlaces[] = {
    {"power_on_message", 1, "CboSet1_0", "LblSet1_0"},
    {"voice_announce", 1, "CboSet1_1", "LblSet1_1"},
    {"time_out_timer", 1, "CboSet1_2", "LblSet1_2"},
    {"tot_pre_alert", 1, "CboSet1_3", "LblSet1_3"},
    {"backlight_color", 1, "CboSet1_4", "LblSet1_4"},
    {"menu_available", 2, "ChkSet2", ""},
    {"battery_save", 3, "ChkSet3_0", ""},
    {"auto_lock", 3, "ChkSet3_1", ""},
    {"key_lock", 3, "ChkSet3_2", ""},
    {"beep", 3, "ChkSet3_3", ""},
    {"second", 3, "ChkSet3_4", ""},
    {"cancel_squelch_on_ptt", 3, "ChkSet3_5", ""},
    {"vox_level", 4, "CboSet4_0", "LblSet4_0"},
    {"scan_mode", 4, "CboSet4_1", "LblSet4_1"},
    {"backlight_delay", 5, "CboSet5_0", "LblSet5_0"},
    {"rx_backlight", 5, "CboSet5_5", "LblSet5_5"},
    {"tx_backlight", 5, "CboSet5_6", "LblSet5_6"},
    {"roger_tone", 5, "CboSet5_1", "LblSet5_1"},
    {"reset_password", 5, "TxtSet5_1", "LblSet5_3"},
    {"priority_channel", 5, "CboSet5_4", "LblSet5_4"},
    {"mode_change_password", 5, "TxtSet5_0", "LblSet5_2"},
    {"ani_transmit", 8, "ChkSet8", ""},
    {"ani_code", 8, "TxtSet8", "LblSet8_1"},
    {"side_tone", 8, "CboSet8_2", "LblSet8_2"},
    {"auto_reset_timer", 9, "UDOpSet_1", "LblOPSet_1"},
    {"transmit_delay", 9, "CboSet8_0", "LblSet8_0"},
};

std::string FieldLabel(FreqModeField field, int language) {
  for (const FreqModeFieldInfo& info : FrequencyModeFields())
    if (info.field == field) return JoinPieces(info.label, language);
  return {};
}

}  // namespace

std::span<const OptionPlace> OptionPlaces() { return kPlaces; }

std::optional<char> KeptChar(const SettingSpec& setting, char c) {
  if (!AcceptsChar(setting, c)) return std::nullopt;
  const bool ani = setting.encoding == Encoding::DtmfString;
  return ani && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string SettingsFrameTitle(int frame, int language) {
  if (frame == 2) return std::string(Text(kChannelText, language)) + std::string(Text(kModeText, language));
  for (int group = 0; group < kFrequencyModeGroups; ++group)
    if (frame == kFrequencyModeFrame[group])
      return kGroupPrefix[group] + std::string(Text(kFrequencyModeText, language));
  return {};
}

std::string FrequencyModeLabel(int group, FreqModeField field, int language) {
  const bool prefixed = field == FreqModeField::Squelch || field == FreqModeField::Step;
  return (prefixed ? std::string(kGroupPrefix[group]) : std::string()) + FieldLabel(field, language);
}

StepName OptionStep(const SettingSpec* setting) {
  return [setting](int language) { return SettingLabel(*setting, language); };
}

StepName FrequencyModeStep(int group, FreqModeField field) {
  return [group, field](int language) { return kGroupPrefix[group] + FieldLabel(field, language); };
}

int OptionMergeKey(std::size_t index) { return 100 + static_cast<int>(index); }
int FrequencyModeMergeKey(int group, FreqModeField field) { return 200 + 32 * group + static_cast<int>(field); }

}  // namespace orvex
