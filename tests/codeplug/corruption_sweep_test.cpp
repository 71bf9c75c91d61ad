// Damaged codeplug files: every prefix and every single-bit flip of a few
// saved files is either refused as "Incorrect File Type." or opens to an
// image; nothing crashes or reads out of bounds (the sanitizer build checks).

#include <gtest/gtest.h>

#include <cstdio>
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

TEST_P(CorruptionSweepTest, EverySingleBitFlip) {
  const Bytes file = File();
  Outcome outcome;
  for (std::size_t i = 0; i < file.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      Bytes damaged = file;
      damaged[i] ^= static_cast<std::uint8_t>(1u << bit);
      Check(damaged, outcome, "bit " + std::to_string(bit) + " of byte " + std::to_string(i));
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_EQ(outcome.opened + outcome.cannotUnpack + outcome.wrongLengthOrTag, file.size() * 8);
  EXPECT_GT(outcome.cannotUnpack + outcome.wrongLengthOrTag, 0u);
  std::printf("%zu-byte file: %zu flips open, %zu cannot be unpacked, %zu wrong length or tag\n", file.size(),
              outcome.opened, outcome.cannotUnpack, outcome.wrongLengthOrTag);
}

INSTANTIATE_TEST_SUITE_P(Files, CorruptionSweepTest, ::testing::Values(0, 1, 2), [](const auto& info) {
  return std::string(info.param == 0 ? "Blank" : info.param == 1 ? "FewChannels" : "Varied");
});

}  // namespace
}  // namespace orvex
