// The codeplug document: export then import gives the same bytes for any
// image, one edited value changes only its own bits, and bad documents are
// refused with the path of every bad value.

#include "model/document/codeplug_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "model/channels/channel_record.h"
#include "model/settings/frequency_mode.h"
#include "test_images.h"

namespace orvex {
namespace {

using test::Rng;

Image RandomImage(unsigned seed) {
  Rng rng(seed);
  Image image;
  for (auto& b : image) b = static_cast<std::uint8_t>(rng());
  return image;
}

// A varied image with a share of its bytes made random, so values sit next
// to bytes no window would write (0x88 flags, tones off the list, codes
// outside every table).
Image RoughImage(unsigned seed) {
  Rng rng(seed);
  Image image = test::VariedImage(seed);
  for (auto& b : image)
    if (rng() % 8 == 0) b = static_cast<std::uint8_t>(rng());
  return image;
}

const CodeplugValue* FindValue(std::string_view label) {
  for (const auto& v : CodeplugValues())
    if (v.label == label) return &v;
  return nullptr;
}

// The node at a path of a document, created on the way.
DocNode& At(DocNode& node, std::span<const PathStep> path) {
  DocNode* n = &node;
  for (const auto& step : path) {
    if (step.kind == PathStep::Kind::Key) {
      if (n->isNull()) n->value = DocMembers{};
      auto& members = std::get<DocMembers>(n->value);
      auto it = std::find_if(members.begin(), members.end(), [&](const auto& m) { return m.first == step.key; });
      if (it == members.end()) it = members.insert(members.end(), {step.key, DocNode{}});
      n = &it->second;
    } else {
      if (n->isNull()) n->value = DocItems{};
      auto& items = std::get<DocItems>(n->value);
      if (step.kind == PathStep::Kind::Index) {
        if (items.size() <= step.number) items.resize(step.number + 1);
        n = &items[step.number];
      } else {
        auto it = std::find_if(items.begin(), items.end(), [&](const DocNode& item) {
          const DocNode* number = item.member("number");
          return number && *number->number() == static_cast<double>(step.number);
        });
        if (it == items.end())
          it = items.insert(items.end(), DocNode{DocMembers{{"number", DocNode{double(step.number)}}}});
        n = &*it;
      }
    }
  }
  return *n;
}

DocNode Doc(std::initializer_list<std::pair<const char*, const char*>> leaves) {
  DocNode doc{DocMembers{}};
  for (const auto& [label, text] : leaves) {
    const CodeplugValue* v = FindValue(label);
    EXPECT_NE(v, nullptr) << label;
    if (v) At(doc, v->path).value = std::string(text);
  }
  return doc;
}

TEST(CodeplugDocumentTest, ExportThenImportKeepsEveryByte) {
  std::vector<Image> images = {BlankImage(), Image{}};
  images.back().fill(0xFF);
  for (unsigned seed = 1; seed <= 12; ++seed) {
    images.push_back(RandomImage(seed));
    images.push_back(test::VariedImage(seed));
    images.push_back(RoughImage(seed));
  }
  for (std::size_t i = 0; i < images.size(); ++i) {
    const DocNode doc = ExportDocument(images[i]);
    // Whatever the base, the rows decide.
    for (const Image& base : {BlankImage(), RandomImage(99)}) {
      const auto back = ImportDocument(base, doc);
      ASSERT_TRUE(back.ok()) << "image " << i << ": " << back.error();
      EXPECT_TRUE(*back == images[i]) << "image " << i;
    }
  }
}

TEST(CodeplugDocumentTest, ValuesWithoutRowsRebuildAnImage) {
  // Without the memory rows the named values alone are applied onto the
  // base.  Offsets off the list and scrambler counts outside 3000..5000 Hz
  // are shown but cannot be set, so the image keeps to what windows set.
  Image image = test::VariedImage(3);
  for (std::size_t row : {0x1810, 0x1820})
    for (std::size_t i = 0; i < 6; ++i) image[row + 1 + i] = i == 2 ? 6 : 0;
  image[0x0E29] = 0x27;
  image[0x0E2A] = 0x78;
  DocNode doc = ExportDocument(image);
  auto& members = std::get<DocMembers>(doc.value);
  std::erase_if(members, [](const auto& m) { return m.first == "memory"; });
  const auto back = ImportDocument(BlankImage(), doc);
  ASSERT_TRUE(back.ok()) << back.error();
  for (const auto& v : CodeplugValues()) EXPECT_EQ(v.read(*back), v.read(image)) << v.label;
}

TEST(CodeplugDocumentTest, MissingOrNullKeepsTheBytes) {
  const Image image = RoughImage(5);
  for (const char* json : {"empty", "nulls"}) {
    DocNode doc{DocMembers{}};
    if (std::string(json) == "nulls")
      doc = DocNode{DocMembers{{"channels", DocNode{DocItems{DocNode{}}}},
                               {"options", DocNode{}},
                               {"memory", DocNode{DocMembers{{"0010", DocNode{}}}}}}};
    const auto back = ImportDocument(image, doc);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_TRUE(*back == image) << json;
  }
}

struct Edit {
  const char* label;
  std::vector<const char*> texts;  // the first that differs from what the image shows is used
};

// A value of every area, the channel fields all of them.
const Edit kEdits[] = {
    {"channel 7 Rx Freq", {"145.50000", "146.00000"}},
    {"channel 7 Tx Freq", {"145.50000", "146.00000"}},
    {"channel 7 CTC/DCS Dec.", {"88.5", "D023N"}},
    {"channel 7 CTC/DCS Enc.", {"88.5", "D023N"}},
    {"channel 7 TX Power", {"High", "Low"}},
    {"channel 7 Scan Add", {"Yes", "No"}},
    {"channel 7 W/N", {"Wide", "Narrow"}},
    {"channel 7 BCL", {"Off", "Carrier"}},
    {"channel 7 Name", {"HELLO ", "WORLD "}},
    {"channel 7 OPTION", {"Compand", "Scramble"}},
    {"channel 7 Scrambler No.", {"3", "5"}},
    {"channel 7 Opt.Signal", {"MSK", "5-Tone"}},
    {"channel 7 Decode", {"3", "6"}},
    {"channel 7 AutoResponse", {"On", "Off"}},
    {"option vox_level", {"3", "5"}},
    {"option menu_available", {"On", "Off"}},
    {"option backlight_delay", {"On", "Off"}},
    {"option mode_change_password", {"123456", "654321"}},
    {"option ani_code", {"A*3", "12"}},
    {"option auto_reset_timer", {"5", "Off"}},
    {"option priority_channel", {"128", "7"}},
    {"frequency mode A current", {"145.50000", "146.00000"}},
    {"frequency mode A shift", {"Plus Shift", "Minus Shift"}},
    {"frequency mode B offset", {"00.600", "05.000"}},
    {"frequency mode B tx_power", {"High", "Low"}},
    {"frequency mode A rx_tone", {"88.5", "D023N"}},
    {"frequency mode B step", {"25", "5"}},
    {"frequency mode A tx_frequency", {"145.50000", "146.00000"}},
    {"side key function", {"Scan", "Lamp"}},
    {"scrambler frequency", {"4000", "3500"}},
    {"2-Tone call 3 Tone A", {"1000.0", "1200.5"}},
    {"2-Tone call 3 GAP Time", {"100", "50"}},
    {"2-Tone decode 2 Group Call", {"1500.0", "-"}},
    {"5-Tone decode 4 Standard", {"EIA", "ZVEI1"}},
    {"5-Tone decode 4 ID", {"12345", "ABCD0"}},
    {"5-Tone Respond Waiting Time", {"15s", "20s"}},
    {"5-Tone Fix Digit", {"3", "4"}},
    {"MSK call 2", {"7A", "1234"}},
    {"MSK ID code 9", {"F", "ABC"}},
    {"MSK Repeater MSK Invert", {"On", "Off"}},
};

class SingleEditTest : public ::testing::TestWithParam<Edit> {};

TEST_P(SingleEditTest, ChangesOnlyItsOwnBits) {
  const Edit& edit = GetParam();
  const CodeplugValue* v = FindValue(edit.label);
  ASSERT_NE(v, nullptr) << edit.label;
  for (unsigned seed = 1; seed <= 4; ++seed) {
    Image image = seed % 2 ? test::VariedImage(seed) : RoughImage(seed);
    if (!IsProgrammed(image, 7)) {
      ASSERT_TRUE(StoreChannel(image, 7, NewChannelFields("145.00000", 0), 0).ok());
    }
    // A Call List GAP shows only while both tones are set.
    for (std::size_t a : {0x1C5F, 0x1C61}) {
      image[a] = 0x27;
      image[a + 1] = 0x10;
    }
    const std::string before = v->read(image);
    const auto text = std::find_if(edit.texts.begin(), edit.texts.end(), [&](const char* t) { return before != t; });
    DocNode doc = ExportDocument(image);
    At(doc, v->path).value = std::string(*text);
    const auto edited = ImportDocument(image, doc);
    ASSERT_TRUE(edited.ok()) << edit.label << ": " << edited.error();
    EXPECT_EQ(v->read(*edited), *text) << edit.label << " seed " << seed;

    std::vector<std::uint8_t> allowed(kImageSize, 0);
    for (const auto& b : v->bits) allowed[b.address] |= b.mask;
    // Giving a channel without Tx a Tx also gives it encode tone None.
    if (std::string(edit.label) == "channel 7 Tx Freq")
      for (const auto& b : FindValue("channel 7 CTC/DCS Enc.")->bits) allowed[b.address] |= b.mask;
    for (std::size_t a = 0; a < kImageSize; ++a)
      ASSERT_EQ((image[a] ^ (*edited)[a]) & ~allowed[a], 0)
          << edit.label << " seed " << seed << " changed address " << a;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryArea, SingleEditTest, ::testing::ValuesIn(kEdits));

TEST(CodeplugDocumentTest, ValuesOwnDisjointBits) {
  std::vector<std::uint8_t> owned(kImageSize, 0);
  for (const auto& v : CodeplugValues())
    for (const auto& b : v.bits) {
      EXPECT_EQ(owned[b.address] & b.mask, 0) << v.label << " shares address " << b.address;
      owned[b.address] |= b.mask;
    }
}

TEST(CodeplugDocumentTest, LossyBytesSurviveANeighbourEdit) {
  Image image = BlankImage();
  ASSERT_TRUE(StoreChannel(image, 1, NewChannelFields("145.00000", 0), 0).ok());
  image[0x1E] = 0x88;    // OPTION reads Off, both bits set
  image[0x1D] = 0x73;    // Opt.Signal 3 reads Off
  image[0x1C50] = 0x7D;  // Call List 0 tone A 3225.5 Hz reads "3000"
  image[0x1C51] = 0xFF;
  const auto edited = ImportDocument(
      image,
      Doc({{"channel 1 Scrambler No.", "3"}, {"channel 1 TX Power", "Low"}, {"2-Tone call 0 Tone B", "1000.0"}}));
  ASSERT_TRUE(edited.ok()) << edited.error();
  EXPECT_EQ((*edited)[0x1E], 0xA8);
  EXPECT_EQ((*edited)[0x1D], 0x53);
  EXPECT_EQ((*edited)[0x1C50], 0x7D);
  EXPECT_EQ((*edited)[0x1C51], 0xFF);
  EXPECT_EQ((*edited)[0x1C52], 0x27);
  EXPECT_EQ((*edited)[0x1C53], 0x10);
}

TEST(CodeplugDocumentTest, ChannelsAreCreatedAndCleared) {
  const Image blank = BlankImage();
  const auto created = ImportDocument(blank, Doc({{"channel 5 Rx Freq", "145.5"}, {"channel 5 Name", "HOME"}}));
  ASSERT_TRUE(created.ok()) << created.error();
  ChannelFields expected = NewChannelFields("145.50000", 0);
  expected.name = "HOME  ";
  EXPECT_EQ(ReadChannel(*created, 5, 0), expected);
  EXPECT_EQ((*created)[0x50 + 12], 0xFF);

  const auto cleared = ImportDocument(*created, Doc({{"channel 5 Rx Freq", ""}}));
  ASSERT_TRUE(cleared.ok()) << cleared.error();
  EXPECT_TRUE(*cleared == blank);

  // No Tx: the encode tone goes with it, as in the channel window.
  const auto noTx = ImportDocument(*created, Doc({{"channel 5 Tx Freq", ""}}));
  ASSERT_TRUE(noTx.ok());
  EXPECT_EQ(ReadChannel(*noTx, 5, 0).tx, "");
  EXPECT_EQ((*noTx)[0x54], 0xFF);
  EXPECT_EQ((*noTx)[0x5A], 0xFF);
}

TEST(CodeplugDocumentTest, FrequencyModeCurrentLeavesTheTransmitFrequency) {
  const Image blank = BlankImage();
  const auto edited =
      ImportDocument(blank, Doc({{"frequency mode A current", "145.00000"}, {"frequency mode A shift", "Plus Shift"}}));
  ASSERT_TRUE(edited.ok()) << edited.error();
  EXPECT_EQ(FrequencyModeText(*edited, kGroupA, FreqModeField::Current, {}), "145.00000");
  EXPECT_EQ(FrequencyModeText(*edited, kGroupA, FreqModeField::TxFrequency, {}), "400.02500");
}

struct BadDoc {
  const char* name;
  std::vector<std::pair<const char*, const char*>> leaves;  // label, text
  const char* path;                                         // in the error
  const char* why;
};

const BadDoc kBadValues[] = {
    {"off-raster frequency", {{"channel 1 Rx Freq", "145.503"}}, "$.channels[0].rx", "nearest is 145.50000"},
    {"out of range", {{"channel 1 Rx Freq", "700"}}, "$.channels[0].rx", "nearest is 400.02500"},
    {"finer than 10 Hz", {{"channel 1 Tx Freq", "145.500001"}}, "$.channels[0].tx", "not a frequency in MHz"},
    {"not a frequency", {{"frequency mode B current", "abc"}}, "$.frequency_modes.B.current", "not a frequency"},
    {"tone not in the list", {{"channel 1 CTC/DCS Dec.", "89.0"}}, "$.channels[0].decode_tone", "89.0"},
    {"list item", {{"channel 1 TX Power", "Hi"}}, "$.channels[0].power", "is not one of"},
    {"lower-case name", {{"channel 1 Name", "abc"}}, "$.channels[0].name", "six characters"},
    {"option item", {{"option vox_level", "11"}}, "$.options.vox_level", "not an item"},
    {"clamped number", {{"option auto_reset_timer", "99"}}, "$.options.auto_reset_timer", "0..15"},
    {"password", {{"option reset_password", "12a"}}, "$.options.reset_password", "only digits"},
    {"scrambler range", {{"scrambler frequency", "9000"}}, "$.scrambler.frequency", "3000 to 5000"},
    {"2-Tone non-number", {{"2-Tone call 3 Tone A", "1.2.3"}}, "$.two_tone.call_list[3].tone_a", "1.2.3"},
    {"5-Tone ID", {{"5-Tone decode 0 ID", "XYZ"}}, "$.five_tone.decode[0].id", "XYZ"},
    {"MSK code", {{"MSK call 0", "12345"}}, "$.msk.call_list[0]", "12345"},
    {"MSK switch", {{"MSK Repeater MSK Invert", "yes"}}, "$.msk.repeater_invert", "neither On nor Off"},
    {"unprogrammed channel", {{"channel 9 TX Power", "Low"}}, "$.channels[0].power", "not programmed"},
};

class BadValueTest : public ::testing::TestWithParam<BadDoc> {};

TEST_P(BadValueTest, IsReportedWithItsPath) {
  const BadDoc& bad = GetParam();
  Image image = BlankImage();
  ASSERT_TRUE(StoreChannel(image, 1, NewChannelFields("145.00000", 0), 0).ok());
  DocNode doc{DocMembers{}};
  for (const auto& [label, text] : bad.leaves) {
    const CodeplugValue* v = FindValue(label);
    ASSERT_NE(v, nullptr) << label;
    At(doc, v->path).value = std::string(text);
  }
  // A good value beside the bad one is not applied either: nothing is returned.
  At(doc, FindValue("option scan_mode")->path).value = std::string("Carrier");
  const auto result = ImportDocument(image, doc);
  ASSERT_FALSE(result.ok()) << bad.name;
  EXPECT_NE(result.error().find(std::string(bad.path) + ": "), std::string::npos) << result.error();
  EXPECT_NE(result.error().find(bad.why), std::string::npos) << result.error();
}

INSTANTIATE_TEST_SUITE_P(Values, BadValueTest, ::testing::ValuesIn(kBadValues));

struct BadShape {
  const char* name;
  DocNode doc;
  const char* error;
};

TEST(CodeplugDocumentTest, BadShapesAreReportedWithTheirPath) {
  const auto text = [](const char* t) { return DocNode{std::string(t)}; };
  const auto object = [](DocMembers m) { return DocNode{std::move(m)}; };
  const auto array = [](DocItems i) { return DocNode{std::move(i)}; };
  const BadShape cases[] = {
      {"not an object", array({}), "$: the document must be an object"},
      {"unknown section", object({{"extras", text("1")}}), "$.extras: unknown key"},
      {"unknown option", object({{"options", object({{"bogus", text("1")}})}}), "$.options.bogus: unknown key"},
      {"number for a text", object({{"options", object({{"vox_level", DocNode{5.0}}})}}),
       "$.options.vox_level: must be a text"},
      {"section not an object", object({{"options", text("x")}}), "$.options: must be an object"},
      {"list too long", object({{"msk", object({{"call_list", array(DocItems(9, text("1")))}})}}),
       "$.msk.call_list[8]: the list has only 8 entries"},
      {"channel without number", object({{"channels", array({object({{"rx", text("145.5")}})})}}),
       "$.channels[0]: must be an object with a \"number\""},
      {"channel out of range", object({{"channels", array({object({{"number", DocNode{129.0}}})})}}),
       "$.channels[0].number: there is no entry"},
      {"channel twice",
       object({{"channels", array({object({{"number", DocNode{3.0}}}), object({{"number", DocNode{3.0}}})})}}),
       "$.channels[1].number: entry 3 is listed twice"},
      {"unknown channel field", object({{"channels", array({object({{"number", DocNode{3.0}}, {"rxx", text("")}})})}}),
       "$.channels[0].rxx: unknown key"},
      {"format", object({{"format", text("other")}}), "$.format: must be \"orvex-codeplug\""},
      {"version", object({{"version", DocNode{2.0}}}), "$.version: this program reads version 1"},
      {"row address", object({{"memory", object({{"0011", text("")}})}}), "$.memory.0011: is not a row address"},
      {"row beyond", object({{"memory", object({{"2000", text("")}})}}), "$.memory.2000: is not a row address"},
      {"short row", object({{"memory", object({{"0010", text("FF FF")}})}}), "$.memory.0010: \"FF FF\" has 2 bytes"},
      {"bad hex", object({{"memory", object({{"0010", text("GG FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF")}})}}),
       "$.memory.0010: \"GG"},
  };
  for (const auto& c : cases) {
    const auto result = ImportDocument(BlankImage(), c.doc);
    ASSERT_FALSE(result.ok()) << c.name;
    EXPECT_NE(result.error().find(c.error), std::string::npos) << c.name << ": " << result.error();
  }
}

// A Call List entry stores what the grid's row rules say, whatever order
// the document gives its cells in: no GAP without two tones, and two tones
// always with one (100 ms when none is given).
TEST(CodeplugDocumentTest, TwoToneCallListStoresTheGridRules) {
  using Entry = std::array<std::uint8_t, 5>;  // tone A, tone B, GAP
  constexpr Entry kFull = {0x27, 0x10, 0x2E, 0xE0, 0x32};
  struct Case {
    const char* name;
    Entry before;
    const char *toneA, *toneB, *gap;
    Entry after;
  };
  const Case cases[] = {
      {"emptied", kFull, "", "", "", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"tone B removed", kFull, "1000.0", "", "50", {0x27, 0x10, 0xFF, 0xFF, 0xFF}},
      {"new, no GAP", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "1000.0", "1200.0", "", {0x27, 0x10, 0x2E, 0xE0, 0x64}},
      {"GAP emptied", kFull, "1000.0", "1200.0", "", {0x27, 0x10, 0x2E, 0xE0, 0x64}},
      {"stored 0xFF GAP emptied",
       {0x27, 0x10, 0x2E, 0xE0, 0xFF},
       "1000.0",
       "1200.0",
       "",
       {0x27, 0x10, 0x2E, 0xE0, 0x64}},
  };
  for (const Case& c : cases) {
    Image image = BlankImage();
    std::copy(c.before.begin(), c.before.end(), image.begin() + 0x1C55);  // entry 1
    const auto edited = ImportDocument(
        image,
        Doc({{"2-Tone call 1 Tone A", c.toneA}, {"2-Tone call 1 Tone B", c.toneB}, {"2-Tone call 1 GAP Time", c.gap}}));
    ASSERT_TRUE(edited.ok()) << c.name << ": " << edited.error();
    EXPECT_TRUE(std::equal(c.after.begin(), c.after.end(), edited->begin() + 0x1C55)) << c.name;
  }
}

// Entry numbers beyond any integer (or not whole) are refused before they are
// converted; the sanitizer build checks there is no undefined conversion.
TEST(CodeplugDocumentTest, EntryNumbersOutOfRangeAreRefused) {
  for (const double number : {1e300, -1e300, 9.3e18, -1.0, 2.5, std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()}) {
    const DocNode doc{DocMembers{{"channels", DocNode{DocItems{DocNode{DocMembers{{"number", DocNode{number}}}}}}}}};
    const auto result = ImportDocument(BlankImage(), doc);
    ASSERT_FALSE(result.ok()) << number;
    EXPECT_NE(result.error().find("there is no entry"), std::string::npos) << result.error();
  }
}

// Errors are capped and a long bad value is quoted by a short prefix.
TEST(CodeplugDocumentTest, ErrorReportsStaySmall) {
  DocMembers options;
  for (int i = 0; i < 30; ++i) options.emplace_back("bogus" + std::to_string(i), DocNode{std::string("1")});
  std::string longKey(100000, 'k');
  options.emplace_back(std::move(longKey), DocNode{std::string("1")});
  const auto result = ImportDocument(BlankImage(), DocNode{DocMembers{{"options", DocNode{std::move(options)}}}});
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(std::count(result.error().begin(), result.error().end(), '\n'), 20);
  EXPECT_NE(result.error().find("... and 11 more errors"), std::string::npos) << result.error();
  EXPECT_LT(result.error().size(), 2000u);
}

TEST(CodeplugDocumentTest, MemoryRowsAreWrittenBeforeTheValues) {
  DocNode doc{DocMembers{
      {"memory",
       DocNode{DocMembers{{"0e20", DocNode{std::string("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F")}}}}},
      {"options", DocNode{DocMembers{{"vox_level", DocNode{std::string("5")}}}}}}};
  const auto result = ImportDocument(BlankImage(), doc);
  ASSERT_TRUE(result.ok()) << result.error();
  EXPECT_EQ((*result)[0x0E20], 0x00);
  EXPECT_EQ((*result)[0x0E26], 0x06);
  EXPECT_EQ((*result)[0x0E27], 5);  // vox_level
}

TEST(CodeplugDocumentTest, HexRowsRoundTrip) {
  const Image image = RandomImage(7);
  for (std::size_t row = 0; row < kRowCount; ++row) {
    const std::string text = HexRow(RowOf(image, row));
    ASSERT_EQ(text.size(), 47u);
    const auto bytes = ParseHexRow(text);
    ASSERT_TRUE(bytes.ok());
    EXPECT_TRUE(std::equal(bytes->begin(), bytes->end(), RowOf(image, row).begin()));
  }
  for (const char* bad :
       {"", "FF", "FFF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF",
        "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF", "F FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF"})
    EXPECT_FALSE(ParseHexRow(bad).ok()) << bad;
}

TEST(CodeplugDocumentTest, ExportLeavesOutUnprogrammedChannels) {
  Image image = BlankImage();
  ASSERT_TRUE(StoreChannel(image, 12, NewChannelFields("145.50000", 0), 0).ok());
  const DocNode doc = ExportDocument(image);
  const auto* channels = doc.member("channels")->items();
  ASSERT_NE(channels, nullptr);
  ASSERT_EQ(channels->size(), 1u);
  EXPECT_EQ(*(*channels)[0].member("number")->number(), 12.0);
  EXPECT_EQ(*(*channels)[0].member("rx")->text(), "145.50000");
  EXPECT_EQ(*doc.member("format")->text(), kDocumentFormat);
  EXPECT_EQ(doc.member("memory")->members()->size(), kRowCount);
  EXPECT_EQ(doc.member("memory")->members()->at(1).first, "0010");
}

}  // namespace
}  // namespace orvex
