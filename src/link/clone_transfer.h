#pragma once

// Drives one clone transfer over a serial port, event by event: the next
// frame 1 ms after an accepted reply, 800 ms for each reply, and the outcome
// reported as a signal.  Messages and the retry question belong to the
// caller.

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <chrono>

#include "core/app_state.h"
#include "core/memory_image.h"
#include "link/clone_protocol.h"
#include "link/link_trace.h"

namespace orvex {

// The pause the radio may rely on between a reply and the next frame.
inline constexpr std::chrono::milliseconds kFramePause{1};
inline constexpr std::chrono::milliseconds kReplyLimit{800};
inline constexpr qint32 kCloneBaudRate = 9600;

// String-table numbers of what the caller tells the user about a transfer.
struct CloneMessages {
  static constexpr int kCheckConnection = 1331;  // failed: retry or cancel
  static constexpr int kReadingCompleted = 1332;
  static constexpr int kWritingCompleted = 1333;
  static constexpr int kModelWrong = 1334;
};

class CloneTransfer : public QObject {
  Q_OBJECT
 public:
  explicit CloneTransfer(QObject* parent = nullptr);
  ~CloneTransfer() override;

  // Starts a Read (on completion the transferred rows of memory.image() are
  // replaced from a staging copy; nothing else, and nothing at all when the
  // Read does not complete) or a Write (sends the rows memory.image() holds
  // now).  Returns false and emits nothing when a transfer is already
  // running.  If the port cannot be opened, emits openFailed(system error
  // text) and finished().  `memory` must outlive the transfer.
  bool start(CloneDirection direction, const QString& portName, RadioMemory& memory);
  bool isRunning() const { return m_running; }
  // Every transfer started from now on adds its frames, replies and outcome
  // to this trace (the caller begins it); null stops recording.  The trace
  // must outlive the transfer.
  void setTrace(LinkTrace* trace) { m_trace = trace; }
  // Ends a running transfer as failed("cancelled") and closes the port.
  void cancel();
  // Replaces what a running Write sends; in time for every row when called
  // from identified().
  void setWriteImage(const Image& image) { m_staging = image; }

 signals:
  void progress(int value, int maximum);  // maximum 80 (Read) or 300 (Write)
  void identified();                      // the radio said it is this model; no row moved yet
  void completed();                       // image updated (Read) / radio written (Write)
  void modelMismatch();                   // "Model type is wrong."
  void failed(QString reason);            // time-out, bad reply, port error
  void openFailed(QString systemError);   // port could not be opened
  void finished();                        // after any outcome above; port closed

 private:
  enum class End { Completed, ModelMismatch, Failed };

  void sendFrame();
  void onReadyRead();
  void onReplyTimeout();
  void onPortError(QSerialPort::SerialPortError error);
  void judgeReply();
  void finish(End end, const QString& reason = {});

  QSerialPort m_port;
  QTimer m_sendTimer;
  QTimer m_replyTimer;
  RadioMemory* m_memory = nullptr;
  LinkTrace* m_trace = nullptr;
  Image m_staging{};
  CloneProtocol m_protocol{m_staging};
  CloneBytes m_frame;     // the frame in flight
  CloneBytes m_received;  // everything that arrived since it was sent
  bool m_echo = false;    // the cable sends every frame back before the reply
  bool m_running = false;
  bool m_portFailed = false;
  int m_reportedProgress = 0;
};

}  // namespace orvex
