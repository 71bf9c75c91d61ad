#include "core/tone.h"

#include <algorithm>
#include <cmath>

#include "core/strings.h"

namespace orvex {

const std::array<std::uint16_t, kCtcssCount> kCtcssTenths = {
    670,  693,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000, 1035, 1072, 1109, 1148,
    1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567, 1598, 1622, 1655, 1679, 1713, 1738, 1773, 1799,
    1835, 1862, 1899, 1928, 1966, 1995, 2035, 2065, 2107, 2181, 2257, 2291, 2336, 2418, 2503, 2541};

const std::array<std::uint16_t, kDcsCount> kDcsCodes = {
    23,  25,  26,  31,  32,  36,  43,  47,  51,  53,  54,  65,  71,  72,  73,  74,  114, 115, 116, 122, 125,
    131, 132, 134, 143, 145, 152, 155, 156, 162, 165, 172, 174, 205, 212, 223, 225, 226, 243, 244, 245, 246,
    251, 252, 255, 261, 263, 265, 266, 271, 274, 306, 311, 315, 325, 331, 332, 343, 346, 351, 356, 364, 365,
    371, 411, 412, 413, 423, 431, 432, 445, 446, 452, 454, 455, 462, 464, 465, 466, 503, 506, 516, 523, 526,
    532, 546, 565, 606, 612, 624, 627, 631, 632, 645, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754};

namespace {

constexpr int kMsgNotTone = 10381;  // string-table number of the refusal

std::string Tenths(unsigned tenths, char separator) {
  return std::to_string(tenths / 10) + separator + std::to_string(tenths % 10);
}

std::string Dcs(unsigned digits, char polarity) {
  std::string text = "D000";
  text[1] = static_cast<char>('0' + digits / 100 % 10);
  text[2] = static_cast<char>('0' + digits / 10 % 10);
  text[3] = static_cast<char>('0' + digits % 10);
  return text + polarity;
}

std::size_t ToneColumn(Direction direction) {
  return direction == Direction::Rx ? FreqToneOffset::kRxTone : FreqToneOffset::kTxTone;
}

bool IsNoneText(std::string_view text) { return text.empty() || text == Text(1137, 0) || text == Text(1137, 1); }

}  // namespace

std::vector<std::string> BuildToneList(std::string_view noneText, char separator) {
  std::vector<std::string> list;
  list.reserve(kToneListSize);
  for (std::size_t position = 0; position < kToneListSize; ++position)
    list.push_back(ToneListItem(position, noneText, separator));
  return list;
}

std::string ToneListItem(std::size_t position, std::string_view noneText, char separator) {
  if (position == 0) return std::string(noneText);
  if (position <= kCtcssCount) return Tenths(kCtcssTenths[position - 1], separator);
  const std::size_t dcs = position - 1 - kCtcssCount;
  return Dcs(kDcsCodes[dcs % kDcsCount], dcs < kDcsCount ? 'N' : 'I');
}

// The entry is found from the text's own digits, then confirmed by writing it
// back, so only an exact entry of the list has a position.
std::optional<std::size_t> ToneListPosition(std::string_view text, std::string_view noneText, char separator) {
  if (text == noneText) return 0;
  std::optional<std::size_t> position;
  if (text.size() == 5 && text[0] == 'D' && (text[4] == 'N' || text[4] == 'I')) {
    const auto digits = ParseDigits(text.substr(1, 3));
    const auto code = std::find(kDcsCodes.begin(), kDcsCodes.end(), digits.value_or(0));
    if (code != kDcsCodes.end())
      position =
          1 + kCtcssCount + static_cast<std::size_t>(code - kDcsCodes.begin()) + (text[4] == 'I' ? kDcsCount : 0);
  } else if (text.size() >= 3 && text[text.size() - 2] == separator) {
    const auto whole = ParseDigits(text.substr(0, text.size() - 2));
    const auto tenth = ParseDigits(text.substr(text.size() - 1));
    const unsigned tenths = whole && tenth ? *whole * 10 + *tenth : 0;
    const auto tone = std::find(kCtcssTenths.begin(), kCtcssTenths.end(), tenths);
    if (tone != kCtcssTenths.end()) position = 1 + static_cast<std::size_t>(tone - kCtcssTenths.begin());
  }
  if (position && ToneListItem(*position, noneText, separator) != text) return std::nullopt;
  return position;
}

std::string ToneText(std::uint8_t hi, std::uint8_t lo, std::string_view noneText, char separator) {
  const unsigned v = (hi & 0x0Fu) * 256u + lo;
  switch (hi & 0xF0) {
    case ToneKind::kCtcss:
      return Tenths(v, separator);
    case ToneKind::kDcsNormal:
    case ToneKind::kDcsInverted: {
      // v = 0x800 + the code read as octal; the first digit is v div 64 - 32.
      const int first = static_cast<int>(v / 64) - 32;
      std::string text = "D" + std::to_string(first) + std::to_string(v % 64 / 8) + std::to_string(v % 8);
      return text + ((hi & 0xF0) == ToneKind::kDcsInverted ? 'I' : 'N');
    }
    case ToneKind::kNone:
      return std::string(noneText);
    default:
      return {};
  }
}

Result<std::array<std::uint8_t, 2>> ToneBytes(std::string_view text, char separator, int language) {
  if (IsNoneText(text)) return std::array<std::uint8_t, 2>{kEmpty, kEmpty};
  if (text.size() == 5 && text[0] == 'D' && (text[4] == 'N' || text[4] == 'I')) {
    const unsigned digits = static_cast<unsigned>((text[1] - '0') * 100 + (text[2] - '0') * 10 + (text[3] - '0'));
    const bool digitsOk = std::all_of(text.begin() + 1, text.begin() + 4, [](char c) { return c >= '0' && c <= '7'; });
    if (digitsOk && std::find(kDcsCodes.begin(), kDcsCodes.end(), digits) != kDcsCodes.end()) {
      const unsigned v = static_cast<unsigned>((text[1] - '0') * 64 + (text[2] - '0') * 8 + (text[3] - '0')) + 2048;
      const std::uint8_t kind = text[4] == 'I' ? ToneKind::kDcsInverted : ToneKind::kDcsNormal;
      return std::array<std::uint8_t, 2>{static_cast<std::uint8_t>(v % 256), static_cast<std::uint8_t>(kind | v / 256)};
    }
  } else {
    const auto number = ParseTypedNumber(text, separator);
    const bool plainNumber = !text.empty() && text.find_first_not_of("0123456789.,") == std::string_view::npos;
    if (plainNumber && number) {
      const auto tenths = static_cast<long>(std::lround(*number * 10.0));
      if (std::find(kCtcssTenths.begin(), kCtcssTenths.end(), tenths) != kCtcssTenths.end())
        return std::array<std::uint8_t, 2>{static_cast<std::uint8_t>(tenths % 256),
                                           static_cast<std::uint8_t>(tenths / 256)};
    }
  }
  return Fail(TextOf(kMsgNotTone, language, {"\"" + std::string(text) + "\""}));
}

std::string ReadTone(ConstRow row, Direction direction, std::string_view noneText, char separator) {
  const std::size_t c = ToneColumn(direction);
  return ToneText(row[c + 1], row[c], noneText, separator);
}

Status WriteTone(Row row, Direction direction, std::string_view text, char separator, int language) {
  auto bytes = ToneBytes(text, separator, language);
  if (!bytes) return Fail(bytes.error());
  const std::size_t c = ToneColumn(direction);
  row[c] = (*bytes)[0];
  row[c + 1] = (*bytes)[1];
  return Ok{};
}

}  // namespace orvex
