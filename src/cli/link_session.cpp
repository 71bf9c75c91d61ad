#include "cli/link_session.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <span>
#include <string>

#include "cli/codeplug_args.h"
#include "codeplug/backups.h"
#include "core/preferences.h"
#include "core/strings.h"
#include "link/clone_protocol.h"
#include "link/clone_transfer.h"
#include "link/serial_access.h"
#include "link/serial_ports.h"

namespace orvex::cli {

namespace {

constexpr int kMaxRetries = 100;
constexpr int kNotReadFirst = 10320, kNotBackedUp = 10321;
constexpr int kBarWidth = 40;
// Before a retry the radio's reply to the failed frame is let die away, so
// its tail is not taken for the new greeting's answer.
constexpr std::chrono::milliseconds kRetrySettle{300};

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
  std::cerr << Say(direction == CloneDirection::Read ? CloneMessages::kReadingCompleted
                                                     : CloneMessages::kWritingCompleted,
                   options.language)
            << "\n";
}

LinkResult RunLinkTransfer(CloneDirection direction, const LinkOptions& options, RadioMemory& memory,
                           bool sayCompleted) {
  static int argc = 1;
  static char name[] = "orvex-cli";
  static char* argv[] = {name, nullptr};
  std::optional<QCoreApplication> app;
  if (!QCoreApplication::instance()) app.emplace(argc, argv);

  CloneTransfer transfer;
  transfer.setTrace(options.trace.get());
  ProgressBar bar;
  LinkResult result = LinkResult::Failed;
  int attempt = 0;
  QObject::connect(&transfer, &CloneTransfer::progress, [&](int value, int maximum) { bar.Show(value, maximum); });
  QObject::connect(&transfer, &CloneTransfer::completed, [&] {
    bar.End();
    result = LinkResult::Completed;
    if (sayCompleted) SayCompleted(direction, options);
  });
  QObject::connect(&transfer, &CloneTransfer::modelMismatch, [&] {
    bar.End();
    result = LinkResult::ModelMismatch;
    std::cerr << Say(CloneMessages::kModelWrong, options.language) << "\n";
  });
  QObject::connect(&transfer, &CloneTransfer::openFailed, [&](const QString& error) {
    bar.End();
    result = LinkResult::OpenFailed;
    PrintError(options.port.toStdString() + ": " + error.toStdString());
    if (IsPermissionText(error.toStdString())) {
      if (const std::string help = SerialPermissionHelp(options.port.toStdString(), options.language); !help.empty())
        PrintError(help);
    }
  });
  QObject::connect(&transfer, &CloneTransfer::failed, [&](const QString& reason) {
    bar.End();
    result = LinkResult::Failed;
    std::cerr << Say(CloneMessages::kCheckConnection, options.language) << " (" << reason.toStdString() << ")";
    if (attempt < options.retries) std::cerr << ": retry " << attempt + 1 << " of " << options.retries;
    std::cerr << "\n";
  });
  QObject::connect(&transfer, &CloneTransfer::finished, [&] {
    if (result == LinkResult::Failed && attempt < options.retries) {
      ++attempt;
      QTimer::singleShot(kRetrySettle, [&] { transfer.start(direction, options.port, memory); });
      return;
    }
    QCoreApplication::quit();
  });
  // Started from inside the event loop, so an outcome reported at once
  // (a port that cannot be opened) still ends the loop.
  QTimer::singleShot(0, [&] { transfer.start(direction, options.port, memory); });
  QCoreApplication::exec();
  return result;
}

int VerifyRadio(const LinkOptions& options, const Image& file) {
  RadioMemory radio;
  radio.image() = BlankImage();
  const LinkResult read = RunLinkTransfer(CloneDirection::Read, options, radio);
  if (read != LinkResult::Completed) return ExitStatus(read);
  const auto rows = DifferingRows(radio.image(), file);
  if (rows.empty()) {
    std::cout << "verify: the radio holds every row a Write sends (" << WritePlanRows().size() << " rows)\n";
    return kExitOk;
  }
  std::cout << "verify: " << rows.size() << " rows differ:\n";
  for (const int row : rows) {
    char heading[32];
    std::snprintf(heading, sizeof heading, "  row %3d (0x%04X)", row, static_cast<unsigned>(Address(row, 0)));
    std::cout << heading << "  radio " << HexBytes(RowOf(radio.image(), row)) << "\n"
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

bool BackupBeforeWrite(const LinkOptions& options) {
  // Rows a Read does not fetch stay as a new codeplug has them.
  RadioMemory held;
  InitMemory(held);
  if (RunLinkTransfer(CloneDirection::Read, options, held, false) != LinkResult::Completed) {
    PrintError(Say(kNotReadFirst, options.language));
    return false;
  }
  return BackupRead(held.image(), options.port, options.language, BackupReason::BeforeWrite);
}

}  // namespace orvex::cli
