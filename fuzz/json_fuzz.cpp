// libFuzzer target: the JSON codeplug import on arbitrary text.  It is
// refused with a reason or applied; what is applied exports as JSON that
// imports again to the same image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/json/json_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvex;
  const auto document = ParseJsonDocument(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!document) {
    if (document.error().empty()) std::abort();
    return 0;
  }
  const Image base = BlankImage();
  const auto imported = ImportDocument(base, *document);
  if (!imported) {
    if (imported.error().empty()) std::abort();
    return 0;
  }
  const auto exported = ParseJsonDocument(JsonDocumentText(ExportDocument(*imported)));
  if (!exported) std::abort();
  const auto again = ImportDocument(*imported, *exported);
  if (!again || *again != *imported) std::abort();
  return 0;
}
