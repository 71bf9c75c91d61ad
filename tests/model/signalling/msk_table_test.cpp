#include "model/signalling/msk_table.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/strings.h"
#include "model/signalling_test_images.h"

namespace orvex {
namespace {

using Code = std::array<std::uint8_t, 4>;
constexpr MskGrid kCall = MskGrid::CallList;
constexpr MskGrid kId = MskGrid::IdCode;

Image Blank() { return test::AllEmpty(); }

void PutCode(Image& image, std::size_t address, const Code& code) {
  std::copy(code.begin(), code.end(), image.begin() + static_cast<std::ptrdiff_t>(address));
}

Code GetCode(const Image& image, std::size_t address) {
  Code code;
  std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(address), 4, code.begin());
  return code;
}

TEST(MskCodec, EveryByteValueInEveryPosition) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t position = 0; position < 4; ++position) {
    for (int b = 0; b <= 255; ++b) {
      Image image = Blank();
      PutCode(image, 0x200, {0x01, 0x02, 0x03, 0x04});
      image[0x200 + position] = static_cast<std::uint8_t>(b);
      std::string expected = "1234";
      if (b <= 0x0F)
        expected[position] = kHex[b];
      else
        expected.erase(position, 1);  // 0x10..0xFF: no digit
      const std::string text = MskCodeText(image, 0x200);
      ASSERT_EQ(text, expected) << position << ":" << b;
      ASSERT_LE(text.size(), 4u);
      ASSERT_TRUE(IsMskCode(text));
    }
  }
}

TEST(MskCodec, CodesAreStoredLeftAligned) {
  struct Case {
    const char* code;
    Code bytes;
  };
  const Case cases[] = {
      {"", {0xFF, 0xFF, 0xFF, 0xFF}},  {"7A", {0x07, 0x0A, 0xFF, 0xFF}},  {"1234", {0x01, 0x02, 0x03, 0x04}},
      {"f", {0x0F, 0xFF, 0xFF, 0xFF}}, {"000", {0x00, 0x00, 0x00, 0xFF}}, {"FFFF", {0x0F, 0x0F, 0x0F, 0x0F}},
  };
  for (const auto& c : cases) {
    Image image = Blank();
    StoreMskCode(image, 0x300, c.code);
    EXPECT_EQ(GetCode(image, 0x300), c.bytes) << c.code;
    EXPECT_EQ(image[0x2FF], 0xFF);
    EXPECT_EQ(image[0x304], 0xFF);
  }
}

TEST(MskCodec, WhatACellCanHold) {
  for (const char* good : {"", "0", "a", "Ff", "1234", "ABCD"}) EXPECT_TRUE(IsMskCode(good)) << good;
  for (const char* bad : {"12345", "G", "1 2", "-1", "0x1"}) EXPECT_FALSE(IsMskCode(bad)) << bad;
}

TEST(MskTable, BlankMemoryLoadsEmptyCodesAndATickedSwitch) {
  MskTable table;
  table.Load(Blank(), kEnglish);
  ASSERT_EQ(table.cells(kCall).size(), 9u);
  ASSERT_EQ(table.cells(kId).size(), 11u);
  for (MskGrid grid : {kCall, kId}) {
    const CellGrid& cells = table.cells(grid);
    for (std::size_t r = 1; r < cells.size(); ++r) {
      ASSERT_EQ(cells[r].size(), 2u);
      EXPECT_EQ(cells[r][0], std::to_string(r - 1));
      EXPECT_EQ(cells[r][1], "");
    }
  }
  EXPECT_TRUE(table.repeaterInvert());
  Image image = Blank();
  table.SaveData(image);
  EXPECT_EQ(image, Blank());
}

TEST(MskTable, StoreAfterLoadOfTheBlankImageChangesNothing) {
  const Image blank = BlankImage();
  MskTable table;
  table.Load(blank, kEnglish);
  Image image = blank;
  table.SaveData(image);
  EXPECT_EQ(image, blank);
}

TEST(MskTable, EntriesLoadAndStore) {
  struct Case {
    Code bytes;
    const char* shown;
    Code stored;
  };
  const Case cases[] = {
      {{0x01, 0x02, 0x03, 0x04}, "1234", {0x01, 0x02, 0x03, 0x04}},
      {{0xFF, 0x05, 0xFF, 0xFF}, "5", {0x05, 0xFF, 0xFF, 0xFF}},
      {{0x0A, 0xFF, 0x0B, 0xFF}, "AB", {0x0A, 0x0B, 0xFF, 0xFF}},
      {{0x10, 0x3C, 0xFE, 0x0E}, "E", {0x0E, 0xFF, 0xFF, 0xFF}},
      {{0x12, 0x34, 0x56, 0x78}, "", {0xFF, 0xFF, 0xFF, 0xFF}},
      {{0x0F, 0x00, 0x0F, 0x00}, "F0F0", {0x0F, 0x00, 0x0F, 0x00}},
  };
  for (const auto& c : cases) {
    for (const std::size_t address : {std::size_t{0x1D00 + 4 * 7}, std::size_t{0x1D30 + 4 * 9}}) {
      Image image = Blank();
      PutCode(image, address, c.bytes);
      MskTable table;
      table.Load(image, kEnglish);
      const MskGrid grid = address < 0x1D30 ? kCall : kId;
      const int row = address < 0x1D30 ? 8 : 10;
      EXPECT_EQ(table.cell(grid, {row, 1}), c.shown);
      table.SaveData(image);
      EXPECT_EQ(GetCode(image, address), c.stored);
    }
  }
}

TEST(MskTable, StoreWritesOnlyTheCodesAndIsStable) {
  test::ExpectStoreIsStableAndLocal<MskTable>({{0x1D00, 0x1D1F}, {0x1D30, 0x1D57}, {0x0E2B, 0x0E2B}});
}

TEST(MskTable, SwitchFollowsBitZeroOfEveryByte) {
  for (int b = 0; b <= 255; ++b) {
    Image image = Blank();
    image[0x0E2B] = static_cast<std::uint8_t>(b);
    MskTable table;
    table.Load(image, kEnglish);
    EXPECT_EQ(table.repeaterInvert(), (b & 1) != 0) << b;
    table.SaveData(image);
    EXPECT_EQ(image[0x0E2B], b) << b;
    table.SetRepeaterInvert(true);
    table.SaveData(image);
    EXPECT_EQ(image[0x0E2B], b | 1) << b;
    table.SetRepeaterInvert(false);
    table.SaveData(image);
    EXPECT_EQ(image[0x0E2B], b & 0xFE) << b;
  }
}

TEST(MskTable, Editing) {
  struct Case {
    const char* before;
    std::optional<char> typed;
    bool opens;
    const char* editorText;
    const char* committed;
    bool accepted;
    const char* after;
  };
  const Case cases[] = {
      {"", std::nullopt, true, "", "7A", true, "7A"},
      {"1234", std::nullopt, true, "1234", "", true, ""},
      {"1234", 'b', true, "B", "b", true, "B"},
      {"12", 'F', true, "F", "F0", true, "F0"},
      {"12", 'g', false, "", "", true, ""},
      {"12", '-', false, "", "", true, ""},
      {"12", std::nullopt, true, "12", "12345", false, "12"},
      {"12", std::nullopt, true, "12", "1G", false, "12"},
  };
  for (const auto& c : cases) {
    for (MskGrid grid : {kCall, kId}) {
      MskTable table;
      table.Load(Blank(), kEnglish);
      ASSERT_TRUE(table.SetCell(grid, {2, 1}, c.before).ok());
      const auto start = table.BeginCellEdit(grid, {2, 1}, c.typed);
      ASSERT_EQ(start.has_value(), c.opens) << c.before;
      if (!start) continue;
      EXPECT_EQ(start->cell, (CellPos{2, 1}));
      EXPECT_EQ(start->text, c.editorText);
      EXPECT_EQ(start->startText, c.before);
      EXPECT_EQ(start->editor.maxLength, 4u);
      EXPECT_EQ(start->editor.Accept('e'), 'E');
      EXPECT_FALSE(start->editor.Accept('g').has_value());
      const CellCommit result = table.CommitCellEdit(grid, {2, 1}, c.committed);
      EXPECT_EQ(result.accepted, c.accepted) << c.committed;
      EXPECT_EQ(result.text, c.after);
      EXPECT_EQ(table.cell(grid, {2, 1}), c.after);
    }
  }
}

