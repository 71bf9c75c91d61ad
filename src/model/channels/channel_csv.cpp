#include "model/channels/channel_csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <type_traits>
#include <vector>

#include "core/frequency.h"
#include "core/strings.h"
#include "core/tone.h"
#include "model/byte_fields.h"
#include "model/channels/channel_check.h"
#include "model/channels/channel_record.h"
#include "model/csv.h"
#include "model/import_report.h"

namespace orvex {
namespace {

using O = ChannelOffset;

// Tone defaults the community CSV writes into columns a channel does not use.
constexpr std::string_view kDefaultCtcss = "88.5", kDefaultDcs = "023", kDefaultPolarity = "NN",
                           kDefaultCrossMode = "Tone->Tone";
// Channels whose Rx and Tx lie on either side of this are cross-band and
// written as "split" rather than as a shift.
constexpr FreqUnits kBandEdge = 30000000;  // 300 MHz
// Import takes a power figure of this many watts or more as the high level,
// and anything less as the low one: the nearer of 5 W and 1 W.
constexpr double kHighPowerFromWatts = 2.5;
// Frequencies are MHz; larger figures are taken for a wrong unit.
constexpr double kMaxMHz = 9999.99999;

// String-table numbers of the import's notes.
constexpr int kTxtLineNote = 1851, kTxtCleared = 1852, kTxtTxFigure = 1853, kTxtNoHeader = 1854, kTxtNoColumn = 1855,
              kTxtRenumberFrom = 1856, kTxtSummary = 1661;
constexpr int kMsgLocation = 10288, kMsgLocationTwice = 10289, kMsgNotMhz = 10290, kMsgOutsideRange = 10291,
              kMsgStoredAs = 10292, kMsgDuplex = 10293, kMsgNoTx = 10294, kMsgMode = 10295, kMsgSkip = 10296,
              kMsgPower = 10297, kMsgNameCut = 10298, kMsgNameReplaced = 10299, kMsgToneDropped = 10300,
              kMsgCtcssText = 10301, kMsgDcsText = 10302, kMsgCtcssList = 10303, kMsgDcsList = 10304,
              kMsgPolarity = 10305, kMsgCrossMode = 10306, kMsgToneMode = 10307, kMsgNoChannelLeft = 10308,
              kMsgSameName = 10309;

// A CTCSS/DCS setting of one direction as the CSV sees it.
struct CsvTone {
  enum class Kind { None, Ctcss, Dcs } kind = Kind::None;
  std::string text;     // "88.5" or the three DCS digits "023"
  char polarity = 'N';  // DCS: N normal, R inverted
};

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Mhz6(FreqUnits units) { return FormatFreq(units) + "0"; }  // ten-hertz units, six decimals

CsvTone ToneOf(std::uint8_t hi, std::uint8_t lo) {
  const std::string text = ToneText(hi, lo, "", '.');
  switch (hi & 0xF0) {
    case ToneKind::kCtcss:
      return {CsvTone::Kind::Ctcss, text};
    case ToneKind::kDcsNormal:
    case ToneKind::kDcsInverted:
      return {CsvTone::Kind::Dcs, text.substr(1, 3), (hi & 0xF0) == ToneKind::kDcsInverted ? 'R' : 'N'};
    default:
      return {};  // none, or a kind the radio does not know
  }
}

std::string_view CrossPart(const CsvTone& tone) {
  return tone.kind == CsvTone::Kind::Ctcss ? "Tone" : tone.kind == CsvTone::Kind::Dcs ? "DTCS" : "";
}

// Tone, rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode, CrossMode.
std::array<std::string, 7> ToneColumns(const CsvTone& enc, const CsvTone& dec) {
  using K = CsvTone::Kind;
  std::string mode, rTone(kDefaultCtcss), cTone(kDefaultCtcss), dtcs(kDefaultDcs), rxDtcs(kDefaultDcs),
      cross(kDefaultCrossMode);
  std::string polarity{enc.kind == K::Dcs ? enc.polarity : 'N', dec.kind == K::Dcs ? dec.polarity : 'N'};
  if (enc.kind == K::None && dec.kind == K::None) {
  } else if (enc.kind == K::Ctcss && dec.kind == K::None) {
    mode = "Tone";
    rTone = enc.text;
  } else if (enc.kind == K::Ctcss && dec.kind == K::Ctcss && enc.text == dec.text) {
    mode = "TSQL";
    rTone = cTone = enc.text;
  } else if (enc.kind == K::Dcs && dec.kind == K::Dcs && enc.text == dec.text) {
    mode = "DTCS";
    dtcs = rxDtcs = enc.text;
  } else {
    mode = "Cross";
    cross = std::string(CrossPart(enc)) + "->" + std::string(CrossPart(dec));
    if (enc.kind == K::Ctcss) rTone = enc.text;
    if (enc.kind == K::Dcs) dtcs = enc.text;
    if (dec.kind == K::Ctcss) cTone = dec.text;
    if (dec.kind == K::Dcs) rxDtcs = dec.text;
  }
  return {mode, rTone, cTone, dtcs, polarity, rxDtcs, cross};
}

// The coarsest common tuning step of the channel's frequencies.
std::string_view TuningStep(FreqUnits rx, std::optional<FreqUnits> tx) {
  static constexpr std::pair<FreqUnits, std::string_view> kSteps[] = {{500, "5.00"}, {625, "6.25"}, {250, "2.50"}};
  for (const auto& [units, text] : kSteps)
    if (rx % units == 0 && (!tx || *tx % units == 0)) return text;
  return "5.00";
}

std::vector<std::string> ExportRow(const Image& image, int n) {
  const ConstRow row = RowOf(image, ChannelRow(n));
  const FreqUnits rx = *DecodeBcdFreq(row, O::kRxFreq);
  const std::optional<FreqUnits> tx = DecodeBcdFreq(row, O::kTxFreq);
  std::string duplex, offset = Mhz6(0);
  if (!tx) {
    duplex = "off";
  } else if ((*tx < kBandEdge) != (rx < kBandEdge)) {
    duplex = "split";
    offset = Mhz6(*tx);
  } else if (*tx != rx) {
    duplex = *tx > rx ? "+" : "-";
    offset = Mhz6(*tx > rx ? *tx - rx : rx - *tx);
  }
  const CsvTone dec = ToneOf(row[O::kDecodeTone + 1], row[O::kDecodeTone]);
  const CsvTone enc = tx ? ToneOf(row[O::kEncodeTone + 1], row[O::kEncodeTone]) : CsvTone{};
  const auto tones = ToneColumns(enc, dec);
  std::string name = DecodeChannelName(image, n);
  name.erase(name.find_last_not_of(' ') + 1);
  const auto item = [&](int column) { return FlagItem(*FindChannelFlagField(column), row); };
  return {std::to_string(n),
          name,
          Mhz6(rx),
          duplex,
          offset,
          tones[0],
          tones[1],
          tones[2],
          tones[3],
          tones[4],
          tones[5],
          tones[6],
          item(kColBandwidth) == 1 ? "FM" : "NFM",  // Narrow, Wide
          std::string(TuningStep(rx, tx)),
          item(kColScanAdd) == 1 ? "" : "S",                                   // No, Yes
          std::string(item(kColPower) == 0 ? kHighPowerText : kLowPowerText),  // High, Low
          "",
          "",
          "",
          "",
          ""};
}

// ---- import ----

bool SameWord(std::string_view a, std::string_view b) {
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return upper(x) == upper(y); });
}

