#include "core/frequency.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace orvex {
namespace {

using Field = std::array<std::uint8_t, 4>;

// A channel-shaped row whose bytes are all different, so a codec that
// touches the wrong column shows up.
std::array<std::uint8_t, kRowSize> MarkedRow() {
  std::array<std::uint8_t, kRowSize> row{};
  for (std::size_t i = 0; i < kRowSize; ++i) row[i] = static_cast<std::uint8_t>(0xA0 + i);
  return row;
}

void PutField(std::array<std::uint8_t, kRowSize>& row, Direction direction, const Field& field) {
  const std::size_t c = direction == Direction::Rx ? 0 : 4;
  for (std::size_t i = 0; i < 4; ++i) row[c + i] = field[i];
}

// --- ReadFreq -------------------------------------------------------------

struct ReadCase {
  Field bytes;  // columns 0..3 (or 4..7), least significant first
  const char* dot;
  const char* comma;
};

class ReadFreqTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadFreqTest, BothDirectionsAndSeparators) {
  for (const Direction direction : {Direction::Rx, Direction::Tx}) {
    auto row = MarkedRow();
    PutField(row, direction, GetParam().bytes);
    const ConstRow view(row);
    EXPECT_EQ(ReadFreq(view, direction, '.'), GetParam().dot);
    EXPECT_EQ(ReadFreq(view, direction, ','), GetParam().comma);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ReadFreqTest,
    ::testing::Values(ReadCase{{0x00, 0x25, 0x00, 0x40}, "400.02500", "400,02500"},
                      ReadCase{{0x00, 0x25, 0x60, 0x13}, "136.02500", "136,02500"},
                      ReadCase{{0x00, 0x25, 0x00, 0x05}, "50.02500", "50,02500"},
                      ReadCase{{0x50, 0x12, 0x65, 0x14}, "146.51250", "146,51250"},
                      ReadCase{{0x00, 0x00, 0x00, 0x00}, "0.00000", "0,00000"},
                      ReadCase{{0x99, 0x99, 0x99, 0x99}, "999.99999", "999,99999"},
                      ReadCase{{0x01, 0x00, 0x00, 0x00}, "0.00001", "0,00001"},
                      // Any 0xFF among the four bytes means no frequency.
                      ReadCase{{0xFF, 0xFF, 0xFF, 0xFF}, "", ""}, ReadCase{{0xFF, 0x25, 0x00, 0x40}, "", ""},
                      ReadCase{{0x00, 0xFF, 0x00, 0x40}, "", ""}, ReadCase{{0x00, 0x25, 0xFF, 0x40}, "", ""},
                      ReadCase{{0x00, 0x25, 0x00, 0xFF}, "", ""},
                      // Bytes that are not packed BCD show their nibbles, so an unchanged store keeps them.
                      ReadCase{{0x0A, 0x25, 0x00, 0x40}, "400.0250A", "400,0250A"},
                      ReadCase{{0x00, 0x25, 0x00, 0xA0}, "A00.02500", "A00,02500"},
                      ReadCase{{0x00, 0x25, 0x0B, 0x00}, "0.B2500", "0,B2500"}));

TEST(ReadFreq, RxAndTxAreIndependent) {
  auto row = MarkedRow();
  PutField(row, Direction::Rx, {0x00, 0x25, 0x00, 0x40});
  PutField(row, Direction::Tx, {0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(ReadFreq(ConstRow(row), Direction::Rx), "400.02500");
  EXPECT_EQ(ReadFreq(ConstRow(row), Direction::Tx), "");
}

// --- WriteFreq ------------------------------------------------------------

struct WriteCase {
  const char* text;
  Field bytes;
};

class WriteFreqTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteFreqTest, StoresOnlyItsOwnFourColumns) {
  for (const Direction direction : {Direction::Rx, Direction::Tx}) {
    auto row = MarkedRow();
    auto expected = MarkedRow();
    PutField(expected, direction, GetParam().bytes);
    ASSERT_TRUE(WriteFreq(Row(row), direction, GetParam().text).ok()) << GetParam().text;
    EXPECT_EQ(row, expected) << GetParam().text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WriteFreqTest,
    ::testing::Values(WriteCase{"400.02500", {0x00, 0x25, 0x00, 0x40}},
                      WriteCase{"400,02500", {0x00, 0x25, 0x00, 0x40}}, WriteCase{"50.02500", {0x00, 0x25, 0x00, 0x05}},
                      WriteCase{"50,02500", {0x00, 0x25, 0x00, 0x05}}, WriteCase{"136.02500", {0x00, 0x25, 0x60, 0x13}},
                      WriteCase{"146.51250", {0x50, 0x12, 0x65, 0x14}},
                      WriteCase{"999.99999", {0x99, 0x99, 0x99, 0x99}}, WriteCase{"", {0xFF, 0xFF, 0xFF, 0xFF}}));

class WriteFreqRefusalTest : public ::testing::TestWithParam<const char*> {};

TEST_P(WriteFreqRefusalTest, GarbageLeavesTheRowUntouched) {
  for (const Direction direction : {Direction::Rx, Direction::Tx}) {
    auto row = MarkedRow();
    const Status written = WriteFreq(Row(row), direction, GetParam());
    EXPECT_FALSE(written.ok()) << '"' << GetParam() << '"';
    if (!written.ok()) {
      EXPECT_FALSE(written.error().empty());
    }
    EXPECT_EQ(row, MarkedRow()) << '"' << GetParam() << '"';
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, WriteFreqRefusalTest,
                         ::testing::Values("abc", "145.5", "1450.00000", "145.0000x", "145x00000", "-45.00000",
                                           "145.000000", " 45.00000", "4500.0000", "None", "1", "........",
                                           "45.0000\xFF"));

TEST(WriteFreq, EveryWrittenFrequencyReadsBack) {
  // A sweep over the whole 8-digit range with a step that visits every digit
  // in every position.
  for (FreqUnits units = 0; units <= 99999999; units += 77777) {
    for (const char separator : {'.', ','}) {
      const std::string text = FormatFreq(units, separator);
      if (units < 1000000) continue;  // fewer than two whole digits is not a form ReadFreq gives
      auto row = MarkedRow();
      ASSERT_TRUE(WriteFreq(Row(row), Direction::Tx, text).ok()) << text;
      ASSERT_EQ(ReadFreq(ConstRow(row), Direction::Tx, separator), text);
      ASSERT_EQ(DecodeBcdFreq(ConstRow(row), FreqToneOffset::kTxFreq), units);
    }
  }
}

// --- NormalizeFreq --------------------------------------------------------

struct NormalizeCase {
  const char* typed;
  char separator;
  const char* result;
};

class NormalizeFreqTest : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeFreqTest, RangeAndRaster) {
  EXPECT_EQ(NormalizeFreq(GetParam().typed, GetParam().separator), GetParam().result)
      << '"' << GetParam().typed << "\" with '" << GetParam().separator << "'";
}

INSTANTIATE_TEST_SUITE_P(Typed, NormalizeFreqTest,
                         ::testing::Values(
                             // 5 kHz raster nearer below the number.
                             NormalizeCase{"145.0061", '.', "145.00500"},
                             // 6.25 kHz raster nearer.
                             NormalizeCase{"146.5125", '.', "146.51250"}, NormalizeCase{"145.00625", '.', "145.00625"},
                             NormalizeCase{"146.5187", '.', "146.51500"}, NormalizeCase{"146.52", '.', "146.52000"},
                             NormalizeCase{"145", '.', "145.00000"}, NormalizeCase{"438", '.', "438.00000"},
                             // Range: at or above 551 and below 60 are replaced.
                             NormalizeCase{"30", '.', "137.02500"}, NormalizeCase{"600", '.', "400.02500"},
                             NormalizeCase{"551", '.', "400.02500"}, NormalizeCase{"550.999", '.', "550.99500"},
                             NormalizeCase{"60", '.', "60.00000"}, NormalizeCase{"59.99999", '.', "137.02500"},
                             NormalizeCase{"-145", '.', "137.02500"},
                             // No leading number reads as 0.
                             NormalizeCase{"", '.', "137.02500"}, NormalizeCase{"abc", '.', "137.02500"},
                             NormalizeCase{"145.5 MHz", '.', "145.50000"}, NormalizeCase{"  145.5", '.', "145.50000"},
                             // A lone comma is a decimal separator in any locale; otherwise
                             // commas follow the locale: decimal separator or digit grouping.
                             NormalizeCase{"145,0061", ',', "145,00500"}, NormalizeCase{"145.0061", ',', "145,00500"},
                             NormalizeCase{"145,0061", '.', "145.00500"}, NormalizeCase{"1,5", ',', "137,02500"},
                             NormalizeCase{"1,450.5", '.', "400.02500"}, NormalizeCase{"1,4,5", '.', "145.00000"},
                             NormalizeCase{"146,5125", ',', "146,51250"},
                             // A comma text that is not a number fails and gives the low replacement.
                             NormalizeCase{"12abc,3", ',', "137,02500"}, NormalizeCase{"abc,", '.', "137.02500"},
                             NormalizeCase{"inf,", '.', "137.02500"}, NormalizeCase{"nan,", '.', "137.02500"},
                             NormalizeCase{",", ',', "137,02500"}));

TEST(NormalizeFreq, ResultIsAlwaysOnARasterAndInRange) {
  for (int step = 0; step < 20000; ++step) {
    const double mhz = 60.0 + step * 0.0245713;
    const std::string result = NormalizeFreq(std::to_string(mhz), '.');
    auto row = MarkedRow();
    ASSERT_TRUE(WriteFreq(Row(row), Direction::Rx, result).ok()) << result;
    const FreqUnits units = *DecodeBcdFreq(ConstRow(row), 0);
    ASSERT_TRUE(units % 500 == 0 || units % 625 == 0) << result;
    ASSERT_GE(units, 6000000u);
    ASSERT_LT(units, 55100000u);
  }
}

// --- ParseTypedNumber -----------------------------------------------------

struct ParseCase {
  const char* text;
  char separator;
  std::optional<double> value;
};

class ParseTypedNumberTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTypedNumberTest, ReadsAsTheUserMeantIt) {
  const auto value = ParseTypedNumber(GetParam().text, GetParam().separator);
  ASSERT_EQ(value.has_value(), GetParam().value.has_value()) << '"' << GetParam().text << '"';
  if (value) {
    EXPECT_DOUBLE_EQ(*value, *GetParam().value) << GetParam().text;
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseTypedNumberTest,
                         ::testing::Values(ParseCase{"145.5", '.', 145.5}, ParseCase{"145,5", ',', 145.5},
                                           ParseCase{"145,5", '.', 145.5}, ParseCase{"1,4,5", '.', 145.0},
                                           ParseCase{"1,450.5", '.', 1450.5}, ParseCase{"1.450,5", ',', 1450.5},
                                           ParseCase{"", '.', 0.0}, ParseCase{"abc", '.', 0.0},
                                           ParseCase{"12abc", '.', 12.0}, ParseCase{"-5", '.', -5.0},
                                           ParseCase{"1.2.3", '.', 1.2}, ParseCase{"abc,", '.', std::nullopt},
                                           ParseCase{",", ',', std::nullopt}, ParseCase{"12abc,3", ',', std::nullopt}));

TEST(ParseDecimal, ReadsTheWholeTextWithAPoint) {
  const ParseCase cases[] = {{"145.5", '.', 145.5},        {"145.", '.', 145.0},         {".5", '.', 0.5},
                             {"0.000001", '.', 0.000001},  {"", '.', std::nullopt},      {".", '.', std::nullopt},
                             {"1.2.3", '.', std::nullopt}, {"145,5", '.', std::nullopt}, {"1e999", '.', std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace orvex

namespace orvex {
namespace {

// A German desktop: Qt switches the C library to the user's locale, where
// strtod stops at '.' and printf writes ','.  The faces switch numbers back.
TEST(UseCNumericLocale, NumbersReadAndWriteWithAPointOnACommaDesktop) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
    // Build the locale into a folder of our own when the system has none.
    const std::string folder = ::testing::TempDir() + "orvex-locales";
    const std::string make =
        "mkdir -p '" + folder + "' && localedef -i de_DE -f UTF-8 '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(make.c_str()) == 0) {
      ::setenv("LOCPATH", folder.c_str(), 1);
      std::setlocale(LC_ALL, "de_DE.UTF-8");
    }
  }
  if (std::string_view(std::localeconv()->decimal_point) != ",") {
    std::setlocale(LC_ALL, before.c_str());
    GTEST_SKIP() << "no comma locale here";
  }
  UseCNumericLocale();
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", 145.525);
  const std::optional<double> typedComma = ParseTypedNumber("145,525", ',');
  const std::optional<double> typedPoint = ParseTypedNumber("145.525", '.');
  std::setlocale(LC_ALL, before.c_str());
  ::unsetenv("LOCPATH");
  EXPECT_STREQ(text, "145.525000");
  ASSERT_TRUE(typedComma.has_value());
  EXPECT_DOUBLE_EQ(*typedComma, 145.525);
  EXPECT_DOUBLE_EQ(typedPoint.value_or(0.0), 145.525);
}

}  // namespace
}  // namespace orvex
