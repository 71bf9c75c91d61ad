#include "cli/fleet_session.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <csignal>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "cli/codeplug_args.h"
#include "cli/link_session.h"
#include "core/frequency.h"
#include "core/strings.h"
#include "fleet/fleet_run.h"
#include "fleet/fleet_values.h"
#include "link/serial_ports.h"

namespace orvex::cli {

namespace {

constexpr int kBarWidth = 30;
constexpr int kTxtNothingWritten = 1944;
constexpr std::chrono::milliseconds kRedraw{100};

volatile std::sig_atomic_t g_interrupted = 0;
void OnInterrupt(int) { g_interrupted = 1; }

std::string Say(int number, int language) { return std::string(Text(number, language)); }

// Devices for the --port values; "all" is every port the system lists.
// Empty with a message printed when one cannot be used.
std::optional<QStringList> FleetPorts(const Args& args, bool& all) {
  QStringList ports;
  all = false;
  for (const auto& text : args.all("--port")) {
    if (text == "all") {
      all = true;
      ports << ListedPorts();
      continue;
    }
    const QString device = ResolvePort(QString::fromStdString(text));
    if (device.isEmpty()) {
      PrintError("no serial port in slot " + text + " (see 'orvex-cli ports')");
      return std::nullopt;
    }
    ports << device;
  }
  ports.removeDuplicates();
  return ports;
}

using Row = ResultRow;

std::string Padded(const std::string& text, std::size_t width) {
  // Columns are counted in characters, not bytes, so Chinese texts line up.
  const auto length = static_cast<std::size_t>(QString::fromStdString(text).size());
  return text + std::string(width > length ? width - length : 0, ' ');
}

void PrintTable(const std::vector<Row>& rows, bool values, int language, std::ostream& out) {
  std::vector<Row> all = {{Say(FleetTexts::kPort, language), Say(FleetTexts::kValues, language),
                           Say(FleetTexts::kOutcome, language), Say(FleetTexts::kTime, language)}};
  all.insert(all.end(), rows.begin(), rows.end());
  std::size_t port = 0, value = 0, outcome = 0;
  for (const auto& r : all) {
    port = std::max<std::size_t>(port, QString::fromStdString(r.port).size());
    value = std::max<std::size_t>(value, QString::fromStdString(r.values).size());
    outcome = std::max<std::size_t>(outcome, QString::fromStdString(r.outcome).size());
  }
  for (const auto& r : all)
    out << Padded(r.port, port + 2) << (values ? Padded(r.values, value + 2) : "") << Padded(r.outcome, outcome + 2)
        << r.time << "\n";
}

// One line per radio at work, redrawn in place while stderr is a terminal.
class ProgressLines {
 public:
  ProgressLines() : m_terminal(isatty(STDERR_FILENO) != 0) {}
  void Set(int station, const QString& port, int value, int maximum) {
    m_lines[station] = {port.toStdString(), value, maximum};
  }
  void Remove(int station) { m_lines.erase(station); }
  // Prints a line above the progress lines (or just prints it).
  void Print(const std::string& line, std::ostream& out) {
    Clear();
    out << line << std::flush;
  }
  void Draw() {
    if (!m_terminal) return;
    Clear();
    for (const auto& [station, line] : m_lines) {
      const int filled = line.maximum > 0 ? line.value * kBarWidth / line.maximum : 0;
      std::cerr << line.port << " [" << std::string(static_cast<std::size_t>(filled), '#')
                << std::string(static_cast<std::size_t>(kBarWidth - filled), '.') << "] " << line.value << "/"
                << line.maximum << "\n";
    }
    m_drawn = static_cast<int>(m_lines.size());
    std::cerr << std::flush;
  }
  void Clear() {
    if (!m_terminal || m_drawn == 0) return;
    std::cerr << "\x1b[" << m_drawn << "A\x1b[J" << std::flush;
    m_drawn = 0;
  }

