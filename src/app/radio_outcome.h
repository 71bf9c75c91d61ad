#pragma once

// What happened to each radio when many are programmed with one codeplug,
// said the same way by every face: the outcome of a radio's job, its text
// ("written and verified", "no answer (why)") and the table of results,
// shown as rows or saved as CSV.

#include <cstdint>
#include <string>
#include <vector>

#include "app/programming_job.h"

namespace orvex {

enum class RadioOutcome {
  Verified,     // written and read back equal
  Written,      // written, not read back
  Read,         // read into the radio's image
  ModelWrong,   // the radio is another model
  NoAnswer,     // the transfer failed on every attempt
  PortFailed,   // the port could not be opened
  Differences,  // written, but the read-back differs
  NotWritten,   // its per-radio values were refused or there were none
  Stopped,      // the user stopped the run
};

bool Succeeded(RadioOutcome outcome);

// String-table numbers of what a fleet shows.
struct FleetTexts {
  static constexpr int kTitle = 1750;
  static constexpr int kPort = 1761;
  static constexpr int kProgress = 1762;
  static constexpr int kOutcome = 1763;
  static constexpr int kTime = 1764;
  static constexpr int kWorking = 1774;
  static constexpr int kSummary = 1775;  // "%1 of %2 radios succeeded"
  static constexpr int kWaiting = 1776;
  static constexpr int kValues = 1777;
};

// A radio's outcome and the facts its text needs.
struct RadioResult {
  RadioOutcome outcome = RadioOutcome::NoAnswer;
  int differences = 0;              // rows, for Differences
  std::string detail;               // why, for the failures
  bool readingBack = false;         // the failure came while reading the radio back
  bool readingBeforeWrite = false;  // while keeping what it held, so nothing was written
};

// The outcome of a radio's job as it ended (a job that ended its run, not a
// watching station's wait for a radio).
RadioResult ResultOf(const JobEnd& end);

// "written and verified", "verify found 3 differences", "no answer (why)".
std::string OutcomeText(const RadioResult& result, int language);
// "6.8 s"
std::string SecondsText(std::int64_t milliseconds);
// "line 3": the values row a radio got.
std::string ValuesLineText(std::size_t line, int language);
// "2 of 3 radios succeeded"
std::string SummaryText(int succeeded, int radios, int language);

// A radio's progress over its whole job as one bar: the read of what it
// held (when kept first), the transfer, then the read-back.
int RadioProgressMaximum(const JobRequest& request);
int RadioProgressValue(const JobRequest& request, TransferStage stage, int value);

// One row of the results table, as shown.
struct ResultRow {
  std::string port, values, outcome, time;
};

// The table as CSV: Port, Values (when a values file was used), Outcome,
// Time, headed in `language` as the table is.
std::string ResultCsv(const std::vector<ResultRow>& rows, bool values, int language);

}  // namespace orvex
