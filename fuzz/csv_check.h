#pragma once

// What must hold for any channel CSV a user may hand to the import: it is
// refused with a reason or applied, and what is applied exports as a CSV
// that imports again to the same channels; renumbered with bad rows
// skipped, every row is either stored or listed.  Shared by the libFuzzer target
// and the test that replays its inputs.

#include <cstdlib>
#include <string_view>

#include "model/channel_csv.h"

namespace orvex::fuzz {

inline void CheckChannelCsv(std::string_view text) {
  const Image base = BlankImage();
  for (const bool replace : {false, true}) {
    const auto imported = ImportChannelsCsv(base, text, replace);
    if (!imported) {
      if (imported.error().empty()) std::abort();
      continue;
    }
    const std::string exported = ExportChannelsCsv(*imported);
    const auto again = ImportChannelsCsv(*imported, exported, true);
    if (!again || *again != *imported) std::abort();
  }
  // Renumbered with the bad rows skipped: every row is stored or listed.
  if (const auto rows = ReadChannelsCsv(text, 1)) {
    Image image = base;
    const CsvImportReport report = ApplyChannelsCsv(image, *rows, false);
    if (static_cast<std::size_t>(report.imported) + report.skipped.size() != rows->size()) std::abort();
    const auto again = ImportChannelsCsv(image, ExportChannelsCsv(image), true);
    if (!again || *again != image) std::abort();
  }
}

}  // namespace orvex::fuzz
