#include "model/settings/frequency_mode.h"

#include <algorithm>
#include <cmath>

#include "core/strings.h"
#include "core/tone.h"
#include "model/cell_editor.h"

namespace orvex {

namespace {

using F = FreqModeField;
using O = FrequencyModeOffset;

constexpr int kNoneText = 1137;
constexpr int kOffText = 1150;

// 50 kHz in the offset's 100 Hz digits and in the frequency's 10 Hz units.
constexpr int kOffsetStepDigits = 500;
constexpr FreqUnits kOffsetStepUnits = 5000;
constexpr int kUnitsPerMHz = 100000;

template <std::size_t N>
constexpr TextPieces P(const TextPiece (&pieces)[N]) {
  return TextPieces(pieces, N);
}

constexpr TextPiece kOff[] = {{kOffText}};
constexpr TextPiece kLow[] = {{1148}}, kHigh[] = {{1147}};
constexpr TextPiece kNarrow[] = {{1146}}, kWide[] = {{1145}};
constexpr TextPiece kPlus[] = {{1485}}, kMinus[] = {{1486}};
// "Channel-No." 1487, "Frequency" 1370, "Name" 1349, "VFO" 1488.
constexpr TextPiece kChannelNo[] = {{1487}}, kChannelFreq[] = {{1487}, {0, "+"}, {1370}},
                    kChannelName[] = {{1487}, {0, "+"}, {1349}}, kVfo[] = {{1488}};
constexpr TextPiece kStep5[] = {{0, "5"}}, kStep625[] = {{0, "6.25"}}, kStep10[] = {{0, "10"}},
                    kStep125[] = {{0, "12.5"}}, kStep25[] = {{0, "25"}}, kStep50[] = {{0, "50"}},
                    kStep100[] = {{0, "100"}};

constexpr TextPieces kPowerItems[] = {P(kLow), P(kHigh)};
constexpr TextPieces kBandwidthItems[] = {P(kNarrow), P(kWide)};
constexpr TextPieces kShiftItems[] = {P(kOff), P(kPlus), P(kMinus)};
constexpr TextPieces kDisplayItems[] = {P(kChannelNo), P(kChannelFreq), P(kChannelName), P(kVfo)};
constexpr TextPieces kStepItems[] = {P(kStep5),  P(kStep625), P(kStep10), P(kStep125),
                                     P(kStep25), P(kStep50),  P(kStep100)};

constexpr TextPiece kCurrentLabel[] = {{1468}}, kPowerLabel[] = {{1127}}, kTxToneLabel[] = {{1469}},
                    kRxToneLabel[] = {{1470}}, kBandwidthLabel[] = {{1128}}, kShiftLabel[] = {{1471}},
                    kOffsetLabel[] = {{1361}}, kDisplayLabel[] = {{1391}}, kSquelchLabel[] = {{1161}},
                    kStepLabel[] = {{1357}};
// The transmit frequency has no label of its own in the window: "Transmit" 1473.
constexpr TextPiece kTxFreqLabel[] = {{1473}};

constexpr FreqModeFieldInfo kFields[] = {
    {F::Current, "current", P(kCurrentLabel)},
    {F::Power, "tx_power", P(kPowerLabel)},
    {F::TxTone, "tx_tone", P(kTxToneLabel)},
    {F::RxTone, "rx_tone", P(kRxToneLabel)},
    {F::Bandwidth, "bandwidth", P(kBandwidthLabel)},
    {F::Shift, "shift", P(kShiftLabel)},
    {F::Offset, "offset", P(kOffsetLabel)},
    {F::Display, "display", P(kDisplayLabel)},
    {F::Squelch, "squelch", P(kSquelchLabel)},
    {F::Step, "step", P(kStepLabel)},
    {F::TxFrequency, "tx_frequency", P(kTxFreqLabel)},
};
static_assert(std::size(kFields) == kFreqModeFieldCount);

struct GroupSettings {
  SettingSpec power, bandwidth, shift, display, squelch, step;
};

constexpr GroupSettings MakeGroup(int g) {
  const std::size_t record = O::kRecordRow[g] * kRowSize;
  const std::size_t shiftRow = O::kShiftRow[g] * kRowSize;
  return GroupSettings{
      .power = {.key = "tx_power",
                .label = P(kPowerLabel),
                .encoding = Encoding::BitFlag,
                .address = record + O::kPowerBandwidth,
                .bit = O::kPowerBit,
                .items = ItemList{kPowerItems}},
      .bandwidth = {.key = "bandwidth",
                    .label = P(kBandwidthLabel),
                    .encoding = Encoding::BitFlag,
                    .address = record + O::kPowerBandwidth,
                    .bit = O::kBandwidthBit,
                    .items = ItemList{kBandwidthItems}},
      .shift = {.key = "shift",
                .label = P(kShiftLabel),
                .encoding = Encoding::ListIndex,
                .address = shiftRow + O::kShiftDirection,
                .items = ItemList{kShiftItems}},
      .display = {.key = "display",
                  .label = P(kDisplayLabel),
                  .encoding = Encoding::ListIndex,
                  .address = O::kDisplay[g],
                  .items = ItemList{kDisplayItems}},
      .squelch = {.key = "squelch",
                  .label = P(kSquelchLabel),
                  .encoding = Encoding::ListIndex,
                  .address = O::kSquelch[g],
                  .items = ItemList{{}, 0, 1, 10}},
      .step = {.key = "step",
               .label = P(kStepLabel),
               .encoding = Encoding::ListIndex,
               .address = O::kStep[g],
               .items = ItemList{kStepItems}},
  };
}

const GroupSettings kGroups[kFrequencyModeGroups] = {MakeGroup(kGroupA), MakeGroup(kGroupB)};

int ValidGroup(int group) { return group == kGroupB ? kGroupB : kGroupA; }

Row RecordOf(Image& image, int group) { return RowOf(image, O::kRecordRow[ValidGroup(group)]); }
ConstRow RecordOf(const Image& image, int group) { return RowOf(image, O::kRecordRow[ValidGroup(group)]); }

std::size_t OffsetAddress(int group) { return Address(O::kShiftRow[ValidGroup(group)], O::kOffsetDigits); }

std::vector<std::string> ToneList(const FreqModeContext& context) {
  if (!context.toneList.empty()) return {context.toneList.begin(), context.toneList.end()};
  return BuildToneList(Text(kNoneText, context.language), context.separator);
}

Direction ToneDirection(F field) { return field == F::RxTone ? Direction::Rx : Direction::Tx; }

std::string ToneTextOf(const Image& image, int group, F field, const FreqModeContext& context) {
  return ReadTone(RecordOf(image, group), ToneDirection(field), Text(kNoneText, context.language), context.separator);
}

// The offset digits up to the first byte of 10 or more, rounded to kHz.
int OffsetThousandths(const Image& image, int group) {
  int digits = 0;
  for (std::size_t i = 0; i < O::kOffsetLength; ++i) {
    const std::uint8_t b = image[OffsetAddress(group) + i];
    if (b >= 10) break;
    digits = digits * 10 + b;
  }
  return (digits + 5) / 10;
}

std::string ThousandthsText(int thousandths) {
  std::string whole = std::to_string(thousandths / 1000);
  if (whole.size() < 2) whole.insert(0, 2 - whole.size(), '0');
  std::string fraction = std::to_string(thousandths % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return whole + "." + fraction;
}

void EncodeOffset(Image& image, int group, int item) {
  int digits = item * kOffsetStepDigits;
  for (std::size_t i = O::kOffsetLength; i-- > 0;) {
    image[OffsetAddress(group) + i] = static_cast<std::uint8_t>(digits % 10);
    digits /= 10;
  }
}

bool IsListField(F field) { return field != F::Current && field != F::TxFrequency; }

std::size_t ItemCount(F field) {
  switch (field) {
    case F::TxTone:
    case F::RxTone:
      return kToneListSize;
    case F::Offset:
      return kOffsetItemCount;
    default:
      return IsListField(field) ? FrequencyModeSetting(kGroupA, field)->items.size() : 0;
  }
}

FreqUnits UnitsOf(const std::string& normalized, char separator) {
  const double mhz = ParseTypedNumber(normalized, separator).value_or(0.0);
  return static_cast<FreqUnits>(std::nearbyint(mhz * kUnitsPerMHz));
}

bool IsTypedFrequency(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
         std::all_of(text.begin(), text.end(), CurrentAcceptsChar);
}

constexpr int kMsgNoItem = 10407, kMsgNotFrequency = 10408;

Error Refused(F field, std::string_view text, int why, const FreqModeContext& context) {
  const int language = context.messageLanguage < 0 ? context.language : context.messageLanguage;
  return Fail(TextOf(why, language, {std::string(kFields[static_cast<std::size_t>(field)].key), std::string(text)}));
}

// The list position of an offset in thousandths of a MHz, when it is one.
std::optional<int> OffsetPosition(unsigned thousandths) {
  if (thousandths % 50 != 0 || thousandths / 50 >= kOffsetItemCount) return std::nullopt;
  return static_cast<int>(thousandths / 50);
}

// The tone list position of a tone text, when it is exactly one entry.
std::optional<int> TonePosition(std::string_view text, const FreqModeContext& context) {
  const auto position = ToneListPosition(text, Text(kNoneText, context.language), context.separator);
  if (!position) return std::nullopt;
  return static_cast<int>(*position);
}

// The position of a text among a list field's items, found without building
// the long lists (tones, offsets): the text must be exactly one item.
std::optional<int> ItemPosition(int group, F field, std::string_view text, const FreqModeContext& context) {
  if (field == F::TxTone || field == F::RxTone) {
    // "None" of either language is no tone.
    if (text.empty() || text == Text(kNoneText, kEnglish) || text == Text(kNoneText, kChinese)) return 0;
    return TonePosition(text, context);
  }
  if (field == F::Offset) {
    // "12.345": whole MHz, then exactly three decimals.
    const std::size_t dot = text.size() >= 4 ? text.size() - 4 : 0;
    const auto whole = ParseDigits(text.substr(0, dot));
    const auto fraction = ParseDigits(text.substr(dot + 1));
    if (dot == 0 || text[dot] != '.' || !whole || !fraction || *whole > 1000) return std::nullopt;
    const auto position = OffsetPosition(*whole * 1000 + *fraction);
    if (!position || OffsetItemText(static_cast<std::size_t>(*position)) != text) return std::nullopt;
    return position;
  }
  const SettingSpec* setting = FrequencyModeSetting(group, field);
  if (!setting) return std::nullopt;
  // Item texts of the other language are understood too.
  for (const int language : {context.language, 1 - context.language}) {
    const auto items = ItemTexts(*setting, language);
    const auto it = std::find(items.begin(), items.end(), text);
    if (it != items.end()) return static_cast<int>(it - items.begin());
  }
  return std::nullopt;
}

}  // namespace

std::span<const FreqModeFieldInfo> FrequencyModeFields() { return kFields; }

const SettingSpec* FrequencyModeSetting(int group, FreqModeField field) {
  const GroupSettings& g = kGroups[ValidGroup(group)];
  switch (field) {
    case F::Power:
      return &g.power;
    case F::Bandwidth:
      return &g.bandwidth;
    case F::Shift:
      return &g.shift;
    case F::Display:
      return &g.display;
    case F::Squelch:
      return &g.squelch;
    case F::Step:
      return &g.step;
    default:
      return nullptr;
  }
}

std::vector<std::string> FrequencyModeItems(FreqModeField field, const FreqModeContext& context) {
  if (field == F::TxTone || field == F::RxTone) return ToneList(context);
  if (field == F::Offset) {
    std::vector<std::string> items;
    items.reserve(kOffsetItemCount);
    for (std::size_t i = 0; i < kOffsetItemCount; ++i) items.push_back(OffsetItemText(i));
    return items;
  }
  const SettingSpec* setting = FrequencyModeSetting(kGroupA, field);
  return setting ? ItemTexts(*setting, context.language) : std::vector<std::string>{};
}

std::string OffsetItemText(std::size_t item) { return ThousandthsText(static_cast<int>(item) * 50); }

std::string OffsetText(const Image& image, int group) { return ThousandthsText(OffsetThousandths(image, group)); }

std::optional<int> DecodeFrequencyModeField(const Image& image, int group, FreqModeField field,
                                            const FreqModeContext& context) {
  if (const SettingSpec* setting = FrequencyModeSetting(group, field)) return DecodeSetting(image, *setting);
  if (field == F::TxTone || field == F::RxTone) {
    // The lists keep "None" of the start-up language; no tone is their first
    // item in either language, so a switch never leaves a stale tone shown.
    return TonePosition(ToneTextOf(image, group, field, context), context);
  }
  if (field == F::Offset) return OffsetPosition(static_cast<unsigned>(OffsetThousandths(image, group)));
  return std::nullopt;
}

std::string DecodeCurrent(const Image& image, int group, const FreqModeContext& context) {
  return NormalizeFreq(ReadFreq(RecordOf(image, group), Direction::Rx, context.separator), context.separator,
                       context.limits);
}

FrequencyModeShown ShownFromImage(const Image& image, int group, const FreqModeContext& context) {
  FrequencyModeShown shown;
  shown.current = DecodeCurrent(image, group, context);
  for (const auto& info : kFields)
    if (IsListField(info.field)) shown[info.field] = DecodeFrequencyModeField(image, group, info.field, context);
  return shown;
}

std::string ComputeTxFrequency(const FrequencyModeShown& shown, const FreqModeContext& context) {
  // "Current" always holds a normalized text; normalizing again keeps a
  // stray text from reaching the record.
  const std::string rxText = NormalizeFreq(shown.current, context.separator, context.limits);
  const auto rx = static_cast<std::int64_t>(UnitsOf(rxText, context.separator));
  const std::int64_t offset = static_cast<std::int64_t>(shown[F::Offset].value_or(0)) * kOffsetStepUnits;
  std::int64_t tx = rx;
  if (shown[F::Shift] == static_cast<int>(Shift::Plus)) tx = rx + offset;
  if (shown[F::Shift] == static_cast<int>(Shift::Minus)) tx = rx - offset;
  const std::int64_t lowest = static_cast<std::int64_t>(context.limits.lowerMHz) * kUnitsPerMHz;
  const std::int64_t beyond = static_cast<std::int64_t>(context.limits.upperMHz) * kUnitsPerMHz;
  if (tx < lowest || tx >= beyond) tx = rx;
  return FormatFreq(static_cast<FreqUnits>(tx), context.separator);
}

void StoreTxFrequency(Image& image, int group, const FrequencyModeShown& shown, const FreqModeContext& context) {
  // ComputeTxFrequency always gives a well-formed, in-range text.
  (void)WriteFreq(RecordOf(image, group), Direction::Tx, ComputeTxFrequency(shown, context));
}

std::string CommitCurrent(Image& image, int group, FrequencyModeShown& shown, std::string_view typed,
                          const FreqModeContext& context) {
  static constexpr int kOutsideBands = 10324, kOffRaster = 10325;
  const NormalizedFreq normalized = NormalizeTypedFreq(typed, context.separator, context.limits);
  shown.current = normalized.text;
  (void)WriteFreq(RecordOf(image, group), Direction::Rx, shown.current);
  StoreTxFrequency(image, group, shown, context);
  if (normalized.change == FreqChange::None) return {};
  const std::string letter(1, static_cast<char>('A' + group));
  return FormatText(Text(normalized.change == FreqChange::OutsideBands ? kOutsideBands : kOffRaster, context.language),
                    {letter, std::string(typed), normalized.text});
}

void ChooseItem(Image& image, int group, FrequencyModeShown& shown, FreqModeField field, int position,
                const FreqModeContext& context) {
  if (!IsListField(field) || position < 0 || static_cast<std::size_t>(position) >= ItemCount(field)) return;
  shown[field] = position;
  if (const SettingSpec* setting = FrequencyModeSetting(group, field)) {
    EncodeSetting(image, *setting, position);
  } else if (field == F::TxTone || field == F::RxTone) {
    (void)WriteTone(
        RecordOf(image, group), ToneDirection(field),
        ToneListItem(static_cast<std::size_t>(position), Text(kNoneText, context.language), context.separator),
        context.separator);
  } else if (field == F::Offset) {
    EncodeOffset(image, group, position);
  }
  if (field == F::Shift || field == F::Offset) StoreTxFrequency(image, group, shown, context);
}

bool CurrentAcceptsChar(char c) { return (c >= '0' && c <= '9') || c == '.' || c == ','; }

void RefreshFrequencyMode(Image& image, int group, FrequencyModeShown& shown, const FreqModeContext& context) {
  shown.current = DecodeCurrent(image, group, context);
  for (const auto& info : kFields) {
    if (!IsListField(info.field)) continue;
    const auto decoded = DecodeFrequencyModeField(image, group, info.field, context);
    if (decoded && decoded != shown[info.field]) ChooseItem(image, group, shown, info.field, *decoded, context);
  }
}

std::string FrequencyModeText(const Image& image, int group, FreqModeField field, const FreqModeContext& context) {
  switch (field) {
    case F::Current:
      return DecodeCurrent(image, group, context);
    case F::TxFrequency:
      return ReadFreq(RecordOf(image, group), Direction::Tx, context.separator);
    case F::TxTone:
    case F::RxTone:
      return ToneTextOf(image, group, field, context);
    case F::Offset:
      return OffsetText(image, group);
    default:
      return SettingText(image, *FrequencyModeSetting(group, field), context.language);
  }
}

Status SetFrequencyModeText(Image& image, int group, FreqModeField field, std::string_view text,
                            const FreqModeContext& context) {
  if (text == FrequencyModeText(image, group, field, context)) return Ok{};
  FrequencyModeShown shown = ShownFromImage(image, group, context);
  if (field == F::Current) {
    if (!IsTypedFrequency(text)) return Refused(field, text, kMsgNotFrequency, context);
    CommitCurrent(image, group, shown, text, context);
    return Ok{};
  }
  if (field == F::TxFrequency) {
    if (!text.empty() && !IsTypedFrequency(text)) return Refused(field, text, kMsgNotFrequency, context);
    const std::string stored = text.empty() ? std::string() : NormalizeFreq(text, context.separator, context.limits);
    return WriteFreq(RecordOf(image, group), Direction::Tx, stored);
  }
  const auto position = ItemPosition(group, field, text, context);
  if (!position) return Refused(field, text, kMsgNoItem, context);
  ChooseItem(image, group, shown, field, *position, context);
  return Ok{};
}

FrequencyModeTexts ReadFrequencyMode(const Image& image, int group, const FreqModeContext& context) {
  FrequencyModeTexts texts;
  for (const auto& info : kFields) texts[info.field] = FrequencyModeText(image, group, info.field, context);
  return texts;
}

Status StoreFrequencyMode(Image& image, int group, const FrequencyModeTexts& texts, const FreqModeContext& context) {
  const FrequencyModeTexts before = ReadFrequencyMode(image, group, context);
  for (const auto& info : kFields) {
    if (texts[info.field] == before[info.field]) continue;
    if (auto status = SetFrequencyModeText(image, group, info.field, texts[info.field], context); !status)
      return status;
  }
  return Ok{};
}

}  // namespace orvex
