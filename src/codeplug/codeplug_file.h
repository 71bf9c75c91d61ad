#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "codeplug/packer.h"
#include "core/memory_image.h"

namespace orvex {

// The plain image of a ".tw" file: the tag, ten 0xFF bytes, then the memory
// in address order (file offset = 16 + address).
inline constexpr std::string_view kFileTag = "SLQFEO";
inline constexpr std::size_t kFileHeaderSize = 16;
inline constexpr std::size_t kPlainImageSize = kFileHeaderSize + kImageSize;  // 8208

inline constexpr std::string_view kFileFilter = "tw Files (*.tw)|*.tw";

Bytes PlainImage(const Image& image);

// The bytes of a ".tw" file holding the image.
Bytes PackCodeplug(const Image& image);

enum class CodeplugCheck {
  Ok,
  Empty,             // nothing to open; the program says nothing
  CannotUnpack,      // "Incorrect File Type." titled "Error"
  WrongLengthOrTag,  // "Incorrect File Type." titled "ORVEX"
};

struct ParsedCodeplug {
  CodeplugCheck check = CodeplugCheck::Ok;
  Image image{};       // valid only when check is Ok
  std::string detail;  // what was wrong, for the command-line tool
};

// Checks and unpacks a file's bytes.  Nothing is written anywhere; the
// caller replaces its image only when the check is Ok.
ParsedCodeplug ParseCodeplug(std::span<const std::uint8_t> fileBytes);

// The message box title for a failed check ("Error" or "ORVEX").
std::string_view CheckTitle(CodeplugCheck check);
inline constexpr std::string_view kIncorrectFileType = "Incorrect File Type.";

}  // namespace orvex
