#include "model/signalling/two_tone_table.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/strings.h"
#include "model/byte_fields.h"
#include "model/signalling_test_images.h"

namespace orvex {
namespace {

using Row3 = std::array<std::string, 3>;
constexpr TwoToneGrid kCall = TwoToneGrid::CallList;
constexpr TwoToneGrid kDecode = TwoToneGrid::Decode;

using test::AllEmpty;
using test::BytesAt;

Image Blank() { return AllEmpty(); }

Row3 RowOf(const TwoToneTable& table, TwoToneGrid grid, int row) {
  return {table.cell(grid, {row, 1}), table.cell(grid, {row, 2}), table.cell(grid, {row, 3})};
}

void SetRow(TwoToneTable& table, TwoToneGrid grid, int row, const Row3& texts) {
  for (int c = 1; c <= 3; ++c) ASSERT_TRUE(table.SetCell(grid, {row, c}, texts[c - 1]).ok()) << texts[c - 1];
}

// ---- value codecs ---------------------------------------------------------

struct StoredCase {
  std::uint16_t stored;
  const char* call;
  const char* decode;
};

TEST(TwoToneCodec, StoredValuesShowAsTheWindowShowsThem) {
  const StoredCase cases[] = {
      {0x0000, "288.5", "-"},
      {0x0001, "288.5", "288.5"},
      {0x0B44, "288.5", "288.5"},
      {0x0B45, "288.5", "288.5"},
      {0x0B46, "288.6", "288.6"},
      {0x2710, "1000.0", "1000.0"},
      {0x7530, "3000.0", "3000.0"},
      {0x7531, "3000", "3000"},
      {0x7DFF, "3000", "3000"},
      {0x7E00, "", "3000"},
      {0x8000, "", "3000"},
      {0xFFFE, "", "3000"},
      {0xFFFF, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CallToneText(c.stored), c.call) << std::hex << c.stored;
    EXPECT_EQ(DecodeToneText(c.stored), c.decode) << std::hex << c.stored;
  }
}

TEST(TwoToneCodec, EveryStoredValueShowsEmptyOrATextInRange) {
  for (std::uint32_t v = 0; v <= 0xFFFF; ++v) {
    const auto stored = static_cast<std::uint16_t>(v);
    for (const std::string& text : {CallToneText(stored), DecodeToneText(stored)}) {
      if (text.empty() || text == "-") continue;
      const auto tenths = ParseTenths(text);
      ASSERT_TRUE(tenths.has_value()) << text;
      ASSERT_GE(*tenths, 2885u) << v;
      ASSERT_LE(*tenths, 30000u) << v;
      if (v >= 2885 && v <= 30000) {
        ASSERT_EQ(*tenths, v);
      }
    }
    ASSERT_EQ(CallToneText(stored).empty(), v >= 0x7E00) << v;
  }
}

struct ToneTextCase {
  const char* typed;
  const char* shown;  // nullptr: not a number
};

TEST(TwoToneCodec, TypedFrequenciesAreNormalized) {
  const ToneTextCase cases[] = {
      {"5000", "3000.0"},
      {"100", "288.5"},
      {"1234.56", "1234.6"},
      {"1234.54", "1234.5"},
      {"1000", "1000.0"},
      {"1000.0", "1000.0"},
      {"3000", "3000.0"},
      {"3000.04", "3000.0"},
      {"3000.1", "3000.0"},
      {"288.45", "288.5"},
      {"288.4", "288.5"},
      {"0", "288.5"},
      {"2000,25", "2000.3"},
      {"1500,5", "1500.5"},
      {".5", "288.5"},
      {"300.", "300.0"},
      {"999.95", "1000.0"},
      {"0000001000", "1000.0"},
      {"99999999999999999999", "3000.0"},
      {"", nullptr},
      {".", nullptr},
      {",", nullptr},
      {"1.2.3", nullptr},
      {"1,2.3", nullptr},
      {"1.,", nullptr},
      {"12a", nullptr},
      {"-", nullptr},
      {"-5", nullptr},
      {" 100", nullptr},
      {"1e3", nullptr},
  };
  for (const auto& c : cases) {
    const auto shown = NormalizeToneText(c.typed);
    if (c.shown == nullptr) {
      EXPECT_FALSE(shown.has_value()) << c.typed;
    } else {
      ASSERT_TRUE(shown.has_value()) << c.typed;
      EXPECT_EQ(*shown, c.shown) << c.typed;
    }
  }
}

TEST(TwoToneCodec, TypedGapsAreWholeMillisecondsUpTo255) {
  const ToneTextCase cases[] = {
      {"007", "7"},   {"0", "0"},    {"100", "100"},   {"255", "255"},  {"256", "255"},
      {"999", "255"}, {"", nullptr}, {"1.5", nullptr}, {"1,", nullptr}, {"x", nullptr},
  };
  for (const auto& c : cases) {
    const auto shown = NormalizeGapText(c.typed);
    if (c.shown == nullptr) {
      EXPECT_FALSE(shown.has_value()) << c.typed;
    } else {
      ASSERT_TRUE(shown.has_value()) << c.typed;
      EXPECT_EQ(*shown, c.shown) << c.typed;
    }
  }
}

// ---- load and store -------------------------------------------------------

TEST(TwoToneTable, BlankMemoryLoadsEmptyAndStoresBackUnchanged) {
  for (const Image& start : {Blank(), BlankImage()}) {
    TwoToneTable table;
    table.Load(start, kEnglish);
    for (TwoToneGrid grid : {kCall, kDecode}) {
      const CellGrid& cells = table.cells(grid);
      ASSERT_EQ(cells.size(), grid == kCall ? 11u : 9u);
      for (std::size_t r = 1; r < cells.size(); ++r) {
        ASSERT_EQ(cells[r].size(), 4u);
        EXPECT_EQ(cells[r][0], std::to_string(r - 1));
        for (int c = 1; c < 4; ++c) EXPECT_EQ(cells[r][c], "") << r << "," << c;
      }
    }
    Image image = start;
    table.SaveData(image);
    EXPECT_EQ(image, start);
  }
}

TEST(TwoToneTable, StoreWritesOnlyTheTwoRegionsAndIsStable) {
  test::ExpectStoreIsStableAndLocal<TwoToneTable>({{0x1C50, 0x1C81}, {0x1CB0, 0x1CDF}});
}

TEST(TwoToneTable, CallListEntriesRunAcrossRows) {
  Image image = Blank();
  // Entry 3 starts at 0x1C5F: tone A high byte in one row, low byte in the next.
  const std::uint8_t entry[] = {0x27, 0x10, 0x4E, 0x20, 0x32};
  std::copy(std::begin(entry), std::end(entry), image.begin() + 0x1C5F);
  TwoToneTable table;
  table.Load(image, kEnglish);
  EXPECT_EQ(RowOf(table, kCall, 4), (Row3{"1000.0", "2000.0", "50"}));
  Image stored = Blank();
  table.SaveData(stored);
  EXPECT_EQ(stored, image);
}

TEST(TwoToneTable, EveryCallToneValueIsStoredBackInRangeOrEmpty) {
  for (std::uint32_t v = 0; v <= 0xFFFF; v += 1) {
    Image image = Blank();
    WriteBe16(image, 0x1C50, static_cast<std::uint16_t>(v));
    WriteBe16(image, 0x1C52, 0x2710);
    image[0x1C54] = 40;
    TwoToneTable table;
    table.Load(image, kEnglish);
    table.SaveData(image);
    const std::uint16_t expected = v >= 0x7E00 ? 0xFFFF : static_cast<std::uint16_t>(std::clamp(v, 2885u, 30000u));
    ASSERT_EQ(ReadBe16(image, 0x1C50), expected) << v;
    // Without tone A the GAP is dropped.
    ASSERT_EQ(image[0x1C54], v >= 0x7E00 ? 0xFF : 40) << v;
  }
}

TEST(TwoToneTable, EveryDecodeValueIsStoredBackInRangeOrAsItWas) {
  for (std::uint32_t v = 0; v <= 0xFFFF; ++v) {
    Image image = Blank();
    const std::uint16_t stored = static_cast<std::uint16_t>(v);
    WriteBe16(image, 0x1CB0 + 6 * 7 + 4, stored);  // group call of the last entry
    TwoToneTable table;
    table.Load(image, kEnglish);
    table.SaveData(image);
    std::uint16_t expected = stored;
    if (v != 0 && v != 0xFFFF) expected = static_cast<std::uint16_t>(std::clamp(v, 2885u, 30000u));
    ASSERT_EQ(ReadBe16(image, 0x1CB0 + 6 * 7 + 4), expected) << v;
    // A group-call frequency alone brings placeholders for tones A and B.
    const std::uint16_t ab = (v != 0 && v != 0xFFFF) ? 0x0000 : 0xFFFF;
    ASSERT_EQ(ReadBe16(image, 0x1CB0 + 6 * 7), ab) << v;
    ASSERT_EQ(ReadBe16(image, 0x1CB0 + 6 * 7 + 2), ab) << v;
  }
}

TEST(TwoToneTable, GapShowsItsByteOnlyBetweenTwoTones) {
  struct Case {
    std::uint16_t a, b;
    std::uint8_t gap;
    Row3 shown;
    std::uint8_t storedGap;
  };
  const Case cases[] = {
      {0x2710, 0x4E20, 0x00, {"1000.0", "2000.0", "0"}, 0x00},
      {0x2710, 0x4E20, 0xFF, {"1000.0", "2000.0", "255"}, 0xFF},
      {0x2710, 0xFFFF, 0x64, {"1000.0", "", ""}, 0xFF},
      {0xFFFF, 0x4E20, 0x64, {"", "2000.0", ""}, 0xFF},
      {0x0000, 0x7DFF, 0x0A, {"288.5", "3000", "10"}, 0x0A},
      {0x7E00, 0x2710, 0x0A, {"", "1000.0", ""}, 0xFF},
  };
  for (const auto& c : cases) {
    Image image = Blank();
    WriteBe16(image, 0x1C50 + 5 * 9, c.a);
    WriteBe16(image, 0x1C52 + 5 * 9, c.b);
    image[0x1C54 + 5 * 9] = c.gap;
    TwoToneTable table;
    table.Load(image, kEnglish);
    EXPECT_EQ(RowOf(table, kCall, 10), c.shown);
    table.SaveData(image);
    EXPECT_EQ(image[0x1C54 + 5 * 9], c.storedGap);
  }
}

TEST(TwoToneTable, DecodeLoadsPlaceholdersForAGroupCallAlone) {
  struct Case {
    std::array<std::uint8_t, 6> bytes;
    Row3 shown;
    std::array<std::uint8_t, 6> stored;
  };
  const Case cases[] = {
      {{0x00, 0x00, 0x00, 0x00, 0x27, 0x10}, {"-", "-", "1000.0"}, {0x00, 0x00, 0x00, 0x00, 0x27, 0x10}},
      // Tone B is replaced by the placeholder when tone A is empty.
      {{0xFF, 0xFF, 0x4E, 0x20, 0x27, 0x10}, {"-", "-", "1000.0"}, {0x00, 0x00, 0x00, 0x00, 0x27, 0x10}},
      {{0xFF, 0xFF, 0x4E, 0x20, 0xFF, 0xFF}, {"", "2000.0", ""}, {0xFF, 0xFF, 0x4E, 0x20, 0xFF, 0xFF}},
      {{0x27, 0x10, 0x4E, 0x20, 0x0F, 0xA0}, {"1000.0", "2000.0", "400.0"}, {0x27, 0x10, 0x4E, 0x20, 0x0F, 0xA0}},
      {{0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}, {"-", "", "-"}, {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}},
      {{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}, {"", "", "-"}, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
      {{0x00, 0x01, 0x80, 0x00, 0xFF, 0xFF}, {"288.5", "3000", ""}, {0x0B, 0x45, 0x75, 0x30, 0xFF, 0xFF}},
  };
  for (const auto& c : cases) {
    Image image = Blank();
    std::copy(c.bytes.begin(), c.bytes.end(), image.begin() + 0x1CB0 + 6 * 2);
    TwoToneTable table;
    table.Load(image, kEnglish);
    EXPECT_EQ(RowOf(table, kDecode, 3), c.shown);
    table.SaveData(image);
    EXPECT_EQ(BytesAt(image, 0x1CB0 + 6 * 2, 6), std::vector<std::uint8_t>(c.stored.begin(), c.stored.end()));
  }
}

TEST(TwoToneTable, RealLookingImageStoresBackUnchanged) {
  Image image = Blank();
  for (std::size_t n = 0; n < 10; ++n) {
    WriteBe16(image, 0x1C50 + 5 * n, static_cast<std::uint16_t>(2885 + 2700 * n));
    WriteBe16(image, 0x1C52 + 5 * n, static_cast<std::uint16_t>(30000 - 2600 * n));
    image[0x1C54 + 5 * n] = static_cast<std::uint8_t>(25 * n);
  }
  for (std::size_t n = 0; n < 8; ++n)
    for (std::size_t k = 0; k < 3; ++k)
      WriteBe16(image, 0x1CB0 + 6 * n + 2 * k, static_cast<std::uint16_t>(3000 + 1111 * n + 377 * k));
  TwoToneTable table;
  table.Load(image, kEnglish);
  Image stored = Blank();
  table.SaveData(stored);
  EXPECT_EQ(stored, image);
}

// ---- editing --------------------------------------------------------------

struct CommitCase {
  const char* name;
  TwoToneGrid grid;
  Row3 before;
  int column;
  const char* typed;
  bool accepted;
  Row3 after;
};

TEST(TwoToneTable, CommitAppliesTheRowRules) {
  const CommitCase cases[] = {
      {"tone A alone leaves GAP empty", kCall, {"", "", ""}, 1, "1000", true, {"1000.0", "", ""}},
      {"tone B after tone A sets GAP 100", kCall, {"1000.0", "", ""}, 2, "2000", true, {"1000.0", "2000.0", "100"}},
      {"emptying tone A empties the row", kCall, {"1000.0", "2000.0", "50"}, 1, "", true, {"", "", ""}},
      {"emptying tone B empties GAP", kCall, {"1000.0", "2000.0", "50"}, 2, "", true, {"1000.0", "", ""}},
      {"GAP cannot be emptied", kCall, {"1000.0", "2000.0", "50"}, 3, "", true, {"1000.0", "2000.0", "100"}},
      {"GAP leading zeros", kCall, {"1000.0", "2000.0", "50"}, 3, "007", true, {"1000.0", "2000.0", "7"}},
      {"GAP above 255", kCall, {"1000.0", "2000.0", "50"}, 3, "300", true, {"1000.0", "2000.0", "255"}},
      {"GAP kept on a tone change", kCall, {"1000.0", "2000.0", "50"}, 1, "5000", true, {"3000.0", "2000.0", "50"}},
      {"unchanged text", kCall, {"1000.0", "2000.0", "50"}, 2, "2000.0", true, {"1000.0", "2000.0", "50"}},
      {"same number, new form", kCall, {"1000", "", ""}, 1, "1000", true, {"1000", "", ""}},
      {"two separators refused", kCall, {"1000.0", "", ""}, 1, "1.2.3", false, {"1000.0", "", ""}},
      {"lone separator refused", kCall, {"1000.0", "2000.0", "50"}, 2, ".", false, {"1000.0", "2000.0", "50"}},
      {"lone comma refused", kCall, {"", "", ""}, 1, ",", false, {"", "", ""}},
      {"GAP with separator refused", kCall, {"1000.0", "2000.0", "50"}, 3, "1.", false, {"1000.0", "2000.0", "50"}},
      {"decode tone A", kDecode, {"", "", ""}, 1, "100", true, {"288.5", "", ""}},
      {"decode tone B without A refused", kDecode, {"", "", ""}, 2, "1000", false, {"", "", ""}},
      {"decode tone B after placeholder refused",
       kDecode,
       {"-", "-", "1000.0"},
       2,
       "1000",
       false,
       {"-", "-", "1000.0"}},
      {"decode group alone brings placeholders", kDecode, {"", "", ""}, 3, "1000", true, {"-", "-", "1000.0"}},
      {"decode group with tone A", kDecode, {"1000.0", "", ""}, 3, "1500", true, {"1000.0", "", "1500.0"}},
      {"decode emptying tone A keeps group",
       kDecode,
       {"1000.0", "2000.0", "1500.0"},
       1,
       "",
       true,
       {"-", "-", "1500.0"}},
      {"decode emptying tone A", kDecode, {"1000.0", "2000.0", ""}, 1, "", true, {"", "", ""}},
      {"decode emptying placeholder does nothing", kDecode, {"-", "-", "1000.0"}, 1, "", true, {"-", "-", "1000.0"}},
      {"decode tone B kept while A is set", kDecode, {"1000.0", "2000.0", ""}, 2, "", false, {"1000.0", "2000.0", ""}},
      {"decode tone B of a row without A", kDecode, {"", "2000.0", ""}, 2, "", true, {"", "", ""}},
      {"decode emptying group clears placeholders", kDecode, {"-", "-", "1000.0"}, 3, "", true, {"", "", ""}},
      {"decode emptying group keeps tones",
       kDecode,
       {"1000.0", "2000.0", "1500.0"},
       3,
       "",
       true,
       {"1000.0", "2000.0", ""}},
      {"decode placeholder replaced by a tone",
       kDecode,
       {"-", "-", "1000.0"},
       1,
       "1200",
       true,
       {"1200.0", "-", "1000.0"}},
      {"decode not a number refused", kDecode, {"1000.0", "", ""}, 3, "1..", false, {"1000.0", "", ""}},
  };
  for (const auto& c : cases) {
    TwoToneTable table;
    table.Load(Blank(), kEnglish);
    SetRow(table, c.grid, 5, c.before);
    const CellCommit result = table.CommitCellEdit(c.grid, {5, c.column}, c.typed);
    EXPECT_EQ(result.accepted, c.accepted) << c.name;
    EXPECT_EQ(result.text, c.after[c.column - 1]) << c.name;
    EXPECT_EQ(RowOf(table, c.grid, 5), c.after) << c.name;
  }
}

TEST(TwoToneTable, CommitNamesAValueBroughtIntoRange) {
  struct Case {
    TwoToneGrid grid;
    int column;
    const char* typed;
    std::string note;
  };
  const Case cases[] = {
      {kCall, 1, "5000", "Call List 4: 5000 Hz is outside 288.5..3000 Hz; stored 3000.0"},
      {kCall, 1, "100", "Call List 4: 100 Hz is outside 288.5..3000 Hz; stored 288.5"},
      {kCall, 1, "1234.56", ""},
      {kCall, 3, "300", "Call List 4: a GAP of 300 ms is more than 255; stored 255"},
      {kCall, 3, "255", ""},
      {kDecode, 3, "9999", "Decode 4: 9999 Hz is outside 288.5..3000 Hz; stored 3000.0"},
      {kDecode, 3, "", ""},
  };
  for (const auto& c : cases) {
    TwoToneTable table;
    table.Load(Blank(), 0);
    ASSERT_TRUE(table.CommitCellEdit(c.grid, {5, 1}, "1000").accepted);
    ASSERT_TRUE(table.CommitCellEdit(c.grid, {5, 2}, "2000").accepted);
    EXPECT_EQ(table.CommitCellEdit(c.grid, {5, c.column}, c.typed).note, c.note) << c.typed;
  }
}

TEST(TwoToneTable, ToneAAloneIsStoredWithoutGap) {
  TwoToneTable table;
  table.Load(Blank(), kEnglish);
  ASSERT_TRUE(table.CommitCellEdit(kCall, {1, 1}, "1000").accepted);
  Image image = Blank();
  table.SaveData(image);
  EXPECT_EQ(BytesAt(image, 0x1C50, 5), (std::vector<std::uint8_t>{0x27, 0x10, 0xFF, 0xFF, 0xFF}));
  ASSERT_TRUE(table.CommitCellEdit(kCall, {1, 2}, "2000.25").accepted);
  table.SaveData(image);
  EXPECT_EQ(BytesAt(image, 0x1C50, 5), (std::vector<std::uint8_t>{0x27, 0x10, 0x4E, 0x23, 100}));
}

TEST(TwoToneTable, GroupCallEntryIsStoredAndRemovedWhole) {
  TwoToneTable table;
  table.Load(Blank(), kEnglish);
  ASSERT_TRUE(table.CommitCellEdit(kDecode, {8, 3}, "1000").accepted);
  Image image = Blank();
  table.SaveData(image);
  EXPECT_EQ(BytesAt(image, 0x1CB0 + 6 * 7, 6), (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x00, 0x27, 0x10}));
  table.Load(image, kEnglish);
  EXPECT_EQ(RowOf(table, kDecode, 8), (Row3{"-", "-", "1000.0"}));
  ASSERT_TRUE(table.CommitCellEdit(kDecode, {8, 3}, "").accepted);
  table.SaveData(image);
  EXPECT_EQ(image, Blank());
}

struct BeginCase {
  TwoToneGrid grid;
  Row3 row;
  int column;
  std::optional<char> typed;
  bool opens;
  int editedColumn;
  const char* editorText;
  const char* startText;
  std::size_t maxLength;
};

TEST(TwoToneTable, BeginCellEditRedirectsAndPicksTheEditor) {
  const BeginCase cases[] = {
      {kCall, {"1000.0", "", ""}, 3, '5', true, 2, "5", "", 6},
      {kCall, {"", "", ""}, 3, '5', true, 1, "5", "", 6},
      {kCall, {"", "", ""}, 2, std::nullopt, true, 1, "", "", 6},
      {kCall, {"1000.0", "2000.0", "100"}, 3, std::nullopt, true, 3, "100", "100", 3},
      {kCall, {"1000.0", "2000.0", "100"}, 2, '7', true, 2, "7", "2000.0", 6},
      {kCall, {"1000.0", "", ""}, 1, 'a', false, 0, "", "", 0},
      {kCall, {"1000.0", "", ""}, 1, '.', false, 0, "", "", 0},
      {kDecode, {"", "", ""}, 2, '3', true, 1, "3", "", 6},
      {kDecode, {"-", "-", "1000.0"}, 2, std::nullopt, true, 1, "", "-", 6},
      {kDecode, {"-", "-", "1000.0"}, 3, std::nullopt, true, 3, "1000.0", "1000.0", 6},
      {kDecode, {"", "", ""}, 3, '1', true, 3, "1", "", 6},
      {kDecode, {"1000.0", "", ""}, 2, std::nullopt, true, 2, "", "", 6},
  };
  for (const auto& c : cases) {
    TwoToneTable table;
    table.Load(Blank(), kEnglish);
    SetRow(table, c.grid, 2, c.row);
    const auto start = table.BeginCellEdit(c.grid, {2, c.column}, c.typed);
    ASSERT_EQ(start.has_value(), c.opens) << c.column;
    if (!start) continue;
    EXPECT_EQ(start->cell, (CellPos{2, c.editedColumn}));
    EXPECT_EQ(start->text, c.editorText);
    EXPECT_EQ(start->startText, c.startText);
    EXPECT_EQ(start->editor.kind, EditorKind::Text);
    EXPECT_EQ(start->editor.maxLength, c.maxLength);
    const bool gap = c.grid == kCall && c.editedColumn == 3;
    EXPECT_EQ(start->editor.Accept('.').has_value(), !gap);
    EXPECT_EQ(start->editor.Accept(',').has_value(), !gap);
    EXPECT_TRUE(start->editor.Accept('9').has_value());
    EXPECT_FALSE(start->editor.Accept('-').has_value());
    EXPECT_FALSE(start->editor.Accept('e').has_value());
  }
}

TEST(TwoToneTable, HeadingsAndLabelsOpenNoEditor) {
  TwoToneTable table;
  table.Load(Blank(), kEnglish);
  for (const CellPos pos : {CellPos{0, 1}, CellPos{1, 0}, CellPos{0, 0}, CellPos{11, 1}, CellPos{1, 4}})
    EXPECT_FALSE(table.BeginCellEdit(kCall, pos).has_value()) << pos.row << "," << pos.column;
  EXPECT_FALSE(table.CommitCellEdit(kCall, {0, 1}, "1000").accepted);
  EXPECT_FALSE(table.BeginCellEdit(kDecode, {9, 1}).has_value());
  EXPECT_EQ(table.cell(kDecode, {9, 1}), "");
  EXPECT_EQ(table.cell(kCall, {1, -1}), "");
}

TEST(TwoToneTable, EnterMovesThroughTheGrid) {
  struct Case {
    TwoToneGrid grid;
    CellPos from;
    CellPos onEnter;
    CellPos afterCommit;
  };
  const Case cases[] = {
      {kCall, {1, 1}, {1, 2}, {1, 2}},    {kCall, {1, 2}, {1, 3}, {1, 3}},   {kCall, {1, 3}, {2, 1}, {2, 1}},
      {kCall, {10, 3}, {10, 3}, {10, 1}}, {kDecode, {4, 3}, {5, 1}, {5, 1}}, {kDecode, {8, 3}, {8, 3}, {8, 3}},
      {kDecode, {8, 2}, {8, 3}, {8, 3}},
  };
  for (const auto& c : cases) {
    TwoToneTable table;
    EXPECT_EQ(table.NextCellOnEnter(c.grid, c.from), c.onEnter) << c.from.row << "," << c.from.column;
    EXPECT_EQ(table.NextCellAfterCommit(c.grid, c.from), c.afterCommit) << c.from.row << "," << c.from.column;
  }
}

TEST(TwoToneTable, SetCellTakesOnlyTextsACellCanHold) {
  struct Case {
    TwoToneGrid grid;
    int column;
    const char* text;
    bool ok;
  };
  const Case cases[] = {
      {kCall, 1, "1000.0", true}, {kCall, 1, "288.5", true},   {kCall, 1, "3000", true},     {kCall, 1, "", true},
      {kCall, 1, "288.4", false}, {kCall, 1, "3000.1", false}, {kCall, 1, "-", false},       {kCall, 2, "1.2.3", false},
      {kCall, 3, "255", true},    {kCall, 3, "0", true},       {kCall, 3, "256", false},     {kCall, 3, "1.0", false},
      {kDecode, 1, "-", true},    {kDecode, 3, "-", true},     {kDecode, 3, "1500.0", true}, {kDecode, 2, ".", false},
  };
  for (const auto& c : cases) {
    TwoToneTable table;
    table.Load(Blank(), kEnglish);
    EXPECT_EQ(table.SetCell(c.grid, {3, c.column}, c.text).ok(), c.ok) << c.text;
    EXPECT_EQ(table.cell(c.grid, {3, c.column}), c.ok ? c.text : "") << c.text;
  }
  TwoToneTable table;
  EXPECT_FALSE(table.SetCell(kCall, {0, 1}, "").ok());
  EXPECT_FALSE(table.SetCell(kDecode, {9, 1}, "").ok());
}

TEST(TwoToneTable, HeadingsAreComposedInTheCurrentLanguage) {
  if (Text(1527, kEnglish).empty()) GTEST_SKIP() << "string table without the 2-Tone texts";
  TwoToneTable table;
  table.Load(Blank(), kEnglish);
  EXPECT_EQ(table.cells(kCall)[0], (std::vector<std::string>{"No.", "ATone[Hz]", "BTone[Hz]", "GAP Time[ms]"}));
  EXPECT_EQ(table.cells(kDecode)[0], (std::vector<std::string>{"No.", "ATone[Hz]", "BTone[Hz]", "Group Call[Hz]"}));
  EXPECT_EQ(table.captions().window, "2-Tone");
  EXPECT_EQ(table.captions().callFrame, "Call List");
  EXPECT_EQ(table.captions().decodeFrame, "Decode");
  table.Load(Blank(), kChinese);
  EXPECT_EQ(table.cells(kCall)[0][1], "A" + std::string(Text(1527, kChinese)) + "[Hz]");
  EXPECT_NE(table.cells(kCall)[0][1], "ATone[Hz]");
}

}  // namespace
}  // namespace orvex
