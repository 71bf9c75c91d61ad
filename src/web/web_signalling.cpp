// The 2-Tone, 5-Tone and MSK windows in the page: their grids as the engine's
// cell tables answer them, each committed cell stored at once as one undo
// step named as the desktop window names it.

#include <emscripten/bind.h>

#include <functional>
#include <memory>
#include <vector>

#include "model/signalling/signalling_grid_tables.h"
#include "model/signalling/signalling_steps.h"
#include "web/web_session.h"

namespace orvex {
namespace {

using emscripten::val;

val CellObject(CellPos cell) {
  val out = val::object();
  out.set("row", cell.row);
  out.set("column", cell.column);
  return out;
}

// A list or a switch of a window beside its grids: its label, its items
// (none for a switch), the chosen index (0 or 1 for a switch), and what
// choosing does to the table with the step it is stored as.
struct Setting {
  std::function<std::string()> label;
  std::function<std::vector<std::string>()> items;
  std::function<int()> chosen;
  std::function<bool(int)> choose;
  std::function<StepName()> step;
  int mergeKey = 0;
};

// One signalling window: "2tone", "5tone" or "msk".  Its tables follow the
// session's image through reload(); the page calls it after anything that
// may have changed the image or the language.
class WebSignalling {
 public:
  WebSignalling(WebSession& web, const std::string& window) : m_web(web) {
    if (window == "2tone") {
      for (const TwoToneGrid which : {TwoToneGrid::CallList, TwoToneGrid::Decode})
        Add(MakeTwoToneGridTable(m_twoTone, which), [which](CellPos cell) { return TwoToneCellStep(which, cell); });
      m_load = [this](const Image& image, int language) { m_twoTone.Load(image, language); };
      m_store = [this](Image& image) { m_twoTone.SaveData(image); };
      m_captions = [this] {
        const auto captions = m_twoTone.captions();
        return std::vector<std::string>{captions.window, captions.callFrame, captions.decodeFrame};
      };
    } else if (window == "msk") {
      for (const MskGrid which : {MskGrid::CallList, MskGrid::IdCode})
        Add(MakeMskGridTable(m_msk, which), [which](CellPos cell) { return MskCellStep(which, cell); });
      m_load = [this](const Image& image, int language) { m_msk.Load(image, language); };
      m_store = [this](Image& image) { m_msk.SaveData(image); };
      m_captions = [this] {
        const auto captions = m_msk.captions();
        return std::vector<std::string>{captions.window, captions.callFrame, captions.idFrame};
      };
      m_settings.push_back({.label = [this] { return m_msk.captions().invert; },
                            .items = [] { return std::vector<std::string>(); },
                            .chosen = [this] { return m_msk.repeaterInvert() ? 1 : 0; },
                            .choose =
                                [this](int on) {
                                  m_msk.SetRepeaterInvert(on != 0);
                                  return true;
                                },
                            .step = MskInvertStep});
    } else {
      Add(std::make_unique<FiveToneGridTable>(m_fiveTone), [](CellPos cell) { return FiveToneCellStep(cell); });
      m_load = [this](const Image& image, int language) { m_fiveTone.Load(image, language); };
      m_store = [this](Image& image) { m_fiveTone.SaveData(image); };
      m_captions = [this] {
        const auto captions = m_fiveTone.captions();
        return std::vector<std::string>{captions.window, captions.decodeFrame};
      };
      m_settings.push_back(FiveToneList(&FiveToneTable::Captions::respondWaitingLabel,
                                        &FiveToneTable::respondWaitingItems, &FiveToneTable::respondWaitingIndex,
                                        &FiveToneTable::SetRespondWaitingIndex, RespondWaitingStep,
                                        kRespondWaitingMerge));
      m_settings.push_back(FiveToneList(&FiveToneTable::Captions::fixDigitLabel, &FiveToneTable::fixDigitItems,
                                        &FiveToneTable::fixDigitIndex, &FiveToneTable::SetFixDigitIndex, FixDigitStep,
                                        kFixDigitMerge));
    }
    Reload();
  }

