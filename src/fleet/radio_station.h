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
#include "core/memory_image.h"
#include "core/result.h"
#include "link/serial_clone_port.h"

namespace orvex {

enum class RadioOutcome {
  Verified,     // written and read back equal
  Written,      // written, not read back
  Read,         // read into RadioReport::image
  ModelWrong,   // the radio is another model
  NoAnswer,     // the transfer failed on every attempt
  PortFailed,   // the port could not be opened
  Differences,  // written, but the read-back differs
  NotWritten,   // its per-radio values were refused or there were none
  Stopped,      // the user stopped the run
};

struct RadioReport {
  QString port;
  RadioOutcome outcome = RadioOutcome::NoAnswer;
  int differences = 0;              // rows, for Differences
  QString detail;                   // why, for the failures; the values row, for a Write
  bool readingBack = false;         // the failure came while reading the radio back
  bool readingBeforeWrite = false;  // while keeping what it held, so nothing was written
  qint64 milliseconds = 0;
  Image image{};  // what was read (Read), or what the radio was sent (Write)
};

bool Succeeded(RadioOutcome outcome);

// String-table numbers of what a fleet shows.
struct FleetTexts {
  static constexpr int kTitle = 1750;
  static constexpr int kPort = 1761;
  static constexpr int kProgress = 1762;
  static constexpr int kOutcome = 1763;
  static constexpr int kTime = 1764;
  static constexpr int kWorking = 1774;
  static constexpr int kSummary = 1775;  // "%1 of %2 radios succeeded"
  static constexpr int kWaiting = 1776;
  static constexpr int kValues = 1777;
};

// "written and verified", "verify found 3 differences", "no answer (why)".
QString OutcomeText(const RadioReport& report, int language);
// "6.8 s"
QString SecondsText(qint64 milliseconds);

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
  void report(RadioOutcome outcome, TransferStage stage, const std::string& detail = {}, int differences = 0);
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
