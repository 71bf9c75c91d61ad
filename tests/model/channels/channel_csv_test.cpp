#include "model/channels/channel_csv.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "model/channel_test_util.h"
#include "model/csv.h"

namespace orvex {
namespace {

using test::Blank;
using test::PutChannel;
using test::RawChannel;
using test::RowBytes;

RawChannel Raw(FreqUnits rx, std::optional<FreqUnits> tx, std::string dec, std::string enc, std::uint8_t flagsA = 0x70,
               std::string name = "") {
  RawChannel c;
  c.rx = rx;
  c.tx = tx;
  c.decodeTone = std::move(dec);
  c.encodeTone = std::move(enc);
  c.flagsA = flagsA;
  c.name = std::move(name);
  return c;
}

// ---- export -------------------------------------------------------------------

struct ExportCase {
  int n;
  RawChannel channel;
  std::string line;
};

const std::vector<ExportCase>& ExportCases() {
  static const std::vector<ExportCase> cases = {
      {1, Raw(14550000, 14550000, "None", "None"),
       "1,,145.500000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,"},
      {2, Raw(14570000, 14510000, "None", "88.5", 0x50, "RPT"),
       "2,RPT,145.700000,-,0.600000,Tone,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,1.0W,,,,,"},
      {3, Raw(43850000, 44610000, "100.0", "100.0", 0x60, "TSQL"),
       "3,TSQL,438.500000,+,7.600000,TSQL,100.0,100.0,023,NN,023,Tone->Tone,NFM,5.00,,5.0W,,,,,"},
      {4, Raw(44600625, 14600625, "None", "None", 0x70, "X"),
       "4,X,446.006250,split,146.006250,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,"},
      {5, Raw(44600000, 44600000, "D023I", "D023N"),
       "5,,446.000000,,0.000000,DTCS,88.5,88.5,023,NR,023,Tone->Tone,FM,5.00,,5.0W,,,,,"},
      {6, Raw(44600000, 44600000, "None", "D754N"),
       "6,,446.000000,,0.000000,Cross,88.5,88.5,754,NN,023,DTCS->,FM,5.00,,5.0W,,,,,"},
      {7, Raw(44600000, 44600000, "67.0", "None"),
       "7,,446.000000,,0.000000,Cross,88.5,67.0,023,NN,023,->Tone,FM,5.00,,5.0W,,,,,"},
      {8, Raw(44600000, 44600000, "D125I", "88.5"),
       "8,,446.000000,,0.000000,Cross,88.5,88.5,023,NR,125,Tone->DTCS,FM,5.00,,5.0W,,,,,"},
      {9, Raw(44600000, 44600000, "254.1", "D031I"),
       "9,,446.000000,,0.000000,Cross,88.5,254.1,031,RN,023,DTCS->Tone,FM,5.00,,5.0W,,,,,"},
      {10, Raw(44600000, 44600000, "D754N", "D023N"),
       "10,,446.000000,,0.000000,Cross,88.5,88.5,023,NN,754,DTCS->DTCS,FM,5.00,,5.0W,,,,,"},
      {11, Raw(44600000, 44600000, "100.0", "88.5"),
       "11,,446.000000,,0.000000,Cross,88.5,100.0,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,"},
      {12, Raw(44600000, 44600000, "D023N", "None"),
       "12,,446.000000,,0.000000,Cross,88.5,88.5,023,NN,023,->DTCS,FM,5.00,,5.0W,,,,,"},
      {13, Raw(44600000, std::nullopt, "None", "None", 0x30),
       "13,,446.000000,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,S,5.0W,,,,,"},
      {20, Raw(14400000, 14460000, "None", "None", 0x70, "A+B?"),
       "20,A+B?,144.000000,+,0.600000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,"},
      {21, Raw(14400000, 14400000, "None", "None", 0x70, " LEAD"),
       "21,\" LEAD\",144.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,"},
  };
  return cases;
}

Image Varied() {
  Image image = Blank();
  for (const auto& c : ExportCases()) PutChannel(image, c.n, c.channel);
  // An encode tone left behind on the channel without Tx.
  image[Address(13, 10)] = 0x75;
  image[Address(13, 11)] = 0x03;
  // Channel 14 has one unprogrammed Rx byte: not a channel.
  PutChannel(image, 14, Raw(14550000, 14550000, "None", "None"));
  image[Address(14, 1)] = 0xFF;
  return image;
}

TEST(ExportChannelsCsv, ExactBytes) {
  std::string expected = std::string(kChannelCsvHeader) + "\r\n";
  for (const auto& c : ExportCases()) expected += c.line + "\r\n";
  EXPECT_EQ(ExportChannelsCsv(Varied()), expected);
}

TEST(ExportChannelsCsv, BlankImageIsTheHeaderOnly) {
  EXPECT_EQ(ExportChannelsCsv(BlankImage()), std::string(kChannelCsvHeader) + "\r\n");
}

// The export as Python's csv module reads it, fields joined by \x1f.
TEST(ExportChannelsCsv, StandardReaderReadsIt) {
  if (std::system("python3 -c pass > /dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
  const auto path = std::filesystem::temp_directory_path() / ("orvex_export_" + std::to_string(::getpid()) + ".csv");
  const std::string csv = ExportChannelsCsv(Varied());
  std::ofstream(path, std::ios::binary) << csv;
  // After the header, Frequency is read as a number of MHz and Power as a
  // number of watts ending in W, as the community reader requires.
  const std::string command =
      "python3 -c \"import csv,sys\nfor i, r in enumerate(csv.reader(open(sys.argv[1], newline=''))):\n"
      " if i:\n"
      "  r[2] = '%.6f' % float(r[2])\n"
      "  assert r[15].endswith('W'), r[15]\n"
      "  r[15] = '%.1fW' % float(r[15][:-1])\n"
      " sys.stdout.write(chr(31).join(r) + chr(10))\" " +
      path.string();
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (std::size_t got = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0);
  }
  std::filesystem::remove(path);

  auto ours = ParseCsv(csv);
  ASSERT_TRUE(ours.ok());
  std::string expected;
  for (const auto& record : *ours) {
    ASSERT_EQ(record.fields.size(), 21u);
    for (std::size_t i = 0; i < record.fields.size(); ++i) expected += (i ? "\x1f" : "") + record.fields[i];
    expected += "\n";
  }
  EXPECT_EQ(output, expected);
  EXPECT_NE(output.find("21\x1f LEAD\x1f"), std::string::npos);
}

// ---- round trips ----------------------------------------------------------------

// Random channels with the values the CSV carries on the radio's raster.
Image RandomCsvImage(unsigned seed) {
  Image image = test::RandomChannelImage(seed);
  std::mt19937 random(seed);
  for (int n = 1; n <= 128; ++n) {
    if (!IsProgrammed(image, n)) continue;
    auto onRaster = [&] { return 6000000 + (random() % 2 ? 500 : 625) * (random() % 70000); };
    const Row row = RowOf(image, ChannelRow(n));
    EncodeBcdFreq(row, 0, onRaster());
    if (DecodeBcdFreq(row, 4)) EncodeBcdFreq(row, 4, onRaster());
    // A name that is not all spaces keeps its leading spaces; one of spaces
    // only is written empty and comes back as spaces.
  }
  return image;
}

TEST(ImportChannelsCsv, ExportThenImportOntoTheSameImageChangesNothing) {
  for (unsigned seed = 1; seed <= 25; ++seed) {
    const Image original = RandomCsvImage(seed);
    for (bool replace : {false, true}) {
      auto imported = ImportChannelsCsv(original, ExportChannelsCsv(original), replace);
      ASSERT_TRUE(imported.ok()) << imported.error();
      ASSERT_EQ(*imported, original) << "seed " << seed;
    }
  }
}

TEST(ImportChannelsCsv, ExportThenImportOntoABlankImageGivesTheSameExport) {
  for (unsigned seed = 40; seed <= 50; ++seed) {
    const Image original = RandomCsvImage(seed);
    const std::string csv = ExportChannelsCsv(original);
    auto imported = ImportChannelsCsv(BlankImage(), csv, true);
    ASSERT_TRUE(imported.ok()) << imported.error();
    EXPECT_EQ(ExportChannelsCsv(*imported), csv) << "seed " << seed;
  }
  auto varied = ImportChannelsCsv(BlankImage(), ExportChannelsCsv(Varied()), false);
  ASSERT_TRUE(varied.ok()) << varied.error();
  EXPECT_EQ(ExportChannelsCsv(*varied), ExportChannelsCsv(Varied()));
}

// ---- hand-written files ------------------------------------------------------------

struct ExpectedChannel {
  int n;
  std::vector<std::uint8_t> record;
  std::string name;
};

void ExpectChannels(const Image& image, const std::vector<ExpectedChannel>& channels) {
  for (const auto& c : channels) {
    EXPECT_EQ(RowBytes(image, ChannelRow(c.n)), c.record) << "channel " << c.n;
    EXPECT_EQ(DecodeChannelName(image, c.n), c.name) << "channel " << c.n;
  }
}

TEST(ImportChannelsCsv, CurrentHeaderWrittenByHand) {
  const std::string csv =
      "\xEF\xBB\xBF"
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
      "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE,Extra\r\n"
      "1,Home rpt,145.700000,-,0.600000,Tone,123.0,88.5,023,NN,023,Tone->Tone,FM,12.50,,High,\"my, comment\",,,,,x\r\n"
      "2,\"simplex\",446.006250,,0.000000,TSQL,88.5,100.0,023,NN,023,Tone->Tone,NFM,6.25,S,0.5W,,,,,\r\n"
      "3,dcs,438.500000,+,7.600000,DTCS,88.5,88.5,754,RN,023,Tone->Tone,FM,5.00,,5.0W,,,,,\r\n"
      "\r\n"
      "4,x-band,145.500000,split,435.000000,Cross,88.5,88.5,023,NR,125,Tone->DTCS,FM,5.00,,Low,,,,,\r\n"
      "5,rxonly,162.550000,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,5.00,S,High,,,,,\r\n";
  auto imported = ImportChannelsCsv(BlankImage(), csv, false);
  ASSERT_TRUE(imported.ok()) << imported.error();
  ExpectChannels(*imported,
                 {
                     {1,
                      {0x00, 0x00, 0x57, 0x14, 0x00, 0x00, 0x51, 0x14, 0xFF, 0xFF, 0xCE, 0x04, 0xFF, 0x70, 0x00, 0xFF},
                      "HOME R"},
                     {2,
                      {0x25, 0x06, 0x60, 0x44, 0x25, 0x06, 0x60, 0x44, 0xE8, 0x03, 0xE8, 0x03, 0xFF, 0x00, 0x00, 0xFF},
                      "SIMPLE"},
                     {3,
                      {0x00, 0x00, 0x85, 0x43, 0x00, 0x00, 0x61, 0x44, 0xEC, 0x29, 0xEC, 0xA9, 0xFF, 0x70, 0x00, 0xFF},
                      "DCS   "},
                     {4,
                      {0x00, 0x00, 0x55, 0x14, 0x00, 0x00, 0x50, 0x43, 0x55, 0xA8, 0x75, 0x03, 0xFF, 0x50, 0x00, 0xFF},
                      "X BAND"},
                     {5,
                      {0x00, 0x50, 0x25, 0x16, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0x00, 0xFF},
                      "RXONLY"},
                 });
  for (int n = 6; n <= 128; ++n) EXPECT_FALSE(IsProgrammed(*imported, n)) << n;
}

TEST(ImportChannelsCsv, OlderHeaderWrittenByHand) {
  Image base = BlankImage();
  RawChannel existing = Raw(14400000, 14400000, "67.0", "67.0", 0xCC, "OLD");
  existing.flagsB = 0x5A;
  existing.byte12 = 0x12;
  existing.byte15 = 0x34;
  PutChannel(base, 1, existing);
  base[Address(256 + 1, 9)] = 0x42;
  const std::string csv =
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Comment,"
      "URCALL,RPT1CALL,RPT2CALL\n"
      "1,ONE,146.520000,,0.000000,,88.5,88.5,023,NN,FM,5.00,,,,,\n"
      "2,TWO,147.000000,+,0.600000,Cross,88.5,100.0,023,NN,FM,5.00,,,,,\n"
      "3,THREE,440.000000,-,5.000000,DTCS,88.5,88.5,051,NN,NFM,5.00,S,,,,\n"
      "4,FOUR,440.000000,,,Cross,88.5,88.5,051,NR,NFM,5.00,S\n";
  auto imported = ImportChannelsCsv(base, csv, false);
  ASSERT_TRUE(imported.ok()) << imported.error();
  ExpectChannels(*imported,
                 {
                     // Power, BCL, OPTION, Scrambler No., Opt.Signal, Decode, AutoResponse and bytes 12 and 15
                     // kept; W/N from the file.
                     {1,
                      {0x00, 0x20, 0x65, 0x14, 0x00, 0x20, 0x65, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0xDC, 0x5A, 0x34},
                      "ONE   "},
                     // Cross without CrossMode is Tone->Tone.
                     {2,
                      {0x00, 0x00, 0x70, 0x14, 0x00, 0x00, 0x76, 0x14, 0xE8, 0x03, 0x75, 0x03, 0xFF, 0x70, 0x00, 0xFF},
                      "TWO   "},
                     {3,
                      {0x00, 0x00, 0x00, 0x44, 0x00, 0x00, 0x50, 0x43, 0x29, 0x28, 0x29, 0x28, 0xFF, 0x20, 0x00, 0xFF},
                      "THREE "},
                     // A short row; Offset empty.
                     {4,
                      {0x00, 0x00, 0x00, 0x44, 0x00, 0x00, 0x00, 0x44, 0x75, 0x03, 0x75, 0x03, 0xFF, 0x20, 0x00, 0xFF},
                      "FOUR  "},
                 });
  EXPECT_EQ((*imported)[Address(256 + 1, 9)], 0x42);
}

TEST(ImportChannelsCsv, ColumnsAreFoundByName) {
  const std::string csv =
      " frequency ,LOCATION,Skip,Tone,cToneFreq\n"
      "145.5,7,S,TSQL,67.0\n";
  auto imported = ImportChannelsCsv(BlankImage(), csv, false);
  ASSERT_TRUE(imported.ok()) << imported.error();
  EXPECT_EQ(RowBytes(*imported, 7), (std::vector<std::uint8_t>{0x00, 0x00, 0x55, 0x14, 0x00, 0x00, 0x55, 0x14, 0x9E,
                                                               0x02, 0x9E, 0x02, 0xFF, 0x30, 0x00, 0xFF}));
  EXPECT_EQ(DecodeChannelName(*imported, 7), "      ");
}

TEST(ImportChannelsCsv, NewChannelsGetDefaultsEvenOverLeftoverBytes) {
  Image base = BlankImage();
  for (std::size_t column = 4; column < 16; ++column) base[Address(5, column)] = 0x12;  // Rx unprogrammed
  for (std::size_t column = 0; column < 16; ++column) base[Address(256 + 5, column)] = 0x00;
  auto imported = ImportChannelsCsv(base, "Location,Frequency\n5,145.5\n", false);
  ASSERT_TRUE(imported.ok()) << imported.error();
  EXPECT_EQ(RowBytes(*imported, 5), (std::vector<std::uint8_t>{0x00, 0x00, 0x55, 0x14, 0x00, 0x00, 0x55, 0x14, 0xFF,
                                                               0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x00, 0xFF}));
  EXPECT_EQ(RowBytes(*imported, 256 + 5), (std::vector<std::uint8_t>{38, 38, 38, 38, 38, 38, 0xFF, 0xFF, 0xFF, 0xFF,
                                                                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(ImportChannelsCsv, FrequenciesFollowTheTypedRangeAndRaster) {
  struct Case {
    const char* frequency;
    const char* duplex;
    const char* offset;
    std::optional<FreqUnits> rx, tx;
  };
  const Case cases[] = {
      {"145.0031", "", "", 14500000, 14500000},        {"145.0063", "+", "0.6", 14500625, 14560625},
      {"145.5", "-", "0.6", 14550000, 14490000},       {"145.5", "split", "435", 14550000, 43500000},
      {"145.5", "off", "abc", 14550000, std::nullopt}, {"145.5", "+", "", 14550000, 14550000},
  };
  for (const auto& c : cases) {
    const std::string csv =
        std::string("Location,Frequency,Duplex,Offset\n1,") + c.frequency + "," + c.duplex + "," + c.offset + "\n";
    auto imported = ImportChannelsCsv(BlankImage(), csv, false);
    ASSERT_TRUE(imported.ok()) << csv << imported.error();
    EXPECT_EQ(DecodeBcdFreq(RowOf(*imported, 1), 0), c.rx) << csv;
    EXPECT_EQ(DecodeBcdFreq(RowOf(*imported, 1), 4), c.tx) << csv;
  }
}

TEST(ImportChannelsCsv, PowerWordsAndWatts) {
  struct Case {
    const char* power;
    std::uint8_t flagsA;
  };
  const Case cases[] = {{"High", 0x70},   {"low", 0x50},     {"MID", 0x70},   {"5.0W", 0x70},
                        {"5W", 0x70},     {"0.5W", 0x50},    {"2", 0x50},     {"2.4W", 0x50},
                        {"2.5 W", 0x70},  {"4w", 0x70},      {"", 0x70},      {"37dBm", 0x70},
                        {"30 dBm", 0x50}, {"33.9dBm", 0x50}, {"34DBM", 0x70}, {"-10dBm", 0x50}};
  for (const auto& c : cases) {
    auto imported =
        ImportChannelsCsv(BlankImage(), std::string("Location,Frequency,Power\n1,145.5,") + c.power + "\n", false);
    ASSERT_TRUE(imported.ok()) << c.power << imported.error();
    EXPECT_EQ((*imported)[Address(1, 13)], c.flagsA) << c.power;
  }
}

TEST(ImportChannelsCsv, ReplaceClearsChannelsTheFileDoesNotList) {
  Image base = Varied();
  const std::string csv = "Location,Frequency\n2,146.000000\n";
  auto kept = ImportChannelsCsv(base, csv, false);
  auto replaced = ImportChannelsCsv(base, csv, true);
  ASSERT_TRUE(kept.ok() && replaced.ok());
  for (int n = 1; n <= 128; ++n) {
    if (n == 2) continue;
    EXPECT_EQ(RowBytes(*kept, ChannelRow(n)), RowBytes(base, ChannelRow(n))) << n;
    EXPECT_EQ(RowBytes(*kept, ChannelNameRow(n)), RowBytes(base, ChannelNameRow(n))) << n;
    EXPECT_EQ(RowBytes(*replaced, ChannelRow(n)), std::vector<std::uint8_t>(16, 0xFF)) << n;
    EXPECT_EQ(RowBytes(*replaced, ChannelNameRow(n)), std::vector<std::uint8_t>(16, 0xFF)) << n;
  }
  for (const Image* image : {&*kept, &*replaced}) {
    EXPECT_EQ(ReadFreq(RowOf(*image, 2), Direction::Rx), "146.00000");
    EXPECT_EQ(DecodeChannelName(*image, 2), "RPT   ");  // no Name column: the name stays
  }
  // Everything outside the channel rows is untouched.
  for (std::size_t a = 0; a < kImageSize; ++a) {
    const std::size_t row = a / kRowSize;
    if ((row >= 1 && row <= 128) || (row >= 257 && row <= 384)) continue;
    ASSERT_EQ((*replaced)[a], base[a]) << a;
  }
}

// ---- bad input ---------------------------------------------------------------------

// A row of the current header with some columns changed.
std::string DataRow(const std::map<std::string, std::string>& changes) {
  static const std::vector<std::pair<std::string, std::string>> kDefaults = {
      {"Location", "1"},      {"Name", "A"},          {"Frequency", "145.500000"},
      {"Duplex", ""},         {"Offset", "0.000000"}, {"Tone", ""},
      {"rToneFreq", "88.5"},  {"cToneFreq", "88.5"},  {"DtcsCode", "023"},
      {"DtcsPolarity", "NN"}, {"RxDtcsCode", "023"},  {"CrossMode", "Tone->Tone"},
      {"Mode", "FM"},         {"TStep", "5.00"},      {"Skip", ""},
      {"Power", "High"},      {"Comment", ""},        {"URCALL", ""},
      {"RPT1CALL", ""},       {"RPT2CALL", ""},       {"DVCODE", ""}};
  std::vector<std::string> fields;
  for (const auto& [column, value] : kDefaults) {
    const auto changed = changes.find(column);
    fields.push_back(changed == changes.end() ? value : changed->second);
  }
  return CsvLine(fields);
}

TEST(ImportChannelsCsv, BadRowsAreReportedWithTheirLine) {
  struct Case {
    std::map<std::string, std::string> changes;
    std::string error;
  };
  const std::vector<Case> cases = {
      {{{"Location", "0"}}, "Location \"0\" is not a channel number 1..128"},
      {{{"Location", "129"}}, "Location \"129\" is not a channel number 1..128"},
      {{{"Location", "x"}}, "Location \"x\""},
      {{{"Location", ""}}, "Location \"\""},
      {{{"Frequency", "abc"}}, "Frequency \"abc\" is not a frequency in MHz"},
      {{{"Frequency", ""}}, "Frequency \"\""},
      {{{"Frequency", "-145.5"}}, "Frequency \"-145.5\""},
      {{{"Frequency", "145.5.5"}}, "Frequency \"145.5.5\""},
      {{{"Frequency", "145500000"}}, "Frequency \"145500000\""},
      {{{"Duplex", "*"}}, "Duplex \"*\" is not one of"},
      {{{"Duplex", "+"}, {"Offset", "abc"}}, "Offset \"abc\""},
      {{{"Duplex", "-"}, {"Offset", "200"}}, "gives no Tx frequency above zero"},
      {{{"Duplex", "split"}, {"Offset", "0"}}, "gives no Tx frequency above zero"},
      {{{"Tone", "Tone"}, {"rToneFreq", "88.6"}}, "rToneFreq \"88.6\" is not a CTCSS tone of the list"},
      {{{"Tone", "TSQL"}, {"cToneFreq", "abc"}}, "cToneFreq \"abc\" is not a CTCSS tone"},
      {{{"Tone", "TSQL"}, {"cToneFreq", "None"}}, "cToneFreq \"None\""},
      {{{"Tone", "DTCS"}, {"DtcsCode", "024"}}, "DtcsCode \"024\" is not a DCS code of the list"},
      {{{"Tone", "DTCS"}, {"DtcsCode", "9999"}}, "DtcsCode \"9999\" is not a DCS code"},
      {{{"Tone", "Cross"}, {"CrossMode", "->DTCS"}, {"RxDtcsCode", "D23"}}, "RxDtcsCode \"D23\""},
      {{{"DtcsPolarity", "NX"}}, "DtcsPolarity \"NX\""},
      {{{"DtcsPolarity", "N"}}, "DtcsPolarity \"N\""},
      {{{"Tone", "TSQL-R"}}, "Tone \"TSQL-R\" is not one of"},
      {{{"Tone", "Cross"}, {"CrossMode", "Tone=>DTCS"}}, "CrossMode \"Tone=>DTCS\""},
      {{{"Tone", "Cross"}, {"CrossMode", "DCS->Tone"}}, "CrossMode \"DCS->Tone\""},
      {{{"Mode", "AM"}}, "Mode \"AM\" is not FM (wide) or NFM (narrow)"},
      {{{"Skip", "X"}}, "Skip \"X\""},
      {{{"Power", "Medium"}}, "Power \"Medium\""},
      {{{"Power", "-1W"}}, "Power \"-1W\""},
      {{{"Power", "5dB"}}, "Power \"5dB\""},
      {{{"Frequency", "600"}}, "Frequency \"600\" is outside the radio's range of 60 to 551 MHz"},
      {{{"Frequency", "59.999"}}, "Frequency \"59.999\" is outside"},
      {{{"Frequency", "551"}}, "Frequency \"551\" is outside"},
      {{{"Duplex", "split"}, {"Offset", "30"}}, "Tx frequency 30.000000 MHz is outside the radio's range"},
      {{{"Duplex", "+"}, {"Offset", "500"}}, "Tx frequency 645.500000 MHz is outside"},
  };
  const std::string header = std::string(kChannelCsvHeader) + "\r\n";
  for (const auto& c : cases) {
    const std::string csv = header + DataRow({{"Location", "2"}}) + DataRow(c.changes);
    auto imported = ImportChannelsCsv(BlankImage(), csv, false);
    ASSERT_FALSE(imported.ok()) << c.error;
    EXPECT_EQ(imported.error().rfind("line 3: ", 0), 0u) << imported.error();
    EXPECT_NE(imported.error().find(c.error), std::string::npos) << imported.error();
    EXPECT_EQ(imported.error().find("line 2"), std::string::npos) << imported.error();
  }
}

TEST(ImportChannelsCsv, EveryBadRowIsReportedAndEveryProblemOfARow) {
  const std::string csv = std::string(kChannelCsvHeader) + "\n" + DataRow({{"Location", "0"}, {"Mode", "AM"}}) +
                          DataRow({{"Location", "3"}}) + DataRow({{"Location", "3"}}) +
                          "\"multi\nline\"\n"  // a record on lines 5-6 without Location or Frequency
                          + DataRow({{"Location", "4"}, {"Frequency", "x"}});
  auto imported = ImportChannelsCsv(BlankImage(), csv, false);
  ASSERT_FALSE(imported.ok());
  EXPECT_EQ(imported.error(),
            "line 2: Location \"0\" is not a channel number 1..128; Mode \"AM\" is not FM (wide) or NFM (narrow)\n"
            "line 4: channel 3 is already given on line 3\n"
            "line 5: Location \"multi\nline\" is not a channel number 1..128; Frequency \"\" is not a frequency in MHz "
            "such as 145.500000\n"
            "line 7: Frequency \"x\" is not a frequency in MHz such as 145.500000");
}

TEST(ImportChannelsCsv, BadFiles) {
  struct Case {
    std::string csv, error;
  };
  const Case cases[] = {
      {"", "line 1: the file has no header line"},
      {"\n\n", "line 1: the file has no header line"},
      {"Location,Name\n1,A\n", "line 1: the header has no Frequency column"},
      {"\nName,Frequency\n", "line 2: the header has no Location column"},
      {"Location,Frequency\n1,\"145.5\n", "line 2: a quoted field is not closed"},
  };
  for (const auto& c : cases) {
    auto imported = ImportChannelsCsv(BlankImage(), c.csv, false);
    ASSERT_FALSE(imported.ok()) << c.csv;
    EXPECT_EQ(imported.error(), c.error);
  }
}

TEST(ImportChannelsCsv, HeaderOnlyChangesNothingUnlessReplacing) {
  const Image base = Varied();
  auto kept = ImportChannelsCsv(base, kChannelCsvHeader, false);
  ASSERT_TRUE(kept.ok());
  EXPECT_EQ(*kept, base);
  auto replaced = ImportChannelsCsv(base, kChannelCsvHeader, true);
  ASSERT_TRUE(replaced.ok());
  for (int n = 1; n <= 128; ++n) EXPECT_FALSE(IsProgrammed(*replaced, n));
}

// Random text made of the characters that matter to the reader: an answer,
// never a crash, and an image only when every row was good.
TEST(ImportChannelsCsv, ArbitraryTextIsAnsweredNeverCrashes) {
  static constexpr char kAlphabet[] = ",,,\"\n\r0123456789.+-SsTDNRWx ";
  std::mt19937 random(7);
  int accepted = 0;
  for (int round = 0; round < 2000; ++round) {
    std::string csv(round % 2 ? kChannelCsvHeader : std::string_view("Location,Frequency,Duplex,Offset"));
    csv += '\n';
    const std::size_t length = random() % 80;
    for (std::size_t i = 0; i < length; ++i) csv += kAlphabet[random() % (sizeof kAlphabet - 1)];
    auto imported = ImportChannelsCsv(BlankImage(), csv, round % 3 == 0);
    if (imported.ok()) {
      ++accepted;
    } else {
      EXPECT_EQ(imported.error().rfind("line ", 0), 0u) << imported.error();
    }
  }
  EXPECT_GT(accepted, 0);
}

TEST(ImportChannelsCsv, NamesAreUpperCasedAndUnknownCharactersBecomeSpaces) {
  struct Case {
    const char* name;
    const char* stored;
  };
  const Case cases[] = {{"abc", "ABC   "}, {"a-b_c", "A B C "}, {"Toolongname", "TOOLON"},
                        {"", "      "},    {" x", " X    "},    {"\xE4\xB8\xAD", "      "}};
  for (const auto& c : cases) {
    const std::string csv = "Location,Frequency,Name\n1,145.5," + CsvField(c.name) + "\n";
    auto imported = ImportChannelsCsv(BlankImage(), csv, false);
    ASSERT_TRUE(imported.ok()) << imported.error();
    EXPECT_EQ(DecodeChannelName(*imported, 1), c.stored) << c.name;
  }
}

// ---- community files: read, applied, every adjustment reported ----------------------

struct CommunityCase {
  const char* label;
  std::string csv;
  int n;
  ChannelFields expected;  // rx, tx, decodeTone, encodeTone, power and name compared
  std::vector<std::string> adjustments;
};

ChannelFields Expect(std::string rx, std::string tx, std::string dec, std::string enc, std::string power,
                     std::string name) {
  ChannelFields f;
  f.rx = std::move(rx);
  f.tx = std::move(tx);
  f.decodeTone = std::move(dec);
  f.encodeTone = std::move(enc);
  f.power = std::move(power);
  f.name = std::move(name);
  return f;
}

TEST(ImportChannelsCsv, CommunityFilesImportWithEveryAdjustmentReported) {
  const std::vector<CommunityCase> cases = {
      {"windows line ends, quoted commas",
       "Location,Name,Frequency,Duplex,Offset,Comment\r\n1,\"Rpt, N\",145.700000,-,0.600000,\"a, b\"\r\n",
       1,
       Expect("145.70000", "145.10000", "None", "None", "High", "RPT  N"),
       {"line 2: name \"Rpt, N\" stored as \"RPT  N\": the radio has no other characters than A-Z, 0-9, +, ? and "
        "space"}},
      {"one field more than the header",
       "Location,Frequency,Name\n4,146.52,CALL,extra\n",
       4,
       Expect("146.52000", "146.52000", "None", "None", "High", "CALL  "),
       {}},
      {"lower-case header",
       "location,name,frequency,duplex,offset,tone,rtonefreq,power\n2,x,145.7,-,0.6,tone,100.0,low\n",
       2,
       Expect("145.70000", "145.10000", "None", "100.0", "Low", "X     "),
       {}},
      {"comment lines before and after the header",
       "# club list, \"2024\n#Location,Frequency\nLocation,Frequency,Name\n  # note\n\"#quoted\",1\n3,146.5,A\n",
       3,
       Expect("146.50000", "146.50000", "None", "None", "High", "A     "),
       {}},
      {"byte-order mark and accented letters",
       "\xEF\xBB\xBFLocation,Name,Frequency\n5,Z\xC3\xBCrich,146.5\n",
       5,
       Expect("146.50000", "146.50000", "None", "None", "High", "ZURICH"),
       {}},
      {"Latin-1 byte, Latin Extended-A letters",
       "Location,Name,Frequency\n5,\xC5\x81\xC3\xB3"
       "d\xE9,146.5\n",
       5,
       Expect("146.50000", "146.50000", "None", "None", "High", "LODE  "),
       {}},
      {"a character without a plain letter is one space",
       "Location,Name,Frequency\n5,\xE4\xB8\xAD"
       "A,146.5\n",
       5,
       Expect("146.50000", "146.50000", "None", "None", "High", " A    "),
       {"line 2: name \"\xE4\xB8\xAD"
        "A\" stored as \" A\": the radio has no other characters than A-Z, 0-9, +, "
        "? and space"}},
      {"name cut to six",
       "Location,Name,Frequency\n5,Caf\xC3\xA9 Bar,146.5\n",
       5,
       Expect("146.50000", "146.50000", "None", "None", "High", "CAFE B"),
       {"line 2: name \"Caf\xC3\xA9 Bar\" cut to six characters: \"CAFE B\""}},
      {"only cToneFreq serves the transmit tone",
       "Location,Frequency,Tone,cToneFreq\n1,146.52,Tone,100.0\n",
       1,
       Expect("146.52000", "146.52000", "None", "100.0", "High", "      "),
       {}},
      {"only rToneFreq serves both",
       "Location,Frequency,Tone,rToneFreq\n1,146.52,TSQL,123.0\n",
       1,
       Expect("146.52000", "146.52000", "123.0", "123.0", "High", "      "),
       {}},
      {"watts, dBm and labels",
       "Location,Frequency,Power\n1,146.52,0.5W\n2,146.52,37dBm\n3,146.52,mid\n",
       2,
       Expect("146.52000", "146.52000", "None", "None", "High", "      "),
       {}},
      {"raster moves",
       "Location,Frequency,Duplex,Offset\n1,160.2160,+,0.6\n",
       1,
       Expect("160.21500", "160.81500", "None", "None", "High", "      "),
       {"line 2: 160.2160 MHz stored as 160.21500", "line 2: Tx 160.816000 MHz stored as 160.81500"}},
      {"finer than 10 Hz",
       "Location,Frequency\n1,146.520001\n",
       1,
       Expect("146.52000", "146.52000", "None", "None", "High", "      "),
       {"line 2: 146.520001 MHz stored as 146.52000"}},
      {"transmit tone dropped without Tx",
       "Location,Frequency,Duplex,Tone,rToneFreq\n1,162.55,off,Tone,88.5\n",
       1,
       Expect("162.55000", "", "None", "", "High", "      "),
       {"line 2: transmit tone 88.5 dropped: the channel has no Tx frequency"}},
      {"two channels with the same name",
       "Location,Name,Frequency\n1,RPT,146.5\n2,Rpt,146.6\n3,HOME,146.7\n",
       2,
       Expect("146.60000", "146.60000", "None", "None", "High", "RPT   "),
       {"line 3: channel 2 now has the same name \"RPT   \" as channel 1",
        "line 4: channel 3 now has the same name \"HOME  \" as channel 9"}},
  };
  Image base = BlankImage();
  PutChannel(base, 9, Raw(14400000, 14400000, "None", "None", 0x70, "HOME"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const auto rows = ReadChannelsCsv(c.csv);
    ASSERT_TRUE(rows.ok()) << rows.error();
    Image image = base;
    const CsvImportReport report = ApplyChannelsCsv(image, *rows, false);
    EXPECT_TRUE(report.skipped.empty()) << NoteText(report.skipped.front());
    std::vector<std::string> adjustments;
    for (const auto& note : report.adjustments) adjustments.push_back(NoteText(note));
    EXPECT_EQ(adjustments, c.adjustments);
    const ChannelFields read = ReadChannel(image, c.n, 0);
    EXPECT_EQ(Expect(read.rx, read.tx, read.decodeTone, read.encodeTone, read.power, read.name), c.expected)
        << read.rx << " " << read.tx << " " << read.decodeTone << " " << read.encodeTone << " " << read.power << " \""
        << read.name << "\"";
  }
}

// Good and bad rows mixed: the good ones land in file order from the
// renumbering start, every bad one is listed, and the counts add up.
TEST(ImportChannelsCsv, SkippedRowsAndRenumbering) {
  const std::string csv =
      "Location,Name,Frequency\n"
      "0,ZERO,146.5\n"
      "500,BIG,600\n"
      "7,BAD,abc\n"
      "# a comment\n"
      "200,FAR,446.00625\n"
      "3,THREE,145.0031\n";
  Image base = BlankImage();
  PutChannel(base, 11, Raw(14400000, 14400000, "None", "None"));
  struct Case {
    int from;
    std::vector<int> channels;  // where ZERO, FAR and THREE land; 0 for skipped
    std::vector<std::size_t> skippedLines;
    std::string summary;
  };
  const Case cases[] = {
      {0, {0, 0, 3}, {2, 3, 4, 6}, "Channels imported: 1, replaced: 0, skipped: 4, adjusted: 1"},
      {1, {1, 2, 3}, {3, 4}, "Channels imported: 3, replaced: 0, skipped: 2, adjusted: 1"},
      {10, {10, 11, 12}, {3, 4}, "Channels imported: 3, replaced: 1, skipped: 2, adjusted: 1"},
      {127, {127, 128, 0}, {3, 4, 7}, "Channels imported: 2, replaced: 0, skipped: 3, adjusted: 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    const auto rows = ReadChannelsCsv(csv, c.from);
    ASSERT_TRUE(rows.ok()) << rows.error();
    Image image = base;
    const CsvImportReport report = ApplyChannelsCsv(image, *rows, false);
    const char* names[] = {"ZERO  ", "FAR   ", "THREE "};
    for (std::size_t i = 0; i < 3; ++i)
      if (c.channels[i]) {
        EXPECT_EQ(DecodeChannelName(image, c.channels[i]), names[i]);
      }
    std::vector<std::size_t> lines;
    for (const auto& note : report.skipped) lines.push_back(note.line);
    EXPECT_EQ(lines, c.skippedLines);
    EXPECT_EQ(CsvImportSummary(report), c.summary);
  }
  Image scratch = BlankImage();
  const CsvImportReport full = ApplyChannelsCsv(scratch, *ReadChannelsCsv(csv, 127), false);
  EXPECT_EQ(NoteText(full.skipped.back()).rfind("line 7: no channel is left for this row", 0), 0u);
  EXPECT_FALSE(ReadChannelsCsv(csv, 129).ok());
  // Renumbering needs no Location column.
  EXPECT_TRUE(ReadChannelsCsv("Frequency\n146.5\n", 1).ok());
  EXPECT_FALSE(ReadChannelsCsv("Frequency\n146.5\n", 0).ok());
}

// Thousands of bad rows give the first 20 errors and a count; a long bad
// value is quoted by a short prefix.
TEST(ImportChannelsCsv, ErrorReportsAreCapped) {
  std::string csv = std::string(kChannelCsvHeader) + "\r\n";
  for (int i = 0; i < 1000; ++i) csv += "999,,145.5\r\n";
  csv += "1,," + std::string(100000, '9') + "\r\n";
  const auto result = ImportChannelsCsv(BlankImage(), csv, false);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(std::count(result.error().begin(), result.error().end(), '\n'), 20);
  EXPECT_NE(result.error().find("... and 981 more errors"), std::string::npos) << result.error().substr(0, 200);
  EXPECT_LT(result.error().size(), 4000u);
}

}  // namespace
}  // namespace orvex
