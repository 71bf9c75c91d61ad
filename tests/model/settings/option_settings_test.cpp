#include "model/settings/option_settings.h"

#include <gtest/gtest.h>

#include <set>

#include "core/strings.h"
#include "model/settings_test_util.h"

namespace orvex {
namespace {

using test::ChangedAddresses;
using test::FilledImage;
using test::RandomImage;

const SettingSpec& Setting(std::string_view key) {
  const SettingSpec* setting = FindOptionSetting(key);
  EXPECT_NE(setting, nullptr) << key;
  return setting ? *setting : OptionSettings().front();
}

// --- Layout ------------------------------------------------------------------

struct LayoutCase {
  const char* key;
  std::size_t address;
  Encoding encoding;
  unsigned bit;
  std::size_t items;  // list items, or bytes of a text setting
};

const LayoutCase kLayout[] = {
    {"power_on_message", 0x0E3A, Encoding::ListIndex, 0, 3},
    {"voice_announce", 0x0E2C, Encoding::ListIndex, 0, 3},
    {"time_out_timer", 0x0E26, Encoding::ListIndex, 0, 40},
    {"tot_pre_alert", 0x0E36, Encoding::ListIndex, 0, 11},
    {"backlight_color", 0x0E28, Encoding::ListIndex, 0, 7},
    {"menu_available", 0x0E5C, Encoding::BitFlag, 0, 0},
    {"battery_save", 0x0E23, Encoding::FlagByte, 0, 0},
    {"auto_lock", 0x0E41, Encoding::FlagByte, 0, 0},
    {"key_lock", 0x0E39, Encoding::FlagByte, 0, 0},
    {"beep", 0x0E2D, Encoding::FlagByte, 0, 0},
    {"second", 0x0E44, Encoding::FlagByte, 0, 0},
    {"cancel_squelch_on_ptt", 0x0E2B, Encoding::BitFlag, 1, 0},
    {"vox_level", 0x0E27, Encoding::ListIndex, 0, 11},
    {"scan_mode", 0x0E38, Encoding::ListIndex, 0, 3},
    {"backlight_delay", 0x0E3D, Encoding::BitFlag, 0, 2},
    {"rx_backlight", 0x0E3D, Encoding::BitFlag, 1, 2},
    {"tx_backlight", 0x0E3D, Encoding::BitFlag, 2, 2},
    {"roger_tone", 0x0E25, Encoding::ListIndex, 0, 4},
    {"mode_change_password", 0x0E4A, Encoding::DigitString, 0, 6},
    {"reset_password", 0x0E50, Encoding::DigitString, 0, 6},
    {"priority_channel", 0x0E5E, Encoding::ListIndex, 0, 129},
    {"ani_transmit", 0x0E2E, Encoding::FlagByte, 0, 0},
    {"ani_code", 0x0E56, Encoding::DtmfString, 0, 6},
    {"side_tone", 0x0E35, Encoding::ListIndex, 0, 4},
    {"transmit_delay", 0x0E33, Encoding::ListIndex, 0, 31},
    {"auto_reset_timer", 0x1D90, Encoding::ClampedNumber, 0, 0},
};

TEST(OptionSettings, LayoutOfEverySetting) {
  ASSERT_EQ(OptionSettings().size(), std::size(kLayout));
  for (std::size_t i = 0; i < std::size(kLayout); ++i) {
    const auto& want = kLayout[i];
    const auto& setting = OptionSettings()[i];
    SCOPED_TRACE(want.key);
    EXPECT_EQ(setting.key, want.key);
    EXPECT_EQ(setting.address, want.address);
    EXPECT_EQ(setting.encoding, want.encoding);
    EXPECT_EQ(setting.bit, want.bit);
    const bool isText = want.encoding == Encoding::DigitString || want.encoding == Encoding::DtmfString;
    EXPECT_EQ(isText ? setting.length : setting.items.size(), want.items);
  }
}

TEST(OptionSettings, EveryCellHasOneOwnerAndStaysOffOtherAreas) {
  std::set<std::pair<std::size_t, int>> owned;  // (address, bit or -1 for the whole byte)
  for (const auto& setting : OptionSettings()) {
    const std::size_t bytes = setting.length ? setting.length : 1;
    for (std::size_t i = 0; i < bytes; ++i) {
      const std::size_t a = setting.address + i;
      EXPECT_TRUE((a >= 0x0E20 && a <= 0x0E5F) || a == 0x1D90) << setting.key;
      // Side key, scrambler and frequency-mode bytes belong elsewhere.
      for (std::size_t other : {0x0E3B, 0x0E29, 0x0E2A, 0x0E20, 0x0E21, 0x0E22, 0x0E31, 0x0E37, 0x0E42})
        EXPECT_NE(a, other) << setting.key;
      const int bit = setting.encoding == Encoding::BitFlag ? static_cast<int>(setting.bit) : -1;
      EXPECT_TRUE(owned.insert({a, bit}).second) << setting.key;
      if (bit >= 0) {
        EXPECT_EQ(owned.count({a, -1}), 0u) << setting.key;
      }
    }
  }
}

TEST(OptionSettings, KeysAreUniqueAndFindable) {
  std::set<std::string_view> keys;
  for (const auto& setting : OptionSettings()) {
    EXPECT_TRUE(keys.insert(setting.key).second) << setting.key;
    EXPECT_EQ(FindOptionSetting(setting.key), &setting);
  }
  EXPECT_EQ(FindOptionSetting("no_such_setting"), nullptr);
}

// --- Item lists ----------------------------------------------------------------

struct ItemsCase {
  const char* key;
  std::vector<std::string> english;  // leading items; the rest is checked by count
};

TEST(OptionSettings, ItemTextsInEnglish) {
  const ItemsCase cases[] = {
      {"power_on_message", {"Full Screen", "Welcome", "Batt Voltage"}},
      {"voice_announce", {"Off", "Chinese", "English"}},
      {"time_out_timer", {"15", "30", "45"}},
      {"tot_pre_alert", {"Off", "1", "2"}},
      {"backlight_color", {"RED", "GREEN", "YELLOW", "BLUE", "PURPLE", "CYAN", "PINK"}},
      {"vox_level", {"Off", "1"}},
      {"scan_mode", {"Time", "Carrier", "Search"}},
      {"backlight_delay", {"Off", "On"}},
      {"roger_tone", {"Off", "Begin", "End", "Begin/End"}},
      {"priority_channel", {"Off", "1"}},
      {"side_tone", {"Off", "Key SideTone", "ANI-ID SideTone", "Key SideTone+ANI-ID SideTone"}},
      {"transmit_delay", {"Off", "1"}},
  };
  for (const auto& c : cases) {
    const auto items = ItemTexts(Setting(c.key), kEnglish);
    ASSERT_GE(items.size(), c.english.size()) << c.key;
    for (std::size_t i = 0; i < c.english.size(); ++i) EXPECT_EQ(items[i], c.english[i]) << c.key << " item " << i;
  }
  EXPECT_EQ(ItemTexts(Setting("time_out_timer"), kEnglish).back(), "600");
  EXPECT_EQ(ItemTexts(Setting("priority_channel"), kEnglish).back(), "128");
  EXPECT_EQ(ItemTexts(Setting("transmit_delay"), kEnglish).back(), "30");
  EXPECT_EQ(ItemTexts(Setting("vox_level"), kEnglish).back(), "10");
}

TEST(OptionSettings, ChineseItemsKeepCountAndOrder) {
  for (const auto& setting : OptionSettings()) {
    const auto english = ItemTexts(setting, kEnglish);
    const auto chinese = ItemTexts(setting, kChinese);
    ASSERT_EQ(english.size(), chinese.size()) << setting.key;
    for (std::size_t i = 0; i < english.size(); ++i) EXPECT_FALSE(chinese[i].empty()) << setting.key << " item " << i;
  }
  const auto colours = ItemTexts(Setting("backlight_color"), kChinese);
  EXPECT_EQ(colours.front(), "红色");
  EXPECT_EQ(colours.back(), "粉色");
  EXPECT_EQ(ItemText(Setting("voice_announce"), 0, kChinese), Text(1150, kChinese));
}

TEST(OptionSettings, LabelsJoinTheirPieces) {
  EXPECT_EQ(SettingLabel(Setting("ani_transmit"), kEnglish),
            std::string(Text(1472, 0)) + std::string(Text(1473, 0)) + std::string(Text(1474, 0)));
  EXPECT_EQ(SettingLabel(Setting("vox_level"), kEnglish), "VOX");
  EXPECT_EQ(SettingLabel(Setting("vox_level"), kChinese), Text(2171, 0));
}

// --- Codecs over every byte value ------------------------------------------------

TEST(OptionSettings, ListCodecOverEveryByte) {
  for (const auto& setting : OptionSettings()) {
    if (setting.encoding != Encoding::ListIndex) continue;
    const std::size_t count = setting.items.size();
    for (int b = 0; b < 256; ++b) {
      Image image = RandomImage(static_cast<unsigned>(b));
      image[setting.address] = static_cast<std::uint8_t>(b);
      const int shown = b < static_cast<int>(count) ? b : 0;
      ASSERT_EQ(DecodeSetting(image, setting), shown) << setting.key << " byte " << b;
      ASSERT_EQ(SettingText(image, setting, kEnglish), ItemText(setting, static_cast<std::size_t>(shown), kEnglish));
    }
    for (std::size_t position = 0; position < count; ++position) {
      const Image before = RandomImage(static_cast<unsigned>(position));
      Image image = before;
      EncodeSetting(image, setting, static_cast<int>(position));
      EXPECT_EQ(image[setting.address], position) << setting.key;
      for (auto a : ChangedAddresses(before, image)) EXPECT_EQ(a, setting.address) << setting.key;
    }
  }
}

TEST(OptionSettings, FlagByteOverEveryByte) {
  for (const auto& setting : OptionSettings()) {
    if (setting.encoding != Encoding::FlagByte) continue;
    for (int b = 0; b < 256; ++b) {
      Image image = FilledImage(0x5A);
      image[setting.address] = static_cast<std::uint8_t>(b);
      ASSERT_EQ(DecodeSetting(image, setting), b != 0 ? 1 : 0) << setting.key;
      for (int on : {0, 1}) {
        Image stored = image;
        EncodeSetting(stored, setting, on);
        ASSERT_EQ(stored[setting.address], on);
        ASSERT_EQ(ChangedAddresses(image, stored).size(), stored[setting.address] != b ? 1u : 0u);
      }
    }
  }
}

TEST(OptionSettings, BitFlagChangesOnlyItsBitForEveryByte) {
  for (const auto& setting : OptionSettings()) {
    if (setting.encoding != Encoding::BitFlag) continue;
    const std::uint8_t mask = static_cast<std::uint8_t>(1u << setting.bit);
    for (int b = 0; b < 256; ++b) {
      Image image = RandomImage(static_cast<unsigned>(b));
      image[setting.address] = static_cast<std::uint8_t>(b);
      ASSERT_EQ(DecodeSetting(image, setting), (b & mask) ? 1 : 0) << setting.key;
      for (int on : {0, 1}) {
        Image stored = image;
        EncodeSetting(stored, setting, on);
        ASSERT_EQ(stored[setting.address], on ? (b | mask) : (b & ~mask)) << setting.key << " byte " << b;
        for (auto a : ChangedAddresses(image, stored)) ASSERT_EQ(a, setting.address);
      }
    }
  }
}

TEST(OptionSettings, AutoResetTimerOverEveryByte) {
  const auto& setting = Setting("auto_reset_timer");
  for (int b = 0; b < 256; ++b) {
    Image image = FilledImage(0);
    image[0x1D90] = static_cast<std::uint8_t>(b);
    const int shown = b > 15 ? 10 : b;
    ASSERT_EQ(DecodeSetting(image, setting), shown);
    ASSERT_EQ(SettingText(image, setting, kEnglish), shown == 0 ? "Off" : std::to_string(shown));
  }
}

// --- Bit flag edge cases -------------------------------------------------------

struct BitCase {
  const char* key;
  std::uint8_t before;
  int shown;
  std::uint8_t after;
};

TEST(OptionSettings, BitFlagEdgeCases) {
  const BitCase cases[] = {
      {"cancel_squelch_on_ptt", 0x00, 1, 0x02}, {"cancel_squelch_on_ptt", 0xFF, 0, 0xFD},
      {"tx_backlight", 0x01, 1, 0x05},          {"backlight_delay", 0x06, 1, 0x07},
      {"rx_backlight", 0x07, 0, 0x05},          {"menu_available", 0x80, 1, 0x81},
  };
  for (const auto& c : cases) {
    Image image = FilledImage(0x33);
    const auto& setting = Setting(c.key);
    image[setting.address] = c.before;
    EncodeSetting(image, setting, c.shown);
    EXPECT_EQ(image[setting.address], c.after) << c.key;
  }
}

// --- Refresh write-back ----------------------------------------------------------

TEST(OptionSettings, FirstRefreshOfUnprogrammedImage) {
  Image image = FilledImage(0xFF);
  OptionsShown shown = NewOptionsShown();
  RefreshOptions(image, shown);
  for (std::size_t i = 0; i < OptionSettings().size(); ++i) {
    const auto& setting = OptionSettings()[i];
    SCOPED_TRACE(setting.key);
    switch (setting.encoding) {
      case Encoding::ListIndex:
        EXPECT_EQ(shown.values[i], 0);
        EXPECT_EQ(image[setting.address], 0);
        break;
      case Encoding::FlagByte:
        EXPECT_EQ(shown.values[i], 1);
        EXPECT_EQ(image[setting.address], 1);
        break;
      case Encoding::BitFlag:
        EXPECT_EQ(shown.values[i], 1);
        EXPECT_EQ(image[setting.address], 0xFF);
        break;
      case Encoding::ClampedNumber:
        EXPECT_EQ(shown.values[i], 10);
        EXPECT_EQ(image[setting.address], 10);
        break;
      case Encoding::DigitString:
      case Encoding::DtmfString:
        EXPECT_EQ(shown.values[i], std::nullopt);
        EXPECT_EQ(SettingText(image, setting, kEnglish), "");
        for (std::size_t k = 0; k < setting.length; ++k) EXPECT_EQ(image[setting.address + k], 0xFF);
        break;
    }
  }
}

TEST(OptionSettings, FirstRefreshOfBlankCodeplugChangesNothing) {
  // Every default is in range and every flag byte is 0 or 1.
  const Image blank = BlankImage();
  Image image = blank;
  OptionsShown shown = NewOptionsShown();
  RefreshOptions(image, shown);
  EXPECT_TRUE(ChangedAddresses(blank, image).empty());
  EXPECT_EQ(ReadPassword(image, Setting("mode_change_password")), "381527");
  EXPECT_EQ(ReadAniCode(image, Setting("ani_code")), "101");
}

TEST(OptionSettings, LaterRefreshWritesOnlyChangedShownValues) {
  const auto& tot = Setting("time_out_timer");
  const auto& beep = Setting("beep");
  const auto& reset = Setting("auto_reset_timer");
  Image image = BlankImage();
  OptionsShown shown = NewOptionsShown();
  RefreshOptions(image, shown);
  const Image settled = image;
  RefreshOptions(image, shown);
  EXPECT_TRUE(ChangedAddresses(settled, image).empty());

  // Same shown value: the odd bytes stay.  A new shown value is written back.
  image[tot.address] = 40;    // shows "15" where "60" was shown: written back as 0
  image[beep.address] = 7;    // on, as before
  image[reset.address] = 99;  // shows 10, as before
  const Image odd = image;
  RefreshOptions(image, shown);
  EXPECT_EQ(ChangedAddresses(odd, image), std::vector<std::size_t>{tot.address});
  EXPECT_EQ(image[tot.address], 0);

  image[tot.address] = 40;  // shows "15" again: unchanged, not written
  RefreshOptions(image, shown);
  EXPECT_EQ(image[tot.address], 40);
  EXPECT_EQ(image[beep.address], 7);
  EXPECT_EQ(image[reset.address], 99);
}

struct ShownCase {
  const char* key;
  std::uint8_t stored;
  const char* english;
};

TEST(OptionSettings, ShownTextEdgeCases) {
  const ShownCase cases[] = {
      {"time_out_timer", 39, "600"},
      {"time_out_timer", 40, "15"},
      {"priority_channel", 128, "128"},
      {"priority_channel", 129, "Off"},
      {"priority_channel", 0, "Off"},
      {"tot_pre_alert", 10, "10"},
      {"tot_pre_alert", 11, "Off"},
      {"transmit_delay", 30, "30"},
      {"transmit_delay", 31, "Off"},
      {"backlight_color", 6, "PINK"},
      {"backlight_color", 7, "RED"},
      {"auto_reset_timer", 0, "Off"},
      {"auto_reset_timer", 15, "15"},
      {"auto_reset_timer", 16, "10"},
      {"beep", 0x80, "On"},
      {"side_tone", 3, "Key SideTone+ANI-ID SideTone"},
  };
  for (const auto& c : cases) {
    Image image = FilledImage(0);
    image[Setting(c.key).address] = c.stored;
    EXPECT_EQ(SettingText(image, Setting(c.key), kEnglish), c.english) << c.key << " " << int(c.stored);
  }
}

// --- Passwords -------------------------------------------------------------------

struct PasswordCase {
  const char* typed;
  const char* shown;
  bool padded;
  std::array<std::uint8_t, 6> bytes;
};

TEST(OptionSettings, PasswordCommit) {
  const PasswordCase cases[] = {
      {"12", "120000", true, {1, 2, 0, 0, 0, 0}},      {"", "000000", true, {0, 0, 0, 0, 0, 0}},
      {"987654", "987654", false, {9, 8, 7, 6, 5, 4}}, {"1234567", "123456", false, {1, 2, 3, 4, 5, 6}},
      {"1a2", "120000", true, {1, 2, 0, 0, 0, 0}},
  };
  for (const auto* key : {"mode_change_password", "reset_password"}) {
    const auto& setting = Setting(key);
    for (const auto& c : cases) {
      const Image before = FilledImage(0xFF);
      Image image = before;
      const auto commit = StorePassword(image, setting, c.typed);
      EXPECT_EQ(commit.text, c.shown) << c.typed;
      EXPECT_EQ(commit.padded, c.padded) << c.typed;
      for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(image[setting.address + i], c.bytes[i]) << c.typed;
      for (auto a : ChangedAddresses(before, image)) EXPECT_LT(a - setting.address, 6u);
      EXPECT_EQ(ReadPassword(image, setting), c.shown);
    }
  }
}

struct DecodeCase {
  std::array<std::uint8_t, 6> bytes;
  const char* shown;
};

TEST(OptionSettings, PasswordDecodeSkipsNonDigits) {
  const DecodeCase cases[] = {
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, ""},
      {{1, 0x0A, 2, 0xFF, 3, 4}, "1234"},
      {{9, 9, 9, 9, 9, 9}, "999999"},
      {{0x10, 0, 0x80, 5, 0x0F, 0}, "050"},
  };
  const auto& setting = Setting("reset_password");
  for (const auto& c : cases) {
    Image image = FilledImage(0);
    std::copy(c.bytes.begin(), c.bytes.end(), image.begin() + setting.address);
    EXPECT_EQ(ReadPassword(image, setting), c.shown);
  }
}

// --- ANI code --------------------------------------------------------------------

TEST(OptionSettings, AniCodeStore) {
  struct Case {
    const char* typed;
    std::array<std::uint8_t, 6> bytes;
    const char* shown;
  };
  const Case cases[] = {
      {"a*3", {0x0D, 0x0B, 0x03, 0xFF, 0xFF, 0xFF}, "A*3"}, {"", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, ""},
      {"0123#D", {0, 1, 2, 3, 0x0C, 0x10}, "0123#D"},       {"bcBC", {0x0E, 0x0F, 0x0E, 0x0F, 0xFF, 0xFF}, "BCBC"},
      {"1E2", {1, 0xFF, 2, 0xFF, 0xFF, 0xFF}, "12"},        {"12345678", {1, 2, 3, 4, 5, 6}, "123456"},
  };
  const auto& setting = Setting("ani_code");
  for (const auto& c : cases) {
    const Image before = FilledImage(0x00);
    Image image = before;
    StoreAniCode(image, setting, c.typed);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(image[0x0E56 + i], c.bytes[i]) << c.typed << " byte " << i;
    for (auto a : ChangedAddresses(before, image)) EXPECT_LT(a - 0x0E56, 6u) << c.typed;
    EXPECT_EQ(ReadAniCode(image, setting), c.shown);
  }
}

TEST(OptionSettings, AniCodeDecodeOfEveryByte) {
  const auto& setting = Setting("ani_code");
  for (int b = 0; b < 256; ++b) {
    Image image = FilledImage(0xFF);
    image[0x0E57] = static_cast<std::uint8_t>(b);
    std::string want;
    if (b <= 9) want = std::string(1, static_cast<char>('0' + b));
    if (b == 11) want = "*";
    if (b == 12) want = "#";
    if (b >= 13 && b <= 16) want = std::string(1, static_cast<char>('A' + b - 13));
    ASSERT_EQ(ReadAniCode(image, setting), want) << "byte " << b;
  }
  Image image = FilledImage(0xFF);
  const std::uint8_t skipped[] = {1, 0x0A, 2, 0xFF, 0xFF, 0xFF};
  std::copy(std::begin(skipped), std::end(skipped), image.begin() + 0x0E56);
  EXPECT_EQ(ReadAniCode(image, setting), "12");
}

TEST(OptionSettings, TypedCharacters) {
  const auto& ani = Setting("ani_code");
  const auto& password = Setting("reset_password");
  const auto& timer = Setting("auto_reset_timer");
  for (int c = 0; c < 128; ++c) {
    const char ch = static_cast<char>(c);
    const bool digit = ch >= '0' && ch <= '9';
    EXPECT_EQ(AcceptsChar(password, ch), digit) << c;
    EXPECT_EQ(AcceptsChar(timer, ch), digit) << c;
    const bool dtmf = digit || (ch >= 'A' && ch <= 'D') || (ch >= 'a' && ch <= 'd') || ch == '*' || ch == '#';
    EXPECT_EQ(AcceptsChar(ani, ch), dtmf) << c;
  }
}

// --- Auto reset timer --------------------------------------------------------------

TEST(OptionSettings, AutoResetTimerTyped) {
  const auto& setting = Setting("auto_reset_timer");
  const std::pair<const char*, int> cases[] = {{"99", 15}, {"", 0},    {"Off", 0}, {"7", 7},
                                               {"7.6", 8}, {"15", 15}, {"16", 15}, {"0", 0}};
  for (const auto& [typed, value] : cases) {
    EXPECT_EQ(TypedNumber(setting, typed), value) << typed;
    Image image = FilledImage(0xFF);
    EncodeSetting(image, setting, TypedNumber(setting, typed));
    EXPECT_EQ(image[0x1D90], value) << typed;
  }
  EXPECT_EQ(TypedNumber(setting, Text(1150, kChinese)), 0);
  EXPECT_EQ(NumberText(setting, 0, kEnglish), "Off");
  EXPECT_EQ(NumberText(setting, 12, kEnglish), "12");
}

// --- Generic text access -------------------------------------------------------------

TEST(OptionSettings, StoringWhatIsShownChangesNothing) {
  for (unsigned seed = 0; seed < 50; ++seed) {
    const Image before = seed == 0 ? FilledImage(0xFF) : seed == 1 ? BlankImage() : RandomImage(seed);
    for (int language : {kEnglish, kChinese}) {
      Image image = before;
      for (const auto& setting : OptionSettings()) {
        const auto status = SetSettingText(image, setting, SettingText(before, setting, language), language);
        EXPECT_TRUE(status.ok()) << setting.key << ": " << (status.ok() ? "" : status.error());
      }
      EXPECT_TRUE(ChangedAddresses(before, image).empty()) << "seed " << seed;
    }
  }
}

struct TextCase {
  const char* key;
  const char* text;
  std::size_t address;
  std::uint8_t before;
  std::uint8_t after;
};

TEST(OptionSettings, SetTextStoresOnlyItsOwnCells) {
  const TextCase cases[] = {
      {"vox_level", "7", 0x0E27, 0xFF, 7},
      {"scan_mode", "Search", 0x0E38, 0x00, 2},
      {"side_tone", "ANI-ID SideTone", 0x0E35, 0x00, 2},
      {"time_out_timer", "600", 0x0E26, 0x00, 39},
      {"priority_channel", "Off", 0x0E5E, 0x40, 0},
      {"beep", "Off", 0x0E2D, 0xFF, 0},
      {"beep", "true", 0x0E2D, 0x00, 1},
      {"tx_backlight", "On", 0x0E3D, 0x01, 0x05},
      {"cancel_squelch_on_ptt", "On", 0x0E2B, 0x00, 0x02},
      {"auto_reset_timer", "99", 0x1D90, 0x03, 15},
      {"auto_reset_timer", "Off", 0x1D90, 0x03, 0},
      {"backlight_color", "青色", 0x0E28, 0x00, 5},
  };
  for (const auto& c : cases) {
    Image before = FilledImage(0x00);
    before[c.address] = c.before;
    Image image = before;
    const auto status = SetSettingText(image, Setting(c.key), c.text, kEnglish);
    ASSERT_TRUE(status.ok()) << c.key << ": " << status.error();
    EXPECT_EQ(image[c.address], c.after) << c.key;
    EXPECT_EQ(ChangedAddresses(before, image), std::vector<std::size_t>{c.address}) << c.key;
  }
}

TEST(OptionSettings, SetTextOfPasswordAndAniCode) {
  Image image = FilledImage(0xFF);
  ASSERT_TRUE(SetSettingText(image, Setting("mode_change_password"), "42", kEnglish).ok());
  EXPECT_EQ(ReadPassword(image, Setting("mode_change_password")), "420000");
  ASSERT_TRUE(SetSettingText(image, Setting("ani_code"), "*1d", kEnglish).ok());
  EXPECT_EQ(image[0x0E56], 0x0B);
  EXPECT_EQ(image[0x0E57], 0x01);
  EXPECT_EQ(image[0x0E58], 0x10);
  EXPECT_EQ(image[0x0E59], 0xFF);
}

TEST(OptionSettings, SetTextRefusesWhatTheWindowCannotShow) {
  const std::pair<const char*, const char*> cases[] = {
      {"vox_level", "11"},           {"vox_level", ""},
      {"scan_mode", "Sweep"},        {"beep", "maybe"},
      {"auto_reset_timer", "x"},     {"mode_change_password", "12a"},
      {"reset_password", "1234567"}, {"ani_code", "12E"},
      {"ani_code", "1234567"},       {"time_out_timer", "16"},
  };
  for (const auto& [key, text] : cases) {
    const Image before = RandomImage(7);
    Image image = before;
    const auto status = SetSettingText(image, Setting(key), text, kEnglish);
    EXPECT_FALSE(status.ok()) << key << " " << text;
    if (!status.ok()) {
      EXPECT_NE(status.error().find(key), std::string::npos);
    }
    EXPECT_TRUE(ChangedAddresses(before, image).empty()) << key;
  }
}

TEST(OptionSettings, ControlKinds) {
  EXPECT_EQ(ControlOf(Setting("vox_level")), SettingControl::List);
  EXPECT_EQ(ControlOf(Setting("backlight_delay")), SettingControl::List);
  EXPECT_EQ(ControlOf(Setting("menu_available")), SettingControl::Check);
  EXPECT_EQ(ControlOf(Setting("beep")), SettingControl::Check);
  EXPECT_EQ(ControlOf(Setting("ani_code")), SettingControl::Text);
  EXPECT_EQ(ControlOf(Setting("auto_reset_timer")), SettingControl::UpDown);
  EXPECT_EQ(InitialShown(Setting("vox_level")), std::nullopt);
  EXPECT_EQ(InitialShown(Setting("beep")), 0);
  EXPECT_EQ(InitialShown(Setting("auto_reset_timer")), 0);
}

}  // namespace
}  // namespace orvex
