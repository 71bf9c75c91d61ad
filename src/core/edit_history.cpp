#include "core/edit_history.h"

#include <algorithm>
#include <map>

namespace orvex {

namespace {

// The newer step's changes folded into the older one's: each address keeps
// its first "before" and its last "after"; bytes back where they started
// drop out.
std::vector<ByteChange> Merge(const std::vector<ByteChange>& older, const std::vector<ByteChange>& newer) {
  std::map<std::size_t, ByteChange> merged;
  for (const ByteChange& change : older) merged.emplace(change.address, change);
  for (const ByteChange& change : newer) {
    const auto [it, added] = merged.emplace(change.address, change);
    if (!added) it->second.after = change.after;
  }
  std::vector<ByteChange> changes;
  for (const auto& [address, change] : merged)
    if (change.before != change.after) changes.push_back(change);
  return changes;
}

}  // namespace

bool EditHistory::Record(const Image& before, const Image& after, StepName name, int mergeKey) {
  if (isQuiet()) return false;
  std::vector<ByteChange> changes = DiffImages(before, after);
  if (changes.empty()) return false;
  m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_next), m_steps.end());
  const bool merge = mergeKey != 0 && !m_sealed && !m_steps.empty() && m_steps.back().mergeKey == mergeKey;
  m_sealed = false;
  if (merge) {
    EditStep& top = m_steps.back();
    top.changes = Merge(top.changes, changes);
    // Clicked back to where it started: nothing left to undo.
    if (top.changes.empty()) m_steps.pop_back();
  } else {
    m_steps.push_back(EditStep{std::move(name), std::move(changes), mergeKey});
    if (m_steps.size() > m_limit) m_steps.erase(m_steps.begin());
  }
  m_next = m_steps.size();
  Changed();
  return true;
}

bool EditHistory::Undo(Image& image) {
  if (!CanUndo()) return false;
  const EditStep& step = m_steps[--m_next];
  for (const ByteChange& change : step.changes) image[change.address] = change.before;
  m_sealed = true;
  Changed();
  return true;
}

bool EditHistory::Redo(Image& image) {
  if (!CanRedo()) return false;
  const EditStep& step = m_steps[m_next++];
  for (const ByteChange& change : step.changes) image[change.address] = change.after;
  m_sealed = true;
  Changed();
  return true;
}

std::string EditHistory::UndoName(int language) const {
  return CanUndo() && m_steps[m_next - 1].name ? m_steps[m_next - 1].name(language) : std::string();
}

std::string EditHistory::RedoName(int language) const {
  return CanRedo() && m_steps[m_next].name ? m_steps[m_next].name(language) : std::string();
}

void EditHistory::Clear() {
  m_steps.clear();
  m_next = 0;
  m_sealed = false;
  Changed();
}

void EditHistory::Changed() {
  if (m_listener) m_listener();
}

}  // namespace orvex
