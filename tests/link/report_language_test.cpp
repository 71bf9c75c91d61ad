// Each report the engine writes (import, check, cable test, several radios)
// speaks Chinese when asked to, with no English left in the line.

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>

#include "core/strings.h"
#include "link/cable_doctor.h"
#include "fleet/radio_station.h"
#include "model/channels/channel_csv.h"
#include "model/channels/channel_record.h"
#include "model/channels/codeplug_check.h"
#include "model/csv.h"
#include "model/document/radio_values.h"

namespace orvex {
namespace {

std::string ImportLine(int language) {
  const auto rows = ReadChannelsCsv("Location,Frequency,Duplex,Offset\n1,145.5,split,300\n2,14x\n", 0, language);
  Image image = BlankImage();
  const CsvImportReport report = ApplyChannelsCsv(image, *rows, false, language);
  return NoteText(report.findings.at(0), language) + "\n" + NoteText(report.skipped.at(0), language) + "\n" +
         CsvImportSummary(report, language);
}

std::string CheckLine(int language) {
  Image image = BlankImage();
  for (const int n : {4, 8}) {
    ChannelFields fields = NewChannelFields("145.50000", 0);
    fields.name = "GATE";
    EXPECT_TRUE(StoreChannel(image, n, fields, 0).ok());
  }
  std::string text;
  for (const auto& finding : CheckCodeplug(image, language)) text += FindingLine(finding, language) + "\n";
  return text;
}

std::string CableLine(int language) {
  bool ours = false;
  std::string text;
  for (const auto& check : ExchangeVerdicts({}, ours, language)) text += DoctorLine(check, language) + "\n";
  return text;
}

std::string CableOpenLine(int language) {
  return DoctorLine(OpenVerdict(ENODEV, "/dev/ttyUSB7", language), language) + "\n" +
         DoctorLine(AdapterVerdict("0403", "0000", "", "", language), language);
}

std::string CsvLine(int language) { return ParseCsv("a,\"b\n", '\0', {}, language).error(); }

std::string ValuesFileLine(int language) {
  const auto values = ParseRadioValues("port,channels.1.name\nnext,GATE\n", language);
  return ParseRadioValues("port,bogus\n", language).error() + "\n" +
         ApplyRow(BlankImage(), *values, values->rows.at(0), language).error();
}

std::string StoreLine(int language) {
  Image image = BlankImage();
  ChannelFields fields = NewChannelFields("145.50000", language);
  fields.name = "AB!";
  fields.power = "Loud";
  return StoreChannel(image, 4, fields, language).error();
}

std::string FleetLine(int language) {
  RadioReport report;
  report.outcome = RadioOutcome::NoAnswer;
  report.detail = QStringLiteral("D023N");
  report.readingBack = true;
  return OutcomeText(report, language).toStdString();
}

struct ReportKind {
  const char* name;
  std::function<std::string(int)> line;
  std::vector<std::string> chinese;  // parts of the Chinese text
  std::vector<std::string> english;  // parts of the English text, none of them in the Chinese
};

class ReportLanguage : public ::testing::TestWithParam<ReportKind> {};

TEST_P(ReportLanguage, ChineseHasNoEnglishLeft) {
  const std::string english = GetParam().line(kEnglish), chinese = GetParam().line(kChinese);
  for (const auto& part : GetParam().english) {
    EXPECT_NE(english.find(part), std::string::npos) << english;
    EXPECT_EQ(chinese.find(part), std::string::npos) << chinese;
  }
  for (const auto& part : GetParam().chinese) EXPECT_NE(chinese.find(part), std::string::npos) << chinese;
}

INSTANTIATE_TEST_SUITE_P(
    Engine, ReportLanguage,
    ::testing::Values(
        ReportKind{"import",
                   ImportLine,
                   {"第 2 行：错误：信道 1：Tx 300.00000 MHz 超出电台频段", "第 3 行：Frequency \"14x\" 不是"},
                   {"line", "error", "channel", "outside", "is not", "Channels imported"}},
        ReportKind{"check",
                   CheckLine,
                   {"警告：信道 4, 8 同名 GATE", "完全相同"},
                   {"warning", "channels", "share the name", "duplicates"}},
        ReportKind{"cable", CableLine, {"没有任何回应", "没有任何设备应答握手"}, {"nothing", "greeting"}},
        ReportKind{"cable_open",
                   CableOpenLine,
                   {"[FAIL] 打开：/dev/ttyUSB7 已消失", "[warn] 转接器：USB 转接器 0403:0000 （未给出厂商）"},
                   {"open:", "went away", "unplug", "adapter", "no maker", "counterfeit"}},
        ReportKind{"csv", CsvLine, {"第 1 行：带引号的字段没有结束"}, {"line", "quoted"}},
        ReportKind{"values_file",
                   ValuesFileLine,
                   {"第 1 行：“bogus”不是数据中的值", "channels.1.name：信道 1 不是已编程的信道：请先给它一个“rx”频率"},
                   {"line", "is not a value", "is not programmed", "give it"}},
        ReportKind{"store",
                   StoreLine,
                   {"信道 4：发射功率：\"Loud\" 不是 高, 低 之一", "不是由 0-9、A-Z"},
                   {"channel", "TX Power", "is not one of", "six characters"}},
        ReportKind{"fleet", FleetLine, {"回读时：D023N"}, {"no answer", "reading back"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvex
