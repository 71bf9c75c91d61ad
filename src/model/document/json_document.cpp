#include "model/document/json_document.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <vector>

#include "core/strings.h"

namespace orvex {

namespace {

// Deeper documents are refused: the tree is freed by recursion, and no
// codeplug document comes near it.
constexpr std::size_t kMaxDepth = 1024;

// Object members are kept in key order, and of a key given twice the last
// one counts, as the document has always been read and written.  Read, the
// order is that of the UTF-8 bytes; written, that of the UTF-16 code units,
// which differs only in that characters beyond U+FFFF (UTF-8 lead bytes
// F0..F4) come between U+D7FF (lead byte ED) and U+E000 (lead byte EE).
int ByteRank(unsigned char byte) { return byte; }
int Utf16Rank(unsigned char byte) {
  if (byte >= 0xF0) return byte - 0x02;
  if (byte >= 0xEE) return byte + 0x05;
  return byte;
}

void SortMembers(DocMembers& members, int (*rank)(unsigned char)) {
  std::stable_sort(members.begin(), members.end(), [rank](const auto& a, const auto& b) {
    return std::lexicographical_compare(
        a.first.begin(), a.first.end(), b.first.begin(), b.first.end(),
        [rank](char x, char y) { return rank(static_cast<unsigned char>(x)) < rank(static_cast<unsigned char>(y)); });
  });
  DocMembers kept;
  kept.reserve(members.size());
  for (auto& member : members) {
    if (!kept.empty() && kept.back().first == member.first)
      kept.back() = std::move(member);
    else
      kept.push_back(std::move(member));
  }
  members = std::move(kept);
}

// Builds the document tree as the parser reads, refusing deep nesting.
class TreeBuilder {
 public:
  using json = nlohmann::json;

  bool null() { return Add(DocNode{}); }
  bool boolean(bool value) { return Add(DocNode{value}); }
  bool number_integer(json::number_integer_t value) { return Add(DocNode{static_cast<double>(value)}); }
  bool number_unsigned(json::number_unsigned_t value) { return Add(DocNode{static_cast<double>(value)}); }
  // A number too small for a double is refused, as one too large is: it
  // would silently read as 0.
  bool number_float(json::number_float_t value, const json::string_t& text) {
    const auto mantissa = text.substr(0, text.find_first_of("eE"));
    if (value == 0 && mantissa.find_first_of("123456789") != std::string::npos) {
      m_refused = Refused::Underflow;
      m_number = text;
      return false;
    }
    return Add(DocNode{value});
  }
  bool string(json::string_t& value) { return Add(DocNode{std::move(value)}); }
  bool binary(json::binary_t&) { return false; }
  bool key(json::string_t& key) {
    m_key = std::move(key);
    return true;
  }
  bool start_object(std::size_t) { return Open(DocNode{DocMembers{}}); }
  bool start_array(std::size_t) { return Open(DocNode{DocItems{}}); }
  bool end_object() {
    SortMembers(std::get<DocMembers>(m_open.back().node.value), ByteRank);
    return Close();
  }
  bool end_array() { return Close(); }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error) {
    m_errorOffset = position;
    m_error = error.what();
    // "[json.exception.parse_error.101] parse error at line 1, column 2: why;
    // last read: '...'; expected ..." without the place, told in our own way,
    // nor the text last read, which can be long and not UTF-8.
    m_error.erase(0, m_error.find("] ") + 2);
    if (m_error.rfind("parse error", 0) == 0) m_error.erase(0, m_error.find(": ") + 2);
    const auto lastRead = m_error.find("; last read: '");
    if (lastRead != std::string::npos) {
      const auto expected = m_error.rfind("'; expected ");
      m_error.erase(lastRead,
                    expected == std::string::npos || expected < lastRead ? std::string::npos : expected + 1 - lastRead);
    }
    return false;
  }

  enum class Refused : std::uint8_t { No, TooDeep, Underflow };
  Refused refused() const { return m_refused; }
  const std::string& number() const { return m_number; }
  std::size_t errorOffset() const { return m_errorOffset; }
  const std::string& error() const { return m_error; }
  DocNode& root() { return m_root; }

 private:
  struct Level {
    DocNode node;
    std::string key;  // of the member it becomes
  };

  bool Open(DocNode node) {
    if (m_open.size() >= kMaxDepth) {
      m_refused = Refused::TooDeep;
      return false;
    }
    m_open.push_back({std::move(node), std::move(m_key)});
    return true;
  }

