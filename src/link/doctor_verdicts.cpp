#include "link/doctor_verdicts.h"

#include <algorithm>
#include <cstdio>

#include "core/strings.h"
#include "link/clone_protocol.h"

namespace orvex {

namespace {

using Bytes = std::vector<std::uint8_t>;

// String-table numbers of the verdicts' texts.
constexpr int kTxtOpens = 1862, kTxtNothingBack = 1868, kTxtEchoes = 1869, kTxtNoEcho = 1870, kTxtEchoNoRadio = 1871,
              kTxtNoAnswer = 1872, kTxtWrongAnswer = 1873, kTxtNoIdentify = 1874, kTxtThisModel = 1875,
              kTxtOtherModel = 1876, kTxtWorks = 1877, kTxtFirstProblem = 1878, kTxtNoRadio = 1879, kTxtPlace = 1910,
              kTxtDenied = 1925, kTxtBusy = 1926, kTxtWentAway = 1927, kTxtCannotOpen = 1928, kTxtNoMaker = 1929,
              kTxtNoProduct = 1930, kTxtAdapter = 1931, kTxtFakeFtdi = 1932, kTxtFakeProlific = 1933;

// The identification a radio sends: an acknowledgement and seven bytes.
constexpr std::size_t kIdentifyReply = 8;

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  char byte[4];
  for (const std::uint8_t b : bytes) {
    std::snprintf(byte, sizeof byte, "%s%02X", text.empty() ? "" : " ", b);
    text += byte;
  }
  return text;
}

bool StartsWith(const Bytes& bytes, std::span<const std::uint8_t> prefix) {
  const std::size_t n = std::min(bytes.size(), prefix.size());
  return std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n), prefix.begin());
}

// The line gives back what was sent (an echoing cable), greeting and all.
bool EchoesGreeting(const Bytes& afterGreeting) {
  return StartsWith(afterGreeting, kGreeting) && afterGreeting.size() >= std::size(kGreeting);
}

std::string Printable(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t b : bytes) text += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '.';
  return text;
}

}  // namespace

std::string DoctorStepName(DoctorStep step, int language) {
  return std::string(Text(static_cast<int>(step), language));
}

DoctorCheck OpenProblemVerdict(OpenProblem problem, const std::string& detail, const std::string& reason,
                               int language) {
  static constexpr int kTexts[] = {kTxtDenied, kTxtBusy, kTxtWentAway, kTxtCannotOpen};
  return {DoctorVerdict::Fail, DoctorStepName(DoctorStep::Open, language),
          TextOf(kTexts[static_cast<int>(problem)], language, {detail, reason})};
}

DoctorCheck OpensVerdict(const std::string& device, int language) {
  return {DoctorVerdict::Pass, DoctorStepName(DoctorStep::Open, language), TextOf(kTxtOpens, language, {device})};
}

DoctorCheck AdapterVerdict(const std::string& vendorId, const std::string& productId, const std::string& maker,
                           const std::string& product, int language) {
  const std::string ids = vendorId + ":" + productId;
  const std::string text = TextOf(kTxtAdapter, language,
                                  {ids, maker.empty() ? std::string(Text(kTxtNoMaker, language)) : maker,
                                   product.empty() ? std::string(Text(kTxtNoProduct, language)) : product});
  const std::string name = DoctorStepName(DoctorStep::Adapter, language);
  // Clones give themselves away: an FTDI id with its product id wiped, or a
  // Prolific chip whose maker stopped making it years ago.
  if (ids == "0403:0000") return {DoctorVerdict::Warn, name, TextOf(kTxtFakeFtdi, language, {text})};
  if (vendorId == "067b" &&
      (product.find("HXA") != std::string::npos || product.find("PHASED OUT") != std::string::npos))
    return {DoctorVerdict::Warn, name, TextOf(kTxtFakeProlific, language, {text})};
  return {DoctorVerdict::Pass, name, text};
}

std::vector<std::uint8_t> DoctorConversation::Next() {
  switch (m_step) {
    case Step::Start:
      m_step = Step::Greeting;
      return Bytes(std::begin(kGreeting), std::end(kGreeting));
    case Step::Greeting: {
      // Only a radio that acknowledged the greeting is asked who it is.
      const Bytes& g = m_exchange.afterGreeting;
      if (g.size() <= (Echoes() ? std::size(kGreeting) : 0) || (g.back() & 0x0F) != CloneFrames::kAck) break;
      m_step = Step::Identify;
      m_exchange.identifySent = true;
      return {CloneFrames::kIdentify};
    }
    case Step::Identify:
    case Step::Done:
      break;
  }
  m_step = Step::Done;
  return {};
}

