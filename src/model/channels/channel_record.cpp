#include "model/channels/channel_record.h"

#include <algorithm>

#include "core/strings.h"
#include "core/tone.h"
#include "model/import_report.h"

namespace orvex {
namespace {

using O = ChannelOffset;

// String numbers of the list items.
constexpr int kTxtOff = 1150, kTxtOn = 1149, kTxtNo = 1152, kTxtYes = 1151, kTxtLow = 1148, kTxtHigh = 1147,
              kTxtNarrow = 1146, kTxtWide = 1145, kTxtCarrier = 1139, kTxt2Tone = 1520, kTxt5Tone = 1521,
              kTxtCompand = 1384, kTxtScramble = 1385, kTxtNone = 1137;

constexpr std::array<std::string ChannelFields::*, kChannelColumns> kFieldOf = {
    nullptr,
    &ChannelFields::rx,
    &ChannelFields::tx,
    &ChannelFields::decodeTone,
    &ChannelFields::encodeTone,
    &ChannelFields::power,
    &ChannelFields::scanAdd,
    &ChannelFields::bandwidth,
    &ChannelFields::bcl,
    &ChannelFields::name,
    &ChannelFields::option,
    &ChannelFields::scramblerNo,
    &ChannelFields::optSignal,
    &ChannelFields::decode,
    &ChannelFields::autoResponse,
};

// Heading string numbers; the tone headings are prefixed with "CTC/DCS ".
constexpr std::array<int, kChannelColumns> kHeadingText = {1120, 1121, 1122, 1123, 1124, 1127, 1132, 1128,
                                                           1129, 1349, 1383, 1519, 1125, 1216, 1518};
// String-table numbers of the store's refusals.
constexpr int kTxtPlace = 1910, kMsgChannel = 10360, kMsgNotOneOf = 10361, kMsgNotName = 10362;

std::vector<std::string> Texts(std::initializer_list<int> numbers, int language) {
  std::vector<std::string> items;
  for (int n : numbers) items.emplace_back(Text(n, language));
  return items;
}

std::vector<std::string> Digits(char first, char last) {
  std::vector<std::string> items;
  for (char c = first; c <= last; ++c) items.emplace_back(1, c);
  return items;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

}  // namespace

const std::vector<ChannelFlagField>& ChannelFlagFields() {
  const auto bit = [](unsigned b) { return static_cast<std::uint8_t>(1u << b); };
  const auto steps = [](std::uint8_t mask, unsigned shift) {
    std::vector<std::uint8_t> stored;
    for (unsigned v = 0; v <= static_cast<unsigned>(mask >> shift); ++v)
      stored.push_back(static_cast<std::uint8_t>(v << shift));
    return stored;
  };
  static const std::vector<ChannelFlagField> fields = {
      {kColPower, O::kFlagsA, bit(O::kHighPowerBit), {bit(O::kHighPowerBit), 0}},  // High, Low
      {kColScanAdd, O::kFlagsA, bit(O::kScanAddBit), {0, bit(O::kScanAddBit)}},
      {kColBandwidth, O::kFlagsA, bit(O::kWideBit), {0, bit(O::kWideBit)}},  // Narrow, Wide
      {kColBcl, O::kFlagsA, bit(O::kBclBit), {0, bit(O::kBclBit)}},
      // Off, Compand, Scramble: only one of the two bits may be set.
      {kColOption,
       O::kFlagsB,
       static_cast<std::uint8_t>(bit(O::kCompandBit) | bit(O::kScrambleBit)),
       {0, bit(O::kCompandBit), bit(O::kScrambleBit)}},
      {kColScramblerNo, O::kFlagsB, O::kScramblerNoMask, steps(O::kScramblerNoMask, O::kScramblerNoShift)},
      {kColOptSignal, O::kFlagsA, O::kOptSignalMask, {0, O::kOptSignalMsk, O::kOptSignal2Tone, O::kOptSignal5Tone}},
      {kColDecode, O::kFlagsB, O::kDecodeMask, steps(O::kDecodeMask, 0)},
      {kColAutoResponse, O::kFlagsA, bit(O::kAutoResponseBit), {0, bit(O::kAutoResponseBit)}},
  };
  return fields;
}

const ChannelFlagField* FindChannelFlagField(int column) {
  const auto& fields = ChannelFlagFields();
  const auto found =
      std::find_if(fields.begin(), fields.end(), [column](const ChannelFlagField& f) { return f.column == column; });
  return found == fields.end() ? nullptr : &*found;
}

std::size_t FlagItem(const ChannelFlagField& field, ConstRow record) {
  const auto found = std::find(field.stored.begin(), field.stored.end(), record[field.byte] & field.mask);
  return found == field.stored.end() ? 0 : static_cast<std::size_t>(found - field.stored.begin());
}

void StoreFlagItem(const ChannelFlagField& field, std::size_t index, Row record) {
  record[field.byte] = static_cast<std::uint8_t>((record[field.byte] & ~field.mask) | field.stored.at(index));
}

std::string& ChannelFields::at(int column) { return this->*kFieldOf.at(static_cast<std::size_t>(column)); }
const std::string& ChannelFields::at(int column) const { return this->*kFieldOf.at(static_cast<std::size_t>(column)); }

namespace {

std::vector<std::string> BuildChannelListItems(int column, int language) {
  switch (column) {
    case kColPower:
      return Texts({kTxtHigh, kTxtLow}, language);
    case kColScanAdd:
      return Texts({kTxtNo, kTxtYes}, language);
    case kColBandwidth:
      return Texts({kTxtNarrow, kTxtWide}, language);
    case kColBcl:
      return Texts({kTxtOff, kTxtCarrier}, language);
    case kColOption:
      return Texts({kTxtOff, kTxtCompand, kTxtScramble}, language);
    case kColScramblerNo:
      return Digits('1', '8');
    case kColOptSignal: {
      auto items = Texts({kTxtOff, kTxt2Tone, kTxt5Tone}, language);
      items.insert(items.begin() + 1, "MSK");  // the same in both languages
      return items;
    }
    case kColDecode:
      return Digits('0', '7');
    case kColAutoResponse:
      return Texts({kTxtOff, kTxtOn}, language);
    default:
      return {};
  }
}

}  // namespace

std::string ChannelHeading(int column, int language) {
  const bool tone = column == kColDecodeTone || column == kColEncodeTone;
  return (tone ? "CTC/DCS " : "") + std::string(Text(kHeadingText[static_cast<std::size_t>(column)], language));
}

const std::vector<std::string>& ChannelListItems(int column, int language) {
  using Lists = std::array<std::array<std::vector<std::string>, kChannelColumns>, 2>;
  static const Lists lists = [] {
    Lists built;
    for (const int l : {kEnglish, kChinese})
      for (int c = 0; c < kChannelColumns; ++c)
        built[static_cast<std::size_t>(l)][static_cast<std::size_t>(c)] = BuildChannelListItems(c, l);
    return built;
  }();
  static const std::vector<std::string> kNone;
  if (column < 0 || column >= kChannelColumns) return kNone;
  return lists[language == kChinese ? 1u : 0u][static_cast<std::size_t>(column)];
}

char NameChar(std::uint8_t code) {
  if (code <= 9) return static_cast<char>('0' + code);
  if (code <= 35) return static_cast<char>('A' + code - 10);
  if (code == 36) return '?';
  if (code == 37) return '+';
  return ' ';
}

std::uint8_t NameCode(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'A' && c <= 'Z') return static_cast<std::uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'z') return static_cast<std::uint8_t>(c - 'a' + 10);
  if (c == '?') return 36;
  if (c == '+') return 37;
  return O::kNameSpaceCode;
}

namespace {

// Base letters of U+00C0..U+017F (Latin-1 Supplement letters and Latin
// Extended-A); a space where there is no plain letter.  Ligatures give their
// first letter, so one character stays one character.
constexpr std::string_view kLatinBase =
    "AAAAAAACEEEEIIIIDNOOOOO OUUUUY SAAAAAAACEEEEIIIIDNOOOOO OUUUUY Y"  // U+00C0..U+00FF
    "AAAAAACCCCCCCCDDDDEEEEEEEEEEGGGGGGGGHHHHIIIIIIIIIIIIJJKKKLLLLLLLLLL"
    "NNNNNNNNNOOOOOOOORRRRRRSSSSSSSSTTTTTTUUUUUUUUUUUUWWYYYZZZZZZS";  // U+0100..U+017F
constexpr char32_t kLatinFirst = 0xC0;
static_assert(kLatinBase.size() == 0x180 - kLatinFirst);

// The next character of `text` from `at`, moving `at` past it.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  const std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
  char32_t point = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
  bool valid = length != 0 && at + length <= text.size();
  for (std::size_t i = 1; valid && i < length; ++i) {
    valid = (byte(at + i) & 0xC0) == 0x80;
    point = (point << 6) | (byte(at + i) & 0x3F);
  }
  // Overlong forms count as invalid too.
  static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (!valid || point < kShortest[length]) {
    ++at;
    return lead;  // Latin-1
  }
  at += length;
  return point;
}

// The ASCII character a name character stands for, or a space.
char PlainChar(char32_t c) {
  if (c < 0x80) return static_cast<char>(c);
  if (c >= kLatinFirst && c - kLatinFirst < kLatinBase.size()) return kLatinBase[c - kLatinFirst];
  return ' ';
}

}  // namespace

FittedName FitChannelName(std::string_view text) {
  FittedName fitted;
  for (std::size_t at = 0; at < text.size();) {
    const char32_t c = NextCodePoint(text, at);
    const char shown = NameChar(NameCode(PlainChar(c)));
    if (fitted.name.size() == O::kNameLength) {
      fitted.cut = fitted.cut || c != U' ';
      continue;
    }
    fitted.replaced = fitted.replaced || (shown == ' ' && c != U' ');
    fitted.name += shown;
  }
  return fitted;
}

std::string CleanChannelName(std::string_view text) { return FitChannelName(text).name; }

std::string DecodeChannelName(const Image& image, int n) {
  const ConstRow row = RowOf(image, ChannelNameRow(n));
  std::string name;
  for (std::size_t i = 0; i < O::kNameLength; ++i) name += NameChar(row[i]);
  return name;
}

void EncodeChannelName(Image& image, int n, std::string_view text) {
  const Row row = RowOf(image, ChannelNameRow(n));
  for (std::size_t i = 0; i < O::kNameLength; ++i) row[i] = i < text.size() ? NameCode(text[i]) : O::kNameSpaceCode;
}

bool IsProgrammed(const Image& image, int n) { return HasFreq(RowOf(image, ChannelRow(n)), Direction::Rx); }

ChannelFields ReadChannel(const Image& image, int n, int language, char separator) {
  ChannelFields fields;
  const ConstRow row = RowOf(image, ChannelRow(n));
  fields.rx = ReadFreq(row, Direction::Rx, separator);
  if (fields.rx.empty()) return fields;
  const std::string_view none = Text(kTxtNone, language);
  fields.decodeTone = ReadTone(row, Direction::Rx, none, separator);
  for (const ChannelFlagField& field : ChannelFlagFields())
    fields.at(field.column) = ChannelListItems(field.column, language)[FlagItem(field, row)];
  fields.name = DecodeChannelName(image, n);
  fields.tx = ReadFreq(row, Direction::Tx, separator);
  if (!fields.tx.empty()) fields.encodeTone = ReadTone(row, Direction::Tx, none, separator);
  return fields;
}

Status StoreChannel(Image& image, int n, const ChannelFields& fields, int language, char separator,
                    std::optional<int> messageLanguage) {
  if (fields.rx.empty()) {
    ClearChannel(image, n);
    return Ok{};
  }
  const ConstRow current = RowOf(std::as_const(image), ChannelRow(n));
  std::array<std::uint8_t, kRowSize> record;
  std::copy(current.begin(), current.end(), record.begin());
  const Row out(record);
  const int says = messageLanguage.value_or(language);
  std::vector<std::string> problems;
  auto note = [&](int column, const std::string& why) {
    problems.push_back(TextOf(kTxtPlace, says, {ChannelHeading(column, says), why}));
  };

  // A text the codecs refuse is still accepted when it is what the record
  // already holds, so radio data outside the editor's range (a frequency
  // below 10 MHz, a tone outside the list) survives a store unchanged; the
  // refused write left those bytes as they were.
  auto written = [&](int column, const Status& status, const std::string& text, const std::string& held) {
    if (!status && text != held) note(column, status.error());
  };
  written(kColRx, WriteFreq(out, Direction::Rx, fields.rx, says), fields.rx,
          ReadFreq(current, Direction::Rx, separator));
  written(kColTx, WriteFreq(out, Direction::Tx, fields.tx, says), fields.tx,
          ReadFreq(current, Direction::Tx, separator));
  const std::string none(Text(kTxtNone, language));
  written(kColDecodeTone, WriteTone(out, Direction::Rx, fields.decodeTone, separator, says), fields.decodeTone,
          ReadTone(current, Direction::Rx, none, separator));
  const std::string encodeTone = WithTx(fields, fields.tx, language).encodeTone;
  written(kColEncodeTone, WriteTone(out, Direction::Tx, encodeTone, separator, says), encodeTone,
          ReadTone(current, Direction::Tx, none, separator));

  for (const ChannelFlagField& field : ChannelFlagFields()) {
    const auto& items = ChannelListItems(field.column, language);
    const std::string& text = fields.at(field.column);
    const auto found = std::find(items.begin(), items.end(), text);
    if (found == items.end()) {
      note(field.column, TextOf(kMsgNotOneOf, says, {QuotedValue(text), Joined(items)}));
      continue;
    }
    StoreFlagItem(field, static_cast<std::size_t>(found - items.begin()), out);
  }
  const bool showable =
      std::all_of(fields.name.begin(), fields.name.end(), [](char c) { return NameChar(NameCode(c)) == c; });
  if (fields.name.size() > O::kNameLength || !showable)
    note(kColName, TextOf(kMsgNotName, says, {QuotedValue(fields.name)}));

  if (!problems.empty()) {
    std::string message;
    for (std::size_t i = 0; i < problems.size(); ++i) message += (i ? "; " : "") + problems[i];
    return Fail(TextOf(kMsgChannel, says, {std::to_string(n), message}));
  }
  std::copy(record.begin(), record.end(), RowOf(image, ChannelRow(n)).begin());
  EncodeChannelName(image, n, fields.name);
  return Ok{};
}

void ClearChannel(Image& image, int n) {
  for (std::size_t row : {ChannelRow(n), ChannelNameRow(n)}) {
    const Row r = RowOf(image, row);
    std::fill(r.begin(), r.end(), kEmpty);
  }
}

ChannelFields NewChannelFields(std::string_view rxText, int language) {
  ChannelFields fields;
  fields.rx = rxText;
  fields.tx = rxText;
  fields.decodeTone = fields.encodeTone = Text(kTxtNone, language);
  for (const ChannelFlagField& field : ChannelFlagFields())
    fields.at(field.column) = ChannelListItems(field.column, language).front();
  fields.scanAdd = Text(kTxtYes, language);
  fields.bandwidth = Text(kTxtWide, language);
  return fields;
}

ChannelFields WithRx(ChannelFields fields, std::string_view rx, int language) {
  if (fields.rx.empty()) {
    ChannelFields started = NewChannelFields(rx, language);
    started.name = std::move(fields.name);
    return started;
  }
  fields.rx = rx;
  return fields;
}

ChannelFields WithTx(ChannelFields fields, std::string_view tx, int language) {
  if (tx.empty())
    fields.encodeTone.clear();
  else if (fields.encodeTone.empty())
    fields.encodeTone = Text(kTxtNone, language);
  fields.tx = tx;
  return fields;
}

}  // namespace orvex
