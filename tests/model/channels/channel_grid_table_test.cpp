#include "model/channels/channel_grid_table.h"

#include <gtest/gtest.h>

#include "model/channel_test_util.h"

namespace orvex {
namespace {

// Channel 1 programmed, channel 7 empty.
ChannelTable Loaded() {
  Image image = test::Blank();
  test::PutChannel(image, 1, test::RawChannel{});
  ChannelTable table;
  table.ChannelGridLoad(image);
  return table;
}

// Opening an editor: the cell it opens on (the column corrected as the
// table corrects it) and the editor, also when a key opens none.
TEST(ChannelGridTable, BeginCellEditCorrectsTheCurrentCell) {
  struct Row {
    CellPos cell;
    std::optional<char> typed;
    CellPos opened;
    EditorKind kind;
  };
  const Row rows[] = {
      {{7, kColDecodeTone}, '1', {7, kColRx}, EditorKind::Text},     // an empty row edits Rx
      {{7, kColDecodeTone}, 'x', {7, kColRx}, EditorKind::None},     // ...and moves there on any key
      {{7, kColName}, std::nullopt, {7, kColRx}, EditorKind::Text},  // a click too
      {{1, kColName}, 'a', {1, kColName}, EditorKind::Text},
      {{1, kColPower}, std::nullopt, {1, kColPower}, EditorKind::List},
      {{1, kColPower}, '1', {1, kColPower}, EditorKind::None},  // typing opens no list
  };
  for (const Row& row : rows) {
    ChannelTable channels = Loaded();
    ChannelGridTable table(channels);
    const std::optional<EditStart> start = table.BeginCellEdit(row.cell, row.typed);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(start->cell, row.opened) << row.cell.row << "," << row.cell.column;
    EXPECT_EQ(start->editor.kind, row.kind) << row.cell.row << "," << row.cell.column;
    EXPECT_EQ(channels.current(), row.opened);
  }
}

// A commit goes through the text box's or the list's rule by its column and
// leads where the table moved.
TEST(ChannelGridTable, CommitByColumnAndNextCell) {
  struct Row {
    CellPos cell;
    std::string text;
    std::string shown;
    CellPos next;
  };
  const Row rows[] = {
      {{7, kColRx}, "146.5", "146.50000", {7, kColTx}},
      {{1, kColName}, "AB", "AB    ", {1, kColOptSignal}},  // past the hidden columns
      {{1, kColPower}, "Low", "Low", {1, kColPower + 1}},
  };
  for (const Row& row : rows) {
    ChannelTable channels = Loaded();
    ChannelGridTable table(channels);
    const CellCommit commit = table.CommitCellEdit(row.cell, row.text);
    EXPECT_TRUE(commit.accepted);
    EXPECT_EQ(table.Text(row.cell), row.shown);
    EXPECT_EQ(table.NextCellAfterCommit(row.cell), row.next) << row.text;
  }
}

TEST(ChannelGridTable, RowNamesAndGreying) {
  ChannelTable channels = Loaded();
  ChannelGridTable table(channels);
  EXPECT_EQ(table.RowName(6), "Channel 6");
  EXPECT_TRUE(table.IsGreyed({1, kColDecode}));
  // An Opt.Signal item picked in the open list regreys the row at once.
  EXPECT_TRUE(table.PickListItem({1, kColOptSignal}, "MSK"));
  EXPECT_FALSE(table.IsGreyed({1, kColDecode}));
  EXPECT_TRUE(table.IsGreyed({1, kColAutoResponse}));
}

// A cell is named by its row and column heading, and spoken with its value
// in the table's language.
TEST(ChannelGridTable, SpokenCells) {
  struct Row {
    int language;
    CellPos cell;
    std::string name;
    std::string spoken;
  };
  const Row rows[] = {
      {kEnglish, {1, kColName}, "Channel 1, Name", "Channel 1, Name, AB"},
      {kEnglish, {7, kColRx}, "Channel 7, Rx Freq", "Channel 7, Rx Freq"},
      {kChinese, {7, kColRx}, "信道 7, 接收频率", "信道 7, 接收频率"},
  };
  for (const Row& row : rows) {
    Image image = test::Blank();
    test::PutChannel(image, 1, test::RawChannel{});
    ChannelTable channels;
    channels.RefreshChannel(image, row.language);
    ChannelGridTable table(channels);
    (void)table.CommitCellEdit({1, kColName}, "AB");
    EXPECT_EQ(table.CellName(row.cell), row.name);
    EXPECT_EQ(table.SpokenText(row.cell), row.spoken);
  }
}

}  // namespace
}  // namespace orvex
