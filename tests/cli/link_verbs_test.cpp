// orvex-cli read, write, verify and ports as a user runs them, against
// orvex-sim on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>

#include "core/strings.h"
#include "link/sim_process.h"

namespace orvex {
namespace {

using test::Patterned;
using test::Scratch;
using test::SimProcess;

using CliRun = test::ProgramRun;

CliRun Cli(const QStringList& arguments) { return test::RunProgram(test::CliProgram(), arguments); }

// The rows a Read fetches (a block covers four rows, the last one row).
bool ReadRow(int row) {
  return (row >= 1 && row <= 132) || (row >= 226 && row <= 229) || (row >= 257 && row <= 388) ||
         (row >= 453 && row <= 473);
}

class LinkVerbs : public testing::Test {
 protected:
  void SetUp() override {
    for (const QString& program : {test::SimProgram(), test::CliProgram()})
      if (!QFileInfo::exists(program)) GTEST_SKIP() << program.toStdString() << " is not built";
    test::App();
  }
  Scratch m_scratch;
};

TEST_F(LinkVerbs, ReadWriteVerifyRoundTrip) {
  const Image radio = Patterned(17);
  SimProcess sim({"--fast", "--link", m_scratch.path("radio-link"), "--image", m_scratch.Codeplug("radio.tw", radio)});
  ASSERT_FALSE(sim.device().isEmpty());
  const QString link = m_scratch.path("radio-link");
  ASSERT_TRUE(QFileInfo(link).isSymLink());

  const QString readFile = m_scratch.path("r.tw");
  const CliRun read = Cli({"read", "--port", link, "-o", readFile, "--lang", "en"});
  ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
  EXPECT_TRUE(read.err.contains("Reading completed!")) << read.err.toStdString();
  const auto parsed = ReadCodeplugFile(readFile.toStdString());
  ASSERT_TRUE(parsed.ok());
  const Image blank = BlankImage();
  for (int row = 0; row < 512; ++row)
    ASSERT_TRUE(std::ranges::equal(RowOf(parsed->image, row), RowOf(ReadRow(row) ? radio : blank, row))) << row;

  const Image mine = Patterned(71);
  const QString mineFile = m_scratch.Codeplug("mine.tw", mine);
  // A patterned image is no usable codeplug: the check would refuse it.
  const CliRun write = Cli({"write", "--verify", "--force", "--port", link, mineFile, "--lang", "en"});
  ASSERT_EQ(write.exitCode, 0) << write.err.toStdString() << write.out.toStdString();
  EXPECT_TRUE(write.err.contains("Writing completed!"));
  EXPECT_TRUE(write.out.contains("285 rows")) << write.out.toStdString();

  EXPECT_EQ(Cli({"verify", "--port", link, mineFile}).exitCode, 0);
  // The file that was read before differs from the radio now in every row a
  // Write sends where the two patterns differ.
  const CliRun differs = Cli({"verify", "--port", link, readFile});
  EXPECT_EQ(differs.exitCode, 1);
  EXPECT_TRUE(differs.out.contains("row   1 (0x0010)")) << differs.out.toStdString();
  EXPECT_FALSE(differs.out.contains("row 131")) << "rows a Write never sends are not compared";
}

TEST_F(LinkVerbs, OutcomesInTheChosenLanguage) {
  struct Case {
    QStringList sim;
    QStringList cli;
    int exitCode;
    QString text;
    int times;
  };
  const QList<Case> cases = {
      {{"--ident", "AB123"}, {"--lang", "en"}, 1, "Model type is wrong.", 1},
      {{"--ident", "AB123"}, {"--lang", "zh"}, 1, QString::fromUtf8(Text(1334, kChinese).data()), 1},
      {{"--bad-ack"}, {"--lang", "en", "--retries", "1"}, 1, "Check Connection. Retry or Cancel?", 2},
      {{"--bad-ack"}, {"--lang", "en", "--retries", "0"}, 1, "Check Connection. Retry or Cancel?", 1},
      {{}, {"--lang", "zh"}, 0, QString::fromUtf8(Text(1332, kChinese).data()), 1},
  };
  for (const Case& c : cases) {
    SimProcess sim(QStringList{"--fast"} + c.sim);
    ASSERT_FALSE(sim.device().isEmpty());
    const CliRun run = Cli(QStringList{"read", "--port", sim.device(), "-o", m_scratch.path("x.tw")} + c.cli);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
    EXPECT_FALSE(c.text.isEmpty());
    EXPECT_EQ(run.err.count(c.text), c.times) << c.sim.join(' ').toStdString() << ": " << run.err.toStdString();
    if (c.exitCode != 0) {
      EXPECT_FALSE(QFileInfo::exists(m_scratch.path("x.tw"))) << "no file from a failed Read";
    }
  }
}

// A Read whose file cannot be saved (the file size limit stands in for a
// full disk) says only what happened: no "Reading completed!".
TEST_F(LinkVerbs, ReadOntoAFullDiskSaysSo) {
  // A lock file still fits; the patterned codeplug (about 8 KB) does not.
  SimProcess sim({"--fast", "--image", m_scratch.Codeplug("radio.tw", Patterned(5))});
  ASSERT_FALSE(sim.device().isEmpty());
  QProcess process;
  process.start("/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 2; exec \"$0\" read --port \"$1\" -o \"$2\" --lang en",
                            test::CliProgram(), sim.device(), m_scratch.path("r.tw")});
  ASSERT_TRUE(process.waitForFinished(60000));
  const QString err = QString::fromUtf8(process.readAllStandardError());
  EXPECT_EQ(process.exitCode(), 1) << err.toStdString();
  EXPECT_TRUE(err.contains("File too large")) << err.toStdString();
  EXPECT_FALSE(err.contains("Reading completed!")) << err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(m_scratch.path("r.tw")));
}

TEST_F(LinkVerbs, BadPortsAndOptions) {
  EXPECT_EQ(Cli({"read", "-o", m_scratch.path("x.tw")}).exitCode, 2);
  EXPECT_EQ(Cli({"read", "--port", "/nonexistent/tty", "-o", m_scratch.path("x.tw")}).exitCode, 1);
  EXPECT_EQ(Cli({"read", "--port", "COM1", "-o", m_scratch.path("x.tw"), "--retries", "x"}).exitCode, 2);
  EXPECT_EQ(Cli({"read", "--port", "COM1", "-o", m_scratch.path("x.tw"), "--lang", "fr"}).exitCode, 2);
  EXPECT_EQ(Cli({"write", "--port", "/nonexistent/tty", m_scratch.path("missing.tw")}).exitCode, 1);
}

TEST_F(LinkVerbs, PortsListsTenSlots) {
  const CliRun run = Cli({"ports"});
  ASSERT_EQ(run.exitCode, 0);
  const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 10);
  for (int k = 1; k <= 10; ++k) EXPECT_TRUE(lines[k - 1].startsWith(QStringLiteral("COM%1 ").arg(k)));
}

}  // namespace
}  // namespace orvex
