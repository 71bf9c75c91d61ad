#pragma once

// What must hold for any channel CSV a user may hand to the import: it is
// refused with a reason or applied, and what is applied exports as a CSV
// that imports again to the same channels; renumbered with bad rows
// skipped, every row is either stored or listed.  Shared by the libFuzzer target
// and the test that replays its inputs.

#include <cstdlib>
#include <optional>
#include <string_view>

#include "model/channels/channel_csv.h"

namespace orvex::fuzz {

// What is applied exports as a CSV that imports again to the same channels.
inline void CheckRoundTrip(const Image& image) {
  const auto again = ImportChannelsCsv(image, ExportChannelsCsv(image), true);
  if (!again || *again != image) std::abort();
}

// Every row the import skips says why.
inline void CheckSkippedHaveReasons(const CsvImportReport& report) {
  for (const auto& skipped : report.skipped)
    if (skipped.text.empty()) std::abort();
}

inline void CheckChannelCsv(std::string_view text) {
  const Image base = BlankImage();
  // The import as the user runs it, without and with --replace (the file is
  // read once for both): refused with a reason, or applied.
  if (const auto rows = ReadChannelsCsv(text); !rows) {
    if (rows.error().empty()) std::abort();
  } else {
    std::optional<Image> applied;
    for (const bool replace : {false, true}) {
      Image image = base;
      const CsvImportReport report = ApplyChannelsCsv(image, *rows, replace);
      CheckSkippedHaveReasons(report);
      if (!report.skipped.empty()) continue;
      // On a blank image replacing clears nothing: only a new result is checked.
      if (applied != image) CheckRoundTrip(image);
      applied = image;
    }
  }
  // Renumbered with the bad rows skipped: every row is stored or listed.
  if (const auto rows = ReadChannelsCsv(text, 1)) {
    Image image = base;
    const CsvImportReport report = ApplyChannelsCsv(image, *rows, false);
    CheckSkippedHaveReasons(report);
    if (static_cast<std::size_t>(report.imported) + report.skipped.size() != rows->size()) std::abort();
    CheckRoundTrip(image);
  }
}

}  // namespace orvex::fuzz
