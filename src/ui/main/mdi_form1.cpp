#include "ui/main/mdi_form1.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>
#include <QTreeWidget>
#include <QUrl>

#include "codeplug/backups.h"
#include "codeplug/file_io.h"
#include "core/preferences.h"
#include "core/strings.h"
#include "link/cable_doctor.h"
#include "link/serial_ports.h"
#include "model/channels/step_names.h"
#include "ui/main/accessibility.h"
#include "ui/main/frm_about.h"
#include "ui/main/frm_com_port.h"
#include "ui/main/frm_tree_view.h"
#include "ui/main/transfer_controller.h"
#include "ui/main/twips.h"
#include "ui/main/ui_text.h"
#include "ui/memorymap/frm_memory_map.h"

// Resources of a static library are registered by name from outside any
// namespace.
static void InitUiResources() { Q_INIT_RESOURCE(ui); }

namespace orvex {

namespace {

// Width of the tree band: 4000 twips (1/1440 inch).
constexpr int kTreeBandTwips = 4000;

// Messages the main window shows (string table numbers).
constexpr int kAlertTitle = 1039;
constexpr int kFileModified = 10000;
constexpr int kIncorrectFile = 10001;
constexpr int kDataCleared = 10002;
constexpr int kUndoText = 1620, kRedoText = 1621, kMemoryMapStep = 1650, kFileGone = 10126;
constexpr int kRecentFileCount = 8;
constexpr int kRadioOnPort = 1894;
constexpr int kTransferProgress = 1791;

// Tree node keys and menu keys of the editing windows.
struct WindowKeys {
  const char* node;
  const char* command;
  WindowBit bit;
};
constexpr WindowKeys kWindowKeys[] = {
    {"Item1", "miChannel", kWinChannel}, {"Item2", "miCommonSet", kWinSetting}, {"Item3", "miKeySet", kWinKey},
    {"Item5", "miMSK", kWinMsk},         {"Item6", "mi2Tone", kWin2Tone},       {"Item7", "mi5Tone", kWin5Tone},
    {"Item8", "miScr", kWinScrambler},
};

// A dock whose own close control reports itself, so the view flag follows.
class TreeBand : public QDockWidget {
 public:
  using QDockWidget::QDockWidget;
  std::function<void()> onUserClose;

 protected:
  void closeEvent(QCloseEvent* event) override {
    QDockWidget::closeEvent(event);
    if (onUserClose) onUserClose();
  }
};

QIcon ToolIcon(const QString& name, const QStyle* style) {
  if (name == QLatin1String("new")) return style->standardIcon(QStyle::SP_FileIcon);
  if (name == QLatin1String("open")) return style->standardIcon(QStyle::SP_DialogOpenButton);
  if (name == QLatin1String("save")) return style->standardIcon(QStyle::SP_DialogSaveButton);
  if (name == QLatin1String("about")) return style->standardIcon(QStyle::SP_MessageBoxInformation);
  if (name == QLatin1String("undo")) return QIcon::fromTheme("edit-undo", style->standardIcon(QStyle::SP_ArrowBack));
  if (name == QLatin1String("redo")) return QIcon::fromTheme("edit-redo", style->standardIcon(QStyle::SP_ArrowForward));
  if (name.isEmpty()) return {};
  return QIcon(QStringLiteral(":/ui/%1.png").arg(name));
}

char DecimalSeparator() {
  const QString separator = QLocale::system().decimalPoint();
  return separator.isEmpty() ? '.' : separator[0].toLatin1();
}

}  // namespace

const QStringList& MDIForm1::CommandKeys() {
  static const QStringList keys = {
      "miNew",         "miOpen",    "miSave",    "miPrint",   "miExit",       "miChannel",       "miCommonSet",
      "miKeySet",      "miSignal",  "miMSK",     "mi2Tone",   "mi5Tone",      "miScr",           "miRead",
      "miWrite",       "miComPort", "miEnglish", "miChinese", "miTreeView",   "miToolBar",       "miStatusBar",
      "miCascade",     "miTileH",   "miTileV",   "miArrange", "miCloseAll",   "miAbout",         "miVerifyWrite",
      "miBackupFirst", "miSaveAs",  "miUndo",    "miRedo",    "miNextWindow", "miPreviousWindow"};
  return keys;
}

MDIForm1::MDIForm1(Prompter* prompter, EditingWindowFactories windows, QWidget* parent)
    : QMainWindow(parent),
      m_prompter(prompter != nullptr ? prompter : &m_defaultPrompter),
      m_factories(std::move(windows)) {
  InitUiResources();
  BuildWidgets();
  StartUp();
}

MDIForm1::~MDIForm1() {
  // A transfer still running must not report into a half-destroyed window,
  // nor windows closing after the members are gone.
  m_transfers->Stop();
  m_mdi->disconnect(this);
  m_history.SetListener({});
  // The windows record into the history: they go while it still lives.
  qDeleteAll(m_mdi->subWindowList());
}

void MDIForm1::BuildWidgets() {
  setObjectName("MDIForm1");
  setWindowIcon(QIcon(QStringLiteral(":/ui/orvex.png")));
  setContextMenuPolicy(Qt::NoContextMenu);  // bands are shown and hidden by the View menu only
  setAcceptDrops(true);

  m_mdi = new QMdiArea(this);
  m_mdi->setObjectName("MDIClient");
  m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(m_mdi);
  connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { UpdateEditState(); });

