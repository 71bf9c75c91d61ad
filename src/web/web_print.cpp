// The page's channel print and memory map: the printed lines and title come
// from the engine as the desktop prints them; the map edits a working copy
// of the image byte by byte (undoable while it is open) and its OK stores
// the whole copy as one undo step, as the desktop's map does.

#include <emscripten/bind.h>

#include "core/edit_history.h"
#include "model/channels/channel_print_rows.h"
#include "model/memory_map_cells.h"
#include "web/web_session.h"

namespace orvex {
namespace {

using emscripten::val;

constexpr int kMemoryMapStep = 1650;

// { headings: [...], rows: [[...], ...] } of the programmed channels.
val PrintLines(WebSession& web) {
  const ChannelPrintContent content = ChannelPrintLines(web.session().memory().image(), web.Language());
  val rows = val::array();
  for (const std::vector<std::string>& row : content.rows) rows.call<void>("push", StringArray(row));
  val out = val::object();
  out.set("headings", StringArray(content.headings));
  out.set("rows", rows);
  return out;
}

std::string PrintTitle(WebSession& web, const std::string& date) {
  return ChannelPrintTitleLine(web.DocumentName(), {}, date, web.Language());
}

class MemoryMap {
 public:
  explicit MemoryMap(WebSession& web) : m_image(web.session().memory().image()) {}

  int Lines() const { return kMapLines; }
  int Columns() const { return kMapColumns; }
  std::string Cell(int line, int column) const { return MapCellText(m_image[Index(line, column)]); }
  int Value(int line, int column) const { return m_image[Index(line, column)]; }
  static std::string LineLabel(int line) { return MapLineLabel(line); }
  static std::string ColumnHeading(int column) { return MapColumnHeading(column); }
  static std::string Address(int line, int column) { return MapAddressText(line, column); }
  static std::string CellName(int line, int column) { return MapCellName(line, column); }
  static std::string NormalizeAddress(const std::string& text) { return MapNormalizeAddress(text); }

  // Commits an edited cell's text (one step of the map's own history).
  void Set(int line, int column, const std::string& text) {
    const std::size_t index = Index(line, column);
    const std::uint8_t byte = MapCellByte(text);
    m_history.Change(m_image, {}, [index, byte](Image& image) { image[index] = byte; });
  }
  bool Undo() { return m_history.Undo(m_image); }
  bool Redo() { return m_history.Redo(m_image); }

  // OK: every byte is written back, changed or not; a map that changed
  // something is one undo step of the codeplug.
  void Apply(WebSession& web) {
    web.session().Edit(TextStep(kMemoryMapStep), [this](Image& image) { image = m_image; });
    web.Refresh();
  }

 private:
  static std::size_t Index(int line, int column) {
    return orvex::Address(static_cast<std::size_t>(line), static_cast<std::size_t>(column));
  }

  Image m_image;
  EditHistory m_history;
};

}  // namespace
}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web_print) {
  using namespace orvex;
  emscripten::function("printLines", &PrintLines);
  emscripten::function("printTitle", &PrintTitle);
  emscripten::class_<MemoryMap>("MemoryMap")
      .constructor<WebSession&>()
      .function("lines", &MemoryMap::Lines)
      .function("columns", &MemoryMap::Columns)
      .function("cell", &MemoryMap::Cell)
      .function("value", &MemoryMap::Value)
      .class_function("lineLabel", &MemoryMap::LineLabel)
      .class_function("columnHeading", &MemoryMap::ColumnHeading)
      .class_function("address", &MemoryMap::Address)
      .class_function("cellName", &MemoryMap::CellName)
      .class_function("normalizeAddress", &MemoryMap::NormalizeAddress)
      .function("set", &MemoryMap::Set)
      .function("undo", &MemoryMap::Undo)
      .function("redo", &MemoryMap::Redo)
      .function("apply", &MemoryMap::Apply);
}
