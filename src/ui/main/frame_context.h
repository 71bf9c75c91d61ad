#pragma once

#include "ui/main/window_context.h"

namespace orvex {

class MDIForm1;

// The main window as the context of its editing windows and of the commands
// window libraries register.
class FrameContext final : public CommandContext {
 public:
  explicit FrameContext(MDIForm1& main) : m_main(main) {}

  Prompter& prompter() override;
  void Dispatch(const QString& key) override;
  [[nodiscard]] QAction* tool(const QString& key) const override;
  void EditImage(const StepName& name, const std::function<void(Image&)>& edit) override;

  [[nodiscard]] QWidget* frame() const override;
  RadioMemory& memory() override;
  CodeplugSession& session() override;
  AppState& state() override;
  void SaveAll() override;
  void OpenEditingWindow(WindowBit bit) override;
  [[nodiscard]] EditingWindow* editingWindow(WindowBit bit) const override;
  [[nodiscard]] EditingWindow* activeEditingWindow() const override;
  bool OpenFileAfterAsking(const QString& path) override;
  [[nodiscard]] QString readPort() const override;
  [[nodiscard]] bool isTransferRunning() const override;
  [[nodiscard]] QString PortName() const override;
  [[nodiscard]] const std::vector<std::string>& portsAtStart() const override;
  [[nodiscard]] const std::filesystem::path& backupFolder() const override;
  [[nodiscard]] LinkTrace& linkTrace() override;

 private:
  MDIForm1& m_main;
};

}  // namespace orvex
