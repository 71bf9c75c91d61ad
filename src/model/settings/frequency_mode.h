#pragma once

// The two frequency modes (VFO A and B): the working frequency, tones, power,
// bandwidth, repeater shift and offset, channel display, squelch and step of
// each group, and the transmit frequency derived from the shift.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/frequency.h"
#include "core/memory_image.h"
#include "core/result.h"
#include "model/settings/option_settings.h"

namespace orvex {

inline constexpr int kGroupA = 0;
inline constexpr int kGroupB = 1;
inline constexpr int kFrequencyModeGroups = 2;

struct FrequencyModeOffset {
  // Channel-shaped record: frequencies, tones, and power/bandwidth in column 13.
  static constexpr std::size_t kRecordRow[kFrequencyModeGroups] = {129, 130};
  static constexpr std::size_t kPowerBandwidth = 13;
  static constexpr unsigned kPowerBit = 5;      // set = High
  static constexpr unsigned kBandwidthBit = 4;  // set = Wide
  // Shift record: the direction, then six offset digits in 100 Hz units,
  // most significant first.
  static constexpr std::size_t kShiftRow[kFrequencyModeGroups] = {385, 386};
  static constexpr std::size_t kShiftDirection = 0;
  static constexpr std::size_t kOffsetDigits = 1;
  static constexpr std::size_t kOffsetLength = 6;
  // Settings block.
  static constexpr std::size_t kDisplay[kFrequencyModeGroups] = {0x0E37, 0x0E20};
  static constexpr std::size_t kSquelch[kFrequencyModeGroups] = {0x0E22, 0x0E42};
  static constexpr std::size_t kStep[kFrequencyModeGroups] = {0x0E21, 0x0E31};
};

// Offsets 0.000 .. 69.950 MHz in 50 kHz steps.
inline constexpr std::size_t kOffsetItemCount = 1400;

// Positions of the "SFT-D" list.
enum class Shift : int { Off = 0, Plus = 1, Minus = 2 };

// The values of one group, in the order the window loads them.  TxFrequency
// is never shown by the window; it is here for scripts and files.
enum class FreqModeField : std::uint8_t {
  Current,
  Power,
  TxTone,
  RxTone,
  Bandwidth,
  Shift,
  Offset,
  Display,
  Squelch,
  Step,
  TxFrequency,
};
inline constexpr std::size_t kFreqModeFieldCount = 11;

struct FreqModeFieldInfo {
  FreqModeField field;
  std::string_view key;  // stable name, e.g. "offset"
  TextPieces label;      // without the group's "A-"/"B-" prefix
};

std::span<const FreqModeFieldInfo> FrequencyModeFields();

// The list settings of a group that behave as option settings (power,
// bandwidth, shift, display, squelch, step); nullptr for the other fields.
const SettingSpec* FrequencyModeSetting(int group, FreqModeField field);

// What the codec needs from the application: the language, the user's
// decimal separator, the tone list the tone lists were filled with ("None"
// stays in the start-up language; empty: built for `language`) and the
// frequency limits.
struct FreqModeContext {
  int language = 0;
  int messageLanguage = -1;  // of a refusal; -1: `language`
  char separator = '.';
  std::span<const std::string> toneList{};
  FreqLimits limits{};
};

// What one group's controls show: the "Current" text and the selected
// position of every list (nullopt: no selection yet; the Current and
// TxFrequency slots stay unused).  A newly created window's group is a
// default-constructed FrequencyModeShown.
struct FrequencyModeShown {
  std::string current;
  std::array<std::optional<int>, kFreqModeFieldCount> lists{};

