#include "model/settings/side_key.h"

#include <gtest/gtest.h>

#include "core/strings.h"
#include "model/settings_test_util.h"

namespace orvex {
namespace {

using test::ChangedAddresses;
using test::RandomImage;

TEST(SideKey, LivesInItsOwnByte) {
  EXPECT_EQ(SideKeySetting().address, 0x0E3Bu);
  EXPECT_EQ(SideKeySetting().key, "side_key");
  EXPECT_EQ(SideKeySetting().items.size(), 6u);
  EXPECT_EQ(SettingLabel(SideKeySetting(), kEnglish), "PF1(Side Key )");
}

TEST(SideKey, ItemsInBothLanguages) {
  const std::vector<std::string> english = {"UNDEF", "Scan", "Lamp", "SOS-CH", "FM Radio", "Opt-Signal Call"};
  EXPECT_EQ(ItemTexts(SideKeySetting(), kEnglish), english);
  const auto chinese = ItemTexts(SideKeySetting(), kChinese);
  ASSERT_EQ(chinese.size(), english.size());
  const int numbers[] = {1448, 1195, 1449, 1451, 1450, 1531};
  for (std::size_t i = 0; i < chinese.size(); ++i) EXPECT_EQ(chinese[i], Text(numbers[i], kChinese));
}

TEST(SideKey, EveryByteValue) {
  for (int b = 0; b < 256; ++b) {
    Image image = RandomImage(static_cast<unsigned>(b));
    image[0x0E3B] = static_cast<std::uint8_t>(b);
    const int shown = b <= 5 ? b : 0;
    ASSERT_EQ(DecodeSetting(image, SideKeySetting()), shown) << b;
    ASSERT_EQ(ReadSideKey(image, kEnglish).function, ItemText(SideKeySetting(), shown, kEnglish));

    // A new window's first refresh writes the shown position back.
    const Image before = image;
    const auto now = RefreshSetting(image, SideKeySetting(), InitialShown(SideKeySetting()));
    ASSERT_EQ(now, shown);
    ASSERT_EQ(image[0x0E3B], shown);
    for (auto a : ChangedAddresses(before, image)) ASSERT_EQ(a, 0x0E3Bu);
  }
}

struct RefreshCase {
  std::uint8_t stored;
  std::optional<int> shownBefore;
  const char* text;
  std::uint8_t after;
};

TEST(SideKey, RefreshWritesBackOnlyAChangedItem) {
  const RefreshCase cases[] = {
      {5, std::nullopt, "Opt-Signal Call", 5},
      {6, std::nullopt, "UNDEF", 0},
      {0xFF, std::nullopt, "UNDEF", 0},
      {0xFF, 0, "UNDEF", 0xFF},  // already showing UNDEF: no change, no store
      {0xFF, 3, "UNDEF", 0},
      {2, 2, "Lamp", 2},
  };
  for (const auto& c : cases) {
    Image image = RandomImage(c.stored);
    image[0x0E3B] = c.stored;
    RefreshSetting(image, SideKeySetting(), c.shownBefore);
    EXPECT_EQ(ReadSideKey(image, kEnglish).function, c.text);
    EXPECT_EQ(image[0x0E3B], c.after) << int(c.stored);
  }
}

TEST(SideKey, StoreTexts) {
  const Image before = RandomImage(3);
  for (int language : {kEnglish, kChinese}) {
    Image image = before;
    ASSERT_TRUE(StoreSideKey(image, ReadSideKey(before, language), language).ok());
    EXPECT_TRUE(ChangedAddresses(before, image).empty());
    for (std::size_t i = 0; i < 6; ++i) {
      ASSERT_TRUE(StoreSideKey(image, {ItemText(SideKeySetting(), i, language)}, language).ok());
      EXPECT_EQ(image[0x0E3B], i);
    }
  }
  Image image = before;
  image[0x0E3B] = 1;
  EXPECT_FALSE(StoreSideKey(image, {"Torch"}, kEnglish).ok());
  EXPECT_EQ(image[0x0E3B], 1);
  // Item texts of the other language are understood too.
  ASSERT_TRUE(StoreSideKey(image, {"FM Radio"}, kChinese).ok());
  EXPECT_EQ(image[0x0E3B], 4);
}

TEST(SideKey, WindowCaptions) {
  const KeyCaptions english = KeyCaptionTexts(kEnglish);
  EXPECT_EQ(english.window, "Key Assignment");
  EXPECT_EQ(english.pttGroup, "PTT");
  EXPECT_EQ(english.pttKey, "PTT Key");
  EXPECT_EQ(english.pttFunction, "SendKey");
  EXPECT_EQ(english.sideKeyGroup, "PF1(Side Key )");
  EXPECT_EQ(english.moniGroup, "MONI");
  EXPECT_EQ(english.longPress, "Long press");
  EXPECT_EQ(english.longPressAction, "MONI");
  EXPECT_EQ(english.slightPress, "Slight press");
  EXPECT_EQ(english.slightPressAction, "FlashLight");

  const KeyCaptions chinese = KeyCaptionTexts(kChinese);
  EXPECT_EQ(chinese.window, Text(2102 - 1000, kChinese));
  EXPECT_EQ(chinese.pttGroup, "PTT");
  EXPECT_EQ(chinese.pttKey, "PTT " + std::string(Text(1452, kChinese)));
  EXPECT_EQ(chinese.pttFunction, std::string(Text(1453, kChinese)) + std::string(Text(1452, kChinese)));
  EXPECT_EQ(chinese.sideKeyGroup, "PF1(" + std::string(Text(1372, kChinese)) + ")");
  EXPECT_EQ(chinese.moniGroup, "MONI");
  EXPECT_EQ(chinese.longPressAction, "MONI");
  EXPECT_EQ(chinese.slightPressAction, Text(1456, kChinese));
  EXPECT_NE(chinese.slightPressAction, english.slightPressAction);
}

TEST(SideKey, StepNamedByItsGroup) {
  for (const int language : {kEnglish, kChinese})
    EXPECT_EQ(SideKeyStep()(language), KeyCaptionTexts(language).sideKeyGroup);
}

}  // namespace
}  // namespace orvex
