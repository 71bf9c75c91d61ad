#include <iostream>

#include "cli/codeplug_args.h"
#include "cli/link_session.h"
#include "cli/verb.h"
#include "link/cable_doctor.h"
#include "link/serial_ports.h"

namespace orvex::cli {
namespace {

int runDoctor(const Args& args) {
  const auto port = args.value("--port");
  if (!port || port->empty()) {
    PrintError("--port is required (a slot 1..10, COMk or a device path)");
    return kExitUsage;
  }
  const auto language = LanguageOrReport(args);
  if (!language) return kExitUsage;
  QString device = ResolvePort(QString::fromStdString(*port));
  // An empty slot still gets the list of ports seen.
  if (device.isEmpty()) device = QString::fromStdString(*port);
  LinkTrace trace;
  const auto tracePath = args.value("--trace");
  if (tracePath) trace.Begin("orvex-cli doctor on " + device.toStdString());
  DoctorOptions options;
  options.portsAtStart = SerialDevicesNow();
  options.language = *language;
  const DoctorReport report = RunCableDoctor(device.toStdString(), options, tracePath ? &trace : nullptr);
  for (const auto& check : report.checks) std::cout << DoctorLine(check, *language) << '\n';
  std::cout << report.summary << '\n';
  std::cout.flush();
  if (tracePath && !WriteTextOrReport(*tracePath, trace.Text())) return kExitFailure;
  return report.radioIsThisModel ? kExitOk : kExitFailure;
}

const VerbRegistration kDoctor({"doctor",
                                "doctor --port PORT [--trace FILE]",
                                "checks the cable, the port and the radio step by step and says what to do; exit "
                                "status 0 only when a radio of this model answered",
                                {{"--port", true, "slot 1..10, COMk or a device path (required)"},
                                 {"--trace", true, "write the frames and replies, in hex with times, to this file"},
                                 kLangOption},
                                0,
                                0,
                                runDoctor});

}  // namespace
}  // namespace orvex::cli
