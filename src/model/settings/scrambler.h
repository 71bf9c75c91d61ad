#pragma once

// The scrambler frequency of group 8, the only one the user sets: a 16-bit
// count, high byte first, in steps of 0.3662 Hz.  Groups 1..7 have fixed
// frequencies and are not stored.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/edit_history.h"
#include "core/memory_image.h"
#include "core/result.h"
#include "model/cell_editor.h"

namespace orvex {

struct ScramblerOffset {
  static constexpr std::size_t kHigh = 0x0E29;
  static constexpr std::size_t kLow = 0x0E2A;
  static constexpr std::uint16_t kMaxCount = 0x7FFF;  // a high byte of 0x80 or more is not a frequency
};

inline constexpr int kScramblerGroups = 8;
inline constexpr int kScramblerMinHz = 3000;
inline constexpr int kScramblerMaxHz = 5000;
inline constexpr int kScramblerFallbackHz = 3700;  // shown and stored for an unprogrammed value

// The frequency text of a group 0..7 as the window lists it; groups 0..6 are
// fixed ("3000".."3600"), group 7 is read from the image.
std::string ScramblerGroupText(const Image& image, int group);

// The window's fixed captions, chosen by the language (not in the string table).
struct ScramblerCaptions {
  std::string_view window;  // also the group box
  std::string_view group;
  std::string_view frequency;
};
ScramblerCaptions ScramblerCaptionTexts(int language);

// Hz of the stored count, to the nearest integer (halves to even); nullopt
// when the high byte is 0x80 or more (0xFF FF when unprogrammed).
std::optional<int> DecodeScramblerFreq(const Image& image);

// The count for a frequency, to the nearest integer (halves to even).
// Frequencies are limited to those whose count fits in 0..0x7FFF.
std::uint16_t ScramblerCount(int hz);
void EncodeScramblerFreq(Image& image, int hz);

// The window's load step: the text of group 8.  When the stored value is not
// a frequency the field shows "3700" and that is stored at once.
std::string LoadScrambler(Image& image);

// The field of group 8 takes digits only, at most four typed (or pasted).
// No length limit is set on the field itself, which would cut a stored
// count above 9999 Hz when it is shown.
CellEditor ScramblerFieldEditor();

// A frequency stored from the field is one undo step named by the window.
StepName ScramblerStep();

// Leaving the field: below 3000 (an empty text included) becomes "3000",
// above 5000 becomes "5000", anything else stays as typed.
std::string ClampScramblerText(std::string_view typed);
// What that clamp replaced, for the status bar ("Scrambler: \"6000\" is
// outside 3000..5000 Hz; stored 5000"); "" when the value stays.
std::string ScramblerClampNote(std::string_view typed, int language);

// The window's SaveData: stores the field's text.  A number is stored as it
// stands (within the count's range), so saving what was loaded keeps the
// value; a text that is no number (empty or half-typed) takes the clamp rule
// of leaving the field.
void SaveScrambler(Image& image, std::string_view fieldText);

// SaveData of a field the user may not have touched: a text equal to what
// the image shows writes nothing.  Counts are 0.3662 Hz apart, so storing
// the shown Hz again would move a count the radio wrote (0x2777 shows 3700,
// which stores as 0x2778) and make a codeplug look edited that was only
// looked at.
void SaveScramblerChange(Image& image, std::string_view fieldText);

// The scrambler window's values as it shows them.
struct ScramblerTexts {
  std::string frequency;  // group 8 in Hz
};

// What the window shows, without storing anything ("3700" for an
// unprogrammed value).
ScramblerTexts ReadScrambler(const Image& image);

// Stores a changed frequency: a whole number of Hz, clamped to 3000..5000 as
// a typed value is.  A text equal to what the image shows changes nothing;
// anything but digits is refused.
Status StoreScrambler(Image& image, const ScramblerTexts& texts, int language = 0);

}  // namespace orvex
