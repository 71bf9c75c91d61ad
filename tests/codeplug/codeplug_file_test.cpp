#include "codeplug/codeplug_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "test_images.h"

namespace orvex {
namespace {

Bytes Plain(const Image& image) { return PlainImage(image); }

Bytes WithCount(Bytes bytes, std::uint8_t count) {
  bytes.push_back(count);
  return bytes;
}

Bytes WithoutCount(Bytes bytes) {
  bytes.pop_back();
  return bytes;
}

TEST(PlainImage, TagTenFillBytesThenTheImage) {
  const Image image = test::VariedImage();
  const Bytes plain = Plain(image);
  ASSERT_EQ(plain.size(), 8208u);
  EXPECT_EQ(std::string(plain.begin(), plain.begin() + 6), "SLQFEO");
  EXPECT_EQ((Bytes{plain.begin(), plain.begin() + 6}), (Bytes{0x53, 0x4C, 0x51, 0x46, 0x45, 0x4F}));
  for (std::size_t i = 6; i < 16; ++i) EXPECT_EQ(plain[i], 0xFF) << i;
  for (std::size_t a = 0; a < kImageSize; ++a) ASSERT_EQ(plain[16 + a], image[a]) << a;
}

class ImageFileTest : public ::testing::TestWithParam<unsigned> {
 protected:
  // Seed 0 is the blank image, others varied images.
  Image TheImage() const { return GetParam() == 0 ? BlankImage() : test::VariedImage(GetParam()); }
};

TEST_P(ImageFileTest, ReopensByteIdentical) {
  const Image image = TheImage();
  const ParsedCodeplug parsed = ParseCodeplug(PackCodeplug(image));
  ASSERT_EQ(parsed.check, CodeplugCheck::Ok) << parsed.detail;
  EXPECT_EQ(parsed.image, image);
}

TEST_P(ImageFileTest, SavingTwiceGivesTheSameBytes) {
  EXPECT_EQ(PackCodeplug(TheImage()), PackCodeplug(TheImage()));
  EXPECT_EQ(PackCodeplug(TheImage()), Encode(Plain(TheImage())));
}

TEST_P(ImageFileTest, UnpackedPlainImageWithZeroPassesOpens) {
  const ParsedCodeplug parsed = ParseCodeplug(WithCount(Plain(TheImage()), 0x00));
  ASSERT_EQ(parsed.check, CodeplugCheck::Ok) << parsed.detail;
  EXPECT_EQ(parsed.image, TheImage());
}

TEST_P(ImageFileTest, PlainImageWithoutCountIsRejected) {
  const ParsedCodeplug parsed = ParseCodeplug(Plain(TheImage()));
  EXPECT_NE(parsed.check, CodeplugCheck::Ok);
  EXPECT_NE(parsed.check, CodeplugCheck::Empty);
  EXPECT_FALSE(parsed.detail.empty());
}

TEST_P(ImageFileTest, TheTenFillBytesAreNotExamined) {
  Bytes plain = Plain(TheImage());
  std::fill(plain.begin() + 6, plain.begin() + 16, 0x00);
  const ParsedCodeplug parsed = ParseCodeplug(Encode(plain));
  ASSERT_EQ(parsed.check, CodeplugCheck::Ok) << parsed.detail;
  EXPECT_EQ(parsed.image, TheImage());
}

INSTANTIATE_TEST_SUITE_P(Images, ImageFileTest, ::testing::Values(0u, 1u, 2u, 3u));

// The blank codeplug's file: other programs and earlier versions read and
// write exactly these bytes.
TEST(CodeplugFile, BlankFileBytesAreStable) {
  std::ifstream in(std::string(ORVEX_TEST_DATA_DIR) + "/blank.tw", std::ios::binary);
  ASSERT_TRUE(in) << "tests/data/blank.tw is missing";
  const Bytes golden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(PackCodeplug(BlankImage()), golden);
  const ParsedCodeplug parsed = ParseCodeplug(golden);
  ASSERT_EQ(parsed.check, CodeplugCheck::Ok);
  EXPECT_EQ(parsed.image, BlankImage());
}

// Without the count byte the blank plain image ends in 0xFF: 255 passes over
// the tag cannot be unpacked.
TEST(CodeplugFile, BlankPlainImageWithoutCountCannotBeUnpacked) {
  EXPECT_EQ(ParseCodeplug(Plain(BlankImage())).check, CodeplugCheck::CannotUnpack);
}

struct CheckCase {
  const char* what;
  Bytes file;
  CodeplugCheck check;
};

class ParseCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ParseCheckTest, TellsWhatIsWrong) {
  const ParsedCodeplug parsed = ParseCodeplug(GetParam().file);
  EXPECT_EQ(parsed.check, GetParam().check) << GetParam().what << ": " << parsed.detail;
  EXPECT_FALSE(parsed.detail.empty()) << GetParam().what;
  // A failed check hands back no image worth using.
  EXPECT_EQ(parsed.image, Image{}) << GetParam().what;
}

Bytes Tagged(const char* tag, std::size_t size) {
  Bytes plain = Plain(BlankImage());
  std::copy(tag, tag + 6, plain.begin());
  plain.resize(size, 0xFF);
  return plain;
}

Bytes Garbage(std::size_t size, unsigned seed, std::uint8_t last) {
  test::Rng rng(seed);
  Bytes bytes = test::RandomBytes(rng, size, 256);
  bytes.back() = last;
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseCheckTest,
    ::testing::Values(CheckCase{"empty", {}, CodeplugCheck::Empty},
                      CheckCase{"wrong tag", Encode(Tagged("SLQFEX", 8208)), CodeplugCheck::WrongLengthOrTag},
                      CheckCase{"lower-case tag", Encode(Tagged("slqfeo", 8208)), CodeplugCheck::WrongLengthOrTag},
                      CheckCase{"one byte short", Encode(Tagged("SLQFEO", 8207)), CodeplugCheck::WrongLengthOrTag},
                      CheckCase{"one byte long", Encode(Tagged("SLQFEO", 8209)), CodeplugCheck::WrongLengthOrTag},
                      CheckCase{"plain image short, zero passes", WithCount(Tagged("SLQFEO", 8207), 0),
                                CodeplugCheck::WrongLengthOrTag},
                      CheckCase{"only a count byte", {0x00}, CodeplugCheck::WrongLengthOrTag},
                      CheckCase{"text file", WithCount(Bytes{'h', 'e', 'l', 'l', 'o', '\n'}, 0),
                                CodeplugCheck::WrongLengthOrTag},
                      CheckCase{"a count byte alone", {0x01}, CodeplugCheck::CannotUnpack},
                      CheckCase{"garbage, one pass", Garbage(5000, 1, 0x01), CodeplugCheck::CannotUnpack},
                      CheckCase{"garbage, 255 passes", Garbage(5000, 2, 0xFF), CodeplugCheck::CannotUnpack},
                      CheckCase{"blank file, count 255", WithCount(WithoutCount(PackCodeplug(BlankImage())), 0xFF),
                                CodeplugCheck::CannotUnpack},
                      CheckCase{"blank file, one pass too few", WithCount(WithoutCount(PackCodeplug(BlankImage())), 6),
                                CodeplugCheck::WrongLengthOrTag},
                      CheckCase{"zeros, zero passes", Bytes(70, 0x00), CodeplugCheck::WrongLengthOrTag}));

TEST(CodeplugFile, TitlesOfTheTwoFailures) {
  EXPECT_EQ(CheckTitle(CodeplugCheck::CannotUnpack), "Error");
  EXPECT_EQ(CheckTitle(CodeplugCheck::WrongLengthOrTag), "ORVEX");
  EXPECT_EQ(kIncorrectFileType, "Incorrect File Type.");
}

TEST(CodeplugFile, FileFilter) { EXPECT_EQ(kFileFilter, "tw Files (*.tw)|*.tw"); }

}  // namespace
}  // namespace orvex
