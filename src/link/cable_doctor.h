#pragma once

// The cable doctor: the checks a helpful expert runs on a port that will
// not talk to the radio, each with a verdict and what to do about it.

#include <chrono>
#include <string>
#include <vector>

#include "link/link_trace.h"

namespace orvex {

enum class DoctorVerdict { Pass, Note, Warn, Fail };

struct DoctorCheck {
  DoctorVerdict verdict;
  std::string name;  // "port", "open", "adapter", ...
  std::string text;  // what was found and what to do
};

struct DoctorOptions {
  // Serial devices seen when the program started, to tell which appeared
  // since (a cable just plugged in).
  std::vector<std::string> portsAtStart;
  std::chrono::milliseconds replyLimit{800};
  int language = 0;  // of the texts found
};

struct DoctorReport {
  std::vector<DoctorCheck> checks;
  bool radioIsThisModel = false;
  std::string summary;
};

// Runs every check on the device, talking to it at 9600 baud: the greeting
// and the identification, nothing that changes the radio.  Blocks for up to
// two reply limits; safe to run off the user-interface thread.
DoctorReport RunCableDoctor(const std::string& device, const DoctorOptions& options, LinkTrace* trace = nullptr);

// The verdict on an open that failed with this system error (errno).
DoctorCheck OpenVerdict(int error, const std::string& device, int language = 0);

// The verdict on what came back after the greeting and the identify request:
// whether the line echoes, and whether and as what the radio answered.
struct DoctorExchange {
  std::vector<std::uint8_t> afterGreeting;  // everything received after the greeting
  std::vector<std::uint8_t> afterIdentify;  // everything received after 0x02 (empty when not sent)
  bool identifySent = false;
};
std::vector<DoctorCheck> ExchangeVerdicts(const DoctorExchange& exchange, bool& radioIsThisModel, int language = 0);

// A USB adapter described by the system: counterfeit chips known by their
// ids and description are named as such.
DoctorCheck AdapterVerdict(const std::string& vendorId, const std::string& productId, const std::string& maker,
                           const std::string& product, int language = 0);

// "[ ok ] open: ..." / "[FAIL] ..." for a terminal or a log.
std::string DoctorLine(const DoctorCheck& check, int language = 0);

// The serial devices the system lists now (what QSerialPort would open).
std::vector<std::string> SerialDevicesNow();

}  // namespace orvex
