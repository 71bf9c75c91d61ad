// The JSON text of the codeplug document: the exact layout files have always
// had, and which texts are refused, where and why.

#include "model/document/json_document.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace orvex {
namespace {

DocNode Object(DocMembers members) { return DocNode{std::move(members)}; }

TEST(JsonDocumentText, IsWrittenInTheKnownLayout) {
  struct Case {
    const char* name;
    DocNode value;  // of the member "v"
    const char* text;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"empty object", Object({}), "{\n    }"},
      {"empty array", DocNode{DocItems{}}, "[\n    ]"},
      {"nested", DocNode{DocItems{DocNode{true}, DocNode{}}}, "[\n        true,\n        null\n    ]"},
      {"escapes", DocNode{std::string("\"\\/\t\x01\x7f\xc3\xa9")}, "\"\\\"\\\\/\\t\\u0001\x7f\xc3\xa9\""},
      {"whole", DocNode{1e15}, "1000000000000000"},
      {"negative zero", DocNode{-0.0}, "0"},
      {"beyond 2^53", DocNode{1e16}, "1e+16"},
      {"long beyond 2^53", DocNode{4527503819398904300000.0}, "4527503819398904300000"},
      {"fraction", DocNode{-145.5}, "-145.5"},
      {"small", DocNode{0.0001}, "0.0001"},
      {"smaller", DocNode{1.5e-7}, "1.5e-07"},
      {"huge", DocNode{1e300}, "1e+300"},
      {"not a number", DocNode{nan}, "null"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(JsonDocumentText(Object({{"v", c.value}})), "{\n    \"v\": " + std::string(c.text) + "\n}\n") << c.name;
}

TEST(JsonDocumentText, SortsKeysInUtf16OrderAndKeepsTheLastOfTwins) {
  const DocNode document = Object({{"\xee\x80\x80", DocNode{1.0}},  // U+E000
                                   {"b", DocNode{2.0}},
                                   {"\xf0\x9f\x98\x80", DocNode{3.0}},  // U+1F600
                                   {"b", DocNode{4.0}},
                                   {"a", DocNode{5.0}}});
  EXPECT_EQ(JsonDocumentText(document),
            "{\n    \"a\": 5,\n    \"b\": 4,\n    \"\xf0\x9f\x98\x80\": 3,\n    \"\xee\x80\x80\": 1\n}\n");
}

TEST(ParseJsonDocument, ReadsKeysInByteOrderAndNumbersAsDoubles) {
  const auto document = ParseJsonDocument(
      "\xef\xbb\xbf {\"\xf0\x9f\x98\x80\": 1, \"b\": 2, \"\xee\x80\x80\": -0, \"b\": [1e-310, "
      "123456789012345678901234567890]}");
  ASSERT_TRUE(document.ok()) << document.error();
  const auto& members = *document->members();
  ASSERT_EQ(members.size(), 3u);
  EXPECT_EQ(members[0].first, "b");
  EXPECT_EQ(members[1].first, "\xee\x80\x80");
  EXPECT_EQ(members[2].first, "\xf0\x9f\x98\x80");
  const auto& numbers = *members[0].second.items();
  EXPECT_EQ(*numbers[0].number(), 1e-310);
  EXPECT_EQ(*numbers[1].number(), 123456789012345678901234567890.0);
}

TEST(ParseJsonDocument, RefusesWithLineColumnAndReason) {
  struct Case {
    std::string json;
    const char* error;  // the start of it
  };
  const std::string deepest = std::string(1024, '[') + std::string(1024, ']');
  ASSERT_TRUE(ParseJsonDocument(deepest).ok());
  const Case cases[] = {
      {"{\n  \"o\": {\n    \"v\": \"5\",,\n  }\n}\n", "3:15: syntax error while parsing object key - unexpected ','"},
      {"{\"options\": {", "1:14: syntax error while parsing object key - unexpected end of input"},
      {"", "1:1: a document is an object or an array"},
      {" \n 5", "2:3: a document is an object or an array"},
      {"[1e400]", "1:7: number overflow parsing '1e400'"},
      {"{\"a\": \"1e-400\", \"b\": [-1e-400]}", "1:30: number underflow parsing '-1e-400'"},
      {"[\"[[\", " + std::string(1024, '['), "1:1032: too deeply nested document"},
      {std::string("[1] \0 x", 7), "1:5: unexpected character after the document"},
      {"[\"" + std::string(100000, 'x') + "\xff\"]",
       "1:100004: syntax error while parsing value - invalid string: "
       "ill-formed UTF-8 byte"},
      {"[\"a\tb\"]", "1:5: syntax error while parsing value - invalid string: control character U+0009"},
      {"{} x", "1:5: syntax error while parsing value - invalid literal; expected end of input"},
  };
  for (const auto& c : cases) {
    const auto document = ParseJsonDocument(c.json);
    ASSERT_FALSE(document.ok()) << c.error;
    EXPECT_EQ(document.error().rfind(c.error, 0), 0u) << document.error();
    EXPECT_LT(document.error().size(), 200u) << c.error;
  }
  // In Chinese the place stays, the reason is ours; the parser's own words
  // are named a syntax error.
  EXPECT_EQ(ParseJsonDocument("", 1).error(), "1:1: 文档必须是对象或数组");
  EXPECT_EQ(ParseJsonDocument("{} x", 1).error().rfind("1:5: JSON 语法错误：syntax error", 0), 0u);
}

}  // namespace
}  // namespace orvex
