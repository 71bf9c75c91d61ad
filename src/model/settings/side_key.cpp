#include "model/settings/side_key.h"

#include "core/strings.h"

namespace orvex {

namespace {

constexpr TextPiece kUndef[] = {{1448}}, kScan[] = {{1195}}, kLamp[] = {{1449}}, kSos[] = {{1451}},
                    kFmRadio[] = {{1450}}, kOptSignal[] = {{1531}};
constexpr TextPieces kItems[] = {kUndef, kScan, kLamp, kSos, kFmRadio, kOptSignal};
static_assert(std::size(kItems) == SideKeyOffset::kItemCount);

// The group caption: "PF1(" + "Side Key " + ")".
constexpr TextPiece kLabel[] = {{0, "PF1"}, {0, "("}, {1372}, {0, ")"}};

constexpr SettingSpec kSideKey{
    .key = "side_key",
    .label = kLabel,
    .encoding = Encoding::ListIndex,
    .address = SideKeyOffset::kFunction,
    .items = ItemList{kItems},
};

}  // namespace

const SettingSpec& SideKeySetting() { return kSideKey; }

KeyCaptions KeyCaptionTexts(int language) {
  const auto text = [language](int number) { return std::string(Text(number, language)); };
  return {
      .window = text(1102),
      .pttGroup = "PTT",
      .pttKey = "PTT " + text(1452),
      .pttFunction = text(1453) + text(1452),
      .sideKeyGroup = SettingLabel(kSideKey, language),
      .moniGroup = "MONI",
      .longPress = text(1454),
      .longPressAction = "MONI",
      .slightPress = text(1455),
      .slightPressAction = text(1456),
  };
}

StepName SideKeyStep() {
  return [](int language) { return SettingLabel(kSideKey, language); };
}

SideKeyTexts ReadSideKey(const Image& image, int language) { return {SettingText(image, kSideKey, language)}; }

Status StoreSideKey(Image& image, const SideKeyTexts& texts, int language) {
  return SetSettingText(image, kSideKey, texts.function, language);
}

}  // namespace orvex
