#include "codeplug/codeplug_file.h"

#include <algorithm>

namespace orvex {

Bytes PlainImage(const Image& image) {
  Bytes plain;
  plain.reserve(kPlainImageSize);
  plain.insert(plain.end(), kFileTag.begin(), kFileTag.end());
  plain.insert(plain.end(), kFileHeaderSize - kFileTag.size(), kEmpty);
  plain.insert(plain.end(), image.begin(), image.end());
  return plain;
}

Bytes PackCodeplug(const Image& image) { return Encode(PlainImage(image)); }

ParsedCodeplug ParseCodeplug(std::span<const std::uint8_t> fileBytes) {
  ParsedCodeplug parsed;
  if (fileBytes.empty()) {
    parsed.check = CodeplugCheck::Empty;
    parsed.detail = "the file is empty";
    return parsed;
  }
  // No pass of a real file comes near this; a crafted one is refused before
  // it can grow to the packer's general limit.
  constexpr std::size_t kMaxPassSize = 8 * kPlainImageSize;
  auto plain = Decode(fileBytes, kMaxPassSize);
  if (!plain) {
    parsed.check = CodeplugCheck::CannotUnpack;
    parsed.detail = "cannot be unpacked: " + plain.error();
    return parsed;
  }
  if (plain->size() != kPlainImageSize) {
    parsed.check = CodeplugCheck::WrongLengthOrTag;
    parsed.detail =
        "unpacks to " + std::to_string(plain->size()) + " bytes instead of " + std::to_string(kPlainImageSize);
    return parsed;
  }
  if (!std::equal(kFileTag.begin(), kFileTag.end(), plain->begin())) {
    parsed.check = CodeplugCheck::WrongLengthOrTag;
    parsed.detail = "the tag is not SLQFEO";
    return parsed;
  }
  std::copy(plain->begin() + kFileHeaderSize, plain->end(), parsed.image.begin());
  return parsed;
}

std::string_view CheckTitle(CodeplugCheck check) { return check == CodeplugCheck::CannotUnpack ? "Error" : "ORVEX"; }

}  // namespace orvex