TEST(MskTable, CommittedCodeIsStoredAsTyped) {
  MskTable table;
  table.Load(Blank(), kEnglish);
  ASSERT_TRUE(table.CommitCellEdit(kCall, {1, 1}, "7A").accepted);
  ASSERT_TRUE(table.CommitCellEdit(kId, {10, 1}, "0").accepted);
  Image image = Blank();
  table.SaveData(image);
  EXPECT_EQ(GetCode(image, 0x1D00), (Code{0x07, 0x0A, 0xFF, 0xFF}));
  EXPECT_EQ(GetCode(image, 0x1D30 + 36), (Code{0x00, 0xFF, 0xFF, 0xFF}));
}

TEST(MskTable, HeadingsOpenNothingAndEnterMovesDown) {
  MskTable table;
  table.Load(Blank(), kEnglish);
  EXPECT_FALSE(table.BeginCellEdit(kCall, {0, 1}).has_value());
  EXPECT_FALSE(table.BeginCellEdit(kCall, {1, 0}).has_value());
  EXPECT_FALSE(table.BeginCellEdit(kCall, {9, 1}).has_value());
  EXPECT_FALSE(table.CommitCellEdit(kId, {0, 1}, "1").accepted);
  EXPECT_FALSE(table.SetCell(kId, {11, 1}, "1").ok());
  EXPECT_EQ(table.cell(kId, {11, 1}), "");
  EXPECT_EQ(table.cell(kId, {-1, 0}), "");
  EXPECT_EQ(table.cell(kId, {1, 2}), "");
  EXPECT_EQ(MskCodeText(Blank(), 8190), "");
  Image image = Blank();
  StoreMskCode(image, 8190, "12");
  EXPECT_EQ(image, Blank());
  EXPECT_EQ(table.NextCell(kCall, {1, 1}), (CellPos{2, 1}));
  EXPECT_EQ(table.NextCell(kCall, {8, 1}), (CellPos{8, 1}));
  EXPECT_EQ(table.NextCell(kId, {8, 1}), (CellPos{9, 1}));
  EXPECT_EQ(table.NextCell(kId, {10, 1}), (CellPos{10, 1}));
}

TEST(MskTable, CaptionsInTheCurrentLanguage) {
  if (Text(1533, kEnglish).empty()) GTEST_SKIP() << "string table without the MSK texts";
  MskTable table;
  table.Load(Blank(), kEnglish);
  EXPECT_EQ(table.cells(kCall)[0], (std::vector<std::string>{"No.", "Call List"}));
  EXPECT_EQ(table.cells(kId)[0], (std::vector<std::string>{"No.", "ID"}));
  const auto captions = table.captions();
  EXPECT_EQ(captions.window, "MSK");
  EXPECT_EQ(captions.idFrame, "ID Code");
  EXPECT_EQ(captions.invert, "Repeater MSK Invert");
  table.Load(Blank(), kChinese);
  EXPECT_EQ(table.captions().window, "MSK");
  EXPECT_EQ(table.cells(kId)[0][1], "ID");
  EXPECT_EQ(table.captions().invert, Text(1533, kChinese));
}

}  // namespace
}  // namespace orvex
