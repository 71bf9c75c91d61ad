#pragma once

// The contract between the main window and every editing window.
//
// How a window plugs in (channels, key, optional features, MSK, scrambler,
// 2-Tone, 5-Tone):
//
//   1. Derive from orvex::EditingWindow, pass your bit to the constructor and
//      put your widgets in with setWidget().  Override Refresh() (captions in
//      language() and values from memory()), and Store() if the window
//      buffers edits (SaveData).  A window with an in-cell editor overrides
//      CommitEdit() so an edit still open is committed before Store().
//      Pick the close behaviour with userClose() / storesOnProgramClose()
//      and say whether reopening reloads with refreshesOnOpen().
//   2. Register it once, in its .cpp, at namespace scope:
//        static const orvex::EditingWindowRegistration kRegistration{
//            orvex::kWinMsk, [](const orvex::EditingContext& c) { return new FrmMsk(c); }};
//   3. Build it with orvex_ui_window(orvex_ui_<name> ...) in its own
//      src/ui/<name>/CMakeLists.txt; that links it whole into `orvex`, so the
//      static registration is kept.
//
// The main window creates a registered window the first time it is opened
// (menu, tree, or start-up for the channel and optional features windows),
// calls Refresh() once right after creating it, adds its bit to the
// open-window set whenever it is opened, and calls Refresh() / CommitEdit()
// + Store() in bit order from RefreshAll / SaveAll.  Closing by the user is
// handled here: the bit leaves the set and the window is stored, hidden or
// destroyed as userClose() says.  Bits without a registered window keep
// their menu entries and tree nodes, which then open nothing.

#include <QMdiSubWindow>
#include <QString>
#include <functional>
#include <map>

#include "core/app_state.h"
#include "core/edit_history.h"
#include "core/memory_image.h"
#include "ui/main/prompter.h"
#include "ui/main/window_context.h"

namespace orvex {

// What every editing window works on: the one image, the program state, the
// undo history its edits are recorded in and the frame it lives in (neither
// outside the main window).
struct EditingContext {
  RadioMemory& memory;
  AppState& state;
  EditHistory* history = nullptr;
  WindowContext* frame = nullptr;
};

class EditingWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  // What a close by the user does besides taking the bit out of the set.
  enum class UserClose {
    Destroy,          // key assignment
    StoreAndDestroy,  // channel information
    Hide,             // optional features (writes on every change)
    StoreAndHide,     // MSK, scrambler, 2-Tone, 5-Tone
  };

  EditingWindow(WindowBit bit, const EditingContext& context, QWidget* parent = nullptr);

  [[nodiscard]] WindowBit bit() const { return m_bit; }

  // RefreshAll (RefreshChannel, RefreshKey): captions and values again.
  virtual void Refresh() = 0;
  // SaveData: writes buffered edits into the image.  Windows that write the
  // image on every change have nothing to do here.
  virtual void Store() {}
  // Commits an in-cell edit that is still open, before Store.
  virtual void CommitEdit() {}
  // The values again after an undo or redo changed the image; an open edit
  // is dropped.  Windows that keep a place (the current cell) keep it.
  virtual void RefreshValues() { Refresh(); }
  // Whether opening a window that already exists reloads it (all windows
  // except the channel and key windows).
  [[nodiscard]] virtual bool refreshesOnOpen() const { return true; }
  [[nodiscard]] virtual UserClose userClose() const { return UserClose::Destroy; }
  // Whether the window stores when the whole program closes (the channel
  // window does; the main window has already stored every window then).
  [[nodiscard]] virtual bool storesOnProgramClose() const { return false; }

  // Close for the end of the program: leaves the set, stores if the window
  // says so and is destroyed.  Called by the main window only.
  void CloseForProgram();

 signals:
  // Something the user should know about an edit, such as a typed value the
  // window replaced; the main window shows it in its status bar.
  void noted(const QString& note);

 protected:
  RadioMemory& memory() { return m_context.memory; }
  AppState& state() { return m_context.state; }
  [[nodiscard]] int language() const { return m_context.state.language; }
  // The frame's when inside the main window, else the real boxes.
  Prompter& prompter() { return m_context.frame != nullptr ? m_context.frame->prompter() : m_ownPrompter; }
  // The main window's commands and tools; null outside it.
  [[nodiscard]] WindowContext* frame() const { return m_context.frame; }
  // Runs `edit` on the image as one undoable step called `name`; a non-zero
  // `mergeKey` folds repeated changes of one control into one step.
  void Edit(const StepName& name, const std::function<void(Image&)>& edit, int mergeKey = 0);

  void closeEvent(QCloseEvent* event) override;

 private:
  WindowBit m_bit;
  EditingContext m_context;
  Prompter m_ownPrompter;
};

using EditingWindowFactory = std::function<EditingWindow*(const EditingContext&)>;
using EditingWindowFactories = std::map<std::uint8_t, EditingWindowFactory>;

// The windows the program knows, by bit.
void RegisterEditingWindow(WindowBit bit, EditingWindowFactory factory);
const EditingWindowFactories& RegisteredEditingWindows();

struct EditingWindowRegistration {
  EditingWindowRegistration(WindowBit bit, EditingWindowFactory factory) {
    RegisterEditingWindow(bit, std::move(factory));
  }
};

// Commands a window library adds to the main window by tool key (the channel
// window's print, print preview and CSV entries).  A registered command
// replaces a built-in one of the same key; a key gets its menu and toolbar
// places and captions from the layout resources (resources/ui/orvexe_layout.json
// and orvexc_layout.json).
// A command that works on one editing window (the channel window's row
// commands) names that window's bit: it is enabled only while that window is
// the active one, and its shortcuts are left to the window.
using MainCommand = std::function<void(CommandContext&)>;
struct RegisteredCommand {
  MainCommand command;
  std::uint8_t window = 0;
};
using MainCommands = std::map<QString, RegisteredCommand>;
void RegisterMainCommand(const QString& key, MainCommand command, std::uint8_t window = 0);
const MainCommands& RegisteredMainCommands();

struct MainCommandRegistration {
  MainCommandRegistration(const char* key, MainCommand command, std::uint8_t window = 0) {
    RegisterMainCommand(QString::fromLatin1(key), std::move(command), window);
  }
};

// The bits in the order windows are refreshed and stored.
inline constexpr WindowBit kWindowOrder[] = {kWinChannel,   kWinKey,   kWinSetting, kWinMsk,
                                             kWinScrambler, kWin2Tone, kWin5Tone};

}  // namespace orvex
