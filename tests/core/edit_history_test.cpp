#include "core/edit_history.h"

#include <gtest/gtest.h>

#include <random>

namespace orvex {
namespace {

StepName Named(std::string name) {
  return [name](int language) { return language == 0 ? name : "zh:" + name; };
}

// A random image and a random edit of `bytes` bytes of it.
Image RandomImage(unsigned seed) {
  std::mt19937 random(seed);
  Image image;
  for (auto& b : image) b = static_cast<std::uint8_t>(random());
  return image;
}

void Scribble(Image& image, unsigned seed, int bytes) {
  std::mt19937 random(seed);
  for (int i = 0; i < bytes; ++i) image[random() % kImageSize] = static_cast<std::uint8_t>(random());
}

TEST(DiffImages, ListsEveryChangedByteInAddressOrder) {
  Image before = RandomImage(1), after = before;
  after[0] ^= 1;
  after[0x1FFF] ^= 0x80;
  after[0x0810] = static_cast<std::uint8_t>(after[0x0810] + 1);
  EXPECT_EQ(DiffImages(before, after), (std::vector<ByteChange>{{0, before[0], after[0]},
                                                                {0x0810, before[0x0810], after[0x0810]},
                                                                {0x1FFF, before[0x1FFF], after[0x1FFF]}}));
  EXPECT_TRUE(DiffImages(before, before).empty());
}

// Edits of 1 byte up to the whole image, undone all the way and redone: every
// intermediate image comes back byte for byte.
TEST(EditHistory, UndoAndRedoRestoreEveryImageExactly) {
  for (const int bytes : {1, 16, 300, 8192}) {
    SCOPED_TRACE(bytes);
    EditHistory history;
    Image image = RandomImage(7);
    std::vector<Image> states{image};
    for (unsigned step = 0; step < 5; ++step) {
      EXPECT_TRUE(history.Change(image, Named("step"), [&](Image& i) { Scribble(i, step, bytes); }));
      states.push_back(image);
    }
    for (std::size_t i = states.size() - 1; i > 0; --i) {
      ASSERT_TRUE(history.Undo(image));
      ASSERT_EQ(image, states[i - 1]);
    }
    EXPECT_FALSE(history.Undo(image));
    for (std::size_t i = 1; i < states.size(); ++i) {
      ASSERT_TRUE(history.Redo(image));
      ASSERT_EQ(image, states[i]);
    }
    EXPECT_FALSE(history.Redo(image));
  }
}

TEST(EditHistory, UndoToTheSavedImageIsNotModified) {
  RadioMemory memory;
  memory.image() = RandomImage(3);
  memory.SaveSnapshot();
  EditHistory history;
  history.Change(memory.image(), Named("a"), [](Image& i) { i[5] ^= 0xFF; });
  history.Change(memory.image(), Named("b"), [](Image& i) { i[5] ^= 0x0F; });
  EXPECT_TRUE(memory.IsModified());
  history.Undo(memory.image());
  history.Undo(memory.image());
  EXPECT_FALSE(memory.IsModified());
}

TEST(EditHistory, RecordsOnlyRealChangesAndForgetsRedoOnANewEdit) {
  EditHistory history;
  Image image = RandomImage(5);
  EXPECT_FALSE(history.Change(image, Named("nothing"), [](Image&) {}));
  history.Change(image, Named("first"), [](Image& i) { i[1] ^= 1; });
  history.Change(image, Named("second"), [](Image& i) { i[2] ^= 1; });
  history.Undo(image);
  EXPECT_EQ(history.RedoName(0), "second");
  history.Change(image, Named("third"), [](Image& i) { i[3] ^= 1; });
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.UndoName(0), "third");
  EXPECT_EQ(history.UndoName(1), "zh:third");
  {
    EditHistory::Quiet quiet(history);
    EXPECT_FALSE(history.Change(image, Named("reload"), [](Image& i) { i[4] ^= 1; }));
  }
  EXPECT_EQ(history.undoCount(), 2u);
  history.Clear();
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(history.UndoName(0), "");
}

struct MergeCase {
  const char* name;
  std::vector<std::pair<int, std::uint8_t>> edits;  // merge key, value written to byte 9
  bool sealBetween;
  std::size_t steps;
};

class EditHistoryMerge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(EditHistoryMerge, FoldsEditsWithTheSameKey) {
  const MergeCase& c = GetParam();
  EditHistory history;
  Image image{};
  const Image start = image;
  for (const auto& [key, value] : c.edits) {
    history.Change(
        image, Named("spin"), [value](Image& i) { i[9] = value; }, key);
    if (c.sealBetween) history.Seal();
  }
  EXPECT_EQ(history.undoCount(), c.steps);
  while (history.Undo(image)) {
  }
  EXPECT_EQ(image, start);
}

INSTANTIATE_TEST_SUITE_P(Cases, EditHistoryMerge,
                         ::testing::Values(MergeCase{"same key folds", {{1, 1}, {1, 2}, {1, 3}}, false, 1},
                                           MergeCase{"back to the start leaves no step", {{1, 1}, {1, 0}}, false, 0},
                                           MergeCase{"no key never folds", {{0, 1}, {0, 2}}, false, 2},
                                           MergeCase{"other key starts a step", {{1, 1}, {2, 2}, {1, 3}}, false, 3},
                                           MergeCase{"sealed steps stay apart", {{1, 1}, {1, 2}}, true, 2}),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(EditHistory, ForgetsTheOldestStepBeyondItsLimitAndTellsItsListener) {
  EditHistory history(3);
  int told = 0;
  history.SetListener([&] { ++told; });
  Image image{};
  for (int i = 0; i < 5; ++i) history.Change(image, Named("s"), [i](Image& m) { m[i] = 1; });
  EXPECT_EQ(history.undoCount(), 3u);
  while (history.Undo(image)) {
  }
  EXPECT_EQ(image[0], 1);
  EXPECT_EQ(image[1], 1);
  EXPECT_EQ(image[2], 0);
  EXPECT_EQ(told, 5 + 3);
}

}  // namespace
}  // namespace orvex
