#include "model/settings/frequency_mode.h"

#include <gtest/gtest.h>

#include <set>

#include "core/strings.h"
#include "core/tone.h"
#include "model/settings_test_util.h"

namespace orvex {
namespace {

using test::ChangedAddresses;
using test::FilledImage;
using test::RandomImage;
using F = FreqModeField;

constexpr std::size_t kRecord[] = {0x0810, 0x0820};
constexpr std::size_t kShiftRecord[] = {0x1810, 0x1820};

std::vector<std::size_t> Range(std::size_t first, std::size_t count) {
  std::vector<std::size_t> addresses;
  for (std::size_t i = 0; i < count; ++i) addresses.push_back(first + i);
  return addresses;
}

std::vector<std::uint8_t> Bytes(const Image& image, std::size_t address, std::size_t count) {
  return {image.begin() + static_cast<std::ptrdiff_t>(address),
          image.begin() + static_cast<std::ptrdiff_t>(address + count)};
}

void Put(Image& image, std::size_t address, std::initializer_list<std::uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(address));
}

// --- Layout ------------------------------------------------------------------

TEST(FrequencyMode, SettingAddressesOfBothGroups) {
  struct Case {
    F field;
    std::size_t a, b;
    unsigned bit;
  };
  const Case cases[] = {
      {F::Power, 0x081D, 0x082D, 5},   {F::Bandwidth, 0x081D, 0x082D, 4}, {F::Shift, 0x1810, 0x1820, 0},
      {F::Display, 0x0E37, 0x0E20, 0}, {F::Squelch, 0x0E22, 0x0E42, 0},   {F::Step, 0x0E21, 0x0E31, 0},
  };
  for (const auto& c : cases) {
    ASSERT_NE(FrequencyModeSetting(kGroupA, c.field), nullptr);
    EXPECT_EQ(FrequencyModeSetting(kGroupA, c.field)->address, c.a);
    EXPECT_EQ(FrequencyModeSetting(kGroupB, c.field)->address, c.b);
    EXPECT_EQ(FrequencyModeSetting(kGroupB, c.field)->bit, c.bit);
  }
  for (F field : {F::Current, F::TxTone, F::RxTone, F::Offset, F::TxFrequency})
    EXPECT_EQ(FrequencyModeSetting(kGroupA, field), nullptr);
}

TEST(FrequencyMode, ItemLists) {
  const FreqModeContext context;
  EXPECT_EQ(FrequencyModeItems(F::Power, context), (std::vector<std::string>{"Low", "High"}));
  EXPECT_EQ(FrequencyModeItems(F::Bandwidth, context), (std::vector<std::string>{"Narrow", "Wide"}));
  EXPECT_EQ(FrequencyModeItems(F::Shift, context), (std::vector<std::string>{"Off", "Plus Shift", "Minus Shift"}));
  EXPECT_EQ(FrequencyModeItems(F::Display, context),
            (std::vector<std::string>{"Channel-No.", "Channel-No.+Frequency", "Channel-No.+Name", "VFO"}));
  EXPECT_EQ(FrequencyModeItems(F::Squelch, context),
            (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
  EXPECT_EQ(FrequencyModeItems(F::Step, context),
            (std::vector<std::string>{"5", "6.25", "10", "12.5", "25", "50", "100"}));
  const auto offsets = FrequencyModeItems(F::Offset, context);
  ASSERT_EQ(offsets.size(), 1400u);
  EXPECT_EQ(offsets[0], "00.000");
  EXPECT_EQ(offsets[1], "00.050");
  EXPECT_EQ(offsets[120], "06.000");
  EXPECT_EQ(offsets[1399], "69.950");
  const auto tones = FrequencyModeItems(F::TxTone, context);
  ASSERT_EQ(tones.size(), kToneListSize);
  EXPECT_EQ(tones[0], "None");
  const FreqModeContext chinese{.language = kChinese};
  EXPECT_EQ(FrequencyModeItems(F::Shift, chinese).size(), 3u);
  EXPECT_EQ(FrequencyModeItems(F::RxTone, chinese)[0], Text(1137, kChinese));
}

// --- Decoding over every byte ----------------------------------------------------

TEST(FrequencyMode, ListBytesOverEveryValue) {
  const FreqModeContext context;
  for (int group : {kGroupA, kGroupB}) {
    for (F field : {F::Shift, F::Display, F::Squelch, F::Step}) {
      const auto& setting = *FrequencyModeSetting(group, field);
      const int count = static_cast<int>(setting.items.size());
      for (int b = 0; b < 256; ++b) {
        Image image = RandomImage(static_cast<unsigned>(b));
        image[setting.address] = static_cast<std::uint8_t>(b);
        ASSERT_EQ(DecodeFrequencyModeField(image, group, field, context), b < count ? b : 0) << setting.key;
      }
    }
  }
}

TEST(FrequencyMode, PowerAndBandwidthBitsOverEveryByte) {
  const FreqModeContext context;
  for (int group : {kGroupA, kGroupB}) {
    const std::size_t address = kRecord[group] + 13;
    for (int b = 0; b < 256; ++b) {
      Image image = RandomImage(static_cast<unsigned>(b));
      image[address] = static_cast<std::uint8_t>(b);
      ASSERT_EQ(DecodeFrequencyModeField(image, group, F::Power, context), (b >> 5) & 1);
      ASSERT_EQ(DecodeFrequencyModeField(image, group, F::Bandwidth, context), (b >> 4) & 1);
      for (F field : {F::Power, F::Bandwidth}) {
        for (int item : {0, 1}) {
          Image stored = image;
          FrequencyModeShown shown;
          ChooseItem(stored, group, shown, field, item, context);
          const unsigned mask = field == F::Power ? 0x20 : 0x10;
          ASSERT_EQ(stored[address], item ? (b | mask) : (b & ~mask));
          for (auto a : ChangedAddresses(image, stored)) ASSERT_EQ(a, address);
        }
      }
    }
  }
}

struct OffsetCase {
  std::array<std::uint8_t, 6> digits;
  const char* text;
  std::optional<int> item;
};

TEST(FrequencyMode, OffsetDecode) {
  const OffsetCase cases[] = {
      {{0, 6, 0, 0, 0, 0}, "06.000", 120},
      {{1, 0xFF, 5, 0, 0, 0}, "00.000", 0},  // stops at the 0xFF: "1" is 0.0001 MHz
      {{0, 0, 6, 0, 0, 0}, "00.600", 12},
      {{6, 9, 9, 5, 0, 0}, "69.950", 1399},
      {{7, 0, 0, 0, 0, 0}, "70.000", std::nullopt},
      {{0, 0, 0, 2, 5, 0}, "00.025", std::nullopt},  // off the 50 kHz raster
      {{0, 0, 0, 5, 0, 1}, "00.050", 1},             // nearest kHz
      {{0, 0, 0, 0, 0, 5}, "00.001", std::nullopt},
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "00.000", 0},
      {{9, 9, 9, 9, 9, 9}, "100.000", std::nullopt},
      {{0x0A, 1, 2, 3, 4, 5}, "00.000", 0},
  };
  const FreqModeContext context;
  for (int group : {kGroupA, kGroupB}) {
    for (const auto& c : cases) {
      Image image = FilledImage(0);
      std::copy(c.digits.begin(), c.digits.end(), image.begin() + static_cast<std::ptrdiff_t>(kShiftRecord[group] + 1));
      EXPECT_EQ(OffsetText(image, group), c.text);
      EXPECT_EQ(DecodeFrequencyModeField(image, group, F::Offset, context), c.item) << c.text;
    }
  }
}

TEST(FrequencyMode, OffsetEncodeOfEveryItem) {
  const FreqModeContext context;
  for (int item = 0; item < 1400; ++item) {
    const Image before = FilledImage(0xFF);
    Image image = before;
    FrequencyModeShown shown = ShownFromImage(image, kGroupB, context);
    ChooseItem(image, kGroupB, shown, F::Offset, item, context);
    const int digits = item * 500;
    for (std::size_t i = 0; i < 6; ++i) {
      int place = 1;
      for (std::size_t k = i + 1; k < 6; ++k) place *= 10;
      ASSERT_EQ(image[0x1821 + i], digits / place % 10) << item;
    }
    ASSERT_EQ(DecodeFrequencyModeField(image, kGroupB, F::Offset, context), item);
    ASSERT_EQ(shown[F::Offset], item);
  }
  Image image = FilledImage(0xFF);
  FrequencyModeShown shown;
  ChooseItem(image, kGroupA, shown, F::Offset, 120, context);
  EXPECT_EQ(Bytes(image, 0x1811, 6), (std::vector<std::uint8_t>{0, 6, 0, 0, 0, 0}));
}

struct ToneCase {
  std::uint8_t lo, hi;
  std::optional<int> item;
};

TEST(FrequencyMode, ToneDecode) {
  const ToneCase cases[] = {
      {0xFF, 0xFF, 0},
      {0x9E, 0x02, 1},  // 67.0
      {0xED, 0x09, 50},
      {0x13, 0x28, 51},  // D023N
      {0xEC, 0xA9, 260},
      {0x00, 0xF0, 0},             // any code of kind 0xF0 is no tone
      {0x00, 0x10, std::nullopt},  // not recognised
      {0x01, 0x00, std::nullopt},  // 0.1 Hz is no tone of the list
  };
  const FreqModeContext context;
  for (F field : {F::RxTone, F::TxTone}) {
    for (const auto& c : cases) {
      Image image = FilledImage(0xFF);
      const std::size_t column = field == F::RxTone ? 8 : 10;
      Put(image, kRecord[kGroupA] + column, {c.lo, c.hi});
      EXPECT_EQ(DecodeFrequencyModeField(image, kGroupA, field, context), c.item) << int(c.lo) << " " << int(c.hi);
    }
  }
}

TEST(FrequencyMode, ToneWithoutItemKeepsSelectionOnRefresh) {
  const FreqModeContext context;
  Image image = BlankImage();
  FrequencyModeShown shown;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  Put(image, 0x0818, {0x00, 0x10});
  const Image before = image;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  EXPECT_EQ(shown[F::RxTone], 0);
  EXPECT_TRUE(ChangedAddresses(before, image).empty());
}

TEST(FrequencyMode, ToneRefreshRewritesACodeShownAsNone) {
  const FreqModeContext context;
  Image image = BlankImage();
  Put(image, 0x081A, {0x00, 0xF0});
  FrequencyModeShown shown;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  EXPECT_EQ(Bytes(image, 0x081A, 2), (std::vector<std::uint8_t>{0xFF, 0xFF}));
}

TEST(FrequencyMode, NoneOfTheStartUpLanguageAfterASwitch) {
  // The tone lists keep "None" of the start-up language; in Chinese an
  // unprogrammed tone reads as the Chinese "None", yet it still selects the
  // list's first item, so a refresh never leaves an earlier tone shown.
  // Picking item 0 stores no tone.
  const auto english = BuildToneList(Text(1137, kEnglish));
  const FreqModeContext chinese{.language = kChinese, .toneList = english};
  Image image = BlankImage();
  EXPECT_EQ(DecodeFrequencyModeField(image, kGroupA, F::RxTone, chinese), 0);
  Put(image, 0x0818, {0x9E, 0x02});
  FrequencyModeShown shown;
  RefreshFrequencyMode(image, kGroupA, shown, chinese);
  EXPECT_EQ(shown[F::RxTone], 1);  // 67.0
  Put(image, 0x0818, {0xFF, 0xFF});
  RefreshFrequencyMode(image, kGroupA, shown, chinese);
  EXPECT_EQ(shown[F::RxTone], 0);
  Put(image, 0x0818, {0x9E, 0x02});
  ChooseItem(image, kGroupA, shown, F::RxTone, 0, chinese);
  EXPECT_EQ(Bytes(image, 0x0818, 2), (std::vector<std::uint8_t>{0xFF, 0xFF}));
}

// --- Refresh write-back -------------------------------------------------------------

TEST(FrequencyMode, FirstRefreshOfUnprogrammedGroupA) {
  const FreqModeContext context;
  const Image before = FilledImage(0xFF);
  Image image = before;
  FrequencyModeShown shown;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  EXPECT_EQ(shown.current, "137.02500");
  EXPECT_EQ(shown[F::Power], 1);      // High
  EXPECT_EQ(shown[F::Bandwidth], 1);  // Wide
  EXPECT_EQ(shown[F::Shift], 0);
  EXPECT_EQ(shown[F::Offset], 0);
  EXPECT_EQ(shown[F::TxTone], 0);
  EXPECT_EQ(Bytes(image, 0x0810, 4), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Bytes(image, 0x0814, 4), (std::vector<std::uint8_t>{0x00, 0x25, 0x70, 0x13}));
  EXPECT_EQ(Bytes(image, 0x1810, 7), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0}));
  std::vector<std::size_t> want = Range(0x0814, 4);
  want.push_back(0x0E21);
  want.push_back(0x0E22);
  want.push_back(0x0E37);
  for (auto a : Range(0x1810, 7)) want.push_back(a);
  EXPECT_EQ(ChangedAddresses(before, image), want);
}