  m_toolBar = new QToolBar(this);
  m_toolBar->setObjectName("ToolBar");
  m_toolBar->setMovable(false);
  m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  m_toolBar->setIconSize(QSize(24, 24));
  addToolBar(Qt::TopToolBarArea, m_toolBar);

  auto* band = new TreeBand(this);
  band->setObjectName("BandTree");
  band->setFeatures(QDockWidget::DockWidgetClosable);
  band->setAllowedAreas(Qt::LeftDockWidgetArea);
  band->onUserClose = [this] {
    m_state.viewFlags &= static_cast<std::uint8_t>(~kViewTree);
    tool("miTreeView")->setChecked(false);
  };
  m_treeBand = band;
  addDockWidget(Qt::LeftDockWidgetArea, m_treeBand);

  m_statusStrip = new QStatusBar(this);
  m_statusStrip->setObjectName("PicClone");
  m_statusStrip->setSizeGripEnabled(false);
  m_progress = new QProgressBar(m_statusStrip);
  m_progress->setObjectName("PrgClone");
  m_progress->setTextVisible(false);
  m_progress->setAccessibleName(UiText(kTransferProgress, m_state.language));
  m_progress->setMaximumHeight(16);
  m_progress->installEventFilter(this);
  m_statusStrip->addWidget(m_progress, 1);  // spans the whole strip
  setStatusBar(m_statusStrip);
  // A status message is drawn, not a control: screen readers get it as the
  // strip's name and as an announcement.
  connect(m_statusStrip, &QStatusBar::messageChanged, this, [this](const QString& message) {
    m_statusStrip->setAccessibleName(message);
    Announce(m_statusStrip, message);
  });

  new ScreenReaderSupport(this);
  // F6 moves between the tree and the work area, in both directions.
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)})
    connect(new QShortcut(keys, this), &QShortcut::activated, this, &MDIForm1::SwitchPane);
  // The memory map's hidden gesture has a keyboard twin for those who cannot
  // use a mouse: Ctrl+Shift+Alt+M.
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::ALT | Qt::Key_M), this), &QShortcut::activated, this,
          &MDIForm1::OpenMemoryMap);

  m_languageGroup = new QActionGroup(this);
  m_languageGroup->setExclusive(true);
  for (const QString& key : CommandKeys()) AddTool(key);
  m_languageGroup->addAction(tool("miEnglish"));
  m_languageGroup->addAction(tool("miChinese"));
  for (int i = 0; i < kRecentFileCount; ++i) {
    auto* action = new QAction(this);
    action->setObjectName(QStringLiteral("miRecent%1").arg(i + 1));
    connect(action, &QAction::triggered, this, [this, i] { OpenRecentFile(i); });
    m_recentActions << action;
  }
  m_history.SetListener([this] { UpdateEditState(); });

  m_commands = {
      {"miNew", [this] { NewFile(); }},
      {"miOpen", [this] { OpenFile(); }},
      {"miSave", [this] { SaveFile(); }},
      {"miSaveAs", [this] { SaveFileAsCommand(); }},
      {"miUndo", [this] { Undo(false); }},
      {"miRedo", [this] { Undo(true); }},
      {"miNextWindow", [this] { m_mdi->activateNextSubWindow(); }},
      {"miPreviousWindow", [this] { m_mdi->activatePreviousSubWindow(); }},
      // The close handler stores every window before it checks for changes.
      {"miExit", [this] { close(); }},
      {"miRead",
       [this] {
         if (isTransferRunning()) return;
         // A Read replaces the codeplug: unsaved edits are offered a save first.
         SaveAll();
         if (!ConfirmModified()) return;
         m_transfers->Read();
       }},
      {"miWrite",
       [this] {
         if (isTransferRunning()) return;
         SaveAll();
         m_transfers->Write();
       }},
      {"miVerifyWrite",
       [this] {
         m_verifyAfterWrite = tool("miVerifyWrite")->isChecked();
         WriteVerifyAfterWrite(m_verifyAfterWrite);
       }},
      {"miBackupFirst",
       [this] {
         m_backupFirst = tool("miBackupFirst")->isChecked();
         WriteBackupBeforeWrite(m_backupFirst);
       }},
      {"miComPort", [this] { ShowComPort(); }},
      {"miEnglish", [this] { SetLanguage(kEnglish); }},
      {"miChinese", [this] { SetLanguage(kChinese); }},
      {"miTreeView", [this] { ToggleView(kViewTree); }},
      {"miToolBar", [this] { ToggleView(kViewToolBar); }},
      {"miStatusBar", [this] { ToggleView(kViewStatusBar); }},
      {"miCascade", [this] { CascadeWindows(); }},
      {"miTileH", [this] { TileWindows(Qt::Vertical); }},
      {"miTileV", [this] { TileWindows(Qt::Horizontal); }},
      {"miArrange", [this] { ArrangeIcons(); }},
      {"miCloseAll", [this] { CloseAll(); }},
      {"miAbout", [this] { ShowAbout(); }},
  };
  for (const WindowKeys& keys : kWindowKeys) {
    const WindowBit bit = keys.bit;
    m_commands[QString::fromLatin1(keys.command)] = [this, bit] { OpenEditingWindow(bit); };
  }
  // Commands window libraries add or take over (the channel window's print).
  for (const auto& [key, registered] : RegisteredMainCommands()) {
    m_commands[key] = [this, command = registered.command] { command(*this, *m_prompter); };
    AddTool(key);
  }

  m_transfers = std::make_unique<TransferController>(TransferContext{
      this, *m_prompter, m_memory, m_state, m_progress, m_linkTrace, [this] { return PortName(); },
      [this] { return m_backupFolder; }, [this] { return m_verifyAfterWrite; }, [this] { return m_backupFirst; }});
  connect(m_transfers.get(), &TransferController::runningChanged, this, &MDIForm1::UpdateTransferTools);
  connect(m_transfers.get(), &TransferController::ended, this, &MDIForm1::FinishTransfer);
}

