#pragma once

// QSerialPort keeps a UUCP-style lock file ("LCK..ttyUSB0") for every port it
// opens, in the first usable of the usual lock folders.  The lock is kept:
// the exclusive open (TIOCEXCL) does not stop root, and other terminal
// programs honour the same lock files.  But a transfer killed while the lock
// file was being made leaves it empty, and Qt then refuses the port for 30 s
// ("Permission error while locking the device"); a kill during Qt's own stale
// check leaves "….rmlock" files too.  Before a port is opened such leftovers
// are removed.

#include <QString>

namespace orvex {

// The lock file QSerialPort uses for a device (its system location, such as
// "/dev/ttyUSB0" or "/tmp/radio-link"); empty when no lock folder is usable.
QString SerialLockPath(const QString& device);

// Removes the device's lock file and any ".rmlock" files beside it when no
// live process holds them: a file nobody has flock()ed that is empty or
// names a process that no longer runs.  A lock held by a running transfer is
// left alone.
void ClearStaleSerialLock(const QString& device);

}  // namespace orvex
