#pragma once

// The whole codeplug as a document of named texts, the way the windows show
// them, plus every byte of the image as hexadecimal rows.  Exporting walks
// the named values; importing starts from the rows and stores a named value
// only when its text differs from what those bytes show, and then changes
// only the bits that value owns.  So an exported document imports to the
// same bytes for any image, and editing one value changes only its bytes.
//
// The document is plain data here; the command-line tool turns it into JSON
// text and back.  The diff walks the same values.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "core/memory_image.h"
#include "core/result.h"

namespace orvex {

// --- Document tree ------------------------------------------------------------

struct DocNode;
// Object members in the order the document lists them.
using DocMembers = std::vector<std::pair<std::string, DocNode>>;
using DocItems = std::vector<DocNode>;

// A JSON-shaped value: null, true/false, a number, a text, an object or an array.
struct DocNode {
  std::variant<std::nullptr_t, bool, double, std::string, DocMembers, DocItems> value = nullptr;

  bool isNull() const { return std::holds_alternative<std::nullptr_t>(value); }
  const std::string* text() const { return std::get_if<std::string>(&value); }
  const double* number() const { return std::get_if<double>(&value); }
  const DocMembers* members() const { return std::get_if<DocMembers>(&value); }
  const DocItems* items() const { return std::get_if<DocItems>(&value); }
  // The member with this key, or nullptr (also when this is no object).
  const DocNode* member(std::string_view key) const;
};

// --- Named values ---------------------------------------------------------------

// Bits of one image byte that a value is stored in.
struct ValueBits {
  std::size_t address;
  std::uint8_t mask;
};

// Where a value sits in the document.
struct PathStep {
  enum class Kind : std::uint8_t {
    Key,       // an object member
    Index,     // an entry of a fixed-length array
    Numbered,  // an entry of an array of objects told apart by their "number"
  };
  Kind kind;
  std::string key;     // Key
  std::size_t number;  // Index: 0-based position; Numbered: the "number"
};

// One value of the codeplug as a window shows it.
struct CodeplugValue {
  std::vector<PathStep> path;
  std::string label;            // how the diff names it: "channel 12 Rx Freq"
  std::vector<ValueBits> bits;  // where it is stored
  std::function<std::string(const Image&)> read;
  // Stores a text; a text that shows the same value changes nothing, a text
  // the value cannot hold is refused and nothing changes.  Only `bits`
  // change, except that creating or clearing a channel writes its whole
  // record and name row, and giving a channel's Tx or taking it away also
  // sets the encode tone (None, or no tone), as the channel window does.
  // Its refusal is in `language`.
  std::function<Status(Image&, std::string_view, int language)> store;
  // A text as typing it into the window or importing it from a channel CSV
  // gives it ("Gäte" names a channel "GATE"); empty: the text as it is.
  std::function<std::string(std::string_view)> typed;
};

// Every named value: the channels 1..128 (rx first), the options, frequency
// modes A and B, the side key, the scrambler, the 2-Tone, 5-Tone and MSK
// tables, in that order.  English texts throughout.
const std::vector<CodeplugValue>& CodeplugValues();

// "$.channels[3].rx": a path as the document's reader sees it.
std::string PathText(std::span<const PathStep> path);

// A text for the value CodeplugValues()[value], and how a message names it.
struct ValueText {
  std::size_t value;
  std::string text;
  std::string path;
};
class ErrorReport;
// Stores the texts in the order of CodeplugValues(), each only when it
// differs from what the image shows at that moment; every refused text is
// added to `errors` as "path: why" and the others are still stored.
void StoreValueTexts(Image& image, std::vector<ValueText> texts, ErrorReport& errors, int language = 0);

// --- Document ---------------------------------------------------------------------

inline constexpr std::string_view kDocumentFormat = "orvex-codeplug";
inline constexpr int kDocumentVersion = 1;

// "format", "version", the named values (unprogrammed channels left out)
// and "memory": every row of the image, keyed "0000".."1FF0", as sixteen
// hexadecimal bytes separated by spaces.
DocNode ExportDocument(const Image& image);

// Puts a text at a path, creating the objects and arrays on the way
// (entries of numbered arrays get their "number").
void InsertText(DocNode& root, std::span<const PathStep> path, std::string text);

// Applies a document onto `base`: memory rows first, then each named value
// whose text differs from what the image shows at that moment.  A missing
// section, row, entry or value (or null) keeps the bytes.  Every bad value,
// unknown key or malformed row is reported on its own line with its path,
// and nothing is returned unless the whole document is good.
Result<Image> ImportDocument(const Image& base, const DocNode& document, int language = 0);

// The bytes of a memory row text ("FF 00 ..."), or why not.
Result<std::vector<std::uint8_t>> ParseHexRow(std::string_view text, int language = 0);
std::string HexRow(ConstRow row);

}  // namespace orvex