void MDIForm1::StartUp() {
  setWindowTitle(kProgramTitle);
  m_recent = ReadRecentFiles();
  m_backupFolder = DefaultBackupFolder();
  m_verifyAfterWrite = ReadVerifyAfterWrite();
  m_backupFirst = ReadBackupBeforeWrite();
  m_portsAtStart = SerialDevicesNow();
  const int stored = ReadLanguagePreference();
  orvex::StartUp(m_state, m_memory, std::to_string(stored), QCoreApplication::applicationDirPath().toStdString(),
                 DecimalSeparator());

  m_tree = new FrmTreeView(m_state.language, m_treeBand);
  m_treeBand->setWidget(m_tree);
  connect(m_tree, &FrmTreeView::nodeClicked, this, &MDIForm1::ClickNode);
  // From the keyboard the focus follows into the window opened.
  connect(m_tree, &FrmTreeView::nodeEntered, this, [this](const QString& key) {
    ClickNode(key);
    if (key != QLatin1String("Root")) FocusWorkArea();
  });

  RefreshAll();
  m_progress->setValue(0);

  // The optional features window exists hidden from the start and counts as
  // open until the user first closes it.
  if (const auto factory = m_factories.find(kWinSetting); factory != m_factories.end()) {
    EditingWindow* window = factory->second(EditingContext{m_memory, m_state, &m_history});
    m_windows[kWinSetting] = window;
    AdoptWindow(window);
    const EditHistory::Quiet quiet(m_history);
    window->Refresh();
    window->hide();
    m_state.openWindows |= kWinSetting;
  }
  OpenEditingWindow(kWinChannel);
}

const CommandLayout& MDIForm1::LayoutFor(int language) {
  auto it = m_layouts.find(language);
  if (it == m_layouts.end()) {
    it = m_layouts.emplace(language, LoadCommandLayout(CommandLayoutPath(language)).value_or(CommandLayout{})).first;
  }
  return it->second;
}

QAction* MDIForm1::AddTool(const QString& key) {
  if (QAction* existing = tool(key)) return existing;
  auto* action = new QAction(this);
  action->setObjectName(key);
  connect(action, &QAction::triggered, this, [this, key] { Dispatch(key); });
  m_tools[key] = action;
  return action;
}

void MDIForm1::LoadCommandBar(const CommandLayout& layout) {
  for (const auto& [key, toolLayout] : layout.tools) AddTool(key);
  for (const auto& [key, action] : m_tools) {
    const ToolLayout* toolLayout = layout.tool(key);
    if (toolLayout == nullptr) continue;
    action->setText(toolLayout->caption);
    action->setIconText(toolLayout->toolbarCaption.isEmpty() ? QString(toolLayout->caption).remove('&')
                                                             : toolLayout->toolbarCaption);
    // "Ctrl+F6; Ctrl+Tab": more than one key for a command.
    action->setShortcuts(QKeySequence::listFromString(toolLayout->shortcut));
    // A window's own commands (Copy on the channel grid) take their keys
    // only there, so the same keys keep working in every other field.
    const auto registered = RegisteredMainCommands().find(key);
    const bool windowOwned = registered != RegisteredMainCommands().end() && registered->second.window != 0;
    action->setShortcutContext(windowOwned ? Qt::WidgetShortcut : Qt::WindowShortcut);
    action->setIcon(ToolIcon(toolLayout->icon, style()));
    action->setCheckable(toolLayout->checkable);
  }

  // The menus stay the same objects and only take the new captions and
  // items: the menu whose item ran this command (Alt+L, C) is still inside
  // its key or mouse handler, and may be running a dialog from there while
  // a transfer's end refreshes everything.
  QList<QMenu*> bands;
  menuBar()->clear();
  m_toolBar->clear();
  for (const BandLayout& band : layout.bands) {
    if (band.kind == QLatin1String("menu")) {
      QMenu* menu = this->band(band.key);
      if (menu == nullptr) {
        menu = new QMenu(menuBar());
        menu->setObjectName(band.key);
        if (band.key == QLatin1String("miWindow"))
          connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillWindowMenu(menu); });
      }
      menu->setTitle(band.caption);
      menu->clear();
      for (const QString& key : band.tools) {
        if (key == QLatin1String("-")) {
          menu->addSeparator();
        } else if (key == QLatin1String("miRecentFiles")) {
          menu->addActions(m_recentActions);
        } else if (QAction* action = tool(key)) {
          menu->addAction(action);
        }
      }
      menuBar()->addMenu(menu);
      bands << menu;
    } else if (band.kind == QLatin1String("toolbar")) {
      m_toolBar->setWindowTitle(band.caption);
      for (const QString& key : band.tools) {
        if (key == QLatin1String("-")) {
          m_toolBar->addSeparator();
        } else if (QAction* action = tool(key)) {
          m_toolBar->addAction(action);
        }
      }
    } else if (band.kind == QLatin1String("dock")) {
      m_treeBand->setWindowTitle(band.caption);
      m_tree->tree()->setAccessibleName(band.caption);
    }
    // The layout's "StatusBar" band stays hidden: PicClone is the strip.
  }
  // A band the new layout lacks stays, hidden, until the window goes.
  for (QMenu* menu : std::as_const(m_bands))
    if (!bands.contains(menu)) menu->hide();
  m_bands = bands;
}

