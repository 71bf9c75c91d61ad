#include "ui/main/mdi_form1.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>
#include <QTreeWidget>
#include <QUrl>

#include "codeplug/backups.h"
#include "core/preferences.h"
#include "core/strings.h"
#include "link/cable_doctor.h"
#include "link/serial_ports.h"
#include "model/channels/step_names.h"
#include "ui/main/accessibility.h"
#include "ui/main/command_bar.h"
#include "ui/main/document_controller.h"
#include "ui/main/frame_context.h"
#include "ui/main/frm_about.h"
#include "ui/main/frm_com_port.h"
#include "ui/main/frm_tree_view.h"
#include "ui/main/recent_files.h"
#include "ui/main/transfer_controller.h"
#include "ui/main/twips.h"
#include "ui/main/ui_text.h"
#include "ui/main/window_set.h"

// Resources of a static library are registered by name from outside any
// namespace.
static void InitUiResources() { Q_INIT_RESOURCE(ui); }

namespace orvex {

namespace {

// Width of the tree band: 4000 twips (1/1440 inch).
constexpr int kTreeBandTwips = 4000;

// Messages the main window shows (string table numbers).
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

char DecimalSeparator() {
  const QString separator = QLocale::system().decimalPoint();
  return separator.isEmpty() ? '.' : separator[0].toLatin1();
}

}  // namespace

const QStringList& MDIForm1::CommandKeys() { return CommandBar::CommandKeys(); }

MDIForm1::MDIForm1(Prompter* prompter, EditingWindowFactories windows, QWidget* parent)
    : QMainWindow(parent),
      m_prompter(prompter != nullptr ? prompter : &m_defaultPrompter),
      m_context(std::make_unique<FrameContext>(*this)) {
  InitUiResources();
  BuildWidgets(std::move(windows));
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

void MDIForm1::BuildWidgets(EditingWindowFactories windows) {
  setObjectName("MDIForm1");
  setWindowIcon(QIcon(QStringLiteral(":/ui/orvex.png")));
  setContextMenuPolicy(Qt::NoContextMenu);  // bands are shown and hidden by the View menu only
  setAcceptDrops(true);

  m_mdi = new WorkArea(this);
  setCentralWidget(m_mdi);
  m_windowSet =
      new WindowSet(EditingContext{m_memory, m_state, &m_history, m_context.get()}, std::move(windows), *m_mdi);
  connect(m_windowSet, &WindowSet::valuesRefreshed, this, [this] { UpdateEditState(); });
  // What a window replaced while committing an edit stays readable a while.
  constexpr int kNoteMs = 10000;
  connect(m_windowSet, &WindowSet::noted, this,
          [this](const QString& note) { m_statusStrip->showMessage(note, kNoteMs); });
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
  m_commandBar = new CommandBar(*this, *m_toolBar);
  connect(m_commandBar, &CommandBar::dispatched, this, [this] {
    // A command may have stored windows or replaced the image.
    if (!m_shutDown) UpdateEditState();
  });
  connect(m_commandBar, &CommandBar::windowMenuShowing, m_mdi, &WorkArea::FillWindowMenu);
  connect(m_commandBar, &CommandBar::dockCaption, this, [this](const QString& caption) {
    m_treeBand->setWindowTitle(caption);
    m_tree->tree()->setAccessibleName(caption);
  });
  m_languageGroup->addAction(tool("miEnglish"));
  m_languageGroup->addAction(tool("miChinese"));
  m_documents = new DocumentController(m_session, m_state, *m_prompter, this);
  connect(m_documents, &DocumentController::storeRequested, this, &MDIForm1::SaveAll);
  connect(m_documents, &DocumentController::imageReplaced, this, &MDIForm1::RefreshAll);
  connect(m_documents, &DocumentController::imageEdited, this, &MDIForm1::RefreshWindowValues);
  connect(m_documents, &DocumentController::editStateChanged, this, &MDIForm1::UpdateEditState);
  m_commandBar->SetPlaceholder(QStringLiteral("miRecentFiles"), m_documents->recent().actions());
  m_history.SetListener([this] { UpdateEditState(); });

  const std::map<QString, std::function<void()>> commands = {
      {"miNew", [this] { m_documents->NewFile(); }},
      {"miOpen", [this] { m_documents->OpenFile(); }},
      {"miSave", [this] { m_documents->SaveFile(); }},
      {"miSaveAs", [this] { m_documents->SaveFileAs(); }},
      {"miUndo", [this] { m_documents->Undo(); }},
      {"miRedo", [this] { m_documents->Redo(); }},
      {"miNextWindow", [this] { m_mdi->activateNextSubWindow(); }},
      {"miPreviousWindow", [this] { m_mdi->activatePreviousSubWindow(); }},
      // The close handler stores every window before it checks for changes.
      {"miExit", [this] { close(); }},
      {"miRead",
       [this] {
         if (isTransferRunning()) return;
         // A Read replaces the codeplug: unsaved edits are offered a save first.
         SaveAll();
         if (!m_documents->ConfirmModified()) return;
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
      {"miCascade", [this] { m_mdi->Cascade(); }},
      {"miTileH", [this] { m_mdi->Tile(Qt::Vertical); }},
      {"miTileV", [this] { m_mdi->Tile(Qt::Horizontal); }},
      {"miArrange", [this] { m_mdi->ArrangeIcons(); }},
      {"miCloseAll", [this] { m_windowSet->CloseAll(); }},
      {"miAbout", [this] { ShowAbout(); }},
  };
  for (const auto& [key, command] : commands) m_commandBar->SetCommand(key, command);
  for (const WindowKeys& keys : kWindowKeys) {
    const WindowBit bit = keys.bit;
    m_commandBar->SetCommand(QString::fromLatin1(keys.command), [this, bit] { OpenEditingWindow(bit); });
  }
  // Commands window libraries add or take over (the channel window's print).
  m_commandBar->AddRegisteredCommands(*m_context);

  m_transfers = std::make_unique<TransferController>(TransferContext{
      this, *m_prompter, m_memory, m_state, m_progress, m_linkTrace, [this] { return PortName(); },
      [this] { return m_backupFolder; }, [this] { return m_verifyAfterWrite; }, [this] { return m_backupFirst; }});
  connect(m_transfers.get(), &TransferController::runningChanged, this, &MDIForm1::UpdateTransferTools);
  connect(m_transfers.get(), &TransferController::ended, this, &MDIForm1::FinishTransfer);
}

void MDIForm1::StartUp() {
  setWindowTitle(kProgramTitle);
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
  m_windowSet->OpenHidden(kWinSetting);
  OpenEditingWindow(kWinChannel);
}

const CommandLayout& MDIForm1::LayoutFor(int language) { return m_commandBar->LayoutFor(language); }

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
  m_commandBar->Load(m_state.language);
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
  m_windowSet->Refresh();
  UpdateEditState();
  m_progress->setAccessibleName(UiText(kTransferProgress, m_state.language));
  NameControls(this);
}

void MDIForm1::RefreshWindowValues() { m_windowSet->RefreshValues(); }

void MDIForm1::EditImage(const StepName& name, const std::function<void(Image&)>& edit) { m_session.Edit(name, edit); }

void MDIForm1::UpdateEditState() {
  m_documents->ShowUndoState(tool("miUndo"), tool("miRedo"), LayoutFor(m_state.language));

  m_commandBar->FollowActiveWindow(activeEditingWindow());

  setWindowTitle(m_documents->Title());
  setWindowModified(m_session.IsModified());
}

EditingWindow* MDIForm1::activeEditingWindow() const { return m_windowSet->active(); }

void MDIForm1::SaveAll() { m_windowSet->SaveAll(); }

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

void MDIForm1::Dispatch(const QString& key) { m_commandBar->Dispatch(key); }

EditingWindow* MDIForm1::editingWindow(WindowBit bit) const { return m_windowSet->window(bit); }

QAction* MDIForm1::tool(const QString& key) const { return m_commandBar->tool(key); }

QMenu* MDIForm1::band(const QString& key) const { return m_commandBar->band(key); }

void MDIForm1::OpenEditingWindow(WindowBit bit) { m_windowSet->Open(bit); }

void MDIForm1::ClickNode(const QString& key) {
  SaveAll();
  for (const WindowKeys& keys : kWindowKeys) {
    if (key == QLatin1String(keys.node)) OpenEditingWindow(keys.bit);
  }
}

// --- files -------------------------------------------------------------------

bool MDIForm1::OpenFilePath(const QString& path) { return m_documents->OpenPath(path); }

bool MDIForm1::OpenFileAfterAsking(const QString& path) { return m_documents->OpenAfterAsking(path); }

QString MDIForm1::documentPath() const { return m_documents->documentPath(); }

QString MDIForm1::readPort() const { return m_documents->readPort(); }

QStringList MDIForm1::recentFiles() const { return m_documents->recentFiles(); }

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

void MDIForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  m_mdi->PlaceShownWindows();
}

void MDIForm1::OpenMemoryMap() { m_windowSet->OpenMemoryMap(); }

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
  if (newBaseline) m_documents->ReadReplaced(PortName());
  emit transferEnded();
}

bool MDIForm1::isTransferRunning() const { return m_transfers->isRunning(); }

void MDIForm1::UpdateTransferTools() {
  tool("miRead")->setEnabled(!isTransferRunning());
  tool("miWrite")->setEnabled(!isTransferRunning());
}

// --- events ----------------------------------------------------------------------

bool MDIForm1::eventFilter(QObject* watched, QEvent* event) {
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
    if (!m_documents->ConfirmModified()) {
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
