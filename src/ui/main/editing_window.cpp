#include "ui/main/editing_window.h"

#include <QCloseEvent>

namespace orvex {

EditingWindow::EditingWindow(WindowBit bit, const EditingContext& context, QWidget* parent)
    : QMdiSubWindow(parent), m_bit(bit), m_context(context) {}

void EditingWindow::closeEvent(QCloseEvent* event) {
  state().openWindows &= static_cast<std::uint8_t>(~m_bit);
  const UserClose rule = userClose();
  if (rule == UserClose::StoreAndDestroy || rule == UserClose::StoreAndHide) {
    CommitEdit();
    Store();
  }
  if (rule == UserClose::Hide || rule == UserClose::StoreAndHide) {
    // Stays alive with its contents; reopening shows it again.
    event->ignore();
    hide();
    return;
  }
  setAttribute(Qt::WA_DeleteOnClose);
  QMdiSubWindow::closeEvent(event);
}

void EditingWindow::Edit(const StepName& name, const std::function<void(Image&)>& edit, int mergeKey) {
  Image& image = memory().image();
  if (m_context.history == nullptr) {
    edit(image);
    return;
  }
  m_context.history->Change(image, name, edit, mergeKey);
}

void EditingWindow::CloseForProgram() {
  state().openWindows &= static_cast<std::uint8_t>(~m_bit);
  if (storesOnProgramClose()) {
    CommitEdit();
    Store();
  }
  hide();
  deleteLater();
}

namespace {
EditingWindowFactories& Registry() {
  static EditingWindowFactories registry;
  return registry;
}
}  // namespace

void RegisterEditingWindow(WindowBit bit, EditingWindowFactory factory) { Registry()[bit] = std::move(factory); }

const EditingWindowFactories& RegisteredEditingWindows() { return Registry(); }

namespace {
MainCommands& CommandRegistry() {
  static MainCommands registry;
  return registry;
}
}  // namespace

void RegisterMainCommand(const QString& key, MainCommand command, std::uint8_t window) {
  CommandRegistry()[key] = RegisteredCommand{std::move(command), window};
}

const MainCommands& RegisteredMainCommands() { return CommandRegistry(); }

}  // namespace orvex
