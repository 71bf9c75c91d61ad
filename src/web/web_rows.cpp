// The channel grid's row commands in the page: insert, delete, clear, move,
// sort, cut, copy and paste of whole channels, each one undo step through
// the engine's row operations, worded as the desktop channel window words
// them.

#include <emscripten/bind.h>

#include <functional>
#include <map>
#include <optional>

#include "model/channels/channel_import_messages.h"
#include "model/channels/channel_record.h"
#include "model/channels/channel_rows.h"
#include "web/web_session.h"

namespace orvex {
namespace {

using emscripten::val;

constexpr int kRowsNotPasted = 10124, kNoChannels = 10125, kNothingToClear = 10255, kValuesNotTaken = 10257;

// What the page last copied: the channels byte for byte, and the CSV text it
// put on the system clipboard beside them.  A paste of that same text pastes
// the bytes, so nothing the CSV cannot carry is lost.
struct Clip {
  std::string channels;
  std::string csv;
};
Clip& PageClip() {
  static Clip clip;
  return clip;
}

std::vector<int> Rows(const val& rows) { return ChannelRows(emscripten::vecFromJSArray<int>(rows)); }

val RowsArray(const std::vector<int>& rows) {
  val out = val::array();
  for (int row : rows) out.call<void>("push", row);
  return out;
}

// The answer of every row command: whether it changed the channels, the
// message the page shows (a refusal, what a paste could not take), the
// rows holding the result (selected afterwards), and a report for a box
// that lists what a pasted text skipped or adjusted.
val Outcome(const RowEdit& edit, const std::string& message, const std::string& report = {}) {
  val out = val::object();
  out.set("done", edit.done());
  out.set("message", message);
  out.set("rows", RowsArray(edit.rows));
  out.set("report", report);
  return out;
}

// Runs a row operation as one undo step; a refused one changes nothing.
RowEdit EditRows(WebSession& web, const StepName& name, const std::function<RowEdit(Image&)>& edit) {
  RowEdit result;
  web.session().Edit(name, [&](Image& image) { result = AllOrNothing(image, edit); });
  web.Refresh();
  return result;
}

val RowCommand(WebSession& web, const std::string& command, const val& selected) {
  std::vector<int> rows = Rows(selected);
  if (rows.empty()) return Outcome({RowRefusal::NoRows, {}}, {});
  RowEdit edit;
  if (command == "insert") {
    // As many blank channels as rows are selected, at the first of them.
    const int at = rows.front(), count = static_cast<int>(rows.size());
    std::vector<int> inserted;
    for (int i = 0; i < count; ++i) inserted.push_back(at + i);
    edit = EditRows(web, ChannelRowsStep(RowStep::Insert, inserted),
                    [&](Image& image) { return InsertBlankChannels(image, at, count); });
  } else if (command == "delete") {
    edit = EditRows(web, ChannelRowsStep(RowStep::Delete, rows),
                    [&](Image& image) { return DeleteChannels(image, rows); });
  } else if (command == "clear" || command == "cut") {
    edit = EditRows(web, ChannelRowsStep(command == "cut" ? RowStep::Cut : RowStep::Clear, rows),
                    [&](Image& image) { return ClearChannels(image, rows); });
  } else if (command == "up" || command == "down") {
    const int by = command == "up" ? -1 : 1;
    edit = EditRows(web, ChannelRowsStep(by < 0 ? RowStep::MoveUp : RowStep::MoveDown, rows),
                    [&](Image& image) { return MoveChannels(image, rows, by); });
  } else if (command == "sortRx" || command == "sortName") {
    // One selected row sorts all channels.
    if (rows.size() < 2) {
      rows.clear();
      for (int n = ChannelOffset::kFirst; n <= ChannelOffset::kLast; ++n) rows.push_back(n);
    }
    const ChannelSortKey key = command == "sortName" ? ChannelSortKey::Name : ChannelSortKey::RxFrequency;
    edit = EditRows(web, ChannelRowsStep(key == ChannelSortKey::Name ? RowStep::SortByName : RowStep::SortByRx, rows),
                    [&](Image& image) { return SortChannels(image, rows, key); });
  } else {
    return Outcome({RowRefusal::NoRows, {}}, {});
  }
  return Outcome(edit, RowRefusalText(edit.refusal, rows.front(), web.Language()));
}

// Copies the channels for a paste in this page; the answer is their channel
// CSV with its header, for the system clipboard.
std::string CopyRows(WebSession& web, const val& selected) {
  const std::vector<int> rows = Rows(selected);
  if (rows.empty()) return {};
  const Image& image = web.session().memory().image();
  PageClip() = {EncodeChannelClip(CopyChannels(image, rows)), CopiedChannelsCsv(image, rows)};
  return PageClip().csv;
}

// The channels a paste of `text` from channel `at` would write: the page's
// own copy when the text is what it copied, else the text as channel CSV.
struct PasteSource {
  std::optional<std::vector<ChannelBytes>> channels;
  CsvPaste csv;
  std::vector<int> rows;
};
bool IsPageCopy(const std::string& text) {
  return !PageClip().channels.empty() && (text.empty() || text == PageClip().csv);
}

// Whether a paste onto a cell pastes channels (the page's own copy, rows
// under a channel CSV header) rather than loose values into the cell.
bool PastesChannels(const std::string& text) { return IsPageCopy(text) || IsChannelCsvText(text); }

PasteSource SourceOf(WebSession& web, int at, const std::string& text) {
  PasteSource source;
  if (IsPageCopy(text)) {
    source.channels = DecodeChannelClip(PageClip().channels);
    for (int i = 0; source.channels && i < static_cast<int>(source.channels->size()); ++i)
      source.rows.push_back(at + i);
    return source;
  }
  source.csv = PasteChannelsCsv(web.session().memory().image(), at, text, web.Language());
  source.rows = source.csv.rows;
  return source;
}

// Before a paste: `message` when it cannot happen (nothing to paste, does
// not fit), else `question` when it lands on programmed channels ("Replace
// 3 channels? Channel 70 is programmed.": Replace, Insert or Cancel).
val PastePlan(WebSession& web, int at, const std::string& text) {
  const int language = web.Language();
  val plan = val::object();
  std::string message, question;
  if (PageClip().channels.empty() && text.find_first_not_of(" \t\r\n") == std::string::npos) {
    message = TextOf(kNoChannels, language);
  } else {
    const PasteSource source = SourceOf(web, at, text);
    if (!source.channels && source.csv.refusal != RowRefusal::None) {
      message = RowRefusalText(source.csv.refusal, at, language);
    } else {
      question = ReplaceChannelsQuestion(web.session().memory().image(), source.rows, language);
    }
  }
  plan.set("message", message);
  plan.set("question", question);
  return plan;
}

// The paste as one undo step, `insert` first making room as Insert does.
val Paste(WebSession& web, int at, const std::string& text, bool insert) {
  const int language = web.Language();
  PasteSource source = SourceOf(web, at, text);
  if (source.rows.empty())
    return Outcome({RowRefusal::NoRows, {}},
                   source.csv.problems.empty()
                       ? std::string()
                       : TextOf(kRowsNotPasted, language) + "\n\n" + ShownErrors(source.csv.problems, language));
  const RowEdit edit = EditRows(web, ChannelRowsStep(RowStep::Paste, source.rows), [&](Image& image) {
    if (insert) {
      if (RowEdit room = MakeRoom(image, source.rows); !room.done()) return room;
    }
    if (source.channels) return PasteChannels(image, at, *source.channels);
    // Again onto the image as it is now: Insert may have made room.
    source.csv = PasteChannelsCsv(image, at, text, language);
    image = source.csv.image;
    return RowEdit{source.csv.refusal, source.csv.rows};
  });
  const CsvImportReport& report = source.csv.report;
  std::string message = RowRefusalText(edit.refusal, at, language), shown;
  if (!report.skipped.empty() || !report.adjustments.empty())
    shown = ImportReportText(report, language);
  else if (!source.csv.problems.empty())
    message = TextOf(kRowsNotPasted, language) + "\n\n" + ShownErrors(source.csv.problems, language);
  return Outcome(edit, message, shown);
}

// --- cells --------------------------------------------------------------------

// The current cell's text, as Copy puts it on the clipboard when no channel
// numbers are chosen.
std::string CopyCell(WebSession& web, int row, int column) {
  const CellPos cells[] = {{row, column}};
  return web.table().CellsText(cells);
}

// Cut, Delete and Paste on the current cell: one undo step over the rows the
// table changed.  `message` is what the status line says (nothing to clear,
// the one value refused); `report` lists several refused values.
val CellCommand(WebSession& web, const std::string& command, int row, int column, const std::string& text) {
  const int language = web.Language();
  ChannelTable& table = web.table();
  const CellPos cells[] = {{row, column}};
  // A pasted block fills from the table's current cell.
  table.SetCurrent(cells[0]);
  if (command != "paste" && !table.CanClearCell(row, column))
    return Outcome({RowRefusal::NoRows, {}}, TextOf(kNothingToClear, language));
  const CellsEdit edit = command == "paste" ? table.PasteCells(cells, text) : table.ClearCells(cells);
  const RowStep step = command == "paste" ? RowStep::Paste : command == "cut" ? RowStep::Cut : RowStep::Clear;
  if (!edit.rows.empty())
    web.session().Edit(ChannelRowsStep(step, edit.rows), [&](Image& image) {
      // The table only produces texts the store accepts; a row it cannot
      // store keeps what the image holds.
      for (int changed : edit.rows)
        (void)StoreChannel(image, changed, table.RowFields(changed), table.language(), table.separator());
    });
  web.Refresh();
  std::string message, report;
  if (edit.notes.size() == 1) message = edit.notes.front();
  if (edit.notes.size() > 1) {
    report = TextOf(kValuesNotTaken, language);
    for (const std::string& note : edit.notes) report += "\n" + note;
  }
  return Outcome({RowRefusal::None, edit.rows}, message, report);
}

}  // namespace
}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web_rows) {
  using namespace orvex;
  emscripten::function("rowCommand", &RowCommand);
  emscripten::function("copyRows", &CopyRows);
  emscripten::function("pastePlan", &PastePlan);
  emscripten::function("paste", &Paste);
  emscripten::function("copyCell", &CopyCell);
  emscripten::function("pastesChannels", &PastesChannels);
  emscripten::function("cellCommand", &CellCommand);
}
