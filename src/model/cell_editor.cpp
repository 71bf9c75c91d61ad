#include "model/cell_editor.h"

namespace orvex {

std::optional<char> CellEditor::Accept(char typed) const {
  if (kind != EditorKind::Text) return std::nullopt;
  if (upperCase && typed >= 'a' && typed <= 'z') typed = static_cast<char>(typed - 'a' + 'A');
  if (allowed.find(typed) == std::string::npos) return std::nullopt;
  return typed;
}

std::string CellEditor::Filter(std::string_view text, std::size_t room) const {
  std::string kept;
  for (const char c : text) {
    if (kept.size() >= room) break;
    if (const std::optional<char> accepted = Accept(c)) kept += *accepted;
  }
  return kept;
}

std::string FormatText(std::string_view pattern, const std::vector<std::string>& args) {
  std::string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const auto index = static_cast<std::size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
      text += args[index];
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

}  // namespace orvex
