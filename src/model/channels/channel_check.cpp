#include "model/channels/channel_check.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <map>

#include "core/strings.h"
#include "core/tone.h"
#include "model/byte_fields.h"
#include "model/channels/channel_record.h"
#include "model/signalling/five_tone_table.h"
#include "model/signalling/two_tone_table.h"

namespace orvex {

namespace {

using O = ChannelOffset;

// String-table numbers of the channel check's places and texts.
constexpr int kTxtError = 1840, kTxtWarning = 1841, kTxtChannel = 1842, kTxtDecode = 1849, kTxtEncode = 1850,
              kTxtPlace = 1910;
constexpr int kMsgNotFrequency = 10270, kMsgOutsideBands = 10271, kMsgOffRaster = 10272, kMsgToneBytes = 10273,
              kMsgNoCtcss = 10274, kMsgNoDcs = 10275, kMsgNoTwoTone = 10276, kMsgNoFiveTone = 10277,
              kMsgOptSignal = 10278, kMsgSharedName = 10279, kMsgDuplicates = 10280;

std::string ChannelList(const std::vector<int>& channels) {
  std::string list;
  for (const int n : channels) list += (list.empty() ? "" : ", ") + std::to_string(n);
  return list;
}

// What makes two channels the same for the radio's user: the frequencies
// and tones, bytes 0..11 of the record.
std::array<std::uint8_t, O::kFlagsA> FreqToneBytes(ConstRow row) {
  std::array<std::uint8_t, O::kFlagsA> bytes{};
  std::copy_n(row.begin(), bytes.size(), bytes.begin());
  return bytes;
}

}  // namespace

std::string Hex2(unsigned value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
  return text;
}

std::string FindingCollector::Say(int number, const std::vector<std::string>& args) const {
  return TextOf(number, language, args);
}

std::string FindingCollector::Place(int number, std::size_t index) const {
  return Say(number, {std::to_string(index)});
}

void FindingCollector::Add(CheckSeverity severity, std::string place, std::string text, int channel) {
  findings.push_back({severity, std::move(place), std::move(text), channel, {}, false});
}

void FindingCollector::AddGroup(int message, const std::vector<int>& channels, std::string what, bool sharedName) {
  findings.push_back({CheckSeverity::Warning,
                      {},
                      Say(message, {ChannelList(channels), std::move(what)}),
                      channels.front(),
                      channels,
                      sharedName});
}

void FindingCollector::CheckFreqTone(ConstRow row, const std::string& place, int channel, CheckSeverity rxSeverity) {
  for (const Direction direction : {Direction::Rx, Direction::Tx}) {
    const std::string name = direction == Direction::Rx ? "Rx" : "Tx";
    if (!HasFreq(row, direction)) continue;
    const std::size_t column = direction == Direction::Rx ? O::kRxFreq : O::kTxFreq;
    const auto units = DecodeBcdFreq(row, column);
    // A receive frequency outside the bands may be a scanner's; a transmit
    // frequency there is refused by the radio or, worse, sent.
    const CheckSeverity severity = direction == Direction::Tx ? CheckSeverity::Error : rxSeverity;
    if (!units) {
      Add(CheckSeverity::Error, place, Say(kMsgNotFrequency, {name, ReadFreq(row, direction)}), channel);
      continue;
    }
    const std::string text = FormatFreq(*units);
    if (!IsInRadioBand(*units))
      Add(severity, place, Say(kMsgOutsideBands, {name, text}), channel);
    else if (!IsOnRaster(*units))
      Add(severity, place, Say(kMsgOffRaster, {name, text}), channel);
  }
  for (const Direction direction : {Direction::Rx, Direction::Tx}) {
    const std::size_t column = direction == Direction::Rx ? O::kDecodeTone : O::kEncodeTone;
    const std::string which = Say(direction == Direction::Rx ? kTxtDecode : kTxtEncode);
    const std::string tone = ReadTone(row, direction, "None");
    if (tone.empty()) {
      Add(CheckSeverity::Error, place, Say(kMsgToneBytes, {which, Hex2(row[column]) + " " + Hex2(row[column + 1])}),
          channel);
    } else if (!ToneListPosition(tone, "None")) {
      // A code the list does not hold is no tone another radio sends.
      Add(CheckSeverity::Error, place, Say(tone.front() == 'D' ? kMsgNoDcs : kMsgNoCtcss, {which, tone}), channel);
    }
  }
}

void CheckChannels(const Image& image, FindingCollector& c) {
  std::map<std::string, std::vector<int>> byName;
  std::map<std::array<std::uint8_t, O::kFlagsA>, std::vector<int>> bySetup;
  for (int n = O::kFirst; n <= O::kLast; ++n) {
    if (!IsProgrammed(image, n)) continue;
    const std::string place = c.Place(kTxtChannel, static_cast<std::size_t>(n));
    const ConstRow row = RowOf(image, ChannelRow(n));
    c.CheckFreqTone(row, place, n, CheckSeverity::Warning);
    bySetup[FreqToneBytes(row)].push_back(n);

    const std::uint8_t flagsA = row[O::kFlagsA], flagsB = row[O::kFlagsB];
    const std::size_t entry = (flagsB & O::kDecodeMask) + 1u;
    switch (flagsA & O::kOptSignalMask) {
      case O::kOptSignal2Tone: {
        const std::size_t at = TwoToneOffset::kDecode + (entry - 1) * TwoToneOffset::kDecodeEntrySize;
        if (!IsUsableTwoTone(ReadBe16(image, at + TwoToneOffset::kToneA)))
          c.Add(CheckSeverity::Warning, place, c.Say(kMsgNoTwoTone, {std::to_string(entry)}), n);
        break;
      }
      case O::kOptSignal5Tone: {
        const std::size_t at = FiveToneOffset::kDecode + (entry - 1) * FiveToneOffset::kEntrySize;
        if (FiveToneIdText(image, at + FiveToneOffset::kId).empty())
          c.Add(CheckSeverity::Warning, place, c.Say(kMsgNoFiveTone, {std::to_string(entry)}), n);
        break;
      }
      case O::kOptSignalMsk:
      case 0:
        break;
      default:
        c.Add(CheckSeverity::Error, place, c.Say(kMsgOptSignal, {std::to_string(flagsA & O::kOptSignalMask)}), n);
    }
    std::string name = DecodeChannelName(image, n);
    name.erase(name.find_last_not_of(' ') + 1);
    if (!name.empty()) byName[name].push_back(n);
  }
  for (const auto& [name, channels] : byName)
    if (channels.size() > 1) c.AddGroup(kMsgSharedName, channels, name, true);
  for (const auto& [setup, channels] : bySetup)
    if (channels.size() > 1) c.AddGroup(kMsgDuplicates, channels, {}, false);
}

bool IsInRadioBand(FreqUnits units) {
  return std::any_of(std::begin(kRadioBands), std::end(kRadioBands),
                     [&](const RadioBand& b) { return units >= b.lower && units <= b.upper; });
}

bool IsOnRaster(FreqUnits units) { return units % 500 == 0 || units % 625 == 0; }

std::vector<CheckFinding> InReportOrder(std::vector<CheckFinding> findings) {
  // Groups were found after every single channel; they go in at their first.
  const auto key = [](const CheckFinding& f) { return f.channel ? f.channel : O::kLast + 1; };
  std::stable_sort(findings.begin(), findings.end(),
                   [&](const CheckFinding& a, const CheckFinding& b) { return key(a) < key(b); });
  std::stable_partition(findings.begin(), findings.end(),
                        [](const CheckFinding& f) { return f.severity == CheckSeverity::Error; });
  return findings;
}

std::vector<CheckFinding> CheckChannelRecords(const Image& image, int language) {
  FindingCollector c{language, {}};
  CheckChannels(image, c);
  return InReportOrder(std::move(c.findings));
}

bool HasErrors(const std::vector<CheckFinding>& findings) {
  return std::any_of(findings.begin(), findings.end(),
                     [](const CheckFinding& f) { return f.severity == CheckSeverity::Error; });
}

std::string FindingLine(const CheckFinding& finding, int language) {
  const std::string severity(Text(finding.severity == CheckSeverity::Error ? kTxtError : kTxtWarning, language));
  return severity + (finding.place.empty() ? finding.text : TextOf(kTxtPlace, language, {finding.place, finding.text}));
}

}  // namespace orvex
