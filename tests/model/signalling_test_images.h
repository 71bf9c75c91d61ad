#pragma once
// Images and checks shared by the signalling table tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "core/memory_image.h"
#include "core/strings.h"

namespace orvex::test {

inline Image AllEmpty() {
  Image image;
  image.fill(kEmpty);
  return image;
}

inline void PutBytes(Image& image, std::size_t address, std::span<const std::uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(address));
}

inline std::vector<std::uint8_t> BytesAt(const Image& image, std::size_t address, std::size_t count) {
  return {image.begin() + static_cast<std::ptrdiff_t>(address),
          image.begin() + static_cast<std::ptrdiff_t>(address + count)};
}

// Inclusive byte range a table may write.
struct Span {
  std::size_t first;
  std::size_t last;
};

// On random images: a load and store leaves every byte outside `owned`
// alone, and a second load and store changes nothing at all (whatever the
// first store brought into range stays put).
template <class Table>
void ExpectStoreIsStableAndLocal(std::initializer_list<Span> owned, unsigned rounds = 200) {
  std::mt19937 rng(20240607);
  for (unsigned round = 0; round < rounds; ++round) {
    Image image;
    // Mostly small values and 0xFF, the bytes these tables mean something by.
    for (auto& b : image) {
      const unsigned pick = rng() % 4;
      b = static_cast<std::uint8_t>(pick == 0 ? 0xFF : pick == 1 ? rng() % 16 : rng());
    }
    const Image before = image;
    Table first;
    first.Load(image, kEnglish);
    first.SaveData(image);
    for (std::size_t i = 0; i < image.size(); ++i) {
      const bool ours = std::any_of(owned.begin(), owned.end(), [i](Span s) { return i >= s.first && i <= s.last; });
      if (!ours) {
        ASSERT_EQ(image[i], before[i]) << "byte 0x" << std::hex << i << " in round " << std::dec << round;
      }
    }
    Table second;
    second.Load(image, kEnglish);
    Image again = image;
    second.SaveData(again);
    ASSERT_EQ(again, image) << "round " << round;
  }
}

}  // namespace orvex::test