TEST(FrequencyMode, FirstRefreshOfBlankCodeplugChangesNothing) {
  const FreqModeContext context;
  const Image blank = BlankImage();
  Image image = blank;
  FrequencyModeShown a, b;
  RefreshFrequencyMode(image, kGroupA, a, context);
  RefreshFrequencyMode(image, kGroupB, b, context);
  EXPECT_EQ(a.current, "400.02500");
  EXPECT_EQ(b.current, "136.02500");
  EXPECT_EQ(a[F::Offset], 12);  // 0.600 MHz
  EXPECT_EQ(a[F::Display], 3);
  EXPECT_EQ(b[F::Display], 3);
  EXPECT_TRUE(ChangedAddresses(blank, image).empty());
  RefreshFrequencyMode(image, kGroupA, a, context);
  EXPECT_TRUE(ChangedAddresses(blank, image).empty());
}

TEST(FrequencyMode, RefreshWritesOnlyChangedLists) {
  const FreqModeContext context;
  Image image = BlankImage();
  FrequencyModeShown shown;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  // Shift 5 shows "Off" as before: nothing is stored.
  image[0x1810] = 5;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  EXPECT_EQ(image[0x1810], 5);
  // Shift "Minus" where "Off" was shown: the transmit frequency follows.
  image[0x1810] = 2;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  EXPECT_EQ(Bytes(image, 0x0814, 4), (std::vector<std::uint8_t>{0x00, 0x25, 0x94, 0x39}));  // 399.42500
  // Squelch 200 shows "0" where "5" was shown: rewritten as 0.
  image[0x0E22] = 200;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  EXPECT_EQ(image[0x0E22], 0);
  // Refreshing does not store the receive frequency, even off the raster.
  Put(image, 0x0810, {0x61, 0x00, 0x50, 0x14});  // 145.00061
  const Image before = image;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  EXPECT_EQ(shown.current, "145.00000");
  EXPECT_TRUE(ChangedAddresses(before, image).empty());
}

