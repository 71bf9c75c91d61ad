// Damaged codeplug files: every prefix and single-bit flips of a few saved
// files are either refused as "Incorrect File Type." or open to an image;
// nothing crashes or reads out of bounds (the sanitizer build checks).  The
// flips are a fixed sample of a few thousand, so the test stays short under
// the sanitizers on a busy machine; ORVEX_EVERY_FLIP=1 (the soak) tries
// every one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "codeplug/codeplug_file.h"
#include "test_images.h"

namespace orvex {
namespace {

struct Outcome {
  std::size_t opened = 0, cannotUnpack = 0, wrongLengthOrTag = 0, empty = 0;
};

void Check(const Bytes& file, Outcome& outcome, const std::string& what) {
  const ParsedCodeplug parsed = ParseCodeplug(file);
  switch (parsed.check) {
    case CodeplugCheck::Ok: {
      ++outcome.opened;
      // What opened is a whole image that saves and opens again unchanged.
      const ParsedCodeplug again = ParseCodeplug(PackCodeplug(parsed.image));
      ASSERT_EQ(again.check, CodeplugCheck::Ok) << what;
      ASSERT_EQ(again.image, parsed.image) << what;
      return;
    }
    case CodeplugCheck::CannotUnpack:
      ++outcome.cannotUnpack;
      break;
    case CodeplugCheck::WrongLengthOrTag:
      ++outcome.wrongLengthOrTag;
      break;
    case CodeplugCheck::Empty:
      ++outcome.empty;
      ASSERT_TRUE(file.empty()) << what;
      break;
  }
  ASSERT_FALSE(parsed.detail.empty()) << what;
}

Image SparseImage() {
  Image image = BlankImage();
  const Image varied = test::VariedImage(5);
  for (std::size_t row : {1u, 2u, 17u, 64u, 128u})
    for (std::size_t c = 0; c < kRowSize; ++c) image[Address(row, c)] = varied[Address(row, c)];
  return image;
}

class CorruptionSweepTest : public ::testing::TestWithParam<int> {
 protected:
  Bytes File() const {
    switch (GetParam()) {
      case 0:
        return PackCodeplug(BlankImage());
      case 1:
        return PackCodeplug(SparseImage());
      default:
        return PackCodeplug(test::VariedImage());
    }
  }
};

TEST_P(CorruptionSweepTest, EveryPrefix) {
  const Bytes file = File();
  Outcome outcome;
  for (std::size_t n = 0; n < file.size(); ++n) {
    Check(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)), outcome,
          "prefix of " + std::to_string(n) + " bytes");
    if (HasFatalFailure()) return;
  }
  EXPECT_EQ(outcome.empty, 1u);
  EXPECT_EQ(outcome.opened, 0u) << "a cut file opened";
}

constexpr std::size_t kSampledFlips = 3000;

// Bit positions to flip: all of them, or a sample fixed by its seed.
std::vector<std::size_t> FlippedBits(std::size_t bits) {
  std::vector<std::size_t> chosen(bits);
  for (std::size_t i = 0; i < bits; ++i) chosen[i] = i;
  const char* every = std::getenv("ORVEX_EVERY_FLIP");
  if ((every && *every == '1') || bits <= kSampledFlips) return chosen;
  std::mt19937 random(20261208);
  std::shuffle(chosen.begin(), chosen.end(), random);
  chosen.resize(kSampledFlips);
  return chosen;
}

TEST_P(CorruptionSweepTest, SingleBitFlips) {
  const Bytes file = File();
  Outcome outcome;
  const auto flips = FlippedBits(file.size() * 8);
  for (const std::size_t flip : flips) {
    Bytes damaged = file;
    damaged[flip / 8] ^= static_cast<std::uint8_t>(1u << (flip % 8));
    Check(damaged, outcome, "bit " + std::to_string(flip % 8) + " of byte " + std::to_string(flip / 8));
    if (HasFatalFailure()) return;
  }
  EXPECT_EQ(outcome.opened + outcome.cannotUnpack + outcome.wrongLengthOrTag, flips.size());
  EXPECT_GT(outcome.cannotUnpack + outcome.wrongLengthOrTag, 0u);
  std::printf("%zu-byte file: %zu flips open, %zu cannot be unpacked, %zu wrong length or tag\n", file.size(),
              outcome.opened, outcome.cannotUnpack, outcome.wrongLengthOrTag);
}

INSTANTIATE_TEST_SUITE_P(Files, CorruptionSweepTest, ::testing::Values(0, 1, 2), [](const auto& info) {
  return std::string(info.param == 0 ? "Blank" : info.param == 1 ? "FewChannels" : "Varied");
});

}  // namespace
}  // namespace orvex
