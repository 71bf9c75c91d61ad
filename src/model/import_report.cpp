#include "model/import_report.h"

namespace orvex {

std::string Abbreviated(std::string_view text) {
  if (text.size() <= kQuotedLength) return std::string(text);
  std::size_t cut = kQuotedLength;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // a continuation byte
  return std::string(text.substr(0, cut)) + "...";
}

std::string QuotedValue(std::string_view text) {
  if (text.size() <= kQuotedLength) return "\"" + std::string(text) + "\"";
  return "\"" + Abbreviated(text) + "\" (" + std::to_string(text.size()) + " bytes)";
}

void ErrorReport::Add(std::string line) {
  if (m_count++ >= kReportedErrors) return;
  if (!m_text.empty()) m_text += '\n';
  m_text += line;
}

std::string ErrorReport::Text() const {
  if (m_count <= kReportedErrors) return m_text;
  const std::size_t more = m_count - kReportedErrors;
  return m_text + "\n... and " + std::to_string(more) + " more error" + (more == 1 ? "" : "s");
}

}  // namespace orvex
