#include "model/channels/channel_rows.h"

#include <gtest/gtest.h>

#include <functional>

#include "model/channel_test_util.h"
#include "model/channels/channel_csv.h"

namespace orvex {
namespace {

using test::RandomChannelImage;
using test::RawChannel;

constexpr std::size_t kPriority = 0x0E5E;
constexpr int kPriorityChannel = 5;

// Rows 1..128 each hold its own channel; 0 is a blank one.
int Same(int row) { return row; }

struct RowCase {
  const char* name;
  std::function<void(Image&)> prepare;
  std::function<RowEdit(Image&)> edit;
  RowRefusal refusal;
  std::function<int(int row)> holds;  // the channel (before) each row holds after
  std::vector<int> rows;              // the rows the edit names afterwards
};

std::vector<int> Rows(std::initializer_list<int> rows) { return rows; }

const RowCase kRowCases[] = {
    {"insert moves the rest down",
     [](Image& i) { ClearChannel(i, 128); },
     [](Image& i) { return InsertBlankChannels(i, 5); },
     RowRefusal::None,
     [](int r) { return r < 5    ? r
                        : r == 5 ? 0
                                 : r - 1; },
     {5}},
    {"insert three",
     [](Image& i) {
       for (int n = 126; n <= 128; ++n) ClearChannel(i, n);
     },
     [](Image& i) { return InsertBlankChannels(i, 1, 3); },
     RowRefusal::None,
     [](int r) { return r <= 3 ? 0 : r - 3; },
     {1, 2, 3}},
    {"insert refused when the last channel is programmed",
     [](Image& i) { test::PutChannel(i, 128, RawChannel{}); },
     [](Image& i) { return InsertBlankChannels(i, 5); },
     RowRefusal::LastChannelProgrammed,
     Same,
     {}},
    {"insert past the end refused",
     [](Image& i) { ClearChannel(i, 128); },
     [](Image& i) { return InsertBlankChannels(i, 127, 3); },
     RowRefusal::DoesNotFit,
     Same,
     {}},
    {"delete moves the rest up",
     nullptr,
     [](Image& i) {
       return DeleteChannels(i, Rows({3, 5, 400}));
     },
     RowRefusal::None,
     [](int r) {
       return r < 3 ? r : r == 3 ? 4 : r <= 126 ? r + 2 : 0;
     },
     {3}},
    {"delete nothing refused",
     nullptr,
     [](Image& i) {
       return DeleteChannels(i, Rows({0, 129}));
     },
     RowRefusal::NoRows,
     Same,
     {}},
    {"clear",
     nullptr,
     [](Image& i) {
       return ClearChannels(i, Rows({2, 5}));
     },
     RowRefusal::None,
     [](int r) { return r == 2 || r == 5 ? 0 : r; },
     {2, 5}},
    {"move a block up",
     nullptr,
     [](Image& i) {
       return MoveChannels(i, Rows({4, 3}), -1);
     },
     RowRefusal::None,
     [](int r) {
       return r == 2 ? 3 : r == 3 ? 4 : r == 4 ? 2 : r;
     },
     {2, 3}},
    {"move apart rows down",
     nullptr,
     [](Image& i) {
       return MoveChannels(i, Rows({5, 7}), 1);
     },
     RowRefusal::None,
     [](int r) {
       return r == 5 ? 6 : r == 6 ? 5 : r == 7 ? 8 : r == 8 ? 7 : r;
     },
     {6, 8}},
    {"move channel 1 up refused",
     nullptr,
     [](Image& i) {
       return MoveChannels(i, Rows({1, 2}), -1);
     },
     RowRefusal::AtEdge,
     Same,
     {}},
    {"move channel 128 down refused",
     nullptr,
     [](Image& i) { return MoveChannels(i, Rows({128}), 1); },
     RowRefusal::AtEdge,
     Same,
     {}},
    {"sort by Rx, empty last, equal keep order",
     [](Image& i) {
       test::PutChannel(i, 1, RawChannel{.rx = 44600000});
       test::PutChannel(i, 2, RawChannel{.rx = 14500000});
       ClearChannel(i, 3);
       test::PutChannel(i, 4, RawChannel{.rx = 14500000});
       test::PutChannel(i, 5, RawChannel{.rx = 43000000});
     },
     [](Image& i) {
       return SortChannels(i, Rows({1, 2, 3, 4, 5}), ChannelSortKey::RxFrequency);
     },
     RowRefusal::None,
     [](int r) {
       return r == 1 ? 2 : r == 2 ? 4 : r == 3 ? 5 : r == 4 ? 1 : r == 5 ? 3 : r;
     },
     {1, 2, 3, 4, 5}},
    {"sort by name, blank names then empty channels last",
     [](Image& i) {
       test::PutChannel(i, 5, RawChannel{.name = "ZULU"});
       test::PutChannel(i, 6, RawChannel{.name = "      "});
       ClearChannel(i, 7);
       test::PutChannel(i, 8, RawChannel{.name = "ALPHA"});
       test::PutChannel(i, 9, RawChannel{.name = "7 MILE"});
     },
     [](Image& i) {
       return SortChannels(i, Rows({5, 6, 7, 8, 9}), ChannelSortKey::Name);
     },
     RowRefusal::None,
     [](int r) {
       return r == 5 ? 9 : r == 6 ? 8 : r == 7 ? 5 : r == 8 ? 6 : r == 9 ? 7 : r;
     },
     {5, 6, 7, 8, 9}},
};

class ChannelRowEdit : public ::testing::TestWithParam<RowCase> {};

// Every byte of every channel (record, BCL, scrambler and signalling flags,
// the bytes the editor never shows, the whole name row) stays with its
// channel; no byte outside the channels changes but the priority channel,
// which follows its channel.
TEST_P(ChannelRowEdit, EveryByteStaysWithItsChannel) {
  const RowCase& c = GetParam();
  Image before = RandomChannelImage(42);
  before[kPriority] = kPriorityChannel;
  if (c.prepare) c.prepare(before);
  Image after = before;
  const RowEdit edit = c.edit(after);
  EXPECT_EQ(edit.refusal, c.refusal);
  EXPECT_EQ(edit.rows, c.rows);
  if (!edit.done()) {
    EXPECT_EQ(after, before) << "a refused edit changes nothing";
    return;
  }
  int priorityRow = 0;
  for (int r = 1; r <= 128; ++r) {
    const int from = c.holds(r);
    const ChannelBytes expected = from == 0 ? BlankChannel() : TakeChannel(before, from);
    ASSERT_EQ(TakeChannel(after, r), expected) << "row " << r;
    if (from == kPriorityChannel) priorityRow = r;
  }
  EXPECT_EQ(after[kPriority], priorityRow) << "the priority channel follows its channel, Off when it is gone";
  for (std::size_t address = 0; address < kImageSize; ++address) {
    const std::size_t row = address / kRowSize;
    const bool channelByte = (row >= 1 && row <= 128) || (row >= 257 && row <= 384);
    if (!channelByte && address != kPriority) {
      ASSERT_EQ(after[address], before[address]) << std::hex << address;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ChannelRowEdit, ::testing::ValuesIn(kRowCases), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
});

// --- clipboard ----------------------------------------------------------------

TEST(ChannelClip, CopyRowsOneToFivePastedAtTwentyIsByteIdentical) {
  const Image source = RandomChannelImage(7);
  Image target = RandomChannelImage(8);  // another codeplug
  const std::vector<int> rows = {1, 2, 3, 4, 5};
  const auto clip = DecodeChannelClip(EncodeChannelClip(CopyChannels(source, rows)));
  ASSERT_TRUE(clip);
  const Image untouched = target;
  const RowEdit pasted = PasteChannels(target, 20, *clip);
  EXPECT_EQ(pasted.rows, (std::vector<int>{20, 21, 22, 23, 24}));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(TakeChannel(target, 20 + i), TakeChannel(source, 1 + i)) << i;
  for (int n = 1; n <= 128; ++n)
    if (n < 20 || n > 24) {
      EXPECT_EQ(TakeChannel(target, n), TakeChannel(untouched, n)) << n;
    }
}

TEST(ChannelClip, PasteRunningPastTheLastChannelIsRefused) {
  Image image = RandomChannelImage(9);
  const Image before = image;
  EXPECT_EQ(PasteChannels(image, 126, CopyChannels(image, std::vector<int>{1, 2, 3, 4})).refusal,
            RowRefusal::DoesNotFit);
  EXPECT_EQ(image, before);
}

TEST(ChannelClip, ForeignOrBrokenDataIsNoClip) {
  const std::string good = EncodeChannelClip(std::vector<ChannelBytes>(2, BlankChannel()));
  ASSERT_TRUE(DecodeChannelClip(good));
  const std::string tooMany = EncodeChannelClip(std::vector<ChannelBytes>(129, BlankChannel()));
  for (const std::string& data : {std::string(), std::string("ORVEXCH1"), good.substr(0, good.size() - 1),
                                  "XRVEXCH1" + good.substr(8), tooMany, std::string("Location,Name\r\n")})
    EXPECT_FALSE(DecodeChannelClip(data)) << data.size();
}

// The CSV half of a copy, pasted alone where it came from, does what a CSV
// import of the same text does.
TEST(ChannelClip, CsvTextPastedAloneIsACsvImport) {
  // Channels the radio can hold, with tones, shifts and flags of their own.
  Image source = test::Blank();
  const char* tones[] = {"None", "88.5", "D023N", "D754I", "123.0"};
  for (int n = 1; n <= 5; ++n)
    test::PutChannel(source, n,
                     RawChannel{.rx = static_cast<FreqUnits>(14000000 + n * 12500),
                                .tx = n == 3 ? std::nullopt : std::optional<FreqUnits>(14060000 + n * 12500),
                                .decodeTone = tones[n - 1],
                                .encodeTone = tones[5 - n],
                                .flagsA = static_cast<std::uint8_t>(n % 2 ? 0x70 : 0x18),
                                .name = "CH" + std::to_string(n)});
  const Image target = RandomChannelImage(12);
  const std::vector<int> rows = {1, 2, 3, 4, 5};
  const std::string csv = CopiedChannelsCsv(source, rows);
  ASSERT_TRUE(csv.starts_with(kChannelCsvHeader));
  const auto imported = ImportChannelsCsv(target, csv, false);
  ASSERT_TRUE(imported) << imported.error();
  const CsvPaste pasted = PasteChannelsCsv(target, 1, csv);
  EXPECT_EQ(pasted.problems, "");
  EXPECT_EQ(pasted.image, *imported);
}

// Text from a spreadsheet: tab-separated, with or without the header line.
TEST(ChannelClip, SpreadsheetRowsPasteByTheImportRulesAndReportWhatTheyCannotTake) {
  Image image = test::Blank();
  const struct {
    const char* name;
    std::string text;
    std::vector<int> rows;
    std::string problems;
  } cases[] = {
      {"csv with header", "Location,Name,Frequency\r\n7,AA,145.5\r\n9,BB,446.1\r\n", {20, 22}, ""},
      {"tabs without header", "7\tAA\t145.5\n9\tBB\t446.1\n", {20, 22}, ""},
      {"bad row left out",
       "Location,Name,Frequency\n1,AA,145.5\n2,BB,abc\n3,CC,430\n",
       {20, 22},
       "line 3: Frequency \"abc\" is not a frequency in MHz such as 145.500000"},
      {"no location column", "Name\tFrequency\nAA\t145.5\nBB\t146\n", {20, 21}, ""},
      {"past the end", "Location,Frequency\n1,145.5\n120,146\n", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CsvPaste pasted = PasteChannelsCsv(image, 20, c.text);
    EXPECT_EQ(pasted.rows, c.rows);
    EXPECT_EQ(pasted.problems, c.problems);
    for (int n : c.rows) EXPECT_TRUE(IsProgrammed(pasted.image, n)) << n;
  }
  const CsvPaste named = PasteChannelsCsv(image, 20, "7\tAA\t145.5\n");
  EXPECT_EQ(ReadChannel(named.image, 20, 0).name, "AA    ");
  EXPECT_EQ(ReadChannel(named.image, 20, 0).rx, "145.50000");
}

}  // namespace
}  // namespace orvex