 private:
  struct Line {
    std::string port;
    int value = 0, maximum = 0;
  };
  bool m_terminal;
  int m_drawn = 0;
  std::map<int, Line> m_lines;
};

// A name for the codeplug read from a port, unique in the folder.
QString ReadFileName(const QDir& folder, const QString& port, std::set<QString>& used) {
  QString base = QFileInfo(port).fileName();
  if (base.isEmpty()) base = QStringLiteral("radio");
  QString name = base + QStringLiteral(".tw");
  for (int k = 2; used.contains(name); ++k) name = QStringLiteral("%1-%2.tw").arg(base).arg(k);
  used.insert(name);
  return folder.filePath(name);
}

// Runs the fleet to its end (or to Ctrl+C in watch mode); prints the table.
int RunFleet(const Args& args, FleetJob job, std::optional<FleetValues> values,
             const std::function<bool(const RadioReport&)>& keep) {
  auto options = PortlessLinkOptionsOrReport(args);
  if (!options) return kExitUsage;
  const bool watch = args.has("--watch");
  bool all = false;
  const auto ports = FleetPorts(args, all);
  if (!ports) return kExitUsage;
  if (!watch && ports->isEmpty()) {
    PrintError(all ? "the system lists no serial ports" : "--port is required");
    return kExitFailure;
  }
  const int language = options->language;
  job.retries = options->retries;
  if (values) job.imageFor = [&values, base = job.image](const QString& port) { return values->ImageFor(base, port); };

  static int argc = 1;
  static char name[] = "orvex-cli";
  static char* argv[] = {name, nullptr};
  std::optional<QCoreApplication> app;
  if (!QCoreApplication::instance()) {
    app.emplace(argc, argv);
    UseCNumericLocale();
  }

  FleetRun run(job);
  ProgressLines lines;
  std::vector<Row> rows;
  bool failed = false;
  QObject::connect(&run, &FleetRun::radioStarted,
                   [&](int station, const QString& port) { lines.Set(station, port, 0, 0); });
  QObject::connect(&run, &FleetRun::radioProgress, [&](int station, int value, int maximum) {
    lines.Set(station, run.stations()[static_cast<std::size_t>(station)]->port(), value, maximum);
  });
  QObject::connect(&run, &FleetRun::radioFinished, [&](int station, const RadioReport& report) {
    lines.Remove(station);
    Row row{report.port.toStdString(), "", OutcomeText(report, language), SecondsText(report.milliseconds)};
    if (values) {
      if (const auto line = values->LineOf(report.port)) row.values = ValuesLineText(*line, language);
      values->Finished(report);
    }
    if (!keep(report) || !Succeeded(report.outcome)) failed = true;
    rows.push_back(row);
    if (watch) {
      lines.Clear();
      std::cout << row.port << "  " << (values ? row.values + "  " : "") << row.outcome << "  " << row.time << "\n"
                << std::flush;
    }
  });
  QObject::connect(&run, &FleetRun::finished, [] { QCoreApplication::quit(); });
  QTimer redraw;
  QObject::connect(&redraw, &QTimer::timeout, [&] {
    if (g_interrupted && run.isRunning()) run.stop();
    lines.Draw();
  });
  redraw.start(kRedraw);

  g_interrupted = 0;
  auto previousInt = std::signal(SIGINT, OnInterrupt);
  auto previousTerm = std::signal(SIGTERM, OnInterrupt);
  if (watch) {
    std::cerr << Say(FleetTexts::kWaiting, language) << "\n";
    run.watch(*ports, all || ports->isEmpty() ? std::function<QStringList()>(ListedPorts) : nullptr);
  } else {
    run.start(*ports);
  }
  QCoreApplication::exec();
  std::signal(SIGINT, previousInt);
  std::signal(SIGTERM, previousTerm);
  lines.Clear();

  if (watch) std::cout << "\n";
  PrintTable(rows, values.has_value(), language, std::cout);
  const int good = run.succeeded();
  std::cout << SummaryText(good, static_cast<int>(rows.size()), language) << "\n";
  return failed ? kExitFailure : kExitOk;
}

}  // namespace

bool IsFleet(const Args& args) {
  const auto ports = args.all("--port");
  return ports.size() > 1 || args.has("--watch") || std::ranges::find(ports, "all") != ports.end();
}

int RunFleetWrite(const Args& args, const Image& codeplug) {
  FleetJob job;
  job.direction = CloneDirection::Write;
  job.image = codeplug;
  job.verify = !args.has("--no-verify");
  if (args.has("--backup-first")) job.keepBeforeWrite = KeepBackupsBeforeWrite(DefaultBackupFolder());
  std::optional<FleetValues> values;
  if (const auto path = args.value("--each")) {
    const int language = PortlessLinkOptionsOrReport(args).value_or(LinkOptions{}).language;
    auto loaded = FleetValues::Load(*path, language);
    if (!loaded) {
      PrintError(*path + ": " + loaded.error());
      PrintError(TextOf(kTxtNothingWritten, language));
      return kExitFailure;
    }
    values.emplace(std::move(*loaded));
  }
  return RunFleet(args, job, std::move(values), [](const RadioReport&) { return true; });
}

int RunFleetRead(const Args& args) {
  const auto output = args.value("-o");
  if (!output || output->empty()) {
    PrintError("-o DIR is required: one codeplug per port is written there");
    return kExitUsage;
  }
  QDir folder(QString::fromStdString(*output));
  if (!folder.mkpath(QStringLiteral("."))) {
    PrintError(*output + ": cannot create the folder");
    return kExitFailure;
  }
  FleetJob job;
  job.direction = CloneDirection::Read;
  // Rows a Read does not fetch stay as a new codeplug has them.
  RadioMemory fresh;
  InitMemory(fresh);
  job.image = fresh.image();
  std::set<QString> used;
  const int language = PortlessLinkOptionsOrReport(args).value_or(LinkOptions{}).language;
  return RunFleet(args, job, std::nullopt, [&](const RadioReport& report) {
    if (report.outcome != RadioOutcome::Read) return true;
    const QString file = ReadFileName(folder, report.port, used);
    // Like any completed Read, each radio's setup goes among the backups first.
    if (!args.has("--no-backup")) BackupRead(report.image, report.port, language);
    return SaveCodeplugOrReport(file.toStdString(), report.image);
  });
}

}  // namespace orvex::cli
