// Per-radio values: which CSVs are refused and why, a row applied exactly as
// the JSON import applies the same values, and how rows go to radios.

#include "model/document/radio_values.h"

#include <gtest/gtest.h>

#include <string>

#include "model/channels/channel_record.h"
#include "test_images.h"

namespace orvex {
namespace {

struct BadCsv {
  const char* csv;
  const char* reason;  // part of the message
};

class RadioValuesRefused : public ::testing::TestWithParam<BadCsv> {};

TEST_P(RadioValuesRefused, NamesTheProblemAndItsLine) {
  const auto values = ParseRadioValues(GetParam().csv);
  ASSERT_FALSE(values.ok());
  EXPECT_NE(values.error().find(GetParam().reason), std::string::npos) << values.error();
}

INSTANTIATE_TEST_SUITE_P(Csv, RadioValuesRefused,
                         ::testing::Values(BadCsv{"", "empty"}, BadCsv{"options.ani_code\n", "no column \"port\""},
                                           BadCsv{"port,options.no_such\n",
                                                  "line 1: \"options.no_such\" is not a value"},
                                           BadCsv{"port,channels.129.name\n", "\"channels.129.name\" is not a value"},
                                           BadCsv{"port,channels.1.name,channels.1.name\n", "named twice"},
                                           BadCsv{"port,port\n", "named twice"},
                                           BadCsv{"port,options.ani_code\n/dev/a,1,2\n", "line 2: more cells"},
                                           BadCsv{"port,options.ani_code\n\n ,123\n", "line 3: no port"},
                                           BadCsv{"port,options.ani_code\n\"next,1\n", "line 2"}));

TEST(RadioValues, ReadsPortsNextAndCells) {
  const auto values = ParseRadioValues("channels.1.name, port ,options.ani_code\r\nCAR1,/dev/a,\r\n,next,456\r\n");
  ASSERT_TRUE(values.ok()) << values.error();
  EXPECT_EQ(values->columns, (std::vector<std::string>{"channels.1.name", "options.ani_code"}));
  ASSERT_EQ(values->rows.size(), 2u);
  EXPECT_EQ(values->rows[0].port, "/dev/a");
  EXPECT_EQ(values->rows[0].cells, (std::vector<std::string>{"CAR1", ""}));
  EXPECT_EQ(values->rows[1].port, "");  // next
  EXPECT_EQ(values->rows[1].line, 3u);
}

// A row is the JSON document holding its values; empty cells keep the bytes.
TEST(RadioValues, RowAppliesAsTheImportOfTheSameDocument) {
  const Image base = test::VariedImage(7);
  const auto values = ParseRadioValues("port,channels.1.name,options.ani_code,channels.2.rx\nnext,CAR1,123456,\n");
  ASSERT_TRUE(values.ok()) << values.error();
  const DocNode expected{DocMembers{
      {"channels", DocNode{DocItems{DocNode{DocMembers{{"number", DocNode{1.0}}, {"name", DocNode{"CAR1"}}}}}}},
      {"options", DocNode{DocMembers{{"ani_code", DocNode{"123456"}}}}}}};
  const auto byImport = ImportDocument(base, expected);
  const auto byRow = ApplyRow(base, *values, values->rows[0]);
  ASSERT_TRUE(byImport.ok()) << byImport.error();
  ASSERT_TRUE(byRow.ok()) << byRow.error();
  EXPECT_EQ(*byRow, *byImport);
  EXPECT_NE(*byRow, base);
}

// A refused value is named by its column as the CSV writes it.
TEST(RadioValues, RefusedValueNamesItsColumn) {
  const auto values = ParseRadioValues("port,options.ani_code,channels.1.rx\nnext,12X4,145.5001\n");
  ASSERT_TRUE(values.ok()) << values.error();
  const auto applied = ApplyRow(test::VariedImage(3), *values, values->rows[0]);
  ASSERT_FALSE(applied.ok());
  EXPECT_EQ(applied.error().rfind("channels.1.rx: ", 0), 0u) << applied.error();
  EXPECT_NE(applied.error().find("\noptions.ani_code: "), std::string::npos) << applied.error();
  EXPECT_EQ(applied.error().find("$."), std::string::npos) << applied.error();
}

// Names are taken as typing or a channel CSV takes them.
TEST(RadioValues, NamesAreTakenAsTyped) {
  const std::pair<const char*, const char*> cases[] = {
      {"Gate", "GATE  "}, {"G\xC3\xA4te", "GATE  "}, {"gate 12", "GATE 1"}, {"a!b", "A B   "}};
  for (const auto& [cell, stored] : cases) {
    const auto values = ParseRadioValues(std::string("port,channels.1.name\nnext,") + cell + "\n");
    ASSERT_TRUE(values.ok()) << values.error();
    const auto applied = ApplyRow(test::VariedImage(3), *values, values->rows[0]);
    ASSERT_TRUE(applied.ok()) << applied.error();
    EXPECT_EQ(DecodeChannelName(*applied, 1), stored) << cell;
  }
}

// Rows for a port go to that port first, "next" rows in order to any radio;
// each row once, and a row given back is handed out again in its place.
TEST(RowAssigner, HandsEachRowToOneRadio) {
  RowAssigner rows({"", "/dev/b", "", "/dev/a"});
  struct Step {
    const char* port;
    std::optional<std::size_t> row;
  };
  const Step steps[] = {{"/dev/a", 3}, {"/dev/a", 0}, {"/dev/b", 1}, {"/dev/c", 2}, {"/dev/c", std::nullopt}};
  for (const Step& step : steps) EXPECT_EQ(rows.Take(step.port), step.row) << step.port;
  rows.GiveBack(0);
  EXPECT_EQ(rows.Take("/dev/d"), 0u);
}

}  // namespace
}  // namespace orvex
