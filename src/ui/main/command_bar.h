#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>

#include "ui/main/command_layout.h"

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace orvex {

class CommandContext;
class EditingWindow;

// The commands of the main window by tool key, their actions and the menu
// bar and toolbar a language's layout puts them in.  An action runs its
// command through Dispatch, as a key from a window or the command line does.
class CommandBar : public QObject {
  Q_OBJECT

 public:
  // `window` holds the menu bar; `toolBar` is the window's toolbar.
  CommandBar(QMainWindow& window, QToolBar& toolBar);

  // Every key the main window dispatches itself.
  static const QStringList& CommandKeys();

  // What a key runs; replaces what it ran before.
  void SetCommand(const QString& key, std::function<void()> command);
  // The commands window libraries registered, run on `frame`; they replace
  // built-in ones of the same key.
  void AddRegisteredCommands(CommandContext& frame);
  // Runs the command of a tool key; unknown keys do nothing.
  void Dispatch(const QString& key);

  // Menus list `actions` where their layout names `key` (the recent files).
  void SetPlaceholder(const QString& key, QList<QAction*> actions);
  // Captions, keys, icons, menus and toolbar of a language.
  void Load(int language);
  [[nodiscard]] const CommandLayout& LayoutFor(int language);
  // A window's own commands are enabled only while that window is active.
  void FollowActiveWindow(const EditingWindow* active);

  [[nodiscard]] QAction* tool(const QString& key) const;
  [[nodiscard]] QMenu* band(const QString& key) const;

 signals:
  // A known command has run.
  void dispatched(const QString& key);
  // The Window menu is about to open.
  void windowMenuShowing(QMenu* menu);
  // The layout's caption of the docked tree.
  void dockCaption(const QString& caption);

 private:
  QAction* AddTool(const QString& key);

  QMainWindow& m_window;
  QToolBar& m_toolBar;
  std::map<QString, std::function<void()>> m_commands;
  std::map<QString, QAction*> m_tools;
  std::map<QString, QList<QAction*>> m_placeholders;
  std::map<int, CommandLayout> m_layouts;
  QList<QMenu*> m_bands;
  QStringList m_toolBarKeys;  // what the toolbar shows, separators as "-"
};

}  // namespace orvex
