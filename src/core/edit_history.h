#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/memory_image.h"

namespace orvex {

// What a step is called in a language ("channel 6 name"), so the Undo and
// Redo entries follow a change of language.
using StepName = std::function<std::string(int language)>;

// One undoable edit: the bytes it changed, before and after.
struct EditStep {
  StepName name;
  std::vector<ByteChange> changes;
  int mergeKey = 0;
};

// Undo and redo for the whole image.  Every committed edit is recorded as the
// bytes it changed, so undoing a step puts exactly those bytes back and an
// image undone to its saved state compares equal to the snapshot again.
class EditHistory {
 public:
  // Steps beyond `limit` are forgotten, oldest first.
  explicit EditHistory(std::size_t limit = 1000) : m_limit(limit) {}

  // Records the change from `before` to `after` as one step and drops every
  // step that could have been redone.  Nothing is recorded when no byte
  // changed or while quiet.  A non-zero `mergeKey` equal to the newest step's
  // folds the change into that step (clicks on one spinner).  Returns whether
  // a step was recorded or grown.
  bool Record(const Image& before, const Image& after, StepName name, int mergeKey = 0);

  // Runs `edit` on `image` and records what it changed.
  template <class Edit>
  bool Change(Image& image, StepName name, Edit&& edit, int mergeKey = 0) {
    const Image before = image;
    edit(image);
    return Record(before, image, std::move(name), mergeKey);
  }

  // Puts the newest step's bytes back to what they were before it; false
  // when there is nothing to undo.
  bool Undo(Image& image);
  // Applies the step undone last again; false when there is nothing to redo.
  bool Redo(Image& image);

  [[nodiscard]] bool CanUndo() const { return m_next > 0; }
  [[nodiscard]] bool CanRedo() const { return m_next < m_steps.size(); }
  // The names of what Undo and Redo would do; "" when nothing.
  [[nodiscard]] std::string UndoName(int language) const;
  [[nodiscard]] std::string RedoName(int language) const;
  // Steps recorded and not undone.
  [[nodiscard]] std::size_t undoCount() const { return m_next; }
  [[nodiscard]] std::size_t redoCount() const { return m_steps.size() - m_next; }

  // A fresh history (New, Open, a completed Read).
  void Clear();
  // The next step never merges into the present one.
  void Seal() { m_sealed = true; }

  // Told after every change of the history.
  void SetListener(std::function<void()> listener) { m_listener = std::move(listener); }

  // While one lives, changes are not recorded: a window reloading itself
  // after an undo rewrites values it shows, which is no edit of the user's.
  class Quiet {
   public:
    explicit Quiet(EditHistory& history) : m_history(history) { ++m_history.m_quiet; }
    ~Quiet() { --m_history.m_quiet; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

   private:
    EditHistory& m_history;
  };
  [[nodiscard]] bool isQuiet() const { return m_quiet > 0; }

 private:
  void Changed();

  std::vector<EditStep> m_steps;
  std::size_t m_next = 0;  // steps [0, m_next) are done
  std::size_t m_limit;
  bool m_sealed = false;
  int m_quiet = 0;
  std::function<void()> m_listener;
};

}  // namespace orvex
