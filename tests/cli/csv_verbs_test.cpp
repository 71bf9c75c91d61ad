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
#include "model/channels/channel_csv.h"
#include "model/channels/channel_record.h"

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

TEST_F(CsvVerbsTest, SkipInvalidAndRenumberImportTheUsableRows) {
  Write("mixed.csv",
        "Location,Name,Frequency\r\n"
        "0,ZERO,146.5\r\n"
        "# from the club list\r\n"
        "1,BAD,abc\r\n"
        "200,Far away,446.0063\r\n");
  const Run strict = Cli({"import", "@base.tw", "--csv", "@mixed.csv", "-o", "@strict.tw", "--renumber"});
  EXPECT_EQ(strict.exitCode, 1);
  EXPECT_TRUE(strict.err.contains("mixed.csv: line 4: Frequency \"abc\"")) << strict.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("strict.tw")));

  for (const char* from : {"--renumber", "--renumber=3"}) {
    const Run run = Cli({"import", "@base.tw", "--csv", "@mixed.csv", from, "--skip-invalid", "-o", "@new.tw"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const Image image = Opened("new.tw");
    const int first = std::string(from) == "--renumber" ? 1 : 3;
    EXPECT_EQ(DecodeChannelName(image, first), "ZERO  ");
    EXPECT_EQ(DecodeChannelName(image, first + 1), "FAR AW");
    const std::string err = run.err.toStdString();
    EXPECT_NE(err.find("mixed.csv: line 4: skipped: Frequency \"abc\""), std::string::npos) << err;
    EXPECT_NE(err.find("mixed.csv: line 5: 446.0063 MHz stored as 446.00625"), std::string::npos) << err;
    EXPECT_NE(err.find("mixed.csv: line 5: name \"Far away\" cut to six characters"), std::string::npos) << err;
    EXPECT_EQ(run.out.toStdString(), first == 3 ? "Channels imported: 2, replaced: 1, skipped: 1, adjusted: 1\n"
                                                : "Channels imported: 2, replaced: 0, skipped: 1, adjusted: 1\n");
  }
  // A number after --renumber is its value; the codeplug may follow it.
  const Run spaced =
      Cli({"import", "--renumber", "5", "@base.tw", "--csv", "@mixed.csv", "--skip-invalid", "-o", "@spaced.tw"});
  ASSERT_EQ(spaced.exitCode, 0) << spaced.err.toStdString();
  EXPECT_EQ(DecodeChannelName(Opened("spaced.tw"), 5), "ZERO  ");
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
        FailureCase{
            "ImportCsvAsJson", {"import", "@base.tw", "--json", "@ok.csv", "-o", "@out.tw"}, 1, "nothing was written"},
        FailureCase{
            "ImportMissingCsv", {"import", "@base.tw", "--csv", "@nothere.csv", "-o", "@out.tw"}, 1, "nothere.csv"},
        FailureCase{"ImportNotACodeplug",
                    {"import", "@notaplug.tw", "--csv", "@ok.csv", "-o", "@out.tw"},
                    1,
                    "Incorrect File Type."},
        FailureCase{"RenumberPastTheLastChannel",
                    {"import", "@base.tw", "--csv", "@ok.csv", "-o", "@out.tw", "--renumber=129"},
                    2,
                    "--renumber takes the first channel number, 1..128"},
        FailureCase{"RenumberNotANumber",
                    {"import", "@base.tw", "--csv", "@ok.csv", "-o", "@out.tw", "--renumber=x"},
                    2,
                    "--renumber takes the first channel number"},
        FailureCase{"ReplaceTakesNoValue",
                    {"import", "@base.tw", "--csv", "@ok.csv", "-o", "@out.tw", "--replace=yes"},
                    2,
                    "takes no value"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvex
