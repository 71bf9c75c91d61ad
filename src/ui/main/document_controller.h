#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "app/codeplug_session.h"

class QAction;
class QWidget;

namespace orvex {

struct AppState;
struct CommandLayout;
class Prompter;
class RecentFiles;

// The desktop face of the codeplug session: the File commands, recent files,
// Undo and Redo and the title.  It asks through the prompter, writes files
// with QSaveFile and tells the main window through signals what to show
// again.
class DocumentController : public QObject {
  Q_OBJECT

 public:
  // `window` parents the dialogs; `state` follows the file name the save
  // dialog proposes.
  DocumentController(CodeplugSession& session, AppState& state, Prompter& prompter, QWidget* window);

  void NewFile();
  // The open dialog after the question about unsaved edits.
  void OpenFile();
  void SaveFile();
  void SaveFileAs();
  void Undo();
  void Redo();

  // Opens a codeplug file without the dialog or the question (the command
  // line); a refused file is said.  Returns whether the image was replaced.
  bool OpenPath(const QString& path);
  // Asks about unsaved edits first (after the windows store), then opens; false
  // when the user stays or the file is refused.
  bool OpenAfterAsking(const QString& path);
  // Asks whether to save a modified image; false when the user stays.
  bool ConfirmModified();
  // A completed Read from `port` replaced the image.
  void ReadReplaced(const QString& port);

  [[nodiscard]] QString documentPath() const;
  [[nodiscard]] QString readPort() const;
  [[nodiscard]] QStringList recentFiles() const;
  [[nodiscard]] RecentFiles& recent() { return *m_recent; }
  // "ORVEX - club.tw [*]", the mark for QWidget::setWindowModified.
  [[nodiscard]] QString Title() const;
  // Undo and Redo name their steps ("Undo channel 6 name"), else take the
  // layout's captions, and are enabled while there is something to do.
  void ShowUndoState(QAction* undo, QAction* redo, const CommandLayout& layout) const;

 signals:
  // Every window commits its open edit and stores, so buffered edits count.
  void storeRequested();
  // New or Open replaced the image: everything is shown again.
  void imageReplaced();
  // An import, undo or redo changed the image: the windows reload values.
  void imageEdited();
  // The title, the modified mark or the undo captions may have changed.
  void editStateChanged();

 private:
  void OpenRecent(int index);
  // The save dialog's proposal follows the session's.
  void FollowFileName();

  CodeplugSession& m_session;
  AppState& m_state;
  Prompter& m_prompter;
  QWidget* m_window;
  RecentFiles* m_recent;
};

}  // namespace orvex
