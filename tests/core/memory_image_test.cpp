#include "core/memory_image.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/frequency.h"

namespace orvex {
namespace {

// Every byte of a blank image that is not 0xFF, row by row.
const std::map<std::size_t, std::vector<std::uint8_t>> kBlankRows = {
    {0x0810, {0x00, 0x25, 0x00, 0x40, 0x00, 0x25, 0x00, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xF8, 0x00, 0xFF}},
    {0x0820, {0x00, 0x25, 0x60, 0x13, 0x00, 0x25, 0x60, 0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xF8, 0x00, 0xFF}},
    {0x0E20, {0x03, 0x03, 0x05, 0x01, 0x01, 0x00, 0x03, 0x00, 0x00, 0x27, 0x77, 0x00, 0x01, 0x01, 0x00, 0x01}},
    {0x0E30, {0x03, 0x03, 0x00, 0x03, 0x00, 0x01, 0x05, 0x03, 0x00, 0x00, 0x00, 0x04, 0x01, 0x07, 0x01, 0x02}},
    {0x0E40, {0x00, 0x00, 0x05, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x03, 0x08, 0x01, 0x05, 0x02, 0x07}},
    {0x0E50, {0x03, 0x08, 0x01, 0x05, 0x02, 0x07, 0x01, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0x07, 0x80, 0x00, 0x01}},
    {0x1810, {0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
    {0x1820, {0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
    {0x1D90, {0x0A, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
};

Image ExpectedBlank() {
  Image image;
  image.fill(0xFF);
  for (const auto& [address, bytes] : kBlankRows)
    for (std::size_t i = 0; i < bytes.size(); ++i) image[address + i] = bytes[i];
  return image;
}

TEST(BlankImage, EveryByteIsExact) {
  const Image expected = ExpectedBlank();
  const Image blank = BlankImage();
  for (std::size_t a = 0; a < kImageSize; ++a) ASSERT_EQ(blank[a], expected[a]) << "address " << std::hex << a;
}

TEST(BlankImage, HasNoProgrammedChannel) {
  const Image blank = BlankImage();
  for (std::size_t row = 1; row <= 128; ++row) {
    for (std::size_t col = 0; col < kRowSize; ++col) ASSERT_EQ(blank[Address(row, col)], kEmpty) << "row " << row;
    EXPECT_EQ(ReadFreq(RowOf(blank, row), Direction::Rx), "");
  }
}

TEST(BlankImage, VfoFrequencies) {
  const Image blank = BlankImage();
  EXPECT_EQ(ReadFreq(RowOf(blank, 129), Direction::Rx), "400.02500");
  EXPECT_EQ(ReadFreq(RowOf(blank, 129), Direction::Tx), "400.02500");
  EXPECT_EQ(ReadFreq(RowOf(blank, 130), Direction::Rx), "136.02500");
  EXPECT_EQ(ReadFreq(RowOf(blank, 130), Direction::Tx), "136.02500");
}

TEST(RadioMemory, RowColumnAndAddressNameTheSameByte) {
  RadioMemory memory;
  for (std::size_t row : {0u, 1u, 129u, 255u, 256u, 511u}) {
    for (std::size_t col : {0u, 7u, 15u}) {
      const std::size_t address = row * 16 + col;
      EXPECT_EQ(Address(row, col), address);
      memory.at(row, col) = static_cast<std::uint8_t>(row ^ col);
      EXPECT_EQ(memory[address], static_cast<std::uint8_t>(row ^ col));
      EXPECT_EQ(memory.row(row)[col], static_cast<std::uint8_t>(row ^ col));
      EXPECT_EQ(memory.image()[address], static_cast<std::uint8_t>(row ^ col));
    }
  }
  EXPECT_EQ(kImageSize, 8192u);
}

TEST(RadioMemory, InitMemoryWritesBlankAndTakesSnapshot) {
  RadioMemory memory;
  for (std::size_t a = 0; a < kImageSize; ++a) memory[a] = static_cast<std::uint8_t>(a);
  InitMemory(memory);
  EXPECT_EQ(memory.image(), ExpectedBlank());
  EXPECT_EQ(memory.snapshot(), ExpectedBlank());
  EXPECT_FALSE(memory.IsModified());
}

// One changed byte anywhere makes the image modified until the next snapshot.
class IsModifiedTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(IsModifiedTest, OneByteChangeIsSeenUntilSnapshot) {
  const std::size_t address = GetParam();
  RadioMemory memory;
  InitMemory(memory);
  const std::uint8_t before = memory[address];
  memory[address] = static_cast<std::uint8_t>(before ^ 0x01);
  EXPECT_TRUE(memory.IsModified());
  memory.SaveSnapshot();
  EXPECT_FALSE(memory.IsModified());
  // Going back to the old value is a change against the new snapshot.
  memory[address] = before;
  EXPECT_TRUE(memory.IsModified());
}

TEST_P(IsModifiedTest, WritingTheSameValueIsNoChange) {
  RadioMemory memory;
  InitMemory(memory);
  memory[GetParam()] = memory[GetParam()];
  EXPECT_FALSE(memory.IsModified());
}

INSTANTIATE_TEST_SUITE_P(Addresses, IsModifiedTest, ::testing::Values(0x0000, 0x0010, 0x0810, 0x0E3B, 0x1D92, 0x1FFF));

TEST(RadioMemory, ChangeAndRevertBeforeSnapshotIsNotModified) {
  RadioMemory memory;
  InitMemory(memory);
  memory[0x0100] = 0x12;
  memory[0x0100] = 0xFF;
  EXPECT_FALSE(memory.IsModified());
}

}  // namespace
}  // namespace orvex
