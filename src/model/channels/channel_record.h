#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/frequency.h"
#include "core/memory_image.h"
#include "core/result.h"

namespace orvex {

// Channel n (1..128) is image row n; its name is row 256 + n.
struct ChannelOffset {
  static constexpr int kFirst = 1;
  static constexpr int kLast = 128;
  static constexpr std::size_t kNameRowBase = 256;

  static constexpr std::size_t kRxFreq = FreqToneOffset::kRxFreq;
  static constexpr std::size_t kTxFreq = FreqToneOffset::kTxFreq;
  static constexpr std::size_t kDecodeTone = FreqToneOffset::kRxTone;
  static constexpr std::size_t kEncodeTone = FreqToneOffset::kTxTone;
  static constexpr std::size_t kFlagsA = 13;
  static constexpr std::size_t kFlagsB = 14;
  // Bytes 12 and 15 carry radio data the editor neither shows nor sets.

  // Flags A (byte 13).
  static constexpr unsigned kAutoResponseBit = 7;
  static constexpr unsigned kScanAddBit = 6;
  static constexpr unsigned kHighPowerBit = 5;
  static constexpr unsigned kWideBit = 4;
  static constexpr unsigned kBclBit = 3;
  static constexpr std::uint8_t kOptSignalMask = 0x07;
  static constexpr std::uint8_t kOptSignal2Tone = 1;
  static constexpr std::uint8_t kOptSignalMsk = 2;
  static constexpr std::uint8_t kOptSignal5Tone = 4;

  // Flags B (byte 14).  OPTION is bits 7 and 3 together; only one may be set.
  static constexpr unsigned kScrambleBit = 7;
  static constexpr unsigned kCompandBit = 3;
  static constexpr unsigned kScramblerNoShift = 4;  // stored as number - 1
  static constexpr std::uint8_t kScramblerNoMask = 0x70;
  static constexpr std::uint8_t kDecodeMask = 0x07;

  // Name row: six name codes in bytes 0..5.
  static constexpr std::size_t kNameLength = 6;
  static constexpr std::uint8_t kNameSpaceCode = 38;
};

constexpr std::size_t ChannelRow(int n) { return static_cast<std::size_t>(n); }
constexpr std::size_t ChannelNameRow(int n) { return ChannelOffset::kNameRowBase + static_cast<std::size_t>(n); }
constexpr bool IsChannelNumber(int n) { return n >= ChannelOffset::kFirst && n <= ChannelOffset::kLast; }

// The grid columns, which are also the fields of a channel.
enum ChannelColumn : int {
  kColNumber = 0,
  kColRx = 1,
  kColTx = 2,
  kColDecodeTone = 3,
  kColEncodeTone = 4,
  kColPower = 5,
  kColScanAdd = 6,
  kColBandwidth = 7,
  kColBcl = 8,
  kColName = 9,
  kColOption = 10,
  kColScramblerNo = 11,
  kColOptSignal = 12,
  kColDecode = 13,
  kColAutoResponse = 14,
};
inline constexpr int kChannelColumns = 15;

// The texts of one channel as the grid shows them, in the current language.
// All empty for an empty channel; tx and encodeTone empty when there is no Tx.
struct ChannelFields {
  std::string rx, tx, decodeTone, encodeTone, power, scanAdd, bandwidth, bcl, name, option, scramblerNo, optSignal,
      decode, autoResponse;

  // The field of a grid column 1..14.
  std::string& at(int column);
  const std::string& at(int column) const;
  bool operator==(const ChannelFields&) const = default;
};

// A list column of a channel stored in the flag bytes: the byte, the mask of
// its bits and those bits for each item, in the order the list offers them.
struct ChannelFlagField {
  int column;
  std::size_t byte;  // ChannelOffset::kFlagsA or kFlagsB
  std::uint8_t mask;
  std::vector<std::uint8_t> stored;
};

// Every list column of a channel, in column order.
const std::vector<ChannelFlagField>& ChannelFlagFields();
// The flag field of a list column, or nullptr for another column.
const ChannelFlagField* FindChannelFlagField(int column);
// The item the bits of a record show; bits that are no item's (OPTION with
// both bits set, an Opt.Signal of 3) show the first item.
std::size_t FlagItem(const ChannelFlagField& field, ConstRow record);
// Stores item `index`, changing only the field's own bits.
void StoreFlagItem(const ChannelFlagField& field, std::size_t index, Row record);

// The items a list column offers, in order ("High", "Low" for TX Power...);
// empty for the frequency, tone and name columns.  The lists are built once.
const std::vector<std::string>& ChannelListItems(int column, int language);

// The channel grid's heading of a column ("Rx Freq", "CTC/DCS Dec."), which
// messages use to name the field.
std::string ChannelHeading(int column, int language);

// Name code <-> character: 0..9 digits, 10..35 letters, 36 "?", 37 "+",
// every other code a space.
char NameChar(std::uint8_t code);
// The code of a character the radio can show (digits, capitals, "?", "+",
// space); a lower-case letter is shown as its capital; anything else is a
// space, because the radio has no code for it.
std::uint8_t NameCode(char c);
// A UTF-8 text as the radio will show it, one character per character:
// upper-cased, accented Latin letters as their base letter, every other
// character the radio has no code for made one space, at most six characters.
// A byte that is not valid UTF-8 is read as Latin-1, as spreadsheets on
// Windows write it.
std::string CleanChannelName(std::string_view text);

// CleanChannelName and what it had to give up on the way.
struct FittedName {
  std::string name;
  bool cut = false;       // characters other than spaces beyond the sixth were dropped
  bool replaced = false;  // a character the radio cannot show became a space
};
FittedName FitChannelName(std::string_view text);

// The six characters of the name of channel n.
std::string DecodeChannelName(const Image& image, int n);
// Sets bytes 0..5 of the name row to spaces, then one code per character;
// characters beyond the sixth are dropped.  Bytes 6..15 are left alone.
void EncodeChannelName(Image& image, int n, std::string_view text);

// Programmed when the Rx frequency decodes to a value.
bool IsProgrammed(const Image& image, int n);

// The channel's field texts; all empty when the channel is not programmed.
ChannelFields ReadChannel(const Image& image, int n, int language, char separator = '.');

// Writes a channel from its field texts (an empty Rx clears it).  Every text
// is checked first; if one is not valid nothing is touched and the reason is
// returned.  Bytes 12 and 15 and name bytes 6..15 keep their values.  A
// frequency or tone text the codecs refuse (below 10 MHz, not in the tone
// list) is accepted only when it is what the record already holds, so radio
// data the editor cannot produce survives a store.  The list items of
// `fields` are in `language`; the reason is in `messageLanguage` when given
// (a document's values are English whatever language its reader speaks).
Status StoreChannel(Image& image, int n, const ChannelFields& fields, int language, char separator = '.',
                    std::optional<int> messageLanguage = std::nullopt);

// Sets the channel row and its name row to 0xFF.
void ClearChannel(Image& image, int n);

// The fields of a channel created in the editor from its Rx text: Tx equal
// to Rx, no tones, High, Yes, Wide, BCL Off, OPTION Off, Scrambler No. 1,
// Opt.Signal Off, Decode 0, AutoResponse Off, an empty name.
ChannelFields NewChannelFields(std::string_view rxText, int language);

// A channel given the Rx `rx`: one without an Rx starts from NewChannelFields
// and keeps its name; otherwise only the Rx changes.
ChannelFields WithRx(ChannelFields fields, std::string_view rx, int language);
// A channel given the Tx `tx` ("" for none): without a Tx it has no encode
// tone, a Tx where there was none (no encode tone) starts with encode tone
// None, and a Tx that changes keeps its tone.
ChannelFields WithTx(ChannelFields fields, std::string_view tx, int language);

}  // namespace orvex