// --- Transmit frequency --------------------------------------------------------------

struct TxCase {
  const char* current;
  int offsetItem;
  Shift shift;
  const char* tx;
};

TEST(FrequencyMode, ComputeTxFrequency) {
  const TxCase cases[] = {
      {"145.00000", 12, Shift::Minus, "144.40000"},
      {"145.00000", 12, Shift::Off, "145.00000"},
      {"145.00000", 12, Shift::Plus, "145.60000"},
      {"438.50000", 100, Shift::Minus, "433.50000"},
      {"146.51250", 1, Shift::Plus, "146.56250"},
      {"137.02500", 1399, Shift::Minus, "67.07500"},
      // Out of range: the receive frequency is used and the shift stays.
      {"60.00000", 100, Shift::Minus, "60.00000"},
      {"65.00000", 1399, Shift::Minus, "65.00000"},
      {"500.00000", 1399, Shift::Plus, "500.00000"},
      {"550.99500", 1, Shift::Plus, "550.99500"},
      {"550.94500", 1, Shift::Plus, "550.99500"},
      {"60.05000", 1, Shift::Minus, "60.00000"},
  };
  const FreqModeContext context;
  for (const auto& c : cases) {
    FrequencyModeShown shown;
    shown.current = c.current;
    shown[F::Offset] = c.offsetItem;
    shown[F::Shift] = static_cast<int>(c.shift);
    EXPECT_EQ(ComputeTxFrequency(shown, context), c.tx) << c.current << " " << c.offsetItem;
  }
}

