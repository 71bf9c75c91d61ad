#include "model/channels/channel_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/strings.h"
#include "model/channel_test_util.h"

namespace orvex {
namespace {

using test::Blank;
using test::PutChannel;
using test::RawChannel;
using test::RowBytes;

std::string T(int number, int language = 0) { return std::string(Text(number, language)); }

// ---- names ----------------------------------------------------------------

TEST(ChannelName, EveryCodeShowsItsCharacter) {
  for (int code = 0; code < 256; ++code) {
    char expected = ' ';
    if (code <= 9)
      expected = static_cast<char>('0' + code);
    else if (code <= 35)
      expected = static_cast<char>('A' + code - 10);
    else if (code == 36)
      expected = '?';
    else if (code == 37)
      expected = '+';
    EXPECT_EQ(NameChar(static_cast<std::uint8_t>(code)), expected) << code;
  }
}

TEST(ChannelName, EveryShowableCharacterRoundTrips) {
  for (char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ?+ ")) EXPECT_EQ(NameChar(NameCode(c)), c) << c;
}

TEST(ChannelName, EncodePadsWithSpacesAndKeepsTheRestOfTheRow) {
  struct Case {
    const char* text;
    std::vector<std::uint8_t> codes;
  };
  const Case cases[] = {
      {"AB", {10, 11, 38, 38, 38, 38}},       {"", {38, 38, 38, 38, 38, 38}},
      {"Z9?+ A", {35, 9, 36, 37, 38, 10}},    {"ab", {10, 11, 38, 38, 38, 38}},  // shown as capitals
      {"A-B.", {10, 38, 11, 38, 38, 38}},      // no code: a space, never a wrapped byte
      {"ABCDEFGH", {10, 11, 12, 13, 14, 15}},  // the seventh character on is dropped
  };
  for (const auto& c : cases) {
    Image image = test::RandomChannelImage(3);
    const auto before = RowBytes(image, 256 + 9);
    EncodeChannelName(image, 9, c.text);
    auto after = RowBytes(image, 256 + 9);
    EXPECT_EQ(std::vector<std::uint8_t>(after.begin(), after.begin() + 6), c.codes) << c.text;
    EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + 6, after.end()),
              std::vector<std::uint8_t>(before.begin() + 6, before.end()))
        << c.text;
  }
}

TEST(ChannelName, UnprogrammedRowReadsAsSixSpaces) { EXPECT_EQ(DecodeChannelName(Blank(), 1), "      "); }

// One character of the text is one character of the name, whatever its
// UTF-8 length; bytes that are not UTF-8 are Latin-1.
TEST(ChannelName, CleanNameIsWhatTheRadioShows) {
  struct Case {
    const char* text;
    const char* name;
    bool cut, replaced;
  };
  const Case cases[] = {
      {"ab+", "AB+", false, false},
      {"Caf\xC3\xA9!", "CAFE ", false, true},
      {"REPEATER", "REPEAT", true, false},
      {"HOME    ", "HOME  ", false, false},
      {"\xC3\x84\xC3\x86\xC3\x9F\xC3\xBF\xC5\x81\xC5\xBF", "AASYLS", false, false},  // Ä Æ ß ÿ Ł ſ
      {"\xC3\x97\xC3\xBE", "  ", false, true},                                       // × þ
      {"\xE4\xB8\xAD\xF0\x9F\x93\xBB"
       "1234567",
       "  1234", true, true},                     // a CJK letter, an emoji
      {"Caf\xE9", "CAFE", false, false},          // Latin-1
      {"\xC0\xAF\xE2\x82", "A A ", false, true},  // an overlong "/", a cut-off sequence: Latin-1
  };
  for (const auto& c : cases) {
    const FittedName fitted = FitChannelName(c.text);
    EXPECT_EQ(fitted.name, c.name) << c.text;
    EXPECT_EQ(fitted.cut, c.cut) << c.text;
    EXPECT_EQ(fitted.replaced, c.replaced) << c.text;
    EXPECT_EQ(CleanChannelName(c.text), c.name);
  }
}

TEST(ChannelName, NameRowsAreAtTwoHundredFiftySixPlusN) {
  Image image = Blank();
  EncodeChannelName(image, 1, "A");
  EncodeChannelName(image, 128, "B");
  EXPECT_EQ(image[0x1010], 10);
  EXPECT_EQ(image[0x1800], 11);
}

// ---- reading --------------------------------------------------------------

TEST(ReadChannel, AnyFFInRxMakesTheWholeChannelEmpty) {
  for (std::size_t column = 0; column < 4; ++column) {
    Image image = Blank();
    PutChannel(image, 3, RawChannel{});
    image[Address(3, column)] = 0xFF;
    EXPECT_FALSE(IsProgrammed(image, 3));
    EXPECT_EQ(ReadChannel(image, 3, 0), ChannelFields{}) << column;
  }
}

TEST(ReadChannel, RxBytesGiveTheDocumentedFrequency) {
  Image image = Blank();
  const std::uint8_t rx[] = {0x00, 0x25, 0x61, 0x14};
  std::copy(std::begin(rx), std::end(rx), image.begin() + 0x10);
  EXPECT_EQ(ReadChannel(image, 1, 0).rx, "146.12500");
  image[0x12] = 0xFF;
  EXPECT_EQ(ReadChannel(image, 1, 0).rx, "");
}

struct FlagsCase {
  std::uint8_t flagsA, flagsB;
  // TX Power, Scan Add, W/N, BCL, OPTION, Scrambler No., Opt.Signal, Decode, AutoResponse as string
  // numbers (0 for a digit text given in `digits`).
  int power, scan, width, bcl, option;
  const char* scrambler;
  int signal;  // 0 means "MSK"
  const char* decode;
  int autoResponse;
};

TEST(ReadChannel, FlagBytesShowTheirItems) {
  const FlagsCase cases[] = {
      {0xF8, 0x00, 1147, 1151, 1145, 1139, 1150, "1", 1150, "0", 1149},
      {0x00, 0x00, 1148, 1152, 1146, 1150, 1150, "1", 1150, "0", 1150},
      {0x03, 0x00, 1148, 1152, 1146, 1150, 1150, "1", 1150, "0", 1150},  // Opt.Signal 3, 5, 6, 7 are Off
      {0x05, 0x00, 1148, 1152, 1146, 1150, 1150, "1", 1150, "0", 1150},
      {0x06, 0x00, 1148, 1152, 1146, 1150, 1150, "1", 1150, "0", 1150},
      {0x07, 0x00, 1148, 1152, 1146, 1150, 1150, "1", 1150, "0", 1150},
      {0x01, 0x88, 1148, 1152, 1146, 1150, 1150, "1", 1520, "0", 1150},  // both OPTION bits: Off
      {0x02, 0x5A, 1148, 1152, 1146, 1150, 1384, "6", 0, "2", 1150},
      {0x04, 0xF7, 1148, 1152, 1146, 1150, 1385, "8", 1521, "7", 1150},
      {0x20, 0x08, 1147, 1152, 1146, 1150, 1384, "1", 1150, "0", 1150},
  };
  for (int language : {0, 1}) {
    for (const auto& c : cases) {
      Image image = Blank();
      RawChannel raw;
      raw.flagsA = c.flagsA;
      raw.flagsB = c.flagsB;
      PutChannel(image, 4, raw);
      const ChannelFields f = ReadChannel(image, 4, language);
      SCOPED_TRACE(testing::Message() << std::hex << int(c.flagsA) << " " << int(c.flagsB) << " lang " << language);
      EXPECT_EQ(f.power, T(c.power, language));
      EXPECT_EQ(f.scanAdd, T(c.scan, language));
      EXPECT_EQ(f.bandwidth, T(c.width, language));
      EXPECT_EQ(f.bcl, T(c.bcl, language));
      EXPECT_EQ(f.option, T(c.option, language));
      EXPECT_EQ(f.scramblerNo, c.scrambler);
      EXPECT_EQ(f.optSignal, c.signal ? T(c.signal, language) : "MSK");
      EXPECT_EQ(f.decode, c.decode);
      EXPECT_EQ(f.autoResponse, T(c.autoResponse, language));
    }
  }
}

TEST(ReadChannel, TonesNameAndTx) {
  Image image = Blank();
  RawChannel raw;
  raw.tx = 14610000;
  raw.decodeTone = "88.5";
  raw.encodeTone = "D754I";
  raw.name = "RPT+1";
  PutChannel(image, 2, raw);
  const ChannelFields f = ReadChannel(image, 2, 0);
  EXPECT_EQ(f.rx, "145.50000");
  EXPECT_EQ(f.tx, "146.10000");
  EXPECT_EQ(f.decodeTone, "88.5");
  EXPECT_EQ(f.encodeTone, "D754I");
  EXPECT_EQ(f.name, "RPT+1 ");
  EXPECT_EQ(ReadChannel(image, 2, 0, ',').tx, "146,10000");
}

TEST(ReadChannel, NoTxHidesTheEncodeTone) {
  Image image = Blank();
  PutChannel(image, 2, RawChannel{});
  image[Address(2, 5)] = 0xFF;
  image[Address(2, 10)] = 0x9E;  // a CTCSS 67.0 left behind in the encode bytes
  image[Address(2, 11)] = 0x02;
  const ChannelFields f = ReadChannel(image, 2, 0);
  EXPECT_EQ(f.tx, "");
  EXPECT_EQ(f.encodeTone, "");
}

TEST(ReadChannel, UnknownToneKindShowsEmpty) {
  Image image = Blank();
  PutChannel(image, 2, RawChannel{});
  image[Address(2, 9)] = 0x10;
  EXPECT_EQ(ReadChannel(image, 2, 0).decodeTone, "");
  EXPECT_EQ(ReadChannel(image, 2, 0).encodeTone, "None");
}

// ---- storing --------------------------------------------------------------

TEST(StoreChannel, NewChannelOverAnEmptyRowGivesTheDocumentedBytes) {
  Image image = Blank();
  ASSERT_TRUE(StoreChannel(image, 7, NewChannelFields("146.50000", 0), 0).ok());
  EXPECT_EQ(RowBytes(image, 7), (std::vector<std::uint8_t>{0x00, 0x00, 0x65, 0x14, 0x00, 0x00, 0x65, 0x14, 0xFF, 0xFF,
                                                           0xFF, 0xFF, 0xFF, 0x70, 0x00, 0xFF}));
  EXPECT_EQ(RowBytes(image, 256 + 7), (std::vector<std::uint8_t>{38, 38, 38, 38, 38, 38, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                                 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(StoreChannel, NewChannelDefaults) {
  for (int language : {0, 1}) {
    const ChannelFields f = NewChannelFields("145.00000", language);
    EXPECT_EQ(f.tx, "145.00000");
    EXPECT_EQ(f.decodeTone, T(1137, language));
    EXPECT_EQ(f.encodeTone, T(1137, language));
    EXPECT_EQ(f.power, T(1147, language));
    EXPECT_EQ(f.scanAdd, T(1151, language));
    EXPECT_EQ(f.bandwidth, T(1145, language));
    EXPECT_EQ(f.bcl, T(1150, language));
    EXPECT_EQ(f.option, T(1150, language));
    EXPECT_EQ(f.scramblerNo, "1");
    EXPECT_EQ(f.optSignal, T(1150, language));
    EXPECT_EQ(f.decode, "0");
    EXPECT_EQ(f.autoResponse, T(1150, language));
    EXPECT_EQ(f.name, "");
  }
}

TEST(StoreChannel, StoreAfterReadLeavesTheImageUnchanged) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    for (int language : {0, 1}) {
      const Image original = test::RandomChannelImage(seed);
      Image image = original;
      for (int n = 1; n <= 128; ++n) {
        auto s = StoreChannel(image, n, ReadChannel(image, n, language), language);
        ASSERT_TRUE(s.ok()) << s.error();
      }
      ASSERT_EQ(image, original) << "seed " << seed << " language " << language;
    }
  }
}

// Any bytes at all: what is read can be stored, and reads back the same.
TEST(StoreChannel, AnyImageStoresWhatItShows) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    Image image;
    std::mt19937 random(seed);
    for (auto& b : image) b = static_cast<std::uint8_t>(random() % 3 ? random() : random() % 10);
    for (int n = 1; n <= 128; ++n) {
      ChannelFields shown = ReadChannel(image, n, 0);
      const Status stored = StoreChannel(image, n, shown, 0);
      ASSERT_TRUE(stored.ok()) << stored.error();
      // A tone of a kind the radio does not know shows empty and is stored as none.
      if (!shown.rx.empty() && shown.decodeTone.empty()) shown.decodeTone = "None";
      if (!shown.tx.empty() && shown.encodeTone.empty()) shown.encodeTone = "None";
      ASSERT_EQ(ReadChannel(image, n, 0), shown) << "seed " << seed << " channel " << n;
    }
  }
}

TEST(StoreChannel, CommaSeparatorRoundTrips) {
  const Image original = test::RandomChannelImage(77);
  Image image = original;
  for (int n = 1; n <= 128; ++n) ASSERT_TRUE(StoreChannel(image, n, ReadChannel(image, n, 0, ','), 0, ',').ok()) << n;
  EXPECT_EQ(image, original);
}

TEST(StoreChannel, NormalisesWhatTheEditorDoesNotShow) {
  struct Case {
    std::uint8_t flagsA, flagsB, expectedA, expectedB;
  };
  const Case cases[] = {
      {0x03, 0x00, 0x00, 0x00}, {0x05, 0x00, 0x00, 0x00}, {0x06, 0x00, 0x00, 0x00}, {0xFF, 0x00, 0xF8, 0x00},
      {0x00, 0x88, 0x00, 0x00}, {0x00, 0xFF, 0x00, 0x77}, {0x00, 0x5A, 0x00, 0x5A},
  };
  for (const auto& c : cases) {
    Image image = Blank();
    RawChannel raw;
    raw.flagsA = c.flagsA;
    raw.flagsB = c.flagsB;
    PutChannel(image, 10, raw);
    ASSERT_TRUE(StoreChannel(image, 10, ReadChannel(image, 10, 0), 0).ok());
    EXPECT_EQ(image[Address(10, 13)], c.expectedA) << std::hex << int(c.flagsA);
    EXPECT_EQ(image[Address(10, 14)], c.expectedB) << std::hex << int(c.flagsB);
  }
}

TEST(StoreChannel, EachListItemSetsOnlyItsBits) {
  struct Case {
    int column;
    std::string item;
    std::uint8_t flagsA, flagsB;  // starting from a new channel: 0x70, 0x00
  };
  const std::vector<Case> cases = {
      {kColPower, T(1148), 0x50, 0x00},        {kColScanAdd, T(1152), 0x30, 0x00},
      {kColBandwidth, T(1146), 0x60, 0x00},    {kColBcl, T(1139), 0x78, 0x00},
      {kColOption, T(1384), 0x70, 0x08},       {kColOption, T(1385), 0x70, 0x80},
      {kColScramblerNo, "8", 0x70, 0x70},      {kColScramblerNo, "3", 0x70, 0x20},
      {kColOptSignal, "MSK", 0x72, 0x00},      {kColOptSignal, T(1520), 0x71, 0x00},
      {kColOptSignal, T(1521), 0x74, 0x00},    {kColDecode, "7", 0x70, 0x07},
      {kColAutoResponse, T(1149), 0xF0, 0x00},
  };
  for (const auto& c : cases) {
    Image image = Blank();
    ChannelFields f = NewChannelFields("145.00000", 0);
    f.at(c.column) = c.item;
    ASSERT_TRUE(StoreChannel(image, 1, f, 0).ok()) << c.item;
    EXPECT_EQ(image[0x1D], c.flagsA) << c.column << " " << c.item;
    EXPECT_EQ(image[0x1E], c.flagsB) << c.column << " " << c.item;
  }
}

// Every value of every flag field: a value that is an item's stores back
// identical, any other shows and stores the first item; bits outside the
// field never change.
TEST(StoreChannel, EveryFlagValueRoundTrips) {
  for (const ChannelFlagField& field : ChannelFlagFields()) {
    for (unsigned value = 0; value < 256; ++value) {
      for (std::uint8_t other : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        Image image = Blank();
        RawChannel raw;
        raw.flagsA = field.byte == ChannelOffset::kFlagsA ? std::uint8_t(value) : other;
        raw.flagsB = field.byte == ChannelOffset::kFlagsB ? std::uint8_t(value) : other;
        PutChannel(image, 9, raw);
        const std::size_t address = Address(ChannelRow(9), field.byte);
        const std::uint8_t before = image[address];
        const std::uint8_t bits = before & field.mask;
        const bool isItem = std::find(field.stored.begin(), field.stored.end(), bits) != field.stored.end();
        SCOPED_TRACE(testing::Message() << "column " << field.column << " value " << value << " other " << int(other));
        // Store only this field: the other fields keep their bytes.
        ChannelFields shown = ReadChannel(image, 9, 0);
        Image stored = image;
        ASSERT_TRUE(StoreChannel(stored, 9, shown, 0).ok());
        EXPECT_EQ(stored[address] & field.mask, isItem ? bits : field.stored.front());
        EXPECT_EQ(shown.at(field.column), ChannelListItems(field.column, 0)[FlagItem(field, RowOf(image, 9))]);
        Image only = image;
        StoreFlagItem(field, FlagItem(field, RowOf(image, 9)), RowOf(only, 9));
        EXPECT_EQ(only[address] & ~field.mask, before & ~field.mask);
      }
    }
  }
}

// The rules for a channel that starts and for one without Tx, as the grid,
// the document and the CSV import apply them.
TEST(ChannelFields, RxAndTxRules) {
  ChannelFields programmed = NewChannelFields("145.00000", 0);
  programmed.encodeTone = "D023N";
  programmed.power = T(1148);
  ChannelFields named;
  named.name = "GATE  ";
  ChannelFields started = NewChannelFields("146.00000", 0);
  started.name = "GATE  ";
  ChannelFields noTx = programmed;
  noTx.tx = noTx.encodeTone = "";
  ChannelFields otherTx = programmed;
  otherTx.tx = "150.00000";
  ChannelFields newTx = noTx;
  newTx.tx = "150.00000";
  newTx.encodeTone = T(1137, 1);
  ChannelFields otherRx = programmed;
  otherRx.rx = "146.00000";
  struct Case {
    const char* name;
    ChannelFields result, expected;
  };
  const Case cases[] = {
      {"an empty channel starts from the defaults and keeps its name", WithRx(named, "146.00000", 0), started},
      {"a programmed channel changes only its Rx", WithRx(programmed, "146.00000", 0), otherRx},
      {"no Tx, no encode tone", WithTx(programmed, "", 0), noTx},
      {"a Tx that changes keeps its tone", WithTx(programmed, "150.00000", 0), otherTx},
      {"a new Tx starts with None", WithTx(noTx, "150.00000", 1), newTx},
  };
  for (const auto& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;
}

TEST(StoreChannel, EmptyTxStoresNoTxAndNoEncodeTone) {
  Image image = Blank();
  ChannelFields f = NewChannelFields("145.00000", 0);
  f.tx = "";
  f.encodeTone = "88.5";
  ASSERT_TRUE(StoreChannel(image, 1, f, 0).ok());
  for (std::size_t column : {4u, 5u, 6u, 7u, 10u, 11u}) EXPECT_EQ(image[Address(1, column)], 0xFF) << column;
  const ChannelFields back = ReadChannel(image, 1, 0);
  EXPECT_EQ(back.tx, "");
  EXPECT_EQ(back.encodeTone, "");
}

TEST(StoreChannel, EmptyRxClearsTheChannel) {
  Image image = test::RandomChannelImage(5);
  ASSERT_TRUE(StoreChannel(image, 5, ChannelFields{}, 0).ok());
  for (std::size_t a = 0x50; a < 0x60; ++a) EXPECT_EQ(image[a], 0xFF);
  for (std::size_t a = 0x1050; a < 0x1060; ++a) EXPECT_EQ(image[a], 0xFF);
}

TEST(ClearChannel, SetsBothRowsToFF) {
  Image image = test::RandomChannelImage(9);
  const Image before = image;
  ClearChannel(image, 5);
  for (std::size_t a = 0; a < kImageSize; ++a) {
    const bool cleared = (a >= 0x50 && a < 0x60) || (a >= 0x1050 && a < 0x1060);
    EXPECT_EQ(image[a], cleared ? 0xFF : before[a]) << std::hex << a;
  }
}

TEST(StoreChannel, InvalidTextsAreRefusedAndNothingIsTouched) {
  struct Case {
    int column;
    const char* text;
  };
  const Case cases[] = {
      {kColRx, "abc"},           {kColRx, "145.5"},         {kColTx, "1450.00000"},    {kColTx, "14a.00000"},
      {kColDecodeTone, "88.6"},  {kColDecodeTone, "D024N"}, {kColEncodeTone, "D023X"}, {kColEncodeTone, "tone"},
      {kColPower, "Medium"},     {kColScanAdd, ""},         {kColBandwidth, "wide"},   {kColBcl, "On"},
      {kColName, "abc"},         {kColName, "TOOLONG"},     {kColName, "A-B"},         {kColOption, "Both"},
      {kColScramblerNo, "9"},    {kColScramblerNo, "0"},    {kColOptSignal, "DTMF"},   {kColDecode, "8"},
      {kColAutoResponse, "Yes"},
  };
  for (const auto& c : cases) {
    const Image original = test::RandomChannelImage(11);
    Image image = original;
    ChannelFields f = NewChannelFields("145.00000", 0);
    f.at(c.column) = c.text;
    const Status stored = StoreChannel(image, 12, f, 0);
    EXPECT_FALSE(stored.ok()) << c.column << " " << c.text;
    EXPECT_NE(stored.error().find(c.text), std::string::npos) << stored.error();
    EXPECT_NE(stored.error().find("channel 12"), std::string::npos) << stored.error();
    EXPECT_EQ(image, original) << c.column << " " << c.text;
  }
}

TEST(StoreChannel, ItemsOfTheOtherLanguageAreRefused) {
  Image image = Blank();
  EXPECT_FALSE(StoreChannel(image, 1, NewChannelFields("145.00000", 1), 0).ok());
  EXPECT_EQ(image, Blank());
}

TEST(StoreChannel, ToneOutsideTheListSurvivesWhenUnchanged) {
  Image image = Blank();
  PutChannel(image, 3, RawChannel{});
  image[Address(3, 8)] = 0x00;  // CTCSS 0.0, which the list does not hold
  image[Address(3, 9)] = 0x00;
  image[Address(3, 10)] = 0x00;  // DCS D000N
  image[Address(3, 11)] = 0x28;
  const Image original = image;
  ChannelFields f = ReadChannel(image, 3, 0);
  EXPECT_EQ(f.decodeTone, "0.0");
  EXPECT_EQ(f.encodeTone, "D000N");
  ASSERT_TRUE(StoreChannel(image, 3, f, 0).ok());
  EXPECT_EQ(image, original);
  f.decodeTone = "0.1";
  EXPECT_FALSE(StoreChannel(image, 3, f, 0).ok());
  EXPECT_EQ(image, original);
}

TEST(StoreChannel, UnknownToneKindIsStoredAsNone) {
  Image image = Blank();
  PutChannel(image, 3, RawChannel{});
  image[Address(3, 9)] = 0x10;
  ASSERT_TRUE(StoreChannel(image, 3, ReadChannel(image, 3, 0), 0).ok());
  EXPECT_EQ(image[Address(3, 8)], 0xFF);
  EXPECT_EQ(image[Address(3, 9)], 0xFF);
}

TEST(ChannelFields, ColumnsMapToFields) {
  ChannelFields f;
  for (int column = 1; column < kChannelColumns; ++column) f.at(column) = std::to_string(column);
  EXPECT_EQ(f.rx, "1");
  EXPECT_EQ(f.name, "9");
  EXPECT_EQ(f.autoResponse, "14");
}

TEST(ChannelListItems, ListsInOrder) {
  EXPECT_EQ(ChannelListItems(kColPower, 0), (std::vector<std::string>{"High", "Low"}));
  EXPECT_EQ(ChannelListItems(kColOptSignal, 0), (std::vector<std::string>{"Off", "MSK", "2-Tone", "5-Tone"}));
  EXPECT_EQ(ChannelListItems(kColOptSignal, 1)[1], "MSK");
  EXPECT_EQ(ChannelListItems(kColScramblerNo, 0).size(), 8u);
  EXPECT_EQ(ChannelListItems(kColDecode, 0).front(), "0");
  EXPECT_TRUE(ChannelListItems(kColName, 0).empty());
}

}  // namespace
}  // namespace orvex

// Frequency bytes that are not packed BCD are radio data the editor cannot
// show as a number: the channel stays programmed and a store of what was read
// keeps every byte instead of clearing it.
namespace orvex {
namespace {
TEST(ChannelRecordForeignBytes, NonBcdFrequencySurvivesReadAndStore) {
  Image image = BlankImage();
  const std::array<std::uint8_t, 16> record = {0x00, 0x25, 0xA0, 0x14, 0x00, 0x25, 0x61, 0x14,
                                               0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x00, 0xFF};
  std::copy(record.begin(), record.end(), RowOf(image, 3).begin());
  std::fill_n(RowOf(image, 256 + 3).begin(), 6, std::uint8_t{38});  // a name of six spaces
  ASSERT_TRUE(IsProgrammed(image, 3));
  const ChannelFields fields = ReadChannel(image, 3, 0);
  EXPECT_EQ(fields.rx, "14A.02500");
  const Image before = image;
  ASSERT_TRUE(StoreChannel(image, 3, fields, 0));
  EXPECT_EQ(image, before);
}
}  // namespace
}  // namespace orvex
