#pragma once

// The cable doctor: the checks a helpful expert runs on a port that will
// not talk to the radio, each with a verdict and what to do about it.

#include <chrono>
#include <string>
#include <vector>

#include "link/doctor_verdicts.h"
#include "link/link_trace.h"

namespace orvex {

struct DoctorOptions {
  // Serial devices seen when the program started, to tell which appeared
  // since (a cable just plugged in).
  std::vector<std::string> portsAtStart;
  std::chrono::milliseconds replyLimit = kDoctorReplyLimit;
  int language = 0;  // of the texts found
};

// Runs every check on the device, talking to it at 9600 baud: the greeting
// and the identification, nothing that changes the radio.  Blocks for up to
// two reply limits; safe to run off the user-interface thread.
DoctorReport RunCableDoctor(const std::string& device, const DoctorOptions& options, LinkTrace* trace = nullptr);

// The verdict on an open that failed with this system error (errno).
DoctorCheck OpenVerdict(int error, const std::string& device, int language = 0);

// The serial devices the system lists now (what QSerialPort would open).
std::vector<std::string> SerialDevicesNow();

}  // namespace orvex