  // One of the 5-Tone window's two lists, through the table's members.
  Setting FiveToneList(std::string FiveToneTable::Captions::*label,
                       std::vector<std::string> (FiveToneTable::*items)() const,
                       std::size_t (FiveToneTable::*index)() const, Status (FiveToneTable::*set)(std::size_t, int),
                       StepName (*step)(), int mergeKey) {
    return {.label = [this, label] { return m_fiveTone.captions().*label; },
            .items = [this, items] { return (m_fiveTone.*items)(); },
            .chosen = [this, index] { return static_cast<int>((m_fiveTone.*index)()); },
            .choose =
                [this, set](int chosen) {
                  return chosen >= 0 && (m_fiveTone.*set)(static_cast<std::size_t>(chosen), 0).ok();
                },
            .step = step,
            .mergeKey = mergeKey};
  }

  void Reload() { m_load(m_web.session().memory().image(), m_web.Language()); }

  std::string Title() const { return m_captions()[0]; }
  int GridCount() const { return static_cast<int>(m_grids.size()); }
  // The frame round grid `g` ("Call List").
  std::string Frame(int g) const { return m_captions()[static_cast<std::size_t>(g) + 1]; }

  int RowCount(int g) const { return grid(g).rowCount(); }
  int ColumnCount(int g) const { return grid(g).columnCount(); }
  std::string Cell(int g, int row, int column) const { return grid(g).Text({row, column}); }
  bool Greyed(int g, int row, int column) const { return grid(g).IsGreyed({row, column}); }
  std::string RowName(int g, int row) const { return grid(g).RowName(row); }
  std::string SpokenText(int g, int row, int column) const { return grid(g).SpokenText({row, column}); }
  std::string CellName(int g, int row, int column) const { return grid(g).CellName({row, column}); }
  // The columns' relative widths, the row headings' first, as the desktop
  // window shares its grid's width out.
  val ColumnWidths(int g) const {
    val out = val::array();
    for (const int share : grid(g).columnWidths()) out.call<void>("push", share);
    return out;
  }

  val Keys(int g) const {
    const GridKeys keys = grid(g).keys();
    val out = val::object();
    out.set("f2Opens", keys.f2Opens);
    out.set("arrowsLeaveEditor", keys.arrowsLeaveEditor);
    out.set("tabLeavesAtEnds", keys.tabLeavesAtEnds);
    out.set("backspaceEmptiesList", keys.backspaceEmptiesList);
    out.set("escapeKeepsText", keys.escapeKeepsText);
    return out;
  }
  bool EnterOpensEditor(int g, int row, int column) const { return grid(g).EnterOpensEditor({row, column}); }
  val NextOnEnter(int g, int row, int column) const { return CellObject(grid(g).NextCellOnEnter({row, column})); }

  // Opens the editor of a cell: by Enter or a click (typed "") or by a typed
  // character; kind "none" when the cell stays as it is.
  val Begin(int g, int row, int column, const std::string& typed) {
    const auto start =
        grid(g).BeginCellEdit({row, column}, typed.empty() ? std::nullopt : std::optional<char>(typed[0]));
    m_editGrid = g;
    // A cell that opens nothing stays as it is.
    m_edit = start.value_or(EditStart{.cell = {row, column}});
    return EditStartObject(m_edit);
  }

  // The text a key leaves in the open text editor, or "" when dropped.
  std::string Accept(const std::string& key) const { return AcceptedKey(m_edit.editor, key); }
  std::string RefusedKeyNote(const std::string& typed) const {
    return grid(m_editGrid).RefusedKeyNote(m_edit.cell, typed);
  }

  // The window's lists and switches: label, items (none for a switch) and
  // the chosen index.
  val Settings() const {
    val out = val::array();
    for (const Setting& setting : m_settings) {
      val one = val::object();
      one.set("label", setting.label());
      val items = val::array();
      for (const std::string& item : setting.items()) items.call<void>("push", item);
      one.set("items", items);
      one.set("chosen", setting.chosen());
      out.call<void>("push", one);
    }
    return out;
  }
  // A choice in setting `s`, stored as one step (choosing again in the same
  // list folds into it where the desktop does).
  void Choose(int s, int value) {
    const Setting& setting = m_settings.at(static_cast<std::size_t>(s));
    if (setting.choose(value)) m_web.session().Edit(setting.step(), m_store, setting.mergeKey);
    Reload();
  }

