// orvex-cli: the codeplug and radio tool for scripts and terminals.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/codeplug_args.h"
#include "cli/verb.h"

namespace orvex::cli {

namespace {

std::vector<Verb>& Registry() {
  static std::vector<Verb> verbs;
  return verbs;
}

void PrintOverview(std::ostream& out) {
  out << "usage: orvex-cli VERB [ARGS...]   (orvex-cli VERB --help for details)\n\nverbs:\n";
  auto verbs = Registry();
  std::sort(verbs.begin(), verbs.end(), [](const Verb& a, const Verb& b) { return a.name < b.name; });
  for (const auto& v : verbs) out << "  " << v.usage << "\n      " << v.summary << "\n";
}

void PrintVerbHelp(const Verb& verb, std::ostream& out) {
  out << "usage: orvex-cli " << verb.usage << "\n" << verb.summary << "\n";
  if (!verb.options.empty()) out << "\noptions:\n";
  for (const auto& o : verb.options) {
    std::string left = std::string(o.name) + (o.takesValue ? " VALUE" : o.optionalNumber ? " [N]" : "");
    out << "  " << left << std::string(left.size() < 22 ? 22 - left.size() : 1, ' ') << o.help << "\n";
  }
  out << "  --help                show this help\n";
}

int RunVerb(const Verb& verb, int argc, char** argv) {
  Args args;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      PrintVerbHelp(verb, std::cout);
      return kExitOk;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      std::string value;
      bool inlineValue = false;
      if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
        value = arg.substr(eq + 1);
        arg.resize(eq);
        inlineValue = true;
      }
      const auto found =
          std::find_if(verb.options.begin(), verb.options.end(), [&](const OptionSpec& o) { return o.name == arg; });
      if (found == verb.options.end()) {
        PrintError("unknown option " + arg + " for '" + std::string(verb.name) + "'");
        PrintVerbHelp(verb, std::cerr);
        return kExitUsage;
      }
      if (found->optionalNumber) {
        // Only a number that follows is its value, so a file name never is.
        const auto isNumber = [](std::string_view text) {
          return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
        };
        if (!inlineValue && i + 1 < argc && isNumber(argv[i + 1])) value = argv[++i];
        args.values[arg] = value;
      } else if (found->takesValue) {
        if (!inlineValue) {
          if (i + 1 >= argc) {
            PrintError(arg + " needs a value");
            return kExitUsage;
          }
          value = argv[++i];
        }
        args.values[arg] = value;
        args.repeated[arg].push_back(value);
      } else {
        if (inlineValue) {
          PrintError(arg + " takes no value");
          return kExitUsage;
        }
        args.flags.insert(arg);
      }
      continue;
    }
    args.positional.push_back(arg);
  }
  if (args.positional.size() < verb.minPositional || args.positional.size() > verb.maxPositional) {
    PrintError("wrong number of arguments for '" + std::string(verb.name) + "'");
    PrintVerbHelp(verb, std::cerr);
    return kExitUsage;
  }
  return verb.run(args);
}

}  // namespace

void RegisterVerb(Verb verb) { Registry().push_back(std::move(verb)); }
const std::vector<Verb>& Verbs() { return Registry(); }
void PrintError(std::string_view message) { std::cerr << "orvex-cli: " << message << "\n"; }

}  // namespace orvex::cli

namespace {

int Dispatch(int argc, char** argv) {
  using namespace orvex::cli;
  if (argc < 2) {
    PrintOverview(std::cerr);
    return kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintOverview(std::cout);
    return kExitOk;
  }
  for (const auto& verb : Verbs())
    if (verb.name == name) return RunVerb(verb, argc - 2, argv + 2);
  PrintError("unknown verb '" + name + "'");
  PrintOverview(std::cerr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace orvex::cli;
  // Output to a file or pipe is held until the end, so a write error is met
  // by the final flush with its reason ("No space left on device") at hand.
  static char buffer[1 << 20];
  if (!isatty(STDOUT_FILENO)) std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  const int status = Dispatch(argc, argv);
  // A result printed into a full disk or a closed pipe is not a success.
  if (!FlushStandardOutput() && status == kExitOk) return kExitFailure;
  return status;
}
