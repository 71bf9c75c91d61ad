#pragma once

// What the radio verbs share: the port and retry options, one transfer run
// to its end with progress on stderr, and the comparison Verify makes.

#include <QString>
#include <optional>
#include <vector>

#include "cli/verb.h"
#include "core/app_state.h"
#include "core/memory_image.h"

namespace orvex::cli {

struct LinkOptions {
  QString port;  // the device QSerialPort opens
  int retries = 2;
  int language = 0;
};

// --port, --retries and --lang, followed by a verb's own options.
std::vector<OptionSpec> LinkOptionSpecs(std::vector<OptionSpec> extra = {});

// Reads the options; on a mistake prints why and returns nullopt.
std::optional<LinkOptions> LinkOptionsOrReport(const Args& args);
// The same without the port (--retries and --lang only).
std::optional<LinkOptions> PortlessLinkOptionsOrReport(const Args& args);

enum class LinkResult { Completed, ModelMismatch, Failed, OpenFailed };

// Runs a Read or Write to its end, retrying a failed transfer from the
// greeting up to options.retries times; prints the outcome on stderr.
LinkResult RunLinkTransfer(CloneDirection direction, const LinkOptions& options, RadioMemory& memory);

// Reads the radio and compares it with `file`; lists the differing rows.
// Exit status: 0 equal, 1 different or the Read failed.
int VerifyRadio(const LinkOptions& options, const Image& file);

int ExitStatus(LinkResult result);

}  // namespace orvex::cli
