#include "cli/link_session.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <optional>
#include <span>
#include <string>

#include "app/job_messages.h"
#include "cli/codeplug_args.h"
#include "codeplug/backups.h"
#include "core/frequency.h"
#include "core/preferences.h"
#include "core/strings.h"
#include "link/clone_protocol.h"
#include "link/serial_access.h"
#include "link/serial_clone_port.h"
#include "link/serial_ports.h"

namespace orvex::cli {

namespace {

constexpr int kMaxRetries = 100;
constexpr int kNotReadFirst = JobTexts::kNotReadFirst, kNotBackedUp = JobTexts::kNotBackedUp;
constexpr int kBarWidth = 40;

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

std::string Say(int number, int language) { return std::string(Text(number, language)); }

// A bar redrawn in place while stderr is a terminal; nothing otherwise.
class ProgressBar {
 public:
  ProgressBar() : m_terminal(isatty(STDERR_FILENO) != 0) {}
  void Show(int value, int maximum) {
    if (!m_terminal || maximum <= 0) return;
    const int filled = value * kBarWidth / maximum;
    std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kBarWidth - filled), '.') << "] " << value << "/" << maximum
              << std::flush;
    m_drawn = true;
  }
  void End() {
    if (m_drawn) std::cerr << "\n";
    m_drawn = false;
  }

 private:
  bool m_terminal;
  bool m_drawn = false;
};

}  // namespace

std::vector<OptionSpec> LinkOptionSpecs(std::vector<OptionSpec> extra) {
  std::vector<OptionSpec> options = {
      {"--port", true, "slot 1..10, COMk or a device path (required)"},
      {"--retries", true, "retries of a failed transfer from the greeting (default 2)"},
      kLangOption,
      {"--trace", true, "write every frame and reply, in hex with millisecond times, to this file"},
  };
  options.insert(options.end(), extra.begin(), extra.end());
  return options;
}

std::optional<LinkOptions> LinkOptionsOrReport(const Args& args) {
  const auto port = args.value("--port");
  if (!port || port->empty()) {
    PrintError("--port is required (a slot 1..10, COMk or a device path)");
    return std::nullopt;
  }
  auto options = PortlessLinkOptionsOrReport(args);
  if (!options) return std::nullopt;
  options->port = ResolvePort(QString::fromStdString(*port));
  if (options->port.isEmpty()) {
    PrintError("no serial port in slot " + *port + " (see 'orvex-cli ports')");
    return std::nullopt;
  }
  return options;
}

std::optional<LinkOptions> PortlessLinkOptionsOrReport(const Args& args) {
  LinkOptions options;
  if (const auto retries = args.value("--retries")) {
    try {
      std::size_t used = 0;
      options.retries = std::stoi(*retries, &used);
      if (used != retries->size() || options.retries < 0 || options.retries > kMaxRetries) throw std::out_of_range("");
    } catch (const std::exception&) {
      PrintError("--retries takes a number 0.." + std::to_string(kMaxRetries));
      return std::nullopt;
    }
  }
  if (const auto trace = args.value("--trace")) {
    if (trace->empty()) {
      PrintError("--trace needs a file name");
      return std::nullopt;
    }
    options.tracePath = *trace;
    options.trace = std::make_shared<LinkTrace>();
    options.trace->Begin("orvex-cli on " + options.port.toStdString());
  }
  const auto language = LanguageOrReport(args);
  if (!language) return std::nullopt;
  options.language = *language;
  return options;
}

std::optional<int> LanguageOrReport(const Args& args) {
  const auto lang = args.value("--lang");
  if (!lang) return ReadLanguagePreference();
  if (*lang == "en") return kEnglish;
  if (*lang == "zh") return kChinese;
  PrintError("--lang takes en or zh");
  return std::nullopt;
}

void SayCompleted(CloneDirection direction, const LinkOptions& options) {
  std::cerr << CompletedText(direction, options.language) << "\n";
}

