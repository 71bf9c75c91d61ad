#pragma once

// Per-radio values for a fleet Write: the rows of a values CSV handed to
// radios as they identify themselves, each applied onto the codeplug.  A
// row whose radio was not written is handed out again.

#include <QString>
#include <optional>
#include <string>

#include "app/values_handout.h"
#include "core/memory_image.h"
#include "core/result.h"
#include "fleet/radio_station.h"

namespace orvex {

class FleetValues {
 public:
  // Reads the CSV; each row's port is resolved as --port is.
  // Its messages are in `language`.
  static Result<FleetValues> Load(const std::string& path, int language = 0);

  // The codeplug with the row this radio gets, or why it gets none (no row
  // left, or values the radio cannot hold).
  Result<Image> ImageFor(const Image& base, const QString& port);
  // Gives the radio's row back unless it was written.
  void Finished(const RadioReport& report);
  // "line N" of the row the radio on this port got, if any.
  std::optional<std::size_t> LineOf(const QString& port) const;

 private:
  explicit FleetValues(ValuesHandout handout) : m_handout(std::move(handout)) {}

  ValuesHandout m_handout;
};

}  // namespace orvex
