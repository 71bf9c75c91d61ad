#pragma once
// Deterministic images and buffers shared by the test suites.

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "core/frequency.h"
#include "core/memory_image.h"
#include "core/tone.h"

namespace orvex::test {

// A small generator whose sequence is fixed by the standard, so every build
// and platform sees the same "random" data.
using Rng = std::mt19937;

// `size` bytes drawn from `distinct` values (1..256), starting at `base`.
inline std::vector<std::uint8_t> RandomBytes(Rng& rng, std::size_t size, unsigned distinct, unsigned base = 0) {
  std::vector<std::uint8_t> bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(base + rng() % distinct);
  return bytes;
}

// The stored bytes {lo, hi} of tone number `index` of the list (1..260).
inline std::array<std::uint8_t, 2> ListToneBytes(std::size_t index) {
  if (index <= kCtcssCount) {
    const unsigned tenths = kCtcssTenths[index - 1];
    return {static_cast<std::uint8_t>(tenths % 256), static_cast<std::uint8_t>(tenths / 256)};
  }
  const std::size_t k = (index - 1 - kCtcssCount) % kDcsCount;
  const bool inverted = index > kCtcssCount + kDcsCount;
  const unsigned code = kDcsCodes[k];
  const unsigned v = 0x800 + (code / 100) * 64 + (code / 10 % 10) * 8 + code % 10;
  const std::uint8_t kind = inverted ? ToneKind::kDcsInverted : ToneKind::kDcsNormal;
  return {static_cast<std::uint8_t>(v % 256), static_cast<std::uint8_t>(kind | v / 256)};
}

// A fully programmed image: every channel and both VFOs with frequencies on
// the raster and a tone of the list on each side, every channel named, and
// varied option and signalling bytes.  The same seed always gives the same
// image.
inline Image VariedImage(unsigned seed = 1) {
  Rng rng(seed);
  Image image = BlankImage();
  for (std::size_t row = 1; row <= 130; ++row) {
    auto r = RowOf(image, row);
    const FreqUnits rx = (rng() % 2 ? 13600000 : 40000000) + (rng() % 8000) * 625;
    const FreqUnits tx = rx + (rng() % 3) * 60000;
    EncodeBcdFreq(r, FreqToneOffset::kRxFreq, rx);
    EncodeBcdFreq(r, FreqToneOffset::kTxFreq, tx);
    const auto rxTone = ListToneBytes(1 + rng() % (kToneListSize - 1));
    const auto txTone = ListToneBytes(1 + rng() % (kToneListSize - 1));
    r[8] = rxTone[0];
    r[9] = rxTone[1];
    r[10] = txTone[0];
    r[11] = txTone[1];
    for (std::size_t c = 12; c < kRowSize; ++c) r[c] = static_cast<std::uint8_t>(rng() % 4);
  }
  // Channel names: six character codes, the rest of the row unused.
  for (std::size_t row = 257; row <= 384; ++row)
    for (std::size_t c = 0; c < 6; ++c) image[Address(row, c)] = static_cast<std::uint8_t>(rng() % 40);
  // Optional features, VFO shifts and signalling tables.
  for (std::size_t a = 0x0E20; a < 0x0E60; ++a) image[a] = static_cast<std::uint8_t>(rng() % 10);
  for (std::size_t a = 0x1810; a < 0x1830; ++a) image[a] = static_cast<std::uint8_t>(rng() % 10);
  for (std::size_t a = 0x1C50; a < 0x1DA0; ++a) image[a] = static_cast<std::uint8_t>(rng() % 16);
  return image;
}

}  // namespace orvex::test
