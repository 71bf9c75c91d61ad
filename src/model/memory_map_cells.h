#pragma once

// The memory map's cell rules: each byte of the image as two hexadecimal
// digits, 16 to a line, addressed by a four-digit line-and-column text.

#include <cstdint>
#include <string>

#include "core/memory_image.h"

namespace orvex {

inline constexpr int kMapLines = static_cast<int>(kRowCount);          // 512 lines of
inline constexpr int kMapColumns = static_cast<int>(kRowSize);         // 16 bytes
inline constexpr int kLastAddress = static_cast<int>(kImageSize) - 1;  // 0x1FFF

// A byte as its cell text: two upper-case hexadecimal digits.
std::string MapCellText(std::uint8_t value);

// What an edited cell holds once committed: one digit gets a leading "0",
// an empty text becomes "FF".
std::string MapNormalizeCell(const std::string& text);

// A cell's two characters back to a byte: a character above "9" counts as
// its code minus 55, any other as its code minus 48.
std::uint8_t MapCellByte(const std::string& text);

// The address box text after editing: padded to four digits with leading
// zeros and clamped to "1FFF".
std::string MapNormalizeAddress(const std::string& text);

// "081" + "2": the line label and column heading of an address.
std::string MapAddressText(int line, int column);
std::string MapLineLabel(int line);
std::string MapColumnHeading(int column);

// What a screen reader calls a byte's cell: "Address 0812".
std::string MapCellName(int line, int column);

}  // namespace orvex
