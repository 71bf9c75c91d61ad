// Backups: one file per different image read, none for a repeat, the newest
// 200 kept, and a folder that cannot be written reported, not thrown.

#include "codeplug/backups.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "codeplug/file_io.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

Image Numbered(int n) {
  Image image = BlankImage();
  image[Address(1, 0)] = static_cast<std::uint8_t>(n);
  image[Address(1, 1)] = static_cast<std::uint8_t>(n >> 8);
  return image;
}

class BackupsTest : public testing::Test {
 protected:
  fs::path Folder() const { return fs::path(m_dir.path().toStdString()) / "backups"; }
  QTemporaryDir m_dir;
  std::chrono::system_clock::time_point m_clock = std::chrono::system_clock::now();
  Result<std::string> Save(const Image& image) {
    return SaveBackup(image, Folder(), {"TZ417", "COM1", BackupReason::Read}, m_clock += 1500ms);
  }
};

TEST_F(BackupsTest, RepeatsOfTheNewestAreKeptOnce) {
  struct Case {
    std::vector<int> reads;
    std::size_t files;
  };
  const Case cases[] = {{{1}, 1}, {{1, 1}, 1}, {{1, 2}, 2}, {{1, 2, 1}, 3}, {{1, 1, 2, 2}, 2}};
  for (const Case& c : cases) {
    fs::remove_all(Folder());
    for (const int n : c.reads) ASSERT_TRUE(Save(Numbered(n)).ok());
    const auto list = ListBackups(Folder());
    ASSERT_EQ(list.size(), c.files) << c.reads.size() << " reads";
    const auto newest = ReadCodeplugFile(list.front().path.string());
    ASSERT_TRUE(newest.ok());
    EXPECT_EQ(newest->image, Numbered(c.reads.back()));
    EXPECT_EQ(list.front().hash, ImageHash(Numbered(c.reads.back())));
  }
}

TEST_F(BackupsTest, OriginsAreKeptBesideEachBackup) {
  const BackupOrigin read{"TZ417", "/dev/ttyUSB0", BackupReason::Read};
  const BackupOrigin before{"TZ417", "/dev/ttyUSB0", BackupReason::BeforeWrite};
  struct Case {
    const char* name;
    std::vector<std::pair<int, BackupOrigin>> saves;
    std::vector<BackupOrigin> listed;  // newest first
  };
  const Case cases[] = {
      {"an old backup has none", {{1, {}}}, {{}}},
      {"a Read", {{1, read}}, {read}},
      {"the same radio before a Write is a copy of its own", {{1, read}, {1, before}}, {before, read}},
      {"a repeat of the same origin is kept once", {{1, before}, {1, before}}, {before}},
      {"a port on two lines stays on one",
       {{2, {"TZ417", "COM3\nreason=read", BackupReason::BeforeWrite}}},
       {{"TZ417", "COM3 reason=read", BackupReason::BeforeWrite}}},
  };
  for (const Case& c : cases) {
    fs::remove_all(Folder());
    for (const auto& [n, origin] : c.saves)
      ASSERT_TRUE(SaveBackup(Numbered(n), Folder(), origin, m_clock += 1500ms).ok());
    const auto list = ListBackups(Folder());
    ASSERT_EQ(list.size(), c.listed.size()) << c.name;
    for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].origin, c.listed[i]) << c.name << " " << i;
  }
  EXPECT_EQ(BackupReasonText(BackupReason::BeforeWrite, 0), "Before a Write");
  EXPECT_EQ(BackupReasonText(BackupReason::Unknown, 0), "");
}

TEST_F(BackupsTest, PruningKeepsTheNewest) {
  const int total = static_cast<int>(kBackupsKept) + 3;
  for (int n = 0; n < total; ++n) ASSERT_TRUE(Save(Numbered(n)).ok());
  const auto list = ListBackups(Folder());
  ASSERT_EQ(list.size(), kBackupsKept);
  // Their origin notes go with them.
  std::size_t notes = 0;
  for (const auto& entry : fs::directory_iterator(Folder())) notes += entry.path().extension() == ".info";
  EXPECT_EQ(notes, kBackupsKept);
  EXPECT_EQ(ReadCodeplugFile(list.front().path.string())->image, Numbered(total - 1));
  EXPECT_EQ(ReadCodeplugFile(list.back().path.string())->image, Numbered(3));
  // Other files in the folder are none of the backups' business.
  std::ofstream(Folder() / "notes.txt") << "mine";
  ASSERT_TRUE(Save(Numbered(999)).ok());
  EXPECT_TRUE(fs::exists(Folder() / "notes.txt"));
}

TEST_F(BackupsTest, AnUnwritableFolderIsAnErrorNotACrash) {
  // A folder under a regular file cannot be created, even by root.
  const fs::path file = fs::path(m_dir.path().toStdString()) / "plain";
  std::ofstream(file) << "x";
  const auto saved = SaveBackup(Numbered(1), file / "backups");
  ASSERT_FALSE(saved.ok());
  EXPECT_FALSE(saved.error().empty());
  EXPECT_TRUE(ListBackups(file / "backups").empty());
}

// The names the browser's backups share with the folder's: a stamp and a
// hash read back from a name, nothing from any other name.
TEST(BackupNames, StampAndHashComeBackFromTheName) {
  struct Case {
    std::string name, stamp, hash;
  };
  const Case cases[] = {
      {"20261208-142501-037-3fa9c2d1.tw", "2026-12-08 14:25:01", "3fa9c2d1"},
      {"20261208-142501-037-3FA9C2D1.tw", "", ""},
      {"20261208-142501-037-3fa9c2d1.tw.info", "", ""},
      {"20261208-1425-037-3fa9c2d1.tw", "", ""},
      {"notes.txt", "", ""},
  };
  for (const Case& c : cases) {
    const BackupName parsed = ParseBackupName(c.name);
    EXPECT_EQ(parsed.stamp, c.stamp) << c.name;
    EXPECT_EQ(parsed.hash, c.hash) << c.name;
  }
  const Image image = Numbered(7);
  const std::string name = BackupFileName(std::chrono::system_clock::now(), ImageHash(image));
  EXPECT_EQ(ParseBackupName(name).hash, ImageHash(image)) << name;
  const BackupOrigin origin{"TZ417", "COM1", BackupReason::Read};
  const Bytes file = PackCodeplug(image);
  EXPECT_TRUE(RepeatsBackup(name, file, origin, image, origin));
  EXPECT_FALSE(RepeatsBackup(name, file, origin, image, {"TZ417", "COM2", BackupReason::Read}));
  EXPECT_FALSE(RepeatsBackup(name, file, origin, Numbered(8), origin));
  EXPECT_FALSE(RepeatsBackup(name, Bytes{1, 2, 3}, origin, image, origin));
}

}  // namespace
}  // namespace orvex