  bool Close() {
    auto done = std::move(m_open.back());
    m_open.pop_back();
    m_key = std::move(done.key);
    return Add(std::move(done.node));
  }

  bool Add(DocNode value) {
    if (m_open.empty()) {
      m_root = std::move(value);
      return true;
    }
    auto& parent = m_open.back().node.value;
    if (auto* members = std::get_if<DocMembers>(&parent))
      members->emplace_back(std::move(m_key), std::move(value));
    else
      std::get<DocItems>(parent).push_back(std::move(value));
    return true;
  }

  std::vector<Level> m_open;
  std::string m_key;
  DocNode m_root;
  Refused m_refused = Refused::No;
  std::string m_number;  // the refused one
  std::size_t m_errorOffset = 0;
  std::string m_error;
};

// The first offset outside the document's texts where `stop(json, offset)`
// holds; used where the parser stopped without a position, so the text
// before it was read without a syntax error.
template <typename Stop>
std::size_t FindOutsideTexts(std::string_view json, Stop stop) {
  bool inText = false;
  for (std::size_t i = 0; i < json.size(); ++i) {
    if (inText) {
      if (json[i] == '\\')
        ++i;
      else if (json[i] == '"')
        inText = false;
    } else if (json[i] == '"') {
      inText = true;
    } else if (stop(json, i)) {
      return i;
    }
  }
  return json.size();
}

// Just past the bracket that opens level kMaxDepth + 1.
std::size_t TooDeepOffset(std::string_view json) {
  std::size_t depth = 0;
  return 1 + FindOutsideTexts(json, [&depth](std::string_view text, std::size_t i) {
           if (text[i] == '[' || text[i] == '{') return ++depth > kMaxDepth;
           if (text[i] == ']' || text[i] == '}') --depth;
           return false;
         });
}

// Just past the number written as `number`.
std::size_t NumberEndOffset(std::string_view json, std::string_view number) {
  return number.size() + FindOutsideTexts(json, [number](std::string_view text, std::size_t i) {
           const bool starts =
               i == 0 || std::string_view("-0123456789.eE+").find(text[i - 1]) == std::string_view::npos;
           return starts && text.substr(i, number.size()) == number;
         });
}

// Where the document's value starts, after a byte order mark and white space.
std::size_t FirstValue(std::string_view json) {
  const std::size_t start = json.find_first_not_of(" \t\r\n", json.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0);
  return start == std::string_view::npos ? json.size() : start;
}

Error FailAt(std::string_view json, std::size_t offset, const std::string& reason) {
  offset = std::min(offset, json.size());
  const std::string_view before = json.substr(0, offset);
  const auto line = std::count(before.begin(), before.end(), '\n') + 1;
  const auto lineStart = before.rfind('\n');
  const std::size_t column = offset - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
  return Fail(std::to_string(line) + ":" + std::to_string(column) + ": " + reason);
}

// A number as the document has always shown it: whole numbers up to 2^53 as
// integers, others in the shorter of the decimal and the exponent form of the
// fewest digits that read back to the same value ("0.5", "1e+16", "1e-05").
std::string NumberText(double value) {
  if (!std::isfinite(value)) return "null";
  if (std::abs(value) <= 9007199254740992.0 && std::trunc(value) == value)
    return std::to_string(static_cast<std::int64_t>(value));
  char text[32];
  for (int precision = 0; precision < 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*e", precision, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  // text is "-D.DDDDe+XX": the sign, the digits and the decimal exponent.
  std::string_view exponentForm(text);
  const auto e = exponentForm.find('e');
  std::string digits;
  for (const char c : exponentForm.substr(0, e))
    if (c >= '0' && c <= '9') digits += c;
  const bool negative = text[0] == '-';
  const int exponent = std::atoi(text + e + 1);
  const int decimalPoint = exponent + 1;  // digits before the decimal point
  const int count = static_cast<int>(digits.size());
  // The exponent form adds "e", the sign and two digits, and a decimal point
  // when there is more than one digit; a tie goes to the decimal form.
  constexpr int kExponentChars = 4;
  const bool decimal = decimalPoint <= 0 ? 1 - decimalPoint <= kExponentChars
                                         : decimalPoint <= count + kExponentChars + (count > 1 ? 1 : 0);
  std::string out = negative ? "-" : "";
  if (!decimal) {
    out += digits.substr(0, 1);
    if (count > 1) out += "." + digits.substr(1);
    char power[16];
    std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return out + power;
  }
  if (decimalPoint <= 0) return out + "0." + std::string(static_cast<std::size_t>(-decimalPoint), '0') + digits;
  if (decimalPoint >= count) return out + digits + std::string(static_cast<std::size_t>(decimalPoint - count), '0');
  return out + digits.substr(0, static_cast<std::size_t>(decimalPoint)) + "." +
         digits.substr(static_cast<std::size_t>(decimalPoint));
}

// Four spaces a level; an empty object or array still opens and closes on
// lines of their own, as the document has always been written.
void WriteJson(const DocNode& node, std::string& out, std::size_t level) {
  const auto open = [&](char bracket) {
    out += bracket;
    out += '\n';
  };
  const auto close = [&](char bracket) {
    out.append(4 * level, ' ');
    out += bracket;
  };
  const auto separate = [&](bool last) { out += last ? "\n" : ",\n"; };
  if (const auto* text = node.text()) {
    out += nlohmann::json(*text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  } else if (const auto* number = node.number()) {
    out += NumberText(*number);
  } else if (const auto* flag = std::get_if<bool>(&node.value)) {
    out += *flag ? "true" : "false";
  } else if (const auto* members = node.members()) {
    DocMembers sorted = *members;
    SortMembers(sorted, Utf16Rank);
    open('{');
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      out.append(4 * (level + 1), ' ');
      out += nlohmann::json(sorted[i].first).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
      out += ": ";
      WriteJson(sorted[i].second, out, level + 1);
      separate(i + 1 == sorted.size());
    }
    close('}');
  } else if (const auto* items = node.items()) {
    open('[');
    for (std::size_t i = 0; i < items->size(); ++i) {
      out.append(4 * (level + 1), ' ');
      WriteJson((*items)[i], out, level + 1);
      separate(i + 1 == items->size());
    }
    close(']');
  } else {
    out += "null";
  }
}

}  // namespace

// Why a text is no JSON document.  The parser's own reason stays as it says
// it; the Chinese text names it a syntax error around it.
constexpr int kMsgNotDocument = 10415, kMsgAfterDocument = 10416, kMsgTooDeep = 10417, kMsgUnderflow = 10418,
              kMsgSyntax = 10419;

Result<DocNode> ParseJsonDocument(std::string_view json, int language) {
  const auto say = [language](int number, std::vector<std::string> args = {}) {
    return TextOf(number, language, std::move(args));
  };
  const std::size_t first = FirstValue(json);
  if (first == json.size() || (json[first] != '{' && json[first] != '['))
    return FailAt(json, std::min(first + 1, json.size()), say(kMsgNotDocument));
  TreeBuilder builder;
  if (nlohmann::json::sax_parse(json.data(), json.data() + json.size(), &builder)) {
    // The parser takes a NUL byte for the end of the text.
    const auto nul = json.find('\0');
    if (nul != std::string_view::npos) return FailAt(json, nul, say(kMsgAfterDocument));
    return std::move(builder.root());
  }
  switch (builder.refused()) {
    case TreeBuilder::Refused::TooDeep:
      return FailAt(json, TooDeepOffset(json), say(kMsgTooDeep));
    case TreeBuilder::Refused::Underflow:
      return FailAt(json, NumberEndOffset(json, builder.number()), say(kMsgUnderflow, {builder.number()}));
    case TreeBuilder::Refused::No:
      break;
  }
  return FailAt(json, builder.errorOffset(), say(kMsgSyntax, {builder.error()}));
}

std::string JsonDocumentText(const DocNode& document) {
  std::string out;
  WriteJson(document.members() ? document : DocNode{DocMembers{}}, out, 0);
  return out + "\n";
}

Result<Image> ImportJsonCodeplug(const Image& base, std::string_view json, const std::string& file, int language) {
  const auto root = ParseJsonDocument(json, language);
  if (!root) return Fail(file + ":" + root.error());
  auto imported = ImportDocument(base, *root, language);
  if (imported) return imported;
  std::string lines;
  std::string_view errors = imported.error();
  while (!errors.empty()) {
    const auto end = errors.find('\n');
    lines += (lines.empty() ? "" : "\n") + file + ": " + std::string(errors.substr(0, end));
    errors = end == std::string_view::npos ? std::string_view() : errors.substr(end + 1);
  }
  return Fail(lines);
}

}  // namespace orvex
