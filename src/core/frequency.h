#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/memory_image.h"
#include "core/result.h"

namespace orvex {

// Which half of a channel-shaped row a codec works on.
enum class Direction { Rx, Tx };

// Columns of the frequency and tone fields in a channel-shaped row.
struct FreqToneOffset {
  static constexpr std::size_t kRxFreq = 0;  // 4 bytes packed BCD, least significant first
  static constexpr std::size_t kTxFreq = 4;
  static constexpr std::size_t kRxTone = 8;  // low byte, then high byte
  static constexpr std::size_t kTxTone = 10;
};

// Typed frequencies outside [lower, upper) MHz are replaced, never refused.
struct FreqLimits {
  int upperMHz = 551;
  int lowerMHz = 60;
  std::uint32_t tooHigh = 40002500;  // 400.025 MHz in 10 Hz units
  std::uint32_t tooLow = 13702500;   // 137.025 MHz
};

// A frequency in the radio's unit, 10 Hz.
using FreqUnits = std::uint32_t;

// "145.50000" with the given decimal separator: MHz with five decimals.
std::string FormatFreq(FreqUnits units, char separator = '.');

// The four packed-BCD bytes at `column` (least significant first); nullopt
// when any byte is 0xFF or a nibble is not a decimal digit.
std::optional<FreqUnits> DecodeBcdFreq(ConstRow row, std::size_t column);
void EncodeBcdFreq(Row row, std::size_t column, FreqUnits units);

// Whether the field holds a frequency: none of its four bytes is 0xFF.
bool HasFreq(ConstRow row, Direction direction);

// Frequency text of the field, or "" when it is unprogrammed.  Bytes that
// are not packed BCD show their nibbles as hexadecimal digits ("4A0.02500"):
// WriteFreq refuses that text, so a store that leaves it unchanged keeps the
// radio's bytes instead of clearing the channel.
std::string ReadFreq(ConstRow row, Direction direction, char separator = '.');

// Stores a frequency text as ReadFreq writes it ("50.02500" or "400.02500",
// either separator) or "" for no frequency.  Any other text is refused and
// the row is left as it was; the reason is in `language`.
Status WriteFreq(Row row, Direction direction, std::string_view text, int language = 0);

// Brings a typed frequency into range and onto the 5 kHz or 6.25 kHz raster,
// whichever is nearer below it (a tie goes to 5 kHz).
std::string NormalizeFreq(std::string_view text, char separator = '.', const FreqLimits& limits = {});

// What NormalizeFreq did to a typed frequency beyond formatting it.
enum class FreqChange { None, OutsideBands, OffRaster };
struct NormalizedFreq {
  std::string text;
  FreqChange change = FreqChange::None;
};
NormalizedFreq NormalizeTypedFreq(std::string_view text, char separator = '.', const FreqLimits& limits = {});

// The number a user typed: a single comma (and no point) is the decimal
// separator in any locale; other texts with a comma follow the locale (comma
// is the decimal separator when `separator` is ',', otherwise a digit-group
// separator); without a comma the leading decimal number counts and a text
// without one reads as 0.  nullopt when a comma text is not a number.
std::optional<double> ParseTypedNumber(std::string_view text, char separator);

// A run of one to nine decimal digits and nothing else (no sign, no space).
std::optional<unsigned> ParseDigits(std::string_view text);

// The whole text as strtod reads it, with '.' the decimal point whatever the
// C locale says; nullopt when anything is left over or it is out of range.
std::optional<double> ParseDecimal(std::string_view text);

// The engine reads and writes numbers with '.' (strtod, printf).  Qt's
// application object switches the C library to the user's locale, where a
// German desktop would read "145.525" as 145 and write CSV figures with a
// comma: every face calls this right after creating it.  Qt's own QLocale,
// which says what separator the user types, is not affected.
void UseCNumericLocale();

}  // namespace orvex
