#include "ui/main/frame_context.h"

#include "ui/main/mdi_form1.h"

namespace orvex {

Prompter& FrameContext::prompter() { return m_main.prompter(); }
void FrameContext::Dispatch(const QString& key) { m_main.Dispatch(key); }
QAction* FrameContext::tool(const QString& key) const { return m_main.tool(key); }
void FrameContext::EditImage(const StepName& name, const std::function<void(Image&)>& edit) {
  m_main.EditImage(name, edit);
}

QWidget* FrameContext::frame() const { return &m_main; }
RadioMemory& FrameContext::memory() { return m_main.memory(); }
AppState& FrameContext::state() { return m_main.state(); }
void FrameContext::SaveAll() { m_main.SaveAll(); }
void FrameContext::OpenEditingWindow(WindowBit bit) { m_main.OpenEditingWindow(bit); }
EditingWindow* FrameContext::editingWindow(WindowBit bit) const { return m_main.editingWindow(bit); }
EditingWindow* FrameContext::activeEditingWindow() const { return m_main.activeEditingWindow(); }

CodeplugSession& FrameContext::session() { return m_main.session(); }
bool FrameContext::OpenFileAfterAsking(const QString& path) { return m_main.OpenFileAfterAsking(path); }
QString FrameContext::readPort() const { return m_main.readPort(); }

bool FrameContext::isTransferRunning() const { return m_main.isTransferRunning(); }
QString FrameContext::PortName() const { return m_main.PortName(); }
const std::vector<std::string>& FrameContext::portsAtStart() const { return m_main.portsAtStart(); }
const std::filesystem::path& FrameContext::backupFolder() const { return m_main.backupFolder(); }
LinkTrace& FrameContext::linkTrace() { return m_main.linkTrace(); }

}  // namespace orvex