// A number of digits with at most one decimal point and nothing else, read
// the same whatever the locale.
template <class Number>
std::optional<Number> PlainNumber(std::string_view text) {
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos) return std::nullopt;
  if constexpr (std::is_floating_point_v<Number>) {
    return ParseDecimal(text);
  } else {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
  }
}

// A decimal number of MHz ("145.5", "145.500000").
std::optional<double> ParseMhz(std::string_view text) {
  const auto mhz = PlainNumber<double>(text);
  if (!mhz || *mhz > kMaxMHz) return std::nullopt;
  return mhz;
}

// A figure in MHz as the community files write it, "146.100000".
std::string MhzFigure(double mhz) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", mhz);
  return text;
}

// Drops `suffix` (any case) and the spaces before it from the end of `text`.
bool TakeSuffix(std::string_view& text, std::string_view suffix) {
  if (text.size() < suffix.size() || !SameWord(text.substr(text.size() - suffix.size()), suffix)) return false;
  text = Trim(text.substr(0, text.size() - suffix.size()));
  return true;
}

// The level of a Power field: a label (High, Mid, Low in any case), watts
// ("5.0W", "0.5 W" or a bare figure) or dBm ("37dBm"), taken to the nearer
// of the radio's two levels.
std::optional<bool> ParsePower(std::string_view power) {
  if (SameWord(power, "High") || SameWord(power, "Mid")) return true;
  if (SameWord(power, "Low")) return false;
  std::string_view figure = power;
  std::optional<double> watts;
  if (TakeSuffix(figure, "dBm")) {
    const bool negative = !figure.empty() && figure.front() == '-';
    if (const auto dbm = PlainNumber<double>(figure.substr(negative ? 1 : 0)))
      watts = std::pow(10.0, ((negative ? -*dbm : *dbm) - 30.0) / 10.0);
  } else {
    TakeSuffix(figure, "W");
    watts = PlainNumber<double>(figure);
  }
  if (!watts) return std::nullopt;
  return *watts >= kHighPowerFromWatts;
}

