#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "codeplug/codeplug_file.h"
#include "core/edit_history.h"
#include "core/memory_image.h"
#include "model/channels/channel_csv.h"

namespace orvex {

// The answer to "File has been modified, save it now?".
enum class SaveAnswer { Save, Discard, Cancel };

// What the face supplies: its questions, the save dialog and the writing of
// a file (a file on disk, a download in a browser).  An unset question
// answers as its safe default would.
struct SessionFace {
  // "All data will be cleared.": true to go ahead with New.
  std::function<bool()> confirmNew;
  // Asked before unsaved edits are replaced.
  std::function<SaveAnswer()> askSave;
  // The path to save to, proposing `proposed`; "" when cancelled.
  std::function<std::string(const std::string& proposed)> chooseSavePath;
  // Writes the file's bytes; false when it failed (the face has said why).
  std::function<bool(const std::string& path, const Bytes& bytes)> write;
};

// How the image changed, so a face knows how much to show again.
enum class SessionChange {
  Replaced,  // New, Open: every window reloads everything
  Edited,    // an edit, undo or redo made outside the windows
  Baseline,  // saved or replaced by a Read: the title and modified mark
};

// One codeplug being edited: the image, its undo history, the file it came
// from and the saved baseline.  "Modified" means the image differs from what
// was last created, opened, saved or read; undoing back to it is no change.
class CodeplugSession {
 public:
  CodeplugSession();

  void setFace(SessionFace face) { m_face = std::move(face); }
  // Told after every change of the image or the baseline.  On New and Open
  // it is told before the baseline is taken: a window that brings an
  // out-of-range value into range while it reloads makes no unsaved change.
  void setListener(std::function<void(SessionChange)> listener) { m_listener = std::move(listener); }

  RadioMemory& memory() { return m_memory; }
  [[nodiscard]] const RadioMemory& memory() const { return m_memory; }
  EditHistory& history() { return m_history; }
  [[nodiscard]] bool IsModified() const { return m_memory.IsModified(); }

  // The file the codeplug came from or was saved to; "" for a new one or one
  // read from a radio.
  [[nodiscard]] const std::string& path() const { return m_path; }
  // What the save dialog proposes.
  [[nodiscard]] const std::string& proposedPath() const { return m_proposedPath; }
  // The port of the Read the codeplug came from, until it is saved or
  // replaced; "" otherwise.
  [[nodiscard]] const std::string& readPort() const { return m_readPort; }
  // The codeplug as the title names it: the file's name, the radio and its
  // port after a Read, else "Untitled.tw".
  [[nodiscard]] std::string DocumentName(int language) const;

  // Asks about unsaved edits and saves when told to; false when the user
  // stays or the save did not happen.
  bool ConfirmReplace();
  // A blank codeplug with no file, after "All data will be cleared." is
  // confirmed; the save dialog then proposes "Untitled.tw" in the folder of
  // the last file rather than the last file's name.
  bool New();
  // Opens a ".tw" file's bytes.  Anything but Ok leaves everything as it was.
  ParsedCodeplug Open(const std::string& path, std::span<const std::uint8_t> fileBytes);
  // Save: the file the codeplug came from, else as Save As.
  bool Save();
  // Asks for a path and saves there.
  bool SaveAs();
  // Writes the codeplug to `path`; on success that is its file and the new
  // baseline.
  bool SaveTo(const std::string& path);

  // Runs `edit` on the image as one undoable step; a non-zero `mergeKey`
  // equal to the newest step's folds the edit into that step.
  bool Edit(const StepName& name, const std::function<void(Image&)>& edit, int mergeKey = 0);
  // The usable CSV rows onto the channels, as one step.
  CsvImportReport ImportChannels(const std::vector<CsvChannelRow>& rows, int language);
  // A whole codeplug document applied onto the image (a JSON import), as
  // one step.
  void ImportCodeplug(const Image& imported);
  bool Undo();
  bool Redo();

  // A Read has put what the radio holds into memory() (and the face has shown
  // it): it comes from no file and is the new baseline with a fresh history.
  void ReadReplaced(const std::string& port);

 private:
  void NewBaseline(bool freshHistory);
  void Tell(SessionChange change) const;

  RadioMemory m_memory;
  EditHistory m_history;
  std::string m_path;
  std::string m_proposedPath;
  std::string m_readPort;
  SessionFace m_face;
  std::function<void(SessionChange)> m_listener;
};

}  // namespace orvex
