#include "model/signalling/five_tone_table.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/strings.h"
#include "model/signalling/tone_standards.h"
#include "model/signalling_test_images.h"

namespace orvex {
namespace {

using Entry = std::array<std::uint8_t, 6>;
using RowTexts = std::array<std::string, 2>;

Image Blank() { return test::AllEmpty(); }

// What storing an all-empty table writes over an all-0xFF image.
Image BlankAfterStore() {
  Image image = Blank();
  image[0x1D91] = 1;  // 10 s
  image[0x1D92] = 0;
  return image;
}

std::size_t EntryAt(std::size_t n) { return 0x1D60 + 6 * n; }

void PutEntry(Image& image, std::size_t n, const Entry& entry) {
  std::copy(entry.begin(), entry.end(), image.begin() + static_cast<std::ptrdiff_t>(EntryAt(n)));
}

Entry GetEntry(const Image& image, std::size_t n) {
  Entry entry;
  std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(EntryAt(n)), 6, entry.begin());
  return entry;
}

RowTexts RowOf(const FiveToneTable& table, int row) { return {table.cell({row, 1}), table.cell({row, 2})}; }

void SetRow(FiveToneTable& table, int row, const RowTexts& texts) {
  ASSERT_TRUE(table.SetCell({row, 1}, texts[0]).ok());
  ASSERT_TRUE(table.SetCell({row, 2}, texts[1]).ok());
}

// ---- byte codecs ----------------------------------------------------------

TEST(FiveToneCodec, EveryByteOfTheSettingsAndStandard) {
  for (int b = 0; b <= 255; ++b) {
    const auto stored = static_cast<std::uint8_t>(b);
    EXPECT_EQ(RespondWaitingIndex(stored), b <= 3 ? static_cast<std::size_t>(b) : 1u) << b;
    EXPECT_EQ(FixDigitIndex(stored), b <= 4 ? static_cast<std::size_t>(b) : 0u) << b;
    const std::string standard = FiveToneStandardText(stored);
    if (b == 0xFF)
      EXPECT_EQ(standard, "") << b;
    else if (b < 8)
      EXPECT_EQ(standard, kToneStandardNames[static_cast<std::size_t>(b)]) << b;
    else
      EXPECT_EQ(standard, "CCIR1") << b;
  }
}

TEST(FiveToneCodec, EveryIdByteValueInEveryPosition) {
  static constexpr char kSymbols[] = "0123456789ABCD";
  for (std::size_t position = 0; position < 5; ++position) {
    for (int b = 0; b <= 255; ++b) {
      Image image = Blank();
      for (std::size_t i = 0; i < 5; ++i) image[0x100 + i] = 0x03;
      image[0x100 + position] = static_cast<std::uint8_t>(b);
      std::string expected;
      if (b == 0xFF) {
        expected = "";
      } else if (b <= 13) {
        expected = "33333";
        expected[position] = kSymbols[b];
      } else {
        expected = "3333A";  // the byte is skipped and the ID padded
      }
      EXPECT_EQ(FiveToneIdText(image, 0x100), expected) << position << ":" << b;
    }
  }
}

TEST(FiveToneCodec, TypedIds) {
  struct Case {
    const char* typed;
    const char* id;  // nullptr: refused
  };
  const Case cases[] = {
      {"", ""},           {"7", "7AAAA"},      {"12", "12AAA"}, {"12345", "12345"}, {"abcd", "ABCDA"},
      {"0D0D0", "0D0D0"}, {"123456", nullptr}, {"E", nullptr},  {"12F", nullptr},   {"1 2", nullptr},
  };
  for (const auto& c : cases) {
    const auto id = NormalizeFiveToneId(c.typed);
    if (c.id == nullptr) {
      EXPECT_FALSE(id.has_value()) << c.typed;
    } else {
      ASSERT_TRUE(id.has_value()) << c.typed;
      EXPECT_EQ(*id, c.id) << c.typed;
    }
  }
}

// ---- load and store -------------------------------------------------------

TEST(FiveToneTable, BlankMemoryLoadsEmptyAndStoresTheDefaults) {
  FiveToneTable table;
  table.Load(Blank(), kEnglish);
  ASSERT_EQ(table.cells().size(), 9u);
  for (int row = 1; row <= 8; ++row) {
    EXPECT_EQ(table.cell({row, 0}), std::to_string(row - 1));
    EXPECT_EQ(RowOf(table, row), (RowTexts{"", ""}));
  }
  EXPECT_EQ(table.respondWaitingIndex(), 1u);
  EXPECT_EQ(table.fixDigitIndex(), 0u);

  Image image = Blank();
  table.SaveData(image);
  EXPECT_EQ(image, BlankAfterStore());
}

TEST(FiveToneTable, StoreAfterLoadOfTheBlankImageChangesNothing) {
  const Image blank = BlankImage();
  FiveToneTable table;
  table.Load(blank, kEnglish);
  Image image = blank;
  table.SaveData(image);
  EXPECT_EQ(image, blank);
}

struct EntryCase {
  Entry bytes;
  RowTexts shown;
  Entry stored;
};

TEST(FiveToneTable, EntriesLoadAndStore) {
  const EntryCase cases[] = {
      {{0x06, 0x01, 0x02, 0x03, 0x04, 0x05}, {"ZVEI1", "12345"}, {0x06, 0x01, 0x02, 0x03, 0x04, 0x05}},
      {{0x02, 0x0A, 0x0B, 0x0C, 0x0D, 0x00}, {"CCITT", "ABCD0"}, {0x02, 0x0A, 0x0B, 0x0C, 0x0D, 0x00}},
      {{0x00, 0x01, 0x02, 0xFF, 0x03, 0x04}, {"CCIR1", ""}, {0x00, 0xFF, 0x02, 0xFF, 0x03, 0x04}},
      {{0x07, 0x01, 0x0E, 0x02, 0x0F, 0x03}, {"ZVEI2", "123AA"}, {0x07, 0x01, 0x02, 0x03, 0x0A, 0x0A}},
      {{0x09, 0x01, 0x02, 0x03, 0x04, 0x05}, {"CCIR1", "12345"}, {0x00, 0x01, 0x02, 0x03, 0x04, 0x05}},
      {{0xFF, 0x09, 0x09, 0x09, 0x09, 0x09}, {"", "99999"}, {0xFF, 0x09, 0x09, 0x09, 0x09, 0x09}},
      {{0x03, 0x10, 0x20, 0x30, 0x40, 0xFE}, {"EEA", ""}, {0x03, 0xFF, 0x20, 0x30, 0x40, 0xFE}},
  };
  for (const auto& c : cases) {
    Image image = Blank();
    PutEntry(image, 4, c.bytes);
    FiveToneTable table;
    table.Load(image, kEnglish);
    EXPECT_EQ(RowOf(table, 5), c.shown);
    table.SaveData(image);
    EXPECT_EQ(GetEntry(image, 4), c.stored);
  }
}

TEST(FiveToneTable, SettingsStoreBackInRangeForEveryByte) {
  for (int b = 0; b <= 255; ++b) {
    Image image = Blank();
    image[0x1D90] = 0x5A;
    image[0x1D91] = static_cast<std::uint8_t>(b);
    image[0x1D92] = static_cast<std::uint8_t>(b);
    FiveToneTable table;
    table.Load(image, kEnglish);
    table.SaveData(image);
    EXPECT_EQ(image[0x1D90], 0x5A);
    EXPECT_EQ(image[0x1D91], b <= 3 ? b : 1) << b;
    EXPECT_EQ(image[0x1D92], b <= 4 ? b : 0) << b;
  }
}

TEST(FiveToneTable, StoreWritesOnlyItsBytesAndIsStable) {
  test::ExpectStoreIsStableAndLocal<FiveToneTable>({{0x1D60, 0x1D8F}, {0x1D91, 0x1D92}});
}

// ---- editing --------------------------------------------------------------

struct CommitCase {
  const char* name;
  RowTexts before;
  int column;
  const char* text;
  bool accepted;
  RowTexts after;
};

TEST(FiveToneTable, CommitAppliesTheRowRules) {
  const CommitCase cases[] = {
      {"typed symbol on an empty row", {"", ""}, 2, "7", true, {"CCIR1", "7AAAA"}},
      {"short ID padded", {"EIA", "12345"}, 2, "12", true, {"EIA", "12AAA"}},
      {"lower case", {"EIA", "12345"}, 2, "abc", true, {"EIA", "ABCAA"}},
      {"unchanged ID", {"EIA", "12345"}, 2, "12345", true, {"EIA", "12345"}},
      {"emptied ID empties the standard", {"EIA", "12345"}, 2, "", true, {"", ""}},
      {"ID with E refused", {"EIA", "12345"}, 2, "1E", false, {"EIA", "12345"}},
      {"ID too long refused", {"", ""}, 2, "123456", false, {"", ""}},
      {"standard on an empty row", {"", ""}, 1, "EIA", true, {"EIA", "12345"}},
      {"standard keeps the ID", {"CCIR1", "ABCD0"}, 1, "ZVEI2", true, {"ZVEI2", "ABCD0"}},
      {"standard unchanged", {"CCIR1", "ABCD0"}, 1, "CCIR1", true, {"CCIR1", "ABCD0"}},
      {"emptied standard (Backspace)", {"NATEL", "12345"}, 1, "", true, {"", ""}},
      {"unknown standard refused", {"NATEL", "12345"}, 1, "CCIR3", false, {"NATEL", "12345"}},
  };
  for (const auto& c : cases) {
    FiveToneTable table;
    table.Load(Blank(), kEnglish);
    SetRow(table, 3, c.before);
    const CellCommit result = table.CommitCellEdit({3, c.column}, c.text);
    EXPECT_EQ(result.accepted, c.accepted) << c.name;
    EXPECT_EQ(result.text, c.after[static_cast<std::size_t>(c.column - 1)]) << c.name;
    EXPECT_EQ(RowOf(table, 3), c.after) << c.name;
  }
}

TEST(FiveToneTable, BackspaceOnAFullRowStoresItEmpty) {
  Image image = Blank();
  PutEntry(image, 0, {0x04, 0x01, 0x02, 0x03, 0x04, 0x05});
  FiveToneTable table;
  table.Load(image, kEnglish);
  ASSERT_TRUE(table.CommitCellEdit({1, 1}, "").accepted);
  table.SaveData(image);
  EXPECT_EQ(GetEntry(image, 0), (Entry{0xFF, 0xFF, 0x02, 0x03, 0x04, 0x05}));
  table.Load(image, kEnglish);
  EXPECT_EQ(RowOf(table, 1), (RowTexts{"", ""}));
}

TEST(FiveToneTable, TypedIdIsStoredWithItsStandard) {
  FiveToneTable table;
  table.Load(Blank(), kEnglish);
  const auto start = table.BeginCellEdit({8, 2}, 'b');
  ASSERT_TRUE(start.has_value());
  EXPECT_EQ(start->text, "B");
  ASSERT_TRUE(table.CommitCellEdit({8, 2}, start->text + "c1").accepted);
  Image image = Blank();
  table.SaveData(image);
  EXPECT_EQ(GetEntry(image, 7), (Entry{0x00, 0x0B, 0x0C, 0x01, 0x0A, 0x0A}));
}

TEST(FiveToneTable, BeginCellEdit) {
  struct Case {
    CellPos pos;
    std::optional<char> typed;
    bool opens;
    EditorKind kind;
    const char* text;
  };
  const Case cases[] = {
      {{2, 1}, std::nullopt, true, EditorKind::List, "ZVEI1"},
      {{3, 1}, std::nullopt, true, EditorKind::List, "CCIR1"},  // empty row starts on the first name
      {{2, 2}, std::nullopt, true, EditorKind::Text, "12345"},
      {{2, 2}, 'd', true, EditorKind::Text, "D"},
      {{3, 2}, '0', true, EditorKind::Text, "0"},
      {{2, 2}, 'e', false, EditorKind::None, ""},
      {{2, 2}, '.', false, EditorKind::None, ""},
      {{2, 1}, '1', false, EditorKind::None, ""},
      {{0, 1}, std::nullopt, false, EditorKind::None, ""},
      {{2, 0}, std::nullopt, false, EditorKind::None, ""},
      {{9, 1}, std::nullopt, false, EditorKind::None, ""},
  };
  FiveToneTable table;
  table.Load(Blank(), kEnglish);
  SetRow(table, 2, {"ZVEI1", "12345"});
  for (const auto& c : cases) {
    const auto start = table.BeginCellEdit(c.pos, c.typed);
    ASSERT_EQ(start.has_value(), c.opens) << c.pos.row << "," << c.pos.column;
    if (!start) continue;
    EXPECT_EQ(start->cell, c.pos);
    EXPECT_EQ(start->editor.kind, c.kind);
    EXPECT_EQ(start->text, c.text);
    EXPECT_EQ(start->startText, table.cell(c.pos));
    if (c.kind == EditorKind::List) {
      EXPECT_EQ(start->editor.items.size(), 8u);
      EXPECT_EQ(start->editor.items.front(), "CCIR1");
    } else {
      EXPECT_EQ(start->editor.maxLength, 5u);
      EXPECT_EQ(start->editor.Accept('a'), 'A');
      EXPECT_FALSE(start->editor.Accept('E').has_value());
    }
  }
}

TEST(FiveToneTable, EnterAndMoves) {
  FiveToneTable table;
  EXPECT_TRUE(table.EnterOpensEditor({1, 1}));
  EXPECT_FALSE(table.EnterOpensEditor({1, 2}));
  EXPECT_FALSE(table.EnterOpensEditor({0, 1}));
  EXPECT_EQ(table.NextCell({1, 1}), (CellPos{1, 2}));
  EXPECT_EQ(table.NextCell({1, 2}), (CellPos{2, 1}));
  EXPECT_EQ(table.NextCell({8, 1}), (CellPos{8, 2}));
  EXPECT_EQ(table.NextCell({8, 2}), (CellPos{8, 2}));
}

TEST(FiveToneTable, SetCellAndSettingsRefuseWhatTheWindowCannotShow) {
  FiveToneTable table;
  table.Load(Blank(), kEnglish);
  EXPECT_TRUE(table.SetCell({1, 1}, "NATEL").ok());
  EXPECT_FALSE(table.SetCell({1, 1}, "natel").ok());
  EXPECT_TRUE(table.SetCell({1, 2}, "9").ok());
  EXPECT_EQ(table.cell({1, 2}), "9AAAA");
  EXPECT_FALSE(table.SetCell({1, 2}, "99F").ok());
  EXPECT_EQ(table.cell({1, 2}), "9AAAA");
  EXPECT_FALSE(table.SetCell({0, 2}, "").ok());
  EXPECT_EQ(table.cell({9, 1}), "");
  EXPECT_EQ(table.cell({1, 3}), "");
  EXPECT_EQ(FiveToneIdText(Blank(), 8190), "");
  EXPECT_TRUE(table.SetRespondWaitingIndex(3).ok());
  EXPECT_FALSE(table.SetRespondWaitingIndex(4).ok());
  EXPECT_TRUE(table.SetFixDigitIndex(4).ok());
  EXPECT_FALSE(table.SetFixDigitIndex(5).ok());
  Image image = Blank();
  table.SaveData(image);
  EXPECT_EQ(image[0x1D91], 3);
  EXPECT_EQ(image[0x1D92], 4);
  EXPECT_EQ(GetEntry(image, 0), (Entry{0x05, 0x09, 0x0A, 0x0A, 0x0A, 0x0A}));
}

// ---- reference table ------------------------------------------------------

TEST(ToneStandards, FrequencyTable) {
  struct Case {
    const char* standard;
    char symbol;
    std::uint16_t tenths;
  };
  const Case cases[] = {
      {"CCIR1", '0', 19810}, {"CCIR1", 'A', 24000}, {"CCITT", '6', 13350}, {"NATEL", '8', 13360},
      {"EEA", 'A', 10550},   {"EEA", 'C', 24000},   {"EIA", 'E', 4590},    {"ZVEI2", 'D', 6800},
      {"ZVEI1", 'B', 8100},  {"NATEL", '1', 6310},  {"ZVEI2", 'A', 8850},  {"CCIR2", 'E', 21100},
  };
  for (const auto& c : cases) {
    const auto standard = ToneStandardIndex(c.standard);
    ASSERT_TRUE(standard.has_value()) << c.standard;
    const std::size_t symbol =
        c.symbol <= '9' ? static_cast<std::size_t>(c.symbol - '0') : static_cast<std::size_t>(c.symbol - 'A' + 10);
    EXPECT_EQ(ToneSymbolLabel(symbol), c.symbol);
    EXPECT_EQ(ToneStandardTenths(*standard, symbol), c.tenths) << c.standard << " " << c.symbol;
  }
  for (std::size_t s = 0; s < kToneSymbolCount; ++s) {
    EXPECT_EQ(ToneStandardTenths(0, s), ToneStandardTenths(1, s)) << "CCIR1 and CCIR2 differ at " << s;
    for (std::size_t standard = 0; standard < kToneStandardCount; ++standard) {
      const std::uint16_t tenths = ToneStandardTenths(standard, s);
      if (s == 15) {
        EXPECT_EQ(tenths, 0);
      } else {
        EXPECT_GE(tenths, 4000);
        EXPECT_LE(tenths, 30000);
      }
    }
  }
  EXPECT_EQ(ToneStandardTenths(8, 0), 0);
  EXPECT_EQ(ToneStandardTenths(0, 16), 0);
  EXPECT_FALSE(ToneStandardIndex("ccir1").has_value());
}

TEST(ToneStandards, ReferenceTableIsWindowStateOnly) {
  FiveToneTable table;
  EXPECT_EQ(table.referenceStandard(), 0u);
  EXPECT_EQ(table.referenceFrequencies()[0], "1981.0");
  EXPECT_EQ(table.referenceFrequencies()[15], "0.0");
  ASSERT_TRUE(table.SetReferenceStandard(2).ok());
  EXPECT_EQ(table.referenceFrequencies()[0], "400.0");
  EXPECT_EQ(table.referenceFrequencies()[6], "1335.0");
  EXPECT_FALSE(table.SetReferenceStandard(8).ok());
  Image image = Blank();
  table.Load(image, kEnglish);
  EXPECT_EQ(table.referenceStandard(), 2u);
  table.SaveData(image);
  EXPECT_EQ(image, BlankAfterStore());
}

TEST(FiveToneTable, CaptionsAndItemsInTheCurrentLanguage) {
  if (Text(1387, kEnglish).empty() || Text(1523, kEnglish).empty())
    GTEST_SKIP() << "string table without the 5-Tone texts";
  FiveToneTable table;
  table.Load(Blank(), kEnglish);
  EXPECT_EQ(table.respondWaitingItems(), (std::vector<std::string>{"5s", "10s", "15s", "20s"}));
  EXPECT_EQ(table.fixDigitItems(), (std::vector<std::string>{"0", "1", "2", "3", "4"}));
  EXPECT_EQ(table.cells()[0], (std::vector<std::string>{"", "Standard", "ID"}));
  const auto captions = table.captions();
  EXPECT_EQ(captions.window, "5-Tone");
  EXPECT_EQ(captions.decodeFrame, "Decode");
  EXPECT_EQ(captions.respondWaitingLabel, "Respond Waiting Time");
  EXPECT_EQ(captions.fixDigitLabel, "Fix Digit");
  table.Load(Blank(), kChinese);
  EXPECT_EQ(table.respondWaitingItems()[0], "5" + std::string(Text(1387, kChinese)));
  EXPECT_EQ(table.cells()[0][2], "ID");
}

}  // namespace
}  // namespace orvex
