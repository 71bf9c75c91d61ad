#pragma once

// What a channel CSV import says to the user, the same in every face: the
// renumbering offer, the rows it cannot take, the list of errors cut short
// and the report of what it did.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "model/channels/channel_csv.h"
#include "model/channels/channel_rows.h"

namespace orvex {

// How many error lines a message lists before "... and n more".
inline constexpr std::size_t kShownErrors = 8;

// The lines (one per "\n", empty ones left out) cut to kShownErrors, then
// "... and n more" for the rest.
std::string ShownErrors(std::string_view lines, int language);

std::size_t UsableRows(const std::vector<CsvChannelRow>& rows);

// "line 14: problem; problem" for every row the radio cannot take.
std::string UnusableRowsText(const std::vector<CsvChannelRow>& rows, int language);

// Rows whose Locations fall outside channels 1..128 or repeat, where
// numbering every row in file order from channel 1 would place them all:
// the question to ask, and the rows renumbered.
struct RenumberOffer {
  std::string question;
  std::vector<CsvChannelRow> rows;
};
std::optional<RenumberOffer> OfferRenumbering(std::string_view csv, const Result<std::vector<CsvChannelRow>>& rows,
                                              int language);

// "The CSV file has errors; nothing was changed." and the first errors.
std::string CsvErrorsMessage(std::string_view errors, int language);

// "The JSON codeplug cannot be used; nothing was changed:" and the first
// errors.
std::string JsonRefusedMessage(std::string_view errors, int language);

// What applying channel CSV rows did, in full: the summary line, then every
// skipped row and every adjusted value, then the check's findings.
std::string ImportReportText(const CsvImportReport& report, int language);

// Why a row operation changed nothing, about channel `at`; "" when it did
// not refuse or there is nothing to say.
std::string RowRefusalText(RowRefusal refusal, int at, int language);

// What to ask before a paste onto `rows`: "Replace 3 channels? Channel 70 is
// programmed." when one of them is programmed; "" when nothing is to be
// lost or the paste does not fit (it is refused without a question).
std::string ReplaceChannelsQuestion(const Image& image, const std::vector<int>& rows, int language);

}  // namespace orvex
