#pragma once

#include <QProcess>
#include <QString>

#include "core/result.h"

namespace orvex {

// The virtual radio behind `orvex --demo`: orvex-sim started as a child on a
// pseudo-terminal.  It ends with this object, and with the program even if
// the program is killed.
class DemoRadio {
 public:
  DemoRadio() = default;
  DemoRadio(const DemoRadio&) = delete;
  DemoRadio& operator=(const DemoRadio&) = delete;
  ~DemoRadio();

  // Starts the simulator program and returns the device path it printed.
  Result<QString> Start(const QString& program, const QStringList& arguments = {});
  void Stop();

 private:
  QProcess m_process;
};

}  // namespace orvex
