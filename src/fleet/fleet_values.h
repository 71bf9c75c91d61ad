#pragma once

// Per-radio values for a fleet Write: the rows of a values CSV handed to
// radios as they identify themselves, each applied onto the codeplug.  A
// row whose radio was not written is handed out again.

#include <QString>
#include <map>
#include <optional>
#include <string>

#include "core/memory_image.h"
#include "core/result.h"
#include "fleet/radio_station.h"
#include "model/document/radio_values.h"

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
  FleetValues(RadioValues values, int language);

  RadioValues m_values;
  int m_language;
  RowAssigner m_assigner;
  std::map<QString, std::size_t> m_taken;  // port -> row of the radio on it now
};

}  // namespace orvex
