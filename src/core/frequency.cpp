#include "core/frequency.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>

#include "core/strings.h"

namespace orvex {

std::string FormatFreq(FreqUnits units, char separator) {
  std::string text = std::to_string(units / 100000);
  std::string fraction = std::to_string(units % 100000);
  text += separator;
  text.append(5 - fraction.size(), '0');
  text += fraction;
  return text;
}

std::optional<FreqUnits> DecodeBcdFreq(ConstRow row, std::size_t column) {
  FreqUnits units = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::uint8_t b = row[column + 3 - i];
    const unsigned hi = b >> 4, lo = b & 0x0F;
    if (b == kEmpty || hi > 9 || lo > 9) return std::nullopt;
    units = units * 100 + hi * 10 + lo;
  }
  return units;
}

void EncodeBcdFreq(Row row, std::size_t column, FreqUnits units) {
  for (std::size_t i = 0; i < 4; ++i) {
    const unsigned pair = units % 100;
    units /= 100;
    row[column + i] = static_cast<std::uint8_t>((pair / 10) << 4 | (pair % 10));
  }
}

namespace {

constexpr int kMsgNotFrequency = 10380;  // string-table number of the refusal

std::size_t FreqColumn(Direction direction) {
  return direction == Direction::Rx ? FreqToneOffset::kRxFreq : FreqToneOffset::kTxFreq;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool HasFreq(ConstRow row, Direction direction) {
  const std::size_t column = FreqColumn(direction);
  for (std::size_t i = 0; i < 4; ++i)
    if (row[column + i] == kEmpty) return false;
  return true;
}

std::string ReadFreq(ConstRow row, Direction direction, char separator) {
  if (!HasFreq(row, direction)) return {};
  if (const auto units = DecodeBcdFreq(row, FreqColumn(direction))) return FormatFreq(*units, separator);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string digits;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::uint8_t b = row[FreqColumn(direction) + 3 - i];
    digits += kHex[b >> 4];
    digits += kHex[b & 0x0F];
  }
  // Same shape as a decoded frequency: leading zeros of the MHz dropped.
  const std::size_t first = std::min(digits.find_first_not_of('0'), std::size_t{2});
  return digits.substr(first, 3 - first) + separator + digits.substr(3);
}

Status WriteFreq(Row row, Direction direction, std::string_view text, int language) {
  const std::size_t column = FreqColumn(direction);
  if (text.empty()) {
    for (std::size_t i = 0; i < 4; ++i) row[column + i] = kEmpty;
    return Ok{};
  }
  // Two or three whole digits, a separator, five decimals.
  const std::size_t whole = text.size() == 8 ? 2 : text.size() == 9 ? 3 : 0;
  bool wellFormed = whole != 0 && (text[whole] == '.' || text[whole] == ',');
  FreqUnits units = 0;
  for (std::size_t i = 0; wellFormed && i < text.size(); ++i) {
    if (i == whole) continue;
    wellFormed = IsDigit(text[i]);
    units = units * 10 + static_cast<FreqUnits>(text[i] - '0');
  }
  if (!wellFormed) return Fail(TextOf(kMsgNotFrequency, language, {"\"" + std::string(text) + "\""}));
  EncodeBcdFreq(row, column, units);
  return Ok{};
}

std::optional<unsigned> ParseDigits(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || text.size() > 9 || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseDecimal(std::string_view text) {
  std::string s(text);
  // The desktop program runs in the user's locale, where strtod may take
  // only ',' as the decimal point.
  const std::string_view point = std::localeconv()->decimal_point;
  if (const auto dot = s.find('.'); dot != std::string::npos && point != ".") s.replace(dot, 1, point);
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(s.c_str(), &end);
  if (s.empty() || end != s.c_str() + s.size() || errno == ERANGE) return std::nullopt;
  return value;
}

std::optional<double> ParseTypedNumber(std::string_view text, char separator) {
  std::string s(text);
  // A lone comma is a decimal separator whatever the locale: nobody groups
  // the digits of a frequency, and reading "145,5" as 1455 would replace
  // what the user meant with the too-high frequency.
  if (std::count(s.begin(), s.end(), ',') == 1 && s.find('.') == std::string::npos) separator = ',';
  if (s.find(',') != std::string::npos) {
    // Locale conversion: the whole text must be a number.
    std::string plain;
    for (char c : s) {
      if (c == ',') {
        if (separator == ',') plain += '.';
      } else if (c == '.' && separator == ',') {
        // a digit-group separator in a comma locale
      } else if (c != ' ') {
        plain += c;
      }
    }
    if (plain.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(plain.c_str(), &end);
    if (end != plain.c_str() + plain.size()) return std::nullopt;
    return value;
  }
  // Leading decimal number, spaces skipped; anything else reads as 0.
  std::string number;
  bool seenPoint = false, seenDigit = false;
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c == ' ' || c == '\t') continue;
    if (IsDigit(c)) {
      number += c;
      seenDigit = true;
    } else if (c == '.' && !seenPoint) {
      number += c;
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!seenDigit) return 0.0;
  return std::strtod(number.c_str(), nullptr);
}

NormalizedFreq NormalizeTypedFreq(std::string_view text, char separator, const FreqLimits& limits) {
  const auto number = ParseTypedNumber(text, separator);
  if (!number || !std::isfinite(*number) || *number >= limits.upperMHz || *number < limits.lowerMHz) {
    const bool high = number && std::isfinite(*number) && *number >= limits.upperMHz;
    return {FormatFreq(high ? limits.tooHigh : limits.tooLow, separator), FreqChange::OutsideBands};
  }
  const double exact = *number * 100000.0;
  const auto u = static_cast<std::int64_t>(std::nearbyint(exact));
  const std::int64_t a = (u / 500) * 500;  // 5 kHz raster
  const std::int64_t b = (u / 625) * 625;  // 6.25 kHz raster
  const std::int64_t chosen =
      std::fabs(exact - static_cast<double>(b)) >= std::fabs(exact - static_cast<double>(a)) ? a : b;
  // Digits below the radio's 10 Hz unit are formatting, not a change.
  const bool moved = std::fabs(exact - static_cast<double>(chosen)) >= 0.5;
  return {FormatFreq(static_cast<FreqUnits>(chosen), separator), moved ? FreqChange::OffRaster : FreqChange::None};
}

std::string NormalizeFreq(std::string_view text, char separator, const FreqLimits& limits) {
  return NormalizeTypedFreq(text, separator, limits).text;
}

void UseCNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }

}  // namespace orvex
