#pragma once

#include <string>
#include <string_view>

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

// Applies such a CSV onto a copy of `base`.  Columns are found by header
// name (older headers without RxDtcsCode, CrossMode or Power are accepted,
// unknown columns ignored).  Values the CSV cannot carry keep what an
// existing channel holds or take the new-channel defaults.  With `replace`
// every channel absent from the CSV is cleared.  Every bad row is reported
// with its line number and nothing is applied unless all rows are good.
Result<Image> ImportChannelsCsv(const Image& base, std::string_view csv, bool replace);

}  // namespace orvex
