#include "model/channels/channel_rows.h"

#include <algorithm>
#include <set>

#include "core/frequency.h"
#include "model/byte_fields.h"
#include "model/channels/channel_csv.h"
#include "model/channels/channel_record.h"
#include "model/channels/channel_table.h"
#include "model/csv.h"
#include "model/settings/option_settings.h"

namespace orvex {
namespace {

using O = ChannelOffset;

// order[r] is the channel (by its old number) that row r holds afterwards;
// 0 is a blank channel.  Row 0 is not a channel.
using ChannelOrder = std::array<int, O::kLast + 1>;

ChannelOrder SameOrder() {
  ChannelOrder order{};
  for (int r = O::kFirst; r <= O::kLast; ++r) order[static_cast<std::size_t>(r)] = r;
  return order;
}

int& At(ChannelOrder& order, int row) { return order[static_cast<std::size_t>(row)]; }

std::size_t PriorityAddress() { return FindOptionSetting("priority_channel")->address; }

// Moves every channel to its new row; the priority channel follows its
// channel and becomes Off (0) when its channel is gone.
void ApplyOrder(Image& image, const ChannelOrder& order) {
  std::array<ChannelBytes, O::kLast + 1> old;
  for (int n = O::kFirst; n <= O::kLast; ++n) old[static_cast<std::size_t>(n)] = TakeChannel(image, n);
  for (int r = O::kFirst; r <= O::kLast; ++r) {
    const int from = order[static_cast<std::size_t>(r)];
    PutChannel(image, r, from == 0 ? BlankChannel() : old[static_cast<std::size_t>(from)]);
  }
  std::uint8_t& priority = image[PriorityAddress()];
  if (!IsChannelNumber(priority)) return;
  const auto it = std::find(order.begin() + O::kFirst, order.end(), int{priority});
  priority = it == order.end() ? 0 : static_cast<std::uint8_t>(it - order.begin());
}

RowEdit Done(std::vector<int> rows) { return RowEdit{RowRefusal::None, std::move(rows)}; }
RowEdit Refused(RowRefusal why) { return RowEdit{why, {}}; }

std::string Trimmed(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

ChannelBytes BlankChannel() {
  ChannelBytes blank;
  blank.record.fill(kEmpty);
  blank.name.fill(kEmpty);
  return blank;
}

ChannelBytes TakeChannel(const Image& image, int n) {
  ChannelBytes channel;
  const ConstRow record = RowOf(image, ChannelRow(n)), name = RowOf(image, ChannelNameRow(n));
  std::copy(record.begin(), record.end(), channel.record.begin());
  std::copy(name.begin(), name.end(), channel.name.begin());
  return channel;
}

void PutChannel(Image& image, int n, const ChannelBytes& channel) {
  std::copy(channel.record.begin(), channel.record.end(), RowOf(image, ChannelRow(n)).begin());
  std::copy(channel.name.begin(), channel.name.end(), RowOf(image, ChannelNameRow(n)).begin());
}

RowEdit AllOrNothing(Image& image, const std::function<RowEdit(Image&)>& edit) {
  Image changed = image;
  RowEdit result = edit(changed);
  if (result.done()) image = changed;
  return result;
}

std::vector<int> ChannelRows(std::span<const int> rows) {
  std::set<int> unique;
  for (int row : rows)
    if (IsChannelNumber(row)) unique.insert(row);
  return {unique.begin(), unique.end()};
}

RowEdit InsertBlankChannels(Image& image, int at, int count) {
  if (!IsChannelNumber(at) || count < 1) return Refused(RowRefusal::NoRows);
  if (at + count - 1 > O::kLast) return Refused(RowRefusal::DoesNotFit);
  for (int n = O::kLast - count + 1; n <= O::kLast; ++n)
    if (IsProgrammed(image, n)) return Refused(RowRefusal::LastChannelProgrammed);
  ChannelOrder order = SameOrder();
  std::vector<int> rows;
  for (int r = O::kFirst; r <= O::kLast; ++r) {
    if (r < at) continue;
    if (r < at + count) {
      At(order, r) = 0;
      rows.push_back(r);
    } else {
      At(order, r) = r - count;
    }
  }
  ApplyOrder(image, order);
  return Done(std::move(rows));
}

RowEdit DeleteChannels(Image& image, std::span<const int> rows) {
  const std::vector<int> gone = ChannelRows(rows);
  if (gone.empty()) return Refused(RowRefusal::NoRows);
  ChannelOrder order{};
  int next = O::kFirst;
  for (int n = O::kFirst; n <= O::kLast; ++n)
    if (!std::binary_search(gone.begin(), gone.end(), n)) At(order, next++) = n;
  ApplyOrder(image, order);
  return Done({gone.front()});
}

RowEdit ClearChannels(Image& image, std::span<const int> rows) {
  std::vector<int> cleared = ChannelRows(rows);
  if (cleared.empty()) return Refused(RowRefusal::NoRows);
  ChannelOrder order = SameOrder();
  for (int r : cleared) At(order, r) = 0;
  ApplyOrder(image, order);
  return Done(std::move(cleared));
}

RowEdit MoveChannels(Image& image, std::span<const int> rows, int by) {
  std::vector<int> moved = ChannelRows(rows);
  if (moved.empty() || (by != -1 && by != 1)) return Refused(RowRefusal::NoRows);
  if ((by < 0 && moved.front() == O::kFirst) || (by > 0 && moved.back() == O::kLast))
    return Refused(RowRefusal::AtEdge);
  // Upwards from the top and downwards from the bottom, so a block of rows
  // moves as one and its neighbour ends up on its other side.
  if (by > 0) std::reverse(moved.begin(), moved.end());
  ChannelOrder order = SameOrder();
  for (int& r : moved) {
    std::swap(At(order, r), At(order, r + by));
    r += by;
  }
  ApplyOrder(image, order);
  return Done(ChannelRows(moved));
}

RowEdit SortChannels(Image& image, std::span<const int> rows, ChannelSortKey key) {
  const std::vector<int> places = ChannelRows(rows);
  if (places.empty()) return Refused(RowRefusal::NoRows);
  // Group 0 sorts first, then the key; stable_sort keeps equal keys in order.
  struct Entry {
    int channel;
    int group;
    FreqUnits rx;
    std::string name;
  };
  std::vector<Entry> entries;
  for (int n : places) {
    const auto rx = DecodeBcdFreq(RowOf(image, ChannelRow(n)), O::kRxFreq);
    Entry entry{n, rx ? 0 : 2, rx.value_or(0), {}};
    if (key == ChannelSortKey::Name && rx) {
      entry.name = Trimmed(DecodeChannelName(image, n));
      if (entry.name.empty()) entry.group = 1;
    }
    entries.push_back(std::move(entry));
  }
  std::stable_sort(entries.begin(), entries.end(), [key](const Entry& a, const Entry& b) {
    if (a.group != b.group) return a.group < b.group;
    return key == ChannelSortKey::RxFrequency ? a.rx < b.rx : a.name < b.name;
  });
  ChannelOrder order = SameOrder();
  for (std::size_t i = 0; i < places.size(); ++i) At(order, places[i]) = entries[i].channel;
  ApplyOrder(image, order);
  return Done(places);
}

std::vector<ChannelBytes> CopyChannels(const Image& image, std::span<const int> rows) {
  std::vector<ChannelBytes> channels;
  for (int n : ChannelRows(rows)) channels.push_back(TakeChannel(image, n));
  return channels;
}

RowEdit PasteChannels(Image& image, int at, std::span<const ChannelBytes> channels) {
  if (channels.empty()) return Refused(RowRefusal::NoRows);
  if (!IsChannelNumber(at) || at + static_cast<int>(channels.size()) - 1 > O::kLast)
    return Refused(RowRefusal::DoesNotFit);
  std::vector<int> rows;
  for (const ChannelBytes& channel : channels) {
    PutChannel(image, at, channel);
    rows.push_back(at++);
  }
  return Done(std::move(rows));
}

// --- clipboard ----------------------------------------------------------------

namespace {

constexpr std::string_view kClipMagic = "ORVEXCH1";
constexpr std::size_t kClipChannelSize = 2 * kRowSize;

}  // namespace

std::string EncodeChannelClip(std::span<const ChannelBytes> channels) {
  std::string data(kClipMagic);
  for (const ChannelBytes& channel : channels) {
    data.append(channel.record.begin(), channel.record.end());
    data.append(channel.name.begin(), channel.name.end());
  }
  return data;
}

std::optional<std::vector<ChannelBytes>> DecodeChannelClip(std::string_view data) {
  if (!data.starts_with(kClipMagic)) return std::nullopt;
  data.remove_prefix(kClipMagic.size());
  const std::size_t count = data.size() / kClipChannelSize;
  if (data.size() % kClipChannelSize != 0 || count == 0 || count > static_cast<std::size_t>(O::kLast))
    return std::nullopt;
  std::vector<ChannelBytes> channels(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view bytes = data.substr(i * kClipChannelSize, kClipChannelSize);
    std::copy(bytes.begin(), bytes.begin() + kRowSize, channels[i].record.begin());
    std::copy(bytes.begin() + kRowSize, bytes.end(), channels[i].name.begin());
  }
  return channels;
}

std::string CopiedChannelsCsv(const Image& image, std::span<const int> rows) {
  Image copied;
  copied.fill(kEmpty);
  for (int n : ChannelRows(rows)) PutChannel(copied, n, TakeChannel(image, n));
  return ExportChannelsCsv(copied);
}

namespace {

std::string UpperTrimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return ToUpperAscii(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// Tab-separated lines (a spreadsheet's copy) as CSV; a blank line stays a
// blank line, so line numbers stay those of the text.
std::string AsCsv(std::string_view text) {
  const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
  if (firstLine.find('\t') == std::string_view::npos) return std::string(text);
  std::string csv;
  for (const std::vector<std::string>& fields : TabbedLines(text))
    csv += fields.size() == 1 && fields.front().empty() ? std::string("\r\n") : CsvLine(fields);
  return csv;
}

// Whether the first line names the column `name`.
bool FirstLineNames(const std::string& csv, std::string_view name) {
  const auto records = ParseCsv(csv.substr(0, csv.find_first_of("\r\n")));
  if (!records || records->empty()) return false;
  const auto& fields = records->front().fields;
  return std::any_of(fields.begin(), fields.end(),
                     [name](const std::string& field) { return UpperTrimmed(field) == name; });
}

}  // namespace

CsvPaste PasteChannelsCsv(const Image& image, int at, std::string_view text, int language) {
  CsvPaste paste{image, RowRefusal::None, {}, {}, {}};
  if (!IsChannelNumber(at)) {
    paste.refusal = RowRefusal::NoRows;
    return paste;
  }
  std::string csv = AsCsv(text);
  // Rows copied without their header read in the community column order;
  // the header line added then shifts the line numbers the import reports.
  const bool header = FirstLineNames(csv, "FREQUENCY");
  if (!header) csv = std::string(kChannelCsvHeader) + "\r\n" + csv;
  // Without a Location column the rows are numbered in file order.
  auto rows = ReadChannelsCsv(csv, FirstLineNames(csv, "LOCATION") ? 0 : 1);
  if (!rows) {
    paste.problems = rows.error();
    return paste;
  }
  if (rows->empty()) {
    paste.refusal = RowRefusal::NoRows;
    return paste;
  }
  std::optional<int> lowest;
  for (const CsvChannelRow& row : *rows)
    if (row.usable()) lowest = std::min(lowest.value_or(row.location), row.location);
  for (CsvChannelRow& row : *rows) {
    if (!header) --row.line;
    if (!row.usable()) continue;
    row.location = at + row.location - *lowest;
    if (!IsChannelNumber(row.location)) {
      paste.refusal = RowRefusal::DoesNotFit;
      return paste;
    }
  }
  paste.report = ApplyChannelsCsv(paste.image, *rows, false, language);
  for (const CsvChannelRow& row : *rows)
    if (row.usable()) paste.rows.push_back(row.location);
  std::sort(paste.rows.begin(), paste.rows.end());
  for (const CsvLineNote& note : paste.report.skipped)
    paste.problems += (paste.problems.empty() ? "" : "\n") + NoteText(note, language);
  return paste;
}

bool IsChannelCsvText(std::string_view text) { return FirstLineNames(AsCsv(text), "FREQUENCY"); }

std::optional<int> FirstProgrammed(const Image& image, std::span<const int> rows) {
  for (int n : ChannelRows(rows))
    if (IsProgrammed(image, n)) return n;
  return std::nullopt;
}

RowEdit MakeRoom(Image& image, std::span<const int> rows) {
  const std::vector<int> room = ChannelRows(rows);
  if (room.empty()) return Refused(RowRefusal::NoRows);
  return InsertBlankChannels(image, room.front(), room.back() - room.front() + 1);
}

}  // namespace orvex
