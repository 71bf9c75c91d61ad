#pragma once

// What the radio verbs share: the port and retry options, one transfer run
// to its end with progress on stderr, and the comparison Verify makes.

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/programming_job.h"
#include "cli/verb.h"
#include "codeplug/backups.h"
#include "core/app_state.h"
#include "core/memory_image.h"
#include "link/link_trace.h"

namespace orvex::cli {

struct LinkOptions {
  QString port;  // the device QSerialPort opens
  int retries = 2;
  int language = 0;
  // --trace FILE: every transfer of the verb is recorded and the file
  // written once the verb is done (SaveTraceOrReport).
  std::string tracePath;
  std::shared_ptr<LinkTrace> trace;
};

inline constexpr OptionSpec kLangOption{"--lang", true,
                                        "en or zh: language of the messages (default: the stored preference)"};

// --port, --retries, --lang and --trace, followed by a verb's own options.
std::vector<OptionSpec> LinkOptionSpecs(std::vector<OptionSpec> extra = {});

// Reads the options; on a mistake prints why and returns nullopt.
std::optional<LinkOptions> LinkOptionsOrReport(const Args& args);
// The same without the port (--retries and --lang only).
std::optional<LinkOptions> PortlessLinkOptionsOrReport(const Args& args);

// The --lang language, or the stored preference without it; nullopt with
// the mistake printed.
std::optional<int> LanguageOrReport(const Args& args);

enum class LinkResult { Completed, ModelMismatch, Failed, OpenFailed };

struct LinkJobRun {
  JobEnd end;
  Image image;  // what the last Read, read-back or backup read brought
};

// Runs a programming job on the port of `options` to its end: progress on
// stderr while it is a terminal, each failed attempt, "Writing completed!"
// or "Reading completed!" (unless sayCompleted is false; a read-back always
// says it), the backup before a Write kept (BackupRead) and why it ended.
LinkJobRun RunLinkJob(JobRequest request, const LinkOptions& options, bool sayCompleted = true);
LinkResult ResultOf(const JobEnd& end);

// Runs a Read or Write to its end, retrying a failed transfer from the
// greeting up to options.retries times; prints the outcome on stderr.  With
// sayCompleted false a completed transfer is not announced: the caller says
// so once what it does with the result (saving a file) has worked too.
LinkResult RunLinkTransfer(CloneDirection direction, const LinkOptions& options, RadioMemory& memory,
                           bool sayCompleted = true);

// "Reading completed!" or "Writing completed!" on stderr.
void SayCompleted(CloneDirection direction, const LinkOptions& options);

// Reads the radio and compares it with `file`; lists the differing rows.
// Exit status: 0 equal, 1 different or the Read failed.
int VerifyRadio(const LinkOptions& options, const Image& file);
// Lists the rows a Write sends that differ between what the radio holds and
// `file` on stdout; the same exit status.
int ReportVerify(const Image& radio, const Image& file);

int ExitStatus(LinkResult result);

// Writes the trace file when --trace was given; returns `status`, or failure
// when the file cannot be written.
int SaveTraceOrReport(const LinkOptions& options, int status);

// Keeps an image read from the radio on `port` among the backups; returns
// the backup's path.
Result<std::string> KeepRadioBackup(const Image& image, const QString& port, BackupReason reason);
// The same, saying where it went or why it was not kept; true when kept.
bool BackupRead(const Image& image, const QString& port, int language, BackupReason reason = BackupReason::Read);

}  // namespace orvex::cli