void MDIForm1::ApplyQtTranslation() {
  // Qt's own texts (message box buttons, file and print dialogs) follow the
  // program's language; without Qt's translation a Chinese user would meet
  // "Yes", "No" and "Cancel" in every question.
  const bool chinese = m_state.language == kChinese;
  if (chinese == (m_qtTranslator != nullptr)) return;
  if (!chinese) {
    QCoreApplication::removeTranslator(m_qtTranslator.get());
    m_qtTranslator.reset();
    return;
  }
  auto translator = std::make_unique<QTranslator>();
  if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator.get());
    m_qtTranslator = std::move(translator);
  }
}

void MDIForm1::RefreshAll() {
  // What a window rewrites while it reloads is no edit of the user's.
  const EditHistory::Quiet quiet(m_history);
  ApplyQtTranslation();
  LoadCommandBar(LayoutFor(m_state.language));
  tool("miEnglish")->setChecked(m_state.language == kEnglish);
  tool("miChinese")->setChecked(m_state.language == kChinese);
  tool("miVerifyWrite")->setCheckable(true);
  tool("miVerifyWrite")->setChecked(m_verifyAfterWrite);
  tool("miBackupFirst")->setCheckable(true);
  tool("miBackupFirst")->setChecked(m_backupFirst);
  const int bandWidth = TwipsToPixelsX(*this, kTreeBandTwips);
  resizeDocks({m_treeBand}, {bandWidth}, Qt::Horizontal);
  ApplyView();
  m_tree->RefreshFace(m_state.language);
  for (const WindowBit bit : kWindowOrder) {
    if ((m_state.openWindows & bit) == 0) continue;
    if (EditingWindow* window = editingWindow(bit)) window->Refresh();
  }
  UpdateRecentFiles();
  UpdateEditState();
  m_progress->setAccessibleName(UiText(kTransferProgress, m_state.language));
  NameControls(this);
}

void MDIForm1::RefreshWindowValues() {
  const EditHistory::Quiet quiet(m_history);
  for (const WindowBit bit : kWindowOrder) {
    if ((m_state.openWindows & bit) == 0) continue;
    if (EditingWindow* window = editingWindow(bit)) window->RefreshValues();
  }
  UpdateEditState();
}

void MDIForm1::EditImage(const StepName& name, const std::function<void(Image&)>& edit) {
  m_history.Change(m_memory.image(), name, edit);
  RefreshWindowValues();
}

void MDIForm1::Undo(bool redo) {
  const bool moved = redo ? m_history.Redo(m_memory.image()) : m_history.Undo(m_memory.image());
  if (moved) RefreshWindowValues();
}

void MDIForm1::UpdateEditState() {
  const int language = m_state.language;
  const CommandLayout& layout = LayoutFor(language);
  const auto name = [&](const QString& key, int pattern, const std::string& step) {
    QAction* action = tool(key);
    const ToolLayout* caption = layout.tool(key);
    const QString text = step.empty() ? (caption ? caption->caption : QString())
                                      : UiText(pattern, language).arg(QString::fromStdString(step));
    action->setText(text);
    action->setToolTip(QString(text).remove(QLatin1Char('&')));
  };
  name(QStringLiteral("miUndo"), kUndoText, m_history.UndoName(language));
  name(QStringLiteral("miRedo"), kRedoText, m_history.RedoName(language));
  tool("miUndo")->setEnabled(m_history.CanUndo());
  tool("miRedo")->setEnabled(m_history.CanRedo());

  const EditingWindow* active = activeEditingWindow();
  for (const auto& [key, registered] : RegisteredMainCommands()) {
    if (registered.window == 0) continue;
    if (QAction* action = tool(key)) action->setEnabled(active != nullptr && active->bit() == registered.window);
  }

  QString file =
      m_documentPath.isEmpty() ? QString::fromLatin1(kDefaultFileName.data()) : QFileInfo(m_documentPath).fileName();
  if (m_documentPath.isEmpty() && !m_readPort.isEmpty())
    file = UiText(kRadioOnPort, language).arg(QString::fromStdString(RadioModelName()), m_readPort);
  setWindowTitle(QStringLiteral("%1 - %2 [*]").arg(QLatin1String(kProgramTitle), file));
  setWindowModified(m_memory.IsModified());
}

EditingWindow* MDIForm1::activeEditingWindow() const { return qobject_cast<EditingWindow*>(m_mdi->activeSubWindow()); }

void MDIForm1::SaveAll() {
  for (const WindowBit bit : kWindowOrder) {
    if ((m_state.openWindows & bit) == 0) continue;
    if (EditingWindow* window = editingWindow(bit)) {
      window->CommitEdit();
      window->Store();
    }
  }
}

