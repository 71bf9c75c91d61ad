#pragma once

// Channels as rows: insert, delete, clear, move, sort, copy and paste.
// Everything that belongs to a channel travels with it: its 16-byte record
// (frequencies, tones, power, BCL, scrambler and signalling bytes, and the
// two bytes the editor never shows) and its whole name row.  The priority
// channel setting names a channel by number, so it follows its channel; a
// priority channel that is deleted or cleared becomes "Off".

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory_image.h"
#include "core/strings.h"
#include "model/channels/channel_csv.h"

namespace orvex {

// The two image rows of one channel.
struct ChannelBytes {
  std::array<std::uint8_t, kRowSize> record{};
  std::array<std::uint8_t, kRowSize> name{};
  bool operator==(const ChannelBytes&) const = default;
};

// A channel with every byte 0xFF.
ChannelBytes BlankChannel();
ChannelBytes TakeChannel(const Image& image, int n);
void PutChannel(Image& image, int n, const ChannelBytes& channel);

// Why a row operation changed nothing.
enum class RowRefusal {
  None,
  NoRows,                 // no channel was named
  LastChannelProgrammed,  // an insert would push a programmed channel off the end
  DoesNotFit,             // a paste would run past channel 128
  AtEdge,                 // a move would take channel 1 up or channel 128 down
};

// What a row operation did: refused, or the rows that hold its result (for
// the selection afterwards).
struct RowEdit {
  RowRefusal refusal = RowRefusal::None;
  std::vector<int> rows;
  [[nodiscard]] bool done() const { return refusal == RowRefusal::None; }
};

// Runs a row operation on a copy of the image and keeps what it did only
// when it did not refuse.
RowEdit AllOrNothing(Image& image, const std::function<RowEdit(Image&)>& edit);

// The channel numbers 1..128 among `rows`, ascending, each once.
std::vector<int> ChannelRows(std::span<const int> rows);

// `count` blank channels at `at`; the channels from `at` on move down.
RowEdit InsertBlankChannels(Image& image, int at, int count = 1);
// The channels below each deleted one move up; blank channels fill the end.
RowEdit DeleteChannels(Image& image, std::span<const int> rows);
// The rows become blank channels.
RowEdit ClearChannels(Image& image, std::span<const int> rows);
// Each named channel changes place with its neighbour above (by -1) or below
// (by +1).
RowEdit MoveChannels(Image& image, std::span<const int> rows, int by);

enum class ChannelSortKey { RxFrequency, Name };
// The channels in `rows` ordered among those rows by Rx frequency or by
// name; channels of equal keys keep their order, unprogrammed channels (and,
// by name, blank names) go last.
RowEdit SortChannels(Image& image, std::span<const int> rows, ChannelSortKey key);

// The named channels in row order.
std::vector<ChannelBytes> CopyChannels(const Image& image, std::span<const int> rows);
// Overwrites channels `at`, `at` + 1, ... with `channels`, byte for byte.
RowEdit PasteChannels(Image& image, int at, std::span<const ChannelBytes> channels);

// --- clipboard ----------------------------------------------------------------

// The program's own clipboard format: whole channels, byte for byte.
inline constexpr std::string_view kChannelClipMime = "application/x-orvex-channels";

std::string EncodeChannelClip(std::span<const ChannelBytes> channels);
// Nothing when the data is not such a clip.
std::optional<std::vector<ChannelBytes>> DecodeChannelClip(std::string_view data);

// The copied channels as community channel CSV with its header, Location
// being the row each came from (`rows`, as for CopyChannels).
std::string CopiedChannelsCsv(const Image& image, std::span<const int> rows);

// What a paste of CSV text did: the image with every row the import took,
// the rows written, and the import's words for each row it could not take.
struct CsvPaste {
  Image image;
  RowRefusal refusal = RowRefusal::None;
  std::vector<int> rows;
  std::string problems;    // one line per problem, "line N: ..."
  CsvImportReport report;  // what the import did with the rows, as File > Import reports it
};

// Pastes CSV text (or tab-separated rows copied from a spreadsheet, with or
// without the header line) from channel `at` on: the lowest Location lands
// on `at` and the others keep their distance from it.  Each row goes
// through the channel CSV import; rows it refuses are left out and reported,
// the others are applied.
CsvPaste PasteChannelsCsv(const Image& image, int at, std::string_view text, int language = kEnglish);

// Whether text holds channel rows under a header line that names the
// Frequency column (a CSV file's or a spreadsheet's copy), rather than loose
// cell values.
bool IsChannelCsvText(std::string_view text);

// The first programmed channel among `rows`, if any.
std::optional<int> FirstProgrammed(const Image& image, std::span<const int> rows);
// Makes room for a paste onto `rows` before it: as many blank channels as
// the rows span, at the first of them, the channels from there on moving
// down as Insert moves them.
RowEdit MakeRoom(Image& image, std::span<const int> rows);

}  // namespace orvex
