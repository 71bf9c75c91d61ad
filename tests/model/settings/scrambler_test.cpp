#include "model/settings/scrambler.h"

#include <gtest/gtest.h>

#include "model/settings_test_util.h"

namespace orvex {
namespace {

using test::ChangedAddresses;
using test::FilledImage;
using test::RandomImage;

Image WithCount(std::uint8_t high, std::uint8_t low) {
  Image image = FilledImage(0xFF);
  image[0x0E29] = high;
  image[0x0E2A] = low;
  return image;
}

// A stored count, a text shown or typed, and the count afterwards.
struct CountTextCase {
  std::uint8_t high, low;
  const char* text;
  std::uint8_t highAfter, lowAfter;
};

// Runs `apply` on an image holding the case's count; only the count may change.
template <class Apply>
void ExpectCountAfter(const CountTextCase& c, Apply apply) {
  const Image before = WithCount(c.high, c.low);
  Image image = before;
  apply(image);
  EXPECT_EQ(image[0x0E29], c.highAfter) << c.text;
  EXPECT_EQ(image[0x0E2A], c.lowAfter) << c.text;
  for (auto a : ChangedAddresses(before, image)) EXPECT_TRUE(a == 0x0E29 || a == 0x0E2A);
}

TEST(Scrambler, Load) {
  const CountTextCase cases[] = {
      {0xFF, 0xFF, "3700", 0x27, 0x78},  // unprogrammed: replaced and stored at once
      {0x80, 0x00, "3700", 0x27, 0x78},  {0x20, 0x00, "3000", 0x20, 0x00}, {0x35, 0x56, "5000", 0x35, 0x56},
      {0x27, 0x78, "3700", 0x27, 0x78},  {0x2A, 0xAB, "4000", 0x2A, 0xAB}, {0x00, 0x00, "0", 0x00, 0x00},
      {0x7F, 0xFF, "11999", 0x7F, 0xFF},
  };
  for (const auto& c : cases) ExpectCountAfter(c, [&c](Image& image) { EXPECT_EQ(LoadScrambler(image), c.text); });
}

TEST(Scrambler, DecodeOfEveryCount) {
  for (int high = 0; high < 256; ++high) {
    for (int low = 0; low < 256; ++low) {
      const Image image = WithCount(static_cast<std::uint8_t>(high), static_cast<std::uint8_t>(low));
      const auto hz = DecodeScramblerFreq(image);
      if (high >= 0x80) {
        ASSERT_FALSE(hz.has_value()) << high << " " << low;
        continue;
      }
      ASSERT_TRUE(hz.has_value());
      ASSERT_GE(*hz, 0);
      ASSERT_LE(*hz, 11999);
      // Saving what was loaded lands within one step of the stored count.
      Image saved = image;
      SaveScrambler(saved, std::to_string(*hz));
      ASSERT_EQ(DecodeScramblerFreq(saved), hz);
      const int count = high * 256 + low;
      ASSERT_LE(std::abs(saved[0x0E29] * 256 + saved[0x0E2A] - count), 2);
    }
  }
}

TEST(Scrambler, EveryWindowFrequencyReadsBack) {
  for (int hz = kScramblerMinHz; hz <= kScramblerMaxHz; ++hz) {
    Image image = FilledImage(0);
    EncodeScramblerFreq(image, hz);
    ASSERT_LT(image[0x0E29], 0x80);
    ASSERT_EQ(DecodeScramblerFreq(image), hz);
  }
}

struct CountCase {
  int hz;
  std::uint16_t count;
};

TEST(Scrambler, CountsOfKnownFrequencies) {
  const CountCase cases[] = {
      {3000, 0x2000}, {3700, 0x2778}, {5000, 0x3556}, {4000, 0x2AAB}, {0, 0}, {11999, 0x7FFE}, {99999, 0x7FFE},
  };
  for (const auto& c : cases) EXPECT_EQ(ScramblerCount(c.hz), c.count) << c.hz;
}

TEST(Scrambler, FieldTakesFourDigits) {
  // Typed or pasted text as typing it key by key would leave it.
  const std::pair<const char*, const char*> cases[] = {{"4x-5 .0a0", "4500"}, {"45678", "4567"}, {"", ""}};
  const CellEditor field = ScramblerFieldEditor();
  for (const auto& [typed, kept] : cases) EXPECT_EQ(field.Filter(typed, field.maxLength), kept) << typed;
  EXPECT_EQ(ScramblerStep()(0), "Scrambler Frequency");
  EXPECT_EQ(ScramblerStep()(1), "扰频频率");
}

TEST(Scrambler, LeavingTheFieldClamps) {
  const std::pair<const char*, const char*> cases[] = {
      {"2500", "3000"}, {"6000", "5000"},        {"", "3000"},   {"4000", "4000"}, {"3000", "3000"}, {"5000", "5000"},
      {"0", "3000"},    {"99999999999", "5000"}, {"4x", "3000"},
  };
  for (const auto& [typed, shown] : cases) {
    EXPECT_EQ(ClampScramblerText(typed), shown) << typed;
    // The status bar is told of every value the clamp replaced.
    EXPECT_EQ(ScramblerClampNote(typed, 0).empty(), std::string_view(typed) == shown) << typed;
  }
  EXPECT_EQ(ScramblerClampNote("6000", 0), "Scrambler: \"6000\" is outside 3000..5000 Hz; stored 5000");
  EXPECT_EQ(ScramblerClampNote("6000", 1), "扰频：“6000”超出 3000..5000 Hz；已存为 5000");
}

struct SaveCase {
  const char* field;
  std::uint8_t high, low;
};

TEST(Scrambler, SaveData) {
  const SaveCase cases[] = {
      {"4000", 0x2A, 0xAB},                             // 2 x 4000 / 0.7324 = 10922.993
      {"3000", 0x20, 0x00}, {"", 0x20, 0x00},           // an empty field takes the clamp of leaving it
      {"40a", 0x20, 0x00},  {"123456789", 0x7F, 0xFE},  // never spills into the sign bit
  };
  for (const auto& c : cases) {
    const Image before = RandomImage(11);
    Image image = before;
    SaveScrambler(image, c.field);
    EXPECT_EQ(image[0x0E29], c.high) << c.field;
    EXPECT_EQ(image[0x0E2A], c.low) << c.field;
    for (auto a : ChangedAddresses(before, image)) EXPECT_TRUE(a == 0x0E29 || a == 0x0E2A);
  }
}

TEST(Scrambler, GroupTextsAndCaptions) {
  const Image image = WithCount(0x2A, 0xAB);
  const char* want[] = {"3000", "3100", "3200", "3300", "3400", "3500", "3600", "4000"};
  for (int g = 0; g < kScramblerGroups; ++g) EXPECT_EQ(ScramblerGroupText(image, g), want[g]);
  EXPECT_EQ(ScramblerCaptionTexts(0).window, "Scrambler Frequency");
  EXPECT_EQ(ScramblerCaptionTexts(0).group, "Group");
  EXPECT_EQ(ScramblerCaptionTexts(0).frequency, "Frequency");
  EXPECT_EQ(ScramblerCaptionTexts(1).window, "扰频频率");
  EXPECT_EQ(ScramblerCaptionTexts(1).group, "组别");
  EXPECT_EQ(ScramblerCaptionTexts(1).frequency, "频率");
}

TEST(Scrambler, TextAccess) {
  // Reading stores nothing, even for an unprogrammed value.
  const Image blank = FilledImage(0xFF);
  EXPECT_EQ(ReadScrambler(blank).frequency, "3700");

  for (unsigned seed = 0; seed < 100; ++seed) {
    const Image before = RandomImage(seed);
    Image image = before;
    ASSERT_TRUE(StoreScrambler(image, ReadScrambler(before)).ok());
    ASSERT_TRUE(ChangedAddresses(before, image).empty()) << seed;
  }

  Image image = WithCount(0x20, 0x00);
  ASSERT_TRUE(StoreScrambler(image, {"4000"}).ok());
  EXPECT_EQ(image[0x0E29], 0x2A);
  EXPECT_EQ(image[0x0E2A], 0xAB);
  ASSERT_TRUE(StoreScrambler(image, {"9000"}).ok());  // clamped as a typed value
  EXPECT_EQ(ReadScrambler(image).frequency, "5000");
  for (const char* bad : {"", "abc", "-4000", "4000.5"}) {
    const Image kept = image;
    EXPECT_FALSE(StoreScrambler(image, {bad}).ok()) << bad;
    EXPECT_TRUE(ChangedAddresses(kept, image).empty()) << bad;
  }
}

TEST(Scrambler, SaveOfAnUntouchedFieldKeepsTheCount) {
  const CountTextCase cases[] = {
      {0x27, 0x77, "3700", 0x27, 0x77},  // the blank codeplug's count; 3700 Hz alone stores 0x2778
      {0x7F, 0xFF, "11999", 0x7F, 0xFF}, {0x00, 0x01, "0", 0x00, 0x01}, {0x27, 0x77, "3701", 0x27, 0x7A},
      {0x27, 0x77, "4000", 0x2A, 0xAB},  {0x27, 0x77, "", 0x20, 0x00},  {0xFF, 0xFF, "3700", 0xFF, 0xFF},
      {0xFF, 0xFF, "3000", 0x20, 0x00},
  };
  for (const auto& c : cases) ExpectCountAfter(c, [&c](Image& image) { SaveScramblerChange(image, c.text); });
  // Every count the window can load survives a save of what it shows.
  for (int count = 0; count <= ScramblerOffset::kMaxCount; ++count) {
    Image image = WithCount(static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count & 0xFF));
    const Image loaded = image;
    SaveScramblerChange(image, LoadScrambler(image));
    ASSERT_EQ(image, loaded) << count;
  }
}

}  // namespace
}  // namespace orvex
