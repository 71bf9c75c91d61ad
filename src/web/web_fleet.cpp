// Several radios written at once from the page: each radio its own
// programming job over its own serial line, per-radio values from a CSV
// handed out as radios identify themselves, and the table of outcomes with
// the texts the desktop program and the command line show.

#include <emscripten/bind.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "app/programming_job.h"
#include "app/radio_outcome.h"
#include "app/values_handout.h"
#include "core/strings.h"
#include "web/line_port.h"
#include "web/web_session.h"

namespace orvex {

namespace {

using emscripten::val;

// String-table numbers of the values file's messages.
constexpr int kTxtLineNote = 1851, kTxtNoSlot = 1942;

// A row's "port" as the page counts granted ports: "2" or "COM2" is the
// second; nullopt for any other text.
std::optional<std::string> SlotOf(const std::string& port) {
  const std::size_t digits = port.size() >= 3 && (port[0] == 'C' || port[0] == 'c') &&
                                     (port[1] == 'O' || port[1] == 'o') && (port[2] == 'M' || port[2] == 'm')
                                 ? 3
                                 : 0;
  if (digits == port.size() || port.size() - digits > 3) return std::nullopt;
  int slot = 0;
  for (std::size_t i = digits; i < port.size(); ++i) {
    if (port[i] < '0' || port[i] > '9') return std::nullopt;
    slot = slot * 10 + (port[i] - '0');
  }
  if (slot < 1) return std::nullopt;
  return std::to_string(slot);
}

}  // namespace

// One run over the session's codeplug.  A radio is added with its port's
// position ("1" is the first granted port), its line and a face with
// progress(value, maximum) and finished(row), row being { port, values,
// outcome, time, succeeded }.
class WebFleet {
 public:
  explicit WebFleet(WebSession& web) : m_web(web) {}

  // Starts a run: every radio of it gets the codeplug as it is now, with
  // its row of the values CSV ("" for none).  "" when the CSV is usable,
  // otherwise why not.
  std::string Begin(const std::string& csv) {
    std::optional<RadioValues> values;
    if (!csv.empty()) {
      auto parsed = ParseRadioValues(csv, Language());
      if (!parsed) return parsed.error();
      for (auto& row : parsed->rows) {
        if (row.port.empty()) continue;
        const auto slot = SlotOf(row.port);
        if (!slot)
          return TextOf(kTxtLineNote, Language(),
                        {std::to_string(row.line), TextOf(kTxtNoSlot, Language(), {row.port})});
        row.port = *slot;
      }
      values = std::move(*parsed);
    }
    m_values.reset();
    if (values) m_values.emplace(std::move(*values), Language());
    m_image = m_web.session().memory().image();
    m_rows.clear();
    return {};
  }

  // Starts a Write of the radio on `port`; false when that port is busy.
  // With `backupFirst` it first reads the radio and hands what it held to
  // the face's keep(); the Write goes on at Kept().
  bool Write(const std::string& port, val line, val face, bool verify, bool backupFirst) {
    auto& radio = m_radios[port];
    if (radio && radio->job.running()) return false;
    radio = std::make_unique<Radio>(*this, port, std::move(line), std::move(face));
    radio->request.direction = CloneDirection::Write;
    radio->request.port = port;
    radio->request.image = m_image;
    radio->request.verify = verify;
    radio->request.backupFirst = backupFirst;
    radio->request.retries = kRetries;
    radio->request.language = Language();
    radio->started = std::chrono::steady_clock::now();
    return radio->job.Start(radio->request);
  }

  void Stop() {
    for (auto& [port, radio] : m_radios) radio->job.Stop();
  }
  // What the radio on `port` held is kept (no refusal) or could not be.
  void Kept(const std::string& port, const std::string& refusal) {
    Radio* radio = Find(port);
    if (!radio) return;
    if (refusal.empty())
      radio->job.Answer(true);
    else
      radio->job.Refuse(refusal);
  }
  bool Running() const {
    for (const auto& [port, radio] : m_radios)
      if (radio->job.running()) return true;
    return false;
  }

  void Received(const std::string& port, const std::string& bytes) {
    if (Radio* radio = Find(port)) radio->line.Received(Bytes(bytes.begin(), bytes.end()));
  }
  void Timer(const std::string& port) {
    if (Radio* radio = Find(port)) radio->line.Timer();
  }
  void Failed(const std::string& port, const std::string& reason) {
    if (Radio* radio = Find(port)) radio->line.Failed(reason);
  }

