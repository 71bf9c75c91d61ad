// The check before Write: each crafted problem is found at its place with
// its severity, and a clean codeplug has no finding.

#include "model/document/codeplug_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "model/channels/channel_csv.h"
#include "model/channels/channel_record.h"
#include "model/signalling/five_tone_table.h"
#include "model/signalling/msk_table.h"
#include "model/signalling/two_tone_table.h"

namespace orvex {
namespace {

void Channel(Image& image, int n, const char* rx, const char* tx, const char* name = "") {
  ChannelFields fields = NewChannelFields(rx, 0);
  fields.tx = tx;
  fields.name = name;
  ASSERT_TRUE(StoreChannel(image, n, fields, 0).ok()) << rx << " " << tx;
}

struct CheckCase {
  const char* name;
  std::function<void(Image&)> craft;
  CheckSeverity severity;
  std::string place;
  std::string text;  // part of the finding's text
};

TEST(CodeplugCheckTest, FindsEachProblemAtItsPlace) {
  const CheckCase cases[] = {
      {"Tx above the UHF band", [](Image& i) { Channel(i, 3, "145.50000", "480.02500"); }, CheckSeverity::Error,
       "channel 3", "Tx 480.02500 MHz is outside the radio's bands"},
      {"Tx between the bands", [](Image& i) { Channel(i, 4, "145.50000", "300.00000"); }, CheckSeverity::Error,
       "channel 4", "outside the radio's bands"},
      {"Tx off the raster",
       [](Image& i) {
         Channel(i, 5, "145.50000", "145.50000");
         i[Address(5, 4)] = 0x10;
       },
       CheckSeverity::Error, "channel 5", "145.50010 MHz is not on the 5 kHz or 6.25 kHz raster"},
      {"Rx outside the bands is only a warning", [](Image& i) { Channel(i, 6, "88.00000", "145.50000"); },
       CheckSeverity::Warning, "channel 6", "Rx 88.00000 MHz is outside"},
      {"Tx bytes no frequency",
       [](Image& i) {
         Channel(i, 7, "145.50000", "145.50000");
         i[Address(7, 5)] = 0x4A;
       },
       CheckSeverity::Error, "channel 7", "Tx bytes are not a frequency"},
      {"encode tone not in the list",
       [](Image& i) {
         Channel(i, 8, "145.50000", "145.50000");
         i[Address(8, 10)] = 0x34;
         i[Address(8, 11)] = 0x12;
       },
       CheckSeverity::Error, "channel 8", "encode tone bytes 34 12"},
      {"VFO out of range", [](Image& i) { i[Address(130, 3)] = 0x06; }, CheckSeverity::Error, "VFO B",
       "outside the radio's bands"},
      {"same names",
       [](Image& i) {
         Channel(i, 1, "145.50000", "145.50000", "CALL");
         Channel(i, 9, "145.52500", "145.52500", "CALL");
       },
       CheckSeverity::Warning, "", "channels 1, 9 share the name CALL"},
      {"decode tone off the list",
       [](Image& i) {
         Channel(i, 11, "145.50000", "145.50000");
         i[Address(11, 8)] = 0xD2;  // 123.4 Hz
         i[Address(11, 9)] = 0x04;
       },
       CheckSeverity::Error, "channel 11", "decode tone 123.4 Hz is not one of the list's 50 CTCSS tones"},
      {"encode code off the list",
       [](Image& i) {
         Channel(i, 12, "145.50000", "145.50000");
         i[Address(12, 10)] = 0x14;  // D024N
         i[Address(12, 11)] = 0x28;
       },
       CheckSeverity::Error, "channel 12", "encode tone D024N is not one of the list's 210 DCS codes"},
      {"exact duplicates",
       [](Image& i) {
         for (const int n : {2, 5, 6}) Channel(i, n, "145.50000", "145.50000", n == 2 ? "A" : "B");
       },
       CheckSeverity::Warning, "", "channels 2, 5, 6 are exact duplicates"},
      {"2-Tone decode used but empty",
       [](Image& i) {
         Channel(i, 10, "145.50000", "145.50000");
         i[Address(10, 13)] = static_cast<std::uint8_t>((i[Address(10, 13)] & 0xF8) | ChannelOffset::kOptSignal2Tone);
         i[Address(10, 14)] = static_cast<std::uint8_t>((i[Address(10, 14)] & 0xF8) | 2);
       },
       CheckSeverity::Warning, "channel 10", "uses 2-Tone Decode 3, which has no tone A"},
      {"2-Tone call tone out of range",
       [](Image& i) {
         i[TwoToneOffset::kCallList + 5] = 0x00;  // entry 2 tone A: 10.0 Hz
         i[TwoToneOffset::kCallList + 6] = 0x64;
       },
       CheckSeverity::Error, "2-Tone Call List 2", "tone A 10.0 Hz is outside"},
      {"5-Tone ID symbol",
       [](Image& i) {
         for (int k = 0; k < 5; ++k) i[FiveToneOffset::kDecode + 1 + k] = k == 2 ? 20 : 1;
       },
       CheckSeverity::Error, "5-Tone Decode 1", "ID holds a symbol"},
      {"MSK digit", [](Image& i) { i[MskOffset::kIdCode + 4] = 0x42; }, CheckSeverity::Error, "MSK ID Code 2",
       "no hexadecimal digit"},
  };
  for (const CheckCase& c : cases) {
    Image image = BlankImage();
    c.craft(image);
    const auto findings = CheckCodeplug(image);
    const bool found = std::ranges::any_of(findings, [&](const CheckFinding& f) {
      return f.severity == c.severity && f.place == c.place && f.text.find(c.text) != std::string::npos;
    });
    std::string all;
    for (const auto& f : findings) all += FindingLine(f) + "\n";
    EXPECT_TRUE(found) << c.name << "; found:\n" << all;
    EXPECT_EQ(HasErrors(findings), c.severity == CheckSeverity::Error) << c.name << "; found:\n" << all;
  }
}

// Errors first, each group of channels once, at its first channel.
TEST(CodeplugCheckTest, ErrorsFirstAndOneLinePerGroup) {
  Image image = BlankImage();
  Channel(image, 1, "88.00000", "145.50000");  // Rx outside the bands: a warning
  Channel(image, 3, "145.50000", "", "GATE");
  Channel(image, 7, "145.52500", "", "GATE");
  Channel(image, 12, "145.55000", "", "GATE");
  Channel(image, 9, "145.60000", "300.00000");  // an error
  std::vector<std::string> lines;
  for (const auto& f : CheckCodeplug(image)) lines.push_back(FindingLine(f));
  EXPECT_EQ(lines, (std::vector<std::string>{"error: channel 9: Tx 300.00000 MHz is outside the radio's bands",
                                             "warning: channel 1: Rx 88.00000 MHz is outside the radio's bands",
                                             "warning: channels 3, 7, 12 share the name GATE"}));
}

TEST(CodeplugCheckTest, CleanCodeplugHasNoFinding) {
  Image image = BlankImage();
  Channel(image, 1, "145.50000", "145.50000", "CALL");
  Channel(image, 2, "446.00625", "446.00625", "PMR1");
  Channel(image, 3, "152.82500", "");
  const auto findings = CheckCodeplug(image);
  for (const auto& f : findings) ADD_FAILURE() << FindingLine(f);
}

TEST(CodeplugCheckTest, ValuesTheSettingsWindowsWouldChangeAreWarned) {
  Image image = BlankImage();
  image[0x0E2C] = 0xEE;  // far outside the voice list
  const auto findings = CheckCodeplug(image);
  const bool warned = std::ranges::any_of(findings, [](const CheckFinding& f) {
    return f.severity == CheckSeverity::Warning && f.text.find("would become") != std::string::npos;
  });
  EXPECT_TRUE(warned);
}

// What the check before Write would find on the rows taken is listed at
// their lines, as the import reads them; Write then says nothing new.
TEST(ImportChannelsCsv, CheckFindingsAreListedAtTheirLines) {
  const std::string csv =
      "Location,Frequency,Duplex,Offset\n"
      "1,145.5,split,300\n"
      "# a comment\n"
      "2,145.5,split,300\n"
      "3,146.5,,\n";
  const auto rows = ReadChannelsCsv(csv);
  ASSERT_TRUE(rows.ok()) << rows.error();
  Image image = BlankImage();
  const CsvImportReport report = ApplyChannelsCsv(image, *rows, false);
  std::vector<std::string> lines;
  for (const auto& note : report.findings) lines.push_back(NoteText(note));
  EXPECT_EQ(lines,
            (std::vector<std::string>{"line 2: error: channel 1: Tx 300.00000 MHz is outside the radio's bands",
                                      "line 2: warning: channels 1, 2 are exact duplicates (the same Rx, Tx and tones)",
                                      "line 4: error: channel 2: Tx 300.00000 MHz is outside the radio's bands"}));
  EXPECT_EQ(report.imported, 3);
  std::vector<std::string> check;
  for (const auto& f : CheckCodeplug(image)) check.push_back(FindingLine(f));
  EXPECT_EQ(check.size(), lines.size());
}

}  // namespace
}  // namespace orvex
