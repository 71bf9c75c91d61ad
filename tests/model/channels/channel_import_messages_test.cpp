// What an import and a row command say, the same in every face: error lists
// cut short, unusable rows, the renumbering offer and the refusals.

#include "model/channels/channel_import_messages.h"

#include <gtest/gtest.h>

#include "model/channel_test_util.h"

namespace orvex {
namespace {

TEST(ImportMessages, ErrorListsAreCutAfterEightLines) {
  struct Case {
    std::string lines, shown;
  };
  const Case cases[] = {
      {"", ""},
      {"a\n\nb\n", "a\nb"},
      {"1\n2\n3\n4\n5\n6\n7\n8", "1\n2\n3\n4\n5\n6\n7\n8"},
      {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10", "1\n2\n3\n4\n5\n6\n7\n8\n... and 2 more"},
  };
  for (const Case& c : cases) EXPECT_EQ(ShownErrors(c.lines, kEnglish), c.shown) << c.lines;
}

TEST(ImportMessages, RowsOutsideTheChannelsAreOfferedRenumbering) {
  constexpr std::string_view kHeader = "Location,Name,Frequency\n";
  struct Case {
    std::string rows;
    bool offered;
    std::string unusable;
  };
  const Case cases[] = {
      {"1,A,145.5\n2,B,145.6\n", false, ""},
      {"0,A,145.5\n1,B,145.6\n", true, "line 2: "},
      {"1,A,145.5\n1,B,145.6\n", true, "line 3: "},
      {"129,A,145.5\n1,B,999\n", false, "line 2: "},
  };
  for (const Case& c : cases) {
    const std::string csv = std::string(kHeader) + c.rows;
    const auto rows = ReadChannelsCsv(csv, 0, kEnglish);
    ASSERT_TRUE(rows.ok()) << c.rows;
    const auto offer = OfferRenumbering(csv, rows, kEnglish);
    EXPECT_EQ(offer.has_value(), c.offered) << c.rows;
    if (offer) {
      EXPECT_EQ(UsableRows(offer->rows), offer->rows.size()) << c.rows;
    }
    EXPECT_EQ(UnusableRowsText(*rows, kEnglish).substr(0, c.unusable.size()), c.unusable) << c.rows;
  }
}

TEST(ImportMessages, RefusalsNameTheChannel) {
  EXPECT_EQ(RowRefusalText(RowRefusal::AtEdge, 1, kEnglish), "The first channel cannot move up.");
  EXPECT_EQ(RowRefusalText(RowRefusal::AtEdge, 128, kEnglish), "The last channel cannot move down.");
  EXPECT_EQ(RowRefusalText(RowRefusal::DoesNotFit, 120, kEnglish),
            "The channels do not fit from channel 120 on; nothing was pasted.");
  EXPECT_EQ(RowRefusalText(RowRefusal::NoRows, 1, kEnglish), "");
}

TEST(ImportMessages, APasteOntoProgrammedChannelsAsksFirst) {
  Image image = test::Blank();
  test::PutChannel(image, 7, {});
  struct Case {
    std::vector<int> rows;
    std::string question;
  };
  const Case cases[] = {
      {{7}, "Replace channel 7? It is programmed."},
      {{5, 6, 7}, "Replace 3 channels? Channel 7 is programmed."},
      {{8, 9}, ""},
      {{7, 128, 129}, ""},  // does not fit: refused without a question
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceChannelsQuestion(image, c.rows, kEnglish), c.question) << c.rows.size();
}

}  // namespace
}  // namespace orvex