void MDIForm1::ApplyView() {
  const std::uint8_t flags = m_state.viewFlags;
  tool("miTreeView")->setChecked((flags & kViewTree) != 0);
  tool("miToolBar")->setChecked((flags & kViewToolBar) != 0);
  tool("miStatusBar")->setChecked((flags & kViewStatusBar) != 0);
  m_treeBand->setVisible((flags & kViewTree) != 0);
  m_toolBar->setVisible((flags & kViewToolBar) != 0);
  m_statusStrip->setVisible((flags & kViewStatusBar) != 0);
  // The program has no DTMF window.
  tool("miSignal")->setEnabled(false);
}

void MDIForm1::Dispatch(const QString& key) {
  const auto it = m_commands.find(key);
  if (it == m_commands.end()) return;
  it->second();
  // A command may have stored windows or replaced the image.
  if (!m_shutDown) UpdateEditState();
}

EditingWindow* MDIForm1::editingWindow(WindowBit bit) const {
  const auto it = m_windows.find(bit);
  return it == m_windows.end() ? nullptr : it->second.data();
}

QAction* MDIForm1::tool(const QString& key) const {
  const auto it = m_tools.find(key);
  return it == m_tools.end() ? nullptr : it->second;
}

QMenu* MDIForm1::band(const QString& key) const {
  for (QMenu* menu : m_bands) {
    if (menu->objectName() == key) return menu;
  }
  return nullptr;
}

void MDIForm1::AdoptWindow(EditingWindow* window) {
  m_mdi->addSubWindow(window);
  window->installEventFilter(this);  // its hiding may leave an empty work area
  // What a window replaced while committing an edit stays readable a while.
  constexpr int kNoteMs = 10000;
  connect(window, &EditingWindow::noted, this,
          [this](const QString& note) { m_statusStrip->showMessage(note, kNoteMs); });
}

void MDIForm1::OpenEditingWindow(WindowBit bit) {
  QPointer<EditingWindow>& window = m_windows[bit];
  bool created = false;
  if (window.isNull()) {
    const auto factory = m_factories.find(bit);
    if (factory == m_factories.end()) return;
    window = factory->second(EditingContext{m_memory, m_state, &m_history});
    AdoptWindow(window);
    const EditHistory::Quiet quiet(m_history);
    window->Refresh();
    created = true;
  }
  m_state.openWindows |= bit;
  if (!created && window->refreshesOnOpen()) {
    const EditHistory::Quiet quiet(m_history);
    window->Refresh();
  }
  const bool wasVisible = window->isVisible();
  window->show();
  if (!wasVisible) KeepInView(window);
  m_mdi->setActiveSubWindow(window);
  window->raise();
}

void MDIForm1::ClickNode(const QString& key) {
  SaveAll();
  for (const WindowKeys& keys : kWindowKeys) {
    if (key == QLatin1String(keys.node)) OpenEditingWindow(keys.bit);
  }
}

// --- files -------------------------------------------------------------------