class RowReader {
 public:
  RowReader(const std::map<std::string, std::size_t>& columns, const CsvRecord& record, int language)
      : m_columns(columns), m_record(record), m_language(language) {}

  // A note in the reader's language.
  std::string Say(int number, const std::vector<std::string>& args = {}) const {
    return TextOf(number, m_language, args);
  }

  bool Has(std::string_view column) const { return m_columns.count(ToUpperAscii(column)) > 0; }
  // The text of a column, trimmed unless asked not to; nullopt when the
  // header has no such column.  A short row reads as empty at its end.
  std::optional<std::string_view> Get(std::string_view column, bool trim = true) const {
    const auto it = m_columns.find(ToUpperAscii(column));
    if (it == m_columns.end()) return std::nullopt;
    if (it->second >= m_record.fields.size()) return std::string_view();
    const std::string_view text = m_record.fields[it->second];
    return trim ? Trim(text) : text;
  }
  std::string GetOr(std::string_view column, std::string_view fallback) const {
    const auto text = Get(column);
    return std::string(text && !text->empty() ? *text : fallback);
  }
  void Problem(std::string message) {
    // DTCS reads one code for both directions; say what is wrong once.
    if (std::find(m_problems.begin(), m_problems.end(), message) == m_problems.end())
      m_problems.push_back(std::move(message));
  }
  const std::vector<std::string>& problems() const { return m_problems; }

 private:
  const std::map<std::string, std::size_t>& m_columns;
  const CsvRecord& m_record;
  int m_language;
  std::vector<std::string> m_problems;
};

// A tone of the list as its list text, or a problem noted.  `shown` is the
// column's text as the file has it.
std::string CheckedTone(RowReader& reader, const std::string& column, const std::string& shown, const std::string& tone,
                        int notInList) {
  if (auto bytes = ToneBytes(tone, '.'); bytes && (*bytes)[1] != kEmpty)
    return ToneText((*bytes)[1], (*bytes)[0], "", '.');
  reader.Problem(reader.Say(notInList, {column, QuotedValue(shown)}));
  return {};
}

std::string CtcssTone(RowReader& reader, std::string column) {
  // A file with only one of the two tone columns uses it both ways.
  const std::string other = SameWord(column, "rToneFreq") ? "cToneFreq" : "rToneFreq";
  if (!reader.Has(column) && reader.Has(other)) column = other;
  const std::string text = reader.GetOr(column, kDefaultCtcss);
  if (text.find_first_not_of("0123456789.") != std::string::npos) {
    reader.Problem(reader.Say(kMsgCtcssText, {column, QuotedValue(text)}));
    return {};
  }
  return CheckedTone(reader, column, text, text, kMsgCtcssList);
}