  // The 5-Tone window's read-only table of a tone standard's frequencies:
  // its frame and label, the standards, the one shown, and each symbol's
  // label and frequency.  Window state only, never stored.
  val Reference() const {
    const FiveToneTable::Captions captions = m_fiveTone.captions();
    val out = val::object();
    out.set("frame", captions.standardFrame);
    out.set("label", captions.standardLabel);
    val names = val::array();
    for (const std::string_view name : kToneStandardNames) names.call<void>("push", std::string(name));
    out.set("names", names);
    out.set("chosen", static_cast<int>(m_fiveTone.referenceStandard()));
    val symbols = val::array();
    val frequencies = val::array();
    const auto texts = m_fiveTone.referenceFrequencies();
    for (std::size_t symbol = 0; symbol < kToneSymbolCount; ++symbol) {
      symbols.call<void>("push", std::string(1, ToneSymbolLabel(symbol)));
      frequencies.call<void>("push", texts[symbol]);
    }
    out.set("symbols", symbols);
    out.set("frequencies", frequencies);
    return out;
  }
  void ShowReference(int standard) {
    if (standard >= 0) (void)m_fiveTone.SetReferenceStandard(static_cast<std::size_t>(standard));
  }

  // Commits the open editor through the table and stores the table as one
  // step named by the cell; the answer says where Enter moves on.
  val Commit(const std::string& text) {
    const int g = m_editGrid;
    const CellPos cell = m_edit.cell;
    const CellCommit commit = grid(g).CommitCellEdit(cell, text);
    m_edit = {};
    if (commit.accepted) m_web.session().Edit(m_steps[static_cast<std::size_t>(g)](cell), m_store);
    // The table shows what the image holds, also after a refusal.
    Reload();
    val out = CellObject(grid(g).NextCellAfterCommit(cell));
    out.set("accepted", commit.accepted);
    out.set("note", commit.note);
    return out;
  }

 private:
  void Add(std::unique_ptr<SignallingGridTable> table, std::function<StepName(CellPos)> step) {
    m_grids.push_back(std::move(table));
    m_steps.push_back(std::move(step));
  }
  [[nodiscard]] SignallingGridTable& grid(int g) const { return *m_grids.at(static_cast<std::size_t>(g)); }

  WebSession& m_web;
  TwoToneTable m_twoTone;
  MskTable m_msk;
  FiveToneTable m_fiveTone;
  std::vector<std::unique_ptr<SignallingGridTable>> m_grids;
  std::vector<std::function<StepName(CellPos)>> m_steps;
  std::function<void(const Image&, int)> m_load;
  std::function<void(Image&)> m_store;
  std::function<std::vector<std::string>()> m_captions;
  std::vector<Setting> m_settings;
  int m_editGrid = 0;
  EditStart m_edit;
};

}  // namespace
}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web_signalling) {
  using orvex::WebSignalling;
  emscripten::class_<WebSignalling>("Signalling")
      .constructor<orvex::WebSession&, const std::string&>()
      .function("reload", &WebSignalling::Reload)
      .function("title", &WebSignalling::Title)
      .function("gridCount", &WebSignalling::GridCount)
      .function("frame", &WebSignalling::Frame)
      .function("rowCount", &WebSignalling::RowCount)
      .function("columnCount", &WebSignalling::ColumnCount)
      .function("cell", &WebSignalling::Cell)
      .function("greyed", &WebSignalling::Greyed)
      .function("rowName", &WebSignalling::RowName)
      .function("spokenText", &WebSignalling::SpokenText)
      .function("cellName", &WebSignalling::CellName)
      .function("columnWidths", &WebSignalling::ColumnWidths)
      .function("keys", &WebSignalling::Keys)
      .function("enterOpensEditor", &WebSignalling::EnterOpensEditor)
      .function("nextOnEnter", &WebSignalling::NextOnEnter)
      .function("begin", &WebSignalling::Begin)
      .function("accept", &WebSignalling::Accept)
      .function("refusedKeyNote", &WebSignalling::RefusedKeyNote)
      .function("commit", &WebSignalling::Commit)
      .function("settings", &WebSignalling::Settings)
      .function("choose", &WebSignalling::Choose)
      .function("reference", &WebSignalling::Reference)
      .function("showReference", &WebSignalling::ShowReference);
}
