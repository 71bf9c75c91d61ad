#include "core/tone.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/strings.h"
#include "test_images.h"

namespace orvex {
namespace {

constexpr const char* kChineseNone = "\xE6\x97\xA0";

// The tone list as the radio's users know it, written out as text.
std::vector<std::string> Words(const char* text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

const char* const kCtcssText =
    "67.0 69.3 71.9 74.4 77.0 79.7 82.5 85.4 88.5 91.5 94.8 97.4 100.0 103.5 107.2 110.9 114.8 118.8 123.0 127.3 "
    "131.8 136.5 141.3 146.2 151.4 156.7 159.8 162.2 165.5 167.9 171.3 173.8 177.3 179.9 183.5 186.2 189.9 192.8 "
    "196.6 199.5 203.5 206.5 210.7 218.1 225.7 229.1 233.6 241.8 250.3 254.1";
const char* const kDcsText =
    "023 025 026 031 032 036 043 047 051 053 054 065 071 072 073 074 114 115 116 122 125 131 132 134 143 145 152 "
    "155 156 162 165 172 174 205 212 223 225 226 243 244 245 246 251 252 255 261 263 265 266 271 274 306 311 315 "
    "325 331 332 343 346 351 356 364 365 371 411 412 413 423 431 432 445 446 452 454 455 462 464 465 466 503 506 "
    "516 523 526 532 546 565 606 612 624 627 631 632 645 654 662 664 703 712 723 731 732 734 743 754";

std::string WithSeparator(std::string text, char separator) {
  for (char& c : text)
    if (c == '.') c = separator;
  return text;
}

class BuildToneListTest : public ::testing::TestWithParam<char> {};

TEST_P(BuildToneListTest, ExactEntries) {
  const char separator = GetParam();
  const auto list = BuildToneList("None", separator);
  const auto ctcss = Words(kCtcssText);
  const auto dcs = Words(kDcsText);
  ASSERT_EQ(ctcss.size(), 50u);
  ASSERT_EQ(dcs.size(), 105u);
  ASSERT_EQ(list.size(), 261u);
  EXPECT_EQ(list[0], "None");
  for (std::size_t k = 0; k < 50; ++k) EXPECT_EQ(list[1 + k], WithSeparator(ctcss[k], separator)) << k;
  for (std::size_t k = 0; k < 105; ++k) {
    EXPECT_EQ(list[51 + k], "D" + dcs[k] + "N") << k;
    EXPECT_EQ(list[156 + k], "D" + dcs[k] + "I") << k;
  }
  EXPECT_EQ(list[51], "D023N");
  EXPECT_EQ(list[155], "D754N");
  EXPECT_EQ(list[156], "D023I");
  EXPECT_EQ(list[260], "D754I");
}

INSTANTIATE_TEST_SUITE_P(Separators, BuildToneListTest, ::testing::Values('.', ','));

// Every entry is found at its own position; texts that merely read as a tone
// ("88.50", "088.5", "D23N", a foreign separator) are not entries.
TEST_P(BuildToneListTest, PositionOfEveryEntryAndNoOther) {
  const char separator = GetParam();
  const auto list = BuildToneList("None", separator);
  for (std::size_t k = 0; k < list.size(); ++k) {
    EXPECT_EQ(ToneListItem(k, "None", separator), list[k]) << k;
    EXPECT_EQ(ToneListPosition(list[k], "None", separator), k) << list[k];
  }
  const char other = separator == '.' ? ',' : '.';
  for (const std::string& text : {WithSeparator("88.50", separator), WithSeparator("088.5", separator),
                                  WithSeparator("88.6", separator), std::string("88") + other + "5",
                                  WithSeparator("+88.5", separator), std::string("D23N"), std::string("D024N"),
                                  std::string("D023X"), std::string("d023N"), std::string("none"), std::string(),
                                  WithSeparator("4294967295.5", separator)})
    EXPECT_EQ(ToneListPosition(text, "None", separator), std::nullopt) << text;
}

TEST(BuildToneList, NoneIsTheGivenText) {
  EXPECT_EQ(BuildToneList(kChineseNone)[0], kChineseNone);
  EXPECT_EQ(BuildToneList(Text(1137, kEnglish))[0], "None");
  EXPECT_EQ(Text(1137, kChinese), kChineseNone);
}

// --- WriteTone / ToneBytes ------------------------------------------------

struct ToneCase {
  const char* text;
  char separator;
  std::uint8_t lo, hi;
};

class WriteToneTest : public ::testing::TestWithParam<ToneCase> {};

TEST_P(WriteToneTest, StoresLowThenHighInItsOwnColumns) {
  const auto& c = GetParam();
  const auto bytes = ToneBytes(c.text, c.separator);
  ASSERT_TRUE(bytes.ok()) << c.text;
  EXPECT_EQ((*bytes)[0], c.lo) << c.text;
  EXPECT_EQ((*bytes)[1], c.hi) << c.text;
  for (const Direction direction : {Direction::Rx, Direction::Tx}) {
    std::array<std::uint8_t, kRowSize> row{};
    for (std::size_t i = 0; i < kRowSize; ++i) row[i] = static_cast<std::uint8_t>(0x30 + i);
    auto expected = row;
    const std::size_t col = direction == Direction::Rx ? 8 : 10;
    expected[col] = c.lo;
    expected[col + 1] = c.hi;
    ASSERT_TRUE(WriteTone(Row(row), direction, c.text, c.separator).ok());
    EXPECT_EQ(row, expected) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, WriteToneTest,
                         ::testing::Values(ToneCase{"D023N", '.', 0x13, 0x28}, ToneCase{"D754I", '.', 0xEC, 0xA9},
                                           ToneCase{"D754N", '.', 0xEC, 0x29}, ToneCase{"D023I", '.', 0x13, 0xA8},
                                           ToneCase{"254.1", '.', 0xED, 0x09}, ToneCase{"254,1", ',', 0xED, 0x09},
                                           ToneCase{"67.0", '.', 0x9E, 0x02}, ToneCase{"67,0", ',', 0x9E, 0x02},
                                           ToneCase{"100.0", '.', 0xE8, 0x03}, ToneCase{"None", '.', 0xFF, 0xFF},
                                           ToneCase{kChineseNone, '.', 0xFF, 0xFF}, ToneCase{"", '.', 0xFF, 0xFF},
                                           ToneCase{"None", ',', 0xFF, 0xFF}));

class WriteToneRefusalTest : public ::testing::TestWithParam<const char*> {};

TEST_P(WriteToneRefusalTest, GarbageLeavesTheRowUntouched) {
  for (const Direction direction : {Direction::Rx, Direction::Tx}) {
    std::array<std::uint8_t, kRowSize> row{};
    for (std::size_t i = 0; i < kRowSize; ++i) row[i] = static_cast<std::uint8_t>(0x30 + i);
    const auto before = row;
    const Status written = WriteTone(Row(row), direction, GetParam());
    EXPECT_FALSE(written.ok()) << '"' << GetParam() << '"';
    if (!written.ok()) {
      EXPECT_FALSE(written.error().empty());
    }
    EXPECT_EQ(row, before) << '"' << GetParam() << '"';
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, WriteToneRefusalTest,
                         ::testing::Values("abc", "D024N", "D023X", "D023", "D08N", "D089N", "D0231N", "d023N", "D023n",
                                           "D", "DxyzN", "67.1", "670", "-67.0", " 67.0", "67.0 Hz", "none", "NONE",
                                           "0", "4095.5", "D-3200N"));

// Every entry of the list stores the bytes the radio expects and reads back
// as the same text.
TEST(ToneList, EveryEntryRoundTrips) {
  for (const char separator : {'.', ','}) {
    const auto list = BuildToneList("None", separator);
    for (std::size_t index = 1; index < list.size(); ++index) {
      std::array<std::uint8_t, kRowSize> row{};
      row.fill(0xFF);
      ASSERT_TRUE(WriteTone(Row(row), Direction::Tx, list[index], separator).ok()) << list[index];
      const auto expected = test::ListToneBytes(index);
      EXPECT_EQ(row[10], expected[0]) << list[index];
      EXPECT_EQ(row[11], expected[1]) << list[index];
      EXPECT_EQ(ReadTone(ConstRow(row), Direction::Tx, "None", separator), list[index]);
    }
  }
}

// --- ReadTone / ToneText --------------------------------------------------

struct ReadToneCase {
  std::uint8_t lo, hi;
  const char* text;
};

class ReadToneTest : public ::testing::TestWithParam<ReadToneCase> {};

TEST_P(ReadToneTest, DecodesByKind) {
  for (const Direction direction : {Direction::Rx, Direction::Tx}) {
    std::array<std::uint8_t, kRowSize> row{};
    const std::size_t col = direction == Direction::Rx ? 8 : 10;
    row[col] = GetParam().lo;
    row[col + 1] = GetParam().hi;
    EXPECT_EQ(ReadTone(ConstRow(row), direction, "None"), GetParam().text);
  }
}

INSTANTIATE_TEST_SUITE_P(Bytes, ReadToneTest,
                         ::testing::Values(ReadToneCase{0x9E, 0x02, "67.0"}, ReadToneCase{0xED, 0x09, "254.1"},
                                           ReadToneCase{0x13, 0x28, "D023N"}, ReadToneCase{0xEC, 0xA9, "D754I"},
                                           ReadToneCase{0xFF, 0xFF, "None"}, ReadToneCase{0x00, 0xF0, "None"},
                                           ReadToneCase{0x13, 0x10, ""}, ReadToneCase{0x9E, 0x12, ""},
                                           ReadToneCase{0x00, 0x00, "0.0"}));

TEST(ToneText, NoneFollowsTheGivenLanguage) {
  EXPECT_EQ(ToneText(0xFF, 0xFF, kChineseNone), kChineseNone);
  EXPECT_EQ(ToneText(0xFF, 0xFF, "None"), "None");
}

// Every high byte 0..255: its top four bits decide the kind.
TEST(ToneText, EveryHighByteDecodesByItsKind) {
  for (unsigned hi = 0; hi < 256; ++hi) {
    for (unsigned lo : {0x00u, 0x13u, 0x9Eu, 0xFFu}) {
      const std::string text = ToneText(static_cast<std::uint8_t>(hi), static_cast<std::uint8_t>(lo), "None", ',');
      const unsigned v = (hi & 0x0F) * 256 + lo;
      switch (hi & 0xF0) {
        case 0x00:
          EXPECT_EQ(text, std::to_string(v / 10) + "," + std::to_string(v % 10)) << hi << " " << lo;
          break;
        case 0x20:
        case 0xA0:
          ASSERT_GE(text.size(), 5u) << hi << " " << lo;
          EXPECT_EQ(text.front(), 'D');
          EXPECT_EQ(text.back(), (hi & 0xF0) == 0xA0 ? 'I' : 'N') << hi << " " << lo;
          break;
        case 0xF0:
          EXPECT_EQ(text, "None");
          break;
        default:
          EXPECT_EQ(text, "") << hi << " " << lo;
      }
    }
  }
}

// DCS values the program writes read back as the same code for both
// polarities, whatever the low byte.
TEST(ToneText, EveryLowByteOfADcsValueIsItsOctalCode) {
  for (unsigned lo = 0; lo < 256; ++lo) {
    for (unsigned hi : {0x28u, 0x29u, 0xA8u, 0xA9u}) {
      const unsigned code = (hi & 0x0F) * 256 + lo - 0x800;  // 0..0x1FF, three octal digits
      std::string digits = "D";
      digits += static_cast<char>('0' + code / 64);
      digits += static_cast<char>('0' + code / 8 % 8);
      digits += static_cast<char>('0' + code % 8);
      digits += (hi & 0xF0) == 0xA0 ? 'I' : 'N';
      EXPECT_EQ(ToneText(static_cast<std::uint8_t>(hi), static_cast<std::uint8_t>(lo), "None"), digits);
    }
  }
}

}  // namespace
}  // namespace orvex