std::string DcsTone(RowReader& reader, const std::string& column, char polarity) {
  const std::string text = reader.GetOr(column, kDefaultDcs);
  if (text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) {
    reader.Problem(reader.Say(kMsgDcsText, {column, QuotedValue(text)}));
    return {};
  }
  const std::string code = std::string(3 - text.size(), '0') + text;
  return CheckedTone(reader, column, text, "D" + code + (polarity == 'R' ? 'I' : 'N'), kMsgDcsList);
}

// Encode and decode tone texts from Tone, CrossMode and the value columns.
void ReadTones(RowReader& reader, CsvChannelRow& row) {
  const std::string polarity = ToUpperAscii(reader.GetOr("DtcsPolarity", kDefaultPolarity));
  if (polarity.size() != 2 || polarity.find_first_not_of("NR") != std::string::npos)
    return reader.Problem(reader.Say(kMsgPolarity, {QuotedValue(polarity)}));
  const std::string mode = reader.GetOr("Tone", "");
  std::string txPart, rxPart;
  if (mode.empty()) {
  } else if (SameWord(mode, "Tone")) {
    txPart = "Tone";
  } else if (SameWord(mode, "TSQL")) {
    row.encodeTone = row.decodeTone = CtcssTone(reader, "cToneFreq");
    return;
  } else if (SameWord(mode, "DTCS")) {
    row.encodeTone = DcsTone(reader, "DtcsCode", polarity[0]);
    row.decodeTone = DcsTone(reader, "DtcsCode", polarity[1]);
    return;
  } else if (SameWord(mode, "Cross")) {
    const std::string cross = reader.GetOr("CrossMode", kDefaultCrossMode);
    const auto arrow = cross.find("->");
    txPart = arrow == std::string::npos ? "?" : Trim(cross.substr(0, arrow));
    rxPart = arrow == std::string::npos ? "?" : Trim(cross.substr(arrow + 2));
    auto known = [](const std::string& part) {
      return part.empty() || SameWord(part, "Tone") || SameWord(part, "DTCS");
    };
    if (!known(txPart) || !known(rxPart)) return reader.Problem(reader.Say(kMsgCrossMode, {QuotedValue(cross)}));
  } else {
    return reader.Problem(reader.Say(kMsgToneMode, {QuotedValue(mode)}));
  }
  if (SameWord(txPart, "Tone")) row.encodeTone = CtcssTone(reader, "rToneFreq");
  if (SameWord(txPart, "DTCS")) row.encodeTone = DcsTone(reader, "DtcsCode", polarity[0]);
  if (SameWord(rxPart, "Tone")) row.decodeTone = CtcssTone(reader, "cToneFreq");
  // Older files have no RxDtcsCode and use DtcsCode both ways.
  if (SameWord(rxPart, "DTCS"))
    row.decodeTone = DcsTone(reader, reader.Get("RxDtcsCode") ? "RxDtcsCode" : "DtcsCode", polarity[1]);
}

constexpr FreqLimits kLimits{};

// The stored text of a frequency the radio takes, with a move onto the
// raster noted as "<figure> MHz stored as ..."; "" and a problem naming
// `what` when the radio cannot take it at all.
std::string StoredFreq(RowReader& reader, CsvChannelRow& row, double mhz, const std::string& what,
                       const std::string& figure) {
  const long long units = std::llround(mhz * 100000.0);
  if (units < kLimits.lowerMHz * 100000LL || units >= kLimits.upperMHz * 100000LL) {
    reader.Problem(
        reader.Say(kMsgOutsideRange, {what, std::to_string(kLimits.lowerMHz), std::to_string(kLimits.upperMHz)}));
    return {};
  }
  const std::string exact = FormatFreq(static_cast<FreqUnits>(units));
  const std::string stored = NormalizeFreq(exact);
  // Digits finer than the radio's 10 Hz unit are a move too.
  if (stored != exact || std::abs(mhz * 100000.0 - static_cast<double>(units)) > 1e-3)
    row.adjustments.push_back(reader.Say(kMsgStoredAs, {figure, stored}));
  return stored;
}

