#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvex {

// The eight 5-Tone standards the radio knows, in the order of the stored
// Standard byte.  The names are the same in every language.
inline constexpr std::size_t kToneStandardCount = 8;
inline constexpr std::array<std::string_view, kToneStandardCount> kToneStandardNames = {
    "CCIR1", "CCIR2", "CCITT", "EEA", "EIA", "NATEL", "ZVEI1", "ZVEI2"};

// Symbols "0".."9", "A".."F"; IDs use "0".."D" only, E and F are shown for
// reference.
inline constexpr std::size_t kToneSymbolCount = 16;

// The position of a standard's name; nothing for any other text.
std::optional<std::size_t> ToneStandardIndex(std::string_view name);

// The label of a symbol, "0".."9", "A".."F".
char ToneSymbolLabel(std::size_t symbol);

// The audio frequency of a symbol in a standard, in tenths of a hertz
// (19810 for 1981.0 Hz); 0 for symbol F and for positions outside the table.
std::uint16_t ToneStandardTenths(std::size_t standard, std::size_t symbol);

// The sixteen frequencies of a standard with one decimal place, as the
// read-only reference table shows them.
std::array<std::string, kToneSymbolCount> ToneStandardFrequencyTexts(std::size_t standard);

}  // namespace orvex
