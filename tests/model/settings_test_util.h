#pragma once

// Helpers shared by the settings codec tests.

#include <random>
#include <vector>

#include "core/memory_image.h"

namespace orvex::test {

// Addresses where two images differ, ascending.
inline std::vector<std::size_t> ChangedAddresses(const Image& before, const Image& after) {
  std::vector<std::size_t> changed;
  for (std::size_t i = 0; i < kImageSize; ++i)
    if (before[i] != after[i]) changed.push_back(i);
  return changed;
}

inline Image FilledImage(std::uint8_t value) {
  Image image;
  image.fill(value);
  return image;
}

inline Image RandomImage(unsigned seed) {
  std::mt19937 random(seed);
  Image image;
  for (auto& b : image) b = static_cast<std::uint8_t>(random());
  return image;
}

}  // namespace orvex::test
