#include "codeplug/file_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <string>

#include "test_images.h"

namespace orvex {
namespace {

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

  std::string Path(const char* name) const { return m_dir.filePath(name).toStdString(); }

  // Every entry of the folder, so a stray temporary file shows up.
  QStringList Entries() const { return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

  void Put(const std::string& path, const Bytes& bytes) { ASSERT_TRUE(WriteWholeFile(path, bytes).ok()); }

  Bytes Get(const std::string& path) {
    auto bytes = ReadInputFile(path, InputKind::AnyFile);
    EXPECT_TRUE(bytes.ok()) << bytes.error();
    return bytes.ok() ? *bytes : Bytes{};
  }

  QTemporaryDir m_dir;
};

TEST_F(FileIoTest, WholeFileRoundTrip) {
  for (const Bytes& bytes : {Bytes{}, Bytes{0x00}, Bytes(70000, 0xA5), PackCodeplug(test::VariedImage())}) {
    Put(Path("f.bin"), bytes);
    EXPECT_EQ(Get(Path("f.bin")), bytes);
  }
}

TEST_F(FileIoTest, ASmallerFileReplacesALargerOneEntirely) {
  Put(Path("f.tw"), Bytes(10000, 0x11));
  ASSERT_TRUE(WriteCodeplugFile(Path("f.tw"), BlankImage()).ok());
  EXPECT_EQ(Get(Path("f.tw")), PackCodeplug(BlankImage()));
  EXPECT_EQ(Entries(), QStringList{"f.tw"});
}

TEST_F(FileIoTest, SavedCodeplugOpensIdentical) {
  const Image image = test::VariedImage(3);
  ASSERT_TRUE(WriteCodeplugFile(Path("v.tw"), image).ok());
  const auto parsed = ReadCodeplugFile(Path("v.tw"));
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  ASSERT_EQ(parsed->check, CodeplugCheck::Ok) << parsed->detail;
  EXPECT_EQ(parsed->image, image);
}

TEST_F(FileIoTest, SavingIntoAMissingFolderIsReported) {
  const std::string path = Path("missing/f.tw");
  const Status saved = WriteCodeplugFile(path, BlankImage());
  ASSERT_FALSE(saved.ok());
  EXPECT_FALSE(saved.error().empty());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(FileIoTest, SavingOverAFolderIsReportedAndKeepsIt) {
  ASSERT_TRUE(QDir(m_dir.path()).mkdir("f.tw"));
  const Status saved = WriteCodeplugFile(Path("f.tw"), BlankImage());
  ASSERT_FALSE(saved.ok());
  EXPECT_FALSE(saved.error().empty());
  EXPECT_TRUE(QDir(QString::fromStdString(Path("f.tw"))).exists());
  EXPECT_EQ(Entries(), QStringList{"f.tw"});
}

// A full disk in the middle of a save: the earlier file survives whole and no
// temporary file is left behind.  The file size limit stands in for the disk.
TEST_F(FileIoTest, FailedSaveKeepsTheEarlierFile) {
  const Bytes earlier = PackCodeplug(BlankImage());
  Put(Path("f.tw"), earlier);

  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 512;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const Status saved = WriteCodeplugFile(Path("f.tw"), test::VariedImage());  // about 3.5 KB
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  ASSERT_FALSE(saved.ok()) << "the save should have hit the size limit";
  EXPECT_FALSE(saved.error().empty());
  EXPECT_NE(saved.error(), "Unknown error") << "the system's reason should reach the user";
  EXPECT_EQ(Get(Path("f.tw")), earlier);
  EXPECT_EQ(Entries(), QStringList{"f.tw"});
}

TEST_F(FileIoTest, ReadOnlyFolderKeepsTheEarlierFile) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: a read-only folder does not stop root from writing";
  const Bytes earlier = PackCodeplug(BlankImage());
  Put(Path("f.tw"), earlier);
  QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  const Status saved = WriteCodeplugFile(Path("f.tw"), test::VariedImage());
  QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  ASSERT_FALSE(saved.ok());
  EXPECT_FALSE(saved.error().empty());
  EXPECT_EQ(Get(Path("f.tw")), earlier);
}

TEST_F(FileIoTest, OpeningAMissingFileIsReported) {
  const auto parsed = ReadCodeplugFile(Path("nothing.tw"));
  ASSERT_FALSE(parsed.ok());
  EXPECT_FALSE(parsed.error().empty());
  EXPECT_FALSE(ReadInputFile(m_dir.path().toStdString(), InputKind::AnyFile).ok()) << "a folder is not a file";
}

TEST_F(FileIoTest, OpenedFilesAreChecked) {
  Put(Path("empty.tw"), {});
  Put(Path("garbage.tw"), {0x12, 0x34, 0x56, 0x01});
  Put(Path("tag.tw"), Encode(Bytes(8208, 0x20)));
  EXPECT_EQ(ReadCodeplugFile(Path("empty.tw"))->check, CodeplugCheck::Empty);
  EXPECT_EQ(ReadCodeplugFile(Path("garbage.tw"))->check, CodeplugCheck::CannotUnpack);
  EXPECT_EQ(ReadCodeplugFile(Path("tag.tw"))->check, CodeplugCheck::WrongLengthOrTag);
}

// Every kind of input is refused as soon as it passes its limit, also from
// a device that never ends.
TEST_F(FileIoTest, InputsAreBoundedWhileReading) {
  struct Case {
    InputKind kind;
    std::size_t limit;
  };
  for (const Case& c : {Case{InputKind::Codeplug, 64 * 1024}, Case{InputKind::Document, 4 << 20},
                        Case{InputKind::AnyFile, kMaxUnpackedSize}}) {
    EXPECT_EQ(LimitOf(c.kind).bytes, c.limit);
    Put(Path("at.bin"), Bytes(c.limit, 0x5A));
    EXPECT_EQ(ReadInputFile(Path("at.bin"), c.kind)->size(), c.limit);
    Put(Path("over.bin"), Bytes(c.limit + 1, 0x5A));
    const auto over = ReadInputFile(Path("over.bin"), c.kind);
    ASSERT_FALSE(over.ok());
    EXPECT_NE(over.error().find("too large"), std::string::npos) << over.error();
    const auto endless = ReadInputFile("/dev/zero", c.kind);
    ASSERT_FALSE(endless.ok());
    EXPECT_NE(endless.error().find("too large"), std::string::npos) << endless.error();
  }
}

// A save never replaces what is not a regular file; a link to one is saved
// through and stays a link.
TEST_F(FileIoTest, DestinationsThatAreNotRegularFilesAreRefused) {
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  for (const std::string& path : {Path("fifo"), std::string("/dev/null"), m_dir.path().toStdString()}) {
    EXPECT_FALSE(CheckDestination(path).ok()) << path;
    EXPECT_FALSE(WriteCodeplugFile(path, BlankImage()).ok()) << path;
  }
  struct stat st {};
  ASSERT_EQ(stat(Path("fifo").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO is left as it was";
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  Put(Path("real.tw"), {1, 2, 3});
  ASSERT_EQ(symlink("real.tw", Path("link.tw").c_str()), 0);
  ASSERT_TRUE(WriteCodeplugFile(Path("link.tw"), BlankImage()).ok());
  EXPECT_TRUE(QFileInfo(QString::fromStdString(Path("link.tw"))).isSymLink());
  EXPECT_EQ(Get(Path("real.tw")), PackCodeplug(BlankImage()));
  EXPECT_EQ(Entries(), (QStringList{"link.tw", "real.tw"})) << "no temporary file is left";
}

// A temporary file left by a killed save is removed by the next save of the
// same file; one whose writer still runs is not.
TEST_F(FileIoTest, LeftoverTemporaryFilesAreCleanedByTheNextSave) {
  const std::string dead = Path("f.tw.2147483646.orvex-tmp");   // no such process
  const std::string alive = Path("f.tw.1.orvex-tmp");           // init runs
  const std::string other = Path("g.tw.2147483646.orvex-tmp");  // another file's
  for (const auto& path : {dead, alive, other}) Put(path, {0x00});
  ASSERT_TRUE(WriteCodeplugFile(Path("f.tw"), BlankImage()).ok());
  EXPECT_EQ(Entries(), (QStringList{"f.tw", "f.tw.1.orvex-tmp", "g.tw.2147483646.orvex-tmp"}));
}

// Names are the platform's bytes, not UTF-8: a Latin-1 "é" survives.
TEST_F(FileIoTest, FileNamesThatAreNotUtf8) {
  const std::string latin1 = m_dir.path().toStdString() + "/caf\xE9.tw";
  ASSERT_TRUE(WriteCodeplugFile(latin1, BlankImage()).ok());
  struct stat st {};
  EXPECT_EQ(stat(latin1.c_str(), &st), 0);
  const auto parsed = ReadCodeplugFile(latin1);
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  EXPECT_EQ(parsed->check, CodeplugCheck::Ok);
}

// --- Replacing the memory with an opened file -------------------------------

class LoadParsedTest : public ::testing::TestWithParam<const char*> {};

Bytes FileNamed(const std::string& name) {
  if (name == "empty") return {};
  if (name == "cannot unpack") return {0x00, 0x00, 0xFF, 0x41, 0x01};
  if (name == "wrong tag") return Encode(Bytes(8208, 0x20));
  if (name == "wrong length") return Encode(Bytes(8000, 0x20));
  return {};
}

TEST_P(LoadParsedTest, FailedCheckChangesNothing) {
  RadioMemory memory;
  InitMemory(memory);
  memory[0x0010] = 0x42;  // an edit not yet saved
  const Image image = memory.image();
  const Image snapshot = memory.snapshot();

  const ParsedCodeplug parsed = ParseCodeplug(FileNamed(GetParam()));
  ASSERT_NE(parsed.check, CodeplugCheck::Ok);
  EXPECT_FALSE(LoadParsedCodeplug(memory, parsed));
  EXPECT_EQ(memory.image(), image);
  EXPECT_EQ(memory.snapshot(), snapshot);
  EXPECT_TRUE(memory.IsModified());
}

INSTANTIATE_TEST_SUITE_P(Files, LoadParsedTest,
                         ::testing::Values("empty", "cannot unpack", "wrong tag", "wrong length"));

TEST(LoadParsed, GoodFileReplacesImageAndSnapshot) {
  RadioMemory memory;
  InitMemory(memory);
  memory[0x0010] = 0x42;
  const Image varied = test::VariedImage();
  EXPECT_TRUE(LoadParsedCodeplug(memory, ParseCodeplug(PackCodeplug(varied))));
  EXPECT_EQ(memory.image(), varied);
  EXPECT_EQ(memory.snapshot(), varied);
  EXPECT_FALSE(memory.IsModified());
}

TEST(LoadParsed, BlankFileAfterEditsIsUnmodified) {
  RadioMemory memory;
  InitMemory(memory);
  const Bytes file = PackCodeplug(memory.image());
  memory[0x0E3B] = 0x03;
  ASSERT_TRUE(memory.IsModified());
  EXPECT_TRUE(LoadParsedCodeplug(memory, ParseCodeplug(file)));
  EXPECT_EQ(memory.image(), BlankImage());
  EXPECT_FALSE(memory.IsModified());
}

}  // namespace
}  // namespace orvex
