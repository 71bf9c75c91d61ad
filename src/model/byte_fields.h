#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory_image.h"

namespace orvex {

// A list setting is stored as the 0-based position of its item; a stored
// byte that is not smaller than the item count shows the first item.
constexpr std::size_t ListIndex(std::uint8_t stored, std::size_t itemCount) {
  return stored < itemCount ? stored : 0;
}

// A check setting: any non-zero byte is on; stored as 1 or 0.
constexpr bool CheckValue(std::uint8_t stored) { return stored != 0; }
constexpr std::uint8_t CheckByte(bool on) { return on ? 1 : 0; }

constexpr bool GetBit(std::uint8_t byte, unsigned bit) { return (byte >> bit) & 1u; }
// A bit setting changes only its own bit.
constexpr std::uint8_t WithBit(std::uint8_t byte, unsigned bit, bool on) {
  return on ? static_cast<std::uint8_t>(byte | (1u << bit)) : static_cast<std::uint8_t>(byte & ~(1u << bit));
}

// Big-endian 16-bit value at an address (2-Tone tones are stored this way).
inline std::uint16_t ReadBe16(const Image& image, std::size_t address) {
  return static_cast<std::uint16_t>(image[address] << 8 | image[address + 1]);
}
inline void WriteBe16(Image& image, std::size_t address, std::uint16_t value) {
  image[address] = static_cast<std::uint8_t>(value >> 8);
  image[address + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// Digits stored one per byte with 0xFF for none.  Bytes 0x0..0xF are shown
// as hexadecimal digits; anything else is no digit.
std::string DigitsText(const Image& image, std::size_t address, std::size_t count);

// Upper-case a text of ASCII letters; other bytes stay as they are.
std::string ToUpperAscii(std::string_view text);

}  // namespace orvex