bool MDIForm1::ConfirmModified() {
  if (!m_memory.IsModified()) return true;
  const auto answer =
      m_prompter->ask(this, QMessageBox::Warning, kProgramTitle, UiText(kFileModified, m_state.language),
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (answer == QMessageBox::Yes) return SaveDocument();
  return answer == QMessageBox::No;
}

bool MDIForm1::WriteTo(const QString& path) {
  m_state.fileName = path.toStdString();
  const Status written = WriteCodeplugFile(LocalPath(path), m_memory.image());
  if (!written) {
    m_prompter->tell(this, QMessageBox::Warning, kProgramTitle, QString::fromStdString(written.error()));
    return false;
  }
  m_documentPath = path;
  RememberFile(path);
  NewBaseline(false);
  return true;
}

bool MDIForm1::SaveFileAs() {
  const QString path =
      m_prompter->saveFileName(this, QString::fromStdString(m_state.fileName), DialogFilter(kFileFilter));
  if (path.isEmpty()) return false;
  return WriteTo(path);
}

bool MDIForm1::SaveDocument() { return m_documentPath.isEmpty() ? SaveFileAs() : WriteTo(m_documentPath); }

bool MDIForm1::OpenFilePath(const QString& path) {
  const Result<ParsedCodeplug> parsed = ReadCodeplugFile(LocalPath(path));
  if (!parsed) {
    m_prompter->tell(this, QMessageBox::Warning, kProgramTitle, QString::fromStdString(parsed.error()));
    return false;
  }
  if (parsed->check == CodeplugCheck::Empty) return false;
  if (parsed->check != CodeplugCheck::Ok) {
    const std::string_view title = CheckTitle(parsed->check);
    m_prompter->tell(this, QMessageBox::Critical, QString::fromUtf8(title.data(), qsizetype(title.size())),
                     UiText(kIncorrectFile, m_state.language));
    return false;
  }
  LoadParsedCodeplug(m_memory, *parsed);
  // Save writes back to the file the codeplug came from.
  const QString absolute = QFileInfo(path).absoluteFilePath();
  m_documentPath = absolute;
  m_state.fileName = absolute.toStdString();
  RememberFile(absolute);
  RefreshAll();
  // A window's refresh may bring an out-of-range value into range; that is
  // the program's doing, not an unsaved change of the user's.
  NewBaseline(true);
  return true;
}

bool MDIForm1::OpenFileAfterAsking(const QString& path) {
  // Buffered edits count as changes before the question.
  SaveAll();
  if (!ConfirmModified()) return false;
  return OpenFilePath(path);
}

void MDIForm1::NewBaseline(bool freshHistory) {
  m_readPort.clear();
  m_memory.SaveSnapshot();
  if (freshHistory)
    m_history.Clear();
  else
    m_history.Seal();  // a change after the save is a step of its own
  UpdateEditState();
}

void MDIForm1::NewFile() {
  const auto answer = m_prompter->ask(this, QMessageBox::Warning, UiText(kAlertTitle, m_state.language),
                                      UiText(kDataCleared, m_state.language), QMessageBox::Ok | QMessageBox::Cancel,
                                      QMessageBox::Cancel);
  if (answer != QMessageBox::Ok) return;
  InitMemory(m_memory);
  // A new codeplug has no file yet: Save asks, proposing "Untitled.tw" in
  // the folder of the last one rather than the last one's name.
  if (!m_documentPath.isEmpty())
    m_state.fileName =
        QFileInfo(m_documentPath).dir().filePath(QString::fromLatin1(kDefaultFileName.data())).toStdString();
  m_documentPath.clear();
  RefreshAll();
  NewBaseline(true);
}

void MDIForm1::OpenFile() {
  // Buffered edits count as changes before the question.
  SaveAll();
  if (!ConfirmModified()) return;
  const QString path = m_prompter->openFileName(this, DialogFilter(kFileFilter));
  if (path.isEmpty()) return;
  OpenFilePath(path);
}

bool MDIForm1::OpenFileAsked(const QString& path) {
  SaveAll();
  if (!ConfirmModified()) return false;
  return OpenFilePath(path);
}

void MDIForm1::SaveFile() {
  SaveAll();
  SaveDocument();
}

void MDIForm1::SaveFileAsCommand() {
  SaveAll();
  SaveFileAs();
}

// --- recent files ----------------------------------------------------------------

QStringList MDIForm1::recentFiles() const {
  QStringList paths;
  for (const std::string& path : m_recent) paths << QString::fromStdString(path);
  return paths;
}

void MDIForm1::RememberFile(const QString& path) {
  m_recent = WithRecentFile(m_recent, QFileInfo(path).absoluteFilePath().toStdString(), kRecentFileCount);
  WriteRecentFiles(m_recent);
  UpdateRecentFiles();
}

void MDIForm1::UpdateRecentFiles() {
  for (int i = 0; i < m_recentActions.size(); ++i) {
    QAction* action = m_recentActions[i];
    const bool used = i < static_cast<int>(m_recent.size());
    action->setVisible(used);
    if (!used) continue;
    const QString path = QString::fromStdString(m_recent[static_cast<std::size_t>(i)]);
    action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
    action->setToolTip(path);
    action->setStatusTip(path);
  }
}

void MDIForm1::OpenRecentFile(int index) {
  if (index < 0 || index >= static_cast<int>(m_recent.size())) return;
  const QString path = QString::fromStdString(m_recent[static_cast<std::size_t>(index)]);
  if (!QFileInfo::exists(path)) {
    m_prompter->tell(this, QMessageBox::Warning, kProgramTitle, UiText(kFileGone, m_state.language).arg(path));
    m_recent.erase(m_recent.begin() + index);
    WriteRecentFiles(m_recent);
    UpdateRecentFiles();
    return;
  }
  OpenFileAfterAsking(path);
}

// --- language and view ---------------------------------------------------------

void MDIForm1::SetLanguage(int language) {
  SaveAll();
  if (m_state.language != language) {
    m_state.language = language;
    RefreshAll();
    ReannounceFocus();
  }
  tool("miEnglish")->setChecked(m_state.language == kEnglish);
  tool("miChinese")->setChecked(m_state.language == kChinese);
}

void MDIForm1::SwitchPane() {
  QWidget* focus = QApplication::focusWidget();
  const bool inTree = focus != nullptr && m_treeBand->isAncestorOf(focus);
  if (!inTree && m_treeBand->isVisible()) {
    m_tree->tree()->setFocus(Qt::ShortcutFocusReason);
    return;
  }
  FocusWorkArea();
}

void MDIForm1::FocusWorkArea() {
  QMdiSubWindow* window = m_mdi->activeSubWindow();
  if (window == nullptr || !window->isVisible()) {
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.rbegin(); it != windows.rend() && window == nullptr; ++it) {
      if ((*it)->isVisible()) window = *it;
    }
  }
  if (window == nullptr) return;
  m_mdi->setActiveSubWindow(window);
  // Back to the control that had the focus there, else its first one.
  QWidget* content = window->widget();
  if (content == nullptr) return;
  QWidget* target = content->focusWidget();
  if (target != nullptr && !target->isVisible()) target = nullptr;
  for (QWidget* w = content; target == nullptr; w = w->nextInFocusChain()) {
    if (content->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) target = w;
    if (w->nextInFocusChain() == content) break;
  }
  (target != nullptr ? target : content)->setFocus(Qt::ShortcutFocusReason);
}

void MDIForm1::ToggleView(std::uint8_t bit) {
  m_state.viewFlags ^= bit;
  ApplyView();
}

// --- windows -------------------------------------------------------------------

void MDIForm1::CloseAll() {
  if ((m_state.openWindows & kWinChannel) != 0) {
    if (EditingWindow* channel = editingWindow(kWinChannel)) {
      channel->CommitEdit();
      channel->Store();
    }
  }
  for (const WindowBit bit : kWindowOrder) {
    if ((m_state.openWindows & bit) == 0) continue;
    if (EditingWindow* window = editingWindow(bit)) window->close();
  }
  m_state.openWindows = 0;
}

