#pragma once

// The ten port slots COM1..COM10 a user chooses from, and the port test.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

namespace orvex {

inline constexpr int kPortSlotCount = 10;

struct PortSlot {
  int slot = 0;         // 1..10
  QString device;       // what QSerialPort opens; empty when the slot has none
  QString description;  // the system's description of the device
};

// Slot k is COMk on Windows.  Elsewhere slot k is the k-th serial port the
// system lists: USB adapters first, then the rest, each in name order.
std::vector<PortSlot> PortSlots();

// Every serial port the system lists, as QSerialPort opens them: USB
// adapters first, then the rest, each in name order ("--port all").
QStringList ListedPorts();

// A slot number 1..10, "COMk" or a device path, as the name QSerialPort
// opens.  Empty when the slot has no device.
QString ResolvePort(const QString& text);

// Opens the port at 19200 8N1, sends "ATI1" and a carriage return, waits
// 200 ms and closes it.  Any error means the port is not usable.
bool ProbePort(const QString& portName);

// Asks a Linux serial driver to pass each received byte on at once instead
// of batching (USB adapters otherwise hold a reply up to 16 ms).  Failure,
// as on a pseudo-terminal, is harmless and ignored.
void RequestLowLatency(qintptr handle);

// Asks the kernel to wake this thread's timers on time rather than within
// its default slack; the frame pause is 1 ms.  Failure is ignored.
void RequestPreciseTimers();

}  // namespace orvex
