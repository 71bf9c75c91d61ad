// orvex-cli export --format json, import --json and diff, run as processes:
// exit codes, output, and nothing written when a document is refused.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <random>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "codeplug/codeplug_file.h"
#include "codeplug/file_io.h"
#include "model/channels/channel_record.h"

namespace orvex {
namespace {

class JsonVerbsTest : public test::CliFolderTest {
 protected:
  void SetUp() override {
    test::CliFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Image image = BlankImage();
    ASSERT_TRUE(StoreChannel(image, 12, NewChannelFields("145.50000", 0), 0).ok());
    EncodeChannelName(image, 12, "HOME");
    m_base = image;
    SaveImage("base.tw", image);
  }

  void SaveImage(const char* name, const Image& image) const {
    ASSERT_TRUE(WriteCodeplugFile(Path(name).toStdString(), image).ok());
  }

  QJsonObject Exported(const char* file) const {
    const Run run = Cli({"export", file, "--format", "json"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return QJsonDocument::fromJson(run.out).object();
  }

  Image m_base{};
};

TEST_F(JsonVerbsTest, ExportWritesAReadableDocument) {
  const Run toStdout = Cli({"export", "@base.tw", "--format", "json"});
  ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err.toStdString();
  EXPECT_TRUE(toStdout.err.isEmpty());
  QJsonParseError error{};
  const QJsonObject doc = QJsonDocument::fromJson(toStdout.out, &error).object();
  ASSERT_EQ(error.error, QJsonParseError::NoError);
  EXPECT_EQ(doc["format"].toString(), "orvex-codeplug");
  EXPECT_EQ(doc["version"].toInt(), 1);
  const QJsonArray channels = doc["channels"].toArray();
  ASSERT_EQ(channels.size(), 1);
  EXPECT_EQ(channels[0]["number"].toInt(), 12);
  EXPECT_EQ(channels[0]["rx"].toString(), "145.50000");
  EXPECT_EQ(channels[0]["name"].toString(), "HOME  ");
  EXPECT_EQ(doc["options"]["vox_level"].toString(), "Off");
  EXPECT_EQ(doc["frequency_modes"]["A"]["current"].toString(), "400.02500");
  EXPECT_EQ(doc["memory"]["0810"].toString(), "00 25 00 40 00 25 00 40 FF FF FF FF 00 F8 00 FF");

  const Run toFile = Cli({"export", "@base.tw", "--format", "json", "-o", "@out.json"});
  EXPECT_EQ(toFile.exitCode, 0);
  EXPECT_TRUE(toFile.out.isEmpty());
  EXPECT_EQ(Read("out.json"), toStdout.out);
}

TEST_F(JsonVerbsTest, ExportThenImportIsByteIdentical) {
  std::mt19937 rng(5);
  Image random;
  for (auto& b : random) b = static_cast<std::uint8_t>(rng());
  SaveImage("random.tw", random);
  QFile::copy(QString(ORVEX_TEST_DATA_DIR) + "/varied.tw", Path("varied.tw"));
  for (const char* name : {"@base.tw", "@random.tw", "@varied.tw"}) {
    ASSERT_EQ(Cli({"export", name, "--format", "json", "-o", "@doc.json"}).exitCode, 0) << name;
    // Onto another codeplug: the document's rows decide every byte.
    const Run run = Cli({"import", "@random.tw", "--json", "@doc.json", "-o", "@back.tw"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const Image back = Opened("back.tw");
    const std::string file = QString(name).mid(1).toStdString();
    EXPECT_TRUE(back == Opened(file.c_str())) << name;
    const Run diff = Cli({"diff", name, "@back.tw"});
    EXPECT_EQ(diff.exitCode, 0) << name;
    EXPECT_TRUE(diff.out.isEmpty()) << diff.out.toStdString();
  }
}

TEST_F(JsonVerbsTest, AnEditedValueShowsInTheDiff) {
  QJsonObject doc = Exported("@base.tw");
  QJsonArray channels = doc["channels"].toArray();
  QJsonObject channel = channels[0].toObject();
  channel["rx"] = "145.525";
  channels[0] = channel;
  doc["channels"] = channels;
  QJsonObject options = doc["options"].toObject();
  options["vox_level"] = "5";
  doc["options"] = options;
  Write("edit.json", QJsonDocument(doc).toJson());

  const Run run = Cli({"import", "@base.tw", "--json", "@edit.json", "-o", "@edit.tw"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const Run diff = Cli({"diff", "@base.tw", "@edit.tw"});
  EXPECT_EQ(diff.exitCode, 1);
  EXPECT_EQ(diff.out.toStdString(),
            "channel 12 Rx Freq: 145.50000 -> 145.52500\n"
            "option vox_level: Off -> 5\n");
}

TEST_F(JsonVerbsTest, AHandWrittenFragmentChangesOnlyWhatItNames) {
  Write("part.json",
        R"({"channels": [{"number": 3, "rx": "438.5", "name": "CLUB"}], "side_key": {"function": "Lamp"}})");
  const Run run = Cli({"import", "@base.tw", "--json", "@part.json", "-o", "@part.tw"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const Image image = Opened("part.tw");
  EXPECT_EQ(ReadChannel(image, 3, 0).rx, "438.50000");
  EXPECT_EQ(DecodeChannelName(image, 3), "CLUB  ");
  EXPECT_EQ(image[0x0E3B], 2);
  EXPECT_TRUE(IsProgrammed(image, 12));
}

TEST_F(JsonVerbsTest, RefusedDocumentsWriteNothing) {
  struct Case {
    const char* name;
    QByteArray json;
    std::vector<const char*> expected;  // in stderr
  };
  const Case cases[] = {
      {"malformed", "{\n  \"options\": {\n    \"vox_level\": \"5\",,\n  }\n}\n", {"bad.json:3:"}},
      {"truncated", "{\"options\": {", {"bad.json:1:"}},
      {"bad values",
       R"({"options": {"vox_level": "11", "bogus": "1"}, "channels": [{"number": 12, "power": "Hi"}]})",
       {"bad.json: $.options.bogus: unknown key", "bad.json: $.options.vox_level: vox_level: \"11\"",
        "bad.json: $.channels[0].power: channel 12: TX Power: \"Hi\""}},
      {"not a text", R"({"options": {"vox_level": 5}})", {"$.options.vox_level: must be a text"}},
  };
  const QByteArray before = "an earlier file that must survive";
  for (const auto& c : cases) {
    Write("bad.json", c.json);
    Write("existing.tw", before);
    for (const char* out : {"@fresh.tw", "@existing.tw"}) {
      const Run run = Cli({"import", "@base.tw", "--json", "@bad.json", "-o", out});
      EXPECT_EQ(run.exitCode, 1) << c.name;
      EXPECT_TRUE(run.out.isEmpty()) << c.name;
      for (const char* text : c.expected)
        EXPECT_TRUE(run.err.contains(text)) << c.name << ": " << run.err.toStdString();
      EXPECT_TRUE(run.err.contains("nothing was written")) << c.name;
    }
    EXPECT_FALSE(QFile::exists(Path("fresh.tw"))) << c.name;
    EXPECT_EQ(Read("existing.tw"), before) << c.name;
  }
}

TEST_F(JsonVerbsTest, DiffExitCodes) {
  Image other = m_base;
  other[0x0E5F] = 0x00;
  SaveImage("other.tw", other);
  const Run different = Cli({"diff", "@base.tw", "@other.tw"});
  EXPECT_EQ(different.exitCode, 1);
  EXPECT_EQ(different.out.toStdString(), "0x0E5F: 01 -> 00\n");

  const Run same = Cli({"diff", "@base.tw", "@base.tw"});
  EXPECT_EQ(same.exitCode, 0);
  EXPECT_TRUE(same.out.isEmpty());

  EXPECT_EQ(Cli({"diff", "@base.tw"}).exitCode, 2);
  EXPECT_EQ(Cli({"diff", "@base.tw", "@other.tw", "@base.tw"}).exitCode, 2);
  const Run missing = Cli({"diff", "@base.tw", "@missing.tw"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_TRUE(missing.err.contains("missing.tw"));
  EXPECT_TRUE(missing.out.isEmpty());
}

TEST_F(JsonVerbsTest, ImportNeedsItsArguments) {
  EXPECT_EQ(Cli({"import", "@base.tw", "--json", "@x.json"}).exitCode, 2);
  EXPECT_EQ(Cli({"import", "@base.tw", "--json", "@x.json", "--csv", "@x.csv", "-o", "@o.tw"}).exitCode, 2);
  const Run missing = Cli({"import", "@base.tw", "--json", "@absent.json", "-o", "@o.tw"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.err.contains("absent.json"));
  EXPECT_FALSE(QFile::exists(Path("o.tw")));
}

}  // namespace
}  // namespace orvex
