// Each report the engine writes (import, check, cable test, several radios)
// speaks Chinese when asked to, with no English left in the line.

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>

#include "core/strings.h"
#include "fleet/radio_station.h"
#include "link/cable_doctor.h"
#include "model/channels/channel_csv.h"
#include "model/channels/channel_record.h"
#include "model/csv.h"
#include "model/document/codeplug_check.h"
#include "model/document/codeplug_document.h"
#include "model/document/radio_values.h"
#include "model/signalling/five_tone_table.h"
#include "model/signalling/msk_table.h"
#include "model/signalling/two_tone_table.h"

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
  fields.tx = "14x";  // the frequency and tone codecs' refusals
  fields.decodeTone = "123.4";
  return StoreChannel(image, 4, fields, language).error();
}

std::string CellsLine(int language) {
  TwoToneTable twoTone;
  FiveToneTable fiveTone;
  MskTable msk;
  twoTone.Load(BlankImage(), language);
  fiveTone.Load(BlankImage(), language);
  msk.Load(BlankImage(), language);
  return twoTone.SetCell(TwoToneGrid::CallList, {1, TwoToneColumn::kGap}, "300", language).error() + "\n" +
         twoTone.SetCell(TwoToneGrid::Decode, {0, 1}, "", language).error() + "\n" +
         fiveTone.SetCell({1, FiveToneColumn::kId}, "XYZ", language).error() + "\n" +
         msk.SetCell(MskGrid::CallList, {1, MskTable::kCodeColumn}, "G", language).error();
}

// A document with a wrong version, an unknown key, a short memory row, a
// tone the channel codec refuses and list items the settings refuse.
std::string DocumentLine(int language) {
  const auto text = [](const char* t) { return DocNode{std::string(t)}; };
  const DocNode channel{
      DocMembers{{"number", DocNode{1.0}}, {"rx", text("145.50000")}, {"decode_tone", text("123.4")}}};
  const DocNode document{
      DocMembers{{"format", text("orvex-codeplug")},
                 {"version", DocNode{2.0}},
                 {"channels", DocNode{DocItems{channel}}},
                 {"bogus", DocNode{1.0}},
                 {"options", DocNode{DocMembers{{"vox_level", text("Loud")}}}},
                 {"frequency_modes", DocNode{DocMembers{{"A", DocNode{DocMembers{{"tx_power", text("Loud")}}}}}}},
                 {"memory", DocNode{DocMembers{{"0010", text("FF")}}}}}};
  return ImportDocument(BlankImage(), document, language).error();
}

std::string FleetLine(int language) {
  RadioReport report;
  report.outcome = RadioOutcome::NoAnswer;
  report.detail = "D023N";
  report.readingBack = true;
  return OutcomeText(report, language);
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
                   {"信道 4：", "发射功率：\"Loud\" 不是 高, 低 之一", "不是由 0-9、A-Z",
                    "\"14x\" 不是 145.50000 这样的频率", "\"123.4\" 不是列表中的亚音"},
                   {"channel", "TX Power", "is not one of", "six characters", "is not a frequency", "is not a tone"}},
        ReportKind{"fleet", FleetLine, {"回读时：D023N"}, {"no answer", "reading back"}},
        ReportKind{"cells",
                   CellsLine,
                   {"两音：\"300\" 不是 0..255 ms 的间隔时间", "两音：第 0 行第 1 列不是数据单元格",
                    "五音：\"XYZ\" 不是", "MSK：\"G\" 不是最多四位的十六进制码"},
                   {"2-Tone", "5-Tone", "GAP time", "no data cell", "hexadecimal"}},
        ReportKind{
            "document",
            DocumentLine,
            {"$.version：本程序读取第 1 版", "$.bogus：未知的键", "$.memory.0010：\"FF\" 有 1 个字节，而不是十六个",
             "信道 1：CTC/DCS ", "不是列表中的亚音", "vox_level：\"Loud\" 不是列表中的项",
             "tx_power：\"Loud\" 不是列表中的项"},
            {"reads version", "unknown key", "bytes instead", "channel 1", "is not a tone", "item of the list"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvex
