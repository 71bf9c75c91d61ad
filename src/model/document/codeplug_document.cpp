#include "model/document/codeplug_document.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "core/frequency.h"
#include "core/strings.h"
#include "model/channels/channel_record.h"
#include "model/channels/channel_table.h"
#include "model/import_report.h"
#include "model/settings/frequency_mode.h"
#include "model/settings/option_settings.h"
#include "model/settings/scrambler.h"
#include "model/settings/side_key.h"
#include "model/signalling/five_tone_table.h"
#include "model/signalling/msk_table.h"
#include "model/signalling/two_tone_table.h"

namespace orvex {

const DocNode* DocNode::member(std::string_view key) const {
  const auto* list = members();
  if (!list) return nullptr;
  for (const auto& [name, node] : *list)
    if (name == key) return &node;
  return nullptr;
}

namespace {

constexpr int kEnglish = 0;
// String-table numbers of the refusals.
constexpr int kTxtPlace = 1910, kMsgNotMhz = 10352, kMsgNotTaken = 10353, kMsgChannelField = 10354,
              kMsgNotProgrammed = 10355, kMsgUpDown = 10356, kMsgScrambler = 10357, kMsgNotOneOf = 10358,
              kMsgOnOff = 10359;
// The document's structure and memory rows.
constexpr int kMsgNotText = 10391, kMsgUnknownKey = 10392, kMsgNotObject = 10393, kMsgNotArray = 10394,
              kMsgListSize = 10395, kMsgNoNumber = 10396, kMsgNoEntry = 10397, kMsgListedTwice = 10398,
              kMsgNotRows = 10399, kMsgNotRowAddress = 10400, kMsgNotRowText = 10401, kMsgNotHexRow = 10402,
              kMsgRowLength = 10403, kMsgNotDocument = 10404, kMsgMustBe = 10405, kMsgVersion = 10406;
using Kind = PathStep::Kind;

PathStep Key(std::string_view key) { return {Kind::Key, std::string(key), 0}; }
PathStep Index(std::size_t index) { return {Kind::Index, {}, index}; }
PathStep Numbered(std::size_t number) { return {Kind::Numbered, {}, number}; }

std::vector<ValueBits> Bytes(std::size_t address, std::size_t count) {
  std::vector<ValueBits> bits;
  for (std::size_t i = 0; i < count; ++i) bits.push_back({address + i, 0xFF});
  return bits;
}

// Runs a codec on a copy and keeps only `bits` of its result, so a codec that
// rewrites a whole record or table never changes what another value owns.
Status StoreMasked(Image& image, std::span<const ValueBits> bits, const std::function<Status(Image&)>& apply) {
  Image copy = image;
  if (auto status = apply(copy); !status) return status;
  for (const auto& b : bits)
    image[b.address] = static_cast<std::uint8_t>((image[b.address] & ~b.mask) | (copy[b.address] & b.mask));
  return Ok{};
}

// --- Frequencies ------------------------------------------------------------

// A frequency text in 10 Hz units when it is digits with at most one ".",
// and no digit finer than 10 Hz.
std::optional<std::uint64_t> ExactUnits(std::string_view text) {
  const auto dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  auto digits = [](std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (whole.empty() || whole.size() > 4 || !digits(whole) || !digits(fraction)) return std::nullopt;
  std::uint64_t units = 0;
  for (char c : whole) units = units * 10 + static_cast<std::uint64_t>(c - '0');
  for (std::size_t i = 0; i < 5; ++i)
    units = units * 10 + (i < fraction.size() ? static_cast<std::uint64_t>(fraction[i] - '0') : 0);
  if (fraction.size() > 5 && fraction.find_first_not_of('0', 5) != std::string_view::npos) return std::nullopt;
  return units;
}

// The text the frequency codec stores for a typed frequency.  The window
// would bring a frequency out of range or off the raster to another value
// silently; a document is refused instead, naming the value it would get.
Result<std::string> TypedFrequency(std::string_view text, int language) {
  const auto units = ExactUnits(text);
  if (!units) return Fail(TextOf(kMsgNotMhz, language, {QuotedValue(text)}));
  const std::string normalized = NormalizeFreq(text);
  if (ExactUnits(normalized) != units) return Fail(TextOf(kMsgNotTaken, language, {QuotedValue(text), normalized}));
  return normalized;
}

// --- Channels ------------------------------------------------------------------

std::vector<ValueBits> ChannelBits(int n, int column) {
  const std::size_t record = Address(ChannelRow(n), 0);
  using O = ChannelOffset;
  if (const ChannelFlagField* flag = FindChannelFlagField(column)) return {{record + flag->byte, flag->mask}};
  switch (column) {
    case kColRx:
      return Bytes(record + O::kRxFreq, 4);
    case kColTx:
      return Bytes(record + O::kTxFreq, 4);
    case kColDecodeTone:
      return Bytes(record + O::kDecodeTone, 2);
    case kColEncodeTone:
      return Bytes(record + O::kEncodeTone, 2);
    case kColName:
      return Bytes(Address(ChannelNameRow(n), 0), O::kNameLength);
    default:
      return {};
  }
}

Status StoreChannelValue(Image& image, int n, int column, std::string_view text, int language) {
  auto refused = [&](std::string_view field, const std::string& why) {
    return Fail(TextOf(kMsgChannelField, language, {std::to_string(n), std::string(field), why}));
  };
  ChannelFields fields = ReadChannel(image, n, kEnglish);
  std::string value(text);
  if (column == kColRx) {
    if (value.empty()) {
      if (!fields.rx.empty()) ClearChannel(image, n);
      return Ok{};
    }
    auto rx = TypedFrequency(value, language);
    if (!rx) return refused("Rx", rx.error());
    if (*rx == fields.rx) return Ok{};
    // A new channel: the whole record and name row, with the defaults the
    // channel window gives it.
    if (fields.rx.empty()) return StoreChannel(image, n, WithRx(fields, *rx, kEnglish), kEnglish, '.', language);
    value = *rx;
  } else if (fields.rx.empty()) {
    return Fail(TextOf(kMsgNotProgrammed, language, {std::to_string(n)}));
  }
  if (column == kColTx && !value.empty()) {
    auto tx = TypedFrequency(value, language);
    if (!tx) return refused("Tx", tx.error());
    value = *tx;
  }
  if (column == kColName && value.size() < ChannelOffset::kNameLength) value.resize(ChannelOffset::kNameLength, ' ');
  if (value == fields.at(column)) return Ok{};
  std::vector<ValueBits> bits = ChannelBits(n, column);
  if (column == kColTx) {
    // A Tx that comes or goes changes the encode tone too.
    if (value.empty() != fields.tx.empty()) {
      const auto tone = ChannelBits(n, kColEncodeTone);
      bits.insert(bits.end(), tone.begin(), tone.end());
    }
    fields = WithTx(std::move(fields), value, kEnglish);
  } else {
    fields.at(column) = value;
  }
  return StoreMasked(image, bits, [&](Image& copy) { return StoreChannel(copy, n, fields, kEnglish, '.', language); });
}

constexpr std::array<std::string_view, kChannelColumns> kChannelKeys = {
    "number", "rx",   "tx",     "decode_tone",  "encode_tone", "power",  "scan_add",     "bandwidth",
    "bcl",    "name", "option", "scrambler_no", "opt_signal",  "decode", "auto_response"};

void AddChannels(std::vector<CodeplugValue>& values) {
  ChannelTable headings(kEnglish);
  for (int n = ChannelOffset::kFirst; n <= ChannelOffset::kLast; ++n) {
    for (int column = kColRx; column < kChannelColumns; ++column) {
      CodeplugValue v;
      v.path = {Key("channels"), Numbered(static_cast<std::size_t>(n)),
                Key(kChannelKeys[static_cast<std::size_t>(column)])};
      v.label = "channel " + std::to_string(n) + " " + headings.Cell(0, column);
      v.bits = ChannelBits(n, column);
      v.read = [n, column](const Image& image) { return ReadChannel(image, n, kEnglish).at(column); };
      v.store = [n, column](Image& image, std::string_view text, int language) {
        return StoreChannelValue(image, n, column, text, language);
      };
      if (column == kColName) v.typed = [](std::string_view text) { return FitChannelName(text).name; };
      values.push_back(std::move(v));
    }
  }
}

// --- Settings -------------------------------------------------------------------

std::vector<ValueBits> SettingBits(const SettingSpec& setting) {
  switch (setting.encoding) {
    case Encoding::BitFlag:
      return {{setting.address, static_cast<std::uint8_t>(1u << setting.bit)}};
    case Encoding::DigitString:
    case Encoding::DtmfString:
      return Bytes(setting.address, setting.length);
    default:
      return Bytes(setting.address, 1);
  }
}

// An up-down number the window would clamp is refused instead.
Status CheckUpDownText(const SettingSpec& setting, std::string_view text, int language) {
  if (text == "Off") return Ok{};
  const bool digits = !text.empty() && text.size() <= 3 &&
                      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits || std::stoi(std::string(text)) > setting.maximum)
    return Fail(
        TextOf(kMsgUpDown, language, {std::string(setting.key), QuotedValue(text), std::to_string(setting.maximum)}));
  return Ok{};
}

CodeplugValue SettingValue(std::vector<PathStep> path, std::string label, const SettingSpec& setting) {
  CodeplugValue v;
  v.path = std::move(path);
  v.label = std::move(label);
  v.bits = SettingBits(setting);
  v.read = [&setting](const Image& image) { return SettingText(image, setting, kEnglish); };
  v.store = [&setting, bits = v.bits](Image& image, std::string_view text, int language) -> Status {
    if (text == SettingText(image, setting, kEnglish)) return Ok{};
    if (ControlOf(setting) == SettingControl::UpDown)
      if (auto status = CheckUpDownText(setting, text, language); !status) return status;
    return StoreMasked(image, bits,
                       [&](Image& copy) { return SetSettingText(copy, setting, text, kEnglish, language); });
  };
  return v;
}

void AddOptions(std::vector<CodeplugValue>& values) {
  for (const auto& setting : OptionSettings())
    values.push_back(SettingValue({Key("options"), Key(setting.key)}, "option " + std::string(setting.key), setting));
}

std::vector<ValueBits> FrequencyModeBits(int group, FreqModeField field) {
  if (const SettingSpec* setting = FrequencyModeSetting(group, field)) return SettingBits(*setting);
  const std::size_t record = Address(FrequencyModeOffset::kRecordRow[group], 0);
  switch (field) {
    case FreqModeField::Current:
      return Bytes(record + FreqToneOffset::kRxFreq, 4);
    case FreqModeField::TxFrequency:
      return Bytes(record + FreqToneOffset::kTxFreq, 4);
    case FreqModeField::RxTone:
      return Bytes(record + FreqToneOffset::kRxTone, 2);
    case FreqModeField::TxTone:
      return Bytes(record + FreqToneOffset::kTxTone, 2);
    case FreqModeField::Offset:
      return Bytes(Address(FrequencyModeOffset::kShiftRow[group], FrequencyModeOffset::kOffsetDigits),
                   FrequencyModeOffset::kOffsetLength);
    default:
      return {};
  }
}

// The window stores the transmit frequency again whenever "Current", the
// shift or the offset changes.  The document names the transmit frequency
// itself ("tx_frequency"), so each of those values changes only its own
// bytes and the transmit frequency only changes when it is edited.
Status StoreFrequencyModeValue(Image& image, int group, FreqModeField field, std::string_view text,
                               std::span<const ValueBits> bits, int language) {
  FreqModeContext context;
  context.messageLanguage = language;
  if (text == FrequencyModeText(image, group, field, context)) return Ok{};
  std::string value(text);
  if (field == FreqModeField::Current || (field == FreqModeField::TxFrequency && !value.empty())) {
    auto freq = TypedFrequency(value, language);
    if (!freq)
      return Fail(
          TextOf(kTxtPlace, language, {field == FreqModeField::Current ? "current" : "tx_frequency", freq.error()}));
    value = *freq;
  }
  return StoreMasked(image, bits,
                     [&](Image& copy) { return SetFrequencyModeText(copy, group, field, value, context); });
}

void AddFrequencyModes(std::vector<CodeplugValue>& values) {
  for (int group : {kGroupA, kGroupB}) {
    const std::string name = group == kGroupA ? "A" : "B";
    for (const auto& info : FrequencyModeFields()) {
      CodeplugValue v;
      v.path = {Key("frequency_modes"), Key(name), Key(info.key)};
      v.label = "frequency mode " + name + " " + std::string(info.key);
      v.bits = FrequencyModeBits(group, info.field);
      const FreqModeField field = info.field;
      v.read = [group, field](const Image& image) { return FrequencyModeText(image, group, field, {}); };
      v.store = [group, field, bits = v.bits](Image& image, std::string_view text, int language) {
        return StoreFrequencyModeValue(image, group, field, text, bits, language);
      };
      values.push_back(std::move(v));
    }
  }
}

void AddScrambler(std::vector<CodeplugValue>& values) {
  CodeplugValue v;
  v.path = {Key("scrambler"), Key("frequency")};
  v.label = "scrambler frequency";
  v.bits = Bytes(ScramblerOffset::kHigh, 2);
  v.read = [](const Image& image) { return ReadScrambler(image).frequency; };
  v.store = [bits = v.bits](Image& image, std::string_view text, int language) -> Status {
    if (text == ReadScrambler(image).frequency) return Ok{};
    const bool digits = !text.empty() && text.size() <= 4 &&
                        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || std::stoi(std::string(text)) < kScramblerMinHz || std::stoi(std::string(text)) > kScramblerMaxHz)
      return Fail(TextOf(kMsgScrambler, language,
                         {QuotedValue(text), std::to_string(kScramblerMinHz), std::to_string(kScramblerMaxHz)}));
    return StoreMasked(image, bits, [&](Image& copy) { return StoreScrambler(copy, {std::string(text)}); });
  };
  values.push_back(std::move(v));
}

// --- Signalling tables ------------------------------------------------------------

// A value held in one of the signalling tables.  Loading a table brings
// out-of-range bytes into range, so the table is stored only when the value
// really changes, and then only the value's own bytes are kept.
// `alsoStored` are bytes the table's row rules derive from the value (a
// 2-Tone GAP follows its tones), stored with it.
template <class Table>
CodeplugValue TableValue(std::vector<PathStep> path, std::string label, std::vector<ValueBits> bits,
                         std::function<std::string(const Image&)> read,
                         std::function<Status(Table&, std::string_view, int)> set,
                         std::vector<ValueBits> alsoStored = {}) {
  CodeplugValue v;
  v.path = std::move(path);
  v.label = std::move(label);
  v.bits = std::move(bits);
  v.read = std::move(read);
  std::vector<ValueBits> stored = v.bits;
  stored.insert(stored.end(), alsoStored.begin(), alsoStored.end());
  v.store = [read = v.read, set, bits = std::move(stored)](Image& image, std::string_view text,
                                                           int language) -> Status {
    if (read(image) == text) return Ok{};
    return StoreMasked(image, bits, [&](Image& copy) -> Status {
      Table table;
      table.Load(copy, kEnglish);
      if (auto status = set(table, text, language); !status) return status;
      table.SaveData(copy);
      return Ok{};
    });
  };
  return v;
}

// Reads a value through the whole loaded table, for tables without a reader
// of single cells.
template <class Table>
std::function<std::string(const Image&)> LoadedTableRead(std::function<std::string(const Table&)> get) {
  return [get = std::move(get)](const Image& image) {
    Table table;
    table.Load(image, kEnglish);
    return get(table);
  };
}

// A list setting of a table: the text is one of `items`.
Result<std::size_t> ItemPosition(const std::vector<std::string>& items, std::string_view text, std::string_view what,
                                 int language) {
  const auto it = std::find(items.begin(), items.end(), text);
  if (it != items.end()) return static_cast<std::size_t>(it - items.begin());
  std::string list;
  for (const auto& item : items) list += (list.empty() ? "" : ", ") + item;
  return Fail(TextOf(kMsgNotOneOf, language, {std::string(what), QuotedValue(text), list}));
}

Result<bool> OnOff(std::string_view text, std::string_view what, int language) {
  if (text == "On") return true;
  if (text == "Off") return false;
  return Fail(TextOf(kMsgOnOff, language, {std::string(what), QuotedValue(text)}));
}

void AddTwoTone(std::vector<CodeplugValue>& values) {
  using O = TwoToneOffset;
  struct Column {
    int column;
    std::string_view key, label;
    std::size_t offset, width;
  };
  constexpr Column kCall[] = {{TwoToneColumn::kToneA, "tone_a", "Tone A", O::kToneA, 2},
                              {TwoToneColumn::kToneB, "tone_b", "Tone B", O::kToneB, 2},
                              {TwoToneColumn::kGap, "gap", "GAP Time", O::kGap, 1}};
  constexpr Column kDecode[] = {{TwoToneColumn::kToneA, "tone_a", "Tone A", O::kToneA, 2},
                                {TwoToneColumn::kToneB, "tone_b", "Tone B", O::kToneB, 2},
                                {TwoToneColumn::kGroup, "group_call", "Group Call", O::kGroup, 2}};
  struct List {
    TwoToneGrid grid;
    std::string_view key, label;
    std::size_t base, entries, size;
    std::span<const Column> columns;
  };
  const List lists[] = {
      {TwoToneGrid::CallList, "call_list", "call", O::kCallList, O::kCallEntries, O::kCallEntrySize, kCall},
      {TwoToneGrid::Decode, "decode", "decode", O::kDecode, O::kDecodeEntries, O::kDecodeEntrySize, kDecode}};
  for (const auto& list : lists) {
    for (std::size_t n = 0; n < list.entries; ++n) {
      for (const auto& c : list.columns) {
        const CellPos pos{static_cast<int>(n) + 1, c.column};
        const TwoToneGrid grid = list.grid;
        const std::string label =
            "2-Tone " + std::string(list.label) + " " + std::to_string(n) + " " + std::string(c.label);
        const std::size_t entry = list.base + list.size * n;
        const bool callTone = grid == TwoToneGrid::CallList && c.column != TwoToneColumn::kGap;
        values.push_back(TableValue<TwoToneTable>(
            {Key("two_tone"), Key(list.key), Index(n), Key(c.key)}, label, Bytes(entry + c.offset, c.width),
            [grid, pos](const Image& image) { return TwoToneCellText(image, grid, pos); },
            [grid, pos](TwoToneTable& t, std::string_view text, int language) {
              return t.SetCell(grid, pos, text, language);
            },
            callTone ? Bytes(entry + O::kGap, 1) : std::vector<ValueBits>{}));
      }
    }
  }
}

void AddFiveTone(std::vector<CodeplugValue>& values) {
  using O = FiveToneOffset;
  for (std::size_t n = 0; n < O::kEntries; ++n) {
    const std::size_t entry = O::kDecode + O::kEntrySize * n;
    struct Column {
      int column;
      std::string_view key, label;
      std::vector<ValueBits> bits;
    };
    const Column columns[] = {{FiveToneColumn::kStandard, "standard", "Standard", Bytes(entry + O::kStandard, 1)},
                              {FiveToneColumn::kId, "id", "ID", Bytes(entry + O::kId, O::kIdLength)}};
    for (const auto& c : columns) {
      const CellPos pos{static_cast<int>(n) + 1, c.column};
      const std::string label = "5-Tone decode " + std::to_string(n) + " " + std::string(c.label);
      values.push_back(TableValue<FiveToneTable>(
          {Key("five_tone"), Key("decode"), Index(n), Key(c.key)}, label, c.bits,
          LoadedTableRead<FiveToneTable>([pos](const FiveToneTable& t) { return t.cell(pos); }),
          [pos](FiveToneTable& t, std::string_view text, int language) { return t.SetCell(pos, text, language); }));
    }
  }
  // The two lists beside the grid.
  struct Setting {
    std::string_view key, label;
    std::size_t address;
    std::vector<std::string> (FiveToneTable::*items)() const;
    std::size_t (FiveToneTable::*index)() const;
    Status (FiveToneTable::*setIndex)(std::size_t, int);
  };
  const Setting settings[] = {
      {"respond_waiting_time", "5-Tone Respond Waiting Time", O::kRespondWaiting, &FiveToneTable::respondWaitingItems,
       &FiveToneTable::respondWaitingIndex, &FiveToneTable::SetRespondWaitingIndex},
      {"fix_digit", "5-Tone Fix Digit", O::kFixDigit, &FiveToneTable::fixDigitItems, &FiveToneTable::fixDigitIndex,
       &FiveToneTable::SetFixDigitIndex}};
  for (const Setting& s : settings) {
    values.push_back(TableValue<FiveToneTable>(
        {Key("five_tone"), Key(s.key)}, std::string(s.label), Bytes(s.address, 1),
        LoadedTableRead<FiveToneTable>([s](const FiveToneTable& t) { return (t.*s.items)()[(t.*s.index)()]; }),
        [s](FiveToneTable& t, std::string_view text, int language) -> Status {
          auto position = ItemPosition((t.*s.items)(), text, s.label, language);
          if (!position) return Fail(position.error());
          return (t.*s.setIndex)(*position, language);
        }));
  }
}

void AddMsk(std::vector<CodeplugValue>& values) {
  using O = MskOffset;
  struct List {
    MskGrid grid;
    std::string_view key, label;
    std::size_t base, entries;
  };
  const List lists[] = {{MskGrid::CallList, "call_list", "MSK call", O::kCallList, O::kCallEntries},
                        {MskGrid::IdCode, "id_code", "MSK ID code", O::kIdCode, O::kIdEntries}};
  for (const auto& list : lists) {
    for (std::size_t n = 0; n < list.entries; ++n) {
      const CellPos pos{static_cast<int>(n) + 1, MskTable::kCodeColumn};
      const MskGrid grid = list.grid;
      const std::string label = std::string(list.label) + " " + std::to_string(n);
      values.push_back(TableValue<MskTable>(
          {Key("msk"), Key(list.key), Index(n)}, label, Bytes(list.base + O::kCodeLength * n, O::kCodeLength),
          LoadedTableRead<MskTable>([grid, pos](const MskTable& t) { return t.cell(grid, pos); }),
          [grid, pos](MskTable& t, std::string_view text, int language) {
            return t.SetCell(grid, pos, text, language);
          }));
    }
  }
  values.push_back(TableValue<MskTable>(
      {Key("msk"), Key("repeater_invert")}, "MSK Repeater MSK Invert",
      {{O::kOptions, static_cast<std::uint8_t>(1u << O::kInvertBit)}},
      LoadedTableRead<MskTable>([](const MskTable& t) { return std::string(t.repeaterInvert() ? "On" : "Off"); }),
      [](MskTable& t, std::string_view text, int language) -> Status {
        auto on = OnOff(text, "MSK Repeater MSK Invert", language);
        if (!on) return Fail(on.error());
        t.SetRepeaterInvert(*on);
        return Ok{};
      }));
}

std::vector<CodeplugValue> BuildValues() {
  std::vector<CodeplugValue> values;
  AddChannels(values);
  AddOptions(values);
  AddFrequencyModes(values);
  values.push_back(SettingValue({Key("side_key"), Key("function")}, "side key function", SideKeySetting()));
  AddScrambler(values);
  AddTwoTone(values);
  AddFiveTone(values);
  AddMsk(values);
  return values;
}

// --- Document shape -------------------------------------------------------------

std::string StepText(const PathStep& step) {
  switch (step.kind) {
    case Kind::Key:
      return "/" + step.key;
    case Kind::Index:
      return "/" + std::to_string(step.number);
    case Kind::Numbered:
      return "/#" + std::to_string(step.number);
  }
  return {};
}

// Which paths a document may hold: the named values and the objects and
// arrays above them, keyed by a canonical path ("/channels/#12/rx").
struct Shape {
  std::map<std::string, std::size_t> leaves;  // value index
  std::map<std::string, Kind> containers;     // the kind of step below it
  std::map<std::string, std::size_t> arraySize;
};

const Shape& DocumentShape() {
  static const Shape shape = [] {
    Shape s;
    const auto& values = CodeplugValues();
    for (std::size_t k = 0; k < values.size(); ++k) {
      std::string canon;
      for (const auto& step : values[k].path) {
        s.containers.emplace(canon, step.kind);
        if (step.kind == Kind::Index) s.arraySize[canon] = std::max(s.arraySize[canon], step.number + 1);
        canon += StepText(step);
      }
      s.leaves.emplace(canon, k);
    }
    return s;
  }();
  return shape;
}

// A JSON number as an entry number: a whole number no entry list comes near
// the end of, checked before it is converted (a number beyond the integer
// range, infinity or NaN cannot be converted at all).
std::optional<std::size_t> EntryNumber(double value) {
  constexpr double kLimit = 1u << 20;
  if (!(value >= 0 && value < kLimit) || value != std::floor(value)) return std::nullopt;
  return static_cast<std::size_t>(value);
}

class DocumentReader {
 public:
  explicit DocumentReader(int language) : m_language(language) {}

  std::vector<ValueText> found;
  ErrorReport errors;

  void Error(const std::string& path, const std::string& why) {
    errors.Add(TextOf(kTxtPlace, m_language, {path, why}));
  }
  // The reason by its string-table number.
  void Error(const std::string& path, int message, const std::vector<std::string>& args = {}) {
    Error(path, TextOf(message, m_language, args));
  }
  int language() const { return m_language; }

  bool Known(const std::string& canon) const {
    return m_shape.leaves.count(canon) > 0 || m_shape.containers.count(canon) > 0;
  }

  void Walk(const DocNode& node, const std::string& canon, const std::string& path) {
    if (node.isNull()) return;  // keeps what the bytes say
    if (const auto leaf = m_shape.leaves.find(canon); leaf != m_shape.leaves.end()) {
      if (const auto* text = node.text())
        found.push_back({leaf->second, *text, path});
      else
        Error(path, kMsgNotText);
      return;
    }
    switch (m_shape.containers.at(canon)) {
      case Kind::Key:
        return WalkObject(node, canon, path);
      case Kind::Index:
        return WalkArray(node, canon, path);
      case Kind::Numbered:
        return WalkNumbered(node, canon, path);
    }
  }

  void WalkMembers(const DocMembers& members, const std::string& canon, const std::string& path,
                   std::string_view skip = {}) {
    for (const auto& [key, child] : members) {
      if (!skip.empty() && key == skip) continue;
      const std::string childCanon = canon + "/" + key;
      const std::string childPath = path + "." + Abbreviated(key);
      if (!Known(childCanon))
        Error(childPath, kMsgUnknownKey);
      else
        Walk(child, childCanon, childPath);
    }
  }

  void WalkObject(const DocNode& node, const std::string& canon, const std::string& path) {
    if (const auto* members = node.members())
      WalkMembers(*members, canon, path);
    else
      Error(path, kMsgNotObject);
  }

  void WalkArray(const DocNode& node, const std::string& canon, const std::string& path) {
    const auto* items = node.items();
    if (!items) return Error(path, kMsgNotArray);
    for (std::size_t i = 0; i < items->size(); ++i) {
      const std::string childPath = path + "[" + std::to_string(i) + "]";
      if (i >= m_shape.arraySize.at(canon))
        Error(childPath, kMsgListSize, {std::to_string(m_shape.arraySize.at(canon))});
      else
        Walk((*items)[i], canon + "/" + std::to_string(i), childPath);
    }
  }

  void WalkNumbered(const DocNode& node, const std::string& canon, const std::string& path) {
    const auto* items = node.items();
    if (!items) return Error(path, kMsgNotArray);
    std::set<std::size_t> seen;
    for (std::size_t i = 0; i < items->size(); ++i) {
      const DocNode& item = (*items)[i];
      const std::string itemPath = path + "[" + std::to_string(i) + "]";
      if (item.isNull()) continue;
      const DocNode* number = item.member("number");
      if (!item.members() || !number || !number->number()) {
        Error(itemPath, kMsgNoNumber);
        continue;
      }
      const auto n = EntryNumber(*number->number());
      const std::string childCanon = n ? canon + "/#" + std::to_string(*n) : std::string();
      if (!n || !Known(childCanon)) {
        Error(itemPath + ".number", kMsgNoEntry);
        continue;
      }
      if (!seen.insert(*n).second) {
        Error(itemPath + ".number", kMsgListedTwice, {std::to_string(*n)});
        continue;
      }
      WalkMembers(*item.members(), childCanon, itemPath, "number");
    }
  }

 private:
  int m_language;
  const Shape& m_shape = DocumentShape();
};

std::string RowKey(std::size_t row) {
  char key[8];
  std::snprintf(key, sizeof key, "%04zX", row * kRowSize);
  return key;
}

// Memory rows onto the image; a key must be a row address "0000".."1FF0".
void ReadMemory(const DocNode& node, Image& image, DocumentReader& reader) {
  const auto* members = node.members();
  if (!members) return reader.Error("$.memory", kMsgNotRows);
  for (const auto& [key, row] : *members) {
    const std::string path = "$.memory." + Abbreviated(key);
    std::size_t address = 0;
    const bool hex = key.size() == 4 && std::all_of(key.begin(), key.end(), [](char c) {
                       return std::isxdigit(static_cast<unsigned char>(c));
                     });
    if (hex) address = std::stoul(key, nullptr, 16);
    if (!hex || address % kRowSize != 0 || address >= kImageSize) {
      reader.Error(path, kMsgNotRowAddress);
      continue;
    }
    if (row.isNull()) continue;
    const auto* text = row.text();
    if (!text) {
      reader.Error(path, kMsgNotRowText);
      continue;
    }
    auto bytes = ParseHexRow(*text, reader.language());
    if (!bytes) {
      reader.Error(path, bytes.error());
      continue;
    }
    std::copy(bytes->begin(), bytes->end(), image.begin() + static_cast<std::ptrdiff_t>(address));
  }
}

}  // namespace

void InsertText(DocNode& root, std::span<const PathStep> path, std::string text) {
  DocNode* node = &root;
  for (const auto& step : path) {
    if (step.kind == Kind::Key) {
      if (node->isNull()) node->value = DocMembers{};
      auto& members = std::get<DocMembers>(node->value);
      auto it = std::find_if(members.begin(), members.end(), [&](const auto& m) { return m.first == step.key; });
      if (it == members.end()) it = members.insert(members.end(), {step.key, DocNode{}});
      node = &it->second;
      continue;
    }
    if (node->isNull()) node->value = DocItems{};
    auto& items = std::get<DocItems>(node->value);
    if (step.kind == Kind::Index) {
      if (items.size() <= step.number) items.resize(step.number + 1);
      node = &items[step.number];
      continue;
    }
    const double number = static_cast<double>(step.number);
    auto it = std::find_if(items.begin(), items.end(), [&](const DocNode& item) {
      const DocNode* n = item.member("number");
      return n && n->number() && *n->number() == number;
    });
    if (it == items.end()) it = items.insert(items.end(), DocNode{DocMembers{{"number", DocNode{number}}}});
    node = &*it;
  }
  node->value = std::move(text);
}

const std::vector<CodeplugValue>& CodeplugValues() {
  static const std::vector<CodeplugValue> values = BuildValues();
  return values;
}

std::string PathText(std::span<const PathStep> path) {
  std::string text = "$";
  for (const auto& step : path) {
    if (step.kind == Kind::Key)
      text += "." + step.key;
    else if (step.kind == Kind::Index)
      text += "[" + std::to_string(step.number) + "]";
    else
      text += "[number " + std::to_string(step.number) + "]";
  }
  return text;
}

void StoreValueTexts(Image& image, std::vector<ValueText> texts, ErrorReport& errors, int language) {
  // Values are stored even after a bad one, so every bad value is reported.
  const auto& values = CodeplugValues();
  std::stable_sort(texts.begin(), texts.end(),
                   [](const ValueText& a, const ValueText& b) { return a.value < b.value; });
  for (const auto& t : texts) {
    const auto& v = values[t.value];
    if (t.text == v.read(image)) continue;
    if (auto status = v.store(image, t.text, language); !status)
      errors.Add(TextOf(kTxtPlace, language, {t.path, status.error()}));
  }
}

std::string HexRow(ConstRow row) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i) text += ' ';
    text += kHex[row[i] >> 4];
    text += kHex[row[i] & 0xF];
  }
  return text;
}

Result<std::vector<std::uint8_t>> ParseHexRow(std::string_view text, int language) {
  std::vector<std::uint8_t> bytes;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    const auto hi = i + 1 < text.size() ? HexDigitValue(text[i]) : std::nullopt;
    const auto lo = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : std::nullopt;
    if (!hi || !lo || (i + 2 < text.size() && text[i + 2] != ' '))
      return Fail(TextOf(kMsgNotHexRow, language, {QuotedValue(text)}));
    bytes.push_back(static_cast<std::uint8_t>(*hi << 4 | *lo));
    i += 2;
  }
  if (bytes.size() != kRowSize)
    return Fail(TextOf(kMsgRowLength, language, {QuotedValue(text), std::to_string(bytes.size())}));
  return bytes;
}

