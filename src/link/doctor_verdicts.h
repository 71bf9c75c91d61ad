#pragma once

// The cable doctor's verdicts: what the findings on a port mean and what to
// do about them, worded from the string table.  Plain C++ on what was seen,
// so every face that can see a finding (the desktop's own checks on a
// device, the page's through the browser) gives the same diagnosis.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvex {

// How long the doctor waits for each reply.
inline constexpr std::chrono::milliseconds kDoctorReplyLimit{800};

enum class DoctorVerdict { Pass, Note, Warn, Fail };

struct DoctorCheck {
  DoctorVerdict verdict;
  std::string name;  // "port", "open", "adapter", ...
  std::string text;  // what was found and what to do
};

struct DoctorReport {
  std::vector<DoctorCheck> checks;
  bool radioIsThisModel = false;
  std::string summary;
};

// The checks' names, as the report shows them (string-table numbers).
enum class DoctorStep { Port = 1934, Open, Adapter, Latency, ModemManager, Echo, Radio };
std::string DoctorStepName(DoctorStep step, int language);

// Why a port would not open, as far as the system or the browser tells.
enum class OpenProblem { Denied, Busy, WentAway, Other };
// `detail` says what to do (or names the device), `reason` is the system's.
DoctorCheck OpenProblemVerdict(OpenProblem problem, const std::string& detail, const std::string& reason, int language);
// The port opened at the radio's speed.
DoctorCheck OpensVerdict(const std::string& device, int language);

// The verdict on what came back after the greeting and the identify request:
// whether the line echoes, and whether and as what the radio answered.
struct DoctorExchange {
  std::vector<std::uint8_t> afterGreeting;  // everything received after the greeting
  std::vector<std::uint8_t> afterIdentify;  // everything received after 0x02 (empty when not sent)
  bool identifySent = false;
};
std::vector<DoctorCheck> ExchangeVerdicts(const DoctorExchange& exchange, bool& radioIsThisModel, int language = 0);

// The exchange one step at a time, for whoever moves the bytes: send what
// Next() gives, hand what comes back to Received() until it says that is
// enough or the reply limit passes, then ask Next() again; nothing from
// Next() means the exchange is complete.  Only the greeting and the
// identification: nothing that changes the radio.
class DoctorConversation {
 public:
  std::vector<std::uint8_t> Next();
  // True once this step has all the reply it waits for.
  bool Received(std::span<const std::uint8_t> bytes);
  // What Next() gave could not be sent: the exchange ends here.
  void SendFailed();
  [[nodiscard]] const DoctorExchange& exchange() const { return m_exchange; }

 private:
  enum class Step { Start, Greeting, Identify, Done };
  bool Echoes() const;
  Step m_step = Step::Start;
  DoctorExchange m_exchange;
};

// A USB adapter described by the system: counterfeit chips known by their
// ids and description are named as such.
DoctorCheck AdapterVerdict(const std::string& vendorId, const std::string& productId, const std::string& maker,
                           const std::string& product, int language = 0);

// The report's last line: that the radio answers, or the first failure.
std::string DoctorSummary(const std::vector<DoctorCheck>& checks, bool radioIsThisModel, const std::string& device,
                          int language);

// "[ ok ] open: ..." / "[FAIL] ..." for a terminal or a log.
std::string DoctorLine(const DoctorCheck& check, int language = 0);

// The whole report as the Test Cable window shows it: a line per check, a
// blank line, the summary.
std::string DoctorReportText(const DoctorReport& report, int language);

}  // namespace orvex
