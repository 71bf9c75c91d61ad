#pragma once

// The codeplug session the browser page edits: one CodeplugSession and its
// channel grid, with every rule, text and codec left to the engine.  Other
// parts of the binding (the programming job, files, backups) take it by
// reference.

#include <emscripten/val.h>

#include <string>
#include <vector>

#include "app/codeplug_session.h"
#include "core/strings.h"
#include "model/channels/channel_grid_table.h"
#include "model/channels/channel_record.h"
#include "model/channels/channel_table.h"
#include "model/channels/step_names.h"

namespace orvex {

constexpr int kIncorrectFileTypeText = 10001;

// A copy of `bytes` as a Uint8Array the page owns.
emscripten::val ByteArray(const Bytes& bytes);
// Texts as an array of strings.
emscripten::val StringArray(const std::vector<std::string>& texts);

// An opened editor as the page's grid takes it: the cell edited, the
// editor's kind ("none", "text", "list"), its text, length and items.
emscripten::val EditStartObject(const EditStart& start);
// The text a key leaves in an open text editor, or "" when dropped.
std::string AcceptedKey(const CellEditor& editor, const std::string& key);

class WebSession {
 public:
  WebSession() {
    // The page asks its own questions before calling New or Open.
    m_session.setFace({.confirmNew = [] { return true; },
                       .askSave = [] { return SaveAnswer::Discard; },
                       .chooseSavePath = {},
                       .write =
                           [this](const std::string&, const Bytes& bytes) {
                             m_saved = bytes;
                             return true;
                           }});
    Reload();
  }

  void New() {
    m_session.New();
    Reload();
  }

  // "" when opened, else the refusal the desktop program shows.
  std::string Open(const std::string& name, const std::string& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const ParsedCodeplug parsed = m_session.Open(name, {data, bytes.size()});
    if (parsed.check == CodeplugCheck::Empty) return {};
    if (parsed.check != CodeplugCheck::Ok) return std::string(Text(kIncorrectFileTypeText, m_language));
    Reload();
    return {};
  }

  // The ".tw" file's bytes; the codeplug is saved under `name` from now on.
  emscripten::val Save(const std::string& name) {
    m_saved.clear();
    m_session.SaveTo(name);
    return ByteArray(m_saved);
  }

  std::string DocumentName() const { return m_session.DocumentName(m_language); }
  // The window title as the desktop program shows it, "*" marking unsaved
  // edits.
  std::string Title() const {
    return "ORVEX - " + m_session.DocumentName(m_language) + (m_session.IsModified() ? "*" : "");
  }
  // A string-table text in the session's language, %1 filled with `arg`.
  std::string TextFor(int number, const std::string& arg) const { return TextOf(number, m_language, {arg}); }
  bool Modified() const { return m_session.IsModified(); }
  std::string UndoName() { return m_session.history().UndoName(m_language); }
  std::string RedoName() { return m_session.history().RedoName(m_language); }
  bool Undo() { return Changed(m_session.Undo()); }
  bool Redo() { return Changed(m_session.Redo()); }

  int Language() const { return m_language; }
  void SetLanguage(int language) {
    m_language = language;
    m_table.RefreshChannel(m_session.memory().image(), language);
  }
  std::string Caption() const { return m_table.Caption(); }
  int RowCount() const { return kChannelGridRows; }
  int ColumnCount() const { return kChannelColumns; }
  bool Hidden(int column) const { return ChannelTable::IsHiddenColumn(column); }
  std::string Cell(int row, int column) const { return m_table.Cell(row, column); }
  bool Greyed(int row, int column) const { return m_table.IsGreyed(row, column); }

  // Opens the editor of a cell: by Enter (typed "") or by a typed character.
  // The answer names the cell actually edited, its editor and starting text.
  emscripten::val Begin(int row, int column, const std::string& typed) {
    m_edit = *m_grid.BeginCellEdit({row, column}, typed.empty() ? kKeyEnter : typed[0]);
    return EditStartObject(m_edit);
  }

  // The text a key leaves in the open text editor, or "" when dropped.
  std::string Accept(const std::string& key) const { return AcceptedKey(m_edit.editor, key); }

  // Enter in the open editor: commits through the table, stores the row as
  // one undoable step and moves as the desktop grid does.
  emscripten::val Commit(const std::string& text) {
    const CellPos cell = m_table.current();
    const CellCommit commit =
        m_edit.editor.kind == EditorKind::List ? m_table.CommitListEditor(text) : m_table.CommitTextEditor(text);
    m_edit = {};
    if (commit.accepted) Store(cell);
    emscripten::val out = emscripten::val::object();
    out.set("accepted", commit.accepted);
    out.set("note", commit.note);
    const CellPos next = m_grid.NextCellAfterCommit(cell);
    out.set("row", next.row);
    out.set("column", next.column);
    return out;
  }

  // "Channel 6", as a screen reader names the row.
  std::string RowName(int row) const { return m_grid.RowName(row); }
  // "Channel 6, Rx Freq, 145.50000", as a screen reader speaks a cell; its
  // name alone ("Channel 6, Rx Freq") names its open editor.
  std::string SpokenText(int row, int column) const { return m_grid.SpokenText({row, column}); }
  std::string CellName(int row, int column) const { return m_grid.CellName({row, column}); }
  // What the status bar says about a key the open text editor drops.
  std::string RefusedKeyNote(const std::string& typed) const { return m_grid.RefusedKeyNote(m_edit.cell, typed); }

  CodeplugSession& session() { return m_session; }
  ChannelTable& table() { return m_table; }
  // The grid shows the image again, keeping its current cell.
  void Refresh() { Changed(true); }

 private:
  void Reload() { m_table.RefreshChannel(m_session.memory().image(), m_language); }

  bool Changed(bool changed) {
    if (changed) {
      const CellPos current = m_table.current();
      m_table.ChannelGridLoad(m_session.memory().image());
      m_table.SetCurrent(current);
    }
    return changed;
  }

  void Store(CellPos cell) {
    // A commit that left the row as the image holds it stores nothing.
    if (m_table.RowFields(cell.row) ==
        ReadChannel(m_session.memory().image(), cell.row, m_table.language(), m_table.separator()))
      return;
    // The table only produces texts the store accepts; a row it cannot store
    // keeps what the image holds.
    m_session.Edit(ChannelCellStep(cell.row, cell.column), [this, row = cell.row](Image& image) {
      (void)StoreChannel(image, row, m_table.RowFields(row), m_table.language(), m_table.separator());
    });
  }

  CodeplugSession m_session;
  ChannelTable m_table;
  ChannelGridTable m_grid{m_table};
  EditStart m_edit;
  Bytes m_saved;
  int m_language = 0;
};

}  // namespace orvex
