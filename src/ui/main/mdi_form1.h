#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "app/codeplug_session.h"
#include "core/app_state.h"
#include "core/edit_history.h"
#include "core/memory_image.h"
#include "link/link_trace.h"
#include "ui/main/command_layout.h"
#include "ui/main/editing_window.h"
#include "ui/main/prompter.h"
#include "ui/main/work_area.h"

class QAction;
class QActionGroup;
class QDockWidget;
class QMenu;
class QProgressBar;
class QStatusBar;
class QToolBar;
class QTranslator;

namespace orvex {

class CommandBar;
class DocumentController;
class FrameContext;
class FrmComPort;
class FrmTreeView;
class TransferController;
class WindowSet;

// The main window: menu bar and toolbar from the language's layout, the
// docked navigation tree "BandTree", the status strip "PicClone" with the
// progress bar "PrgClone", and the editing windows as MDI children.  It owns
// the codeplug session and the program state and runs start-up and shut-down;
// the command bar, the work area, the set of editing windows and the file
// commands are parts of their own, and windows and registered commands see it
// as a CommandContext.
//
// "Modified" means the image differs from what was last created, opened,
// saved or read from the radio: SaveAll stores the windows but does not move
// that baseline, and New, Open, Exit and the close box never drop changes
// without asking.  The title bar names the file and shows "*" while
// modified.  Every committed edit is a step of one undo history; undoing
// back to the saved image is not a change.
class MDIForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // `prompter` answers every question and runs every modal dialog; null
  // means the real boxes.  `windows` are the editing windows it can open.
  explicit MDIForm1(Prompter* prompter = nullptr, EditingWindowFactories windows = RegisteredEditingWindows(),
                    QWidget* parent = nullptr);
  ~MDIForm1() override;

  // Runs the command of a tool key ("miNew", "miRead", ...); unknown keys do
  // nothing.
  void Dispatch(const QString& key);

  // Layout of the current language, tree texts, then every open window in
  // bit order.
  void RefreshAll();
  // Every open window commits its open edit and stores, in bit order.
  void SaveAll();
  // Check marks and visibility of tree band, toolbar and status strip.
  void ApplyView();

  // Opens a codeplug file without the dialog (the command line, a recent
  // file, a dropped file).  Returns whether the image was replaced.
  bool OpenFilePath(const QString& path);
  // Asks about unsaved changes first (after storing every window), then
  // opens; false when the user stays or the file is refused.  A Read, the
  // backups and a dropped file open this way too.
  bool OpenFileAfterAsking(const QString& path);
  // Runs `edit` on the image as one undoable step, then shows the new values
  // in every open window.
  void EditImage(const StepName& name, const std::function<void(Image&)>& edit);
  // Every open window reloads its values from the image, keeping its place.
  void RefreshWindowValues();
  // Opens an editing window (creates it, adds its bit, shows it, brings it
  // to the front); a bit with no window does nothing.
  void OpenEditingWindow(WindowBit bit);
  // The hidden memory map editor (also reached by the gesture on PrgClone).
  void OpenMemoryMap();
  // A tree node as if clicked.
  void ClickNode(const QString& key);
  // F6: the focus from the tree to the active editing window and back.
  void SwitchPane();
  // The focus into the active editing window, where it last was there.
  void FocusWorkArea();
  // The port dialog for the current choice, with every slot probed.
  std::unique_ptr<FrmComPort> CreatePortDialog();