DocNode ExportDocument(const Image& image) {
  DocNode doc{DocMembers{{"format", DocNode{std::string(kDocumentFormat)}},
                         {"version", DocNode{static_cast<double>(kDocumentVersion)}},
                         {"channels", DocNode{DocItems{}}}}};
  for (const auto& v : CodeplugValues()) {
    // Unprogrammed channels are left out; their bytes are in the memory rows.
    const bool channel = v.path.front().key == "channels";
    if (channel && !IsProgrammed(image, static_cast<int>(v.path[1].number))) continue;
    InsertText(doc, v.path, v.read(image));
  }
  DocMembers memory;
  for (std::size_t row = 0; row < kRowCount; ++row)
    memory.emplace_back(RowKey(row), DocNode{HexRow(RowOf(image, row))});
  std::get<DocMembers>(doc.value).emplace_back("memory", DocNode{std::move(memory)});
  return doc;
}

Result<Image> ImportDocument(const Image& base, const DocNode& document, int language) {
  Image image = base;
  DocumentReader reader(language);
  const auto* members = document.members();
  if (!members) return Fail(TextOf(kTxtPlace, language, {"$", TextOf(kMsgNotDocument, language)}));
  DocMembers rest;
  for (const auto& [key, node] : *members) {
    if (key == "format") {
      if (!node.text() || *node.text() != kDocumentFormat)
        reader.Error("$.format", kMsgMustBe, {QuotedValue(kDocumentFormat)});
    } else if (key == "version") {
      if (!node.number() || *node.number() != kDocumentVersion)
        reader.Error("$.version", kMsgVersion, {std::to_string(kDocumentVersion)});
    } else if (key == "memory") {
      if (!node.isNull()) ReadMemory(node, image, reader);
    } else {
      rest.emplace_back(key, node);
    }
  }
  reader.WalkMembers(rest, "", "$");

  StoreValueTexts(image, std::move(reader.found), reader.errors, language);
  if (!reader.errors.empty()) return Fail(reader.errors.Text());
  return image;
}

}  // namespace orvex