  // The table's headings: port, values, progress, outcome, time.
  val Headings() const {
    val out = val::array();
    for (const int number :
         {FleetTexts::kPort, FleetTexts::kValues, FleetTexts::kProgress, FleetTexts::kOutcome, FleetTexts::kTime})
      out.call<void>("push", std::string(Text(number, Language())));
    return out;
  }
  std::string Summary() const {
    int good = 0;
    for (const auto& row : m_rows) good += row.succeeded ? 1 : 0;
    return SummaryText(good, static_cast<int>(m_rows.size()), Language());
  }
  std::string Csv() const {
    std::vector<ResultRow> rows;
    for (const auto& row : m_rows) rows.push_back(row.shown);
    return ResultCsv(rows, m_values.has_value(), Language());
  }

 private:
  static constexpr int kRetries = 2;  // as the command line's fleet

  struct Radio {
    Radio(WebFleet& fleet, std::string portName, val lineObject, val faceObject)
        : port(std::move(portName)),
          line(std::move(lineObject)),
          face(std::move(faceObject)),
          job(line, fleet.Callbacks(*this)) {}
    std::string port;
    LinePort line;
    val face;
    JobRequest request;
    ProgrammingJob job;
    std::chrono::steady_clock::time_point started;
    bool bound = false;  // its image was chosen
  };
  struct Row {
    ResultRow shown;
    bool succeeded = false;
  };

  int Language() const { return m_web.Language(); }

  Radio* Find(const std::string& port) {
    const auto it = m_radios.find(port);
    return it == m_radios.end() ? nullptr : it->second.get();
  }

  JobCallbacks Callbacks(Radio& radio) {
    JobCallbacks callbacks;
    callbacks.progress = [&radio](TransferStage stage, int value, int) {
      radio.face.call<void>("progress", RadioProgressValue(radio.request, stage, value),
                            RadioProgressMaximum(radio.request));
    };
    callbacks.identified = [this, &radio](TransferStage stage) { Identified(radio, stage); };
    callbacks.keepBeforeWrite = [&radio](const Image& held) {
      radio.job.AnswerLater();
      radio.face.call<void>("keep", ByteArray(Bytes(held.begin(), held.end())));
      return Status(Ok{});
    };
    callbacks.retry = [](const JobFailure& failure) { return failure.attempt < failure.retries; };
    callbacks.finished = [this, &radio](const JobEnd& end) { Finished(radio, end); };
    return callbacks;
  }

  // The radio said who it is: it gets its values row now, so a radio that
  // does not answer takes no row from another.
  void Identified(Radio& radio, TransferStage stage) {
    if (stage != TransferStage::Writing || radio.bound || !m_values) return;
    radio.bound = true;
    auto image = m_values->ImageFor(radio.request.image, radio.port);
    if (!image) {
      radio.job.Refuse(image.error());
      return;
    }
    radio.job.SetWriteImage(*image);
  }

  void Finished(Radio& radio, const JobEnd& end) {
    const RadioResult result = ResultOf(end);
    const auto elapsed = std::chrono::steady_clock::now() - radio.started;
    Row row;
    row.succeeded = Succeeded(result.outcome);
    row.shown.port = radio.port;
    row.shown.outcome = OutcomeText(result, Language());
    row.shown.time = SecondsText(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    if (m_values) {
      if (const auto line = m_values->LineOf(radio.port)) row.shown.values = ValuesLineText(*line, Language());
      m_values->Finished(radio.port, result.outcome);
    }
    radio.bound = false;
    m_rows.push_back(row);
    if (row.succeeded || result.outcome == RadioOutcome::Differences) {
      const int maximum = RadioProgressMaximum(radio.request);
      radio.face.call<void>("progress", maximum, maximum);
    }
    val shown = val::object();
    shown.set("port", row.shown.port);
    shown.set("values", row.shown.values);
    shown.set("outcome", row.shown.outcome);
    shown.set("time", row.shown.time);
    shown.set("succeeded", row.succeeded);
    radio.face.call<void>("finished", shown);
  }

  WebSession& m_web;
  Image m_image{};
  std::optional<ValuesHandout> m_values;
  std::map<std::string, std::unique_ptr<Radio>> m_radios;
  std::vector<Row> m_rows;
};

}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web_fleet) {
  using orvex::WebFleet;
  emscripten::class_<WebFleet>("Fleet")
      .constructor<orvex::WebSession&>()
      .function("begin", &WebFleet::Begin)
      .function("write", &WebFleet::Write)
      .function("stop", &WebFleet::Stop)
      .function("kept", &WebFleet::Kept)
      .function("running", &WebFleet::Running)
      .function("received", &WebFleet::Received)
      .function("timer", &WebFleet::Timer)
      .function("failed", &WebFleet::Failed)
      .function("headings", &WebFleet::Headings)
      .function("summary", &WebFleet::Summary)
      .function("csv", &WebFleet::Csv);
}
