#include <iostream>

#include "cli/codeplug_args.h"
#include "cli/link_session.h"
#include "cli/verb.h"
#include "core/strings.h"
#include "model/document/codeplug_check.h"

namespace orvex::cli {
namespace {

int runCheck(const Args& args) {
  constexpr int kNoProblems = 10287;
  const std::string& path = args.positional[0];
  const auto language = LanguageOrReport(args);
  if (!language) return kExitUsage;
  const auto image = LoadCodeplugOrReport(path);
  if (!image) return kExitUsage;
  const auto findings = CheckCodeplug(*image, *language);
  for (const auto& finding : findings) std::cout << FindingLine(finding, *language) << '\n';
  if (findings.empty()) std::cout << TextOf(kNoProblems, *language, {path}) << '\n';
  std::cout.flush();
  return HasErrors(findings) ? kExitFailure : kExitOk;
}

const VerbRegistration kCheck({"check",
                               "check FILE",
                               "lists what is wrong (errors) or suspicious (warnings) in a codeplug, each with its "
                               "place; exit status 1 when there are errors, 2 when the file cannot be read",
                               {kLangOption},
                               1,
                               1,
                               runCheck});

}  // namespace
}  // namespace orvex::cli
