#include "model/document/radio_values.h"

#include <algorithm>
#include <map>

#include "core/strings.h"
#include "model/csv.h"
#include "model/import_report.h"

namespace orvex {

namespace {

constexpr std::string_view kPortColumn = "port";

// String-table numbers of the values file's messages.
constexpr int kTxtLineNote = 1851, kMsgEmpty = 10345, kMsgPortTwice = 10346, kMsgNotValue = 10347,
              kMsgColumnTwice = 10348, kMsgNoPortColumn = 10349, kMsgMoreCells = 10350, kMsgNoPort = 10351;

std::string Dotted(const std::vector<PathStep>& path) {
  std::string text;
  for (const auto& step : path) {
    if (!text.empty()) text += '.';
    text += step.kind == PathStep::Kind::Key ? step.key : std::to_string(step.number);
  }
  return text;
}

// Each value's index in CodeplugValues() by its dotted path.
const std::map<std::string, std::size_t, std::less<>>& ValuesByPath() {
  static const auto paths = [] {
    std::map<std::string, std::size_t, std::less<>> map;
    const auto& values = CodeplugValues();
    for (std::size_t i = 0; i < values.size(); ++i) map.emplace(Dotted(values[i].path), i);
    return map;
  }();
  return paths;
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// "line N: " and the message.
std::string AtLine(std::size_t line, int message, int language, const std::vector<std::string>& args = {}) {
  return TextOf(kTxtLineNote, language, {std::to_string(line), TextOf(message, language, args)});
}

}  // namespace

std::optional<std::vector<PathStep>> ValuePath(std::string_view dotted) {
  const auto& paths = ValuesByPath();
  if (const auto it = paths.find(dotted); it != paths.end()) return CodeplugValues()[it->second].path;
  return std::nullopt;
}

Result<RadioValues> ParseRadioValues(std::string_view csv, int language) {
  auto records = ParseCsv(csv, '\0', {}, language);
  if (!records) return Fail(records.error());
  if (records->empty()) return Fail(TextOf(kMsgEmpty, language));
  const CsvRecord& header = records->front();
  std::optional<std::size_t> portColumn;
  std::vector<std::size_t> valueColumns;
  RadioValues values;
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    const std::string name = Trimmed(header.fields[i]);
    if (name == kPortColumn) {
      if (portColumn) return Fail(AtLine(header.line, kMsgPortTwice, language));
      portColumn = i;
      continue;
    }
    if (!ValuePath(name)) return Fail(AtLine(header.line, kMsgNotValue, language, {name}));
    if (std::find(values.columns.begin(), values.columns.end(), name) != values.columns.end())
      return Fail(AtLine(header.line, kMsgColumnTwice, language, {name}));
    values.columns.push_back(name);
    valueColumns.push_back(i);
  }
  if (!portColumn) return Fail(AtLine(header.line, kMsgNoPortColumn, language));
  for (auto record = records->begin() + 1; record != records->end(); ++record) {
    if (record->fields.size() > header.fields.size()) return Fail(AtLine(record->line, kMsgMoreCells, language));
    auto cell = [&](std::size_t i) { return i < record->fields.size() ? record->fields[i] : std::string(); };
    RadioValuesRow row{record->line, Trimmed(cell(*portColumn)), {}};
    if (row.port.empty()) return Fail(AtLine(record->line, kMsgNoPort, language));
    if (row.port == kNextRadio) row.port.clear();
    for (const std::size_t i : valueColumns) row.cells.push_back(cell(i));
    values.rows.push_back(std::move(row));
  }
  return values;
}

DocNode RowDocument(const RadioValues& values, const RadioValuesRow& row) {
  DocNode document{DocMembers{}};
  for (std::size_t i = 0; i < values.columns.size() && i < row.cells.size(); ++i) {
    if (row.cells[i].empty()) continue;
    InsertText(document, *ValuePath(values.columns[i]), row.cells[i]);
  }
  return document;
}

Result<Image> ApplyRow(const Image& base, const RadioValues& values, const RadioValuesRow& row, int language) {
  std::vector<ValueText> texts;
  for (std::size_t i = 0; i < values.columns.size() && i < row.cells.size(); ++i) {
    if (row.cells[i].empty()) continue;
    const std::size_t value = ValuesByPath().find(values.columns[i])->second;
    const auto& typed = CodeplugValues()[value].typed;
    texts.push_back({value, typed ? typed(row.cells[i]) : row.cells[i], values.columns[i]});
  }
  Image image = base;
  ErrorReport errors;
  StoreValueTexts(image, std::move(texts), errors, language);
  if (!errors.empty()) return Fail(errors.Text());
  return image;
}

std::optional<std::size_t> RowAssigner::Take(std::string_view port) {
  auto take = [&](std::string_view wanted) -> std::optional<std::size_t> {
    for (std::size_t i = 0; i < m_ports.size(); ++i) {
      if (m_used[i] || m_ports[i] != wanted) continue;
      m_used[i] = true;
      return i;
    }
    return std::nullopt;
  };
  if (!port.empty())
    if (auto row = take(port)) return row;
  return take({});
}

}  // namespace orvex