bool DoctorConversation::Received(std::span<const std::uint8_t> bytes) {
  if (m_step == Step::Greeting) {
    Bytes& g = m_exchange.afterGreeting;
    g.insert(g.end(), bytes.begin(), bytes.end());
    // An echo is followed by the answer; without one, any byte is it.
    return StartsWith(g, kGreeting) ? g.size() > std::size(kGreeting) : !g.empty();
  }
  if (m_step == Step::Identify) {
    Bytes& id = m_exchange.afterIdentify;
    id.insert(id.end(), bytes.begin(), bytes.end());
    return id.size() >= (Echoes() ? 1 : 0) + kIdentifyReply;
  }
  return true;
}

void DoctorConversation::SendFailed() {
  if (m_step == Step::Identify) m_exchange.identifySent = false;
  m_step = Step::Done;
}

bool DoctorConversation::Echoes() const { return EchoesGreeting(m_exchange.afterGreeting); }

std::vector<DoctorCheck> ExchangeVerdicts(const DoctorExchange& exchange, bool& radioIsThisModel, int language) {
  std::vector<DoctorCheck> checks;
  radioIsThisModel = false;
  const std::string echoName = DoctorStepName(DoctorStep::Echo, language);
  const std::string radioName = DoctorStepName(DoctorStep::Radio, language);
  const Bytes& g = exchange.afterGreeting;
  const bool echo = EchoesGreeting(g);
  if (g.empty()) {
    checks.push_back({DoctorVerdict::Note, echoName, TextOf(kTxtNothingBack, language)});
  } else if (echo) {
    checks.push_back({DoctorVerdict::Note, echoName, TextOf(kTxtEchoes, language)});
  } else {
    checks.push_back({DoctorVerdict::Pass, echoName, TextOf(kTxtNoEcho, language)});
  }
  const std::size_t skip = echo ? std::size(kGreeting) : 0;
  if (g.size() <= skip) {
    checks.push_back({DoctorVerdict::Fail, radioName, TextOf(echo ? kTxtEchoNoRadio : kTxtNoAnswer, language)});
    return checks;
  }
  const std::uint8_t answer = g.back();
  if ((answer & 0x0F) != CloneFrames::kAck) {
    checks.push_back({DoctorVerdict::Fail, radioName, TextOf(kTxtWrongAnswer, language, {Hex(std::span(&answer, 1))})});
    return checks;
  }
  const Bytes& id = exchange.afterIdentify;
  const std::size_t idSkip = echo ? 1 : 0;
  if (!exchange.identifySent || id.size() < idSkip + kIdentifyReply) {
    checks.push_back(
        {DoctorVerdict::Fail, radioName, TextOf(kTxtNoIdentify, language, {std::to_string(id.size()), Hex(id)})});
    return checks;
  }
  const std::span<const std::uint8_t> reply = std::span(id).last(kIdentifyReply);
  const bool ours =
      reply[0] == CloneFrames::kAck && std::equal(std::begin(kModelId), std::end(kModelId), reply.begin() + 1);
  if (ours) {
    radioIsThisModel = true;
    checks.push_back(
        {DoctorVerdict::Pass, radioName, TextOf(kTxtThisModel, language, {Printable(reply.subspan(1, 5))})});
  } else {
    checks.push_back({DoctorVerdict::Fail, radioName,
                      TextOf(kTxtOtherModel, language, {"\"" + Printable(reply.subspan(1, 5)) + "\"", Hex(reply)})});
  }
  return checks;
}

std::string DoctorSummary(const std::vector<DoctorCheck>& checks, bool radioIsThisModel, const std::string& device,
                          int language) {
  if (radioIsThisModel) return TextOf(kTxtWorks, language, {device});
  const auto failed =
      std::find_if(checks.begin(), checks.end(), [](const DoctorCheck& c) { return c.verdict == DoctorVerdict::Fail; });
  if (failed != checks.end()) return TextOf(kTxtFirstProblem, language, {device, failed->name, failed->text});
  return TextOf(kTxtNoRadio, language, {device});
}

std::string DoctorLine(const DoctorCheck& check, int language) {
  const char* mark = check.verdict == DoctorVerdict::Pass   ? "[ ok ] "
                     : check.verdict == DoctorVerdict::Note ? "[note] "
                     : check.verdict == DoctorVerdict::Warn ? "[warn] "
                                                            : "[FAIL] ";
  return mark + TextOf(kTxtPlace, language, {check.name, check.text});
}

std::string DoctorReportText(const DoctorReport& report, int language) {
  std::string text;
  for (const DoctorCheck& check : report.checks) text += DoctorLine(check, language) + "\n";
  return text + "\n" + report.summary;
}

}  // namespace orvex
