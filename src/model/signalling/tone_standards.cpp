#include "model/signalling/tone_standards.h"

#include <algorithm>

#include "model/signalling/signalling_cells.h"

namespace orvex {

namespace {

// Rows are symbols 0..F, columns the standards in list order.
constexpr std::uint16_t kTenths[kToneSymbolCount][kToneStandardCount] = {
    {19810, 19810, 4000, 19810, 6000, 16330, 24000, 24000},    // 0
    {11240, 11240, 6970, 11240, 7410, 6310, 10600, 10600},     // 1
    {11970, 11970, 7700, 11970, 8820, 6970, 11600, 11600},     // 2
    {12750, 12750, 8520, 12750, 10230, 7700, 12700, 12700},    // 3
    {13580, 13580, 9410, 13580, 11640, 8520, 14000, 14000},    // 4
    {14460, 14460, 12090, 14460, 13050, 9410, 15300, 15300},   // 5
    {15400, 15400, 13350, 15400, 14460, 10400, 16700, 16700},  // 6
    {16400, 16400, 14770, 16400, 15870, 12090, 18300, 18300},  // 7
    {17470, 17470, 16330, 17470, 17280, 13360, 20000, 20000},  // 8
    {18600, 18600, 18000, 18600, 18690, 14770, 22000, 22000},  // 9
    {24000, 24000, 19000, 10550, 21510, 19950, 28000, 8850},   // A
    {9300, 9300, 20000, 9300, 24330, 5710, 8100, 8100},        // B
    {22470, 22470, 21000, 24000, 20100, 22050, 9700, 7400},    // C
    {9910, 9910, 22000, 9910, 22920, 24370, 8850, 6800},       // D
    {21100, 21100, 23000, 21100, 4590, 18050, 26000, 9700},    // E
    {0, 0, 0, 0, 0, 0, 0, 0},                                  // F: no tone
};

}  // namespace

std::optional<std::size_t> ToneStandardIndex(std::string_view name) {
  const auto it = std::find(kToneStandardNames.begin(), kToneStandardNames.end(), name);
  if (it == kToneStandardNames.end()) return std::nullopt;
  return static_cast<std::size_t>(it - kToneStandardNames.begin());
}

char ToneSymbolLabel(std::size_t symbol) { return "0123456789ABCDEF"[symbol % kToneSymbolCount]; }

std::uint16_t ToneStandardTenths(std::size_t standard, std::size_t symbol) {
  if (standard >= kToneStandardCount || symbol >= kToneSymbolCount) return 0;
  return kTenths[symbol][standard];
}

std::array<std::string, kToneSymbolCount> ToneStandardFrequencyTexts(std::size_t standard) {
  std::array<std::string, kToneSymbolCount> texts;
  for (std::size_t s = 0; s < kToneSymbolCount; ++s) texts[s] = TenthsText(ToneStandardTenths(standard, s));
  return texts;
}

}  // namespace orvex