LinkJobRun RunLinkJob(JobRequest request, const LinkOptions& options, bool sayCompleted) {
  static int argc = 1;
  static char name[] = "orvex-cli";
  static char* argv[] = {name, nullptr};
  std::optional<QCoreApplication> app;
  if (!QCoreApplication::instance()) {
    app.emplace(argc, argv);
    UseCNumericLocale();
  }

  SerialClonePort port;
  ProgressBar bar;
  std::optional<JobEnd> end;
  JobCallbacks callbacks;
  callbacks.progress = [&](TransferStage, int value, int maximum) { bar.Show(value, maximum); };
  callbacks.stageCompleted = [&](TransferStage stage) {
    bar.End();
    // A read-back is said done as the Read it is; a backup read is not.
    if (stage == TransferStage::Verifying || (stage != TransferStage::BackingUp && sayCompleted))
      SayCompleted(stage == TransferStage::Writing ? CloneDirection::Write : CloneDirection::Read, options);
  };
  callbacks.keepBeforeWrite = [&](const Image& held) -> Status {
    // Said why when it was not kept.
    if (!BackupRead(held, options.port, options.language, BackupReason::BeforeWrite)) return Fail("");
    return Ok{};
  };
  callbacks.retry = [&](const JobFailure& failure) {
    bar.End();
    const bool again = failure.attempt < failure.retries;
    std::cerr << Say(CloneMessages::kCheckConnection, options.language) << " (" << failure.reason << ")";
    if (again) std::cerr << ": retry " << failure.attempt + 1 << " of " << failure.retries;
    std::cerr << "\n";
    return again;
  };
  callbacks.finished = [&](const JobEnd& ended) {
    bar.End();
    end = ended;
    QCoreApplication::quit();
  };
  ProgrammingJob job(port, callbacks);
  job.SetTrace(options.trace.get());
  request.port = options.port.toStdString();
  request.retries = options.retries;
  request.language = options.language;
  // Nothing here asks the check, so the job always starts.
  job.Start(request);
  QCoreApplication::exec();

  LinkJobRun run{*end, job.image()};
  switch (run.end.outcome) {
    case JobOutcome::ModelMismatch:
      std::cerr << Say(CloneMessages::kModelWrong, options.language) << "\n";
      break;
    case JobOutcome::OpenFailed:
      PrintError(request.port + ": " + run.end.reason);
      if (IsPermissionText(run.end.reason)) {
        if (const std::string help = SerialPermissionHelp(request.port, options.language); !help.empty())
          PrintError(help);
      }
      break;
    default:
      break;
  }
  // A Write that never started because the radio could not be read first.
  if (run.end.stage == TransferStage::BackingUp && run.end.outcome != JobOutcome::NotWritten)
    PrintError(Say(kNotReadFirst, options.language));
  return run;
}

LinkResult RunLinkTransfer(CloneDirection direction, const LinkOptions& options, RadioMemory& memory,
                           bool sayCompleted) {
  JobRequest request;
  request.direction = direction;
  request.image = memory.image();
  const LinkJobRun run = RunLinkJob(request, options, sayCompleted);
  if (direction == CloneDirection::Read && run.end.outcome == JobOutcome::Completed) memory.image() = run.image;
  return ResultOf(run.end);
}

LinkResult ResultOf(const JobEnd& end) {
  switch (end.outcome) {
    case JobOutcome::Completed:
      return LinkResult::Completed;
    case JobOutcome::ModelMismatch:
      return LinkResult::ModelMismatch;
    case JobOutcome::OpenFailed:
      return LinkResult::OpenFailed;
    default:
      return LinkResult::Failed;
  }
}

int VerifyRadio(const LinkOptions& options, const Image& file) {
  RadioMemory radio;
  radio.image() = BlankImage();
  const LinkResult read = RunLinkTransfer(CloneDirection::Read, options, radio);
  if (read != LinkResult::Completed) return ExitStatus(read);
  return ReportVerify(radio.image(), file);
}

int ReportVerify(const Image& radio, const Image& file) {
  const auto rows = DifferingRows(radio, file);
  if (rows.empty()) {
    std::cout << "verify: the radio holds every row a Write sends (" << WritePlanRows().size() << " rows)\n";
    return kExitOk;
  }
  std::cout << "verify: " << rows.size() << " rows differ:\n";
  for (const int row : rows) {
    char heading[32];
    std::snprintf(heading, sizeof heading, "  row %3d (0x%04X)", row, static_cast<unsigned>(Address(row, 0)));
    std::cout << heading << "  radio " << HexBytes(RowOf(radio, row)) << "\n"
              << std::string(std::string_view(heading).size(), ' ') << "  file  " << HexBytes(RowOf(file, row)) << "\n";
  }
  return kExitFailure;
}

int ExitStatus(LinkResult result) { return result == LinkResult::Completed ? kExitOk : kExitFailure; }

int SaveTraceOrReport(const LinkOptions& options, int status) {
  if (!options.trace) return status;
  const std::string text = options.trace->Text();
  if (!WriteTextOrReport(options.tracePath, text)) return kExitFailure;
  return status;
}

Result<std::string> KeepRadioBackup(const Image& image, const QString& port, BackupReason reason) {
  return SaveBackup(image, DefaultBackupFolder(), {RadioModelName(), port.toStdString(), reason});
}

bool BackupRead(const Image& image, const QString& port, int language, BackupReason reason) {
  const auto saved = KeepRadioBackup(image, port, reason);
  if (!saved) {
    PrintError(reason == BackupReason::BeforeWrite ? Say(kNotBackedUp, language) + saved.error()
                                                   : "the backup of this Read was not saved (" + saved.error() + ")");
    return false;
  }
  std::cerr << "backup: " << *saved << "\n";
  return true;
}

}  // namespace orvex::cli
