#pragma once

// What the frame (the main window) lends the windows and commands that live
// in it, so they never need the main window's own class.

#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/edit_history.h"
#include "core/memory_image.h"

class QAction;
class QWidget;

namespace orvex {

class CodeplugSession;
class EditingWindow;
class LinkTrace;
class Prompter;

// What an editing window may ask of the frame it lives in: the questions,
// the commands of the menus and toolbar, and undoable edits of the image.
class WindowContext {
 public:
  // Every question and modal dialog goes through it.
  virtual Prompter& prompter() = 0;
  // Runs a command by its tool key, as its menu entry does.
  virtual void Dispatch(const QString& key) = 0;
  // The action of a tool key, for a window's own menus; null when unknown.
  [[nodiscard]] virtual QAction* tool(const QString& key) const = 0;
  // Runs `edit` on the image as one undoable step, then shows the new values
  // in every open window.
  virtual void EditImage(const StepName& name, const std::function<void(Image&)>& edit) = 0;

 protected:
  ~WindowContext() = default;
};

// What a command a window library registers (print, import, backups, ...)
// may ask of the frame besides that.
class CommandContext : public WindowContext {
 public:
  // The parent of the command's dialogs and messages.
  [[nodiscard]] virtual QWidget* frame() const = 0;
  virtual RadioMemory& memory() = 0;
  // The codeplug being edited: imports, undo, the file it came from.
  virtual CodeplugSession& session() = 0;
  virtual AppState& state() = 0;

  // Every open window commits its open edit and stores, in bit order.
  virtual void SaveAll() = 0;
  // Opens an editing window and brings it to the front.
  virtual void OpenEditingWindow(WindowBit bit) = 0;
  [[nodiscard]] virtual EditingWindow* editingWindow(WindowBit bit) const = 0;
  [[nodiscard]] virtual EditingWindow* activeEditingWindow() const = 0;

  // Opens a codeplug file as Open does, asking about unsaved changes first.
  virtual bool OpenFileAfterAsking(const QString& path) = 0;
  // The port of the Read the codeplug came from; empty otherwise.
  [[nodiscard]] virtual QString readPort() const = 0;

  [[nodiscard]] virtual bool isTransferRunning() const = 0;
  // The port a transfer opens.
  [[nodiscard]] virtual QString PortName() const = 0;
  [[nodiscard]] virtual const std::vector<std::string>& portsAtStart() const = 0;
  [[nodiscard]] virtual const std::filesystem::path& backupFolder() const = 0;
  // The frames and replies of the last transfer or cable test.
  [[nodiscard]] virtual LinkTrace& linkTrace() = 0;

 protected:
  ~CommandContext() = default;
};

}  // namespace orvex