TEST(FrequencyMode, TxWithoutSelectionsIsTheReceiveFrequency) {
  FrequencyModeShown shown;
  shown.current = "145.00000";
  EXPECT_EQ(ComputeTxFrequency(shown, {}), "145.00000");
  shown[F::Shift] = static_cast<int>(Shift::Plus);
  EXPECT_EQ(ComputeTxFrequency(shown, {}), "145.00000");
}

TEST(FrequencyMode, ShiftChoicesStoreTheTransmitFrequency) {
  const FreqModeContext context;
  Image image = BlankImage();
  FrequencyModeShown shown;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  CommitCurrent(image, kGroupA, shown, "145", context);
  EXPECT_EQ(Bytes(image, 0x0810, 8), (std::vector<std::uint8_t>{0x00, 0x00, 0x50, 0x14, 0x00, 0x00, 0x50, 0x14}));
  const Image before = image;
  ChooseItem(image, kGroupA, shown, F::Shift, static_cast<int>(Shift::Minus), context);
  EXPECT_EQ(Bytes(image, 0x0814, 4), (std::vector<std::uint8_t>{0x00, 0x00, 0x44, 0x14}));  // 144.40000
  std::vector<std::size_t> want = Range(0x0816, 1);
  want.push_back(0x1810);
  EXPECT_EQ(ChangedAddresses(before, image), want);
  ChooseItem(image, kGroupA, shown, F::Shift, static_cast<int>(Shift::Off), context);
  EXPECT_EQ(Bytes(image, 0x0814, 4), (std::vector<std::uint8_t>{0x00, 0x00, 0x50, 0x14}));
  EXPECT_EQ(image[0x1810], 0);
}

