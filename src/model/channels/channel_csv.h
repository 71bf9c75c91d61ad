#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory_image.h"
#include "core/result.h"

namespace orvex {

// The header of the community channel CSV that other radio programming tools
// read and write.
inline constexpr std::string_view kChannelCsvHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
    "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

// The programmed channels as that CSV, one line per channel in channel
// order, CRLF line ends.
std::string ExportChannelsCsv(const Image& image);

// Power as the export writes it: this radio's two levels in watts.
inline constexpr std::string_view kHighPowerText = "5.0W", kLowPowerText = "1.0W";

// A message about one line of the file.
struct CsvLineNote {
  std::size_t line = 0;
  std::string text;
};
// "line 14: text".
std::string NoteText(const CsvLineNote& note, int language = 0);

// One data row of a channel CSV, read and checked without any image.
struct CsvChannelRow {
  std::size_t line = 0;
  int location = 0;                    // the channel it goes to; 0 when there is none
  std::string rx, tx;                  // frequency texts as stored ("145.50000"); tx "" for no Tx
  std::string decodeTone, encodeTone;  // texts of the tone list; "" stores no tone
  std::optional<bool> highPower, scanAdd, wide;
  std::optional<std::string> name;       // six characters; nullopt when the file has no Name column
  std::vector<std::string> problems;     // why the radio cannot take the row; empty for a usable row
  std::vector<std::string> adjustments;  // values changed on purpose so the radio can take them

  bool usable() const { return problems.empty(); }
};

// The rows of a channel CSV in file order, or why the file as a whole cannot
// be read (no header, no Location or Frequency column, an unclosed quote).
// Columns are found by header name in any case (older headers without
// RxDtcsCode, CrossMode or Power are accepted, unknown columns ignored);
// lines whose first field starts with "#" are comments.  With
// `renumberFrom` 1..128 the usable rows go to consecutive channels from it
// in file order and Location is not read; with 0 Location places each row.
// Problems and adjustments are said in `language`.
Result<std::vector<CsvChannelRow>> ReadChannelsCsv(std::string_view csv, int renumberFrom = 0, int language = 0);

// What applying the rows did.
struct CsvImportReport {
  std::vector<CsvLineNote> skipped;      // every row not imported, with its reasons
  std::vector<CsvLineNote> adjustments;  // every value changed on purpose
  int imported = 0;                      // rows stored into channels
  int replaced = 0;                      // of those, channels that held a programmed channel before
  int adjusted = 0;                      // rows with at least one adjustment
  int cleared = 0;                       // programmed channels cleared because the file does not list them (replace)
  // What the check before Write finds on the stored rows' channels, at the
  // row's line: "error: channel 5: Tx 480.02500 MHz is outside the radio's
  // bands".  In line order, a line's errors before its warnings.
  std::vector<CsvLineNote> findings;
};

// "Channels imported: 12, replaced: 3, skipped: 1, adjusted: 2" (", cleared:
// 5" added when a replace cleared channels).
std::string CsvImportSummary(const CsvImportReport& report, int language = 0);

// Stores the usable rows onto `image` and lists the others as skipped.
// Values the CSV cannot carry keep what an existing channel holds or take
// the new-channel defaults.  With `replace` every channel no stored row
// lands on is cleared.  Names that two channels now share are reported, and
// what the check before Write finds on the stored channels.
CsvImportReport ApplyChannelsCsv(Image& image, const std::vector<CsvChannelRow>& rows, bool replace, int language = 0);

// Reads and applies a CSV onto a copy of `base`, all or nothing: every bad
// row is reported with its line number, one per line, and nothing is
// applied unless all rows are good.
Result<Image> ImportChannelsCsv(const Image& base, std::string_view csv, bool replace);

}  // namespace orvex
