#include <iostream>

#include "cli/verb.h"
#include "link/serial_ports.h"

namespace orvex::cli {
namespace {

int runPorts(const Args&) {
  for (const PortSlot& slot : PortSlots()) {
    std::cout << "COM" << slot.slot << (slot.slot < 10 ? "   " : "  ");
    if (slot.device.isEmpty()) {
      std::cout << "(none)\n";
      continue;
    }
    std::cout << slot.device.toStdString() << "  " << (ProbePort(slot.device) ? "usable" : "not usable");
    if (!slot.description.isEmpty()) std::cout << "  " << slot.description.toStdString();
    std::cout << "\n";
  }
  return kExitOk;
}

const VerbRegistration kPorts({"ports",
                               "ports",
                               "lists the ten port slots COM1..COM10, the device each stands for and whether it "
                               "passes the port test",
                               {},
                               0,
                               0,
                               runPorts});

}  // namespace
}  // namespace orvex::cli
