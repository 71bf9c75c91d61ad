// orvex-cli write and read with several radios at once, per-radio values and
// watch mode, against orvex-sim serving several virtual radios.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "cli_process.h"
#include "link/clone_protocol.h"
#include "link/sim_process.h"
#include "test_images.h"

namespace orvex {
namespace {

using test::SimProcess;

class FleetVerbs : public test::CliFolderTest {
 protected:
  void SetUp() override {
    CliFolderTest::SetUp();
    if (IsSkipped()) return;
    if (!QFileInfo::exists(test::SimProgram())) GTEST_SKIP() << "orvex-sim is not built";
    test::App();
  }

  // Radios on @r1..@rN; each saves what it was written to @savedK.tw.
  std::unique_ptr<SimProcess> Radios(int count, const QStringList& extra = {}) {
    auto sim = std::make_unique<SimProcess>(
        QStringList{"--count", QString::number(count), "--fast", "--link", Path("r"), "--save", Path("saved.tw")} +
        extra);
    for (int k = 1; k <= count; ++k) {
      const QString link = Path("r") + QString::number(k);
      test::Spin(std::chrono::seconds(5), [&] { return QFileInfo::exists(link); });
      EXPECT_TRUE(QFileInfo::exists(link)) << link.toStdString();
    }
    return sim;
  }

  // What `import --json` makes of the codeplug with these values.
  Image Imported(const char* json) {
    Write("row.json", json);
    const Run run = Cli({"import", "@plug.tw", "--json", "@row.json", "-o", "@expected.tw"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return Opened("expected.tw");
  }

  void ExpectRadioHolds(int radio, const Image& expected) {
    const std::string name = "saved" + std::to_string(radio) + ".tw";
    // Without verification the command may end before the radio has saved
    // what it was sent (the sim saves after the last acknowledgement).
    test::Spin(std::chrono::seconds(10), [&] {
      const auto parsed = ReadCodeplugFile(Path(name.c_str()).toStdString());
      return parsed.ok() && DifferingRows(parsed->image, expected).empty();
    });
    const Image saved = Opened(name.c_str());
    EXPECT_TRUE(DifferingRows(saved, expected).empty()) << "radio " << radio;
  }
};

TEST_F(FleetVerbs, FourRadiosEachWithItsOwnRowAndOneFaultyRadioFailsAlone) {
  ASSERT_TRUE(WriteCodeplugFile(Path("plug.tw").toStdString(), test::VariedImage(5)).ok());
  // Radio 4 stops answering part-way through the Write.
  const auto sim = Radios(4, {"--radio", "4", "--silent-after", "40"});
  Write("values.csv",
        "port,options.ani_code,channels.1.name\n" + (Path("r2") + ",222222,TWO\n").toUtf8() +  // by port
            "next,111111,ONE\n"
            "next,333333,THREE\n"
            "next,444444,FOUR\n");
  const Run run = Cli({"write", "--force", "--port", "@r1", "--port", "@r2", "--port", "@r3", "--port", "@r4", "--each",
                       "@values.csv", "--retries", "0", "--lang", "en", "@plug.tw"});
  EXPECT_EQ(run.exitCode, 1) << run.out.toStdString() << run.err.toStdString();
  EXPECT_EQ(run.out.count("written and verified"), 3) << run.out.toStdString();
  EXPECT_EQ(run.out.count("no answer"), 1) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("3 of 4 radios succeeded")) << run.out.toStdString();

  ExpectRadioHolds(2, Imported(R"({"options":{"ani_code":"222222"},"channels":[{"number":1,"name":"TWO"}]})"));
  // The "next" rows went to radios 1 and 3 in the order they answered; the
  // row of the radio that failed is not used by anyone.
  const Image one = Imported(R"({"options":{"ani_code":"111111"},"channels":[{"number":1,"name":"ONE"}]})");
  const Image three = Imported(R"({"options":{"ani_code":"333333"},"channels":[{"number":1,"name":"THREE"}]})");
  const Image four = Imported(R"({"options":{"ani_code":"444444"},"channels":[{"number":1,"name":"FOUR"}]})");
  const Image first = Opened("saved1.tw"), third = Opened("saved3.tw");
  const auto holds = [](const Image& radio, const Image& expected) { return DifferingRows(radio, expected).empty(); };
  EXPECT_TRUE(holds(first, one) || holds(first, three) || holds(first, four));
  EXPECT_TRUE(holds(third, one) || holds(third, three) || holds(third, four));
  EXPECT_FALSE(holds(first, three) && holds(third, three));
  EXPECT_FALSE(QFileInfo::exists(Path("saved4.tw")));
}

TEST_F(FleetVerbs, RefusedValuesStopOnlyTheirRadioAndAllGoodIsExitZero) {
  ASSERT_TRUE(WriteCodeplugFile(Path("plug.tw").toStdString(), test::VariedImage(6)).ok());
  const auto sim = Radios(2);
  Write("bad.csv", ("port,options.ani_code\n" + Path("r1") + ",12X\n" + Path("r2") + ",654321\n").toUtf8());
  const Run refused =
      Cli({"write", "--force", "--port", "@r1", "--port", "@r2", "--each", "@bad.csv", "--lang", "en", "@plug.tw"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.out.contains("not written (line 2: options.ani_code: ")) << refused.out.toStdString();
  EXPECT_EQ(refused.out.count("written and verified"), 1) << refused.out.toStdString();
  EXPECT_FALSE(QFileInfo::exists(Path("saved1.tw")));
  ExpectRadioHolds(2, Imported(R"({"options":{"ani_code":"654321"}})"));

  const Run good =
      Cli({"write", "--force", "--port", "@r1", "--port", "@r2", "--no-verify", "--lang", "en", "@plug.tw"});
  EXPECT_EQ(good.exitCode, 0) << good.out.toStdString() << good.err.toStdString();
  EXPECT_EQ(good.out.count("written "), 2) << good.out.toStdString();
  ExpectRadioHolds(1, Opened("plug.tw"));

  // A values file that cannot be used writes nothing at all.
  Write("unknown.csv", "port,options.no_such\nnext,1\n");
  const Run unusable =
      Cli({"write", "--force", "--port", "@r1", "--port", "@r2", "--each", "@unknown.csv", "@plug.tw"});
  EXPECT_EQ(unusable.exitCode, 1);
  EXPECT_TRUE(unusable.err.contains("nothing was written")) << unusable.err.toStdString();
}

TEST_F(FleetVerbs, ReadsEveryRadioIntoAFolder) {
  const auto sim = Radios(2, {"--radio", "2", "--ident", "XX999"});
  const Run run = Cli({"read", "--port", "@r1", "--port", "@r2", "-o", "@out", "--lang", "en"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.contains("read")) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("model wrong")) << run.out.toStdString();
  EXPECT_EQ(QDir(Path("out")).entryList({"*.tw"}), QStringList{"r1.tw"});
}

// Watch mode: radios that appear after the start are programmed one after
// another; another model is reported and skipped; Ctrl+C ends with the table.
TEST_F(FleetVerbs, WatchProgramsRadiosAsTheyAppear) {
  ASSERT_TRUE(WriteCodeplugFile(Path("plug.tw").toStdString(), test::VariedImage(8)).ok());
  QProcess cli;
  cli.start(test::CliProgram(), {"write", "--force", "--watch", "--port", Path("w1"), "--port", Path("w2"), "--lang",
                                 "en", Path("plug.tw")});
  ASSERT_TRUE(cli.waitForStarted(5000));
  QByteArray out;
  const auto waitFor = [&](const char* text) {
    test::Spin(std::chrono::seconds(20), [&] {
      out += cli.readAllStandardOutput();
      return out.contains(text);
    });
    return out.contains(text);
  };
  SimProcess first({"--fast", "--link", Path("w1"), "--save", Path("first.tw")});
  EXPECT_TRUE(waitFor("written and verified")) << out.toStdString();
  SimProcess other({"--fast", "--link", Path("w2"), "--ident", "XX999"});
  EXPECT_TRUE(waitFor("model wrong")) << out.toStdString();
  kill(static_cast<pid_t>(cli.processId()), SIGINT);
  ASSERT_TRUE(cli.waitForFinished(10000));
  out += cli.readAllStandardOutput();
  EXPECT_EQ(cli.exitCode(), 1);  // the other model counts as a failure
  EXPECT_TRUE(out.contains("1 of 2 radios succeeded")) << out.toStdString();
  EXPECT_TRUE(DifferingRows(Opened("first.tw"), Opened("plug.tw")).empty());
}

}  // namespace
}  // namespace orvex
