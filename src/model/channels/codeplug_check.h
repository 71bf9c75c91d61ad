#pragma once

// What is wrong or suspicious in a codeplug before it goes to a radio, each
// finding with the place it is in.  Errors are things the radio cannot use
// (a transmit frequency outside its bands, a tone code it does not know);
// warnings are worth a look but may be meant.

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

// Every finding in the language asked for, errors before warnings; each of
// those channels first (in channel order, a group of channels sharing a name
// or a setup by its first channel), then the frequency modes, signalling
// tables and bytes a window would change.
std::vector<CheckFinding> CheckCodeplug(const Image& image, int language = 0);
// The findings about channels alone, in the same order: what an import or a
// paste reports on the channels it fills, without checking the rest again.
std::vector<CheckFinding> CheckChannelRecords(const Image& image, int language = 0);

bool HasErrors(const std::vector<CheckFinding>& findings);

// "error: channel 12: Tx 480.02500 MHz is outside the radio's bands",
// "warning: channels 3, 7, 12 share the name GATE".
std::string FindingLine(const CheckFinding& finding, int language = 0);

}  // namespace orvex
