#pragma once

// Builders of channel images shared by the channel tests.

#include <cstdint>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "core/frequency.h"
#include "core/memory_image.h"
#include "core/tone.h"
#include "model/channels/channel_record.h"

namespace orvex {

// Readable test failures.
inline void PrintTo(const ChannelFields& f, std::ostream* out) {
  *out << "{";
  for (int column = 1; column < kChannelColumns; ++column) *out << (column > 1 ? "|" : "") << f.at(column);
  *out << "}";
}

}  // namespace orvex

namespace orvex::test {

inline Image Blank() {
  Image image;
  image.fill(kEmpty);
  return image;
}

inline std::vector<std::uint8_t> RowBytes(const Image& image, std::size_t row) {
  const ConstRow r = RowOf(image, row);
  return {r.begin(), r.end()};
}

// The stored bytes of a tone text of the list ("None" gives 0xFF 0xFF).
inline std::array<std::uint8_t, 2> Tone(std::string_view text) { return *ToneBytes(text); }

// A channel written byte by byte, the way the radio holds it.
struct RawChannel {
  FreqUnits rx = 14550000;
  std::optional<FreqUnits> tx = 14550000;
  std::string decodeTone = "None", encodeTone = "None";
  std::uint8_t flagsA = 0x70, flagsB = 0x00, byte12 = 0xFF, byte15 = 0xFF;
  std::string name = "      ";
};

inline void PutChannel(Image& image, int n, const RawChannel& c) {
  const Row row = RowOf(image, ChannelRow(n));
  EncodeBcdFreq(row, ChannelOffset::kRxFreq, c.rx);
  if (c.tx)
    EncodeBcdFreq(row, ChannelOffset::kTxFreq, *c.tx);
  else
    for (std::size_t i = 4; i < 8; ++i) row[i] = kEmpty;
  const auto dec = Tone(c.decodeTone), enc = Tone(c.tx ? c.encodeTone : "None");
  row[8] = dec[0];
  row[9] = dec[1];
  row[10] = enc[0];
  row[11] = enc[1];
  row[12] = c.byte12;
  row[13] = c.flagsA;
  row[14] = c.flagsB;
  row[15] = c.byte15;
  EncodeChannelName(image, n, c.name);
}

// Random bytes everywhere, and in the channel rows channels in the form the
// editor itself writes: valid BCD, tones of the list, a known Opt.Signal, at
// most one OPTION bit, no encode tone without Tx, names of showable codes.
// About a quarter of the channels are empty (both rows 0xFF).  Bytes 12 and
// 15 and name bytes 6..15 are random, as radio data the editor keeps.
inline Image RandomChannelImage(unsigned seed) {
  std::mt19937 random(seed);
  Image image;
  for (auto& b : image) b = static_cast<std::uint8_t>(random());
  const auto tones = BuildToneList("None");
  for (int n = ChannelOffset::kFirst; n <= ChannelOffset::kLast; ++n) {
    const Row row = RowOf(image, ChannelRow(n));
    if (random() % 4 == 0) {
      ClearChannel(image, n);
      continue;
    }
    RawChannel c;
    c.rx = random() % 100000000;
    c.tx = random() % 4 == 0 ? std::nullopt : std::optional<FreqUnits>(random() % 100000000);
    c.decodeTone = tones[random() % tones.size()];
    c.encodeTone = tones[random() % tones.size()];
    static constexpr std::uint8_t kSignals[] = {0, 1, 2, 4};
    c.flagsA = static_cast<std::uint8_t>((random() & 0xF8) | kSignals[random() % 4]);
    c.flagsB = static_cast<std::uint8_t>(random());
    if ((c.flagsB & 0x88) == 0x88) c.flagsB &= static_cast<std::uint8_t>(random() % 2 ? 0x7F : 0xF7);
    c.byte12 = row[12];
    c.byte15 = row[15];
    c.name.clear();
    for (int i = 0; i < 6; ++i) c.name += NameChar(static_cast<std::uint8_t>(random() % 39));
    PutChannel(image, n, c);
  }
  return image;
}

}  // namespace orvex::test
