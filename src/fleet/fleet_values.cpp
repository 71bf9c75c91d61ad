#include "fleet/fleet_values.h"

#include "codeplug/file_io.h"
#include "core/strings.h"
#include "link/serial_ports.h"

namespace orvex {

namespace {

// String-table numbers of the values file's messages.
constexpr int kTxtLineNote = 1851, kTxtNoSlot = 1942;

}  // namespace

Result<FleetValues> FleetValues::Load(const std::string& path, int language) {
  const auto bytes = ReadInputFile(path, InputKind::Document);
  if (!bytes) return Fail(bytes.error());
  auto values =
      ParseRadioValues(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), language);
  if (!values) return Fail(values.error());
  for (auto& row : values->rows) {
    if (row.port.empty()) continue;
    const QString device = ResolvePort(QString::fromStdString(row.port));
    if (device.isEmpty())
      return Fail(TextOf(kTxtLineNote, language, {std::to_string(row.line), TextOf(kTxtNoSlot, language, {row.port})}));
    row.port = device.toStdString();
  }
  return FleetValues(ValuesHandout(std::move(*values), language));
}

Result<Image> FleetValues::ImageFor(const Image& base, const QString& port) {
  return m_handout.ImageFor(base, port.toStdString());
}

void FleetValues::Finished(const RadioReport& report) { m_handout.Finished(report.port.toStdString(), report.outcome); }

std::optional<std::size_t> FleetValues::LineOf(const QString& port) const {
  return m_handout.LineOf(port.toStdString());
}

}  // namespace orvex