TEST(FrequencyMode, ShiftBelowTheBandStoresTheReceiveFrequency) {
  const FreqModeContext context;
  Image image = BlankImage();
  FrequencyModeShown shown;
  RefreshFrequencyMode(image, kGroupB, shown, context);
  CommitCurrent(image, kGroupB, shown, "60", context);
  ChooseItem(image, kGroupB, shown, F::Offset, 1399, context);
  ChooseItem(image, kGroupB, shown, F::Shift, static_cast<int>(Shift::Minus), context);
  EXPECT_EQ(image[0x1820], 2);                                                              // the shift stays as chosen
  EXPECT_EQ(Bytes(image, 0x0824, 4), (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x06}));  // 60.00000
}

TEST(FrequencyMode, TransmitBytesAreAlwaysPackedBcd) {
  const FreqModeContext context;
  for (const char* current : {"60", "137.025", "145.5", "400.025", "550.995"}) {
    for (int shift = 0; shift < 3; ++shift) {
      for (int item = 0; item < 1400; item += 7) {
        Image image = BlankImage();
        FrequencyModeShown shown;
        RefreshFrequencyMode(image, kGroupA, shown, context);
        CommitCurrent(image, kGroupA, shown, current, context);
        ChooseItem(image, kGroupA, shown, F::Shift, shift, context);
        ChooseItem(image, kGroupA, shown, F::Offset, item, context);
        const auto tx = DecodeBcdFreq(RowOf(image, 129), 4);
        ASSERT_TRUE(tx.has_value()) << current << " " << shift << " " << item;
        ASSERT_GE(*tx, 6000000u);
        ASSERT_LT(*tx, 55100000u);
      }
    }
  }
}

struct CurrentCase {
  const char* typed;
  const char* shown;
  std::array<std::uint8_t, 4> rx;
};

TEST(FrequencyMode, LeavingCurrent) {
  const CurrentCase cases[] = {
      {"145.0061", "145.00500", {0x00, 0x05, 0x50, 0x14}}, {"146.5125", "146.51250", {0x50, 0x12, 0x65, 0x14}},
      {"30", "137.02500", {0x00, 0x25, 0x70, 0x13}},       {"600", "400.02500", {0x00, 0x25, 0x00, 0x40}},
      {"", "137.02500", {0x00, 0x25, 0x70, 0x13}},         {"438", "438.00000", {0x00, 0x00, 0x80, 0x43}},
  };
  const FreqModeContext context;
  for (const auto& c : cases) {
    const Image before = BlankImage();
    Image image = before;
    FrequencyModeShown shown;
    RefreshFrequencyMode(image, kGroupB, shown, context);
    const std::string note = CommitCurrent(image, kGroupB, shown, c.typed, context);
    EXPECT_EQ(shown.current, c.shown) << c.typed;
    // Only a value brought into the bands or onto the raster is said.
    const std::string_view typed = c.typed;
    EXPECT_EQ(note.empty(), typed == "146.5125" || typed == "438") << c.typed;
    if (typed == "600") {
      EXPECT_EQ(note, "Frequency mode B: 600 MHz is outside the radio's bands; stored 400.02500");
    }
    EXPECT_EQ(Bytes(image, 0x0820, 4), std::vector<std::uint8_t>(c.rx.begin(), c.rx.end())) << c.typed;
    // Shift is off in the blank image, so the transmit frequency equals it.
    EXPECT_EQ(Bytes(image, 0x0824, 4), std::vector<std::uint8_t>(c.rx.begin(), c.rx.end())) << c.typed;
    for (auto a : ChangedAddresses(before, image)) EXPECT_TRUE(a >= 0x0820 && a < 0x0828) << c.typed;
  }
}

