#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/frequency.h"

namespace orvex {

inline constexpr std::size_t kCtcssCount = 50;
inline constexpr std::size_t kDcsCount = 105;
inline constexpr std::size_t kToneListSize = 1 + kCtcssCount + 2 * kDcsCount;  // 261

// CTCSS tones in tenths of a hertz, in list order.
extern const std::array<std::uint16_t, kCtcssCount> kCtcssTenths;
// DCS codes as their octal digits read in decimal (23 for D023), in list order.
extern const std::array<std::uint16_t, kDcsCount> kDcsCodes;

// Kind of a stored tone, from the top four bits of its high byte.
struct ToneKind {
  static constexpr std::uint8_t kCtcss = 0x00;
  static constexpr std::uint8_t kDcsNormal = 0x20;
  static constexpr std::uint8_t kDcsInverted = 0xA0;
  static constexpr std::uint8_t kNone = 0xF0;
};

// "None" (in the given text), the CTCSS tones with one decimal and the given
// separator, then the DCS codes "D023N".."D754N" and "D023I".."D754I".
std::vector<std::string> BuildToneList(std::string_view noneText, char separator = '.');

// Entry `position` of that list (position < kToneListSize), without building
// the list.
std::string ToneListItem(std::size_t position, std::string_view noneText, char separator = '.');

// Position of a text in that list, when it is exactly one of its entries.
std::optional<std::size_t> ToneListPosition(std::string_view text, std::string_view noneText, char separator = '.');

// Tone text of a 16-bit stored value (high byte, low byte): a CTCSS number,
// a DCS code, `noneText` for kind 0xF0, "" for an unrecognised kind.
std::string ToneText(std::uint8_t hi, std::uint8_t lo, std::string_view noneText, char separator = '.');

// The stored bytes {lo, hi} of a tone text of the list, "" or "None" in
// either language (0xFF 0xFF).  Anything else is refused, saying why in
// `language`.
Result<std::array<std::uint8_t, 2>> ToneBytes(std::string_view text, char separator = '.', int language = 0);

// The tone field of a channel-shaped row as text.
std::string ReadTone(ConstRow row, Direction direction, std::string_view noneText, char separator = '.');

// Stores a tone text; texts that are not "", "None" or a tone of the list are
// refused and the row is left as it was.
Status WriteTone(Row row, Direction direction, std::string_view text, char separator = '.', int language = 0);

}  // namespace orvex
