#pragma once

// The desktop face of the programming job: the progress bar's value and
// text, the messages and questions through the prompter (Retry, "Write
// anyway?", "Write again?"), and the backups kept in the main window's
// backup folder.  What the main window does once a transfer has ended
// (refresh, a new baseline after a Read) follows ended().

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/job_messages.h"
#include "app/programming_job.h"
#include "core/app_state.h"
#include "core/memory_image.h"
#include "link/link_trace.h"
#include "link/serial_clone_port.h"

class QProgressBar;
class QWidget;

namespace orvex {

class Prompter;

// What the face reads and writes of the main window.
struct TransferContext {
  QWidget* window;  // parent of every box
  Prompter& prompter;
  RadioMemory& memory;
  AppState& state;
  QProgressBar* progress;
  LinkTrace& trace;
  std::function<QString()> portName;
  std::function<std::filesystem::path()> backupFolder;
  std::function<bool()> verifyAfterWrite;
  std::function<bool()> backupFirst;
};

class TransferController : public QObject {
  Q_OBJECT
 public:
  TransferController(TransferContext context, QObject* parent = nullptr);
  ~TransferController() override;

  // Reads the radio into the image; nothing while a transfer runs.
  void Read();
  // The check, then the backup, the Write and its read-back as chosen.
  void Write();
  [[nodiscard]] bool isRunning() const { return m_job.running(); }
  // Ends a running transfer without a word (shut-down).
  void Stop();

 signals:
  void runningChanged(bool running);
  // A transfer's outcome has been shown; a completed Read made the image
  // what the radio holds.
  void ended(bool refresh, bool newBaseline);

 private:
  JobCallbacks Callbacks();
  void Start(CloneDirection direction, const char* traceTitle);
  void OnStageStarted(TransferStage stage);
  // Shows a job's message or question; true when its accepting button was
  // chosen (or nothing was shown).
  bool Show(const JobMessage& message);
  Status KeepBeforeWrite(const Image& held);
  void KeepBackup();
  void OnFinished(const JobEnd& end);
  void Finish(bool refresh, bool newBaseline = false);

  TransferContext m_context;
  SerialClonePort m_port;
  ProgrammingJob m_job;
  bool m_backupFailureShown = false;
  bool m_stopping = false;
};

}  // namespace orvex