void ReadFrequencies(RowReader& reader, CsvChannelRow& row) {
  const std::string frequency = reader.GetOr("Frequency", "");
  const auto rx = ParseMhz(frequency);
  if (!rx) return reader.Problem(reader.Say(kMsgNotMhz, {"Frequency", QuotedValue(frequency), "145.500000"}));
  row.rx = StoredFreq(reader, row, *rx, "Frequency " + QuotedValue(frequency), frequency);
  const std::string duplex = reader.GetOr("Duplex", "");
  const std::string offsetText = reader.GetOr("Offset", "0");
  const auto offset = ParseMhz(offsetText);
  double tx = *rx;
  if (duplex.empty()) {
  } else if (SameWord(duplex, "off")) {
    return;  // no Tx
  } else if (duplex != "+" && duplex != "-" && !SameWord(duplex, "split")) {
    return reader.Problem(reader.Say(kMsgDuplex, {QuotedValue(duplex)}));
  } else if (!offset) {
    return reader.Problem(reader.Say(kMsgNotMhz, {"Offset", QuotedValue(offsetText), "0.600000"}));
  } else {
    tx = duplex == "+" ? *rx + *offset : duplex == "-" ? *rx - *offset : *offset;
  }
  if (std::llround(tx * 100000.0) <= 0) return reader.Problem(reader.Say(kMsgNoTx, {duplex, QuotedValue(offsetText)}));
  if (row.rx.empty()) return;  // the Rx problem says enough
  row.tx = std::llround(tx * 100000.0) == std::llround(*rx * 100000.0)
               ? row.rx
               : StoredFreq(reader, row, tx, reader.Say(kTxtTxFigure, {MhzFigure(tx)}), "Tx " + MhzFigure(tx));
}

void ReadFlags(RowReader& reader, CsvChannelRow& row) {
  if (auto mode = reader.Get("Mode"); mode && !mode->empty()) {
    if (SameWord(*mode, "FM") || SameWord(*mode, "NFM"))
      row.wide = SameWord(*mode, "FM");
    else
      reader.Problem(reader.Say(kMsgMode, {QuotedValue(*mode)}));
  }
  if (auto skip = reader.Get("Skip")) {
    if (skip->empty() || SameWord(*skip, "P") || SameWord(*skip, "S"))
      row.scanAdd = !SameWord(*skip, "S");
    else
      reader.Problem(reader.Say(kMsgSkip, {QuotedValue(*skip)}));
  }
  if (auto power = reader.Get("Power"); power && !power->empty()) {
    row.highPower = ParsePower(*power);
    if (!row.highPower) reader.Problem(reader.Say(kMsgPower, {QuotedValue(*power)}));
  }
  if (auto name = reader.Get("Name", false)) {
    const FittedName fitted = FitChannelName(*name);
    row.name = fitted.name;
    if (fitted.cut)
      row.adjustments.push_back(reader.Say(kMsgNameCut, {QuotedValue(*name), QuotedValue(fitted.name)}));
    else if (fitted.replaced)
      row.adjustments.push_back(reader.Say(kMsgNameReplaced, {QuotedValue(*name), QuotedValue(fitted.name)}));
  }
}

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? std::string(separator) : "") + parts[i];
  return text;
}

// Writes a checked row over channel `n` of the image.
Status ApplyRow(Image& image, const Image& base, const CsvChannelRow& row) {
  const int n = row.location;
  ChannelFields fields = ReadChannel(base, n, kEnglish);
  if (fields.rx.empty()) ClearChannel(image, n);  // bytes the CSV cannot carry start unprogrammed
  fields = WithRx(std::move(fields), row.rx, kEnglish);
  fields.decodeTone = row.decodeTone;  // "" stores no tone
  fields.encodeTone = row.encodeTone;
  fields = WithTx(std::move(fields), row.tx, kEnglish);
  auto item = [](int column, bool second) { return ChannelListItems(column, kEnglish)[second ? 1 : 0]; };
  if (row.highPower) fields.power = item(kColPower, !*row.highPower);
  if (row.scanAdd) fields.scanAdd = item(kColScanAdd, *row.scanAdd);
  if (row.wide) fields.bandwidth = item(kColBandwidth, *row.wide);
  if (row.name) fields.name = *row.name;
  return StoreChannel(image, n, fields, kEnglish);
}

