#pragma once

// What a programming job tells and asks the user, composed once for every
// face: the check's question before a Write, the retry question, the
// read-back's differences and the message a job ends with.  A face only
// shows the text with its kind and buttons.

#include <string>
#include <vector>

#include "app/programming_job.h"
#include "core/memory_image.h"
#include "model/channels/channel_check.h"

namespace orvex {

// String-table numbers of what a face says about a Write that wrote nothing.
struct JobTexts {
  static constexpr int kNotReadFirst = 10320;  // the radio could not be read first
  static constexpr int kNotBackedUp = 10321;   // what it held could not be kept
};

enum class MessageKind { Information, Warning, Critical };

// The buttons of a box; the first of each pair accepts.
enum class MessageButtons { Ok, OkCancel, YesNo, RetryCancel };

struct JobMessage {
  MessageKind kind = MessageKind::Information;
  MessageButtons buttons = MessageButtons::Ok;
  std::string text;  // "" when nothing is shown
  bool acceptByDefault = true;
};

// "Write anyway?" (Yes/No, No by default) when the check found errors,
// otherwise the warnings with OK/Cancel.
JobMessage CheckQuestion(const std::vector<CheckFinding>& findings, int language);
// The failed transfer: Retry or Cancel.
JobMessage RetryQuestion(int language);
// The read-back differs from what was written: the rows and "Write again?".
JobMessage WriteAgainQuestion(const Image& written, const Image& readBack, int language);
// "Reading completed!" or "Writing completed!".
std::string CompletedText(CloneDirection direction, int language);
// What the user is told when a job has ended; `openHelp` follows the
// system's reason when the port could not be opened.  An empty text for an
// end already explained by a question answered (a failure not retried,
// differences not written again, a Stop).
JobMessage EndMessage(const JobEnd& end, int language, const std::string& openHelp = {});

}  // namespace orvex
