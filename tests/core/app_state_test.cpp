#include "core/app_state.h"

#include <gtest/gtest.h>

#include "core/strings.h"
#include "core/tone.h"

namespace orvex {
namespace {

TEST(AppState, Defaults) {
  const AppState state;
  EXPECT_EQ(state.language, 0);
  EXPECT_EQ(state.fileName, "Untitled.tw");
  EXPECT_EQ(state.openWindows, 0x01);
  EXPECT_EQ(state.viewFlags, 0x07);
  EXPECT_EQ(state.cloneDirection, CloneDirection::Read);
  EXPECT_EQ(state.portNumber, 1);
  EXPECT_EQ(state.channelGridRows, 129);
  EXPECT_EQ(state.channelGridColumns, 15);
  EXPECT_EQ(state.limits.upperMHz, 551);
  EXPECT_EQ(state.limits.lowerMHz, 60);
  EXPECT_EQ(state.limits.tooHigh, 40002500u);
  EXPECT_EQ(state.limits.tooLow, 13702500u);
}

TEST(AppState, WindowBitsFollowTheRefreshOrder) {
  EXPECT_EQ(kWinChannel, 0x01);
  EXPECT_EQ(kWinKey, 0x02);
  EXPECT_EQ(kWinSetting, 0x04);
  EXPECT_EQ(kWinReserved, 0x08);
  EXPECT_EQ(kWinMsk, 0x10);
  EXPECT_EQ(kWinScrambler, 0x20);
  EXPECT_EQ(kWin2Tone, 0x40);
  EXPECT_EQ(kWin5Tone, 0x80);
  EXPECT_EQ(kViewTree | kViewToolBar | kViewStatusBar, 7);
}

struct StoredLanguageCase {
  const char* stored;
  int language;
};

class LanguageFromStoredTest : public ::testing::TestWithParam<StoredLanguageCase> {};

TEST_P(LanguageFromStoredTest, OnlyOneMeansChinese) {
  EXPECT_EQ(LanguageFromStored(GetParam().stored), GetParam().language) << '"' << GetParam().stored << '"';
}

INSTANTIATE_TEST_SUITE_P(Values, LanguageFromStoredTest,
                         ::testing::Values(StoredLanguageCase{"1", 1}, StoredLanguageCase{"0", 0},
                                           StoredLanguageCase{"", 0}, StoredLanguageCase{"2", 0},
                                           StoredLanguageCase{"x", 0}, StoredLanguageCase{"-1", 0},
                                           StoredLanguageCase{"11", 0}, StoredLanguageCase{"1x", 0},
                                           StoredLanguageCase{"255", 0}));

struct DirectoryCase {
  const char* given;
  const char* expected;
};

class WithTrailingSeparatorTest : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(WithTrailingSeparatorTest, EndsWithExactlyOneSeparator) {
  EXPECT_EQ(WithTrailingSeparator(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Directories, WithTrailingSeparatorTest,
                         ::testing::Values(DirectoryCase{"/opt/orvex", "/opt/orvex/"},
                                           DirectoryCase{"/opt/orvex/", "/opt/orvex/"}, DirectoryCase{"/", "/"},
                                           DirectoryCase{"C:\\ORVEX", "C:\\ORVEX/"},
                                           DirectoryCase{"C:\\ORVEX\\", "C:\\ORVEX\\"}, DirectoryCase{"", "/"}));

class StartUpTest : public ::testing::TestWithParam<int> {};

TEST_P(StartUpTest, SetsEveryValueAndTheBlankImage) {
  const int language = GetParam();
  AppState state;
  // Leftovers from an earlier session must not survive start-up.
  state.fileName = "/tmp/other.tw";
  state.openWindows = 0xFF;
  state.viewFlags = 0;
  state.portNumber = 7;
  state.cloneDirection = CloneDirection::Write;
  RadioMemory memory;
  memory[0x0010] = 0x12;

  StartUp(state, memory, language == 1 ? "1" : "0", "/opt/orvex", '.');

  EXPECT_EQ(state.language, language);
  EXPECT_EQ(state.portNumber, 1);
  EXPECT_EQ(state.openWindows, 0x01);
  EXPECT_EQ(state.viewFlags, 0x07);
  EXPECT_EQ(state.cloneDirection, CloneDirection::Read);
  EXPECT_EQ(state.channelGridRows, 129);
  EXPECT_EQ(state.channelGridColumns, 15);
  EXPECT_EQ(state.fileName, "Untitled.tw");
  EXPECT_EQ(state.appDirectory, "/opt/orvex/");
  EXPECT_EQ(state.limits.upperMHz, 551);
  EXPECT_EQ(state.limits.lowerMHz, 60);
  EXPECT_EQ(state.decimalSeparator, '.');

  ASSERT_EQ(state.toneList.size(), 261u);
  EXPECT_EQ(state.toneList[0], Text(1137, language));
  EXPECT_EQ(state.toneList[0], language == 1 ? "\xE6\x97\xA0" : "None");
  EXPECT_EQ(state.toneList[1], "67.0");
  EXPECT_EQ(state.toneList[260], "D754I");

  EXPECT_EQ(memory.image(), BlankImage());
  EXPECT_FALSE(memory.IsModified());
}

INSTANTIATE_TEST_SUITE_P(Languages, StartUpTest, ::testing::Values(0, 1));

TEST(StartUp, UnexpectedStoredLanguageStartsInEnglish) {
  AppState state;
  RadioMemory memory;
  StartUp(state, memory, "7", "/opt/orvex/", '.');
  EXPECT_EQ(state.language, 0);
  EXPECT_EQ(state.toneList[0], "None");
  EXPECT_EQ(state.appDirectory, "/opt/orvex/");
}

TEST(StartUp, CommaLocaleFormatsTonesWithComma) {
  AppState state;
  RadioMemory memory;
  StartUp(state, memory, "", "/opt/orvex", ',');
  EXPECT_EQ(state.decimalSeparator, ',');
  EXPECT_EQ(state.toneList[1], "67,0");
  EXPECT_EQ(state.toneList[50], "254,1");
  EXPECT_EQ(state.toneList[51], "D023N");
}

}  // namespace
}  // namespace orvex
