#include "app/codeplug_session.h"

#include <gtest/gtest.h>

#include "core/strings.h"
#include "link/clone_protocol.h"

namespace orvex {
namespace {

StepName Named(std::string name) {
  return [name](int) { return name; };
}

// A session whose face answers from plain values and records what it was
// asked and what it wrote.
struct Harness {
  CodeplugSession session;
  SaveAnswer answer = SaveAnswer::Cancel;
  bool confirmNew = true;
  std::string chosenPath = "/codeplugs/saved.tw";
  bool writeSucceeds = true;
  int questions = 0;
  std::vector<std::pair<std::string, Bytes>> written;
  std::vector<SessionChange> changes;

  Harness() {
    session.setFace({[this] { return confirmNew; },
                     [this] {
                       ++questions;
                       return answer;
                     },
                     [this](const std::string&) { return chosenPath; },
                     [this](const std::string& path, const Bytes& bytes) {
                       written.emplace_back(path, bytes);
                       return writeSucceeds;
                     }});
    session.setListener([this](SessionChange change) { changes.push_back(change); });
  }

  void Edit(std::uint8_t value) {
    session.Edit(Named("byte"), [value](Image& image) { image[0x100] = value; });
  }
  void OpenBlankWith(std::uint8_t value, const std::string& path = "/codeplugs/club.tw") {
    Image image = BlankImage();
    image[0x100] = value;
    ASSERT_EQ(session.Open(path, PackCodeplug(image)).check, CodeplugCheck::Ok);
  }
};

// Modified means "differs from the last baseline", whatever the way back.
TEST(CodeplugSession, ModifiedFollowsTheBaseline) {
  struct Case {
    const char* steps;  // e: edit, u: undo, r: redo, s: save, o: open, n: new, R: read
    bool modified;
  };
  const Case cases[] = {
      {"", false},     {"e", true},   {"eu", false}, {"eur", true}, {"es", false}, {"esu", true},
      {"eseu", false}, {"eo", false}, {"en", false}, {"eR", false}, {"eRe", true}, {"eeuu", false},
  };
  for (const Case& c : cases) {
    Harness h;
    h.answer = SaveAnswer::Discard;
    std::uint8_t value = 0;
    for (const char step : std::string(c.steps)) {
      switch (step) {
        case 'e':
          h.Edit(++value);
          break;
        case 'u':
          EXPECT_TRUE(h.session.Undo());
          break;
        case 'r':
          EXPECT_TRUE(h.session.Redo());
          break;
        case 's':
          EXPECT_TRUE(h.session.Save());
          break;
        case 'o':
          h.OpenBlankWith(0x42);
          break;
        case 'n':
          EXPECT_TRUE(h.session.New());
          break;
        case 'R':
          h.session.ReadReplaced("/dev/ttyUSB0");
          break;
      }
    }
    EXPECT_EQ(h.session.IsModified(), c.modified) << c.steps;
  }
}

// Open, New and a Read start a fresh history; Save keeps it but seals the
// step before it.
TEST(CodeplugSession, BaselinesAndHistory) {
  struct Case {
    const char* name;
    void (*act)(Harness&);
    bool canUndo;
    std::string path, proposed, title;
  };
  const Case cases[] = {
      {"save", [](Harness& h) { ASSERT_TRUE(h.session.Save()); }, true, "/codeplugs/saved.tw", "/codeplugs/saved.tw",
       "saved.tw"},
      {"open", [](Harness& h) { h.OpenBlankWith(1); }, false, "/codeplugs/club.tw", "/codeplugs/club.tw", "club.tw"},
      {"read", [](Harness& h) { h.session.ReadReplaced("/dev/ttyUSB0"); }, false, "", "Untitled.tw",
       TextOf(1894, kEnglish, {RadioModelName(), "/dev/ttyUSB0"})},
      {"open then new",
       [](Harness& h) {
         h.OpenBlankWith(1);
         ASSERT_TRUE(h.session.New());
       },
       false, "", "/codeplugs/Untitled.tw", "Untitled.tw"},
      {"read then save",
       [](Harness& h) {
         h.session.ReadReplaced("/dev/ttyUSB0");
         ASSERT_TRUE(h.session.Save());
       },
       false, "/codeplugs/saved.tw", "/codeplugs/saved.tw", "saved.tw"},
  };
  for (const Case& c : cases) {
    Harness h;
    h.Edit(7);
    c.act(h);
    EXPECT_FALSE(h.session.IsModified()) << c.name;
    EXPECT_EQ(h.session.history().CanUndo(), c.canUndo) << c.name;
    EXPECT_EQ(h.session.path(), c.path) << c.name;
    EXPECT_EQ(h.session.proposedPath(), c.proposed) << c.name;
    EXPECT_EQ(h.session.DocumentName(kEnglish), c.title) << c.name;
    // The windows reload before the baseline is taken.
    EXPECT_EQ(h.changes.back(), SessionChange::Baseline) << c.name;
  }
}

// The question before replacing unsaved edits: Save writes (and a failed or
// cancelled save keeps the user where they were), Discard goes on, Cancel
// stays; an unmodified codeplug is not asked about.
TEST(CodeplugSession, ConfirmReplaceFollowsTheAnswer) {
  struct Case {
    bool modified;
    SaveAnswer answer;
    std::string chosenPath;
    bool writeSucceeds, goesOn;
    int writes;
  };
  const Case cases[] = {
      {false, SaveAnswer::Cancel, "/a.tw", true, true, 0}, {true, SaveAnswer::Discard, "/a.tw", true, true, 0},
      {true, SaveAnswer::Cancel, "/a.tw", true, false, 0}, {true, SaveAnswer::Save, "/a.tw", true, true, 1},
      {true, SaveAnswer::Save, "/a.tw", false, false, 1},  {true, SaveAnswer::Save, "", true, false, 0},
  };
  for (const Case& c : cases) {
    Harness h;
    h.answer = c.answer;
    h.chosenPath = c.chosenPath;
    h.writeSucceeds = c.writeSucceeds;
    if (c.modified) h.Edit(1);
    const int row = static_cast<int>(&c - cases);
    EXPECT_EQ(h.session.ConfirmReplace(), c.goesOn) << row;
    EXPECT_EQ(h.questions, c.modified ? 1 : 0) << row;
    ASSERT_EQ(static_cast<int>(h.written.size()), c.writes) << row;
    if (c.writes > 0) {
      EXPECT_EQ(h.written[0].second, PackCodeplug(h.session.memory().image())) << row;
    }
    EXPECT_EQ(h.session.IsModified(), c.modified && !(c.writes > 0 && c.writeSucceeds)) << row;
  }
}

// A file that is refused, and a New that is not confirmed, leave the image,
// the file name, the baseline and the history as they were.
TEST(CodeplugSession, RefusalsChangeNothing) {
  Bytes shortPlain(kFileTag.begin(), kFileTag.end());
  const struct {
    const char* name;
    Bytes bytes;
    CodeplugCheck check;
  } files[] = {
      {"empty", {}, CodeplugCheck::Empty},
      {"garbage", {0x00, 0x01, 0x02}, CodeplugCheck::CannotUnpack},
      {"short", Encode(shortPlain), CodeplugCheck::WrongLengthOrTag},
  };
  for (const auto& file : files) {
    Harness h;
    h.OpenBlankWith(3);
    h.Edit(9);
    const Image before = h.session.memory().image();
    const std::size_t changes = h.changes.size();
    EXPECT_EQ(h.session.Open("/other.tw", file.bytes).check, file.check) << file.name;
    EXPECT_EQ(h.session.memory().image(), before) << file.name;
    EXPECT_EQ(h.session.path(), "/codeplugs/club.tw") << file.name;
    EXPECT_TRUE(h.session.IsModified()) << file.name;
    EXPECT_EQ(h.session.history().undoCount(), 1u) << file.name;
    EXPECT_EQ(h.changes.size(), changes) << file.name;
  }
  Harness h;
  h.Edit(9);
  h.confirmNew = false;
  EXPECT_FALSE(h.session.New());
  EXPECT_EQ(h.session.memory().image()[0x100], 9);
  EXPECT_EQ(h.session.history().undoCount(), 1u);
}

// Each import is one undo step, named, and undoing it gives the image back.
TEST(CodeplugSession, ImportsAreOneStep) {
  Harness h;
  const Image before = h.session.memory().image();
  const auto rows = ReadChannelsCsv("Location,Frequency\n1,145.5\n2,146.5\n3,438.5\n");
  ASSERT_TRUE(rows.ok());
  h.session.ImportChannels(*rows, kEnglish);
  Image imported = BlankImage();
  imported[0x1F00] = 0x12;
  h.session.ImportCodeplug(imported);
  EXPECT_EQ(h.session.memory().image(), imported);
  EXPECT_EQ(h.session.history().UndoName(kEnglish), "JSON codeplug import");
  ASSERT_TRUE(h.session.Undo());
  EXPECT_EQ(h.session.history().UndoName(kEnglish), "channel CSV import");
  EXPECT_NE(h.session.memory().image(), before);
  ASSERT_TRUE(h.session.Undo());
  EXPECT_EQ(h.session.memory().image(), before);
  EXPECT_FALSE(h.session.IsModified());
}

}  // namespace
}  // namespace orvex
