#include "ui/main/document_controller.h"

#include <QAction>
#include <QFileInfo>

#include "codeplug/file_io.h"
#include "core/app_state.h"
#include "ui/main/command_layout.h"
#include "ui/main/prompter.h"
#include "ui/main/recent_files.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {

constexpr int kAlertTitle = 1039;
constexpr int kFileModified = 10000, kIncorrectFile = 10001, kDataCleared = 10002;
constexpr int kUndoText = 1620, kRedoText = 1621;
constexpr int kFileGone = 10126;

}  // namespace

DocumentController::DocumentController(CodeplugSession& session, AppState& state, Prompter& prompter, QWidget* window)
    : QObject(window),
      m_session(session),
      m_state(state),
      m_prompter(prompter),
      m_window(window),
      m_recent(new RecentFiles(this)) {
  connect(m_recent, &RecentFiles::chosen, this, &DocumentController::OpenRecent);
  SessionFace face;
  face.confirmNew = [this] {
    return m_prompter.ask(m_window, QMessageBox::Warning, UiText(kAlertTitle, m_state.language),
                          UiText(kDataCleared, m_state.language), QMessageBox::Ok | QMessageBox::Cancel,
                          QMessageBox::Cancel) == QMessageBox::Ok;
  };
  face.askSave = [this] {
    const auto answer =
        m_prompter.ask(m_window, QMessageBox::Warning, kProgramTitle, UiText(kFileModified, m_state.language),
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) return SaveAnswer::Save;
    return answer == QMessageBox::No ? SaveAnswer::Discard : SaveAnswer::Cancel;
  };
  face.chooseSavePath = [this](const std::string& proposed) {
    return m_prompter.saveFileName(m_window, QString::fromStdString(proposed), DialogFilter(kFileFilter)).toStdString();
  };
  face.write = [this](const std::string& path, const Bytes& bytes) {
    FollowFileName();
    const QString shown = QString::fromStdString(path);
    if (const Status written = WriteWholeFile(LocalPath(shown), bytes); !written) {
      m_prompter.tell(m_window, QMessageBox::Warning, kProgramTitle, QString::fromStdString(written.error()));
      return false;
    }
    m_recent->Remember(shown);
    return true;
  };
  m_session.setFace(std::move(face));
  m_session.setListener([this](SessionChange change) {
    FollowFileName();
    switch (change) {
      case SessionChange::Replaced:
        emit imageReplaced();
        break;
      case SessionChange::Edited:
        emit imageEdited();
        break;
      case SessionChange::Baseline:
        emit editStateChanged();
        break;
    }
  });
}

void DocumentController::FollowFileName() { m_state.fileName = m_session.proposedPath(); }

void DocumentController::NewFile() { m_session.New(); }

void DocumentController::OpenFile() {
  emit storeRequested();
  if (!m_session.ConfirmReplace()) return;
  const QString path = m_prompter.openFileName(m_window, DialogFilter(kFileFilter));
  if (!path.isEmpty()) OpenPath(path);
}

void DocumentController::SaveFile() {
  emit storeRequested();
  m_session.Save();
}

void DocumentController::SaveFileAs() {
  emit storeRequested();
  m_session.SaveAs();
}

void DocumentController::Undo() { m_session.Undo(); }

void DocumentController::Redo() { m_session.Redo(); }

bool DocumentController::OpenPath(const QString& path) {
  const Result<Bytes> bytes = ReadInputFile(LocalPath(path), InputKind::Codeplug);
  if (!bytes) {
    m_prompter.tell(m_window, QMessageBox::Warning, kProgramTitle, QString::fromStdString(bytes.error()));
    return false;
  }
  // Save writes back to the file the codeplug came from.
  const QString absolute = QFileInfo(path).absoluteFilePath();
  const ParsedCodeplug parsed = m_session.Open(absolute.toStdString(), *bytes);
  if (parsed.check == CodeplugCheck::Empty) return false;
  if (parsed.check != CodeplugCheck::Ok) {
    const std::string_view title = CheckTitle(parsed.check);
    m_prompter.tell(m_window, QMessageBox::Critical, QString::fromUtf8(title.data(), qsizetype(title.size())),
                    UiText(kIncorrectFile, m_state.language));
    return false;
  }
  m_recent->Remember(absolute);
  return true;
}

bool DocumentController::OpenAfterAsking(const QString& path) {
  emit storeRequested();
  return m_session.ConfirmReplace() && OpenPath(path);
}

bool DocumentController::ConfirmModified() { return m_session.ConfirmReplace(); }

void DocumentController::ReadReplaced(const QString& port) { m_session.ReadReplaced(port.toStdString()); }

QString DocumentController::documentPath() const { return QString::fromStdString(m_session.path()); }

QString DocumentController::readPort() const { return QString::fromStdString(m_session.readPort()); }

QStringList DocumentController::recentFiles() const { return m_recent->paths(); }

QString DocumentController::Title() const {
  return QStringLiteral("%1 - %2 [*]")
      .arg(QLatin1String(kProgramTitle), QString::fromStdString(m_session.DocumentName(m_state.language)));
}

void DocumentController::ShowUndoState(QAction* undo, QAction* redo, const CommandLayout& layout) const {
  const int language = m_state.language;
  const EditHistory& history = m_session.history();
  const auto name = [&](QAction* action, int pattern, const std::string& step) {
    const ToolLayout* caption = layout.tool(action->objectName());
    const QString text = step.empty() ? (caption ? caption->caption : QString())
                                      : UiText(pattern, language).arg(QString::fromStdString(step));
    action->setText(text);
    action->setToolTip(QString(text).remove(QLatin1Char('&')));
  };
  name(undo, kUndoText, history.UndoName(language));
  name(redo, kRedoText, history.RedoName(language));
  undo->setEnabled(history.CanUndo());
  redo->setEnabled(history.CanRedo());
}

void DocumentController::OpenRecent(int index) {
  const QStringList paths = m_recent->paths();
  if (index < 0 || index >= paths.size()) return;
  const QString& path = paths[index];
  if (!QFileInfo::exists(path)) {
    m_prompter.tell(m_window, QMessageBox::Warning, kProgramTitle, UiText(kFileGone, m_state.language).arg(path));
    m_recent->Forget(index);
    return;
  }
  OpenAfterAsking(path);
}

}  // namespace orvex