TEST(FrequencyMode, CommaSeparator) {
  const FreqModeContext context{.separator = ','};
  Image image = BlankImage();
  FrequencyModeShown shown;
  RefreshFrequencyMode(image, kGroupA, shown, context);
  EXPECT_EQ(shown.current, "400,02500");
  CommitCurrent(image, kGroupA, shown, "145,5", context);
  EXPECT_EQ(shown.current, "145,50000");
  ChooseItem(image, kGroupA, shown, F::Shift, static_cast<int>(Shift::Plus), context);
  EXPECT_EQ(Bytes(image, 0x0814, 4), (std::vector<std::uint8_t>{0x00, 0x00, 0x61, 0x14}));  // 146.10000
}

TEST(FrequencyMode, StepOfGroupBTouchesOnlyItsByte) {
  const FreqModeContext context;
  const Image before = BlankImage();
  Image image = before;
  FrequencyModeShown shown = ShownFromImage(image, kGroupB, context);
  ChooseItem(image, kGroupB, shown, F::Step, 6, context);
  EXPECT_EQ(ChangedAddresses(before, image), std::vector<std::size_t>{0x0E31});
  EXPECT_EQ(image[0x0E31], 6);
  EXPECT_EQ(image[0x0E21], before[0x0E21]);
}

TEST(FrequencyMode, ChoosingAnInvalidPositionStoresNothing) {
  const FreqModeContext context;
  const Image before = BlankImage();
  Image image = before;
  FrequencyModeShown shown = ShownFromImage(image, kGroupA, context);
  for (F field : {F::Shift, F::Step, F::Offset, F::TxTone, F::Power, F::Current})
    for (int position : {-1, 1400, 100000}) ChooseItem(image, kGroupA, shown, field, position, context);
  EXPECT_TRUE(ChangedAddresses(before, image).empty());
}

TEST(FrequencyMode, CurrentAcceptsDigitsAndSeparators) {
  for (int c = 0; c < 128; ++c) {
    const char ch = static_cast<char>(c);
    EXPECT_EQ(CurrentAcceptsChar(ch), (ch >= '0' && ch <= '9') || ch == '.' || ch == ',') << c;
  }
}

// --- Generic text access ---------------------------------------------------------------

TEST(FrequencyMode, StoringWhatIsReadChangesNothing) {
  for (unsigned seed = 0; seed < 60; ++seed) {
    const Image before = seed == 0 ? FilledImage(0xFF) : seed == 1 ? BlankImage() : RandomImage(seed);
    for (int language : {kEnglish, kChinese}) {
      const FreqModeContext context{.language = language};
      Image image = before;
      for (int group : {kGroupA, kGroupB}) {
        const auto status = StoreFrequencyMode(image, group, ReadFrequencyMode(before, group, context), context);
        EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error());
      }
      EXPECT_TRUE(ChangedAddresses(before, image).empty()) << "seed " << seed;
    }
  }
}

TEST(FrequencyMode, ReadTexts) {
  const FreqModeContext context;
  Image image = BlankImage();
  Put(image, 0x0818, {0x13, 0x28});
  const auto a = ReadFrequencyMode(image, kGroupA, context);
  EXPECT_EQ(a[F::Current], "400.02500");
  EXPECT_EQ(a[F::Power], "High");
  EXPECT_EQ(a[F::TxTone], "None");
  EXPECT_EQ(a[F::RxTone], "D023N");
  EXPECT_EQ(a[F::Bandwidth], "Wide");
  EXPECT_EQ(a[F::Shift], "Off");
  EXPECT_EQ(a[F::Offset], "00.600");
  EXPECT_EQ(a[F::Display], "VFO");
  EXPECT_EQ(a[F::Squelch], "5");
  EXPECT_EQ(a[F::Step], "12.5");
  EXPECT_EQ(a[F::TxFrequency], "400.02500");
  const auto blank = ReadFrequencyMode(FilledImage(0xFF), kGroupB, context);
  EXPECT_EQ(blank[F::Current], "137.02500");
  EXPECT_EQ(blank[F::TxFrequency], "");
}

