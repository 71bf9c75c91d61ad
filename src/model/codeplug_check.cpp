#include "model/codeplug_check.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "core/tone.h"
#include "model/channel_record.h"
#include "model/five_tone_table.h"
#include "model/frequency_mode.h"
#include "model/msk_table.h"
#include "model/option_settings.h"
#include "model/two_tone_table.h"

namespace orvex {

namespace {

using O = ChannelOffset;

struct Checker {
  std::vector<CheckFinding> findings;

  void Add(CheckSeverity severity, std::string place, std::string text, int channel = 0) {
    findings.push_back({severity, std::move(place), std::move(text), channel});
  }

  // Frequencies and tones of a channel-shaped row (a channel or a VFO).
  void FreqTone(ConstRow row, const std::string& place, int channel, CheckSeverity rxSeverity) {
    for (const Direction direction : {Direction::Rx, Direction::Tx}) {
      const char* name = direction == Direction::Rx ? "Rx" : "Tx";
      if (!HasFreq(row, direction)) continue;
      const std::size_t column = direction == Direction::Rx ? O::kRxFreq : O::kTxFreq;
      const auto units = DecodeBcdFreq(row, column);
      // A receive frequency outside the bands may be a scanner's; a transmit
      // frequency there is refused by the radio or, worse, sent.
      const CheckSeverity severity = direction == Direction::Tx ? CheckSeverity::Error : rxSeverity;
      if (!units) {
        Add(CheckSeverity::Error, place,
            std::string(name) + " bytes are not a frequency (" + ReadFreq(row, direction) + ")", channel);
        continue;
      }
      const std::string text = FormatFreq(*units);
      if (!IsInRadioBand(*units))
        Add(severity, place, std::string(name) + " " + text + " MHz is outside the radio's bands", channel);
      else if (!IsOnRaster(*units))
        Add(severity, place, std::string(name) + " " + text + " MHz is not on the 5 kHz or 6.25 kHz raster", channel);
    }
    for (const Direction direction : {Direction::Rx, Direction::Tx}) {
      const std::size_t column = direction == Direction::Rx ? O::kDecodeTone : O::kEncodeTone;
      if (!ReadTone(row, direction, "None").empty()) continue;
      char text[64];
      std::snprintf(text, sizeof text, "%s tone bytes %02X %02X are not a CTCSS or DCS code of the list",
                    direction == Direction::Rx ? "decode" : "encode", row[column], row[column + 1]);
      Add(CheckSeverity::Error, place, text, channel);
    }
  }
};

std::string Numbered(const char* what, std::size_t number) { return std::string(what) + " " + std::to_string(number); }

std::uint16_t BigEndian(const Image& image, std::size_t address) {
  return static_cast<std::uint16_t>(image[address] << 8 | image[address + 1]);
}

bool TwoToneUsable(std::uint16_t stored) {
  return stored >= TwoToneOffset::kMinTenths && stored <= TwoToneOffset::kMaxTenths;
}

void CheckChannels(const Image& image, Checker& c) {
  std::map<std::string, std::vector<int>> byName;
  for (int n = O::kFirst; n <= O::kLast; ++n) {
    if (!IsProgrammed(image, n)) continue;
    const std::string place = Numbered("channel", static_cast<std::size_t>(n));
    const ConstRow row = RowOf(image, ChannelRow(n));
    c.FreqTone(row, place, n, CheckSeverity::Warning);

    const std::uint8_t flagsA = row[O::kFlagsA], flagsB = row[O::kFlagsB];
    const std::size_t entry = (flagsB & O::kDecodeMask) + 1u;
    switch (flagsA & O::kOptSignalMask) {
      case O::kOptSignal2Tone: {
        const std::size_t at = TwoToneOffset::kDecode + (entry - 1) * TwoToneOffset::kDecodeEntrySize;
        if (!TwoToneUsable(BigEndian(image, at + TwoToneOffset::kToneA)))
          c.Add(CheckSeverity::Warning, place, "uses 2-Tone Decode " + std::to_string(entry) + ", which has no tone A",
                n);
        break;
      }
      case O::kOptSignal5Tone: {
        const std::size_t at = FiveToneOffset::kDecode + (entry - 1) * FiveToneOffset::kEntrySize;
        if (FiveToneIdText(image, at + FiveToneOffset::kId).empty())
          c.Add(CheckSeverity::Warning, place, "uses 5-Tone Decode " + std::to_string(entry) + ", which has no ID", n);
        break;
      }
      case O::kOptSignalMsk:
      case 0:
        break;
      default: {
        char text[64];
        std::snprintf(text, sizeof text, "Opt.Signal bits %u select no signalling the radio knows",
                      unsigned(flagsA & O::kOptSignalMask));
        c.Add(CheckSeverity::Error, place, text, n);
      }
    }
    std::string name = DecodeChannelName(image, n);
    name.erase(name.find_last_not_of(' ') + 1);
    if (!name.empty()) byName[name].push_back(n);
  }
  for (const auto& [name, channels] : byName) {
    if (channels.size() < 2) continue;
    std::string list;
    for (const int n : channels) list += (list.empty() ? "" : ", ") + std::to_string(n);
    for (const int n : channels)
      c.Add(CheckSeverity::Warning, Numbered("channel", static_cast<std::size_t>(n)),
            "name \"" + name + "\" is also used by channels " + list, n);
  }
}

void CheckFrequencyModes(const Image& image, Checker& c) {
  for (int group = kGroupA; group < kFrequencyModeGroups; ++group) {
    const std::string place = group == kGroupA ? "VFO A" : "VFO B";
    const ConstRow row = RowOf(image, FrequencyModeOffset::kRecordRow[group]);
    if (!HasFreq(row, Direction::Rx)) {
      c.Add(CheckSeverity::Error, place, "has no frequency");
      continue;
    }
    // The VFO frequency is the one the radio tunes to at once.
    c.FreqTone(row, place, 0, CheckSeverity::Error);
  }
}

void CheckSignalling(const Image& image, Checker& c) {
  using T = TwoToneOffset;
  for (std::size_t i = 0; i < T::kCallEntries; ++i) {
    const std::size_t at = T::kCallList + i * T::kCallEntrySize;
    for (const std::size_t tone : {T::kToneA, T::kToneB}) {
      const std::uint16_t stored = BigEndian(image, at + tone);
      if (image[at + tone] >= T::kCallEmptyHigh || TwoToneUsable(stored)) continue;
      c.Add(CheckSeverity::Error, Numbered("2-Tone Call List", i + 1),
            std::string(tone == T::kToneA ? "tone A " : "tone B ") + std::to_string(stored / 10) + "." +
                std::to_string(stored % 10) + " Hz is outside 288.5..3000.0 Hz");
    }
  }
  for (std::size_t i = 0; i < T::kDecodeEntries; ++i) {
    const std::size_t at = T::kDecode + i * T::kDecodeEntrySize;
    for (const std::size_t tone : {T::kToneA, T::kToneB}) {
      const std::uint16_t stored = BigEndian(image, at + tone);
      if (stored == T::kEmptyTone || stored == T::kPlaceholder || TwoToneUsable(stored)) continue;
      c.Add(CheckSeverity::Error, Numbered("2-Tone Decode", i + 1),
            std::string(tone == T::kToneA ? "tone A " : "tone B ") + std::to_string(stored / 10) + "." +
                std::to_string(stored % 10) + " Hz is outside 288.5..3000.0 Hz");
    }
  }
  using F = FiveToneOffset;
  for (std::size_t i = 0; i < F::kEntries; ++i) {
    const std::size_t at = F::kDecode + i * F::kEntrySize;
    const std::string place = Numbered("5-Tone Decode", i + 1);
    const std::uint8_t standard = image[at + F::kStandard];
    if (standard != F::kNone && standard > 7)
      c.Add(CheckSeverity::Error, place, "standard byte " + std::to_string(standard) + " names no 5-Tone standard");
    const bool empty = std::any_of(image.begin() + long(at + F::kId), image.begin() + long(at + F::kId + F::kIdLength),
                                   [](std::uint8_t b) { return b == F::kNone; });
    const bool bad = std::any_of(image.begin() + long(at + F::kId), image.begin() + long(at + F::kId + F::kIdLength),
                                 [](std::uint8_t b) { return b > 13 && b != F::kNone; });
    if (!empty && bad) c.Add(CheckSeverity::Error, place, "ID holds a symbol outside 0..9, A..D");
  }
  using M = MskOffset;
  const auto checkMsk = [&](std::size_t base, std::size_t entries, const char* what) {
    for (std::size_t i = 0; i < entries; ++i) {
      const std::size_t at = base + i * M::kCodeLength;
      const bool bad = std::any_of(image.begin() + long(at), image.begin() + long(at + M::kCodeLength),
                                   [](std::uint8_t b) { return b > 0x0F && b != kEmpty; });
      if (bad) c.Add(CheckSeverity::Error, Numbered(what, i + 1), "code holds a byte that is no hexadecimal digit");
    }
  };
  checkMsk(M::kCallList, M::kCallEntries, "MSK Call List");
  checkMsk(M::kIdCode, M::kIdEntries, "MSK ID Code");
}

// The settings windows store a value that is out of its list when they next
// show it; the radio would then get bytes other than the file's.
void CheckRefreshChanges(const Image& image, Checker& c) {
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
    char place[16], text[96];
    std::snprintf(place, sizeof place, "0x%04zX", address);
    std::snprintf(text, sizeof text, "%02X would become %02X when the settings windows next show it", image[address],
                  refreshed[address]);
    c.Add(CheckSeverity::Warning, place, text);
  }
}

}  // namespace

bool IsInRadioBand(FreqUnits units) {
  return std::ranges::any_of(kRadioBands, [&](const RadioBand& b) { return units >= b.lower && units <= b.upper; });
}

bool IsOnRaster(FreqUnits units) { return units % 500 == 0 || units % 625 == 0; }

std::vector<CheckFinding> CheckCodeplug(const Image& image) {
  Checker c;
  CheckChannels(image, c);
  CheckFrequencyModes(image, c);
  CheckSignalling(image, c);
  CheckRefreshChanges(image, c);
  return std::move(c.findings);
}

bool HasErrors(const std::vector<CheckFinding>& findings) {
  return std::ranges::any_of(findings, [](const CheckFinding& f) { return f.severity == CheckSeverity::Error; });
}

std::string FindingLine(const CheckFinding& finding) {
  return std::string(finding.severity == CheckSeverity::Error ? "error: " : "warning: ") + finding.place + ": " +
         finding.text;
}

}  // namespace orvex
