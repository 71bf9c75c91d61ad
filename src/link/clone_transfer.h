#pragma once

// One clone transfer over a serial port with its outcome as Qt signals: a
// CloneRun over the QSerialPort driver.  Messages and the retry question
// belong to the caller.

#include <QObject>
#include <QString>

#include "core/app_state.h"
#include "core/memory_image.h"
#include "link/clone_run.h"
#include "link/link_trace.h"
#include "link/serial_clone_port.h"

namespace orvex {

class CloneTransfer : public QObject, private CloneRunListener {
  Q_OBJECT
 public:
  explicit CloneTransfer(QObject* parent = nullptr);
  ~CloneTransfer() override;

  // As CloneRun::Start; when the port cannot be opened, emits
  // openFailed(system error text) and finished() before returning.
  bool start(CloneDirection direction, const QString& portName, RadioMemory& memory);
  bool isRunning() const { return m_run.running(); }
  // Every transfer started from now on adds its frames, replies and outcome
  // to this trace (the caller begins it); null stops recording.  The trace
  // must outlive the transfer.
  void setTrace(LinkTrace* trace) { m_run.SetTrace(trace); }
  // Ends a running transfer as failed("cancelled") and closes the port.
  void cancel() { m_run.Cancel(); }
  // Replaces what a running Write sends; in time for every row when called
  // from identified().
  void setWriteImage(const Image& image) { m_run.SetWriteImage(image); }

 signals:
  void progress(int value, int maximum);  // maximum 80 (Read) or 300 (Write)
  void identified();                      // the radio said it is this model; no row moved yet
  void completed();                       // image updated (Read) / radio written (Write)
  void modelMismatch();                   // "Model type is wrong."
  void failed(QString reason);            // time-out, bad reply, port error
  void openFailed(QString systemError);   // port could not be opened
  void finished();                        // after any outcome above; port closed

 private:
  void RunProgress(int value, int maximum) override { emit progress(value, maximum); }
  void RunIdentified() override { emit identified(); }
  void RunEnded(CloneEnd end, const std::string& reason) override;

  SerialClonePort m_port;
  CloneRun m_run{m_port, *this};
};

}  // namespace orvex
