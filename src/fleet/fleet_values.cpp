#include "fleet/fleet_values.h"

#include "codeplug/file_io.h"
#include "core/strings.h"
#include "link/serial_ports.h"

namespace orvex {

namespace {

// String-table numbers of the values file's messages.
constexpr int kTxtLineNote = 1851, kTxtNoSlot = 1942, kTxtNoRowLeft = 1943;

std::vector<std::string> RowPorts(const RadioValues& values) {
  std::vector<std::string> ports;
  for (const auto& row : values.rows) ports.push_back(row.port);
  return ports;
}

}  // namespace

FleetValues::FleetValues(RadioValues values, int language)
    : m_values(std::move(values)), m_language(language), m_assigner(RowPorts(m_values)) {}

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
  return FleetValues(std::move(*values), language);
}

Result<Image> FleetValues::ImageFor(const Image& base, const QString& port) {
  const auto row = m_assigner.Take(port.toStdString());
  if (!row) return Fail(TextOf(kTxtNoRowLeft, m_language));
  m_taken[port] = *row;
  const auto& values = m_values.rows[*row];
  auto image = ApplyRow(base, m_values, values, m_language);
  if (!image) {
    std::string reasons = image.error();
    for (std::size_t at = 0; (at = reasons.find('\n', at)) != std::string::npos;) reasons.replace(at, 1, "; ");
    return Fail(TextOf(kTxtLineNote, m_language, {std::to_string(values.line), reasons}));
  }
  return image;
}

void FleetValues::Finished(const RadioReport& report) {
  const auto it = m_taken.find(report.port);
  if (it == m_taken.end()) return;
  // A refused row stays used: handing it to the next radio would fail again.
  const bool refused = report.outcome == RadioOutcome::NotWritten;
  if (!Succeeded(report.outcome) && report.outcome != RadioOutcome::Differences && !refused)
    m_assigner.GiveBack(it->second);
  m_taken.erase(it);
}

std::optional<std::size_t> FleetValues::LineOf(const QString& port) const {
  const auto it = m_taken.find(port);
  if (it == m_taken.end()) return std::nullopt;
  return m_values.rows[it->second].line;
}

}  // namespace orvex