struct SetCase {
  F field;
  const char* text;
  std::vector<std::size_t> changed;
};

TEST(FrequencyMode, SetTextChangesOnlyItsCells) {
  const SetCase cases[] = {
      {F::Squelch, "9", {0x0E42}},
      {F::Step, "100", {0x0E31}},
      {F::Display, "Channel-No.+Name", {0x0E20}},
      {F::Power, "Low", {0x082D}},
      {F::RxTone, "67.0", {0x0828, 0x0829}},
      {F::TxTone, "D754I", {0x082A, 0x082B}},
      {F::Shift, "Plus Shift", {0x0826, 0x1820}},               // 136.625 MHz
      {F::Offset, "00.650", {0x1824}},                          // digits 006000 -> 006500
      {F::Offset, "69.950", {0x1821, 0x1822, 0x1823, 0x1824}},  // the last item
      {F::Current, "145.5", {0x0821, 0x0822, 0x0823, 0x0825, 0x0826, 0x0827}},
      {F::TxFrequency, "146.1", {0x0825, 0x0826, 0x0827}},
      {F::TxFrequency, "", {0x0824, 0x0825, 0x0826, 0x0827}},
  };
  const FreqModeContext context;
  for (const auto& c : cases) {
    const Image before = BlankImage();
    Image image = before;
    const auto status = SetFrequencyModeText(image, kGroupB, c.field, c.text, context);
    ASSERT_TRUE(status.ok()) << c.text << ": " << status.error();
    EXPECT_EQ(ChangedAddresses(before, image), c.changed) << c.text;
    if (c.field != F::Current && c.field != F::TxFrequency) {
      EXPECT_EQ(FrequencyModeText(image, kGroupB, c.field, context), c.text);
    }
  }
}

TEST(FrequencyMode, StoreAppliesTxLastAndOnlyWhenChanged) {
  const FreqModeContext context;
  Image image = BlankImage();
  auto texts = ReadFrequencyMode(image, kGroupA, context);
  texts[F::Current] = "145.00000";
  texts[F::Shift] = "Minus Shift";
  ASSERT_TRUE(StoreFrequencyMode(image, kGroupA, texts, context).ok());
  EXPECT_EQ(ReadFreq(RowOf(image, 129), Direction::Tx), "144.40000");

  texts = ReadFrequencyMode(image, kGroupA, context);
  texts[F::TxFrequency] = "145.60000";
  ASSERT_TRUE(StoreFrequencyMode(image, kGroupA, texts, context).ok());
  EXPECT_EQ(ReadFreq(RowOf(image, 129), Direction::Tx), "145.60000");
  EXPECT_EQ(image[0x1810], 2);
}

TEST(FrequencyMode, SetTextRefusals) {
  const std::pair<F, const char*> cases[] = {
      {F::Current, "abc"},
      {F::Current, ""},
      {F::Offset, "00.025"},
      {F::Offset, "70.000"},
      {F::RxTone, "99.9"},
      {F::TxTone, "D999N"},
      {F::Step, "7"},
      {F::Squelch, "10"},
      {F::Shift, "Up"},
      {F::TxFrequency, "x"},
      {F::Power, "Medium"},
      {F::Offset, "0.650"},
      {F::Offset, "000.650"},
      {F::Offset, "00.65"},
      {F::Offset, "00,650"},
      {F::Offset, "+0.650"},
      {F::Offset, ".650"},
      {F::Offset, "00.650 "},
      {F::Offset, "99999999999.000"},
  };
  const FreqModeContext context;
  for (const auto& [field, text] : cases) {
    const Image before = BlankImage();
    Image image = before;
    EXPECT_FALSE(SetFrequencyModeText(image, kGroupA, field, text, context).ok()) << text;
    EXPECT_TRUE(ChangedAddresses(before, image).empty()) << text;
  }
}

TEST(FrequencyMode, FieldKeysAreUnique) {
  std::set<std::string_view> keys;
  ASSERT_EQ(FrequencyModeFields().size(), kFreqModeFieldCount);
  for (std::size_t i = 0; i < kFreqModeFieldCount; ++i) {
    EXPECT_EQ(static_cast<std::size_t>(FrequencyModeFields()[i].field), i);
    EXPECT_TRUE(keys.insert(FrequencyModeFields()[i].key).second);
  }
}

}  // namespace
}  // namespace orvex
