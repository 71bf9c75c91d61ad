// orvex-cli's file verbs run as a user runs them: a process, its output and
// its exit code (0 success, 1 failure, 2 bad usage).

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "codeplug/codeplug_file.h"
#include "test_images.h"

namespace orvex {
namespace {

using test::CliRun;
using test::ReadFile;
using test::RunCli;
using test::WriteFile;

QByteArray ToQt(const Bytes& bytes) { return QByteArray(reinterpret_cast<const char*>(bytes.data()), bytes.size()); }

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    if (!test::CliIsBuilt()) GTEST_SKIP() << "orvex-cli is not built";
    WriteFile(Path("blank.tw"), ToQt(PackCodeplug(BlankImage())));
    WriteFile(Path("varied.tw"), ToQt(PackCodeplug(test::VariedImage())));
    WriteFile(Path("garbage.tw"), QByteArray("this is not a codeplug\x01", 23));
    WriteFile(Path("wrongtag.tw"), ToQt(Encode(Bytes(8208, 0x20))));
    WriteFile(Path("empty.tw"), {});
  }

  QString Path(const char* name) const { return m_dir.filePath(name); }

  QTemporaryDir m_dir;
};

// --- Usage ---------------------------------------------------------------------

struct UsageCase {
  std::vector<const char*> args;
  int exitCode;
  const char* stdoutHas;  // nullptr: nothing on stdout, complaint on stderr
};

class CliUsageTest : public CliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageTest, ExitCodeAndWhereTheTextGoes) {
  QStringList args;
  for (const char* a : GetParam().args) args << QString::fromUtf8(a).replace("@", m_dir.path() + "/");
  const CliRun run = RunCli(args);
  EXPECT_EQ(run.exitCode, GetParam().exitCode) << args.join(' ').toStdString() << "\n" << run.err.toStdString();
  if (GetParam().stdoutHas) {
    EXPECT_TRUE(run.out.contains(GetParam().stdoutHas)) << run.out.toStdString();
  } else {
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.startsWith("orvex-cli: ") || run.err.startsWith("usage:")) << run.err.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CliUsageTest,
    ::testing::Values(
        UsageCase{{"--help"}, 0, "verbs:"}, UsageCase{{}, 2, nullptr}, UsageCase{{"frobnicate"}, 2, nullptr},
        UsageCase{{"new", "--help"}, 0, "usage: orvex-cli new FILE"},
        UsageCase{{"info", "--help"}, 0, "usage: orvex-cli info FILE"},
        UsageCase{{"dump", "--help"}, 0, "usage: orvex-cli dump FILE"},
        UsageCase{{"pack", "--help"}, 0, "usage: orvex-cli pack IN OUT"},
        UsageCase{{"unpack", "--help"}, 0, "usage: orvex-cli unpack IN OUT"}, UsageCase{{"new"}, 2, nullptr},
        UsageCase{{"new", "@a.tw", "@b.tw"}, 2, nullptr}, UsageCase{{"info"}, 2, nullptr},
        UsageCase{{"dump", "@blank.tw", "extra"}, 2, nullptr}, UsageCase{{"pack", "@blank.tw"}, 2, nullptr},
        UsageCase{{"unpack"}, 2, nullptr}, UsageCase{{"info", "--frob", "@blank.tw"}, 2, nullptr},
        // Failures: exit 1, the reason on stderr.
        UsageCase{{"new", "@missing/a.tw"}, 1, nullptr}, UsageCase{{"info", "@nothing.tw"}, 1, nullptr},
        UsageCase{{"dump", "@garbage.tw"}, 1, nullptr}, UsageCase{{"dump", "@wrongtag.tw"}, 1, nullptr},
        UsageCase{{"dump", "@empty.tw"}, 1, nullptr}, UsageCase{{"unpack", "@garbage.tw", "@out.bin"}, 1, nullptr},
        UsageCase{{"pack", "@nothing.bin", "@out.bin"}, 1, nullptr},
        UsageCase{{"pack", "@blank.tw", "@missing/out.bin"}, 1, nullptr}));

// --- new -----------------------------------------------------------------------

TEST_F(CliTest, NewWritesTheBlankCodeplug) {
  const CliRun run = RunCli({"new", Path("new.tw")});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_TRUE(run.err.isEmpty());
  EXPECT_EQ(ReadFile(Path("new.tw")), ToQt(PackCodeplug(BlankImage())));
}

TEST_F(CliTest, NewReplacesAnExistingFile) {
  WriteFile(Path("old.tw"), QByteArray(20000, 'x'));
  ASSERT_EQ(RunCli({"new", Path("old.tw")}).exitCode, 0);
  EXPECT_EQ(ReadFile(Path("old.tw")), ToQt(PackCodeplug(BlankImage())));
}

// --- info ----------------------------------------------------------------------

