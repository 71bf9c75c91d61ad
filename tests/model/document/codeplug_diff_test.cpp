// The codeplug diff: named values first, then the bytes no reported value
// accounts for.

#include "model/document/codeplug_diff.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/channels/channel_record.h"
#include "model/document/codeplug_document.h"
#include "test_images.h"

namespace orvex {
namespace {

Image WithChannel12() {
  Image image = BlankImage();
  EXPECT_TRUE(StoreChannel(image, 12, NewChannelFields("145.50000", 0), 0).ok());
  return image;
}

struct DiffCase {
  const char* name;
  std::function<void(Image&)> change;
  std::vector<std::string> lines;
};

TEST(CodeplugDiffTest, ListsNamedValuesThenBytes) {
  const DiffCase cases[] = {
      {"nothing", [](Image&) {}, {}},
      {"channel Rx",
       [](Image& image) {
         ChannelFields f = ReadChannel(image, 12, 0);
         f.rx = "145.52500";
         ASSERT_TRUE(StoreChannel(image, 12, f, 0).ok());
       },
       {"channel 12 Rx Freq: 145.50000 -> 145.52500"}},
      {"option", [](Image& image) { image[0x0E27] = 5; }, {"option vox_level: Off -> 5"}},
      {"2-Tone tone",
       [](Image& image) {
         image[0x1C5F] = 0x27;
         image[0x1C60] = 0x10;
       },
       {"2-Tone call 3 Tone A: (empty) -> 1000.0"}},
      {"unused byte", [](Image& image) { image[0x0E5F] = 0x00; }, {"0x0E5F: 01 -> 00"}},
      {"value and a byte beside it",
       [](Image& image) {
         image[0x0E3B] = 1;
         image[0x0830] = 0x12;
       },
       {"side key function: FM Radio -> Scan", "0x0830: FF -> 12"}},
      // Both bits of OPTION set still read Off: the byte is listed raw.
      {"same text, other bits", [](Image& image) { image[0xC0 + 14] |= 0x88; }, {"0x00CE: 00 -> 88"}},
      // Channel bytes the editor never shows.
      {"channel byte 12", [](Image& image) { image[0xC0 + 12] = 0x01; }, {"0x00CC: FF -> 01"}},
      {"cleared channel",
       [](Image& image) { ClearChannel(image, 12); },
       {"channel 12 Rx Freq: 145.50000 -> (empty)", "channel 12 Tx Freq: 145.50000 -> (empty)",
        "channel 12 CTC/DCS Dec.: None -> (empty)", "channel 12 CTC/DCS Enc.: None -> (empty)",
        "channel 12 TX Power: High -> (empty)", "channel 12 Scan Add: Yes -> (empty)",
        "channel 12 W/N: Wide -> (empty)", "channel 12 BCL: Off -> (empty)", "channel 12 Name:        -> (empty)",
        "channel 12 OPTION: Off -> (empty)", "channel 12 Scrambler No.: 1 -> (empty)",
        "channel 12 Opt.Signal: Off -> (empty)", "channel 12 Decode: 0 -> (empty)",
        "channel 12 AutoResponse: Off -> (empty)"}},
  };
  for (const auto& c : cases) {
    const Image before = WithChannel12();
    Image after = before;
    c.change(after);
    const CodeplugDiff diff = DiffCodeplugs(before, after);
    EXPECT_EQ(DiffLines(diff), c.lines) << c.name;
    EXPECT_EQ(diff.empty(), before == after) << c.name;
  }
}

// Every differing bit is in a listed byte or owned by a listed value, and a
// listed byte really differs.
TEST(CodeplugDiffTest, AccountsForEveryDifferentBit) {
  test::Rng rng(11);
  for (unsigned seed = 1; seed <= 6; ++seed) {
    const Image a = test::VariedImage(seed);
    Image b = a;
    for (int i = 0; i < 40; ++i) b[rng() % kImageSize] = static_cast<std::uint8_t>(rng());
    const CodeplugDiff diff = DiffCodeplugs(a, b);
    std::vector<std::uint8_t> accounted(kImageSize, 0);
    for (const auto& change : diff.bytes) {
      EXPECT_NE(a[change.address], b[change.address]);
      EXPECT_EQ(change.before, a[change.address]);
      EXPECT_EQ(change.after, b[change.address]);
      accounted[change.address] = 0xFF;
    }
    for (const auto& change : diff.values) {
      EXPECT_NE(change.before, change.after);
      for (const auto& v : CodeplugValues())
        if (v.label == change.label)
          for (const auto& bits : v.bits) accounted[bits.address] |= bits.mask;
    }
    for (std::size_t address = 0; address < kImageSize; ++address)
      EXPECT_EQ((a[address] ^ b[address]) & ~accounted[address], 0) << "seed " << seed << " address " << address;
    EXPECT_TRUE(DiffCodeplugs(a, a).empty());
  }
}

}  // namespace
}  // namespace orvex
