#pragma once

// What must hold for any channel CSV a user may hand to the import: it is
// refused with a reason or applied, and what is applied exports as a CSV
// that imports again to the same channels.  Shared by the libFuzzer target
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
}

}  // namespace orvex::fuzz
