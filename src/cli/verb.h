#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace orvex::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A verb's command line after the generic parse: positional arguments,
// options with values and flags.
struct Args {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;                 // the last value of each option
  std::map<std::string, std::vector<std::string>> repeated;  // every value, in order
  std::set<std::string> flags;

  bool has(std::string_view flag) const { return flags.count(std::string(flag)) > 0; }
  std::optional<std::string> value(std::string_view option) const {
    const auto it = values.find(std::string(option));
    return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  std::vector<std::string> all(std::string_view option) const {
    const auto it = repeated.find(std::string(option));
    return it == repeated.end() ? std::vector<std::string>{} : it->second;
  }
};

struct OptionSpec {
  std::string_view name;  // "--port", "-o"
  bool takesValue;
  std::string_view help;
  // A flag that may carry a number: "--renumber", "--renumber 5" or
  // "--renumber=5".  Given without one, its value is "".
  bool optionalNumber = false;
};

// One verb of orvex-cli.  Each verb lives in its own file and registers
// itself with a static VerbRegistration.
struct Verb {
  std::string_view name;
  std::string_view usage;    // "new FILE"
  std::string_view summary;  // one line for the overview
  std::vector<OptionSpec> options;
  std::size_t minPositional = 0;
  std::size_t maxPositional = 0;
  int (*run)(const Args&) = nullptr;
};

void RegisterVerb(Verb verb);
const std::vector<Verb>& Verbs();

struct VerbRegistration {
  explicit VerbRegistration(Verb verb) { RegisterVerb(std::move(verb)); }
};

// Prints "orvex-cli: <message>" on stderr.
void PrintError(std::string_view message);

}  // namespace orvex::cli
