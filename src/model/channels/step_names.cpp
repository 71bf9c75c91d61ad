#include "model/channels/step_names.h"

#include <array>

#include "core/strings.h"
#include "model/channels/channel_record.h"
#include "model/channels/channel_rows.h"

namespace orvex {
namespace {

constexpr int kChannelField = 1622, kOneChannel = 1637, kChannelRange = 1638, kSomeChannels = 1639;
// What each channel column is called in a step, by column (1..14).
constexpr std::array<int, kChannelColumns> kFieldText = {0,    1623, 1624, 1625, 1626, 1627, 1628, 1629,
                                                         1630, 1631, 1632, 1633, 1634, 1635, 1636};
constexpr std::array<int, 9> kRowStepText = {1640, 1641, 1642, 1643, 1644, 1645, 1646, 1647, 1648};

// A template's "%1" and "%2" filled in.
std::string Filled(std::string_view pattern, const std::string& first, const std::string& second = {}) {
  std::string text(pattern);
  for (const auto& [mark, value] : {std::pair{"%1", &first}, std::pair{"%2", &second}})
    if (const auto at = text.find(mark); at != std::string::npos) text.replace(at, 2, *value);
  return text;
}

}  // namespace

StepName TextStep(int number) {
  return [number](int language) { return std::string(Text(number, language)); };
}

StepName FixedStep(std::string english, std::string chinese) {
  return [english = std::move(english), chinese = std::move(chinese)](int language) {
    return language == kChinese ? chinese : english;
  };
}

StepName JoinedSteps(std::vector<StepName> parts) {
  return [parts = std::move(parts)](int language) {
    std::string text;
    for (const StepName& part : parts) {
      const std::string piece = part(language);
      if (piece.empty()) continue;
      text += (text.empty() ? "" : " ") + piece;
    }
    return text;
  };
}

StepName ChannelCellStep(int channel, int column) {
  const int field = column > 0 && column < kChannelColumns ? kFieldText[static_cast<std::size_t>(column)] : 0;
  return [channel, field](int language) {
    return Filled(Text(kChannelField, language), std::to_string(channel), std::string(Text(field, language)));
  };
}

std::string ChannelRowsText(std::span<const int> rows, int language) {
  const std::vector<int> channels = ChannelRows(rows);
  if (channels.empty()) return {};
  if (channels.size() == 1) return Filled(Text(kOneChannel, language), std::to_string(channels.front()));
  if (channels.back() - channels.front() + 1 == static_cast<int>(channels.size()))
    return Filled(Text(kChannelRange, language), std::to_string(channels.front()), std::to_string(channels.back()));
  return Filled(Text(kSomeChannels, language), std::to_string(channels.size()));
}

StepName ChannelRowsStep(RowStep step, std::vector<int> rows) {
  const int pattern = kRowStepText[static_cast<std::size_t>(step)];
  return [pattern, rows = std::move(rows)](int language) {
    return Filled(Text(pattern, language), ChannelRowsText(rows, language));
  };
}

}  // namespace orvex
