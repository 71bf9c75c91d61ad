#pragma once

// The rows of a values CSV handed to radios as they identify themselves,
// each applied onto the codeplug.  A row whose radio was not written is
// handed out again; a refused row stays used, as the next radio would be
// refused it too.

#include <cstddef>
#include <map>
#include <optional>
#include <string>

#include "app/radio_outcome.h"
#include "core/memory_image.h"
#include "core/result.h"
#include "model/document/radio_values.h"

namespace orvex {

class ValuesHandout {
 public:
  ValuesHandout(RadioValues values, int language);

  // The codeplug with the row this radio gets, or why it gets none (no row
  // left, or values the radio cannot hold, with the row's line).
  Result<Image> ImageFor(const Image& base, const std::string& port);
  // Gives the radio's row back unless it was written or refused.
  void Finished(const std::string& port, RadioOutcome outcome);
  // The line of the row the radio on this port got, if any.
  std::optional<std::size_t> LineOf(const std::string& port) const;

 private:
  RadioValues m_values;
  int m_language;
  RowAssigner m_assigner;
  std::map<std::string, std::size_t> m_taken;  // port -> row of the radio on it now
};

}  // namespace orvex
