#include "model/byte_fields.h"

namespace orvex {

std::string DigitsText(const Image& image, std::size_t address, std::size_t count) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t b = image[address + i];
    if (b <= 0x0F) text += kHex[b];
  }
  return text;
}

std::string ToUpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

}  // namespace orvex