TEST_F(CliTest, InfoOfABlankCodeplug) {
  const CliRun run = RunCli({"info", Path("blank.tw")});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QString out = QString::fromUtf8(run.out);
  EXPECT_TRUE(out.contains(QRegularExpression("valid:\\s+yes"))) << out.toStdString();
  EXPECT_TRUE(out.contains(QRegularExpression("channels:\\s+0 of 128"))) << out.toStdString();
  EXPECT_TRUE(out.contains(QRegularExpression("VFO A:.*400\\.02500.*400\\.02500"))) << out.toStdString();
  EXPECT_TRUE(out.contains(QRegularExpression("VFO B:.*136\\.02500.*136\\.02500"))) << out.toStdString();
}

TEST_F(CliTest, InfoOfAFullCodeplug) {
  const CliRun run = RunCli({"info", Path("varied.tw")});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_TRUE(QString::fromUtf8(run.out).contains(QRegularExpression("channels:\\s+128 of 128")))
      << run.out.toStdString();
}

TEST_F(CliTest, InfoOfAnInvalidFileSaysSo) {
  for (const char* name : {"garbage.tw", "wrongtag.tw"}) {
    const CliRun run = RunCli({"info", Path(name)});
    EXPECT_EQ(run.exitCode, 1) << name;
    EXPECT_TRUE(QString::fromUtf8(run.out).contains(QRegularExpression("valid:\\s+no"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("Incorrect File Type.")) << run.out.toStdString();
  }
}

// --- dump ----------------------------------------------------------------------

TEST_F(CliTest, DumpIs512LinesOfSixteenBytes) {
  const Image image = test::VariedImage();
  const CliRun run = RunCli({"dump", Path("varied.tw")});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  ASSERT_TRUE(run.out.endsWith('\n'));
  const QList<QByteArray> lines = run.out.chopped(1).split('\n');
  ASSERT_EQ(lines.size(), 512);
  const QRegularExpression shape("^[0-9A-F]{4}:( [0-9A-F]{2}){16}$");
  for (int row = 0; row < 512; ++row) {
    const QString line = QString::fromLatin1(lines[row]);
    ASSERT_TRUE(shape.match(line).hasMatch()) << "line " << row << ": " << line.toStdString();
    QString expected = QString("%1:").arg(row * 16, 4, 16, QChar('0')).toUpper();
    for (int col = 0; col < 16; ++col)
      expected += QString(" %1").arg(image[Address(row, col)], 2, 16, QChar('0')).toUpper();
    ASSERT_EQ(line, expected) << "line " << row;
  }
}

TEST_F(CliTest, DumpOfAnInvalidFileNamesTheProblem) {
  const CliRun run = RunCli({"dump", Path("garbage.tw")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("Incorrect File Type.")) << run.err.toStdString();
}

// --- pack / unpack -------------------------------------------------------------

TEST_F(CliTest, UnpackOfACodeplugIsItsPlainImage) {
  const CliRun run = RunCli({"unpack", Path("varied.tw"), Path("plain.bin")});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QByteArray plain = ReadFile(Path("plain.bin"));
  ASSERT_EQ(plain.size(), 8208);
  EXPECT_TRUE(plain.startsWith("SLQFEO"));
  EXPECT_EQ(plain, ToQt(PlainImage(test::VariedImage())));
}

TEST_F(CliTest, PackThenUnpackGivesTheSameBytes) {
  test::Rng rng(7);
  const std::vector<Bytes> inputs = {Bytes{}, Bytes{0x41}, test::RandomBytes(rng, 5000, 256),
                                     test::RandomBytes(rng, 20000, 3), PlainImage(BlankImage())};
  for (const Bytes& input : inputs) {
    WriteFile(Path("in.bin"), ToQt(input));
    ASSERT_EQ(RunCli({"pack", Path("in.bin"), Path("packed.bin")}).exitCode, 0);
    EXPECT_EQ(ReadFile(Path("packed.bin")), ToQt(Encode(input)));
    ASSERT_EQ(RunCli({"unpack", Path("packed.bin"), Path("out.bin")}).exitCode, 0);
    EXPECT_EQ(ReadFile(Path("out.bin")), ToQt(input)) << input.size() << " bytes";
  }
}

TEST_F(CliTest, PackOfAPlainImageIsACodeplug) {
  WriteFile(Path("plain.bin"), ToQt(PlainImage(BlankImage())));
  ASSERT_EQ(RunCli({"pack", Path("plain.bin"), Path("packed.tw")}).exitCode, 0);
  EXPECT_EQ(ReadFile(Path("packed.tw")), ReadFile(Path("blank.tw")));
  EXPECT_EQ(RunCli({"info", Path("packed.tw")}).exitCode, 0);
}

TEST_F(CliTest, FailedUnpackWritesNothing) {
  ASSERT_EQ(RunCli({"unpack", Path("garbage.tw"), Path("out.bin")}).exitCode, 1);
  EXPECT_FALSE(QFile::exists(Path("out.bin")));
}

}  // namespace
}  // namespace orvex
