#include "core/spoken_text.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

// Blank parts are left out and the others trimmed, so an empty cell or a
// padded name is not spoken as a pause or as spaces.
TEST(SpokenText, JoinsThePartsThatAreNotBlank) {
  struct Row {
    std::vector<std::string> parts;
    std::string spoken;
  };
  const Row rows[] = {
      {{"Channel 6", "Rx Freq", "145.50000"}, "Channel 6, Rx Freq, 145.50000"},
      {{"Channel 1", "Name", "AB    "}, "Channel 1, Name, AB"},
      {{"Channel 7", "Rx Freq", ""}, "Channel 7, Rx Freq"},
      {{" \t", "", "\n x y \r"}, "x y"},
      {{"信道 6", "接收频率"}, "信道 6, 接收频率"},
      {{}, ""},
  };
  for (const Row& row : rows) EXPECT_EQ(JoinSpoken(row.parts), row.spoken);
}

}  // namespace
}  // namespace orvex
