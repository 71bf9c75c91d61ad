#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "link/cable_doctor.h"
#include "link/link_trace.h"

class QPlainTextEdit;
class QThread;

namespace orvex {

// `frmTestCable`: runs the cable doctor on a port off the user-interface
// thread and shows each check as one line, then the summary.
class FrmTestCable : public QDialog {
  Q_OBJECT

 public:
  FrmTestCable(const QString& device, std::vector<std::string> portsAtStart, int language, QWidget* parent = nullptr);
  ~FrmTestCable() override;

  [[nodiscard]] bool isDone() const { return m_done; }
  [[nodiscard]] const DoctorReport& report() const { return m_report; }
  [[nodiscard]] const LinkTrace& trace() const { return m_trace; }
  [[nodiscard]] QPlainTextEdit* text() const { return m_text; }

 signals:
  void done();

 private:
  QPlainTextEdit* m_text;
  QThread* m_thread = nullptr;
  DoctorReport m_report;
  LinkTrace m_trace;
  bool m_done = false;
};

}  // namespace orvex
