#include "model/csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvex {
namespace {

using Fields = std::vector<std::string>;

struct ParseCase {
  std::string name;
  std::string text;
  std::vector<Fields> records;
  std::vector<std::size_t> lines;
};

TEST(ParseCsv, Records) {
  const std::vector<ParseCase> cases = {
      {"plain LF", "a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}, {1, 2}},
      {"CRLF", "a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}, {1, 2}},
      {"lone CR", "a,b\r1,2", {{"a", "b"}, {"1", "2"}}, {1, 2}},
      {"no final newline", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}, {1, 2}},
      {"byte order mark",
       "\xEF\xBB\xBF"
       "a,b\n",
       {{"a", "b"}},
       {1}},
      {"empty fields", ",,\n", {{"", "", ""}}, {1}},
      {"quoted comma", "\"a,b\",c\n", {{"a,b", "c"}}, {1}},
      {"doubled quote", "\"say \"\"hi\"\"\",x\n", {{"say \"hi\"", "x"}}, {1}},
      {"quoted newline", "\"two\nlines\",x\n3,4\n", {{"two\nlines", "x"}, {"3", "4"}}, {1, 3}},
      {"quoted CRLF kept", "\"a\r\nb\"\r\n", {{"a\r\nb"}}, {1}},
      {"empty quoted", "\"\",x\n", {{"", "x"}}, {1}},
      {"blank lines skipped", "a\n\n\r\nb\n", {{"a"}, {"b"}}, {1, 4}},
      {"quote inside a field is text", "ab\"c,d\n", {{"ab\"c", "d"}}, {1}},
      {"spaces kept", " a , b \n", {{" a ", " b "}}, {1}},
      {"trailing comma", "a,\n", {{"a", ""}}, {1}},
      {"nothing", "", {}, {}},
      {"only a mark", "\xEF\xBB\xBF", {}, {}},
  };
  for (const auto& c : cases) {
    auto parsed = ParseCsv(c.text);
    ASSERT_TRUE(parsed.ok()) << c.name << ": " << parsed.error();
    ASSERT_EQ(parsed->size(), c.records.size()) << c.name;
    for (std::size_t i = 0; i < c.records.size(); ++i) {
      EXPECT_EQ((*parsed)[i].fields, c.records[i]) << c.name << " record " << i;
      EXPECT_EQ((*parsed)[i].line, c.lines[i]) << c.name << " record " << i;
    }
  }
}

TEST(ParseCsv, MalformedQuotingNamesTheLine) {
  struct Case {
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"a\nb\n\"open,\n", "line 3: a quoted field is not closed"},
      {"a\n\"x\"y,z\n", "line 2: text after the closing quote of a field"},
      {"\"a\nb\"c\n", "line 2: text after the closing quote of a field"},
  };
  for (const auto& c : cases) {
    auto parsed = ParseCsv(c.text);
    ASSERT_FALSE(parsed.ok()) << c.text;
    EXPECT_EQ(parsed.error(), c.error);
  }
}

TEST(CsvWriter, QuotesOnlyWhatNeedsIt) {
  struct Case {
    std::string field, written;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\r", "\"cr\r\""},
      {" lead", "\" lead\""},
      {"trail ", "\"trail \""},
      {"in side", "in side"},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.field), c.written) << c.field;
  EXPECT_EQ(CsvLine({"a", "b,c", ""}), "a,\"b,c\",\r\n");
}

TEST(CsvWriter, WhatIsWrittenReadsBack) {
  const std::vector<Fields> records = {
      {"Location", "Name"}, {"1", "a,b"}, {"2", "\"q\""}, {"3", "x\ny"}, {"", ""}, {""}, {" s ", "\r\n"}};
  std::string text;
  for (const auto& r : records) text += CsvLine(r);
  auto parsed = ParseCsv(text);
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  ASSERT_EQ(parsed->size(), records.size());
  for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ((*parsed)[i].fields, records[i]) << i;
}

// Limits keep a line of millions of commas or a million rows from taking
// memory out of proportion to the file.
TEST(CsvReader, LimitsAreReportedWithTheirLine) {
  const struct {
    std::string text;
    const char* error;  // empty: parses
  } cases[] = {
      {std::string(255, ','), ""},
      {std::string(256, ','), "line 1: more than 256 fields in one record"},
      {"a\n" + std::string(300, ','), "line 2: more than 256 fields"},
      {[] {
         std::string rows;
         for (int i = 0; i < 2000; ++i) rows += "1\n";
         return rows;
       }(),
       ""},
      {[] {
         std::string rows;
         for (int i = 0; i < 2001; ++i) rows += "1\n";
         return rows;
       }(),
       "line 2001: more than 2000 records"},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseCsv(c.text);
    if (*c.error == '\0') {
      EXPECT_TRUE(parsed.ok()) << parsed.error();
    } else {
      ASSERT_FALSE(parsed.ok()) << c.error;
      EXPECT_NE(parsed.error().find(c.error), std::string::npos) << parsed.error();
    }
  }
}

}  // namespace
}  // namespace orvex
