#pragma once

// Plain-language help for a serial device that cannot be opened, as the
// cable doctor and the first failed Read or Write give it.

#include <string>
#include <vector>

namespace orvex {

// For a device the user may not open: the group that owns it (read from
// the file system) and the exact command that adds the user to it, with the
// note to log in again.  "" when the system tells nothing about the device.
std::string SerialPermissionHelp(const std::string& device, int language = 0);

// The programs that hold the device open, "1234 (minicom)"; this process
// is left out.  Empty where the system does not say.
std::vector<std::string> DeviceHolders(const std::string& device);

// Help for an open error reported by the system (errno value): the
// permission help for EACCES/EPERM, the holders for EBUSY, else "".
std::string OpenErrorHelp(int error, const std::string& device, int language = 0);

// Whether a Qt or system error text means "permission denied".
bool IsPermissionText(const std::string& text);

}  // namespace orvex
