#include "model/document/codeplug_check.h"

#include <algorithm>
#include <cstdio>

#include "model/byte_fields.h"
#include "model/settings/frequency_mode.h"
#include "model/settings/option_settings.h"
#include "model/signalling/five_tone_table.h"
#include "model/signalling/msk_table.h"
#include "model/signalling/two_tone_table.h"

namespace orvex {

namespace {

// String-table numbers of the places and texts.
constexpr int kTxtVfo = 1843, kTxtTwoToneCall = 1844, kTxtTwoToneDecode = 1845, kTxtFiveToneDecode = 1846,
              kTxtMskCall = 1847, kTxtMskId = 1848;
constexpr int kMsgNoFrequency = 10281, kMsgTwoToneRange = 10282, kMsgFiveToneStandard = 10283, kMsgFiveToneId = 10284,
              kMsgMskCode = 10285, kMsgRefresh = 10286;

void CheckFrequencyModes(const Image& image, FindingCollector& c) {
  for (int group = kGroupA; group < kFrequencyModeGroups; ++group) {
    const std::string place = c.Say(kTxtVfo, {group == kGroupA ? "A" : "B"});
    const ConstRow row = RowOf(image, FrequencyModeOffset::kRecordRow[group]);
    if (!HasFreq(row, Direction::Rx)) {
      c.Add(CheckSeverity::Error, place, c.Say(kMsgNoFrequency));
      continue;
    }
    // The VFO frequency is the one the radio tunes to at once.
    c.CheckFreqTone(row, place, 0, CheckSeverity::Error);
  }
}

void CheckSignalling(const Image& image, FindingCollector& c) {
  using T = TwoToneOffset;
  const auto checkTones = [&](std::size_t at, int place, std::size_t index, bool usable(std::uint16_t)) {
    for (const std::size_t tone : {T::kToneA, T::kToneB}) {
      const std::uint16_t stored = ReadBe16(image, at + tone);
      if (usable(stored)) continue;
      c.Add(CheckSeverity::Error, c.Place(place, index + 1),
            c.Say(kMsgTwoToneRange,
                  {tone == T::kToneA ? "A" : "B", std::to_string(stored / 10) + "." + std::to_string(stored % 10)}));
    }
  };
  for (std::size_t i = 0; i < T::kCallEntries; ++i) {
    const std::size_t at = T::kCallList + i * T::kCallEntrySize;
    // A high byte from kCallEmptyHigh up marks an empty call entry.
    checkTones(at, kTxtTwoToneCall, i,
               [](std::uint16_t stored) { return stored >= T::kCallEmptyHigh << 8 || IsUsableTwoTone(stored); });
  }
  for (std::size_t i = 0; i < T::kDecodeEntries; ++i)
    checkTones(T::kDecode + i * T::kDecodeEntrySize, kTxtTwoToneDecode, i, [](std::uint16_t stored) {
      return stored == T::kEmptyTone || stored == T::kPlaceholder || IsUsableTwoTone(stored);
    });
  using F = FiveToneOffset;
  for (std::size_t i = 0; i < F::kEntries; ++i) {
    const std::size_t at = F::kDecode + i * F::kEntrySize;
    const std::string place = c.Place(kTxtFiveToneDecode, i + 1);
    const std::uint8_t standard = image[at + F::kStandard];
    if (standard != F::kNone && standard > 7)
      c.Add(CheckSeverity::Error, place, c.Say(kMsgFiveToneStandard, {std::to_string(standard)}));
    const bool empty = std::any_of(image.begin() + long(at + F::kId), image.begin() + long(at + F::kId + F::kIdLength),
                                   [](std::uint8_t b) { return b == F::kNone; });
    const bool bad = std::any_of(image.begin() + long(at + F::kId), image.begin() + long(at + F::kId + F::kIdLength),
                                 [](std::uint8_t b) { return b > 13 && b != F::kNone; });
    if (!empty && bad) c.Add(CheckSeverity::Error, place, c.Say(kMsgFiveToneId));
  }
  using M = MskOffset;
  const auto checkMsk = [&](std::size_t base, std::size_t entries, int place) {
    for (std::size_t i = 0; i < entries; ++i) {
      const std::size_t at = base + i * M::kCodeLength;
      const bool bad = std::any_of(image.begin() + long(at), image.begin() + long(at + M::kCodeLength),
                                   [](std::uint8_t b) { return b > 0x0F && b != kEmpty; });
      if (bad) c.Add(CheckSeverity::Error, c.Place(place, i + 1), c.Say(kMsgMskCode));
    }
  };
  checkMsk(M::kCallList, M::kCallEntries, kTxtMskCall);
  checkMsk(M::kIdCode, M::kIdEntries, kTxtMskId);
}

// The settings windows store a value that is out of its list when they next
// show it; the radio would then get bytes other than the file's.
void CheckRefreshChanges(const Image& image, FindingCollector& c) {
  Image refreshed = image;
  OptionsShown options = NewOptionsShown();
  RefreshOptions(refreshed, options);
  const FreqModeContext context{};
  for (int group = kGroupA; group < kFrequencyModeGroups; ++group) {
    FrequencyModeShown shown;
    RefreshFrequencyMode(refreshed, group, shown, context);
  }
  for (std::size_t address = 0; address < kImageSize; ++address) {
    if (image[address] == refreshed[address]) continue;
    char place[16];
    std::snprintf(place, sizeof place, "0x%04zX", address);
    c.Add(CheckSeverity::Warning, place, c.Say(kMsgRefresh, {Hex2(image[address]), Hex2(refreshed[address])}));
  }
}

}  // namespace

std::vector<CheckFinding> CheckCodeplug(const Image& image, int language) {
  FindingCollector c{language, {}};
  CheckChannels(image, c);
  CheckFrequencyModes(image, c);
  CheckSignalling(image, c);
  CheckRefreshChanges(image, c);
  return InReportOrder(std::move(c.findings));
}

}  // namespace orvex
