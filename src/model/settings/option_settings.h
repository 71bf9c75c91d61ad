#pragma once

// The radio's optional features: where each setting lives in the settings
// block, how its stored bytes become what the window shows and back.  Every
// setting is described once in a table, so the options window, the JSON
// export and the tests all walk the same data.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory_image.h"
#include "core/result.h"

namespace orvex {

// One piece of a shown text: a string-table entry (`number`), or a literal the
// program holds itself (`english`, and `chinese` when it differs).
struct TextPiece {
  int number = 0;
  std::string_view english{};
  std::string_view chinese{};
};

// A shown text is one or more pieces joined with nothing between them.
using TextPieces = std::span<const TextPiece>;

std::string JoinPieces(TextPieces pieces, int language);

// The items of a list: the text items first, then `count` numbers
// first, first + step, ...
struct ItemList {
  std::span<const TextPieces> texts{};
  int first = 0;
  int step = 1;
  int count = 0;

  constexpr std::size_t size() const { return texts.size() + static_cast<std::size_t>(count); }
};

// How a setting is kept in the image.
enum class Encoding : std::uint8_t {
  ListIndex,      // whole byte = 0-based item position; out of range shows item 0
  FlagByte,       // whole byte, non-zero is on; stored as 1 or 0
  BitFlag,        // one bit of a shared byte; the other bits are never touched
  DigitString,    // one decimal digit per byte, bytes of 10 or more skipped
  DtmfString,     // one DTMF symbol per byte, 0xFF for none
  ClampedNumber,  // whole byte 0..maximum; above it shows `fallback`
};

// The control a setting is edited with.
enum class SettingControl : std::uint8_t { List, Check, Text, UpDown };

struct SettingSpec {
  std::string_view key;  // stable name for files and scripts, e.g. "vox_level"
  TextPieces label;
  Encoding encoding;
  std::size_t address;
  unsigned bit = 0;        // BitFlag
  ItemList items{};        // ListIndex; a BitFlag with two items is shown as a list
  std::size_t length = 0;  // DigitString, DtmfString: bytes from `address`
  int maximum = 0;         // ClampedNumber
  int fallback = 0;        // ClampedNumber: shown for a byte above `maximum`
};

SettingControl ControlOf(const SettingSpec& setting);

// Every optional feature in the order of the window's groups.
std::span<const SettingSpec> OptionSettings();

// The setting with this key, or nullptr.
const SettingSpec* FindOptionSetting(std::string_view key);

std::string SettingLabel(const SettingSpec& setting, int language);

// The items of a List-control setting in a language; the count and order
// never depend on the language.
std::vector<std::string> ItemTexts(const SettingSpec& setting, int language);
std::string ItemText(const SettingSpec& setting, std::size_t position, int language);

// --- Typed access for the window ---------------------------------------------

// The value a List, Check or UpDown control shows for the stored bytes: an
// item position, 0/1, or the number.
int DecodeSetting(const Image& image, const SettingSpec& setting);

// Stores a shown value of a List, Check or UpDown control at once; only the
// setting's own byte (or bit) changes.
void EncodeSetting(Image& image, const SettingSpec& setting, int shown);

// What a control shows before its first refresh: a new list has no
// selection, a new check box is clear and a new up-down stands at 0.
std::optional<int> InitialShown(const SettingSpec& setting);

// A refresh: decodes the setting and, when that changes what the control
// showed (`shown`), stores the new shown value as a change of the control
// would.  Returns what the control shows now.  Text settings are never
// written by a refresh; for them `shown` is returned unchanged.
std::optional<int> RefreshSetting(Image& image, const SettingSpec& setting, std::optional<int> shown);

// Passwords: the digits 0..9 of the six bytes in address order.
std::string ReadPassword(const Image& image, const SettingSpec& setting);

struct PasswordCommit {
  std::string text;  // what the entry shows afterwards: always six digits
  bool padded;       // fewer than six digits were typed: warn (message 10007)
};

// Leaving a password entry: characters other than digits are dropped (the
// keyboard never lets them in), at most six are kept, the rest is padded
// with "0" on the right and each digit stored as its value.
PasswordCommit StorePassword(Image& image, const SettingSpec& setting, std::string_view typed);

// The ANI code as symbols 0-9, A-D, * and #; other bytes are skipped.
std::string ReadAniCode(const Image& image, const SettingSpec& setting);

// Leaving the ANI entry: all six bytes become 0xFF, then each symbol (lower
// case a-d taken as capitals) is stored; a symbol outside the set is 0xFF.
// Symbols beyond the sixth are dropped.
void StoreAniCode(Image& image, const SettingSpec& setting, std::string_view typed);

// Whether a typed character is kept by the entry of a text setting.
bool AcceptsChar(const SettingSpec& setting, char c);

// A number typed into the up-down's text: "Off" (either language) is 0,
// other text is read as a number, taken to the nearest integer and clamped
// to 0..maximum.
int TypedNumber(const SettingSpec& setting, std::string_view typed);

// The text an UpDown setting shows for a value: "Off" for 0.
std::string NumberText(const SettingSpec& setting, int value, int language);

// --- Generic text access (scripts, JSON) -------------------------------------

// The setting as the window shows it: the item text of a list, "On"/"Off"
// for a check box, the digits or symbols of a text entry, the up-down text.
std::string SettingText(const Image& image, const SettingSpec& setting, int language);

// Stores a text as the window would store it.  Texts the window could not
// show are refused with a reason and the image is left as it was.  A text
// equal to what the setting already shows changes nothing, so storing what
// SettingText returned never changes a byte.  The refusal is in
// `messageLanguage` (-1: `language`, the language of the list texts).
Status SetSettingText(Image& image, const SettingSpec& setting, std::string_view text, int language,
                      int messageLanguage = -1);

// --- Whole window ------------------------------------------------------------

// What the window's controls show, one entry per OptionSettings() row.
struct OptionsShown {
  std::vector<std::optional<int>> values;
};

// The state of a newly created window.
OptionsShown NewOptionsShown();

// Refreshes every List, Check and UpDown setting in table order.
void RefreshOptions(Image& image, OptionsShown& shown);

}  // namespace orvex