  // Every question and modal dialog goes through it.
  Prompter& prompter() { return *m_prompter; }
  RadioMemory& memory() { return m_memory; }
  AppState& state() { return m_state; }
  EditHistory& history() { return m_history; }
  // The codeplug being edited: the image, its history, its file.
  CodeplugSession& session() { return m_session; }
  // The file the codeplug came from or was saved to; empty for a new one or
  // one read from a radio.
  [[nodiscard]] QString documentPath() const;
  // The port of the Read the codeplug came from, until it is saved or
  // replaced; empty otherwise.
  [[nodiscard]] QString readPort() const;
  // The recent files, newest first.
  [[nodiscard]] QStringList recentFiles() const;
  // The editing window that is active, or null.
  [[nodiscard]] EditingWindow* activeEditingWindow() const;
  [[nodiscard]] EditingWindow* editingWindow(WindowBit bit) const;
  [[nodiscard]] QAction* tool(const QString& key) const;
  [[nodiscard]] QMenu* band(const QString& key) const;
  [[nodiscard]] FrmTreeView* treeView() const { return m_tree; }
  [[nodiscard]] QDockWidget* treeBand() const { return m_treeBand; }
  [[nodiscard]] QToolBar* toolBar() const { return m_toolBar; }
  [[nodiscard]] QStatusBar* statusStrip() const { return m_statusStrip; }
  [[nodiscard]] QProgressBar* progressBar() const { return m_progress; }
  [[nodiscard]] QMdiArea* mdiArea() const { return m_mdi; }
  [[nodiscard]] bool isTransferRunning() const;
  // The port a transfer opens: the typed device, else the slot's device.
  [[nodiscard]] QString PortName() const;

  // Every completed Read is kept here (the user's data folder unless set).
  [[nodiscard]] const std::filesystem::path& backupFolder() const { return m_backupFolder; }
  void setBackupFolder(std::filesystem::path folder) { m_backupFolder = std::move(folder); }
  // The frames and replies of the last Read or Write (with its verifying
  // Read and retries) or cable test.
  [[nodiscard]] LinkTrace& linkTrace() { return m_linkTrace; }
  // Serial devices seen at start-up, to tell which appeared since.
  [[nodiscard]] const std::vector<std::string>& portsAtStart() const { return m_portsAtStart; }
  [[nodiscard]] bool verifyAfterWrite() const { return m_verifyAfterWrite; }
  [[nodiscard]] bool backupBeforeWrite() const { return m_backupFirst; }

  // Every key the main window dispatches.
  static const QStringList& CommandKeys();

 signals:
  // A transfer's outcome has been shown and the windows refreshed.
  void transferEnded();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildWidgets(EditingWindowFactories windows);
  // Installs Qt's translation of its own texts for Chinese, removes it for
  // English.
  void ApplyQtTranslation();
  void StartUp();
  const CommandLayout& LayoutFor(int language);

  void SetLanguage(int language);
  void ToggleView(std::uint8_t bit);
  // Undo and Redo texts, the commands that follow the active window, the
  // title and its modified mark.
  void UpdateEditState();
  void ShowComPort();
  void ShowAbout();

  // After a transfer; a completed Read makes the image the new baseline.
  void FinishTransfer(bool refresh, bool newBaseline = false);
  void UpdateTransferTools();

  CodeplugSession m_session;
  // The session's image and history, as the windows and transfers use them.
  RadioMemory& m_memory = m_session.memory();
  AppState m_state;
  EditHistory& m_history = m_session.history();
  DocumentController* m_documents = nullptr;
  Prompter m_defaultPrompter;
  Prompter* m_prompter;
  std::unique_ptr<FrameContext> m_context;  // what the windows and commands see
  CommandBar* m_commandBar = nullptr;
  WindowSet* m_windowSet = nullptr;
  QActionGroup* m_languageGroup = nullptr;

  WorkArea* m_mdi = nullptr;
  QToolBar* m_toolBar = nullptr;
  QDockWidget* m_treeBand = nullptr;
  FrmTreeView* m_tree = nullptr;
  QStatusBar* m_statusStrip = nullptr;
  QProgressBar* m_progress = nullptr;

  LinkTrace m_linkTrace;
  bool m_verifyAfterWrite = true;
  bool m_backupFirst = false;
  std::filesystem::path m_backupFolder;
  std::vector<std::string> m_portsAtStart;
  std::unique_ptr<TransferController> m_transfers;  // Read, Write, verify and backups
  bool m_shutDown = false;
  std::unique_ptr<QTranslator> m_qtTranslator;  // Qt's own texts in Chinese
};

}  // namespace orvex