// The other channel whose name channel `n` now shares, if any: a channel
// the file does not touch, or one a row earlier in the file stored.
std::optional<int> SharesNameWith(const Image& image, int n, const std::map<int, std::size_t>& storedBy,
                                  std::size_t line) {
  const std::string name = DecodeChannelName(image, n);
  if (name.find_first_not_of(' ') == std::string::npos) return std::nullopt;
  for (int m = O::kFirst; m <= O::kLast; ++m) {
    if (m == n || !IsProgrammed(image, m) || DecodeChannelName(image, m) != name) continue;
    const auto stored = storedBy.find(m);
    if (stored == storedBy.end() || stored->second < line) return m;
  }
  return std::nullopt;
}

// What the check before Write finds on the channels the rows went to, each
// at the line of its row; a group of channels at the first line among them.
// Shared names are left to the import's own note on them.
std::vector<CsvLineNote> StoredRowFindings(const Image& image, const std::vector<const CsvChannelRow*>& stored,
                                           int language) {
  std::map<int, std::size_t> lineOf;
  for (const CsvChannelRow* row : stored) lineOf.emplace(row->location, row->line);
  std::vector<CsvLineNote> notes;
  for (const CheckFinding& finding : CheckChannelRecords(image, language)) {
    if (finding.sharedName) continue;
    std::optional<std::size_t> line;
    const std::vector<int> channels = finding.channels.empty() ? std::vector<int>{finding.channel} : finding.channels;
    for (const int n : channels)
      if (const auto it = lineOf.find(n); it != lineOf.end()) line = std::min(line.value_or(it->second), it->second);
    if (line) notes.push_back({*line, FindingLine(finding, language)});
  }
  std::stable_sort(notes.begin(), notes.end(),
                   [](const CsvLineNote& a, const CsvLineNote& b) { return a.line < b.line; });
  return notes;
}

}  // namespace

std::string ExportChannelsCsv(const Image& image) {
  std::string csv = std::string(kChannelCsvHeader) + "\r\n";
  for (int n = O::kFirst; n <= O::kLast; ++n)
    // A receive frequency that is not packed BCD has no MHz figure to write.
    if (DecodeBcdFreq(RowOf(image, ChannelRow(n)), O::kRxFreq)) csv += CsvLine(ExportRow(image, n));
  return csv;
}

std::string NoteText(const CsvLineNote& note, int language) {
  return TextOf(kTxtLineNote, language, {std::to_string(note.line), note.text});
}

