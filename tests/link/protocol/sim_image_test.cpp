// The virtual radio's own memory must look like a real radio's: what the
// channel grid loads from it and stores again changes no byte, so a Read from
// the demo radio does not count as an unsaved change.
#include <gtest/gtest.h>

#include "model/channels/channel_record.h"
#include "model/channels/channel_table.h"
#include "sim/sim_radio.h"

namespace orvex {
namespace {

TEST(SimImage, ChannelGridStoresItBackUnchanged) {
  const Image original = DefaultSimImage();
  for (int language : {0, 1}) {
    ChannelTable table(language);
    table.ChannelGridLoad(original);
    Image stored = original;
    ASSERT_TRUE(table.SaveData(stored).ok());
    EXPECT_EQ(stored, original) << "language " << language;
  }
}

TEST(SimImage, HoldsNamedChannelsWithTones) {
  const Image image = DefaultSimImage();
  int programmed = 0;
  for (int n = 1; n <= 128; ++n) programmed += IsProgrammed(image, n) ? 1 : 0;
  EXPECT_EQ(programmed, 5);
  EXPECT_EQ(DecodeChannelName(image, 1), "CALL  ");
  const ChannelFields repeater = ReadChannel(image, 2, 0);
  EXPECT_EQ(repeater.tx, "145.12500");
  EXPECT_EQ(repeater.encodeTone, "88.5");
  EXPECT_EQ(ReadChannel(image, 5, 0).tx, "");
}

}  // namespace
}  // namespace orvex
