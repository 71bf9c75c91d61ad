#include "model/signalling/signalling_grid_tables.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "model/signalling_test_images.h"

namespace orvex {
namespace {

struct Tables {
  TwoToneTable twoTone;
  FiveToneTable fiveTone;
  MskTable msk;
  Tables() {
    twoTone.Load(test::AllEmpty(), 0);
    fiveTone.Load(test::AllEmpty(), 0);
    msk.Load(test::AllEmpty(), 0);
  }
};

// Each grid answers with its own table's cells, widths and Enter rules.
TEST(SignallingGridTables, EachGridAnswersFromItsTable) {
  struct Row {
    const char* name;
    std::function<std::unique_ptr<SignallingGridTable>(Tables&)> make;
    std::function<const CellGrid&(const Tables&)> cells;
    std::size_t widths;
    CellPos from, onEnter, afterCommit;
    bool escapeKeepsText;
  };
  const Row rows[] = {
      {"2-Tone Call List",
       [](Tables& t) { return MakeTwoToneGridTable(t.twoTone, TwoToneGrid::CallList); },
       [](const Tables& t) -> const CellGrid& { return t.twoTone.cells(TwoToneGrid::CallList); },
       4,
       {10, 3},
       {10, 3},
       {10, 1},
       false},
      {"2-Tone Decode",
       [](Tables& t) { return MakeTwoToneGridTable(t.twoTone, TwoToneGrid::Decode); },
       [](const Tables& t) -> const CellGrid& { return t.twoTone.cells(TwoToneGrid::Decode); },
       4,
       {1, 3},
       {2, 1},
       {2, 1},
       false},
      {"5-Tone",
       [](Tables& t) { return std::make_unique<FiveToneGridTable>(t.fiveTone); },
       [](const Tables& t) -> const CellGrid& { return t.fiveTone.cells(); },
       3,
       {1, 2},
       {2, 1},
       {2, 1},
       true},
      {"MSK Call List",
       [](Tables& t) { return MakeMskGridTable(t.msk, MskGrid::CallList); },
       [](const Tables& t) -> const CellGrid& { return t.msk.cells(MskGrid::CallList); },
       2,
       {1, 1},
       {2, 1},
       {2, 1},
       false},
      {"MSK ID Code",
       [](Tables& t) { return MakeMskGridTable(t.msk, MskGrid::IdCode); },
       [](const Tables& t) -> const CellGrid& { return t.msk.cells(MskGrid::IdCode); },
       2,
       {10, 1},
       {10, 1},
       {10, 1},
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Tables tables;
    const std::unique_ptr<SignallingGridTable> table = row.make(tables);
    const CellGrid& cells = row.cells(tables);
    ASSERT_EQ(table->rowCount(), static_cast<int>(cells.size()));
    ASSERT_EQ(table->columnCount(), static_cast<int>(cells[0].size()));
    EXPECT_EQ(table->columnWidths().size(), row.widths);
    EXPECT_EQ(table->Text({0, 1}), cells[0][1]);
    EXPECT_EQ(table->RowName(3), cells[0][0] + " " + cells[3][0]);
    EXPECT_EQ(table->NextCellOnEnter(row.from), row.onEnter);
    EXPECT_EQ(table->NextCellAfterCommit(row.from), row.afterCommit);
    EXPECT_EQ(table->keys().escapeKeepsText, row.escapeKeepsText);
    // A click opens the editor the table offers.
    const std::optional<EditStart> start = table->BeginCellEdit({1, 1}, std::nullopt);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(start->cell, (CellPos{1, 1}));
  }
}

}  // namespace
}  // namespace orvex