Result<std::vector<CsvChannelRow>> ReadChannelsCsv(std::string_view csv, int renumberFrom, int language) {
  if (renumberFrom != 0 && !IsChannelNumber(renumberFrom))
    return Fail(TextOf(kTxtRenumberFrom, language, {std::to_string(renumberFrom)}));
  auto records = ParseCsv(csv, '#', {}, language);
  if (!records) return Fail(records.error());
  // A quoted first field that starts with "#" marks a comment as well.
  std::erase_if(*records, [](const CsvRecord& record) { return Trim(record.fields.front()).starts_with('#'); });
  if (records->empty()) return Fail(NoteText({1, TextOf(kTxtNoHeader, language)}, language));

  std::map<std::string, std::size_t> columns;
  const CsvRecord& header = records->front();
  for (std::size_t i = 0; i < header.fields.size(); ++i)
    columns.emplace(ToUpperAscii(Trim(header.fields[i])), i);  // the first of a repeated name counts
  for (std::string_view required : {"Location", "Frequency"})
    if (!columns.count(ToUpperAscii(required)) && !(renumberFrom && required == "Location"))
      return Fail(NoteText({header.line, TextOf(kTxtNoColumn, language, {std::string(required)})}, language));

  std::vector<CsvChannelRow> rows;
  std::map<int, std::size_t> lineOf;
  int next = renumberFrom;
  for (auto record = records->begin() + 1; record != records->end(); ++record) {
    const bool blank =
        std::all_of(record->fields.begin(), record->fields.end(), [](const std::string& f) { return Trim(f).empty(); });
    if (blank) continue;
    RowReader reader(columns, *record, language);
    CsvChannelRow row;
    row.line = record->line;
    if (!renumberFrom) {
      const std::string location = reader.GetOr("Location", "");
      const auto number = location.size() <= 3 ? PlainNumber<int>(location) : std::nullopt;
      if (!number || !IsChannelNumber(*number)) {
        reader.Problem(reader.Say(kMsgLocation, {QuotedValue(location)}));
      } else if (const auto seen = lineOf.find(*number); seen != lineOf.end()) {
        reader.Problem(reader.Say(kMsgLocationTwice, {location, std::to_string(seen->second)}));
      } else {
        row.location = *number;
        lineOf.emplace(row.location, row.line);
      }
    }
    ReadFrequencies(reader, row);
    ReadTones(reader, row);
    ReadFlags(reader, row);
    if (row.tx.empty() && !row.encodeTone.empty()) {
      row.adjustments.push_back(reader.Say(kMsgToneDropped, {row.encodeTone}));
      row.encodeTone.clear();
    }
    // Renumbered rows take channels only when they can be stored, so a
    // skipped row leaves no gap.
    if (renumberFrom && reader.problems().empty()) {
      if (next > O::kLast)
        reader.Problem(reader.Say(kMsgNoChannelLeft, {std::to_string(renumberFrom)}));
      else
        row.location = next++;
    }
    row.problems = reader.problems();
    if (!row.usable()) row.location = 0;
    rows.push_back(std::move(row));
  }
  return rows;
}

CsvImportReport ApplyChannelsCsv(Image& image, const std::vector<CsvChannelRow>& rows, bool replace, int language) {
  CsvImportReport report;
  const Image base = image;
  std::map<int, std::size_t> storedBy;  // channel -> line
  for (const auto& row : rows)
    if (row.usable()) storedBy.emplace(row.location, row.line);
  if (replace)
    for (int n = O::kFirst; n <= O::kLast; ++n)
      if (!storedBy.count(n)) {
        report.cleared += IsProgrammed(base, n) ? 1 : 0;
        ClearChannel(image, n);
      }
  std::vector<const CsvChannelRow*> stored;
  for (const auto& row : rows) {
    Status written = row.usable() ? ApplyRow(image, base, row) : Fail(Joined(row.problems, "; "));
    if (!written) {
      report.skipped.push_back({row.line, written.error()});
      storedBy.erase(row.location);
      continue;
    }
    ++report.imported;
    report.replaced += IsProgrammed(base, row.location) ? 1 : 0;
    stored.push_back(&row);
  }
  for (const CsvChannelRow* row : stored) {
    std::vector<std::string> notes = row->adjustments;
    if (const auto other = SharesNameWith(image, row->location, storedBy, row->line))
      notes.push_back(TextOf(kMsgSameName, language,
                             {std::to_string(row->location), QuotedValue(DecodeChannelName(image, row->location)),
                              std::to_string(*other)}));
    for (auto& note : notes) report.adjustments.push_back({row->line, std::move(note)});
    report.adjusted += notes.empty() ? 0 : 1;
  }
  report.findings = StoredRowFindings(image, stored, language);
  return report;
}

std::string CsvImportSummary(const CsvImportReport& report, int language) {
  std::string summary = TextOf(kTxtSummary, language,
                               {std::to_string(report.imported), std::to_string(report.replaced),
                                std::to_string(report.skipped.size()), std::to_string(report.adjusted)});
  if (report.cleared) summary += TextOf(kTxtCleared, language, {std::to_string(report.cleared)});
  return summary;
}

Result<Image> ImportChannelsCsv(const Image& base, std::string_view csv, bool replace) {
  const auto rows = ReadChannelsCsv(csv);
  if (!rows) return Fail(rows.error());
  Image image = base;
  const CsvImportReport report = ApplyChannelsCsv(image, *rows, replace);
  if (report.skipped.empty()) return image;
  ErrorReport errors;
  for (const auto& note : report.skipped) errors.Add(NoteText(note));
  return Fail(errors.Text());
}

}  // namespace orvex
