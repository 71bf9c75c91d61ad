// orvex-cli export and import with channel CSV files, run as processes:
// exit codes, output, and nothing written when a file is refused.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "codeplug/codeplug_file.h"
#include "codeplug/file_io.h"
#include "model/channel_csv.h"
#include "model/channel_record.h"

namespace orvex {
namespace {

const QByteArray kHeader = QByteArray(kChannelCsvHeader.data(), static_cast<int>(kChannelCsvHeader.size()));

class CsvVerbsTest : public test::CliFolderTest {
 protected:
  void SetUp() override {
    test::CliFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Image image = BlankImage();
    ASSERT_TRUE(StoreChannel(image, 3, NewChannelFields("145.50000", 0), 0).ok());
    EncodeChannelName(image, 3, "HOME");
    m_base = image;
    ASSERT_TRUE(WriteCodeplugFile(Path("base.tw").toStdString(), image).ok());
  }

  Image m_base{};
};

TEST_F(CsvVerbsTest, ExportToStdoutAndToAFile) {
  const std::string expected = ExportChannelsCsv(m_base);
  const Run toStdout = Cli({"export", "@base.tw", "--format", "csv"});
  EXPECT_EQ(toStdout.exitCode, 0) << toStdout.err.toStdString();
  EXPECT_EQ(toStdout.out.toStdString(), expected);
  EXPECT_TRUE(toStdout.err.isEmpty());
  EXPECT_TRUE(toStdout.out.contains(",HOME,145.500000,"));

  const Run toFile = Cli({"export", "@base.tw", "--format=csv", "-o", "@out.csv"});
  EXPECT_EQ(toFile.exitCode, 0);
  EXPECT_TRUE(toFile.out.isEmpty());
  EXPECT_EQ(Read("out.csv").toStdString(), expected);
}

TEST_F(CsvVerbsTest, ImportAppliesTheFile) {
  Write("in.csv", kHeader + "\n5,Club,438.500000,-,7.600000,TSQL,88.5,88.5,023,NN,023,Tone->Tone,NFM,5.00,S,Low\n");
  const Run run = Cli({"import", "@base.tw", "--csv", "@in.csv", "-o", "@new.tw"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const Image image = Opened("new.tw");
  EXPECT_EQ(ReadChannel(image, 5, 0).rx, "438.50000");
  EXPECT_EQ(ReadChannel(image, 5, 0).tx, "430.90000");
  EXPECT_EQ(DecodeChannelName(image, 5), "CLUB  ");
  EXPECT_TRUE(IsProgrammed(image, 3));   // kept without --replace
  EXPECT_EQ(Opened("base.tw"), m_base);  // the source is not touched
}

TEST_F(CsvVerbsTest, ReplaceClearsTheOthers) {
  Write("in.csv", "Location,Frequency\r\n5,145.000000\r\n");
  const Run run = Cli({"import", "@base.tw", "--csv", "@in.csv", "-o", "@new.tw", "--replace"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const Image image = Opened("new.tw");
  EXPECT_FALSE(IsProgrammed(image, 3));
  EXPECT_TRUE(IsProgrammed(image, 5));
}

TEST_F(CsvVerbsTest, BadRowsAreListedAndNothingIsWritten) {
  Write("bad.csv", kHeader + "\n1,A,145.5\n2,B,abc\n3,C,145.5,*,1\n");
  const QByteArray before = "an earlier file that must survive";
  Write("existing.tw", before);
  for (const char* out : {"@fresh.tw", "@existing.tw"}) {
    const Run run = Cli({"import", "@base.tw", "--csv", "@bad.csv", "-o", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    const std::string err = run.err.toStdString();
    EXPECT_NE(err.find("bad.csv: line 3: Frequency \"abc\""), std::string::npos) << err;
    EXPECT_NE(err.find("bad.csv: line 4: Duplex \"*\""), std::string::npos) << err;
    EXPECT_EQ(err.find("line 2"), std::string::npos) << err;
    EXPECT_NE(err.find("nothing was written"), std::string::npos) << err;
  }
  EXPECT_FALSE(QFile::exists(Path("fresh.tw")));
  EXPECT_EQ(Read("existing.tw"), before);
}

struct FailureCase {
  const char* name;
  std::vector<const char*> args;
  int exitCode;
  const char* message;
};

class CsvVerbsFailureTest : public CsvVerbsTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CsvVerbsFailureTest, ExitCodeAndMessage) {
  Write("ok.csv", "Location,Frequency\n1,145.5\n");
  Write("notaplug.tw", "hello");
  const Run run = Cli(GetParam().args);
  EXPECT_EQ(run.exitCode, GetParam().exitCode);
  EXPECT_TRUE(run.err.contains(GetParam().message)) << run.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("out.tw")));
  EXPECT_FALSE(QFile::exists(Path("out.csv")));
}

INSTANTIATE_TEST_SUITE_P(
    Verbs, CsvVerbsFailureTest,
    ::testing::Values(
        FailureCase{"ExportWithoutFormat", {"export", "@base.tw"}, 2, "--format csv or --format json"},
        FailureCase{
            "ExportUnknownFormat", {"export", "@base.tw", "--format", "xml"}, 2, "--format csv or --format json"},
        FailureCase{
            "ExportMissingFile", {"export", "@missing.tw", "--format", "csv", "-o", "@out.csv"}, 1, "missing.tw"},
        FailureCase{"ExportNotACodeplug",
                    {"export", "@notaplug.tw", "--format", "csv", "-o", "@out.csv"},
                    1,
                    "Incorrect File Type."},
        FailureCase{"ImportWithoutOutput", {"import", "@base.tw", "--csv", "@ok.csv"}, 2, "-o OUT"},
        FailureCase{
            "ImportWithoutInput", {"import", "@base.tw", "-o", "@out.tw"}, 2, "one of --csv IN.csv or --json IN.json"},
        FailureCase{"ImportBothInputs",
                    {"import", "@base.tw", "--csv", "@ok.csv", "--json", "@ok.csv", "-o", "@out.tw"},
                    2,
                    "one of --csv"},
        FailureCase{"ImportCsvAsJson",
                    {"import", "@base.tw", "--json", "@ok.csv", "-o", "@out.tw"},
                    1,
                    "nothing was written"},
        FailureCase{
            "ImportMissingCsv", {"import", "@base.tw", "--csv", "@nothere.csv", "-o", "@out.tw"}, 1, "nothere.csv"},
        FailureCase{"ImportNotACodeplug",
                    {"import", "@notaplug.tw", "--csv", "@ok.csv", "-o", "@out.tw"},
                    1,
                    "Incorrect File Type."},
        FailureCase{"ReplaceTakesNoValue",
                    {"import", "@base.tw", "--csv", "@ok.csv", "-o", "@out.tw", "--replace=yes"},
                    2,
                    "takes no value"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvex
