#include "model/settings/scrambler.h"

#include <algorithm>
#include <cmath>

#include "core/strings.h"

namespace orvex {

namespace {

// One step of the count is 0.7324 / 2 Hz.
constexpr double kStepTimesTwo = 0.7324;

// Hz whose count is ScramblerOffset::kMaxCount or less.
const int kHighestHz = static_cast<int>(std::floor(ScramblerOffset::kMaxCount * kStepTimesTwo / 2));

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A text of digits only, as a number; nullopt for anything else or a number
// too long to be a frequency.
std::optional<int> WholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 9 || !AllDigits(text)) return std::nullopt;
  return std::stoi(std::string(text));
}

// The clamp of a typed value; the field lets only digits in, and a number too
// long to read is far above the range.
int ClampedHz(std::string_view typed) {
  if (const auto number = WholeNumber(typed)) return std::clamp(*number, kScramblerMinHz, kScramblerMaxHz);
  return !typed.empty() && AllDigits(typed) ? kScramblerMaxHz : kScramblerMinHz;
}

}  // namespace

std::string ScramblerGroupText(const Image& image, int group) {
  if (group >= 0 && group < kScramblerGroups - 1) return std::to_string(kScramblerMinHz + 100 * group);
  return ReadScrambler(image).frequency;
}

ScramblerCaptions ScramblerCaptionTexts(int language) {
  if (language == 1) return {"扰频频率", "组别", "频率"};
  return {"Scrambler Frequency", "Group", "Frequency"};
}

std::optional<int> DecodeScramblerFreq(const Image& image) {
  const std::uint8_t high = image[ScramblerOffset::kHigh];
  if (high >= 0x80) return std::nullopt;
  const int count = high * 256 + image[ScramblerOffset::kLow];
  return static_cast<int>(std::nearbyint(count * kStepTimesTwo / 2));
}

std::uint16_t ScramblerCount(int hz) {
  hz = std::clamp(hz, 0, kHighestHz);
  return static_cast<std::uint16_t>(std::nearbyint(2.0 * hz / kStepTimesTwo));
}

void EncodeScramblerFreq(Image& image, int hz) {
  const std::uint16_t count = ScramblerCount(hz);
  image[ScramblerOffset::kHigh] = static_cast<std::uint8_t>(count >> 8);
  image[ScramblerOffset::kLow] = static_cast<std::uint8_t>(count & 0xFF);
}

std::string LoadScrambler(Image& image) {
  if (const auto hz = DecodeScramblerFreq(image)) return std::to_string(*hz);
  const std::string shown = std::to_string(kScramblerFallbackHz);
  SaveScrambler(image, shown);
  return shown;
}

CellEditor ScramblerFieldEditor() {
  CellEditor editor;
  editor.kind = EditorKind::Text;
  editor.allowed = "0123456789";
  editor.maxLength = 4;
  return editor;
}

StepName ScramblerStep() {
  return [](int language) { return std::string(ScramblerCaptionTexts(language).window); };
}

std::string ClampScramblerText(std::string_view typed) { return std::to_string(ClampedHz(typed)); }

std::string ScramblerClampNote(std::string_view typed, int language) {
  static constexpr int kOutsideRange = 10326;
  const int stored = ClampedHz(typed);
  if (WholeNumber(typed) == stored) return {};
  return FormatText(Text(kOutsideRange, language), {std::string(typed), std::to_string(stored)});
}

void SaveScrambler(Image& image, std::string_view fieldText) {
  const auto number = WholeNumber(fieldText);
  EncodeScramblerFreq(image, number ? *number : ClampedHz(fieldText));
}

void SaveScramblerChange(Image& image, std::string_view fieldText) {
  if (fieldText != ReadScrambler(image).frequency) SaveScrambler(image, fieldText);
}

ScramblerTexts ReadScrambler(const Image& image) {
  return {std::to_string(DecodeScramblerFreq(image).value_or(kScramblerFallbackHz))};
}

Status StoreScrambler(Image& image, const ScramblerTexts& texts, int language) {
  constexpr int kMsgNotWholeHz = 10414;
  if (texts.frequency == ReadScrambler(image).frequency) return Ok{};
  if (texts.frequency.empty() || !AllDigits(texts.frequency))
    return Fail(TextOf(kMsgNotWholeHz, language, {texts.frequency}));
  EncodeScramblerFreq(image, ClampedHz(texts.frequency));
  return Ok{};
}

}  // namespace orvex
