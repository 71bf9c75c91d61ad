#pragma once

// What must hold for any text handed to the JSON codeplug import: it is
// refused with a reason or applied, and what is applied exports as JSON that
// imports again to the same image.  Shared by the libFuzzer target and the
// test that replays its inputs.

#include <cstdlib>
#include <string_view>

#include "model/document/json_document.h"

namespace orvex::fuzz {

inline void CheckJsonDocument(std::string_view text) {
  const auto document = ParseJsonDocument(text);
  if (!document) {
    if (document.error().empty()) std::abort();
    return;
  }
  const auto imported = ImportDocument(BlankImage(), *document);
  if (!imported) {
    if (imported.error().empty()) std::abort();
    return;
  }
  const auto exported = ParseJsonDocument(JsonDocumentText(ExportDocument(*imported)));
  if (!exported) std::abort();
  const auto again = ImportDocument(*imported, *exported);
  if (!again || *again != *imported) std::abort();
}

}  // namespace orvex::fuzz
