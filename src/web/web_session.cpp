// The binding the browser page calls: one codeplug session and its channel
// grid, with every rule, text and codec left to the engine.

#include "web/web_session.h"

#include <emscripten/bind.h>

namespace orvex {

emscripten::val ByteArray(const Bytes& bytes) {
  return emscripten::val::global("Uint8Array")
      .new_(emscripten::typed_memory_view(bytes.size(), bytes.data()))
      .call<emscripten::val>("slice");
}

emscripten::val StringArray(const std::vector<std::string>& texts) {
  emscripten::val out = emscripten::val::array();
  for (const std::string& text : texts) out.call<void>("push", text);
  return out;
}

emscripten::val EditStartObject(const EditStart& start) {
  emscripten::val out = emscripten::val::object();
  const char* kinds[] = {"none", "text", "list"};
  out.set("kind", std::string(kinds[static_cast<int>(start.editor.kind)]));
  out.set("row", start.cell.row);
  out.set("column", start.cell.column);
  out.set("text", start.text);
  out.set("startText", start.startText);
  out.set("selectAll", start.selectAll);
  out.set("maxLength", static_cast<int>(start.editor.maxLength));
  out.set("items", StringArray(start.editor.items));
  return out;
}

std::string AcceptedKey(const CellEditor& editor, const std::string& key) {
  if (key.size() != 1) return {};
  const auto c = editor.Accept(key[0]);
  return c ? std::string(1, *c) : std::string();
}

}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web) {
  using orvex::WebSession;
  emscripten::class_<WebSession>("Session")
      .constructor<>()
      .function("newCodeplug", &WebSession::New)
      .function("open", &WebSession::Open)
      .function("save", &WebSession::Save)
      .function("documentName", &WebSession::DocumentName)
      .function("title", &WebSession::Title)
      .function("text", &WebSession::TextFor)
      .function("modified", &WebSession::Modified)
      .function("undoName", &WebSession::UndoName)
      .function("redoName", &WebSession::RedoName)
      .function("undo", &WebSession::Undo)
      .function("redo", &WebSession::Redo)
      .function("language", &WebSession::Language)
      .function("setLanguage", &WebSession::SetLanguage)
      .function("caption", &WebSession::Caption)
      .function("rowCount", &WebSession::RowCount)
      .function("columnCount", &WebSession::ColumnCount)
      .function("hidden", &WebSession::Hidden)
      .function("cell", &WebSession::Cell)
      .function("greyed", &WebSession::Greyed)
      .function("begin", &WebSession::Begin)
      .function("accept", &WebSession::Accept)
      .function("commit", &WebSession::Commit)
      .function("rowName", &WebSession::RowName)
      .function("spokenText", &WebSession::SpokenText)
      .function("cellName", &WebSession::CellName)
      .function("refusedKeyNote", &WebSession::RefusedKeyNote);
}
