#pragma once

// One radio of a fleet: the port it is on, its own programming job over its
// own port, and what happened to it.  A station writes (and by default verifies by
// reading back) or reads one radio, retrying a failed transfer on its own;
// in watch mode it waits for a radio to answer, programs it, and waits for
// the next one.  Every station of a fleet runs on the same event loop.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/programming_job.h"
#include "app/radio_outcome.h"
#include "core/memory_image.h"
#include "core/result.h"
#include "link/serial_clone_port.h"

namespace orvex {

// A radio of the run, its outcome and what it holds.
struct RadioReport : RadioResult {
  QString port;
  qint64 milliseconds = 0;
  Image image{};  // what was read (Read), or what the radio was sent (Write)
};

// What every radio of a fleet gets.
struct FleetJob {
  CloneDirection direction = CloneDirection::Write;
  Image image{};  // the codeplug a Write sends; what a Read starts from
  bool verify = true;
  int retries = 2;
  // The image a radio that just identified itself gets, or why it gets none.
  // Empty: `image` as it is.
  std::function<Result<Image>(const QString& port)> imageFor;
  // When set, a Write first reads the radio and hands what it held here;
  // the radio is written only when this succeeds.
  std::function<Status(const QString& port, const Image& held)> keepBeforeWrite;
};

// Keeps what each radio held as a backup made before a Write, in `folder`.
std::function<Status(const QString& port, const Image& held)> KeepBackupsBeforeWrite(std::filesystem::path folder);

// How often a waiting station looks for a radio.
inline constexpr std::chrono::milliseconds kWatchPoll{1000};

class RadioStation : public QObject {
  Q_OBJECT
 public:
  RadioStation(QString port, const FleetJob& job, QObject* parent = nullptr);

  void start();  // one radio
  void watch();  // radio after radio, until stop()
  // Ends a running transfer as Stopped and stops watching.
  void stop();

  const QString& port() const { return m_port; }
  bool isBusy() const { return m_phase == Phase::Busy || m_phase == Phase::Probing; }

 signals:
  void radioStarted();                    // a radio is being programmed or read
  void progress(int value, int maximum);  // over the transfer and its read-back
  void radioFinished(orvex::RadioReport report);

 private:
  // Busy: a radio is being programmed or read.  A probe looks whether the
  // radio last served is still there.
  enum class Phase { Idle, Waiting, Served, Probing, Busy };

  JobCallbacks callbacks();
  JobRequest request() const;
  void begin();
  void poll();
  void onProgress(TransferStage stage, int value);
  void onIdentified(TransferStage stage);
  void onFinished(const JobEnd& end);
  void report(const RadioResult& outcome);
  int progressMaximum() const;
  bool backupFirst() const;

  QString m_port;
  const FleetJob& m_job;
  SerialClonePort m_line;
  ProgrammingJob m_programming;
  QTimer m_pollTimer;
  QElapsedTimer m_clock;
  Phase m_phase = Phase::Idle;
  bool m_watching = false;
  bool m_present = false;  // the radio answered during this attempt
  bool m_bound = false;    // its image was chosen
};

}  // namespace orvex
