#pragma once

// What is wrong or suspicious in the channel records before they go to a
// radio, each finding with the place it is in.  Errors are things the radio
// cannot use (a transmit frequency outside its bands, a tone code it does not
// know); warnings are worth a look but may be meant.  The whole codeplug's
// check (document/codeplug_check.h) adds the other areas to these.

#include <cstdint>
#include <string>
#include <vector>

#include "core/frequency.h"
#include "core/memory_image.h"

namespace orvex {

enum class CheckSeverity { Warning, Error };

struct CheckFinding {
  CheckSeverity severity;
  std::string place;  // "channel 12", "VFO A", "2-Tone Call List 3", "0x0E2B"; "" for a group
  std::string text;   // "Tx 480.02500 MHz is outside the radio's bands"
  int channel = 0;    // 1..128 when the finding is about a channel (the first of a group)
  // Every channel a finding about a group of channels names; empty otherwise.
  std::vector<int> channels;
  bool sharedName = false;  // channels that share a name
};

// The radio's transmit bands in 10 Hz units, lower bound included, upper
// bound included: VHF 136..174 MHz and UHF 400..480 MHz.
struct RadioBand {
  FreqUnits lower, upper;
};
inline constexpr RadioBand kRadioBands[] = {{13600000, 17400000}, {40000000, 48000000}};

bool IsInRadioBand(FreqUnits units);
// On the 5 kHz or the 6.25 kHz channel raster.
bool IsOnRaster(FreqUnits units);

// Collects findings in one language; each area's check adds to it.
struct FindingCollector {
  int language = 0;
  std::vector<CheckFinding> findings;

  std::string Say(int number, const std::vector<std::string>& args = {}) const;
  // A numbered place ("channel 12", "2-Tone Call List 3") by its text number.
  std::string Place(int number, std::size_t index) const;
  void Add(CheckSeverity severity, std::string place, std::string text, int channel = 0);
  // A finding about several channels at once, placed at the first.
  void AddGroup(int message, const std::vector<int>& channels, std::string what, bool sharedName);
  // Frequencies and tones of a channel-shaped row (a channel or a VFO); an
  // Rx outside the bands or off the raster is a finding of `rxSeverity`.
  void CheckFreqTone(ConstRow row, const std::string& place, int channel, CheckSeverity rxSeverity);
};

// Every channel record's findings: frequencies, tones, the optional signal's
// decode entry, channels sharing a name or a whole setup.
void CheckChannels(const Image& image, FindingCollector& c);

// Report order: errors before warnings; each of those channels first (in
// channel order, a group of channels by its first channel), then the rest in
// the order found.
std::vector<CheckFinding> InReportOrder(std::vector<CheckFinding> findings);

// The findings about channels alone, in report order: what an import or a
// paste reports on the channels it fills, without checking the rest again.
std::vector<CheckFinding> CheckChannelRecords(const Image& image, int language = 0);

bool HasErrors(const std::vector<CheckFinding>& findings);

// "error: channel 12: Tx 480.02500 MHz is outside the radio's bands",
// "warning: channels 3, 7, 12 share the name GATE".
std::string FindingLine(const CheckFinding& finding, int language = 0);

// A byte as two hexadecimal digits ("0E").
std::string Hex2(unsigned value);

}  // namespace orvex
