#include "ui/main/window_set.h"

#include "model/channels/step_names.h"
#include "ui/main/work_area.h"
#include "ui/memorymap/frm_memory_map.h"

namespace orvex {

namespace {
constexpr int kMemoryMapStep = 1650;
}  // namespace

WindowSet::WindowSet(const EditingContext& context, EditingWindowFactories factories, WorkArea& area)
    : QObject(&area), m_context(context), m_factories(std::move(factories)), m_area(area) {}

EditingWindow* WindowSet::window(WindowBit bit) const {
  const auto it = m_windows.find(bit);
  return it == m_windows.end() ? nullptr : it->second.data();
}

EditingWindow* WindowSet::active() const { return qobject_cast<EditingWindow*>(m_area.activeSubWindow()); }

EditingWindow* WindowSet::Create(WindowBit bit) {
  const auto factory = m_factories.find(bit);
  if (factory == m_factories.end()) return nullptr;
  EditingWindow* window = factory->second(m_context);
  m_windows[bit] = window;
  m_area.Adopt(window);
  connect(window, &EditingWindow::noted, this, &WindowSet::noted);
  const EditHistory::Quiet quiet(*m_context.history);
  window->Refresh();
  return window;
}

void WindowSet::Open(WindowBit bit) {
  EditingWindow* window = this->window(bit);
  const bool created = window == nullptr;
  if (created && (window = Create(bit)) == nullptr) return;
  m_context.state.openWindows |= bit;
  if (!created && window->refreshesOnOpen()) {
    const EditHistory::Quiet quiet(*m_context.history);
    window->Refresh();
  }
  const bool wasVisible = window->isVisible();
  window->show();
  if (!wasVisible) m_area.KeepInView(window);
  m_area.setActiveSubWindow(window);
  window->raise();
}

void WindowSet::OpenHidden(WindowBit bit) {
  EditingWindow* window = Create(bit);
  if (window == nullptr) return;
  window->hide();
  m_context.state.openWindows |= bit;
}

void WindowSet::SaveAll() {
  for (const WindowBit bit : kWindowOrder) {
    if ((m_context.state.openWindows & bit) == 0) continue;
    if (EditingWindow* window = this->window(bit)) {
      window->CommitEdit();
      window->Store();
    }
  }
}

void WindowSet::Refresh() {
  for (const WindowBit bit : kWindowOrder) {
    if ((m_context.state.openWindows & bit) == 0) continue;
    if (EditingWindow* window = this->window(bit)) window->Refresh();
  }
}

void WindowSet::RefreshValues() {
  const EditHistory::Quiet quiet(*m_context.history);
  for (const WindowBit bit : kWindowOrder) {
    if ((m_context.state.openWindows & bit) == 0) continue;
    if (EditingWindow* window = this->window(bit)) window->RefreshValues();
  }
  emit valuesRefreshed();
}

void WindowSet::CloseAll() {
  if ((m_context.state.openWindows & kWinChannel) != 0) {
    if (EditingWindow* channel = window(kWinChannel)) {
      channel->CommitEdit();
      channel->Store();
    }
  }
  for (const WindowBit bit : kWindowOrder) {
    if ((m_context.state.openWindows & bit) == 0) continue;
    if (EditingWindow* window = this->window(bit)) window->close();
  }
  m_context.state.openWindows = 0;
}

void WindowSet::OpenMemoryMap() {
  // The map shows what the windows hold, and the windows show what the map
  // wrote, so an open window never overwrites the map's bytes later.
  SaveAll();
  RadioMemory& memory = m_context.memory;
  const Image before = memory.image();
  FrmMemoryMap dialog(memory, m_area.window());
  if (m_context.frame->prompter().exec(dialog) != QDialog::Accepted) return;
  // Every byte the map changed is one step.
  m_context.history->Record(before, memory.image(), TextStep(kMemoryMapStep));
  RefreshValues();
}

}  // namespace orvex