  std::optional<int>& operator[](FreqModeField field) { return lists[static_cast<std::size_t>(field)]; }
  const std::optional<int>& operator[](FreqModeField field) const { return lists[static_cast<std::size_t>(field)]; }
};

// The items of a list field in the context's language.
std::vector<std::string> FrequencyModeItems(FreqModeField field, const FreqModeContext& context);

// "00.050" for item 1.
std::string OffsetItemText(std::size_t item);

// The offset as "00.000" text: the digits up to the first byte of 10 or more,
// in 100 Hz units, to the nearest kHz.
std::string OffsetText(const Image& image, int group);

// The list position a field's stored value selects; nullopt when the stored
// tone or offset has no item (the list then keeps its selection).
std::optional<int> DecodeFrequencyModeField(const Image& image, int group, FreqModeField field,
                                            const FreqModeContext& context);

// "Current" as shown: the receive frequency brought into range and onto the
// raster (137.02500 for an unprogrammed record).  Stores nothing.
std::string DecodeCurrent(const Image& image, int group, const FreqModeContext& context);

// What a freshly refreshed window shows for the image, without storing.
FrequencyModeShown ShownFromImage(const Image& image, int group, const FreqModeContext& context);

// The transmit frequency for what the group shows: "Current" plus or minus
// the offset as the shift says.  A transmit frequency that would fall outside
// the allowed range (below the lower limit, or at or above the upper one)
// cannot be stored, so the receive frequency is used instead; the shift stays
// as chosen.
std::string ComputeTxFrequency(const FrequencyModeShown& shown, const FreqModeContext& context);
void StoreTxFrequency(Image& image, int group, const FrequencyModeShown& shown, const FreqModeContext& context);

// --- The window's change handlers ---------------------------------------------

// Leaving "Current": the text is normalized and shown, stored as the receive
// frequency, and the transmit frequency follows.  Returns what the typed
// value was replaced by, when it was brought into the bands or onto the
// raster ("Frequency mode A: 600 MHz is outside ..."); "" otherwise.
std::string CommitCurrent(Image& image, int group, FrequencyModeShown& shown, std::string_view typed,
                          const FreqModeContext& context);

// Picking item `position` of a list field: shown and stored at once; a shift
// or offset change stores the transmit frequency again.
void ChooseItem(Image& image, int group, FrequencyModeShown& shown, FreqModeField field, int position,
                const FreqModeContext& context);

// Whether "Current" keeps a typed character.
bool CurrentAcceptsChar(char c);

// A refresh: "Current" shows the decoded frequency (nothing stored); every
// list whose decoded position differs from what it showed is changed as if
// picked, so it is stored, and a changed shift or offset stores the transmit
// frequency again.  A tone or offset without an item keeps its selection.
void RefreshFrequencyMode(Image& image, int group, FrequencyModeShown& shown, const FreqModeContext& context);

// --- Generic text access (scripts, JSON) --------------------------------------

// A field as the window shows it: "Current", the item texts, the offset as
// "00.000" even off the list, the tone text ("" for an unrecognised code),
// and the stored transmit frequency ("" when unprogrammed).
std::string FrequencyModeText(const Image& image, int group, FreqModeField field, const FreqModeContext& context);

// Stores a field's text as the window would (so "Current", shift and offset
// also store the transmit frequency).  A text equal to what the field shows
// changes nothing; a text the window could not show is refused.
Status SetFrequencyModeText(Image& image, int group, FreqModeField field, std::string_view text,
                            const FreqModeContext& context);

struct FrequencyModeTexts {
  std::array<std::string, kFreqModeFieldCount> values;

  std::string& operator[](FreqModeField field) { return values[static_cast<std::size_t>(field)]; }
  const std::string& operator[](FreqModeField field) const { return values[static_cast<std::size_t>(field)]; }
};

FrequencyModeTexts ReadFrequencyMode(const Image& image, int group, const FreqModeContext& context);

// Stores the fields that differ from what the image shows, in load order;
// the transmit frequency last, and only when it was itself changed.  Stops at
// the first refused text.
Status StoreFrequencyMode(Image& image, int group, const FrequencyModeTexts& texts, const FreqModeContext& context);

}  // namespace orvex
