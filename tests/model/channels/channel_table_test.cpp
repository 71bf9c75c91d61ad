#include "model/channels/channel_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/strings.h"
#include "model/channel_test_util.h"

namespace orvex {
namespace {

using test::Blank;
using test::PutChannel;
using test::RawChannel;

std::string T(int number, int language = 0) { return std::string(Text(number, language)); }

// The editor a cell gets, the tone list told apart from the other lists.
enum class CellEditorKind { None, Text, ToneList, List };
CellEditorKind KindOf(const EditStart& start) {
  switch (start.editor.kind) {
    case EditorKind::Text:
      return CellEditorKind::Text;
    case EditorKind::List:
      return start.editor.list == kToneListEditor ? CellEditorKind::ToneList : CellEditorKind::List;
    default:
      return CellEditorKind::None;
  }
}

ChannelTable Loaded(const Image& image, int language = 0) {
  ChannelTable table(language);
  table.ChannelGridLoad(image);
  return table;
}

// A table with channel `row` created by typing its Rx frequency.
ChannelTable WithChannel(int row, const std::string& opt = "") {
  ChannelTable table = Loaded(Blank());
  table.SetRxCell(row, "145.5");
  if (!opt.empty()) {
    table.SetCurrent({row, kColOptSignal});
    table.CommitListEditor(opt);
  }
  return table;
}

TEST(ChannelTable, HeadingsCaptionAndNumbers) {
  for (int language : {0, 1}) {
    ChannelTable table(language);
    EXPECT_EQ(table.Caption(), T(1100, language) + "..");
    EXPECT_EQ(table.Cell(0, kColNumber), T(1120, language));
    EXPECT_EQ(table.Cell(0, kColDecodeTone), "CTC/DCS " + T(1123, language));
    EXPECT_EQ(table.Cell(0, kColEncodeTone), "CTC/DCS " + T(1124, language));
    EXPECT_EQ(table.Cell(0, kColAutoResponse), T(1518, language));
    EXPECT_EQ(table.Cell(1, kColNumber), "1");
    EXPECT_EQ(table.Cell(128, kColNumber), "128");
  }
  EXPECT_EQ(ChannelTable(0).Cell(0, kColRx), "Rx Freq");
}

TEST(ChannelTable, ColumnWidthsHideOptionAndScramblerNo) {
  const int widths[] = {500, 1200, 1200, 1450, 1450, 1000, 1000, 1000, 1000, 1200, 0, 0, 1000, 1000, 1300};
  for (int column = 0; column < kChannelColumns; ++column) {
    EXPECT_EQ(ChannelTable::ColumnWidth(column), widths[column]) << column;
    EXPECT_EQ(ChannelTable::IsHiddenColumn(column), column == kColOption || column == kColScramblerNo);
  }
}

TEST(ChannelTable, BlankImageLoadsEmptyRows) {
  ChannelTable table = Loaded(BlankImage());
  for (int row = 1; row <= 128; ++row)
    for (int column = 1; column < kChannelColumns; ++column) EXPECT_EQ(table.Cell(row, column), "");
  EXPECT_EQ(table.current(), (CellPos{1, kColRx}));
  Image image = BlankImage();
  ASSERT_TRUE(table.SaveData(image).ok());
  EXPECT_EQ(image, BlankImage());
}

TEST(ChannelTable, LoadShowsEveryColumn) {
  Image image = Blank();
  RawChannel raw;
  raw.tx = 14610000;
  raw.decodeTone = "D023N";
  raw.encodeTone = "88.5";
  raw.flagsA = 0x5C;  // Scan Add, Wide, BCL, 5-Tone
  raw.flagsB = 0x93;  // Scramble, number 2, Decode 3
  raw.name = "AB";
  PutChannel(image, 4, raw);
  ChannelTable table = Loaded(image);
  const std::vector<std::string> expected = {"145.50000", "146.10000", "D023N",    "88.5", "Low",    "Yes", "Wide",
                                             "Carrier",   "AB    ",    "Scramble", "2",    "5-Tone", "3",   "Off"};
  for (int column = 1; column < kChannelColumns; ++column)
    EXPECT_EQ(table.Cell(4, column), expected[static_cast<std::size_t>(column - 1)]) << column;
  EXPECT_FALSE(table.IsGreyed(4, kColDecode));
  EXPECT_FALSE(table.IsGreyed(4, kColAutoResponse));
}

TEST(ChannelTable, SaveAfterLoadLeavesTheImageUnchanged) {
  for (unsigned seed = 100; seed < 130; ++seed) {
    for (int language : {0, 1}) {
      const Image original = test::RandomChannelImage(seed);
      Image image = original;
      const Status saved = Loaded(image, language).SaveData(image);
      ASSERT_TRUE(saved.ok()) << saved.error();
      ASSERT_EQ(image, original) << "seed " << seed << " language " << language;
    }
  }
}

TEST(ChannelTable, RefreshSwitchesLanguage) {
  Image image = Blank();
  PutChannel(image, 1, RawChannel{});
  ChannelTable table = Loaded(image, 0);
  table.RefreshChannel(image, 1);
  EXPECT_EQ(table.Cell(1, kColPower), T(1147, 1));
  EXPECT_EQ(table.Cell(0, kColRx), T(1121, 1));
  ASSERT_TRUE(table.SaveData(image).ok());
  EXPECT_EQ(image[Address(1, 13)], 0x70);
}

// ---- commits ----------------------------------------------------------------

TEST(ChannelTable, RxEntryIsNormalisedAndTheReplacementNamed) {
  // A replaced value is named in the note; formatting alone ("146.5") is not
  // a replacement.
  const std::string bands = " MHz is outside the radio's bands; stored ";
  const std::string raster = " MHz is not on the channel raster; stored ";
  struct Case {
    const char* typed;
    const char* shown;
    std::string note;  // after "Channel 3: <typed>"
  };
  const Case cases[] = {{"600", "400.02500", bands},       {"50", "137.02500", bands},
                        {"145.0031", "145.00000", raster}, {"145.0063", "145.00625", raster},
                        {"146.5", "146.50000", ""},        {"551", "400.02500", bands},
                        {"550.999", "550.99500", raster},  {"1.2.3", "137.02500", bands},
                        {"438", "438.00000", ""},          {"145.000001", "145.00000", ""}};
  for (const auto& c : cases) {
    const std::string note = c.note.empty() ? "" : "Channel 3: " + std::string(c.typed) + c.note + c.shown;
    ChannelTable table = Loaded(Blank());
    table.SetCurrent({3, kColRx});
    EXPECT_EQ(table.CommitTextEditor(c.typed).note, note) << c.typed;
    EXPECT_EQ(table.Cell(3, kColRx), c.shown) << c.typed;
    table.SetCurrent({3, kColTx});
    EXPECT_EQ(table.CommitTextEditor(c.typed).note, note) << c.typed;
    EXPECT_EQ(table.Cell(3, kColTx), c.shown) << c.typed;
  }
  ChannelTable chinese = Loaded(Blank(), 1);
  EXPECT_EQ(chinese.SetRxCell(6, "600"), "信道 6：600 MHz 超出电台频段；已存为 400.02500");
}

TEST(ChannelTable, TypingOnTheDecodeCellOfAnEmptyChannelCreatesIt) {
  ChannelTable table = Loaded(Blank());
  table.SetCurrent({7, kColDecodeTone});
  const EditStart offer = table.GridKey('1');
  EXPECT_EQ(table.current(), (CellPos{7, kColRx}));
  EXPECT_EQ(KindOf(offer), CellEditorKind::Text);
  EXPECT_EQ(offer.text, "1");
  EXPECT_FALSE(offer.selectAll);
  EXPECT_EQ(offer.editor.maxLength, 9u);
  table.CommitTextEditor("146.5");
  const std::vector<std::string> expected = {"146.50000", "146.50000", "None", "None", "High", "Yes", "Wide",
                                             "Off",       "",          "Off",  "1",    "Off",  "0",   "Off"};
  for (int column = 1; column < kChannelColumns; ++column)
    EXPECT_EQ(table.Cell(7, column), expected[static_cast<std::size_t>(column - 1)]) << column;
  EXPECT_TRUE(table.IsGreyed(7, kColDecode));
  EXPECT_TRUE(table.IsGreyed(7, kColAutoResponse));
  EXPECT_EQ(table.current(), (CellPos{7, kColTx}));
  Image image = Blank();
  ASSERT_TRUE(table.SaveData(image).ok());
  EXPECT_EQ(image[Address(7, 13)], 0x70);
  EXPECT_EQ(image[Address(7 + 256, 0)], 38);
}

TEST(ChannelTable, NewRxOnAnExistingChannelKeepsItsCells) {
  ChannelTable table = WithChannel(2, "MSK");
  table.SetTxCell(2, "");
  table.SetRxCell(2, "440");
  EXPECT_EQ(table.Cell(2, kColRx), "440.00000");
  EXPECT_EQ(table.Cell(2, kColTx), "");
  EXPECT_EQ(table.Cell(2, kColOptSignal), "MSK");
}

TEST(ChannelTable, EmptyingRxEmptiesTheRowAndSaveClearsIt) {
  Image image = test::RandomChannelImage(21);
  PutChannel(image, 9, RawChannel{});
  ChannelTable table = Loaded(image);
  table.SetCurrent({9, kColRx});
  table.CommitTextEditor("");
  for (int column = 1; column < kChannelColumns; ++column) EXPECT_EQ(table.Cell(9, column), "");
  ASSERT_TRUE(table.SaveData(image).ok());
  for (std::size_t a = 0x90; a < 0xA0; ++a) EXPECT_EQ(image[a], 0xFF);
  for (std::size_t a = 0x1090; a < 0x10A0; ++a) EXPECT_EQ(image[a], 0xFF);
}

TEST(ChannelTable, EmptyTxEmptiesEncodeAndClicksThereGoToTx) {
  ChannelTable table = WithChannel(5);
  table.SetCurrent({5, kColTx});
  table.CommitTextEditor("");
  EXPECT_EQ(table.Cell(5, kColEncodeTone), "");
  EXPECT_EQ(table.current(), (CellPos{5, kColDecodeTone}));
  const EditStart offer = table.Click(5, kColEncodeTone);
  EXPECT_EQ(table.current(), (CellPos{5, kColTx}));
  EXPECT_EQ(KindOf(offer), CellEditorKind::Text);
  table.CommitTextEditor("145.6");
  EXPECT_EQ(table.Cell(5, kColEncodeTone), "None");
}

TEST(ChannelTable, NameIsUpperCasedAndPadded) {
  ChannelTable table = WithChannel(3);
  table.SetCurrent({3, kColName});
  std::string typed;
  for (char c : std::string("ab+-!"))
    if (auto accepted = ChannelTable::TextEditorChar(kColName, c)) typed += *accepted;
  table.CommitTextEditor(typed);
  EXPECT_EQ(table.Cell(3, kColName), "AB+   ");
  EXPECT_EQ(table.current(), (CellPos{3, kColOptSignal}));  // skips the hidden columns
}

TEST(ChannelTable, TextEditorCharacters) {
  struct Case {
    int column;
    char typed;
    std::optional<char> accepted;
  };
  const Case cases[] = {
      {kColRx, '5', '5'},
      {kColRx, '.', '.'},
      {kColTx, ',', ','},
      {kColRx, 'a', std::nullopt},
      {kColTx, ' ', std::nullopt},
      {kColName, 'q', 'Q'},
      {kColName, '?', '?'},
      {kColName, ' ', ' '},
      {kColName, '.', std::nullopt},
      {kColName, '-', std::nullopt},
      {kColPower, '1', std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ChannelTable::TextEditorChar(c.column, c.typed), c.accepted) << c.typed;
}

// ---- greying and the Enter walk ------------------------------------------------

TEST(ChannelTable, OptSignalGreysDecodeAndAutoResponse) {
  struct Case {
    std::string signal;
    bool decodeGreyed, autoGreyed;
  };
  const Case cases[] = {{"Off", true, true}, {"MSK", false, true}, {"2-Tone", false, true}, {"5-Tone", false, false}};
  for (const auto& c : cases) {
    ChannelTable table = WithChannel(1, c.signal);
    EXPECT_EQ(table.IsGreyed(1, kColDecode), c.decodeGreyed) << c.signal;
    EXPECT_EQ(table.IsGreyed(1, kColAutoResponse), c.autoGreyed) << c.signal;
    for (int column = 1; column < kColDecode; ++column) EXPECT_FALSE(table.IsGreyed(1, column));
    EXPECT_EQ(KindOf(table.OpenCellEditor(1, kColAutoResponse)),
              c.autoGreyed ? CellEditorKind::None : CellEditorKind::List);
  }
}

TEST(ChannelTable, PickingMskAfterFiveToneGreysAutoResponseAndKeepsItsText) {
  ChannelTable table = WithChannel(1, "5-Tone");
  table.SetCurrent({1, kColAutoResponse});
  table.CommitListEditor("On");
  table.SetCurrent({1, kColOptSignal});
  table.PickListItem("MSK");
  EXPECT_TRUE(table.IsGreyed(1, kColAutoResponse));
  EXPECT_FALSE(table.IsGreyed(1, kColDecode));
  EXPECT_EQ(table.Cell(1, kColAutoResponse), "On");
}

TEST(ChannelTable, NextEditableCell) {
  struct Case {
    std::string signal;
    bool noTx;
    CellPos from, to;
  };
  const std::vector<Case> cases = {
      {"Off", false, {4, kColRx}, {4, kColTx}},
      {"Off", false, {4, kColDecodeTone}, {4, kColEncodeTone}},
      {"Off", true, {4, kColDecodeTone}, {4, kColPower}},
      {"Off", false, {4, kColBcl}, {4, kColName}},
      {"Off", false, {4, kColName}, {4, kColOptSignal}},
      {"Off", false, {4, kColOptSignal}, {5, kColRx}},
      {"Off", false, {128, kColOptSignal}, {1, kColRx}},
      {"MSK", false, {4, kColOptSignal}, {4, kColDecode}},
      {"2-Tone", false, {4, kColDecode}, {5, kColRx}},
      {"5-Tone", false, {4, kColDecode}, {4, kColAutoResponse}},
      {"5-Tone", false, {128, kColAutoResponse}, {1, kColRx}},
  };
  for (const auto& c : cases) {
    ChannelTable table = WithChannel(c.from.row, c.signal);
    if (c.noTx) table.SetTxCell(c.from.row, "");
    const CellPos to = table.NextEditableCell(c.from);
    EXPECT_EQ(to, c.to) << c.signal << " " << c.from.row << "," << c.from.column << " -> " << to.row << ","
                        << to.column;
  }
}

TEST(ChannelTable, EnterInTheOptSignalListOnTheLastRowWrapsToTheFirst) {
  ChannelTable table = WithChannel(128);
  table.SetCurrent({128, kColOptSignal});
  table.CommitListEditor("Off");
  EXPECT_EQ(table.current(), (CellPos{1, kColRx}));
}

// ---- opening editors ------------------------------------------------------------

TEST(ChannelTable, EditorsPerColumn) {
  ChannelTable table = WithChannel(2, "5-Tone");
  struct Case {
    int column;
    CellEditorKind kind;
    std::size_t maxLength, items;
  };
  const Case cases[] = {
      {kColRx, CellEditorKind::Text, 9, 0},
      {kColTx, CellEditorKind::Text, 9, 0},
      {kColDecodeTone, CellEditorKind::ToneList, 0, 261},
      {kColEncodeTone, CellEditorKind::ToneList, 0, 261},
      {kColPower, CellEditorKind::List, 0, 2},
      {kColScanAdd, CellEditorKind::List, 0, 2},
      {kColBandwidth, CellEditorKind::List, 0, 2},
      {kColBcl, CellEditorKind::List, 0, 2},
      {kColName, CellEditorKind::Text, 6, 0},
      {kColOption, CellEditorKind::List, 0, 3},
      {kColScramblerNo, CellEditorKind::List, 0, 8},
      {kColOptSignal, CellEditorKind::List, 0, 4},
      {kColDecode, CellEditorKind::List, 0, 8},
      {kColAutoResponse, CellEditorKind::List, 0, 2},
      {kColNumber, CellEditorKind::None, 0, 0},
  };
  for (const auto& c : cases) {
    const EditStart offer = table.OpenCellEditor(2, c.column);
    EXPECT_EQ(KindOf(offer), c.kind) << c.column;
    EXPECT_EQ(offer.editor.maxLength, c.maxLength) << c.column;
    EXPECT_EQ(offer.editor.items.size(), c.items) << c.column;
    if (c.kind != CellEditorKind::None) {
      EXPECT_EQ(offer.text, table.Cell(2, c.column)) << c.column;
    }
  }
  EXPECT_EQ(KindOf(table.OpenCellEditor(0, kColRx)), CellEditorKind::None);
}

TEST(ChannelTable, ToneListStartsWithNoneInTheCurrentLanguage) {
  Image image = Blank();
  PutChannel(image, 1, RawChannel{});
  for (int language : {0, 1}) {
    const EditStart offer = Loaded(image, language).OpenCellEditor(1, kColDecodeTone);
    EXPECT_EQ(offer.editor.items.front(), T(1137, language));
    EXPECT_EQ(offer.editor.items[1], "67.0");
    EXPECT_EQ(offer.editor.items.back(), "D754I");
    EXPECT_EQ(offer.text, T(1137, language));
  }
}

TEST(ChannelTable, ToneOutsideTheListIsOfferedLastAndSurvivesACommit) {
  Image image = Blank();
  PutChannel(image, 3, RawChannel{});
  image[Address(3, 8)] = 0xE9;  // 100.1 Hz: CTCSS, but not a tone of the list
  image[Address(3, 9)] = 0x03;
  ChannelTable table = Loaded(image);
  ASSERT_EQ(table.Cell(3, kColDecodeTone), "100.1");
  const EditStart offer = table.OpenCellEditor(3, kColDecodeTone);
  EXPECT_EQ(offer.editor.items.size(), kToneListSize + 1);
  EXPECT_EQ(offer.editor.items.back(), "100.1");
  EXPECT_EQ(table.OpenCellEditor(3, kColEncodeTone).editor.items.size(), kToneListSize);

  table.SetCurrent({3, kColDecodeTone});
  table.CommitListEditor(offer.editor.items.back());
  Image saved = image;
  ASSERT_TRUE(table.SaveData(saved).ok());
  EXPECT_EQ(saved, image);
}

TEST(ChannelTable, GridKeys) {
  struct Case {
    int column;
    char key;
    CellEditorKind kind;
    std::string text;
    bool selectAll;
  };
  const std::vector<Case> cases = {
      {kColRx, kKeyEnter, CellEditorKind::Text, "145.50000", true},
      {kColTx, '4', CellEditorKind::Text, "4", false},
      {kColTx, '.', CellEditorKind::Text, ".", false},
      {kColRx, 'a', CellEditorKind::None, "", true},
      {kColName, kKeyEnter, CellEditorKind::Text, "", true},
      {kColName, 'x', CellEditorKind::Text, "X", false},
      {kColName, '7', CellEditorKind::Text, "7", false},
      {kColName, '+', CellEditorKind::None, "", true},
      {kColPower, kKeyEnter, CellEditorKind::List, "High", true},
      {kColPower, 'H', CellEditorKind::None, "", true},
      {kColDecode, kKeyEnter, CellEditorKind::None, "", true},  // greyed with Opt.Signal Off
      {kColDecodeTone, kKeyEnter, CellEditorKind::ToneList, "None", true},
  };
  for (const auto& c : cases) {
    ChannelTable table = WithChannel(6);
    table.SetCurrent({6, c.column});
    const EditStart offer = table.GridKey(c.key);
    EXPECT_EQ(KindOf(offer), c.kind) << c.column << " " << c.key;
    if (c.kind == CellEditorKind::None) continue;
    EXPECT_EQ(offer.text, c.text) << c.column << " " << c.key;
    EXPECT_EQ(offer.selectAll, c.selectAll) << c.column << " " << c.key;
  }
}

TEST(ChannelTable, ClicksOnAnEmptyRowOpenTheRxEditor) {
  for (int column = 1; column < kChannelColumns; ++column) {
    ChannelTable table = Loaded(Blank());
    const EditStart offer = table.Click(12, column);
    EXPECT_EQ(table.current(), (CellPos{12, kColRx})) << column;
    EXPECT_EQ(KindOf(offer), CellEditorKind::Text);
    EXPECT_EQ(offer.text, "");
  }
}

// A programmed channel whose decode tone the grid cannot show.
TEST(ChannelTable, UnknownDecodeToneKind) {
  Image image = Blank();
  RawChannel raw;
  raw.flagsA = 0x54;
  raw.name = "KEEP";
  PutChannel(image, 8, raw);
  image[Address(8, 9)] = 0x10;
  ChannelTable table = Loaded(image);
  EXPECT_EQ(table.Cell(8, kColDecodeTone), "");
  EXPECT_EQ(KindOf(table.OpenCellEditor(8, kColDecodeTone)), CellEditorKind::None);

  Image saved = image;
  ASSERT_TRUE(table.SaveData(saved).ok());
  EXPECT_EQ(saved[Address(8, 8)], 0xFF);
  EXPECT_EQ(saved[Address(8, 9)], 0xFF);

  table.SetRxCell(8, "430");
  EXPECT_EQ(table.Cell(8, kColTx), "430.00000");
  EXPECT_EQ(table.Cell(8, kColDecodeTone), "None");
  EXPECT_EQ(table.Cell(8, kColPower), "High");
  EXPECT_EQ(table.Cell(8, kColOptSignal), "Off");
  EXPECT_EQ(table.Cell(8, kColName), "KEEP  ");
}

TEST(ChannelTable, SaveStoresGoodRowsAndReportsBadOnes) {
  const Image original = test::RandomChannelImage(31);
  Image image = original;
  ChannelTable table = Loaded(image);
  table.SetRxCell(40, "145.5");
  ChannelFields bad = NewChannelFields("145.50000", 0);
  bad.power = "Medium";
  table.SetRowFields(41, bad);
  const Status saved = table.SaveData(image);
  ASSERT_FALSE(saved.ok());
  EXPECT_NE(saved.error().find("channel 41"), std::string::npos);
  EXPECT_EQ(ReadChannel(image, 40, 0).rx, "145.50000");
  for (std::size_t column = 0; column < kRowSize; ++column)
    EXPECT_EQ(image[Address(41, column)], original[Address(41, column)]);
}

TEST(ChannelTable, CommaSeparator) {
  Image image = Blank();
  ChannelTable table(0, ',');
  table.ChannelGridLoad(image);
  table.SetRxCell(1, "145,0063");
  EXPECT_EQ(table.Cell(1, kColRx), "145,00625");
  ASSERT_TRUE(table.SaveData(image).ok());
  EXPECT_EQ(ReadChannel(image, 1, 0).rx, "145.00625");
}

// ---- cells as text: paste, clear, find -------------------------------------------

// Channels 1 and 2 with Tx and names, 3 empty, 4 with Opt.Signal Off (its
// Decode greyed).
ChannelTable CellTable() {
  Image image = Blank();
  PutChannel(image, 1, RawChannel{.rx = 14550000, .tx = 14550000, .name = "GATE  "});
  PutChannel(image, 2, RawChannel{.rx = 43012500, .tx = std::nullopt, .decodeTone = "88.5", .name = "NORTH "});
  PutChannel(image, 4, RawChannel{.rx = 14552500, .name = "GATE2 "});
  return Loaded(image);
}

TEST(ChannelTableCells, TypeCellFollowsTheTypingRules) {
  const std::string lowPower = ChannelListItems(kColPower, 0).back();
  std::string lowered = lowPower;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  struct Case {
    int row, column;
    std::string value;
    bool accepted;
    std::string text;  // the cell afterwards
    std::string note;  // a part of the note; "" for none
  };
  const Case cases[] = {
      {1, kColName, "Gate!é", true, "GATE  ", "name \"Gate!é\" is stored as \"GATE\""},
      {1, kColPower, lowered, true, lowPower, ""},
      {1, kColBcl, "maybe", false, "", "cannot go into this cell"},
      {1, kColRx, "", false, "145.50000", "cannot go"},
      {1, kColRx, " 146.5 MHz ", true, "146.50000", ""},
      {1, kColRx, "600", true, "", "outside the radio's bands"},
      {1, kColTx, "abc", false, "145.50000", "cannot go"},
      {2, kColEncodeTone, "None", false, "", "cannot go"},  // no Tx
      {3, kColName, "X", false, "", "cannot go"},           // an empty row takes Rx first
      {4, kColDecode, "1", false, "", "cannot go"},         // greyed
  };
  for (const Case& c : cases) {
    ChannelTable table = CellTable();
    const std::string before = table.Cell(c.row, c.column);
    const CellCommit commit = table.TypeCell(c.row, c.column, c.value);
    EXPECT_EQ(commit.accepted, c.accepted) << c.value;
    const std::string expected = c.accepted ? c.text : before;
    if (!expected.empty()) {
      EXPECT_EQ(table.Cell(c.row, c.column), expected) << c.value;
    }
    if (c.note.empty())
      EXPECT_EQ(commit.note, "") << c.value;
    else
      EXPECT_NE(commit.note.find(c.note), std::string::npos) << commit.note;
  }
}

TEST(ChannelTableCells, PasteFillsColumnsRowsOrABlock) {
  struct Case {
    const char* what;
    std::vector<CellPos> selected;
    CellPos current;
    std::string text;
    std::vector<std::pair<CellPos, std::string>> expected;
    std::vector<int> rows;
    std::size_t notes;
  };
  const Case cases[] = {
      {"one value fills every selected cell",
       {{1, kColName}, {2, kColName}, {3, kColName}},
       {1, kColName},
       "east\n",
       {{{1, kColName}, "EAST  "}, {{2, kColName}, "EAST  "}, {{3, kColName}, ""}},
       {1, 2},
       1},
      {"a line fills each selected column with its value",
       {{1, kColTx}, {2, kColTx}, {1, kColName}, {2, kColName}},
       {1, kColTx},
       "146.1\tNEW\r\n",
       {{{1, kColTx}, "146.10000"}, {{2, kColTx}, "146.10000"}, {{2, kColName}, "NEW   "}},
       {1, 2},
       0},
      {"a block from the current cell",
       {{1, kColRx}},
       {1, kColRx},
       "430.1\t431.2\n440.3\n",
       {{{1, kColRx}, "430.10000"}, {{1, kColTx}, "431.20000"}, {{2, kColRx}, "440.30000"}},
       {1, 2},
       0},
      {"a block skips the hidden columns",
       {{1, kColName}},
       {1, kColName},
       "A\tnot a signal",
       {{{1, kColName}, "A     "}},
       {1},
       1},
  };
  for (const Case& c : cases) {
    ChannelTable table = CellTable();
    table.SetCurrent(c.current);
    const CellsEdit edit = table.PasteCells(c.selected, c.text);
    for (const auto& [cell, text] : c.expected) EXPECT_EQ(table.Cell(cell.row, cell.column), text) << c.what;
    EXPECT_EQ(edit.rows, c.rows) << c.what;
    EXPECT_EQ(edit.notes.size(), c.notes) << c.what;
    EXPECT_EQ(table.current(), c.current) << c.what;
  }
}

TEST(ChannelTableCells, ClearTakesOnlyWhatACellCanBeClearedTo) {
  ChannelTable table = CellTable();
  const std::string bcl = table.Cell(1, kColBcl), rx = table.Cell(1, kColRx);
  const std::vector<CellPos> cells = {{1, kColBcl},  {1, kColRx},         {1, kColName},      {1, kColTx},
                                      {3, kColName}, {2, kColEncodeTone}, {2, kColDecodeTone}};
  const CellsEdit edit = table.ClearCells(cells);
  EXPECT_EQ(edit.rows, (std::vector<int>{1, 2}));
  EXPECT_EQ(table.Cell(1, kColBcl), bcl);
  EXPECT_EQ(table.Cell(1, kColRx), rx);
  EXPECT_EQ(table.Cell(1, kColName), "      ");
  EXPECT_EQ(table.Cell(1, kColTx), "");
  EXPECT_EQ(table.Cell(1, kColEncodeTone), "");
  EXPECT_EQ(table.Cell(2, kColDecodeTone), T(1137));
  EXPECT_EQ(table.Cell(3, kColName), "");
  EXPECT_TRUE(table.ClearCells(std::vector<CellPos>{{1, kColBcl}, {3, kColTx}}).rows.empty());
}

TEST(ChannelTableCells, FindByNameOrFrequencyWrapsRound) {
  const ChannelTable table = CellTable();
  struct Case {
    std::string text;
    int after, found;
  };
  const Case cases[] = {{"gate", 0, 1},   {"gate", 1, 4}, {"gate", 4, 1}, {"430,1", 0, 2},
                        {"145.52", 0, 4}, {"rth", 0, 2},  {"999", 0, 0},  {" ", 0, 0}};
  for (const Case& c : cases) EXPECT_EQ(table.FindChannel(c.text, c.after), c.found) << c.text << " " << c.after;
}

}  // namespace
}  // namespace orvex