namespace {

// The windows Cascade and Tile arrange: shown and not minimised.
QList<QMdiSubWindow*> ArrangedWindows(QMdiArea* area) {
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* window : area->subWindowList(QMdiArea::CreationOrder)) {
    if (!window->isVisible() || window->isMinimized()) continue;
    if (window->isMaximized()) window->showNormal();
    windows << window;
  }
  return windows;
}

// A window never smaller than its contents need: a smaller one would cut
// controls off.  The work area scrolls instead.
QSize Usable(const QMdiSubWindow* window, QSize size) {
  return size.expandedTo(window->minimumSizeHint()).expandedTo(window->minimumSize());
}

}  // namespace

void MDIForm1::CascadeWindows() {
  const QList<QMdiSubWindow*> windows = ArrangedWindows(m_mdi);
  const QRect area = m_mdi->viewport()->rect();
  // Each window one title bar lower and further right, at its own size as
  // far as the area allows.
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    const QPoint at(i * step, i * step);
    const QSize room(std::max(area.width() - at.x(), 0), std::max(area.height() - at.y(), 0));
    window->setGeometry(QRect(at, Usable(window, window->size().boundedTo(room))));
    window->raise();
  }
  if (!windows.isEmpty()) m_mdi->setActiveSubWindow(windows.last());
}

void MDIForm1::TileWindows(Qt::Orientation orientation) {
  const QList<QMdiSubWindow*> windows = ArrangedWindows(m_mdi);
  if (windows.isEmpty()) return;
  const QRect area = m_mdi->viewport()->rect();
  const int count = static_cast<int>(windows.size());
  int offset = 0;
  for (QMdiSubWindow* window : windows) {
    if (orientation == Qt::Vertical) {  // one above another, full width
      const QSize size = Usable(window, QSize(area.width(), area.height() / count));
      window->setGeometry(0, offset, size.width(), size.height());
      offset += size.height();
    } else {  // side by side, full height
      const QSize size = Usable(window, QSize(area.width() / count, area.height()));
      window->setGeometry(offset, 0, size.width(), size.height());
      offset += size.width();
    }
  }
}

void MDIForm1::FillWindowMenu(QMenu* menu) {
  // The entries after the last separator are the window list of the last
  // opening.
  for (QAction* action : menu->actions()) {
    if (action->property("windowEntry").toBool()) {
      menu->removeAction(action);
      action->deleteLater();
    }
  }
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* window : m_mdi->subWindowList(QMdiArea::CreationOrder))
    if (window->isVisible()) windows << window;
  if (windows.isEmpty()) return;
  const auto addEntry = [menu](QAction* action) {
    action->setProperty("windowEntry", true);
    menu->addAction(action);
  };
  addEntry(new QAction(menu));
  menu->actions().last()->setSeparator(true);
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    const QString title = window->windowTitle();
    auto* action = new QAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : title, menu);
    action->setCheckable(true);
    action->setChecked(window == m_mdi->activeSubWindow());
    connect(action, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(window)] {
      if (window.isNull()) return;
      if (window->isMinimized()) window->showNormal();
      m_mdi->setActiveSubWindow(window);
    });
    addEntry(action);
  }
}

void MDIForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (m_placedWindows) return;
  // The windows opened at start-up, before the work area had its size.
  m_placedWindows = true;
  if (QLayout* layout = this->layout()) layout->activate();
  for (QMdiSubWindow* window : m_mdi->subWindowList())
    if (window->isVisible()) KeepInView(window);
}

void MDIForm1::ClearEmptyScrollRange() {
  // The work area keeps the scroll range of the last window it scrolled to
  // after that window is closed; with nothing shown there is nothing to
  // scroll to.
  for (QMdiSubWindow* window : m_mdi->subWindowList())
    if (window->isVisible()) return;
  m_mdi->horizontalScrollBar()->setRange(0, 0);
  m_mdi->verticalScrollBar()->setRange(0, 0);
}

void MDIForm1::KeepInView(QMdiSubWindow* window) {
  if (!isVisible()) return;  // placed when the main window is first shown
  // Captions set before showing (another language's are often longer) grow
  // the window only once its layouts run; measure it as it will stand.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  QSize room = m_mdi->viewport()->size();
  const QSize need = Usable(window, window->size());
  if ((need.width() > room.width() || need.height() > room.height()) && !isMaximized() && !isFullScreen()) {
    // Grow the main window by what is missing, as far as the screen allows.
    const QScreen* screen = this->screen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    const QSize extra = frameGeometry().size() - size();
    QSize grown = size() + QSize(std::max(0, need.width() - room.width()), std::max(0, need.height() - room.height()));
    if (available.isValid()) grown = grown.boundedTo(available.size() - extra);
    if (grown != size()) {
      resize(grown);
      if (available.isValid()) {
        // Keep the grown frame on the screen.
        QRect frame(frameGeometry().topLeft(), grown + extra);
        frame.moveRight(std::min(frame.right(), available.right()));
        frame.moveBottom(std::min(frame.bottom(), available.bottom()));
        frame.moveLeft(std::max(frame.left(), available.left()));
        frame.moveTop(std::max(frame.top(), available.top()));
        move(frame.topLeft());
      }
      // The work area takes its new size now, not at the next event.
      if (QLayout* layout = this->layout()) layout->activate();
      room = m_mdi->viewport()->size();
    }
  }
  // Still too large: as small as its contents allow; the area scrolls for
  // the rest.
  window->resize(Usable(window, need.boundedTo(room)));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  // A move can take away the scroll range of the work area, which then
  // scrolls back and shifts the window again: move until it stays.
  constexpr int kPlacings = 3;
  for (int i = 0; i < kPlacings; ++i) {
    room = m_mdi->viewport()->size();
    const QPoint inside(std::max(0, std::min(window->x(), room.width() - window->width())),
                        std::max(0, std::min(window->y(), room.height() - window->height())));
    if (inside == window->pos()) break;
    window->move(inside);
  }
}

