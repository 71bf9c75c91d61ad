#include "app/values_handout.h"

#include <utility>

#include "core/strings.h"

namespace orvex {

namespace {

// String-table numbers of the values file's messages.
constexpr int kTxtLineNote = 1851, kTxtNoRowLeft = 1943;

std::vector<std::string> RowPorts(const RadioValues& values) {
  std::vector<std::string> ports;
  for (const auto& row : values.rows) ports.push_back(row.port);
  return ports;
}

}  // namespace

ValuesHandout::ValuesHandout(RadioValues values, int language)
    : m_values(std::move(values)), m_language(language), m_assigner(RowPorts(m_values)) {}

Result<Image> ValuesHandout::ImageFor(const Image& base, const std::string& port) {
  const auto row = m_assigner.Take(port);
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

void ValuesHandout::Finished(const std::string& port, RadioOutcome outcome) {
  const auto it = m_taken.find(port);
  if (it == m_taken.end()) return;
  if (!Succeeded(outcome) && outcome != RadioOutcome::Differences && outcome != RadioOutcome::NotWritten)
    m_assigner.GiveBack(it->second);
  m_taken.erase(it);
}

std::optional<std::size_t> ValuesHandout::LineOf(const std::string& port) const {
  const auto it = m_taken.find(port);
  if (it == m_taken.end()) return std::nullopt;
  return m_values.rows[it->second].line;
}

}  // namespace orvex
