// The page's safety net: the comparison of the open codeplug with a file as
// the desktop's Compare window lists it, and the cable test over the page's
// own port with the cable doctor's verdicts.  The page moves the bytes and
// keeps the time; what was seen is judged and worded here.

#include <emscripten/bind.h>

#include "codeplug/codeplug_file.h"
#include "core/spoken_text.h"
#include "link/doctor_verdicts.h"
#include "link/link_trace.h"
#include "model/document/codeplug_diff.h"
#include "web/web_session.h"

namespace orvex {
namespace {

using emscripten::val;

constexpr int kCompareTitle = 1690, kWhat = 1691, kOpenCodeplug = 1692, kHint = 1696, kSame = 10168;
// What the browser's refusals mean for the person at the page.
constexpr int kBrowserDenied = 1603, kBrowserBusy = 1604;

val Strings(const std::vector<std::string>& items) {
  val list = val::array();
  for (const std::string& item : items) list.call<void>("push", item);
  return list;
}

// The comparison of the open codeplug with the file `name`: the window's
// title, its column heads, a row per difference (what, open, other,
// channel) and the note under the list; only `note` when the file is not a
// codeplug.
val CompareTable(WebSession& web, const std::string& name, const std::string& file) {
  const int language = web.Language();
  val out = val::object();
  out.set("title", TextOf(kCompareTitle, language) + name);
  const std::string what = TextOf(kWhat, language);
  const std::string open = TextOf(kOpenCodeplug, language);
  out.set("headers", Strings({what, open, name}));
  val rows = val::array();
  out.set("rows", rows);
  const ParsedCodeplug parsed = ParseCodeplug({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()});
  if (parsed.check != CodeplugCheck::Ok) {
    out.set("refused", true);
    out.set("note", std::string(Text(kIncorrectFileTypeText, language)));
    return out;
  }
  const CodeplugDiff diff = DiffCodeplugs(web.session().memory().image(), parsed.image);
  for (const DiffRow& row : DiffTable(diff)) {
    val item = Strings({row.what, row.before, row.after});
    item.set("channel", row.channel);
    // Each cell heard with its line and column, so no two cells and no
    // blank one sound alike.
    item.set("spoken",
             Strings({row.what, JoinSpoken({row.what, open, row.before}), JoinSpoken({row.what, name, row.after})}));
    rows.call<void>("push", item);
  }
  out.set("refused", false);
  out.set("note", TextOf(diff.empty() ? kSame : kHint, language));
  return out;
}

}  // namespace

// The cable test on one port of the page: next() gives the bytes to send
// ("" once the exchange is over), received() takes what came back and says
// whether the step has its reply; opened(), openFailed() and adapter() add
// what the page saw of the port; report() words it all.
class WebCableTest {
 public:
  WebCableTest(WebSession& web, std::string port) : m_web(web), m_port(std::move(port)) {
    m_trace.Begin("Test Cable on " + m_port);
    // The log's notes stay English in every language, as the desktop's do.
    m_trace.Note("cable doctor on " + m_port);
  }

  val Next() {
    const Bytes bytes = m_talk.Next();
    if (!bytes.empty()) m_trace.Sent(bytes);
    m_talking = true;
    return ByteArray(bytes);
  }
  bool Received(const std::string& bytes) {
    const std::span<const std::uint8_t> chunk{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    m_trace.Received(chunk);
    return m_talk.Received(chunk);
  }
  void SendFailed() { m_talk.SendFailed(); }

  void Opened() { m_checks.push_back(OpensVerdict(m_port, m_web.Language())); }
  // `problem` is "denied" (the browser was given no port), "busy" (another
  // holds it open) or anything else; `reason` is the browser's own words.
  void OpenFailed(const std::string& problem, const std::string& reason) {
    const int language = m_web.Language();
    if (problem == "denied")
      m_checks.push_back(
          OpenProblemVerdict(OpenProblem::Denied, std::string(Text(kBrowserDenied, language)), reason, language));
    else if (problem == "busy")
      m_checks.push_back(
          OpenProblemVerdict(OpenProblem::Busy, std::string(Text(kBrowserBusy, language)), reason, language));
    else
      m_checks.push_back(OpenProblemVerdict(OpenProblem::Other, m_port, reason, language));
  }
  // The USB ids the browser tells of the port ("0403", "6001").
  void Adapter(const std::string& vendorId, const std::string& productId) {
    m_checks.push_back(AdapterVerdict(vendorId, productId, "", "", m_web.Language()));
  }

  // {text, good}: the report as the Test Cable window shows it and whether
  // a radio of this model answered.
  val Report() {
    const int language = m_web.Language();
    DoctorReport report;
    report.checks = m_checks;
    if (m_talking)
      for (auto& check : ExchangeVerdicts(m_talk.exchange(), report.radioIsThisModel, language))
        report.checks.push_back(std::move(check));
    report.summary = DoctorSummary(report.checks, report.radioIsThisModel, m_port, language);
    if (!m_reported) m_trace.Note(report.summary);
    m_reported = true;
    val out = val::object();
    out.set("text", DoctorReportText(report, language));
    out.set("good", report.radioIsThisModel);
    return out;
  }
  std::string LinkLog() const { return m_trace.Text(); }

 private:
  WebSession& m_web;
  std::string m_port;
  DoctorConversation m_talk;
  std::vector<DoctorCheck> m_checks;
  LinkTrace m_trace;
  bool m_talking = false;
  bool m_reported = false;
};

}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web_safety) {
  using orvex::WebCableTest;
  emscripten::function(
      "doctorReplyLimit", +[] { return static_cast<int>(orvex::kDoctorReplyLimit.count()); });
  emscripten::function("compareTable", &orvex::CompareTable);
  emscripten::class_<WebCableTest>("CableTest")
      .constructor<orvex::WebSession&, std::string>()
      .function("next", &WebCableTest::Next)
      .function("received", &WebCableTest::Received)
      .function("sendFailed", &WebCableTest::SendFailed)
      .function("opened", &WebCableTest::Opened)
      .function("openFailed", &WebCableTest::OpenFailed)
      .function("adapter", &WebCableTest::Adapter)
      .function("report", &WebCableTest::Report)
      .function("linkLog", &WebCableTest::LinkLog);
}