void MDIForm1::ArrangeIcons() {
  const QRect area = m_mdi->viewport()->rect();
  int x = 0;
  for (QMdiSubWindow* window : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
    if (!window->isVisible() || !window->isMinimized()) continue;
    window->move(x, area.height() - window->height());
    x += window->width();
  }
}

void MDIForm1::OpenMemoryMap() {
  // The map shows what the windows hold, and the windows show what the map
  // wrote, so an open window never overwrites the map's bytes later.
  SaveAll();
  const Image before = m_memory.image();
  FrmMemoryMap dialog(m_memory, this);
  if (m_prompter->exec(dialog) != QDialog::Accepted) return;
  // Every byte the map changed is one step.
  m_history.Record(before, m_memory.image(), TextStep(kMemoryMapStep));
  RefreshWindowValues();
}

std::unique_ptr<FrmComPort> MDIForm1::CreatePortDialog() {
  std::array<PortOffer, kPortSlotCount> offers{};
  for (const PortSlot& slot : PortSlots()) {
    if (slot.slot < 1 || slot.slot > kPortSlotCount) continue;
    PortOffer& offer = offers[static_cast<std::size_t>(slot.slot - 1)];
    offer.device = slot.device;
    offer.description = slot.description;
    offer.usable = !slot.device.isEmpty() && ProbePort(slot.device);
  }
  return std::make_unique<FrmComPort>(
      m_state.language, PortChoice{m_state.portNumber, QString::fromStdString(m_state.portDevice)}, offers, this);
}

void MDIForm1::ShowComPort() {
  const std::unique_ptr<FrmComPort> dialog = CreatePortDialog();
  if (m_prompter->exec(*dialog) != QDialog::Accepted) return;
  const PortChoice choice = dialog->choice();
  m_state.portNumber = choice.portNumber;
  m_state.portDevice = choice.device.toStdString();
}

void MDIForm1::ShowAbout() {
  FrmAbout about(m_state.language, this);
  m_prompter->exec(about);
}

// --- transfers -----------------------------------------------------------------

QString MDIForm1::PortName() const {
  if (!m_state.portDevice.empty()) return ResolvePort(QString::fromStdString(m_state.portDevice));
  const QString device = ResolvePort(QString::number(m_state.portNumber));
  // A slot without a device still names a port, so the user sees the
  // system's reason when it cannot be opened.
  return device.isEmpty() ? QStringLiteral("COM%1").arg(m_state.portNumber) : device;
}

void MDIForm1::FinishTransfer(bool refresh, bool newBaseline) {
  if (refresh) RefreshAll();
  // After the refresh, for the reason Open gives.  What the radio holds came
  // from no file: Save asks for one, and the title names the radio meanwhile.
  if (newBaseline) {
    m_documentPath.clear();
    NewBaseline(true);
    m_readPort = PortName();
    UpdateEditState();
  }
  emit transferEnded();
}

bool MDIForm1::isTransferRunning() const { return m_transfers->isRunning(); }

void MDIForm1::UpdateTransferTools() {
  tool("miRead")->setEnabled(!isTransferRunning());
  tool("miWrite")->setEnabled(!isTransferRunning());
}

// --- events ----------------------------------------------------------------------

bool MDIForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && qobject_cast<QMdiSubWindow*>(watched) != nullptr)
    QTimer::singleShot(0, this, &MDIForm1::ClearEmptyScrollRange);
  if (watched == m_progress && event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    constexpr auto kAllThree = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (mouse->button() == Qt::RightButton && (mouse->modifiers() & kAllThree) == kAllThree) {
      OpenMemoryMap();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

namespace {

// The first local codeplug file among dropped URLs.
QString DroppedCodeplug(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    const QString path = url.toLocalFile();
    if (!path.isEmpty() && path.endsWith(QLatin1String(".tw"), Qt::CaseInsensitive)) return path;
  }
  return {};
}

}  // namespace

void MDIForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedCodeplug(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MDIForm1::dropEvent(QDropEvent* event) {
  const QString path = DroppedCodeplug(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  // The drag's own event loop ends first; the question may open a dialog.
  QTimer::singleShot(0, this, [this, path] { OpenFileAfterAsking(path); });
}

void MDIForm1::closeEvent(QCloseEvent* event) {
  if (!m_shutDown) {
    SaveAll();
    if (!ConfirmModified()) {
      event->ignore();
      return;
    }
  }
  m_shutDown = true;
  m_transfers->Stop();
  for (const WindowBit bit : kWindowOrder) {
    if (EditingWindow* window = editingWindow(bit)) window->CloseForProgram();
  }
  WriteLanguagePreference(m_state.language);
  event->accept();
}

}  // namespace orvex
