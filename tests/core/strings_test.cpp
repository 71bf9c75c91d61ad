#include "core/strings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace orvex {
namespace {

constexpr int kLanguageOffset = 1000;

bool IsEnglishNumber(int n) { return (n >= 1000 && n <= 1999) || (n >= 10000 && n <= 10999); }
bool IsChineseNumber(int n) { return (n >= 2000 && n <= 2999) || (n >= 11000 && n <= 11999); }

// The ranges the table may use: English captions, Chinese twins, messages.
bool InAllowedRange(int n) {
  for (int offset : {0, kLanguageOffset}) {
    const int m = n - offset;
    if ((m >= 1001 && m <= 1047) || (m >= 1100 && m <= 1108) || (m >= 1112 && m <= 1542) ||
        (m >= 10000 && m <= 10008) || (m >= 1750 && m <= 1789) || (m >= 10220 && m <= 10249) ||
        (m >= 10100 && m <= 10119)) {
      return true;
    }
    if ((m >= 1660 && m <= 1679) || (m >= 10140 && m <= 10159)) return true;  // channel CSV import report
    if ((m >= 1680 && m <= 1729) || (m >= 10160 && m <= 10199)) return true;  // backups, checks, cable test
    if ((m >= 1790 && m <= 1839) || (m >= 10250 && m <= 10279)) return true;  // screen reader support
    if ((m >= 1620 && m <= 1659) || (m >= 10120 && m <= 10139)) return true;  // undo, channel rows, recent files
    if ((m >= 1840 && m <= 1879) || (m >= 10270 && m <= 10309)) return true;  // check, imports, cable, fleet
    if ((m >= 1890 && m <= 1909) || (m >= 10320 && m <= 10339)) return true;  // progress, backup origins, imports
    if ((m >= 1910 && m <= 1949) || (m >= 10340 && m <= 10379)) return true;  // reports in both languages
    if ((m >= 1543 && m <= 1619) || (m >= 1950 && m <= 1999) || (m >= 10380 && m <= 10499)) return true;  // engine
  }
  return false;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    int extra = 0;
    std::uint32_t cp = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, cp = b & 0x07;
    } else {
      return false;
    }
    if (i + extra >= text.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

TEST(StringTable, NumbersAreStrictlyAscendingAndInRange) {
  const std::vector<int> numbers = StringNumbers();
  ASSERT_FALSE(numbers.empty());
  EXPECT_TRUE(std::adjacent_find(numbers.begin(), numbers.end(), std::greater_equal<>()) == numbers.end())
      << "numbers must be strictly ascending (sorted, no duplicates)";
  for (int n : numbers) EXPECT_TRUE(InAllowedRange(n)) << n << " lies outside the string number ranges";
}

TEST(StringTable, EveryEntryHasItsTwinInTheOtherLanguage) {
  for (int n : StringNumbers()) {
    if (IsEnglishNumber(n)) {
      EXPECT_FALSE(StringEntry(n + kLanguageOffset).empty()) << "English " << n << " has no Chinese twin";
    } else if (IsChineseNumber(n)) {
      EXPECT_FALSE(StringEntry(n - kLanguageOffset).empty()) << "Chinese " << n << " has no English twin";
    } else {
      ADD_FAILURE() << n << " is neither an English nor a Chinese number";
    }
  }
}

TEST(StringTable, TextsAreNonEmptyUtf8WithAUser) {
  for (int n : StringNumbers()) {
    EXPECT_FALSE(StringEntry(n).empty()) << n;
    EXPECT_TRUE(IsValidUtf8(StringEntry(n))) << n;
    EXPECT_FALSE(StringUser(n).empty()) << n << " does not say which window uses it";
  }
}

// Texts that are codes and read the same to a Chinese user.
constexpr std::string_view kAsciiChineseCodes[] = {"MSK", "VFO", "DTMF(&D)"};

TEST(StringTable, EnglishIsAsciiAndChineseIsChinese) {
  for (int n : StringNumbers()) {
    const std::string_view text = StringEntry(n);
    if (IsEnglishNumber(n)) {
      EXPECT_TRUE(IsAscii(text)) << n << " English text holds non-ASCII: " << text;
    } else if (IsAscii(text)) {
      EXPECT_NE(std::find(std::begin(kAsciiChineseCodes), std::end(kAsciiChineseCodes), text),
                std::end(kAsciiChineseCodes))
          << n << " Chinese text looks untranslated: " << text;
    }
  }
}

TEST(StringTable, AcceleratorsSurviveTranslation) {
  for (int n : StringNumbers()) {
    if (!IsEnglishNumber(n)) continue;
    const std::string_view en = StringEntry(n);
    const std::string_view zh = StringEntry(n + kLanguageOffset);
    EXPECT_EQ(std::count(en.begin(), en.end(), '&'), std::count(zh.begin(), zh.end(), '&'))
        << n << ": \"" << en << "\" / \"" << zh << "\"";
  }
}

struct Quoted {
  int number;
  std::string_view text;
};

void PrintTo(const Quoted& q, std::ostream* os) { *os << q.number << " \"" << q.text << "\""; }

class QuotedWording : public testing::TestWithParam<Quoted> {};

TEST_P(QuotedWording, EntryHoldsTheQuotedText) {
  EXPECT_EQ(StringEntry(GetParam().number), GetParam().text) << GetParam().number;
}

INSTANTIATE_TEST_SUITE_P(
    Captions, QuotedWording,
    testing::Values(Quoted{1100, "Channel Information"}, Quoted{1101, "Optional Features"},
                    Quoted{1102, "Key Assignment"}, Quoted{1118, "About"}, Quoted{1120, "CH."}, Quoted{1121, "Rx Freq"},
                    Quoted{1122, "Tx Freq"}, Quoted{1125, "Opt.Signal"}, Quoted{1127, "TX Power"}, Quoted{1128, "W/N"},
                    Quoted{1129, "BCL"}, Quoted{1132, "Scan Add"}, Quoted{1156, "&OK"}, Quoted{1157, "&Cancel"},
                    Quoted{1248, "Communication Port"}, Quoted{1349, "Name"}, Quoted{1383, "OPTION"},
                    Quoted{1518, "AutoResponse"}, Quoted{1519, "Scrambler No."}, Quoted{1216, "Decode"},
                    Quoted{1232, "No."}, Quoted{1224, "ID Code"}, Quoted{1526, "Call List"},
                    Quoted{1528, "GAP Time[ms]"}, Quoted{1523, "Respond Waiting Time"}, Quoted{1524, "Fix Digit"},
                    Quoted{1525, "Standard"}, Quoted{1533, "Repeater MSK Invert"}, Quoted{1372, "Side Key "}));

INSTANTIATE_TEST_SUITE_P(
    Items, QuotedWording,
    testing::Values(Quoted{1137, "None"}, Quoted{1139, "Carrier"}, Quoted{1145, "Wide"}, Quoted{1146, "Narrow"},
                    Quoted{1147, "High"}, Quoted{1148, "Low"}, Quoted{1149, "On"}, Quoted{1150, "Off"},
                    Quoted{1151, "Yes"}, Quoted{1152, "No"}, Quoted{1384, "Compand"}, Quoted{1385, "Scramble"},
                    Quoted{1520, "2-Tone"}, Quoted{1521, "5-Tone"}, Quoted{1478, "Full Screen"},
                    Quoted{1479, "Welcome"}, Quoted{1480, "Batt Voltage"}, Quoted{1181, "English"},
                    Quoted{1182, "Chinese"}, Quoted{1492, "Time"}, Quoted{1493, "Carrier"}, Quoted{1494, "Search"},
                    Quoted{1482, "Begin"}, Quoted{1483, "End"}, Quoted{1484, "Begin/End"}, Quoted{1485, "Plus Shift"},
                    Quoted{1486, "Minus Shift"}, Quoted{1487, "Channel-No."}, Quoted{1488, "VFO"},
                    Quoted{1448, "UNDEF"}, Quoted{1195, "Scan"}, Quoted{1449, "Lamp"}, Quoted{1451, "SOS-CH"},
                    Quoted{1450, "FM Radio"}, Quoted{1531, "Opt-Signal Call"}, Quoted{1387, "s"}));

INSTANTIATE_TEST_SUITE_P(
    Settings, QuotedWording,
    testing::Values(Quoted{1457, "Power on message[PONMSG]"}, Quoted{1163, "Voice Announce"},
                    Quoted{1458, "Time out timer"}, Quoted{1459, "TOT Pre-Alert"}, Quoted{1530, "Backlight Color"},
                    Quoted{1491, "Menu available"}, Quoted{1461, "Battery Save"}, Quoted{1462, "Auto Lock"},
                    Quoted{1191, "Key Lock"}, Quoted{1165, "Beep"}, Quoted{1463, "Second"},
                    Quoted{1532, "Cancel code squelch when press PTT"}, Quoted{1171, "VOX"}, Quoted{1419, "Scan Mode"},
                    Quoted{1464, "Backlight delay"}, Quoted{1541, "RX Back Light"}, Quoted{1542, "TX Back Light"},
                    Quoted{1389, "Roger Tone"}, Quoted{1465, "PWD of Mode Change"}, Quoted{1466, "Reset Password"},
                    Quoted{1204, "Priority CH."}, Quoted{1477, "Setting SideTone"}, Quoted{1226, "Auto Reset Timer[s]"},
                    Quoted{1468, "Current"}, Quoted{1469, "TX-CTCSS"}, Quoted{1470, "RX-CTCSS"}, Quoted{1471, "SFT-D"},
                    Quoted{1361, "Offset Freq"}, Quoted{1391, "Channel Dis."}, Quoted{1161, "SQ Level"},
                    Quoted{1357, "Step"}, Quoted{1467, "Frequency Mode"}, Quoted{1454, "Long press"},
                    Quoted{1455, "Slight press"}, Quoted{1456, "FlashLight"}));

INSTANTIATE_TEST_SUITE_P(
    Messages, QuotedWording,
    testing::Values(Quoted{1331, "Check Connection. Retry or Cancel?"}, Quoted{1332, "Reading completed!"},
                    Quoted{1333, "Writing completed!"}, Quoted{1334, "Model type is wrong."},
                    Quoted{10007, "Length not matched will auto Zero!"},
                    Quoted{10000, "File has been modified, save it now?"}, Quoted{10001, "Incorrect File Type."},
                    Quoted{10002, "All data will be cleared."}, Quoted{10003, "A transfer is already running."},
                    Quoted{10004, "The CSV file has errors; nothing was changed."}, Quoted{1039, "Alert!"},
                    Quoted{1040, "Error"}));

INSTANTIATE_TEST_SUITE_P(MainWindow, QuotedWording,
                         testing::Values(Quoted{1002, "&New"}, Quoted{1031, "New"}, Quoted{1003, "&Open"},
                                         Quoted{1004, "&Save"}, Quoted{1005, "&Print"}, Quoted{1007, "E&xit"},
                                         Quoted{1009, "&Channel Information"}, Quoted{1012, "&DTMF"},
                                         Quoted{1015, "&Read from Radio"}, Quoted{1016, "&Write to Radio"},
                                         Quoted{1017, "&Communication Port"}, Quoted{1019, "Tree &View"},
                                         Quoted{1025, "Tile Windows &Horizontally"}, Quoted{1028, "Close All &Windows"},
                                         Quoted{1030, "&About..."}, Quoted{1037, "Import Channels (CSV)..."},
                                         Quoted{1038, "Export Channels (CSV)..."}, Quoted{1006, "Print Preview"},
                                         Quoted{1249, "Device path:"}));

// Chinese texts the program holds verbatim.
INSTANTIATE_TEST_SUITE_P(Chinese, QuotedWording,
                         testing::Values(Quoted{2137, "无"}, Quoted{2103, "扰频频率"}, Quoted{2104, "组别"},
                                         Quoted{2370, "频率"}, Quoted{2119, " 版本 "}, Quoted{2534, "红色"},
                                         Quoted{2535, "绿色"}, Quoted{2536, "黄色"}, Quoted{2537, "蓝色"},
                                         Quoted{2538, "紫色"}, Quoted{2539, "青色"}, Quoted{2540, "粉色"}));

// Captions the windows build by joining entries with nothing between them.
struct Joined {
  std::vector<std::string_view> parts;  // numbers as text are looked up, others kept
  std::string_view english;
};

std::string Join(const Joined& joined, int language) {
  std::string out;
  for (std::string_view part : joined.parts) {
    if (!part.empty() && part.front() == '#') {
      out += Text(std::stoi(std::string(part.substr(1))), language);
    } else {
      out += part;
    }
  }
  return out;
}

void PrintTo(const Joined& j, std::ostream* os) { *os << "\"" << j.english << "\""; }

class JoinedCaption : public testing::TestWithParam<Joined> {};

TEST_P(JoinedCaption, ReadsAsTheWindowShowsIt) {
  EXPECT_EQ(Join(GetParam(), kEnglish), GetParam().english);
  const std::string chinese = Join(GetParam(), kChinese);
  EXPECT_FALSE(IsAscii(chinese)) << chinese;
}

INSTANTIATE_TEST_SUITE_P(
    Captions, JoinedCaption,
    testing::Values(Joined{{"CTC/DCS ", "#1123"}, "CTC/DCS Dec."}, Joined{{"CTC/DCS ", "#1124"}, "CTC/DCS Enc."},
                    Joined{{"A", "#1527", "[Hz]"}, "ATone[Hz]"}, Joined{{"#1529", "[Hz]"}, "Group Call[Hz]"},
                    Joined{{"PF1(", "#1372", ")"}, "PF1(Side Key )"},
                    Joined{{"#1489", " ", "#1490", "+", "#1472", " ", "#1490"}, "Key SideTone+ANI-ID SideTone"},
                    Joined{{"#1487", "+", "#1370"}, "Channel-No.+Frequency"},
                    Joined{{"#1487", "+", "#1349"}, "Channel-No.+Name"}, Joined{{"A-", "#1467"}, "A-Frequency Mode"},
                    Joined{{"#1100", ".."}, "Channel Information.."}, Joined{{"#1118", " ORVEX"}, "About ORVEX"},
                    Joined{{"ORVEX", "#1119", "v2.1"}, "ORVEX Version v2.1"}, Joined{{"5", "#1387"}, "5s"}));

TEST(Lookup, TextAddsAThousandPerLanguage) {
  for (int n : StringNumbers()) {
    if (!IsEnglishNumber(n)) continue;
    EXPECT_EQ(Text(n, kEnglish), StringEntry(n));
    EXPECT_EQ(Text(n, kChinese), StringEntry(n + kLanguageOffset));
  }
}

TEST(Lookup, UnknownNumbersAndLanguagesGiveEmptyText) {
  const std::pair<int, int> unknown[] = {{0, kEnglish},       {1000, kEnglish},   {1126, kEnglish}, {1543, kChinese},
                                         {9999, kEnglish},    {-1, kEnglish},     {1137, 2},        {1137, -1},
                                         {INT_MAX, kChinese}, {INT_MIN, kEnglish}};
  for (const auto& [base, language] : unknown) {
    EXPECT_TRUE(Text(base, language).empty()) << base << "/" << language;
  }
  EXPECT_TRUE(StringEntry(INT_MAX).empty());
  EXPECT_TRUE(StringUser(42).empty());
}

// --- strings.tsv itself -----------------------------------------------------

std::optional<std::string> Unescape(std::string_view raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\') {
      out += raw[i];
      continue;
    }
    if (++i == raw.size()) return std::nullopt;
    switch (raw[i]) {
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

const std::filesystem::path kStringsDir = std::filesystem::path(ORVEX_SOURCE_DIR) / "resources" / "strings";

TEST(StringsTsv, EveryLineParsesAndMatchesTheCompiledTable) {
  std::ifstream in(kStringsDir / "strings.tsv", std::ios::binary);
  ASSERT_TRUE(in) << "cannot open strings.tsv";
  std::string line;
  int lineNo = 0;
  std::size_t entries = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (line.empty() || line.front() == '#') continue;
    const auto tab1 = line.find('\t');
    const auto tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    ASSERT_NE(tab2, std::string::npos) << "line " << lineNo << " lacks a field";
    ASSERT_EQ(line.find('\t', tab2 + 1), std::string::npos) << "line " << lineNo << " has a fourth field";
    const std::string numberText = line.substr(0, tab1);
    ASSERT_FALSE(numberText.empty()) << "line " << lineNo;
    ASSERT_TRUE(std::all_of(numberText.begin(), numberText.end(), [](char c) { return c >= '0' && c <= '9'; }))
        << "line " << lineNo;
    const int number = std::stoi(numberText);
    const auto text = Unescape(std::string_view(line).substr(tab1 + 1, tab2 - tab1 - 1));
    ASSERT_TRUE(text.has_value()) << "line " << lineNo << " has a bad escape";
    EXPECT_EQ(StringEntry(number), *text) << "line " << lineNo;
    EXPECT_EQ(StringUser(number), line.substr(tab2 + 1)) << "line " << lineNo;
    ++entries;
  }
  EXPECT_EQ(entries, StringNumbers().size()) << "the compiled table and the .tsv differ in size";
}

// --- the generator ----------------------------------------------------------

struct GeneratorRun {
  int status;
  std::string output;  // the generated source, "" when none was written
  std::string log;     // what cmake printed
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

GeneratorRun RunGenerator(const std::string& tsv, const std::string& name) {
  // The process id keeps runs from several build trees apart.
  const auto dir = std::filesystem::path(testing::TempDir()) / ("strings_gen_" + std::to_string(getpid()) + "_" + name);
  std::filesystem::create_directories(dir);
  const auto input = dir / "in.tsv";
  const auto output = dir / "out.cpp";
  std::filesystem::remove(output);
  std::ofstream(input, std::ios::binary) << tsv;
  const std::string command = "cmake -DINPUT=\"" + input.string() + "\" -DOUTPUT=\"" + output.string() + "\" -P \"" +
                              (kStringsDir / "gen_string_table.cmake").string() + "\" > \"" +
                              (dir / "log.txt").string() + "\" 2>&1";
  const int status = std::system(command.c_str());
  GeneratorRun run{status, ReadFile(output), ReadFile(dir / "log.txt")};
  std::filesystem::remove_all(dir);
  return run;
}

bool CmakeAvailable() { return std::system("cmake --version > /dev/null 2>&1") == 0; }

struct Malformed {
  const char* name;
  std::string tsv;
};

class GeneratorRejects : public testing::TestWithParam<Malformed> {};

TEST_P(GeneratorRejects, MalformedTable) {
  if (!CmakeAvailable()) GTEST_SKIP() << "cmake is not on PATH";
  const GeneratorRun run = RunGenerator(GetParam().tsv, GetParam().name);
  EXPECT_NE(run.status, 0);
  EXPECT_TRUE(run.output.empty()) << "no source may be written for a bad table";
  // The generator's own diagnosis names the file (and line), not a script fault.
  EXPECT_NE(run.log.find("in.tsv:"), std::string::npos) << run.log;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, GeneratorRejects,
    testing::Values(Malformed{"no_tabs", "1001 Text frmX\n"}, Malformed{"two_fields", "1001\tText\n"},
                    Malformed{"four_fields", "1001\tText\tfrmX\tmore\n"},
                    Malformed{"letter_number", "10a1\tText\tfrmX\n"}, Malformed{"leading_zero", "01001\tText\tfrmX\n"},
                    Malformed{"too_big", "70000\tText\tfrmX\n"}, Malformed{"empty_text", "1001\t\tfrmX\n"},
                    Malformed{"empty_where", "1001\tText\t\n"}, Malformed{"bad_where", "1001\tText\tfrm X\n"},
                    Malformed{"duplicate", "1001\tA\tfrmX\n2001\tB\tfrmX\n1001\tC\tfrmX\n"},
                    Malformed{"bad_escape", "1001\tA\\qB\tfrmX\n"}, Malformed{"lone_backslash", "1001\tAB\\\tfrmX\n"},
                    Malformed{"control_char",
                              "1001\tA\x01"
                              "B\tfrmX\n"},
                    Malformed{"only_comments", "# nothing\n\n"}),
    [](const testing::TestParamInfo<Malformed>& info) { return std::string(info.param.name); });

TEST(Generator, EscapesTextsAndSortsRows) {
  if (!CmakeAvailable()) GTEST_SKIP() << "cmake is not on PATH";
  const std::string tsv =
      "# comment\r\n"
      "2001\t\xE6\x97\xA0\tfrmA\r\n"
      "\n"
      "1001\tsay \"hi\"; [x] ${y}\\n\\t\\\\1\tfrmA,frmB\n"
      "1002\t\xE6\x97\xA0"
      "7\tfrmA";  // an octal escape is followed by a digit, and no final newline
  const GeneratorRun run = RunGenerator(tsv, "escapes");
  ASSERT_EQ(run.status, 0);
  const auto row1001 = run.output.find(R"({1001, "say \"hi\"; [x] ${y}\n\t\\1", "frmA,frmB"},)");
  const auto row1002 = run.output.find(R"({1002, "\346\227\2407", "frmA"},)");
  const auto row2001 = run.output.find(R"({2001, "\346\227\240", "frmA"},)");
  ASSERT_NE(row1001, std::string::npos) << run.output;
  ASSERT_NE(row1002, std::string::npos) << run.output;
  ASSERT_NE(row2001, std::string::npos) << run.output;
  EXPECT_LT(row1001, row1002);
  EXPECT_LT(row1002, row2001);
}

}  // namespace
}  // namespace orvex
