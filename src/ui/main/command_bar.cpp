#include "ui/main/command_bar.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

#include "ui/main/editing_window.h"

namespace orvex {

namespace {

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

}  // namespace

const QStringList& CommandBar::CommandKeys() {
  static const QStringList keys = {
      "miNew",         "miOpen",    "miSave",    "miPrint",   "miExit",       "miChannel",       "miCommonSet",
      "miKeySet",      "miSignal",  "miMSK",     "mi2Tone",   "mi5Tone",      "miScr",           "miRead",
      "miWrite",       "miComPort", "miEnglish", "miChinese", "miTreeView",   "miToolBar",       "miStatusBar",
      "miCascade",     "miTileH",   "miTileV",   "miArrange", "miCloseAll",   "miAbout",         "miVerifyWrite",
      "miBackupFirst", "miSaveAs",  "miUndo",    "miRedo",    "miNextWindow", "miPreviousWindow"};
  return keys;
}

CommandBar::CommandBar(QMainWindow& window, QToolBar& toolBar)
    : QObject(&window), m_window(window), m_toolBar(toolBar) {
  for (const QString& key : CommandKeys()) AddTool(key);
}

void CommandBar::SetCommand(const QString& key, std::function<void()> command) { m_commands[key] = std::move(command); }

void CommandBar::AddRegisteredCommands(CommandContext& frame) {
  for (const auto& [key, registered] : RegisteredMainCommands()) {
    m_commands[key] = [&frame, command = registered.command] { command(frame); };
    AddTool(key);
  }
}

void CommandBar::Dispatch(const QString& key) {
  const auto it = m_commands.find(key);
  if (it == m_commands.end()) return;
  it->second();
  emit dispatched(key);
}

void CommandBar::SetPlaceholder(const QString& key, QList<QAction*> actions) {
  m_placeholders[key] = std::move(actions);
}

const CommandLayout& CommandBar::LayoutFor(int language) {
  auto it = m_layouts.find(language);
  if (it == m_layouts.end()) {
    it = m_layouts.emplace(language, LoadCommandLayout(CommandLayoutPath(language)).value_or(CommandLayout{})).first;
  }
  return it->second;
}

QAction* CommandBar::AddTool(const QString& key) {
  if (QAction* existing = tool(key)) return existing;
  auto* action = new QAction(&m_window);
  action->setObjectName(key);
  connect(action, &QAction::triggered, this, [this, key] { Dispatch(key); });
  m_tools[key] = action;
  return action;
}

void CommandBar::Load(int language) {
  const CommandLayout& layout = LayoutFor(language);
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
    // Both languages name the same icons; decoding them again was half the
    // time of a language switch.
    if (const QVariant shown = action->property("orvexIcon");
        !shown.isValid() || shown.toString() != toolLayout->icon) {
      action->setIcon(ToolIcon(toolLayout->icon, m_window.style()));
      action->setProperty("orvexIcon", toolLayout->icon);
    }
    action->setCheckable(toolLayout->checkable);
  }

  // The menus stay the same objects and only take the new captions and
  // items, and the toolbar's buttons stay while its commands are the same:
  // the menu or button that ran this command (Alt+L, C; the Print button) is
  // still inside its key or mouse handler, and may be running a dialog from
  // there while a transfer's end refreshes everything.
  QMenuBar* menuBar = m_window.menuBar();
  QList<QMenu*> bands;
  QStringList toolBarKeys;
  menuBar->clear();
  for (const BandLayout& band : layout.bands) {
    if (band.kind == QLatin1String("menu")) {
      QMenu* menu = this->band(band.key);
      if (menu == nullptr) {
        menu = new QMenu(menuBar);
        menu->setObjectName(band.key);
        if (band.key == QLatin1String("miWindow"))
          connect(menu, &QMenu::aboutToShow, this, [this, menu] { emit windowMenuShowing(menu); });
      }
      menu->setTitle(band.caption);
      menu->clear();
      for (const QString& key : band.tools) {
        if (key == QLatin1String("-")) {
          menu->addSeparator();
        } else if (const auto placeholder = m_placeholders.find(key); placeholder != m_placeholders.end()) {
          menu->addActions(placeholder->second);
        } else if (QAction* action = tool(key)) {
          menu->addAction(action);
        }
      }
      menuBar->addMenu(menu);
      bands << menu;
    } else if (band.kind == QLatin1String("toolbar")) {
      m_toolBar.setWindowTitle(band.caption);
      toolBarKeys += band.tools;
    } else if (band.kind == QLatin1String("dock")) {
      emit dockCaption(band.caption);
    }
    // The layout's "StatusBar" band stays hidden: PicClone is the strip.
  }
  if (toolBarKeys != m_toolBarKeys) {
    m_toolBar.clear();
    for (const QString& key : toolBarKeys) {
      if (key == QLatin1String("-")) {
        m_toolBar.addSeparator();
      } else if (QAction* action = tool(key)) {
        m_toolBar.addAction(action);
      }
    }
    m_toolBarKeys = toolBarKeys;
  }
  // A band the new layout lacks stays, hidden, until the window goes.
  for (QMenu* menu : std::as_const(m_bands))
    if (!bands.contains(menu)) menu->hide();
  m_bands = bands;
}

void CommandBar::FollowActiveWindow(const EditingWindow* active) {
  for (const auto& [key, registered] : RegisteredMainCommands()) {
    if (registered.window == 0) continue;
    if (QAction* action = tool(key)) action->setEnabled(active != nullptr && active->bit() == registered.window);
  }
}

QAction* CommandBar::tool(const QString& key) const {
  const auto it = m_tools.find(key);
  return it == m_tools.end() ? nullptr : it->second;
}

QMenu* CommandBar::band(const QString& key) const {
  for (QMenu* menu : m_bands) {
    if (menu->objectName() == key) return menu;
  }
  return nullptr;
}

}  // namespace orvex
